// The main window seen from outside: where every control sits and what it says, the
// navigation strip's pages and caption colours, and the level box's description.
#include "e2e/ui_driver.h"
#include "support/desktop_windows.h"
#include "support/nimbrel_registry.h"
#include "support/wait.h"

#include <gtest/gtest.h>

namespace e2e {
namespace {

using Look = NimbrelSession::CaptionLook;

constexpr int kMain = 0;
enum Id : int {
  OptionPanel = 100, ExceptionPanel, LogsPanel, ImagePanel,
  CheckBox1 = 200, CheckBox2, CheckBox3, CheckBox5, CheckBox6, CheckBox8, CheckBox9,
  SensitivityComboBox, SensitivityLabel, GroupBox3, GroupBox5, GroupBox6, Label30, CheckBox10,
  Label17 = 220, Label38, Memo1, Label37, Memo2, Panel10, Button7, Label16, Label15, ListView1, Button3, Button8, Label18,
  Button1 = 300, Button6, Label29, Panel4,
  Image11 = 400, Image12, Image13, Image14,
  Label1 = 410, Label2, Label3, Label4,
};

constexpr int kAny = -1;  // a size the design leaves to the text

struct Placement {
  const char* name;
  int id;
  int container;  // the control the position is measured in; kMain for the window
  Box box;        // width or height kAny: not checked
  const wchar_t* caption;  // nullptr: not checked
};

const Placement kPlacements[] = {
    {"ImagePanel", ImagePanel, kMain, {8, 10, 113, 305}, nullptr},
    {"Image11", Image11, ImagePanel, {30, 5, 56, 56}, nullptr},
    {"Image12", Image12, ImagePanel, {30, 80, 56, 56}, nullptr},
    {"Image13", Image13, ImagePanel, {30, 156, 56, 56}, nullptr},
    {"Image14", Image14, ImagePanel, {31, 230, 56, 56}, nullptr},
    {"Label1", Label1, ImagePanel, {42, 58, kAny, kAny}, L"选 项"},
    {"Label2", Label2, ImagePanel, {42, 135, kAny, kAny}, L"例 外"},
    {"Label3", Label3, ImagePanel, {42, 209, kAny, kAny}, L"日 志"},
    {"Label4", Label4, ImagePanel, {42, 285, kAny, kAny}, L"关 于"},
    {"OptionPanel", OptionPanel, kMain, {129, 10, 360, 305}, nullptr},
    {"ExceptionPanel", ExceptionPanel, kMain, {129, 10, 360, 305}, nullptr},
    {"LogsPanel", LogsPanel, kMain, {129, 10, 360, 305}, nullptr},
    {"Label30", Label30, OptionPanel, {9, 6, kAny, kAny}, L"选项:"},
    {"GroupBox3", GroupBox3, OptionPanel, {9, 23, 333, 88}, L"设置类型"},
    {"CheckBox1", CheckBox1, GroupBox3, {9, 19, kAny, kAny}, L"关闭弹出窗口"},
    {"CheckBox2", CheckBox2, GroupBox3, {9, 42, kAny, kAny}, L"阻挡广告链接,广告站点"},
    {"CheckBox3", CheckBox3, GroupBox3, {9, 65, kAny, kAny}, L"清除广告条,图形广告和flash广告"},
    {"GroupBox6", GroupBox6, OptionPanel, {9, 118, 333, 53}, L"设置等级"},
    {"SensitivityComboBox", SensitivityComboBox, GroupBox6, {8, 18, 73, kAny}, nullptr},
    {"SensitivityLabel", SensitivityLabel, GroupBox6, {88, 22, kAny, kAny}, L" - 关闭大部分广告窗口(推荐等级)."},
    {"GroupBox5", GroupBox5, OptionPanel, {9, 177, 333, 116}, L"一般选项"},
    {"CheckBox5", CheckBox5, GroupBox5, {11, 20, kAny, kAny}, L"随着windows启动"},
    {"CheckBox10", CheckBox10, GroupBox5, {180, 20, kAny, kAny}, L"阻止网页时通知"},
    {"CheckBox6", CheckBox6, GroupBox5, {11, 43, kAny, kAny}, L"启动后最小化到托盘"},
    {"CheckBox9", CheckBox9, GroupBox5, {11, 66, kAny, kAny}, L"一直在最前端"},
    {"CheckBox8", CheckBox8, GroupBox5, {11, 88, kAny, kAny}, L"允许使用热键"},
    {"Label17", Label17, ExceptionPanel, {9, 6, kAny, kAny}, L"例外:"},
    {"Label38", Label38, ExceptionPanel, {9, 22, kAny, kAny}, L"白名单(不会被清除的地址): "},
    {"Memo1", Memo1, ExceptionPanel, {9, 40, 321, 95}, nullptr},
    {"Label37", Label37, ExceptionPanel, {9, 142, kAny, kAny}, L"黑名单(会被清除的地址): "},
    {"Memo2", Memo2, ExceptionPanel, {9, 158, 321, 97}, nullptr},
    {"Panel10", Panel10, ExceptionPanel, {9, 266, 321, 2}, nullptr},
    {"Button8", Button8, ExceptionPanel, {98, 273, 113, 25}, L"过滤列表..."},
    {"Button7", Button7, ExceptionPanel, {217, 273, 113, 25}, L"查看当前地址列表"},
    {"Label16", Label16, LogsPanel, {9, 6, kAny, kAny}, L"日志:"},
    {"Label15", Label15, LogsPanel, {9, 22, 264, kAny}, L"移除广告日志 (双击列表可将地址加入到白名单)."},
    {"Label18", Label18, LogsPanel, {9, 38, 327, 16}, nullptr},
    {"ListView1", ListView1, LogsPanel, {9, 54, 327, 211}, nullptr},
    {"Button3", Button3, LogsPanel, {256, 275, 75, 23}, L"清除"},
    {"Panel4", Panel4, kMain, {8, 323, 484, 2}, nullptr},
    {"Label29", Label29, kMain, {9, 334, 92, 16}, nullptr},
    {"Button1", Button1, kMain, {329, 331, 75, 25}, L"确定"},
    {"Button6", Button6, kMain, {416, 331, 75, 25}, L"退出"},
};

// Shrunk as far as it goes, the window still shows its whole client area.
void expect_whole_client_area(HWND main) {
  EXPECT_GE(client_box(main).width, 496);
  EXPECT_GE(client_box(main).height, 363);
}

class UiMainWindowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    session_.start();
    ASSERT_NE(session_.main(), nullptr) << "the main window was not shown";
    session_.raise();
  }

  HWND container(int id) const { return id == kMain ? session_.main() : session_.control(id); }

  NimbrelSession session_;
};

TEST_F(UiMainWindowTest, EveryControlSitsWhereTheDesignPutsItWithItsCaption) {
  const HWND main = session_.main();
  EXPECT_EQ(window_text(main), L"Quellix (Nimbrel)");
  EXPECT_EQ(client_box(main), (Box{0, 0, 496, 363}));
  const auto style = GetWindowLongW(main, GWL_STYLE);
  EXPECT_TRUE(style & WS_SYSMENU);
  EXPECT_TRUE(style & WS_MINIMIZEBOX);
  EXPECT_FALSE(style & WS_MAXIMIZEBOX);

  RECT window = screen_rect(main);
  const int centre_x = (window.left + window.right) / 2, centre_y = (window.top + window.bottom) / 2;
  EXPECT_NEAR(centre_x, GetSystemMetrics(SM_CXSCREEN) / 2, 1);
  EXPECT_NEAR(centre_y, GetSystemMetrics(SM_CYSCREEN) / 2, 1);

  for (const Placement& placement : kPlacements) {
    SCOPED_TRACE(placement.name);
    const HWND control = session_.control(placement.id);
    ASSERT_NE(control, nullptr);
    Box seen = box_within(control, container(placement.container));
    Box wanted = placement.box;
    if (wanted.width == kAny) seen.width = kAny;
    if (wanted.height == kAny) seen.height = kAny;
    EXPECT_EQ(seen, wanted);
    if (placement.caption) {
      EXPECT_EQ(window_text(control), placement.caption);
    }
  }
  EXPECT_FALSE(IsWindowEnabled(session_.control(Label29))) << "the home page label is greyed";
  EXPECT_FALSE(window_text(session_.control(Label29)).empty());
  const HWND level = session_.control(SensitivityComboBox);
  ASSERT_EQ(SendMessageW(level, CB_GETCOUNT, 0, 0), 5);
  const wchar_t* const entries[] = {L"最高", L"高级", L"一般", L"低级", L"最低"};
  for (int i = 0; i < 5; ++i) {
    wchar_t entry[16] = {};
    SendMessageW(level, CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(entry));
    EXPECT_EQ(std::wstring(entry), entries[i]);
  }
}

TEST_F(UiMainWindowTest, TheWindowGrowsButNotBelowItsMinimumAndItsControlsStayPut) {
  const HWND main = session_.main();
  const Box button_before = box_within(session_.control(Button6));
  SetWindowPos(main, nullptr, 0, 0, 300, 200, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  RECT rect = screen_rect(main);
  expect_whole_client_area(main);
  EXPECT_GE(rect.right - rect.left, scaled(504));
  EXPECT_GE(rect.bottom - rect.top, scaled(390));

  SetWindowPos(main, nullptr, 0, 0, scaled(600), scaled(450), SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  rect = screen_rect(main);
  EXPECT_EQ(rect.right - rect.left, scaled(600));  // still on a 1024-pixel screen at 144 DPI
  EXPECT_EQ(box_within(session_.control(Button6)), button_before);
  EXPECT_EQ(box_within(session_.control(OptionPanel)), (Box{129, 10, 360, 305}));
}

// Frames wider and a caption taller than the design knew (for this Wine session only).
TEST(UiMainWindowFitTest, TheWindowGrowsButKeepsItsWholeClientAreaWithWideFrames) {
  NONCLIENTMETRICSW saved{sizeof(saved)};
  SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof(saved), &saved, 0);
  NONCLIENTMETRICSW wide = saved;
  wide.iBorderWidth += 8;
  wide.iCaptionHeight += 24;
  SystemParametersInfoW(SPI_SETNONCLIENTMETRICS, sizeof(wide), &wide, SPIF_SENDCHANGE);
  {
    NimbrelSession session;
    session.start();
    SetWindowPos(session.main(), nullptr, 0, 0, 300, 200, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    EXPECT_GT(screen_rect(session.main()).right - screen_rect(session.main()).left, scaled(504));
    expect_whole_client_area(session.main());
  }
  SystemParametersInfoW(SPI_SETNONCLIENTMETRICS, sizeof(saved), &saved, SPIF_SENDCHANGE);
}

// What a user sees of the strip: the pictures bring their pages to the front, the current
// page's caption is red and underlined and the others plain. The three pages are kept as
// pictures of the test run.
TEST_F(UiMainWindowTest, PicturesBringTheirPagesToTheFrontAndMarkTheirCaption) {
  struct Step {
    int picture;
    int page;
    const wchar_t* screenshot;
  };
  const Step steps[] = {
      {0, 1, L"main_options.png"},
      {Image12, 2, L"main_exceptions.png"},
      {Image13, 3, L"main_log.png"},
      {Image11, 1, nullptr},
  };
  for (const Step& step : steps) {
    SCOPED_TRACE(step.page);
    if (step.picture) click(session_.control(step.picture));
    EXPECT_TRUE(wait_until([&] { return session_.front_page() == step.page; }, 5s));
    for (int caption = 1; caption <= 4; ++caption)
      EXPECT_EQ(session_.wait_for_caption(caption, caption == step.page ? Look::red : Look::plain),
                caption == step.page ? Look::red : Look::plain)
          << "caption " << caption;
    if (step.screenshot) {
      EXPECT_TRUE(keep_screenshot(screen_rect(session_.main()), step.screenshot));
    }
  }
}

TEST_F(UiMainWindowTest, APictureUnderTheMouseTurnsItsCaptionBlueUntilTheMouseMovesOnTheBackground) {
  move_mouse_over(session_.control(Image11));
  EXPECT_EQ(session_.wait_for_caption(1, Look::blue), Look::blue) << "hover wins over the current page";

  move_mouse_over(session_.control(Image13));
  EXPECT_EQ(session_.wait_for_caption(3, Look::blue), Look::blue);
  EXPECT_EQ(session_.wait_for_caption(1, Look::red), Look::red);

  move_mouse_over(session_.control(Label3));
  move_mouse_over(session_.control(Label2));
  Sleep(200);
  EXPECT_EQ(session_.caption_look(3), Look::blue) << "moving over a caption changes nothing";
  EXPECT_EQ(session_.caption_look(2), Look::plain);

  move_mouse_over(session_.control(ImagePanel), 4, 300);
  EXPECT_EQ(session_.wait_for_caption(3, Look::plain), Look::plain);
  EXPECT_EQ(session_.caption_look(1), Look::red);

  move_mouse_over(session_.control(Image14));
  EXPECT_EQ(session_.wait_for_caption(4, Look::blue), Look::blue);
  move_mouse_over(session_.main(), 300, 340);  // the window's own background, beside the buttons
  EXPECT_EQ(session_.wait_for_caption(4, Look::plain), Look::plain);
}

TEST_F(UiMainWindowTest, PickingALevelShowsItsDescriptionAtOnceButStoresNothing) {
  const auto stored_before = read_nimbrel_value(L"killlevel");
  const HWND level = session_.control(SensitivityComboBox);
  PostMessageW(level, WM_KEYDOWN, VK_END, 0);
  EXPECT_TRUE(wait_until([&] { return session_.text(SensitivityLabel) == L" - 不关闭任何窗口."; }, 5s))
      << "seen: " << testing::PrintToString(session_.text(SensitivityLabel));
  PostMessageW(level, WM_KEYDOWN, VK_HOME, 0);
  EXPECT_TRUE(wait_until([&] { return session_.text(SensitivityLabel) == L" - 绝对没有窗口弹出!"; }, 5s));
  PostMessageW(level, WM_KEYDOWN, VK_DOWN, 0);
  PostMessageW(level, WM_KEYDOWN, VK_DOWN, 0);
  EXPECT_TRUE(wait_until([&] { return session_.text(SensitivityLabel) == L" - 在窗口关闭前先分析是否为广告窗口."; }, 5s));
  EXPECT_EQ(read_nimbrel_value(L"killlevel"), stored_before) << "the level is stored only by a confirm";
}

// Enter starts a new line inside the list boxes and confirms everywhere else; the confirm
// sends the program to the tray.
TEST_F(UiMainWindowTest, EnterConfirmsExceptInsideTheListBoxes) {
  const auto press_enter = [](HWND control) {
    PostMessageW(control, WM_KEYDOWN, VK_RETURN, 0x001C0001);
    PostMessageW(control, WM_KEYUP, VK_RETURN, 0xC01C0001);
  };
  click(session_.control(Image12));
  ASSERT_TRUE(wait_until([&] { return session_.front_page() == 2; }, 5s));
  for (int memo : {Memo1, Memo2}) {
    SCOPED_TRACE(memo);
    const HWND box = session_.control(memo);
    press_enter(box);
    EXPECT_TRUE(wait_until([&] { return SendMessageW(box, EM_GETLINECOUNT, 0, 0) == 2; }, 5s)) << "a new line";
    EXPECT_TRUE(IsWindowVisible(session_.main()));
    SendMessageW(box, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L""));
  }
  click(session_.control(Image11));
  ASSERT_TRUE(wait_until([&] { return session_.front_page() == 1; }, 5s));
  press_enter(session_.control(CheckBox1));
  EXPECT_TRUE(wait_until([&] { return !IsWindowVisible(session_.main()); }, 10s)) << "confirmed: off to the tray";
  EXPECT_TRUE(tray_icon_shown(session_.main()));
}

}  // namespace
}  // namespace e2e
