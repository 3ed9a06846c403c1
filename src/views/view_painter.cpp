#include "views/views.h"

#include "views/lookup_view.h"
#include "views/walking_views.h"

namespace ws {

void ViewPainter::drawView(ViewCode viewCode, const ViewInputs& in) {
  switch (viewCode) {
    case '1':
      growthGraph_.draw(in.screen, in.sampleLog, in.counters.nodeCount);
      break;
    case '2':
      drawLookupView(in.screen, in.clock, in.trie);
      break;
    case '3':
      drawTopTwentyView(in.screen, in.clock, in.trie, in.counters, topTwenty_);
      break;
    case '4':
      drawThirdLetterView(in.screen, in.clock, in.trie, in.counters, thirdLetter_);
      break;
    case '5':
      drawSubstringView(in.screen, in.clock, in.trie, in.counters, substring_);
      break;
    case '6':
      drawDotFieldView(in.screen, in.trie, dotField_);
      break;
    case '7':
      drawLetterFieldView(in.screen, in.trie, letterField_);
      break;
    case '8':
      drawWordStartFieldView(in.screen, in.trie, wordStartField_);
      break;
    default:
      break;
  }
}

}  // namespace ws
