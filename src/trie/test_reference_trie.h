#pragma once
// The word trie as plainly as it can be written, for tests and benchmarks to hold the real one
// against: every node is 225 slots of 32 bits, links[k - 1] the child under link number k.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "trie/trie_node.h"

namespace ws::testing {

struct ReferenceNode {
  uint32_t links[kLinkCount];  // index of the child under link number k at k - 1, 0 when absent
  uint32_t count;
};

static_assert(sizeof(ReferenceNode) == 900, "a reference node is exactly 900 bytes");

// One visit of a walk, as a visitor sees it.
struct ReferenceVisit {
  std::string word;
  WordCount count;
  int childCount;
  int linkNumber;
  bool operator==(const ReferenceVisit&) const = default;
};

class ReferenceTrie {
 public:
  ReferenceTrie();

  // As WordTrie::insertWord: the nodes created for the word.
  uint32_t insertWord(std::string_view word);
  // As WordTrie::lookupWord.
  uint32_t lookupWord(std::string_view word) const;
  uint32_t nodeCount() const { return static_cast<uint32_t>(nodes_.size() - 1); }

  // Every visit of a full walk, in order: the roots 1..224, each followed by its descendants,
  // children in increasing link number.
  std::vector<ReferenceVisit> walk() const;

 private:
  std::vector<ReferenceNode> nodes_;  // nodes_[0] stands for "no node"
};

}  // namespace ws::testing
