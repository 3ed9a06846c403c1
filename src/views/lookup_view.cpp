#include "views/lookup_view.h"

#include "screen/colour.h"
#include "screen/number_format.h"
#include "text/lower_case.h"
#include "views/headline.h"
#include "views/view_layout.h"

namespace ws {

void drawLookupView(Canvas& screen, Clock& clock, const WordTrie& trie) {
  printHeadline(screen, " 2) Gezielter Lookup von Woertern:");
  screen.moveCursor(screen.cursorRow() + 3, 1);

  const double start = clock.seconds();
  for (std::string_view word : lookupList) {
    screen.moveCursor(screen.cursorRow(), kListColumn);
    screen.printText("Wie oft kommt ");
    screen.setColours(kYellow, kBlack);
    screen.printText(word);
    screen.setColours(kWhite, kBlack);
    screen.printText(" vor? ");
    screen.setColours(kRed, kBlack);
    screen.printText(countText(trie.lookupWord(lowerCased(word))));
    screen.setColours(kWhite, kBlack);
    screen.printText("x", true);
  }
  const double end = clock.seconds();

  screen.moveCursor(screen.cursorRow() + 1, kListColumn);
  screen.printText("Das Nachschlagen der Haeufigkeiten dauerte ");
  screen.printText(maskedText("##.######", end - start));
  screen.printText(" Sekunden.", true);
}

}  // namespace ws
