// The pop-up window killer: new-window policy, timer firing, and one pass judged window by window.
#include "core/popup_rules.h"

#include <gtest/gtest.h>

#include <ostream>
#include <string>
#include <vector>

namespace nimbrel {

// Readable failure messages.
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
        return PopupPass::begin(CodePage::gb2312(), settings(), ctrlDown, ExceptionLists{white, black});
    }

    // Judges one window; counts how often the pass asked for its tool bar.
    WindowVerdict judge(std::string_view address, int toolBar) {
        const std::optional<PopupPass> pass = beginPass();
        if (!pass) {
            ADD_FAILURE() << "the pass was expected to run";
            return WindowVerdict::keep;
        }
        return pass->judge(address, [this, toolBar] {
            ++toolBarReads;
            return toolBar;
        });
    }

    WindowVerdict judgeAtLevel(std::wstring level, std::string_view address, int toolBar) {
        killlevel = std::move(level);
        return judge(address, toolBar);
    }

    std::wstring killpop = L"1";
    std::wstring killlevel = L"1";
    std::wstring enhotcut = L"0";
    std::vector<std::string> white;
    std::vector<std::string> black;
    int toolBarReads = 0;
};

TEST_F(PopupRulesTest, NewWindowRefusedOnlyAtLevelZero) {
    killlevel = L"0";
    killpop = L"0";
    EXPECT_EQ(judgeNewWindow(settings(), false), (NewWindowVerdict{.cancel = true, .startTimers = false}));
    killpop = L"1";
    EXPECT_EQ(judgeNewWindow(settings(), false), (NewWindowVerdict{.cancel = true, .startTimers = true}));
    for (const wchar_t* level : {L"1", L"2", L"3", L"9", L""}) {
        killlevel = level;
        EXPECT_EQ(judgeNewWindow(settings(), false),
                  (NewWindowVerdict{.cancel = false, .startTimers = true}));
    }
}

TEST_F(PopupRulesTest, NewWindowAtLowestLevelOrIdleIsLeftAlone) {
    killlevel = L"4";
    EXPECT_EQ(judgeNewWindow(settings(), false), NewWindowVerdict{});
    killlevel = L"0";
    enhotcut = L"1";
    EXPECT_EQ(judgeNewWindow(settings(), true), NewWindowVerdict{});
    EXPECT_TRUE(judgeNewWindow(settings(), false).cancel);
    enhotcut = L"0";
    EXPECT_TRUE(judgeNewWindow(settings(), true).cancel);
}

TEST_F(PopupRulesTest, TimersRunPassesOnlyWhilePopupClosingIsOn) {
    EXPECT_TRUE(timerRunsPass(settings()));
    killpop = L"0";
    EXPECT_FALSE(timerRunsPass(settings()));
    killpop = L"";
    EXPECT_FALSE(timerRunsPass(settings()));
}

TEST_F(PopupRulesTest, PassRunsAtLevelsZeroToThreeOnly) {
    for (const wchar_t* level : {L"0", L"1", L"2", L"3"}) {
        killlevel = level;
        EXPECT_TRUE(beginPass().has_value());
    }
    for (const wchar_t* level : {L"4", L"5", L"", L"x"}) {
        killlevel = level;
        EXPECT_FALSE(beginPass().has_value());
    }
}

TEST_F(PopupRulesTest, PassDoesNothingWhileCtrlIsHeldWithHotKeys) {
    enhotcut = L"1";
    EXPECT_FALSE(beginPass(true).has_value());
    EXPECT_TRUE(beginPass(false).has_value());
    enhotcut = L"0";
    EXPECT_TRUE(beginPass(true).has_value());
}

TEST_F(PopupRulesTest, WindowWithoutToolBarIsClosedUnlessWhiteListed) {
    for (const wchar_t* level : {L"0", L"1", L"2", L"3"}) {
        white.clear();
        EXPECT_EQ(judgeAtLevel(level, "http://popup.example/offer.html", kNoToolBar),
                  WindowVerdict::quitPopup);
        white = {"popup.example"};
        EXPECT_EQ(judgeAtLevel(level, "http://popup.example/offer.html", kNoToolBar), WindowVerdict::keep);
    }
}

TEST_F(PopupRulesTest, WindowWithToolBarIsKept) {
    for (const wchar_t* level : {L"0", L"1", L"2", L"3"}) {
        EXPECT_EQ(judgeAtLevel(level, "http://popup.example/ads/", kToolBar), WindowVerdict::keep);
    }
    EXPECT_EQ(judgeAtLevel(L"1", "http://x/", -1), WindowVerdict::keep);  // any value but 0
}

TEST_F(PopupRulesTest, ExemptionWordsSpareOnlyAtLevelsTwoAndThree) {
    const std::string address = "http://www.example.com/RaDiO/player.html";
    EXPECT_EQ(judgeAtLevel(L"2", address, kNoToolBar), WindowVerdict::keep);
    EXPECT_EQ(judgeAtLevel(L"3", address, kNoToolBar), WindowVerdict::keep);
    EXPECT_EQ(judgeAtLevel(L"0", address, kNoToolBar), WindowVerdict::quitPopup);
    EXPECT_EQ(judgeAtLevel(L"1", address, kNoToolBar), WindowVerdict::quitPopup);
}

TEST_F(PopupRulesTest, EveryExemptionWordSparesInAnyCase) {
    ASSERT_EQ(popupExemptionWords().size(), 7u);
    for (std::string_view word : popupExemptionWords()) {
        std::string shouted = upperCase(CodePage::singleByte(), word);
        EXPECT_EQ(judgeAtLevel(L"2", "http://x/" + std::string(word), kNoToolBar), WindowVerdict::keep)
            << word;
        EXPECT_EQ(judgeAtLevel(L"3", "http://x/" + shouted, kNoToolBar), WindowVerdict::keep) << word;
    }
}

TEST_F(PopupRulesTest, ExemptionWordMustStartOnACharacterBoundary) {
    // 0x81 0x52 is one character whose trail byte reads as 'R': byte-wise "REAL", but no word.
    EXPECT_EQ(judgeAtLevel(L"2",
                           "http://x.cn/\x81"
                           "REAL",
                           kNoToolBar),
              WindowVerdict::quitPopup);
    EXPECT_EQ(judgeAtLevel(L"2",
                           "http://x.cn/\xB0\xA1"
                           "rEAL",
                           kNoToolBar),
              WindowVerdict::keep);
}

TEST_F(PopupRulesTest, BlackListClosesEvenWindowsWithToolBarsAndWhiteListedOnes) {
    black = {"evil.example"};
    white = {"evil.example"};
    for (const wchar_t* level : {L"0", L"1", L"2", L"3"}) {
        EXPECT_EQ(judgeAtLevel(level, "http://evil.example/music/", kToolBar),
                  WindowVerdict::quitBlackListed);
    }
}

TEST_F(PopupRulesTest, BlackListedWindowIsJudgedOnceAndItsToolBarIsNotRead) {
    // Two matching lines and no tool bar: formerly logged and closed three times in one pass.
    black = {"evil.example", "abc", "example/pop", "    "};
    const WindowVerdict verdict = judge("http://evil.example/pop.html", kNoToolBar);
    EXPECT_EQ(verdict, WindowVerdict::quitBlackListed);
    EXPECT_TRUE(closesWindow(verdict));
    EXPECT_EQ(toolBarReads, 0);
}

TEST_F(PopupRulesTest, ToolBarIsReadOnceForWindowsOffTheBlackList) {
    black = {"evil.example"};
    EXPECT_EQ(judge("http://fine.example/", kToolBar), WindowVerdict::keep);
    EXPECT_EQ(toolBarReads, 1);
    EXPECT_FALSE(closesWindow(WindowVerdict::keep));
    EXPECT_TRUE(closesWindow(WindowVerdict::quitPopup));
}

TEST_F(PopupRulesTest, ShortBlackListLinesAreSkipped) {
    black = {"abc", "x", ""};
    EXPECT_EQ(judge("http://abc.example/x", kToolBar), WindowVerdict::keep);
}

TEST_F(PopupRulesTest, WindowWithoutAddressYetIsClosedAsPopup) {
    EXPECT_EQ(judge("", kNoToolBar), WindowVerdict::quitPopup);
    EXPECT_EQ(judgeAtLevel(L"3", "", kNoToolBar), WindowVerdict::quitPopup);
}

TEST_F(PopupRulesTest, FolderWindowsAreJudgedLikeBrowsers) {
    black = {"secret"};
    EXPECT_EQ(judge("file:///C:/secret/", kToolBar), WindowVerdict::quitBlackListed);
    black.clear();
    EXPECT_EQ(judge("file:///C:/Windows/", kNoToolBar), WindowVerdict::quitPopup);
}

}  // namespace
}  // namespace nimbrel
