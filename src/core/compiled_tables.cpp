#include "core/compiled_tables.h"

#include <algorithm>
#include <string>
#include <utility>
#include <vector>

#include "core/ad_tables.h"
#include "core/piece_index.h"

namespace nimbrel {

namespace {

constexpr std::uint8_t kNotInTable = UINT8_MAX;

// No entry is shorter than three bytes: grams of three let one scan find them all.
constexpr std::size_t kTableGram = 3;

// Each distinct entry: every kind it belongs to, and where it stands in each table.
struct EntryKinds {
    unsigned kinds = 0;
    std::array<std::uint8_t, 4> position{kNotInTable, kNotInTable, kNotInTable, kNotInTable};  // by AdTable
};

// The tables are plain ASCII and do not depend on the code page; two tables may share an
// entry, so each distinct entry carries every kind it belongs to.
struct TableIndex {
    PieceIndex index;
    std::vector<EntryKinds> kindsOf;

    TableIndex() {
        std::vector<std::pair<std::string, EntryKinds>> entries;
        const auto find = [&](std::string_view entry) -> EntryKinds& {
            const std::string upper = upperCase(CodePage::singleByte(), entry);
            for (auto& [text, kinds] : entries)
                if (text == upper) return kinds;
            return entries.emplace_back(upper, EntryKinds{}).second;
        };
        const auto add = [&](std::string_view entry, unsigned kind) { find(entry).kinds |= kind; };
        const std::pair<AdTable, TableHits::Kind> tables[] = {
            {AdTable::localMarkers, TableHits::localMarker},
            {AdTable::hosts, TableHits::host},
            {AdTable::paths, TableHits::path},
            {AdTable::words, TableHits::word},
        };
        for (const auto& [table, kind] : tables) {
            const auto texts = tableEntries(table);
            for (std::size_t i = 0; i < texts.size(); ++i) {
                EntryKinds& entry = find(texts[i]);
                entry.kinds |= kind;
                std::uint8_t& position = entry.position[static_cast<std::size_t>(table)];
                position = std::min(position, static_cast<std::uint8_t>(i));
            }
        }
        add(kWordTableException, TableHits::wordException);
        add(kConditionalAdWord, TableHits::conditionalWord);
        add(kConditionalAdWordVeto, TableHits::conditionalVeto);

        std::vector<std::string_view> pieces;
        for (const auto& [text, kinds] : entries) {
            pieces.push_back(text);
            kindsOf.push_back(kinds);
        }
        index = PieceIndex(pieces, kTableGram, false);
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

std::string_view TableHits::firstEntry(AdTable table) const {
    const std::uint8_t position = first_[static_cast<std::size_t>(table)];
    if (position != kNone) return tableEntries(table)[position];
    if (table == AdTable::words && has(conditionalWord) && !has(conditionalVeto)) return kConditionalAdWord;
    return {};
}

void TableHits::meet(AdTable table, std::uint8_t position) {
    std::uint8_t& first = first_[static_cast<std::size_t>(table)];
    first = std::min(first, position);
}

TableHits scanTables(const SearchText& address) {
    const TableIndex& tables = tableIndex();
    thread_local std::vector<PieceId> found;
    tables.index.findAll(address, found);
    TableHits hits;
    for (PieceId id : found) {
        const EntryKinds& entry = tables.kindsOf[id];
        hits.add(entry.kinds);
        for (std::size_t table = 0; table < entry.position.size(); ++table)
            if (entry.position[table] != kNotInTable) hits.meet(static_cast<AdTable>(table), entry.position[table]);
    }
    return hits;
}

}  // namespace nimbrel
