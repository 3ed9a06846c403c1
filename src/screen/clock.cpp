#include "screen/clock.h"

#include <chrono>

namespace ws {

double SteadyClock::seconds() {
  using Seconds = std::chrono::duration<double>;
  return std::chrono::duration_cast<Seconds>(std::chrono::steady_clock::now().time_since_epoch())
      .count();
}

Clock& steadyClock() {
  static SteadyClock clock;
  return clock;
}

}  // namespace ws
