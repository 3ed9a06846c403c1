#include "driver/pass_pacing.h"

#include <algorithm>
#include <thread>

namespace ws {

PassPacer::PassPacer(std::chrono::milliseconds minInterval)
    : minInterval_(std::max(minInterval, std::chrono::milliseconds(0))), interval_(minInterval_) {}

void PassPacer::passEnded(bool counted) {
  if (counted) {
    interval_ = minInterval_;
    return;
  }
  const auto ceiling = std::max(kMaxInterval, minInterval_);
  interval_ = interval_ > ceiling / 2 ? ceiling : interval_ * 2;
}

void SteadyPassClock::pause(double seconds) {
  std::this_thread::sleep_for(std::chrono::duration<double>(seconds));
}

}  // namespace ws
