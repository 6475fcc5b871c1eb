// Working nimbrel.exe's windows from outside, as a user would: finding controls,
// reading their places and texts, clicking, and seeing what is drawn.
#pragma once

#include "e2e/screenshots.h"
#include "standin/client.h"
#include "support/nimbrel_process.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <memory>
#include <ostream>
#include <optional>
#include <string>
#include <vector>

namespace e2e {

// A place given at 96 DPI, as the window's design gives it.
struct Box {
  int left = 0, top = 0, width = 0, height = 0;
  bool operator==(const Box&) const = default;
};
std::string describe(const Box& box);

// The system's DPI scale, as the program applies it.
int scaled(int pixels);

// The descendant of `root` with this control id, or nullptr.
HWND find_control(HWND root, int id);
// A window's box relative to the client area of `container` (its parent unless given),
// converted back to 96 DPI.
Box box_within(HWND window, HWND container = nullptr);
// The client area's size, converted back to 96 DPI.
Box client_box(HWND window);
RECT screen_rect(HWND window);

// A left click in the middle of a control: button down and up, posted.
void click(HWND control);
// A mouse move over a control, posted, at (x, y) of its client area.
void move_mouse_over(HWND control, int x = 2, int y = 2);

// The first top-level window of a process with this class whose caption and visibility
// match; nullptr after the timeout.
HWND wait_for_window(DWORD process_id, const std::wstring& class_name, const wchar_t* caption = nullptr,
                     std::chrono::milliseconds timeout = 20s);

// The process's open menus (a pop-up menu and its submenus), the top one first.
std::vector<HWND> open_menus(DWORD process_id);

// Whether a message box shows an icon beside its text.
bool message_box_has_icon(HWND box);

// The tray icon (main window, id 1000) as the shell knows it: a change that names the
// icon succeeds only when the icon exists.
bool tray_icon_shown(HWND owner);
// Takes the icon away, as a restarting task bar loses it.
void remove_tray_icon(HWND owner);

// nimbrel.exe with the stand-in shell running, its settings key and list files removed
// before and after, so that every run starts from the design's state; main() is its
// shown main window.
class NimbrelSession {
 public:
  explicit NimbrelSession(const std::string& standin_options = "");
  NimbrelSession(const NimbrelSession&) = delete;
  NimbrelSession& operator=(const NimbrelSession&) = delete;
  ~NimbrelSession();

  standin::StandinProcess& standin() { return *standin_; }
  NimbrelProcess& nimbrel() { return *nimbrel_; }
  DWORD process_id() const { return nimbrel_ ? nimbrel_->id() : 0; }
  // Starts nimbrel.exe (the one beside the tests unless given); with wait, until its main
  // window is shown.
  void start(bool wait = true, const std::wstring& exe = {});
  HWND main() const { return main_; }
  HWND control(int id) const { return find_control(main_, id); }
  std::wstring text(int id) const;

  // The page panel (OptionPanel, ExceptionPanel, LogsPanel) in front, by page number 1 to 3; 0 if none.
  int front_page() const;
  // What the user sees of a caption of the navigation strip.
  enum class CaptionLook { none, plain, red, blue };
  CaptionLook caption_look(int number) const;
  // Waits until the caption looks as wanted; the look seen last otherwise.
  CaptionLook wait_for_caption(int number, CaptionLook wanted) const;
  // The main window brought above the others, so that it can be seen and captured.
  void raise() const;

 private:
  std::unique_ptr<standin::StandinProcess> standin_;
  std::unique_ptr<NimbrelProcess> nimbrel_;
  HWND main_ = nullptr;
};

// A test with the program started and its main window in front of the others.
class ShownProgramTest : public ::testing::Test {
 protected:
  void SetUp() override;
  // Keys go to the main window's thread, which also tracks its menus.
  void press(WPARAM key, DWORD pause_ms = 100);

  NimbrelSession session_;
  HWND main_ = nullptr;
};

const char* name(NimbrelSession::CaptionLook look);
inline void PrintTo(NimbrelSession::CaptionLook look, std::ostream* out) { *out << name(look); }
inline void PrintTo(const Box& box, std::ostream* out) { *out << describe(box); }

}  // namespace e2e
