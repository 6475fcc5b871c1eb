// Published filter lists (the host rules of filter-list syntax, hosts files, plain host
// names, tracking-protection lists) read into the hosts they block and allow.
#pragma once

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace nimbrel {

// How a blocking rule is written, so that it can be named as written without keeping every
// line: "||HOST^", "0.0.0.0 HOST", ... with the host as the rules hold it. `asWritten`: the
// line reads otherwise (letter case, a comment, several hosts) and is kept whole.
enum class RuleForm : std::uint8_t {
    hostName,
    filterRule,         // ||HOST^
    filterRuleEnd,      // ||HOST^|
    hostsZero,          // 0.0.0.0 HOST
    hostsLoopback,      // 127.0.0.1 HOST
    hostsAnyV6,         // :: HOST
    hostsLoopbackV6,    // ::1 HOST
    trackingBlock,      // -d HOST
    asWritten,
};

// The rule of a blocked host as its line writes it; `line` only for RuleForm::asWritten.
std::string ruleText(RuleForm form, std::string_view host, std::string_view line = {});

struct FilterListRules {
    std::vector<std::string> blocked;  // lower-case ASCII host names (IDN converted), no trailing dot
    std::vector<RuleForm> blockedForms;  // by blocked host; missing ones are plain host names
    // The lines of the blocked hosts whose form is RuleForm::asWritten, by index, ascending.
    std::vector<std::pair<std::size_t, std::string>> blockedLines;
    std::vector<std::string> allowed;  // exceptions: @@||host^ and +d host
    std::size_t used = 0;              // lines that gave a rule
    std::size_t unused = 0;            // lines not used (comments and blanks are not counted)
    std::optional<std::chrono::hours> expires;  // "! Expires: N days|hours" or ": Expires=N" (days)
    bool isList = true;                // false: an HTML page or text that is not a list

    // The rule that blocks blocked[index], as the list writes it.
    std::string blockedRule(std::size_t index) const;
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
