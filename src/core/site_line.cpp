#include "core/site_line.h"

#include <algorithm>

namespace nimbrel {
namespace {

// The authority of "scheme://authority/...": up to the first "/", "?", "#" or "\" that is a
// character of its own (a trail byte may equal "\" or "@"), after the last "@" of its own.
std::string_view authorityOf(const CodePage& codePage, std::string_view address) {
    const std::size_t scheme = address.find("://");  // ':' and '/' are never trail bytes
    if (scheme == std::string_view::npos || scheme == 0) return {};
    std::string_view rest = address.substr(scheme + 3);
    std::size_t start = 0, end = 0;
    for (; end < rest.size(); end += codePage.charLength(rest, end)) {
        const char c = rest[end];
        if (c == '/' || c == '?' || c == '#' || c == '\\') break;
        if (c == '@') start = end + 1;
    }
    return rest.substr(start, end - start);
}

// The host of "host[:port]" or "[v6]:port", as written.
std::string_view hostPart(std::string_view authority) {
    if (authority.starts_with('[')) return authority.substr(1, authority.find(']') - 1);
    return authority.substr(0, authority.find(':'));
}

bool readsAsOnePiece(std::string_view text) {
    return std::none_of(text.begin(), text.end(),
                        [](char c) { return c == '*' || static_cast<unsigned char>(c) <= 32; });
}

}  // namespace

std::optional<std::string> siteLine(const CodePage& codePage, std::string_view address) {
    const std::string_view authority = authorityOf(codePage, address);
    if (hostPart(authority).empty() || !readsAsOnePiece(authority)) return std::nullopt;
    return "//" + upperCase(codePage, authority) + "/";
}

std::optional<std::size_t> findLine(const CodePage& codePage, const std::vector<std::string>& lines,
                                    std::string_view line, std::size_t preferred) {
    const std::string wanted = upperCase(codePage, trimBlanksAndControls(line));
    const auto same = [&](const std::string& it) {
        return upperCase(codePage, trimBlanksAndControls(it)) == wanted;
    };
    if (preferred < lines.size() && same(lines[preferred])) return preferred;
    const auto found = std::find_if(lines.begin(), lines.end(), same);
    if (found == lines.end()) return std::nullopt;
    return static_cast<std::size_t>(found - lines.begin());
}

}  // namespace nimbrel
