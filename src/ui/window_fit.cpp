#include "ui/window_fit.h"

#include <algorithm>

namespace nimbrel {

// The program is aware of the system DPI, so the frame metrics that AdjustWindowRectEx
// uses are those of the DPI the window is drawn at.
POINT minimumOuterSize(HWND window, SIZE client, SIZE designedOuter) {
    RECT outer{0, 0, client.cx, client.cy};
    AdjustWindowRectEx(&outer, static_cast<DWORD>(GetWindowLongW(window, GWL_STYLE)), FALSE,
                       static_cast<DWORD>(GetWindowLongW(window, GWL_EXSTYLE)));
    return {std::max(outer.right - outer.left, designedOuter.cx), std::max(outer.bottom - outer.top, designedOuter.cy)};
}

}  // namespace nimbrel
