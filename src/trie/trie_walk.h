#pragma once
// The ordered walk over the word trie: every node once, before its descendants,
// siblings in increasing link number, each with its word.

#include <cstdint>
#include <string_view>

#include "trie/child_bits.h"
#include "trie/trie_node.h"
#include "trie/word_trie.h"

namespace ws {

// Read-only view of one node during a visit; valid only during that visit.
class NodeView {
 public:
  NodeView(const WordTrie& trie, NodeIndex index)
      : node_(&trie.node(index)), bits_(&trie.childBits(index)), index_(index) {}

  NodeIndex index() const { return index_; }
  uint32_t count() const { return node_->count; }
  // Number of present links.
  int childCount() const { return bits_->count(); }
  bool hasChild(int linkNumber) const { return bits_->has(linkNumber); }
  // The child under linkNumber, 0 when absent. REQUIRES: 1 <= linkNumber <= 224.
  NodeIndex child(int linkNumber) const { return node_->links[linkNumber - 1]; }
  const TrieNode& node() const { return *node_; }

 private:
  const TrieNode* node_;
  const ChildBits* bits_;
  NodeIndex index_;
};

class TrieVisitor {
 public:
  virtual ~TrieVisitor() = default;
  // One node. `word` is the node's word, valid only during the call (copy it to
  // keep it); `linkNumber` is the link under which the node hangs (for a root,
  // its entry number). A visitor must not change the trie.
  // A visit with linkNumber 1 and word "!" starts every full walk; the visit with
  // linkNumber 224 ends it.
  virtual void visit(std::string_view word, uint32_t count, const NodeView& node,
                     uint8_t linkNumber) = 0;
};

// Visits every node of the trie: the roots 1..224, each followed by its
// descendants. Exactly trie.nodeCount() visits; the first is root 1 ("!"), the
// last is root 224 (the word of one zero byte). Nothing after freeTrie.
void walkTrie(const WordTrie& trie, TrieVisitor& visitor);

// Visits `node` with `word` and `linkNumber`, then its descendants, each with
// `word` followed by the bytes of its path. Nothing when node is 0.
// REQUIRES: node is 0 or a node of `trie`; 1 <= linkNumber <= 224.
void walkNode(const WordTrie& trie, NodeIndex node, uint8_t linkNumber, std::string_view word,
              TrieVisitor& visitor);

}  // namespace ws
