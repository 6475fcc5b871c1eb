// The web links: "访问主页" in the tray menu and the About window's home-page label each
// open a new Internet Explorer window on the maker's home page.
#include "e2e/ui_driver.h"
#include "support/desktop_windows.h"
#include "support/remote_controls.h"
#include "support/wait.h"

#include <gtest/gtest.h>

#include <vector>

namespace e2e {
namespace {

constexpr int Visitoursite1 = 1008;
constexpr int Image14 = 403;
constexpr int AboutLabel5 = 106;
constexpr int AboutButton1 = 108;

std::vector<HWND> browser_windows() {
  std::vector<HWND> found;
  for (HWND window = GetTopWindow(nullptr); window; window = GetWindow(window, GW_HWNDNEXT)) {
    wchar_t name[32] = {};
    GetClassNameW(window, name, 32);
    if (std::wstring(name) == L"IEFrame" && IsWindowVisible(window)) found.push_back(window);
  }
  return found;
}

struct EditSearch {
  std::vector<HWND> edits;
};

BOOL CALLBACK collect_edit(HWND window, LPARAM parameter) {
  wchar_t name[32] = {};
  GetClassNameW(window, name, 32);
  if (std::wstring(name) == L"Edit") reinterpret_cast<EditSearch*>(parameter)->edits.push_back(window);
  return TRUE;
}

// The address shown in a browser window's address box.
std::wstring shown_address(HWND browser) {
  EditSearch search;
  EnumChildWindows(browser, collect_edit, reinterpret_cast<LPARAM>(&search));
  return search.edits.empty() ? L"" : control_text(search.edits.front());
}

// Waits for a browser window that shows the address, closes it and says whether it came.
bool browser_opened_on(const std::wstring& address) {
  HWND opened = nullptr;
  wait_until(
      [&] {
        for (HWND window : browser_windows())
          if (shown_address(window) == address) opened = window;
        return opened != nullptr;
      },
      20s);
  if (!opened) return false;
  PostMessageW(opened, WM_CLOSE, 0, 0);
  wait_until([&] { return !IsWindow(opened); }, 10s);
  return true;
}

TEST(UiWebLinkTest, TheMenuAndTheAboutWindowOpenTheHomePageInANewBrowserWindow) {
  NimbrelSession session;
  session.start();
  ASSERT_NE(session.main(), nullptr);
  ASSERT_TRUE(browser_windows().empty()) << "a browser window was open before the test";

  PostMessageW(session.main(), WM_COMMAND, MAKEWPARAM(Visitoursite1, 0), 0);
  EXPECT_TRUE(browser_opened_on(L"http://www.nimbrel.com/cn/"));

  click(session.control(Image14));
  const HWND about = wait_for_window(session.process_id(), L"TAboutForm", L"About Nimbrel", 10s);
  ASSERT_NE(about, nullptr);
  click(find_control(about, AboutLabel5));
  EXPECT_TRUE(browser_opened_on(L"http://www.nimbrel.com/"));
  EXPECT_TRUE(IsWindowVisible(about)) << "the About window stays open";
  click(find_control(about, AboutButton1));
  EXPECT_TRUE(wait_until([&] { return !IsWindowVisible(about); }, 5s));
}

}  // namespace
}  // namespace e2e
