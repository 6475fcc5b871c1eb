// The smallest outer size of a resizable window that still shows its whole client area.
#pragma once

#include <windows.h>

namespace nimbrel {

// The outer size that holds `client` with the window's present frame (style, menu-less,
// at the system DPI the program is aware of), never smaller than `designedOuter`.
POINT minimumOuterSize(HWND window, SIZE client, SIZE designedOuter);

}  // namespace nimbrel
