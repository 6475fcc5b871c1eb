#include "commands.h"

#include <charconv>
#include <cstdio>
#include <functional>
#include <map>
#include <sstream>
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

std::string hresult_text(HRESULT hr) {
  char text[16];
  std::snprintf(text, sizeof text, "0x%08lX", static_cast<unsigned long>(hr));
  return text;
}

void check(HRESULT hr, const char* what) {
  if (FAILED(hr)) throw CommandError{std::string(what) + " failed " + hresult_text(hr)};
}

std::string fire_answer(const FireResult& result) {
  return "cancel=" + std::to_string(result.cancel ? 1 : 0) +
         " sinks=" + std::to_string(result.called) + " failed=" + std::to_string(result.failed);
}

// The words of a command line: the command, then its arguments.
class Arguments {
 public:
  explicit Arguments(const std::string& line) {
    std::istringstream words(line);
    for (std::string word; words >> word;) words_.push_back(word);
  }
  const std::string& command() const { return words_.at(0); }
  bool empty() const { return words_.empty(); }
  void expect(size_t count) const {
    if (words_.size() != count + 1)
      throw CommandError{command() + " takes " + std::to_string(count) + " argument(s)"};
  }
  LONG number(size_t position) const {
    const std::string& word = words_.at(position + 1);
    LONG value = 0;
    const auto [end, error] = std::from_chars(word.data(), word.data() + word.size(), value);
    if (error != std::errc() || end != word.data() + word.size())
      throw CommandError{"not a number: " + word};
    return value;
  }
  std::wstring text(size_t position) const { return from_utf8(words_.at(position + 1)); }

 private:
  std::vector<std::string> words_;
};

}  // namespace

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

std::string Commands::run(const std::string& line) {
  const Arguments args(line);
  if (args.empty()) return "ERR empty command";

  const auto window_at = [&](size_t position) -> WindowControl& {
    const WindowCollection::Entry* entry = shell_.entry(args.number(position));
    if (!entry) throw CommandError{"no entry at that index"};
    if (!entry->control) throw CommandError{"not a window of the stand-in"};
    return *entry->control;
  };

  using Handler = std::function<std::string()>;
  const std::map<std::string, Handler> handlers{
      {"count", [&] { args.expect(0); return std::to_string(shell_.count()); }},
      {"add-ie", [&] { args.expect(0); return add_real(); }},
      {"add-fake", [&] { args.expect(2); return add_fake(args.number(0), args.text(1)); }},
      {"add-mute", [&] { args.expect(1); return add_fake(1, args.text(0), false); }},
      {"add-empty",
       [&] { args.expect(0); return std::to_string(shell_.add(nullptr, nullptr)); }},
      {"add-again",
       [&] {
         args.expect(1);
         const WindowCollection::Entry* entry = shell_.entry(args.number(0));
         if (!entry) throw CommandError{"no entry at that index"};
         return std::to_string(shell_.add(entry->window, entry->control));
       }},
      {"remove",
       [&] {
         args.expect(1);
         if (!shell_.remove(args.number(0))) throw CommandError{"no entry at that index"};
         return std::string("OK");
       }},
      {"fire-registered",
       [&] {
         args.expect(0);
         const FireResult result = shell_.fire(kWindowRegistered, shell_.count());
         return "sinks=" + std::to_string(result.called) + " failed=" + std::to_string(result.failed);
       }},
      {"shell-advise", [&] { args.expect(0); return std::to_string(shell_.advise_counts().advised); }},
      {"shell-unadvise",
       [&] { args.expect(0); return std::to_string(shell_.advise_counts().unadvised); }},
      {"advise",
       [&] { args.expect(1); return std::to_string(window_at(0).advise_counts().advised); }},
      {"unadvise",
       [&] { args.expect(1); return std::to_string(window_at(0).advise_counts().unadvised); }},
      {"quits", [&] { args.expect(1); return std::to_string(window_at(0).quit_count()); }},
      {"toolbar",
       [&] {
         args.expect(1);
         int value = 0;
         check(window_at(0).toolbar(value), "ToolBar");
         return std::to_string(value);
       }},
      {"location",
       [&] {
         args.expect(1);
         std::wstring url;
         check(window_at(0).location(url), "LocationURL");
         return to_utf8(url);
       }},
      {"navigate",
       [&] {
         args.expect(2);
         check(window_at(0).navigate(args.text(1)), "Navigate");
         return std::string("OK");
       }},
      {"before-navigate",
       [&] {
         args.expect(2);
         FireResult result;
         check(window_at(0).before_navigate2(args.text(1), result), "BeforeNavigate2");
         return fire_answer(result);
       }},
      {"new-window",
       [&] {
         args.expect(1);
         FireResult result;
         check(window_at(0).new_window2(result), "NewWindow2");
         return fire_answer(result);
       }},
      {"quit",
       [&] {
         args.expect(0);
         quit_requested_ = true;
         return std::string("BYE");
       }},
  };

  const auto handler = handlers.find(args.command());
  if (handler == handlers.end()) return "ERR unknown command " + args.command();
  try {
    return handler->second();
  } catch (const CommandError& error) {
    return "ERR " + error.reason;
  } catch (const std::exception& error) {
    return std::string("ERR ") + error.what();
  }
}

}  // namespace standin
