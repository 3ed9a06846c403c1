#pragma once
// One node of the word trie and the numbering of its links.

#include <cstdint>

namespace ws {

// Position of a TrieNode in the trie's node pool; 0 means "no node".
using NodeIndex = uint32_t;

// Links per node: one per byte value 33..255 (link numbers 1..223) plus link 224,
// which no byte maps to and which therefore stays empty in every node.
inline constexpr int kLinkCount = 224;

// The link number under which byte b hangs: b - 32. REQUIRES: 33 <= b <= 255.
constexpr int linkNumberOf(unsigned char b) {
  return static_cast<int>(b) - 32;
}

// The byte that link number k stands for, modulo 256 (link 224 gives byte 0).
constexpr unsigned char byteOfLink(int k) {
  return static_cast<unsigned char>(k + 32);
}

// A node is 225 slots of 32 bits: links[k - 1] holds the child under link number k
// (0 when absent) and count says how often the word ending here was inserted
// (0 for a node that is only a prefix of longer words). A fresh node is all zero.
struct TrieNode {
  NodeIndex links[kLinkCount];
  uint32_t count;
};

static_assert(sizeof(TrieNode) == 900, "a node must be exactly 900 bytes");

// The memory that nodeCount nodes stand for, as the user is shown it: 900 bytes per node, in
// megabytes of 1048576 bytes. In double: nodeCount x 900 passes 32 bits beyond about 4.7 million.
constexpr double nodeMegabytes(uint32_t nodeCount) {
  return static_cast<double>(nodeCount) * 900.0 / 1048576.0;
}

}  // namespace ws
