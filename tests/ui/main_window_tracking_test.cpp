// The main window's subscriptions to the shell's windows, with the test shell in this process.
#include "ui/main_window_fixture.h"

namespace nimbrel::testing {
namespace {

standin::AdviseCounts windowCounts(TestShell& shell, LONG index) {
    return shell.collection().entry(index)->control->advise_counts();
}

TEST_F(MainWindowTest, StartupSubscribesEveryOpenWindowOnceAndTheCollection) {
    const LONG first = shell->addFake(L"http://www.example.com/");
    const LONG second = shell->addFake(L"file:///C:/windows/");
    TTarnwickForm1& window = start();
    EXPECT_EQ(shell->collection().advise_counts().advised, 1);
    EXPECT_EQ(windowCounts(*shell, first).advised, 1);
    EXPECT_EQ(windowCounts(*shell, second).advised, 1);
    EXPECT_EQ(window.subscriptions().size(), 2u);
    EXPECT_NE(window.sinkcookie, 0);
}

TEST_F(MainWindowTest, AWindowRegisteredLaterIsSubscribedOnce) {
    TTarnwickForm1& window = start();
    EXPECT_EQ(window.subscriptions().size(), 0u);
    const LONG added = shell->addFake(L"http://later.example.com/");  // fires WindowRegistered
    EXPECT_EQ(windowCounts(*shell, added).advised, 1);
    shell->collection().fire(standin::kWindowRegistered, 99);  // the same window announced again
    EXPECT_EQ(windowCounts(*shell, added).advised, 1);
    EXPECT_EQ(window.subscriptions().size(), 1u);
}

TEST_F(MainWindowTest, TheSameWindowTwiceInTheCollectionIsSubscribedOnce) {
    const LONG index = shell->addFake(L"http://twice.example.com/");
    TTarnwickForm1& window = start();
    const auto* entry = shell->collection().entry(index);
    shell->collection().add(entry->window, entry->control);
    EXPECT_EQ(windowCounts(*shell, index).advised, 1);
    EXPECT_EQ(window.subscriptions().size(), 1u);
}

TEST_F(MainWindowTest, WindowsThatCannotBeSubscribedAreSkippedSilently) {
    MessageBoxAnswerer answerer;
    const LONG deaf = shell->addFake(L"http://deaf.example.com/", 1, false);
    const LONG listening = shell->addFake(L"http://listening.example.com/");
    TTarnwickForm1& window = start();
    shell->addFake(L"http://another-deaf.example.com/", 1, false);
    pumpMessages(50);
    EXPECT_EQ(windowCounts(*shell, deaf).advised, 0);
    EXPECT_EQ(windowCounts(*shell, listening).advised, 1);
    EXPECT_EQ(window.subscriptions().size(), 1u);
    EXPECT_EQ(answerer.texts(), L"");
    EXPECT_TRUE(IsWindow(window.hwnd()));
}

TEST_F(MainWindowTest, ClosingEndsEverySubscriptionBeforeTheCollectionGoes) {
    const LONG first = shell->addFake(L"http://one.example.com/");
    start();
    const LONG second = shell->addFake(L"http://two.example.com/");
    closeForm();
    EXPECT_EQ(windowCounts(*shell, first).unadvised, 1);
    EXPECT_EQ(windowCounts(*shell, second).unadvised, 1);
    EXPECT_EQ(shell->collection().advise_counts().unadvised, 1);
    EXPECT_FALSE(form->shellwindows);
    EXPECT_EQ(storedText(kSettingsKey, kRunningFlagValue), L"0");
}

}  // namespace
}  // namespace nimbrel::testing
