#include "views/dot_field_visitors.h"

#include "screen/frame_buffer.h"
#include "views/headline.h"

namespace ws {

namespace {
constexpr int kLastRootEntry = 224;
}  // namespace

Colour nodeColour(WordCount count, int childCount) {
  // The low 16 bits of the square: the 64-bit product wraps, and 2^16 divides 2^64.
  const auto q = static_cast<std::uint32_t>((count * count) & 0xFFFFu);
  const auto c = static_cast<std::uint32_t>(childCount);
  return 0xFF000000u + (q >> 8) * 0x10000u + (q & 0xFFu) * 0x100u + ((c * c) & 0xFFu);
}

void DotField::advance(std::string_view word, std::uint8_t linkNumber) {
  if (linkNumber == 1 && word == "!") {
    dotIndex_ = 0;
    dotColumn_ = 0;
    dotFieldRow_ = 0;
    const auto [width, height] = screen_->windowSize();
    width_ = width;
    height_ = height;
  }
  ++dotIndex_;
  // dotColumn_ and dotFieldRow_ follow dotIndex_ % W and dotIndex_ / W without a division a node.
  if (++dotColumn_ >= static_cast<std::uint32_t>(width_)) {
    dotColumn_ = 0;
    ++dotFieldRow_;
  }
}

float DotField::column() const {
  return static_cast<float>(dotColumn_ + 1);
}

float DotField::row(int rowsAboveBottom) const {
  return static_cast<float>(height_ - 1 - rowsAboveBottom - std::int64_t{dotFieldRow_});
}

void DotField::plotDot(int rowsAboveBottom, Colour colour) {
  screen_->plotDot(std::int64_t{dotColumn_} + 1,
                   std::int64_t{height_} - 1 - rowsAboveBottom - dotFieldRow_, toRgb565(colour));
}

void DotFieldVisitor::visit(std::string_view word, WordCount count, const NodeView& node,
                            std::uint8_t linkNumber) {
  advance(word, linkNumber);
  if (!hasWindow()) return;
  plotDot(0, nodeColour(count, node.childCount()));
}

void LetterFieldVisitor::visit(std::string_view word, WordCount count, const NodeView& node,
                               std::uint8_t linkNumber) {
  advance(word, linkNumber);
  if (!hasWindow()) return;
  if (word.size() == 1) {
    if (linkNumber != kLastRootEntry) screen_->drawText(column(), row(9), word, kWhite);
    return;
  }
  plotDot(9, nodeColour(count, node.childCount()));
}

void WordStartFieldVisitor::visit(std::string_view word, WordCount count, const NodeView& node,
                                  std::uint8_t linkNumber) {
  advance(word, linkNumber);
  if (!hasWindow()) return;
  const float x = column();
  const float y = row(0);
  if (word.size() == 1) {
    screen_->plotPixel(x, y, kWhite);
    screen_->plotPixel(x - 1.0f, y, kWhite);
    screen_->plotPixel(x, y + 1.0f, kWhite);
    screen_->plotPixel(x - 1.0f, y + 1.0f, kWhite);
    return;
  }
  plotDot(0, nodeColour(count, node.childCount()));
}

std::uint64_t visibleDots(const Canvas& screen, int rowsAboveBottom, int reachBelow) {
  // Node n draws down to row H - 1 - rowsAboveBottom - n / W + reachBelow, which lies inside the
  // window while n / W <= H - 1 - rowsAboveBottom + reachBelow: for every n below W times the
  // number of such field rows.
  const auto [width, height] = screen.windowSize();
  const std::int64_t fieldRows = std::int64_t{height} - rowsAboveBottom + reachBelow;
  if (width <= 0 || fieldRows <= 0) return 0;
  return static_cast<std::uint64_t>(width) * static_cast<std::uint64_t>(fieldRows);
}

void drawDotFieldView(Canvas& screen, const WordTrie& trie, DotFieldVisitor& visitor) {
  printHeadline(screen,
                " 6) Visualisierung des kompletten Baums als Punktefeld (1 Knoten = 1 Punkt)");
  visitor.setScreen(screen);
  walkTrie(trie, visitor, visibleDots(screen, 0, 0));
}

void drawLetterFieldView(Canvas& screen, const WordTrie& trie, LetterFieldVisitor& visitor) {
  printHeadline(screen,
                " 7) Visualisierung des kompletten Baums als Punktefeld mit Anfangsbuchstaben");
  visitor.setScreen(screen);
  // A letter's 8 x 8 cell reaches 7 rows below its corner.
  walkTrie(trie, visitor, visibleDots(screen, 9, 7));
}

void drawWordStartFieldView(Canvas& screen, const WordTrie& trie, WordStartFieldVisitor& visitor) {
  printHeadline(screen, " 8) Baum als Punktefeld mit weissen Punkten am Wortanfang");
  visitor.setScreen(screen);
  // A first letter's mark reaches one row below its dot.
  walkTrie(trie, visitor, visibleDots(screen, 0, 1));
}

}  // namespace ws
