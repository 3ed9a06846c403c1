#include "net/interrupted_calls.h"

#include <atomic>

namespace ws {
namespace {

std::atomic<EndingCheck> endingCheck{nullptr};

}  // namespace

void giveUpInterruptedCallsWhen(EndingCheck ending) {
  endingCheck.store(ending);
}

bool requestsGivenUp() {
  const EndingCheck ending = endingCheck.load(std::memory_order_relaxed);
  return ending != nullptr && ending();
}

}  // namespace ws
