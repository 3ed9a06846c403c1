#pragma once
// The numbering of a trie node's links, and the memory a node is shown to take.

#include <cstdint>

namespace ws {

// Links per node: one per byte value 33..255 (link numbers 1..223) plus link 224,
// which no byte maps to and which therefore stays empty in every node.
inline constexpr int kLinkCount = 224;

// The link number under which byte b hangs: b - 32. REQUIRES: 33 <= b <= 255.
constexpr int linkNumberOf(unsigned char b) {
  return static_cast<int>(b) - 32;
}

// How often a word was read: exact however long the program runs (2^64 words would take the
// fastest crawl thousands of years).
using WordCount = uint64_t;

// The byte that link number k stands for, modulo 256 (link 224 gives byte 0).
constexpr unsigned char byteOfLink(int k) {
  return static_cast<unsigned char>(k + 32);
}

// The memory that nodeCount nodes stand for, as the user is shown it: 900 bytes per node, in
// megabytes of 1048576 bytes. In double: nodeCount x 900 passes 32 bits beyond about 4.7 million.
constexpr double nodeMegabytes(uint32_t nodeCount) {
  return static_cast<double>(nodeCount) * 900.0 / 1048576.0;
}

}  // namespace ws
