#pragma once
// The gradient editor's rules over the stops of the stop editor, without
// widgets: which stop the stop controls show and what they allow, the
// copy and exchange commands between neighbouring stops, the limit of the
// custom split, and the repeat settings gathered from the general controls.
#include <cstdint>

#include "brush/gradient.h"
#include "ui/gradient_stops.h"

namespace pg {

struct SGradStopControls {
  int32_t index = -1;  // the stop shown on the left (the pair's first half)
  bool valid = false;  // index is a stop
  bool movable = false;  // valid and not an end stop
  bool unionLeft = false;
  bool unionRight = false;
  // The position range in per cent; min = max pins the stop.
  float positionMin = 0.0f, positionMax = 0.0f, position = 0.0f;
  float opacity = 1.0f;
  uint8_t kind = 0;
  SColorRec color;
  // The right half of a joined stop (index + 1).
  bool joined = false;
  float rightOpacity = 1.0f;
  uint8_t rightKind = 0;
  SColorRec rightColor;
};

// The refresh of the stop controls for the selected stop.
SGradStopControls gradStopControls(const TGradientStops& stops);

enum class GradStopCopy : uint8_t { CopyL1, CopyR1, CopyL2, CopyR2, ExchangeL1, ExchangeR1, ExchangeL2, ExchangeR2 };

// The two stops a copy or exchange works on for the selected stop (dst
// takes src's colour); false when either is not a stop, which also disables
// the command.
[[nodiscard]] bool gradStopCopyPair(const TGradientStops& stops, GradStopCopy command, int32_t& dst, int32_t& src);
// Runs the command; false when it does nothing.
[[nodiscard]] bool gradStopCopy(TGradientStops& stops, GradStopCopy command);

// The largest number of parts the custom split offers: 16, or fewer when the
// stop editor has less room; at least 2.
[[nodiscard]] int32_t gradCustomSplitMax(const TGradientStops& stops);

// The repeat settings of the general controls; the count rounded half up
// and kept within 1..500.
SGradRepeat gradRepeatOf(bool ownSettings, int32_t shapeIndex, bool roundTrip, bool endless, float count);

}  // namespace pg
