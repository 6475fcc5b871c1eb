#include "support/nimbrel_process.h"

#include "support/desktop_windows.h"
#include "support/wait.h"

namespace e2e {

NimbrelProcess::NimbrelProcess(const std::wstring& exe) {
  STARTUPINFOW startup{};
  process_ = standin::ChildProcess::start(exe.empty() ? standin::beside_this_program(L"nimbrel.exe") : exe, L"",
                                          startup, false);
}

NimbrelProcess::~NimbrelProcess() {
  if (!running()) return;
  close();
  wait_for_exit(10s);
}

HWND NimbrelProcess::main_window() const {
  return find_top_level_window(id(), kMainWindowClass, kTitle);
}

HWND NimbrelProcess::wait_for_main_window(std::chrono::milliseconds timeout) const {
  HWND found = nullptr;
  wait_until([&] { return (found = main_window()) && IsWindowVisible(found); }, timeout);
  return found && IsWindowVisible(found) ? found : nullptr;
}

HWND NimbrelProcess::wait_for_message_box(std::chrono::milliseconds timeout) const {
  // Found before it is shown, a box may not have its texts yet.
  HWND found = nullptr;
  wait_until([&] { return (found = find_top_level_window(id(), L"#32770")) && IsWindowVisible(found); },
             timeout);
  return found && IsWindowVisible(found) ? found : nullptr;
}

void NimbrelProcess::close() const {
  if (const HWND window = main_window()) PostMessageW(window, WM_CLOSE, 0, 0);
}

bool NimbrelProcess::wait_for_exit(std::chrono::milliseconds timeout) const {
  return process_.wait_for_exit(timeout);
}

}  // namespace e2e
