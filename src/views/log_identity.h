// The identity of a sample log, for readers that keep results from one drawing to the next: a
// number no other log has had. A copied log, and a log moved to or from, each take a fresh one,
// so that results kept for one log never pass for another's.
#pragma once

#include <atomic>
#include <cstdint>

namespace ws {

class LogIdentity {
 public:
  LogIdentity() = default;
  LogIdentity(const LogIdentity& /*other*/) {}
  LogIdentity(LogIdentity&& other) noexcept { other.renew(); }
  LogIdentity& operator=(const LogIdentity& /*other*/) {
    renew();
    return *this;
  }
  LogIdentity& operator=(LogIdentity&& other) noexcept {
    renew();
    other.renew();
    return *this;
  }
  ~LogIdentity() = default;

  std::uint64_t value() const { return value_; }
  // A log whose fixed entries changed (a thinning) takes a fresh identity.
  void renew() { value_ = fresh(); }

 private:
  static std::uint64_t fresh() {
    static std::atomic<std::uint64_t> next{1};
    return next.fetch_add(1, std::memory_order_relaxed);
  }

  std::uint64_t value_ = fresh();
};

}  // namespace ws
