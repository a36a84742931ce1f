#pragma once
// The millisecond clock: an unsigned 32-bit count of milliseconds that wraps
// after about 49.7 days. Stroke timing, replay pacing and the seeds of layer
// random states read it; tests replace it with a clock they control.
#include <cstdint>

namespace pg {

class Clock {
 public:
  virtual ~Clock() = default;
  virtual uint32_t milliseconds() = 0;
};

// The current clock's reading; callers compare readings with unsigned
// subtraction so that the wrap is harmless.
uint32_t timeGetTime();

// Installs a clock (not owned; nullptr restores the system clock) and answers
// the previous one.
Clock* setClock(Clock* clock);

// A clock for tests: answers what it was set to, and may advance by itself.
class ManualClock final : public Clock {
 public:
  explicit ManualClock(uint32_t start = 0, uint32_t stepPerRead = 0) : now_(start), step_(stepPerRead) {}
  uint32_t milliseconds() override {
    uint32_t t = now_;
    now_ += step_;
    return t;
  }
  void set(uint32_t t) { now_ = t; }
  void advance(uint32_t ms) { now_ += ms; }

 private:
  uint32_t now_;
  uint32_t step_;
};

}  // namespace pg
