#pragma once
// A node's set of present links as a 224-bit map, kept beside the node so that
// walks find the children without scanning all 224 link slots.

#include <bit>
#include <cstdint>

#include "trie/trie_node.h"

namespace ws {

// Bit (k - 1) is set exactly when link number k of the matching node is present.
struct ChildBits {
  uint32_t words[kLinkCount / 32];

  void set(int linkNumber) {
    words[(linkNumber - 1) >> 5] |= uint32_t{1} << ((linkNumber - 1) & 31);
  }
  bool has(int linkNumber) const {
    return (words[(linkNumber - 1) >> 5] >> ((linkNumber - 1) & 31)) & 1u;
  }
  int count() const {
    int n = 0;
    for (uint32_t w : words) n += std::popcount(w);
    return n;
  }
};

static_assert(sizeof(ChildBits) == 28, "the child map must stay 28 bytes per node");

}  // namespace ws
