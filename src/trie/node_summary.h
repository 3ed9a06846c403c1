#pragma once
// Which children a node has, kept beside it in 16 bytes so that a walk finds
// them without scanning the node's 224 links.

#include <cstdint>

#include "trie/trie_node.h"

namespace ws {

// Invariants, for the node with the same index: childCount is the number of its
// present links; while childCount is at most
// kListedChildren, childLinks[0..childCount) are their link numbers in
// increasing order (beyond that the links themselves must be scanned).
struct alignas(16) NodeSummary {
  static constexpr int kListedChildren = 15;

  uint8_t childCount;
  uint8_t childLinks[kListedChildren];

  bool listsChildren() const { return childCount <= kListedChildren; }

  // Records a new link. REQUIRES: linkNumber in 1..223 and not yet present.
  void addChild(int linkNumber) {
    if (childCount < kListedChildren) {
      int i = childCount;
      for (; i > 0 && childLinks[i - 1] > linkNumber; --i) childLinks[i] = childLinks[i - 1];
      childLinks[i] = static_cast<uint8_t>(linkNumber);
    }
    ++childCount;
  }
};

static_assert(sizeof(NodeSummary) == 16, "a summary must stay 16 bytes per node");

}  // namespace ws
