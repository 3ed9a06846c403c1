#pragma once
// The bytes of one child block, written down once: the arena (child_blocks.h) makes and moves
// blocks by these rules, and the cursor (child_cursor.h) reads them. Nothing else knows them.
//
// A block of a listed class has room for 1, 2, 4, ..., 64 children:
//
//   byte 0          the number of children n (at least 1)
//   bytes 1..n      their link numbers, strictly increasing
//   (padding to a 32-bit word)
//   ChildRecord[c]  the children in the same order; slot i belongs to link number links[i]
//
// A block of the direct class holds up to 223 children (or the 224 roots): byte 0 is n, words
// 1..7 a bit per link number saying which are present (bit k - 1 for link k), then one ChildRecord
// per link number 1..224, slot k - 1 for link k. The class of a block follows from n: the
// smallest class with room for n, so a listed block is full exactly when n is a power of two.

#include <algorithm>
#include <array>
#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstring>

#ifdef __SSE2__
#include <emmintrin.h>
#endif

#include "trie/trie_node.h"

namespace ws {

// Offset of a child block in 32-bit words from the start of the arena; 0 means "no children".
using BlockRef = uint32_t;

// One node as its parent's block holds it.
struct ChildRecord {
  uint32_t count;     // how often the node's word was inserted
  BlockRef children;  // the node's own child block, 0 when it has no children
};

class BlockLayout {
 public:
  static constexpr int kLargestListed = 64;
  static constexpr int kDirectClass = 7;
  static constexpr int kClassCount = 8;
  static constexpr int kDirectHeaderWords = 8;

  static constexpr bool isDirect(int childCount) { return childCount > kLargestListed; }
  static constexpr int classOf(int childCount) {
    if (isDirect(childCount)) return kDirectClass;
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

  static const uint8_t* bytes(const uint32_t* block) {
    return reinterpret_cast<const uint8_t*>(block);
  }
  static uint8_t* bytes(uint32_t* block) { return reinterpret_cast<uint8_t*>(block); }
  static int childCount(const uint32_t* block) { return bytes(block)[0]; }

  // Header words by child count, read from a table: a step of every descent.
  static const std::array<uint8_t, 256> kHeaderWordsByCount;
  static ChildRecord* records(uint32_t* block) {
    return reinterpret_cast<ChildRecord*>(block + kHeaderWordsByCount[bytes(block)[0]]);
  }
  static const ChildRecord* records(const uint32_t* block) {
    return reinterpret_cast<const ChildRecord*>(block + kHeaderWordsByCount[bytes(block)[0]]);
  }

  // The direct class's presence bits: link k is bit (k - 1) % 32 of word 1 + (k - 1) / 32.
  // REQUIRES: 1 <= linkNumber <= 224.
  static bool isPresent(const uint32_t* block, int linkNumber) {
    return (block[presenceWord(linkNumber)] & presenceBit(linkNumber)) != 0;
  }
  static void markPresent(uint32_t* block, int linkNumber) {
    block[presenceWord(linkNumber)] |= presenceBit(linkNumber);
  }
  static void markAllPresent(uint32_t* block) {
    std::fill(block + 1, block + kDirectHeaderWords, ~uint32_t{0});
  }
  // The smallest link number from `from` on that is present, or 225 when none is.
  // REQUIRES: 1 <= from.
  static int nextPresent(const uint32_t* block, int from) {
    for (int k = from; k <= kLinkCount;) {
      const uint32_t bits = block[presenceWord(k)] >> ((k - 1) % 32);
      if (bits != 0) return k + std::countr_zero(bits);
      k = (k - 1) / 32 * 32 + 33;  // the first link of the next word
    }
    return kLinkCount + 1;
  }

  // The slot of `linkNumber` in a block of either class, or -1 when it is not a child there.
  static int findSlot(const uint32_t* block, int linkNumber) {
    const uint8_t* header = bytes(block);
    if (isDirect(header[0])) return isPresent(block, linkNumber) ? linkNumber - 1 : -1;
    return findListed(header, linkNumber);
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

 private:
  static constexpr int presenceWord(int linkNumber) {
    return 1 + (linkNumber - 1) / 32;
  }
  static constexpr uint32_t presenceBit(int linkNumber) {
    return uint32_t{1} << ((linkNumber - 1) % 32);
  }
};

inline constexpr std::array<uint8_t, 256> BlockLayout::kHeaderWordsByCount = [] {
  std::array<uint8_t, 256> table{};
  for (size_t n = 0; n < table.size(); ++n) {
    table[n] = static_cast<uint8_t>(headerWords(classOf(static_cast<int>(n))));
  }
  return table;
}();

}  // namespace ws
