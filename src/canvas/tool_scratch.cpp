// The geometry the drag and shape tools share.
#include "canvas/tool_scratch.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace pg {

TPoint snapToViewGrid(TPoint p, float zoom, bool exact) {
  const float z = std::isfinite(zoom) ? std::clamp(zoom, 0.0f, 64.0f) : 1.0f;
  const int32_t step = std::max<int32_t>(static_cast<int32_t>(std::lround(z)), 1);
  TPoint r{(p.X / step) * step, (p.Y / step) * step};
  if (!exact && step >= 2) {
    r.X -= step + 1;
    r.Y -= step + 1;
  }
  return r;
}

TPointF snapTo15Degrees(TPointF from, TPointF to) {
  constexpr double kStep = 0.2617994;
  const double dx = static_cast<double>(to.X) - from.X, dy = static_cast<double>(to.Y) - from.Y;
  const double length = std::hypot(dx, dy);
  if (length == 0.0 || !std::isfinite(length)) return to;
  double angle = std::atan2(dy, dx);
  if (angle < 0.0) angle += 2.0 * std::numbers::pi;
  const double snapped = std::trunc((angle + kStep / 2.0) / kStep) * kStep;
  return {static_cast<float>(from.X + length * std::cos(snapped)),
          static_cast<float>(from.Y + length * std::sin(snapped))};
}

TPointF constrainedCorner(TPointF anchor, TPointF point, bool square) {
  if (!square) return point;
  const float dx = point.X - anchor.X, dy = point.Y - anchor.Y;
  const float side = std::max(std::fabs(dx), std::fabs(dy));
  return {anchor.X + (dx < 0.0f ? -side : side), anchor.Y + (dy < 0.0f ? -side : side)};
}

TRect rectOfCorners(TPointF a, TPointF b) {
  const auto whole = [](float v) { return saturateToInt32(std::round(static_cast<double>(v))); };
  const int32_t x0 = whole(a.X), y0 = whole(a.Y), x1 = whole(b.X), y1 = whole(b.Y);
  return TRect{std::min(x0, x1), std::min(y0, y1), std::max(x0, x1), std::max(y0, y1)};
}

TPoint toPointRounded(TPointF p) {
  return {saturateToInt32(std::round(static_cast<double>(p.X))), saturateToInt32(std::round(static_cast<double>(p.Y)))};
}

}  // namespace pg
