#include "core/navigation_filter.h"

#include <optional>
#include <string>
#include <utility>

#include "core/ad_tables.h"
#include "core/compiled_tables.h"

namespace nimbrel {

namespace {

struct WordRules {
    std::string exception;
    std::string conditional;
    std::string veto;
};

const WordRules& upperWordRules() {
    static const WordRules rules{
        upperCase(CodePage::singleByte(), kWordTableException),
        upperCase(CodePage::singleByte(), kConditionalAdWord),
        upperCase(CodePage::singleByte(), kConditionalAdWordVeto),
    };
    return rules;
}

bool usesTables(const FilterSettings& settings) {
    return settings.levelIs(L"0") || settings.levelIs(L"1") || settings.levelIs(L"2");
}

bool usesWordTable(const FilterSettings& settings) {
    return settings.levelIs(L"0") || settings.levelIs(L"1");
}

// An address holding "read" (as in "thread") skips the whole word table.
bool wordTableHit(const SearchText& address) {
    const WordRules& rules = upperWordRules();
    if (address.contains(rules.exception)) {
        return false;
    }
    if (containsAnyEntry(address, AdTable::words)) {
        return true;
    }
    return address.contains(rules.conditional) && !address.contains(rules.veto);
}

bool looksLikeAd(const FilterSettings& settings, const SearchText& address, std::string_view received,
                 std::span<const NamedRules> filterLists) {
    if (containsAnyEntry(address, AdTable::hosts) || rulesBlockAddress(filterLists, received) ||
        containsAnyEntry(address, AdTable::paths)) {
        return true;
    }
    return usesWordTable(settings) && wordTableHit(address);
}

// The decision order, whatever answers the questions: the tables and lists walked entry by
// entry, or their compiled indexes. Each question is asked only when the order reaches it.
template <typename IsLocal, typename BlackHit, typename LooksLikeAd, typename WhiteHit>
NavigationVerdict decide(const FilterSettings& settings, IsLocal isLocal, BlackHit blackHit, LooksLikeAd looksLikeAd,
                         WhiteHit whiteHit) {
    if (isLocal()) {
        return {};
    }
    const NavigationVerdict passOn{.cancel = false, .runPopupStep = settings.closesPopups()};
    if (!settings.blocksUrls()) {
        return passOn;
    }
    // The black list wins over everything and ends the event: no pop-up step after it.
    if (blackHit()) {
        return {.cancel = true, .runPopupStep = false};
    }
    if (!usesTables(settings)) {
        return passOn;
    }
    // The white list is consulted only for a table hit: it can only clear a verdict.
    const bool ad = looksLikeAd() && !whiteHit();
    return {.cancel = ad, .runPopupStep = settings.closesPopups()};
}

BlockReason blackListReason(std::size_t line, std::string_view text) {
    return {.source = BlockReason::Source::blackList, .line = line, .entry = std::string(text)};
}

BlockReason tableReason(BlockReason::Source source, std::string_view entry) {
    return {.source = source, .entry = std::string(entry)};
}

// What a table verdict rests on, in the order of the checks; `entryIn` names the first entry
// of a table that the address holds, `filterRule` the filter lists' rule, if any.
template <typename EntryIn, typename FilterRule>
BlockReason adReason(EntryIn entryIn, FilterRule filterRule) {
    using Source = BlockReason::Source;
    if (const std::string_view entry = entryIn(AdTable::hosts); !entry.empty()) return tableReason(Source::hostTable, entry);
    if (std::optional<BlockReason> rule = filterRule()) return std::move(*rule);
    if (const std::string_view entry = entryIn(AdTable::paths); !entry.empty()) return tableReason(Source::pathTable, entry);
    return tableReason(Source::wordTable, entryIn(AdTable::words));
}

// The word table's first entry in the line-by-line form, as the word rules count it.
std::string_view firstWordEntry(const SearchText& address) {
    const std::string_view entry = firstEntryFound(address, AdTable::words);
    return entry.empty() ? kConditionalAdWord : entry;
}

}  // namespace

bool navigationIgnored(const FilterSettings& settings, bool ctrlDown, bool isWebBrowser) {
    return settings.levelIsLowest() || settings.idle(ctrlDown) || !isWebBrowser;
}

NavigationVerdict judgeAddress(const CodePage& codePage, const FilterSettings& settings,
                               const ExceptionLists& lists, std::string_view address,
                               std::span<const NamedRules> filterLists, BlockReason* reason) {
    const SearchText text(codePage, address);
    std::optional<std::size_t> blackLine;
    const NavigationVerdict verdict = decide(
        settings, [&] { return containsAnyEntry(text, AdTable::localMarkers); },
        [&] { return (blackLine = firstListMatch(lists.black, text)).has_value(); },
        [&] { return looksLikeAd(settings, text, address, filterLists); },
        [&] { return listmatch(lists.white, text); });
    if (reason == nullptr || !verdict.cancel) return verdict;
    if (blackLine) {
        *reason = blackListReason(*blackLine, lists.black[*blackLine]);
    } else {
        *reason = adReason(
            [&](AdTable table) { return table == AdTable::words ? firstWordEntry(text) : firstEntryFound(text, table); },
            [&] { return ruleBlockingAddress(filterLists, address); });
    }
    return verdict;
}

NavigationVerdict judgeAddress(const FilterSettings& settings, const CompiledLists& lists, std::string_view address,
                               const FilterHosts* filterHosts, BlockReason* reason) {
    thread_local SearchText text;  // its buffers serve every verdict: none allocates
    text.assign(lists.codePage, address);
    const TableHits tables = scanTables(text);
    std::optional<std::size_t> blackLine;
    const NavigationVerdict verdict = decide(
        settings, [&] { return tables.isLocal(); },
        [&] { return (blackLine = lists.black.firstMatch(text)).has_value(); },
        [&] {
            return tables.looksLikeAd(usesWordTable(settings)) || (filterHosts != nullptr && filterHosts->blocks(address));
        },
        [&] { return lists.white.matches(text); });
    if (reason == nullptr || !verdict.cancel) return verdict;
    if (blackLine) {
        *reason = blackListReason(*blackLine, lists.black.line(*blackLine));
    } else {
        *reason = adReason([&](AdTable table) { return tables.firstEntry(table); },
                           [&] { return filterHosts ? filterHosts->blockingRule(address) : std::nullopt; });
    }
    return verdict;
}

NavigationVerdict judgeNavigation(const CodePage& codePage, const FilterSettings& settings,
                                  const ExceptionLists& lists, const NavigationEvent& event) {
    if (navigationIgnored(settings, event.ctrlDown, event.isWebBrowser)) {
        return {};
    }
    return judgeAddress(codePage, settings, lists, event.address);
}

}  // namespace nimbrel
