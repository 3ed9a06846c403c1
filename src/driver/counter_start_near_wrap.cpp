#include "driver/counter_start.h"

namespace ws {

// Each counter a few articles short of 2^32; "die" twenty readings short of it, "der" of 2^31,
// "und" already past the 32-bit edge.
const CounterStart& builtCounterStart() {
  static const CounterStart start = [] {
    constexpr WordCount kEdge = WordCount{1} << 32;
    CounterStart s;
    s.counters.pagesRead = kEdge - 3;
    s.counters.wordsTotal = kEdge - 1'000;
    s.counters.letterCount = kEdge - 6'000;
    s.counters.distinctWords = kEdge - 1'500;
    s.words = {{"die", kEdge - 20}, {"der", kEdge / 2 - 20}, {"und", kEdge + 10}};
    return s;
  }();
  return start;
}

}  // namespace ws
