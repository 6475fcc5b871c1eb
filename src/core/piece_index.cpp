#include "core/piece_index.h"

#include <algorithm>
#include <numeric>

namespace nimbrel {

namespace {

template <typename T>
std::size_t bytesOf(const std::vector<T>& v) {
    return v.capacity() * sizeof(T);
}

std::size_t commonPrefixLength(std::string_view a, std::string_view b) {
    const auto [ia, ib] = std::mismatch(a.begin(), a.end(), b.begin(), b.end());
    return static_cast<std::size_t>(ia - a.begin());
}

}  // namespace

PieceIndex::PieceIndex(std::span<const std::string_view> pieces) {
    pieceLength_.reserve(pieces.size());
    for (std::string_view piece : pieces) pieceLength_.push_back(static_cast<std::uint32_t>(piece.size()));
    buildTrie(pieces);
    buildFailureLinks();
}

// Inserting the pieces in sorted order creates every node's children in ascending byte
// order, so the edges fall into place with one counting pass and no per-node containers.
void PieceIndex::buildTrie(std::span<const std::string_view> pieces) {
    std::vector<PieceId> order(pieces.size());
    std::iota(order.begin(), order.end(), PieceId{0});
    std::sort(order.begin(), order.end(), [&](PieceId a, PieceId b) { return pieces[a] < pieces[b]; });

    std::vector<Node> parent{kNone};
    std::vector<unsigned char> byteFromParent{0};
    output_.assign(1, kNone);
    std::vector<Node> path{kRoot};  // path[d]: the node at depth d of the previous piece
    std::string_view previous;
    for (PieceId id : order) {
        const std::string_view piece = pieces[id];
        path.resize(commonPrefixLength(previous, piece) + 1);
        for (std::size_t depth = path.size() - 1; depth < piece.size(); ++depth) {
            parent.push_back(path.back());
            byteFromParent.push_back(static_cast<unsigned char>(piece[depth]));
            output_.push_back(kNone);
            path.push_back(static_cast<Node>(parent.size() - 1));
        }
        output_[path.back()] = id;
        previous = piece;
    }

    const std::size_t nodeCount = parent.size();
    edgeStart_.assign(nodeCount + 1, 0);
    for (Node node = 1; node < nodeCount; ++node) ++edgeStart_[parent[node] + 1];
    std::partial_sum(edgeStart_.begin(), edgeStart_.end(), edgeStart_.begin());
    edgeBytes_.resize(nodeCount - 1);
    edgeTargets_.resize(nodeCount - 1);
    std::vector<std::uint32_t> filled(edgeStart_.begin(), edgeStart_.end() - 1);
    for (Node node = 1; node < nodeCount; ++node) {
        const std::uint32_t slot = filled[parent[node]]++;
        edgeBytes_[slot] = byteFromParent[node];
        edgeTargets_[slot] = node;
    }
}

// Breadth first, so that a node's failure target (always shallower) is done before it.
void PieceIndex::buildFailureLinks() {
    const std::size_t nodeCount = output_.size();
    fail_.assign(nodeCount, kRoot);
    nextOutput_.assign(nodeCount, kNone);
    rootNext_.fill(kRoot);
    std::vector<Node> queue;
    queue.reserve(nodeCount);
    for (std::uint32_t e = edgeStart_[kRoot]; e < edgeStart_[kRoot + 1]; ++e) {
        rootNext_[edgeBytes_[e]] = edgeTargets_[e];
        queue.push_back(edgeTargets_[e]);
    }
    for (std::size_t head = 0; head < queue.size(); ++head) {
        const Node node = queue[head];
        for (std::uint32_t e = edgeStart_[node]; e < edgeStart_[node + 1]; ++e) {
            const Node next = edgeTargets_[e];
            const Node target = step(fail_[node], edgeBytes_[e]);
            fail_[next] = target;
            nextOutput_[next] = output_[target] != kNone ? target : nextOutput_[target];
            queue.push_back(next);
        }
    }
}

PieceIndex::Node PieceIndex::child(Node node, unsigned char byte) const {
    const auto first = edgeBytes_.begin() + edgeStart_[node];
    const auto last = edgeBytes_.begin() + edgeStart_[node + 1];
    const auto it = last - first <= 8 ? std::find(first, last, byte) : std::lower_bound(first, last, byte);
    return it != last && *it == byte ? edgeTargets_[static_cast<std::size_t>(it - edgeBytes_.begin())] : kNone;
}

PieceIndex::Node PieceIndex::step(Node node, unsigned char byte) const {
    while (node != kRoot) {
        const Node next = child(node, byte);
        if (next != kNone) return next;
        node = fail_[node];
    }
    return rootNext_[byte];
}

void PieceIndex::findAll(const SearchText& address, std::vector<PieceId>& found) const {
    found.clear();
    if (pieceLength_.empty()) return;
    const std::string& text = address.upper();
    Node node = kRoot;
    for (std::size_t pos = 0; pos < text.size(); ++pos) {
        node = step(node, static_cast<unsigned char>(text[pos]));
        for (Node hit = output_[node] != kNone ? node : nextOutput_[node]; hit != kNone; hit = nextOutput_[hit]) {
            const PieceId id = output_[hit];
            if (address.isBoundary(pos + 1 - pieceLength_[id])) found.push_back(id);
        }
    }
    std::sort(found.begin(), found.end());
    found.erase(std::unique(found.begin(), found.end()), found.end());
}

std::size_t PieceIndex::memoryBytes() const {
    return sizeof(*this) + bytesOf(edgeStart_) + bytesOf(edgeBytes_) + bytesOf(edgeTargets_) + bytesOf(fail_) +
           bytesOf(output_) + bytesOf(nextOutput_) + bytesOf(pieceLength_);
}

}  // namespace nimbrel
