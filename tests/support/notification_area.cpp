#include "support/notification_area.h"

#include <shellapi.h>

#include <algorithm>
#include <cstddef>
#include <cstring>
#include <iterator>

namespace e2e {
namespace {

constexpr wchar_t kClass[] = L"Shell_TrayWnd";

// Where Wine 8's shell32 puts a record's fields in its WM_COPYDATA (found by sending known
// values through Shell_NotifyIconW): a 32-bit window handle, then the fields in their own
// widths, the texts at their full lengths, then the icon's bits.
struct Record {
  DWORD owner, id, flags, callback;
  wchar_t tip[128];
  DWORD state, stateMask;
  wchar_t info[256];
  UINT timeout;
  wchar_t infoTitle[64];
  DWORD infoFlags;
};
static_assert(sizeof(Record) == 0x3a0 && offsetof(Record, info) == 0x118 && offsetof(Record, infoTitle) == 0x31c);

template <size_t N>
std::wstring text_of(const wchar_t (&chars)[N]) { return {chars, std::find(chars, chars + N, L'\0')}; }

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
  Record r;
  if (!data || size < sizeof r) return;
  std::memcpy(&r, data, sizeof r);
  Call call{message, reinterpret_cast<HWND>(static_cast<ULONG_PTR>(r.owner)), r.id, r.flags, text_of(r.info),
            text_of(r.infoTitle), r.infoFlags};
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
