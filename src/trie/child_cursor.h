#pragma once
// The children of one node, one after the other in increasing link number, whatever the class of
// their block: what the ordered walk and the arena's re-lay read a block through.

#include <cstdint>
#include <type_traits>

#include "trie/block_layout.h"
#include "trie/trie_node.h"

namespace ws {

class ChildBlocks;

// A cursor stands before the first child; each next() steps to the following one, until it
// returns false. It reads its block in place, so it is valid only while that block does not
// change: no child added to it, no re-lay, no discard of the arena (see child_blocks.h).
template <typename Record>
class BasicChildCursor {
  using Word = std::conditional_t<std::is_const_v<Record>, const uint32_t, uint32_t>;

 public:
  // The children of a node that has none: next() is false at once.
  BasicChildCursor() = default;

  // Steps to the next child; false when there is none left.
  bool next() {
    const int n = BlockLayout::childCount(block_);
    if (!BlockLayout::isDirect(n)) {
      if (++slot_ >= n) return false;
      link_ = BlockLayout::bytes(block_)[1 + slot_];
      return true;
    }
    link_ = BlockLayout::nextPresent(block_, link_ + 1);
    slot_ = link_ - 1;
    return link_ <= kLinkCount;
  }

  // The current child. REQUIRES: the last next() returned true.
  int linkNumber() const { return link_; }
  // Its record's own count (see wide_counts.h for counts beyond 32 bits).
  uint32_t recordCount() const { return records_[slot_].count; }
  // How many children it has, and a cursor before the first of them.
  int childCount() const {
    const BlockRef children = records_[slot_].children;
    return children == 0 ? 0 : BlockLayout::childCount(arena_ + children);
  }
  BasicChildCursor children() const {
    const BlockRef children = records_[slot_].children;
    return children == 0 ? BasicChildCursor() : BasicChildCursor(arena_, children);
  }

 private:
  friend class ChildBlocks;

  BasicChildCursor(Word* arena, BlockRef block)
      : arena_(arena), block_(arena + block), records_(BlockLayout::records(arena + block)) {}
  Record& record() const { return records_[slot_]; }

  // A block of no children, for cursors of nodes that have none.
  static constexpr uint32_t kNoChildren[1] = {0};

  Word* arena_ = nullptr;
  const uint32_t* block_ = kNoChildren;
  Record* records_ = nullptr;
  int slot_ = -1;  // of the current child
  int link_ = 0;   // of the current child; 0 before the first
};

// The cursor readers get: it reads, never writes.
using ChildCursor = BasicChildCursor<const ChildRecord>;

}  // namespace ws
