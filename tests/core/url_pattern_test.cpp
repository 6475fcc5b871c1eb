// Address patterns: the five-slot splitting, matching, and list lookup.
#include "core/url_pattern.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace nimbrel {
namespace {

bool matches(std::string_view pattern, std::string_view address) {
    return urlmatch(CodePage::gb2312(), pattern, address);
}

TEST(SplitPatternTest, FiveSlots) {
    const struct {
        std::string_view pattern;
        PatternPieces pieces;
    } cases[] = {
        {"doubleclick", {"doubleclick", "doubleclick", "doubleclick", "doubleclick", "doubleclick"}},
        {"ads*banner", {"ads", "banner", "banner", "banner", "banner"}},  // the last piece repeats
        {"abc*d", {"abc", "abc", "abc", "abc", "abc"}},                   // one character after the last '*'
        {"abc*", {"abc", "abc", "abc", "abc", "abc"}},
        {"abc**", {"abc", "abc", "abc", "abc", "abc"}},
        {"abc*de", {"abc", "de", "de", "de", "de"}},
        {"abc*d*efg", {"abc", "d", "efg", "efg", "efg"}},  // one character between two '*'
        {"a*b*c*d*e*f", {"a", "b", "c", "d", "e"}},        // past the fifth
        {"*abc", {"", "abc", "abc", "abc", "abc"}},
        {"ab**cd", {"ab", "", "cd", "cd", "cd"}},
        {" ad . com ", {"ad . com", "ad . com", "ad . com", "ad . com", "ad . com"}},
        {"\tads \x01* banner\r", {"ads", "banner", "banner", "banner", "banner"}},
        {"abc* d", {"abc", "d", "d", "d", "d"}},  // the tail is measured before trimming
    };
    for (const auto& c : cases) EXPECT_EQ(splitPattern(c.pattern), c.pieces) << c.pattern;
}

TEST(UrlmatchTest, PatternSyntax) {
    const struct {
        std::string_view pattern, address;
        bool expected;
    } cases[] = {
        {"doubleclick", "http://ad.DoubleClick.net/x", true},
        {"DOUBLECLICK", "http://x.com/?r=doubleclick", true},
        {"doubleclick", "http://double-click.x/", false},
        {"ads*banner", "http://x/ads/banner.gif", true},
        {"ads*banner", "http://banner.x/ads.gif", true},  // pieces are not ordered
        {"ads*banner", "http://x/ads/", false},
        {"abc*d", "http://abc.x/", true},  // "d" is no piece
        {"abc*d", "http://ab.x/d", false},
        {"abc*z*efg", "http://abc/efg/z", true},
        {"abc*z*efg", "http://abc/efg/", false},
        {"a*b*c*d*e*zzz", "abcde", true},
        {"a*b*c*d*q*e", "abcde", false},
        {"*abc", "http://abc/", true},
        {"    ", "http://anything/", true},  // no piece at all
        {"****", "", true},
        {" ad . com ", "x ad . com y", true},  // inner blanks count
        {" ad . com ", "http://ad.com/", false},
        {"Ads*Banner", "HTTP://X/ADS/BANNER", true},
        {"/a", "http://x.cn/\x81\x61", false},   // trail byte 'a'
        {"n/a", "http://x.cn/\x81\x41", false},  // trail byte 'A'
        {"n/a", "http://x.cn/a\x81\x41", true},
        {"\xD0\xC2\xCE\xC5*ad.", "http://x.cn/\xD0\xC2\xCE\xC5/Ad.html", true},  // 新闻
        {"\xC2\xCE", "http://x.cn/\xD0\xC2\xCE\xC5/", false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(matches(c.pattern, c.address), c.expected) << c.pattern << " / " << c.address;
}

TEST(ListmatchTest, OnlyLinesLongerThanThreeBytesTakePart) {
    EXPECT_FALSE(isUsableLine("abc"));
    EXPECT_TRUE(isUsableLine("abc "));
    EXPECT_FALSE(isUsableLine("\xD6\xD0\xCE"));
    EXPECT_TRUE(isUsableLine("\xD6\xD0\xCE\xC4"));  // two characters, four bytes
    const CodePage gb = CodePage::gb2312();
    EXPECT_FALSE(listmatch(gb, std::vector<std::string>{"abc", "*", "", "   "}, "http://abc/"));
    EXPECT_TRUE(listmatch(gb, std::vector<std::string>{"zzzz", "abc "}, "http://abc/"));
    EXPECT_TRUE(listmatch(gb, std::vector<std::string>{"    "}, "http://x/"));
    EXPECT_FALSE(listmatch(gb, std::vector<std::string>{}, "http://x/"));
}

TEST(ListmatchTest, FirstMatchingUsableLineIsReported) {
    const std::vector<std::string> list = {"ads", "zzzz", "/ads", "x/ads", "    "};
    const SearchText address(CodePage::singleByte(), "http://x/ads/");
    EXPECT_EQ(firstListMatch(list, address), 2u);
    EXPECT_EQ(firstListMatch(std::vector<std::string>{"qqqq", "rrr"}, address), std::nullopt);
}

}  // namespace
}  // namespace nimbrel
