#include "core/host_set.h"

#include <algorithm>
#include <bit>

namespace nimbrel {
namespace {

constexpr std::uint8_t kBlocked = 1;
constexpr std::uint8_t kAllowed = 2;

char asciiLower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

bool isSchemeCharacter(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '+' || c == '-' ||
           c == '.';
}

// An IP address is matched whole: its last label is a number (no top-level domain is) or it
// is an IPv6 literal.
bool isIpAddress(std::string_view host) {
    if (host.find(':') != std::string_view::npos) return true;
    const std::size_t lastDot = host.rfind('.');
    const std::string_view last = lastDot == std::string_view::npos ? host : host.substr(lastDot + 1);
    return !last.empty() && std::all_of(last.begin(), last.end(), [](char c) { return c >= '0' && c <= '9'; });
}

// FNV-1a over the host's characters from its end, so that one pass gives the hash of every
// suffix; mixed before use, since FNV's low bits are weak.
constexpr std::uint64_t kHashBasis = 0xcbf29ce484222325ULL;
constexpr std::uint64_t kHashPrime = 0x100000001b3ULL;

std::uint64_t hashStep(std::uint64_t hash, char c) {
    return (hash ^ static_cast<unsigned char>(c)) * kHashPrime;
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
    for (auto c = host.rbegin(); c != host.rend(); ++c) hash = hashStep(hash, asciiLower(*c));
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

std::optional<std::string_view> hostOfAddress(std::string_view address) {
    const std::size_t schemeEnd = address.find("://");
    if (schemeEnd == std::string_view::npos || schemeEnd == 0) return std::nullopt;
    if (!std::all_of(address.begin(), address.begin() + static_cast<std::ptrdiff_t>(schemeEnd), isSchemeCharacter))
        return std::nullopt;
    std::string_view authority = address.substr(schemeEnd + 3);
    authority = authority.substr(0, authority.find_first_of("/?#\\"));
    if (const std::size_t at = authority.rfind('@'); at != std::string_view::npos) authority.remove_prefix(at + 1);
    std::string_view host = authority;
    if (host.starts_with('[')) {
        const std::size_t close = host.find(']');
        if (close == std::string_view::npos) return std::nullopt;
        host = host.substr(1, close - 1);
    } else {
        host = host.substr(0, host.find(':'));
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

FilterHosts::FilterHosts(std::span<const NamedRules> lists) {
    std::size_t hosts = 0;
    std::size_t characters = 0;
    for (const NamedRules& list : lists)
        for (const auto* rules : {&list.rules.blocked, &list.rules.allowed}) {
            hosts += rules->size();
            for (const std::string& host : *rules) characters += isRule(host) ? 2 + host.size() : 0;
        }
    if (hosts == 0) return;
    // At most half full: a miss, the usual case, ends after one or two slots.
    slots_.resize(std::bit_ceil(hosts * 2));
    entries_.reserve(characters);
    for (const NamedRules& list : lists) {
        for (const std::string& host : list.rules.blocked) insert(host, kBlocked);
        for (const std::string& host : list.rules.allowed) insert(host, kAllowed);
    }
}

void FilterHosts::insert(std::string_view host, std::uint8_t kind) {
    if (!isRule(host)) return;
    anyAllowed_ = anyAllowed_ || kind == kAllowed;
    const std::uint64_t hash = hashOfLower(host);
    const std::uint32_t tag = tagOf(hash);
    const std::size_t mask = slots_.size() - 1;
    for (std::size_t i = hash & mask;; i = (i + 1) & mask) {
        Slot& slot = slots_[i];
        if (slot.tag == 0) {
            slot = {tag, static_cast<std::uint32_t>(entries_.size())};
            entries_ += static_cast<char>(kind);
            entries_ += static_cast<char>(host.size());
            for (char c : host) entries_ += asciiLower(c);
            ++size_;
            return;
        }
        const auto length = static_cast<unsigned char>(entries_[slot.entry + 1]);
        if (slot.tag == tag && equalsLower(std::string_view(entries_).substr(slot.entry + 2, length), host)) {
            entries_[slot.entry] = static_cast<char>(entries_[slot.entry] | kind);
            return;
        }
    }
}

std::uint8_t FilterHosts::kindsOfSuffix(std::uint64_t hash, std::string_view host, std::size_t from) const {
    hash = mixed(hash);
    const std::uint32_t tag = tagOf(hash);
    const std::size_t mask = slots_.size() - 1;
    const std::string_view suffix = host.substr(from);
    for (std::size_t i = hash & mask;; i = (i + 1) & mask) {
        const Slot slot = slots_[i];
        if (slot.tag == 0) return 0;
        if (slot.tag != tag) continue;
        const char* entry = entries_.data() + slot.entry;
        const auto length = static_cast<unsigned char>(entry[1]);
        if (equalsLower(std::string_view(entry + 2, length), suffix)) return static_cast<std::uint8_t>(entry[0]);
    }
}

bool FilterHosts::blocksHost(std::string_view host) const {
    if (slots_.empty()) return false;
    if (host.ends_with('.')) host.remove_suffix(1);
    if (host.empty()) return false;
    if (isIpAddress(host)) {
        std::uint64_t hash = kHashBasis;
        for (auto c = host.rbegin(); c != host.rend(); ++c) hash = hashStep(hash, asciiLower(*c));
        return kindsOfSuffix(hash, host, 0) == kBlocked;
    }
    // Every parent domain of at least two labels, then the host itself: "a.b.example.com"
    // asks for "example.com", "b.example.com" and "a.b.example.com".
    std::uint8_t kinds = 0;
    bool pastFirstDot = false;
    std::uint64_t hash = kHashBasis;
    for (std::size_t i = host.size(); i-- > 0;) {
        const char c = host[i];
        if (c == '.') {
            if (pastFirstDot) kinds |= kindsOfSuffix(hash, host, i + 1);
            pastFirstDot = true;
            if ((kinds & kBlocked) != 0 && !anyAllowed_) return true;
        }
        hash = hashStep(hash, asciiLower(c));
    }
    kinds |= kindsOfSuffix(hash, host, 0);
    return kinds == kBlocked;
}

bool FilterHosts::blocks(std::string_view address) const {
    if (slots_.empty()) return false;
    const auto host = hostOfAddress(address);
    return host && blocksHost(*host);
}

std::size_t FilterHosts::memoryBytes() const {
    return sizeof(*this) + slots_.capacity() * sizeof(Slot) + entries_.capacity();
}

}  // namespace nimbrel
