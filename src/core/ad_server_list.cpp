#include "core/ad_server_list.h"

#include "core/ansi_text.h"

#include <algorithm>
#include <array>
#include <unordered_set>

namespace nimbrel {
namespace {

constexpr char kNonAscii = '\x80';

template <typename Char>
constexpr Char kCrLf[] = {Char('\r'), Char('\n')};

std::string utf16AsAscii(std::string_view bytes, bool littleEndian) {
    std::string out;
    out.reserve(bytes.size() / 2 + 1);
    for (std::size_t i = 0; i + 1 < bytes.size(); i += 2) {
        const auto first = static_cast<unsigned char>(bytes[i]);
        const auto second = static_cast<unsigned char>(bytes[i + 1]);
        const unsigned unit = littleEndian ? first | second << 8 : second | first << 8;
        out += unit < 0x80 ? static_cast<char>(unit) : kNonAscii;
    }
    if (bytes.size() % 2 != 0) out += kNonAscii;  // half a character at the end
    return out;
}

char asciiUpper(char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; }

std::string asciiUpperCase(std::string_view text) {
    std::string out(text);
    std::transform(out.begin(), out.end(), out.begin(), asciiUpper);
    return out;
}

bool isHostCharacter(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '-' || c == '_' ||
           c == '.';
}

// ASCII letters, digits, '-' and '_' in labels joined by single points; at least two labels.
bool isHostName(std::string_view text) {
    if (text.empty() || text.size() > 253 || text.front() == '.' || text.back() == '.') return false;
    if (text.find('.') == std::string_view::npos || text.find("..") != std::string_view::npos) return false;
    return std::all_of(text.begin(), text.end(), isHostCharacter);
}

// Names that hosts files map to this machine for its own sake, not to stop ads.
bool isLocalName(std::string_view host) {
    static constexpr std::array<std::string_view, 4> kLocal{"LOCALHOST.LOCALDOMAIN", "0.0.0.0", "127.0.0.1",
                                                            "255.255.255.255"};
    const std::string upper = asciiUpperCase(host);
    return std::find(kLocal.begin(), kLocal.end(), upper) != kLocal.end();
}

bool isAdHost(std::string_view text) { return isHostName(text) && !isLocalName(text); }

// The addresses that hosts files send unwanted hosts to.
bool isBlockingAddress(std::string_view text) {
    return text == "0.0.0.0" || text == "127.0.0.1" || text == "::" || text == "::1";
}

bool isBlankOrControl(char c) { return static_cast<unsigned char>(c) <= 32; }

// The words of a line, up to a word that starts a comment.
std::vector<std::string_view> wordsBeforeComment(std::string_view line) {
    std::vector<std::string_view> words;
    std::size_t at = 0;
    while (at < line.size()) {
        while (at < line.size() && isBlankOrControl(line[at])) ++at;
        std::size_t end = at;
        while (end < line.size() && !isBlankOrControl(line[end])) ++end;
        if (end == at) break;
        if (line[at] == '#') break;
        words.push_back(line.substr(at, end - at));
        at = end;
    }
    return words;
}

// "##.banner", "#@#.banner" and the like hide parts of pages; "####" and "## text" are comments.
bool isElementRule(std::string_view text) {
    if (text.size() < 3) return false;
    if (text.starts_with("#@#") || text.starts_with("#?#") || text.starts_with("#$#")) return true;
    return text.starts_with("##") && text[2] != '#' && !isBlankOrControl(text[2]);
}

std::optional<std::vector<std::string_view>> hostsOfFilterRule(std::string_view rule) {
    if (!rule.ends_with('^')) return std::nullopt;  // a path, options or a separator of another kind
    const std::string_view host = rule.substr(2, rule.size() - 3);
    if (!isAdHost(host)) return std::nullopt;
    return std::vector<std::string_view>{host};
}

}  // namespace

std::string asciiTextOf(std::string_view fileBytes) {
    if (fileBytes.starts_with("\xEF\xBB\xBF")) return std::string(fileBytes.substr(3));
    if (fileBytes.starts_with("\xFF\xFE")) return utf16AsAscii(fileBytes.substr(2), true);
    if (fileBytes.starts_with("\xFE\xFF")) return utf16AsAscii(fileBytes.substr(2), false);
    return std::string(fileBytes);
}

std::optional<std::vector<std::string_view>> hostsOfListLine(std::string_view line) {
    const std::string_view text = trimBlanksAndControls(line);
    if (isElementRule(text)) return std::nullopt;
    if (text.empty() || text.front() == '#' || text.front() == '!') return std::vector<std::string_view>{};
    if (text.front() == '[' && text.back() == ']') return std::vector<std::string_view>{};
    if (text.starts_with("||")) return hostsOfFilterRule(text);
    std::vector<std::string_view> words = wordsBeforeComment(text);
    if (words.size() == 1 && isAdHost(words[0])) return words;
    if (words.size() < 2 || !isBlockingAddress(words[0])) return std::nullopt;
    words.erase(words.begin());
    if (!std::all_of(words.begin(), words.end(), isAdHost)) return std::nullopt;
    return words;
}

std::string anchoredHostLine(std::string_view host) { return "//" + asciiUpperCase(host) + "/"; }

namespace {

// The box's lines that an anchored host line could equal, upper-cased: lines of ASCII only.
template <typename Char>
std::unordered_set<std::string> anchorCandidatesOf(std::basic_string_view<Char> boxText) {
    std::unordered_set<std::string> present;
    for (std::size_t start = 0; start < boxText.size();) {
        const std::size_t found = boxText.find(std::basic_string_view<Char>(kCrLf<Char>, 2), start);
        const std::size_t end = found == std::basic_string_view<Char>::npos ? boxText.size() : found;
        const auto line = boxText.substr(start, end - start);
        start = end + 2;
        if (std::any_of(line.begin(), line.end(), [](Char c) { return static_cast<unsigned long>(c) > 0x7F; }))
            continue;
        const std::string ascii(line.begin(), line.end());
        present.insert(asciiUpperCase(trimBlanksAndControls(ascii)));
    }
    return present;
}

template <typename Char>
bool endsLine(std::basic_string_view<Char> boxText) {
    return boxText.empty() || boxText.ends_with(std::basic_string_view<Char>(kCrLf<Char>, 2));
}

AdServerImport plan(std::unordered_set<std::string> present, bool boxEndsLine, std::string_view fileBytes) {
    AdServerImport result;
    // Only a UTF-16 file needs a text of its own; the others are read where they lie.
    std::string utf16Text;
    std::string_view text = fileBytes;
    if (fileBytes.starts_with("\xFF\xFE") || fileBytes.starts_with("\xFE\xFF"))
        text = utf16Text = asciiTextOf(fileBytes);
    else if (fileBytes.starts_with("\xEF\xBB\xBF"))
        text.remove_prefix(3);
    std::size_t start = 0;
    while (start < text.size()) {
        const std::size_t end = std::min(text.find_first_of("\r\n", start), text.size());
        const auto hosts = hostsOfListLine(text.substr(start, end - start));
        start = end + 1;
        if (!hosts) {
            ++result.skipped;
            continue;
        }
        for (const std::string_view host : *hosts) {
            std::string line = anchoredHostLine(host);
            if (!present.insert(line).second) {
                ++result.alreadyThere;
                continue;
            }
            result.appendedText += line;
            result.appendedText += "\r\n";
            ++result.added;
        }
    }
    if (result.added > 0 && !boxEndsLine) result.appendedText.insert(0, "\r\n");
    return result;
}

}  // namespace

AdServerImport planAdServerImport(std::string_view boxText, std::string_view fileBytes) {
    return plan(anchorCandidatesOf(boxText), endsLine(boxText), fileBytes);
}

AdServerImport planAdServerImport(std::wstring_view boxText, std::string_view fileBytes) {
    return plan(anchorCandidatesOf(boxText), endsLine(boxText), fileBytes);
}

AdServerImport receivedPart(AdServerImport planned, std::size_t received) {
    const std::string_view text = planned.appendedText;
    if (received >= text.size()) return planned;
    const bool separatorFirst = text.starts_with("\r\n");
    const std::size_t lastEnd = text.substr(0, received).rfind("\r\n");
    std::size_t kept = lastEnd == std::string_view::npos ? 0 : lastEnd + 2;
    std::size_t lines = 0;
    for (std::size_t at = text.find("\r\n"); at != std::string_view::npos && at + 2 <= kept; at = text.find("\r\n", at + 2))
        ++lines;
    if (separatorFirst && lines > 0) --lines;
    if (lines == 0) kept = 0;  // a line break alone adds nothing
    planned.appendedText.resize(kept);
    planned.notReceived += planned.added - lines;
    planned.added = lines;
    return planned;
}

}  // namespace nimbrel
