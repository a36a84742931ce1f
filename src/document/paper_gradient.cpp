// The document gradient: its points, its repeat settings and the colour
// stops it takes from the gradient in use.
#include "document/paper_gradient.h"

#include "brush/stroke_settings.h"
#include "document/paper.h"

namespace pg {

namespace {
CDocGradientLink gDefaultLink;
CDocGradientLink* gLink = nullptr;
}  // namespace

CDocGradientLink& docGradientLink() { return gLink != nullptr ? *gLink : gDefaultLink; }

CDocGradientLink* setDocGradientLink(CDocGradientLink* link) {
  CDocGradientLink* old = gLink;
  gLink = link;
  return old;
}

void TPaper::applyGradientOptions() {
  // The next gradient is drawn with the tool window's gradient as it is now:
  // with its own repeat settings when it has them, else the set's shared ones.
  const CGradObj* g = currentGradient();
  gradient_.takeStops(g);
  SGradRepeat r;
  if (g != nullptr && g->Repeat.OwnSettings != 0)
    r = g->Repeat;
  else if (!docGradientLink().gradientRange(r))
    return;
  // A range out of bounds is refused and the gradation keeps the repeat it had.
  (void)gradient_.setRepeat(r.Shape, r.Mirror, r.Count, r.Wrap);
}

bool TPaper::setGradientOptions(int32_t type, int32_t repeatMode, int32_t count, int32_t reverse) {
  gradient_.takeStops(currentGradient());
  // Values a recording carries out of range are refused; the gradient keeps
  // its settings.
  return gradient_.setRepeat(type, repeatMode, count, reverse);
}

const CGradObj* TPaper::currentGradient() const {
  const CDocGradientLink& link = docGradientLink();
  if (owner_ != nullptr && owner_->isReplaying()) {
    // The recording's gradient, never the tool window's as it is now.
    if (IReplayGradientSource* source = gradient_.replaySource())
      if (const CGradObj* g = source->replayGradientForDocument()) return g;
    return link.replayGradient(*this);
  }
  return link.activeGradient();
}

void TPaper::takeGradientFor(const TStroke& stroke) {
  if (stroke.useGradation) gradient_.takeStops(currentGradient());
}

}  // namespace pg
