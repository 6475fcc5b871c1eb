// Address text rules: upper-casing by code page and searches that respect character boundaries.
#include "core/ansi_text.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace nimbrel {
namespace {

// Code page 936: 0x81 0x41 and 0x81 0x61 are single characters whose trail bytes read as 'A', 'a'.
const std::string kTrailUpperA = "\x81\x41";
const std::string kTrailLowerA = "\x81\x61";
const std::string kChinese = "\xD6\xD0\xCE\xC4";  // 中文

TEST(CodePageTest, LeadBytesComeFromTheRanges) {
    const CodePage page{{0x81, 0x9F}, {0xE0, 0xFF}};
    for (unsigned byte : {0x81u, 0x9Fu, 0xE0u, 0xFFu}) EXPECT_TRUE(page.isLeadByte(byte)) << byte;
    for (unsigned byte : {0x41u, 0x80u, 0xA0u, 0xDFu}) EXPECT_FALSE(page.isLeadByte(byte)) << byte;
    const unsigned char systemTable[12] = {0x81, 0x9F, 0xE0, 0xFC,
                                           0,    0,    0x20, 0x7F};  // stops at the zero pair
    const CodePage fromSystem = CodePage::fromLeadBytePairs(systemTable);
    EXPECT_TRUE(fromSystem.isLeadByte(0xFC));
    EXPECT_FALSE(fromSystem.isLeadByte(0xFD));
    EXPECT_FALSE(fromSystem.isLeadByte('A'));
    for (unsigned byte = 0; byte < 256; ++byte) {
        EXPECT_FALSE(CodePage::singleByte().isLeadByte(byte));
        EXPECT_EQ(CodePage::gb2312().isLeadByte(byte), byte >= 0x81 && byte <= 0xFE) << byte;
    }
}

TEST(UpperCaseTest, AsciiLettersOnlyAndDoubleByteCharactersWhole) {
    const CodePage gb = CodePage::gb2312();
    EXPECT_EQ(upperCase(gb, "http://Ad.x.com/a_b?z={}~"), "HTTP://AD.X.COM/A_B?Z={}~");
    EXPECT_EQ(upperCase(gb, "a" + kTrailLowerA + "b" + kChinese + "c"),
              "A" + kTrailLowerA + "B" + kChinese + "C");
    EXPECT_EQ(upperCase(gb, "ab\x81"), "AB\x81");  // a lead byte at the end has no partner
    // Without lead bytes, 0x81 stands alone and the 'a' after it is a letter; Latin-1 é is no ASCII letter.
    EXPECT_EQ(upperCase(CodePage::singleByte(), kTrailLowerA + "\xE9"), "\201A\351");
}

TEST(FindAtBoundaryTest, MatchesStartOnlyOnCharacterBoundaries) {
    const CodePage gb = CodePage::gb2312();
    EXPECT_EQ(findAtBoundary(gb, "X/" + kTrailUpperA, "A"), std::string::npos);
    EXPECT_EQ(findAtBoundary(CodePage::singleByte(), "X/" + kTrailUpperA, "A"), 3u);
    EXPECT_EQ(findAtBoundary(gb, kTrailUpperA + "XA", "A"), 3u);             // a later match still counts
    EXPECT_EQ(findAtBoundary(gb, kChinese, "\xD0\xCE"), std::string::npos);  // trail of 中, lead of 文
    EXPECT_EQ(findAtBoundary(gb, kChinese, "\xCE\xC4"), 2u);
    EXPECT_EQ(findAtBoundary(gb, "x\xB0\xB0\xB0\xB0", "\xB0\xB0"), 1u);  // pairs (B0 B0)(B0 B0)
    EXPECT_EQ(findAtBoundary(gb, "\xB0x\xB0\xB0", "\xB0\xB0"), 2u);
    EXPECT_EQ(findAtBoundary(gb, "abc", ""), 0u);
    EXPECT_EQ(findAtBoundary(gb, "", "a"), std::string::npos);
}

TEST(ContainsIgnoringCaseTest, LettersInAnyCaseButNeverTrailBytes) {
    const CodePage gb = CodePage::gb2312();
    EXPECT_TRUE(containsIgnoringCase(gb, "http://www.DoubleClick.net/", "doubleclick"));
    EXPECT_FALSE(containsIgnoringCase(gb, "http://x/" + kTrailLowerA, "a"));
    EXPECT_FALSE(containsIgnoringCase(gb, "http://x/" + kTrailUpperA, "a"));
    EXPECT_TRUE(containsIgnoringCase(gb, "http://x/" + kTrailLowerA, kTrailLowerA));
}

TEST(TrimTest, CodesUpTo32GoFromBothEndsOnly) {
    EXPECT_EQ(trimBlanksAndControls(" \t\r\n\x01 ad . com \x1F "), "ad . com");
    EXPECT_EQ(trimBlanksAndControls(std::string("\0x\0", 3)), "x");
    EXPECT_EQ(trimBlanksAndControls("\xA0x\x81"), "\xA0x\x81");  // high bytes are no controls
}

TEST(SearchTextTest, AgreesWithThePlainSearch) {
    const CodePage gb = CodePage::gb2312();
    const std::vector<std::string> texts = {"http://ad.x.com/",
                                            kTrailUpperA + "A" + kTrailLowerA + "a",
                                            kChinese + "AD",
                                            "\xB0\xB0\xB0\xB0\xB0",
                                            "x\x81",
                                            ""};
    const std::vector<std::string> needles = {"A", "AD", "\xB0\xB0", "\x81", kTrailUpperA, ""};
    for (const std::string& text : texts) {
        const SearchText prepared(gb, text);
        EXPECT_EQ(prepared.upper(), upperCase(gb, text));
        for (const std::string& needle : needles) {
            EXPECT_EQ(prepared.contains(needle), containsAtBoundary(gb, upperCase(gb, text), needle)) << text;
        }
    }
}

}  // namespace
}  // namespace nimbrel
