// A list file's bytes taken apart before any conversion: its encoding, told by a
// byte-order mark, and its lines, split at the line ends found in the bytes themselves,
// so that a double-byte lead byte just before a CR can never swallow the line end.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace nimbrel {

enum class ListEncoding {
    ansi,     // no mark: the system's ANSI code page
    utf8,     // EF BB BF
    utf16le,  // FF FE
};

struct ListFileLines {
    ListEncoding encoding = ListEncoding::ansi;
    // Each line's bytes in the file's encoding, without the mark and without its line end.
    std::vector<std::string> lines;
    // Whether the last line was ended by a line break.
    bool finalBreak = false;
};

std::string_view byteOrderMark(ListEncoding encoding);

// Splits at every line end (CR LF, a lone CR or a lone LF; 16-bit units in UTF-16).
ListFileLines splitListFile(std::string_view bytes);

// The bytes of a file with these lines, in its encoding: the mark, then the lines, each
// ended by CR LF except the last when it had no line break.
std::string joinListFile(const ListFileLines& file);

}  // namespace nimbrel
