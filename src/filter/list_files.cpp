#include "filter/list_files.h"

#include "core/list_text.h"
#include "core/messages.h"
#include "platform/error.h"
#include "platform/raii.h"

#include <windows.h>

#include <vector>

namespace nimbrel {
namespace {

[[noreturn]] void cannotCreate(const std::wstring& path) {
    throw Error(formatMessage(L"Cannot create file %s", {path}));
}

bool writeAll(HANDLE file, const std::string& text) {
    size_t written = 0;
    while (written < text.size()) {
        DWORD chunk = 0;
        const auto wanted = static_cast<DWORD>(std::min<size_t>(text.size() - written, 1 << 20));
        if (!WriteFile(file, text.data() + written, wanted, &chunk, nullptr) || chunk == 0) return false;
        written += chunk;
    }
    return FlushFileBuffers(file) != 0;
}

// An existing list that is read-only or held open by another program cannot be replaced;
// find out before anything is written.
bool replaceable(const std::wstring& path) {
    const DWORD attributes = GetFileAttributesW(path.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) return true;
    if (attributes & FILE_ATTRIBUTE_READONLY) return false;
    FileHandle probe(CreateFileW(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                   nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    return static_cast<bool>(probe);
}

}  // namespace

std::wstring listFilePath(const wchar_t* fileName) {
    std::vector<wchar_t> path(MAX_PATH);
    DWORD length = 0;
    while ((length = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()))) >= path.size())
        path.resize(path.size() * 2);
    std::wstring directory(path.data(), length);
    directory.erase(directory.find_last_of(L"\\/") + 1);
    return directory + fileName;
}

std::optional<std::string> readFileBytes(const std::wstring& path) {
    if (GetFileAttributesW(path.c_str()) == INVALID_FILE_ATTRIBUTES) return std::nullopt;
    FileHandle file(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                  OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    LARGE_INTEGER size{};
    if (!file || !GetFileSizeEx(file.get(), &size))
        throw Error(formatMessage(L"Cannot open file %s", {path}));
    std::string text(static_cast<size_t>(size.QuadPart), '\0');
    size_t done = 0;
    while (done < text.size()) {
        DWORD chunk = 0;
        const auto wanted = static_cast<DWORD>(std::min<size_t>(text.size() - done, 1 << 20));
        if (!ReadFile(file.get(), text.data() + done, wanted, &chunk, nullptr))
            throw Error(formatMessage(L"Cannot open file %s", {path}));
        if (chunk == 0) break;
        done += chunk;
    }
    text.resize(done);
    return text;
}

std::optional<std::string> readListFile(const std::wstring& path) {
    auto text = readFileBytes(path);
    if (text) *text = normaliseLineEnds(*text);
    return text;
}

void writeListFile(const std::wstring& path, const std::string& text) {
    if (!replaceable(path)) cannotCreate(path);
    const std::wstring temporary = path + L".new";
    {
        FileHandle file(CreateFileW(temporary.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                      FILE_ATTRIBUTE_NORMAL, nullptr));
        if (!file) cannotCreate(path);
        if (!writeAll(file.get(), text)) {
            file.reset();
            DeleteFileW(temporary.c_str());
            cannotCreate(path);
        }
    }
    if (!MoveFileExW(temporary.c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        DeleteFileW(temporary.c_str());
        cannotCreate(path);
    }
}

}  // namespace nimbrel
