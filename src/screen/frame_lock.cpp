#include "screen/frame_lock.h"

#include <algorithm>

namespace ws {

void FrameLock::lock() {
  if (depth_ == 0) mutex_.lock();
  ++depth_;
}

bool FrameLock::unlock() {
  if (depth_ == 0) return false;
  if (--depth_ > 0) return false;
  mutex_.unlock();
  return true;
}

void FrameLock::markChanged(int first, int last) {
  if (first > last) return;
  if (firstChanged_ > lastChanged_) {
    firstChanged_ = first;
    lastChanged_ = last;
  } else {
    firstChanged_ = std::min(firstChanged_, first);
    lastChanged_ = std::max(lastChanged_, last);
  }
}

}  // namespace ws
