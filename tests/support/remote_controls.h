// The controls of another process, read and worked from a driver: list-view messages carry
// pointers, so their records and text buffers are placed in the owner's memory; edit
// texts go through WM_GETTEXT / WM_SETTEXT, which the system copies across by itself.
// Every message has a time limit, so a hung program fails a test instead of stopping it.
#pragma once

#include "standin/child_process.h"

#include <windows.h>

#include <chrono>
#include <optional>
#include <string>
#include <vector>

namespace e2e {

using namespace std::chrono_literals;

// A block of memory inside another process, freed when destroyed. Throws
// std::runtime_error when it cannot be had.
class RemoteMemory {
 public:
  RemoteMemory(HANDLE process, size_t size);
  RemoteMemory(const RemoteMemory&) = delete;
  RemoteMemory& operator=(const RemoteMemory&) = delete;
  ~RemoteMemory();

  // The block's address in the other process (not usable here).
  char* address() const { return address_; }
  void write(const void* data, size_t size, size_t offset = 0) const;
  void read(void* data, size_t size, size_t offset = 0) const;

 private:
  HANDLE process_;
  char* address_ = nullptr;
};

// SendMessageTimeout with a time limit; nullopt when the window did not answer in time.
std::optional<LRESULT> send_message(HWND window, UINT message, WPARAM wparam, LPARAM lparam,
                                    std::chrono::milliseconds timeout = 5s);

// A report-style list view of another process.
class RemoteListView {
 public:
  explicit RemoteListView(HWND view);

  HWND hwnd() const { return view_; }
  int row_count() const;
  std::wstring text(int row, int column) const;
  // One column of every row, first row first.
  std::vector<std::wstring> column(int column) const;
  // Selects and focuses a row, as a click on it would.
  bool select(int row) const;
  // The row's bounds in the list view's client area.
  std::optional<RECT> row_rect(int row) const;

 private:
  HWND view_;
  standin::UniqueHandle process_;
};

// The descendant of root with this control id, or nullptr.
HWND descendant_with_id(HWND root, int id);
// The text of a control (an edit box's contents), by WM_GETTEXT.
std::wstring control_text(HWND control);
// Replaces a control's text by WM_SETTEXT; false if it did not answer.
bool set_control_text(HWND control, const std::wstring& text);

}  // namespace e2e
