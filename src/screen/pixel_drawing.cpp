#include "screen/pixel_drawing.h"

#include <algorithm>
#include <cmath>

#include "screen/font8x8.h"

namespace ws {
namespace {

// Coordinates up to this magnitude take the exact integer path; their products stay in int64.
constexpr double kExactLimit = 1 << 28;
// Lines reaching beyond kExactLimit are first cut to this box, which holds any window.
constexpr double kCutBox = 1 << 26;

int64_t floorDiv(int64_t a, int64_t b) {  // b > 0
  const int64_t q = a / b;
  return (a % b != 0 && a < 0) ? q - 1 : q;
}

int64_t ceilDiv(int64_t a, int64_t b) {  // b > 0
  const int64_t q = a / b;
  return (a % b != 0 && a > 0) ? q + 1 : q;
}

struct IntLine {
  int64_t x1, y1, x2, y2;
  int64_t phase;  // pattern position of the first end point
};

// Narrows [*kLo, *kHi] to the steps k at which start + step * k lies in 0..limit-1.
void clipMajor(int64_t start, int64_t step, int64_t limit, int64_t* kLo, int64_t* kHi) {
  if (step >= 0) {
    *kLo = std::max(*kLo, -start);
    *kHi = std::min(*kHi, limit - 1 - start);
  } else {
    *kLo = std::max(*kLo, start - (limit - 1));
    *kHi = std::min(*kHi, start);
  }
}

void drawIntLine(FrameBuffer& frame, const IntLine& line, uint16_t pixel, uint16_t style) {
  const int64_t dx = line.x2 - line.x1;
  const int64_t dy = line.y2 - line.y1;
  const bool xMajor = std::abs(dx) >= std::abs(dy);
  const int64_t n = xMajor ? std::abs(dx) : std::abs(dy);  // steps along the major axis
  const int64_t a = xMajor ? std::abs(dy) : std::abs(dx);  // steps along the minor axis
  const int64_t majorStart = xMajor ? line.x1 : line.y1;
  const int64_t minorStart = xMajor ? line.y1 : line.x1;
  const int64_t majorStep = (xMajor ? dx : dy) < 0 ? -1 : 1;
  const int64_t minorStep = (xMajor ? dy : dx) < 0 ? -1 : 1;
  const int64_t majorLimit = xMajor ? frame.width() : frame.height();
  const int64_t minorLimit = xMajor ? frame.height() : frame.width();

  int64_t kLo = 0;
  int64_t kHi = n;
  clipMajor(majorStart, majorStep, majorLimit, &kLo, &kHi);
  // Minor offset of step k: floor((2ka + n) / 2n), the nearest grid line (halves away from start).
  if (a == 0) {
    if (minorStart < 0 || minorStart >= minorLimit) return;
  } else {
    const int64_t lo = minorStep > 0 ? -minorStart : minorStart - (minorLimit - 1);
    const int64_t hi = minorStep > 0 ? minorLimit - 1 - minorStart : minorStart;
    kLo = std::max(kLo, ceilDiv(2 * n * lo - n, 2 * a));
    kHi = std::min(kHi, floorDiv(2 * n * (hi + 1) - n - 1, 2 * a));
  }
  for (int64_t k = kLo; k <= kHi; ++k) {
    if (((style >> (15 - ((k + line.phase) & 15))) & 1) == 0) continue;
    const int64_t minorOffset = a == 0 ? 0 : (2 * k * a + n) / (2 * n);
    const int64_t major = majorStart + majorStep * k;
    const int64_t minor = minorStart + minorStep * minorOffset;
    if (xMajor) {
      frame.set(static_cast<int>(major), static_cast<int>(minor), pixel);
    } else {
      frame.set(static_cast<int>(minor), static_cast<int>(major), pixel);
    }
  }
}

// Cuts the segment to the part whose major coordinate lies within +-kCutBox; false when that part
// misses the box altogether. The first end point moves forward along the line and the pattern
// phase follows it. Far beyond the window a double cannot hold the line exactly, so the cut end
// points are the nearest grid points of the ideal line.
bool cutToBox(double x1, double y1, double x2, double y2, IntLine* out) {
  const bool xMajor = std::abs(x2 - x1) >= std::abs(y2 - y1);
  const double m1 = xMajor ? x1 : y1;
  const double m2 = xMajor ? x2 : y2;
  const double q1 = xMajor ? y1 : x1;
  const double q2 = xMajor ? y2 : x2;
  const bool forward = m2 >= m1;
  const double start = forward ? std::max(m1, -kCutBox) : std::min(m1, kCutBox);
  const double end = forward ? std::min(m2, kCutBox) : std::max(m2, -kCutBox);
  if (forward ? end < start : end > start) return false;
  const double slope = m2 == m1 ? 0.0 : (q2 - q1) / (m2 - m1);
  const auto minorAt = [&](double m) {
    return m == m1 ? q1 : (m == m2 ? q2 : q1 + (m - m1) * slope);
  };
  const double qStart = minorAt(start);
  const double qEnd = minorAt(end);
  // The minor coordinate moves at most as far as the major one, so it now stays within 3 boxes.
  if ((qStart < -kCutBox && qEnd < -kCutBox) || (qStart > kCutBox && qEnd > kCutBox)) return false;
  const int64_t ms = std::llround(start);
  const int64_t me = std::llround(end);
  const int64_t qs = std::llround(qStart);
  const int64_t qe = std::llround(qEnd);
  *out = xMajor ? IntLine{ms, qs, me, qe, 0} : IntLine{qs, ms, qe, me, 0};
  out->phase = static_cast<int64_t>(std::fmod(std::abs(start - m1), 16.0));
  return true;
}

}  // namespace

void plotPoint(FrameBuffer& frame, float x, float y, uint16_t pixel) {
  const double px = roundedCoordinate(x);
  const double py = roundedCoordinate(y);
  // Written so that NaN fails the test.
  if (!(px >= 0.0 && px < frame.width() && py >= 0.0 && py < frame.height())) return;
  frame.set(static_cast<int>(px), static_cast<int>(py), pixel);
}

void drawStyledLine(FrameBuffer& frame, float x1, float y1, float x2, float y2, uint16_t pixel,
                    uint16_t style) {
  const double rx1 = roundedCoordinate(x1);
  const double ry1 = roundedCoordinate(y1);
  const double rx2 = roundedCoordinate(x2);
  const double ry2 = roundedCoordinate(y2);
  if (!std::isfinite(rx1) || !std::isfinite(ry1) || !std::isfinite(rx2) || !std::isfinite(ry2)) {
    return;
  }
  IntLine line{};
  if (std::max({std::abs(rx1), std::abs(ry1), std::abs(rx2), std::abs(ry2)}) <= kExactLimit) {
    line = {static_cast<int64_t>(rx1), static_cast<int64_t>(ry1), static_cast<int64_t>(rx2),
            static_cast<int64_t>(ry2), 0};
  } else if (!cutToBox(rx1, ry1, rx2, ry2, &line)) {
    return;
  }
  drawIntLine(frame, line, pixel, style);
}

void drawGlyphText(FrameBuffer& frame, float x, float y, std::string_view text, uint16_t pixel) {
  const double left = roundedCoordinate(x);
  const double top = roundedCoordinate(y);
  const int width = frame.width();
  const int height = frame.height();
  if (!(top > -8.0 && top < height && left < width && left + 8.0 * text.size() > 0.0)) return;
  // Only the cells that reach into the frame: first visible cell i has left + 8i + 7 >= 0.
  const size_t firstCell = left >= 0.0 ? 0 : static_cast<size_t>(std::ceil((-left - 7.0) / 8.0));
  const size_t endCell = static_cast<size_t>(
      std::min(static_cast<double>(text.size()), std::floor((width - 1 - left) / 8.0) + 1.0));
  const int cellTop = static_cast<int>(top);
  for (size_t i = firstCell; i < endCell; ++i) {
    const int cellLeft = static_cast<int>(left + 8.0 * static_cast<double>(i));
    const Glyph& glyph = glyphOf(static_cast<unsigned char>(text[i]));
    for (int gy = std::max(0, -cellTop); gy < 8 && cellTop + gy < height; ++gy) {
      const uint8_t bits = glyph[gy];
      if (bits == 0) continue;
      uint16_t* row = frame.row(cellTop + gy);
      for (int gx = std::max(0, -cellLeft); gx < 8 && cellLeft + gx < width; ++gx) {
        if (bits & (0x80 >> gx)) row[cellLeft + gx] = pixel;
      }
    }
  }
}

}  // namespace ws
