#include "filters/kernel_context.h"

#include <cstring>

#include "document/mask_data.h"

namespace pg {

uint32_t maskValueAll(const SFlt4Context&, int32_t, int32_t) { return 255; }

uint32_t maskValueOfSelection(const SFlt4Context& ctx, int32_t x, int32_t y) {
  if (ctx.selection == nullptr) return 0;
  const int64_t px = int64_t{x} - ctx.offsetX, py = int64_t{y} - ctx.offsetY;
  if (px < INT32_MIN || px > INT32_MAX || py < INT32_MIN || py > INT32_MAX) return 0;
  // The mask answers -1 outside its image: no weight there.
  const int32_t v = ctx.selection->valueAtPaper(static_cast<int32_t>(px), static_cast<int32_t>(py));
  return v <= 0 ? 0u : static_cast<uint32_t>(v > 255 ? 255 : v);
}

MaskValueProc maskValueFor(const CMaskData* selection) {
  return CMaskData::hasImage(selection) ? &maskValueOfSelection : &maskValueAll;
}

namespace {

[[nodiscard]] bool insideImage(const TRect& r, const CBlockVMTC& image) {
  return r.Left >= 0 && r.Top >= 0 && r.Right <= image.width() && r.Bottom <= image.height();
}

}  // namespace

bool isValidContext(const SFlt4Context* ctx) {
  if (ctx == nullptr || ctx->image == nullptr || ctx->selection == nullptr || ctx->source == nullptr ||
      ctx->workImage == nullptr || ctx->workChannel == nullptr || ctx->maskValue == nullptr)
    return false;
  if (rectArea(ctx->bounds) < 1 || rectArea(ctx->region) <= 0) return false;
  if (ctx->bounds.Right <= ctx->bounds.Left || ctx->region.Right <= ctx->region.Left) return false;
  const CBlockVMTC& image = *ctx->image;
  if (!image.isValid() || !ctx->source->isValid()) return false;
  if (!insideImage(ctx->bounds, image) || !insideImage(ctx->region, image)) return false;
  if (ctx->source->width() < image.width() || ctx->source->height() < image.height()) return false;
  const TMTC& work = *ctx->workImage;
  return work.IsAllocated() && work.Width >= image.width() && work.Height >= image.height();
}

bool selectionSpan(const SFlt4Context& ctx, int32_t x, int32_t y, int32_t n, uint8_t* out, bool* whole) {
  if (ctx.maskValue == &maskValueAll) {
    std::memset(out, 255, static_cast<size_t>(n));
    if (whole != nullptr) *whole = true;
    return n > 0;
  }
  uint32_t any = 0, all = 255;
  if (ctx.maskValue == &maskValueOfSelection && CMaskData::hasImage(ctx.selection)) {
    // The mask image read directly: mask x = document x + mask offset.
    const CBlockVCH& mask = *ctx.selection->image;
    const int64_t mx = int64_t{x} - ctx.offsetX + ctx.selection->offsetX;
    const int64_t my = int64_t{y} - ctx.offsetY + ctx.selection->offsetY;
    for (int32_t i = 0; i < n; ++i) {
      const int64_t px = mx + i;
      const uint8_t v = (px < 0 || my < 0 || px >= mask.width() || my >= mask.height())
                            ? uint8_t{0}
                            : mask.getPixel(static_cast<int32_t>(px), static_cast<int32_t>(my));
      out[i] = v;
      any |= v;
      all &= v;
    }
  } else {
    for (int32_t i = 0; i < n; ++i) {
      const uint32_t v = ctx.maskValue(ctx, x + i, y);
      out[i] = static_cast<uint8_t>(v > 255 ? 255 : v);
      any |= out[i];
      all &= out[i];
    }
  }
  if (whole != nullptr) *whole = n > 0 && all == 255;
  return any != 0;
}

}  // namespace pg
