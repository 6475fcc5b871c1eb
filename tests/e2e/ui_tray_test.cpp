// The tray seen from outside: minimising hides the window and shows the icon, the icon's
// mouse messages bring it back or open the menu at the pointer, the menu's commands, and
// the icon coming back on a new task bar.
#include "e2e/ui_driver.h"
#include "support/desktop_windows.h"
#include "support/nimbrel_registry.h"
#include "support/wait.h"

#include <gtest/gtest.h>

#include <vector>

namespace e2e {
namespace {

using Look = NimbrelSession::CaptionLook;

constexpr UINT kTrayCallback = 2000;
constexpr int SensitivityLabel = 208;
enum MenuItem : int { oplevel1 = 1000, Highlevel1, Normallevel1, Lowlevel1, Nonedisable1, Preferences1, Exception1, V1 };

class UiTrayTest : public ShownProgramTest {
 protected:
  void icon_message(UINT mouse_message) { PostMessageW(main_, kTrayCallback, 1000, mouse_message); }
  void command(int id) { PostMessageW(main_, WM_COMMAND, MAKEWPARAM(id, 0), 0); }
  bool in_tray() const { return !IsWindowVisible(main_) && tray_icon_shown(main_); }
  bool shown() const { return IsWindowVisible(main_) && !IsIconic(main_) && !tray_icon_shown(main_); }
  void minimise() {
    PostMessageW(main_, WM_SYSCOMMAND, SC_MINIMIZE, 0);
    ASSERT_TRUE(wait_until([&] { return in_tray(); }, 10s)) << "the program did not go to the tray";
  }
  std::vector<HWND> open_menus() const { return e2e::open_menus(session_.process_id()); }
};

TEST_F(UiTrayTest, MinimisingHidesTheWindowAndShowsTheIconAndADoubleClickBringsItBack) {
  EXPECT_TRUE(shown());
  minimise();
  EXPECT_FALSE(IsWindowVisible(main_)) << "no task bar entry while in the tray";

  icon_message(WM_LBUTTONDBLCLK);
  EXPECT_TRUE(wait_until([&] { return shown(); }, 10s));
  EXPECT_TRUE(wait_until([&] { return GetForegroundWindow() == main_; }, 5s)) << "back in front, active";

  icon_message(WM_MOUSEMOVE);
  icon_message(WM_RBUTTONDOWN);
  Sleep(300);
  EXPECT_TRUE(shown()) << "other mouse messages do nothing";
  EXPECT_TRUE(open_menus().empty());
}

TEST_F(UiTrayTest, ASingleClickSendsTheActiveProgramToTheTrayAndBringsItBackFromThere) {
  ASSERT_TRUE(wait_until([&] { return GetForegroundWindow() == main_; }, 5s));
  icon_message(WM_LBUTTONDOWN);
  EXPECT_TRUE(wait_until([&] { return in_tray(); }, 10s));
  icon_message(WM_LBUTTONDOWN);
  EXPECT_TRUE(wait_until([&] { return shown(); }, 10s));
}

// The menu opens with its top-left corner at the pointer; keys choose "日志", which brings
// the window back on the log page. The open menu is kept as a picture of the test run.
TEST_F(UiTrayTest, TheRightButtonOpensTheMenuAtThePointerAndItsLogItemShowsTheLogPage) {
  minimise();
  const POINT pointer{scaled(300), scaled(200)};
  ASSERT_TRUE(move_pointer(pointer.x, pointer.y));
  icon_message(WM_RBUTTONUP);
  ASSERT_TRUE(wait_until([&] { return open_menus().size() == 1; }, 10s)) << "no menu";
  const RECT menu = screen_rect(open_menus()[0]);
  EXPECT_EQ(menu.left, pointer.x);
  EXPECT_EQ(menu.top, pointer.y);

  press(VK_DOWN);   // 设置类型
  press(VK_RIGHT);  // its levels
  ASSERT_TRUE(wait_until([&] { return open_menus().size() == 2; }, 5s)) << "the level submenu did not open";
  RECT both = menu;
  const RECT levels = screen_rect(open_menus()[0]);
  UnionRect(&both, &menu, &levels);
  InflateRect(&both, scaled(8), scaled(8));
  EXPECT_TRUE(keep_screenshot(both, L"tray_menu.png"));

  press(VK_LEFT);
  press(VK_DOWN);  // 选项
  press(VK_DOWN);  // 例外
  press(VK_DOWN);  // 日志
  press(VK_RETURN);
  EXPECT_TRUE(wait_until([&] { return shown(); }, 10s));
  EXPECT_TRUE(wait_until([&] { return session_.front_page() == 3; }, 5s));
  EXPECT_EQ(session_.wait_for_caption(3, Look::red), Look::red);
  EXPECT_EQ(session_.caption_look(1), Look::plain);
}

TEST_F(UiTrayTest, ThePageCommandsBringTheWindowBackOnTheirPage) {
  struct Step {
    int item;
    int page;
  };
  for (const Step step : {Step{Exception1, 2}, Step{V1, 3}, Step{Preferences1, 1}}) {
    SCOPED_TRACE(step.page);
    minimise();
    command(step.item);
    EXPECT_TRUE(wait_until([&] { return shown(); }, 10s));
    EXPECT_TRUE(wait_until([&] { return session_.front_page() == step.page; }, 5s));
    EXPECT_EQ(session_.wait_for_caption(step.page, Look::red), Look::red);
  }
  command(V1);  // also while the window is shown
  EXPECT_TRUE(wait_until([&] { return session_.front_page() == 3; }, 5s));
  EXPECT_TRUE(shown());
}

TEST_F(UiTrayTest, ALevelChosenInTheMenuIsStoredWhileTheProgramStaysInTheTray) {
  minimise();
  command(Nonedisable1);
  EXPECT_TRUE(wait_until([&] { return read_nimbrel_value(L"killlevel") == L"4"; }, 5s));
  EXPECT_TRUE(in_tray());
  EXPECT_EQ(session_.text(SensitivityLabel), L" - 不关闭任何窗口.");
  command(oplevel1);
  EXPECT_TRUE(wait_until([&] { return read_nimbrel_value(L"killlevel") == L"0"; }, 5s));
  EXPECT_TRUE(in_tray());
}

// A restarted task bar knows no icons: the program in the tray adds its own again, and a
// program that is shown does not.
TEST_F(UiTrayTest, ANewTaskBarGetsTheIconBackOnlyFromAProgramInTheTray) {
  const UINT taskbar_created = RegisterWindowMessageW(L"TaskbarCreated");
  minimise();
  remove_tray_icon(main_);
  ASSERT_FALSE(tray_icon_shown(main_));
  PostMessageW(main_, taskbar_created, 0, 0);
  EXPECT_TRUE(wait_until([&] { return tray_icon_shown(main_); }, 5s));
  EXPECT_FALSE(IsWindowVisible(main_));

  icon_message(WM_LBUTTONDBLCLK);
  ASSERT_TRUE(wait_until([&] { return shown(); }, 10s));
  PostMessageW(main_, taskbar_created, 0, 0);
  Sleep(300);
  EXPECT_FALSE(tray_icon_shown(main_));
}

// Minimise after start. (Stay-on-top is not checked here: Wine 8 never gives a window
// that owns other windows, as the main window does, the top-most style.)
TEST(UiTrayStartTest, StartsInTheTrayWhenTheSettingSaysSo) {
  NimbrelSession session;
  write_nimbrel_value(L"automin", L"1");
  session.start(false);
  HWND main = nullptr;
  EXPECT_TRUE(wait_until(
      [&] {
        main = find_top_level_window(session.process_id(), L"TTarnwickForm1", L"Quellix (Nimbrel)");
        return main && !IsWindowVisible(main) && tray_icon_shown(main);
      },
      20s))
      << "not in the tray after start";
  ASSERT_NE(main, nullptr);
  PostMessageW(main, kTrayCallback, 1000, WM_LBUTTONDBLCLK);
  EXPECT_TRUE(wait_until([&] { return IsWindowVisible(main) && !tray_icon_shown(main); }, 10s));
}

TEST(UiTrayStartTest, StaysShownWithoutIt) {
  NimbrelSession session;
  session.start();
  ASSERT_NE(session.main(), nullptr);
  Sleep(300);
  EXPECT_TRUE(IsWindowVisible(session.main()));
  EXPECT_FALSE(tray_icon_shown(session.main()));
}

}  // namespace
}  // namespace e2e
