// Views 6, 7 and 8: the whole trie as a field of dots, one pixel per node in walk order, filling
// the window from the bottom row upward, W nodes per row.
//
// Node n of a walk (n counted from 1) lands in column (n mod W) + 1, so column 0 stays empty and
// every W-th node falls just right of the window and is dropped; its row is H - 1 - n / W (views
// 6 and 8) or H - 10 - n / W (view 7). Rows above the window are dropped.
#pragma once

#include <cstdint>
#include <string_view>

#include "screen/canvas.h"
#include "screen/colour.h"
#include "trie/trie_walk.h"
#include "trie/word_trie.h"

namespace ws {

// The dot colour of a node: red and green are the high and low byte of the low 16 bits of
// count squared, blue the low byte of the number of children squared.
Colour nodeColour(WordCount count, int childCount);

// Common state of the three dot-field visitors: the running dot number and the window size,
// read at the start of each walk.
class DotField : public TrieVisitor {
 public:
  // REQUIRES: screen outlives every walk made with this visitor; set before the first walk.
  void setScreen(Canvas& screen) { screen_ = &screen; }

  // Number of the node drawn last in the current walk (0 before the first visit).
  std::uint32_t dotIndex() const { return dotIndex_; }

 protected:
  // Restarts on the walk's first visit ("!" under link 1), then counts this node.
  void advance(std::string_view word, std::uint8_t linkNumber);
  bool hasWindow() const { return width_ > 0; }
  float column() const;
  // The row of the current node, `rowsAboveBottom` above the window's bottom row for the first W.
  float row(int rowsAboveBottom) const;
  // The current node's dot in `colour`, `rowsAboveBottom` as for row(): the pixel plotPixel sets
  // at (column(), row(rowsAboveBottom)); the coordinates are whole numbers, so there is nothing
  // to round and the canvas only clips.
  void plotDot(int rowsAboveBottom, Colour colour);

  Canvas* screen_ = nullptr;

 private:
  std::uint32_t dotIndex_ = 0;
  std::uint32_t dotColumn_ = 0;    // dotIndex_ % width_
  std::uint32_t dotFieldRow_ = 0;  // dotIndex_ / width_
  int width_ = 0;
  int height_ = 0;
};

// View 6: every node as a dot in its node colour.
class DotFieldVisitor final : public DotField {
 public:
  void visit(std::string_view word, WordCount count, const NodeView& node,
             std::uint8_t linkNumber) override;
};

// View 7: first-level nodes as their white letter (top-left corner at the dot), the others as dots;
// 9 rows higher than view 6 so the letters stand inside the window.
class LetterFieldVisitor final : public DotField {
 public:
  void visit(std::string_view word, WordCount count, const NodeView& node,
             std::uint8_t linkNumber) override;
};

// View 8: first-level nodes as a white 2 x 2 mark whose upper right pixel is the dot, the others
// as dots.
class WordStartFieldVisitor final : public DotField {
 public:
  void visit(std::string_view word, WordCount count, const NodeView& node,
             std::uint8_t linkNumber) override;
};

// The number of dots, counted from the first, that can still put a pixel into the window when
// the field's bottom row lies rowsAboveBottom rows above the window's and a node draws down to
// reachBelow rows below its dot; every later dot lies wholly above the window.
std::uint64_t visibleDots(const Canvas& screen, int rowsAboveBottom, int reachBelow);

// Headline, then one walk with the view's visitor, ended once no later node can reach into the
// window: the picture is that of the whole walk.
// REQUIRES: cursor on row 14, column 1 (see ViewPainter::drawView).
void drawDotFieldView(Canvas& screen, const WordTrie& trie, DotFieldVisitor& visitor);
void drawLetterFieldView(Canvas& screen, const WordTrie& trie, LetterFieldVisitor& visitor);
void drawWordStartFieldView(Canvas& screen, const WordTrie& trie, WordStartFieldVisitor& visitor);

}  // namespace ws
