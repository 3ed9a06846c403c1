#pragma once
// The word trie: every word read so far and how often it was read, one node per
// distinct prefix, addressed one character at a time by link number.

#include <cstddef>
#include <cstdint>
#include <string_view>

#include "trie/child_blocks.h"
#include "trie/child_cursor.h"
#include "trie/recent_words.h"
#include "trie/trie_node.h"
#include "trie/wide_counts.h"

namespace ws {

// The 224 root nodes, one per link number, exist from construction on and are
// the nodes of the one-character words; root k has the word byteOfLink(k). Every
// other node hangs under one link of its parent.
//
// Memory: a node is a ChildRecord of 8 bytes in its parent's child block (see
// child_blocks.h); blocks grow by size class as children are added, so the trie
// takes memory as it grows, about 12 to 20 bytes per node, whatever the 900 bytes
// per node the user is shown.
//
// Blocks are taken in the order words arrive, so a walk would jump about the
// arena; whenever the arena has grown by a quarter since the blocks were last
// laid out in walk order, insertWords lays them out again (amortised: a copy of
// the arena per quarter of growth), and a walk reads memory mostly forward.
//
// Words of up to 16 bytes that were counted lately are counted again through a
// table of their records' places (recent_words.h, half a megabyte) without a
// descent, as long as no record has moved since: the arena says which places
// still hold (record_place.h).
//
// Counts are exact to 64 bits: a record counts to 2^32 - 1 by itself, the few
// words read more often keep the rest in a small table by word (wide_counts.h).
//
// When the node limit is reached, or the system refuses memory for more nodes,
// the program prints a message on stderr and ends with exit code 1: a trie that
// cannot grow cannot count what it reads.
class WordTrie {
 public:
  // Default node limit: as many nodes as the 32-bit node counter can count.
  static constexpr uint32_t kDefaultMaxNodes = UINT32_MAX;

  // REQUIRES: maxNodes >= 224 (the root nodes).
  explicit WordTrie(uint32_t maxNodes = kDefaultMaxNodes);
  WordTrie(const WordTrie&) = delete;
  WordTrie& operator=(const WordTrie&) = delete;

  // Counts one occurrence of `word` and returns the number of nodes created for
  // it: the word's length minus the length of its longest prefix that already had
  // a node. 0 means the whole path existed (repeated words, one-byte words and
  // prefixes of stored words alike).
  // REQUIRES: word non-empty, every byte in 33..255, freeTrie not yet called.
  uint32_t insertWord(std::string_view word);

  // Inserts words[0..n) as n calls of insertWord in that order would, with the
  // same results in created[0..n); words whose nodes all exist descend together,
  // so that their memory reads overlap.
  // REQUIRES: every word as for insertWord; created has room for n results.
  void insertWords(const std::string_view* words, size_t n, uint32_t* created);

  // How often `word` was inserted; 0 when never inserted or only a prefix of an
  // inserted word. Words that cannot be stored (empty, or holding a byte below
  // 33) give 0.
  WordCount lookupWord(std::string_view word) const;

  // Counts `times` occurrences of `word` at once, as `times` calls of insertWord
  // would; returns the nodes created. REQUIRES: as for insertWord, times >= 1.
  uint32_t countWord(std::string_view word, WordCount times);

  // The root nodes in link order, a cursor before root 1 (the ordered walk reads
  // the trie through it); it has none after freeTrie. Valid until the trie changes.
  ChildCursor roots() const { return blocks_.children(rootBlock_); }

  // The whole count of the node `at` stands on, whose word is `word`.
  // REQUIRES: at.next() returned true on a cursor reached from roots().
  WordCount countOf(const ChildCursor& at, std::string_view word) const {
    return wideCounts_.countOf(at.recordCount(), word);
  }

  // Releases every node, the root nodes included, and gives their memory back.
  // Afterwards the trie is empty: nodeCount() is 0, every lookup gives 0 and a
  // walk visits nothing.
  void freeTrie();

  // Nodes in existence: 224 after construction, 0 after freeTrie.
  uint32_t nodeCount() const { return nodeCount_; }
  // Most nodes the trie may hold.
  uint32_t maxNodes() const { return maxNodes_; }

  // Lays the child blocks out in walk order now (insertWords does so by itself as
  // the arena grows). Changes no count, node or walk. REQUIRES: freeTrie not yet called.
  void layOutInWalkOrder();

  // Bytes of memory the nodes' blocks take, free-listed blocks included.
  size_t blockBytes() const { return blocks_.usedWords() * sizeof(uint32_t); }

 private:
  struct Descent {
    uint32_t created;   // nodes made for the word
    ChildRecord* node;  // the word's node, valid until the next change of a block
  };
  Descent descend(std::string_view word);
  void insertBatch(const std::string_view* words, size_t n, uint32_t* created);
  [[noreturn]] void exhausted() const;
  [[noreturn]] void outOfRoom() const;

  ChildBlocks blocks_;
  WideCounts wideCounts_;  // the counts that outgrew their records
  RecentWords recent_;     // where frequent words were counted, valid while no record moves
  BlockRef rootBlock_ = 0;
  size_t relayAtWords_ = 0;  // arena size at which the blocks are next laid out in walk order
  uint32_t maxNodes_ = 0;
  uint32_t nodeCount_ = 0;
};

}  // namespace ws
