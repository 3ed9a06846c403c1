#include "trie/word_trie.h"

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
        bitSpace_.reserve(slots * sizeof(ChildBits))) {
      break;
    }
    if (want / 2 < kMinReservation || want / 2 < static_cast<uint32_t>(kLinkCount)) {
      fail("Kein Adressraum fuer den Wortbaum", want);
    }
    want /= 2;
  }
  maxNodes_ = want;
  nodes_ = static_cast<TrieNode*>(nodeSpace_.base());
  bits_ = static_cast<ChildBits*>(bitSpace_.base());
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
  if (!nodeSpace_.commit(end * sizeof(TrieNode)) || !bitSpace_.commit(end * sizeof(ChildBits))) {
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
      bits_[current].set(link);
      ++created;
    }
    current = next;
  }
  ++nodes_[current].count;
  return created;
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
  bitSpace_.discard();
  nextIndex_ = 1;
  for (NodeIndex& root : roots_) root = 0;
}

}  // namespace ws
