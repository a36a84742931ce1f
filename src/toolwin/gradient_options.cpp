#include "toolwin/gradient_options.h"

#include <cmath>
#include <limits>

#include "brush/gradient_mngr.h"

namespace pg {

SGradRepeat gradAttrRecord(const SGradAttrControls& c) {
  SGradRepeat r;
  r.OwnSettings = c.own ? 1 : 0;
  r.Shape = static_cast<uint8_t>(c.shape >= 0 && c.shape <= 2 ? c.shape : 3);
  r.Mirror = c.roundTrip ? 1 : 0;
  r.Wrap = c.endless ? 1 : 0;
  const double t = std::trunc(c.count);
  constexpr double kMax = std::numeric_limits<int32_t>::max();
  r.Count = !(t >= 1.0) ? 1 : t > kMax ? std::numeric_limits<int32_t>::max() : static_cast<int32_t>(t);
  return r;
}

SGradAttrView gradAttrView(const CGradMngr& set) {
  SGradAttrView v;
  const CGradObj* g = set.currentItem();
  if (g == nullptr) {
    v.repeat = set.getRange();
    return v;
  }
  v.hasGradient = true;
  v.repeat = g->Repeat;
  v.ownEnabled = !set.isCurrentFixed();
  v.ownDown = v.ownEnabled && g->Repeat.OwnSettings != 0;
  return v;
}

bool applyGradAttr(CGradMngr& set, const SGradRepeat& record) {
  CGradObj* g = set.currentItem();
  if (g == nullptr) return false;
  SGradRepeat r = record;
  if (r.Count < 1) r.Count = 1;
  const bool own = r.OwnSettings != 0 && !set.isCurrentFixed();
  r.OwnSettings = own ? 1 : 0;
  if (g->Repeat == r && (own || set.getRange() == r)) return false;
  if (own) {
    g->setRepeat(r);
  } else {
    // The gradient follows the shared repeat again, and the record is it.
    g->Repeat.OwnSettings = 0;
    set.setRange(r);
  }
  // The work copy follows its gradient; marking the set tells its views.
  set.clearWork();
  (void)set.workCopy();  // none without a current item, which then has nothing to follow
  set.setModified(true);
  return true;
}

}  // namespace pg
