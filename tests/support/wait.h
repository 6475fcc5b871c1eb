// Polling with a deadline, so that no test waits longer than it must or forever.
#pragma once

#include <windows.h>

#include <chrono>
#include <functional>

namespace e2e {

using namespace std::chrono_literals;

// Polls condition until it holds (true) or timeout has passed (false).
inline bool wait_until(const std::function<bool()>& condition,
                       std::chrono::milliseconds timeout = 20s,
                       std::chrono::milliseconds poll = 20ms) {
  const auto deadline = std::chrono::steady_clock::now() + timeout;
  for (;;) {
    if (condition()) return true;
    if (std::chrono::steady_clock::now() >= deadline) return false;
    Sleep(static_cast<DWORD>(poll.count()));
  }
}

}  // namespace e2e
