#include "child_process.h"

#include <stdexcept>
#include <vector>

namespace standin {

std::wstring beside_this_program(const std::wstring& file_name) {
  std::vector<wchar_t> path(MAX_PATH);
  DWORD length = 0;
  while ((length = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()))) ==
         path.size())
    path.resize(path.size() * 2);
  std::wstring directory(path.data(), length);
  directory.erase(directory.find_last_of(L"\\/") + 1);
  return directory + file_name;
}

ChildProcess ChildProcess::start(const std::wstring& program, const std::wstring& arguments,
                                 STARTUPINFOW& startup, bool inherit_handles) {
  std::wstring command_line = L"\"" + program + L"\"";
  if (!arguments.empty()) command_line += L" " + arguments;
  PROCESS_INFORMATION info{};
  startup.cb = sizeof startup;
  if (!CreateProcessW(program.c_str(), command_line.data(), nullptr, nullptr, inherit_handles,
                      CREATE_NO_WINDOW, nullptr, nullptr, &startup, &info))
    throw std::runtime_error("cannot start program, error " + std::to_string(GetLastError()));
  CloseHandle(info.hThread);
  ChildProcess child;
  child.process_.reset(info.hProcess);
  child.id_ = info.dwProcessId;
  return child;
}

bool ChildProcess::running() const {
  return process_ && WaitForSingleObject(process_.get(), 0) == WAIT_TIMEOUT;
}

bool ChildProcess::wait_for_exit(std::chrono::milliseconds timeout) const {
  return !process_ ||
         WaitForSingleObject(process_.get(), static_cast<DWORD>(timeout.count())) == WAIT_OBJECT_0;
}

std::optional<DWORD> ChildProcess::exit_code() const {
  DWORD code = 0;
  if (!process_ || running() || !GetExitCodeProcess(process_.get(), &code)) return std::nullopt;
  return code;
}

void ChildProcess::terminate() {
  if (!running()) return;
  TerminateProcess(process_.get(), 255);
  WaitForSingleObject(process_.get(), 10000);
}

}  // namespace standin
