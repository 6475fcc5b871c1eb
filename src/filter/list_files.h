// The white and black list files: one pattern a line, in the system's ANSI code page, in
// UTF-8 or UTF-16 LE when the file starts with that byte-order mark, or in UTF-8 without
// a mark when its bytes say so.
#pragma once

#include "core/list_file_text.h"

#include <optional>
#include <string>

namespace nimbrel {

inline constexpr const wchar_t* kWhiteListFile = L"white.lis";
inline constexpr const wchar_t* kBlackListFile = L"black.lis";

// The program's directory with its trailing separator, followed by the file name.
std::wstring listFilePath(const wchar_t* fileName);

// The file's bytes as they are, or nothing when the file does not exist. A file that
// exists but cannot be read throws "Cannot open file %s".
std::optional<std::string> readFileBytes(const std::wstring& path);

// A list file as its box shows it.
struct ListFile {
    std::wstring text;  // every line end made CR LF
    ListEncoding encoding = ListEncoding::ansi;
    // Whether writing the text back in the encoding gives the file's bytes again (line
    // ends apart). Bytes invalid in the encoding, or a NUL byte, make it false: the box
    // shows such a file as well as it can, and only a change by the user rewrites it.
    bool faithful = true;
};

// The file's text, or nothing when the file does not exist. A file that exists but cannot
// be read throws "Cannot open file %s".
std::optional<ListFile> readListFile(const std::wstring& path);

// Saves a list safely (platform/safe_file.h): the text in the encoding, with its mark.
void writeListFile(const std::wstring& path, std::wstring_view text, ListEncoding encoding);

}  // namespace nimbrel
