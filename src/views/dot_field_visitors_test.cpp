#include "views/dot_field_visitors.h"

#include "screen/canvas.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <utility>

#include "views/test_view_fixture.h"

namespace ws::testing {
namespace {

TEST(NodeColour, SquaresCountAndChildrenIntoRedGreenAndBlue) {
  EXPECT_EQ(nodeColour(100, 5), 0xFF271019u);
  EXPECT_EQ(nodeColour(256, 16), 0xFF000000u);
  EXPECT_EQ(nodeColour(1, 1), 0xFF000101u);
  EXPECT_EQ(nodeColour(65536 + 100, 5), 0xFF271019u);  // only the low 16 bits of the square
  EXPECT_EQ(nodeColour(0, 224), 0xFF000000u);          // 224 * 224 = 0xC400
  EXPECT_EQ(nodeColour(0, 223), 0xFF000041u);
}

// Paints the window white so that black dots show.
void whiten(ViewFixture& f) {
  f.screen.setColours(kWhite, kWhite);
  f.screen.clearScreen();
  f.screen.setColours(kWhite, kBlack);
}

TEST(DotFieldViews, FreshTrieFillsTheBottomRowFromColumnTwo) {
  ViewFixture f;
  whiten(f);
  f.draw('6');
  const ScreenReader& r = f.reader;
  EXPECT_EQ(r.textAt(0, 8 * 13, 75),
            " 6) Visualisierung des kompletten Baums als Punktefeld (1 Knoten = 1 Punkt)");
  int black = 0;
  for (int x = 0; x < 640; ++x) black += r.pixel(x, 479) == 0 ? 1 : 0;
  EXPECT_EQ(black, 224) << r.region(0, 476, 240, 479);
  EXPECT_EQ(r.pixel(1, 479), kWhite565);
  EXPECT_EQ(r.pixel(2, 479), 0);
  EXPECT_EQ(r.pixel(225, 479), 0);
  EXPECT_EQ(r.pixel(226, 479), kWhite565);
  EXPECT_EQ(r.pixel(2, 478), kWhite565);
}

TEST(DotFieldViews, LetterFieldDrawsTheFirstLettersOnePixelApart) {
  ViewFixture f;
  f.draw('7');
  ScreenService expected;
  expected.openWindow(640, 480);
  expected.setTextGrid(80, 60);
  for (int code = 33; code <= 255; ++code) {
    expected.drawText(static_cast<float>(code - 31), 470.0f,
                      std::string(1, static_cast<char>(code)), kWhite);
  }
  const ScreenReader want(expected);
  const ScreenReader& got = f.reader;
  EXPECT_EQ(got.rowText(14),
            " 7) Visualisierung des kompletten Baums als Punktefeld mit Anfangsbuchstaben");
  for (int y = 400; y < 480; ++y) {
    for (int x = 0; x < 640; ++x) {
      ASSERT_EQ(got.pixel(x, y), want.pixel(x, y)) << "at (" << x << ", " << y << ")\ngot:\n"
                                                   << got.region(0, 468, 240, 479) << "\nwant:\n"
                                                   << want.region(0, 468, 240, 479);
    }
  }
}

TEST(DotFieldViews, WordStartFieldMarksEveryFirstLetterWhite) {
  ViewFixture f;
  f.draw('8');
  const ScreenReader& r = f.reader;
  EXPECT_EQ(r.rowText(14), " 8) Baum als Punktefeld mit weissen Punkten am Wortanfang");
  for (int x = 1; x <= 225; ++x) ASSERT_EQ(r.pixel(x, 479), kWhite565) << "x = " << x;
  EXPECT_EQ(r.pixel(0, 479), 0);
  EXPECT_EQ(r.pixel(226, 479), 0);
  for (int x = 0; x < 640; ++x) ASSERT_EQ(r.pixel(x, 478), 0) << "x = " << x;
}

TEST(DotFieldViews, EveryWidththNodeIsDroppedAndTheNextRowStartsInColumnOne) {
  ViewFixture f;
  const NodeView root(0, 0);
  DotFieldVisitor v;
  Canvas canvas(f.screen);
  v.setScreen(canvas);
  v.visit("!", 0, root, 1);                                    // node 1, black
  for (int n = 2; n <= 640; ++n) v.visit("xy", 255, root, 2);  // red dots
  EXPECT_EQ(v.dotIndex(), 640u);
  const ScreenReader& r = f.reader;
  int inked = 0;
  for (int y = 0; y < 480; ++y) {
    for (int x = 0; x < 640; ++x) inked += r.pixel(x, y) != 0 ? 1 : 0;
  }
  // Nodes 2..638 on row 479 (x = 3..639), node 639 outside, node 640 at (1, 478).
  EXPECT_EQ(inked, 638) << r.region(0, 476, 40, 479);
  EXPECT_EQ(r.pixel(3, 479), kRed565);
  EXPECT_EQ(r.pixel(639, 479), kRed565);
  EXPECT_EQ(r.pixel(1, 478), kRed565) << r.region(0, 476, 40, 479);
  EXPECT_EQ(r.pixel(0, 478), 0);

  // A new walk starts numbering at 1 again.
  v.visit("!", 0, root, 1);
  EXPECT_EQ(v.dotIndex(), 1u);
}

// Each view's cut walk against the same drawing followed by the whole walk, which repaints the
// cut walk's dots in the same order and adds the rest: the pictures agree only if the rest left
// every pixel as it was. The trie (about 4,000 nodes) fills the small windows, not the big ones.
TEST(DotFieldViews, EndingTheWalkAboveTheWindowChangesNoPixel) {
  ViewFixture f;
  std::mt19937 random(11);
  const std::string alphabet = "!ae\xe4r\xfftsn";
  while (f.trie.nodeCount() < 4000) {
    std::string word(1 + random() % 7, ' ');
    for (char& c : word) c = alphabet[random() % alphabet.size()];
    if (random() % 4 == 0) word[0] = static_cast<char>(33 + random() % 223);  // other first letters
    f.read(word);
  }
  const std::pair<int, int> sizes[] = {{640, 480}, {1200, 800}, {48, 30}, {37, 21}, {16, 95},
                                       {200, 9},   {61, 12},    {23, 40}, {90, 11}};
  for (const auto& [width, height] : sizes) {
    for (const char view : {'6', '7', '8'}) {
      ScreenService cut;
      ScreenService whole;
      for (ScreenService* screen : {&cut, &whole}) {
        screen->openWindow(width, height);
        screen->moveCursor(14, 1);
      }
      DotFieldVisitor dots;
      LetterFieldVisitor letters;
      WordStartFieldVisitor marks;
      const auto draw = [&](ScreenService& screen) {
        Canvas canvas(screen);
        if (view == '6') drawDotFieldView(canvas, f.trie, dots);
        if (view == '7') drawLetterFieldView(canvas, f.trie, letters);
        if (view == '8') drawWordStartFieldView(canvas, f.trie, marks);
      };
      draw(cut);
      draw(whole);
      TrieVisitor* visitor = view == '6'   ? static_cast<TrieVisitor*>(&dots)
                             : view == '7' ? static_cast<TrieVisitor*>(&letters)
                                           : static_cast<TrieVisitor*>(&marks);
      walkTrie(f.trie, *visitor);
      const ScreenReader a(cut);
      const ScreenReader b(whole);
      for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
          ASSERT_EQ(a.pixel(x, y), b.pixel(x, y)) << "view " << view << " in " << width << " x "
                                                  << height << " at (" << x << ", " << y << ")";
        }
      }
    }
  }
}

}  // namespace
}  // namespace ws::testing
