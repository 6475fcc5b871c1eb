// The flat look as a user sees it, read from the screen: the tray menu's item background,
// icon column, selection, separators and radio dot, in colours derived from the system's.
#include "e2e/flat_probes.h"
#include "e2e/ui_driver.h"
#include "core/flat_geometry.h"
#include "support/desktop_windows.h"
#include "support/wait.h"

#include <gtest/gtest.h>

namespace e2e {
namespace {

constexpr UINT kTrayCallback = 2000;
enum Id : int {
  CheckBox2 = 201, CheckBox3, SensitivityComboBox = 207, GroupBox3 = 209, Memo1 = 222, Button3 = 230,
  Panel4 = 303, Exception1 = 1006, V1 = 1007, Preferences1 = 1005
};

// The icon column's left and right end, read in the last row of a menu's last item.
std::pair<int, int> icon_column(const ScreenImage& menu, Rgb icon, Rgb background) {
  const int row = menu.height() - scaled(8);
  const int left = find_in_row(menu, row, 0, 1, icon);
  return {left, left < 0 ? -1 : find_in_row(menu, row, left, 1, background)};
}

class UiFlatLookTest : public ShownProgramTest {
 protected:
  void press(WPARAM key) { ShownProgramTest::press(key, 300); }
  // Presses the key until the open menu at this depth shows a selected item from row `from`
  // on (exactly there when `exact`): Wine can drop a key that arrives while the menu starts
  // tracking.
  ScreenImage select_with(WPARAM key, size_t depth, int from, bool exact = false) {
    ScreenImage image;
    for (int attempt = 0; attempt < 4; ++attempt) {
      press(key);
      const bool shown = wait_until(
          [&] {
            const std::vector<HWND> menus = open_menus(session_.process_id());
            if (menus.size() != depth) return false;
            menu_ = screen_rect(menus[0]);
            image = ScreenImage::capture(menu_);
            const int left = icon_column(image, icon_, background_).first;
            const int top = left < 0 ? -1 : find_in_column(image, left + 2, from, 1, highlight_);
            return exact ? top == from : top >= from && top >= 0;
          },
          2s);
      if (shown) break;
    }
    return image;
  }

  RECT menu_{};
  const Rgb face_ = system_colour(COLOR_BTNFACE), highlight_ = system_colour(COLOR_HIGHLIGHT);
  const Rgb background_ = lighten(face_, 86), icon_ = lighten(face_, 16), selection_ = lighten(highlight_, 68);
  const Rgb separator_ = lighten(system_colour(COLOR_BTNSHADOW), 25);
};

// A control's own pixels, as the screen shows them.
ScreenImage capture_control(HWND control) {
  Sleep(300);
  return ScreenImage::capture(screen_rect(control));
}

// The pointer over a control: moved there for real, and the move reported.
void point_at(HWND control) {
  const RECT rect = screen_rect(control);
  move_pointer((rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2);
  move_mouse_over(control, (rect.right - rect.left) / 2, (rect.bottom - rect.top) / 2);
}

TEST_F(UiFlatLookTest, TheTrayMenuIsDrawnFlatInColoursOfTheSystem) {
  PostMessageW(main_, WM_COMMAND, V1, 0);  // the log page, until the menu's "选项" is clicked
  ASSERT_TRUE(wait_until([&] { return session_.front_page() == 3; }, 5s));
  PostMessageW(main_, WM_SYSCOMMAND, SC_MINIMIZE, 0);
  ASSERT_TRUE(wait_until([&] { return !IsWindowVisible(main_); }, 10s));
  move_pointer(scaled(300), scaled(200));
  PostMessageW(main_, kTrayCallback, 1000, WM_RBUTTONUP);
  ASSERT_TRUE(wait_until([&] { return open_menus(session_.process_id()).size() == 1; }, 10s)) << "no menu";
  ScreenImage menu = select_with(VK_DOWN, 1, 0);  // 设置类型 selected
  const auto [left, text] = icon_column(menu, icon_, background_);
  ASSERT_GE(left, 0) << "no icon column";
  EXPECT_EQ(text - left, scaled(24)) << "icon column width";
  const int last = menu.height() - scaled(8);
  probe("item background", menu, text + scaled(2), last, background_);
  probe("icon column", menu, left + scaled(2), last, icon_);

  // The selected item: filled and outlined, over the icon column too.
  const int top = find_in_column(menu, left + 2, 0, 1, highlight_);
  const int bottom = find_in_column(menu, left + 2, top + 2, 1, highlight_);
  ASSERT_GT(top, 0);
  ASSERT_GT(bottom, top);
  probe("selection outline", menu, left, (top + bottom) / 2, highlight_);
  probe("selection fill", menu, left + 2, (top + bottom) / 2, selection_);
  EXPECT_TRUE(keep_screenshot(menu_, L"tray_menu_selected.png"));

  // The separator below: one line starting 7 pixels right of the text start, 4 pixels high.
  const int line_x = text + scaled(7);
  const int line = find_in_column(menu, line_x + 2, bottom + 1, 1, separator_);
  ASSERT_GT(line, bottom);
  probe("separator line start", menu, line_x, line, separator_);
  probe("left of the separator line", menu, line_x - 1, line, background_);
  probe("above the separator line", menu, line_x + 2, line - 1, background_);
  probe("below the separator line", menu, line_x + 2, line + 1, background_);
  menu = select_with(VK_DOWN, 1, bottom + 1);  // 选项, past the separator
  const RECT tray = menu_;
  const int next_top = find_in_column(menu, left + 2, bottom + 1, 1, highlight_);
  EXPECT_EQ(next_top - bottom - 2, scaled(4)) << "separator height";

  // The level submenu: a dot in a 10 x 10 square, centred in the icon column, at the
  // current level ("高级") only; the first level is selected.
  select_with(VK_UP, 1, top, true);
  const ScreenImage levels = select_with(VK_RIGHT, 2, 0);
  const auto [sub_left, sub_text] = icon_column(levels, icon_, background_);
  ASSERT_GE(sub_left, 0);
  const int first_bottom =
      find_in_column(levels, sub_left + 2, find_in_column(levels, sub_left + 2, 0, 1, highlight_) + 2, 1, highlight_);
  ASSERT_GT(first_bottom, 0);
  RECT dot{levels.width(), levels.height(), -1, -1};
  for (int y = first_bottom + 2; y < levels.height(); ++y)
    for (int x = sub_left + 1; x < sub_text - 1; ++x)
      if (levels.pixel(x, y) == RGB(highlight_.red, highlight_.green, highlight_.blue)) {
        dot = {std::min<LONG>(dot.left, x), std::min<LONG>(dot.top, y), std::max<LONG>(dot.right, x + 1),
               std::max<LONG>(dot.bottom, y + 1)};
      }
  EXPECT_EQ(dot.right - dot.left, scaled(10)) << "dot width";
  EXPECT_EQ(dot.bottom - dot.top, scaled(10)) << "dot height: one level only";
  EXPECT_EQ(dot.left - sub_left, (scaled(24) - scaled(10)) / 2) << "centred in the icon column";
  probe("radio dot outline", levels, dot.left, (dot.top + dot.bottom) / 2, highlight_);
  probe("radio dot fill", levels, (dot.left + dot.right) / 2, (dot.top + dot.bottom) / 2, lighten(highlight_, 80));

  // A click of the mouse on "选项" still runs its command.
  press(VK_ESCAPE);
  move_pointer(tray.left + text + scaled(20), tray.top + next_top + scaled(6));
  INPUT clicks[2] = {{INPUT_MOUSE}, {INPUT_MOUSE}};
  clicks[0].mi.dwFlags = MOUSEEVENTF_LEFTDOWN;
  clicks[1].mi.dwFlags = MOUSEEVENTF_LEFTUP;
  SendInput(2, clicks, sizeof(INPUT));
  EXPECT_TRUE(wait_until([&] { return IsWindowVisible(main_) && session_.front_page() == 1; }, 10s));
  EXPECT_TRUE(open_menus(session_.process_id()).empty());
}

// Buttons, check boxes, edit boxes, the combo box, panels and group boxes: flat borders in
// colours derived from the system's, with hover, focus and press highlights.
TEST_F(UiFlatLookTest, TheControlsAreDrawnFlatAndLightUpUnderThePointerAndWithFocus) {
  const Rgb shadow = system_colour(COLOR_BTNSHADOW), window = system_colour(COLOR_WINDOW);
  const Rgb light = lighten(face_, 60), dark = darken(face_, 60);
  move_pointer(0, 0);

  // A check box: its square, idle, then under the pointer; a disabled one never lights up.
  const int thumb = GetSystemMetrics(SM_CXHTHUMB);
  HWND check = session_.control(CheckBox2);
  ScreenImage image = capture_control(check);
  const nimbrel::flat::CheckBoxShape square =
      nimbrel::flat::checkBoxShape({0, 0, image.width(), image.height()}, thumb, false, scaled(96));
  const int box_middle = (square.box.top + square.box.bottom) / 2;
  probe("check box outline, idle", image, square.box.left, box_middle, shadow);
  probe("check box inside, idle", image, square.box.left + 1, square.box.top + 1, window);
  const bool checked = SendMessageW(check, BM_GETCHECK, 0, 0) == BST_CHECKED;
  int tick = 0;
  for (int y = square.box.top + 1; y < square.box.bottom - 1; ++y)
    for (int x = square.box.left + 1; x < square.box.right - 1; ++x)
      tick += image.pixel(x, y) == RGB(highlight_.red, highlight_.green, highlight_.blue) ? 1 : 0;
  EXPECT_EQ(tick > 0, checked) << "a tick in the highlight colour exactly when checked";
  point_at(check);
  image = capture_control(check);
  probe("check box outline, pointed at", image, square.box.left, box_middle, highlight_);
  probe("check box inside, pointed at", image, square.box.left + 1, square.box.top + 1, selection_);
  HWND disabled = session_.control(CheckBox3);
  EnableWindow(disabled, FALSE);
  point_at(disabled);
  probe("disabled check box outline, pointed at", capture_control(disabled), square.box.left, box_middle, shadow);
  EnableWindow(disabled, TRUE);

  // The combo box: its frame and drop button, idle and under the pointer.
  HWND combo = session_.control(SensitivityComboBox);
  image = capture_control(combo);
  const int combo_middle = image.height() / 2;
  const nimbrel::flat::ComboShape drop = nimbrel::flat::comboShape(
      {2, 2, image.width() - 2, image.height() - 2}, thumb, false, scaled(96));
  probe("combo frame, idle", image, 1, combo_middle, window);
  probe("combo drop button, idle", image, drop.button.right - 2, drop.button.top + 1, face_);
  probe("combo arrow", image, drop.arrow[0].from.x, drop.arrow[0].from.y, Rgb{});
  point_at(combo);
  image = capture_control(combo);
  probe("combo frame, pointed at", image, 0, combo_middle, highlight_);
  probe("combo drop button, pointed at", image, drop.button.right - 2, drop.button.top + 1, selection_);
  move_pointer(0, 0);

  // A group box's flat frame, and the lowered bevel of the panel above the buttons.
  image = capture_control(session_.control(GroupBox3));
  probe("group box left", image, 0, image.height() / 2, light);
  probe("group box right", image, image.width() - 1, image.height() / 2, dark);
  probe("group box bottom", image, image.width() / 2, image.height() - 1, dark);
  image = capture_control(session_.control(Panel4));
  probe("panel bevel top", image, image.width() / 2, 0, dark);
  probe("panel bevel bottom", image, image.width() / 2, image.height() - 1, light);
  EXPECT_TRUE(keep_screenshot(screen_rect(main_), L"main_flat.png"));

  // A memo's border: darker than the page when idle, light in the selection colour with focus.
  PostMessageW(main_, WM_COMMAND, Exception1, 0);
  ASSERT_TRUE(wait_until([&] { return session_.front_page() == 2; }, 5s));
  HWND memo = session_.control(Memo1);
  image = capture_control(memo);
  probe("memo border, idle", image, 0, image.height() / 2, dark);
  click(memo);
  probe("memo border, focused", capture_control(memo), 0, image.height() / 2, lighten(highlight_, 60));

  // A button: idle, under the pointer, and held down (shade moves from bottom right to top left).
  PostMessageW(main_, WM_COMMAND, V1, 0);
  ASSERT_TRUE(wait_until([&] { return session_.front_page() == 3; }, 5s));
  HWND button = session_.control(Button3);
  image = capture_control(button);
  const nimbrel::flat::Rect client{0, 0, image.width(), image.height()};
  const nimbrel::flat::ButtonShape up = nimbrel::flat::buttonShape(client, false, scaled(96));
  const nimbrel::flat::ButtonShape down = nimbrel::flat::buttonShape(client, true, scaled(96));
  const int inside = scaled(8);
  probe("button outline, idle", image, image.width() / 2, 0, lighten(shadow, 30));
  probe("button fill, idle", image, inside, inside, icon_);
  probe("button shade bottom, idle", image, inside, up.shade[0].from.y, darken(shadow, 50));
  point_at(button);
  const Rgb lit = lighten(highlight_, 60);
  image = capture_control(button);
  probe("button outline, pointed at", image, image.width() / 2, 0, lighten(lit, 30));
  probe("button fill, pointed at", image, inside, inside, light);
  probe("button shade bottom, pointed at", image, inside, up.shade[0].from.y, darken(lit, 50));
  probe("button shade right, pointed at", image, up.shade[1].from.x, image.height() / 2, darken(lit, 50));
  EXPECT_TRUE(keep_screenshot(screen_rect(button), L"button_hovered.png"));
  const RECT rect = screen_rect(button);
  const LPARAM middle = MAKELPARAM((rect.right - rect.left) / 2, (rect.bottom - rect.top) / 2);
  PostMessageW(button, WM_LBUTTONDOWN, MK_LBUTTON, middle);
  image = capture_control(button);
  probe("button shade top, pressed", image, inside, down.shade[0].from.y, darken(lit, 50));
  probe("button shade left, pressed", image, down.shade[1].from.x, image.height() / 2, darken(lit, 50));
  probe("button bottom, pressed", image, inside, up.shade[0].from.y, light);
  EXPECT_TRUE(keep_screenshot(screen_rect(button), L"button_pressed.png"));
  PostMessageW(button, WM_LBUTTONUP, 0, middle);
  move_pointer(0, 0);
}

}  // namespace
}  // namespace e2e
