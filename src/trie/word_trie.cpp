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

// Arenas smaller than this (256 KiB) are never laid out again: they stay in cache anyway. The
// stand-in's corpus gives an arena of about 4 MiB, which is walked on every pass of views 3 to 8.
constexpr size_t kMinRelayWords = size_t{1} << 16;

[[noreturn]] void fail(const char* what, unsigned long long nodes) {
  std::fprintf(stderr, "Fehler: %s (%llu Knoten).\n", what, nodes);
  std::fflush(stderr);
  std::_Exit(EXIT_FAILURE);
}

}  // namespace

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
  relayAtWords_ = kMinRelayWords;
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
  if (blocks_.usedWords() >= relayAtWords_) layOutInWalkOrder();
}

// A word whose whole path exists creates nothing, whatever the words around it do; counting it
// changes no block. So the batch first finds the record of every word whose path exists, by the
// table of recent words or by following the word, the words taking their steps round by round so
// that their memory reads overlap (each step fetches ahead the block its next step reads); counts
// those, and then inserts the rest one after the other in word order: every created count is what
// one insertWord after the other gives.
void WordTrie::insertBatch(const std::string_view* words, size_t n, uint32_t* created) {
  RecentWords::Key keys[kBatchWords];
  for (size_t i = 0; i < n; ++i) {
    keys[i] = RecentWords::keyOf(words[i]);
    if (keys[i].valid()) recent_.prefetch(keys[i]);
  }
  // The word's record while its path is known to exist, valid until a block changes.
  ChildRecord* nodes[kBatchWords];
  for (size_t i = 0; i < n; ++i) {
    nodes[i] = keys[i].valid() ? blocks_.recordAt(recent_.find(keys[i])) : nullptr;
    if (nodes[i] != nullptr) blocks_.prefetch(nodes[i]);
  }
  struct Lane {
    const unsigned char* bytes;
    size_t length;
    size_t pos;  // the next byte to follow
  };
  Lane lanes[kBatchWords];
  uint8_t followed[kBatchWords];  // words looked for in the trie, in word order
  uint8_t active[kBatchWords];    // those still being followed
  size_t followedCount = 0;
  size_t activeCount = 0;
  for (size_t i = 0; i < n; ++i) {
    assert(!words[i].empty() && rootBlock_ != 0);
    created[i] = 0;
    if (nodes[i] != nullptr) {
      wideCounts_.addOne(nodes[i]->count, words[i]);
      continue;
    }
    const auto* bytes = reinterpret_cast<const unsigned char*>(words[i].data());
    assert(bytes[0] > 32);
    nodes[i] = &blocks_.rootChild(rootBlock_, linkNumberOf(bytes[0]));
    lanes[i] = {bytes, words[i].size(), 1};
    followed[followedCount++] = static_cast<uint8_t>(i);
    if (lanes[i].length == 1) continue;
    if (nodes[i]->children != 0) blocks_.prefetch(nodes[i]->children);
    active[activeCount++] = static_cast<uint8_t>(i);
  }
  while (activeCount != 0) {
    size_t kept = 0;
    for (size_t a = 0; a < activeCount; ++a) {
      const size_t i = active[a];
      Lane& lane = lanes[i];
      const BlockRef children = nodes[i]->children;
      nodes[i] =
          children == 0 ? nullptr : blocks_.findChild(children, linkNumberOf(lane.bytes[lane.pos]));
      if (nodes[i] == nullptr) continue;  // the path breaks off: inserted below
      if (++lane.pos == lane.length) continue;
      if (nodes[i]->children != 0) blocks_.prefetch(nodes[i]->children);
      active[kept++] = active[a];
    }
    activeCount = kept;
  }
  for (size_t f = 0; f < followedCount; ++f) {
    const size_t i = followed[f];
    if (nodes[i] == nullptr) continue;
    wideCounts_.addOne(nodes[i]->count, words[i]);
    recent_.remember(keys[i], blocks_.placeOf(*nodes[i]));
  }
  // From here on blocks change, and the records found above may move.
  for (size_t f = 0; f < followedCount; ++f) {
    const size_t i = followed[f];
    if (nodes[i] != nullptr) continue;
    const Descent descent = descend(words[i]);
    created[i] = descent.created;
    recent_.remember(keys[i], blocks_.placeOf(*descent.node));
  }
}

void WordTrie::layOutInWalkOrder() {
  rootBlock_ = blocks_.relayOut(rootBlock_);
  relayAtWords_ = std::max(kMinRelayWords, blocks_.usedWords() + blocks_.usedWords() / 4);
}

// Follows the word from its root node, making the nodes it lacks, and counts it at its end.
WordTrie::Descent WordTrie::descend(std::string_view word) {
  assert(!word.empty() && rootBlock_ != 0);
  const auto* bytes = reinterpret_cast<const unsigned char*>(word.data());
  assert(bytes[0] > 32);
  ChildRecord* node = &blocks_.rootChild(rootBlock_, linkNumberOf(bytes[0]));
  uint32_t created = 0;
  for (size_t pos = 1; pos < word.size(); ++pos) {
    assert(bytes[pos] > 32);
    const int link = linkNumberOf(bytes[pos]);
    const BlockRef children = node->children;
    if (ChildRecord* child = children == 0 ? nullptr : blocks_.findChild(children, link)) {
      node = child;
      continue;
    }
    if (nodeCount_ == maxNodes_) exhausted();
    // Taking or moving a block never moves the block that holds `node`.
    const ChildBlocks::Placement placed =
        children == 0 ? blocks_.createBlock(link) : blocks_.addChild(children, link);
    if (placed.block == 0) outOfRoom();
    node->children = placed.block;
    node = placed.record;
    ++nodeCount_;
    ++created;
  }
  wideCounts_.addOne(node->count, word);
  return {created, node};
}

uint32_t WordTrie::countWord(std::string_view word, WordCount times) {
  assert(times >= 1);
  const Descent descent = descend(word);  // counts once
  wideCounts_.add(descent.node->count, word, times - 1);
  return descent.created;
}

WordCount WordTrie::lookupWord(std::string_view word) const {
  if (word.empty() || rootBlock_ == 0) return 0;
  const auto* bytes = reinterpret_cast<const unsigned char*>(word.data());
  if (bytes[0] <= 32) return 0;
  const ChildRecord* node = &blocks_.rootChild(rootBlock_, linkNumberOf(bytes[0]));
  for (size_t pos = 1; pos < word.size(); ++pos) {
    if (bytes[pos] <= 32 || node->children == 0) return 0;
    node = blocks_.findChild(node->children, linkNumberOf(bytes[pos]));
    if (node == nullptr) return 0;
  }
  return wideCounts_.countOf(node->count, word);
}

void WordTrie::freeTrie() {
  blocks_.discard();
  wideCounts_.clear();
  rootBlock_ = 0;
  nodeCount_ = 0;
}

}  // namespace ws
