// Pacing between passes of the crawl loop (the https build: a polite client of a public
// server). The default build has none: each pass begins the moment the last one ends.
#pragma once

#include <chrono>

#include "screen/clock.h"

namespace ws {

struct PassPacing {
  // Off: no pause between passes and no key read outside counted passes, the program as designed.
  bool paced = false;
  // When paced: passes (failed ones included) start at least this far apart, and Esc ends the
  // program while it waits between passes.
  std::chrono::milliseconds minInterval{0};
};

// The interval between pass starts: the minimum, doubled after each pass without paragraph
// text up to kMaxInterval (or the minimum, if that is larger), back to the minimum after the
// next counted article. A minimum of 0 stays 0.
class PassPacer {
 public:
  static constexpr std::chrono::milliseconds kMaxInterval{60000};

  explicit PassPacer(std::chrono::milliseconds minInterval = {});
  void passEnded(bool counted);
  std::chrono::milliseconds interval() const { return interval_; }

 private:
  std::chrono::milliseconds minInterval_;
  std::chrono::milliseconds interval_;
};

}  // namespace ws
