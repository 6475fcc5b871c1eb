#pragma once
// The verdict on one navigation (of a window or of a frame) before it starts.

#include <span>
#include <string_view>

#include "core/ansi_text.h"
#include "core/block_reason.h"
#include "core/compiled_list.h"
#include "core/filter_settings.h"
#include "core/host_set.h"
#include "core/url_pattern.h"

namespace nimbrel {

// What the handler does, in this order. Neither flag set means: leave the event alone.
struct NavigationVerdict {
    bool cancel = false;        // log the address as received, then set Cancel
    bool runPopupStep = false;  // one pop-up pass at once, then start Timer3, Timer4, Timer6

    bool operator==(const NavigationVerdict&) const = default;
};

// The first checks, which need neither the address nor the lists: lowest level, idle hot key,
// an object that is not a web browser. True means: end at once.
bool navigationIgnored(const FilterSettings& settings, bool ctrlDown, bool isWebBrowser);

// The rest of the decision, for an event that was not ignored. `address` is the ANSI text
// as received from the browser. The compiled lists give the same verdict as their lines,
// which are walked one by one by the first form. A host blocked by the enabled filter lists
// counts like an entry of the built-in host table (null or empty: no filter lists).
//
// For a cancelled address, `reason` (when given) receives what removed it: the first entry,
// in the order of the checks (black list, host table, filter lists, path table, word table),
// that matched. It is left alone otherwise.
NavigationVerdict judgeAddress(const CodePage& codePage, const FilterSettings& settings,
                               const ExceptionLists& lists, std::string_view address,
                               std::span<const NamedRules> filterLists = {}, BlockReason* reason = nullptr);
NavigationVerdict judgeAddress(const FilterSettings& settings, const CompiledLists& lists, std::string_view address,
                               const FilterHosts* filterHosts = nullptr, BlockReason* reason = nullptr);

struct NavigationEvent {
    std::string_view address;
    bool isWebBrowser = true;
    bool ctrlDown = false;
};

// Both parts together.
NavigationVerdict judgeNavigation(const CodePage& codePage, const FilterSettings& settings,
                                  const ExceptionLists& lists, const NavigationEvent& event);

}  // namespace nimbrel
