#include "screen/clock.h"

#include <chrono>
#include <thread>

namespace ws {

double SteadyClock::seconds() {
  using Seconds = std::chrono::duration<double>;
  return std::chrono::duration_cast<Seconds>(std::chrono::steady_clock::now().time_since_epoch())
      .count();
}

void SteadyClock::pause(double seconds) {
  std::this_thread::sleep_for(std::chrono::duration<double>(seconds));
}

Clock& steadyClock() {
  static SteadyClock clock;
  return clock;
}

}  // namespace ws
