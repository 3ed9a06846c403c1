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
// changes no block. So the batch first counts the words the table of recent words knows, then
// follows every other word as far as its path exists, the words taking their steps round by round
// so that their memory reads overlap (each step fetches ahead the block its next step reads),
// counts the words found whole, and then inserts the rest one after the other in word order:
// every created count is what one insertWord after the other gives.
void WordTrie::insertBatch(const std::string_view* words, size_t n, uint32_t* created) {
  struct Lane {
    const unsigned char* bytes;
    size_t length;
    size_t pos;  // the next byte to follow
    ChildRecord* node;
  };
  Lane lanes[kBatchWords];
  RecentWords::Key keys[kBatchWords];
  uint8_t active[kBatchWords];
  uint8_t pending[kBatchWords];  // words not yet counted, in word order
  size_t activeCount = 0;
  size_t pendingCount = 0;
  for (size_t i = 0; i < n; ++i) {
    keys[i] = RecentWords::keyOf(words[i]);
    if (keys[i].valid()) recent_.prefetch(keys[i]);
  }
  uint32_t places[kBatchWords];
  for (size_t i = 0; i < n; ++i) {
    places[i] = keys[i].valid() ? recent_.find(keys[i]) : 0;
    if (places[i] != 0) blocks_.prefetchRecord(places[i]);
  }
  for (size_t i = 0; i < n; ++i) {
    assert(!words[i].empty() && rootBlock_ != 0);
    created[i] = 0;
    if (places[i] != 0) {
      wideCounts_.addOne(blocks_.recordAt(places[i]).count, words[i]);
      continue;
    }
    const auto* bytes = reinterpret_cast<const unsigned char*>(words[i].data());
    assert(bytes[0] > 32);
    ChildRecord* root = &blocks_.record(rootBlock_, linkNumberOf(bytes[0]) - 1);
    lanes[i] = {bytes, words[i].size(), 1, root};
    pending[pendingCount++] = static_cast<uint8_t>(i);
    if (lanes[i].length == 1) continue;
    if (root->children != 0) blocks_.prefetch(root->children);
    active[activeCount++] = static_cast<uint8_t>(i);
  }
  while (activeCount != 0) {
    size_t kept = 0;
    for (size_t a = 0; a < activeCount; ++a) {
      Lane& lane = lanes[active[a]];
      const BlockRef children = lane.node->children;
      lane.node =
          children == 0 ? nullptr : blocks_.findChild(children, linkNumberOf(lane.bytes[lane.pos]));
      if (lane.node == nullptr) continue;  // the path breaks off: inserted below
      if (++lane.pos == lane.length) continue;
      if (lane.node->children != 0) blocks_.prefetch(lane.node->children);
      active[kept++] = active[a];
    }
    activeCount = kept;
  }
  for (size_t p = 0; p < pendingCount; ++p) {
    const size_t i = pending[p];
    if (lanes[i].node == nullptr) continue;
    wideCounts_.addOne(lanes[i].node->count, words[i]);
    recent_.remember(keys[i], blocks_.placeOf(*lanes[i].node));
  }
  for (size_t p = 0; p < pendingCount; ++p) {
    const size_t i = pending[p];
    if (lanes[i].node != nullptr) continue;
    const Descent descent = descend(words[i]);
    created[i] = descent.created;
    recent_.remember(keys[i], blocks_.placeOf(*descent.node));
  }
}

void WordTrie::layOutInWalkOrder() {
  recent_.nextGeneration();
  rootBlock_ = blocks_.relayOut(rootBlock_);
  relayAtWords_ = std::max(kMinRelayWords, blocks_.usedWords() + blocks_.usedWords() / 4);
}

// Follows the word from its root node, making the nodes it lacks, and counts it at its end.
WordTrie::Descent WordTrie::descend(std::string_view word) {
  assert(!word.empty() && rootBlock_ != 0);
  const auto* bytes = reinterpret_cast<const unsigned char*>(word.data());
  assert(bytes[0] > 32);
  ChildRecord* node = &blocks_.record(rootBlock_, linkNumberOf(bytes[0]) - 1);
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
    // Taking or moving a block never moves the block that holds `node`. Adding to a block moves
    // records in it, so the places of recent words are forgotten.
    if (children != 0) recent_.nextGeneration();
    const ChildBlocks::Placement placed = children == 0
                                              ? ChildBlocks::Placement{blocks_.createBlock(link), 0}
                                              : blocks_.addChild(children, link);
    if (placed.block == 0) outOfRoom();
    node->children = placed.block;
    node = &blocks_.record(placed.block, placed.slot);
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
  const ChildRecord* node = &blocks_.record(rootBlock_, linkNumberOf(bytes[0]) - 1);
  for (size_t pos = 1; pos < word.size(); ++pos) {
    if (bytes[pos] <= 32 || node->children == 0) return 0;
    node = blocks_.findChild(node->children, linkNumberOf(bytes[pos]));
    if (node == nullptr) return 0;
  }
  return countOf(*node, word);
}

void WordTrie::freeTrie() {
  recent_.nextGeneration();
  blocks_.discard();
  wideCounts_.clear();
  rootBlock_ = 0;
  nodeCount_ = 0;
}

}  // namespace ws
