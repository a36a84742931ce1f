#include "filters/rotate_scale_filter.h"

#include <algorithm>
#include <cmath>
#include <numbers>

#include "core/area_scale.h"
#include "core/det_math.h"
#include "core/fixed_point.h"
#include "core/saturate.h"
#include "filters/filter_params.h"
#include "filters/filter_resampler.h"
#include "filters/flip_filters.h"
#include "filters/kernel_context.h"
#include "filters/kernel_loops.h"
#include "filters/samplers.h"

namespace pg {

SFltRotate SFltRotate::read(const uint8_t* p) {
  SFltRotate r;
  r.Angle = readRecF32(p);
  r.ProtectAlpha = p[4];
  r.Method = p[5];
  r.Reserved = {p[6], p[7]};
  return r;
}

void SFltRotate::write(uint8_t* out) const {
  writeRecF32(out, Angle);
  out[4] = ProtectAlpha;
  out[5] = Method;
  out[6] = Reserved[0];
  out[7] = Reserved[1];
}

SFltScale SFltScale::read(const uint8_t* p) {
  SFltScale r;
  r.NewWidth = readRecI32(p);
  r.NewHeight = readRecI32(p + 4);
  r.ProtectAlpha = p[8];
  r.Method = p[9];
  for (size_t i = 0; i < r.Reserved.size(); ++i) r.Reserved[i] = p[10 + i];
  return r;
}

void SFltScale::write(uint8_t* out) const {
  writeRecI32(out, NewWidth);
  writeRecI32(out + 4, NewHeight);
  out[8] = ProtectAlpha;
  out[9] = Method;
  for (size_t i = 0; i < Reserved.size(); ++i) out[10 + i] = Reserved[i];
}

namespace {

// (a * b) >> 16 without narrowing.
int64_t mul16(int64_t a, int64_t b) { return (a * b) >> 16; }

TRect fixRect(const TRect& r) { return {r.Left << 16, r.Top << 16, r.Right << 16, r.Bottom << 16}; }

// The centre of the bounds in 16.16: left + (right - left) / 2 rounded.
int32_t centreFix(int32_t lo, int32_t hi) {
  return floatToFix(static_cast<float>(lo) + static_cast<float>(hi - lo) / 2.0f);
}

[[nodiscard]] bool sameProtect(const SFlt4Context& ctx, uint8_t recorded) { return (recorded != 0) == (ctx.protectAlpha != 0); }

// How a sample is mixed with the background by the part of its box that lies
// inside: the colour bytes where alpha is protected, the alpha otherwise.
PartialProc partialFor(const SFlt4Context& ctx) { return ctx.protectAlpha != 0 ? &mixColours : &scaleAlpha; }

}  // namespace

bool rotate4Kernel(const SFlt4Context* ctx, const void* param, int32_t size) {
  SFltRotate rec;
  if (!isValidContext(ctx) || !readFltRecord(param, size, rec)) return false;
  // An angle that is not a number turns nothing.
  const float angle = std::isfinite(rec.Angle) ? rec.Angle : 0.0f;
  const float a = angle - std::trunc(angle / 360.0f) * 360.0f;
  if (a == 0.0f) return copyWorkToLayerMasked(ctx, false);
  if (std::fabs(a) == 180.0f) return rotate1804Kernel(ctx, nullptr, 0);
  if (!sameProtect(*ctx, rec.ProtectAlpha)) return false;

  const double theta = -(static_cast<double>(a) * std::numbers::pi / 180.0);
  const int32_t c = floatToFix(static_cast<float>(dmath::cos(theta)));
  const int32_t s = floatToFix(static_cast<float>(dmath::sin(theta)));
  const TRect& b = ctx->bounds;
  const int32_t cx = centreFix(b.Left, b.Right), cy = centreFix(b.Top, b.Bottom);
  const bool keepAlpha = ctx->protectAlpha != 0;

  if (rec.Method != 0) {
    const CScaleImageFilter sampler(*ctx, 0, 0);
    return forEachSelectedPixel(*ctx, ctx->region, [&](int32_t x, int32_t y, uint32_t* pixel, uint32_t weight) {
      const int64_t dx = (int64_t{x} << 16) + 0x8000 - cx, dy = (int64_t{y} << 16) + 0x8000 - cy;
      uint32_t colour;
      sampler.samplePoint(colour, saturateTo<int32_t>(mul16(dx, c) - mul16(dy, s) + cx), saturateTo<int32_t>(mul16(dx, s) + mul16(dy, c) + cy));
      writeWeighted(pixel, colour, weight, keepAlpha);
    });
  }
  const CScaleImageTMTC sampler(*ctx->workImage, nullptr);
  const uint32_t background = filterBackground(*ctx);
  const PartialProc partial = partialFor(*ctx);
  const TRect bounds = fixRect(b);
  return forEachSelectedPixel(*ctx, ctx->region, [&](int32_t x, int32_t y, uint32_t* pixel, uint32_t weight) {
    const int64_t dx = (int64_t{x} << 16) + 0x8000 - cx, dy = (int64_t{y} << 16) + 0x8000 - cy;
    uint32_t colour;
    samplePointFallback(colour, background, sampler, partial, bounds, saturateTo<int32_t>(mul16(dx, c) - mul16(dy, s) + cx),
                        saturateTo<int32_t>(mul16(dx, s) + mul16(dy, c) + cy));
    writeWeighted(pixel, colour, weight, keepAlpha);
  });
}

namespace {

// One axis of the scale: the source span [lo, hi) of destination pixel
// offset d (16.16, from the centre), factor f, centre c.
void scaleSpan(int64_t d, int32_t f, int32_t c, int64_t& lo, int64_t& hi) {
  if (std::abs(int64_t{f}) < 0x10000) {  // enlarging: one source pixel around the mapped centre
    lo = mul16(d + 0x8000, f) + c - 0x8000;
    hi = lo + 0x10000;
  } else {
    lo = mul16(d, f) + c;
    hi = mul16(d + 0x10000, f) + c;
  }
  if (lo > hi) std::swap(lo, hi);  // a negative factor mirrors
}

}  // namespace

bool scale4Kernel(const SFlt4Context* ctx, const void* param, int32_t size) {
  SFltScale rec;
  if (!isValidContext(ctx) || !readFltRecord(param, size, rec)) return false;
  if (!sameProtect(*ctx, rec.ProtectAlpha)) return false;
  const TRect& b = ctx->bounds;
  const int32_t nw = rec.NewWidth, nh = rec.NewHeight;
  if (nw == 0 || nh == 0) return clearRegionMasked(ctx, false);

  const bool current = rec.Method != 0;
  // The earlier method compares with the whole layer image.
  const int32_t w = current ? b.Right - b.Left : ctx->image->width();
  const int32_t h = current ? b.Bottom - b.Top : ctx->image->height();
  if (nh == h && nw == w) return copyWorkToLayerMasked(ctx, false);
  if (nh == h && nw == -w) return flipHorizontal4Kernel(ctx, nullptr, 0);
  if (nh == -h && nw == w) return flipVertical4Kernel(ctx, nullptr, 0);
  if (nh == -h && nw == -w) return rotate1804Kernel(ctx, nullptr, 0);

  // The earlier method's factors use the bounds' right and bottom edges.
  const float spanX = current ? static_cast<float>(b.Right - b.Left) : static_cast<float>(b.Right);
  const float spanY = current ? static_cast<float>(b.Bottom - b.Top) : static_cast<float>(b.Bottom);
  const int32_t fx = floatToFix(spanX / static_cast<float>(nw)), fy = floatToFix(spanY / static_cast<float>(nh));
  const int64_t hx = int64_t{floatToFix(std::fabs(static_cast<float>(nw) / 2.0f))} + 0x8000;
  const int64_t hy = int64_t{floatToFix(std::fabs(static_cast<float>(nh) / 2.0f))} + 0x8000;
  const int32_t cx = centreFix(b.Left, b.Right), cy = centreFix(b.Top, b.Bottom);
  const bool keepAlpha = ctx->protectAlpha != 0;
  const uint32_t background = filterBackground(*ctx);
  const TMTC& work = *ctx->workImage;

  const CScaleImageFilter sampler(*ctx, 0, 0);
  const CScaleImageTMTC earlier(work, nullptr);
  const PartialProc partial = partialFor(*ctx);
  const TRect bounds = fixRect(b);

  int32_t rowY = INT32_MIN;
  bool rowInside = false;
  int64_t y0 = 0, y1 = 0;
  return forEachSelectedPixel(*ctx, ctx->region, [&](int32_t x, int32_t y, uint32_t* pixel, uint32_t weight) {
    if (y != rowY) {
      rowY = y;
      const int64_t dy = (int64_t{y} << 16) - cy;
      rowInside = dy >= -hy && dy < hy;
      if (rowInside) scaleSpan(dy, fy, cy, y0, y1);
    }
    const int64_t dx = (int64_t{x} << 16) - cx;
    uint32_t colour;
    if (!rowInside || dx < -hx || dx >= hx) {
      // Outside the scaled rectangle: the pixel mixed with the background at
      // fraction 0, which leaves the background colour where alpha is
      // protected and the pixel's colour at alpha 0 otherwise.
      colour = work.getPixel(x, y);
      partial(colour, background, 0.0);
    } else {
      int64_t x0, x1;
      scaleSpan(dx, fx, cx, x0, x1);
      if (current)
        sampler.sampleBox(colour, saturateTo<int32_t>(x0), saturateTo<int32_t>(y0), saturateTo<int32_t>(x1), saturateTo<int32_t>(y1));
      else
        sampleBoxFallback(colour, background, earlier, partial, bounds,
                          TRect{saturateTo<int32_t>(x0), saturateTo<int32_t>(y0), saturateTo<int32_t>(x1), saturateTo<int32_t>(y1)});
    }
    writeWeighted(pixel, colour, weight, keepAlpha);
  });
}

}  // namespace pg
