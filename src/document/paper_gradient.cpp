// The document gradient: its points, its repeat settings and the colour
// stops it takes from the gradient in use.
#include "document/paper_gradient.h"

#include <algorithm>

#include "brush/stroke_settings.h"
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
}  // namespace

CDocGradientLink& docGradientLink() { return gLink != nullptr ? *gLink : gDefaultLink; }

CDocGradientLink* setDocGradientLink(CDocGradientLink* link) {
  CDocGradientLink* old = gLink;
  gLink = link;
  return old;
}

void TPaper::setGradientPoints(TPoint p0, TPoint p1) {
  gradation.setPoints(SFixPoint{pixelToFix(p0.X), pixelToFix(p0.Y)}, SFixPoint{pixelToFix(p1.X), pixelToFix(p1.Y)});
}

void TPaper::setGradientPointsF(TPointF p0, TPointF p1) {
  gradation.setPoints(SFixPoint{floatToFix(p0.X), floatToFix(p0.Y)}, SFixPoint{floatToFix(p1.X), floatToFix(p1.Y)});
}

void TPaper::setGradientPointsFix(SFixPoint p0, SFixPoint p1) { gradation.setPoints(p0, p1); }

void TPaper::getGradientPoints(SFixPoint& p0, SFixPoint& p1) const { gradation.getPoints(p0, p1); }

TPoint TPaper::gradientOrigin() const {
  SFixPoint p0, p1;
  gradation.getPoints(p0, p1);
  return {fixFloor(p0.X), fixFloor(p0.Y)};
}

void TPaper::resetGradientOptions() {
  SGradRepeat r;
  r.init();
  (void)gradation.setRepeat(r.Shape, r.Mirror, r.Count, r.Wrap);  // the defaults are always in range
}

void TPaper::applyGradientOptions() {
  // The next gradient is drawn with the tool window's gradient as it is now:
  // with its own repeat settings when it has them, else the set's shared ones.
  const CGradObj* g = currentGradient();
  takeGradientStops(g);
  SGradRepeat r;
  if (g != nullptr && g->Repeat.OwnSettings != 0)
    r = g->Repeat;
  else if (!docGradientLink().gradientRange(r))
    return;
  // A range out of bounds is refused and the gradation keeps the repeat it had.
  (void)gradation.setRepeat(r.Shape, r.Mirror, r.Count, r.Wrap);
}

bool TPaper::setGradientOptions(int32_t type, int32_t repeatMode, int32_t count, int32_t reverse) {
  takeGradientStops(currentGradient());
  // Values a recording carries out of range are refused; the gradient keeps
  // its settings.
  return gradation.setRepeat(type, repeatMode, count, reverse);
}

const CGradObj* TPaper::currentGradient() const {
  const CDocGradientLink& link = docGradientLink();
  if (owner_ != nullptr && owner_->isReplaying()) {
    // The recording's gradient, never the tool window's as it is now.
    if (replayGradient_ != nullptr)
      if (const CGradObj* g = replayGradient_->replayGradientForDocument()) return g;
    return link.replayGradient(*this);
  }
  return link.activeGradient();
}

void TPaper::setReplayGradient(IReplayGradientSource* source) { replayGradient_ = source; }

void TPaper::takeGradientStops(const CGradObj* from) {
  // The document keeps its own copy: the gradient in use may be edited or
  // deleted in the tool window while the document paints with it.
  if (from != nullptr) gradientStops = from->Stops;
}

void TPaper::takeGradientFor(const TStroke& stroke) {
  if (stroke.useGradation) takeGradientStops(currentGradient());
}

uint32_t TPaper::gradientColorAt(TPoint p) const { return gradation.evaluate(p.X, p.Y); }

}  // namespace pg
