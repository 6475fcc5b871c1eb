// The two lists of a running nimbrel.exe, worked from outside: a block-log row sent to
// the white list by a double-click and saved by "确定", and a confirm that cannot write
// the white list.
#include "e2e/filter_fixture.h"
#include "support/desktop_windows.h"
#include "support/nimbrel_registry.h"
#include "support/wait.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <type_traits>
#include <vector>

namespace e2e {
namespace {

class FilterListsTest : public FilterEndToEndTest {};

// The list texts of these tests are ASCII.
std::string narrow(const std::wstring& ascii) {
  std::string text;
  for (wchar_t c : ascii) text.push_back(static_cast<char>(c));
  return text;
}

struct ScreenDcRelease {
  void operator()(HDC dc) const { ReleaseDC(nullptr, dc); }
};
struct DcDelete {
  void operator()(HDC dc) const { DeleteDC(dc); }
};
struct GdiObjectDelete {
  void operator()(void* object) const { DeleteObject(static_cast<HGDIOBJ>(object)); }
};
using ScreenDc = std::unique_ptr<HDC__, ScreenDcRelease>;
using MemoryDc = std::unique_ptr<HDC__, DcDelete>;
template <class Handle>
using GdiObject = std::unique_ptr<std::remove_pointer_t<Handle>, GdiObjectDelete>;

// An object selected into a device context for the life of this value.
class Selection {
 public:
  Selection(HDC dc, HGDIOBJ object) : dc_(dc), old_(SelectObject(dc, object)) {}
  Selection(const Selection&) = delete;
  Selection& operator=(const Selection&) = delete;
  ~Selection() { SelectObject(dc_, old_); }

 private:
  HDC dc_;
  HGDIOBJ old_;
};

// Pixels (0x00RRGGBB, top row first) of a width x height picture painted by `paint`.
std::vector<std::uint32_t> painted(int width, int height, const std::function<void(HDC)>& paint) {
  BITMAPINFO info{};
  info.bmiHeader = {sizeof(BITMAPINFOHEADER), width, -height, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
  void* bits = nullptr;
  const ScreenDc screen(GetDC(nullptr));
  const GdiObject<HBITMAP> bitmap(CreateDIBSection(screen.get(), &info, DIB_RGB_COLORS, &bits, nullptr, 0));
  const MemoryDc dc(CreateCompatibleDC(screen.get()));
  if (!bitmap || !dc) return {};
  const Selection selected(dc.get(), bitmap.get());
  paint(dc.get());
  GdiFlush();
  const auto* data = static_cast<const std::uint32_t*>(bits);
  std::vector<std::uint32_t> pixels;
  for (int i = 0; i < width * height; ++i) pixels.push_back(data[i] & 0xFFFFFF);
  return pixels;
}

// The static control of a message box that shows an icon, or nullptr.
HWND icon_control(HWND box) {
  for (HWND child = GetWindow(box, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
    wchar_t name[16] = {};
    GetClassNameW(child, name, 16);
    const auto icon = send_message(child, STM_GETICON, 0, 0);
    if (std::wstring(name) == L"Static" && icon && *icon) return child;
  }
  return nullptr;
}

// Whether the icon on screen in the box is this system icon, pixel for pixel. The icon's
// handle belongs to the program's process and cannot be read here; its picture can.
bool shows_system_icon(HWND box, const wchar_t* system_icon) {
  const HWND shown = icon_control(box);
  if (!shown) return false;
  RECT place{};
  GetWindowRect(shown, &place);
  const int width = place.right - place.left, height = place.bottom - place.top;
  const auto on_screen = painted(width, height, [&](HDC dc) {
    const ScreenDc screen(GetDC(nullptr));
    BitBlt(dc, 0, 0, width, height, screen.get(), place.left, place.top, SRCCOPY);
  });
  if (on_screen.empty()) return false;
  const std::uint32_t corner = on_screen[0];  // the icons leave their corners clear
  const auto expected = painted(width, height, [&](HDC dc) {
    const RECT all{0, 0, width, height};
    const GdiObject<HBRUSH> background(CreateSolidBrush(RGB(corner >> 16, (corner >> 8) & 0xFF, corner & 0xFF)));
    FillRect(dc, &all, background.get());
    DrawIconEx(dc, 0, 0, LoadIconW(nullptr, system_icon), width, height, 0, nullptr, DI_NORMAL);
  });
  return on_screen == expected;
}

// The lines of a list box, without the empty piece after a final line break.
std::vector<std::wstring> lines_of(const std::wstring& text) {
  std::vector<std::wstring> lines;
  size_t from = 0;
  for (size_t end; (end = text.find(L"\r\n", from)) != std::wstring::npos; from = end + 2)
    lines.push_back(text.substr(from, end - from));
  if (from < text.size()) lines.push_back(text.substr(from));
  return lines;
}

// A double-click on a row, as the list view gets it from the mouse, reaches the program's
// handler through the log page; the address works at once and is saved by a confirm.
TEST_F(FilterListsTest, ADoubleClickedLogRowJoinsTheWhiteListAndAConfirmSavesIt) {
  set(L"killurl", L"1");
  set(L"killlevel", L"1");
  const std::wstring white = list_path(L"white.lis");
  put_file(white, "keep.test");
  start_standin("--fake 1");
  ASSERT_TRUE(start_nimbrel());
  const std::string ad = "http://news.test/ads/x.html";
  ASSERT_EQ(fire_navigation(0, ad), "cancel=1 sinks=1 failed=0");

  const RemoteListView view = log();
  ASSERT_EQ(view.row_count(), 1);
  ASSERT_TRUE(view.select(0));
  const auto row = view.row_rect(0);
  ASSERT_TRUE(row.has_value());
  const LPARAM at = MAKELPARAM((row->left + row->right) / 2, (row->top + row->bottom) / 2);
  ASSERT_TRUE(PostMessageW(view.hwnd(), WM_LBUTTONDBLCLK, MK_LBUTTON, at));
  PostMessageW(view.hwnd(), WM_LBUTTONUP, 0, at);

  const HWND memo = control(ids::Memo1);
  const std::vector<std::wstring> expected{L"keep.test", std::wstring(ad.begin(), ad.end())};
  EXPECT_TRUE(wait_until([&] { return lines_of(control_text(memo)) == expected; }, 5s))
      << testing::PrintToString(control_text(memo));
  EXPECT_EQ(fire_navigation(0, ad), "cancel=0 sinks=1 failed=0") << "the new line exempts it at once";
  EXPECT_EQ(file_bytes(white), "keep.test") << "nothing is saved before a confirm";

  const std::string shown = narrow(control_text(memo));
  ASSERT_TRUE(post_command(ids::Button1));
  EXPECT_TRUE(wait_until([&] { return file_bytes(white) == shown; }, 5s))
      << testing::PrintToString(file_bytes(white));
  EXPECT_EQ(nimbrel_->wait_for_message_box(0ms), nullptr);
}

TEST_F(FilterListsTest, AConfirmThatCannotWriteTheWhiteListSaysSoAndWritesNothing) {
  set(L"killlevel", L"2");
  const std::wstring white = list_path(L"white.lis");
  const std::wstring black = list_path(L"black.lis");
  put_file(white, "old white\r\n");
  put_file(black, "old black\r\n");
  start_standin();
  ASSERT_TRUE(start_nimbrel());
  ASSERT_TRUE(set_control_text(control(ids::Memo1), L"new white"));
  ASSERT_TRUE(set_control_text(control(ids::Memo2), L"new black"));
  // Another program holds it (a file the user may not write at all goes to their own copy).
  const HANDLE held = CreateFileW(white.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(held, INVALID_HANDLE_VALUE);

  ASSERT_TRUE(post_command(ids::Button1));
  const HWND box = nimbrel_->wait_for_message_box(10s);
  if (!box) CloseHandle(held);
  ASSERT_NE(box, nullptr) << "no message";
  EXPECT_EQ(window_text(box), NimbrelProcess::kTitle);
  EXPECT_EQ(message_box_text(box), L"Cannot create file " + white + L".");
  EXPECT_TRUE(wait_until([&] { return shows_system_icon(box, IDI_HAND); }, 5s)) << "the stop icon";
  EXPECT_FALSE(shows_system_icon(box, IDI_EXCLAMATION)) << "the comparison tells icons apart";
  EXPECT_EQ(file_bytes(black), "old black\r\n") << "the black list is not written after the failure";
  EXPECT_EQ(file_bytes(list_path(L"lis0000.tmp")), std::nullopt) << "no new file was begun";
  EXPECT_EQ(read_nimbrel_value(L"killpop"), std::nullopt) << "nor are the settings";

  press_ok(box);
  CloseHandle(held);
  EXPECT_EQ(file_bytes(white), "old white\r\n");
  EXPECT_TRUE(wait_until([&] { return !IsWindow(box); }, 5s));
  EXPECT_TRUE(IsWindowVisible(main_)) << "the confirm stopped before sending the window to the tray";
  EXPECT_EQ(control_text(control(ids::Memo1)), L"new white") << "the boxes keep their contents";
  EXPECT_EQ(control_text(control(ids::Memo2)), L"new black");
}

}  // namespace
}  // namespace e2e
