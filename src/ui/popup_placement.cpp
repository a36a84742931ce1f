#include "ui/popup_placement.h"

namespace pg {

namespace {

int32_t axisDelta(int32_t lo, int32_t hi, int32_t monLo, int32_t monHi) {
  if (lo < monLo) return monLo - lo;
  if (hi > monHi) return monHi - hi;
  return 0;
}

bool isEmpty(const TRect& r) { return r.Right <= r.Left || r.Bottom <= r.Top; }

bool overlaps(const TRect& a, const TRect& b) {
  return a.Left < b.Right && b.Left < a.Right && a.Top < b.Bottom && b.Top < a.Bottom;
}

bool within(const TRect& r, const TRect& m) {
  return r.Left >= m.Left && r.Top >= m.Top && r.Right <= m.Right && r.Bottom <= m.Bottom;
}

TRect moved(const TRect& r, int32_t left, int32_t top) {
  return {left, top, left + (r.Right - r.Left), top + (r.Bottom - r.Top)};
}

}  // namespace

bool fitDelta(const TRect& r, const TRect& monitor, int32_t& dx, int32_t& dy) {
  dx = axisDelta(r.Left, r.Right, monitor.Left, monitor.Right);
  dy = axisDelta(r.Top, r.Bottom, monitor.Top, monitor.Bottom);
  return dx == 0 && dy == 0;
}

bool fitRectToMonitor(TRect& r, const TRect& monitor) {
  if (isEmpty(r)) return false;
  int32_t dx = 0, dy = 0;
  if (!fitDelta(r, monitor, dx, dy)) r = moved(r, r.Left + dx, r.Top + dy);
  return true;
}

void placePopupRect(TRect& r, const TRect& monitor, const TRect& anchor) {
  if (!fitRectToMonitor(r, monitor)) return;
  if (!overlaps(r, anchor)) return;
  const int32_t w = r.Right - r.Left;
  const int32_t h = r.Bottom - r.Top;
  const TRect tries[] = {
      moved(r, r.Left, anchor.Bottom),     // below
      moved(r, r.Left, anchor.Top - h),    // above
      moved(r, anchor.Right, r.Top),       // right of it
      moved(r, anchor.Left - w, r.Top),    // left of it
  };
  for (const TRect& t : tries) {
    r = t;
    if (within(t, monitor)) return;
  }
}

}  // namespace pg
