#include "support/remote_controls.h"

#include <commctrl.h>

#include <stdexcept>

namespace e2e {
namespace {

constexpr int kTextCapacity = 2048;  // characters of one list-view cell

// LVITEMW followed by its text buffer, in one remote block.
constexpr size_t kTextOffset = (sizeof(LVITEMW) + 15) / 16 * 16;

LRESULT send_or_throw(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  const auto result = send_message(window, message, wparam, lparam);
  if (!result) throw std::runtime_error("the control did not answer message " + std::to_string(message));
  return *result;
}

struct IdSearch {
  int id;
  HWND found;
};

BOOL CALLBACK match_id(HWND window, LPARAM parameter) {
  auto& search = *reinterpret_cast<IdSearch*>(parameter);
  if (GetDlgCtrlID(window) != search.id) return TRUE;
  search.found = window;
  return FALSE;
}

}  // namespace

RemoteMemory::RemoteMemory(HANDLE process, size_t size) : process_(process) {
  address_ = static_cast<char*>(
      VirtualAllocEx(process_, nullptr, size, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE));
  if (!address_) throw std::runtime_error("VirtualAllocEx failed, error " + std::to_string(GetLastError()));
}

RemoteMemory::~RemoteMemory() { VirtualFreeEx(process_, address_, 0, MEM_RELEASE); }

void RemoteMemory::write(const void* data, size_t size, size_t offset) const {
  SIZE_T done = 0;
  if (!WriteProcessMemory(process_, address_ + offset, data, size, &done) || done != size)
    throw std::runtime_error("WriteProcessMemory failed, error " + std::to_string(GetLastError()));
}

void RemoteMemory::read(void* data, size_t size, size_t offset) const {
  SIZE_T done = 0;
  if (!ReadProcessMemory(process_, address_ + offset, data, size, &done) || done != size)
    throw std::runtime_error("ReadProcessMemory failed, error " + std::to_string(GetLastError()));
}

std::optional<LRESULT> send_message(HWND window, UINT message, WPARAM wparam, LPARAM lparam,
                                    std::chrono::milliseconds timeout) {
  DWORD_PTR result = 0;
  if (!SendMessageTimeoutW(window, message, wparam, lparam, SMTO_ABORTIFHUNG,
                           static_cast<UINT>(timeout.count()), &result))
    return std::nullopt;
  return static_cast<LRESULT>(result);
}

RemoteListView::RemoteListView(HWND view) : view_(view) {
  DWORD owner = 0;
  if (!view_ || !GetWindowThreadProcessId(view_, &owner)) throw std::runtime_error("no list view");
  process_.reset(OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE |
                                 PROCESS_QUERY_INFORMATION,
                             FALSE, owner));
  if (!process_) throw std::runtime_error("cannot open the list view's process");
}

int RemoteListView::row_count() const {
  return static_cast<int>(send_or_throw(view_, LVM_GETITEMCOUNT, 0, 0));
}

std::wstring RemoteListView::text(int row, int column) const {
  const RemoteMemory block(process_.get(), kTextOffset + kTextCapacity * sizeof(wchar_t));
  LVITEMW item{};
  item.iSubItem = column;
  item.pszText = reinterpret_cast<wchar_t*>(block.address() + kTextOffset);
  item.cchTextMax = kTextCapacity;
  block.write(&item, sizeof item);
  const auto length = static_cast<size_t>(
      send_or_throw(view_, LVM_GETITEMTEXTW, row, reinterpret_cast<LPARAM>(block.address())));
  if (length >= kTextCapacity) throw std::runtime_error("list-view cell too long");
  std::wstring text(length, L'\0');
  if (length > 0) block.read(text.data(), length * sizeof(wchar_t), kTextOffset);
  return text;
}

std::vector<std::wstring> RemoteListView::column(int column) const {
  std::vector<std::wstring> texts;
  const int rows = row_count();
  for (int row = 0; row < rows; ++row) texts.push_back(text(row, column));
  return texts;
}

bool RemoteListView::select(int row) const {
  const RemoteMemory block(process_.get(), sizeof(LVITEMW));
  LVITEMW item{};
  item.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
  item.state = LVIS_SELECTED | LVIS_FOCUSED;
  block.write(&item, sizeof item);
  return send_or_throw(view_, LVM_SETITEMSTATE, row, reinterpret_cast<LPARAM>(block.address())) != FALSE;
}

std::optional<RECT> RemoteListView::row_rect(int row) const {
  const RemoteMemory block(process_.get(), sizeof(RECT));
  RECT rect{};
  rect.left = LVIR_BOUNDS;
  block.write(&rect, sizeof rect);
  if (!send_or_throw(view_, LVM_GETITEMRECT, row, reinterpret_cast<LPARAM>(block.address())))
    return std::nullopt;
  block.read(&rect, sizeof rect);
  return rect;
}

HWND descendant_with_id(HWND root, int id) {
  IdSearch search{id, nullptr};
  if (root) EnumChildWindows(root, match_id, reinterpret_cast<LPARAM>(&search));
  return search.found;
}

std::wstring control_text(HWND control) {
  const auto length = send_message(control, WM_GETTEXTLENGTH, 0, 0);
  if (!length) throw std::runtime_error("the control did not answer WM_GETTEXTLENGTH");
  std::wstring text(static_cast<size_t>(*length) + 1, L'\0');
  const auto copied = send_message(control, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()));
  if (!copied) throw std::runtime_error("the control did not answer WM_GETTEXT");
  text.resize(static_cast<size_t>(*copied));
  return text;
}

bool set_control_text(HWND control, const std::wstring& text) {
  const auto result = send_message(control, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
  return result && *result != FALSE;
}

}  // namespace e2e
