// Long texts go to the system's conversions in pieces whose sizes fit an int: no piece may
// cut a character in two, however the text is made, and the pieces together are the text.
#include "core/text_pieces.h"

#include <gtest/gtest.h>

#include <vector>

namespace nimbrel {
namespace {

// Where the pieces of at most `most` units end, walked from the start as a conversion does.
template <typename End>
std::vector<std::size_t> pieceEnds(std::size_t size, std::size_t most, End end) {
    std::vector<std::size_t> ends;
    for (std::size_t start = 0; start < size && ends.size() <= size;) ends.push_back(start = end(start, most));
    return ends;
}

using Ends = std::vector<std::size_t>;

TEST(TextPiecesTest, NoPieceCutsACharacterOfItsEncoding) {
    const CodePage gb = CodePage::gb2312();
    // 0xD0, the second byte of 中, is a lead byte too: only a walk from the start tells.
    const std::string ansi = "a\xD6\xD0\xD6\xD0" "b";
    const auto ansiEnds = [&](std::size_t most) {
        return pieceEnds(ansi.size(), most, [&](std::size_t at, std::size_t m) { return ansiPieceEnd(gb, ansi, at, m); });
    };
    EXPECT_EQ(ansiEnds(1), (Ends{1, 3, 5, 6})) << "a character longer than a piece is a piece of its own";
    EXPECT_EQ(ansiEnds(2), (Ends{1, 3, 5, 6}));
    EXPECT_EQ(ansiEnds(4), (Ends{3, 6}));
    EXPECT_EQ(ansiEnds(6), (Ends{6}));
    const std::string single = "\xD6\xD0\xD6";
    EXPECT_EQ(ansiPieceEnd(CodePage::singleByte(), single, 0, 1), 1u);

    const std::string utf8 = "a\xE4\xB8\xAD\xF0\x9F\x98\x80z";  // a, 中, an emoji, z
    const auto utf8Ends = [&](std::size_t most) {
        return pieceEnds(utf8.size(), most, [&](std::size_t at, std::size_t m) { return utf8PieceEnd(utf8, at, m); });
    };
    EXPECT_EQ(utf8Ends(3), (Ends{1, 4, 7, 9})) << "no room: the emoji is cut, as nothing else is possible";
    EXPECT_EQ(utf8Ends(4), (Ends{4, 8, 9}));
    EXPECT_EQ(utf8Ends(6), (Ends{4, 9}));
    EXPECT_EQ(utf8PieceEnd("\x80\x80\x80\x80\x80", 0, 4), 4u) << "stray continuation bytes cut anywhere";

    const std::u16string utf16 = u"a\xD83D\xDE00" u"b";
    const auto utf16Ends = [&](std::size_t most) {
        return pieceEnds(utf16.size(), most,
                         [&](std::size_t at, std::size_t m) { return utf16PieceEnd(std::u16string_view(utf16), at, m); });
    };
    EXPECT_EQ(utf16Ends(2), (Ends{1, 3, 4}));
    EXPECT_EQ(utf16Ends(1), (Ends{1, 2, 3, 4})) << "a pair longer than a piece is cut, as nothing else is possible";
    EXPECT_EQ(utf16Ends(3), (Ends{3, 4}));
}

}  // namespace
}  // namespace nimbrel
