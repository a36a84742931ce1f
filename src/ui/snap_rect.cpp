#include "ui/snap_rect.h"

#include <cstdlib>

namespace pg {

namespace {

void shift(TRect& r, int32_t dx, int32_t dy) {
  r.Left += dx;
  r.Right += dx;
  r.Top += dy;
  r.Bottom += dy;
}

// Pulls r by the offset from `from` to `to` when that is within the remaining
// distance; the distance shrinks by what was used, so that a later target
// can only refine an earlier snap, never reach farther than the first one.
[[nodiscard]] bool pullX(TRect& r, int32_t from, int32_t to, int32_t& remaining) {
  const int32_t off = to - from;
  if (off == 0 || std::abs(off) > remaining) return false;
  shift(r, off, 0);
  remaining -= std::abs(off);
  return true;
}

[[nodiscard]] bool pullY(TRect& r, int32_t from, int32_t to, int32_t& remaining) {
  const int32_t off = to - from;
  if (off == 0 || std::abs(off) > remaining) return false;
  shift(r, 0, off);
  remaining -= std::abs(off);
  return true;
}

bool touchesOrOverlaps(const TRect& r, const TRect& a) {
  return r.Left <= a.Right && r.Right >= a.Left && r.Top <= a.Bottom && r.Bottom >= a.Top;
}

// Edges of r pulled onto the same edges of an area it lies in or touches.
// Where the second edge is out of reach too, r stays put on that axis.
void snapInside(TRect& r, const TRect& area, int32_t& dx, int32_t& dy) {
  if (!touchesOrOverlaps(r, area)) return;
  // Out of reach on both edges: r stays put.
  if (!pullX(r, r.Left, area.Left, dx)) (void)pullX(r, r.Right, area.Right, dx);
  if (!pullY(r, r.Top, area.Top, dy)) (void)pullY(r, r.Bottom, area.Bottom, dy);  // as above
}

// r pulled against the outside of another window, then lined up with it;
// as above, an edge out of reach leaves r where it is on that axis.
void snapOutside(TRect& r, const TRect& o, int32_t& dx, int32_t& dy) {
  if (r.Left > o.Right + dx || r.Right < o.Left - dx || r.Top > o.Bottom + dy || r.Bottom < o.Top - dy) return;
  const int32_t dyBefore = dy;
  bool horizontal = pullX(r, r.Left, o.Right, dx);
  if (!horizontal) horizontal = pullX(r, r.Right, o.Left, dx);
  if (horizontal || r.Left == o.Right || r.Right == o.Left) {
    if (!pullY(r, r.Top, o.Top, dy)) (void)pullY(r, r.Bottom, o.Bottom, dy);  // out of reach on both edges: r stays put
  }
  if (!horizontal && dy == dyBefore) {
    if (!pullY(r, r.Top, o.Bottom, dy)) (void)pullY(r, r.Bottom, o.Top, dy);  // as above
    if (r.Top == o.Bottom || r.Bottom == o.Top) {
      if (!pullX(r, r.Left, o.Left, dx)) (void)pullX(r, r.Right, o.Right, dx);  // as above
    }
  }
}

}  // namespace

bool snapRect(TRect& r, const SSnapTargets& targets) {
  int32_t dx = kSnapDistance;
  int32_t dy = kSnapDistance;
  for (const TRect& m : targets.monitors) snapInside(r, m, dx, dy);
  if (targets.hasOwnerArea) snapInside(r, targets.ownerArea, dx, dy);
  for (const TRect& o : targets.others) snapOutside(r, o, dx, dy);
  return dx != kSnapDistance || dy != kSnapDistance;
}

}  // namespace pg
