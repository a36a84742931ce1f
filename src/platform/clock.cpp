#include "platform/clock.h"

#include <chrono>

namespace pg {
namespace {

class SteadyClock final : public Clock {
 public:
  uint32_t milliseconds() override {
    auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(
        std::chrono::steady_clock::now().time_since_epoch());
    return static_cast<uint32_t>(static_cast<uint64_t>(ms.count()));
  }
};

SteadyClock systemClock;
Clock* current = &systemClock;

}  // namespace

uint32_t timeGetTime() { return current->milliseconds(); }

Clock* setClock(Clock* clock) {
  Clock* previous = current;
  current = clock ? clock : &systemClock;
  return previous == &systemClock ? nullptr : previous;
}

}  // namespace pg
