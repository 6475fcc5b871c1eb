// The import of a published ad-server list: the first line of the input is the box, the
// rest the list file. Every host a line gives is a host name taken from that line; every
// new line is an anchored host line; a second import of the same file adds nothing; and a
// box that took only part of the new lines keeps whole lines, counted as they are.
#include "core/ad_server_list.h"
#include "fuzz_input.h"

#include <algorithm>

namespace {

using namespace nimbrel;
using fuzz::broken;

bool isAnchoredHostLine(std::string_view line) {
    if (line.size() < 5 || !line.starts_with("//") || !line.ends_with('/')) return false;
    const std::string_view host = line.substr(2, line.size() - 3);
    return host.find('.') != std::string_view::npos && std::none_of(host.begin(), host.end(), [](char c) {
               return (c >= 'a' && c <= 'z') || static_cast<unsigned char>(c) <= ' ' || c == '/' ||
                      static_cast<unsigned char>(c) > 0x7F;
           });
}

void checkLines(std::string_view text) {
    for (std::size_t end; (end = text.find('\n')) != std::string_view::npos; text.remove_prefix(end + 1)) {
        const std::string_view line = text.substr(0, end);
        const auto hosts = hostsOfListLine(line);
        if (!hosts) continue;
        for (const std::string_view host : *hosts) {
            if (host.data() < line.data() || host.data() + host.size() > line.data() + line.size())
                broken("a host from outside its line");
            if (!isAnchoredHostLine(anchoredHostLine(host))) broken("a host that is no host name");
        }
    }
}

// Lines of the appended text after the line break that may come first.
std::size_t countNewLines(std::string_view text) {
    if (text.starts_with("\r\n")) text.remove_prefix(2);
    std::size_t lines = 0;
    for (std::size_t end; (end = text.find("\r\n")) != std::string_view::npos; text.remove_prefix(end + 2), ++lines)
        if (!isAnchoredHostLine(text.substr(0, end))) broken("a new line that is no anchored host line");
    if (!text.empty()) broken("a new line without its line end");
    return lines;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view input(reinterpret_cast<const char*>(data), size);
    const std::size_t firstEnd = std::min(input.find('\n'), input.size());
    const std::string box(input.substr(0, firstEnd));
    const std::string_view file = input.substr(std::min(firstEnd + 1, input.size()));
    checkLines(asciiTextOf(file) + "\n");

    const AdServerImport planned = planAdServerImport(box, file);
    if (countNewLines(planned.appendedText) != planned.added) broken("the count is not the lines added");
    const AdServerImport again = planAdServerImport(box + planned.appendedText, file);
    if (again.added != 0 || again.skipped != planned.skipped || again.alreadyThere != planned.alreadyThere + planned.added)
        broken("a second import of the same file changes something");

    const std::size_t received = size == 0 ? 0 : data[0] * planned.appendedText.size() / 255;
    const AdServerImport part = receivedPart(planned, received);
    if (!planned.appendedText.starts_with(part.appendedText) || part.appendedText.size() > received ||
        countNewLines(part.appendedText) != part.added || part.added + part.notReceived != planned.added)
        broken("a part that is not the whole lines received");
    return 0;
}
