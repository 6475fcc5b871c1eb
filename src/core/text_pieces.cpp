#include "core/text_pieces.h"

namespace nimbrel {

std::size_t ansiPieceEnd(const CodePage& codePage, std::string_view text, std::size_t start, std::size_t most) {
    if (text.size() - start <= most) return text.size();
    // A trail byte may look like a lead byte: only a walk from a known boundary finds them.
    std::size_t end = start;
    while (end < text.size()) {
        const std::size_t length = codePage.charLength(text, end);
        if (end + length - start > most) break;
        end += length;
    }
    return end > start ? end : start + codePage.charLength(text, start);
}

std::size_t utf8PieceEnd(std::string_view text, std::size_t start, std::size_t most) {
    if (text.size() - start <= most) return text.size();
    const auto continues = [&](std::size_t at) { return (static_cast<unsigned char>(text[at]) & 0xC0) == 0x80; };
    const std::size_t limit = start + most;
    std::size_t end = limit;
    // A character takes four bytes at most: three continuation bytes before the cut at most.
    while (end > start && limit - end < 3 && continues(end)) --end;
    return end > start && !continues(end) ? end : limit;
}

}  // namespace nimbrel
