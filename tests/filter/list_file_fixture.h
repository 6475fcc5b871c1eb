// The list files beside the test runner, removed before and after each test.
#pragma once

#include "filter/list_files.h"
#include "filter/list_location.h"

#include <windows.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

namespace nimbrel::testing {

inline std::wstring whitePath() { return listFilePath(kWhiteListFile); }
inline std::wstring blackPath() { return listFilePath(kBlackListFile); }

inline void removeListFile(const std::wstring& path) {
    SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
    DeleteFileW(path.c_str());
    DeleteFileW((path + L".new").c_str());
}

inline void putFile(const std::wstring& path, const std::string& bytes) {
    std::ofstream(std::filesystem::path(path), std::ios::binary) << bytes;
}

inline std::string fileBytes(const std::wstring& path) {
    std::ifstream in(std::filesystem::path(path), std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

inline bool fileExists(const std::wstring& path) {
    return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

// Beside the program and in the user's folder.
inline void removeListFiles() {
    for (const wchar_t* name : {kWhiteListFile, kBlackListFile}) {
        removeListFile(listFilePath(name));
        removeListFile(userListPath(name));
    }
}

}  // namespace nimbrel::testing
