// Child processes and handles for test drivers.
#pragma once

#include <windows.h>

#include <chrono>
#include <optional>
#include <string>
#include <utility>

namespace standin {

class UniqueHandle {
 public:
  UniqueHandle() = default;
  explicit UniqueHandle(HANDLE handle) : handle_(handle == INVALID_HANDLE_VALUE ? nullptr : handle) {}
  UniqueHandle(UniqueHandle&& other) noexcept : handle_(std::exchange(other.handle_, nullptr)) {}
  UniqueHandle& operator=(UniqueHandle&& other) noexcept {
    if (this != &other) reset(std::exchange(other.handle_, nullptr));
    return *this;
  }
  UniqueHandle(const UniqueHandle&) = delete;
  UniqueHandle& operator=(const UniqueHandle&) = delete;
  ~UniqueHandle() { reset(); }

  HANDLE get() const { return handle_; }
  HANDLE* out() {
    reset();
    return &handle_;
  }
  void reset(HANDLE handle = nullptr) {
    if (handle_) CloseHandle(handle_);
    handle_ = handle;
  }
  explicit operator bool() const { return handle_ != nullptr; }

 private:
  HANDLE handle_ = nullptr;
};

// The full path of a file in the directory of the running program.
std::wstring beside_this_program(const std::wstring& file_name);

// A started child process; terminated when destroyed if it is still running.
class ChildProcess {
 public:
  ChildProcess() = default;
  ChildProcess(ChildProcess&&) = default;
  ChildProcess& operator=(ChildProcess&&) = default;
  ~ChildProcess() { terminate(); }

  // Starts program with the given argument text. Only handles made inheritable
  // and named in startup reach the child when inherit_handles is set.
  // Throws std::runtime_error when the process cannot be started.
  static ChildProcess start(const std::wstring& program, const std::wstring& arguments,
                            STARTUPINFOW& startup, bool inherit_handles);

  DWORD id() const { return id_; }
  HANDLE handle() const { return process_.get(); }
  bool running() const;
  bool wait_for_exit(std::chrono::milliseconds timeout) const;
  std::optional<DWORD> exit_code() const;
  // Kills the process if it is still running and waits until it is gone.
  void terminate();

 private:
  UniqueHandle process_;
  DWORD id_ = 0;
};

}  // namespace standin
