#pragma once
// The built-in tables of every level in one index: one scan of an address tells which
// tables and word rules it hits, and the level decides which of them count.

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

    TableHits() = default;
    explicit TableHits(unsigned kinds) : kinds_(kinds) {}

    bool has(Kind kind) const { return (kinds_ & kind) != 0; }
    bool isLocal() const { return has(localMarker); }
    // The host and path tables, and the word table when the level uses it.
    bool looksLikeAd(bool withWordTable) const;

private:
    unsigned kinds_ = 0;
};

TableHits scanTables(const SearchText& address);

}  // namespace nimbrel
