// The white and black list files beside the program: plain ANSI text, one pattern a line.
#pragma once

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

// The file's text with every line end made CR LF, or nothing when the file does not
// exist. A file that exists but cannot be read throws "Cannot open file %s".
std::optional<std::string> readListFile(const std::wstring& path);

// Replaces the file with the text in one step: the text goes to a new file in the same
// directory first, so a failed save never leaves a partly written list. A file that
// cannot be replaced throws "Cannot create file %s" and is left as it was.
void writeListFile(const std::wstring& path, const std::string& text);

}  // namespace nimbrel
