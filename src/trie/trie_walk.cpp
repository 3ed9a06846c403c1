#include "trie/trie_walk.h"

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

namespace ws {
namespace {

// One node of a subtree laid out breadth first: the children of an expanded
// entry are the childCount entries from firstChild on, in increasing link order.
struct Entry {
  BlockRef children;  // the node's child block, 0 when it has none
  uint32_t count;
  uint32_t firstChild;
  uint8_t childCount;  // up to 223
  uint8_t linkNumber;
  bool expanded;
};

struct Pending {
  uint32_t entry;
  uint32_t depth;
};

// The walk runs in two steps per subtree. The breadth-first layout reads the
// child blocks of one level while the next level is found, so many block reads
// are in flight at once instead of one per trie level; the pre-order visits then run
// over the compact layout in cache. The word of the current node is kept in one
// buffer: an entry at depth d only rewrites byte d - 1, and every node visited
// between an ancestor and this entry lies deeper than that ancestor, so bytes
// 0..d-2 still hold the path.
class Walker {
 public:
  Walker(const WordTrie& trie, TrieVisitor& visitor, size_t layoutEntries,
         uint64_t visitLimit = UINT64_MAX)
      : blocks_(trie.blocks()),
        visitor_(visitor),
        layoutEntries_(layoutEntries),
        visitsLeft_(visitLimit) {}

  // The visit limit is used up: the walk is over.
  bool finished() const { return visitsLeft_ == 0; }

  // Visits `node` with the word already in word_[0, depth) and its descendants.
  void walkFrom(const ChildRecord& node, uint8_t linkNumber, uint32_t depth, size_t level) {
    if (layouts_.size() <= level) layouts_.push_back(std::make_unique<std::vector<Entry>>());
    std::vector<Entry>& layout = *layouts_[level];
    layOut(layout, node, linkNumber);
    visitLayout(level, depth);
  }

  void setByte(uint32_t depth, uint8_t linkNumber) {
    if (word_.size() < depth) word_.resize(depth);
    word_[depth - 1] = static_cast<char>(byteOfLink(linkNumber));
  }

 private:
  void addChild(std::vector<Entry>& layout, const ChildRecord& child, int link) {
    if (child.children != 0) blocks_.prefetch(child.children);
    layout.push_back({child.children, child.count, 0, 0, static_cast<uint8_t>(link), false});
  }

  // Appends the children of `block` in increasing link order.
  void addChildren(std::vector<Entry>& layout, BlockRef block) {
    const int n = blocks_.childCount(block);
    if (!blocks_.isDirect(block)) {
      for (int i = 0; i < n; ++i)
        addChild(layout, blocks_.record(block, i), blocks_.linkAt(block, i));
      return;
    }
    for (int link = 1; link < kLinkCount; ++link) {
      if (blocks_.isPresent(block, link)) addChild(layout, blocks_.record(block, link - 1), link);
    }
  }

  void layOut(std::vector<Entry>& layout, const ChildRecord& root, uint8_t linkNumber) {
    layout.clear();
    layout.push_back({root.children, root.count, 0, 0, linkNumber, false});
    // A cut walk lays out about as many entries as it has visits left, not the whole subtree.
    const size_t limit = static_cast<size_t>(std::min<uint64_t>(layoutEntries_, visitsLeft_));
    for (size_t head = 0; head < layout.size(); ++head) {
      if (head != 0 && layout.size() > limit) break;  // the root is always expanded
      const BlockRef block = layout[head].children;
      const auto first = static_cast<uint32_t>(layout.size());
      if (block != 0) addChildren(layout, block);
      Entry& entry = layout[head];
      entry.firstChild = first;
      entry.childCount = static_cast<uint8_t>(layout.size() - first);
      entry.expanded = true;
    }
  }

  // Pre-order over the layout of `level`; entries it could not expand are
  // walked with layouts of their own one level further down.
  void visitLayout(size_t level, uint32_t rootDepth) {
    if (stacks_.size() <= level) stacks_.push_back(std::make_unique<std::vector<Pending>>());
    std::vector<Pending>& stack = *stacks_[level];
    stack.clear();
    stack.push_back({0, rootDepth});
    bool root = true;
    while (!stack.empty() && !finished()) {
      const Pending pending = stack.back();
      stack.pop_back();
      // Layouts deeper down may have reallocated stacks_, so index afresh.
      const Entry entry = (*layouts_[level])[pending.entry];
      if (!root) setByte(pending.depth, entry.linkNumber);
      root = false;
      if (!entry.expanded) {
        walkFrom({entry.count, entry.children}, entry.linkNumber, pending.depth, level + 1);
        continue;
      }
      visitor_.visit(std::string_view(word_.data(), pending.depth), entry.count,
                     NodeView(entry.count, entry.childCount), entry.linkNumber);
      --visitsLeft_;
      if (entry.childCount != 0) __builtin_prefetch(&(*layouts_[level])[entry.firstChild]);
      for (uint32_t c = entry.childCount; c > 0; --c) {
        stack.push_back({entry.firstChild + c - 1, pending.depth + 1});
      }
    }
  }

  const ChildBlocks& blocks_;
  TrieVisitor& visitor_;
  const size_t layoutEntries_;
  uint64_t visitsLeft_;
  std::vector<std::unique_ptr<std::vector<Entry>>> layouts_;
  std::vector<std::unique_ptr<std::vector<Pending>>> stacks_;
  std::string word_;
};

}  // namespace

void walkTrie(const WordTrie& trie, TrieVisitor& visitor) {
  detail::walkTrieInLayouts(trie, visitor, kWalkLayoutEntries);
}

void walkTrie(const WordTrie& trie, TrieVisitor& visitor, uint64_t visitLimit) {
  detail::walkTrieInLayouts(trie, visitor, kCutWalkLayoutEntries, visitLimit);
}

void detail::walkTrieInLayouts(const WordTrie& trie, TrieVisitor& visitor, size_t layoutEntries,
                               uint64_t visitLimit) {
  const BlockRef roots = trie.rootBlock();
  if (roots == 0) return;
  Walker walker(trie, visitor, layoutEntries, visitLimit);
  for (int k = 1; k <= kLinkCount && !walker.finished(); ++k) {
    walker.setByte(1, static_cast<uint8_t>(k));
    walker.walkFrom(trie.blocks().record(roots, k - 1), static_cast<uint8_t>(k), 1, 0);
  }
}

}  // namespace ws
