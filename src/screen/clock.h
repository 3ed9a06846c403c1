#pragma once
// The clock the program measures its times with: seconds since an arbitrary origin, for
// differences only. The screen service reads it; tests put a scripted clock in its place.

namespace ws {

class Clock {
 public:
  virtual ~Clock() = default;
  virtual double seconds() = 0;
};

// The system's steady clock, the one the program runs on. Stateless; shared by every screen.
class SteadyClock final : public Clock {
 public:
  double seconds() override;
};

// The one SteadyClock; it lives for the whole process.
Clock& steadyClock();

}  // namespace ws
