// A fresh folder under the system's temporary folder, removed with its contents at the end.
#pragma once

#include <gtest/gtest.h>
#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <string_view>

class TempDir {
  public:
    TempDir() {
        std::string pattern = (std::filesystem::temp_directory_path() / "velloran-XXXXXX").string();
        if (mkdtemp(pattern.data()) != nullptr) fPath = pattern;
        EXPECT_FALSE(fPath.empty()) << "cannot make a temporary folder";
    }
    ~TempDir() {
        std::error_code error;
        if (!fPath.empty()) std::filesystem::remove_all(fPath, error);
    }
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::string& Path() const { return fPath; }
    std::string Path(const std::string& leaf) const { return fPath + "/" + leaf; }

    std::string Write(const std::string& leaf, std::string_view bytes) const {
        std::string path = Path(leaf);
        std::ofstream(path, std::ios::binary).write(bytes.data(), std::streamsize(bytes.size()));
        return path;
    }

    static std::string Read(const std::string& path) {
        std::ifstream stream(path, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(stream),
                           std::istreambuf_iterator<char>());
    }

  private:
    std::string fPath;
};
