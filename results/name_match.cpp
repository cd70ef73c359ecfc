#include "results/name_match.h"

#include <algorithm>
#include <cstdint>
#include <numeric>

#include "platform/text.h"

namespace mv {

namespace {

// An Aho-Corasick automaton over ASCII-folded bytes whose states only ever
// stand for text that begins on a character start.
//
// A name matched from a character start parses into the same characters as
// the text under it (folding never moves a byte across 0x80), so which of
// its suffixes begin on a character start is known from the name alone.
// Failure links therefore skip suffixes that begin on a trail byte, and a
// second root stands for "just after a lead byte", where nothing may begin.
// Every state reached then holds only genuine matches on its failure chain.
class Matcher {
  public:
    explicit Matcher(const std::vector<Text>& patterns);

    // Marks every pattern that occurs in text.
    void scan(const Text& text);
    bool found(size_t pattern) const { return nodes_[patternNode_[pattern]].flags & kDone; }

  private:
    static constexpr uint32_t kRoot = 0;
    static constexpr uint32_t kAfterLead = 1;  // empty state inside a character
    static constexpr uint32_t kNone = UINT32_MAX;
    static constexpr uint8_t kTerminal = 1;
    static constexpr uint8_t kDone = 2;     // its failure chain has been credited
    static constexpr uint8_t kDangling = 4;  // ends on a lead byte

    // One record per trie node, so that a step of the scan touches one
    // cache line for the node and one for its children.
    struct Node {
        uint32_t firstChild;  // children are contiguous, ordered by byte
        uint32_t fail;
        uint16_t childCount;
        unsigned char byte;  // on the edge into the node
        uint8_t flags;
    };

    uint32_t child(uint32_t node, unsigned char b) const;
    uint32_t next(uint32_t state, unsigned char b) const;
    void build(const std::vector<Text>& sorted);
    void linkFailures();

    std::vector<Node> nodes_;
    uint32_t rootNext_[256];
    std::vector<uint32_t> patternNode_;
    size_t remaining_ = 0;  // terminals not yet found
};

Text folded(const Text& s) {
    Text f(s);
    for (char& c : f) c = static_cast<char>(foldAscii(static_cast<unsigned char>(c)));
    return f;
}

Matcher::Matcher(const std::vector<Text>& patterns) {
    std::vector<Text> keys;
    keys.reserve(patterns.size());
    for (const Text& p : patterns) keys.push_back(folded(p));
    // std::string orders bytes as unsigned, and a prefix before its
    // extensions, which the level-by-level build below relies on.
    std::vector<uint32_t> order(keys.size());
    std::iota(order.begin(), order.end(), 0u);
    std::sort(order.begin(), order.end(), [&](uint32_t a, uint32_t b) { return keys[a] < keys[b]; });

    std::vector<Text> sorted;
    std::vector<uint32_t> rank(keys.size());
    for (uint32_t i : order) {
        if (sorted.empty() || sorted.back() != keys[i]) sorted.push_back(std::move(keys[i]));
        rank[i] = static_cast<uint32_t>(sorted.size() - 1);
    }
    build(sorted);
    // build() left the node of each distinct key, by rank; map it back to
    // every pattern.
    std::vector<uint32_t> byRank;
    byRank.swap(patternNode_);
    patternNode_.resize(patterns.size());
    for (size_t i = 0; i < patterns.size(); ++i) patternNode_[i] = byRank[rank[i]];
    linkFailures();
}

void Matcher::build(const std::vector<Text>& sorted) {
    auto addNode = [&](unsigned char b, uint8_t flags) {
        nodes_.push_back(Node{0, kRoot, 0, b, flags});
        return static_cast<uint32_t>(nodes_.size() - 1);
    };
    // Each byte of a key adds at most one node: reserve, so that growth
    // never copies the table.
    size_t bound = 2;
    for (const Text& k : sorted) bound += k.size();
    nodes_.reserve(bound);
    addNode(0, 0);  // kRoot
    addNode(0, 0);  // kAfterLead
    patternNode_.assign(sorted.size(), kRoot);

    // Breadth first, each node covering the run of sorted keys that share
    // its prefix: node ids come out in breadth-first order and the children
    // of a node are contiguous and ordered by byte.
    struct Range {
        uint32_t node, lo, hi, depth;
    };
    std::vector<Range> queue;
    queue.reserve(bound);
    queue.push_back({kRoot, 0, static_cast<uint32_t>(sorted.size()), 0});
    for (size_t q = 0; q < queue.size(); ++q) {
        Range r = queue[q];
        uint32_t i = r.lo;
        if (i < r.hi && sorted[i].size() == r.depth) {
            if (r.node != kRoot) {
                nodes_[r.node].flags |= kTerminal;
                ++remaining_;
            }
            patternNode_[i++] = r.node;
        }
        nodes_[r.node].firstChild = static_cast<uint32_t>(nodes_.size());
        while (i < r.hi) {
            unsigned char b = static_cast<unsigned char>(sorted[i][r.depth]);
            uint32_t j = i + 1;
            while (j < r.hi && static_cast<unsigned char>(sorted[j][r.depth]) == b) ++j;
            bool dangling = !(nodes_[r.node].flags & kDangling) && isFindLead(b);
            uint32_t c = addNode(b, dangling ? kDangling : 0);
            ++nodes_[r.node].childCount;
            queue.push_back({c, i, j, r.depth + 1});
            i = j;
        }
    }
}

uint32_t Matcher::child(uint32_t node, unsigned char b) const {
    const uint32_t first = nodes_[node].firstChild, end = first + nodes_[node].childCount;
    if (end - first <= 8) {
        for (uint32_t c = first; c < end; ++c) {
            if (nodes_[c].byte == b) return c;
        }
        return kNone;
    }
    uint32_t lo = first, hi = end;
    while (lo < hi) {
        uint32_t mid = lo + (hi - lo) / 2;
        if (nodes_[mid].byte < b) lo = mid + 1;
        else hi = mid;
    }
    return lo < end && nodes_[lo].byte == b ? lo : kNone;
}

// The state after reading b in state. A lead byte read from the root leaves
// the automaton inside a character, where the trail byte starts nothing.
uint32_t Matcher::next(uint32_t state, unsigned char b) const {
    for (;;) {
        if (state == kRoot) return rootNext_[b];
        if (state == kAfterLead) return kRoot;
        uint32_t c = child(state, b);
        if (c != kNone) return c;
        state = nodes_[state].fail;
    }
}

void Matcher::linkFailures() {
    for (unsigned b = 0; b < 256; ++b) {
        uint32_t c = child(kRoot, static_cast<unsigned char>(b));
        rootNext_[b] = c != kNone ? c : isFindLead(static_cast<unsigned char>(b)) ? kAfterLead : kRoot;
    }
    // Ids are breadth first, so a parent's link is set before its children's.
    for (uint32_t p = 0; p < nodes_.size(); ++p) {
        const uint32_t first = nodes_[p].firstChild, end = first + nodes_[p].childCount;
        for (uint32_t u = first; u < end; ++u) {
            Node& node = nodes_[u];
            if (p == kRoot) {
                // The empty suffix after a one-byte name: inside a character
                // when that byte is a lead byte.
                node.fail = (node.flags & kDangling) ? kAfterLead : kRoot;
                continue;
            }
            // The longest suffix of p on a character start that extends by
            // b. Its chain ends in kAfterLead exactly when p dangles, so b is
            // then a trail byte and the empty suffix after it is the root.
            node.fail = next(nodes_[p].fail, node.byte);
        }
    }
}

void Matcher::scan(const Text& text) {
    uint32_t state = kRoot;
    for (size_t i = 0; i < text.size() && remaining_ > 0; ++i) {
        state = next(state, foldAscii(static_cast<unsigned char>(text[i])));
        for (uint32_t s = state; s > kAfterLead && !(nodes_[s].flags & kDone); s = nodes_[s].fail) {
            nodes_[s].flags |= kDone;
            if (nodes_[s].flags & kTerminal) --remaining_;
        }
    }
}

}  // namespace

std::vector<bool> findNames(const Text& text, const std::vector<Text>& names) {
    Matcher matcher(names);
    matcher.scan(text);
    std::vector<bool> found(names.size());
    for (size_t i = 0; i < names.size(); ++i) {
        // The empty name sits at the root, which no scan marks: it is found
        // in any non-empty text.
        found[i] = names[i].empty() ? !text.empty() : matcher.found(i);
    }
    return found;
}

}  // namespace mv
