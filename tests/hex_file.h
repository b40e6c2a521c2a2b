// Reads the hand-written golden files: hex bytes and "quoted text", with '#' comments.
#pragma once

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>
#include <vector>

inline std::vector<char> ReadHex(const std::string& path) {
    std::ifstream in(path);
    EXPECT_TRUE(in) << path;
    std::vector<char> bytes;
    std::string line;
    while (std::getline(in, line)) {
        std::istringstream words(line.substr(0, line.find('#')));
        std::string word;
        while (words >> word) {
            if (word.front() == '"') {
                EXPECT_TRUE(word.size() >= 2 && word.back() == '"') << word;
                bytes.insert(bytes.end(), word.begin() + 1, word.end() - 1);
            } else {
                bytes.push_back(char(std::stoi(word, nullptr, 16)));
            }
        }
    }
    return bytes;
}
