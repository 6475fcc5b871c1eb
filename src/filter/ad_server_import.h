// Importing a published ad-server list into the black-list box.
#pragma once

#include "core/ad_server_list.h"

#include <windows.h>

#include <string>

namespace nimbrel {

// Reads the list file and appends the lines for its hosts to the end of the box in one
// edit, which the user can undo and which is saved with the next confirm like any other.
// The result's text is what was appended. A file that cannot be read throws
// "Cannot open file %s" and leaves the box as it was.
AdServerImport importAdServerList(HWND listBox, const std::wstring& path);

}  // namespace nimbrel
