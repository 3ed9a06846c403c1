#pragma once
// Where the word trie keeps its nodes: every node that has children owns one child block, which
// holds, in increasing link number, each child's link number, count and own child block. A node
// therefore lives in its parent's block, and a node without children costs no block at all.

#include <algorithm>
#include <array>
#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstring>

#ifdef __SSE2__
#include <emmintrin.h>
#endif

#include "trie/address_reservation.h"
#include "trie/trie_node.h"

namespace ws {

// Offset of a child block in 32-bit words from the start of the arena; 0 means "no children".
using BlockRef = uint32_t;

// One node as its parent's block holds it.
struct ChildRecord {
  uint32_t count;     // how often the node's word was inserted
  BlockRef children;  // the node's own child block, 0 when it has no children
};

// The arena of child blocks. A block of a listed class has room for 1, 2, 4, ..., 64 children:
//
//   byte 0          the number of children n (at least 1)
//   bytes 1..n      their link numbers, strictly increasing
//   (padding to a 32-bit word)
//   ChildRecord[c]  the children in the same order; slot i belongs to link number links[i]
//
// A block of the direct class holds up to 223 children (or the 224 roots): byte 0 is n, words
// 1..7 a bit per link number saying which are present, then one ChildRecord per link number
// 1..224, slot k - 1 for link k. The class of a block follows from n: the smallest class with room
// for n, so a block is full exactly when n is a power of two up to 64.
//
// A full block that gains a child moves to the next class; the old block goes onto its class's
// free list and is reused before the arena grows. Blocks never move otherwise, and the arena is a
// reservation of address space committed as it fills, so a BlockRef stays valid until its block
// moves or the arena is discarded. Memory that fresh blocks take reads as zero.
class ChildBlocks {
 public:
  static constexpr int kLargestListed = 64;

  // Reserves address space for at most `words` words (the largest offset must fit a BlockRef).
  // Returns false when the system refuses.
  bool reserve(size_t words);

  // Gives every block back to the system; afterwards no BlockRef is valid. The reservation stays.
  void discard();

  // Makes a block of the direct class holding all 224 link numbers as children, each with
  // count 0 and no children of its own.
  BlockRef createRootBlock();

  // Makes a block with one child under `linkNumber`, count 0 and no children. Returns 0 when
  // there is no room (see shortage()); so do createRootBlock and addChild.
  BlockRef createBlock(int linkNumber);

  // Where a child was put by addChild: its block (a new one when the old one was full) and slot.
  struct Placement {
    BlockRef block;
    int slot;
  };

  // Adds a child under `linkNumber` with count 0 and no children. Slots of the children that were
  // in `block` change: in a listed block those from the new child's slot on move up by one; when
  // the block moves, they are the slots of the same link numbers in the new block.
  // REQUIRES: linkNumber in 1..223 and not yet a child in `block`.
  Placement addChild(BlockRef block, int linkNumber);

  // The slot of `linkNumber` in `block`, or -1 when it is not a child there.
  int findSlot(BlockRef block, int linkNumber) const {
    const uint8_t* header = bytes(block);
    if (header[0] > kLargestListed) return isPresent(block, linkNumber) ? linkNumber - 1 : -1;
    return findListed(header, linkNumber);
  }

  // The record of child `linkNumber` in `block`, or nullptr when it is not a child there: the
  // step every descent takes once per byte of a word.
  ChildRecord* findChild(BlockRef block, int linkNumber) {
    const int slot = findSlot(block, linkNumber);
    return slot < 0 ? nullptr : records(block) + slot;
  }
  const ChildRecord* findChild(BlockRef block, int linkNumber) const {
    const int slot = findSlot(block, linkNumber);
    return slot < 0 ? nullptr : records(block) + slot;
  }

  int childCount(BlockRef block) const { return bytes(block)[0]; }
  bool isDirect(BlockRef block) const { return childCount(block) > kLargestListed; }
  // Listed blocks: the link number of slot i. REQUIRES: !isDirect(block), i < childCount(block).
  int linkAt(BlockRef block, int slot) const { return bytes(block)[1 + slot]; }
  // Direct blocks: whether link number k is a child. REQUIRES: isDirect(block), 1 <= k <= 224.
  bool isPresent(BlockRef block, int linkNumber) const {
    return (words_[block + 1 + (linkNumber - 1) / 32] >> ((linkNumber - 1) % 32)) & 1u;
  }
  // Direct blocks: the smallest link number from `from` on that is a child, or 225 when none is.
  // REQUIRES: isDirect(block), 1 <= from <= 225.
  int nextPresent(BlockRef block, int from) const {
    for (int k = from - 1; k < kLinkCount;) {
      const uint32_t bits = words_[block + 1 + k / 32] >> (k % 32);
      if (bits != 0) return k + std::countr_zero(bits) + 1;
      k = (k / 32 + 1) * 32;
    }
    return kLinkCount + 1;
  }
  ChildRecord& record(BlockRef block, int slot) { return records(block)[slot]; }
  const ChildRecord& record(BlockRef block, int slot) const { return records(block)[slot]; }

  // Where a record stands in the arena, and the record standing there: a place stays valid as
  // long as a BlockRef to its block does, and is never 0.
  uint32_t placeOf(const ChildRecord& record) const {
    return static_cast<uint32_t>(reinterpret_cast<const uint32_t*>(&record) - words_);
  }
  ChildRecord& recordAt(uint32_t place) { return *reinterpret_cast<ChildRecord*>(words_ + place); }

  // The first cache line of a block, fetched ahead of a read that will need it.
  void prefetch(BlockRef block) const { __builtin_prefetch(words_ + block); }
  void prefetchRecord(uint32_t place) const { __builtin_prefetch(words_ + place); }

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
  static constexpr int kDirectClass = 7;
  static constexpr int kClassCount = 8;
  static constexpr int kDirectHeaderWords = 8;

  static constexpr int classOf(int childCount) {
    if (childCount > kLargestListed) return kDirectClass;
    return std::bit_width(static_cast<unsigned>(std::max(childCount, 1) - 1));
  }
  static constexpr size_t capacity(int blockClass) {
    return blockClass == kDirectClass ? size_t{kLinkCount} : size_t{1} << blockClass;
  }
  // Listed: the child count and one byte per possible child, rounded up to whole words.
  static constexpr size_t headerWords(int blockClass) {
    return blockClass == kDirectClass ? size_t{kDirectHeaderWords} : (capacity(blockClass) + 4) / 4;
  }
  static constexpr size_t blockWords(int blockClass) {
    return headerWords(blockClass) + 2 * capacity(blockClass);
  }
  static int findListed(const uint8_t* header, int linkNumber) {
    const int n = header[0];
#ifdef __SSE2__
    const __m128i wanted = _mm_set1_epi8(static_cast<char>(linkNumber));
    if (n <= 8) {
      // Every block is at least 12 bytes long, so bytes 1..8 lie inside it; compared at once,
      // the search takes no branch that depends on where the link stands.
      uint64_t eight;
      std::memcpy(&eight, header + 1, sizeof eight);
      const __m128i links = _mm_cvtsi64_si128(static_cast<int64_t>(eight));
      const auto hits =
          static_cast<unsigned>(_mm_movemask_epi8(_mm_cmpeq_epi8(links, wanted))) & ((1u << n) - 1);
      return hits != 0 ? std::countr_zero(hits) : -1;
    }
    // Blocks with more than 8 children have room for at least 16 links, so whole 16-byte groups
    // of links lie inside the header; bits beyond the n-th link are masked off.
    for (int group = 0; group < n; group += 16) {
      const __m128i links = _mm_loadu_si128(reinterpret_cast<const __m128i*>(header + 1 + group));
      unsigned hits = static_cast<unsigned>(_mm_movemask_epi8(_mm_cmpeq_epi8(links, wanted)));
      if (n - group < 16) hits &= (1u << (n - group)) - 1;
      if (hits != 0) return group + std::countr_zero(hits);
    }
    return -1;
#else
    // The links are sorted: stop at the first that is not smaller.
    for (int i = 0; i < n; ++i) {
      if (header[1 + i] >= linkNumber) return header[1 + i] == linkNumber ? i : -1;
    }
    return -1;
#endif
  }
  static_assert(sizeof(uint32_t) + sizeof(ChildRecord) >= 9, "findListed reads 8 link bytes");

  const uint8_t* bytes(BlockRef block) const {
    return reinterpret_cast<const uint8_t*>(words_ + block);
  }
  uint8_t* bytes(BlockRef block) {
    return reinterpret_cast<uint8_t*>(words_ + block);
  }
  // Header words of a block by its child count, read from a table: a step of every descent.
  static const std::array<uint8_t, 256> kHeaderWordsByCount;
  ChildRecord* records(BlockRef block) const {
    return reinterpret_cast<ChildRecord*>(words_ + block + kHeaderWordsByCount[bytes(block)[0]]);
  }

  bool commitFor(size_t end);
  BlockRef allocate(int blockClass);
  void release(BlockRef block, int blockClass);
  Placement moveUp(BlockRef block, int linkNumber);

  AddressReservation space_;
  uint32_t* words_ = nullptr;
  size_t reservedWords_ = 0;
  size_t end_ = 1;                        // word 0 is never a block, so BlockRef 0 can mean "none"
  BlockRef freeLists_[kClassCount] = {};  // linked through the first word of each free block
  Shortage shortage_ = Shortage::none;
};

inline constexpr std::array<uint8_t, 256> ChildBlocks::kHeaderWordsByCount = [] {
  std::array<uint8_t, 256> table{};
  for (size_t n = 0; n < table.size(); ++n) {
    table[n] = static_cast<uint8_t>(headerWords(classOf(static_cast<int>(n))));
  }
  return table;
}();

}  // namespace ws
