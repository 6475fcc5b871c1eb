#include "core/piece_index.h"

#include <algorithm>
#include <bit>
#include <cstring>
#include <numeric>
#include <utility>

namespace nimbrel {

namespace {

template <typename T>
std::size_t bytesOf(const std::vector<T>& v) {
    return v.capacity() * sizeof(T);
}

std::uint32_t gramAt(std::string_view text, std::size_t pos, std::size_t length) {
    const auto byte = [&](std::size_t i) { return static_cast<std::uint32_t>(static_cast<unsigned char>(text[pos + i])); };
    if (length == 4) return byte(0) | byte(1) << 8 | byte(2) << 16 | byte(3) << 24;  // one load
    std::uint32_t gram = 0;
    for (std::size_t i = 0; i < length; ++i)
        gram |= byte(i) << (8 * i);
    return gram;
}


std::uint32_t hashOf(std::uint32_t gram) { return gram * 0x9E3779B1u; }

// How often each (hashed) 4-byte gram occurs in all pieces: a close enough guide to pick
// the rarest gram of each piece, so that no bucket holds many pieces.
constexpr unsigned kFrequencyBits = 16;

// The filter's size: sparse enough that a gram of an address that no piece is filed under
// is almost always turned away by its bit alone; each bit that lets a gram through costs a
// mispredicted branch and a bucket read, more than the larger filter costs in cache.
constexpr std::size_t kFilterBitsPerPiece = 32;
constexpr std::size_t kFewestFilterBits = std::size_t{1} << 15;
constexpr std::size_t kMostFilterBits = std::size_t{1} << 23;
// The filter turns most grams away, so a bucket may hold a few pieces and take less memory.
constexpr std::size_t kPiecesPerBucket = 2;

using GramFrequencies = std::vector<std::uint16_t>;  // counts stop at the top: only the rare ones matter

GramFrequencies gramFrequencies(const PieceIndex& pieces, std::size_t pieceCount, std::size_t gramLength) {
    GramFrequencies frequency(std::size_t{1} << kFrequencyBits, 0);
    for (PieceId id = 0; id < pieceCount; ++id) {
        const std::string_view piece = pieces.piece(id);
        for (std::size_t pos = 0; pos + gramLength <= piece.size(); ++pos) {
            std::uint16_t& count = frequency[hashOf(gramAt(piece, pos, gramLength)) >> (32 - kFrequencyBits)];
            count = static_cast<std::uint16_t>(count + (count != UINT16_MAX));
        }
    }
    return frequency;
}

// The rarest gram's start, the first of equally rare ones; branch-free, as the counts vary
// too much for the branch to be predicted.
std::uint32_t rarestGramStart(std::string_view piece, std::size_t gramLength,
                              const GramFrequencies& frequency) {
    std::uint64_t best = UINT64_MAX;  // the count above the start
    for (std::size_t pos = 0; pos + gramLength <= piece.size(); ++pos) {
        const std::uint64_t count = frequency[hashOf(gramAt(piece, pos, gramLength)) >> (32 - kFrequencyBits)];
        best = std::min(best, count << 32 | pos);
    }
    return static_cast<std::uint32_t>(best);
}

// The start of the two neighbouring grams that are rarest together.
std::uint32_t rarestPairStart(std::string_view piece, std::size_t gramLength, const GramFrequencies& frequency) {
    const auto count = [&](std::size_t pos) -> std::uint64_t {
        return frequency[hashOf(gramAt(piece, pos, gramLength)) >> (32 - kFrequencyBits)];
    };
    std::uint64_t best = UINT64_MAX;
    for (std::size_t pos = 0; pos + gramLength + 1 <= piece.size(); ++pos)
        best = std::min(best, (count(pos) + count(pos + 1)) << 32 | pos);
    return static_cast<std::uint32_t>(best);
}

}  // namespace

PieceIndex::PieceIndex(std::span<const std::string_view> pieces, std::size_t longestGram, bool everyOtherPosition)
    : PieceIndex(concatenated(pieces), longestGram, everyOtherPosition) {}

PieceIndex::PieceIndex(PieceTexts pieces, std::size_t longestGram, bool everyOtherPosition)
    : text_(std::move(pieces.text)), offsets_(std::move(pieces.offsets)), stride_(everyOtherPosition ? 2 : 1) {
    longestGram = std::clamp<std::size_t>(longestGram, 1, kLongestGram);
    const std::size_t count = offsets_.size() - 1;
    const GramFrequencies frequency = gramFrequencies(*this, count, longestGram);
    std::array<std::vector<Entry>, kLongestGram> filed;
    std::vector<Entry> everyByte;
    filed[longestGram - 1].reserve(count * stride_);  // most pieces are that long
    for (PieceId id = 0; id < count; ++id) {
        const std::string_view text = piece(id);
        if (text.size() < stride_) {  // one byte: looked up at every position
            everyByte.push_back({gramAt(text, 0, 1), id, 0});
            continue;
        }
        // With a stride of 2, two neighbouring grams: a scan that looks at every other
        // position meets one of them.
        const std::size_t gramLength = std::min(longestGram, text.size() + 1 - stride_);
        const std::uint32_t anchor = stride_ == 1 ? rarestGramStart(text, gramLength, frequency)
                                                  : rarestPairStart(text, gramLength, frequency);
        for (std::uint32_t k = 0; k < stride_; ++k)
            filed[gramLength - 1].push_back({gramAt(text, anchor + k, gramLength), id, anchor + k});
    }
    for (std::size_t length = 0; length < kLongestGram; ++length) {
        if (!filed[length].empty()) {
            tables_[length] = tableOf(filed[length]);
            gramLengths_.push_back(length + 1);
        }
    }
    if (!everyByte.empty()) everyByte_ = tableOf(everyByte);
    hasEveryByte_ = !everyByte.empty();
}

PieceTexts PieceIndex::concatenated(std::span<const std::string_view> pieces) {
    PieceTexts texts;
    texts.offsets.reserve(pieces.size() + 1);
    for (std::string_view piece : pieces) {
        texts.text.append(piece);
        texts.offsets.push_back(static_cast<std::uint32_t>(texts.text.size()));
    }
    return texts;
}

// A counting sort of the entries into their buckets, in place of the counts.
PieceIndex::GramTable PieceIndex::tableOf(const std::vector<Entry>& filed) {
    GramTable table;
    const std::size_t buckets = std::bit_ceil(std::max<std::size_t>(16, filed.size() / kPiecesPerBucket));
    table.shift = 32 - static_cast<unsigned>(std::countr_zero(buckets));
    const std::size_t filterBits = std::bit_ceil(std::clamp<std::size_t>(filed.size() * kFilterBitsPerPiece,
                                                                         kFewestFilterBits, kMostFilterBits));
    table.filterShift = 32 - static_cast<unsigned>(std::countr_zero(filterBits));
    table.filter.assign(filterBits / 64, 0);
    std::vector<std::uint32_t>& start = table.bucketStart;
    start.assign(buckets + 1, 0);
    for (const Entry& entry : filed) {
        const std::uint32_t hash = hashOf(entry.gram);
        ++start[hash >> table.shift];
        const std::uint32_t bit = hash >> table.filterShift;
        table.filter[bit / 64] |= std::uint64_t{1} << (bit % 64);
    }
    std::partial_sum(start.begin(), start.end() - 1, start.begin());  // where each bucket ends
    start.back() = static_cast<std::uint32_t>(filed.size());
    table.entries.resize(filed.size());
    for (const Entry& entry : filed) table.entries[--start[hashOf(entry.gram) >> table.shift]] = entry;
    return table;
}

// The pieces filed under the gram that starts at `pos` of the address.
void PieceIndex::collect(const GramTable& table, const SearchText& address, std::size_t pos, std::uint32_t gram,
                         std::uint32_t hash, std::vector<PieceId>& found) const {
    const std::string_view text = address.upper();
    const std::uint32_t bucket = hash >> table.shift;
    const Entry* entry = table.entries.data() + table.bucketStart[bucket];
    const Entry* const end = table.entries.data() + table.bucketStart[bucket + 1];
    for (; entry != end; ++entry) {
        if (entry->gram != gram || entry->anchor > pos) continue;
        const std::size_t start = pos - entry->anchor;
        const std::uint32_t from = offsets_[entry->piece], length = offsets_[entry->piece + 1] - from;
        if (start + length <= text.size() && std::memcmp(text.data() + start, text_.data() + from, length) == 0 &&
            address.isBoundary(start))
            found.push_back(entry->piece);
    }
}

// The gram rolls along the address; its filter bit turns most positions away before any
// bucket is read.
// Each position's gram is read whole (the text's padding makes that safe at its end); its
// filter bit turns most positions away before any bucket is read.
template <std::size_t GramLength, std::size_t Step>
void PieceIndex::scanGrams(const GramTable& table, const SearchText& address, std::vector<PieceId>& found) const {
    static_assert(std::endian::native == std::endian::little, "a gram's first byte is its lowest");
    static_assert(SearchText::kPadding >= sizeof(std::uint32_t));
    const std::string_view text = address.upper();
    if (text.size() < GramLength) return;
    const std::uint64_t* filter = table.filter.data();
    const unsigned filterShift = table.filterShift;
    constexpr std::uint32_t kMask = GramLength == 4 ? UINT32_MAX : (std::uint32_t{1} << (8 * GramLength)) - 1;
    const std::size_t last = text.size() - GramLength;
    for (std::size_t pos = 0; pos <= last; pos += Step) {
        std::uint32_t gram;
        std::memcpy(&gram, text.data() + pos, sizeof(gram));
        gram &= kMask;
        const std::uint32_t hash = hashOf(gram);
        const std::uint32_t bit = hash >> filterShift;
        if ((filter[bit / 64] >> (bit % 64) & 1) != 0) collect(table, address, pos, gram, hash, found);
    }
}

void PieceIndex::findAll(const SearchText& address, std::vector<PieceId>& found) const {
    found.clear();
    for (const std::size_t gramLength : gramLengths_) {
        const GramTable& table = tables_[gramLength - 1];
        if (stride_ == 1) {
            switch (gramLength) {
                case 1: scanGrams<1, 1>(table, address, found); break;
                case 2: scanGrams<2, 1>(table, address, found); break;
                case 3: scanGrams<3, 1>(table, address, found); break;
                default: scanGrams<4, 1>(table, address, found); break;
            }
        } else {
            switch (gramLength) {
                case 1: scanGrams<1, 2>(table, address, found); break;
                case 2: scanGrams<2, 2>(table, address, found); break;
                case 3: scanGrams<3, 2>(table, address, found); break;
                default: scanGrams<4, 2>(table, address, found); break;
            }
        }
    }
    if (hasEveryByte_) scanGrams<1, 1>(everyByte_, address, found);
    std::sort(found.begin(), found.end());
    found.erase(std::unique(found.begin(), found.end()), found.end());
}

std::size_t PieceIndex::memoryBytes() const {
    std::size_t bytes = sizeof(*this) + text_.capacity() + bytesOf(offsets_) + bytesOf(gramLengths_);
    for (const GramTable& table : tables_)
        bytes += bytesOf(table.filter) + bytesOf(table.bucketStart) + bytesOf(table.entries);
    bytes += bytesOf(everyByte_.filter) + bytesOf(everyByte_.bucketStart) + bytesOf(everyByte_.entries);
    return bytes;
}

}  // namespace nimbrel
