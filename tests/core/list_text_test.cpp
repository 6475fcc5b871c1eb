#include "core/list_text.h"

#include <gtest/gtest.h>

namespace nimbrel {
namespace {

TEST(ListTextTest, EveryKindOfLineEndBecomesCrLf) {
    EXPECT_EQ(normaliseLineEnds("a\rb\nc\r\nd"), "a\r\nb\r\nc\r\nd");
    EXPECT_EQ(normaliseLineEnds("a\n\r\n\rb\r"), "a\r\n\r\n\r\nb\r\n");  // LF CR LF CR: three breaks
    EXPECT_EQ(normaliseLineEnds("\xB9\xE3\xB8\xE6\r"), "\xB9\xE3\xB8\xE6\r\n");  // GB2312 text untouched
    EXPECT_EQ(normaliseLineEnds(""), "");
}

TEST(ListTextTest, LinesSplitAtCrLfWithoutATrailingEmptyLine) {
    EXPECT_EQ(splitLines("one\r\ntwo\r\n"), (std::vector<std::string>{"one", "two"}));
    EXPECT_EQ(splitLines("one\r\ntwo"), (std::vector<std::string>{"one", "two"}));
    EXPECT_EQ(splitLines("one\r\n\r\n  \r\nfour"), (std::vector<std::string>{"one", "", "  ", "four"}));
    EXPECT_TRUE(splitLines("").empty());
}

// A box whose last line has no break never gains an empty line after the address.
TEST(ListTextTest, AnAppendedLineBecomesTheLastLine) {
    EXPECT_EQ(withLineAppended("", "Popup ad"), "Popup ad\r\n");
    EXPECT_EQ(withLineAppended("a\r\n", "b"), "a\r\nb\r\n");
    EXPECT_EQ(withLineAppended("a", "b"), "a\r\nb");
    EXPECT_EQ(withLineAppended(std::wstring_view(L"a"), L"\x4E2D"), L"a\r\n\x4E2D");
    EXPECT_EQ(splitLines(withLineAppended(withLineAppended("x", "y"), "y")),
              (std::vector<std::string>{"x", "y", "y"}));
}

}  // namespace
}  // namespace nimbrel
