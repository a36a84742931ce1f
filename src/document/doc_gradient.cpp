#include "document/doc_gradient.h"

#include <algorithm>

namespace pg {

namespace {
// A whole pixel coordinate as 16.16, saturating far outside any image.
int32_t pixelToFix(int32_t v) {
  return static_cast<int32_t>(std::clamp<int64_t>(int64_t{v} * 65536, INT32_MIN, INT32_MAX));
}
}  // namespace

void CDocGradient::setPoints(TPoint p0, TPoint p1) {
  gradation_.setPoints(SFixPoint{pixelToFix(p0.X), pixelToFix(p0.Y)}, SFixPoint{pixelToFix(p1.X), pixelToFix(p1.Y)});
}

void CDocGradient::setPointsF(TPointF p0, TPointF p1) {
  gradation_.setPoints(SFixPoint{floatToFix(p0.X), floatToFix(p0.Y)}, SFixPoint{floatToFix(p1.X), floatToFix(p1.Y)});
}

TPoint CDocGradient::origin() const {
  SFixPoint p0, p1;
  gradation_.getPoints(p0, p1);
  return {fixFloor(p0.X), fixFloor(p0.Y)};
}

void CDocGradient::resetRepeat() {
  SGradRepeat r;
  r.init();
  (void)gradation_.setRepeat(r.Shape, r.Mirror, r.Count, r.Wrap);  // the defaults are always in range
}

void CDocGradient::takeStops(const CGradObj* from) {
  if (from != nullptr) stops_ = from->Stops;
}

}  // namespace pg
