#pragma once
// The stored form of one gradient stop, 24 bytes, shared by the gradient
// preset files and the recorded gradient state.
#include "brush/gradient.h"
#include "core/byte_cursor.h"

namespace pg {

inline constexpr size_t kStoredStopBytes = 24;

inline void colorSlotFields(CByteCursor& c, SColorSlot& s) {
  c.field(s.Used).field(s.Enabled).field(s.Flag).field(s.Opacity).field(s.Index).field(s.Color);
  c.field(s.Weight).field(s.Start).field(s.Length);
}

}  // namespace pg
