#include "platform/safe_file.h"

#include "core/messages.h"
#include "platform/error.h"
#include "platform/raii.h"

#include <algorithm>
#include <cstdint>
#include <cwchar>
#include <vector>

namespace nimbrel {
namespace {

[[noreturn]] void cannotCreate(const std::wstring& path) {
    throw Error(formatMessage(L"Cannot create file %s", {path}));
}

bool exists(const std::wstring& path) { return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

void removeFile(const std::wstring& path) {
    if (path.empty()) return;
    SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
    DeleteFileW(path.c_str());
}

bool writeAt(HANDLE file, std::uint64_t offset, std::string_view bytes) {
    LARGE_INTEGER at{};
    at.QuadPart = static_cast<LONGLONG>(offset);
    if (!SetFilePointerEx(file, at, nullptr, FILE_BEGIN)) return false;
    size_t written = 0;
    while (written < bytes.size()) {
        DWORD chunk = 0;
        const auto wanted = static_cast<DWORD>(std::min<size_t>(bytes.size() - written, 1 << 20));
        if (!WriteFile(file, bytes.data() + written, wanted, &chunk, nullptr) || chunk == 0) return false;
        written += chunk;
    }
    return true;
}

bool truncateAt(HANDLE file, std::uint64_t size) {
    LARGE_INTEGER at{};
    at.QuadPart = static_cast<LONGLONG>(size);
    return SetFilePointerEx(file, at, nullptr, FILE_BEGIN) && SetEndOfFile(file);
}

bool readAll(HANDLE file, std::string& bytes) {
    LARGE_INTEGER size{};
    if (!GetFileSizeEx(file, &size)) return false;
    bytes.assign(static_cast<size_t>(size.QuadPart), '\0');
    size_t done = 0;
    while (done < bytes.size()) {
        DWORD chunk = 0;
        const auto wanted = static_cast<DWORD>(std::min<size_t>(bytes.size() - done, 1 << 20));
        if (!ReadFile(file, bytes.data() + done, wanted, &chunk, nullptr) || chunk == 0) return false;
        done += chunk;
    }
    return true;
}

// A file made under the first name nobody has taken (prefix, four hex digits from 0000,
// extension), or the error that refused it. Files left by a save that never ended are
// passed over.
struct NewFile {
    std::wstring name;
    FileHandle handle;
    DWORD error = ERROR_SUCCESS;
};

NewFile newFileBeside(const std::wstring& path, const wchar_t* extension) {
    const std::wstring folder = path.substr(0, path.find_last_of(L"\\/") + 1);
    NewFile made;
    for (unsigned number = 0; number <= 0xFFFF; ++number) {
        wchar_t digits[8];
        std::swprintf(digits, 8, L"%04X", number);
        made.name = folder + kSavePrefix + digits + extension;
        made.handle = FileHandle(CreateFileW(made.name.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                             FILE_ATTRIBUTE_NORMAL, nullptr));
        if (made.handle) return made;
        made.error = GetLastError();
        if (made.error != ERROR_FILE_EXISTS && made.error != ERROR_ALREADY_EXISTS) break;
    }
    made.name.clear();
    return made;
}

// Another program (a virus scanner, an indexer, a reader) may hold the file for a moment
// without letting it be written or replaced: such a refusal is tried again for about a
// second before it counts. The attempt gives the error it met, ERROR_SUCCESS when it worked.
template <typename Attempt>
DWORD retriedWhileShared(Attempt attempt) {
    constexpr int kTries = 20;
    constexpr DWORD kPause = 50;
    DWORD error = attempt();
    for (int tries = 1; error == ERROR_SHARING_VIOLATION && tries < kTries; ++tries) {
        Sleep(kPause);
        error = attempt();
    }
    return error;
}

DWORD errorOf(BOOL done) { return done ? ERROR_SUCCESS : GetLastError(); }

// The folder refuses to take a file, as opposed to a disk that is full or a name in use.
bool refusedByFolder(DWORD error) { return error == ERROR_ACCESS_DENIED || error == ERROR_WRITE_PROTECT; }

// Removes a file it made unless told that it is in use.
class TemporaryName {
public:
    explicit TemporaryName(std::wstring name) : name_(std::move(name)) {}
    TemporaryName(const TemporaryName&) = delete;
    TemporaryName& operator=(const TemporaryName&) = delete;
    ~TemporaryName() { removeFile(name_); }
    const std::wstring& name() const { return name_; }
    void keep() { name_.clear(); }

private:
    std::wstring name_;
};

// Gives the new file the old one's access list and attributes. ReplaceFileW merges them
// as well, but where it cannot, it says nothing (REPLACEFILE_IGNORE_MERGE_ERRORS), and not
// every implementation merges them at all.
void takeOverAccessAndAttributes(const std::wstring& from, const std::wstring& to, DWORD attributes) {
    DWORD size = 0;
    GetFileSecurityW(from.c_str(), DACL_SECURITY_INFORMATION, nullptr, 0, &size);
    std::vector<BYTE> descriptor(size);
    if (size && GetFileSecurityW(from.c_str(), DACL_SECURITY_INFORMATION, descriptor.data(), size, &size))
        SetFileSecurityW(to.c_str(), DACL_SECURITY_INFORMATION, descriptor.data());
    SetFileAttributesW(to.c_str(), attributes);
}

void replaceWithNewFile(const std::wstring& path, NewFile& temporary, std::string_view bytes) {
    TemporaryName newBytes(temporary.name);
    FileHandle file = std::move(temporary.handle);  // closed before its name is removed
    const bool written = writeAt(file.get(), 0, bytes) && FlushFileBuffers(file.get());
    file.reset();
    if (!written) cannotCreate(path);
    const DWORD attributes = GetFileAttributesW(path.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) {
        if (!MoveFileExW(newBytes.name().c_str(), path.c_str(), MOVEFILE_WRITE_THROUGH)) cannotCreate(path);
        newBytes.keep();
        return;
    }
    takeOverAccessAndAttributes(path, newBytes.name(), attributes);
    NewFile backup = newFileBeside(path, kSaveOldExtension);
    if (backup.name.empty()) cannotCreate(path);
    backup.handle.reset();
    removeFile(backup.name);  // only its name is wanted: not every ReplaceFileW overwrites a backup
    const auto replace = [&] {
        const DWORD error = errorOf(ReplaceFileW(path.c_str(), newBytes.name().c_str(), backup.name.c_str(),
                                                 REPLACEFILE_IGNORE_MERGE_ERRORS, nullptr, nullptr));
        const bool untouched = exists(path) && exists(newBytes.name()) && !exists(backup.name);
        return error == ERROR_SHARING_VIOLATION && !untouched ? ERROR_UNABLE_TO_REMOVE_REPLACED : error;
    };
    if (retriedWhileShared(replace) == ERROR_SUCCESS) {
        newBytes.keep();
        removeFile(backup.name);
        return;
    }
    newBytes.keep();  // the undo decides what becomes of it
    undoFailedReplace(path, temporary.name, backup.name);
    cannotCreate(path);
}

// For a folder that takes no new file. The part beyond the old size goes first and the
// old bytes are kept in memory, so that a failure can give the file back as it was.
void writeInPlace(const std::wstring& path, std::string_view bytes) {
    FileHandle file;
    retriedWhileShared([&] {
        file = FileHandle(CreateFileW(path.c_str(), GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ, nullptr,
                                      OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
        return errorOf(static_cast<bool>(file));
    });
    std::string old;
    if (!file || !readAll(file.get(), old)) cannotCreate(path);
    const size_t front = std::min(old.size(), bytes.size());
    if (bytes.size() > old.size() &&
        !(writeAt(file.get(), old.size(), bytes.substr(front)) && FlushFileBuffers(file.get()))) {
        truncateAt(file.get(), old.size());
        cannotCreate(path);
    }
    if (!writeAt(file.get(), 0, bytes.substr(0, front)) || !truncateAt(file.get(), bytes.size()) ||
        !FlushFileBuffers(file.get())) {
        writeAt(file.get(), 0, old);
        truncateAt(file.get(), old.size());
        cannotCreate(path);
    }
}

}  // namespace

void checkFileWritable(const std::wstring& path) {
    const DWORD attributes = GetFileAttributesW(path.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) return;
    if (attributes & FILE_ATTRIBUTE_READONLY) cannotCreate(path);
    constexpr DWORD kShareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;
    // Replacing the file needs it free to be renamed; where that right is not ours at all,
    // it is written in place, which needs only the right to write.
    const auto openable = [&](DWORD access) {
        return retriedWhileShared([&] {
            const FileHandle probe(
                CreateFileW(path.c_str(), access, kShareAll, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
            return errorOf(static_cast<bool>(probe));
        });
    };
    const DWORD error = openable(GENERIC_WRITE | DELETE);
    if (error != ERROR_SUCCESS && (error != ERROR_ACCESS_DENIED || openable(GENERIC_WRITE) != ERROR_SUCCESS))
        cannotCreate(path);
}

void writeFileBytes(const std::wstring& path, std::string_view bytes) {
    checkFileWritable(path);
    NewFile temporary = newFileBeside(path, kSaveNewExtension);
    if (!temporary.name.empty())
        replaceWithNewFile(path, temporary, bytes);
    else if (refusedByFolder(temporary.error) && exists(path))
        writeInPlace(path, bytes);
    else
        cannotCreate(path);
}

bool undoFailedReplace(const std::wstring& path, const std::wstring& temporary, const std::wstring& backup) {
    if (!exists(path)) {
        if (exists(backup))
            MoveFileExW(backup.c_str(), path.c_str(), MOVEFILE_WRITE_THROUGH);
        else
            MoveFileExW(temporary.c_str(), path.c_str(), MOVEFILE_WRITE_THROUGH);
    }
    if (!exists(path)) return false;
    removeFile(temporary);
    removeFile(backup);
    return true;
}

}  // namespace nimbrel
