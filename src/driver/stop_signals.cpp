#include "driver/stop_signals.h"

#include <pthread.h>
#include <signal.h>

#include <atomic>
#include <cstdio>
#include <cstdlib>

namespace ws {
namespace {

// The number of the first stop signal that came; 0 while none has.
std::atomic<int> receivedSignal{0};
static_assert(std::atomic<int>::is_always_lock_free, "the handler may only touch lock-free data");

constexpr int kStopSignals[] = {SIGINT, SIGTERM};

// Set once by the one StopSignals, before any other thread starts.
sigset_t stopSignals;  // SIGINT and SIGTERM
sigset_t savedMask;    // the mask of the thread that made the StopSignals, before

void noteStopSignal(int number) {
  int none = 0;
  receivedSignal.compare_exchange_strong(none, number);
}

}  // namespace

StopSignals::StopSignals() {
  sigemptyset(&stopSignals);
  for (const int number : kStopSignals) {
    sigaddset(&stopSignals, number);
    struct sigaction current {};
    if (sigaction(number, nullptr, &current) != 0 || current.sa_handler == SIG_IGN) continue;
    struct sigaction handler {};
    handler.sa_handler = noteStopSignal;
    sigemptyset(&handler.sa_mask);
    handler.sa_flags = 0;  // no SA_RESTART: interrupted calls return with EINTR
    sigaction(number, &handler, nullptr);
  }
  pthread_sigmask(SIG_BLOCK, &stopSignals, &savedMask);
}

bool StopSignals::received() {
  return receivedSignal.load() != 0;
}

void StopSignals::takeOnThisThread() const {
  pthread_sigmask(SIG_UNBLOCK, &stopSignals, nullptr);
}

void StopSignals::endByReceivedSignal() {
  pthread_sigmask(SIG_SETMASK, &savedMask, nullptr);
  const int number = receivedSignal.load();
  if (number == 0) return;
  std::fflush(nullptr);
  struct sigaction fallback {};
  fallback.sa_handler = SIG_DFL;
  sigemptyset(&fallback.sa_mask);
  sigaction(number, &fallback, nullptr);
  pthread_sigmask(SIG_UNBLOCK, &stopSignals, nullptr);
  raise(number);
  std::_Exit(128 + number);  // only if the signal could not end the process
}

}  // namespace ws
