#include "support/notification_area.h"

#include <shellapi.h>

#include <algorithm>
#include <cstring>
#include <iterator>

namespace e2e {
namespace {

constexpr wchar_t kClass[] = L"Shell_TrayWnd";

// Where Wine 8's shell32 puts a record's fields in its WM_COPYDATA (found by sending known
// values through Shell_NotifyIconW): a 32-bit window handle, then the fields in their own
// widths, the texts at their full lengths, then the icon's bits.
struct Layout {
  static constexpr size_t owner = 0x00, id = 0x04, flags = 0x08;
  static constexpr size_t info = 0x118, infoChars = 256;
  static constexpr size_t infoTitle = 0x31c, infoTitleChars = 64;
  static constexpr size_t infoFlags = 0x39c;
  static constexpr size_t end = 0x3a0;
};

DWORD dword_at(const BYTE* data, size_t offset) {
  DWORD value = 0;
  std::memcpy(&value, data + offset, sizeof value);
  return value;
}

std::wstring text_at(const BYTE* data, size_t offset, size_t chars) {
  std::wstring text(chars, L'\0');
  std::memcpy(text.data(), data + offset, chars * sizeof(wchar_t));
  text.resize(std::min(text.find(L'\0'), chars));
  return text;
}

}  // namespace

NotificationArea::NotificationArea() : previous_(FindWindowW(kClass, nullptr)) {
  const HANDLE created = CreateEventW(nullptr, TRUE, FALSE, nullptr);
  thread_ = std::thread([this, created] { run(created); });
  WaitForSingleObject(created, 10000);
  CloseHandle(created);
}

NotificationArea::~NotificationArea() {
  if (thread_id_) PostThreadMessageW(thread_id_, WM_QUIT, 0, 0);
  if (thread_.joinable()) thread_.join();
}

void NotificationArea::run(HANDLE created) {
  thread_id_ = GetCurrentThreadId();
  WNDCLASSW type{};
  type.lpfnWndProc = procedure;
  type.hInstance = GetModuleHandleW(nullptr);
  type.lpszClassName = kClass;
  RegisterClassW(&type);
  const HWND window = CreateWindowExW(WS_EX_TOOLWINDOW | WS_EX_TOPMOST, kClass, L"", WS_POPUP, 0, 0, 1, 1, nullptr,
                                      nullptr, type.hInstance, this);
  SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
  if (window && FindWindowW(kClass, nullptr) == window) window_ = window;
  SetEvent(created);
  MSG message;
  while (GetMessageW(&message, nullptr, 0, 0) > 0) DispatchMessageW(&message);
  if (window) DestroyWindow(window);
  UnregisterClassW(kClass, type.hInstance);
}

LRESULT CALLBACK NotificationArea::procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  auto* self = reinterpret_cast<NotificationArea*>(GetWindowLongPtrW(window, GWLP_USERDATA));
  if (message != WM_COPYDATA || !self) return DefWindowProcW(window, message, wParam, lParam);
  const auto* copy = reinterpret_cast<const COPYDATASTRUCT*>(lParam);
  self->record(static_cast<DWORD>(copy->dwData), static_cast<const BYTE*>(copy->lpData), copy->cbData);
  if (!self->previous_) return TRUE;
  DWORD_PTR answer = FALSE;
  SendMessageTimeoutW(self->previous_, message, wParam, lParam, SMTO_ABORTIFHUNG, 5000, &answer);
  return static_cast<LRESULT>(answer);
}

void NotificationArea::record(DWORD message, const BYTE* data, DWORD size) {
  if (!data || size < Layout::end) return;
  Call call;
  call.message = message;
  call.owner = reinterpret_cast<HWND>(static_cast<ULONG_PTR>(dword_at(data, Layout::owner)));
  call.id = dword_at(data, Layout::id);
  call.flags = dword_at(data, Layout::flags);
  call.info = text_at(data, Layout::info, Layout::infoChars);
  call.infoTitle = text_at(data, Layout::infoTitle, Layout::infoTitleChars);
  call.infoFlags = dword_at(data, Layout::infoFlags);
  const std::lock_guard lock(mutex_);
  calls_.push_back(std::move(call));
}

std::vector<NotificationArea::Call> NotificationArea::notices(HWND owner) const {
  const std::lock_guard lock(mutex_);
  std::vector<Call> found;
  std::copy_if(calls_.begin(), calls_.end(), std::back_inserter(found),
               [&](const Call& call) { return call.owner == owner && (call.flags & NIF_INFO); });
  return found;
}

bool NotificationArea::icon_added(HWND owner) const {
  const std::lock_guard lock(mutex_);
  return std::any_of(calls_.begin(), calls_.end(),
                     [&](const Call& call) { return call.owner == owner && call.message == NIM_ADD; });
}

}  // namespace e2e
