#pragma once
// Where a node's record stands in the child-block arena, as of one layout of the arena.

#include <cstdint>

namespace ws {

// A place names a record only in the layout epoch it was taken in: the arena that gave it
// (ChildBlocks::placeOf) starts a new epoch whenever a record may move, and resolves a place of
// an older epoch to nothing. So a place may be kept for as long as one likes; it is never
// resolved to a record that moved, nor to memory that another record took since.
// REQUIRES: a place is resolved only by the arena that gave it.
class RecordPlace {
 public:
  // Names no record.
  RecordPlace() = default;

 private:
  friend class ChildBlocks;
  RecordPlace(uint32_t offset, uint64_t epoch)
      : offset_(offset),
        epochLow_(static_cast<uint32_t>(epoch)),
        epochHigh_(static_cast<uint32_t>(epoch >> 32)) {}
  uint64_t epoch() const { return uint64_t{epochHigh_} << 32 | epochLow_; }

  uint32_t offset_ = 0;  // of the record, in words from the start of the arena
  // The epoch in two halves, so that a place takes 12 bytes and packs with a 4-byte neighbour.
  // Epoch 0 is no arena's epoch, and 64 bits never run out.
  uint32_t epochLow_ = 0;
  uint32_t epochHigh_ = 0;
};

static_assert(sizeof(RecordPlace) == 12);

}  // namespace ws
