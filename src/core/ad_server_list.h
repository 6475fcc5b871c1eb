// Published ad-server lists (hosts files, the host rules of filter lists, plain host names)
// turned into black-list lines anchored at each host.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace nimbrel {

// The file's characters with ASCII kept as it is and every other character turned into the
// byte 0x80, so that a line holding one is never taken for a host name. A byte-order mark
// names UTF-8 or UTF-16 (either byte order); a file without one is ANSI or UTF-8, which
// agree on ASCII, so its bytes stay as they are.
std::string asciiTextOf(std::string_view fileBytes);

// The hosts that one line of a list names: none for a blank line or a comment ("#", "!",
// a "[...]" header), nullopt for a line that is not understood (a filter rule with options,
// an exception "@@", an element rule "##", a hosts entry for a real address, a local name,
// anything that is not an ASCII host name).
std::optional<std::vector<std::string_view>> hostsOfListLine(std::string_view line);

// The black-list line for a host: "//HOST/" upper-cased, which matches the host itself and
// not a longer name that ends in it.
std::string anchoredHostLine(std::string_view host);

// What importing a list into a box comes to.
struct AdServerImport {
    std::string appendedText;  // to be added at the end of the box, one CR LF ended line per host
    std::size_t added = 0;
    std::size_t alreadyThere = 0;  // in the box before, or earlier in the same list
    std::size_t skipped = 0;       // lines not understood
    std::size_t notReceived = 0;   // new lines that the box had no room for

    bool operator==(const AdServerImport&) const = default;
};

// The lines a list adds to a box that holds `boxText` (ANSI, or the box's own UTF-16 text;
// lines ended by CR LF). A box whose last line has no line end gets one first.
AdServerImport planAdServerImport(std::string_view boxText, std::string_view fileBytes);
AdServerImport planAdServerImport(std::wstring_view boxText, std::string_view fileBytes);

// What a box holds of a planned import when it took only the first `received` characters
// of the appended text: its whole lines (a host line cut short would block more than its
// host), counted as added, and the rest counted as not received.
AdServerImport receivedPart(AdServerImport planned, std::size_t received);

}  // namespace nimbrel
