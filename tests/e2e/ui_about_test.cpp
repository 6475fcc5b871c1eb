// The About window seen from outside: opened by the strip's fourth picture, its
// captions and places, and the browser line as the registry gives it at start.
#include "e2e/ui_driver.h"
#include "support/desktop_windows.h"
#include "support/wait.h"

#include <gtest/gtest.h>

#include <vector>

namespace e2e {
namespace {

using Look = NimbrelSession::CaptionLook;

constexpr int Image14 = 403;
constexpr int Image12 = 401;
enum AboutId : int { Label2 = 101, Label7, Label1, Label4, Label3, Label5, Panel1, Button1 };
constexpr const wchar_t* kBrowserKey = L"SOFTWARE\\Microsoft\\Internet Explorer";
constexpr const wchar_t* kDesignLine = L"Internet Explorer 版本: 6.0.2600.0000";

// The browser's "Version" value, changed for a test and put back as it was afterwards.
class BrowserVersionValue {
 public:
  BrowserVersionValue() {
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, kBrowserKey, 0, KEY_READ | KEY_WRITE, &key_) != ERROR_SUCCESS) {
      key_ = nullptr;
      return;
    }
    DWORD size = 0;
    if (RegQueryValueExW(key_, L"Version", nullptr, &type_, nullptr, &size) == ERROR_SUCCESS) {
      saved_.resize(size);
      existed_ = RegQueryValueExW(key_, L"Version", nullptr, &type_, saved_.data(), &size) == ERROR_SUCCESS;
    }
  }
  ~BrowserVersionValue() {
    if (!key_) return;
    if (existed_)
      RegSetValueExW(key_, L"Version", 0, type_, saved_.data(), static_cast<DWORD>(saved_.size()));
    else
      RegDeleteValueW(key_, L"Version");
    RegCloseKey(key_);
  }
  BrowserVersionValue(const BrowserVersionValue&) = delete;
  BrowserVersionValue& operator=(const BrowserVersionValue&) = delete;

  bool usable() const { return key_ != nullptr; }
  void set(const std::wstring& text) {
    RegSetValueExW(key_, L"Version", 0, REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()),
                   static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t)));
  }
  void set_number(DWORD number) {
    RegSetValueExW(key_, L"Version", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&number), sizeof(number));
  }
  void remove() { RegDeleteValueW(key_, L"Version"); }
  bool present() const { return RegQueryValueExW(key_, L"Version", nullptr, nullptr, nullptr, nullptr) == ERROR_SUCCESS; }

 private:
  HKEY key_ = nullptr;
  DWORD type_ = 0;
  std::vector<BYTE> saved_;
  bool existed_ = false;
};

class UiAboutTest : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(version_.usable()) << "the prefix has no Internet Explorer key"; }

  void start(bool wait = true) {
    session_.start(wait);
    if (!wait) return;
    ASSERT_NE(session_.main(), nullptr);
    session_.raise();
  }
  // Clicks "关 于" and waits for the About window.
  HWND open_about() {
    click(session_.control(Image14));
    return wait_for_window(session_.nimbrel().id(), L"TAboutForm", L"About Nimbrel", 10s);
  }
  std::wstring text(HWND about, int id) {
    const HWND control = find_control(about, id);
    return control ? window_text(control) : L"<no control>";
  }
  static void press_ok_button(HWND about) { click(find_control(about, Button1)); }

  BrowserVersionValue version_;
  NimbrelSession session_;
};

TEST_F(UiAboutTest, TheFourthPictureShowsTheWindowModallyAndMarksItsCaptionAfterwards) {
  version_.set(L"6.0.2800.1106");
  start();
  click(session_.control(Image12));
  ASSERT_TRUE(wait_until([&] { return session_.front_page() == 2; }, 5s));

  const HWND about = open_about();
  ASSERT_NE(about, nullptr);
  EXPECT_FALSE(IsWindowEnabled(session_.main())) << "the main window waits for the About window";
  EXPECT_EQ(client_box(about), (Box{0, 0, 359, 184}));
  const auto style = GetWindowLongW(about, GWL_STYLE);
  EXPECT_TRUE(style & WS_SYSMENU);
  EXPECT_FALSE(style & (WS_MINIMIZEBOX | WS_MAXIMIZEBOX | WS_THICKFRAME));
  const RECT outer = screen_rect(about);
  EXPECT_NEAR((outer.left + outer.right) / 2, GetSystemMetrics(SM_CXSCREEN) / 2, 1);
  EXPECT_NEAR((outer.top + outer.bottom) / 2, GetSystemMetrics(SM_CYSCREEN) / 2, 1);

  struct Placement {
    int id;
    Box box;
    const wchar_t* caption;
  };
  const Placement placements[] = {
      {Label2, {94, 13, 131, 20}, L"Quellix"},
      {Label7, {88, 40, 177, 13}, L"（英文名：Nimbrel）"},
      {Label1, {16, 64, 161, 13}, L"软件版本: 1.50"},
      {Label4, {16, 79, 275, 13}, L"Internet Explorer: 6.0.2800.1106"},
      {Label3, {16, 95, 281, 13}, nullptr},
      {Label5, {16, 113, 76, 13}, nullptr},
      {Panel1, {8, 144, 337, 2}, nullptr},
      {Button1, {266, 153, 75, 25}, L"OK"},
  };
  for (const Placement& placement : placements) {
    SCOPED_TRACE(placement.id);
    const HWND control = find_control(about, placement.id);
    ASSERT_NE(control, nullptr);
    EXPECT_EQ(box_within(control), placement.box);
    if (placement.caption) {
      EXPECT_EQ(window_text(control), placement.caption);
    }
  }
  EXPECT_FALSE(text(about, Label3).empty());
  EXPECT_FALSE(text(about, Label5).empty());

  // The program's picture, drawn transparent: its corner shows the window's background.
  POINT corner{scaled(16), scaled(12)};
  ClientToScreen(about, &corner);
  const RECT picture_area{corner.x, corner.y, corner.x + scaled(48), corner.y + scaled(48)};
  // The window may still be painting when it is first found: look until the picture is there.
  ScreenImage picture = ScreenImage::capture(picture_area);
  wait_until([&] {
    picture = ScreenImage::capture(picture_area);
    return picture.count(RGB(214, 40, 40)) > 200;
  }, 5s, 100ms);
  EXPECT_EQ(picture.pixel(0, 0), GetSysColor(COLOR_BTNFACE));
  EXPECT_GT(picture.count(RGB(214, 40, 40)), 200) << "the red sign of the program's picture";
  EXPECT_TRUE(keep_screenshot(outer, L"about.png"));

  PostMessageW(find_control(about, Button1), WM_KEYDOWN, VK_ESCAPE, 0);
  Sleep(300);
  EXPECT_TRUE(IsWindowVisible(about)) << "Esc does not close the window";

  press_ok_button(about);
  EXPECT_TRUE(wait_until([&] { return !IsWindowVisible(about); }, 5s));
  EXPECT_TRUE(wait_until([&] { return IsWindowEnabled(session_.main()) != FALSE; }, 5s));
  EXPECT_EQ(session_.front_page(), 2) << "the page shown stays what it was";
  EXPECT_EQ(session_.wait_for_caption(4, Look::red), Look::red);
  EXPECT_EQ(session_.caption_look(2), Look::plain);

  // The version is read once, at start.
  version_.set(L"7.0.5730.13");
  const HWND again = open_about();
  ASSERT_EQ(again, about) << "the same window, only shown again";
  EXPECT_EQ(text(about, Label4), L"Internet Explorer: 6.0.2800.1106");
  PostMessageW(about, WM_CLOSE, 0, 0);  // the close box
  EXPECT_TRUE(wait_until([&] { return !IsWindowVisible(about); }, 5s));
  EXPECT_TRUE(session_.nimbrel().running());
}

TEST_F(UiAboutTest, WithoutAVersionValueTheDesignLineStaysAndNothingIsWritten) {
  version_.remove();
  start();
  const HWND about = open_about();
  ASSERT_NE(about, nullptr);
  EXPECT_EQ(text(about, Label4), kDesignLine);
  press_ok_button(about);
  EXPECT_TRUE(wait_until([&] { return !IsWindowVisible(about); }, 5s));
  EXPECT_FALSE(version_.present());
}

TEST_F(UiAboutTest, AVersionOfAnotherTypeIsReportedAtStartAndStartUpGoesOn) {
  version_.set_number(6);
  start(false);
  const HWND box = session_.nimbrel().wait_for_message_box(20s);
  ASSERT_NE(box, nullptr);
  EXPECT_EQ(window_text(box), L"Quellix (Nimbrel)");
  // The quote sorts before '.', so the report adds no full stop.
  EXPECT_EQ(message_box_text(box), L"Invalid data type for 'Version'");
  EXPECT_TRUE(message_box_has_icon(box)) << "the general error report shows a stop icon";
  press_ok(box);

  const HWND main = session_.nimbrel().wait_for_main_window();
  ASSERT_NE(main, nullptr) << "start-up goes on";
  const HWND about = find_top_level_window(session_.nimbrel().id(), L"TAboutForm", L"About Nimbrel");
  ASSERT_NE(about, nullptr);
  EXPECT_EQ(text(about, Label4), kDesignLine);
}

}  // namespace
}  // namespace e2e
