// Drives standin.exe (the test shell's window collection) from a test program.
#pragma once

#include "standin/child_process.h"

#include <chrono>
#include <memory>
#include <string>

namespace standin {

using namespace std::chrono_literals;

// standin.exe from beside the running program, with its standard input and output
// connected to us. Every failure (no READY, no answer in time) throws std::runtime_error.
class StandinProcess {
 public:
  // options: its command-line options, e.g. "--fake 1 --ie 1".
  explicit StandinProcess(const std::string& options = "",
                          std::chrono::milliseconds ready_timeout = 60s);
  StandinProcess(const StandinProcess&) = delete;
  StandinProcess& operator=(const StandinProcess&) = delete;
  // Closes its standard input (it then ends by itself), kills it if that takes too long.
  ~StandinProcess();

  // Sends one command and returns its answer line.
  std::string command(const std::string& line, std::chrono::milliseconds timeout = 30s);
  // A command whose answer is a number (a count or an index).
  int number(const std::string& line, std::chrono::milliseconds timeout = 30s);
  // Ends it at once, as a crashing shell would end: no clean-up of its own.
  void kill() { process_.terminate(); }
  // Ends it by closing its standard input; true if it exited with code 0 in time.
  bool stop(std::chrono::milliseconds timeout = 15s);

  DWORD process_id() const { return process_.id(); }

 private:
  struct Output;  // lines read by a thread of its own
  static void read_lines(std::shared_ptr<Output> output);
  std::string next_line(std::chrono::milliseconds timeout);

  ChildProcess process_;
  UniqueHandle input_;
  std::shared_ptr<Output> output_;
};

}  // namespace standin
