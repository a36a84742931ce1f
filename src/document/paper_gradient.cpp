// The document gradient's points and options, and the link to the gradient
// engine.
#include "document/paper_gradient.h"

#include <algorithm>

#include "core/fixed_point.h"
#include "document/paper.h"

namespace pg {

namespace {
CDocGradientLink gDefaultLink;
CDocGradientLink* gLink = nullptr;

// A whole pixel coordinate as 16.16, saturating far outside any image.
int32_t pixelToFix(int32_t v) {
  return static_cast<int32_t>(std::clamp<int64_t>(int64_t{v} * 65536, INT32_MIN, INT32_MAX));
}

// Recordings carry the options as bytes and a 16-bit count: an unknown
// shape becomes linear, a negative mode none and a count below 1 one.
SDocGradientOptions sanitized(int32_t type, int32_t repeatMode, int32_t count, bool reverse) {
  SDocGradientOptions o;
  o.type = (type >= 0 && type <= 2) ? type : 0;
  o.repeatMode = std::max(repeatMode, 0);
  o.count = std::max(count, 1);
  o.reverse = reverse;
  return o;
}
}  // namespace

CDocGradientLink& docGradientLink() { return gLink != nullptr ? *gLink : gDefaultLink; }

CDocGradientLink* setDocGradientLink(CDocGradientLink* link) {
  CDocGradientLink* old = gLink;
  gLink = link;
  return old;
}

void TPaper::setGradientPoints(TPoint p0, TPoint p1) {
  gradient.p0 = {pixelToFix(p0.X), pixelToFix(p0.Y)};
  gradient.p1 = {pixelToFix(p1.X), pixelToFix(p1.Y)};
}

void TPaper::setGradientPointsF(TPointF p0, TPointF p1) {
  gradient.p0 = {floatToFix(p0.X), floatToFix(p0.Y)};
  gradient.p1 = {floatToFix(p1.X), floatToFix(p1.Y)};
}

void TPaper::setGradientPointsFix(TPoint p0, TPoint p1) {
  gradient.p0 = p0;
  gradient.p1 = p1;
}

void TPaper::getGradientPoints(TPoint& p0, TPoint& p1) const {
  p0 = gradient.p0;
  p1 = gradient.p1;
}

TPoint TPaper::gradientOrigin() const { return {fixFloor(gradient.p0.X), fixFloor(gradient.p0.Y)}; }

void TPaper::resetGradientOptions() { gradient.options = SDocGradientOptions{}; }

void TPaper::applyGradientOptions() {
  SDocGradientOptions o;
  if (docGradientLink().toolOptions(o)) gradient.options = sanitized(o.type, o.repeatMode, o.count, o.reverse);
}

void TPaper::setGradientOptions(int32_t type, int32_t repeatMode, int32_t count, bool reverse) {
  currentGradient();
  gradient.options = sanitized(type, repeatMode, count, reverse);
}

void TPaper::currentGradient() {
  docGradientLink().takeCurrentStops(*this, owner_ != nullptr && owner_->isReplaying());
}

uint32_t TPaper::gradientColorAt(TPoint p) const { return docGradientLink().colorAt(*this, gradient, p); }

}  // namespace pg
