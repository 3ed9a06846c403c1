// Consecutive records of the sample log consolidated into what the growth graph draws of them: per
// series the first and the last value, the smallest and the largest, and the largest step between
// two consecutive records. A lone record is a span too.
#pragma once

#include <cmath>
#include <cstdint>
#include <limits>

#include "views/sample_record.h"

namespace ws {

// INVARIANT for counts: low <= first, last <= high; step is the largest difference between two
// consecutive records (0 for a lone record).
// Ratios: low and high are the extremes of the ratios that are not NaN (+infinity and -infinity
// when all are NaN); step is NaN when any ratio is not finite, else the largest difference,
// rounded to single precision.
template <class T>
struct SeriesSpan {
  T first;
  T last;
  T low;
  T high;
  T step;
};

namespace span_detail {

template <class T>
SeriesSpan<T> alone(T value) {
  return SeriesSpan<T>{value, value, value, value, T{0}};
}

inline SeriesSpan<float> alone(float ratio) {
  constexpr float kInfinity = std::numeric_limits<float>::infinity();
  const bool nan = std::isnan(ratio);
  return SeriesSpan<float>{ratio, ratio, nan ? kInfinity : ratio, nan ? -kInfinity : ratio,
                           std::isfinite(ratio) ? 0.0f : std::numeric_limits<float>::quiet_NaN()};
}

template <class T>
T larger(T a, T b) {
  return a < b ? b : a;
}
inline float larger(float a, float b) {
  if (std::isnan(a) || std::isnan(b)) return std::numeric_limits<float>::quiet_NaN();
  return a < b ? b : a;
}

template <class T>
T distance(T a, T b) {
  return a < b ? b - a : a - b;
}
inline float distance(float a, float b) {
  return static_cast<float>(std::fabs(static_cast<double>(b) - static_cast<double>(a)));
}

// The span of a's records followed by b's.
template <class T>
SeriesSpan<T> joined(const SeriesSpan<T>& a, const SeriesSpan<T>& b) {
  return SeriesSpan<T>{a.first, b.last, b.low < a.low ? b.low : a.low,
                       a.high < b.high ? b.high : a.high,
                       larger(larger(a.step, b.step), distance(a.last, b.first))};
}

}  // namespace span_detail

// 80 bytes: the counts first, so that nothing is padded.
struct SampleSpan {
  SeriesSpan<std::uint64_t> words;
  SeriesSpan<float> ratio;
  SeriesSpan<std::uint32_t> nodes;

  static SampleSpan of(const SampleRecord& record) {
    return SampleSpan{span_detail::alone(record.wordsTotal), span_detail::alone(record.ratio),
                      span_detail::alone(record.nodeCount)};
  }
  // The span of a's records followed by b's.
  static SampleSpan joined(const SampleSpan& a, const SampleSpan& b) {
    return SampleSpan{span_detail::joined(a.words, b.words), span_detail::joined(a.ratio, b.ratio),
                      span_detail::joined(a.nodes, b.nodes)};
  }
};

}  // namespace ws
