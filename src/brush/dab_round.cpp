#include "brush/dab_round.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "brush/dab_rows_avx2.h"
#include "brush/plot_rows.h"
#include "core/fixed_point.h"

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace pg {

namespace {

// Coordinates beyond this lie far outside any plane; limiting box edges to it
// keeps the offsets inside 32 bits.
constexpr double kEdgeLimit = 1073741824.0;  // 2^30

int32_t boxEdge(double v) { return static_cast<int32_t>(std::clamp(v, -kEdgeLimit, kEdgeLimit)); }

}  // namespace

bool dabBox(const CDibCore& target, TRect& box, TPoint& offset, float radius, float cy, float cx) {
  if (std::isnan(radius) || std::isnan(cx) || std::isnan(cy)) return false;
  const double r = radius, x = cx, y = cy;
  const TRect whole{boxEdge(std::floor(x - r)), boxEdge(std::floor(y - r)), boxEdge(std::ceil(x + r)),
                    boxEdge(std::ceil(y + r))};
  box = whole;
  if (!intersectRect(box, rectFromSize(target.size()))) return false;
  offset = {box.Left - whole.Left, box.Top - whole.Top};
  return true;
}

int32_t dabOpacity16(float opacity) {
  if (!(opacity > 0.0f)) return 0;
  return roundF(std::min(opacity, 1.0f) * 65536.0f);
}

uint32_t roundDabCoverage(const CurveTable& falloff, int32_t x, int32_t y, float cx, float cy, float radius, int32_t opacity16) {
  const float dx = (static_cast<float>(x) + 0.5f) - cx;
  const float dy = (static_cast<float>(y) + 0.5f) - cy;
  const float d = std::sqrt(dx * dx + dy * dy);
  if (!(d < radius)) return 0;
  const float f = 2047.0f * d / radius;
  const int32_t index = f >= 2047.0f ? 2047 : static_cast<int32_t>(f);
  const uint32_t w = falloff[static_cast<size_t>(index)];
  const uint32_t c = static_cast<uint32_t>(((static_cast<int64_t>(w) * opacity16) >> 16) >> 16) & 0xFFFFu;
  return c > 255 ? 255u : c;
}

namespace {

// The weight and coverage step of roundDabCoverage for a falloff position f
// (2047 d / r), or none (f < 0: the pixel lies outside).
uint8_t coverageAt(const CurveTable& falloff, float f, int32_t opacity16) {
  if (f < 0.0f) return 0;
  const int32_t index = f >= 2047.0f ? 2047 : static_cast<int32_t>(f);
  const uint32_t w = falloff[static_cast<size_t>(index)];
  const uint32_t c = static_cast<uint32_t>(((static_cast<int64_t>(w) * opacity16) >> 16) >> 16) & 0xFFFFu;
  return static_cast<uint8_t>(c > 255 ? 255u : c);
}

// roundDabCoverage for the n pixels x0 .. x0 + n - 1 of row y: the same
// single-precision operations in the same order, four pixels at a time where
// the processor has them (IEEE square root and division give the same bits
// either way).
void roundDabRow(const CurveTable& falloff, uint8_t* cov, int32_t x0, int32_t n, int32_t y, float cx, float cy, float radius,
                 int32_t opacity16) {
  const float dy = (static_cast<float>(y) + 0.5f) - cy;
  const float dy2 = dy * dy;
  int32_t i = avx2DabCoverageRow(cov, x0, n, dy2, cx, radius, opacity16, falloff.data());
#if defined(__SSE2__)
  const __m128 half = _mm_set1_ps(0.5f), vcx = _mm_set1_ps(cx), vdy2 = _mm_set1_ps(dy2);
  const __m128 vr = _mm_set1_ps(radius), k2047 = _mm_set1_ps(2047.0f), none = _mm_set1_ps(-1.0f);
  alignas(16) float f[4];
  for (; i + 4 <= n; i += 4) {
    const __m128 x = _mm_cvtepi32_ps(_mm_setr_epi32(x0 + i, x0 + i + 1, x0 + i + 2, x0 + i + 3));
    const __m128 dx = _mm_sub_ps(_mm_add_ps(x, half), vcx);
    const __m128 d = _mm_sqrt_ps(_mm_add_ps(_mm_mul_ps(dx, dx), vdy2));
    const __m128 inside = _mm_cmplt_ps(d, vr);
    const __m128 pos = _mm_div_ps(_mm_mul_ps(k2047, d), vr);
    _mm_store_ps(f, _mm_or_ps(_mm_and_ps(inside, pos), _mm_andnot_ps(inside, none)));
    for (int j = 0; j < 4; ++j) cov[i + j] = coverageAt(falloff, f[j], opacity16);
  }
#endif
  for (; i < n; ++i) {
    const float dx = (static_cast<float>(x0 + i) + 0.5f) - cx;
    const float d = std::sqrt(dx * dx + dy2);
    cov[i] = coverageAt(falloff, d < radius ? 2047.0f * d / radius : -1.0f, opacity16);
  }
}

}  // namespace

namespace reference {

void paintRoundDab(const SPlotter& plot, TMTC& target, uint32_t colour, float opacity, float radius, float cy,
                   float cx) {
  if (!(opacity > 0.0f)) return;
  TRect box;
  TPoint offset;
  if (!dabBox(target, box, offset, radius, cy, cx)) return;
  const CurveTable& falloff = *plot.falloffTable;
  const int32_t op16 = dabOpacity16(opacity);
  for (int32_t y = box.Top; y < box.Bottom; ++y)
    for (int32_t x = box.Left; x < box.Right; ++x)
      plot.plotProc32(plot, target.pixelAt(x, y), x, y, roundDabCoverage(falloff, x, y, cx, cy, radius, op16),
                      colour);
}

}  // namespace reference

void paintRoundDab(const SPlotter& plot, TMTC& target, uint32_t colour, float opacity, float radius, float cy,
                   float cx) {
  const RowPlot32 plotRow = rowPlotter32(plot);
  // Call-backs this module does not know may act on zero coverage: plot every pixel.
  if (plotRow == &reference::plotRow32)
    return reference::paintRoundDab(plot, target, colour, opacity, radius, cy, cx);
  const CurveTable& falloff = *plot.falloffTable;
  if (!(opacity > 0.0f)) return;
  TRect box;
  TPoint offset;
  if (!dabBox(target, box, offset, radius, cy, cx)) return;
  if (!(radius > 0.0f)) return;  // every coverage is 0
  const int32_t op16 = dabOpacity16(opacity);
  // Outside [cx - half - margin, cx + half + margin] the single-precision
  // distance is surely not below the radius, so only that span is measured.
  const double r = radius;
  const double margin = 2.0 + (std::fabs(double(cx)) + std::fabs(double(cy)) + r) * 1e-5;
  uint8_t stackRow[1024];
  std::vector<uint8_t> heapRow;
  uint8_t* cov = stackRow;
  const int32_t width = box.Right - box.Left;
  if (width > static_cast<int32_t>(sizeof stackRow)) {
    try {
      heapRow.resize(static_cast<size_t>(width));
    } catch (...) {
      return reference::paintRoundDab(plot, target, colour, opacity, radius, cy, cx);
    }
    cov = heapRow.data();
  }
  for (int32_t y = box.Top; y < box.Bottom; ++y) {
    const double dy = (double(y) + 0.5) - cy;
    const double h2 = r * r - dy * dy;
    const double half = h2 > 0.0 ? std::sqrt(h2) : 0.0;
    if (h2 < -(margin * (2.0 * r + margin))) continue;  // the row lies wholly outside
    const int32_t x0 = std::max(box.Left, boxEdge(std::floor(double(cx) - half - margin)));
    const int32_t x1 = std::min(box.Right, boxEdge(std::ceil(double(cx) + half + margin)));
    if (x0 >= x1) continue;
    roundDabRow(falloff, cov, x0, x1 - x0, y, cx, cy, radius, op16);
    plotRow(plot, target.pixelAt(x0, y), x0, y, cov, x1 - x0, colour);
  }
}

void paintTileDab(const SPlotter& plot, TMTC& target, uint32_t fallback, const CPenTC& tile, float opacity,
                  float radius, float cy, float cx) {
  const CurveTable& falloff = *plot.falloffTable;
  if (!(opacity > 0.0f)) return;
  TRect box;
  TPoint offset;
  if (!dabBox(target, box, offset, radius, cy, cx)) return;
  TPoint tileOffset;
  if (!tile.offsetForRadius(tileOffset, radius)) return;
  const int32_t op16 = dabOpacity16(opacity);
  const bool tileReady = tile.Bits != nullptr;
  // Tile position of box pixel (box.Left, box.Top); 64-bit, the offsets are the caller's.
  const int64_t tx0 = int64_t(tileOffset.X) + offset.X - box.Left;
  const int64_t ty0 = int64_t(tileOffset.Y) + offset.Y - box.Top;
  for (int32_t y = box.Top; y < box.Bottom; ++y) {
    const int64_t ty = ty0 + y;
    for (int32_t x = box.Left; x < box.Right; ++x) {
      const int64_t tx = tx0 + x;
      uint32_t colour = fallback;
      if (tileReady && tx >= 0 && ty >= 0 && tx < tile.Width && ty < tile.Height) {
        const uint32_t p = tile.getPixel(static_cast<int32_t>(tx), static_cast<int32_t>(ty));
        if (pixelAlpha(p) != 0) colour = p;
      }
      plot.plotProc32(plot, target.pixelAt(x, y), x, y, roundDabCoverage(falloff, x, y, cx, cy, radius, op16),
                      colour);
    }
  }
}

}  // namespace pg
