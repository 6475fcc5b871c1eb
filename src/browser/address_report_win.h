// The open-address report from the live windows: a fresh collection of the shell's
// windows, every window's address as ANSI text, in the collection's order.
#pragma once

#include <string>
#include <vector>

namespace nimbrel {

// Addresses of the windows of a new collection; an index without a window is skipped.
// Any failure (the collection, Count, Item, the browser query, LocationURL) throws
// nimbrel::Error with the system's text for the failure.
std::vector<std::string> openWindowAddresses();

// The report text in the system's ANSI code page.
std::string openAddressReport();

}  // namespace nimbrel
