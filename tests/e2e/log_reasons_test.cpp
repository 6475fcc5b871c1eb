// The block log of a running nimbrel.exe says what removed each address (a black-list line,
// a built-in table, a filter list), counts the removals across a restart, and its row menu
// lets a site through from the next navigation on or shows the black-list line that wins.
#include "e2e/filter_fixture.h"
#include "e2e/ui_driver.h"
#include "support/desktop_windows.h"
#include "support/wait.h"

#include <commctrl.h>

namespace e2e {
namespace {

// Where the row commands stand in the log's menu, counted as the arrow keys count them.
constexpr int kAllowSite = 3;
constexpr int kShowBlackLine = 4;

class LogReasonsTest : public FilterEndToEndTest {
 protected:
  std::wstring counts() const { return control_text(control(ids::Label18)); }
  std::wstring selected_text(int id) const {
    const HWND box = control(id);
    const auto selection = send_message(box, EM_GETSEL, 0, 0);
    if (!selection) return L"(no answer)";
    const std::wstring text = control_text(box);
    const auto start = LOWORD(*selection), end = HIWORD(*selection);
    return start <= end && end <= text.size() ? text.substr(start, end - start) : L"(bad selection)";
  }
};

TEST_F(LogReasonsTest, EachRowSaysWhatRemovedItAndAllowingItsSiteLetsItsNextNavigationPass) {
  set(L"killurl", L"1");
  set(L"killlevel", L"1");  // the black list, the built-in host table and the filter lists
  put_file(list_path(L"black.lis"), "mine\r\n//BLACK.TEST/");
  store_filter_list(L"1", L"http://127.0.0.1:9/list.txt", "[Adblock Plus 2.0]\n||metrics.example.com^\n");
  start_standin("--fake 1");
  ASSERT_TRUE(start_nimbrel());
  EXPECT_EQ(counts(), L"本次已清除 0 个, 今天 0 个, 总计 0 个");

  const std::string listed = "http://metrics.example.com/x.js", black = "http://black.test/a",
                    table = "http://ad.doubleclick.net/b.gif";
  ASSERT_TRUE(wait_until([&] { return fire_navigation(0, listed) == kCancelled; }, 20s))
      << "the stored list blocks once compiled";
  ASSERT_EQ(fire_navigation(0, black), kCancelled);
  ASSERT_EQ(fire_navigation(0, table), kCancelled);
  EXPECT_EQ(log().column(2), (std::vector<std::wstring>{L"过滤列表 Stored: ||metrics.example.com^",
                                                        L"黑名单第 2 行: //BLACK.TEST/", L"广告主机表: doubleclick"}));
  EXPECT_EQ(counts(), L"本次已清除 3 个, 今天 3 个, 总计 3 个");
  ASSERT_TRUE(command(ids::V1));
  ASSERT_TRUE(send_message(log().hwnd(), LVM_SCROLL, 200, 0));  // the reasons into view
  Sleep(300);  // drawn
  EXPECT_TRUE(keep_screenshot(screen_rect(main_), L"log_reasons.png"));

  // The black list wins over the white list: its row shows the line instead.
  ASSERT_NO_FATAL_FAILURE(choose_for_row(1, kShowBlackLine, L"log_menu_black_row.png"));
  EXPECT_TRUE(wait_until([&] { return selected_text(ids::Memo2) == L"//BLACK.TEST/"; }, 5s))
      << testing::PrintToString(selected_text(ids::Memo2));
  EXPECT_TRUE(IsWindowVisible(control(ids::ExceptionPanel)));

  ASSERT_NO_FATAL_FAILURE(choose_for_row(0, kAllowSite, L"log_menu.png"));
  EXPECT_TRUE(wait_until([&] { return control_text(control(ids::Memo1)) == L"//METRICS.EXAMPLE.COM/\r\n"; }, 5s))
      << testing::PrintToString(control_text(control(ids::Memo1)));
  EXPECT_EQ(selected_text(ids::Memo1), L"//METRICS.EXAMPLE.COM/");
  EXPECT_EQ(fire_navigation(0, listed), kPassed) << "the white list exempts from the filter lists";
  EXPECT_EQ(fire_navigation(0, "http://cdn.metrics.example.com/x.js"), kCancelled) << "only that host";
  ASSERT_NO_FATAL_FAILURE(choose_for_row(2, kAllowSite));
  EXPECT_EQ(fire_navigation(0, table), kPassed) << "and from the built-in tables";
  EXPECT_EQ(fire_navigation(0, black), kCancelled);
  EXPECT_EQ(counts(), L"本次已清除 5 个, 今天 5 个, 总计 5 个");

  nimbrel_.reset();  // closed: today's and the total are the user's to keep
  ASSERT_TRUE(start_nimbrel());
  EXPECT_EQ(counts(), L"本次已清除 0 个, 今天 5 个, 总计 5 个");
  EXPECT_EQ(control_text(control(ids::Memo1)), L"") << "the white line was not confirmed";
}

}  // namespace
}  // namespace e2e
