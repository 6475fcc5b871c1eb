#include "core/list_text.h"

namespace nimbrel {

std::string normaliseLineEnds(std::string_view text) {
    std::string out;
    out.reserve(text.size() + text.size() / 16);
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c == '\r') {
            out += "\r\n";
            if (i + 1 < text.size() && text[i + 1] == '\n') ++i;
        } else if (c == '\n') {
            out += "\r\n";
        } else {
            out += c;
        }
    }
    return out;
}

std::vector<std::string> splitLines(std::string_view text) {
    std::vector<std::string> lines;
    std::size_t start = 0;
    while (start < text.size()) {
        const std::size_t end = text.find("\r\n", start);
        if (end == std::string_view::npos) {
            lines.emplace_back(text.substr(start));
            break;
        }
        lines.emplace_back(text.substr(start, end - start));
        start = end + 2;
    }
    return lines;
}

namespace {

template <typename Char>
std::basic_string<Char> appendLine(std::basic_string_view<Char> text, std::basic_string_view<Char> line) {
    const Char crlf[] = {Char('\r'), Char('\n'), Char()};
    std::basic_string<Char> out(text);
    if (out.empty() || out.back() == Char('\n') || out.back() == Char('\r')) {
        out += line;
        out += crlf;
    } else {
        out += crlf;
        out += line;
    }
    return out;
}

}  // namespace

std::string withLineAppended(std::string_view text, std::string_view line) { return appendLine(text, line); }

std::wstring withLineAppended(std::wstring_view text, std::wstring_view line) { return appendLine(text, line); }

}  // namespace nimbrel
