// The pop-up window killer: new-window policy, timer firing, and one pass judged window by window.
#include "core/popup_rules.h"

#include <gtest/gtest.h>

#include <ostream>
#include <string>
#include <vector>

namespace nimbrel {

void PrintTo(const NewWindowVerdict& verdict, std::ostream* out) {
    *out << "{cancel " << verdict.cancel << ", startTimers " << verdict.startTimers << "}";
}

namespace {

constexpr int kNoToolBar = 0;
constexpr int kToolBar = 1;

class PopupRulesTest : public ::testing::Test {
protected:
    FilterSettings settings() const { return {killpop, L"1", killlevel, enhotcut}; }

    std::optional<PopupPass> beginPass(bool ctrlDown = false) const {
        return PopupPass::begin(CodePage::gb2312(), settings(), ctrlDown, {white, black});
    }

    // Judges one window in a pass at `level`, counting the reads of its tool bar.
    WindowVerdict judge(const wchar_t* level, std::string_view address, int toolBar) {
        killlevel = level;
        const std::optional<PopupPass> pass = beginPass();
        if (!pass) {
            ADD_FAILURE() << "no pass at this level";
            return WindowVerdict::keep;
        }
        return pass->judge(address, [this, toolBar] { return ++toolBarReads, toolBar; });
    }

    std::wstring killpop = L"1", killlevel = L"1", enhotcut = L"0";
    std::vector<std::string> white{"trusted.example"};
    std::vector<std::string> black{"evil.example", "abc", "evil.example/pop"};
    int toolBarReads = 0;
};

TEST_F(PopupRulesTest, NewWindowPolicy) {
    const struct {
        const wchar_t *level, *killpop;
        NewWindowVerdict expected;
    } cases[] = {
        {L"0", L"0", {.cancel = true, .startTimers = false}},
        {L"0", L"1", {.cancel = true, .startTimers = true}},
        {L"1", L"1", {.cancel = false, .startTimers = true}},
        {L"3", L"1", {.cancel = false, .startTimers = true}},
        {L"9", L"1", {.cancel = false, .startTimers = true}},
        {L"2", L"0", {}},
        {L"4", L"1", {}},
    };
    for (const auto& c : cases) {
        killlevel = c.level;
        killpop = c.killpop;
        EXPECT_EQ(judgeNewWindow(settings(), false), c.expected) << c.level << " " << c.killpop;
    }
}

TEST_F(PopupRulesTest, CtrlSuspendsNewWindowPolicyAndPassesOnlyWithHotKeys) {
    killlevel = L"0";
    enhotcut = L"1";
    EXPECT_EQ(judgeNewWindow(settings(), true), NewWindowVerdict{});
    EXPECT_FALSE(beginPass(true).has_value());
    EXPECT_TRUE(beginPass(false).has_value());
    enhotcut = L"0";
    EXPECT_TRUE(judgeNewWindow(settings(), true).cancel);
    EXPECT_TRUE(beginPass(true).has_value());
}

TEST_F(PopupRulesTest, TimersRunPassesOnlyWhilePopupClosingIsOn) {
    EXPECT_TRUE(timerRunsPass(settings()));
    killpop = L"0";
    EXPECT_FALSE(timerRunsPass(settings()));
}

TEST_F(PopupRulesTest, PassRunsAtLevelsZeroToThreeOnly) {
    for (const wchar_t* level : {L"0", L"1", L"2", L"3", L"4", L"5", L""}) {
        killlevel = level;
        EXPECT_EQ(beginPass().has_value(), level[0] >= L'0' && level[0] <= L'3') << level;
    }
}

TEST_F(PopupRulesTest, LevelTable) {
    using enum WindowVerdict;
    const struct {
        std::string_view address;
        int toolBar;
        WindowVerdict expected[4];  // levels "0" to "3"
    } cases[] = {
        {"http://popup.example/offer.html", kNoToolBar, {quitPopup, quitPopup, quitPopup, quitPopup}},
        {"http://popup.example/offer.html", kToolBar, {keep, keep, keep, keep}},
        {"http://popup.example/offer.html", -1, {keep, keep, keep, keep}},  // anything but 0
        {"http://Trusted.Example/x", kNoToolBar, {keep, keep, keep, keep}},
        {"http://x.com/RaDiO/player", kNoToolBar, {quitPopup, quitPopup, keep, keep}},
        {"http://x.cn/\201REAL", kNoToolBar, {quitPopup, quitPopup, quitPopup, quitPopup}},  // trail 'R'
        {"http://evil.example/music/?trusted.example",
         kToolBar,
         {quitBlackListed, quitBlackListed, quitBlackListed, quitBlackListed}},
        {"", kNoToolBar, {quitPopup, quitPopup, quitPopup, quitPopup}},
        {"file:///C:/Windows/", kNoToolBar, {quitPopup, quitPopup, quitPopup, quitPopup}},
        {"file:///C:/abc/", kToolBar, {keep, keep, keep, keep}},  // "abc" is too short a line
    };
    const wchar_t* levels[] = {L"0", L"1", L"2", L"3"};
    for (const auto& c : cases) {
        for (int level = 0; level < 4; ++level) {
            EXPECT_EQ(judge(levels[level], c.address, c.toolBar), c.expected[level])
                << c.address << " @" << level;
        }
    }
}

TEST_F(PopupRulesTest, EveryExemptionWordSparesInAnyCaseAtLevelsTwoAndThree) {
    ASSERT_EQ(popupExemptionWords().size(), 7u);
    for (std::string_view word : popupExemptionWords()) {
        const std::string shouted = upperCase(CodePage::singleByte(), word);
        EXPECT_EQ(judge(L"2", "http://x/" + std::string(word), kNoToolBar), WindowVerdict::keep) << word;
        EXPECT_EQ(judge(L"3", "http://x/" + shouted, kNoToolBar), WindowVerdict::keep) << word;
        EXPECT_EQ(judge(L"1", "http://x/" + shouted, kNoToolBar), WindowVerdict::quitPopup) << word;
    }
}

TEST_F(PopupRulesTest, BlackListedWindowIsJudgedOnceWithoutReadingItsToolBar) {
    // Two matching lines and no tool bar: formerly logged and closed three times in one pass.
    const WindowVerdict verdict = judge(L"1", "http://evil.example/pop.html", kNoToolBar);
    EXPECT_EQ(verdict, WindowVerdict::quitBlackListed);
    EXPECT_TRUE(closesWindow(verdict));
    EXPECT_EQ(toolBarReads, 0);
    EXPECT_EQ(judge(L"1", "http://fine.example/", kToolBar), WindowVerdict::keep);
    EXPECT_EQ(toolBarReads, 1);
    EXPECT_FALSE(closesWindow(WindowVerdict::keep));
}

}  // namespace
}  // namespace nimbrel
