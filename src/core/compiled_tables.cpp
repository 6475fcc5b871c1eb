#include "core/compiled_tables.h"

#include <string>
#include <utility>
#include <vector>

#include "core/ad_tables.h"
#include "core/piece_index.h"

namespace nimbrel {

namespace {

// The tables are plain ASCII and do not depend on the code page; two tables may share an
// entry, so each distinct entry carries every kind it belongs to.
struct TableIndex {
    PieceIndex index;
    std::vector<unsigned> kindsOf;

    TableIndex() {
        std::vector<std::pair<std::string, unsigned>> entries;
        const auto add = [&](std::string_view entry, unsigned kind) {
            const std::string upper = upperCase(CodePage::singleByte(), entry);
            for (auto& [text, kinds] : entries) {
                if (text == upper) {
                    kinds |= kind;
                    return;
                }
            }
            entries.emplace_back(upper, kind);
        };
        const std::pair<AdTable, TableHits::Kind> tables[] = {
            {AdTable::localMarkers, TableHits::localMarker},
            {AdTable::hosts, TableHits::host},
            {AdTable::paths, TableHits::path},
            {AdTable::words, TableHits::word},
        };
        for (const auto& [table, kind] : tables)
            for (std::string_view entry : tableEntries(table)) add(entry, kind);
        add(kWordTableException, TableHits::wordException);
        add(kConditionalAdWord, TableHits::conditionalWord);
        add(kConditionalAdWordVeto, TableHits::conditionalVeto);

        std::vector<std::string_view> pieces;
        for (const auto& [text, kinds] : entries) {
            pieces.push_back(text);
            kindsOf.push_back(kinds);
        }
        index = PieceIndex(pieces);
    }
};

const TableIndex& tableIndex() {
    static const TableIndex index;
    return index;
}

}  // namespace

bool TableHits::looksLikeAd(bool withWordTable) const {
    if (has(host) || has(path)) return true;
    if (!withWordTable || has(wordException)) return false;
    return has(word) || (has(conditionalWord) && !has(conditionalVeto));
}

TableHits scanTables(const SearchText& address) {
    const TableIndex& tables = tableIndex();
    thread_local std::vector<PieceId> found;
    tables.index.findAll(address, found);
    unsigned kinds = 0;
    for (PieceId id : found) kinds |= tables.kindsOf[id];
    return TableHits(kinds);
}

}  // namespace nimbrel
