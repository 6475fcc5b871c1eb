// The list files beside the test runner, removed before and after each test.
#pragma once

#include "filter/list_files.h"
#include "filter/list_location.h"
#include "platform/safe_file.h"

#include <windows.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace nimbrel::testing {

inline std::wstring whitePath() { return listFilePath(kWhiteListFile); }
inline std::wstring blackPath() { return listFilePath(kBlackListFile); }

inline void removeFile(const std::wstring& path) {
    SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
    DeleteFileW(path.c_str());
}

// The files a save makes beside the one it replaces (new bytes, old bytes) that are still
// in the folder: none once a save has ended, whichever way.
inline std::vector<std::wstring> saveLeftovers(const std::wstring& folder) {
    std::vector<std::wstring> found;
    for (const wchar_t* extension : {kSaveNewExtension, kSaveOldExtension}) {
        WIN32_FIND_DATAW entry;
        const std::wstring pattern = folder + kSavePrefix + L"????" + extension;
        const HANDLE search = FindFirstFileW(pattern.c_str(), &entry);
        if (search == INVALID_HANDLE_VALUE) continue;
        do found.push_back(folder + entry.cFileName);
        while (FindNextFileW(search, &entry));
        FindClose(search);
    }
    return found;
}

inline std::wstring folderOf(const std::wstring& path) { return path.substr(0, path.find_last_of(L'\\') + 1); }

inline void removeListFile(const std::wstring& path) {
    if (path.empty()) return;
    removeFile(path);
    for (const std::wstring& leftover : saveLeftovers(folderOf(path))) removeFile(leftover);
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
