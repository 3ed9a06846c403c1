// The eight views drawn below the statistics block after every counted article, and the sample
// log (views/sample_log.h) that the driver fills and view 1 draws.
//
// The driver keeps one ViewPainter for the whole run: it holds the state that views carry from one
// drawing to the next (the growth graph's ratio memory, the visitors' tables and counters).
#pragma once

#include <cstdint>

#include "screen/canvas.h"
#include "screen/clock.h"
#include "text/word_counters.h"
#include "trie/word_trie.h"
#include "views/dot_field_visitors.h"
#include "views/growth_graph.h"
#include "views/sample_log.h"
#include "views/top_twenty_visitor.h"
#include "views/word_list_visitors.h"

namespace ws {

// The ViewCode: the key of the view drawn after each counted article, '1' to '8'.
using ViewCode = char;

// What one drawing reads. Every reference must stay valid for the duration of drawView only.
struct ViewInputs {
  Canvas& screen;
  Clock& clock;  // the crawler's: the views that time their walk read it
  const WordTrie& trie;
  const WordCounters& counters;
  const SampleLog& sampleLog;
};

class ViewPainter {
 public:
  // Draws view '1'..'8'; any other code draws nothing.
  // REQUIRES: the text cursor stands at row 14, column 1, the text viewport covers the whole window
  // and the caller holds the screen lock, so that the view appears at once when it unlocks.
  // Leaves white on black as the current colours. Views 3 to 5 leave the text viewport at rows
  // 18 onward; the driver resets it at the start of each pass.
  void drawView(ViewCode viewCode, const ViewInputs& inputs);

  // The largest ratio seen by the last drawing of view 1 (0 before the first drawing).
  float previousMaxRatio() const { return growthGraph_.previousMaxRatio(); }

 private:
  GrowthGraph growthGraph_;
  TopTwentyVisitor topTwenty_;
  ThirdLetterVisitor thirdLetter_;
  SubstringVisitor substring_;
  DotFieldVisitor dotField_;
  LetterFieldVisitor letterField_;
  WordStartFieldVisitor wordStartField_;
};

}  // namespace ws
