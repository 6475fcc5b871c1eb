#pragma once
// The built-in tables of every level in one index: one scan of an address tells which
// tables and word rules it hits, and the level decides which of them count.

#include <array>
#include <cstdint>
#include <string_view>

#include "core/ad_tables.h"
#include "core/ansi_text.h"

namespace nimbrel {

class TableHits {
public:
    enum Kind : unsigned {
        localMarker = 1u << 0,
        host = 1u << 1,
        path = 1u << 2,
        word = 1u << 3,
        wordException = 1u << 4,  // "read": the word table is skipped
        conditionalWord = 1u << 5,
        conditionalVeto = 1u << 6,
    };

    bool has(Kind kind) const { return (kinds_ & kind) != 0; }
    bool isLocal() const { return has(localMarker); }
    // The host and path tables, and the word table when the level uses it.
    bool looksLikeAd(bool withWordTable) const;
    // The first entry of the table, in its order, that the address holds; the word table's
    // plain entries come before the conditional "ad ". Empty when the table has no hit.
    std::string_view firstEntry(AdTable table) const;

    void add(unsigned kinds) { kinds_ |= kinds; }
    void meet(AdTable table, std::uint8_t position);

private:
    static constexpr std::uint8_t kNone = UINT8_MAX;

    unsigned kinds_ = 0;
    std::array<std::uint8_t, 4> first_{kNone, kNone, kNone, kNone};  // by AdTable
};

TableHits scanTables(const SearchText& address);

}  // namespace nimbrel
