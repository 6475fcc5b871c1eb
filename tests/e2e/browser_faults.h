// Driving nimbrel.exe through browser faults and load: a sampler of the main window's
// answers, timing, and the program's private memory as Linux counts it.
#pragma once

#include <windows.h>

#include <atomic>
#include <chrono>
#include <functional>
#include <optional>
#include <thread>

namespace e2e {

// Sends WM_NULL to a window every `period` with a 2 s timeout, on a thread of its own,
// for as long as it lives.
class AnswerSampler {
 public:
  explicit AnswerSampler(HWND window, std::chrono::milliseconds period = std::chrono::milliseconds(100));
  AnswerSampler(const AnswerSampler&) = delete;
  AnswerSampler& operator=(const AnswerSampler&) = delete;
  ~AnswerSampler();
  int samples() const { return samples_; }
  int missed() const { return missed_; }  // samples not answered within 2 s
  std::chrono::milliseconds slowest() const { return std::chrono::milliseconds(slowest_.load()); }

 private:
  std::atomic<bool> stop_{false};
  std::atomic<int> samples_{0}, missed_{0};
  std::atomic<long long> slowest_{0};
  std::thread thread_;
};

// How long an action takes.
std::chrono::milliseconds time_of(const std::function<void()>& action);

// The private memory (RssAnon, in KiB) of the process running our nimbrel.exe, read
// from Linux's /proc through Wine's drive Z:; nullopt when it cannot be found.
std::optional<long> nimbrel_private_kib();

}  // namespace e2e
