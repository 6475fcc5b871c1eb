// What removed an address: each path of the navigation verdict and of the pop-up pass names
// the first entry that matched in the order of the checks, in both forms of the verdict.
#include "core/block_reason.h"

#include <gtest/gtest.h>

#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "core/filter_list_parse.h"
#include "core/host_set.h"
#include "core/navigation_filter.h"
#include "core/popup_rules.h"

namespace nimbrel {

void PrintTo(const BlockReason& reason, std::ostream* out) {
    *out << "{source " << static_cast<int>(reason.source) << ", popup " << reason.popup << ", line " << reason.line
         << ", entry \"" << reason.entry << "\", list " << std::string(reason.listName.begin(), reason.listName.end())
         << "}";
}

namespace {

using Source = BlockReason::Source;

BlockReason black(std::size_t line, std::string entry) { return {.source = Source::blackList, .line = line, .entry = entry}; }
BlockReason table(Source source, std::string entry) { return {.source = source, .entry = entry}; }
BlockReason filter(std::wstring list, std::string rule) {
    return {.source = Source::filterList, .entry = rule, .listName = list};
}

NamedRules parsed(std::wstring name, std::string_view text) { return {name, parseFilterList(text, nullptr, nullptr)}; }

// A filter list of every form the parser reads, and a second list behind it.
std::vector<NamedRules> filterLists() {
    return {
        parsed(L"EasyList",
               "[Adblock Plus 2.0]\n||rule.example^\n||end.example^|\n||Shout.Example^\n@@||fine.rule.example^\n"
               "0.0.0.0 zero.example\n127.0.0.1 loop.example\n0.0.0.0 one.example two.example\n"
               "0.0.0.0 noted.example # tracker\n0.0.0.0\tTab.example\nplain.example\n"
               "example.net\nads.example.net\n"),
        parsed(L"TPL", "msFilterList\n-d tpl.example\n+d ok.tpl.example\n-d rule.example\n"),
        parsed(L"second", "ads.example.net\nzero.example\nlater.example.org\n"),
    };
}

struct Case {
    const wchar_t* level;
    std::vector<std::string> black, white;
    std::string_view address;
    std::optional<BlockReason> expected;  // none: the address passes and nothing is named
};

// Compiled and line by line, the verdict cancels and names the expected reason, or lets the
// address pass and leaves the reason as it was.
void expectReason(const Case& c) {
    const std::vector<NamedRules> lists = filterLists();
    const FilterHosts hosts(lists);
    const CompiledLists compiled(CodePage::gb2312(), {c.white, c.black});
    const FilterSettings settings{L"0", L"1", c.level, L"0"};
    const BlockReason untouched = table(Source::pathTable, "untouched");
    BlockReason plain = untouched, fast = untouched;
    EXPECT_EQ(judgeAddress(CodePage::gb2312(), settings, {c.white, c.black}, c.address, lists, &plain).cancel,
              c.expected.has_value())
        << c.address;
    EXPECT_EQ(judgeAddress(settings, compiled, c.address, &hosts, &fast).cancel, c.expected.has_value())
        << c.address;
    EXPECT_EQ(plain, c.expected.value_or(untouched)) << c.address;
    EXPECT_EQ(fast, c.expected.value_or(untouched)) << c.address;
}

TEST(BlockReasonTest, EachPathOfTheVerdictNamesTheFirstEntryInTheOrderOfTheChecksAndAPassNamesNone) {
    const std::vector<std::string> blackLines = {"", "abc", "nomatch.example", "*evil*html", "EVIL.example", "    "};
    const Case cases[] = {
        // black list: 0-based box lines, short and blank lines counted; the first match wins,
        // also over a table, a filter list and the white list
        {L"1", blackLines, {}, "http://evil.example/x.html", black(3, "*evil*html")},
        {L"1", blackLines, {}, "http://evil.example/x.htm", black(4, "EVIL.example")},
        {L"3", blackLines, {}, "http://doubleclick.net/", black(5, "    ")},
        {L"1", {"doubleclick"}, {"doubleclick"}, "http://ad.doubleclick.net/ads/", black(0, "doubleclick")},
        {L"1", {"\xD0\xC2\xCE\xC5*rule"}, {}, "http://rule.example/\xD0\xC2\xCE\xC5", black(0, "\xD0\xC2\xCE\xC5*rule")},
        // host table: the table's own order, not the address's, the entry as the table holds it
        {L"2", {}, {}, "http://link4ads.com/ad.DoubleClick.net/", table(Source::hostTable, "doubleclick")},
        {L"1", {}, {}, "http://x.com/?u=12.130.60.7", table(Source::hostTable, "12.130.60.")},
        // ... before the filter lists, which come before the path table
        {L"1", {}, {}, "http://doubleclick.rule.example/ads/", table(Source::hostTable, "doubleclick")},
        {L"2", {}, {}, "http://rule.example/ads/x", filter(L"EasyList", "||rule.example^")},
        // each form of rule as the list writes it
        {L"1", {}, {}, "http://www.end.example/", filter(L"EasyList", "||end.example^|")},
        {L"1", {}, {}, "http://shout.example/", filter(L"EasyList", "||Shout.Example^")},
        {L"1", {}, {}, "http://zero.example:81/", filter(L"EasyList", "0.0.0.0 zero.example")},
        {L"1", {}, {}, "http://loop.example/", filter(L"EasyList", "127.0.0.1 loop.example")},
        {L"1", {}, {}, "http://two.example/", filter(L"EasyList", "0.0.0.0 one.example two.example")},
        {L"1", {}, {}, "http://noted.example/", filter(L"EasyList", "0.0.0.0 noted.example # tracker")},
        {L"1", {}, {}, "http://tab.example/", filter(L"EasyList", "0.0.0.0\tTab.example")},
        {L"1", {}, {}, "http://plain.example/", filter(L"EasyList", "plain.example")},
        {L"1", {}, {}, "http://tpl.example/", filter(L"TPL", "-d tpl.example")},
        // the parent domain that the check meets first; of the lists, the first that has it
        {L"1", {}, {}, "http://x.ads.example.net/", filter(L"EasyList", "example.net")},
        {L"1", {}, {}, "http://later.example.org/", filter(L"second", "later.example.org")},
        // path table, then word table: plain entries first, then "ad " without "kill"
        {L"2", {}, {}, "http://x.com/banners/", table(Source::pathTable, "/banner")},
        {L"1", {}, {}, "http://x.com/popup/ads/", table(Source::pathTable, "popup")},
        {L"1", {}, {}, "http://x.com/advertising/ad1.gif", table(Source::wordTable, "ad1")},
        {L"0", {}, {}, "http://x.com/?q=ad ad5", table(Source::wordTable, "ad5")},
        {L"1", {}, {}, "http://x.com/?q=buy ad here", table(Source::wordTable, "ad ")},
        {L"1", {}, {}, "http://x.com/\xB0\xA1" "ad2.html", table(Source::wordTable, "ad2")},
        // passes: the white list, a list's exception, "kill" after "ad ", a word inside a word
        {L"1", {}, {"x.com/ads"}, "http://x.com/ads/", std::nullopt},
        {L"1", {}, {}, "http://fine.rule.example/", std::nullopt},
        {L"1", {}, {}, "http://ok.tpl.example/", std::nullopt},
        {L"1", {}, {}, "http://thread.example/advertising", std::nullopt},
        {L"1", {}, {}, "http://x.com/?ad killer", std::nullopt},
    };
    for (const Case& c : cases) expectReason(c);
}

TEST(BlockReasonTest, APopupIsNamedByItsBlackListLineOrItsMissingToolBar) {
    const std::vector<std::string> blackLines = {"ab", "evil.example", "*evil*"};
    const std::vector<std::string> white = {"spared.example"};
    const auto pass = PopupPass::begin(CodePage::gb2312(), {L"1", L"1", L"1", L"0"}, false, {white, blackLines});
    ASSERT_TRUE(pass);
    const struct {
        std::string_view address;
        int toolBar;
        WindowVerdict verdict;
        BlockReason expected;
    } cases[] = {
        {"http://www.evil.example/", 1, WindowVerdict::quitBlackListed,
         {.source = Source::blackList, .popup = true, .line = 1, .entry = "evil.example"}},
        {"http://evil.org/", 0, WindowVerdict::quitBlackListed,
         {.source = Source::blackList, .popup = true, .line = 2, .entry = "*evil*"}},
        {"http://fine.example/", 0, WindowVerdict::quitPopup, {.popup = true}},
        {"", 0, WindowVerdict::quitPopup, {.popup = true}},
        {"http://spared.example/", 0, WindowVerdict::keep, table(Source::pathTable, "untouched")},
        {"http://fine.example/", 1, WindowVerdict::keep, table(Source::pathTable, "untouched")},
    };
    for (const auto& c : cases) {
        BlockReason reason = table(Source::pathTable, "untouched");
        EXPECT_EQ(pass->judge(c.address, [&] { return c.toolBar; }, &reason), c.verdict) << c.address;
        EXPECT_EQ(reason, c.expected) << c.address;
    }
}

TEST(BlockReasonTest, TheProgramsWords) {
    const struct {
        BlockReason reason;
        std::wstring_view entry, expected;
    } cases[] = {
        {black(0, "x"), L"evil.example", L"黑名单第 1 行: evil.example"},
        {black(41, "x"), L"新闻*ads", L"黑名单第 42 行: 新闻*ads"},
        {table(Source::hostTable, "x"), L"doubleclick", L"广告主机表: doubleclick"},
        {table(Source::pathTable, "x"), L"/ads/", L"广告路径表: /ads/"},
        {table(Source::wordTable, "x"), L"ad ", L"广告字词表: ad "},
        {filter(L"EasyList China", "x"), L"||ads.example.com^", L"过滤列表 EasyList China: ||ads.example.com^"},
        {{.popup = true}, L"", L"弹出窗口: 无工具栏"},
        {{.source = Source::blackList, .popup = true, .line = 2}, L"*pop*", L"弹出窗口: 黑名单第 3 行: *pop*"},
    };
    for (const auto& c : cases) EXPECT_EQ(reasonText(c.reason, c.entry), c.expected);
}

}  // namespace
}  // namespace nimbrel
