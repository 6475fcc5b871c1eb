#include "e2e/flat_probes.h"

#include <gtest/gtest.h>

#include <cstdio>

namespace e2e {
namespace {

Rgb rgb(COLORREF colour) { return {GetRValue(colour), GetGValue(colour), GetBValue(colour)}; }
COLORREF ref(Rgb colour) { return RGB(colour.red, colour.green, colour.blue); }

nimbrel::flat::Surface screen() {
  return {[](int index) { return system_colour(index); },
          [](Rgb colour) {
            HDC dc = GetDC(nullptr);
            const Rgb nearest = rgb(GetNearestColor(dc, ref(colour)));
            ReleaseDC(nullptr, dc);
            return nearest;
          },
          true};
}

}  // namespace

Rgb system_colour(int index) { return rgb(GetSysColor(index)); }
Rgb lighten(Rgb colour, int percent) { return nimbrel::flat::lighten(screen(), colour, percent); }

std::string describe(Rgb colour) {
  char text[32];
  std::snprintf(text, sizeof text, "(%d,%d,%d)", colour.red, colour.green, colour.blue);
  return text;
}

void probe(const char* what, const ScreenImage& image, int x, int y, Rgb expected) {
  const Rgb read = rgb(image.pixel(x, y));
  std::printf("probe %s at (%d,%d): expected %s, read %s\n", what, x, y, describe(expected).c_str(),
              describe(read).c_str());
  EXPECT_EQ(describe(read), describe(expected)) << what << " at (" << x << "," << y << ")";
}

int find_in_row(const ScreenImage& image, int y, int from, int step, Rgb colour) {
  for (int x = from; x >= 0 && x < image.width(); x += step)
    if (image.pixel(x, y) == ref(colour)) return x;
  return -1;
}

int find_in_column(const ScreenImage& image, int x, int from, int step, Rgb colour) {
  for (int y = from; y >= 0 && y < image.height(); y += step)
    if (image.pixel(x, y) == ref(colour)) return y;
  return -1;
}

}  // namespace e2e
