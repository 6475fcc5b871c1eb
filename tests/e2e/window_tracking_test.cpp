// nimbrel.exe under Wine with the test shell: it subscribes to every browser window
// once, follows windows that register later, and ends every subscription on close.
#include "standin/client.h"
#include "support/desktop_windows.h"
#include "support/nimbrel_process.h"
#include "support/nimbrel_registry.h"
#include "support/wait.h"

#include <gtest/gtest.h>

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
