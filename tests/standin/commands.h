// The stand-in's control channel: one command line in, one answer line out.
#pragma once

#include "hung_apartment.h"
#include "window_collection.h"

#include <string>

namespace standin {

class Arguments;

class Commands {
 public:
  explicit Commands(WindowCollection& shell) : shell_(shell) {}

  // Runs one command line (UTF-8) on the apartment thread and returns its answer line;
  // failures answer "ERR <reason>".
  std::string run(const std::string& line);
  bool quit_requested() const { return quit_requested_; }

  // Windows for --fake and --ie before start; answer the new index.
  std::string add_fake(int toolbar, const std::wstring& url, bool offers_events = true);
  std::string add_real();

 private:
  struct Command;
  static const Command kCommands[];

  WindowControl& window_at(const Arguments& args) const;
  std::string count(const Arguments& args);
  std::string add_fake(const Arguments& args);
  std::string add_mute(const Arguments& args);
  std::string add_popup(const Arguments& args);
  std::string add_hung(const Arguments& args);
  std::string add_ie(const Arguments& args);
  std::string add_ie_direct(const Arguments& args);
  std::string add_empty(const Arguments& args);
  std::string add_again(const Arguments& args);
  std::string remove(const Arguments& args);
  std::string fire_registered(const Arguments& args);
  std::string shell_advise(const Arguments& args);
  std::string shell_unadvise(const Arguments& args);
  std::string advise(const Arguments& args);
  std::string unadvise(const Arguments& args);
  std::string quits(const Arguments& args);
  std::string totals(const Arguments& args);
  std::string held(const Arguments& args);
  std::string toolbar(const Arguments& args);
  std::string location(const Arguments& args);
  std::string navigate(const Arguments& args);
  std::string before_navigate(const Arguments& args);
  std::string frame_navigate(const Arguments& args);
  std::string new_window(const Arguments& args);
  std::string quit(const Arguments& args);
  std::string cue(const Arguments& args);
  std::string slow_unadvise(const Arguments& args);
  // "arm <i|shell> <n> <command...>": the command runs inside the n-th read from now of
  // that window or of the collection; "armed" gives the answers of those that ran.
  std::string arm(const std::string& line);
  std::string armed(const Arguments& args);

  WindowCollection& shell_;
  HungApartments hung_;
  bool quit_requested_ = false;
  std::string armed_answers_;
};

}  // namespace standin
