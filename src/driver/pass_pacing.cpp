#include "driver/pass_pacing.h"

#include <algorithm>

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

}  // namespace ws
