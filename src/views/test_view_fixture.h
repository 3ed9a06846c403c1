// Test support: a 640 x 480 in-memory screen, a trie with the counters the driver would keep for
// it, a sample log holding the all-zero record, and one ViewPainter for the whole test.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "screen/canvas.h"
#include "screen/screen_service.h"
#include "text/word_counters.h"
#include "trie/word_trie.h"
#include "views/sample_log.h"
#include "views/test_screen_reader.h"
#include "views/views.h"

namespace ws::testing {

class ViewFixture {
 public:
  ViewFixture() {
    screen.openWindow(640, 480);
    screen.setTextGrid(80, 60);
  }

  // Counts `word` `times` times, as the word splitter would.
  void read(std::string_view word, int times = 1) {
    for (int i = 0; i < times; ++i) {
      const std::uint32_t created = trie.insertWord(word);
      counters.nodeCount += created;
      counters.distinctWords += created != 0 ? 1 : 0;
      counters.wordsTotal += 1;
      counters.letterCount += static_cast<std::uint32_t>(word.size());
    }
  }

  // Draws a view the way the driver does: locked, cursor on row 14, column 1.
  void draw(ViewCode viewCode) {
    Canvas canvas(screen);
    canvas.moveCursor(14, 1);
    painter.drawView(viewCode, ViewInputs{canvas, steadyClock(), trie, counters, sampleLog});
  }

  ScreenService screen;
  WordTrie trie;
  WordCounters counters;
  SampleLog sampleLog;
  ViewPainter painter;
  ScreenReader reader{screen};
};

}  // namespace ws::testing
