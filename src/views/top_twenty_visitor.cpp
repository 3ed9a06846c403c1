#include "views/top_twenty_visitor.h"

#include <utility>

#include "screen/number_format.h"
#include "views/headline.h"
#include "views/view_layout.h"

namespace ws {

namespace {
// The ranking compares whole counts, unsigned: a word read 2^31 times or more keeps its place.
bool ranksAbove(WordCount count, WordCount other) {
  return count > other;
}
// Blanks after the " x" of a ranking row; they wipe what a longer earlier row left there.
constexpr std::string_view kRowTail = " x                                  ";
static_assert(kRowTail.size() == 36);
}  // namespace

void TopTwentyVisitor::visit(std::string_view word, WordCount count, const NodeView& /*node*/,
                             std::uint8_t linkNumber) {
  if (linkNumber == 1 && word == "!") reset();
  offer(word, count);
  if (linkNumber == 224 && screen_ != nullptr) printReport();
}

void TopTwentyVisitor::reset() {
  for (Entry& entry : topWords_) {
    entry.word.clear();
    entry.count = 0;
  }
  longestWord_.clear();
  longestLength_ = 0;
}

void TopTwentyVisitor::offer(std::string_view word, WordCount count) {
  if (word.size() < 2) return;
  // A candidate that does not beat rank 20 would sit in the entry slot and be overwritten by the
  // next one; skipping it spares copying the word on nearly every visit.
  if (ranksAbove(count, topWords_[kRanked - 1].count)) {
    Entry& slot = topWords_[kRanked];
    slot.word.assign(word);
    slot.count = count;
    for (int i = kRanked; i >= 1 && ranksAbove(topWords_[i].count, topWords_[i - 1].count); --i) {
      std::swap(topWords_[i], topWords_[i - 1]);
    }
  }
  if (word.size() > static_cast<std::size_t>(longestLength_)) {
    longestWord_.assign(word);
    longestLength_ = static_cast<std::int32_t>(word.size());
  }
}

void TopTwentyVisitor::printReport() {
  Canvas& screen = *screen_;
  for (int rank = 1; rank <= kRanked; ++rank) {
    const Entry& entry = ranked(rank);
    screen.moveCursor(screen.cursorRow(), kListColumn);
    screen.printText(signedPrintText(rank));
    screen.printText(" ");
    screen.printText(entry.word);
    // The count starts at the next multiple of 5 after the word's end.
    const int column = screen.cursorColumn();
    screen.moveCursor(screen.cursorRow(), column + 5 - ((column + 10) % 5));
    screen.printText(countText(entry.count));
    screen.printText(kRowTail, true);
  }
  screen.printLineEnd();
  screen.printLineEnd();
  screen.printLineEnd();
  screen.printText("     Das laengste Wort (");
  screen.printText(signedPrintText(longestLength_));
  screen.printText(" Zeichen ) ist: ", true);
  screen.printLineEnd();
  screen.printText(longestWord_, true);
}

}  // namespace ws
