#include "commands.h"

#include <charconv>
#include <cstdio>
#include <sstream>
#include <utility>
#include <vector>

namespace standin {

namespace {

struct CommandError {
  std::string reason;
};

std::wstring from_utf8(const std::string& text) {
  if (text.empty()) return {};
  const int size = MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()),
                                       nullptr, 0);
  std::wstring wide(static_cast<size_t>(size), L'\0');
  MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), wide.data(), size);
  return wide;
}

std::string to_utf8(const std::wstring& text) {
  if (text.empty()) return {};
  const int size = WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()),
                                       nullptr, 0, nullptr, nullptr);
  std::string narrow(static_cast<size_t>(size), '\0');
  WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), narrow.data(), size,
                      nullptr, nullptr);
  return narrow;
}

void check(HRESULT hr, const char* what) {
  if (FAILED(hr)) {
    char text[64];
    std::snprintf(text, sizeof text, "%s failed 0x%08lX", what, static_cast<unsigned long>(hr));
    throw CommandError{text};
  }
}

std::string calls_answer(const FireResult& result) {
  return "sinks=" + std::to_string(result.called) + " failed=" + std::to_string(result.failed);
}

std::string cancel_answer(const FireResult& result) {
  return "cancel=" + std::to_string(result.cancel ? 1 : 0) + " " + calls_answer(result);
}

}  // namespace

// The words of a command line after the command itself.
class Arguments {
 public:
  explicit Arguments(std::vector<std::string> words) : words_(std::move(words)) {}
  size_t size() const { return words_.size(); }
  LONG number(size_t position) const {
    const std::string& word = words_.at(position);
    LONG value = 0;
    const auto [end, error] = std::from_chars(word.data(), word.data() + word.size(), value);
    if (error != std::errc() || end != word.data() + word.size())
      throw CommandError{"not a number: " + word};
    return value;
  }
  std::wstring text(size_t position) const { return from_utf8(words_.at(position)); }

 private:
  std::vector<std::string> words_;
};

struct Commands::Command {
  const char* name;
  size_t arguments;
  std::string (Commands::*run)(const Arguments&);
};

const Commands::Command Commands::kCommands[] = {
    {"count", 0, &Commands::count},
    {"add-fake", 2, &Commands::add_fake},
    {"add-mute", 1, &Commands::add_mute},
    {"add-popup", 1, &Commands::add_popup},
    {"add-hung", 2, &Commands::add_hung},
    {"add-ie", 0, &Commands::add_ie},
    {"add-ie-direct", 0, &Commands::add_ie_direct},
    {"add-empty", 0, &Commands::add_empty},
    {"add-again", 1, &Commands::add_again},
    {"remove", 1, &Commands::remove},
    {"fire-registered", 0, &Commands::fire_registered},
    {"shell-advise", 0, &Commands::shell_advise},
    {"shell-unadvise", 0, &Commands::shell_unadvise},
    {"advise", 1, &Commands::advise},
    {"unadvise", 1, &Commands::unadvise},
    {"quits", 1, &Commands::quits},
    {"totals", 0, &Commands::totals},
    {"held", 0, &Commands::held},
    {"toolbar", 1, &Commands::toolbar},
    {"location", 1, &Commands::location},
    {"navigate", 2, &Commands::navigate},
    {"before-navigate", 2, &Commands::before_navigate},
    {"frame-navigate", 2, &Commands::frame_navigate},
    {"new-window", 1, &Commands::new_window},
    {"quit", 0, &Commands::quit},
    {"cue", 1, &Commands::cue},
    {"armed", 0, &Commands::armed},
    {"slow-unadvise", 1, &Commands::slow_unadvise},
};

std::string Commands::run(const std::string& line) {
  std::istringstream stream(line);
  std::vector<std::string> words;
  for (std::string word; stream >> word;) words.push_back(word);
  if (words.empty()) return "ERR empty command";
  const std::string name = words.front();
  if (name == "arm") {
    try {
      return arm(line);
    } catch (const CommandError& error) {
      return "ERR " + error.reason;
    }
  }
  const Arguments args(std::vector<std::string>(words.begin() + 1, words.end()));

  for (const Command& command : kCommands) {
    if (name != command.name) continue;
    if (args.size() != command.arguments)
      return "ERR " + name + " takes " + std::to_string(command.arguments) + " argument(s)";
    try {
      return (this->*command.run)(args);
    } catch (const CommandError& error) {
      return "ERR " + error.reason;
    } catch (const std::exception& error) {
      return std::string("ERR ") + error.what();
    }
  }
  return "ERR unknown command " + name;
}

WindowControl& Commands::window_at(const Arguments& args) const {
  const WindowCollection::Entry* entry = shell_.entry(args.number(0));
  if (!entry) throw CommandError{"no entry at that index"};
  if (!entry->control) throw CommandError{"not a window of the stand-in"};
  return *entry->control;
}

std::string Commands::add_fake(int toolbar, const std::wstring& url, bool offers_events) {
  auto window = make_com<FakeWindow>(url, toolbar, offers_events);
  WindowControl* control = window.Get();
  return std::to_string(shell_.add(static_cast<IWebBrowser2*>(window.Get()), control));
}

std::string Commands::add_real() {
  ComPtr<RealWindow> window;
  check(RealWindow::open(window), "opening Internet Explorer");
  WindowControl* control = window.Get();
  return std::to_string(shell_.add(static_cast<IWebBrowser2*>(window.Get()), control));
}

std::string Commands::count(const Arguments&) { return std::to_string(shell_.count()); }

std::string Commands::add_fake(const Arguments& args) {
  return add_fake(args.number(0), args.text(1));
}

std::string Commands::add_mute(const Arguments& args) { return add_fake(1, args.text(0), false); }

std::string Commands::add_ie(const Arguments&) { return add_real(); }

// The browser's own object in the collection, as the shell hands it out: the events it
// fires name the same object that the collection gave.
std::string Commands::add_ie_direct(const Arguments&) {
  ComPtr<RealWindow> window;
  check(RealWindow::open(window), "opening Internet Explorer");
  WindowControl* control = window.Get();
  ComPtr<IDispatch> browser = window->browser();
  ComPtr<IUnknown> keeper = static_cast<IWebBrowser2*>(window.Get());
  return std::to_string(shell_.add(std::move(browser), control, nullptr, std::move(keeper)));
}

std::string Commands::add_popup(const Arguments& args) {
  auto window = make_com<FakeWindow>(args.text(0), 0, true);
  window->close_on_quit();
  WindowControl* control = window.Get();
  return std::to_string(shell_.add(static_cast<IWebBrowser2*>(window.Get()), control));
}

std::string Commands::arm(const std::string& line) {
  std::istringstream stream(line);
  std::string name, where, calls;
  stream >> name >> where >> calls;
  std::string command;
  std::getline(stream >> std::ws, command);
  if (command.empty()) throw CommandError{"arm takes a place, a count and a command"};
  Triggers* triggers = &shell_.read_triggers();
  if (where != "shell") {
    triggers = window_at(Arguments({where})).read_triggers();
    if (!triggers) throw CommandError{"that window's reads cannot be armed"};
  }
  triggers->arm(Arguments({calls}).number(0), [this, command] {
    const std::string answer = run(command);
    if (!armed_answers_.empty()) armed_answers_.push_back('|');
    armed_answers_.append(answer);
  });
  return "OK";
}

std::string Commands::slow_unadvise(const Arguments& args) {
  set_unadvise_delay(static_cast<DWORD>(args.number(0)));
  return "OK";
}

std::string Commands::armed(const Arguments&) { return std::exchange(armed_answers_, {}); }

// Sends a cue to the program's main window and waits for it to be handled: "answered", or
// "timeout" when the program did not handle it within 5 s.
std::string Commands::cue(const Arguments& args) {
  const std::wstring what = args.text(0);
  UINT message = 0;
  if (what == L"taskbar") message = RegisterWindowMessageW(L"TaskbarCreated");
  if (what == L"close") message = WM_CLOSE;
  if (!message) throw CommandError{"cue taskbar or cue close"};
  const HWND program = FindWindowW(L"TTarnwickForm1", nullptr);
  if (!program) throw CommandError{"no program window"};
  DWORD_PTR result = 0;
  return SendMessageTimeoutW(program, message, 0, 0, SMTO_NORMAL, 5000, &result) ? "answered" : "timeout";
}

std::string Commands::add_hung(const Arguments& args) {
  ComPtr<IDispatch> window;
  WindowControl* control = nullptr;
  check(hung_.create(args.text(1), static_cast<DWORD>(args.number(0)) * 1000, window, control), "hung window");
  return std::to_string(shell_.add(std::move(window), control));
}

std::string Commands::add_empty(const Arguments&) {
  return std::to_string(shell_.add(nullptr, nullptr));
}

std::string Commands::add_again(const Arguments& args) {
  const WindowCollection::Entry* entry = shell_.entry(args.number(0));
  if (!entry) throw CommandError{"no entry at that index"};
  // Copies first: adding may move the entries.
  ComPtr<IDispatch> window = entry->window;
  WindowControl* control = entry->control;
  return std::to_string(shell_.add(std::move(window), control));
}

std::string Commands::remove(const Arguments& args) {
  if (!shell_.remove(args.number(0))) throw CommandError{"no entry at that index"};
  return "OK";
}

std::string Commands::fire_registered(const Arguments&) {
  return calls_answer(shell_.fire(kWindowRegistered, shell_.count()));
}

std::string Commands::shell_advise(const Arguments&) {
  return std::to_string(shell_.advise_counts().advised);
}

std::string Commands::shell_unadvise(const Arguments&) {
  return std::to_string(shell_.advise_counts().unadvised);
}

std::string Commands::advise(const Arguments& args) {
  return std::to_string(window_at(args).advise_counts().advised);
}

std::string Commands::unadvise(const Arguments& args) {
  return std::to_string(window_at(args).advise_counts().unadvised);
}

std::string Commands::quits(const Arguments& args) {
  return std::to_string(window_at(args).quit_count());
}

std::string Commands::totals(const Arguments&) {
  const AdviseCounts totals = shell_.window_totals();
  return "advised=" + std::to_string(totals.advised) + " unadvised=" + std::to_string(totals.unadvised);
}

std::string Commands::held(const Arguments&) { return std::to_string(shell_.held_after_removal()); }

std::string Commands::toolbar(const Arguments& args) {
  int value = 0;
  check(window_at(args).toolbar(value), "ToolBar");
  return std::to_string(value);
}

std::string Commands::location(const Arguments& args) {
  std::wstring url;
  check(window_at(args).location(url), "LocationURL");
  return to_utf8(url);
}

std::string Commands::navigate(const Arguments& args) {
  check(window_at(args).navigate(args.text(1)), "Navigate");
  return "OK";
}

std::string Commands::before_navigate(const Arguments& args) {
  FireResult result;
  check(window_at(args).before_navigate2(args.text(1), result), "BeforeNavigate2");
  return cancel_answer(result);
}

std::string Commands::frame_navigate(const Arguments& args) {
  FireResult result;
  check(window_at(args).frame_before_navigate2(args.text(1), result), "BeforeNavigate2 of a frame");
  return cancel_answer(result);
}

std::string Commands::new_window(const Arguments& args) {
  FireResult result;
  check(window_at(args).new_window2(result), "NewWindow2");
  return cancel_answer(result);
}

std::string Commands::quit(const Arguments&) {
  quit_requested_ = true;
  return "BYE";
}

}  // namespace standin
