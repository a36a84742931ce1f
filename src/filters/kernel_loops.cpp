#include "filters/kernel_loops.h"

#include <algorithm>
#include <new>
#include <vector>

#include "brush/plot_merge.h"
#include "core/colour.h"
#include "core/parallel.h"
#include "core/saturate.h"
#include "filters/band_runner.h"
#include "filters/conv_rows.h"

namespace pg {

namespace {

// Cuts srcRect to the plane and the window at (x, y) to it; false when empty.
[[nodiscard]] bool clipWindow(const TMTC& src, const TRect& srcRect, const SRectXYWH& window, int32_t x, int32_t y,
                TRect& source, TRect& clipped) {
  source = srcRect;
  if (!clipRectToSize(source, src.size())) return false;
  const int64_t l = int64_t{x} + window.X, t = int64_t{y} + window.Y;
  const int64_t r = l + window.Width, b = t + window.Height;
  const int64_t cl = std::max<int64_t>(l, source.Left), ct = std::max<int64_t>(t, source.Top);
  const int64_t cr = std::min<int64_t>(r, source.Right), cb = std::min<int64_t>(b, source.Bottom);
  if (cl >= cr || ct >= cb) return false;
  clipped = {static_cast<int32_t>(cl), static_cast<int32_t>(ct), static_cast<int32_t>(cr), static_cast<int32_t>(cb)};
  return true;
}

inline int32_t clampTo(int64_t v, int32_t lo, int32_t hiExclusive) {
  return v < lo ? lo : (v >= hiExclusive ? hiExclusive - 1 : static_cast<int32_t>(v));
}

template <class Op>
[[nodiscard]] bool lutLoop(const SFlt4Context* ctx, bool keepAlpha, Op&& colourOf) {
  if (!isValidContext(ctx)) return false;
  return forEachSelectedPixel(*ctx, ctx->region, [&](int32_t, int32_t, uint32_t* p, uint32_t weight) {
    writeWeighted(p, colourOf(*p), weight, keepAlpha);
  });
}

}  // namespace

TRect workSourceRect(const SFlt4Context& ctx) {
  return {0, 0, std::min(ctx.image->width(), ctx.workImage->Width), std::min(ctx.image->height(), ctx.workImage->Height)};
}

bool applyLutMasked(const SFlt4Context* ctx, const uint32_t lut[256], bool keepAlpha) {
  return lutLoop(ctx, keepAlpha, [lut](uint32_t p) {
    return (lut[pixelByte(p, 0)] & 0x000000FFu) | (lut[pixelByte(p, 1)] & 0x0000FF00u) |
           (lut[pixelByte(p, 2)] & 0x00FF0000u) | (lut[pixelByte(p, 3)] & 0xFF000000u);
  });
}

bool applyGreyMapMasked(const SFlt4Context* ctx, const uint32_t table[256], bool keepAlpha) {
  return lutLoop(ctx, keepAlpha, [table](uint32_t p) { return table[pixelGrey(p)]; });
}

bool applyGreyMapAlphaLut(const SFlt4Context* ctx, const uint32_t lut[256], bool keepAlpha) {
  return lutLoop(ctx, keepAlpha, [lut](uint32_t p) {
    return (lut[pixelGrey(p)] & 0x00FFFFFFu) | (lut[pixelAlpha(p)] & 0xFF000000u);
  });
}

bool clearRegionMasked(const SFlt4Context* ctx, bool protectedFlag) {
  if (!isValidContext(ctx) || protectedFlag) return false;
  return forEachSelectedPixel(*ctx, ctx->region,
                              [](int32_t, int32_t, uint32_t* p, uint32_t weight) { blendPixelOver(p, 0u, weight); });
}

bool copyWorkToLayerMasked(const SFlt4Context* ctx, bool protectedFlag) {
  if (!isValidContext(ctx) || protectedFlag) return false;
  const TMTC& work = *ctx->workImage;
  return forEachSelectedPixel(*ctx, ctx->region, [&work](int32_t x, int32_t y, uint32_t* p, uint32_t weight) {
    blendPixelOver(p, work.getPixel(x, y), weight);
  });
}

bool trimKernel(std::vector<int32_t>& outWeights, SRectXYWH& outWindow, const int32_t* weights,
                SRectXYWH window) {
  outWeights.clear();
  outWindow = {window.X, window.Y, 0, 0};
  if (window.Width < 0 || window.Height < 0 || weights == nullptr) return false;
  if (int64_t{window.Width} * window.Height > kMaxKernelWeights) return false;
  int32_t left = window.Width, top = window.Height, right = -1, bottom = -1;
  for (int32_t j = 0; j < window.Height; ++j)
    for (int32_t i = 0; i < window.Width; ++i)
      if (weights[static_cast<size_t>(j) * static_cast<size_t>(window.Width) + static_cast<size_t>(i)] != 0) {
        left = std::min(left, i);
        right = std::max(right, i);
        top = std::min(top, j);
        bottom = std::max(bottom, j);
      }
  if (right < 0) return true;  // every weight 0: the empty window
  outWindow = {window.X + left, window.Y + top, right - left + 1, bottom - top + 1};
  outWeights.reserve(static_cast<size_t>(outWindow.Width) * static_cast<size_t>(outWindow.Height));
  for (int32_t j = top; j <= bottom; ++j)
    for (int32_t i = left; i <= right; ++i)
      outWeights.push_back(weights[static_cast<size_t>(j) * static_cast<size_t>(window.Width) + static_cast<size_t>(i)]);
  return true;
}

bool convolveAt(uint32_t& out, const TMTC& src, const TRect& srcRect, int32_t offset, const int32_t* weights,
                const SRectXYWH& window, int32_t y, int32_t x) {
  TRect source, c;
  if (!clipWindow(src, srcRect, window, x, y, source, c)) return false;
  int64_t sB = 0, sG = 0, sR = 0, sAW = 0, sW = 0;
  const int64_t left = int64_t{x} + window.X, top = int64_t{y} + window.Y;
  const int32_t* w = weights;
  for (int32_t j = 0; j < window.Height; ++j) {
    const int32_t sy = clampTo(top + j, c.Top, c.Bottom);  // rows outside C replicate its edge rows
    for (int32_t i = 0; i < window.Width; ++i, ++w) {
      if (*w == 0) continue;
      const uint32_t p = src.getPixel(clampTo(left + i, c.Left, c.Right), sy);
      const int64_t aw = int64_t{pixelAlpha(p)} * *w;
      sB += pixelByte(p, 0) * aw;
      sG += pixelByte(p, 1) * aw;
      sR += pixelByte(p, 2) * aw;
      sAW += aw;
      sW += *w;
    }
  }
  const uint32_t own = src.getPixel(clampTo(x, c.Left, c.Right), clampTo(y, c.Top, c.Bottom));
  out = finishWeighted(sB, sG, sR, sAW, sW, offset, own);
  return true;
}

bool convolveAtPlain(uint32_t& out, const TMTC& src, const TRect& srcRect, int32_t offset, int32_t divisor,
                     const SRectXYWH& window, const int32_t* weights, int32_t y, int32_t x) {
  if (divisor == 0) return false;
  TRect source, c;
  if (!clipWindow(src, srcRect, window, x, y, source, c)) return false;
  int64_t sB = 0, sG = 0, sR = 0;
  const int64_t left = int64_t{x} + window.X, top = int64_t{y} + window.Y;
  const int32_t* w = weights;
  for (int32_t j = 0; j < window.Height; ++j) {
    const int32_t sy = clampTo(top + j, c.Top, c.Bottom);
    for (int32_t i = 0; i < window.Width; ++i, ++w) {
      if (*w == 0) continue;
      const uint32_t p = src.getPixel(clampTo(left + i, c.Left, c.Right), sy);
      sB += int64_t{pixelByte(p, 0)} * *w;
      sG += int64_t{pixelByte(p, 1)} * *w;
      sR += int64_t{pixelByte(p, 2)} * *w;
    }
  }
  out = finishPlain(sB, sG, sR, divisor, offset);
  return true;
}

namespace {

// A row of a grid convolution: the pixels whose window reaches past src
// through edge(x, colour) (the replicating per-pixel walk), the others, whose
// taps read straight from the plane, as one run through run(first, n, out).
template <typename Edge, typename Run>
void convolveRow(const SRectXYWH& window, const TRect& src, int32_t y, int32_t left, int32_t n, uint32_t* colours,
                 uint8_t* has, Edge&& edge, Run&& run) {
  int64_t i0 = n, i1 = n;  // the inside columns, relative to left
  if (int64_t{y} + window.Y >= src.Top && int64_t{y} + window.Y + window.Height <= src.Bottom) {
    i0 = std::clamp<int64_t>(int64_t{src.Left} - window.X - left, 0, n);
    i1 = std::clamp<int64_t>(int64_t{src.Right} - window.X - window.Width + 1 - left, i0, n);
  }
  for (int32_t i = 0; i < n; ++i) {
    if (i == i0 && i0 < i1) {
      run(left + i, static_cast<int32_t>(i1 - i0), colours + i);
      std::fill(has + i, has + i1, uint8_t{1});
      i = static_cast<int32_t>(i1) - 1;
      continue;
    }
    has[i] = edge(left + i, colours[i]) ? 1 : 0;
  }
}

}  // namespace

bool convolveMasked(const SFlt4Context* ctx, const int32_t* weights, SRectXYWH window, bool keepAlpha,
                    int32_t offset) {
  if (!isValidContext(ctx)) return false;
  std::vector<int32_t> trimmed;
  SRectXYWH tw;
  if (!trimKernel(trimmed, tw, weights, window)) return false;
  if (trimmed.empty()) return true;
  const TMTC& work = *ctx->workImage;
  const TRect src = workSourceRect(*ctx);
  SConvWeighted plan;
  plan.taps = convTapsOf(trimmed.data(), tw, work.RowStep());
  for (const SConvTap& t : plan.taps) plan.weightSum += t.w;
  // The fallback pixel is the target moved into the window (a trimmed
  // window need not hold the target itself).
  plan.own = static_cast<ptrdiff_t>(std::clamp(0, tw.Y, tw.Y + tw.Height - 1)) * work.RowStep() +
             std::clamp(0, tw.X, tw.X + tw.Width - 1);
  plan.offset = offset;
  const auto row = [&](int32_t y, int32_t left, int32_t n, uint32_t* colours, uint8_t* has, int) {
    convolveRow(
        tw, src, y, left, n, colours, has,
        [&](int32_t x, uint32_t& colour) { return convolveAt(colour, work, src, offset, trimmed.data(), tw, y, x); },
        [&](int32_t x, int32_t count, uint32_t* out) { convolveWeightedRun(plan, work.pixelAt(x, y), count, out); });
  };
  return filterRowsInBands(
      *ctx, ctx->region, row,
      [keepAlpha](uint32_t* p, uint32_t colour, uint32_t weight) { writeWeighted(p, colour, weight, keepAlpha); },
      [keepAlpha](uint32_t* p, const uint32_t* colours, int32_t n) { writeFullWeight(p, colours, n, keepAlpha); });
}

bool convolve5x5Masked(const SFlt4Context* ctx, const int32_t weights[25], SRectXYWH window, int32_t offset,
                       int32_t divisor) {
  if (!isValidContext(ctx) || divisor == 0 || weights == nullptr) return false;
  if (window.Width < 0 || window.Height < 0 || int64_t{window.Width} * window.Height > 25) return false;
  const TMTC& work = *ctx->workImage;
  const TRect src = workSourceRect(*ctx);
  SConvPlain plan;
  plan.taps = convTapsOf(weights, window, work.RowStep());
  plan.divisor = divisor;
  plan.offset = offset;
  const auto row = [&](int32_t y, int32_t left, int32_t n, uint32_t* colours, uint8_t* has, int) {
    convolveRow(
        window, src, y, left, n, colours, has,
        [&](int32_t x, uint32_t& colour) {
          return convolveAtPlain(colour, work, src, offset, divisor, window, weights, y, x);
        },
        [&](int32_t x, int32_t count, uint32_t* out) { convolvePlainRun(plan, work.pixelAt(x, y), count, out); });
  };
  // At full weight the colour blend is the colour with the pixel's own
  // alpha, as a write that keeps alpha makes it.
  return filterRowsInBands(
      *ctx, ctx->region, row, [](uint32_t* p, uint32_t colour, uint32_t weight) { lerpPixelRgb(p, colour, weight); },
      [](uint32_t* p, const uint32_t* colours, int32_t n) { writeFullWeight(p, colours, n, true); });
}

}  // namespace pg
