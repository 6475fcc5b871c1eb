#pragma once
// A list of address patterns compiled once into one index, answering the same question as
// walking the lines with `urlmatch`: which is the first usable line that matches an address.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/ansi_text.h"
#include "core/piece_index.h"
#include "core/url_pattern.h"

namespace nimbrel {

class CompiledList {
public:
    CompiledList() = default;  // an empty list: matches nothing
    CompiledList(const CodePage& codePage, ListLines lines);

    // Index (in the lines it was built from) of the first usable line that matches.
    std::optional<std::size_t> firstMatch(const SearchText& address) const;
    bool matches(const SearchText& address) const { return firstMatch(address).has_value(); }
    // The text of a line it was built from, to name it once it matched.
    std::string_view line(std::size_t number) const;

    std::size_t memoryBytes() const;

private:
    struct Line {
        std::uint32_t number;      // in the original list
        std::uint32_t otherBegin;  // its pieces besides the key, in otherPieces_
        std::uint32_t otherEnd;
    };

    bool othersFound(const Line& line, const std::vector<PieceId>& found) const;

    PieceIndex index_;
    std::vector<Line> lines_;               // lines with pieces, before the first that matches all
    std::vector<PieceId> otherPieces_;
    // Each line is filed under its longest piece: lines_[keyedLines_[i]] for i in
    // [keyedStart_[p], keyedStart_[p + 1]), in list order.
    std::vector<std::uint32_t> keyedStart_;
    std::vector<std::uint32_t> keyedLines_;
    std::optional<std::size_t> firstMatchingAll_;  // a usable line without any non-empty piece
    std::string lineText_;  // every line, one after the other: line i is [lineStart_[i], lineStart_[i + 1])
    std::vector<std::uint32_t> lineStart_{0};
};

// Both lists of the user, compiled for one code page.
struct CompiledLists {
    CompiledLists() = default;
    CompiledLists(const CodePage& codePage, const ExceptionLists& lists)
        : codePage(codePage), white(codePage, lists.white), black(codePage, lists.black) {}

    std::size_t memoryBytes() const { return white.memoryBytes() + black.memoryBytes(); }

    CodePage codePage;
    CompiledList white;
    CompiledList black;
};

}  // namespace nimbrel
