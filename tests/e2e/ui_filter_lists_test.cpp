// The filter-list window and its add dialog worked from outside: opened from the tray menu
// and the exception page, a list added by typing and from the drop-down and then blocking
// its hosts, refusals that keep the dialog open, the on/off box, and a deletion that asks
// first.
#include "e2e/filter_fixture.h"
#include "e2e/flat_probes.h"
#include "e2e/ui_driver.h"
#include "support/desktop_windows.h"
#include "support/remote_controls.h"
#include "support/wait.h"

#include <commctrl.h>
#include <gtest/gtest.h>
#include <shlobj.h>

#include <cstdio>
#include <filesystem>

namespace e2e {
namespace {

constexpr UINT kTrayCallback = 2000;
constexpr int Highlevel1 = 1001, Lowlevel1 = 1003, Exception1 = 1006, FilterLists1 = 1013, Button8 = 231;
enum ListId : int { ListView1 = 100, Panel1, AddButton, DeleteButton, UpdateButton, CloseButton };
enum AddId : int { ComboBox1 = 101, Edit1 = 103, Edit2 = 105, OkButton = 108, CancelButton };

// Where the lists are kept for the user: every test starts and ends without them.
void remove_stored_filter_lists() {
  RegDeleteTreeW(HKEY_CURRENT_USER, L"Software\\Nimbrel\\FilterLists");
  wchar_t* local = nullptr;
  if (SUCCEEDED(SHGetKnownFolderPath(FOLDERID_LocalAppData, 0, nullptr, &local))) {
    std::error_code ignored;
    std::filesystem::remove_all(std::filesystem::path(local) / L"Nimbrel" / L"filters", ignored);
  }
  CoTaskMemFree(local);
}

void press_key(HWND control, WPARAM key) {
  PostMessageW(control, WM_KEYDOWN, key, 0);
  PostMessageW(control, WM_KEYUP, key, 0xC0000000);
  Sleep(100);
}

// Typed key by key into an emptied box, as the keyboard does.
void type_text(HWND box, const std::wstring& text) {
  set_control_text(box, L"");
  for (const wchar_t c : text) PostMessageW(box, WM_CHAR, c, 1);
  wait_until([&] { return control_text(box) == text; }, 5s);
}

void answer(HWND box, int button) {
  PostMessageW(box, WM_COMMAND, MAKEWPARAM(button, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(box, button)));
  wait_until([&] { return !IsWindow(box); }, 5s);
}

bool row_checked(HWND view, int row) {
  const auto state = send_message(view, LVM_GETITEMSTATE, static_cast<WPARAM>(row), LVIS_STATEIMAGEMASK);
  return state && ((*state & LVIS_STATEIMAGEMASK) >> 12) == 2;
}

HWND filter_window(DWORD process) {
  const HWND found = find_top_level_window(process, L"TFilterListForm", L"过滤列表");
  return found && IsWindowVisible(found) ? found : nullptr;
}

HWND wait_for_filter_window(DWORD process) {
  HWND found = nullptr;
  wait_until([&] { return (found = filter_window(process)) != nullptr; }, 10s);
  return found;
}

HWND open_add_dialog(DWORD process, HWND window) {
  click(find_control(window, AddButton));
  return wait_for_window(process, L"TAddFilterListForm", L"添加过滤列表", 10s);
}

// "确定" is refused with a message (printed for the record) and the dialog stays.
void expect_refusal(const NimbrelProcess& nimbrel, HWND dialog) {
  click(find_control(dialog, OkButton));
  const HWND box = nimbrel.wait_for_message_box(10s);
  ASSERT_NE(box, nullptr) << "no message";
  const std::wstring text = message_box_text(box);
  std::string shown(text.size() * 3, '\0');
  shown.resize(static_cast<size_t>(WideCharToMultiByte(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()),
                                                       shown.data(), static_cast<int>(shown.size()), nullptr,
                                                       nullptr)));
  std::printf("refused: \"%s\"\n", shown.c_str());
  EXPECT_FALSE(text.empty());
  answer(box, IDOK);
  EXPECT_TRUE(IsWindowVisible(dialog)) << "the dialog stays open";
}

class UiFilterListsTest : public ShownProgramTest {
 protected:
  UiFilterListsTest() { remove_stored_filter_lists(); }
  ~UiFilterListsTest() override { remove_stored_filter_lists(); }
};

class FilterListDialogTest : public FilterEndToEndTest {
 protected:
  void TearDown() override {
    FilterEndToEndTest::TearDown();  // the user's filter lists go with it
    DeleteFileW(list_file_.c_str());
  }

  std::wstring list_file_ = list_path(L"filter-list-test.txt");
};

// The tray menu's item right below "日志" brings the program back from the tray with the
// window open; Esc closes it, the exception page's button shows that same window again.
TEST_F(UiFilterListsTest, TheTrayItemAndTheExceptionPageButtonOpenOneFlatWindow) {
  PostMessageW(main_, WM_SYSCOMMAND, SC_MINIMIZE, 0);
  ASSERT_TRUE(wait_until([&] { return !IsWindowVisible(main_) && tray_icon_shown(main_); }, 10s));
  ASSERT_TRUE(move_pointer(scaled(300), scaled(200)));
  PostMessageW(main_, kTrayCallback, 1000, WM_RBUTTONUP);
  ASSERT_TRUE(wait_until([&] { return open_menus(session_.process_id()).size() == 1; }, 10s)) << "no menu";
  Sleep(300);
  for (int item = 0; item < 5; ++item) press(VK_DOWN, 200);  // 设置类型, 选项, 例外, 日志, 过滤列表...
  press(VK_RETURN);
  const HWND window = wait_for_filter_window(session_.process_id());
  ASSERT_NE(window, nullptr) << "the tray item did not open the window";
  EXPECT_TRUE(IsWindowVisible(main_)) << "the program is back from the tray";
  EXPECT_EQ(GetWindow(window, GW_OWNER), main_);
  EXPECT_EQ(client_box(window), (Box{0, 0, 500, 290}));
  EXPECT_EQ(box_within(find_control(window, ListView1)), (Box{8, 8, 484, 232}));
  const std::pair<int, const wchar_t*> buttons[] = {
      {AddButton, L"添加..."}, {DeleteButton, L"删除"}, {UpdateButton, L"立即更新"}, {CloseButton, L"关闭"}};
  for (const auto& [id, caption] : buttons) EXPECT_EQ(window_text(find_control(window, id)), caption);
  EXPECT_FALSE(IsWindowEnabled(find_control(window, DeleteButton))) << "nothing selected to delete";

  // Flat like the program's other windows: a button's outline and fill, the separator's bevel.
  move_pointer(0, 0);
  Sleep(300);
  const Rgb face = system_colour(COLOR_BTNFACE);
  ScreenImage image = ScreenImage::capture(screen_rect(find_control(window, CloseButton)));
  probe("button outline, idle", image, image.width() / 2, 0, lighten(system_colour(COLOR_BTNSHADOW), 30));
  probe("button fill, idle", image, scaled(8), scaled(8), lighten(face, 16));
  image = ScreenImage::capture(screen_rect(find_control(window, Panel1)));
  probe("separator bevel top", image, image.width() / 2, 0, darken(face, 60));
  probe("separator bevel bottom", image, image.width() / 2, image.height() - 1, lighten(face, 60));

  press_key(find_control(window, ListView1), VK_ESCAPE);
  const DWORD process = session_.process_id();
  ASSERT_TRUE(wait_until([&] { return filter_window(process) == nullptr; }, 5s)) << "Esc did not close it";
  PostMessageW(main_, WM_COMMAND, MAKEWPARAM(Exception1, 0), 0);
  ASSERT_TRUE(wait_until([&] { return session_.front_page() == 2; }, 5s));
  EXPECT_EQ(session_.text(Button8), L"过滤列表...");
  click(session_.control(Button8));
  EXPECT_EQ(wait_for_filter_window(process), window) << "the same window, shown again";
  click(session_.control(Button8));
  Sleep(300);
  int windows = 0;
  for (HWND w = nullptr; (w = FindWindowExW(nullptr, w, L"TFilterListForm", nullptr));) ++windows;
  EXPECT_EQ(windows, 1) << "one instance only";
  click(find_control(window, CloseButton));
  EXPECT_TRUE(wait_until([&] { return filter_window(process) == nullptr; }, 5s)) << "关闭 did not close it";
}

// The drop-down fills both fields and nothing is subscribed without "确定"; a malformed
// address and a missing file are refused. A file's list added through the dialog cancels
// its hosts and their subdomains at level "1" and not at level "3"; its box switches it
// off, and "删除" asks first.
TEST_F(FilterListDialogTest, AListAddedThroughTheDialogBlocksItsHostsUntilSwitchedOffAndIsDeletedAfterAQuestion) {
  put_file(list_file_, "# test hosts\r\n0.0.0.0 one.example.com\r\n0.0.0.0 two.example.net\r\n||three.example.org^\r\n");
  set(L"killurl", L"1");
  set(L"killlevel", L"1");
  start_standin("--fake 1");
  ASSERT_TRUE(start_nimbrel());
  const DWORD process = nimbrel_->id();
  for (const char* url : {"http://one.example.com/a.js", "http://two.example.net/", "http://cdn.three.example.org/"})
    EXPECT_EQ(fire_navigation(0, url), kPassed) << "no list yet: " << url;
  ASSERT_TRUE(post_command(FilterLists1));
  const HWND window = wait_for_filter_window(process);
  ASSERT_NE(window, nullptr);
  const RemoteListView rows(find_control(window, ListView1));

  HWND dialog = open_add_dialog(process, window);
  ASSERT_NE(dialog, nullptr);
  EXPECT_FALSE(IsWindowEnabled(window)) << "the window waits for its dialog";
  const HWND known = find_control(dialog, ComboBox1);
  ASSERT_EQ(send_message(known, CB_GETCOUNT, 0, 0), 4);
  press_key(known, VK_DOWN);
  press_key(known, VK_DOWN);  // the second entry
  EXPECT_TRUE(wait_until([&] {
    return control_text(find_control(dialog, Edit2)) == L"https://easylist-downloads.adblockplus.org/easylistchina.txt";
  }, 5s));
  EXPECT_EQ(control_text(find_control(dialog, Edit1)), L"EasyList China");
  Sleep(300);
  EXPECT_TRUE(keep_screenshot(screen_rect(dialog), L"filter_list_add.png"));
  const ScreenImage edit = ScreenImage::capture(screen_rect(find_control(dialog, Edit1)));
  probe("edit border, idle", edit, 0, edit.height() / 2, darken(system_colour(COLOR_BTNFACE), 60));
  click(find_control(dialog, CancelButton));
  ASSERT_TRUE(wait_until([&] { return !IsWindow(dialog); }, 5s));
  Sleep(300);
  EXPECT_EQ(rows.row_count(), 0) << "nothing is subscribed without a confirm";

  dialog = open_add_dialog(process, window);
  ASSERT_NE(dialog, nullptr);
  type_text(find_control(dialog, Edit1), L"本地列表");
  type_text(find_control(dialog, Edit2), L"http//lists.test/list.txt");
  expect_refusal(*nimbrel_, dialog);
  type_text(find_control(dialog, Edit2), L"Z:\\no\\such\\list.txt");
  expect_refusal(*nimbrel_, dialog);
  EXPECT_EQ(rows.row_count(), 0);
  type_text(find_control(dialog, Edit2), list_file_);
  press_key(find_control(dialog, Edit2), VK_RETURN);  // Enter confirms
  ASSERT_TRUE(wait_until([&] { return !IsWindow(dialog); }, 10s)) << "the dialog stayed";
  ASSERT_TRUE(wait_until([&] { return rows.row_count() == 1 && rows.text(0, 1) == L"3"; }, 20s)) << "no 3 rules";
  EXPECT_EQ(rows.text(0, 0), L"本地列表");
  EXPECT_FALSE(rows.text(0, 2).empty()) << "the time of the update";
  EXPECT_TRUE(row_checked(rows.hwnd(), 0)) << "a new list is on";
  Sleep(300);
  EXPECT_TRUE(keep_screenshot(screen_rect(window), L"filter_lists.png"));
  EXPECT_TRUE(wait_until([&] { return fire_navigation(0, "http://one.example.com/a.js") == kCancelled; }, 10s));
  EXPECT_EQ(fire_navigation(0, "http://cdn.Three.example.org:8080/x.js?a=1"), kCancelled) << "a subdomain";
  EXPECT_EQ(fire_navigation(0, "http://notthree.example.org/"), kPassed);
  ASSERT_TRUE(command(Lowlevel1));
  EXPECT_EQ(fire_navigation(0, "http://two.example.net/"), kPassed) << "level 3 uses no host table";
  ASSERT_TRUE(command(Highlevel1));
  EXPECT_EQ(fire_navigation(0, "http://two.example.net/"), kCancelled);

  rows.select(0);
  press_key(rows.hwnd(), VK_SPACE);
  EXPECT_TRUE(wait_until([&] { return !row_checked(rows.hwnd(), 0); }, 5s));
  EXPECT_TRUE(wait_until([&] { return fire_navigation(0, "http://two.example.net/") == kPassed; }, 10s))
      << "switched off";
  click(find_control(window, UpdateButton));  // the selected list: its row is shown anew from the manager
  ASSERT_TRUE(wait_until([&] { return rows.text(0, 3) != L"正在更新..." && !rows.text(0, 3).empty(); }, 20s));
  Sleep(300);
  EXPECT_FALSE(row_checked(rows.hwnd(), 0)) << "the manager kept the list off";

  for (const int reply : {IDNO, IDYES}) {
    click(find_control(window, DeleteButton));
    const HWND box = nimbrel_->wait_for_message_box(10s);
    ASSERT_NE(box, nullptr) << "no question";
    EXPECT_NE(message_box_text(box).find(L"本地列表"), std::wstring::npos) << "names the list";
    answer(box, reply);
    Sleep(300);
    EXPECT_EQ(rows.row_count(), reply == IDNO ? 1 : 0);
  }
  EXPECT_FALSE(IsWindowEnabled(find_control(window, DeleteButton)));
}

}  // namespace
}  // namespace e2e
