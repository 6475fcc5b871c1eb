// What the fuzz targets share: how a broken rule is reported, and how the input is cut up.
#pragma once

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "core/ansi_text.h"

namespace nimbrel::fuzz {

// A rule did not hold: libFuzzer keeps the input that broke it.
[[noreturn]] inline void broken(const char* what) {
    std::fprintf(stderr, "broken: %s\n", what);
    std::abort();
}

inline CodePage codePageOf(std::uint8_t flags) { return flags & 1 ? CodePage::gb2312() : CodePage::singleByte(); }

// The lines before each LF; what follows the last LF stays in rest.
inline std::vector<std::string> takeLines(std::string_view& rest) {
    std::vector<std::string> lines;
    for (std::size_t end; (end = rest.find('\n')) != std::string_view::npos; rest.remove_prefix(end + 1))
        lines.emplace_back(rest.substr(0, end));
    return lines;
}

}  // namespace nimbrel::fuzz
