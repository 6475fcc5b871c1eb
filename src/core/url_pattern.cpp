#include "core/url_pattern.h"

#include <algorithm>

namespace nimbrel {

namespace {

constexpr std::size_t kUsableLineMinLength = 4;

// The rest of the pattern moves on to the next piece only when more than the '*' and one
// character follow; otherwise the next slot gets the same piece again.
constexpr std::size_t kShortestTailThatAdvances = 3;

bool hasAsciiLower(std::string_view text) {
    return std::any_of(text.begin(), text.end(), [](char c) { return c >= 'a' && c <= 'z'; });
}

// `buffer` is reused across pieces and lines so that a long list does not allocate per line.
bool pieceFound(std::string_view piece, const SearchText& address, std::string& buffer) {
    if (!hasAsciiLower(piece)) {
        return address.contains(piece);
    }
    buffer.assign(piece);
    upperCaseInPlace(address.codePage(), buffer);
    return address.contains(buffer);
}

// One slot of the splitting: the piece for the slot at the front of `remainder`. Returns
// whether the remainder moved on; when it did not, every later slot gets the same piece.
// '*' is looked for byte by byte: no double-byte code page of the system uses it as a trail byte.
bool takePiece(std::string_view& remainder, std::string_view& piece) {
    const std::size_t star = remainder.find('*');
    const std::size_t tailLength = star == std::string_view::npos ? 0 : remainder.size() - star;
    piece = trimBlanksAndControls(remainder.substr(0, star));
    if (tailLength < kShortestTailThatAdvances) {
        return false;
    }
    remainder.remove_prefix(star + 1);
    return true;
}

// Tests each piece as soon as it is cut, so that most lines are settled by their first piece.
bool patternMatches(std::string_view pattern, const SearchText& address, std::string& buffer) {
    std::string_view remainder = pattern;
    std::string_view piece;
    for (std::size_t slot = 0; slot < kPatternSlotCount; ++slot) {
        const bool advanced = takePiece(remainder, piece);
        if (!piece.empty() && !pieceFound(piece, address, buffer)) {
            return false;
        }
        if (!advanced) {
            break;  // the remaining slots repeat this piece
        }
    }
    return true;
}

}  // namespace

PatternPieces splitPattern(std::string_view pattern) {
    PatternPieces pieces;
    std::string_view remainder = pattern;
    for (std::size_t slot = 0; slot < pieces.size(); ++slot) {
        if (!takePiece(remainder, pieces[slot])) {
            std::fill(pieces.begin() + static_cast<std::ptrdiff_t>(slot) + 1, pieces.end(), pieces[slot]);
            break;
        }
    }
    return pieces;
}

bool isUsableLine(std::string_view line) { return line.size() >= kUsableLineMinLength; }

bool urlmatch(std::string_view pattern, const SearchText& address) {
    std::string buffer;
    return patternMatches(pattern, address, buffer);
}

bool urlmatch(const CodePage& codePage, std::string_view pattern, std::string_view address) {
    return urlmatch(pattern, SearchText(codePage, address));
}

std::optional<std::size_t> firstListMatch(ListLines list, const SearchText& address) {
    std::string buffer;
    for (std::size_t index = 0; index < list.size(); ++index) {
        if (isUsableLine(list[index]) && patternMatches(list[index], address, buffer)) {
            return index;
        }
    }
    return std::nullopt;
}

bool listmatch(ListLines list, const SearchText& address) {
    return firstListMatch(list, address).has_value();
}

bool listmatch(const CodePage& codePage, ListLines list, std::string_view address) {
    return listmatch(list, SearchText(codePage, address));
}

}  // namespace nimbrel
