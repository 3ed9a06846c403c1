#include "trie/trie_walk.h"

#include <bit>
#include <string>
#include <vector>

namespace ws {
namespace {

struct Frame {
  NodeIndex node;
  uint32_t depth;  // length of the node's word
  uint8_t linkNumber;
};

// Depth-first walk with an explicit stack, so a word of any length costs heap,
// not call stack. The word of the current node is kept in one buffer: a frame at
// depth d only rewrites byte d - 1, and every node visited between an ancestor
// and this frame lies deeper than that ancestor, so bytes 0..d-2 still hold the
// path when the frame is taken.
class Walker {
 public:
  Walker(const WordTrie& trie, TrieVisitor& visitor) : trie_(trie), visitor_(visitor) {}

  void pushRoots() {
    for (int k = kLinkCount; k >= 1; --k) {
      const NodeIndex root = trie_.rootEntry(k);
      if (root != 0) stack_.push_back({root, 1, static_cast<uint8_t>(k)});
    }
    if (word_.empty()) word_.resize(1);
  }

  void visitStart(NodeIndex node, uint8_t linkNumber, std::string_view word) {
    word_.assign(word);
    visit({node, static_cast<uint32_t>(word.size()), linkNumber});
  }

  void run() {
    while (!stack_.empty()) {
      const Frame frame = stack_.back();
      stack_.pop_back();
      word_[frame.depth - 1] = static_cast<char>(byteOfLink(frame.linkNumber));
      visit(frame);
    }
  }

 private:
  void visit(const Frame& frame) {
    const TrieNode& node = trie_.node(frame.node);
    visitor_.visit(std::string_view(word_.data(), frame.depth), node.count,
                   NodeView(trie_, frame.node), frame.linkNumber);
    pushChildren(frame, node);
  }

  // Pushes the children highest link first, so they come off in increasing order.
  void pushChildren(const Frame& frame, const TrieNode& node) {
    const ChildBits& bits = trie_.childBits(frame.node);
    bool any = false;
    for (int w = kLinkCount / 32 - 1; w >= 0; --w) {
      uint32_t set = bits.words[w];
      while (set != 0) {
        const int bit = 31 - std::countl_zero(set);
        set &= ~(uint32_t{1} << bit);
        const int link = w * 32 + bit + 1;
        const NodeIndex child = node.links[link - 1];
        // The child is visited soon; start fetching what its visit reads.
        __builtin_prefetch(&trie_.node(child).count);
        __builtin_prefetch(&trie_.childBits(child));
        stack_.push_back({child, frame.depth + 1, static_cast<uint8_t>(link)});
        any = true;
      }
    }
    if (any && word_.size() <= frame.depth) word_.resize(frame.depth + 1);
  }

  const WordTrie& trie_;
  TrieVisitor& visitor_;
  std::vector<Frame> stack_;
  std::string word_;
};

}  // namespace

void walkTrie(const WordTrie& trie, TrieVisitor& visitor) {
  Walker walker(trie, visitor);
  walker.pushRoots();
  walker.run();
}

void walkNode(const WordTrie& trie, NodeIndex node, uint8_t linkNumber, std::string_view word,
              TrieVisitor& visitor) {
  if (node == 0) return;
  Walker walker(trie, visitor);
  walker.visitStart(node, linkNumber, word);
  walker.run();
}

}  // namespace ws
