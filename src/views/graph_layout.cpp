#include "views/graph_layout.h"

#include <algorithm>
#include <cmath>

namespace ws {

// Column x or later: the position, rounded to a float, is at least x - 0.5, so the double is at
// least the midpoint between x - 0.5 and the float below it (a tie rounds to x - 0.5, whose last
// significand bit is 0).
double GraphLayout::edgeShare(int x) const {
  if (x <= kMargin) return 0.0;
  const float edge = static_cast<float>(x) - 0.5f;
  const double from = edge - (static_cast<double>(edge) - std::nextafter(edge, 0.0f)) / 2.0;
  return (from - kMargin) / plotWidth();
}

// Without computing any record's column unless float rounding could put the records next to the
// edge on either side of it.
std::size_t GraphLayout::firstRecordFrom(double edgeShare, int x, std::size_t records) const {
  if (edgeShare <= 0.0) return 0;
  const double n = static_cast<double>(static_cast<std::int64_t>(records));
  const double ideal = edgeShare * n;
  // The positions lie within a few units in the last place of their exact values, `ideal` too.
  const double doubt = n * 0x1p-45 + 0x1p-20;
  if (ideal >= n + doubt) return records;
  const auto below = static_cast<std::int64_t>(ideal);
  const double inside = ideal - static_cast<double>(below);
  if (inside > doubt && inside < 1.0 - doubt) {
    return std::min(static_cast<std::size_t>(below) + 1, records);
  }
  auto guess = std::min(static_cast<std::size_t>(below), records);
  while (guess > 0 && columnOf(guess - 1, records) >= x) --guess;
  while (guess < records && columnOf(guess, records) < x) ++guess;
  return guess;
}

}  // namespace ws
