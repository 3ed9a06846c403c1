#include "trie/word_trie.h"

#include <algorithm>
#include <cassert>
#include <cstdio>
#include <cstdlib>

namespace ws {
namespace {

// Memory is opened for this many more nodes at a time (about 58 MB).
constexpr uint32_t kCommitNodes = uint32_t{1} << 16;

// Smallest reservation worth trying when the system refuses larger ones.
constexpr uint32_t kMinReservation = uint32_t{1} << 12;

[[noreturn]] void fail(const char* what, unsigned long long nodes) {
  std::fprintf(stderr, "Fehler: %s (%llu Knoten).\n", what, nodes);
  std::fflush(stderr);
  std::_Exit(EXIT_FAILURE);
}

}  // namespace

WordTrie::WordTrie(uint32_t maxNodes) {
  assert(maxNodes >= static_cast<uint32_t>(kLinkCount));
  // Index 0 stands for "absent", so the pool holds one slot more than nodes.
  uint32_t want = maxNodes;
  for (;;) {
    const size_t slots = size_t{want} + 1;
    if (nodeSpace_.reserve(slots * sizeof(TrieNode)) &&
        summarySpace_.reserve(slots * sizeof(NodeSummary))) {
      break;
    }
    if (want / 2 < kMinReservation || want / 2 < static_cast<uint32_t>(kLinkCount)) {
      fail("Kein Adressraum fuer den Wortbaum", want);
    }
    want /= 2;
  }
  maxNodes_ = want;
  nodes_ = static_cast<TrieNode*>(nodeSpace_.base());
  summaries_ = static_cast<NodeSummary*>(summarySpace_.base());
  createRoots();
}

void WordTrie::createRoots() {
  for (int k = 1; k <= kLinkCount; ++k) roots_[k - 1] = takeNode();
}

void WordTrie::exhausted() const {
  fail("Der Wortbaum hat keinen Platz fuer weitere Knoten", maxNodes_);
}

void WordTrie::growCommitted() {
  if (nextIndex_ > maxNodes_) exhausted();
  const uint64_t end =
      std::min<uint64_t>(uint64_t{committedEnd_} + kCommitNodes, uint64_t{maxNodes_} + 1);
  if (!nodeSpace_.commit(end * sizeof(TrieNode)) ||
      !summarySpace_.commit(end * sizeof(NodeSummary))) {
    fail("Kein Speicher fuer weitere Knoten des Wortbaums", nodeCount());
  }
  committedEnd_ = static_cast<NodeIndex>(end);
}

inline NodeIndex WordTrie::takeNode() {
  if (nextIndex_ >= committedEnd_) [[unlikely]]
    growCommitted();
  // Fresh pages of the reservation read as zero, so the node is already clean.
  return nextIndex_++;
}

uint32_t WordTrie::insertWord(std::string_view word) {
  assert(!word.empty() && roots_[0] != 0);
  const auto* bytes = reinterpret_cast<const unsigned char*>(word.data());
  const size_t length = word.size();
  assert(bytes[0] > 32);
  NodeIndex current = roots_[linkNumberOf(bytes[0]) - 1];
  uint32_t created = 0;
  for (size_t pos = 1; pos < length; ++pos) {
    assert(bytes[pos] > 32);
    const int link = linkNumberOf(bytes[pos]);
    NodeIndex next = nodes_[current].links[link - 1];
    if (next == 0) {
      // Nodes never move, so taking one leaves `current` in place.
      next = takeNode();
      nodes_[current].links[link - 1] = next;
      summaries_[current].addChild(link);
      ++created;
    }
    current = next;
  }
  ++nodes_[current].count;
  return created;
}

namespace {

// Words that descend together in insertWords.
constexpr size_t kBatchWords = 64;

struct Lane {
  const unsigned char* bytes;
  size_t length;
  size_t pos;  // the next byte to follow
  NodeIndex node;
};

}  // namespace

void WordTrie::insertWords(const std::string_view* words, size_t n, uint32_t* created) {
  for (size_t done = 0; done < n; done += kBatchWords) {
    insertBatch(words + done, std::min(kBatchWords, n - done), created + done);
  }
}

// The words take their steps round by round, in word order within a round. A
// node on a shared path is therefore created by the first word in order that
// reaches it, exactly as with one insertWord after the other. Each step fetches
// ahead the link slot (or count) that the word's next step reads.
void WordTrie::insertBatch(const std::string_view* words, size_t n, uint32_t* created) {
  Lane lanes[kBatchWords];
  uint8_t active[kBatchWords];
  size_t activeCount = 0;
  for (size_t i = 0; i < n; ++i) {
    assert(!words[i].empty() && roots_[0] != 0);
    Lane& lane = lanes[i];
    lane.bytes = reinterpret_cast<const unsigned char*>(words[i].data());
    lane.length = words[i].size();
    lane.pos = 1;
    lane.node = roots_[linkNumberOf(lane.bytes[0]) - 1];
    created[i] = 0;
    if (lane.length > 1) {
      __builtin_prefetch(&nodes_[lane.node].links[linkNumberOf(lane.bytes[1]) - 1]);
      active[activeCount++] = static_cast<uint8_t>(i);
    }
  }
  while (activeCount != 0) {
    size_t kept = 0;
    for (size_t a = 0; a < activeCount; ++a) {
      const size_t i = active[a];
      Lane& lane = lanes[i];
      assert(lane.bytes[lane.pos] > 32);
      const int link = linkNumberOf(lane.bytes[lane.pos]);
      NodeIndex next = nodes_[lane.node].links[link - 1];
      if (next == 0) {
        next = takeNode();
        nodes_[lane.node].links[link - 1] = next;
        summaries_[lane.node].addChild(link);
        ++created[i];
      }
      lane.node = next;
      if (++lane.pos < lane.length) {
        __builtin_prefetch(&nodes_[next].links[linkNumberOf(lane.bytes[lane.pos]) - 1]);
        active[kept++] = static_cast<uint8_t>(i);
      } else {
        __builtin_prefetch(&nodes_[next].count);
      }
    }
    activeCount = kept;
  }
  for (size_t i = 0; i < n; ++i) ++nodes_[lanes[i].node].count;
}

uint32_t WordTrie::lookupWord(std::string_view word) const {
  if (word.empty()) return 0;
  const auto* bytes = reinterpret_cast<const unsigned char*>(word.data());
  if (bytes[0] <= 32) return 0;
  NodeIndex current = roots_[linkNumberOf(bytes[0]) - 1];
  for (size_t pos = 1; pos < word.size() && current != 0; ++pos) {
    if (bytes[pos] <= 32) return 0;
    current = nodes_[current].links[linkNumberOf(bytes[pos]) - 1];
  }
  return current == 0 ? 0 : nodes_[current].count;
}

void WordTrie::freeTrie() {
  nodeSpace_.discard();
  summarySpace_.discard();
  nextIndex_ = 1;
  for (NodeIndex& root : roots_) root = 0;
}

}  // namespace ws
