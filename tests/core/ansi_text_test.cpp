// Address text rules: upper-casing by code page and searches that respect character boundaries.
#include "core/ansi_text.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace nimbrel {
namespace {

// Code page 936 characters used below (lead byte, trail byte):
const std::string kAh = "\xB0\xA1";               // 啊: a plain GB2312 character
const std::string kTrailLowerA = "\x81\x61";      // 乤: its trail byte is 'a'
const std::string kTrailUpperA = "\x81\x41";      // 丄: its trail byte is 'A'
const std::string kChinese = "\xD6\xD0\xCE\xC4";  // 中文

TEST(CodePageTest, LeadBytesComeFromTheGivenRanges) {
    const CodePage page{{0x81, 0x9F}, {0xE0, 0xFC}};
    EXPECT_TRUE(page.isLeadByte(0x81));
    EXPECT_TRUE(page.isLeadByte(0x9F));
    EXPECT_FALSE(page.isLeadByte(0xA0));
    EXPECT_TRUE(page.isLeadByte(0xE0));
    EXPECT_TRUE(page.isLeadByte(0xFC));
    EXPECT_FALSE(page.isLeadByte(0xFD));
    EXPECT_FALSE(page.isLeadByte('a'));
    EXPECT_TRUE(page.hasLeadBytes());
}

TEST(CodePageTest, RangesFromASpanAndARangeReachingTheTopByte) {
    const std::vector<LeadByteRange> ranges{{0xFE, 0xFF}};
    const CodePage page{std::span<const LeadByteRange>(ranges)};
    EXPECT_TRUE(page.isLeadByte(0xFF));
    EXPECT_FALSE(page.isLeadByte(0xFD));
}

TEST(CodePageTest, SingleByteAndGb2312) {
    EXPECT_FALSE(CodePage::singleByte().hasLeadBytes());
    for (unsigned byte = 0; byte < 256; ++byte) {
        EXPECT_FALSE(CodePage::singleByte().isLeadByte(static_cast<unsigned char>(byte)));
        EXPECT_EQ(CodePage::gb2312().isLeadByte(static_cast<unsigned char>(byte)),
                  byte >= 0x81 && byte <= 0xFE)
            << byte;
    }
}

TEST(UpperCaseTest, OnlyAsciiLettersChange) {
    EXPECT_EQ(upperCase(CodePage::singleByte(), "http://Ad.example.com/a_b?z=1&Q={}~"),
              "HTTP://AD.EXAMPLE.COM/A_B?Z=1&Q={}~");
    // Latin-1 small letters are not ASCII letters and stay as they are.
    EXPECT_EQ(upperCase(CodePage::singleByte(), "\xE9t\xE9"), "\xE9T\xE9");
}

TEST(UpperCaseTest, DoubleByteCharactersStayWhole) {
    const CodePage gb = CodePage::gb2312();
    EXPECT_EQ(upperCase(gb, "a" + kTrailLowerA + "b"), "A" + kTrailLowerA + "B");
    EXPECT_EQ(upperCase(gb, kChinese + "abc" + kAh), kChinese + "ABC" + kAh);
}

TEST(UpperCaseTest, SingleBytePageUppercasesBytesAfterHighBytes) {
    // Without lead bytes, 0x81 is a character of its own and the 'a' after it is a letter.
    EXPECT_EQ(upperCase(CodePage::singleByte(), kTrailLowerA),
              "\x81"
              "A");
}

TEST(UpperCaseTest, LeadByteAtTheEndIsLeftAlone) {
    EXPECT_EQ(upperCase(CodePage::gb2312(), "ab\x81"), "AB\x81");
}

TEST(FindAtBoundaryTest, TrailByteNeverStartsAMatch) {
    const CodePage gb = CodePage::gb2312();
    const std::string address = "HTTP://X/" + kTrailUpperA;
    EXPECT_FALSE(containsAtBoundary(gb, address, "A"));
    EXPECT_TRUE(containsAtBoundary(CodePage::singleByte(), address, "A"));
}

TEST(FindAtBoundaryTest, LaterMatchAtABoundaryIsFound) {
    const CodePage gb = CodePage::gb2312();
    const std::string text = kTrailUpperA + "XA";
    EXPECT_EQ(findAtBoundary(gb, text, "A"), 3u);
    EXPECT_EQ(findAtBoundary(gb, kChinese + "AD", "AD"), 4u);
}

TEST(FindAtBoundaryTest, DoubleByteNeedleMatchesOnlyWholeCharacters) {
    const CodePage gb = CodePage::gb2312();
    // "\xC4\xD6" spans the trail of 中 and the lead of 文: not a character of the text.
    EXPECT_FALSE(containsAtBoundary(gb, kChinese, "\xD0\xCE"));
    EXPECT_TRUE(containsAtBoundary(gb, kChinese, "\xCE\xC4"));
    EXPECT_TRUE(containsAtBoundary(gb, kChinese, kChinese));
    // A run of lead-range bytes: the pairs are (B0 B0)(B0 B0); B0 B0 at offset 1 is no character.
    EXPECT_EQ(findAtBoundary(gb, "\xB0\xB0\xB0\xB0", "\xB0\xB0"), 0u);
    EXPECT_EQ(findAtBoundary(gb, "x\xB0\xB0\xB0\xB0", "\xB0\xB0\xB0"), 1u);
    EXPECT_EQ(findAtBoundary(gb, "\xB0\xB0\xB0", "\xB0\xB0\xB0"), 0u);
    EXPECT_EQ(findAtBoundary(gb, "\xB0\xB0\xB0\xB0", "\xB0\xB0\xB0\xB0\xB0"), std::string::npos);
}

TEST(FindAtBoundaryTest, EmptyNeedleAndEmptyText) {
    const CodePage gb = CodePage::gb2312();
    EXPECT_EQ(findAtBoundary(gb, "", ""), 0u);
    EXPECT_EQ(findAtBoundary(gb, "abc", ""), 0u);
    EXPECT_EQ(findAtBoundary(gb, "", "a"), std::string::npos);
}

TEST(ContainsIgnoringCaseTest, LettersMatchInAnyCaseButTrailBytesDoNot) {
    const CodePage gb = CodePage::gb2312();
    EXPECT_TRUE(containsIgnoringCase(gb, "http://www.DoubleClick.net/", "doubleclick"));
    // The trail byte 'a' is no letter 'a': neither "a" nor "A" is found inside 乤.
    EXPECT_FALSE(containsIgnoringCase(gb, "http://x/" + kTrailLowerA, "a"));
    EXPECT_FALSE(containsIgnoringCase(gb, "http://x/" + kTrailUpperA, "a"));
    EXPECT_TRUE(containsIgnoringCase(gb, "http://x/" + kTrailLowerA, kTrailLowerA));
}

TEST(TrimTest, CodesUpTo32GoFromBothEndsOnly) {
    EXPECT_EQ(trimBlanksAndControls(" \t\r\n\x01 ad . com \x1F "), "ad . com");
    EXPECT_EQ(trimBlanksAndControls(std::string("\0x\0", 3)), "x");
    EXPECT_EQ(trimBlanksAndControls("    "), "");
    // 0x81 and 0xA0 are above 32 even when char is signed.
    EXPECT_EQ(trimBlanksAndControls("\xA0x\x81"), "\xA0x\x81");
}

TEST(SearchTextTest, AgreesWithThePlainSearchEverywhere) {
    const CodePage gb = CodePage::gb2312();
    const std::vector<std::string> texts = {
        "http://ad.example.com/",
        kTrailUpperA + "A" + kTrailLowerA + "a",
        kChinese + "AD" + kAh,
        "\xB0\xB0\xB0\xB0\xB0",
        "x\x81",
        "",
    };
    const std::vector<std::string> needles = {"A",
                                              "AD",
                                              "\xB0\xB0",
                                              "\x81",
                                              kTrailUpperA,
                                              "\xA1"
                                              "A",
                                              ""};
    for (const std::string& text : texts) {
        const SearchText prepared(gb, text);
        EXPECT_EQ(prepared.upper(), upperCase(gb, text));
        for (const std::string& needle : needles) {
            EXPECT_EQ(prepared.contains(needle), containsAtBoundary(gb, upperCase(gb, text), needle))
                << "text " << text << " needle " << needle;
        }
    }
}

TEST(SearchTextTest, FindsBoundaryMatchAfterFalseOne) {
    const SearchText text(CodePage::gb2312(), kTrailUpperA + "zA");
    EXPECT_TRUE(text.contains("ZA"));
    EXPECT_TRUE(text.contains("A"));
    EXPECT_FALSE(SearchText(CodePage::gb2312(), kTrailUpperA).contains("A"));
}

}  // namespace
}  // namespace nimbrel
