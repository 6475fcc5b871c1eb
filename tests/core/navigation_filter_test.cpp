// The verdict on a navigation: levels, tables, lists, local addresses and the idle hot key.
#include "core/navigation_filter.h"

#include <gtest/gtest.h>

#include <ostream>
#include <random>
#include <string>
#include <vector>

#include "core/ad_tables.h"

namespace nimbrel {

void PrintTo(const NavigationVerdict& verdict, std::ostream* out) {
    *out << "{cancel " << verdict.cancel << ", runPopupStep " << verdict.runPopupStep << "}";
}

namespace {

constexpr NavigationVerdict kLeftAlone{.cancel = false, .runPopupStep = false};
constexpr NavigationVerdict kCancelledOnly{.cancel = true, .runPopupStep = false};
constexpr NavigationVerdict kPassedThenPopupStep{.cancel = false, .runPopupStep = true};
constexpr NavigationVerdict kCancelledThenPopupStep{.cancel = true, .runPopupStep = true};

class NavigationFilterTest : public ::testing::Test {
protected:
    NavigationVerdict judge(std::string_view address, bool ctrlDown = false, bool isWebBrowser = true) const {
        const FilterSettings settings{killpop, killurl, killlevel, enhotcut};
        return judgeNavigation(CodePage::gb2312(), settings, {white, black},
                               {address, isWebBrowser, ctrlDown});
    }

    // One character per level "0", "1", "2", "3", "4" and the unknown "7": 'C' cancelled, '.' not.
    std::string cancelsByLevel(std::string_view address) {
        std::string result;
        for (const wchar_t* level : {L"0", L"1", L"2", L"3", L"4", L"7"}) {
            killlevel = level;
            result += judge(address).cancel ? 'C' : '.';
        }
        return result;
    }

    std::wstring killpop = L"0", killurl = L"1", killlevel = L"1", enhotcut = L"0";
    std::vector<std::string> white, black;
};

TEST_F(NavigationFilterTest, LevelTable) {
    const struct {
        std::string_view address, expected;
    } cases[] = {
        {"http://www.example.com/ads/top.gif", "CCC..."},  // path table
        {"http://m.DoubleClick.net/x", "CCC..."},          // host table
        {"http://x.com/w10.gif", "CCC..."},
        {"http://www.example.com/adsense.js", "CC...."},  // "/ads" without a slash: word table
        {"http://x.com/AD3.jpg", "CC...."},
        {"http://forum.x.com/thread?advertising=1", "......"},  // "read" skips the word table
        {"http://forum.x.com/thread/ads/x", "CCC..."},          // but not the path table
        {"http://x.com/?q=buy ad here", "CC...."},
        {"http://x.com/?q=Ad Killer", "......"},
        {"http://x.com/adsx?q=ad kill", "CC...."},
        {"http://x.com/ads/?c:\\x", "......"},  // local markers, anywhere and in any case
        {"http://x.com/ads/?FILE://x", "......"},
        {"z:\\ads\\x.htm", "......"},
        {"http://x.com/ads/?b:\\x", "CCC..."},  // drive b and i to y are not local
        {"http://x.com/ads/?i:\\x", "CCC..."},
        {"http://x.com/ads/?y:\\x", "CCC..."},
        {"http://www.example.cn/\201Ad1.html", "......"},  // trail byte 'A' does not start "AD1"
        {"http://www.example.cn/\260\241ad1.html", "CC...."},
        {"http://www.example.org/index.html", "......"},
    };
    for (const auto& c : cases) EXPECT_EQ(cancelsByLevel(c.address), c.expected) << c.address;
}

TEST_F(NavigationFilterTest, NumericHostEntriesAreSubstrings) {
    killlevel = L"2";
    for (std::string_view entry : tableEntries(AdTable::hosts)) {
        if (entry.find_first_not_of("0123456789.") != std::string_view::npos || entry.back() == '.')
            continue;
        const std::string text(entry);
        EXPECT_TRUE(judge("http://1" + text + "7/").cancel) << text;
    }
}

TEST_F(NavigationFilterTest, BlackListCancelsAtLevelsZeroToThreeAndWinsOverWhite) {
    black = {"evil.example"};
    white = {"evil.example"};
    EXPECT_EQ(cancelsByLevel("http://www.Evil.Example/page.html"), "CCCC.C");
    black = {"\xD0\xC2\xCE\xC5*example.cn"};  // 新闻
    EXPECT_EQ(cancelsByLevel("http://www.example.cn/\xD0\xC2\xCE\xC5/"), "CCCC.C");
    black = {"\xC2\xCE*example.cn"};  // straddles the two characters
    EXPECT_EQ(cancelsByLevel("http://www.example.cn/\xD0\xC2\xCE\xC5/"), "......");
}

TEST_F(NavigationFilterTest, WhiteListExemptsFromTheTables) {
    white = {"fine.example*ads", "ads"};  // the second line is too short to count
    EXPECT_EQ(cancelsByLevel("http://fine.example/ads/x"), "......");
    EXPECT_EQ(cancelsByLevel("http://other.example/ads/x"), "CCC...");
}

TEST_F(NavigationFilterTest, PopupStepFollowsEveryEventThatIsNotEndedEarly) {
    killpop = L"1";
    black = {"evil.example"};
    EXPECT_EQ(judge("http://evil.example/"), kCancelledOnly);
    EXPECT_EQ(judge("http://fine.example/ads/"), kCancelledThenPopupStep);
    EXPECT_EQ(judge("http://fine.example/"), kPassedThenPopupStep);
    EXPECT_EQ(judge("file:///C:/x.html"), kLeftAlone);
    killlevel = L"3";
    EXPECT_EQ(judge("http://fine.example/ads/"), kPassedThenPopupStep);
    killlevel = L"4";
    EXPECT_EQ(judge("http://evil.example/"), kLeftAlone);
    EXPECT_EQ(judge("http://fine.example/"), kLeftAlone);
}

TEST_F(NavigationFilterTest, UrlBlockingOffCancelsNothing) {
    killurl = L"0";
    killpop = L"1";
    black = {"    "};
    EXPECT_EQ(judge("http://x.com/ads/"), kPassedThenPopupStep);
    killpop = L"0";
    EXPECT_EQ(judge("http://x.com/ads/"), kLeftAlone);
}

TEST_F(NavigationFilterTest, FlagsAreOnOnlyWhenExactlyOne) {
    killpop = L" 1";
    EXPECT_EQ(judge("http://x.com/ads/"), kCancelledOnly);
    killurl = L"yes";
    EXPECT_EQ(judge("http://x.com/ads/"), kLeftAlone);
}

TEST_F(NavigationFilterTest, CtrlSuspendsOnlyWhenHotKeysAreAllowed) {
    killpop = L"1";
    black = {"evil.example"};
    enhotcut = L"1";
    EXPECT_EQ(judge("http://x.com/ads/", true), kLeftAlone);
    EXPECT_EQ(judge("http://evil.example/", true), kLeftAlone);
    EXPECT_EQ(judge("http://x.com/ads/", false), kCancelledThenPopupStep);
    enhotcut = L"0";
    EXPECT_EQ(judge("http://x.com/ads/", true), kCancelledThenPopupStep);
}

TEST_F(NavigationFilterTest, ObjectsThatAreNotBrowsersAreIgnored) {
    killpop = L"1";
    EXPECT_EQ(judge("http://x.com/ads/", false, false), kLeftAlone);
    EXPECT_TRUE(navigationIgnored({killpop, killurl, killlevel, enhotcut}, false, false));
    EXPECT_FALSE(navigationIgnored({killpop, killurl, killlevel, enhotcut}, false, true));
}

// The filter lists in both forms of the verdict: rule by rule, and compiled with the lists.
class FilterListVerdictTest : public ::testing::Test {
protected:
    // One character per level "0", "1", "2", "3" and the unknown "7": 'C' cancelled, '.' not.
    std::string cancelsByLevel(std::string_view address) const {
        const FilterHosts hosts(filterLists);
        const CompiledLists compiled(CodePage::gb2312(), {white, black});
        std::string result;
        for (const wchar_t* level : {L"0", L"1", L"2", L"3", L"7"}) {
            const FilterSettings settings{L"1", killurl, level, L"0"};
            BlockReason plainReason, compiledReason;
            const NavigationVerdict plain =
                judgeAddress(CodePage::gb2312(), settings, {white, black}, address, filterLists, &plainReason);
            EXPECT_EQ(judgeAddress(settings, compiled, address, &hosts, &compiledReason), plain) << address;
            EXPECT_EQ(compiledReason, plainReason) << address;
            result += plain.cancel ? 'C' : '.';
        }
        return result;
    }

    std::vector<NamedRules> filterLists{{L"ads", {.blocked = {"adhost.example", "1.2.3.4"}, .allowed = {"fine.adhost.example"}}}};
    std::vector<std::string> white, black;
    std::wstring killurl = L"1";
};

TEST_F(FilterListVerdictTest, AHostOfAFilterListCountsLikeTheHostTable) {
    const struct {
        std::string_view address, expected;
    } cases[] = {
        {"http://adhost.example/", "CCC.."},
        {"https://cdn.AdHost.example:8443/lib.js?x=1", "CCC.."},
        {"http://1.2.3.4/x.gif", "CCC.."},
        {"http://fine.adhost.example/", "....."},  // an exception of a filter list
        {"http://www.fine.adhost.example/", "....."},
        {"http://fine.adhost.example/ads/", "CCC.."},  // ... does not exempt from the tables
        {"http://notadhost.example/", "....."},
        {"http://adhost.example.other.org/", "....."},
        {"http://adhost.example@other.org/", "....."},
        {"http://other.org/?u=http://adhost.example/", "....."},
        {"file://adhost.example/x.html", "....."},
    };
    for (const auto& c : cases) EXPECT_EQ(cancelsByLevel(c.address), c.expected) << c.address;
}

TEST_F(FilterListVerdictTest, TheBlackListWinsFirstAndTheWhiteListExempts) {
    white = {"cdn.adhost.example"};
    EXPECT_EQ(cancelsByLevel("http://cdn.adhost.example/x.js"), ".....");
    EXPECT_EQ(cancelsByLevel("http://www.adhost.example/x.js"), "CCC..");
    black = {"cdn.adhost"};
    EXPECT_EQ(cancelsByLevel("http://cdn.adhost.example/x.js"), "CCCCC");
    killurl = L"0";
    EXPECT_EQ(cancelsByLevel("http://cdn.adhost.example/x.js"), ".....");
    EXPECT_EQ(cancelsByLevel("http://www.adhost.example/x.js"), ".....");
}

TEST_F(FilterListVerdictTest, AFilterListHitRunsThePopupStepLikeATableHit) {
    const FilterSettings settings{L"1", L"1", L"1", L"0"};
    const FilterHosts hosts(filterLists);
    const NavigationVerdict verdict = judgeAddress(settings, CompiledLists{}, "http://adhost.example/", &hosts);
    EXPECT_EQ(verdict, kCancelledThenPopupStep);
    EXPECT_EQ(judgeAddress(settings, CompiledLists{}, "http://adhost.example/"), kPassedThenPopupStep);
}

TEST_F(FilterListVerdictTest, RandomListsGiveTheSameVerdictInBothForms) {
    std::mt19937 random(1208);
    const auto pick = [&](std::size_t bound) { return std::uniform_int_distribution<std::size_t>(0, bound - 1)(random); };
    const char* const labels[] = {"ads", "www", "example", "com", "cn", "x"};
    const auto host = [&] {
        std::string name = labels[pick(6)];
        for (std::size_t n = pick(3); n > 0; --n) name = std::string(labels[pick(6)]) + "." + name;
        return name;
    };
    const char* const rests[] = {"/", "/ads/", "/x?q=ads.com", "/thread", ":80/"};
    std::size_t cancelled = 0, compared = 0;
    for (int round = 0; round < 80; ++round) {
        filterLists.assign(1 + pick(2), {});
        for (NamedRules& list : filterLists) {
            for (std::size_t n = pick(6); n > 0; --n) list.rules.blocked.push_back(host());
            for (std::size_t n = pick(2); n > 0; --n) list.rules.allowed.push_back(host());
        }
        white.assign(pick(2), host());
        black.assign(pick(2), host() + "/");
        for (int n = 0; n < 8; ++n) {
            const std::string verdicts = cancelsByLevel("http://" + host() + rests[pick(5)]);
            cancelled += static_cast<std::size_t>(std::count(verdicts.begin(), verdicts.end(), 'C'));
            compared += verdicts.size();
        }
    }
    EXPECT_GT(cancelled, compared / 10);
    EXPECT_LT(cancelled, compared * 3 / 4);
}

}  // namespace
}  // namespace nimbrel
