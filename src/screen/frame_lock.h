#pragma once
// The frame lock: a nesting counter kept by the working thread plus the mutex that keeps the
// window thread from showing a frame in progress. The mutex is held from the 0 -> 1 step of the
// counter to the 1 -> 0 step. Also records which pixel rows changed since the last presentation.

#include <mutex>

namespace ws {

class FrameLock {
 public:
  // Working thread only.
  void lock();
  // Returns true when the counter went back to 0 (the mutex is then released). An unlock without
  // a matching lock is ignored and returns false.
  bool unlock();
  int depth() const { return depth_; }

  // REQUIRES: the mutex is held (depth() > 0, or inside present()).
  // Adds rows first..last to the changed rows; an empty range (first > last) adds nothing.
  void markChanged(int first, int last);

  // Window thread: under the mutex, calls show(first, last) with the changed rows, if any, and
  // clears the marks. Returns whether show was called.
  template <class Show>
  bool present(Show&& show) {
    std::lock_guard guard(mutex_);
    if (firstChanged_ > lastChanged_) return false;
    const int first = firstChanged_;
    const int last = lastChanged_;
    firstChanged_ = 1;
    lastChanged_ = 0;
    show(first, last);
    return true;
  }

 private:
  std::mutex mutex_;
  int depth_ = 0;
  int firstChanged_ = 1;  // first > last: nothing changed
  int lastChanged_ = 0;
};

}  // namespace ws
