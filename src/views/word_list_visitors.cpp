#include "views/word_list_visitors.h"

#include "screen/number_format.h"

namespace ws {

void WordListVisitor::visit(std::string_view word, std::uint32_t count, const NodeView& /*node*/,
                            std::uint8_t linkNumber) {
  if (linkNumber == 1 && word == "!") lineNumber_ = 0;
  if (count == 0 || !selects(word)) return;
  ++lineNumber_;
  screen_->printText(signedPrintText(lineNumber_));
  screen_->printText(" ");
  screen_->printText(word, true);
}

bool ThirdLetterVisitor::selects(std::string_view word) const {
  return word.size() >= 3 && word[2] == 'a';
}

bool SubstringVisitor::selects(std::string_view word) const {
  return word.find("auto") != std::string_view::npos;
}

}  // namespace ws
