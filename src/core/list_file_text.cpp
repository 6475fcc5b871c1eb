#include "core/list_file_text.h"

namespace nimbrel {
namespace {

constexpr std::string_view kUtf8Mark = "\xEF\xBB\xBF";
constexpr std::string_view kUtf16LeMark = "\xFF\xFE";

// The width of one code unit and the line-end units of an encoding, as bytes.
struct Units {
    std::size_t width;
    std::string_view cr, lf;
};

Units unitsOf(ListEncoding encoding) {
    if (encoding == ListEncoding::utf16le) return {2, std::string_view("\r\0", 2), std::string_view("\n\0", 2)};
    return {1, "\r", "\n"};
}

// The bytes a UTF-8 sequence takes from its lead byte, and the range its second byte must
// lie in (narrower than 80 to BF where that keeps out overlong forms, surrogates and code
// points past U+10FFFF); a length of 0 for a byte that cannot lead.
struct Utf8Lead {
    std::size_t length;
    unsigned low, high;
};

Utf8Lead utf8Lead(unsigned lead) {
    if (lead < 0xC2 || lead > 0xF4) return {0, 0, 0};
    if (lead < 0xE0) return {2, 0x80, 0xBF};
    if (lead < 0xF0) return {3, lead == 0xE0 ? 0xA0u : 0x80u, lead == 0xED ? 0x9Fu : 0xBFu};
    return {4, lead == 0xF0 ? 0x90u : 0x80u, lead == 0xF4 ? 0x8Fu : 0xBFu};
}

}  // namespace

bool looksLikeUtf8(std::string_view bytes) {
    bool wide = false;
    for (std::size_t i = 0; i < bytes.size();) {
        const unsigned lead = static_cast<unsigned char>(bytes[i]);
        if (lead < 0x80) {
            ++i;
            continue;
        }
        const Utf8Lead rule = utf8Lead(lead);
        if (rule.length == 0 || i + rule.length > bytes.size()) return false;
        for (std::size_t k = 1; k < rule.length; ++k) {
            const unsigned next = static_cast<unsigned char>(bytes[i + k]);
            if (next < (k == 1 ? rule.low : 0x80) || next > (k == 1 ? rule.high : 0xBF)) return false;
        }
        wide = wide || rule.length >= 3;
        i += rule.length;
    }
    return wide;
}

std::string_view byteOrderMark(ListEncoding encoding) {
    switch (encoding) {
    case ListEncoding::utf8: return kUtf8Mark;
    case ListEncoding::utf16le: return kUtf16LeMark;
    case ListEncoding::ansi:
    case ListEncoding::utf8NoMark: break;
    }
    return {};
}

ListFileLines splitListFile(std::string_view bytes) {
    ListFileLines file;
    if (bytes.starts_with(kUtf8Mark))
        file.encoding = ListEncoding::utf8;
    else if (bytes.starts_with(kUtf16LeMark))
        file.encoding = ListEncoding::utf16le;
    else if (looksLikeUtf8(bytes))
        file.encoding = ListEncoding::utf8NoMark;
    bytes.remove_prefix(byteOrderMark(file.encoding).size());

    const Units units = unitsOf(file.encoding);
    const auto unitAt = [&](std::size_t pos) { return bytes.substr(pos, units.width); };
    std::size_t start = 0;
    std::size_t pos = 0;
    while (pos + units.width <= bytes.size()) {
        const std::string_view unit = unitAt(pos);
        if (unit != units.cr && unit != units.lf) {
            pos += units.width;
            continue;
        }
        file.lines.emplace_back(bytes.substr(start, pos - start));
        pos += units.width;
        if (unit == units.cr && unitAt(pos) == units.lf) pos += units.width;
        start = pos;
    }
    file.finalBreak = start == bytes.size() && !file.lines.empty();
    if (start < bytes.size()) file.lines.emplace_back(bytes.substr(start));  // also an odd byte of UTF-16
    return file;
}

std::string joinListFile(const ListFileLines& file) {
    const Units units = unitsOf(file.encoding);
    std::string bytes(byteOrderMark(file.encoding));
    for (std::size_t i = 0; i < file.lines.size(); ++i) {
        bytes += file.lines[i];
        if (i + 1 < file.lines.size() || file.finalBreak) {
            bytes += units.cr;
            bytes += units.lf;
        }
    }
    return bytes;
}

}  // namespace nimbrel
