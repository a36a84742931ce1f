#include "toolwin/gradient_editor_rules.h"

#include <algorithm>
#include <cmath>

namespace pg {

SGradStopControls gradStopControls(const TGradientStops& stops) {
  SGradStopControls c;
  int32_t i = stops.selectIndex();
  uint8_t s = stops.splitState(i);
  if (s == 1) {  // the right half of a joined stop shows the stop itself
    --i;
    s = stops.splitState(i);
  }
  c.index = i;
  c.valid = stops.isValidIndex(i);
  const bool end = i == 0 || i == stops.count() - 1;
  c.movable = c.valid && !end;
  c.unionLeft = stops.canUnionLeft(i);
  c.unionRight = stops.canUnion(i);
  if (!c.valid) return c;
  const TGradientEditPos& p = *stops.posAt(i);
  c.position = p.Position * 100.0f;
  c.positionMin = c.positionMax = c.position;
  if (c.movable) {
    // Between the stops on either side of the stop (or of its pair).
    const int32_t last = s == 2 ? i + 1 : i;
    if (stops.isValidIndex(i - 1) && stops.isValidIndex(last + 1)) {
      c.positionMin = stops.posAt(i - 1)->Position * 100.0f;
      c.positionMax = stops.posAt(last + 1)->Position * 100.0f;
    }
  }
  c.opacity = p.Opacity;
  c.kind = p.Kind;
  c.color = p.Color;
  c.joined = s == 2 && stops.isValidIndex(i + 1);
  if (c.joined) {
    const TGradientEditPos& r = *stops.posAt(i + 1);
    c.rightOpacity = r.Opacity;
    c.rightKind = r.Kind;
    c.rightColor = r.Color;
  }
  return c;
}

bool gradStopCopyPair(const TGradientStops& stops, GradStopCopy command, int32_t& dst, int32_t& src) {
  const int32_t i = stops.selectIndex();
  // c: the stop itself, or the first half when the right half is selected.
  const int32_t c = stops.splitState(i) == 1 ? i - 1 : i;
  const bool cJoined = stops.splitState(c) == 2;
  using G = GradStopCopy;
  switch (command) {
    case G::CopyL1: case G::ExchangeL1: dst = c; src = c - 1; break;
    case G::CopyR1: case G::ExchangeR1: dst = c; src = cJoined ? c + 2 : c + 1; break;
    case G::CopyL2: case G::ExchangeL2: dst = c + 1; src = c - 1; break;
    case G::CopyR2: case G::ExchangeR2: dst = c + 1; src = c + 2; break;
  }
  return stops.isValidIndex(dst) && stops.isValidIndex(src) && dst != src;
}

bool gradStopCopy(TGradientStops& stops, GradStopCopy command) {
  int32_t dst = -1, src = -1;
  if (!gradStopCopyPair(stops, command, dst, src)) return false;
  switch (command) {
    case GradStopCopy::CopyL1: case GradStopCopy::CopyR1: case GradStopCopy::CopyL2: case GradStopCopy::CopyR2:
      stops.copyStop(dst, src);
      break;
    default:
      stops.swapStops(dst, src);
      break;
  }
  return true;
}

int32_t gradCustomSplitMax(const TGradientStops& stops) {
  return std::clamp(stops.capacity() - stops.count(), 2, 16);
}

SGradRepeat gradRepeatOf(bool ownSettings, int32_t shapeIndex, bool roundTrip, bool endless, float count) {
  SGradRepeat r;
  r.OwnSettings = ownSettings ? 1 : 0;
  r.Shape = uint8_t(std::clamp(shapeIndex, 0, 2));
  r.Mirror = roundTrip ? 1 : 0;
  r.Wrap = endless ? 1 : 0;
  r.Count = int32_t(std::clamp(std::floor(count + 0.5f), 1.0f, 500.0f));
  return r;
}

}  // namespace pg
