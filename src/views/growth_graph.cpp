#include "views/growth_graph.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <optional>
#include <string>

#include "screen/colour.h"
#include "screen/number_format.h"
#include "trie/trie_node.h"
#include "views/headline.h"

namespace ws {

namespace {

constexpr float kMargin = 10.0f;
constexpr float kAxisTop = 170.0f;
// The last record's words and nodes are scaled to the window height minus this many pixels.
constexpr int kScaleReserve = 200;
constexpr std::uint16_t kSolid = 0xFFFF;
constexpr std::uint16_t kGuideStyle = 0x0003;

std::uint32_t readLittleEndian32(const std::uint8_t* bytes) {
  return static_cast<std::uint32_t>(bytes[0]) | static_cast<std::uint32_t>(bytes[1]) << 8 |
         static_cast<std::uint32_t>(bytes[2]) << 16 | static_cast<std::uint32_t>(bytes[3]) << 24;
}

// A computed coordinate for the screen, which rounds floats to pixels. Values far off the window
// (a huge scale, a NaN from a damaged log) are pinned well outside it, so the screen still drops
// them and never meets a float it cannot turn into a pixel position.
float coordinate(double v) {
  constexpr double kFar = 1.0e6;
  if (std::isnan(v)) return static_cast<float>(-kFar);
  return static_cast<float>(std::clamp(v, -kFar, kFar));
}

// The scale that maps `value` onto `span` pixels: their quotient rounded half to even, or 0 when
// the band is empty. Kept as a double: an integer that may exceed every integer type.
double scaleFactor(double value, double span) {
  if (span <= 0.0) return 0.0;
  return std::nearbyint(value / span);
}

}  // namespace

SampleRecord readSampleRecord(std::span<const std::uint8_t> log, std::size_t index) {
  const std::uint8_t* bytes = log.data() + index * kSampleRecordSize;
  SampleRecord record;
  record.ratio = std::bit_cast<float>(readLittleEndian32(bytes));
  record.wordsTotal = readLittleEndian32(bytes + 4);
  record.nodeCount = readLittleEndian32(bytes + 8);
  return record;
}

void GrowthGraph::draw(ScreenService& screen, std::span<const std::uint8_t> sampleLog,
                       std::uint32_t nodeCount) {
  const auto [width, height] = screen.windowSize();
  const float w = static_cast<float>(width);
  const float h = static_cast<float>(height);
  const double baseline = h - kMargin;

  printHeadline(screen, " 1) Graphische Darstellung:");
  screen.drawLine(kMargin, h - kMargin, kMargin, kAxisTop, std::nullopt, kSolid);
  screen.drawLine(kMargin, h - kMargin, w - kMargin, h - kMargin, std::nullopt, kSolid);

  const std::size_t stored = sampleLog.size() / kSampleRecordSize;
  const std::size_t records = std::max<std::size_t>(stored, 1);
  auto record = [&](std::size_t i) {
    return i < stored ? readSampleRecord(sampleLog, i) : SampleRecord{};
  };
  const SampleRecord last = record(records - 1);

  const double span = height - kScaleReserve;
  const double wordsScale = scaleFactor(last.wordsTotal, span);
  const double nodesScale = scaleFactor(last.nodeCount, span);
  const double ratioScale = previousMaxRatio_ == 0.0f ? 0.0 : scaleFactor(span, previousMaxRatio_);

  float maxRatio = 0.0f;
  for (std::size_t i = 0; i < records; ++i) {
    const SampleRecord r = record(i);
    if (r.ratio > maxRatio) maxRatio = r.ratio;
    // In double: (width - 20) * i overflows 32 bits on a long run.
    const float x = static_cast<float>(kMargin + (width - 20) * static_cast<double>(i) /
                                                     static_cast<double>(records));
    if (nodesScale > 0.0) screen.plotPixel(x, coordinate(baseline - r.nodeCount / nodesScale));
    if (wordsScale > 0.0) {
      screen.plotPixel(x, coordinate(baseline - r.wordsTotal / wordsScale), kYellow);
    }
    screen.plotPixel(x, coordinate(baseline - std::floor(ratioScale * r.ratio)), kCyan);
  }
  previousMaxRatio_ = maxRatio;

  if (nodesScale > 0.0) {
    const double memoryLevel = baseline - last.nodeCount / nodesScale;
    const float ym = coordinate(memoryLevel);
    screen.drawLine(kMargin, ym, w - kMargin, ym, kWhite, kGuideStyle);
    const double megabytes = nodeMegabytes(nodeCount);
    screen.drawText(30.0f, coordinate(memoryLevel - 10.0),
                    cutAfterFirstDecimal(doubleText(megabytes)) + " MB", std::nullopt);
    screen.drawText(30.0f, coordinate(memoryLevel + 5.0), unsignedText(last.wordsTotal), kYellow);
  }

  const float percent = last.ratio * 100.0f;
  screen.drawText(w - 50.0f, coordinate((h - 30.0) - ratioScale * last.ratio),
                  cutAfterFirstDecimal(singleText(percent)) + "%", kCyan);

  const float legendX = static_cast<float>(width / 2);
  screen.drawText(legendX, h - 50.0f, "_____ Speicher", kWhite);
  screen.drawText(legendX, h - 40.0f, "_____ Woerter gesamt", kYellow);
  screen.drawText(legendX, h - 30.0f, "_____ Rel. verschiedene", kCyan);
}

}  // namespace ws
