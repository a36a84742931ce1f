#include "filters/flip_filters.h"

#include <algorithm>

#include "core/planes.h"
#include "filters/kernel_context.h"

namespace pg {

bool maskAlphaByCoverage(TMTC* plane, TPoint origin, const SFlt4Context* ctx, const TRect* rect) {
  if (!isValidContext(ctx) || plane == nullptr || !hasPixels(*plane)) return false;
  TRect r = rect != nullptr ? *rect : ctx->region;
  if (!intersectRect(r, TRect{origin.X, origin.Y, origin.X + plane->Width, origin.Y + plane->Height})) return true;
  uint8_t weights[64];
  for (int32_t y = r.Top; y < r.Bottom; ++y) {
    uint32_t* row = plane->pixelAt(0, y - origin.Y) - origin.X;
    for (int32_t x = r.Left; x < r.Right; x += 64) {
      const int32_t n = std::min(64, r.Right - x);
      (void)selectionSpan(*ctx, x, y, n, weights);  // every weight is applied, zero or not
      for (int32_t i = 0; i < n; ++i) {
        uint32_t& p = row[x + i];
        const uint64_t a = (uint64_t{p >> 24} * weights[i]) / 255;
        p = (p & 0x00FFFFFFu) | (static_cast<uint32_t>(a) << 24);
      }
    }
  }
  return true;
}

namespace {

// The common run: the bounds of the unfiltered pixels copied, masked by the
// selection, then read at the mirrored place of every selected pixel.
template <bool MirrorX, bool MirrorY>
[[nodiscard]] bool mirrorKernel(const SFlt4Context* ctx, int32_t size) {
  if (!isValidContext(ctx) || size != 0) return false;
  const TRect b = ctx->bounds;
  TMTC copy(b.Right - b.Left, b.Bottom - b.Top);
  if (!hasPixels(copy)) return false;
  const TMTC& work = *ctx->workImage;
  for (int32_t y = b.Top; y < b.Bottom; ++y)
    std::copy_n(work.pixelAt(b.Left, y), copy.Width, copy.pixelAt(0, y - b.Top));
  // The whole bounds, not only the region: a preview of part of the layer
  // must read the same mirrored pixels as the final run.
  if (!maskAlphaByCoverage(&copy, TPoint{b.Left, b.Top}, ctx, &b)) return false;
  const bool keepAlpha = ctx->protectAlpha != 0;
  return forEachSelectedPixel(*ctx, ctx->region, [&](int32_t x, int32_t y, uint32_t* pixel, uint32_t weight) {
    const int32_t sx = MirrorX ? b.Left + b.Right - 1 - x : x;
    const int32_t sy = MirrorY ? b.Top + b.Bottom - 1 - y : y;
    writeWeighted(pixel, copy.getPixel(sx - b.Left, sy - b.Top), weight, keepAlpha);
  });
}

}  // namespace

bool flipHorizontal4Kernel(const SFlt4Context* ctx, const void*, int32_t size) { return mirrorKernel<true, false>(ctx, size); }
bool flipVertical4Kernel(const SFlt4Context* ctx, const void*, int32_t size) { return mirrorKernel<false, true>(ctx, size); }
bool rotate1804Kernel(const SFlt4Context* ctx, const void*, int32_t size) { return mirrorKernel<true, true>(ctx, size); }

}  // namespace pg
