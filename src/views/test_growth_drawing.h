// Test support for the growth graph: the graph as first written, plotting every record with
// plotPixel, and the same plotting entry by entry for thinned logs; logs shaped like crawls and
// damaged ones.
#pragma once

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstdint>
#include <limits>
#include <optional>
#include <random>
#include <string>

#include "screen/colour.h"
#include "screen/number_format.h"
#include "screen/screen_service.h"
#include "views/sample_log.h"

namespace ws::testing {

inline float plainCoordinate(double v) {
  if (std::isnan(v)) return -1.0e6f;
  return static_cast<float>(std::clamp(v, -1.0e6, 1.0e6));
}

struct PlainScales {
  double baseline;
  double wordsScale;
  double nodesScale;
  double ratioScale;
};

// Headline, axes, then plotSeries(scales), then guide line, labels and legend, as first written.
template <class PlotSeries>
void drawPlainGraph(ScreenService& screen, const SampleRecord& last, std::uint32_t nodeCount,
                    float previousMaxRatio, PlotSeries&& plotSeries) {
  const auto scale = [](double value, double span) {
    return span <= 0.0 ? 0.0 : std::nearbyint(value / span);
  };
  const auto [width, height] = screen.windowSize();
  const float w = static_cast<float>(width);
  const float h = static_cast<float>(height);
  const double baseline = h - 10.0f;
  screen.moveCursor(14, 1);
  screen.setColours(kCyan, kBlack);
  screen.printText(" 1) Graphische Darstellung:", true);
  screen.setColours(kWhite, kBlack);
  screen.drawLine(10, h - 10, 10, 170, std::nullopt, 0xFFFF);
  screen.drawLine(10, h - 10, w - 10, h - 10, std::nullopt, 0xFFFF);
  const double span = height - 200;
  const PlainScales scales{baseline, scale(static_cast<double>(last.wordsTotal), span),
                           scale(last.nodeCount, span),
                           previousMaxRatio == 0.0f ? 0.0 : scale(span, previousMaxRatio)};
  plotSeries(scales);
  if (scales.nodesScale > 0.0) {
    const double level = baseline - last.nodeCount / scales.nodesScale;
    screen.drawLine(10, plainCoordinate(level), w - 10, plainCoordinate(level), kWhite, 3);
    screen.drawText(30, plainCoordinate(level - 10),
                    cutAfterFirstDecimal(doubleText(nodeCount * 900.0 / 1048576.0)) + " MB",
                    std::nullopt);
    screen.drawText(30, plainCoordinate(level + 5), unsignedText(last.wordsTotal), kYellow);
  }
  screen.drawText(w - 50, plainCoordinate((h - 30.0) - scales.ratioScale * last.ratio),
                  cutAfterFirstDecimal(singleText(last.ratio * 100.0f)) + "%", kCyan);
  const float legendX = static_cast<float>(width / 2);
  screen.drawText(legendX, h - 50, "_____ Speicher", kWhite);
  screen.drawText(legendX, h - 40, "_____ Woerter gesamt", kYellow);
  screen.drawText(legendX, h - 30, "_____ Rel. verschiedene", kCyan);
}

inline float plainColumn(int width, std::size_t record, std::size_t records) {
  return static_cast<float>(10.0f + (width - 20) * static_cast<double>(record) /
                                        static_cast<double>(records));
}

// Three plotPixel calls per record, in log order: forEachRecord(f) calls f with each of the
// `records` records in log order. Returns the largest ratio.
template <class ForEachRecord>
float drawPlainGrowthGraph(ScreenService& screen, std::size_t records, const SampleRecord& last,
                           ForEachRecord&& forEachRecord, std::uint32_t nodeCount,
                           float previousMaxRatio) {
  float maxRatio = 0.0f;
  drawPlainGraph(screen, last, nodeCount, previousMaxRatio, [&](const PlainScales& s) {
    const int width = screen.windowSize().first;
    std::size_t i = 0;
    forEachRecord([&](const SampleRecord& r) {
      if (r.ratio > maxRatio) maxRatio = r.ratio;
      const float x = plainColumn(width, i++, records);
      if (s.nodesScale > 0.0) {
        screen.plotPixel(x, plainCoordinate(s.baseline - r.nodeCount / s.nodesScale));
      }
      if (s.wordsScale > 0.0) {
        screen.plotPixel(
            x, plainCoordinate(s.baseline - static_cast<double>(r.wordsTotal) / s.wordsScale),
            kYellow);
      }
      screen.plotPixel(x, plainCoordinate(s.baseline - std::floor(s.ratioScale * r.ratio)), kCyan);
    });
  });
  return maxRatio;
}

// REQUIRES: log.exact().
inline float drawPlainGrowthGraph(ScreenService& screen, const SampleLog& log,
                                  std::uint32_t nodeCount, float previousMaxRatio) {
  const auto forEachRecord = [&log](auto&& f) {
    for (std::size_t i = 0; i < log.size(); ++i) f(log.record(i));
  };
  return drawPlainGrowthGraph(screen, log.size(), log.last(), forEachRecord, nodeCount,
                              previousMaxRatio);
}

// Plots a span of records in column x: where no step reaches a row, every row between the
// extremes' rows; else the points of the first, last, smallest and largest values.
template <class T, class Coordinate>
void plotPlainSpan(ScreenService& screen, float x, const SeriesSpan<T>& s, bool fills,
                   Coordinate&& coordinate, Colour colour) {
  if (s.low == s.high) {
    screen.plotPixel(x, coordinate(s.low), colour);
  } else if (fills) {
    const double a = std::round(coordinate(s.low));
    const double b = std::round(coordinate(s.high));
    const double height = screen.windowSize().second;
    for (double y = std::max(std::min(a, b), -1.0); y <= std::min(std::max(a, b), height); ++y) {
      screen.plotPixel(x, static_cast<float>(y), colour);
    }
  } else {
    for (const T v : {s.first, s.last, s.low, s.high}) screen.plotPixel(x, coordinate(v), colour);
  }
}

// The same as drawPlainGrowthGraph for a thinned log: entry after entry, each in the column of its
// first record, memory, words, ratio. Returns the largest ratio.
inline float drawEntryByEntry(ScreenService& screen, const SampleLog& log, std::uint32_t nodeCount,
                              float previousMaxRatio) {
  // Steps below a row, with room for float rounding.
  constexpr double kWithinARow = 1.0 - 0x1p-10;
  drawPlainGraph(screen, log.last(), nodeCount, previousMaxRatio, [&](const PlainScales& s) {
    const int width = screen.windowSize().first;
    for (std::size_t e = 0; e < log.entries(); ++e) {
      const float x = plainColumn(width, log.firstRecordOf(e), log.size());
      if (s.nodesScale > 0.0) {
        const auto nodes = log.countSpan(CountSeries::kNodes, e);
        plotPlainSpan(
            screen, x, nodes, static_cast<double>(nodes.step) <= s.nodesScale * kWithinARow,
            [&](std::uint64_t n) {
              return plainCoordinate(s.baseline - static_cast<double>(n) / s.nodesScale);
            },
            kWhite);
      }
      if (s.wordsScale > 0.0) {
        const auto words = log.countSpan(CountSeries::kWords, e);
        plotPlainSpan(
            screen, x, words, static_cast<double>(words.step) <= s.wordsScale * kWithinARow,
            [&](std::uint64_t n) {
              return plainCoordinate(s.baseline - static_cast<double>(n) / s.wordsScale);
            },
            kYellow);
      }
      const auto ratio = log.ratioSpan(e);
      plotPlainSpan(
          screen, x, ratio, s.ratioScale * ratio.step <= kWithinARow,
          [&](float r) { return plainCoordinate(s.baseline - std::floor(s.ratioScale * r)); },
          kCyan);
    }
  });
  float maxRatio = 0.0f;
  for (std::size_t e = 0; e < log.entries(); ++e)
    maxRatio = std::max(maxRatio, log.ratioSpan(e).high);
  return maxRatio;
}

// A run's log: counters that only grow, in spurts and in long flat stretches, so that whole
// blocks share their pixels and others straddle a step.
class CrawlLikeGrowth {
 public:
  explicit CrawlLikeGrowth(std::mt19937& random) : random_(random) {}

  void grow(SampleLog& log, std::size_t records) {
    while (log.size() < records) {
      const bool flat = (log.size() / 5000) % 3 == 2;
      const std::uint32_t read = 100 + random_() % 150;
      const std::uint32_t fresh = flat ? random_() % 2 : random_() % (read / 2 + 1);
      words_ += read;
      distinct_ += fresh;
      nodes_ += fresh * (random_() % 6);
      log.appendSample(distinct_, words_, nodes_);
    }
  }

 private:
  std::mt19937& random_;
  std::uint32_t words_ = 0, distinct_ = 0, nodes_ = 224;
};

inline SampleLog crawlLikeLog(std::mt19937& random, std::size_t records,
                              std::size_t exactRecords = SampleLog::kDefaultExactRecords) {
  SampleLog log(exactRecords);
  CrawlLikeGrowth(random).grow(log, records);
  return log;
}

// A crawl of the real site, record by record: 150 to 200 words a record; different words as a
// Zipf-like vocabulary gives them (Heaps' law: about 3.7 * words^0.7), the new ones coming
// unevenly; two to six trie nodes per new word.
class RealisticCrawl {
 public:
  SampleRecord next() {
    const std::uint64_t read = 150 + random() % 51;
    const double grown = std::pow(static_cast<double>(words_ + read), 0.7);
    owed_ +=
        3.7 * (grown - wordsPower_) * (0.25 + 1.5 * static_cast<double>(random() >> 11) * 0x1p-53);
    wordsPower_ = grown;
    const auto fresh = std::min(read, static_cast<std::uint64_t>(owed_));
    owed_ -= static_cast<double>(fresh);
    words_ += read;
    distinct_ += fresh;
    nodes_ += static_cast<std::uint32_t>(fresh * (2 + random() % 5));
    return SampleRecord{
        static_cast<float>(static_cast<double>(distinct_) / static_cast<double>(words_)), words_,
        nodes_};
  }

 private:
  // SplitMix64: cheap enough for ten million records in a sanitized build.
  std::uint64_t random() {
    std::uint64_t z = (state_ += 0x9E3779B97F4A7C15ull);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return z ^ (z >> 31);
  }

  std::uint64_t state_ = 2024;
  std::uint64_t words_ = 0, distinct_ = 0;
  std::uint32_t nodes_ = 224;
  double wordsPower_ = 0.0, owed_ = 0.0;
};

// Any bytes at all: huge, tiny, negative, infinite and NaN ratios, counts that jump both ways.
inline SampleLog damagedLog(std::mt19937& random, std::size_t records,
                            std::size_t exactRecords = SampleLog::kDefaultExactRecords) {
  SampleLog log(exactRecords);
  while (log.size() < records) {
    const std::uint32_t bits = static_cast<std::uint32_t>(random());
    float ratio = std::bit_cast<float>(bits);
    if (random() % 2 == 0) ratio = static_cast<float>(random() % 1000) / 997.0f;
    if (random() % 50 == 0) ratio = std::numeric_limits<float>::infinity();
    log.append({ratio, static_cast<std::uint32_t>(random() % 4000),
                static_cast<std::uint32_t>(random() % (1u << (random() % 32)))});
  }
  return log;
}

}  // namespace ws::testing
