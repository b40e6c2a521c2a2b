// A folder of the test's own under the temporary folder, removed with everything in it.
#pragma once

#include <string>

class PrivateFolder {
  public:
    // Makes a fresh folder whose name starts with prefix; Path() is empty when it could not.
    explicit PrivateFolder(const std::string& prefix);
    ~PrivateFolder();
    PrivateFolder(const PrivateFolder&) = delete;
    PrivateFolder& operator=(const PrivateFolder&) = delete;

    const std::string& Path() const { return fPath; }
    // The path of name inside it.
    std::string operator/(const std::string& name) const { return fPath + "/" + name; }
    // The last part of its path, unique among the folders that exist now.
    std::string Name() const;

  private:
    std::string fPath;
};
