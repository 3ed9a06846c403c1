#include "views/headline.h"

#include "screen/colour.h"
#include "screen/number_format.h"
#include "views/view_layout.h"

namespace ws {

void printHeadline(Canvas& screen, std::string_view headline) {
  screen.moveCursor(kViewRow, 1);
  screen.setColours(kCyan, kBlack);
  screen.printText(headline, true);
  screen.setColours(kWhite, kBlack);
}

std::string countText(WordCount count) {
  std::string text(1, ' ');
  text += unsignedText(count);
  return text;
}

}  // namespace ws
