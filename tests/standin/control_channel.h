// Carries command lines from standard input to the apartment thread, and answers back.
//
// A reader thread reads lines and posts them to a message-only window of the
// apartment thread, which runs each one through the handler; COM calls therefore
// happen on the apartment thread, and never inside a sent (input-synchronous) message.
#pragma once

#include <windows.h>

#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <string>

namespace standin {

class ControlChannel {
 public:
  // Runs one command line; returns the answer line and whether to stop.
  using Handler = std::function<std::string(const std::string& line, bool& stop)>;

  explicit ControlChannel(Handler handler);
  ControlChannel(const ControlChannel&) = delete;
  ControlChannel& operator=(const ControlChannel&) = delete;
  ~ControlChannel();

  // Writes one line to standard output at once.
  static void answer(const std::string& line);
  // Reads standard input on a thread of its own and runs the message loop until a
  // command asks to stop or standard input ends.
  void run();

 private:
  // Shared with the reader thread, which may outlive the channel.
  struct Inbox {
    std::mutex mutex;
    std::deque<std::string> lines;
    bool ended = false;
  };

  static LRESULT CALLBACK window_procedure(HWND window, UINT message, WPARAM, LPARAM);
  static void read_input(std::shared_ptr<Inbox> inbox, HWND window);
  void drain();
  void stop();

  Handler handler_;
  std::shared_ptr<Inbox> inbox_ = std::make_shared<Inbox>();
  HWND window_ = nullptr;
  bool draining_ = false;
  bool stopped_ = false;
};

}  // namespace standin
