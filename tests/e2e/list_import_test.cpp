// The black-list box's import of published ad-server lists and the block log's copy and
// export, worked from outside through their right-click menus and the system's file dialogs.
#include "e2e/filter_fixture.h"
#include "e2e/ui_driver.h"
#include "support/clipboard.h"
#include "support/com_helpers.h"
#include "support/desktop_windows.h"
#include "support/event_recorder.h"
#include "support/wait.h"

#include <exdisp.h>
#include <exdispid.h>
#include <commctrl.h>

namespace e2e {
namespace {

std::string utf16le_with_bom(const std::string& ascii) {
  std::string out = "\xFF\xFE";
  for (const char c : ascii) out += {c, '\0'};
  return out;
}

using test_support::clipboard_text;

class ListImportTest : public FilterEndToEndTest {
 protected:
  // Right-clicks the control at a point of its client area (at {-1, -1}: asks for the menu
  // as the menu key does) and picks
  // the menu's first (VK_DOWN) or last (VK_UP) entry; the open menu is kept as a screenshot.
  void choose_from_menu(HWND control, POINT at, WPARAM key, const wchar_t* screenshot) const {
    const bool by_key = at.x == -1 && at.y == -1;
    if (by_key) {
      PostMessageW(control, WM_CONTEXTMENU, reinterpret_cast<WPARAM>(control), MAKELPARAM(-1, -1));
    } else {
      PostMessageW(control, WM_RBUTTONDOWN, MK_RBUTTON, MAKELPARAM(at.x, at.y));
      PostMessageW(control, WM_RBUTTONUP, 0, MAKELPARAM(at.x, at.y));
    }
    ASSERT_TRUE(wait_until([&] { return open_menu() != nullptr; }, 10s)) << "no menu";
    Sleep(200);  // drawn
    POINT corner{0, 0};
    ClientToScreen(control, &corner);
    const RECT menu = screen_rect(open_menu());
    EXPECT_TRUE(!by_key || (menu.left == corner.x && menu.top == corner.y)) << "not at the box's corner";
    EXPECT_TRUE(keep_screenshot(menu, screenshot));
    press(key);
    press(VK_RETURN);
  }
  // Types the path into the file dialog with this caption and presses its OK button.
  void answer_file_dialog(const wchar_t* caption, const std::wstring& path) const {
    HWND dialog = nullptr;
    ASSERT_TRUE(wait_until([&] { return (dialog = find_top_level_window(nimbrel_->id(), L"#32770", caption)); },
                           20s)) << "no file dialog";
    // The file name box: the edit box of the dialog's combo box cmb13.
    const auto name = send_message(GetDlgItem(dialog, 0x47C), CBEM_GETEDITCONTROL, 0, 0);
    ASSERT_TRUE(name.has_value());
    ASSERT_TRUE(set_control_text(reinterpret_cast<HWND>(*name), path));
    PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(dialog, IDOK)));
    ASSERT_TRUE(wait_until([&] { return !IsWindow(dialog); }, 10s)) << "the dialog stayed";
  }
  void import_through_menu(const std::wstring& path, POINT at = {20, 20}) const {
    ASSERT_NO_FATAL_FAILURE(choose_from_menu(control(ids::Memo2), at, VK_UP, L"black_list_menu.png"));
    answer_file_dialog(L"导入广告服务器列表", path);
  }
  // The text of the program's message box, closed with OK.
  std::wstring message() const {
    const HWND box = nimbrel_->wait_for_message_box(20s);
    if (!box) return L"(no message)";
    const std::wstring text = message_box_text(box);
    press_ok(box);
    wait_until([&] { return !IsWindow(box); }, 5s);
    return text;
  }
};

// A hosts file (UTF-8 with its mark) and a filter list (UTF-16) go through the menu and the
// file dialog; the box gets anchored lines, unsaved, and a real browser is stopped at a
// listed host but not at a longer name that ends in it.
TEST_F(ListImportTest, ImportedHostsBlockTheirHostAndNotALongerNameEndingInIt) {
  const MultithreadedApartment apartment;
  ASSERT_HRESULT_SUCCEEDED(apartment.result());
  set(L"killurl", L"1");
  set(L"killlevel", L"3");  // the black list only
  put_file(list_path(L"black.lis"), "mine\r\n//ONE.TEST/");
  const std::wstring hosts = list_path(L"import-hosts.txt"), rules = list_path(L"import-rules.txt");
  put_file(hosts, "\xEF\xBB\xBF# hosts\r\n127.0.0.1 localhost\r\n0.0.0.0 one.test c.live.test\r\n0.0.0.0\ttwo.test # x\n");
  put_file(rules, utf16le_with_bom("[Adblock Plus 2.0]\r\n! EasyList\r\n||three.test^\r\n||two.test^\r\n"
                                   "||four.test^$third-party\r\n@@||five.test^\r\nsite.test##.ad\r\n"));
  auto& standin = start_standin("--ie 1");
  ASSERT_TRUE(start_nimbrel());

  ASSERT_NO_FATAL_FAILURE(import_through_menu(hosts));
  EXPECT_EQ(message(), L"导入完成.\r新增: 2 行\r已在黑名单中: 1 行\r无法识别而跳过: 1 行");
  ASSERT_NO_FATAL_FAILURE(import_through_menu(rules));
  EXPECT_EQ(message(), L"导入完成.\r新增: 1 行\r已在黑名单中: 1 行\r无法识别而跳过: 3 行");
  EXPECT_EQ(control_text(control(ids::Memo2)), L"mine\r\n//ONE.TEST/\r\n//C.LIVE.TEST/\r\n//TWO.TEST/\r\n//THREE.TEST/\r\n");
  EXPECT_EQ(file_bytes(list_path(L"black.lis")), "mine\r\n//ONE.TEST/") << "saved only by a confirm";

  const auto recorder = standin::make_com<EventRecorder>();
  Subscription subscription(item(create_shell_windows().Get(), 0).Get(), DIID_DWebBrowserEvents2, recorder.Get());
  const std::wstring listed = L"http://c.live.test/ad.js", longer = L"http://static.live.test/site.css";
  const auto cancel_seen = [&](const std::wstring& url) -> std::optional<bool> {
    for (const auto& event : recorder.Get()->events(DISPID_BEFORENAVIGATE2))
      if (event.url == url) return event.cancelled;
    return std::nullopt;
  };
  for (const auto& url : {listed, longer}) {
    ASSERT_EQ(standin.command("navigate 0 " + std::string(url.begin(), url.end())), "OK");
    ASSERT_TRUE(wait_until([&] { return cancel_seen(url).has_value(); }, 20s)) << "no event";
  }
  EXPECT_EQ(cancel_seen(listed), true);
  EXPECT_EQ(cancel_seen(longer), false);
  EXPECT_EQ(logged(), std::vector<std::wstring>{listed});
  EXPECT_HRESULT_SUCCEEDED(subscription.end());
  DeleteFileW(hosts.c_str());
  DeleteFileW(rules.c_str());
}

// "复制地址" and "导出..." of the log's menu; then a list held open elsewhere cannot be imported.
TEST_F(ListImportTest, TheLogMenuCopiesTheSelectedAddressAndExportsEveryRow) {
  set(L"killurl", L"1");
  set(L"killlevel", L"3");
  put_file(list_path(L"black.lis"), "//ADS.TEST/");
  start_standin("--fake 1");
  ASSERT_TRUE(start_nimbrel());
  ASSERT_EQ(fire_navigation(0, "http://ads.test/a?x=1,2"), "cancel=1 sinks=1 failed=0");
  ASSERT_EQ(fire_navigation(0, "http://ads.test/say\"hi\""), "cancel=1 sinks=1 failed=0");
  ASSERT_NO_FATAL_FAILURE(choose_for_row(1, 1, L"log_menu.png"));
  EXPECT_TRUE(wait_until([] { return clipboard_text() == L"http://ads.test/say\"hi\""; }, 5s)) << clipboard_text();

  const std::wstring out = list_path(L"exported.csv");
  ASSERT_NO_FATAL_FAILURE(choose_for_row(1, 1, nullptr, VK_UP));
  ASSERT_NO_FATAL_FAILURE(answer_file_dialog(L"导出日志", out));
  const std::wstring stamp0 = log().text(0, 0), stamp1 = log().text(1, 0);
  const std::string expected = "\xEF\xBB\xBF时间,地址,原因\r\n" + std::string(stamp0.begin(), stamp0.end()) +
                               ",\"http://ads.test/a?x=1,2\",黑名单第 1 行: //ADS.TEST/\r\n" +
                               std::string(stamp1.begin(), stamp1.end()) +
                               ",\"http://ads.test/say\"\"hi\"\"\",黑名单第 1 行: //ADS.TEST/\r\n";
  EXPECT_TRUE(wait_until([&] { return file_bytes(out) == expected; }, 10s)) << testing::PrintToString(file_bytes(out));

  const HANDLE held = CreateFileW(out.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(held, INVALID_HANDLE_VALUE);
  ASSERT_NO_FATAL_FAILURE(import_through_menu(out, {-1, -1}));  // the menu key this time
  EXPECT_EQ(message(), L"Cannot open file " + out + L".");
  CloseHandle(held);
  EXPECT_EQ(control_text(control(ids::Memo2)), L"//ADS.TEST/");
  DeleteFileW(out.c_str());
}

}  // namespace
}  // namespace e2e
