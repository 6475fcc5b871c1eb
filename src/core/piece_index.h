#pragma once
// A multi-string automaton (Aho-Corasick) over upper-cased pieces: one scan of an address
// tells every piece that occurs in it starting at a character boundary.

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>
#include <vector>

#include "core/ansi_text.h"

namespace nimbrel {

using PieceId = std::uint32_t;

class PieceIndex {
public:
    PieceIndex() = default;  // knows no piece
    // Piece i gets the id i. Pieces must be distinct and not empty.
    explicit PieceIndex(std::span<const std::string_view> pieces);

    // Replaces `found` with the ids of the pieces that occur in the address, in ascending
    // order, each once. Only occurrences that start on a character boundary count.
    void findAll(const SearchText& address, std::vector<PieceId>& found) const;

    std::size_t memoryBytes() const;

private:
    using Node = std::uint32_t;
    static constexpr Node kRoot = 0;
    static constexpr std::uint32_t kNone = UINT32_MAX;

    void buildTrie(std::span<const std::string_view> pieces);
    void buildFailureLinks();
    Node child(Node node, unsigned char byte) const;
    Node step(Node node, unsigned char byte) const;

    // The edges of node n are [edgeStart_[n], edgeStart_[n + 1]), sorted by byte.
    std::vector<std::uint32_t> edgeStart_;
    std::vector<unsigned char> edgeBytes_;
    std::vector<Node> edgeTargets_;
    std::vector<Node> fail_;
    std::vector<PieceId> output_;    // the piece that ends at the node, or kNone
    std::vector<Node> nextOutput_;   // the nearest node down the failure chain with a piece
    std::vector<std::uint32_t> pieceLength_;
    std::array<Node, 256> rootNext_{};  // the root's moves, looked up most often
};

}  // namespace nimbrel
