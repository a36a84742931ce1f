#pragma once
// Rectangles, points, ranges, clamps and ratios: the small stateless geometry
// that every raster routine leans on. Two rectangle forms live side by side:
// TRect (right and bottom exclusive), used by window code, and SRectXYWH,
// used by the plane routines for clipping and copying.
#include <cmath>
#include <cstdint>

namespace pg {

struct TPoint {
  int32_t X = 0;
  int32_t Y = 0;
  friend bool operator==(const TPoint&, const TPoint&) = default;
};

struct TPointF {
  float X = 0.0f;
  float Y = 0.0f;
  friend bool operator==(const TPointF&, const TPointF&) = default;
};

// A size record: the Width/Height pair of a plane.
struct SSize {
  int32_t W = 0;
  int32_t H = 0;
  friend bool operator==(const SSize&, const SSize&) = default;
};

// Right and Bottom are exclusive.
struct TRect {
  int32_t Left = 0;
  int32_t Top = 0;
  int32_t Right = 0;
  int32_t Bottom = 0;
  friend bool operator==(const TRect&, const TRect&) = default;
};

struct SRectXYWH {
  int32_t X = 0;
  int32_t Y = 0;
  int32_t Width = 0;
  int32_t Height = 0;
  friend bool operator==(const SRectXYWH&, const SRectXYWH&) = default;
};

struct TRectF {
  float Left = 0.0f;
  float Top = 0.0f;
  float Right = 0.0f;
  float Bottom = 0.0f;
  friend bool operator==(const TRectF&, const TRectF&) = default;
};

// An inclusive integer range.
struct SRange {
  int32_t Lo = 0;
  int32_t Hi = 0;
  friend bool operator==(const SRange&, const SRange&) = default;
};

// A ratio such as the view zoom.
struct SRatio {
  int32_t Num = 1;
  int32_t Den = 1;
  friend bool operator==(const SRatio&, const SRatio&) = default;
};

// A whole-number double (already floored or ceiled) as int32, saturating at
// the ends of the range; NaN gives 0. Keeps float-to-int conversions defined
// for any input.
inline int32_t saturateToInt32(double v) {
  if (!(v == v)) return 0;
  if (v >= 2147483647.0) return 2147483647;
  if (v <= -2147483648.0) return -2147483647 - 1;
  return static_cast<int32_t>(v);
}

// ---- Ratios ----------------------------------------------------------------

// Num / Den as a single float; 32767.0 stands for a zero denominator.
inline float ratioToFloat(SRatio r) {
  if (r.Den == 0) return 32767.0f;
  return static_cast<float>(static_cast<double>(r.Num) / static_cast<double>(r.Den));
}
// A zero denominator is not whole (there is nothing to divide by).
[[nodiscard]] inline bool ratioIsWhole(SRatio r) {
  return r.Den != 0 && static_cast<int64_t>(r.Num) % static_cast<int64_t>(r.Den) == 0;
}
[[nodiscard]] inline bool ratioIsOne(SRatio r) { return r.Num == r.Den; }
[[nodiscard]] inline bool ratioAtLeastOne(SRatio r) { return r.Num >= r.Den; }

// ---- Ranges, clamps and swaps ----------------------------------------------

inline void makeRange(SRange& r, int32_t a, int32_t b) {
  r.Lo = a < b ? a : b;
  r.Hi = a < b ? b : a;
}
inline void extendRange(SRange& r, int32_t v) {
  if (v < r.Lo)
    r.Lo = v;
  else if (v > r.Hi)
    r.Hi = v;
}
[[nodiscard]] inline bool rangeContains(SRange r, int32_t v) { return r.Lo <= v && v <= r.Hi; }
inline bool inRange(int32_t v, int32_t lo, int32_t hi) { return lo <= v && v <= hi; }
inline bool inRangeF(float v, float lo, float hi) { return lo <= v && v <= hi; }
// lo is tested first, so lo wins when lo > hi.
inline int32_t clampInt(int32_t v, int32_t lo, int32_t hi) { return v < lo ? lo : (v > hi ? hi : v); }
inline void clampIntVar(int32_t& v, int32_t lo, int32_t hi) { v = clampInt(v, lo, hi); }
inline float clampFloat(float v, float lo, float hi) { return v < lo ? lo : (v > hi ? hi : v); }

template <class T>
  requires(sizeof(T) == 4)
inline void swapInt(T& a, T& b) {
  T t = a;
  a = b;
  b = t;
}
inline void swapWordBytes(uint16_t& w) { w = static_cast<uint16_t>((w >> 8) | (w << 8)); }
// a := the smallest, b := the largest of a, b and c.
inline void minMax3(int32_t& a, int32_t& b, int32_t c) {
  int32_t lo = a, hi = a;
  if (b < lo) lo = b;
  if (b > hi) hi = b;
  if (c < lo) lo = c;
  if (c > hi) hi = c;
  a = lo;
  b = hi;
}

// ---- Points ----------------------------------------------------------------

inline TPointF pointToFloat(TPoint p) { return {static_cast<float>(p.X), static_cast<float>(p.Y)}; }
// Floor(v + 0.01), not Round: values just below a whole number snap up to it.
inline TPoint floatToPoint(TPointF p) {
  return {saturateToInt32(std::floor(static_cast<double>(p.X) + 0.01)),
          saturateToInt32(std::floor(static_cast<double>(p.Y) + 0.01))};
}
inline void offsetPoint(TPoint& p, int32_t dx, int32_t dy) {
  p.X += dx;
  p.Y += dy;
}
// x into [0, W-1] and y into [0, H-1]; a negative coordinate (also the result
// for an empty size) becomes 0.
inline void clampPointToSize(TPoint& p, SSize size) {
  if (p.X > size.W - 1) p.X = size.W - 1;
  if (p.X < 0) p.X = 0;
  if (p.Y > size.H - 1) p.Y = size.H - 1;
  if (p.Y < 0) p.Y = 0;
}
// x into [X, X+Width-1] (just X when Width < 1); y likewise.
inline void clampPointToXYWH(TPoint& p, const SRectXYWH& r) {
  if (r.Width >= 1)
    p.X = clampInt(p.X, r.X, r.X + r.Width - 1);
  else
    p.X = r.X;
  if (r.Height >= 1)
    p.Y = clampInt(p.Y, r.Y, r.Y + r.Height - 1);
  else
    p.Y = r.Y;
}
// 0 <= x < w and 0 <= y < h; the unsigned comparison puts negatives outside.
inline bool insideGrid(int32_t x, int32_t y, int32_t w, int32_t h) {
  return static_cast<uint32_t>(x) < static_cast<uint32_t>(w) && static_cast<uint32_t>(y) < static_cast<uint32_t>(h);
}
inline bool insideGridIncl(int32_t x, int32_t y, int32_t w, int32_t h) {
  return static_cast<uint32_t>(x) <= static_cast<uint32_t>(w) &&
         static_cast<uint32_t>(y) <= static_cast<uint32_t>(h);
}

// ---- Rectangle conversions -------------------------------------------------

// A negative Width moves X left by it and becomes positive; Height likewise.
inline void normalizeXYWH(SRectXYWH& r) {
  if (r.Width < 0) {
    r.X += r.Width;
    r.Width = -r.Width;
  }
  if (r.Height < 0) {
    r.Y += r.Height;
    r.Height = -r.Height;
  }
}
inline void xywhFromPoints(SRectXYWH& r, TPoint a, TPoint b) {
  r = {a.X, a.Y, b.X - a.X, b.Y - a.Y};
  normalizeXYWH(r);
}
inline void rectFromPoints(TRect& r, TPoint tl, TPoint br) { r = {tl.X, tl.Y, br.X, br.Y}; }
inline TRect rectFromSize(SSize s) { return {0, 0, s.W, s.H}; }
inline void rectFromPointSize(TRect& r, TPoint p, SSize s) { r = {p.X, p.Y, p.X + s.W, p.Y + s.H}; }
inline TRect xywhToRect(const SRectXYWH& r) { return {r.X, r.Y, r.X + r.Width, r.Y + r.Height}; }
inline SRectXYWH rectToXYWH(const TRect& r) { return {r.Left, r.Top, r.Right - r.Left, r.Bottom - r.Top}; }
inline SSize rectSize(const TRect& r) { return {r.Right - r.Left, r.Bottom - r.Top}; }
// In 64 bits: a full 10,000 x 10,000 area (and beyond) must not overflow.
inline int64_t rectArea(const TRect& r) {
  return static_cast<int64_t>(r.Right - r.Left) * static_cast<int64_t>(r.Bottom - r.Top);
}
inline TRectF xywhToRectF(const SRectXYWH& r) {
  return {static_cast<float>(r.X), static_cast<float>(r.Y), static_cast<float>(r.X + r.Width),
          static_cast<float>(r.Y + r.Height)};
}
// Floor of Left and Top, Ceil of Right and Bottom: the smallest covering rectangle.
inline TRect rectFToRect(const TRectF& rf) {
  return {saturateToInt32(std::floor(rf.Left)), saturateToInt32(std::floor(rf.Top)),
          saturateToInt32(std::ceil(rf.Right)), saturateToInt32(std::ceil(rf.Bottom))};
}
inline SRectXYWH rectFToXYWH(const TRectF& rf) { return rectToXYWH(rectFToRect(rf)); }
// From the smaller to the larger coordinate of two float points; Right and
// Bottom get + 1.0 so that the pixel of the larger point is included.
inline TRectF rectFFromPoints(TPointF a, TPointF b) {
  return {a.X < b.X ? a.X : b.X, a.Y < b.Y ? a.Y : b.Y, (a.X < b.X ? b.X : a.X) + 1.0f,
          (a.Y < b.Y ? b.Y : a.Y) + 1.0f};
}

// ---- Rectangle algebra -----------------------------------------------------

// Intersects a with b edge by edge. May leave a partly changed when it answers
// False (no overlap); answers whether the result is non-empty.
[[nodiscard]] bool intersectRect(TRect& a, const TRect& b);
[[nodiscard]] bool intersectRectF(TRectF& a, const TRectF& b);
[[nodiscard]] inline bool clipRectToSize(TRect& r, SSize s) { return intersectRect(r, rectFromSize(s)); }
// The SRectXYWH forms intersect in TRect form and write the result back even
// when it is empty.
[[nodiscard]] bool intersectXYWH(SRectXYWH& r, const TRect& t);
// Clips r to (0, 0, s) with the edges summed in 64 bits, so that no position
// and extent can overflow; leaves r alone and answers False when nothing is
// left.
[[nodiscard]] bool clipXYWHToSize(SRectXYWH& r, SSize s);
[[nodiscard]] inline bool intersectXYWH2(SRectXYWH& a, const SRectXYWH& b) { return intersectXYWH(a, xywhToRect(b)); }

inline void deflateXYWH(SRectXYWH& r, int32_t d) {
  r.X += d;
  r.Y += d;
  r.Width -= 2 * d;
  r.Height -= 2 * d;
}
inline void deflateRect(TRect& r, int32_t d) {
  r.Left += d;
  r.Top += d;
  r.Right -= d;
  r.Bottom -= d;
}
inline void inflateRect(TRect& r, int32_t d) {
  r.Left -= d;
  r.Top -= d;
  r.Right += d;
  r.Bottom += d;
}
inline void offsetRect(TRect& r, int32_t dx, int32_t dy) {
  r.Left += dx;
  r.Top += dy;
  r.Right += dx;
  r.Bottom += dy;
}
// Grows r to include the pixel p (one edge per axis at most).
inline void includePoint(TRect& r, TPoint p) {
  if (p.X < r.Left)
    r.Left = p.X;
  else if (p.X >= r.Right)
    r.Right = p.X + 1;
  if (p.Y < r.Top)
    r.Top = p.Y;
  else if (p.Y >= r.Bottom)
    r.Bottom = p.Y + 1;
}
// Bounding box of a and b; an empty rectangle still counts with its corners.
inline void unionRect(TRect& a, const TRect& b) {
  if (b.Left < a.Left) a.Left = b.Left;
  if (b.Top < a.Top) a.Top = b.Top;
  if (b.Right > a.Right) a.Right = b.Right;
  if (b.Bottom > a.Bottom) a.Bottom = b.Bottom;
}
// includePoint of b's four corner pixels.
inline void includeRect(TRect& a, const TRect& b) {
  includePoint(a, {b.Left, b.Top});
  includePoint(a, {b.Right - 1, b.Top});
  includePoint(a, {b.Left, b.Bottom - 1});
  includePoint(a, {b.Right - 1, b.Bottom - 1});
}
inline void unionXYWH(SRectXYWH& a, const SRectXYWH& b) {
  TRect t = xywhToRect(a);
  includeRect(t, xywhToRect(b));
  a = rectToXYWH(t);
}
inline void clearRect(TRect& r) { r = {}; }
[[nodiscard]] inline bool ptInRect(const TRect& r, TPoint p) {
  return r.Left <= p.X && p.X < r.Right && r.Top <= p.Y && p.Y < r.Bottom;
}
[[nodiscard]] inline bool ptInXYWH(const SRectXYWH& r, TPoint p) {
  return r.X <= p.X && static_cast<int64_t>(p.X) < static_cast<int64_t>(r.X) + r.Width && r.Y <= p.Y &&
         static_cast<int64_t>(p.Y) < static_cast<int64_t>(r.Y) + r.Height;
}
[[nodiscard]] inline bool sizeContains(SSize a, SSize b) { return b.W <= a.W && b.H <= a.H; }
[[nodiscard]] inline bool xywhInsideSize(const SRectXYWH& r, SSize s) {
  return r.X >= 0 && r.Y >= 0 && static_cast<int64_t>(r.X) + r.Width <= s.W &&
         static_cast<int64_t>(r.Y) + r.Height <= s.H;
}

// When r fits into bounds, moves r's position so that r lies inside bounds
// (flush with the right or bottom edge counts as inside) and answers True;
// otherwise leaves r alone and answers False.
[[nodiscard]] bool keepRectInside(SRectXYWH& r, const SRectXYWH& bounds);

// Writes the bands of outer that lie outside inner (inner inside outer) into
// out, in the order top (full width), left, right, bottom (full width), and
// answers their count (0..4).
int subtractRect(const TRect& inner, const TRect& outer, TRect out[4]);

// Fits size into box keeping its aspect; the result is relative to the box.
// An empty size fits nowhere: out becomes (0, 0, 0, 0).
void fitAspect(SRectXYWH& out, SSize box, SSize size);
// As fitAspect, but a size that already fits is centred unscaled.
void fitAspectNoEnlarge(SRectXYWH& out, SSize box, SSize size);

// Clips a copy: rect is a rectangle of the source (srcSize), point where its
// top-left corner lands in the destination (dstSize). Clips rect against the
// source first, then the point against the destination, per axis, moving the
// other one along. Answers False when nothing is left to copy.
[[nodiscard]] bool clipCopyRect(SSize dstSize, SSize srcSize, TPoint& point, SRectXYWH& rect);

}  // namespace pg
