// Text onto the system clipboard.
#pragma once

#include <windows.h>

#include <string_view>

namespace nimbrel {

// Replaces the clipboard's contents with the text. Throws "Cannot open clipboard" when
// another program holds it.
void copyToClipboard(HWND owner, std::wstring_view text);

}  // namespace nimbrel
