#include "trie/test_reference_trie.h"

namespace ws::testing {

ReferenceTrie::ReferenceTrie() : nodes_(1 + kLinkCount, ReferenceNode{}) {}

uint32_t ReferenceTrie::insertWord(std::string_view word) {
  const auto* bytes = reinterpret_cast<const unsigned char*>(word.data());
  uint32_t current = static_cast<uint32_t>(linkNumberOf(bytes[0]));
  uint32_t created = 0;
  for (size_t pos = 1; pos < word.size(); ++pos) {
    const int link = linkNumberOf(bytes[pos]);
    uint32_t next = nodes_[current].links[link - 1];
    if (next == 0) {
      next = static_cast<uint32_t>(nodes_.size());
      nodes_.push_back(ReferenceNode{});
      nodes_[current].links[link - 1] = next;
      ++created;
    }
    current = next;
  }
  ++nodes_[current].count;
  return created;
}

uint32_t ReferenceTrie::lookupWord(std::string_view word) const {
  if (word.empty()) return 0;
  const auto* bytes = reinterpret_cast<const unsigned char*>(word.data());
  if (bytes[0] <= 32) return 0;
  uint32_t current = static_cast<uint32_t>(linkNumberOf(bytes[0]));
  for (size_t pos = 1; pos < word.size() && current != 0; ++pos) {
    if (bytes[pos] <= 32) return 0;
    current = nodes_[current].links[linkNumberOf(bytes[pos]) - 1];
  }
  return current == 0 ? 0 : nodes_[current].count;
}

std::vector<ReferenceVisit> ReferenceTrie::walk() const {
  struct Pending {
    uint32_t node;
    size_t depth;  // length of the node's word
    int linkNumber;
  };
  std::vector<ReferenceVisit> visits;
  std::vector<Pending> stack;
  std::string word;
  for (int k = kLinkCount; k >= 1; --k) stack.push_back({static_cast<uint32_t>(k), 1, k});
  while (!stack.empty()) {
    const Pending pending = stack.back();
    stack.pop_back();
    word.resize(pending.depth - 1);
    word.push_back(static_cast<char>(byteOfLink(pending.linkNumber)));
    const ReferenceNode& node = nodes_[pending.node];
    int children = 0;
    for (int link = kLinkCount; link >= 1; --link) {
      if (node.links[link - 1] == 0) continue;
      stack.push_back({node.links[link - 1], pending.depth + 1, link});
      ++children;
    }
    visits.push_back({word, node.count, children, pending.linkNumber});
  }
  return visits;
}

}  // namespace ws::testing
