#include "views/walking_views.h"

#include "screen/canvas.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <random>
#include <set>
#include <string>
#include <vector>

#include "screen/number_format.h"
#include "trie/trie_walk.h"
#include "views/test_view_fixture.h"
#include "views/word_list_visitors.h"

namespace ws::testing {
namespace {

bool startsWith(const std::string& text, const std::string& prefix) {
  return text.compare(0, prefix.size(), prefix) == 0;
}

bool endsWith(const std::string& text, const std::string& suffix) {
  return text.size() >= suffix.size() &&
         text.compare(text.size() - suffix.size(), suffix.size(), suffix) == 0;
}

TEST(TopTwentyView, FreshTrieShowsTwentyEmptyRowsAndAnEmptyLongestWord) {
  ViewFixture f;
  f.draw('3');
  const ScreenReader& r = f.reader;
  EXPECT_EQ(r.rowText(14), " 3) Die 20 haeufigsten Woerter:");
  // The empty word ends in column 8 (ranks 1..9) or 9 (10..20): the count goes to column 10.
  for (int rank = 1; rank <= 20; ++rank) {
    const std::string gap = rank < 10 ? "    " : "   ";
    EXPECT_EQ(r.rowText(17 + rank), "     " + std::to_string(rank) + gap + "0 x") << r.rows(14, 50);
  }
  for (int row = 38; row <= 40; ++row) EXPECT_EQ(r.rowText(row), "") << r.rows(14, 50);
  EXPECT_EQ(r.rowText(41), "     Das laengste Wort ( 0 Zeichen ) ist:") << r.rows(14, 50);
  EXPECT_EQ(r.rowText(42), "");
  EXPECT_EQ(r.rowText(43), "");
  // Timing line three rows below the end of the report.
  const std::string timing = r.rowText(47);
  EXPECT_TRUE(startsWith(timing, "    Die Auswertung der 0 Woerter dauerte ")) << r.rows(40, 50);
  EXPECT_TRUE(endsWith(timing, " Sekunden.")) << r.rows(40, 50);
}

TEST(TopTwentyView, CountColumnFollowsTheWordEndAndRankingSkipsShortWordsAndPrefixes) {
  ViewFixture f;
  f.read("abcdefg", 3);  // word ends with the cursor in column 15: count in column 20
  f.read("bcdefg", 2);   // cursor in column 14: count in column 15
  f.read("zz", 2);       // same count as bcdefg, later in byte order
  f.read("e", 50);       // one-byte words never rank
  f.draw('3');
  const ScreenReader& r = f.reader;
  EXPECT_EQ(r.rowText(18), "     1 abcdefg      3 x") << r.rows(14, 45);
  EXPECT_EQ(r.rowText(19), "     2 bcdefg  2 x") << r.rows(14, 45);
  EXPECT_EQ(r.rowText(20), "     3 zz      2 x") << r.rows(14, 45);
  EXPECT_EQ(r.rowText(21), "     4    0 x") << r.rows(14, 45);
  EXPECT_EQ(r.rowText(41), "     Das laengste Wort ( 7 Zeichen ) ist:");
  EXPECT_EQ(r.rowText(43), "abcdefg");
  EXPECT_EQ(r.cellInk(18, 8), kWhite565);
  EXPECT_EQ(r.cellInk(14, 2), kCyan565);
}

TEST(ThirdLetterView, ListsReadWordsWithThirdByteAOnly) {
  ViewFixture f;
  f.read("haare");
  f.read("haar");
  f.read("ha");  // too short
  f.read("xyz");
  f.read("zwar");  // third byte a
  f.draw('4');
  const ScreenReader& r = f.reader;
  EXPECT_EQ(r.rowText(14), " 4) Alle Woerter, deren 3. Buchstabe ein \"a\" ist:");
  // "haa" exists only as a prefix of haar and haare and is not listed.
  EXPECT_EQ(r.rowText(18), " 1 haar") << r.rows(14, 25);
  EXPECT_EQ(r.rowText(19), " 2 haare") << r.rows(14, 25);
  EXPECT_EQ(r.rowText(20), " 3 zwar") << r.rows(14, 25);
  EXPECT_EQ(r.rowText(21), "") << r.rows(14, 25);
  const std::string words = std::to_string(f.counters.distinctWords);
  EXPECT_TRUE(startsWith(r.rowText(22), "    Die Auswertung der " + words + " Woerter dauerte "))
      << r.rows(14, 25);
}

TEST(SubstringView, ListsEveryWordContainingAutoOnceInByteOrder) {
  ViewFixture f;
  f.read("lastauto");
  f.read("fotoautomat", 2);
  f.read("autobahn");
  f.read("autoauto");
  f.read("aut");
  f.read("automat");
  f.draw('5');
  const ScreenReader& r = f.reader;
  EXPECT_EQ(r.rowText(14), " 5) Alle Woerter, in denen die Zeichenfolge \"auto\" vorkommt:");
  EXPECT_EQ(r.rowText(18), " 1 autoauto") << r.rows(14, 26);
  EXPECT_EQ(r.rowText(19), " 2 autobahn") << r.rows(14, 26);
  EXPECT_EQ(r.rowText(20), " 3 automat") << r.rows(14, 26);
  EXPECT_EQ(r.rowText(21), " 4 fotoautomat") << r.rows(14, 26);
  EXPECT_EQ(r.rowText(22), " 5 lastauto") << r.rows(14, 26);
  EXPECT_EQ(r.rowText(23), "") << r.rows(14, 26);
  const std::string words = std::to_string(f.counters.distinctWords);
  EXPECT_TRUE(startsWith(r.rowText(24), "    Die Auswertung der " + words + " Woerter dauerte "))
      << r.rows(14, 26);
}

// Words of a few letters hold "auto" at every place, as a prefix of other words and twice; the
// view lists exactly the words a plain search through each word finds.
TEST(SubstringView, ListsAsManyWordsAsAPlainSearchFinds) {
  ViewFixture f;
  std::mt19937 random(5);
  std::set<std::string> read;
  for (int i = 0; i < 2000; ++i) {
    std::string word;
    static const char* const pieces[] = {"auto", "au", "to", "a", "ut", "o", "t"};
    for (size_t n = 1 + random() % 5; n > 0; --n) word += pieces[random() % 7];
    f.read(word);
    read.insert(word);
  }
  const auto expected = std::count_if(read.begin(), read.end(), [](const std::string& word) {
    return word.find("auto") != std::string::npos;
  });
  ASSERT_GT(expected, 100);
  SubstringVisitor visitor;
  for (int pass = 0; pass < 2; ++pass) {
    Canvas canvas(f.screen);
    visitor.setScreen(canvas);
    walkTrie(f.trie, visitor);
    EXPECT_EQ(visitor.lineNumber(), expected) << "pass " << pass;
  }
}

// The list prints only the lines that can still be seen when the walk ends; the viewport must end
// as printing every line leaves it: the same pixels, cursor and pending line end. Words that wrap
// (one byte short of a row, a whole row, one byte over, several rows) and lists shorter and longer
// than the viewport.
TEST(ThirdLetterView, KeepsOnlyTheVisibleLinesAndEndsAsPrintingEveryLine) {
  struct Collector final : TrieVisitor {
    void visit(std::string_view word, WordCount count, const NodeView&, std::uint8_t) override {
      if (count != 0 && word.size() >= 3 && word[2] == 'a') words.emplace_back(word);
    }
    std::vector<std::string> words;
  };
  const auto screenWithList = [](ScreenService& screen) {
    screen.openWindow(640, 480);
    screen.setTextGrid(80, 60);
    screen.lockScreen();
    screen.moveCursor(14, 1);
    screen.printText("headline", true);
    screen.setTextViewport(17, 60);
  };
  for (const int wordCount : {0, 20, 43, 44, 45, 46, 300, 600}) {
    const bool wrapping = wordCount >= 300;
    WordTrie trie;
    for (int i = 0; i < wordCount; ++i) {
      std::string word = "zza" + std::to_string(1000 + i);
      if (wrapping && i % 7 == 3)
        word.resize(std::size_t{76} + static_cast<std::size_t>(i % 6), 'w');
      if (wrapping && i % 50 == 11) word.resize(400, 'x');
      if (wordCount == 600 && i < 590) word[3] = 'b';  // the longest lines among the last few
      trie.insertWord(word);
    }
    ScreenService kept;
    screenWithList(kept);
    ThirdLetterVisitor visitor;
    {
      Canvas canvas(kept);
      visitor.setScreen(canvas);
      walkTrie(trie, visitor);
    }

    ScreenService every;
    screenWithList(every);
    Collector collector;
    walkTrie(trie, collector);
    for (std::size_t line = 0; line < collector.words.size(); ++line) {
      every.printText(signedPrintText(static_cast<std::int32_t>(line + 1)));
      every.printText(" ");
      every.printText(collector.words[line], true);
    }
    kept.unlockScreen();
    every.unlockScreen();

    EXPECT_EQ(visitor.lineNumber(), static_cast<std::int32_t>(collector.words.size()));
    EXPECT_EQ(kept.cursorRow(), every.cursorRow()) << wordCount;
    EXPECT_EQ(kept.cursorColumn(), every.cursorColumn()) << wordCount;
    EXPECT_EQ(kept.pendingLineEnd(), every.pendingLineEnd()) << wordCount;
    int differing = 0;
    for (int y = 0; y < 480; ++y) {
      for (int x = 0; x < 640; ++x) differing += kept.frame().at(x, y) != every.frame().at(x, y);
    }
    EXPECT_EQ(differing, 0) << wordCount << " words";
  }
}

TEST(ThirdLetterView, LongListScrollsAndTheTimingLineLandsOnTheLastRow) {
  ViewFixture f;
  char word[8];
  for (int i = 0; i < 60; ++i) {
    std::snprintf(word, sizeof word, "zza%03d", i);
    f.read(word);
  }
  f.draw('4');
  const ScreenReader& r = f.reader;
  // The headline above the viewport stays.
  EXPECT_EQ(r.rowText(14), " 4) Alle Woerter, deren 3. Buchstabe ein \"a\" ist:");
  EXPECT_EQ(r.rowText(17), "");
  // 60 lines in the 43 rows 18..60 leave the cursor on row 60; the move one row down is refused,
  // so the timing line starts in column 1 there, and its own line end scrolls once more.
  EXPECT_EQ(r.rowText(18), " 20 zza019") << r.rows(14, 60);
  EXPECT_EQ(r.rowText(58), " 60 zza059") << r.rows(14, 60);
  const std::string words = std::to_string(f.counters.distinctWords);
  EXPECT_TRUE(startsWith(r.rowText(59), "Die Auswertung der " + words + " Woerter dauerte "))
      << r.rows(55, 60);
  EXPECT_EQ(r.rowText(60), "");
  EXPECT_EQ(f.screen.cursorRow(), 60);
  EXPECT_EQ(f.screen.cursorColumn(), 1);
}

TEST(WalkingViews, RedrawingStartsTheListsAndRankingAfresh) {
  ViewFixture f;
  f.read("haar");
  f.read("bauto");
  f.draw('4');
  f.draw('5');
  f.screen.setTextViewport(0, 0);
  f.screen.clearScreen();
  f.draw('4');
  EXPECT_EQ(f.reader.rowText(18), " 1 haar") << f.reader.rows(14, 22);
  f.screen.setTextViewport(0, 0);
  f.screen.clearScreen();
  f.draw('3');
  f.screen.setTextViewport(0, 0);
  f.screen.clearScreen();
  f.draw('3');
  EXPECT_EQ(f.reader.rowText(18), "     1 bauto   1 x") << f.reader.rows(14, 22);
  EXPECT_EQ(f.reader.rowText(19), "     2 haar    1 x") << f.reader.rows(14, 22);
  EXPECT_EQ(f.reader.rowText(20), "     3    0 x") << f.reader.rows(14, 22);
}

}  // namespace
}  // namespace ws::testing
