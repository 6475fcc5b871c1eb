#pragma once
// The report of the addresses open in all browser and folder windows, as shown in a message
// box: browser windows and folder windows in two lists, each numbered from 1.

#include <span>
#include <string>
#include <string_view>

#include "core/ansi_text.h"

namespace nimbrel {

// Folder windows (and local files) are told apart by "file://" anywhere, in any letter case.
bool isFolderAddress(const CodePage& codePage, std::string_view address);

// `addresses` in the order of the shell's window collection, as ANSI text.
std::string buildAddressReport(const CodePage& codePage, std::span<const std::string> addresses);

}  // namespace nimbrel
