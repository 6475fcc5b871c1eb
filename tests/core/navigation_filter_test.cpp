// The verdict on a navigation: levels, tables, lists, local addresses and the idle hot key.
#include "core/navigation_filter.h"

#include <gtest/gtest.h>

#include <ostream>
#include <string>
#include <vector>

#include "core/ad_tables.h"

namespace nimbrel {

// Readable failure messages.
void PrintTo(const NavigationVerdict& verdict, std::ostream* out) {
    *out << "{cancel " << verdict.cancel << ", runPopupStep " << verdict.runPopupStep << "}";
}

namespace {

constexpr NavigationVerdict kLeftAlone{.cancel = false, .runPopupStep = false};
constexpr NavigationVerdict kCancelled{.cancel = true, .runPopupStep = false};

class NavigationFilterTest : public ::testing::Test {
protected:
    NavigationVerdict judge(std::string_view address, bool ctrlDown = false, bool isWebBrowser = true) const {
        const FilterSettings settings{killpop, killurl, killlevel, enhotcut};
        const ExceptionLists lists{white, black};
        return judgeNavigation(CodePage::gb2312(), settings, lists, {address, isWebBrowser, ctrlDown});
    }

    bool cancelledAtLevel(std::wstring level, std::string_view address) {
        killlevel = std::move(level);
        return judge(address).cancel;
    }

    std::wstring killpop = L"0";
    std::wstring killurl = L"1";
    std::wstring killlevel = L"1";
    std::wstring enhotcut = L"0";
    std::vector<std::string> white;
    std::vector<std::string> black;
};

TEST_F(NavigationFilterTest, PathTableCancelsAtLevelsZeroToTwo) {
    const std::string address = "http://www.example.com/ads/top.gif";
    EXPECT_TRUE(cancelledAtLevel(L"0", address));
    EXPECT_TRUE(cancelledAtLevel(L"1", address));
    EXPECT_TRUE(cancelledAtLevel(L"2", address));
    EXPECT_FALSE(cancelledAtLevel(L"3", address));
    EXPECT_FALSE(cancelledAtLevel(L"4", address));
}

TEST_F(NavigationFilterTest, HostTableCancelsAtLevelsZeroToTwo) {
    for (const char* address :
         {"http://m.DoubleClick.net/x", "http://www.link4ads.com/", "http://x.com/w10.gif"}) {
        EXPECT_TRUE(cancelledAtLevel(L"0", address)) << address;
        EXPECT_TRUE(cancelledAtLevel(L"2", address)) << address;
        EXPECT_FALSE(cancelledAtLevel(L"3", address)) << address;
    }
}

TEST_F(NavigationFilterTest, WordTableOnlyAtLevelsZeroAndOne) {
    const std::string slashAds = "http://www.example.com/adsense.js";  // "/ads" without a slash after it
    EXPECT_TRUE(cancelledAtLevel(L"0", slashAds));
    EXPECT_TRUE(cancelledAtLevel(L"1", slashAds));
    EXPECT_FALSE(cancelledAtLevel(L"2", slashAds));
    EXPECT_FALSE(cancelledAtLevel(L"3", slashAds));
    for (const char* address :
         {"http://x.com/AD3.jpg", "http://x.com/?p=dollars.", "http://x.com/advertising"}) {
        EXPECT_TRUE(cancelledAtLevel(L"1", address)) << address;
        EXPECT_FALSE(cancelledAtLevel(L"2", address)) << address;
    }
}

TEST_F(NavigationFilterTest, ReadSkipsTheWordTableButNotTheOthers) {
    EXPECT_FALSE(cancelledAtLevel(L"1", "http://forum.example.com/thread?advertising=1"));
    EXPECT_FALSE(cancelledAtLevel(L"0", "http://forum.example.com/READ/ad1"));
    EXPECT_TRUE(cancelledAtLevel(L"1", "http://forum.example.com/thread/ads/x"));
    EXPECT_TRUE(cancelledAtLevel(L"1", "http://doubleclick.example/thread"));
}

TEST_F(NavigationFilterTest, AdWithBlankCountsOnlyWithoutKill) {
    EXPECT_TRUE(cancelledAtLevel(L"1", "http://x.com/?q=buy ad here"));
    EXPECT_FALSE(cancelledAtLevel(L"1", "http://x.com/?q=ad killer"));
    EXPECT_FALSE(cancelledAtLevel(L"1", "http://x.com/?q=Ad Kill"));
    EXPECT_TRUE(cancelledAtLevel(L"1", "http://x.com/adsx?q=ad kill"));
    EXPECT_FALSE(cancelledAtLevel(L"2", "http://x.com/?q=buy ad here"));
}

TEST_F(NavigationFilterTest, NumericEntriesAreSubstrings) {
    int wholeAddresses = 0;
    for (std::string_view entry : tableEntries(AdTable::hosts)) {
        const bool numeric = entry.find_first_not_of("0123456789.") == std::string_view::npos;
        if (!numeric || entry.back() == '.')
            continue;
        ++wholeAddresses;
        const std::string text(entry);
        EXPECT_TRUE(cancelledAtLevel(L"2", "http://" + text + "/")) << text;
        EXPECT_TRUE(cancelledAtLevel(L"2", "http://" + text + "7/")) << text;
        EXPECT_TRUE(cancelledAtLevel(L"2", "http://1" + text + "/")) << text;
    }
    EXPECT_GT(wholeAddresses, 0);
}

TEST_F(NavigationFilterTest, LocalAddressesPassUntouched) {
    killpop = L"1";
    black = {"    "};
    for (const char* address :
         {"file:///C:/ads/x.html", "http://x.com/ads/?FILE://x", "http://x.com/ads/?c:\\x",
          "http://x.com/ads/?C:\\x", "a:\\ads", "z:\\ads", "http://x/ads?h:\\"}) {
        EXPECT_EQ(judge(address), kLeftAlone) << address;
    }
}

TEST_F(NavigationFilterTest, OtherDriveMarkersAreFilteredAsUsual) {
    for (const char* drive : {"b", "i", "j", "q", "y"}) {
        EXPECT_TRUE(cancelledAtLevel(L"1", std::string("http://x.com/ads/?") + drive + ":\\x")) << drive;
    }
}

TEST_F(NavigationFilterTest, BlackListCancelsAtLevelsZeroToThreeAndWinsOverWhite) {
    black = {"evil.example"};
    white = {"evil.example"};
    const std::string address = "http://www.Evil.Example/page.html";
    for (const wchar_t* level : {L"0", L"1", L"2", L"3"}) {
        EXPECT_TRUE(cancelledAtLevel(level, address));
    }
    EXPECT_FALSE(cancelledAtLevel(L"4", address));
}

TEST_F(NavigationFilterTest, BlackListHitRunsNoPopupStepButATableHitDoes) {
    killpop = L"1";
    black = {"evil.example"};
    EXPECT_EQ(judge("http://evil.example/"), kCancelled);
    EXPECT_EQ(judge("http://fine.example/ads/"), (NavigationVerdict{.cancel = true, .runPopupStep = true}));
    EXPECT_EQ(judge("http://fine.example/"), (NavigationVerdict{.cancel = false, .runPopupStep = true}));
}

TEST_F(NavigationFilterTest, WhiteListExemptsFromTheTablesAtEveryLevel) {
    killpop = L"1";
    white = {"fine.example*ads"};
    for (const wchar_t* level : {L"0", L"1", L"2"}) {
        killlevel = level;
        EXPECT_EQ(judge("http://fine.example/ads/x"),
                  (NavigationVerdict{.cancel = false, .runPopupStep = true}));
        EXPECT_TRUE(judge("http://other.example/ads/x").cancel);
    }
}

TEST_F(NavigationFilterTest, ShortWhiteLinesExemptNothing) {
    white = {"ads", "/ad"};
    EXPECT_TRUE(judge("http://x.com/ads/").cancel);
}

TEST_F(NavigationFilterTest, UrlBlockingOffStillRunsThePopupStep) {
    killurl = L"0";
    killpop = L"1";
    black = {"    "};
    EXPECT_EQ(judge("http://x.com/ads/"), (NavigationVerdict{.cancel = false, .runPopupStep = true}));
    killpop = L"0";
    EXPECT_EQ(judge("http://x.com/ads/"), kLeftAlone);
}

TEST_F(NavigationFilterTest, FlagsAreOnOnlyWhenExactlyOne) {
    killpop = L" 1";
    EXPECT_EQ(judge("http://x.com/ads/"), kCancelled);
    killurl = L"yes";
    EXPECT_EQ(judge("http://x.com/ads/"), kLeftAlone);
}

TEST_F(NavigationFilterTest, LowestLevelIgnoresEverything) {
    killlevel = L"4";
    killpop = L"1";
    black = {"    "};
    EXPECT_EQ(judge("http://x.com/ads/"), kLeftAlone);
}

TEST_F(NavigationFilterTest, UnknownLevelBehavesAsLow) {
    killpop = L"1";
    black = {"evil.example"};
    for (const wchar_t* level : {L"7", L"-1", L"", L"high"}) {
        killlevel = level;
        EXPECT_EQ(judge("http://x.com/ads/"), (NavigationVerdict{.cancel = false, .runPopupStep = true}));
        EXPECT_EQ(judge("http://evil.example/"), kCancelled);
    }
}

TEST_F(NavigationFilterTest, CtrlSuspendsOnlyWhenHotKeysAreAllowed) {
    killpop = L"1";
    black = {"evil.example"};
    enhotcut = L"1";
    EXPECT_EQ(judge("http://x.com/ads/", true), kLeftAlone);
    EXPECT_EQ(judge("http://evil.example/", true), kLeftAlone);
    EXPECT_TRUE(judge("http://x.com/ads/", false).cancel);
    enhotcut = L"0";
    EXPECT_TRUE(judge("http://x.com/ads/", true).cancel);
}

TEST_F(NavigationFilterTest, ObjectsThatAreNotBrowsersAreIgnored) {
    killpop = L"1";
    EXPECT_EQ(judge("http://x.com/ads/", false, false), kLeftAlone);
    EXPECT_TRUE(navigationIgnored(FilterSettings{killpop, killurl, killlevel, enhotcut}, false, false));
    EXPECT_FALSE(navigationIgnored(FilterSettings{killpop, killurl, killlevel, enhotcut}, false, true));
}

TEST_F(NavigationFilterTest, TrailByteNeverCompletesAnAdWord) {
    // 丄 (0x81 0x41) followed by "d1": byte-wise "AD1", but the 'A' is half of a character.
    EXPECT_FALSE(cancelledAtLevel(L"1",
                                  "http://www.example.cn/\x81\x41"
                                  "d1.html"));
    EXPECT_TRUE(cancelledAtLevel(L"1",
                                 "http://www.example.cn/\xB0\xA1"
                                 "ad1.html"));
    // 乤 (0x81 0x61) before "d_": its trail byte is not a letter and stays as it is.
    EXPECT_FALSE(cancelledAtLevel(L"1",
                                  "http://www.example.cn/\x81\x61"
                                  "d_x"));
}

TEST_F(NavigationFilterTest, Gb2312AddressesAreListedByWholeCharacters) {
    const std::string news = "\xD0\xC2\xCE\xC5";  // 新闻
    black = {news + "*example.cn"};
    EXPECT_EQ(judge("http://www.example.cn/" + news + "/index.html"), kCancelled);
    black = {"\xC2\xCE*example.cn"};  // a byte pair that straddles the two characters
    EXPECT_EQ(judge("http://www.example.cn/" + news + "/index.html"), kLeftAlone);
}

}  // namespace
}  // namespace nimbrel
