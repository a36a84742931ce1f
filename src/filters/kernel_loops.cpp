#include "filters/kernel_loops.h"

#include <algorithm>
#include <new>
#include <vector>

#include "brush/plot_merge.h"
#include "core/colour.h"
#include "core/parallel.h"
#include "core/saturate.h"

namespace pg {

namespace {

// One non-zero weight of a grid and where its pixel lies from the target.
struct STap {
  int32_t dx;
  int32_t dy;
  int32_t w;
  ptrdiff_t offset;  // dy * row step + dx, in pixels
};

std::vector<STap> tapsOf(const int32_t* weights, const SRectXYWH& window, ptrdiff_t rowStep) {
  std::vector<STap> taps;
  for (int32_t j = 0; j < window.Height; ++j)
    for (int32_t i = 0; i < window.Width; ++i) {
      const int32_t w = weights[static_cast<size_t>(j) * static_cast<size_t>(window.Width) + static_cast<size_t>(i)];
      if (w == 0) continue;
      const int32_t dx = window.X + i, dy = window.Y + j;
      taps.push_back({dx, dy, w, static_cast<ptrdiff_t>(dy) * rowStep + dx});
    }
  return taps;
}

// The window at (x, y) lies wholly inside r.
[[nodiscard]] inline bool windowInside(const SRectXYWH& w, int32_t x, int32_t y, const TRect& r) {
  return int64_t{x} + w.X >= r.Left && int64_t{y} + w.Y >= r.Top && int64_t{x} + w.X + w.Width <= r.Right &&
         int64_t{y} + w.Y + w.Height <= r.Bottom;
}

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

// The finishing step of the alpha-weighted convolution.
inline uint32_t finishWeighted(int64_t sB, int64_t sG, int64_t sR, int64_t sAW, int64_t sW, int32_t offset,
                               uint32_t fallback) {
  if (sAW != 0 && sW != 0) {
    return saturateByte(sB / sAW + offset) | (saturateByte(sG / sAW + offset) << 8) |
           (saturateByte(sR / sAW + offset) << 16) | (saturateByte(sAW / sW + offset) << 24);
  }
  uint32_t out = 0;
  for (int i = 0; i < 4; ++i) out |= saturateByte(int64_t{pixelByte(fallback, i)} + offset) << (8 * i);
  return out;
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
  out = saturateByte(sB / divisor + offset) | (saturateByte(sG / divisor + offset) << 8) |
        (saturateByte(sR / divisor + offset) << 16);
  return true;
}

namespace {

// Runs a filter whose every pixel depends on the work image alone: the rows
// of a band are computed on every core (compute(x, y, out) answers false for
// a pixel to leave as it is), then this thread writes the band's selected
// pixels into the layer (write(p, colour, weight)). Each pixel is computed
// the same way on any thread, so the bytes never depend on the thread count.
template <typename Compute, typename Write>
[[nodiscard]] bool filterInBands(const SFlt4Context& ctx, Compute&& compute, Write&& write) {
  TRect region = ctx.region;
  if (!ctx.image->clipRect(region)) return true;
  constexpr int32_t kBandRows = 32;
  const int32_t left = region.Left, rw = region.Right - region.Left;
  std::vector<uint32_t> colours;
  std::vector<uint8_t> has;
  try {
    colours.assign(static_cast<size_t>(rw) * kBandRows, 0);
    has.assign(static_cast<size_t>(rw) * kBandRows, 0);
  } catch (const std::bad_alloc&) {
    return false;
  }
  for (int32_t y0 = region.Top; y0 < region.Bottom; y0 += kBandRows) {
    const int32_t rows = std::min(kBandRows, region.Bottom - y0);
    const bool ran = parallelFor(rows, [&](int64_t r, int) {
      const size_t at = static_cast<size_t>(r) * static_cast<size_t>(rw);
      const int32_t y = y0 + static_cast<int32_t>(r);
      for (int32_t i = 0; i < rw; ++i)
        has[at + size_t(i)] = compute(left + i, y, colours[at + size_t(i)]) ? 1 : 0;
    });
    if (!ran) return false;
    const bool ok = forEachSelectedPixel(ctx, TRect{left, y0, region.Right, y0 + rows},
                                         [&](int32_t x, int32_t y, uint32_t* p, uint32_t weight) {
                                           const size_t i = static_cast<size_t>(y - y0) * static_cast<size_t>(rw) +
                                                            static_cast<size_t>(x - left);
                                           if (has[i] != 0) write(p, colours[i], weight);
                                         });
    if (!ok) return false;
  }
  return true;
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
  const std::vector<STap> taps = tapsOf(trimmed.data(), tw, work.RowStep());
  const auto compute = [&](int32_t x, int32_t y, uint32_t& colour) {
    if (!windowInside(tw, x, y, src)) return convolveAt(colour, work, src, offset, trimmed.data(), tw, y, x);
    // Inside: no edge replication, the taps read straight from the plane.
    const uint32_t* centre = work.pixelAt(x, y);
    int64_t sB = 0, sG = 0, sR = 0, sAW = 0, sW = 0;
    for (const STap& t : taps) {
      const uint32_t q = centre[t.offset];
      const int64_t aw = int64_t{pixelAlpha(q)} * t.w;
      sB += pixelByte(q, 0) * aw;
      sG += pixelByte(q, 1) * aw;
      sR += pixelByte(q, 2) * aw;
      sAW += aw;
      sW += t.w;
    }
    // The fallback pixel is the target moved into the window (a trimmed
    // window need not hold the target itself).
    const uint32_t own = (sAW != 0 && sW != 0) ? 0u
                         : work.getPixel(clampTo(x, x + tw.X, x + tw.X + tw.Width),
                                         clampTo(y, y + tw.Y, y + tw.Y + tw.Height));
    colour = finishWeighted(sB, sG, sR, sAW, sW, offset, own);
    return true;
  };
  return filterInBands(*ctx, compute,
                       [&](uint32_t* p, uint32_t colour, uint32_t weight) { writeWeighted(p, colour, weight, keepAlpha); });
}

bool convolve5x5Masked(const SFlt4Context* ctx, const int32_t weights[25], SRectXYWH window, int32_t offset,
                       int32_t divisor) {
  if (!isValidContext(ctx) || divisor == 0 || weights == nullptr) return false;
  if (window.Width < 0 || window.Height < 0 || int64_t{window.Width} * window.Height > 25) return false;
  const TMTC& work = *ctx->workImage;
  const TRect src = workSourceRect(*ctx);
  const std::vector<STap> taps = tapsOf(weights, window, work.RowStep());
  const auto compute = [&](int32_t x, int32_t y, uint32_t& colour) {
    if (!windowInside(window, x, y, src))
      return convolveAtPlain(colour, work, src, offset, divisor, window, weights, y, x);
    const uint32_t* centre = work.pixelAt(x, y);
    int64_t sB = 0, sG = 0, sR = 0;
    for (const STap& t : taps) {
      const uint32_t q = centre[t.offset];
      sB += int64_t{pixelByte(q, 0)} * t.w;
      sG += int64_t{pixelByte(q, 1)} * t.w;
      sR += int64_t{pixelByte(q, 2)} * t.w;
    }
    colour = saturateByte(sB / divisor + offset) | (saturateByte(sG / divisor + offset) << 8) |
             (saturateByte(sR / divisor + offset) << 16);
    return true;
  };
  return filterInBands(*ctx, compute,
                       [](uint32_t* p, uint32_t colour, uint32_t weight) { lerpPixelRgb(p, colour, weight); });
}

}  // namespace pg
