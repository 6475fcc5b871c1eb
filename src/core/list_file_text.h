// A list file's bytes taken apart before any conversion: its encoding, told by a
// byte-order mark or, for UTF-8 without one, by the bytes themselves, and its lines, split at the line ends found in the bytes themselves,
// so that a double-byte lead byte just before a CR can never swallow the line end.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace nimbrel {

enum class ListEncoding {
    ansi,        // no mark: the system's ANSI code page
    utf8,        // EF BB BF
    utf16le,     // FF FE
    utf8NoMark,  // no mark, but the bytes are UTF-8 (as today's Notepad saves)
};

struct ListFileLines {
    ListEncoding encoding = ListEncoding::ansi;
    // Each line's bytes in the file's encoding, without the mark and without its line end.
    std::vector<std::string> lines;
    // Whether the last line was ended by a line break.
    bool finalBreak = false;
};

std::string_view byteOrderMark(ListEncoding encoding);

// Whether bytes without a mark are UTF-8: every byte beyond ASCII belongs to a well-formed
// sequence (no overlong form, no surrogate, nothing past U+10FFFF) and at least one
// character takes three bytes or more, as every Chinese character does. GB2312 text
// forms valid UTF-8 now and then, in short lines, but only ever in two-byte sequences
// (measured on thousands of lines of real text): such a file stays ANSI.
bool looksLikeUtf8(std::string_view bytes);

// Tells the encoding, then splits at every line end (CR LF, a lone CR or a lone LF; 16-bit units in UTF-16).
ListFileLines splitListFile(std::string_view bytes);

// The bytes of a file with these lines, in its encoding: the mark, then the lines, each
// ended by CR LF except the last when it had no line break.
std::string joinListFile(const ListFileLines& file);

}  // namespace nimbrel
