// The stop request on Windows: Ctrl-C, Ctrl-Break and the closing of the console (or the
// system's shut-down) reach the console control handler, which runs on a thread of its own.
// Nothing is interrupted there; the net layer's waits notice the request between their slices.
#include <fcntl.h>
#include <io.h>
#include <windows.h>

#include <atomic>
#include <cstdio>

#include "driver/stop_signals.h"

namespace ws {
namespace {

// What the system's own handler ends a process with on Ctrl-C (and Ctrl-Break): a console shows
// the same code whether the program ended by itself after the clean-up or was ended.
constexpr UINT kControlCExitCode = 0xC000013A;  // STATUS_CONTROL_C_EXIT

// The first control event that came, plus one; 0 while none has.
std::atomic<DWORD> receivedEvent{0};
static_assert(std::atomic<DWORD>::is_always_lock_free, "the handler may only touch lock-free data");

BOOL WINAPI noteStopEvent(DWORD event) {
  switch (event) {
    case CTRL_C_EVENT:
    case CTRL_BREAK_EVENT:
      break;
    case CTRL_CLOSE_EVENT:
    case CTRL_SHUTDOWN_EVENT: {
      // The system ends the process as soon as this handler returns: it waits here until the
      // crawl has stopped and endByReceivedSignal ends the process (or the system's patience,
      // some seconds, runs out).
      DWORD none = 0;
      receivedEvent.compare_exchange_strong(none, event + 1);
      Sleep(INFINITE);
      return TRUE;
    }
    default:
      return FALSE;  // not a stop request: the next handler's, or the system's
  }
  DWORD none = 0;
  receivedEvent.compare_exchange_strong(none, event + 1);
  return TRUE;
}

}  // namespace

StopSignals::StopSignals() {
  // The console is the program's before any other thread starts: its standard output and error
  // take bytes as they are, as the program writes its own line ends (CR LF stays CR LF, not
  // CR CR LF as text mode would make it).
  _setmode(_fileno(stdout), _O_BINARY);
  _setmode(_fileno(stderr), _O_BINARY);
  // A process started with Ctrl-C ignored (a detached job) gets no CTRL_C_EVENT: it stays ignored.
  SetConsoleCtrlHandler(noteStopEvent, TRUE);
}

bool StopSignals::received() {
  return receivedEvent.load() != 0;
}

void StopSignals::takeOnThisThread() const {}

void StopSignals::endByReceivedSignal() {
  if (receivedEvent.load() == 0) return;
  std::fflush(nullptr);
  ExitProcess(kControlCExitCode);
}

}  // namespace ws
