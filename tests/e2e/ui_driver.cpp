#include "e2e/ui_driver.h"

#include "support/desktop_windows.h"
#include "support/nimbrel_registry.h"
#include "support/remote_controls.h"
#include "support/wait.h"

#include <shellapi.h>

#include <algorithm>
#include <vector>

namespace e2e {
namespace {

constexpr UINT kTrayIconId = 1000;
constexpr int kPagePanels[] = {100, 101, 102};        // OptionPanel, ExceptionPanel, LogsPanel
constexpr int kCaptionLabels[] = {410, 411, 412, 413};  // Label1 to Label4

int dpi() {
  static const int value = [] {
    HDC screen = GetDC(nullptr);
    const int found = GetDeviceCaps(screen, LOGPIXELSY);
    ReleaseDC(nullptr, screen);
    return found > 0 ? found : 96;
  }();
  return value;
}

int unscaled(int pixels) { return MulDiv(pixels, 96, dpi()); }

NOTIFYICONDATAW icon_record(HWND owner) {
  NOTIFYICONDATAW record{};
  record.cbSize = NOTIFYICONDATAW_V1_SIZE;
  record.hWnd = owner;
  record.uID = kTrayIconId;
  return record;
}

// A row of the picture that is nearly all of one colour: the underline.
bool has_line_of(const ScreenImage& image, COLORREF colour) {
  for (int y = 0; y < image.height(); ++y) {
    int run = 0;
    for (int x = 0; x < image.width(); ++x) run += image.pixel(x, y) == colour ? 1 : 0;
    if (run * 10 >= image.width() * 8) return true;
  }
  return false;
}

// The lists that a confirm writes beside the program; every session starts and ends without them.
void remove_list_files() {
  for (const wchar_t* name : {L"white.lis", L"black.lis"}) {
    const std::wstring path = standin::beside_this_program(name);
    SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
    DeleteFileW(path.c_str());
  }
}

}  // namespace

std::string describe(const Box& box) {
  return std::to_string(box.left) + ", " + std::to_string(box.top) + ", " + std::to_string(box.width) + " x " +
         std::to_string(box.height);
}

int scaled(int pixels) { return MulDiv(pixels, dpi(), 96); }

HWND find_control(HWND root, int id) { return root ? descendant_with_id(root, id) : nullptr; }

Box box_within(HWND window, HWND container) {
  RECT rect{};
  GetWindowRect(window, &rect);
  MapWindowPoints(nullptr, container ? container : GetParent(window), reinterpret_cast<POINT*>(&rect), 2);
  return {unscaled(rect.left), unscaled(rect.top), unscaled(rect.right - rect.left),
          unscaled(rect.bottom - rect.top)};
}

Box client_box(HWND window) {
  RECT rect{};
  GetClientRect(window, &rect);
  return {0, 0, unscaled(rect.right), unscaled(rect.bottom)};
}

RECT screen_rect(HWND window) {
  RECT rect{};
  GetWindowRect(window, &rect);
  return rect;
}

void click(HWND control) {
  RECT rect{};
  GetClientRect(control, &rect);
  const LPARAM at = MAKELPARAM(rect.right / 2, rect.bottom / 2);
  PostMessageW(control, WM_LBUTTONDOWN, MK_LBUTTON, at);
  PostMessageW(control, WM_LBUTTONUP, 0, at);
}

void move_mouse_over(HWND control, int x, int y) { PostMessageW(control, WM_MOUSEMOVE, 0, MAKELPARAM(x, y)); }

HWND wait_for_window(DWORD process_id, const std::wstring& class_name, const wchar_t* caption,
                     std::chrono::milliseconds timeout) {
  HWND found = nullptr;
  wait_until(
      [&] {
        found = find_top_level_window(process_id, class_name, caption);
        return found && IsWindowVisible(found);
      },
      timeout);
  return found && IsWindowVisible(found) ? found : nullptr;
}

std::vector<HWND> open_menus(DWORD process_id) {
  std::vector<HWND> menus;
  for (HWND window = GetTopWindow(nullptr); window; window = GetWindow(window, GW_HWNDNEXT)) {
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    wchar_t name[16] = {};
    GetClassNameW(window, name, 16);
    if (owner == process_id && std::wstring(name) == L"#32768" && IsWindowVisible(window)) menus.push_back(window);
  }
  return menus;
}

bool message_box_has_icon(HWND box) {
  for (HWND child = GetWindow(box, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
    const auto style = GetWindowLongW(child, GWL_STYLE);
    if ((style & SS_TYPEMASK) == SS_ICON && IsWindowVisible(child) && SendMessageW(child, STM_GETICON, 0, 0))
      return true;
  }
  return false;
}

bool tray_icon_shown(HWND owner) {
  NOTIFYICONDATAW record = icon_record(owner);
  return Shell_NotifyIconW(NIM_MODIFY, &record) != FALSE;
}

void remove_tray_icon(HWND owner) {
  NOTIFYICONDATAW record = icon_record(owner);
  Shell_NotifyIconW(NIM_DELETE, &record);
}

NimbrelSession::NimbrelSession(const std::string& standin_options) {
  remove_shell_windows_redirect();
  delete_nimbrel_key();
  remove_list_files();
  standin_ = std::make_unique<standin::StandinProcess>(standin_options);
}

NimbrelSession::~NimbrelSession() {
  nimbrel_.reset();
  if (standin_) standin_->stop();
  remove_list_files();
  delete_nimbrel_key();
}

void NimbrelSession::start(bool wait, const std::wstring& exe) {
  nimbrel_ = std::make_unique<NimbrelProcess>(exe);
  if (wait) main_ = nimbrel_->wait_for_main_window();
}

std::wstring NimbrelSession::text(int id) const {
  const HWND found = control(id);
  return found ? window_text(found) : L"<no control>";
}

int NimbrelSession::front_page() const {
  std::vector<HWND> pages;
  for (int id : kPagePanels) pages.push_back(GetDlgItem(main_, id));
  for (HWND child = GetWindow(main_, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
    const auto found = std::find(pages.begin(), pages.end(), child);
    if (found != pages.end() && IsWindowVisible(child)) return static_cast<int>(found - pages.begin()) + 1;
  }
  return 0;
}

NimbrelSession::CaptionLook NimbrelSession::caption_look(int number) const {
  const HWND label = control(kCaptionLabels[number - 1]);
  if (!label) return CaptionLook::none;
  const ScreenImage image = ScreenImage::capture(screen_rect(label));
  const COLORREF red = RGB(255, 0, 0), blue = RGB(0, 0, 255), plain = GetSysColor(COLOR_WINDOWTEXT);
  const int reds = image.count(red), blues = image.count(blue), plains = image.count(plain);
  if (reds > 0 && blues == 0 && has_line_of(image, red)) return CaptionLook::red;
  if (blues > 0 && reds == 0 && has_line_of(image, blue)) return CaptionLook::blue;
  if (plains > 0 && reds == 0 && blues == 0 && !has_line_of(image, plain)) return CaptionLook::plain;
  return CaptionLook::none;
}

NimbrelSession::CaptionLook NimbrelSession::wait_for_caption(int number, CaptionLook wanted) const {
  CaptionLook seen = CaptionLook::none;
  wait_until([&] { return (seen = caption_look(number)) == wanted; }, 5s);
  return seen;
}

void NimbrelSession::raise() const {
  SetWindowPos(main_, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
}

const char* name(NimbrelSession::CaptionLook look) {
  switch (look) {
    case NimbrelSession::CaptionLook::plain: return "plain";
    case NimbrelSession::CaptionLook::red: return "red, underlined";
    case NimbrelSession::CaptionLook::blue: return "blue, underlined";
    case NimbrelSession::CaptionLook::none: break;
  }
  return "none of the three";
}

void ShownProgramTest::SetUp() {
  session_.start();
  main_ = session_.main();
  ASSERT_NE(main_, nullptr);
  session_.raise();
}

void ShownProgramTest::press(WPARAM key, DWORD pause_ms) {
  PostMessageW(main_, WM_KEYDOWN, key, 0);
  PostMessageW(main_, WM_KEYUP, key, 0xC0000000);
  Sleep(pause_ms);
}

}  // namespace e2e
