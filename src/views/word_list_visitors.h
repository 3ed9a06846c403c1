// The visitors of views 4 and 5: each prints a numbered line for every read word it selects, in
// walk order, into the current text viewport.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "screen/canvas.h"
#include "trie/trie_walk.h"

namespace ws {

class WordListVisitor : public TrieVisitor {
 public:
  // REQUIRES: screen outlives every walk made with this visitor; set before the first walk.
  void setScreen(Canvas& screen) { screen_ = &screen; }

  // Restarts the numbering on the walk's first visit ("!" under link 1). A node that is only a
  // prefix (count 0) is never listed. The lines are printed at the walk's last visit (root 224):
  // REQUIRES: whole walks.
  void visit(std::string_view word, WordCount count, const NodeView& node,
             std::uint8_t linkNumber) final;

  // The number of the last line printed in the current walk.
  std::int32_t lineNumber() const { return lineNumber_; }

 protected:
  // Whether the line of `word` is listed, should its node be a read word. Asked for every visited
  // node, prefixes included, in walk order.
  virtual bool selects(std::string_view word) = 0;

 private:
  // Every line takes at least one row of the viewport, so when the walk ends no line before the
  // last viewport-rows ones can still be seen: the others would scroll out before the frame is
  // shown. Only those are kept and printed, after the walk's last visit; the viewport ends as
  // printing every line would leave it.
  void keep(std::string_view word);
  void printKeptLines();

  Canvas* screen_ = nullptr;
  std::int32_t lineNumber_ = 0;
  std::vector<std::string> kept_;  // a ring of the last lines' words, kept_.size() at most
  std::size_t keptLimit_ = 0;      // lines that may still be seen
};

// View 4: words whose third byte is "a".
class ThirdLetterVisitor final : public WordListVisitor {
 protected:
  bool selects(std::string_view word) override;
};

// View 5: words that contain the bytes "auto" anywhere.
class SubstringVisitor final : public WordListVisitor {
 protected:
  bool selects(std::string_view word) override;

 private:
  // containsAt_[d]: whether the last visited node at depth d contains "auto". The walk visits a
  // node before its children and every node visited in between lies deeper, so the entry of
  // depth d - 1 is the parent's answer when a node of depth d is visited.
  std::vector<std::uint8_t> containsAt_;
};

}  // namespace ws
