#include "driver/counter_start.h"

namespace ws {

// Each counter a few articles short of 2^32; "die" a hundred readings short of it, "der" of
// 2^31, "und" already past the 32-bit edge.
const CounterStart& builtCounterStart() {
  static const CounterStart start = [] {
    constexpr WordCount kEdge = WordCount{1} << 32;
    CounterStart s;
    s.counters.pagesRead = kEdge - 3;
    s.counters.wordsTotal = kEdge - 3'000;
    s.counters.letterCount = kEdge - 20'000;
    s.counters.distinctWords = kEdge - 4'000;
    s.words = {{"die", kEdge - 100}, {"der", kEdge / 2 - 100}, {"und", kEdge + 10}};
    return s;
  }();
  return start;
}

}  // namespace ws
