#pragma once
// The state of the colour range dialog without its widgets: the table of
// picked colours, the mode (new, add, remove, pan) with the keys that
// change it for a moment, the range of the newest colour, and which
// recompute is due (the whole table, or only the newest colour).
#include <cstdint>
#include <vector>

#include "document/color_range.h"

namespace pg {

enum class ColorMaskMode : uint8_t { New = 0, Add = 1, Remove = 2, Pan = 3 };

enum class ColorPick : uint8_t {
  Ignored,   // a transparent pixel, or the pan mode
  Replaced,  // mode new: the table holds only this colour now
  Added,
  Removed,   // the same colour with the same effect was in the table
  TableFull  // no room for another colour (the pick is ignored)
};

class CColorMaskModel {
 public:
  static constexpr int32_t kDefaultRange = 50;

  // Mode new, the range given (50 by default), and one adding entry of the
  // colour (0x00RRGGBB); a full recompute is due.
  void reset(uint32_t colour, int32_t range = kDefaultRange);

  ColorMaskMode mode() const { return mode_; }
  void setMode(ColorMaskMode mode) { mode_ = mode; }
  // The mode the keys make of mode new for a moment: Shift adds, Ctrl
  // removes, both pan; other modes stay.
  ColorMaskMode effectiveMode(bool shift, bool ctrl) const;

  // A pixel (bytes B, G, R, A) picked in the preview under the mode.
  ColorPick pick(uint32_t pixel, ColorMaskMode mode);

  int32_t range() const { return range_; }
  // The newest entry takes the range (0..255); a recompute waits for the
  // timer.
  void setRange(int32_t range);

  const std::vector<SColorRangeEntry>& entries() const { return entries_; }
  SColorRangeSettings settings(bool composedSource) const;

  // What the next recompute must do: the whole table after removals, a new
  // source and timer ticks; otherwise only the newest entry over the
  // present coverage (cleared first in mode new).
  bool fullRecomputeDue() const { return full_; }
  void requestFullRecompute() { full_ = true; }
  bool clearBeforeNewest() const { return clearFirst_; }
  void recomputed() {
    full_ = false;
    clearFirst_ = false;
  }
  // A range change waits for the timer: the recompute happens once the
  // interval has passed since the last change.
  bool timerDue() const { return timerDue_; }
  void timerFired() {
    timerDue_ = false;
    full_ = true;
  }

 private:
  std::vector<SColorRangeEntry> entries_;
  ColorMaskMode mode_ = ColorMaskMode::New;
  int32_t range_ = kDefaultRange;
  bool full_ = true;
  bool clearFirst_ = false;
  bool timerDue_ = false;
};

}  // namespace pg
