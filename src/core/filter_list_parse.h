// Published filter lists (the host rules of filter-list syntax, hosts files, plain host
// names, tracking-protection lists) read into the hosts they block and allow.
#pragma once

#include <chrono>
#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace nimbrel {

struct FilterListRules {
    std::vector<std::string> blocked;  // lower-case ASCII host names (IDN converted), no trailing dot
    std::vector<std::string> allowed;  // exceptions: @@||host^ and +d host
    std::size_t used = 0;              // lines that gave a rule
    std::size_t unused = 0;            // lines not used (comments and blanks are not counted)
    std::optional<std::chrono::hours> expires;  // "! Expires: N days|hours" or ": Expires=N" (days)
    bool isList = true;                // false: an HTML page or text that is not a list
};

// Converts a host with non-ASCII characters as IdnToAscii does; nullopt when it cannot.
using IdnToAsciiFn = std::function<std::optional<std::string>(std::u16string_view host)>;
// Decodes ANSI bytes (the platform's MultiByteToWideChar in the program).
using AnsiToUtf16Fn = std::function<std::u16string(std::string_view)>;

// fileBytes: ANSI, UTF-8 with or without byte-order mark, or UTF-16 LE/BE with one. Text
// without a mark that is valid UTF-8 is read as UTF-8, other text as ANSI.
//
// A text is a list when it gives at least one rule, holds no NUL character, does not start
// with '<' or '{' (a web page, an XML or JSON answer), and has fewer lines starting with
// '<' than lines used (a page that happens to name a few hosts).
FilterListRules parseFilterList(std::string_view fileBytes, const IdnToAsciiFn& idnToAscii,
                                const AnsiToUtf16Fn& ansiToUtf16);

}  // namespace nimbrel
