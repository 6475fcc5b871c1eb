#pragma once
// Address patterns of the white and black lists: up to five pieces separated by '*', each
// of which must occur somewhere in the address, in any order, letter case ignored.

#include <array>
#include <cstddef>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "core/ansi_text.h"

namespace nimbrel {

// The lines of a list box, in box order.
using ListLines = std::span<const std::string>;

// The user's two lists, read from their boxes at the moment of the event.
struct ExceptionLists {
    ListLines white;  // never removed by the built-in tables
    ListLines black;  // always removed
};

inline constexpr std::size_t kPatternSlotCount = 5;
using PatternPieces = std::array<std::string_view, kPatternSlotCount>;

// Cuts a pattern into its five slots (views into `pattern`), trimmed of codes 0 to 32.
PatternPieces splitPattern(std::string_view pattern);

// Lines of 3 bytes or fewer stay in the list but never take part in matching.
bool isUsableLine(std::string_view line);

// True when every non-empty piece of `pattern` occurs in `address` at a character boundary,
// letter case ignored. A pattern without non-empty pieces matches every address.
bool urlmatch(const CodePage& codePage, std::string_view pattern, std::string_view address);
bool urlmatch(std::string_view pattern, const SearchText& address);

// Index of the first usable line that matches the address, if any.
std::optional<std::size_t> firstListMatch(ListLines list, const SearchText& address);

// True when at least one usable line of the list matches the address.
bool listmatch(ListLines list, const SearchText& address);
bool listmatch(const CodePage& codePage, ListLines list, std::string_view address);

}  // namespace nimbrel
