#include "core/host_set.h"

#include <algorithm>
#include <array>
#include <bit>

namespace nimbrel {
namespace {

constexpr std::uint8_t kBlocked = 1;
constexpr std::uint8_t kAllowed = 2;

char asciiLower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

// Letters, digits, '+', '-' and '.', by a table: asked of every character of every scheme.
constexpr std::array<bool, 256> kSchemeCharacters = [] {
    std::array<bool, 256> table{};
    for (unsigned c = 0; c < 256; ++c)
        table[c] = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '+' ||
                   c == '-' || c == '.';
    return table;
}();

bool isSchemeCharacter(char c) { return kSchemeCharacters[static_cast<unsigned char>(c)]; }

bool isDigit(char c) { return c >= '0' && c <= '9'; }

// An IP address is matched whole: its last label is a number (no top-level domain is) or it
// is an IPv6 literal. Plain loops: hosts are short, and this runs at every navigation.
bool isIpAddress(std::string_view host) {
    std::size_t lastStart = host.size();
    while (lastStart > 0 && isDigit(host[lastStart - 1])) --lastStart;
    if (lastStart < host.size() && (lastStart == 0 || host[lastStart - 1] == '.')) return true;
    return host.find(':') != std::string_view::npos;
}

// FNV-1a over the host's characters from its end, so that one pass gives the hash of every
// suffix; mixed before use, since FNV's low bits are weak.
constexpr std::uint64_t kHashBasis = 0xcbf29ce484222325ULL;
constexpr std::uint64_t kHashPrime = 0x100000001b3ULL;

std::uint64_t hashStep(std::uint64_t hash, char c) {
    return (hash ^ static_cast<unsigned char>(c)) * kHashPrime;
}

// A letter lower-cased without a branch: the hash takes every character of every host.
char hashedLower(char c) {
    const auto byte = static_cast<unsigned char>(c);
    return static_cast<char>(byte | static_cast<unsigned>(static_cast<unsigned char>(byte - 'A') < 26) << 5);
}

std::uint64_t mixed(std::uint64_t hash) {
    hash ^= hash >> 33;
    hash *= 0xff51afd7ed558ccdULL;
    hash ^= hash >> 33;
    return hash;
}

std::uint32_t tagOf(std::uint64_t hash) { return static_cast<std::uint32_t>(hash >> 32) | 1u; }

std::uint64_t hashOfLower(std::string_view host) {
    std::uint64_t hash = kHashBasis;
    for (auto c = host.rbegin(); c != host.rend(); ++c) hash = hashStep(hash, hashedLower(*c));
    return mixed(hash);
}

bool equalsLower(std::string_view lower, std::string_view text) {
    return lower.size() == text.size() &&
           std::equal(lower.begin(), lower.end(), text.begin(), [](char a, char b) { return a == asciiLower(b); });
}

// A rule names a host of two labels at least: a whole top-level domain is never blocked.
bool isRule(std::string_view host) { return host.find('.') != std::string_view::npos && host.size() <= 255; }

bool suffixMatches(std::string_view host, std::string_view rule) {
    if (!isRule(rule) || host.size() < rule.size() || !host.ends_with(rule)) return false;
    return host.size() == rule.size() || host[host.size() - rule.size() - 1] == '.';
}

}  // namespace

// The first "://" must end a scheme, which is made of scheme characters only: the scheme's
// characters are walked up to the first other one, which must start "://".
std::optional<std::string_view> hostOfAddress(std::string_view address) {
    std::size_t schemeEnd = 0;
    while (schemeEnd < address.size() && isSchemeCharacter(address[schemeEnd])) ++schemeEnd;
    if (schemeEnd == 0 || address.substr(schemeEnd, 3) != "://") return std::nullopt;
    const std::size_t authorityStart = schemeEnd + 3;
    std::size_t authorityEnd = authorityStart;
    std::size_t hostStart = authorityStart;  // after the last '@' of the authority
    std::size_t colon = std::string_view::npos;  // the first ':' after it
    for (; authorityEnd < address.size(); ++authorityEnd) {
        const char c = address[authorityEnd];
        if (c == '/' || c == '?' || c == '#' || c == '\\') break;
        if (c == '@') {
            hostStart = authorityEnd + 1;
            colon = std::string_view::npos;
        } else if (c == ':' && colon == std::string_view::npos) {
            colon = authorityEnd;
        }
    }
    std::string_view host = address.substr(hostStart, authorityEnd - hostStart);
    if (host.starts_with('[')) {
        const std::size_t close = host.find(']');
        if (close == std::string_view::npos) return std::nullopt;
        host = host.substr(1, close - 1);
    } else {
        if (colon != std::string_view::npos) host = host.substr(0, colon - hostStart);
        if (host.ends_with('.')) host.remove_suffix(1);
    }
    if (host.empty()) return std::nullopt;
    return host;
}

bool rulesBlockHost(std::span<const NamedRules> lists, std::string_view host) {
    std::string lower(host);
    std::transform(lower.begin(), lower.end(), lower.begin(), asciiLower);
    if (lower.ends_with('.')) lower.pop_back();
    const bool wholeOnly = isIpAddress(lower);
    const auto covers = [&](const std::vector<std::string>& rules) {
        return std::any_of(rules.begin(), rules.end(), [&](const std::string& rule) {
            return wholeOnly ? isRule(rule) && lower == rule : suffixMatches(lower, rule);
        });
    };
    bool blocked = false;
    for (const NamedRules& list : lists) {
        if (covers(list.rules.allowed)) return false;
        blocked = blocked || covers(list.rules.blocked);
    }
    return blocked;
}

bool rulesBlockAddress(std::span<const NamedRules> lists, std::string_view address) {
    const auto host = hostOfAddress(address);
    return host && rulesBlockHost(lists, *host);
}

std::optional<BlockReason> ruleBlockingAddress(std::span<const NamedRules> lists, std::string_view address) {
    if (!rulesBlockAddress(lists, address)) return std::nullopt;
    std::string host(*hostOfAddress(address));
    std::transform(host.begin(), host.end(), host.begin(), asciiLower);
    if (host.ends_with('.')) host.pop_back();
    // The parent domains from the top down, then the host; an IP address only whole.
    std::vector<std::string_view> suffixes;
    if (!isIpAddress(host)) {
        std::size_t dots = 0;
        for (std::size_t i = host.size(); i-- > 0;)
            if (host[i] == '.' && ++dots > 1) suffixes.push_back(std::string_view(host).substr(i + 1));
    }
    suffixes.push_back(host);
    for (const std::string_view suffix : suffixes)
        for (const NamedRules& list : lists) {
            const auto& blocked = list.rules.blocked;
            const auto rule = std::find(blocked.begin(), blocked.end(), suffix);
            if (rule != blocked.end())
                return BlockReason{.source = BlockReason::Source::filterList,
                                   .entry = list.rules.blockedRule(static_cast<std::size_t>(rule - blocked.begin())),
                                   .listName = list.name};
        }
    return std::nullopt;
}

FilterHosts::FilterHosts(std::span<const NamedRules> lists) {
    std::size_t hosts = 0;
    std::size_t characters = 0;
    for (const NamedRules& list : lists)
        for (const auto* rules : {&list.rules.blocked, &list.rules.allowed}) {
            hosts += rules->size();
            for (const std::string& host : *rules) characters += isRule(host) ? kHostAt + host.size() : 0;
        }
    if (hosts == 0) return;
    // At most half full: a miss, the usual case, ends after one or two slots.
    slots_.resize(std::bit_ceil(hosts * 2));
    entries_.reserve(characters);
    for (std::size_t index = 0; index < lists.size(); ++index) {
        const FilterListRules& rules = lists[index].rules;
        names_.push_back(lists[index].name);
        auto kept = rules.blockedLines.begin();
        for (std::size_t i = 0; i < rules.blocked.size(); ++i) {
            Source source{static_cast<std::uint16_t>(index), RuleForm::hostName, {}};
            if (i < rules.blockedForms.size()) source.form = rules.blockedForms[i];
            while (kept != rules.blockedLines.end() && kept->first < i) ++kept;
            if (source.form == RuleForm::asWritten) {
                if (kept != rules.blockedLines.end() && kept->first == i) source.line = kept->second;
                else source.form = RuleForm::hostName;
            }
            insert(rules.blocked[i], kBlocked, source);
        }
        for (const std::string& host : rules.allowed) insert(host, kAllowed, {});
    }
}

void FilterHosts::insert(std::string_view host, std::uint8_t kind, const Source& source) {
    if (!isRule(host)) return;
    anyAllowed_ = anyAllowed_ || kind == kAllowed;
    const std::uint64_t hash = hashOfLower(host);
    const std::uint32_t tag = tagOf(hash);
    const std::size_t mask = slots_.size() - 1;
    for (std::size_t i = hash & mask;; i = (i + 1) & mask) {
        Slot& slot = slots_[i];
        if (slot.tag == 0) {
            const auto entry = static_cast<std::uint32_t>(entries_.size());
            slot = {tag, entry};
            entries_ += static_cast<char>(kind);
            entries_ += static_cast<char>(host.size());
            entries_ += static_cast<char>(source.form);
            entries_ += static_cast<char>(source.list & 0xFF);
            entries_ += static_cast<char>(source.list >> 8);
            for (char c : host) entries_ += asciiLower(c);
            if (source.form == RuleForm::asWritten) {
                lineOfEntry_.emplace_back(entry, static_cast<std::uint32_t>(lines_.size()));
                lines_.append(source.line) += '\n';
            }
            ++size_;
            return;
        }
        const auto length = static_cast<unsigned char>(entries_[slot.entry + 1]);
        if (slot.tag == tag && equalsLower(std::string_view(entries_).substr(slot.entry + kHostAt, length), host)) {
            entries_[slot.entry] = static_cast<char>(entries_[slot.entry] | kind);
            return;
        }
    }
}

// The entry of the host's suffix from `from` on, or null.
const char* FilterHosts::entryOfSuffix(std::uint64_t hash, std::string_view host, std::size_t from) const {
    hash = mixed(hash);
    const std::uint32_t tag = tagOf(hash);
    const std::size_t mask = slots_.size() - 1;
    const std::string_view suffix = host.substr(from);
    for (std::size_t i = hash & mask;; i = (i + 1) & mask) {
        const Slot slot = slots_[i];
        if (slot.tag == 0) return nullptr;
        if (slot.tag != tag) continue;
        const char* entry = entries_.data() + slot.entry;
        const auto length = static_cast<unsigned char>(entry[1]);
        if (equalsLower(std::string_view(entry + kHostAt, length), suffix)) return entry;
    }
}

// The entry of the first blocked suffix, when the host is blocked and none of its suffixes
// allowed; else null.
const char* FilterHosts::blockingEntry(std::string_view host) const {
    if (slots_.empty()) return nullptr;
    if (host.ends_with('.')) host.remove_suffix(1);
    if (host.empty()) return nullptr;
    std::uint8_t kinds = 0;
    const char* first = nullptr;
    const auto meet = [&](const char* entry) {
        if (entry == nullptr) return;
        kinds |= static_cast<std::uint8_t>(entry[0]);
        if (first == nullptr && (entry[0] & kBlocked) != 0) first = entry;
    };
    std::uint64_t hash = kHashBasis;
    if (isIpAddress(host)) {
        for (auto c = host.rbegin(); c != host.rend(); ++c) hash = hashStep(hash, hashedLower(*c));
        meet(entryOfSuffix(hash, host, 0));
        return kinds == kBlocked ? first : nullptr;
    }
    // Every parent domain of at least two labels, then the host itself: "a.b.example.com"
    // asks for "example.com", "b.example.com" and "a.b.example.com".
    bool pastFirstDot = false;
    for (std::size_t i = host.size(); i-- > 0;) {
        const char c = host[i];
        if (c == '.') {
            if (pastFirstDot) meet(entryOfSuffix(hash, host, i + 1));
            pastFirstDot = true;
            if (first != nullptr && !anyAllowed_) return first;
        }
        hash = hashStep(hash, hashedLower(c));
    }
    meet(entryOfSuffix(hash, host, 0));
    return kinds == kBlocked ? first : nullptr;
}

bool FilterHosts::blocksHost(std::string_view host) const { return blockingEntry(host) != nullptr; }

bool FilterHosts::blocks(std::string_view address) const {
    if (slots_.empty()) return false;
    const auto host = hostOfAddress(address);
    return host && blocksHost(*host);
}

std::optional<BlockReason> FilterHosts::blockingRule(std::string_view address) const {
    if (slots_.empty()) return std::nullopt;
    const auto addressHost = hostOfAddress(address);
    const char* entry = addressHost ? blockingEntry(*addressHost) : nullptr;
    if (entry == nullptr) return std::nullopt;
    const auto form = static_cast<RuleForm>(entry[2]);
    const std::size_t list = static_cast<unsigned char>(entry[3]) | static_cast<std::size_t>(static_cast<unsigned char>(entry[4])) << 8;
    const std::string_view host(entry + kHostAt, static_cast<unsigned char>(entry[1]));
    std::string_view line;
    if (form == RuleForm::asWritten) {
        const auto offset = static_cast<std::uint32_t>(entry - entries_.data());
        const auto kept = std::lower_bound(lineOfEntry_.begin(), lineOfEntry_.end(), std::pair{offset, std::uint32_t{0}});
        line = std::string_view(lines_).substr(kept->second);
        line = line.substr(0, line.find('\n'));
    }
    return BlockReason{.source = BlockReason::Source::filterList, .entry = ruleText(form, host, line), .listName = names_[list]};
}

std::size_t FilterHosts::memoryBytes() const {
    std::size_t names = 0;
    for (const std::wstring& name : names_) names += sizeof(name) + name.capacity() * sizeof(wchar_t);
    return sizeof(*this) + slots_.capacity() * sizeof(Slot) + entries_.capacity() + names +
           lineOfEntry_.capacity() * sizeof(lineOfEntry_[0]) + lines_.capacity();
}

}  // namespace nimbrel
