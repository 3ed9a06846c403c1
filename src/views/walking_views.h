// Views 3, 4 and 5: a headline, one timed walk over the whole trie whose visitor prints into a
// scrolling viewport below the headline, and a line with the time the walk took.
#pragma once

#include "screen/canvas.h"
#include "screen/clock.h"
#include "text/word_counters.h"
#include "trie/word_trie.h"
#include "views/top_twenty_visitor.h"
#include "views/word_list_visitors.h"

namespace ws {

// Each REQUIRES: cursor on row 14, column 1 and the viewport covering the whole window (see
// ViewPainter::drawView). They leave the text viewport at the rows from 18 to the last row.
void drawTopTwentyView(Canvas& screen, Clock& clock, const WordTrie& trie,
                       const WordCounters& counters, TopTwentyVisitor& visitor);
void drawThirdLetterView(Canvas& screen, Clock& clock, const WordTrie& trie,
                         const WordCounters& counters, ThirdLetterVisitor& visitor);
void drawSubstringView(Canvas& screen, Clock& clock, const WordTrie& trie,
                       const WordCounters& counters, SubstringVisitor& visitor);

}  // namespace ws
