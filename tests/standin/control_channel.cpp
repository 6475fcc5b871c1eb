#include "control_channel.h"

#include <cstdio>
#include <iostream>
#include <thread>

namespace standin {

namespace {
constexpr UINT kLinesWaiting = WM_APP + 1;
const wchar_t kWindowClass[] = L"NimbrelStandinControl";
}  // namespace

ControlChannel::ControlChannel(Handler handler) : handler_(std::move(handler)) {
  WNDCLASSW window_class{};
  window_class.lpfnWndProc = window_procedure;
  window_class.hInstance = GetModuleHandleW(nullptr);
  window_class.lpszClassName = kWindowClass;
  RegisterClassW(&window_class);
  window_ = CreateWindowExW(0, kWindowClass, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                            window_class.hInstance, nullptr);
  SetWindowLongPtrW(window_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
}

ControlChannel::~ControlChannel() {
  if (window_) DestroyWindow(window_);
}

void ControlChannel::answer(const std::string& line) {
  std::fputs((line + "\n").c_str(), stdout);
  std::fflush(stdout);
}

void ControlChannel::run() {
  // Blocked in a read when the process ends; nothing to join.
  std::thread(read_input, inbox_, window_).detach();
  MSG message;
  while (GetMessageW(&message, nullptr, 0, 0) > 0) {
    TranslateMessage(&message);
    DispatchMessageW(&message);
  }
}

void ControlChannel::read_input(std::shared_ptr<Inbox> inbox, HWND window) {
  for (std::string line; std::getline(std::cin, line);) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    {
      std::lock_guard lock(inbox->mutex);
      inbox->lines.push_back(line);
    }
    PostMessageW(window, kLinesWaiting, 0, 0);
  }
  {
    std::lock_guard lock(inbox->mutex);
    inbox->ended = true;
  }
  PostMessageW(window, kLinesWaiting, 0, 0);
}

// An outgoing COM call of a command may dispatch our own messages while it waits;
// lines that arrive meanwhile are left for the outer call, so commands never nest.
void ControlChannel::drain() {
  if (draining_ || stopped_) return;
  draining_ = true;
  for (;;) {
    std::string line;
    {
      std::lock_guard lock(inbox_->mutex);
      if (inbox_->lines.empty()) {
        if (inbox_->ended) stop();
        break;
      }
      line = std::move(inbox_->lines.front());
      inbox_->lines.pop_front();
    }
    bool stop_requested = false;
    answer(handler_(line, stop_requested));
    if (stop_requested) {
      stop();
      break;
    }
  }
  draining_ = false;
}

// Lines still waiting are not run; WM_QUIT comes only after every other message.
void ControlChannel::stop() {
  stopped_ = true;
  PostQuitMessage(0);
}

LRESULT CALLBACK ControlChannel::window_procedure(HWND window, UINT message, WPARAM w, LPARAM l) {
  if (message == kLinesWaiting) {
    auto* channel = reinterpret_cast<ControlChannel*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    if (channel) channel->drain();
    return 0;
  }
  return DefWindowProcW(window, message, w, l);
}

}  // namespace standin
