#pragma once
// The program's one clock: seconds since an arbitrary origin, for differences only, and a way to
// let time pass. The crawler owns the use of it: its run and reading times, the timed walks of
// views 2 to 5, the pacing between passes and the https source's failure report all read the
// clock injected into the crawler; tests put a scripted clock in its place.

namespace ws {

class Clock {
 public:
  virtual ~Clock() = default;
  virtual double seconds() = 0;
  // Returns after about `seconds` of this clock.
  virtual void pause(double seconds) = 0;
};

// The system's steady clock, the one the program runs on. Stateless; shared by every screen.
class SteadyClock final : public Clock {
 public:
  double seconds() override;
  void pause(double seconds) override;  // sleeps the calling thread
};

// The one SteadyClock; it lives for the whole process.
Clock& steadyClock();

}  // namespace ws
