#pragma once
// A multi-string index over upper-cased pieces: one scan of an address tells every piece
// that occurs in it starting at a character boundary. Each piece is filed under one of its
// 4-byte grams, the rarest among all pieces (shorter pieces under themselves), or under two
// neighbouring ones so that a scan need look at every other position only; a scan looks up
// one gram per position it visits and compares only the few pieces filed under it. A sparse
// bit filter answers most look-ups, which miss, without touching the buckets.

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "core/ansi_text.h"

namespace nimbrel {

using PieceId = std::uint32_t;

// Pieces one after the other: piece i is text[offsets[i], offsets[i + 1]).
struct PieceTexts {
    std::string text;
    std::vector<std::uint32_t> offsets{0};
};

class PieceIndex {
public:
    PieceIndex() = default;  // knows no piece
    // Piece i gets the id i. Pieces must not be empty. Grams are at most `longestGram` bytes
    // (1 to 4) long: fewer lengths mean fewer scans of an address, longer ones fewer pieces
    // compared per look-up. With `everyOtherPosition`, each piece (of two bytes or more) is
    // filed under two neighbouring grams and a scan looks at every other position only:
    // half the look-ups, for grams one byte shorter.
    PieceIndex(std::span<const std::string_view> pieces, std::size_t longestGram, bool everyOtherPosition);
    PieceIndex(PieceTexts pieces, std::size_t longestGram, bool everyOtherPosition);

    std::string_view piece(PieceId id) const {
        return std::string_view(text_).substr(offsets_[id], offsets_[id + 1] - offsets_[id]);
    }

    // Replaces `found` with the ids of the pieces that occur in the address, in ascending
    // order, each once. Only occurrences that start on a character boundary count.
    void findAll(const SearchText& address, std::vector<PieceId>& found) const;

    std::size_t memoryBytes() const;

    static constexpr std::size_t kLongestGram = 4;

private:

    struct Entry {
        std::uint32_t gram;    // the gram's bytes, first byte lowest
        PieceId piece;
        std::uint32_t anchor;  // where the gram starts in the piece
    };

    // The pieces filed under grams of one length, in buckets by the gram's hash.
    struct GramTable {
        unsigned shift = 32;
        unsigned filterShift = 32;
        std::vector<std::uint64_t> filter;       // a bit by the hash's top bits, set for every filed gram
        std::vector<std::uint32_t> bucketStart;  // bucket b is [bucketStart[b], bucketStart[b + 1])
        std::vector<Entry> entries;
    };

    static PieceTexts concatenated(std::span<const std::string_view> pieces);
    static GramTable tableOf(const std::vector<Entry>& filed);
    template <std::size_t GramLength, std::size_t Step>
    void scanGrams(const GramTable& table, const SearchText& address, std::vector<PieceId>& found) const;
    void collect(const GramTable& table, const SearchText& address, std::size_t pos, std::uint32_t gram,
                 std::uint32_t hash, std::vector<PieceId>& found) const;

    std::string text_;                    // every piece, one after the other
    std::vector<std::uint32_t> offsets_;  // piece i is text_[offsets_[i], offsets_[i + 1])
    std::array<GramTable, kLongestGram> tables_;  // by gram length 1 to 4
    std::vector<std::size_t> gramLengths_;        // the lengths whose tables hold pieces
    std::size_t stride_ = 1;                      // 2: every other position
    GramTable everyByte_;                         // with a stride of 2: pieces of one byte
    bool hasEveryByte_ = false;
};

}  // namespace nimbrel
