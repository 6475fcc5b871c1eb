// The tray notice of a removed page and the one pass it offers, seen from outside: what
// nimbrel.exe hands to Shell_NotifyIcon is read by a notification area of the test's own;
// fake windows of the test shell and a real Wine Internet Explorer window navigate; what
// really loads is seen by a loopback HTTP server.
#include "e2e/filter_fixture.h"
#include "e2e/screenshots.h"
#include "support/desktop_windows.h"
#include "support/loopback_http.h"
#include "support/notification_area.h"
#include "support/wait.h"

#include <shellapi.h>

#include <algorithm>
#include <optional>
#include <set>

namespace e2e {
namespace {

constexpr UINT kTrayCallback = 2000;
constexpr UINT kTrayIconId = 1000;
constexpr int kPassOnceItem = 2;  // "放行一次": second in the log's menu

std::string narrow(const std::wstring& ascii) { return {ascii.begin(), ascii.end()}; }
std::wstring first_line(const std::wstring& text) { return text.substr(0, text.find(L'\n')); }

std::wstring class_name(HWND window) {
  wchar_t name[64] = {};
  GetClassNameW(window, name, 64);
  return name;
}

std::set<HWND> browser_frames() {
  std::set<HWND> frames;
  for (HWND window = GetTopWindow(nullptr); window; window = GetWindow(window, GW_HWNDNEXT))
    if (class_name(window) == L"IEFrame") frames.insert(window);
  return frames;
}

// A balloon that the session's tray shows: a visible tool tip of another process.
std::optional<RECT> shown_balloon(DWORD except_process) {
  for (HWND window = GetTopWindow(nullptr); window; window = GetWindow(window, GW_HWNDNEXT)) {
    DWORD process = 0;
    GetWindowThreadProcessId(window, &process);
    RECT box{};
    if (class_name(window) == L"tooltips_class32" && IsWindowVisible(window) && process != except_process &&
        process != GetCurrentProcessId() && GetWindowRect(window, &box))
      return box;
  }
  return std::nullopt;
}

class NoticeTest : public FilterEndToEndTest {
 protected:
  void SetUp() override {
    FilterEndToEndTest::SetUp();
    set(L"killurl", L"1");
    set(L"killlevel", L"1");
    frames_before_ = browser_frames();
  }
  // Browser windows that the program opened are closed with the test.
  void TearDown() override {
    for (HWND frame : browser_frames())
      if (!frames_before_.count(frame)) PostMessageW(frame, WM_CLOSE, 0, 0);
    FilterEndToEndTest::TearDown();
  }

  void start(const std::string& standin_options) {
    ASSERT_TRUE(area_.ready()) << "the test's notification area does not take the shell's calls";
    start_standin(standin_options);
    ASSERT_TRUE(start_nimbrel());
    PostMessageW(main_, WM_SYSCOMMAND, SC_MINIMIZE, 0);
    ASSERT_TRUE(wait_until([&] { return area_.icon_added(main_); }, 10s)) << "the program did not go to the tray";
  }
  size_t notice_count() const { return area_.notices(main_).size(); }
  NotificationArea::Call last_notice() const { return area_.notices(main_).back(); }
  bool notices_reach(size_t count, std::chrono::milliseconds timeout = 5s) const {
    return wait_until([&] { return notice_count() >= count; }, timeout);
  }
  void click_notice() const { PostMessageW(main_, kTrayCallback, kTrayIconId, NIN_BALLOONUSERCLICK); }
  int requests_for(const std::string& path) const {
    const auto all = http_.requests();
    return static_cast<int>(std::count_if(all.begin(), all.end(), [&](const auto& request) { return request.path == path; }));
  }

  NotificationArea area_;
  LoopbackHttp http_;
  std::set<HWND> frames_before_;
};

// A frame's removal says nothing; the window's own does, once per 10 s, and what was
// removed meanwhile is counted into the next notice.
TEST_F(NoticeTest, AWindowsCancelledNavigationShowsANoticeAFramesShowsNone) {
  ASSERT_NO_FATAL_FAILURE(start("--fake 1"));
  ASSERT_EQ(standin_->command("frame-navigate 0 http://frame.test/ads/f.html"), kCancelled);
  ASSERT_TRUE(wait_for_rows(1)) << "the frame's navigation is removed and logged";
  EXPECT_FALSE(notices_reach(1, 1500ms)) << "but not told";

  ASSERT_EQ(fire_navigation(0, "http://news.test/ads/a.html"), kCancelled);
  ASSERT_TRUE(notices_reach(1));
  const auto shown = std::chrono::steady_clock::now();
  const auto notice = last_notice();
  EXPECT_EQ(notice.message, static_cast<DWORD>(NIM_MODIFY));
  EXPECT_EQ(notice.id, kTrayIconId);
  EXPECT_EQ(notice.infoTitle, L"已阻止广告网址");
  EXPECT_EQ(notice.infoFlags, static_cast<DWORD>(NIIF_INFO | NIIF_NOSOUND));
  EXPECT_EQ(notice.info, L"news.test\n广告路径表: /ads/") << "the host and what removed it";
  // Wine's tray draws the balloon itself, a moment later: kept as a picture of the run.
  std::optional<RECT> balloon;
  EXPECT_TRUE(wait_until([&] { return (balloon = shown_balloon(nimbrel_->id())).has_value(); }, 5s));
  if (balloon) {
    RECT around{0, 0, balloon->right + 60, balloon->bottom + 20};
    Sleep(300);  // drawn
    EXPECT_TRUE(keep_screenshot(around, L"notice.png"));
  }

  ASSERT_EQ(fire_navigation(0, "http://second.test/ads/b.html"), kCancelled);
  ASSERT_EQ(fire_navigation(0, "http://third.test/ads/c.html"), kCancelled);
  EXPECT_FALSE(notices_reach(2, 3s)) << "held within 10 s of the last notice";
  ASSERT_TRUE(notices_reach(2, 15s));
  EXPECT_GE(std::chrono::steady_clock::now() - shown, 9s);
  EXPECT_EQ(last_notice().info, L"third.test\n广告路径表: /ads/\n另有 1 个网址也已阻止")
      << "the newest named, the other counted";
  Sleep(1500);
  EXPECT_EQ(notice_count(), 2u);
  EXPECT_EQ(log().row_count(), 4);
}

TEST_F(NoticeTest, NoNoticeWhenSwitchedOff) {
  set(L"shownotice", L"0");
  ASSERT_NO_FATAL_FAILURE(start("--fake 1"));
  ASSERT_EQ(fire_navigation(0, "http://news.test/ads/a.html"), kCancelled);
  ASSERT_TRUE(wait_for_rows(1));
  EXPECT_FALSE(notices_reach(1, 2s));
}

// The click lets the page load once, in the same window; the next try is removed again.
TEST_F(NoticeTest, ClickingTheNoticeLetsTheAddressThroughOnceInItsWindow) {
  ASSERT_NO_FATAL_FAILURE(start("--fake 1"));
  // The shell's word of the new window reaches the program, which subscribes it, before
  // the stand-in answers.
  ASSERT_EQ(standin_->number("add-ie-direct"), 1);
  http_.serve("/ads/page.html", {.body = "<html>page</html>"});
  const std::string address = narrow(http_.url("/ads/page.html"));

  ASSERT_EQ(standin_->command("navigate 1 " + address), "OK");
  ASSERT_TRUE(wait_for_rows(1)) << "the real window's navigation is removed";
  ASSERT_TRUE(notices_reach(1));
  EXPECT_EQ(first_line(last_notice().info), L"127.0.0.1");
  Sleep(1000);
  EXPECT_EQ(requests_for("/ads/page.html"), 0);

  click_notice();
  EXPECT_TRUE(wait_until([&] { return requests_for("/ads/page.html") == 1; }, 20s)) << "the page loads";
  EXPECT_EQ(log().row_count(), 1) << "the pass is logged nowhere";
  EXPECT_EQ(browser_frames().size(), frames_before_.size() + 1) << "in the same window, no new one";

  ASSERT_EQ(standin_->command("navigate 1 " + address), "OK");
  EXPECT_TRUE(wait_for_rows(2)) << "once only: the next navigation there is removed again";
  Sleep(1000);
  EXPECT_EQ(requests_for("/ads/page.html"), 1);
}

// "放行一次" on a row whose window has closed opens the address in a new browser window.
TEST_F(NoticeTest, ThePassOfARowWhoseWindowClosedOpensANewBrowserWindow) {
  ASSERT_NO_FATAL_FAILURE(start("--fake 1"));
  http_.serve("/ads/gone.html", {.body = "<html>gone</html>"});
  const std::string address = narrow(http_.url("/ads/gone.html"));
  ASSERT_EQ(fire_navigation(0, address), kCancelled);
  ASSERT_TRUE(wait_for_rows(1));
  ASSERT_EQ(standin_->command("remove 0"), "OK");
  ASSERT_TRUE(wait_until([&] { return standin_->command("totals") == "advised=1 unadvised=1"; }, 10s))
      << "the program let the closed window go: " << standin_->command("totals");

  const size_t frames = browser_frames().size();
  // The tray menu's "日志" brings the program back from the tray, on the log page.
  ASSERT_NO_FATAL_FAILURE(choose_for_row(0, kPassOnceItem));
  EXPECT_TRUE(wait_until([&] { return requests_for("/ads/gone.html") == 1; }, 30s)) << "the page loads";
  EXPECT_EQ(browser_frames().size(), frames + 1) << "in a new window";
  EXPECT_EQ(log().row_count(), 1);
}

}  // namespace
}  // namespace e2e
