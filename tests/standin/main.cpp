// standin.exe: a COM local server that stands in for the shell's window collection in
// tests. See README.md beside this file for its commands.
#include "commands.h"
#include "control_channel.h"
#include "registration.h"
#include "window_collection.h"

#include <objbase.h>

#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

using namespace standin;

struct Options {
  int fake_windows = 0;
  int real_windows = 0;
};

bool parse_options(int argc, char** argv, Options& options) {
  for (int i = 1; i < argc; ++i) {
    const std::string option = argv[i];
    if (i + 1 >= argc) return false;
    const int value = std::atoi(argv[++i]);
    if (option == "--fake")
      options.fake_windows = value;
    else if (option == "--ie")
      options.real_windows = value;
    else
      return false;
  }
  return true;
}

class ComApartment {
 public:
  ComApartment() : result_(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)) {}
  ComApartment(const ComApartment&) = delete;
  ComApartment& operator=(const ComApartment&) = delete;
  ~ComApartment() {
    if (SUCCEEDED(result_)) CoUninitialize();
  }
  HRESULT result() const { return result_; }

 private:
  HRESULT result_;
};

// Fake windows come first, so that a pass over the collection that stops at the
// first real Wine window (whose ToolBar fails) still reaches them.
bool populate(Commands& commands, const Options& options) {
  for (int i = 1; i <= options.fake_windows; ++i)
    commands.add_fake(1, L"http://fake" + std::to_wstring(i) + L".test/");
  for (int i = 0; i < options.real_windows; ++i) {
    const std::string answer = commands.add_real();
    if (answer.rfind("ERR", 0) == 0) {
      std::fprintf(stderr, "standin: %s\n", answer.c_str());
      return false;
    }
  }
  return true;
}

int serve(const Options& options) {
  auto shell = make_com<WindowCollection>();
  Commands commands(*shell.Get());
  if (!populate(commands, options)) return 3;

  // A fresh class id each run: rpcss remembers registrations of killed stand-ins.
  CLSID clsid{};
  CoCreateGuid(&clsid);
  const ClassRegistration registration(clsid, make_class_factory(static_cast<IShellWindows*>(shell.Get())).Get());
  if (FAILED(registration.result())) {
    std::fprintf(stderr, "standin: CoRegisterClassObject failed 0x%08lX\n",
                 static_cast<unsigned long>(registration.result()));
    return 4;
  }
  const TreatAsRedirect redirect(clsid);
  if (redirect.result() != ERROR_SUCCESS) {
    std::fprintf(stderr, "standin: writing TreatAs failed %ld\n", redirect.result());
    return 5;
  }

  ControlChannel channel([&commands](const std::string& line, bool& stop) {
    std::string answer = commands.run(line);
    stop = commands.quit_requested();
    return answer;
  });
  ControlChannel::answer("READY");
  channel.run();
  shell->close_all();
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  Options options;
  if (!parse_options(argc, argv, options)) {
    std::fprintf(stderr, "usage: standin [--fake N] [--ie N]\n");
    return 2;
  }
  const ComApartment apartment;
  if (FAILED(apartment.result())) return 1;
  return serve(options);
}
