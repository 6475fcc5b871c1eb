// The pop-up window killer of a running nimbrel.exe: passes over the test shell's
// collection after a navigation, and the new-window policy, seen from outside.
#include "e2e/filter_fixture.h"
#include "support/nimbrel_registry.h"
#include "support/wait.h"

namespace e2e {
namespace {

class FilterPopupTest : public FilterEndToEndTest {};

// A fake window stays in the collection after Quit, so every pass meets it again. What
// must hold is one closure and one row per window and pass: the target matches two
// black-list lines and has no tool bar, yet is asked to quit once per pass, each time
// with one row. A tool-bar-less witness that no list names counts the passes.
TEST_F(FilterPopupTest, PassesAfterANavigationCloseAndLogEachWindowOncePerPass) {
  set(L"killpop", L"1");
  set(L"killlevel", L"1");
  put_file(list_path(L"black.lis"), "popup.test\r\npopup.test/offer\r\n");
  auto& standin = start_standin();
  const std::wstring target = L"http://popup.test/offer.html";
  const std::wstring witness = L"http://witness.test/";
  ASSERT_EQ(standin.number("add-fake 0 http://popup.test/offer.html"), 0);
  ASSERT_EQ(standin.number("add-fake 0 http://witness.test/"), 1);
  ASSERT_EQ(standin.number("add-fake 1 http://news.test/"), 2);
  ASSERT_TRUE(start_nimbrel());
  EXPECT_EQ(log().row_count(), 0) << "no pass before an event";

  EXPECT_EQ(fire_navigation(2, "http://news.test/story.html"), "cancel=0 sinks=1 failed=0");
  EXPECT_TRUE(wait_until([&] { return quits(1) >= 1; }, 2s)) << "a pass runs right after the navigation's answer";
  // Then Timer3 (1 ms), Timer4 (1 s) and Timer6 (3 s) each run one more.
  EXPECT_TRUE(wait_until([&] { return quits(1) >= 4; }, 8s)) << "passes seen: " << quits(1);
  const int passes = quits(1);
  EXPECT_EQ(passes, 4);
  EXPECT_EQ(quits(0), passes) << "one Quit per pass for the black-listed pop-up";
  EXPECT_EQ(rows_with(target), quits(0)) << "one row per closure";
  EXPECT_EQ(rows_with(witness), passes);
  EXPECT_EQ(quits(2), 0) << "the browser with a tool bar stays";
  EXPECT_EQ(log().row_count(), 2 * passes) << "nothing else is logged";
}

TEST_F(FilterPopupTest, NewWindowsAreRefusedAtLevelZeroOnly) {
  set(L"killlevel", L"0");  // pop-up closing stays off: the refusal does not need it
  start_standin("--fake 1");
  ASSERT_TRUE(start_nimbrel());

  EXPECT_EQ(fire_new_window(0), "cancel=1 sinks=1 failed=0");
  ASSERT_TRUE(command(ids::Highlevel1)) << "the tray menu's level \"高级\"";
  EXPECT_EQ(read_nimbrel_value(L"killlevel"), L"1");
  EXPECT_EQ(fire_new_window(0), "cancel=0 sinks=1 failed=0");
  EXPECT_EQ(log().row_count(), 0) << "a refused window leaves no trace";
  EXPECT_EQ(quits(0), 0);
}

}  // namespace
}  // namespace e2e
