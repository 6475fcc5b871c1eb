#include "core/compiled_list.h"

#include <algorithm>
#include <array>
#include <bit>
#include <functional>
#include <iterator>
#include <numeric>
#include <string>
#include <string_view>
#include <utility>

namespace nimbrel {

namespace {

template <typename T>
std::size_t bytesOf(const std::vector<T>& v) {
    return v.capacity() * sizeof(T);
}

// The distinct upper-cased pieces of all lines, one after the other, numbered in order of
// first appearance. An open-addressed table finds a piece met before, so each piece is
// kept once and handed to the index without a copy.
class DistinctPieces {
public:
    DistinctPieces(std::size_t expectedPieces, std::size_t textBytes) : slots_(slotsFor(expectedPieces), kFree) {
        texts_.text.reserve(textBytes);
        texts_.offsets.reserve(expectedPieces + 1);
    }

    // The id of the piece once upper-cased; the same text always gets the same id.
    PieceId add(const CodePage& codePage, std::string_view piece) {
        std::string& text = texts_.text;
        const std::size_t start = text.size();
        text.append(piece);
        upperCaseInPlace(codePage, std::span<char>(text).subspan(start));  // as a text of its own
        const std::size_t slot = slotOf(std::string_view(text).substr(start));
        if (slots_[slot] != kFree) {
            text.resize(start);
            return slots_[slot];
        }
        const auto id = static_cast<PieceId>(size());
        slots_[slot] = id;
        texts_.offsets.push_back(static_cast<std::uint32_t>(text.size()));
        if (size() * 4 > slots_.size() * 3) grow();
        return id;
    }

    std::size_t size() const { return texts_.offsets.size() - 1; }
    std::string_view operator[](PieceId id) const {
        return std::string_view(texts_.text).substr(texts_.offsets[id], texts_.offsets[id + 1] - texts_.offsets[id]);
    }
    PieceTexts take() { return std::move(texts_); }

private:
    static constexpr PieceId kFree = UINT32_MAX;

    static std::size_t slotsFor(std::size_t pieces) { return std::bit_ceil(std::max<std::size_t>(16, pieces * 2)); }

    // The slot that holds the text, or the free one where it belongs.
    std::size_t slotOf(std::string_view text) const {
        const std::size_t mask = slots_.size() - 1;
        std::size_t slot = std::hash<std::string_view>{}(text) & mask;
        while (slots_[slot] != kFree && (*this)[slots_[slot]] != text) slot = (slot + 1) & mask;
        return slot;
    }

    void grow() {
        slots_.assign(slots_.size() * 2, kFree);
        for (PieceId id = 0; id < size(); ++id) slots_[slotOf((*this)[id])] = id;
    }

    PieceTexts texts_;
    std::vector<PieceId> slots_;
};

}  // namespace

CompiledList::CompiledList(const CodePage& codePage, ListLines lines) {
    const std::size_t textBytes = std::accumulate(lines.begin(), lines.end(), std::size_t{0},
                                                  [](std::size_t sum, const std::string& line) { return sum + line.size(); });
    lineText_.reserve(textBytes);
    lineStart_.reserve(lines.size() + 1);
    for (const std::string& line : lines) {
        lineText_ += line;
        lineStart_.push_back(static_cast<std::uint32_t>(lineText_.size()));
    }
    DistinctPieces pieces(lines.size(), textBytes);
    std::vector<PieceId> keyOfLine;
    keyOfLine.reserve(lines.size());
    lines_.reserve(lines.size());
    for (std::size_t number = 0; number < lines.size(); ++number) {
        if (!isUsableLine(lines[number])) continue;
        const PatternPieces slots = splitPattern(lines[number]);
        std::array<PieceId, kPatternSlotCount> ids{};
        const auto idsBegin = ids.begin();
        auto idsEnd = idsBegin;
        for (auto piece = slots.begin(); piece != slots.end(); ++piece) {
            // The slots after the last piece repeat it; two texts may differ only in letter case.
            if (piece->empty() || std::find(slots.begin(), piece, *piece) != piece) continue;
            const PieceId id = pieces.add(codePage, *piece);
            if (std::find(idsBegin, idsEnd, id) == idsEnd) *idsEnd++ = id;
        }
        if (idsBegin == idsEnd) {
            firstMatchingAll_ = number;  // no later line can come first
            break;
        }
        const PieceId key = *std::max_element(idsBegin, idsEnd, [&](PieceId a, PieceId b) {
            return pieces[a].size() < pieces[b].size();
        });
        keyOfLine.push_back(key);
        const auto otherBegin = static_cast<std::uint32_t>(otherPieces_.size());
        std::copy_if(idsBegin, idsEnd, std::back_inserter(otherPieces_), [key](PieceId id) { return id != key; });
        const auto otherEnd = static_cast<std::uint32_t>(otherPieces_.size());
        lines_.push_back({static_cast<std::uint32_t>(number), otherBegin, otherEnd});
    }

    // Each line filed under its key, in list order.
    keyedStart_.assign(pieces.size() + 1, 0);
    for (const PieceId key : keyOfLine) ++keyedStart_[key + 1];
    std::partial_sum(keyedStart_.begin(), keyedStart_.end(), keyedStart_.begin());
    keyedLines_.resize(lines_.size());
    std::vector<std::uint32_t> filled(keyedStart_.begin(), keyedStart_.end() - 1);
    for (std::uint32_t i = 0; i < lines_.size(); ++i) keyedLines_[filled[keyOfLine[i]]++] = i;
    index_ = PieceIndex(pieces.take(), PieceIndex::kLongestGram, true);
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

std::string_view CompiledList::line(std::size_t number) const {
    return std::string_view(lineText_).substr(lineStart_[number], lineStart_[number + 1] - lineStart_[number]);
}

std::size_t CompiledList::memoryBytes() const {
    return sizeof(*this) - sizeof(index_) + index_.memoryBytes() + bytesOf(lines_) + bytesOf(otherPieces_) +
           bytesOf(keyedStart_) + bytesOf(keyedLines_) + lineText_.capacity() + bytesOf(lineStart_);
}

}  // namespace nimbrel
