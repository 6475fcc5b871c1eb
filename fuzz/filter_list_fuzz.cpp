// A published list's bytes read into hosts and compiled: every host is a lower-case ASCII
// name of two labels or more, the counts add up, a list gives a rule, the hosts read again
// from "||host^" lines come back the same, and the compiled set answers as the rules do.
#include <algorithm>

#include "core/filter_list_parse.h"
#include "core/host_set.h"
#include "fuzz_input.h"

namespace {

using namespace nimbrel;
using fuzz::broken;

// Stands in for IdnToAscii: an ASCII name for every other length, none for the rest.
std::optional<std::string> fakeIdn(std::u16string_view host) {
    if (host.size() % 2 == 1) return std::nullopt;
    return "xn--" + std::to_string(host.size()) + ".example";
}

std::u16string latin1(std::string_view bytes) {
    std::u16string out;
    for (char c : bytes) out += static_cast<char16_t>(static_cast<unsigned char>(c));
    return out;
}

bool isCleanHost(const std::string& host) {
    const bool characters = std::all_of(host.begin(), host.end(), [](char c) {
        return (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '-' || c == '_' || c == '.';
    });
    return characters && !host.empty() && host.size() <= 253 && host.find('.') != std::string::npos &&
           host.front() != '.' && host.back() != '.' && host.find("..") == std::string::npos;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    const FilterListRules rules = parseFilterList(bytes, fakeIdn, latin1);
    for (const auto* hosts : {&rules.blocked, &rules.allowed})
        for (const std::string& host : *hosts)
            if (!isCleanHost(host)) broken("a host that is not a clean lower-case name");
    const auto lineEnds = std::count_if(bytes.begin(), bytes.end(), [](char c) { return c == '\r' || c == '\n'; });
    if (rules.used + rules.unused > static_cast<std::size_t>(lineEnds) + 1) broken("more lines counted than there are");
    if (rules.isList && rules.used == 0) broken("a list without a rule");
    if (rules.blocked.size() + rules.allowed.size() < rules.used) broken("a used line without a host");

    std::string again;
    for (const std::string& host : rules.blocked) again += "||" + host + "^\n";
    if (parseFilterList(again, fakeIdn, latin1).blocked != rules.blocked) broken("hosts read again differ");

    const std::vector<NamedRules> lists{{L"fuzz", rules}};
    const FilterHosts hosts(lists);
    for (const auto* names : {&rules.blocked, &rules.allowed}) {
        for (const std::string& host : *names) {
            for (const std::string& address : {"http://" + host + "/", "http://Sub." + host + ":80/", "http://x" + host})
                if (hosts.blocks(address) != rulesBlockAddress(lists, address))
                    broken("the compiled hosts answer otherwise than the rules");
        }
    }
    return 0;
}
