#include "core/compiled_list.h"

#include <algorithm>
#include <array>
#include <bit>
#include <functional>
#include <iterator>
#include <numeric>
#include <string>
#include <string_view>

namespace nimbrel {

namespace {

template <typename T>
std::size_t bytesOf(const std::vector<T>& v) {
    return v.capacity() * sizeof(T);
}

// The upper-cased pieces of every line, kept in one buffer while the list is compiled.
struct PieceTexts {
    std::string buffer;
    std::vector<std::uint32_t> offsets{0};

    void add(const CodePage& codePage, std::string_view piece) {
        const std::size_t start = buffer.size();
        buffer.append(piece);
        upperCaseInPlace(codePage, std::span<char>(buffer).subspan(start));  // as a text of its own
        offsets.push_back(static_cast<std::uint32_t>(buffer.size()));
    }
    std::size_t size() const { return offsets.size() - 1; }
    std::string_view operator[](std::size_t i) const {
        return std::string_view(buffer).substr(offsets[i], offsets[i + 1] - offsets[i]);
    }
};

// Numbers each distinct text in order of first appearance, in one open-addressed table
// rather than a node per text.
std::vector<PieceId> distinctIds(const PieceTexts& texts, std::vector<std::string_view>& distinct) {
    constexpr PieceId kFree = UINT32_MAX;
    const std::size_t slots = std::bit_ceil(std::max<std::size_t>(16, texts.size() + texts.size() / 2));
    std::vector<PieceId> table(slots, kFree);
    std::vector<PieceId> ids(texts.size());
    distinct.reserve(texts.size());
    const std::hash<std::string_view> hash;
    for (std::uint32_t t = 0; t < texts.size(); ++t) {
        const std::string_view text = texts[t];
        std::size_t slot = hash(text) & (slots - 1);
        while (table[slot] != kFree && distinct[table[slot]] != text) slot = (slot + 1) & (slots - 1);
        if (table[slot] == kFree) {
            table[slot] = static_cast<PieceId>(distinct.size());
            distinct.push_back(text);
        }
        ids[t] = table[slot];
    }
    return ids;
}

struct RawLine {
    std::uint32_t number;
    std::uint32_t firstText;  // its non-empty pieces in PieceTexts
    std::uint32_t endText;
};

}  // namespace

CompiledList::CompiledList(const CodePage& codePage, ListLines lines) {
    PieceTexts texts;
    std::vector<RawLine> raw;
    raw.reserve(lines.size());
    texts.offsets.reserve(lines.size() + 1);
    texts.buffer.reserve(std::accumulate(lines.begin(), lines.end(), std::size_t{0},
                                         [](std::size_t sum, const std::string& line) { return sum + line.size(); }));
    for (std::size_t number = 0; number < lines.size(); ++number) {
        if (!isUsableLine(lines[number])) continue;
        const auto first = static_cast<std::uint32_t>(texts.size());
        const PatternPieces pieces = splitPattern(lines[number]);
        for (auto piece = pieces.begin(); piece != pieces.end(); ++piece) {
            // The slots after the last piece repeat it: each text once.
            if (!piece->empty() && std::find(pieces.begin(), piece, *piece) == piece) texts.add(codePage, *piece);
        }
        if (texts.size() == first) {
            firstMatchingAll_ = number;  // no later line can come first
            break;
        }
        raw.push_back({static_cast<std::uint32_t>(number), first, static_cast<std::uint32_t>(texts.size())});
    }

    // One id per distinct piece, however many lines share it.
    std::vector<std::string_view> distinct;
    const std::vector<PieceId> idOfText = distinctIds(texts, distinct);
    index_ = PieceIndex(distinct);

    keyedStart_.assign(distinct.size() + 1, 0);
    std::vector<PieceId> keyOfLine;
    keyOfLine.reserve(raw.size());
    lines_.reserve(raw.size());
    otherPieces_.reserve(idOfText.size() - raw.size());
    for (const RawLine& line : raw) {
        std::array<PieceId, kPatternSlotCount> ids{};
        const auto idsBegin = ids.begin();
        auto idsEnd = idsBegin;
        for (std::uint32_t t = line.firstText; t < line.endText; ++t)
            if (std::find(idsBegin, idsEnd, idOfText[t]) == idsEnd) *idsEnd++ = idOfText[t];
        const PieceId key = *std::max_element(idsBegin, idsEnd, [&](PieceId a, PieceId b) {
            return distinct[a].size() < distinct[b].size();
        });
        keyOfLine.push_back(key);
        ++keyedStart_[key + 1];
        const auto otherBegin = static_cast<std::uint32_t>(otherPieces_.size());
        std::copy_if(idsBegin, idsEnd, std::back_inserter(otherPieces_), [key](PieceId id) { return id != key; });
        lines_.push_back({line.number, otherBegin, static_cast<std::uint32_t>(otherPieces_.size())});
    }
    std::partial_sum(keyedStart_.begin(), keyedStart_.end(), keyedStart_.begin());
    keyedLines_.resize(lines_.size());
    std::vector<std::uint32_t> filled(keyedStart_.begin(), keyedStart_.end() - 1);
    for (std::uint32_t i = 0; i < lines_.size(); ++i) keyedLines_[filled[keyOfLine[i]]++] = i;
}

bool CompiledList::othersFound(const Line& line, const std::vector<PieceId>& found) const {
    return std::all_of(otherPieces_.begin() + line.otherBegin, otherPieces_.begin() + line.otherEnd,
                       [&](PieceId id) { return std::binary_search(found.begin(), found.end(), id); });
}

std::optional<std::size_t> CompiledList::firstMatch(const SearchText& address) const {
    std::optional<std::size_t> best = firstMatchingAll_;
    if (lines_.empty()) return best;
    thread_local std::vector<PieceId> found;  // kept between calls: no allocation per address
    index_.findAll(address, found);
    for (PieceId key : found) {
        for (std::uint32_t k = keyedStart_[key]; k < keyedStart_[key + 1]; ++k) {
            const Line& line = lines_[keyedLines_[k]];
            if (best && line.number >= *best) break;
            if (othersFound(line, found)) {
                best = line.number;
                break;
            }
        }
    }
    return best;
}

std::size_t CompiledList::memoryBytes() const {
    return sizeof(*this) - sizeof(index_) + index_.memoryBytes() + bytesOf(lines_) + bytesOf(otherPieces_) +
           bytesOf(keyedStart_) + bytesOf(keyedLines_);
}

}  // namespace nimbrel
