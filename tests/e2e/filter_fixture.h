// nimbrel.exe with the test shell, for the end-to-end tests of the filters: settings and
// list files are put in place before the program starts, and what it shows (block log,
// list boxes, message boxes) is read from outside its process.
#pragma once

#include "../src/ui/control_ids.h"
#include "standin/client.h"
#include "support/nimbrel_process.h"
#include "support/remote_controls.h"

#include <gtest/gtest.h>

#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace e2e {

namespace ids = nimbrel::ids;

// What the stand-in answers for a navigation that the program cancelled, or let pass.
inline const std::string kCancelled = "cancel=1 sinks=1 failed=0";
inline const std::string kPassed = "cancel=0 sinks=1 failed=0";

// A list file beside nimbrel.exe, by its name ("white.lis", "black.lis").
std::wstring list_path(const wchar_t* name);
// A file's bytes; nullopt when it cannot be read.
std::optional<std::string> file_bytes(const std::wstring& path);
void put_file(const std::wstring& path, const std::string& bytes);

// Holds VK_CONTROL down as keyboard input of the session, for every process to see,
// and lets it go when destroyed, whatever happened meanwhile.
class CtrlKeyHeld {
 public:
  CtrlKeyHeld();
  CtrlKeyHeld(const CtrlKeyHeld&) = delete;
  CtrlKeyHeld& operator=(const CtrlKeyHeld&) = delete;
  ~CtrlKeyHeld() { release(); }
  // Waits until the session has seen the key down without a break for `settle`. Wine's
  // X11 driver resets the key state from the X server's (where nothing is pressed) when
  // a window of a program gains the focus, which happens shortly after it is shown; the
  // key is pressed again then. False if it never stays down.
  bool steady(std::chrono::milliseconds settle = 300ms, std::chrono::milliseconds timeout = 5s);
  static bool seen_down();
  void release();

 private:
  bool down_ = false;
};

class FilterEndToEndTest : public ::testing::Test {
 protected:
  // No settings, no list files, nothing kept for the user, no left-over redirection of the
  // shell's collection.
  void SetUp() override;
  // Ends the program before the shell, then removes what the test left behind.
  void TearDown() override;

  // A setting, written as a string before the program starts.
  static void set(const wchar_t* name, const wchar_t* value);
  // A filter list of the user's as an earlier run left it, not due for an update during the
  // test: its subkey and its copy.
  static void store_filter_list(const std::wstring& key, const std::wstring& source, const std::string& copy);
  standin::StandinProcess& start_standin(const std::string& options = "");
  // Starts nimbrel.exe (the one beside the tests unless given) and waits for its main
  // window; false if it did not show.
  bool start_nimbrel(const std::wstring& exe = {});
  HWND control(int id) const { return descendant_with_id(main_, id); }

  // The block log: its rows' addresses, and the rows with one address.
  RemoteListView log() const { return RemoteListView(control(ids::ListView1)); }
  std::vector<std::wstring> logged() const { return log().column(1); }
  int rows_with(const std::wstring& address) const;
  bool wait_for_rows(int count) const;

  // Stand-in commands on the window at index.
  std::string fire_navigation(int index, const std::string& url);
  std::string fire_new_window(int index);
  int quits(int index);
  // A menu or button command, sent to the main window as its control would send it.
  bool command(int id) const;
  // The same, posted: for commands that may open a modal message box.
  bool post_command(int id) const;

  // The program's open pop-up menu, if any.
  HWND open_menu() const;
  // Keys reach a menu through the thread that tracks it: the main window's.
  void press(WPARAM key) const;
  // Right-clicks the row on the log page and picks the entry `presses` of the key away (the
  // arrow keys pass over separators, not over greyed entries), keeping the open menu as a
  // screenshot when named.
  void choose_for_row(int row, int presses, const wchar_t* screenshot = nullptr, WPARAM key = VK_DOWN) const;

  std::unique_ptr<standin::StandinProcess> standin_;
  std::unique_ptr<NimbrelProcess> nimbrel_;
  HWND main_ = nullptr;

 private:
  static void remove_list_files();
  // What the program keeps for the user (settings, counts, filter lists and their copies).
  static void forget_user_state();
};

}  // namespace e2e
