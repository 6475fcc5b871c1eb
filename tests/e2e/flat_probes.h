// Pixel probes of the flat look: expected colours computed from the test prefix's system
// colours and the screen's nearest colours, compared with what the screen shows. Every
// probe is printed with both colours, for the record of a test run.
#pragma once

#include "core/flat_colours.h"
#include "e2e/screenshots.h"

#include <windows.h>

#include <string>

namespace e2e {

using nimbrel::flat::Rgb;

Rgb system_colour(int index);
Rgb lighten(Rgb colour, int percent);  // as the screen can show it
using nimbrel::flat::darken;
std::string describe(Rgb colour);

// Expects the pixel at (x, y) of the image in the colour; prints the probe either way.
void probe(const char* what, const ScreenImage& image, int x, int y, Rgb expected);

// The first x from `from` stepping by `step` (+1 or -1) in row y with this colour; -1 if none.
int find_in_row(const ScreenImage& image, int y, int from, int step, Rgb colour);
// The first y from `from` stepping by `step` in column x with this colour; -1 if none.
int find_in_column(const ScreenImage& image, int x, int from, int step, Rgb colour);

}  // namespace e2e
