// nimbrel.exe under Wine with the test shell: it subscribes to every browser window
// once, follows windows that register later, and ends every subscription on close.
#include "standin/client.h"
#include "support/desktop_windows.h"
#include "support/nimbrel_process.h"
#include "support/nimbrel_registry.h"
#include "support/wait.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

namespace e2e {
namespace {

using standin::StandinProcess;

const wchar_t kRunningFlag[] = L"istarnwickrunning";
const wchar_t kConnectFailed[] =
    L"Connect IExplorer failed, there has some crashed IExplorer threads.\r"
    L"Please restart system and try again.";

class WindowTrackingTest : public ::testing::Test {
 protected:
  void SetUp() override {
    delete_nimbrel_key();
    remove_shell_windows_redirect();
  }

  // Subscriptions of the window at index, as the stand-in counted them.
  static int advised(StandinProcess& standin, int index) {
    return standin.number("advise " + std::to_string(index));
  }
  static int unadvised(StandinProcess& standin, int index) {
    return standin.number("unadvise " + std::to_string(index));
  }
  static bool reaches(StandinProcess& standin, int index, int advise_count) {
    return wait_until([&] { return advised(standin, index) >= advise_count; });
  }
  // Subscriptions ended, over every window the stand-in ever held.
  static int unadvised_total(StandinProcess& standin) {
    const std::string totals = standin.command("totals");
    const size_t at = totals.find("unadvised=");
    return at == std::string::npos ? -1 : std::stoi(totals.substr(at + 10));
  }
  // A navigation in each window of the collection reaches the program exactly once.
  static void expect_every_window_judged(StandinProcess& standin) {
    const int count = standin.number("count");
    for (int index = 0; index < count; ++index)
      EXPECT_EQ(standin.command("before-navigate " + std::to_string(index) + " http://news.test/"),
                "cancel=0 sinks=1 failed=0")
          << "window at " << index << " (" << standin.command("location " + std::to_string(index)) << ")";
  }
};

TEST_F(WindowTrackingTest, StartUpSubscribesEveryOpenWindowOnce) {
  StandinProcess standin("--fake 1 --ie 1");
  NimbrelProcess nimbrel;
  ASSERT_NE(nimbrel.wait_for_main_window(), nullptr);
  EXPECT_EQ(read_nimbrel_value(kRunningFlag), L"1");

  EXPECT_EQ(standin.number("shell-advise"), 1);
  EXPECT_EQ(advised(standin, 0), 1) << "the fake window";
  EXPECT_EQ(advised(standin, 1), 1) << "the real Internet Explorer window";
  EXPECT_EQ(nimbrel.wait_for_message_box(0ms), nullptr);
}

TEST_F(WindowTrackingTest, WindowsRegisteredLaterAreSubscribedOnceEach) {
  StandinProcess standin("--fake 1");
  NimbrelProcess nimbrel;
  ASSERT_NE(nimbrel.wait_for_main_window(), nullptr);

  EXPECT_EQ(standin.number("add-fake 1 http://later.test/"), 1);
  EXPECT_TRUE(reaches(standin, 1, 1));
  EXPECT_EQ(standin.number("add-ie"), 2);
  EXPECT_TRUE(reaches(standin, 2, 1));

  // The same window a second time, and an announcement without a new window.
  EXPECT_EQ(standin.number("add-again 1"), 3);
  EXPECT_EQ(standin.command("fire-registered"), "sinks=1 failed=0");
  // A window registered after those proves they have been handled.
  EXPECT_EQ(standin.number("add-fake 1 http://last.test/"), 4);
  EXPECT_TRUE(reaches(standin, 4, 1));
  for (int index = 0; index <= 3; ++index)
    EXPECT_EQ(advised(standin, index), 1) << "window at " << index;
  EXPECT_TRUE(nimbrel.running());
}

// Entries that yield no window, or a window without events, are passed over silently,
// at start-up and when they register.
TEST_F(WindowTrackingTest, WindowsThatCannotBeSubscribedAreSkipped) {
  StandinProcess standin;
  EXPECT_EQ(standin.number("add-empty"), 0);
  EXPECT_EQ(standin.number("add-mute http://mute.test/"), 1);
  EXPECT_EQ(standin.number("add-fake 1 http://first.test/"), 2);
  NimbrelProcess nimbrel;
  ASSERT_NE(nimbrel.wait_for_main_window(), nullptr);
  EXPECT_EQ(advised(standin, 2), 1);

  EXPECT_EQ(standin.number("add-mute http://mute2.test/"), 3);
  EXPECT_EQ(standin.number("add-empty"), 4);
  EXPECT_EQ(standin.number("add-fake 1 http://second.test/"), 5);
  EXPECT_TRUE(reaches(standin, 5, 1));
  EXPECT_EQ(nimbrel.wait_for_message_box(0ms), nullptr);
  EXPECT_TRUE(nimbrel.running());
}

TEST_F(WindowTrackingTest, ClosingEndsEverySubscription) {
  StandinProcess standin("--fake 2 --ie 1");
  NimbrelProcess nimbrel;
  ASSERT_NE(nimbrel.wait_for_main_window(), nullptr);
  EXPECT_EQ(standin.number("add-fake 1 http://later.test/"), 3);
  ASSERT_TRUE(reaches(standin, 3, 1));

  nimbrel.close();
  ASSERT_TRUE(nimbrel.wait_for_exit());
  EXPECT_EQ(nimbrel.exit_code(), 0u);
  for (int index = 0; index <= 3; ++index) {
    EXPECT_EQ(advised(standin, index), 1) << "window at " << index;
    EXPECT_EQ(unadvised(standin, index), 1) << "window at " << index;
  }
  EXPECT_EQ(standin.number("shell-advise"), 1);
  EXPECT_EQ(standin.number("shell-unadvise"), 1);
  EXPECT_EQ(read_nimbrel_value(kRunningFlag), L"0");
}

// The shell changes while a prune walks it (the stand-in changes it while handing out the
// second window): a window that closes moves the others down, a window that registers lands
// beyond what the walk started from. Every window still open keeps its subscription.
TEST_F(WindowTrackingTest, WindowsThatChangeWhileAPruneWalksKeepTheirSubscriptions) {
  StandinProcess standin("--fake 5");
  NimbrelProcess nimbrel;
  ASSERT_NE(nimbrel.wait_for_main_window(), nullptr);
  ASSERT_TRUE(reaches(standin, 4, 1));

  EXPECT_EQ(standin.command("arm shell 2 remove 0"), "OK");
  EXPECT_EQ(standin.command("arm shell 2 add-fake 1 http://during1.test/"), "OK");
  EXPECT_EQ(standin.command("remove 4"), "OK");  // the revocation that starts a prune
  EXPECT_TRUE(wait_until([&] { return standin.command("armed") != ""; }, 10s)) << "the prune walked";
  EXPECT_TRUE(wait_until([&] { return unadvised_total(standin) >= 2; }, 10s));
  Sleep(2500);  // any prune that follows
  EXPECT_EQ(unadvised_total(standin), 2) << "only the two windows that closed";

  EXPECT_EQ(standin.command("arm shell 2 add-fake 1 http://during2.test/"), "OK");
  EXPECT_EQ(standin.command("remove 3"), "OK");
  EXPECT_TRUE(wait_until([&] { return unadvised_total(standin) >= 3; }, 10s));
  Sleep(2500);
  EXPECT_EQ(unadvised_total(standin), 3) << standin.command("totals");
  EXPECT_EQ(standin.number("count"), 4);
  expect_every_window_judged(standin);
  EXPECT_TRUE(nimbrel.running());
}

// While the program waits on the shell in the middle of a walk (here the one that follows
// a registration), a new shell's cue and a request to close are taken at once and carried
// out after the walk, which goes on with the collection it holds.
TEST_F(WindowTrackingTest, ACueDuringAWalkIsCarriedOutAfterIt) {
  auto old_shell = std::make_unique<StandinProcess>("--fake 2");
  NimbrelProcess nimbrel;
  ASSERT_NE(nimbrel.wait_for_main_window(), nullptr);
  ASSERT_TRUE(reaches(*old_shell, 1, 1));
  StandinProcess shell("--fake 1");  // the shell's collection is the new one's from now on

  EXPECT_EQ(old_shell->command("arm shell 1 cue taskbar"), "OK");
  EXPECT_EQ(old_shell->number("add-fake 1 http://later.test/"), 2);
  EXPECT_EQ(old_shell->command("armed"), "answered");
  EXPECT_TRUE(reaches(shell, 0, 1)) << "the new shell's window, after the walk";
  EXPECT_EQ(shell.number("shell-advise"), 1);
  EXPECT_EQ(advised(*old_shell, 2), 1) << "the walk went on through the old collection";
  EXPECT_TRUE(wait_until([&] { return unadvised_total(*old_shell) == 3; }, 10s))
      << "the old shell's windows are let go: " << old_shell->command("totals");
  EXPECT_TRUE(nimbrel.running());
  old_shell.reset();
  expect_every_window_judged(shell);

  EXPECT_EQ(shell.command("arm shell 1 cue close"), "OK");
  EXPECT_EQ(shell.number("add-fake 1 http://last.test/"), 1);
  EXPECT_EQ(shell.command("armed"), "answered");
  ASSERT_TRUE(nimbrel.wait_for_exit());
  EXPECT_EQ(nimbrel.exit_code(), 0u);
  EXPECT_EQ(unadvised_total(shell), advised(shell, 0) + advised(shell, 1)) << "every subscription ended";
  EXPECT_EQ(shell.number("shell-unadvise"), 1);
  EXPECT_EQ(read_nimbrel_value(kRunningFlag), L"0");
}

// An exit that takes longer than the bound on one call, but gets on with it, is not cut
// short: every subscription ends and the exit code says all went well.
TEST_F(WindowTrackingTest, ASlowExitThatProgressesIsNotCutShort) {
  StandinProcess standin("--fake 12");
  NimbrelProcess nimbrel;
  ASSERT_NE(nimbrel.wait_for_main_window(), nullptr);
  ASSERT_TRUE(reaches(standin, 11, 1));
  EXPECT_EQ(standin.command("slow-unadvise 400"), "OK");  // 13 subscriptions: over 5 s in all

  nimbrel.close();
  ASSERT_TRUE(nimbrel.wait_for_exit(60s));
  EXPECT_EQ(nimbrel.exit_code(), 0u);
  EXPECT_EQ(unadvised_total(standin), 12);
  EXPECT_EQ(standin.number("shell-unadvise"), 1);
}

// The program says it cannot connect, waits for the message to be dismissed, then
// ends by itself through the normal close.
void expect_connection_failure_message_then_end() {
  NimbrelProcess nimbrel;
  const HWND box = nimbrel.wait_for_message_box();
  ASSERT_NE(box, nullptr);
  EXPECT_EQ(window_text(box), NimbrelProcess::kTitle);
  EXPECT_EQ(message_box_text(box), kConnectFailed);
  EXPECT_TRUE(nimbrel.running()) << "it waits for the message to be dismissed";

  press_ok(box);
  ASSERT_TRUE(nimbrel.wait_for_exit());
  EXPECT_EQ(nimbrel.exit_code(), 0u);
  EXPECT_EQ(read_nimbrel_value(kRunningFlag), L"0");
}

// Without the test shell Wine's own collection answers, which offers no events.
TEST_F(WindowTrackingTest, CollectionWithoutEventsEndsTheProgram) {
  expect_connection_failure_message_then_end();
}

// As after a stand-in was killed: ShellWindows points at a class nobody serves.
TEST_F(WindowTrackingTest, CollectionThatCannotBeCreatedEndsTheProgram) {
  redirect_shell_windows(L"{5E0B1F52-7A11-4C39-9D5E-0000DEADC0DE}");
  expect_connection_failure_message_then_end();
  remove_shell_windows_redirect();
}

}  // namespace
}  // namespace e2e
