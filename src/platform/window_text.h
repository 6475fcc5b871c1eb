// A window's text (an edit box's contents), whole.
#pragma once

#include <windows.h>

#include <string>

namespace nimbrel {

std::wstring windowText(HWND window);

}  // namespace nimbrel
