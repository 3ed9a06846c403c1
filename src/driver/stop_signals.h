// SIGINT and SIGTERM end the program like Esc: the platform side of the stop request (this
// header names no platform type; stop_signals.cpp is the POSIX one). On Windows
// (stop_signals_windows.cpp) the stop request is Ctrl-C, Ctrl-Break or the closing of the console,
// noted by a console control handler; there are no masks, takeOnThisThread does nothing, and the
// process ends with STATUS_CONTROL_C_EXIT, the code of a process that Ctrl-C ended. Making the
// StopSignals there also puts the console's standard output and error into binary mode.
//
// The handlers only note the first signal in a lock-free atomic, which the crawl loop reads as
// its stop request; they are installed without SA_RESTART, so that a blocking call of the crawl
// thread returns with EINTR and its request can be given up (net/interrupted_calls.h). The
// signals are blocked on the thread that makes the StopSignals (the main thread, before the
// window starts its own threads, which inherit the mask) and taken only on the crawl thread
// (takeOnThisThread), so that a signal always interrupts the crawl, never the window.
// A signal that was ignored when the program started (a shell's background job) stays ignored.
#pragma once

#include "driver/stop_request.h"

namespace ws {

class StopSignals final : public StopRequest {
 public:
  // REQUIRES: at most one at a time; made on the main thread before any other thread starts.
  StopSignals();
  StopSignals(const StopSignals&) = delete;
  StopSignals& operator=(const StopSignals&) = delete;

  // True once SIGINT or SIGTERM has come (also as a plain function, for the net layer).
  bool stopRequested() const override { return received(); }
  static bool received();

  // Lets the signals reach the calling thread. Call first thing on the crawl thread.
  void takeOnThisThread() const;

  // After the clean-up, on the thread that made the StopSignals: unblocks the signals again (one
  // that came meanwhile is noted now) and, when one came, ends the process by it, with its
  // default action, as if it had not been caught (a shell shows 128 + its number). Returns only
  // when none came.
  void endByReceivedSignal();
};

}  // namespace ws
