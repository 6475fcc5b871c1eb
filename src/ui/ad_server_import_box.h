// The import of a published ad-server list, carried out on the black-list box.
#pragma once

#include "core/ad_server_list.h"

#include <windows.h>

#include <string>

namespace nimbrel {

// Reads the list file and appends the lines for its hosts to the end of the box in one
// edit, which the user can undo and which is saved with the next confirm like any other.
// The result counts what the box really took: lines beyond its room are counted as not
// received, and a line the box took only in part is taken out again. A file that cannot
// be read, or is too large, throws (readAdServerList) and leaves the box as it was.
AdServerImport importAdServerList(HWND box, const std::wstring& path);

}  // namespace nimbrel
