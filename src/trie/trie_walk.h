#pragma once
// The ordered walk over the word trie: every node once, before its descendants,
// siblings in increasing link number, each with its word.

#include <cstddef>
#include <cstdint>
#include <string_view>

#include "trie/word_trie.h"

namespace ws {

// What a visit shows of its node; valid only during that visit.
class NodeView {
 public:
  NodeView(WordCount count, int childCount) : count_(count), childCount_(childCount) {}

  WordCount count() const { return count_; }
  // Number of present links.
  int childCount() const { return childCount_; }

 private:
  WordCount count_;
  int childCount_;
};

// What a walk tells its visitor. A walk that visits anything calls begin() once, then visit()
// once per node in walk order, then end() once: after the visit of root 224 when it walks the
// whole trie, after its last visit when a visit limit ends it early. A walk that visits nothing
// (a freed trie, a limit of 0) calls none of them. A visitor must not change the trie.
class TrieVisitor {
 public:
  virtual ~TrieVisitor() = default;
  virtual void begin() {}
  // One node. `word` is the node's word, valid only during the call (copy it to
  // keep it); `linkNumber` is the link under which the node hangs (for a root,
  // its entry number).
  virtual void visit(std::string_view word, WordCount count, const NodeView& node,
                     uint8_t linkNumber) = 0;
  virtual void end() {}
};

// Visits every node of the trie: the roots 1..224, each followed by its
// descendants. Exactly trie.nodeCount() visits; the first is root 1 ("!"), the
// last is root 224 (the word of one zero byte). Nothing after freeTrie.
void walkTrie(const WordTrie& trie, TrieVisitor& visitor);

// The first `visitLimit` visits of walkTrie, in the same order and with the same arguments, and
// no more: a visitor that cannot use any later node ends the walk there. The trie is read only
// as far as those visits need.
void walkTrie(const WordTrie& trie, TrieVisitor& visitor, uint64_t visitLimit);

}  // namespace ws
