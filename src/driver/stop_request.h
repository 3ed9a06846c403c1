// Asking the crawl loop to end from outside its window.
#pragma once

namespace ws {

// Whether the program has been asked to end from outside the window (on POSIX systems by
// SIGINT or SIGTERM, see stop_signals.h). The crawl loop asks before each pass and while it
// waits between passes, and then ends as after Esc.
class StopRequest {
 public:
  virtual ~StopRequest() = default;
  // REQUIRES: safe to call on the crawl thread while the request may come from any other.
  virtual bool stopRequested() const = 0;
};

}  // namespace ws
