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

}  // namespace

std::string_view byteOrderMark(ListEncoding encoding) {
    switch (encoding) {
    case ListEncoding::utf8: return kUtf8Mark;
    case ListEncoding::utf16le: return kUtf16LeMark;
    case ListEncoding::ansi: break;
    }
    return {};
}

ListFileLines splitListFile(std::string_view bytes) {
    ListFileLines file;
    if (bytes.starts_with(kUtf8Mark))
        file.encoding = ListEncoding::utf8;
    else if (bytes.starts_with(kUtf16LeMark))
        file.encoding = ListEncoding::utf16le;
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
