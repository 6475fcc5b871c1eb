#include "core/navigation_filter.h"

#include <string>

#include "core/ad_tables.h"

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

bool looksLikeAd(const FilterSettings& settings, const SearchText& address) {
    if (containsAnyEntry(address, AdTable::hosts) || containsAnyEntry(address, AdTable::paths)) {
        return true;
    }
    return usesWordTable(settings) && wordTableHit(address);
}

}  // namespace

bool navigationIgnored(const FilterSettings& settings, bool ctrlDown, bool isWebBrowser) {
    return settings.levelIsLowest() || settings.idle(ctrlDown) || !isWebBrowser;
}

NavigationVerdict judgeAddress(const CodePage& codePage, const FilterSettings& settings,
                               const ExceptionLists& lists, std::string_view address) {
    const SearchText text(codePage, address);
    if (containsAnyEntry(text, AdTable::localMarkers)) {
        return {};
    }
    const NavigationVerdict passOn{.cancel = false, .runPopupStep = settings.closesPopups()};
    if (!settings.blocksUrls()) {
        return passOn;
    }
    // The black list wins over everything and ends the event: no pop-up step after it.
    if (listmatch(lists.black, text)) {
        return {.cancel = true, .runPopupStep = false};
    }
    if (!usesTables(settings)) {
        return passOn;
    }
    // The white list is consulted only for a table hit: it can only clear a verdict.
    const bool ad = looksLikeAd(settings, text) && !listmatch(lists.white, text);
    return {.cancel = ad, .runPopupStep = settings.closesPopups()};
}

NavigationVerdict judgeNavigation(const CodePage& codePage, const FilterSettings& settings,
                                  const ExceptionLists& lists, const NavigationEvent& event) {
    if (navigationIgnored(settings, event.ctrlDown, event.isWebBrowser)) {
        return {};
    }
    return judgeAddress(codePage, settings, lists, event.address);
}

}  // namespace nimbrel
