// Long texts cut into pieces for the system's conversions, which count in int: each piece
// ends on a character boundary, so that converting the pieces one by one gives the same
// text as converting the whole.
#pragma once

#include "core/ansi_text.h"

#include <cstddef>
#include <string_view>

namespace nimbrel {

// Units per piece: small enough that a piece and what it converts to (at most three bytes
// a UTF-16 unit, one unit a byte) fit an int.
inline constexpr std::size_t kConversionPiece = std::size_t{1} << 28;
static_assert(kConversionPiece * 3 <= 0x7FFFFFFF);

// The end of the piece that starts at `start` (a character boundary) and holds at most
// `most` bytes of text in the code page, or the end of the text. A piece always holds at
// least one character, so a walk over the pieces always ends.
std::size_t ansiPieceEnd(const CodePage& codePage, std::string_view text, std::size_t start, std::size_t most);
std::size_t utf8PieceEnd(std::string_view text, std::size_t start, std::size_t most);

// The same for UTF-16 units (wchar_t on Windows): a surrogate pair stays whole.
template <typename Unit>
std::size_t utf16PieceEnd(std::basic_string_view<Unit> text, std::size_t start, std::size_t most) {
    if (text.size() - start <= most) return text.size();
    const std::size_t end = start + most;
    const auto last = static_cast<unsigned>(text[end - 1]) & 0xFFFF;
    const bool splitsPair = last >= 0xD800 && last <= 0xDBFF;
    return splitsPair && end - 1 > start ? end - 1 : end;
}

}  // namespace nimbrel
