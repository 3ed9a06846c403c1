#pragma once
// Where the word trie keeps its nodes: every node that has children owns one child block, which
// holds, in increasing link number, each child's link number, count and own child block. A node
// therefore lives in its parent's block, and a node without children costs no block at all.

#include <cstddef>
#include <cstdint>

#include "trie/address_reservation.h"
#include "trie/block_layout.h"
#include "trie/child_cursor.h"
#include "trie/record_place.h"

namespace ws {

// The arena of child blocks, in the classes block_layout.h describes. A full listed block that
// gains a child moves to the next class; the old block goes onto its class's free list and is
// reused before the arena grows. Blocks never move otherwise, and the arena is a reservation of
// address space committed as it fills, so a BlockRef stays valid until its block moves, the
// arena is laid out afresh or discarded. Memory that fresh blocks take reads as zero.
//
// Records move: a child added to a listed block shifts the records of the larger link numbers,
// a block that moves up a class takes its records along, a re-lay copies them all and a discard
// drops them. Each of these starts a new layout epoch, and a RecordPlace of an older epoch
// resolves to nothing, so a holder of places needs to be told of no move. Adding a child that
// moves no record (after every other child of a listed block, or to a direct block) keeps the
// epoch.
class ChildBlocks {
 public:
  // Reserves address space for at most `words` words (the largest offset must fit a BlockRef).
  // Returns false when the system refuses.
  bool reserve(size_t words);

  // Gives every block back to the system; afterwards no BlockRef is valid. The reservation stays.
  void discard();

  // Makes a block of the direct class holding all 224 link numbers as children, each with
  // count 0 and no children of its own.
  BlockRef createRootBlock();
  // Child `linkNumber` of a block that createRootBlock made (or relayOut copied), found without
  // a search. REQUIRES: 1 <= linkNumber <= 224.
  ChildRecord& rootChild(BlockRef root, int linkNumber) {
    return BlockLayout::records(words_ + root)[linkNumber - 1];
  }
  const ChildRecord& rootChild(BlockRef root, int linkNumber) const {
    return BlockLayout::records(static_cast<const uint32_t*>(words_ + root))[linkNumber - 1];
  }

  // Where a child was put: its block and its record; block 0 when there was no room (see
  // shortage()), as createRootBlock returns then.
  struct Placement {
    BlockRef block;
    ChildRecord* record;
  };

  // Makes a block with one child under `linkNumber`, count 0 and no children.
  Placement createBlock(int linkNumber);

  // Adds a child under `linkNumber` with count 0 and no children, in `block` or, when that was
  // full, in a block of the next class. Records of `block` may move (see above); every other
  // block stays where it is.
  // REQUIRES: linkNumber in 1..223 and not yet a child in `block`.
  Placement addChild(BlockRef block, int linkNumber);

  // The record of child `linkNumber` in `block`, or nullptr when it is not a child there: the
  // step every descent takes once per byte of a word.
  ChildRecord* findChild(BlockRef block, int linkNumber) {
    const int slot = BlockLayout::findSlot(words_ + block, linkNumber);
    return slot < 0 ? nullptr : BlockLayout::records(words_ + block) + slot;
  }
  const ChildRecord* findChild(BlockRef block, int linkNumber) const {
    const int slot = BlockLayout::findSlot(words_ + block, linkNumber);
    return slot < 0 ? nullptr : BlockLayout::records(words_ + block) + slot;
  }

  // A cursor before the first child of `block` (none when block is 0).
  ChildCursor children(BlockRef block) const {
    return block == 0 ? ChildCursor() : ChildCursor(words_, block);
  }

  // Where `record` stands now, and the record standing at `place`: nullptr when a record may
  // have moved since the place was taken, or when it names none.
  // REQUIRES for placeOf: `record` lies in this arena.
  RecordPlace placeOf(const ChildRecord& record) const {
    return {static_cast<uint32_t>(reinterpret_cast<const uint32_t*>(&record) - words_), epoch_};
  }
  ChildRecord* recordAt(RecordPlace place) {
    if (place.epoch() != epoch_) return nullptr;
    return reinterpret_cast<ChildRecord*>(words_ + place.offset_);
  }

  // Memory fetched ahead of a read that will need it: a block's first cache line, a record.
  void prefetch(BlockRef block) const { __builtin_prefetch(words_ + block); }
  void prefetch(const ChildRecord* record) const { __builtin_prefetch(record); }

  // Copies every block reachable from `root` into a fresh arena in the order a depth-first walk
  // from `root` reads them (a block right after its owner's earlier siblings' descendants), each
  // in the class its child count needs, and drops the old arena with its free lists. Returns the
  // root's new place; every other BlockRef held outside the blocks is invalid afterwards. When the
  // system refuses memory for the copy, nothing changes and `root` is returned.
  BlockRef relayOut(BlockRef root);

  // Words of the arena in use, free-listed blocks included.
  size_t usedWords() const { return end_; }

  // Why the last createBlock or addChild returned block 0: the reservation is used up
  // (addressSpace) or the system refused memory for it (memory).
  enum class Shortage { none, addressSpace, memory };
  Shortage shortage() const { return shortage_; }

 private:
  using MutableCursor = BasicChildCursor<ChildRecord>;

  uint32_t* block(BlockRef ref) const { return words_ + ref; }
  bool commitFor(size_t end);
  BlockRef allocate(int blockClass);
  void release(BlockRef block, int blockClass);
  Placement moveUp(BlockRef block, int linkNumber);
  BlockRef copyBlock(const ChildBlocks& from, BlockRef block);

  AddressReservation space_;
  uint32_t* words_ = nullptr;
  size_t reservedWords_ = 0;
  size_t end_ = 1;  // word 0 is never a block, so BlockRef 0 can mean "none"
  BlockRef freeLists_[BlockLayout::kClassCount] = {};  // linked through each free block's word 0
  uint64_t epoch_ = 1;  // the layout epoch; places of others are stale
  Shortage shortage_ = Shortage::none;
};

}  // namespace ws
