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

// How soon the main window handles posted input, sampled on a thread of its own for as
// long as it lives: it posts the commands that show the exception page and the options
// page in turn and waits until the page has changed. A posted message is handled only by
// the program's own loop, never while its main thread waits in a call (sent messages are),
// so a main thread held up in a call shows here.
class PostedSampler {
 public:
  PostedSampler(HWND main_window, HWND exception_page_control,
                std::chrono::milliseconds period = std::chrono::milliseconds(100));
  PostedSampler(const PostedSampler&) = delete;
  PostedSampler& operator=(const PostedSampler&) = delete;
  ~PostedSampler() { stop(); }
  // Ends the sampling; a sample still waiting counts for the time it has waited.
  void stop();
  int samples() const { return samples_; }
  // The time spent in samples that took longer than 1 s: how long the program was held up.
  std::chrono::milliseconds held() const { return std::chrono::milliseconds(held_.load()); }
  std::chrono::milliseconds slowest() const { return std::chrono::milliseconds(slowest_.load()); }

 private:
  void sample(HWND main_window, HWND page_control);
  std::atomic<bool> stop_{false};
  std::atomic<int> samples_{0};
  std::atomic<long long> held_{0}, slowest_{0};
  std::thread thread_;
};

// How long an action takes.
std::chrono::milliseconds time_of(const std::function<void()>& action);

// The private memory (RssAnon, in KiB) of the process running our nimbrel.exe, read
// from Linux's /proc through Wine's drive Z:; nullopt when it cannot be found.
std::optional<long> nimbrel_private_kib();

}  // namespace e2e
