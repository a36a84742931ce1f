#include "core/rect.h"

#include <algorithm>

namespace pg {

namespace {

// One axis of intersectEdges: lo..hi clipped to bLo..bHi; false as soon as
// they are seen apart.
template <class T>
bool intersectSpan(T& lo, T& hi, T bLo, T bHi) {
  if (bLo > lo)
    lo = bLo;
  else if (lo > bHi)
    return false;
  if (bHi < hi)
    hi = bHi;
  else if (hi < bLo)
    return false;
  return true;
}

template <class R>
bool intersectEdges(R& a, const R& b) {
  return intersectSpan(a.Left, a.Right, b.Left, b.Right) && intersectSpan(a.Top, a.Bottom, b.Top, b.Bottom) &&
         a.Left < a.Right && a.Top < a.Bottom;
}

// A run of `length` at `at` cut to 0..extent, `other` (the same run's place
// on the other side of a copy) moved along with its start; false when the run
// lies wholly outside.
bool clipRun(int64_t extent, int64_t& at, int64_t& length, int64_t& other) {
  if (at >= extent || at + length < 1) return false;
  if (at < 0) {
    length += at;
    other -= at;
    at = 0;
  }
  if (at + length > extent) length = extent - at;
  return true;
}

// One axis of clipCopyRect: start/length of the source rectangle, pos in the
// destination. Worked in 64 bits so that no input can overflow; written back
// only when something is left to copy.
bool clipAxis(int32_t dstExtent, int32_t srcExtent, int32_t& posRef, int32_t& startRef, int32_t& lengthRef) {
  int64_t pos = posRef, start = startRef, length = lengthRef;
  if (!clipRun(srcExtent, start, length, pos) || !clipRun(dstExtent, pos, length, start) || length < 1) return false;
  posRef = static_cast<int32_t>(pos);
  startRef = static_cast<int32_t>(start);
  lengthRef = static_cast<int32_t>(length);
  return true;
}

}  // namespace

bool intersectRect(TRect& a, const TRect& b) { return intersectEdges(a, b); }

bool intersectRectF(TRectF& a, const TRectF& b) { return intersectEdges(a, b); }

bool intersectXYWH(SRectXYWH& r, const TRect& t) {
  TRect a = xywhToRect(r);
  bool ok = intersectRect(a, t);
  r = rectToXYWH(a);
  return ok;
}

bool clipXYWHToSize(SRectXYWH& r, SSize s) {
  const int64_t left = std::max<int64_t>(r.X, 0);
  const int64_t top = std::max<int64_t>(r.Y, 0);
  const int64_t right = std::min<int64_t>(int64_t{r.X} + r.Width, s.W);
  const int64_t bottom = std::min<int64_t>(int64_t{r.Y} + r.Height, s.H);
  if (left >= right || top >= bottom) return false;
  r = {int32_t(left), int32_t(top), int32_t(right - left), int32_t(bottom - top)};
  return true;
}

bool keepRectInside(SRectXYWH& r, const SRectXYWH& bounds) {
  if (r.Width > bounds.Width || r.Height > bounds.Height) return false;
  // The largest allowed position puts r flush with the right or bottom edge.
  r.X = clampInt(r.X, bounds.X, bounds.X + (bounds.Width - r.Width));
  r.Y = clampInt(r.Y, bounds.Y, bounds.Y + (bounds.Height - r.Height));
  return true;
}

int subtractRect(const TRect& inner, const TRect& outer, TRect out[4]) {
  int n = 0;
  if (inner.Top > outer.Top) out[n++] = {outer.Left, outer.Top, outer.Right, inner.Top};
  if (outer.Left < inner.Left) out[n++] = {outer.Left, inner.Top, inner.Left, inner.Bottom};
  if (inner.Right < outer.Right) out[n++] = {inner.Right, inner.Top, outer.Right, inner.Bottom};
  if (inner.Bottom < outer.Bottom) out[n++] = {outer.Left, inner.Bottom, outer.Right, outer.Bottom};
  return n;
}

void fitAspect(SRectXYWH& out, SSize box, SSize size) {
  if (size.W <= 0 || size.H <= 0) {
    out = {};
    return;
  }
  // The ratios are compared as single floats; a box without height gives a
  // non-finite ratio, which falls to the full-width branch.
  const float sizeRatio = static_cast<float>(static_cast<double>(size.W) / size.H);
  const float boxRatio = static_cast<float>(static_cast<double>(box.W) / box.H);
  if (sizeRatio == boxRatio) {
    out = {0, 0, box.W, box.H};
  } else if (sizeRatio < boxRatio) {
    out.Height = box.H;
    const int64_t w = static_cast<int64_t>(size.W) * box.H / size.H;
    out.Width = w > 1 ? static_cast<int32_t>(w) : 1;
    out.Y = 0;
    out.X = (box.W - out.Width) / 2;
  } else {
    out.Width = box.W;
    const int64_t h = static_cast<int64_t>(size.H) * box.W / size.W;
    out.Height = h > 1 ? static_cast<int32_t>(h) : 1;
    out.X = 0;
    out.Y = (box.H - out.Height) / 2;
  }
}

void fitAspectNoEnlarge(SRectXYWH& out, SSize box, SSize size) {
  if (size.W <= box.W && size.H <= box.H) {
    out = {(box.W - size.W) / 2, (box.H - size.H) / 2, size.W, size.H};
    return;
  }
  fitAspect(out, box, size);
}

bool clipCopyRect(SSize dstSize, SSize srcSize, TPoint& point, SRectXYWH& rect) {
  if (!clipAxis(dstSize.W, srcSize.W, point.X, rect.X, rect.Width)) return false;
  return clipAxis(dstSize.H, srcSize.H, point.Y, rect.Y, rect.Height);
}

}  // namespace pg
