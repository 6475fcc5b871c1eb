#include "filter/list_location.h"

#include "core/storage_place.h"
#include "filter/list_files.h"
#include "platform/raii.h"

#include <windows.h>
#include <knownfolders.h>
#include <shlobj.h>

namespace nimbrel {
namespace {

bool exists(const std::wstring& path) { return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

std::wstring directoryOf(const std::wstring& path) { return path.substr(0, path.find_last_of(L"\\/") + 1); }

std::wstring userFolder() {
    PWSTR known = nullptr;
    std::wstring folder;
    if (SUCCEEDED(SHGetKnownFolderPath(FOLDERID_LocalAppData, KF_FLAG_DEFAULT, nullptr, &known)))
        folder = std::wstring(known) + L"\\Nimbrel\\";
    CoTaskMemFree(known);
    return folder;
}

// Whether a new file can be made in the folder: the only sure test is to make one (a
// name of this process's own, gone again when closed).
bool directoryWritable(const std::wstring& directory) {
    const std::wstring probe = directory + L"~nimbrel-" + std::to_wstring(GetCurrentProcessId()) + L".tmp";
    const FileHandle file(CreateFileW(probe.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                      FILE_ATTRIBUTE_TEMPORARY | FILE_FLAG_DELETE_ON_CLOSE, nullptr));
    return static_cast<bool>(file);
}

// Whether the user may change the file: not read-only, and open for writing to us. A file
// that another program holds at the moment is still the user's to write.
bool fileWritable(const std::wstring& path) {
    const DWORD attributes = GetFileAttributesW(path.c_str());
    if (attributes & FILE_ATTRIBUTE_READONLY) return false;
    const FileHandle file(CreateFileW(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                      nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    return file || GetLastError() == ERROR_SHARING_VIOLATION;
}

bool besideWritable(const std::wstring& beside) {
    return exists(beside) ? fileWritable(beside) : directoryWritable(directoryOf(beside));
}

}  // namespace

std::wstring userListPath(const wchar_t* fileName) {
    const std::wstring folder = userFolder();
    return folder.empty() ? std::wstring() : folder + fileName;
}

std::wstring listReadPath(const wchar_t* fileName) {
    const std::wstring user = userListPath(fileName);
    const std::wstring beside = listFilePath(fileName);
    if (user.empty()) return beside;
    return listReadPlace(besideWritable(beside), exists(user)) == Place::user ? user : beside;
}

std::wstring listWritePath(const wchar_t* fileName) {
    const std::wstring user = userListPath(fileName);
    const std::wstring beside = listFilePath(fileName);
    if (user.empty() || listWritePlace(besideWritable(beside)) == Place::machine) return beside;
    CreateDirectoryW(directoryOf(user).c_str(), nullptr);  // its parent is the user's own
    return user;
}

}  // namespace nimbrel
