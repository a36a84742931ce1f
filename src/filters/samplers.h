#pragma once
// The samplers filter kernels share: the alpha-weighted block average, the
// noise colours, the box samplers of the distortion filters with their
// out-of-range handling, and bilinear samplers of 32-bit planes at 16.16
// positions with 12-bit fractions.
//
// Pixels are 32-bit B, G, R, A (blue in the low byte of a packed value).
#include <cstdint>

#include "core/area_scale.h"
#include "core/planes.h"
#include "core/rect.h"

namespace pg {

// x >= 0: trunc(x + 0.5), else trunc(x - 0.5); saturating, NaN gives 0. The
// dialogs turn control values into record integers with it.
int32_t roundHalfAway(double x);

// ----------------------------------------------------------- block average

// BGRA8, alpha-weighted block average of rect (cut to the plane): per row,
// when its alpha sum is not 0, (row sum of C * A) / (row alpha sum) is added
// to a floating accumulator per channel and the row's alpha sum to a total.
// Total 0 gives 0x00000000; else C = trunc(accumulator / rows of rect), rows
// without alpha counted, and A = total div area. A block whose upper rows are
// transparent therefore comes out darker than its visible pixels.
uint32_t averageColour(const TMTC& plane, TRect rect);

// ------------------------------------------------------------ noise colours

// The first three bytes of out := three draws 0 .. range - 1 of the
// filters' process-wide generator (blue first); the fourth byte is kept.
void randomColour(uint32_t& out, uint32_t range);
// One draw copied into the first three bytes; the fourth byte is kept.
void randomGrey(uint32_t& out, uint32_t range);

// ------------------------------------------------------------ box samplers

// The partial-coverage procedures: t is the covered fraction of the box.
using PartialProc = void (*)(uint32_t& dst, uint32_t src, double t);
// BGR8: C := clamp(round(dst.C * t + src.C * (1 - t))); alpha kept.
void mixColours(uint32_t& dst, uint32_t src, double t);
// A := clamp(round(A * t)); colour kept (src unused).
void scaleAlpha(uint32_t& pixel, uint32_t src, double t);

// Boxes and bounds are 16.16 rectangles (left, top, right, bottom). The
// resampler's resampleRect gives the area-weighted average of a box.
//
// The box clamped into the bounds; a clamped area below 1 gives the fallback
// colour, else the average of the clamped box; when the clamped area is
// smaller than the box's, partial(out, fallback, clamped / full).
void sampleBoxFallback(uint32_t& out, uint32_t fallback, const CScaleImage& resampler, PartialProc partial,
                       const TRect& bounds, const TRect& box);
// The one-pixel box centred on the point, then sampleBoxFallback.
void samplePointFallback(uint32_t& out, uint32_t fallback, const CScaleImage& resampler, PartialProc partial,
                         const TRect& bounds, int32_t x, int32_t y);
// The box clamped so that at least half a pixel stays inside the bounds;
// its average, and when the clamped area is smaller partial(out, out, ratio).
void sampleBoxEdge(uint32_t& out, const CScaleImage& resampler, PartialProc partial, const TRect& bounds,
                   const TRect& box);
void samplePointEdge(uint32_t& out, const CScaleImage& resampler, PartialProc partial, const TRect& bounds,
                     int32_t x, int32_t y);

// -------------------------------------------------------- bilinear samplers

// The running sums of the bilinear taps.
struct SBilinearSums {
  uint32_t B = 0;
  uint32_t G = 0;
  uint32_t R = 0;
  uint32_t A = 0;
  uint32_t total = 0;
};

// One tap: p = pixel (x, y); alpha 0 adds nothing and answers 0; else
// wa = A * weight, A sum += wa, wn = (wa >> 8) + (wa >> 16) + (wa >> 24),
// wn += wn >> 23 (about wa / 255), each colour sum += C * wn; answers wn.
uint32_t bilinearTap(SBilinearSums& acc, uint32_t weight, int32_t y, int32_t x, const TMTC& plane);
// The same for a pixel given by value.
[[gnu::always_inline]] inline uint32_t bilinearTapPixel(SBilinearSums& acc, uint32_t weight, uint32_t p) {
  const uint32_t a = p >> 24;
  if (a == 0) return 0;
  const uint32_t wa = a * weight;
  acc.A += wa;
  uint32_t wn = (wa >> 8) + (wa >> 16) + (wa >> 24);
  wn += wn >> 23;
  acc.B += (p & 0xFFu) * wn;
  acc.G += ((p >> 8) & 0xFFu) * wn;
  acc.R += ((p >> 16) & 0xFFu) * wn;
  acc.total += wn;
  return wn;
}

// The 12-bit fraction of a 16.16 coordinate, rounded up by its 13th bit: 0..4096.
inline uint32_t bilinearFraction(int32_t v) {
  const uint32_t f = static_cast<uint32_t>(v >> 4);
  return (f & 0xFFFu) + ((f & 0x800u) >> 11);
}

// The result of the sums: 0x00FFFFFF without any weight, else the rounded
// quotients (Sat: clamped to 255, else the low 8 bits).
template <bool Sat>
inline uint32_t bilinearResult(const SBilinearSums& acc) {
  if (acc.total == 0) return 0x00FFFFFFu;
  uint32_t a = (acc.A + 0x800000u) >> 24;
  uint32_t b = (acc.B + 0x800000u) / acc.total;
  uint32_t g = (acc.G + 0x800000u) / acc.total;
  uint32_t r = (acc.R + 0x800000u) / acc.total;
  if constexpr (Sat) {
    a = a > 255 ? 255 : a;
    b = b > 255 ? 255 : b;
    g = g > 255 ? 255 : g;
    r = r > 255 ? 255 : r;
  }
  return (b & 0xFFu) | ((g & 0xFFu) << 8) | ((r & 0xFFu) << 16) | ((a & 0xFFu) << 24);
}

// The four clamp-edge taps of the 16.16 point (x, y) of a w x h image whose
// pixels fetch(x, y) answers, each weight shifted right by shift.
template <class Fetch>
[[gnu::always_inline]] inline void bilinearClampEdgeTaps(SBilinearSums& acc, Fetch&& fetch, int32_t w, int32_t h, int32_t x, int32_t y,
                                  int shift) {
  int32_t x0 = x >> 16, y0 = y >> 16;
  x0 = x0 < 0 ? 0 : (x0 >= w ? w - 1 : x0);
  y0 = y0 < 0 ? 0 : (y0 >= h ? h - 1 : y0);
  const int32_t x1 = x0 + 1 < w ? x0 + 1 : w - 1, y1 = y0 + 1 < h ? y0 + 1 : h - 1;
  const uint32_t fx = bilinearFraction(x), fy = bilinearFraction(y);
  bilinearTapPixel(acc, ((4096 - fx) * (4096 - fy)) >> shift, fetch(x0, y0));
  bilinearTapPixel(acc, (fx * (4096 - fy)) >> shift, fetch(x1, y0));
  bilinearTapPixel(acc, ((4096 - fx) * fy) >> shift, fetch(x0, y1));
  bilinearTapPixel(acc, (fx * fy) >> shift, fetch(x1, y1));
}

// The clamp-edge pair (below) over fetched pixels.
template <bool Sat, class Fetch>
[[gnu::always_inline]] inline uint32_t bilinearPairClampEdgeFetch(Fetch&& fetch, int32_t w, int32_t h, int32_t x1, int32_t y1, int32_t x2,
                                           int32_t y2) {
  SBilinearSums acc;
  bilinearClampEdgeTaps(acc, fetch, w, h, x1, y1, 1);
  bilinearClampEdgeTaps(acc, fetch, w, h, x2, y2, 1);
  return bilinearResult<Sat>(acc);
}
template <bool Sat, class Fetch>
inline uint32_t bilinearClampEdgeFetch(Fetch&& fetch, int32_t w, int32_t h, int32_t x, int32_t y) {
  SBilinearSums acc;
  bilinearClampEdgeTaps(acc, fetch, w, h, x, y, 0);
  return bilinearResult<Sat>(acc);
}

// BGRA8 at the 16.16 point (x, y) of the plane: four taps with 12-bit
// fractions (weights summing to 2^24). All taps transparent gives 0x00FFFFFF;
// else A = (A sum + 0x800000) >> 24 and C = (C sum + 0x800000) div total.
// The plain forms keep the low 8 bits (faint alpha can wrap), the Sat forms
// clamp to 255.
//
// Clamp-edge: the second neighbour is min(first + 1, size - 1); points are
// expected in 0 .. size * 65536 - 1 (others are clamped to the edge pixels).
uint32_t bilinearClampEdge(const TMTC& plane, int32_t x, int32_t y);
uint32_t bilinearClampEdgeSat(const TMTC& plane, int32_t x, int32_t y);
// The mean of two points: both sets of taps with every weight halved.
uint32_t bilinearPairClampEdge(const TMTC& plane, int32_t x1, int32_t y1, int32_t x2, int32_t y2);
uint32_t bilinearPairClampEdgeSat(const TMTC& plane, int32_t x1, int32_t y1, int32_t x2, int32_t y2);
// Wrap-around: the integer part taken as a 16-bit unsigned value (reduced
// modulo the size), the second neighbour wrapping to 0.
uint32_t bilinearWrap(const TMTC& plane, int32_t x, int32_t y);
uint32_t bilinearWrapSat(const TMTC& plane, int32_t x, int32_t y);
// The same over the top-left size of a working plane that may be larger
// than the image it holds: what lies beyond the image is never read.
uint32_t bilinearWrapWithin(const TMTC& plane, SSize size, int32_t x, int32_t y);
uint32_t bilinearWrapWithinSat(const TMTC& plane, SSize size, int32_t x, int32_t y);
// Wrap-around for planes whose sizes are powers of two: neighbours masked
// with size - 1.
uint32_t bilinearWrapPow2(const TMTC& plane, int32_t x, int32_t y);
uint32_t bilinearWrapPow2Sat(const TMTC& plane, int32_t x, int32_t y);

}  // namespace pg
