#include "support/desktop_windows.h"

#include <vector>

namespace e2e {

namespace {

struct Search {
  DWORD process_id;
  const std::wstring* class_name;
  const wchar_t* caption;
  HWND found;
};

std::wstring class_of(HWND window) {
  wchar_t name[256] = {};
  GetClassNameW(window, name, 256);
  return name;
}

BOOL CALLBACK match(HWND window, LPARAM parameter) {
  auto& search = *reinterpret_cast<Search*>(parameter);
  DWORD owner = 0;
  GetWindowThreadProcessId(window, &owner);
  if (owner != search.process_id || class_of(window) != *search.class_name) return TRUE;
  if (search.caption && window_text(window) != search.caption) return TRUE;
  search.found = window;
  return FALSE;
}

}  // namespace

HWND find_top_level_window(DWORD process_id, const std::wstring& class_name,
                           const wchar_t* caption) {
  Search search{process_id, &class_name, caption, nullptr};
  EnumWindows(match, reinterpret_cast<LPARAM>(&search));
  return search.found;
}

std::wstring window_text(HWND window) {
  std::vector<wchar_t> text(static_cast<size_t>(GetWindowTextLengthW(window)) + 1);
  const int length = GetWindowTextW(window, text.data(), static_cast<int>(text.size()));
  return std::wstring(text.data(), static_cast<size_t>(length));
}

std::wstring message_box_text(HWND box) {
  const HWND text = GetDlgItem(box, 0xFFFF);
  return text ? window_text(text) : L"";
}

void press_ok(HWND box) { PostMessageW(box, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0); }

bool move_pointer(int x, int y) {
  // Wine answers GetCursorPos from its own copy for 100 ms after a move and asks the X
  // server after that; reading past that age proves the server has the new position.
  for (int attempt = 0; attempt < 20; ++attempt) {
    SetCursorPos(x, y);
    Sleep(120);
    POINT at{};
    if (GetCursorPos(&at) && at.x == x && at.y == y) return true;
  }
  return false;
}

}  // namespace e2e
