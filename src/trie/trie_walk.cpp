#include "trie/trie_walk.h"

#include <string>
#include <vector>

#include "trie/child_cursor.h"

namespace ws {
namespace {

// Depth first through the trie, a child cursor per level on the path from the roots to the
// current node, each reading its block in place. A node's whole record (count and child block)
// comes with its parent's block, so a visit reads memory only when it enters a child block, and
// laid out in walk order the blocks follow one another in memory. The word of the current node is
// kept in one buffer: a node at depth d rewrites byte d - 1 only, and every node visited between
// an ancestor and it lies deeper than that ancestor, so bytes 0..d-2 still hold its path.
class Walker {
 public:
  Walker(const WordTrie& trie, TrieVisitor& visitor) : trie_(trie), visitor_(visitor) {}

  // Makes the first `visits` visits of the walk (all of them when there are fewer).
  // REQUIRES: visits >= 1.
  void walk(uint64_t visits) {
    path_.push_back(trie_.roots());
    while (!path_.empty()) {
      ChildCursor& at = path_.back();
      if (!at.next()) {
        path_.pop_back();
        continue;
      }
      const size_t depth = path_.size();
      if (word_.size() < depth) word_.resize(depth);
      word_[depth - 1] = static_cast<char>(byteOfLink(at.linkNumber()));
      const std::string_view word(word_.data(), depth);
      const int childCount = at.childCount();
      const WordCount count = trie_.countOf(at, word);
      visitor_.visit(word, count, NodeView(count, childCount),
                     static_cast<uint8_t>(at.linkNumber()));
      if (--visits == 0) return;
      if (childCount != 0) path_.push_back(at.children());
    }
  }

 private:
  const WordTrie& trie_;
  TrieVisitor& visitor_;
  std::vector<ChildCursor> path_;
  std::string word_;
};

}  // namespace

void walkTrie(const WordTrie& trie, TrieVisitor& visitor) {
  walkTrie(trie, visitor, UINT64_MAX);
}

void walkTrie(const WordTrie& trie, TrieVisitor& visitor, uint64_t visitLimit) {
  // The roots exist from construction until freeTrie, so a walk visits something unless the
  // trie is freed or no visit is wanted.
  if (trie.nodeCount() == 0 || visitLimit == 0) return;
  visitor.begin();
  Walker(trie, visitor).walk(visitLimit);
  visitor.end();
}

}  // namespace ws
