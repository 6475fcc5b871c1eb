#include "filter/list_files.h"

#include "core/messages.h"
#include "platform/ansi.h"
#include "platform/error.h"
#include "platform/raii.h"
#include "platform/safe_file.h"

#include <windows.h>

#include <algorithm>
#include <vector>

namespace nimbrel {
namespace {

// What the box shows for a character the edit box cannot hold.
constexpr wchar_t kUnshowable = L'\xFFFD';

[[noreturn]] void cannotOpen(const std::wstring& path) { throw Error(formatMessage(L"Cannot open file %s", {path})); }

std::wstring decode(ListEncoding encoding, std::string_view bytes) {
    switch (encoding) {
    case ListEncoding::utf8:
    case ListEncoding::utf8NoMark: return fromCodePage(CP_UTF8, bytes);
    case ListEncoding::utf16le: {
        std::wstring text(bytes.size() / 2, L'\0');
        std::copy_n(bytes.data(), text.size() * 2, reinterpret_cast<char*>(text.data()));
        if (bytes.size() % 2) text += kUnshowable;  // a lone last byte
        return text;
    }
    case ListEncoding::ansi: break;
    }
    return fromAnsi(bytes);
}

std::string encode(ListEncoding encoding, std::wstring_view text) {
    switch (encoding) {
    case ListEncoding::utf8:
    case ListEncoding::utf8NoMark: return toCodePage(CP_UTF8, text);
    case ListEncoding::utf16le: return std::string(reinterpret_cast<const char*>(text.data()), text.size() * 2);
    case ListEncoding::ansi: break;
    }
    return toAnsi(text);
}

std::string readAll(const std::wstring& path) {
    FileHandle file(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                  OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    LARGE_INTEGER size{};
    if (!file || !GetFileSizeEx(file.get(), &size)) cannotOpen(path);
    std::string bytes(static_cast<size_t>(size.QuadPart), '\0');
    size_t done = 0;
    while (done < bytes.size()) {
        DWORD chunk = 0;
        const auto wanted = static_cast<DWORD>(std::min<size_t>(bytes.size() - done, 1 << 20));
        if (!ReadFile(file.get(), bytes.data() + done, wanted, &chunk, nullptr)) cannotOpen(path);
        if (chunk == 0) break;
        done += chunk;
    }
    bytes.resize(done);
    return bytes;
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
    return readAll(path);
}

std::optional<ListFile> readListFile(const std::wstring& path) {
    if (GetFileAttributesW(path.c_str()) == INVALID_FILE_ATTRIBUTES) return std::nullopt;
    const ListFileLines file = splitListFile(readAll(path));
    ListFile list;
    list.encoding = file.encoding;
    for (size_t i = 0; i < file.lines.size(); ++i) {
        std::wstring line = decode(file.encoding, file.lines[i]);
        if (line.find(L'\0') != std::wstring::npos || encode(file.encoding, line) != file.lines[i]) {
            list.faithful = false;
            std::replace(line.begin(), line.end(), L'\0', kUnshowable);
        }
        list.text += line;
        if (i + 1 < file.lines.size() || file.finalBreak) list.text += L"\r\n";
    }
    return list;
}

void writeListFile(const std::wstring& path, std::wstring_view text, ListEncoding encoding) {
    std::string bytes(byteOrderMark(encoding));
    bytes += encode(encoding, text);
    writeFileBytes(path, bytes);
}

}  // namespace nimbrel
