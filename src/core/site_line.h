// A list line for the site of a logged address, and where a line stands in a list box.
#pragma once

#include "core/ansi_text.h"

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace nimbrel {

// "//HOST/" for the address's host as the address writes it (with its port, a trailing
// point or the brackets of an IPv6 literal; without user information), upper-cased like
// the lines of an imported list: it matches every address of that host and not a longer
// name that ends in it. Nothing for an address without "scheme://" or without a host, or
// one whose host holds what a pattern would read otherwise (a blank, a "*").
std::optional<std::string> siteLine(const CodePage& codePage, std::string_view address);

// Where the line stands among the lines: at `preferred` when that line is it, else its
// first place; nothing when no line is it. Lines are compared as the matcher reads them:
// blanks and control characters at either end and the case of letters do not count.
std::optional<std::size_t> findLine(const CodePage& codePage, const std::vector<std::string>& lines,
                                    std::string_view line, std::size_t preferred = 0);

}  // namespace nimbrel
