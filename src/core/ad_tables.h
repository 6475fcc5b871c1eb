#pragma once
// The built-in tables of the navigation filter. Entries are written as they read; they are
// compared upper-cased, as plain substrings anywhere in the address.

#include <span>
#include <string>
#include <string_view>

#include "core/ansi_text.h"

namespace nimbrel {

enum class AdTable {
    localMarkers,  // local files and drives: never filtered
    hosts,         // ad servers, ad-funded hosting, affiliate networks
    paths,         // banner and pop-up paths
    words,         // plain ad words (levels "0" and "1" only)
};

// Word-table rules beyond the plain entries: an address holding the exception word skips the
// whole word table; the conditional word counts only when the veto word is absent.
inline constexpr std::string_view kWordTableException = "read";
inline constexpr std::string_view kConditionalAdWord = "ad ";
inline constexpr std::string_view kConditionalAdWordVeto = "kill";

std::span<const std::string_view> tableEntries(AdTable table);

// True when the address holds any entry of the table at a character boundary.
bool containsAnyEntry(const SearchText& address, AdTable table);
// The first entry of the table, in the table's order, that the address holds; empty if none.
std::string_view firstEntryFound(const SearchText& address, AdTable table);

}  // namespace nimbrel
