// The visitors of views 4 and 5: each prints a numbered line for every read word it selects, in
// walk order, into the current text viewport.
#pragma once

#include <cstdint>
#include <string_view>

#include "screen/screen_service.h"
#include "trie/trie_walk.h"

namespace ws {

class WordListVisitor : public TrieVisitor {
 public:
  // REQUIRES: screen outlives every walk made with this visitor; set before the first walk.
  void setScreen(ScreenService& screen) { screen_ = &screen; }

  // Restarts the numbering on the walk's first visit ("!" under link 1). A node that is only a
  // prefix (count 0) is never listed.
  void visit(std::string_view word, std::uint32_t count, const NodeView& node,
             std::uint8_t linkNumber) final;

  // The number of the last line printed in the current walk.
  std::int32_t lineNumber() const { return lineNumber_; }

 protected:
  virtual bool selects(std::string_view word) const = 0;

 private:
  ScreenService* screen_ = nullptr;
  std::int32_t lineNumber_ = 0;
};

// View 4: words whose third byte is "a".
class ThirdLetterVisitor final : public WordListVisitor {
 protected:
  bool selects(std::string_view word) const override;
};

// View 5: words that contain the bytes "auto" anywhere.
class SubstringVisitor final : public WordListVisitor {
 protected:
  bool selects(std::string_view word) const override;
};

}  // namespace ws
