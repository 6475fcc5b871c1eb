#include "core/filter_list_parse.h"

#include <algorithm>
#include <array>

#include "core/ansi_text.h"
#include "core/unicode_text.h"

namespace nimbrel {
namespace {

bool isBlank(char c) { return static_cast<unsigned char>(c) <= 32; }

char asciiLower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

bool startsWithIgnoringCase(std::string_view text, std::string_view prefix) {
    return text.size() >= prefix.size() &&
           std::equal(prefix.begin(), prefix.end(), text.begin(), [](char a, char b) { return a == asciiLower(b); });
}

std::string_view skipBlanks(std::string_view text) {
    std::size_t at = 0;
    while (at < text.size() && isBlank(text[at])) ++at;
    return text.substr(at);
}

// The words of a line, up to a word that starts a comment.
std::vector<std::string_view> wordsBeforeComment(std::string_view line) {
    std::vector<std::string_view> words;
    for (std::size_t at = 0;;) {
        while (at < line.size() && isBlank(line[at])) ++at;
        if (at == line.size() || line[at] == '#') return words;
        std::size_t end = at;
        while (end < line.size() && !isBlank(line[end])) ++end;
        words.push_back(line.substr(at, end - at));
        at = end;
    }
}

bool isHostCharacter(char c) {
    return (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '-' || c == '_' || c == '.';
}

// Names that hosts files map to this machine for its own sake, not to stop ads.
bool isLocalName(std::string_view host) {
    static constexpr std::array<std::string_view, 7> kLocal{
        "localhost", "localhost.localdomain", "local", "broadcasthost", "0.0.0.0", "127.0.0.1", "255.255.255.255"};
    return host.starts_with("ip6-") || std::find(kLocal.begin(), kLocal.end(), host) != kLocal.end();
}

// Lower-case ASCII labels of 1 to 63 characters joined by points, at least two of them.
bool isUsableHost(std::string_view host) {
    if (host.size() > 253 || !std::all_of(host.begin(), host.end(), isHostCharacter)) return false;
    std::size_t labels = 0;
    for (std::size_t at = 0; at <= host.size(); ++labels) {
        const std::size_t end = std::min(host.find('.', at), host.size());
        if (end == at || end - at > 63) return false;
        at = end + 1;
    }
    return labels >= 2 && !isLocalName(host);
}

struct Affixes {
    std::string_view prefix, suffix;
};

Affixes affixesOf(RuleForm form) {
    switch (form) {
        case RuleForm::filterRule: return {"||", "^"};
        case RuleForm::filterRuleEnd: return {"||", "^|"};
        case RuleForm::hostsZero: return {"0.0.0.0 ", ""};
        case RuleForm::hostsLoopback: return {"127.0.0.1 ", ""};
        case RuleForm::hostsAnyV6: return {":: ", ""};
        case RuleForm::hostsLoopbackV6: return {"::1 ", ""};
        case RuleForm::trackingBlock: return {"-d ", ""};
        case RuleForm::hostName:
        case RuleForm::asWritten: break;
    }
    return {};
}

// Whether the form rebuilds the line exactly, without building it.
bool writtenAs(RuleForm form, std::string_view host, std::string_view line) {
    const Affixes affixes = affixesOf(form);
    return line.size() == affixes.prefix.size() + host.size() + affixes.suffix.size() &&
           line.starts_with(affixes.prefix) && line.ends_with(affixes.suffix) &&
           line.substr(affixes.prefix.size(), host.size()) == host;
}

RuleForm hostsFormOf(std::string_view address) {
    if (address == "0.0.0.0") return RuleForm::hostsZero;
    if (address == "127.0.0.1") return RuleForm::hostsLoopback;
    return address == "::" ? RuleForm::hostsAnyV6 : RuleForm::hostsLoopbackV6;
}

bool isAscii(std::string_view text) {
    return std::all_of(text.begin(), text.end(), [](char c) { return static_cast<unsigned char>(c) < 0x80; });
}

class LineReader {
public:
    LineReader(const IdnToAsciiFn& idnToAscii, FilterListRules& rules) : idnToAscii_(idnToAscii), rules_(rules) {}

    void read(std::string_view line) {
        if (line.empty()) return;
        if (line.front() == '<') ++markupLines_;
        const std::size_t before = rules_.blocked.size() + rules_.allowed.size();
        const bool rule = trackingProtection_ ? readTrackingProtectionLine(line) : readLine(line);
        if (!rule) return;
        if (rules_.blocked.size() + rules_.allowed.size() > before) ++rules_.used;
        else ++rules_.unused;
    }

    void startTrackingProtection() { trackingProtection_ = true; }
    std::size_t markupLines() const { return markupLines_; }

private:
    // Each returns false for a comment or a header (neither used nor unused).
    bool readLine(std::string_view line) {
        line_ = line;
        if (line.front() == '!') return readComment(line.substr(1));
        if (line.front() == '[' && line.back() == ']') return false;
        if (line.front() == '#') return isElementRule(line) || readComment(line.substr(1));
        if (line.starts_with("@@||")) return readFilterRule(line.substr(4), rules_.allowed);
        if (line.starts_with("||")) return readFilterRule(line.substr(2), rules_.blocked);
        const std::vector<std::string_view> words = wordsBeforeComment(line);
        if (words.size() == 1) addHost(words[0], rules_.blocked, RuleForm::hostName);
        if (words.size() >= 2 && isBlockingAddress(words[0]))
            for (std::size_t i = 1; i < words.size(); ++i) addHost(words[i], rules_.blocked, hostsFormOf(words[0]));
        return true;
    }

    bool readTrackingProtectionLine(std::string_view line) {
        line_ = line;
        if (line.front() == '#') return false;
        if (line.front() == ':') {
            readExpires(line.substr(1), "expires=");
            return false;
        }
        const std::vector<std::string_view> words = wordsBeforeComment(line);
        if (words.size() == 2 && words[0] == "-d") addHost(words[1], rules_.blocked, RuleForm::trackingBlock);
        if (words.size() == 2 && words[0] == "+d") addHost(words[1], rules_.allowed, RuleForm::trackingBlock);
        return true;
    }

    // "##.banner", "#@#.banner" and the like hide parts of pages; "####" and "## text" are comments.
    static bool isElementRule(std::string_view text) {
        if (text.size() < 3) return false;
        if (text.starts_with("#@#") || text.starts_with("#?#") || text.starts_with("#$#")) return true;
        return text.starts_with("##") && text[2] != '#' && !isBlank(text[2]);
    }

    // The addresses that hosts files send unwanted hosts to.
    static bool isBlockingAddress(std::string_view text) {
        return text == "0.0.0.0" || text == "127.0.0.1" || text == "::" || text == "::1";
    }

    bool readComment(std::string_view text) {
        readExpires(text, "expires:");
        return false;
    }

    // "host^" or "host^|": anything else (options, paths, wildcards) is another kind of rule.
    bool readFilterRule(std::string_view rule, std::vector<std::string>& into) {
        RuleForm form = RuleForm::filterRule;
        if (rule.ends_with("^|")) {
            rule.remove_suffix(1);
            form = RuleForm::filterRuleEnd;
        }
        if (rule.ends_with('^')) addHost(rule.substr(0, rule.size() - 1), into, form);
        return true;
    }

    // "Expires: 4 days (update frequency)", "Expires: 12 hours", "Expires=5" (days).
    void readExpires(std::string_view text, std::string_view key) {
        text = skipBlanks(text);
        if (rules_.expires || !startsWithIgnoringCase(text, key)) return;
        text = skipBlanks(text.substr(key.size()));
        constexpr long long kMostDays = 100000;  // far beyond any schedule; keeps the sum in range
        std::size_t digits = 0;
        long long count = 0;
        for (; digits < text.size() && text[digits] >= '0' && text[digits] <= '9'; ++digits)
            count = std::min(count * 10 + (text[digits] - '0'), kMostDays);
        if (digits == 0) return;
        const std::string_view unit = skipBlanks(text.substr(digits));
        const bool hours = startsWithIgnoringCase(unit, "hour") || (unit.size() == 1 && asciiLower(unit[0]) == 'h');
        rules_.expires = std::chrono::hours(hours ? count : count * 24);
    }

    // A blocked host keeps how its line writes it: by its form where that rebuilds the line,
    // else the line itself. A line with other than ASCII text is named by its form, in the
    // host's IDNA spelling, as the program's ANSI text could not hold it.
    void addHost(std::string_view word, std::vector<std::string>& into, RuleForm form) {
        std::optional<std::string> host = asciiHost(word);
        if (host && host->ends_with('.')) host->pop_back();
        if (!host || !isUsableHost(*host)) return;
        if (&into == &rules_.blocked) {
            if (!writtenAs(form, *host, line_) && isAscii(line_)) {
                rules_.blockedLines.emplace_back(into.size(), std::string(line_));
                form = RuleForm::asWritten;
            }
            rules_.blockedForms.push_back(form);
        }
        into.push_back(std::move(*host));
    }

    std::optional<std::string> asciiHost(std::string_view word) const {
        const bool ascii = std::all_of(word.begin(), word.end(), [](char c) { return static_cast<unsigned char>(c) < 0x80; });
        std::optional<std::string> host;
        if (ascii) {
            host = std::string(word);
        } else if (const auto wide = utf16OfUtf8(word); wide && idnToAscii_) {
            host = idnToAscii_(*wide);
        }
        if (host) std::transform(host->begin(), host->end(), host->begin(), asciiLower);
        return host;
    }

    const IdnToAsciiFn& idnToAscii_;
    FilterListRules& rules_;
    std::string_view line_;  // the line being read, trimmed
    bool trackingProtection_ = false;
    std::size_t markupLines_ = 0;
};

}  // namespace

std::string ruleText(RuleForm form, std::string_view host, std::string_view line) {
    if (form == RuleForm::asWritten) return std::string(line);
    const Affixes affixes = affixesOf(form);
    std::string text;
    text.reserve(affixes.prefix.size() + host.size() + affixes.suffix.size());
    text.append(affixes.prefix).append(host).append(affixes.suffix);
    return text;
}

std::string FilterListRules::blockedRule(std::size_t index) const {
    const RuleForm form = index < blockedForms.size() ? blockedForms[index] : RuleForm::hostName;
    if (form != RuleForm::asWritten) return ruleText(form, blocked[index]);
    const auto line = std::lower_bound(blockedLines.begin(), blockedLines.end(), index,
                                       [](const auto& kept, std::size_t wanted) { return kept.first < wanted; });
    return line != blockedLines.end() && line->first == index ? line->second : blocked[index];
}

FilterListRules parseFilterList(std::string_view fileBytes, const IdnToAsciiFn& idnToAscii,
                                const AnsiToUtf16Fn& ansiToUtf16) {
    std::string storage;
    const std::string_view text = utf8TextOf(fileBytes, ansiToUtf16, storage);
    FilterListRules rules;
    LineReader reader(idnToAscii, rules);
    std::optional<char> firstCharacter;
    for (std::size_t start = 0; start < text.size();) {
        const std::size_t end = std::min(text.find_first_of("\r\n", start), text.size());
        const std::string_view line = trimBlanksAndControls(text.substr(start, end - start));
        start = end + 1;
        if (line.empty()) continue;
        if (!firstCharacter) {
            firstCharacter = line.front();
            if (line == "msFilterList") {
                reader.startTrackingProtection();
                continue;
            }
        }
        reader.read(line);
    }
    const bool markup = firstCharacter == '<' || firstCharacter == '{' || reader.markupLines() >= rules.used;
    rules.isList = rules.used > 0 && !markup && text.find('\0') == std::string_view::npos;
    return rules;
}

}  // namespace nimbrel
