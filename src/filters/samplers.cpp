#include "filters/samplers.h"

#include <algorithm>
#include <cmath>

#include "core/blend_arith.h"
#include "core/fixed_point.h"
#include "filters/filter_random.h"

namespace pg {

int32_t roundHalfAway(double x) {
  if (std::isnan(x)) return 0;
  return saturateToInt32(std::trunc(x >= 0 ? x + 0.5 : x - 0.5));
}

// ----------------------------------------------------------- block average

uint32_t averageColour(const TMTC& plane, TRect rect) {
  if (!plane.IsAllocated() || !clipRectToSize(rect, plane.size())) return 0;
  double accB = 0, accG = 0, accR = 0;
  uint64_t total = 0;
  for (int32_t y = rect.Top; y < rect.Bottom; ++y) {
    uint64_t sB = 0, sG = 0, sR = 0, sA = 0;
    const uint32_t* row = plane.pixelAt(rect.Left, y);
    for (int32_t i = 0, n = rect.Right - rect.Left; i < n; ++i) {
      const uint32_t p = row[i], a = pixelAlpha(p);
      sB += pixelByte(p, 0) * a;
      sG += pixelByte(p, 1) * a;
      sR += pixelByte(p, 2) * a;
      sA += a;
    }
    if (sA == 0) continue;
    accB += static_cast<double>(sB) / static_cast<double>(sA);
    accG += static_cast<double>(sG) / static_cast<double>(sA);
    accR += static_cast<double>(sR) / static_cast<double>(sA);
    total += sA;
  }
  if (total == 0) return 0;
  const double rows = rect.Bottom - rect.Top;
  const auto channel = [rows](double acc) {
    const double v = std::trunc(acc / rows);
    return v <= 0 ? 0u : (v >= 255 ? 255u : static_cast<uint32_t>(v));
  };
  const uint64_t a = total / static_cast<uint64_t>(rectArea(rect));
  return channel(accB) | (channel(accG) << 8) | (channel(accR) << 16) | (static_cast<uint32_t>(std::min<uint64_t>(a, 255)) << 24);
}

// ------------------------------------------------------------ noise colours

void randomColour(uint32_t& out, uint32_t range) {
  uint32_t v = out & 0xFF000000u;
  for (int i = 0; i < 3; ++i) v |= (filterRandom(range) & 0xFFu) << (8 * i);
  out = v;
}

void randomGrey(uint32_t& out, uint32_t range) {
  const uint32_t g = filterRandom(range) & 0xFFu;
  out = (out & 0xFF000000u) | g | (g << 8) | (g << 16);
}

// ------------------------------------------------------------ box samplers

namespace {

inline uint32_t roundClampByte(double v) {
  const double r = std::nearbyint(v);
  return r <= 0 ? 0u : (r >= 255 ? 255u : static_cast<uint32_t>(r));
}

// Area of a 16.16 box in 16.16 (fixMul of width and height, in 64 bits).
inline int64_t boxArea(const TRect& b) {
  return ((int64_t{b.Right} - b.Left) * (int64_t{b.Bottom} - b.Top)) >> 16;
}

inline int32_t clampRange(int32_t v, int32_t lo, int32_t hi) { return v < lo ? lo : (v > hi ? hi : v); }

uint32_t averageOf(const CScaleImage& resampler, const TRect& box) {
  uint32_t out = 0;
  resampler.resampleRect(reinterpret_cast<uint8_t*>(&out), SFixBox{box.Left, box.Top, box.Right, box.Bottom});
  return out;
}

TRect pointBox(int32_t x, int32_t y) {
  return {x - kFixHalf, y - kFixHalf, x + kFixHalf, y + kFixHalf};
}

}  // namespace

void mixColours(uint32_t& dst, uint32_t src, double t) {
  uint32_t v = dst & 0xFF000000u;
  for (int i = 0; i < 3; ++i)
    v |= roundClampByte(pixelByte(dst, i) * t + pixelByte(src, i) * (1.0 - t)) << (8 * i);
  dst = v;
}

void scaleAlpha(uint32_t& pixel, uint32_t /*src*/, double t) {
  pixel = (pixel & 0x00FFFFFFu) | (roundClampByte(pixelAlpha(pixel) * t) << 24);
}

void sampleBoxFallback(uint32_t& out, uint32_t fallback, const CScaleImage& resampler, PartialProc partial,
                       const TRect& bounds, const TRect& box) {
  TRect c = box;
  c.Left = clampRange(c.Left, bounds.Left, bounds.Right);
  c.Right = clampRange(c.Right, bounds.Left, bounds.Right);
  c.Top = clampRange(c.Top, bounds.Top, bounds.Bottom);
  c.Bottom = clampRange(c.Bottom, bounds.Top, bounds.Bottom);
  const int64_t clamped = boxArea(c), full = boxArea(box);
  if (clamped < 1) {
    out = fallback;
  } else {
    out = averageOf(resampler, c);
  }
  if (clamped < full && partial != nullptr) partial(out, fallback, static_cast<double>(clamped) / static_cast<double>(full));
}

void samplePointFallback(uint32_t& out, uint32_t fallback, const CScaleImage& resampler, PartialProc partial,
                         const TRect& bounds, int32_t x, int32_t y) {
  sampleBoxFallback(out, fallback, resampler, partial, bounds, pointBox(x, y));
}

void sampleBoxEdge(uint32_t& out, const CScaleImage& resampler, PartialProc partial, const TRect& bounds,
                   const TRect& box) {
  TRect c = box;
  c.Left = clampRange(c.Left, bounds.Left, bounds.Right - kFixHalf);
  c.Top = clampRange(c.Top, bounds.Top, bounds.Bottom - kFixHalf);
  c.Right = clampRange(c.Right, bounds.Left + kFixHalf, bounds.Right);
  c.Bottom = clampRange(c.Bottom, bounds.Top + kFixHalf, bounds.Bottom);
  out = averageOf(resampler, c);
  const int64_t clamped = boxArea(c), full = boxArea(box);
  if (clamped < full && partial != nullptr && full > 0)
    partial(out, out, static_cast<double>(std::max<int64_t>(clamped, 0)) / static_cast<double>(full));
}

void samplePointEdge(uint32_t& out, const CScaleImage& resampler, PartialProc partial, const TRect& bounds,
                     int32_t x, int32_t y) {
  sampleBoxEdge(out, resampler, partial, bounds, pointBox(x, y));
}

// -------------------------------------------------------- bilinear samplers

uint32_t bilinearTap(SBilinearSums& acc, uint32_t weight, int32_t y, int32_t x, const TMTC& plane) {
  return bilinearTapPixel(acc, weight, plane.getPixel(x, y));
}

namespace {

struct SNeighbours {
  int32_t x0, x1, y0, y1;
};

inline int32_t wrap16(int32_t v, int32_t size) {
  const int32_t i = (v >> 16) & 0xFFFF;
  return i < size ? i : i % size;
}

inline SNeighbours wrapNeighbours(SSize size, int32_t x, int32_t y) {
  const int32_t x0 = wrap16(x, size.W), y0 = wrap16(y, size.H);
  const int32_t x1 = x0 + 1 >= size.W ? x0 + 1 - size.W : x0 + 1;
  const int32_t y1 = y0 + 1 >= size.H ? y0 + 1 - size.H : y0 + 1;
  return {x0, x1, y0, y1};
}

inline SNeighbours pow2Neighbours(SSize size, int32_t x, int32_t y) {
  const int32_t mx = size.W - 1, my = size.H - 1;
  const int32_t x0 = (x >> 16) & mx, y0 = (y >> 16) & my;
  return {x0, (x0 + 1) & mx, y0, (y0 + 1) & my};
}

[[nodiscard]] inline bool samplable(const TMTC& plane) { return plane.IsAllocated() && plane.Width > 0 && plane.Height > 0; }

// The wrap is over the top-left size of the plane (the whole plane, or the
// image a larger working plane holds).
template <bool Sat, SNeighbours (*Neighbours)(SSize, int32_t, int32_t)>
uint32_t sampleWrapped(const TMTC& plane, SSize size, int32_t x, int32_t y) {
  if (!samplable(plane)) return 0x00FFFFFFu;
  size = SSize{std::clamp(size.W, 1, plane.Width), std::clamp(size.H, 1, plane.Height)};
  const SNeighbours n = Neighbours(size, x, y);
  const uint32_t fx = bilinearFraction(x), fy = bilinearFraction(y);
  SBilinearSums acc;
  bilinearTap(acc, (4096 - fx) * (4096 - fy), n.y0, n.x0, plane);
  bilinearTap(acc, fx * (4096 - fy), n.y0, n.x1, plane);
  bilinearTap(acc, (4096 - fx) * fy, n.y1, n.x0, plane);
  bilinearTap(acc, fx * fy, n.y1, n.x1, plane);
  return bilinearResult<Sat>(acc);
}

template <bool Sat>
uint32_t sampleEdge(const TMTC& plane, int32_t x, int32_t y) {
  if (!samplable(plane)) return 0x00FFFFFFu;
  return bilinearClampEdgeFetch<Sat>([&plane](int32_t px, int32_t py) { return plane.getPixel(px, py); },
                                     plane.Width, plane.Height, x, y);
}

template <bool Sat>
uint32_t samplePair(const TMTC& plane, int32_t x1, int32_t y1, int32_t x2, int32_t y2) {
  if (!samplable(plane)) return 0x00FFFFFFu;
  return bilinearPairClampEdgeFetch<Sat>([&plane](int32_t px, int32_t py) { return plane.getPixel(px, py); },
                                         plane.Width, plane.Height, x1, y1, x2, y2);
}

}  // namespace

uint32_t bilinearClampEdge(const TMTC& plane, int32_t x, int32_t y) { return sampleEdge<false>(plane, x, y); }
uint32_t bilinearClampEdgeSat(const TMTC& plane, int32_t x, int32_t y) { return sampleEdge<true>(plane, x, y); }
uint32_t bilinearPairClampEdge(const TMTC& plane, int32_t x1, int32_t y1, int32_t x2, int32_t y2) {
  return samplePair<false>(plane, x1, y1, x2, y2);
}
uint32_t bilinearPairClampEdgeSat(const TMTC& plane, int32_t x1, int32_t y1, int32_t x2, int32_t y2) {
  return samplePair<true>(plane, x1, y1, x2, y2);
}
uint32_t bilinearWrap(const TMTC& plane, int32_t x, int32_t y) {
  return sampleWrapped<false, wrapNeighbours>(plane, SSize{plane.Width, plane.Height}, x, y);
}
uint32_t bilinearWrapSat(const TMTC& plane, int32_t x, int32_t y) {
  return sampleWrapped<true, wrapNeighbours>(plane, SSize{plane.Width, plane.Height}, x, y);
}
uint32_t bilinearWrapWithin(const TMTC& plane, SSize size, int32_t x, int32_t y) {
  return sampleWrapped<false, wrapNeighbours>(plane, size, x, y);
}
uint32_t bilinearWrapWithinSat(const TMTC& plane, SSize size, int32_t x, int32_t y) {
  return sampleWrapped<true, wrapNeighbours>(plane, size, x, y);
}
uint32_t bilinearWrapPow2(const TMTC& plane, int32_t x, int32_t y) {
  return sampleWrapped<false, pow2Neighbours>(plane, SSize{plane.Width, plane.Height}, x, y);
}
uint32_t bilinearWrapPow2Sat(const TMTC& plane, int32_t x, int32_t y) {
  return sampleWrapped<true, pow2Neighbours>(plane, SSize{plane.Width, plane.Height}, x, y);
}

}  // namespace pg
