#include "trie/trie_walk.h"

#include <string>
#include <vector>

namespace ws {
namespace {

// Depth first over the child blocks, reading each block's records in place: a frame per block on
// the path from the root to the current node says which child comes next. A node's whole record
// (count and child block) comes with its parent's block, so a visit reads memory only when it
// enters a child block, and laid out in walk order the blocks follow one another in memory. The
// word of the current node is kept in one buffer: a node at depth d rewrites byte d - 1 only, and
// every node visited between an ancestor and it lies deeper than that ancestor, so bytes 0..d-2
// still hold its path.
class Walker {
 public:
  Walker(const WordTrie& trie, TrieVisitor& visitor, uint64_t visitLimit)
      : trie_(trie), blocks_(trie.blocks()), visitor_(visitor), visitsLeft_(visitLimit) {}

  // Visits the root with link number k and its descendants, unless the visits are used up.
  void walkRoot(const ChildRecord& root, uint8_t k) {
    if (visitsLeft_ == 0) return;
    visit(root, 1, k);
    while (!frames_.empty() && visitsLeft_ != 0) {
      Frame& frame = frames_.back();
      const auto depth = static_cast<uint32_t>(frames_.size()) + 1;
      int link = 0;
      const ChildRecord* child = next(frame, link);
      if (child == nullptr) {
        frames_.pop_back();
        continue;
      }
      visit(*child, depth, static_cast<uint8_t>(link));
    }
    frames_.clear();
  }

  bool finished() const { return visitsLeft_ == 0; }

 private:
  // A child block being walked: `next` is the slot of the next child in a listed block, or the
  // link number after the last child visited in a direct one.
  struct Frame {
    BlockRef block;
    int next;
  };

  void visit(const ChildRecord& node, uint32_t depth, uint8_t linkNumber) {
    if (word_.size() < depth) word_.resize(depth);
    word_[depth - 1] = static_cast<char>(byteOfLink(linkNumber));
    const int childCount = node.children == 0 ? 0 : blocks_.childCount(node.children);
    const std::string_view word(word_.data(), depth);
    const WordCount count = trie_.countOf(node, word);
    visitor_.visit(word, count, NodeView(count, childCount), linkNumber);
    --visitsLeft_;
    if (childCount != 0) frames_.push_back({node.children, 0});
  }

  // The frame's next child and its link number, or nullptr when the block is done.
  const ChildRecord* next(Frame& frame, int& link) const {
    if (!blocks_.isDirect(frame.block)) {
      if (frame.next == blocks_.childCount(frame.block)) return nullptr;
      link = blocks_.linkAt(frame.block, frame.next);
      return &blocks_.record(frame.block, frame.next++);
    }
    link = blocks_.nextPresent(frame.block, frame.next + 1);
    if (link > kLinkCount) return nullptr;
    frame.next = link;
    return &blocks_.record(frame.block, link - 1);
  }

  const WordTrie& trie_;
  const ChildBlocks& blocks_;
  TrieVisitor& visitor_;
  uint64_t visitsLeft_;
  std::vector<Frame> frames_;
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
