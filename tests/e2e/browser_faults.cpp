#include "e2e/browser_faults.h"

#include "../src/ui/control_ids.h"
#include "standin/child_process.h"

#include <algorithm>
#include <exception>
#include <fstream>
#include <iterator>
#include <string>

namespace e2e {

namespace ids = nimbrel::ids;

PostedSampler::PostedSampler(HWND main_window, HWND exception_page_control, std::chrono::milliseconds period)
    : thread_([this, main_window, exception_page_control, period] {
        while (!stop_) {
          sample(main_window, exception_page_control);
          Sleep(static_cast<DWORD>(period.count()));
        }
      }) {}

void PostedSampler::sample(HWND main_window, HWND page_control) {
  const bool show_exceptions = !IsWindowVisible(page_control);
  const auto start = std::chrono::steady_clock::now();
  PostMessageW(main_window, WM_COMMAND, show_exceptions ? ids::Exception1 : ids::Preferences1, 0);
  while (!stop_ && (IsWindowVisible(page_control) != FALSE) != show_exceptions) Sleep(5);
  const auto took =
      std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - start).count();
  ++samples_;
  slowest_ = std::max<long long>(slowest_, took);
  if (took > 1000) held_ += took;
}

void PostedSampler::stop() {
  stop_ = true;
  if (thread_.joinable()) thread_.join();
}

std::chrono::milliseconds time_of(const std::function<void()>& action) {
  const auto start = std::chrono::steady_clock::now();
  action();
  return std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - start);
}

namespace {

// A process of another checkout may end while its /proc files are read: the read then
// fails, and that process is simply not ours to measure.
std::string read_all(const std::wstring& path) {
  try {
    std::ifstream file(path.c_str(), std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
  } catch (const std::exception&) {
    return {};
  }
}

std::string lower(std::string text) {
  std::transform(text.begin(), text.end(), text.begin(), [](unsigned char c) { return std::tolower(c); });
  return text;
}

}  // namespace

std::optional<long> nimbrel_private_kib() {
  // Our own nimbrel.exe, by the tail of its path without the drive, which Linux may show
  // either way (other checkouts run theirs meanwhile).
  const std::wstring exe = standin::beside_this_program(L"nimbrel.exe");
  std::string tail;
  for (wchar_t c : exe.substr(exe.size() > 24 ? exe.size() - 24 : 0)) tail += static_cast<char>(c);
  tail = lower(tail);
  WIN32_FIND_DATAW found{};
  HANDLE search = FindFirstFileW(L"Z:\\proc\\*", &found);
  if (search == INVALID_HANDLE_VALUE) return std::nullopt;
  std::optional<long> kib;
  do {
    const std::wstring pid = found.cFileName;
    if (pid.empty() || !std::all_of(pid.begin(), pid.end(), iswdigit)) continue;
    std::string command = lower(read_all(L"Z:\\proc\\" + pid + L"\\cmdline"));
    std::replace(command.begin(), command.end(), '/', '\\');
    if (command.find(tail) == std::string::npos) continue;
    const std::string status = read_all(L"Z:\\proc\\" + pid + L"\\status");
    const size_t at = status.find("RssAnon:");
    if (at != std::string::npos) kib = std::stol(status.substr(at + 8));
  } while (!kib && FindNextFileW(search, &found));
  FindClose(search);
  return kib;
}

}  // namespace e2e
