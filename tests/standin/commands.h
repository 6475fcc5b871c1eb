// The stand-in's control channel: one command line in, one answer line out.
#pragma once

#include "window_collection.h"

#include <string>

namespace standin {

class Commands {
 public:
  explicit Commands(WindowCollection& shell) : shell_(shell) {}

  // Runs one command line (UTF-8) on the apartment thread and returns its answer line;
  // failures answer "ERR <reason>".
  std::string run(const std::string& line);
  bool quit_requested() const { return quit_requested_; }

  // The windows that --fake and --ie put into the collection before start.
  std::string add_fake(int toolbar, const std::wstring& url, bool offers_events = true);
  std::string add_real();

 private:
  WindowCollection& shell_;
  bool quit_requested_ = false;
};

}  // namespace standin
