#pragma once
// The replay interval commands of the Event menu: the interval each sets
// (the preference eventWait, milliseconds) and the range in which each is
// shown checked.
#include <array>
#include <climits>
#include <cstdint>

namespace pg {

struct SEventWaitCommand {
  const char* action;
  int32_t wait;      // what the command sets
  int32_t checkMin;  // checked while min <= eventWait <= max
  int32_t checkMax;
};

inline constexpr int32_t kEventWaitUnbounded = INT32_MAX;

inline constexpr std::array<SEventWaitCommand, 6> kEventWaitCommands{{
    {"ActEventWait0", 0, INT32_MIN, 0},
    {"ActEventWait1", 1, 1, 1},
    {"ActEventWait2", 4, 2, 4},
    {"ActEventWait3", 8, 5, 8},
    {"ActEventWait4", 16, 9, 16},
    {"ActEventWait5", 32, 17, kEventWaitUnbounded},
}};

inline bool eventWaitChecked(const SEventWaitCommand& c, int32_t wait) { return wait >= c.checkMin && wait <= c.checkMax; }

}  // namespace pg
