#include "views/word_list_visitors.h"

#include <algorithm>
#include <cstring>

#include "screen/number_format.h"

namespace ws {

void WordListVisitor::begin() {
  lineNumber_ = 0;
  keptLimit_ = static_cast<std::size_t>(screen_->textViewportRows());
}

void WordListVisitor::visit(std::string_view word, WordCount count, const NodeView& /*node*/,
                            std::uint8_t /*linkNumber*/) {
  const bool selected = selects(word);
  if (count != 0 && selected) keep(word);
}

void WordListVisitor::end() {
  printKeptLines();
}

void WordListVisitor::keep(std::string_view word) {
  const auto slot = static_cast<std::size_t>(lineNumber_) % keptLimit_;
  ++lineNumber_;
  if (kept_.size() <= slot) kept_.resize(slot + 1);
  kept_[slot].assign(word);
}

void WordListVisitor::printKeptLines() {
  const auto lines = static_cast<std::size_t>(lineNumber_);
  const std::size_t first = lines > keptLimit_ ? lines - keptLimit_ : 0;
  for (std::size_t line = first; line < lines; ++line) {
    screen_->printText(signedPrintText(static_cast<std::int32_t>(line + 1)));
    screen_->printText(" ");
    screen_->printText(kept_[line % keptLimit_], true);
  }
}

bool ThirdLetterVisitor::selects(std::string_view word) {
  return word.size() >= 3 && word[2] == 'a';
}

// A word contains "auto" when its parent's word does or it ends in "auto": one comparison a
// node instead of a search through the whole word.
bool SubstringVisitor::selects(std::string_view word) {
  const size_t depth = word.size();
  if (containsAt_.size() <= depth) containsAt_.resize(std::max<size_t>(2 * depth, 64));
  const bool contains = (depth > 1 && containsAt_[depth - 1] != 0) ||
                        (depth >= 4 && std::memcmp(word.data() + depth - 4, "auto", 4) == 0);
  containsAt_[depth] = contains ? 1 : 0;
  return contains;
}

}  // namespace ws
