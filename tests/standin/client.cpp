#include "standin/client.h"

#include <charconv>
#include <condition_variable>
#include <deque>
#include <mutex>
#include <stdexcept>
#include <thread>

namespace standin {

// Shared with the reading thread, which ends when the pipe ends and may outlive us.
struct StandinProcess::Output {
  UniqueHandle pipe;
  std::mutex mutex;
  std::condition_variable changed;
  std::deque<std::string> lines;
  bool ended = false;
};

void StandinProcess::read_lines(std::shared_ptr<Output> output) {
  std::string pending;
  char buffer[4096];
  DWORD read = 0;
  while (ReadFile(output->pipe.get(), buffer, sizeof buffer, &read, nullptr) && read > 0) {
    pending.append(buffer, read);
    for (size_t end; (end = pending.find('\n')) != std::string::npos; pending.erase(0, end + 1)) {
      std::string line = pending.substr(0, end);
      if (!line.empty() && line.back() == '\r') line.pop_back();
      std::lock_guard lock(output->mutex);
      output->lines.push_back(std::move(line));
      output->changed.notify_all();
    }
  }
  std::lock_guard lock(output->mutex);
  output->ended = true;
  output->changed.notify_all();
}

namespace {

std::wstring widen(const std::string& ascii) { return {ascii.begin(), ascii.end()}; }

// A pipe whose child end only is inheritable.
void make_pipe(UniqueHandle& read_end, UniqueHandle& write_end, bool child_reads) {
  SECURITY_ATTRIBUTES inheritable{sizeof inheritable, nullptr, TRUE};
  if (!CreatePipe(read_end.out(), write_end.out(), &inheritable, 0))
    throw std::runtime_error("CreatePipe failed");
  SetHandleInformation(child_reads ? write_end.get() : read_end.get(), HANDLE_FLAG_INHERIT, 0);
}

}  // namespace

StandinProcess::StandinProcess(const std::string& options, std::chrono::milliseconds ready_timeout)
    : output_(std::make_shared<Output>()) {
  UniqueHandle child_input, child_output;
  make_pipe(child_input, input_, true);
  make_pipe(output_->pipe, child_output, false);

  STARTUPINFOW startup{};
  startup.dwFlags = STARTF_USESTDHANDLES;
  startup.hStdInput = child_input.get();
  startup.hStdOutput = child_output.get();
  startup.hStdError = GetStdHandle(STD_ERROR_HANDLE);
  process_ = ChildProcess::start(beside_this_program(L"standin.exe"), widen(options), startup, true);
  // Our copies of the child's ends must go, or its end of output is never seen.
  child_input.reset();
  child_output.reset();
  std::thread(read_lines, output_).detach();

  const std::string first = next_line(ready_timeout);
  if (first != "READY") throw std::runtime_error("standin.exe said \"" + first + "\", not READY");
}

StandinProcess::~StandinProcess() { stop(); }

bool StandinProcess::stop(std::chrono::milliseconds timeout) {
  input_.reset();
  const bool ended = process_.wait_for_exit(timeout);
  const bool clean = ended && process_.exit_code() == 0u;
  process_.terminate();
  return clean;
}

std::string StandinProcess::next_line(std::chrono::milliseconds timeout) {
  std::unique_lock lock(output_->mutex);
  if (!output_->changed.wait_for(lock, timeout,
                                 [&] { return !output_->lines.empty() || output_->ended; }))
    throw std::runtime_error("standin.exe did not answer in time");
  if (output_->lines.empty()) throw std::runtime_error("standin.exe ended");
  std::string line = std::move(output_->lines.front());
  output_->lines.pop_front();
  return line;
}

std::string StandinProcess::command(const std::string& line, std::chrono::milliseconds timeout) {
  const std::string text = line + "\n";
  DWORD written = 0;
  if (!input_ || !WriteFile(input_.get(), text.data(), static_cast<DWORD>(text.size()), &written,
                            nullptr))
    throw std::runtime_error("cannot write to standin.exe");
  return next_line(timeout);
}

int StandinProcess::number(const std::string& line, std::chrono::milliseconds timeout) {
  const std::string answer = command(line, timeout);
  int value = 0;
  const auto [end, error] = std::from_chars(answer.data(), answer.data() + answer.size(), value);
  if (error != std::errc() || end != answer.data() + answer.size())
    throw std::runtime_error("\"" + line + "\" answered \"" + answer + "\"");
  return value;
}

}  // namespace standin
