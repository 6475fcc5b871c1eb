// A notification area of the test's own: Wine's Shell_NotifyIcon finds the task bar's
// window by its class "Shell_TrayWnd" and hands it each call's record by WM_COPYDATA.
// This window takes the calls first (it is the newest top-most one of that class), keeps
// what they said, and hands them on to the session's own tray, which goes on showing the
// icons and balloons.
#pragma once

#include <windows.h>

#include <cstdint>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace e2e {

class NotificationArea {
 public:
  // One Shell_NotifyIcon call as the shell's record carried it.
  struct Call {
    DWORD message = 0;  // NIM_ADD, NIM_MODIFY, NIM_DELETE, ...
    HWND owner = nullptr;
    UINT id = 0, flags = 0;
    std::wstring info, infoTitle;
    DWORD infoFlags = 0;
  };

  NotificationArea();
  ~NotificationArea();
  NotificationArea(const NotificationArea&) = delete;
  NotificationArea& operator=(const NotificationArea&) = delete;

  bool ready() const { return window_ != nullptr; }
  // The balloons asked for (calls with NIF_INFO) by one owner.
  std::vector<Call> notices(HWND owner) const;
  bool icon_added(HWND owner) const;

 private:
  static LRESULT CALLBACK procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  void run(HANDLE created);
  void record(DWORD message, const BYTE* data, DWORD size);

  HWND previous_ = nullptr;  // the session's own tray
  HWND window_ = nullptr;
  DWORD thread_id_ = 0;
  mutable std::mutex mutex_;
  std::vector<Call> calls_;
  std::thread thread_;
};

}  // namespace e2e
