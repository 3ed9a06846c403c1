#include "views/word_list_visitors.h"

#include <algorithm>
#include <cstring>

#include "screen/number_format.h"

namespace ws {

void WordListVisitor::visit(std::string_view word, std::uint32_t count, const NodeView& /*node*/,
                            std::uint8_t linkNumber) {
  if (linkNumber == 1 && word == "!") lineNumber_ = 0;
  const bool selected = selects(word);
  if (count == 0 || !selected) return;
  ++lineNumber_;
  screen_->printText(signedPrintText(lineNumber_));
  screen_->printText(" ");
  screen_->printText(word, true);
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
