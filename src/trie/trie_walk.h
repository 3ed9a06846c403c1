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
  NodeView(uint32_t count, int childCount) : count_(count), childCount_(childCount) {}

  uint32_t count() const { return count_; }
  // Number of present links.
  int childCount() const { return childCount_; }

 private:
  uint32_t count_;
  int childCount_;
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

// The first `visitLimit` visits of walkTrie, in the same order and with the same arguments, and
// no more: a visitor that cannot use any later node ends the walk there. The trie is read only
// as far as those visits need (a layout holds at most about visitLimit entries).
void walkTrie(const WordTrie& trie, TrieVisitor& visitor, uint64_t visitLimit);

// Nodes a walk lays out at once (64 MiB of layout): up to this size a root's
// whole subtree is read breadth first before its visits, so a walk needs about
// 16 bytes per node of the largest root subtree beside the trie. A bigger
// subtree leaves its deeper nodes to layouts of their own.
inline constexpr size_t kWalkLayoutEntries = size_t{1} << 22;

// Nodes a cut walk (walkTrie with a visit limit) lays out at once. A breadth-first layout holds
// nodes of the whole width of a subtree, of which a walk that ends early visits only the first
// part; smaller layouts read less that is never visited (on five million nodes, a walk cut after
// 307,200 visits took about a quarter of the time with this size than with the full one).
inline constexpr size_t kCutWalkLayoutEntries = size_t{1} << 14;

namespace detail {
// walkTrie with layouts of at most about `layoutEntries` nodes, so that the
// nesting of layouts can be exercised on small tries.
void walkTrieInLayouts(const WordTrie& trie, TrieVisitor& visitor, size_t layoutEntries,
                       uint64_t visitLimit = UINT64_MAX);
}  // namespace detail

}  // namespace ws
