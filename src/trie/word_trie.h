#pragma once
// The word trie: every word read so far and how often it was read, one node per
// distinct prefix, addressed one character at a time by link number.

#include <cstddef>
#include <cstdint>
#include <string_view>

#include "trie/address_reservation.h"
#include "trie/node_summary.h"
#include "trie/trie_node.h"

namespace ws {

// Nodes live in one pool of address space reserved when the trie is built; they
// are taken zero-filled one at a time, never move and are released only by
// freeTrie. A NodeIndex stays valid (and a TrieNode reference stays valid) until
// freeTrie or destruction. The 224 root nodes, one per link number, are created
// by the constructor in the order 1..224 and are the nodes of the one-character
// words; root k has the word byteOfLink(k).
//
// Memory: each node costs its 900 bytes plus a 16-byte NodeSummary in a parallel
// pool. Both pools are address space reserved up front (not charged to memory
// until used) and backed by transparent huge pages where the system offers them,
// so growing neither copies nor faults once per 4 KiB page; resident memory grows
// only as nodes are taken.
//
// When the reservation is used up, or the system refuses memory for more nodes,
// the program prints a message on stderr and ends with exit code 1: a trie that
// cannot grow cannot count what it reads.
class WordTrie {
 public:
  // Default reservation: 2^27 nodes (about 120 GB of address space for nodes,
  // far beyond any real memory). If the system refuses that much address space
  // the reservation is halved until it is granted.
  static constexpr uint32_t kDefaultMaxNodes = uint32_t{1} << 27;

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
  // same results in created[0..n); several words descend at once so that their
  // memory reads overlap.
  // REQUIRES: every word as for insertWord; created has room for n results.
  void insertWords(const std::string_view* words, size_t n, uint32_t* created);

  // How often `word` was inserted; 0 when never inserted or only a prefix of an
  // inserted word. Words that cannot be stored (empty, or holding a byte below
  // 33) give 0.
  uint32_t lookupWord(std::string_view word) const;

  // Releases every node, the root nodes included, and gives their memory back.
  // Afterwards the trie is empty: nodeCount() is 0, every rootEntry is 0, every
  // lookup gives 0 and a walk visits nothing.
  void freeTrie();

  // Nodes in existence: 224 after construction, 0 after freeTrie.
  uint32_t nodeCount() const { return nextIndex_ - 1; }
  // Most nodes the reservation can hold.
  uint32_t maxNodes() const { return maxNodes_; }

  // The root node of link number k. REQUIRES: 1 <= k <= 224.
  NodeIndex rootEntry(int linkNumber) const { return roots_[linkNumber - 1]; }

  // REQUIRES: index names a node in existence.
  const TrieNode& node(NodeIndex index) const { return nodes_[index]; }
  const NodeSummary& summary(NodeIndex index) const { return summaries_[index]; }

 private:
  NodeIndex takeNode();
  [[noreturn]] void exhausted() const;
  void growCommitted();
  void createRoots();
  void insertBatch(const std::string_view* words, size_t n, uint32_t* created);

  AddressReservation nodeSpace_;
  AddressReservation summarySpace_;
  TrieNode* nodes_ = nullptr;         // indexed by NodeIndex; index 0 is never a node
  NodeSummary* summaries_ = nullptr;  // parallel to nodes_
  uint32_t maxNodes_ = 0;
  NodeIndex nextIndex_ = 1;     // the next node to take
  NodeIndex committedEnd_ = 1;  // indices below this are backed by usable memory
  NodeIndex roots_[kLinkCount] = {};
};

}  // namespace ws
