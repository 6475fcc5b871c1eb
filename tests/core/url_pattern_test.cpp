// Address patterns: the five-slot splitting, matching, and list lookup.
#include "core/url_pattern.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace nimbrel {
namespace {

PatternPieces pieces(std::string_view a, std::string_view b, std::string_view c, std::string_view d,
                     std::string_view e) {
    return {a, b, c, d, e};
}

bool matches(std::string_view pattern, std::string_view address) {
    return urlmatch(CodePage::gb2312(), pattern, address);
}

bool listMatches(const std::vector<std::string>& lines, std::string_view address) {
    return listmatch(CodePage::gb2312(), lines, address);
}

TEST(SplitPatternTest, PatternWithoutStarFillsAllFiveSlots) {
    EXPECT_EQ(splitPattern("doubleclick"),
              pieces("doubleclick", "doubleclick", "doubleclick", "doubleclick", "doubleclick"));
}

TEST(SplitPatternTest, LastPieceRepeatsInTheRemainingSlots) {
    EXPECT_EQ(splitPattern("ads*banner"), pieces("ads", "banner", "banner", "banner", "banner"));
}

TEST(SplitPatternTest, SingleCharacterAfterTheLastStarIsNoPiece) {
    EXPECT_EQ(splitPattern("abc*d"), pieces("abc", "abc", "abc", "abc", "abc"));
    EXPECT_EQ(splitPattern("abc*"), pieces("abc", "abc", "abc", "abc", "abc"));
    EXPECT_EQ(splitPattern("abc*de"), pieces("abc", "de", "de", "de", "de"));
}

TEST(SplitPatternTest, SingleCharacterBetweenTwoStarsIsAPiece) {
    EXPECT_EQ(splitPattern("abc*d*efg"), pieces("abc", "d", "efg", "efg", "efg"));
}

TEST(SplitPatternTest, PiecesPastTheFifthAreIgnored) {
    EXPECT_EQ(splitPattern("a*b*c*d*e*f"), pieces("a", "b", "c", "d", "e"));
    EXPECT_EQ(splitPattern("a*b*c*d*e*f*g*h"), pieces("a", "b", "c", "d", "e"));
}

TEST(SplitPatternTest, LeadingOrDoubledStarGivesEmptyPieces) {
    EXPECT_EQ(splitPattern("*abc"), pieces("", "abc", "abc", "abc", "abc"));
    EXPECT_EQ(splitPattern("ab**cd"), pieces("ab", "", "cd", "cd", "cd"));
    // Two stars at the very end leave only the stars behind: the first piece repeats.
    EXPECT_EQ(splitPattern("abc**"), pieces("abc", "abc", "abc", "abc", "abc"));
}

TEST(SplitPatternTest, PiecesAreTrimmedOfCodesUpTo32) {
    EXPECT_EQ(splitPattern(" ad . com "), pieces("ad . com", "ad . com", "ad . com", "ad . com", "ad . com"));
    EXPECT_EQ(splitPattern("\tads \x01* banner\r"), pieces("ads", "banner", "banner", "banner", "banner"));
    // The tail is measured before trimming: "* d" is three characters, so "d" is a piece.
    EXPECT_EQ(splitPattern("abc* d"), pieces("abc", "d", "d", "d", "d"));
}

TEST(UrlmatchTest, LetterCaseIsIgnoredAndThePieceMayStandAnywhere) {
    EXPECT_TRUE(matches("doubleclick", "http://ad.DoubleClick.net/x"));
    EXPECT_TRUE(matches("DOUBLECLICK", "http://example.com/?r=doubleclick"));
    EXPECT_FALSE(matches("doubleclick", "http://double-click.example/"));
}

TEST(UrlmatchTest, PiecesAreNotOrdered) {
    EXPECT_TRUE(matches("ads*banner", "http://x/ads/banner.gif"));
    EXPECT_TRUE(matches("ads*banner", "http://banner.example/ads.gif"));
    EXPECT_FALSE(matches("ads*banner", "http://x/ads/"));
    EXPECT_FALSE(matches("ads*banner", "http://x/banner/"));
}

TEST(UrlmatchTest, SingleCharacterAfterLastStarDoesNotCount) {
    EXPECT_TRUE(matches("abc*d", "http://abc.example/"));
    EXPECT_TRUE(matches("abc*d", "http://abc.example/d"));
    EXPECT_FALSE(matches("abc*d", "http://ab.example/d"));
    EXPECT_FALSE(matches("abc*z", "http://ab.example/z"));
}

TEST(UrlmatchTest, SingleCharacterBetweenStarsMustOccur) {
    EXPECT_TRUE(matches("abc*z*efg", "http://abc/efg/z"));
    EXPECT_FALSE(matches("abc*z*efg", "http://abc/efg/"));
}

TEST(UrlmatchTest, SixthPieceIsIgnored) {
    EXPECT_TRUE(matches("a*b*c*d*e*zzz", "abcde"));
    EXPECT_FALSE(matches("a*b*c*d*q*e", "abcde"));
}

TEST(UrlmatchTest, EmptyPiecesAreSkippedAndAllEmptyMatchesEverything) {
    EXPECT_TRUE(matches("*abc", "http://abc/"));
    EXPECT_TRUE(matches("    ", "http://anything/"));
    EXPECT_TRUE(matches("****", "http://anything/"));
    EXPECT_TRUE(matches(" * * ", ""));
}

TEST(UrlmatchTest, InnerBlanksAreSignificant) {
    EXPECT_TRUE(matches(" ad . com ", "x ad . com y"));
    EXPECT_FALSE(matches(" ad . com ", "http://ad.com/"));
}

TEST(UrlmatchTest, ArgumentsMayComeUpperCasedOrNot) {
    EXPECT_TRUE(matches("Ads*Banner", "HTTP://X/ADS/BANNER"));
    EXPECT_TRUE(matches("ADS*BANNER", "http://x/ads/banner"));
}

TEST(UrlmatchTest, TrailByteEqualToALetterIsNoMatch) {
    // 乤 is 0x81 0x61: its trail byte reads as 'a' byte-wise.
    const std::string address = "http://x.cn/\x81\x61";
    EXPECT_FALSE(matches("/\x61", address));
    EXPECT_FALSE(matches("*\x61*\x61", address));
    EXPECT_TRUE(matches("/\x81\x61", address));
    // 丄 is 0x81 0x41: its trail byte reads as 'A', which the upper-cased piece "a" becomes.
    EXPECT_FALSE(matches("n/a", "http://x.cn/\x81\x41"));
    EXPECT_TRUE(matches("n/a", "http://x.cn/a\x81\x41"));
}

TEST(UrlmatchTest, Gb2312PiecesMatchWholeCharacters) {
    const std::string news = "\xD0\xC2\xCE\xC5";  // 新闻
    const std::string address = "http://www.example.cn/" + news + "/Ad.html";
    EXPECT_TRUE(matches(news + "*ad.", address));
    EXPECT_TRUE(matches("\xCE\xC5", address));
    EXPECT_FALSE(matches("\xC2\xCE", address));  // trail of 新 and lead of 闻
}

TEST(UsableLineTest, MoreThanThreeBytesCountingBlanks) {
    EXPECT_FALSE(isUsableLine(""));
    EXPECT_FALSE(isUsableLine("abc"));
    EXPECT_TRUE(isUsableLine("abc "));
    EXPECT_TRUE(isUsableLine("    "));
    EXPECT_FALSE(isUsableLine("\xD6\xD0\xCE"));
    EXPECT_TRUE(isUsableLine("\xD6\xD0\xCE\xC4"));  // two characters, four bytes
}

TEST(ListmatchTest, ShortLinesNeverMatch) {
    EXPECT_FALSE(listMatches({"abc", "*", "", "   "}, "http://abc/"));
    EXPECT_TRUE(listMatches({"abc "}, "http://abc/"));
}

TEST(ListmatchTest, BlankLineOfFourBytesMatchesEveryAddress) {
    EXPECT_TRUE(listMatches({"    "}, "http://example.com/"));
    EXPECT_TRUE(listMatches({"** *"}, "http://example.com/"));
}

TEST(ListmatchTest, AnyUsableLineMatching) {
    const std::vector<std::string> list = {"nothing-here", "ads*banner", "abc"};
    EXPECT_TRUE(listMatches(list, "http://x/BANNER/ads"));
    EXPECT_FALSE(listMatches(list, "http://abc/"));
    EXPECT_FALSE(listMatches({}, "http://x/"));
}

TEST(ListmatchTest, FirstMatchingUsableLineIsReported) {
    const std::vector<std::string> list = {"ads", "zzzz", "/ads", "x/ads", "    "};
    const SearchText address(CodePage::singleByte(), "http://x/ads/");
    EXPECT_EQ(firstListMatch(list, address), 2u);
    const std::vector<std::string> none = {"qqqq", "rrr"};
    EXPECT_EQ(firstListMatch(none, address), std::nullopt);
}

}  // namespace
}  // namespace nimbrel
