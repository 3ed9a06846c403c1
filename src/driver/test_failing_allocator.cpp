#include "driver/test_failing_allocator.h"

#include <atomic>
#include <cstdlib>
#include <new>

namespace ws::testing {
namespace {

std::atomic<std::uint64_t> allocations{0};
std::atomic<std::uint64_t> failingIn{0};  // 0: nothing armed

bool failsNow() {
  std::uint64_t left = failingIn.load(std::memory_order_relaxed);
  while (left != 0) {
    if (failingIn.compare_exchange_weak(left, left - 1, std::memory_order_relaxed)) {
      return left == 1;
    }
  }
  return false;
}

}  // namespace

void failAllocation(std::uint64_t n) {
  failingIn.store(n, std::memory_order_relaxed);
}

std::uint64_t allocationsMade() {
  return allocations.load(std::memory_order_relaxed);
}

}  // namespace ws::testing

// The replaceable allocation functions; the array and nothrow forms call these.
void* operator new(std::size_t size) {
  ws::testing::allocations.fetch_add(1, std::memory_order_relaxed);
  const bool refused = ws::testing::failsNow();
  for (;;) {
    void* block = refused ? nullptr : std::malloc(size == 0 ? 1 : size);
    if (block != nullptr) return block;
    const std::new_handler handler = std::get_new_handler();
    if (handler == nullptr) throw std::bad_alloc();
    handler();
  }
}

void operator delete(void* block) noexcept {
  std::free(block);
}

void operator delete(void* block, std::size_t) noexcept {
  std::free(block);
}
