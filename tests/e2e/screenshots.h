// Pictures of the screen as a user sees it, read back from the display, for checks of
// what is drawn (caption colours) and for the screenshots that a test run keeps.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

namespace e2e {

class ScreenImage {
 public:
  // Copies a rectangle of the screen (screen coordinates).
  static ScreenImage capture(const RECT& area);

  int width() const { return width_; }
  int height() const { return height_; }
  COLORREF pixel(int x, int y) const;
  // Number of pixels of exactly this colour.
  int count(COLORREF colour) const;
  // Saves as a 24-bit PNG; false when the file cannot be written.
  bool save_png(const std::wstring& path) const;

 private:
  int width_ = 0;
  int height_ = 0;
  std::vector<std::uint32_t> pixels_;  // 0x00RRGGBB, top row first
};

// The directory that keeps a test run's screenshots: build/screenshots beside the build
// directory of this program, or NIMBREL_SCREENSHOTS when that is set. Created if needed.
std::wstring screenshot_dir();

// Saves the given screen area under screenshot_dir() as name (e.g. "main_options.png").
bool keep_screenshot(const RECT& area, const std::wstring& name);

}  // namespace e2e
