#include "trie/trie_walk.h"

#include <string>
#include <vector>

namespace ws {
namespace {

// A node waiting for its visit: it hangs under linkNumber at `depth` (the length of its word).
struct Pending {
  BlockRef children;
  uint32_t count;
  uint32_t depth;
  uint8_t linkNumber;
};

// Depth first over the child blocks. A node's whole record (count and child block) comes with its
// parent's block, so a visit reads memory only for nodes with children: their block, which was
// fetched ahead when the parent's block was read, while the node's earlier siblings and their
// descendants were visited. The word of the current node is kept in one buffer: a node at depth
// d rewrites byte d - 1 only, and every node visited between an ancestor and it lies deeper than
// that ancestor, so bytes 0..d-2 still hold its path.
class Walker {
 public:
  Walker(const WordTrie& trie, TrieVisitor& visitor, uint64_t visitLimit)
      : blocks_(trie.blocks()), visitor_(visitor), visitsLeft_(visitLimit) {}

  // Visits the root with link number k and its descendants, unless the visits are used up.
  void walkRoot(const ChildRecord& root, uint8_t k) {
    stack_.push_back({root.children, root.count, 1, k});
    while (!stack_.empty() && visitsLeft_ != 0) {
      const Pending node = stack_.back();
      stack_.pop_back();
      if (word_.size() < node.depth) word_.resize(node.depth);
      word_[node.depth - 1] = static_cast<char>(byteOfLink(node.linkNumber));
      const int childCount = node.children == 0 ? 0 : blocks_.childCount(node.children);
      visitor_.visit(std::string_view(word_.data(), node.depth), node.count,
                     NodeView(node.count, childCount), node.linkNumber);
      --visitsLeft_;
      if (childCount != 0) pushChildren(node.children, node.depth + 1);
    }
    stack_.clear();
  }

  bool finished() const { return visitsLeft_ == 0; }

 private:
  void push(const ChildRecord& child, uint32_t depth, int link) {
    if (child.children != 0) blocks_.prefetch(child.children);
    stack_.push_back({child.children, child.count, depth, static_cast<uint8_t>(link)});
  }

  // Pushes the children of `block` so that the smallest link number is popped first.
  void pushChildren(BlockRef block, uint32_t depth) {
    if (!blocks_.isDirect(block)) {
      for (int i = blocks_.childCount(block) - 1; i >= 0; --i) {
        push(blocks_.record(block, i), depth, blocks_.linkAt(block, i));
      }
      return;
    }
    for (int link = kLinkCount - 1; link >= 1; --link) {
      if (blocks_.isPresent(block, link)) push(blocks_.record(block, link - 1), depth, link);
    }
  }

  const ChildBlocks& blocks_;
  TrieVisitor& visitor_;
  uint64_t visitsLeft_;
  std::vector<Pending> stack_;
  std::string word_;
};

}  // namespace

void walkTrie(const WordTrie& trie, TrieVisitor& visitor) {
  walkTrie(trie, visitor, UINT64_MAX);
}

void walkTrie(const WordTrie& trie, TrieVisitor& visitor, uint64_t visitLimit) {
  const BlockRef roots = trie.rootBlock();
  if (roots == 0) return;
  Walker walker(trie, visitor, visitLimit);
  for (int k = 1; k <= kLinkCount && !walker.finished(); ++k) {
    walker.walkRoot(trie.blocks().record(roots, k - 1), static_cast<uint8_t>(k));
  }
}

}  // namespace ws
