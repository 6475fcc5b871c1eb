// nimbrel.exe from beside the test program, run as a child process.
#pragma once

#include "standin/child_process.h"

#include <windows.h>

#include <chrono>
#include <optional>
#include <string>

namespace e2e {

using namespace std::chrono_literals;

class NimbrelProcess {
 public:
  static constexpr const wchar_t* kMainWindowClass = L"TTarnwickForm1";
  static constexpr const wchar_t* kTitle = L"Quellix (Nimbrel)";

  // The nimbrel.exe beside the test program, or the one at `exe`.
  explicit NimbrelProcess(const std::wstring& exe = {});
  NimbrelProcess(const NimbrelProcess&) = delete;
  NimbrelProcess& operator=(const NimbrelProcess&) = delete;
  // Closes it if it still runs; kills it if it does not end in time.
  ~NimbrelProcess();

  DWORD id() const { return process_.id(); }
  bool running() const { return process_.running(); }
  // Its main window once it is shown (start-up has run); nullptr after timeout.
  HWND wait_for_main_window(std::chrono::milliseconds timeout = 30s) const;
  // A message box of the process once it is shown; nullptr after timeout.
  HWND wait_for_message_box(std::chrono::milliseconds timeout = 30s) const;
  // Asks the main window to close, as its close box does.
  void close() const;
  bool wait_for_exit(std::chrono::milliseconds timeout = 20s) const;
  std::optional<DWORD> exit_code() const { return process_.exit_code(); }

 private:
  HWND main_window() const;
  standin::ChildProcess process_;
};

}  // namespace e2e
