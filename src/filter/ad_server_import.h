// Importing a published ad-server list into the black list: reading the list file and the
// report of what the box took. Driving the box is the window's (src/ui).
#pragma once

#include "core/ad_server_list.h"

#include <cstdint>
#include <string>

namespace nimbrel {

// Published lists are a few MB; a larger file is not one, and reading it whole would
// take the program's memory with it.
inline constexpr std::uint64_t kAdServerListLimit = 64 * 1024 * 1024;

// The list file's bytes. A file that cannot be read throws "Cannot open file %s"; one
// larger than the limit throws kImportTooLarge, and nothing of it is read.
std::string readAdServerList(const std::wstring& path);

// What the user is told after an import: the lines added, already there and skipped, and
// the lines the box had no room for, if any.
std::wstring importReport(const AdServerImport& result);

}  // namespace nimbrel
