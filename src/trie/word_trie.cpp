#include "trie/word_trie.h"

#include <algorithm>
#include <cassert>
#include <cstdio>
#include <cstdlib>

namespace ws {
namespace {

// Address space tried for the child blocks: every offset a BlockRef can name (16 GiB, far beyond
// any real memory), halved while the system refuses, down to the smallest worth trying.
constexpr size_t kArenaWords = size_t{UINT32_MAX} + 1;
constexpr size_t kMinArenaWords = size_t{1} << 20;

// Words that descend together in insertWords.
constexpr size_t kBatchWords = 64;

[[noreturn]] void fail(const char* what, unsigned long long nodes) {
  std::fprintf(stderr, "Fehler: %s (%llu Knoten).\n", what, nodes);
  std::fflush(stderr);
  std::_Exit(EXIT_FAILURE);
}

}  // namespace

// A word on its way down: it stands at the node in `slot` of `block` and follows bytes[pos] next.
struct WordTrie::Lane {
  const unsigned char* bytes;
  size_t length;
  size_t pos;
  BlockRef block;
  int slot;
  uint32_t* created;
};

WordTrie::WordTrie(uint32_t maxNodes) : maxNodes_(maxNodes) {
  assert(maxNodes >= static_cast<uint32_t>(kLinkCount));
  size_t words = kArenaWords;
  while (!blocks_.reserve(words)) {
    if (words / 2 < kMinArenaWords) fail("Kein Adressraum fuer den Wortbaum", 0);
    words /= 2;
  }
  rootBlock_ = blocks_.createRootBlock();
  if (rootBlock_ == 0) outOfRoom();
  nodeCount_ = kLinkCount;
}

void WordTrie::exhausted() const {
  fail("Der Wortbaum hat keinen Platz fuer weitere Knoten", maxNodes_);
}

void WordTrie::outOfRoom() const {
  if (blocks_.shortage() == ChildBlocks::Shortage::addressSpace) {
    fail("Der Wortbaum hat keinen Platz fuer weitere Knoten", nodeCount_);
  }
  fail("Kein Speicher fuer weitere Knoten des Wortbaums", nodeCount_);
}

uint32_t WordTrie::insertWord(std::string_view word) {
  uint32_t created = 0;
  insertWords(&word, 1, &created);
  return created;
}

void WordTrie::insertWords(const std::string_view* words, size_t n, uint32_t* created) {
  for (size_t done = 0; done < n; done += kBatchWords) {
    insertBatch(words + done, std::min(kBatchWords, n - done), created + done);
  }
}

// The words take their steps round by round, in word order within a round. A
// node on a shared path is therefore created by the first word in order that
// reaches it, exactly as with one insertWord after the other. Each step fetches
// ahead the child block that the word's next step reads.
void WordTrie::insertBatch(const std::string_view* words, size_t n, uint32_t* created) {
  Lane lanes[kBatchWords];
  uint8_t active[kBatchWords];
  size_t activeCount = 0;
  for (size_t i = 0; i < n; ++i) {
    assert(!words[i].empty() && rootBlock_ != 0);
    const auto* bytes = reinterpret_cast<const unsigned char*>(words[i].data());
    assert(bytes[0] > 32);
    Lane& lane = lanes[i];
    lane = {bytes, words[i].size(), 1, rootBlock_, linkNumberOf(bytes[0]) - 1, created + i};
    created[i] = 0;
    ChildRecord& root = blocks_.record(rootBlock_, lane.slot);
    if (lane.length == 1) {
      ++root.count;
      continue;
    }
    if (root.children != 0) blocks_.prefetch(root.children);
    active[activeCount++] = static_cast<uint8_t>(i);
  }
  while (activeCount != 0) {
    size_t kept = 0;
    for (size_t a = 0; a < activeCount; ++a) {
      if (step(lanes[active[a]], lanes, n)) active[kept++] = active[a];
    }
    activeCount = kept;
  }
}

// One byte of `lane`'s word: finds or makes the child under it and moves there. Returns whether
// the word goes on; at its end the word's count goes up.
bool WordTrie::step(Lane& lane, Lane* lanes, size_t laneCount) {
  assert(lane.bytes[lane.pos] > 32);
  const int link = linkNumberOf(lane.bytes[lane.pos]);
  ChildRecord& here = blocks_.record(lane.block, lane.slot);
  BlockRef children = here.children;
  int slot = children == 0 ? -1 : blocks_.findSlot(children, link);
  if (slot < 0) {
    if (nodeCount_ == maxNodes_) exhausted();
    if (children == 0) {
      // Taking a block moves no other block, so `here` stays in place.
      children = blocks_.createBlock(link);
      if (children == 0) outOfRoom();
      here.children = children;
      slot = 0;
    } else {
      const ChildBlocks::Placement placed = blocks_.addChild(children, link);
      if (placed.block == 0) outOfRoom();
      // The other words standing in that block find their slots again.
      for (size_t i = 0; i < laneCount; ++i) {
        Lane& other = lanes[i];
        if (&other == &lane || other.pos >= other.length || other.block != children) continue;
        other.block = placed.block;
        other.slot = blocks_.findSlot(placed.block, linkNumberOf(other.bytes[other.pos - 1]));
      }
      here.children = placed.block;
      children = placed.block;
      slot = placed.slot;
    }
    ++nodeCount_;
    ++*lane.created;
  }
  lane.block = children;
  lane.slot = slot;
  ChildRecord& next = blocks_.record(children, slot);
  if (++lane.pos == lane.length) {
    ++next.count;
    return false;
  }
  if (next.children != 0) blocks_.prefetch(next.children);
  return true;
}

uint32_t WordTrie::lookupWord(std::string_view word) const {
  if (word.empty() || rootBlock_ == 0) return 0;
  const auto* bytes = reinterpret_cast<const unsigned char*>(word.data());
  if (bytes[0] <= 32) return 0;
  BlockRef block = rootBlock_;
  int slot = linkNumberOf(bytes[0]) - 1;
  for (size_t pos = 1; pos < word.size(); ++pos) {
    if (bytes[pos] <= 32) return 0;
    const BlockRef children = blocks_.record(block, slot).children;
    if (children == 0) return 0;
    slot = blocks_.findSlot(children, linkNumberOf(bytes[pos]));
    if (slot < 0) return 0;
    block = children;
  }
  return blocks_.record(block, slot).count;
}

void WordTrie::freeTrie() {
  blocks_.discard();
  rootBlock_ = 0;
  nodeCount_ = 0;
}

}  // namespace ws
