#include "filters/stylize_filters.h"

#include <algorithm>
#include <cmath>
#include <numbers>

#include "core/byte_cursor.h"
#include "core/det_math.h"
#include "core/fixed_point.h"
#include "core/plane_ops.h"
#include "filters/kernel_context.h"
#include "filters/record_bytes.h"
#include "filters/samplers.h"

namespace pg {

namespace {

inline double radians(double degrees) { return degrees * std::numbers::pi / 180.0; }

inline uint32_t clampByteD(double v) { return v <= 0 ? 0u : (v >= 255 ? 255u : static_cast<uint32_t>(v)); }

}  // namespace

// --------------------------------------------------------- colour halftone

namespace {

void colorHalftoneFields(CByteCursor& c, SFltColorHalftone& r) {
  c.field(r.diameter).field(r.angleR).field(r.angleG).field(r.angleB);
}

void embossFields(CByteCursor& c, SFltEmboss& r) { c.field(r.angle).field(r.height).field(r.amount).zeros(4); }

}  // namespace

bool readColorHalftoneRecord(const void* param, int32_t size, SFltColorHalftone& out) {
  return readFilterRecord(param, size, kColorHalftoneRecordSize, out, colorHalftoneFields);
}

void writeColorHalftoneRecord(const SFltColorHalftone& rec, uint8_t out[kColorHalftoneRecordSize]) {
  // The span is the record's own size: the fields always fit.
  (void)writeRecord(out, kColorHalftoneRecordSize, rec, colorHalftoneFields);
}

namespace {

// One channel's dots drawn into the screen plane (which covers the region).
struct SHalftoneScreen {
  const SFlt4Context& ctx;
  TMTC& screen;
  double diameter;
  int channel;  // 0 blue, 1 green, 2 red

  void dot(double cx, double cy) const {
    const double d = diameter;
    TRect box{saturateToInt32(std::trunc(cx - d)), saturateToInt32(std::trunc(cy - d)),
              saturateToInt32(std::ceil(cx + d)), saturateToInt32(std::ceil(cy + d))};
    if (!intersectRect(box, ctx.bounds)) return;
    TRect target = box;
    if (!intersectRect(target, ctx.region)) return;  // nothing of it is written
    const int64_t ink = 255 - static_cast<int64_t>(pixelByte(averageColour(*ctx.workImage, box), channel));
    const int64_t reach = static_cast<int64_t>(d) * ink;
    const int shift = 8 * channel;
    for (int32_t y = target.Top; y < target.Bottom; ++y) {
      const double dy = std::abs(y - cy) - 0.5;
      uint32_t* row = screen.pixelAt(target.Left - ctx.region.Left, y - ctx.region.Top);
      for (int32_t x = target.Left; x < target.Right; ++x, ++row) {
        const double dx = std::abs(x - cx) - 0.5;
        const int64_t dist = roundToInt32(std::sqrt(dx * dx + dy * dy) * 255.0);
        const int64_t take = std::clamp<int64_t>(reach - dist, 0, 255);
        const int64_t byte = (*row >> shift) & 0xFFu;
        const uint32_t left = static_cast<uint32_t>(std::max<int64_t>(0, byte - take));
        *row = (*row & ~(0xFFu << shift)) | (left << shift);
      }
    }
  }
};

}  // namespace

bool colorHalftone(const SFlt4Context& ctx, const SFltColorHalftone& rec) {
  // A diameter below the dialog's 3 would divide by zero (0) or draw nothing sensible.
  if (!isValidContext(&ctx) || rec.diameter < 3) return false;
  const TRect& r = ctx.region;
  TMTC screen(r.Right - r.Left, r.Bottom - r.Top);
  if (!isPlaneReady(&screen)) return false;
  fill(screen, 0xFFFFFFFFu);
  const TRect& work = ctx.bounds;
  const double w = work.Right - work.Left, h = work.Bottom - work.Top;
  const double centreX = work.Left + w / 2, centreY = work.Top + h / 2;
  const double d = rec.diameter;
  const int64_t n = static_cast<int64_t>(std::ceil(std::sqrt(w * w + h * h) * std::numbers::sqrt2 / d)) + 1;
  const int32_t angles[3] = {rec.angleB, rec.angleG, rec.angleR};
  for (int channel = 0; channel < 3; ++channel) {
    int32_t theta = angles[channel] % 360;  // the remainder keeps the sign
    if (theta < 0) theta += 90;
    double vx[4], vy[4];
    for (int k = 0; k < 4; ++k) {
      vx[k] = std::numbers::sqrt2 * d * dmath::cos(radians(theta + 90.0 * k));
      vy[k] = std::numbers::sqrt2 * d * dmath::sin(radians(theta + 90.0 * k));
    }
    const SHalftoneScreen painter{ctx, screen, d, channel};
    double x = centreX, y = centreY;
    for (int64_t s = 0; s <= n; ++s) {
      const int k = static_cast<int>(s % 4);
      for (int64_t step = 0, steps = s / 2 + 1; step < steps; ++step) {
        painter.dot(x, y);
        x += vx[k];
        y += vy[k];
      }
    }
  }
  return forEachSelectedPixel(ctx, r, [&](int32_t x, int32_t y, uint32_t* p, uint32_t weight) {
    lerpPixelRgb(p, screen.getPixel(x - r.Left, y - r.Top), weight);
  });
}

bool colorHalftoneKernel(const SFlt4Context* ctx, const void* param, int32_t size) {
  return recordKernel<SFltColorHalftone, readColorHalftoneRecord, colorHalftone>(ctx, param, size);
}

// ------------------------------------------------------------------ emboss

bool readEmbossRecord(const void* param, int32_t size, SFltEmboss& out) {
  return readFilterRecord(param, size, kEmbossRecordSize, out, embossFields);
}

void writeEmbossRecord(const SFltEmboss& rec, uint8_t out[kEmbossRecordSize]) {
  (void)writeRecord(out, kEmbossRecordSize, rec, embossFields);  // always fits, as above
}

bool emboss(const SFlt4Context& ctx, const SFltEmboss& rec) {
  if (!isValidContext(&ctx)) return false;
  const double a = rec.amount / 100.0;
  const double half = static_cast<double>(rec.height) / 2 * 65536.0;
  int64_t dx[2], dy[2];  // 64 bits: a hostile height saturates the rounding
  for (int i = 0; i < 2; ++i) {
    const double phi = radians(static_cast<double>((int64_t{rec.angle} + 180 * i) % 360));
    dx[i] = int64_t{roundToInt32(dmath::cos(phi) * half)} + 32768;
    dy[i] = int64_t{roundToInt32(dmath::sin(phi) * half)} + 32768;
  }
  const TMTC& src = *ctx.workImage;
  const int32_t w = ctx.image->width(), h = ctx.image->height();
  const auto fetch = [&src](int32_t x, int32_t y) { return src.getPixel(x, y); };
  const auto point = [](int64_t v, int32_t size) {
    return static_cast<int32_t>(std::clamp<int64_t>(v, 0, int64_t{size} * 65536 - 1));
  };
  return forEachSelectedPixel(ctx, ctx.region, [&](int32_t x, int32_t y, uint32_t* p, uint32_t weight) {
    const int64_t px = int64_t{x} * 65536, py = int64_t{y} * 65536;
    const uint32_t s0 = bilinearClampEdgeFetch<true>(fetch, w, h, point(px + dx[0], w), point(py + dy[0], h));
    const uint32_t s1 = bilinearClampEdgeFetch<true>(fetch, w, h, point(px + dx[1], w), point(py + dy[1], h));
    uint32_t out = 0;
    for (int i = 0; i < 3; ++i) {
      const double diff = static_cast<double>(pixelByte(s0, i)) - static_cast<double>(pixelByte(s1, i));
      out |= clampByteD(std::trunc(diff * a + 127.5)) << (8 * i);
    }
    lerpPixelRgb(p, out, weight);
  });
}

bool embossKernel(const SFlt4Context* ctx, const void* param, int32_t size) {
  return recordKernel<SFltEmboss, readEmbossRecord, emboss>(ctx, param, size);
}

// -------------------------------------------------------------- find edges

bool findEdgesKernel(const SFlt4Context* ctx, const void*, int32_t size) {
  if (size != 0 || !isValidContext(ctx)) return false;
  static constexpr int32_t kDx[8] = {-1, 0, 1, -1, 1, -1, 0, 1};
  static constexpr int32_t kDy[8] = {-1, -1, -1, 0, 0, 1, 1, 1};
  static constexpr int32_t kWeight[8] = {2, 3, 2, 3, 3, 2, 3, 2};
  const TMTC& src = *ctx->workImage;
  const int32_t w = ctx->image->width(), h = ctx->image->height();
  return forEachSelectedPixel(*ctx, ctx->region, [&](int32_t x, int32_t y, uint32_t* p, uint32_t weight) {
    const uint32_t c = src.getPixel(x, y);
    int32_t s[3] = {0, 0, 0};
    for (int k = 0; k < 8; ++k) {
      const uint32_t q = src.getPixel(std::clamp(x + kDx[k], 0, w - 1), std::clamp(y + kDy[k], 0, h - 1));
      for (int i = 0; i < 3; ++i)
        s[i] += kWeight[k] * std::abs(static_cast<int32_t>(pixelByte(c, i)) - static_cast<int32_t>(pixelByte(q, i)));
    }
    uint32_t out = 0;
    for (int i = 0; i < 3; ++i) out |= static_cast<uint32_t>(std::clamp(255 - s[i] / 5, 0, 255)) << (8 * i);
    lerpPixelRgb(p, out, weight);
  });
}

}  // namespace pg
