#include "views/walking_views.h"

#include <string_view>

#include "screen/number_format.h"
#include "screen/text_console.h"
#include "views/headline.h"
#include "views/view_layout.h"

namespace ws {

namespace {

// The last text row of the window: its height in text cells, to the nearest whole row.
int lastTextRow(const Canvas& screen) {
  return textCells(screen.windowSize().second);
}

// rowsBelow: how far below the end of the list the timing line goes. On a list that has filled
// the viewport the move is refused and the line starts where the cursor stands.
void drawWalkingView(Canvas& screen, Clock& clock, const WordTrie& trie,
                     const WordCounters& counters, std::string_view headline, TrieVisitor& visitor,
                     int rowsBelow) {
  printHeadline(screen, headline);
  screen.setTextViewport(screen.cursorRow() + 3, lastTextRow(screen));

  const double start = clock.seconds();
  walkTrie(trie, visitor);
  const double end = clock.seconds();

  screen.moveCursor(screen.cursorRow() + rowsBelow, kListColumn);
  screen.printText("Die Auswertung der ");
  screen.printText(unsignedText(counters.distinctWords));
  screen.printText(" Woerter dauerte ");
  screen.printText(maskedText("##.###", end - start));
  screen.printText(" Sekunden.", true);
}

}  // namespace

void drawTopTwentyView(Canvas& screen, Clock& clock, const WordTrie& trie,
                       const WordCounters& counters, TopTwentyVisitor& visitor) {
  visitor.setScreen(screen);
  drawWalkingView(screen, clock, trie, counters, " 3) Die 20 haeufigsten Woerter:", visitor, 3);
}

void drawThirdLetterView(Canvas& screen, Clock& clock, const WordTrie& trie,
                         const WordCounters& counters, ThirdLetterVisitor& visitor) {
  visitor.setScreen(screen);
  drawWalkingView(screen, clock, trie, counters,
                  " 4) Alle Woerter, deren 3. Buchstabe ein \"a\" ist:", visitor, 1);
}

void drawSubstringView(Canvas& screen, Clock& clock, const WordTrie& trie,
                       const WordCounters& counters, SubstringVisitor& visitor) {
  visitor.setScreen(screen);
  drawWalkingView(screen, clock, trie, counters,
                  " 5) Alle Woerter, in denen die Zeichenfolge \"auto\" vorkommt:", visitor, 1);
}

}  // namespace ws
