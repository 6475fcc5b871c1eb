// The hosts of all enabled filter lists compiled into one table, matched by the host of an
// address at label boundaries: a rule for example.com covers example.com and
// *.example.com, never notexample.com or example.com.other.org.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "core/block_reason.h"
#include "core/filter_list_parse.h"

namespace nimbrel {

// One enabled list: its name and its rules.
struct NamedRules {
    std::wstring name;
    FilterListRules rules;
};

// The host of an address (scheme://[user@]host[:port][/?#\...]) without a trailing dot and
// without the brackets of an IPv6 literal; nullopt when the address has no "scheme://" head
// or an empty host. Letter case is kept.
std::optional<std::string_view> hostOfAddress(std::string_view address);

// The plain form of the question `FilterHosts::blocks` answers, rule by rule: whether the
// host or a parent domain of it is blocked by some list and allowed by none. An IP address
// is matched whole only.
bool rulesBlockHost(std::span<const NamedRules> lists, std::string_view host);
bool rulesBlockAddress(std::span<const NamedRules> lists, std::string_view address);
// The rule that blocks the address's host, if one does: of the parent domains, from the top
// down to the host itself, as the check meets them, the first that a list blocks; of the lists
// that block it, the first. Its `source` is filterList.
std::optional<BlockReason> ruleBlockingAddress(std::span<const NamedRules> lists, std::string_view address);

class FilterHosts {  // immutable once built; shared between threads as shared_ptr<const FilterHosts>
public:
    FilterHosts() = default;  // matches nothing
    explicit FilterHosts(std::span<const NamedRules> lists);

    // Whether the address's host or a parent domain of it, at label boundaries, is blocked by
    // some list and allowed by none. The address is the ANSI text as received (any letter
    // case) or its upper-cased form. Allocates nothing.
    bool blocks(std::string_view address) const;
    bool blocksHost(std::string_view host) const;
    // The rule that `blocks` found, as `ruleBlockingAddress` names it.
    std::optional<BlockReason> blockingRule(std::string_view address) const;

    std::size_t memoryBytes() const;
    std::size_t size() const { return size_; }  // distinct hosts, blocked or allowed

private:
    // A host's slot: the upper half of its hash (never 0, which marks an empty slot) and where
    // its entry starts in entries_: one byte of kinds, one of length, where the first list
    // that blocks it has it (the rule's form, two bytes of the list's index), then the host.
    struct Slot {
        std::uint32_t tag = 0;
        std::uint32_t entry = 0;
    };
    struct Source {
        std::uint16_t list;
        RuleForm form;
        std::string_view line;  // for RuleForm::asWritten
    };
    static constexpr std::size_t kHostAt = 5;

    const char* entryOfSuffix(std::uint64_t hash, std::string_view host, std::size_t from) const;
    const char* blockingEntry(std::string_view host) const;
    void insert(std::string_view host, std::uint8_t kind, const Source& source);

    std::vector<Slot> slots_;  // open addressing, linear probing, a power-of-two size
    std::string entries_;
    std::vector<std::wstring> names_;  // of the lists, in order
    // Lines kept whole (RuleForm::asWritten): by the entry's offset, ascending, where the line
    // starts in lines_; each line ends with a line feed.
    std::vector<std::pair<std::uint32_t, std::uint32_t>> lineOfEntry_;
    std::string lines_;
    std::size_t size_ = 0;
    bool anyAllowed_ = false;
};

}  // namespace nimbrel
