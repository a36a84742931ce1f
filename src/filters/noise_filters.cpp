#include "filters/noise_filters.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <numbers>

#include "core/det_math.h"
#include "core/saturate.h"
#include "filters/filter_random.h"
#include "filters/kernel_context.h"
#include "filters/record_bytes.h"
#include "filters/samplers.h"

namespace pg {

namespace {

// Calls draw(x) for the columns [from, to) of a row and, for the columns of
// the region among them, write(x, pixel address, weight) for the selected
// ones, in column order: each pixel's draws come before its write.
template <class Draw, class Write>
[[nodiscard]] bool walkRow(const SFlt4Context& ctx, int32_t y, int32_t from, int32_t to, Draw&& draw, Write&& write) {
  const bool inRegion = y >= ctx.region.Top && y < ctx.region.Bottom;
  int32_t x = from;
  const int32_t left = inRegion ? std::clamp(ctx.region.Left, from, to) : to;
  const int32_t right = inRegion ? std::clamp(ctx.region.Right, left, to) : to;
  for (; x < left; ++x) draw(x);
  uint8_t weights[CBlockVMTC::kEdge];
  while (x < right) {
    const int32_t n = std::min(CBlockVMTC::kEdge - (x & (CBlockVMTC::kEdge - 1)), right - x);
    uint32_t* row = nullptr;
    if (selectionSpan(ctx, x, y, n, weights) && (row = ctx.image->pixelPtr(x, y)) == nullptr) return false;
    for (int32_t i = 0; i < n; ++i) {
      draw(x + i);
      if (weights[i] != 0) write(x + i, row + i, static_cast<uint32_t>(weights[i]));
    }
    x += n;
  }
  for (; x < to; ++x) draw(x);
  return true;
}

void noiseFields(CByteCursor& c, SFltNoise& r) { c.field(r.amount).field(r.mono).field(r.seed).zeros(4); }

void diffuseFields(CByteCursor& c, SFltDiffuse& r) {
  c.field(r.range).field(r.mode).field(r.seed).field(r.radial).zeros(1).field(r.protect).zeros(1);
}

void mosaicFields(CByteCursor& c, SFltMosaic& r) { c.field(r.size).field(r.protect); }

}  // namespace

// ------------------------------------------------------------------- noise

bool readNoiseRecord(const void* param, int32_t size, SFltNoise& out) {
  return readFilterRecord(param, size, kNoiseRecordSize, out, noiseFields);
}

void writeNoiseRecord(const SFltNoise& rec, uint8_t out[kNoiseRecordSize]) {
  // The span is the record's own size: the fields always fit.
  (void)writeRecord(out, kNoiseRecordSize, rec, noiseFields);
}

bool noise(const SFlt4Context& ctx, const SFltNoise& rec) {
  if (!isValidContext(&ctx)) return false;
  const int32_t amount = std::clamp(rec.amount, 0, kNoiseMaxAmount);
  const uint32_t bound = static_cast<uint32_t>(2 * amount);
  const bool mono = rec.mono != 0;
  const TMTC& src = *ctx.workImage;
  setFilterRandomState(rec.seed);
  int32_t vr = 0, vg = 0, vb = 0;
  const auto draw = [&](int32_t) {
    vr = static_cast<int32_t>(filterRandom(bound)) - amount;
    if (mono) {
      vg = vb = vr;
    } else {
      vg = static_cast<int32_t>(filterRandom(bound)) - amount;
      vb = static_cast<int32_t>(filterRandom(bound)) - amount;
    }
  };
  for (int32_t y = ctx.bounds.Top; y < ctx.region.Bottom; ++y) {
    const bool ok = walkRow(ctx, y, ctx.bounds.Left, ctx.bounds.Right, draw, [&](int32_t x, uint32_t* p, uint32_t w) {
      const uint32_t c = src.getPixel(x, y);
      const uint32_t out = saturateByte(static_cast<int32_t>(pixelByte(c, 0)) + vb) |
                           (saturateByte(static_cast<int32_t>(pixelByte(c, 1)) + vg) << 8) |
                           (saturateByte(static_cast<int32_t>(pixelByte(c, 2)) + vr) << 16);
      lerpPixelRgb(p, out, w);
    });
    if (!ok) return false;
  }
  return true;
}

bool noiseKernel(const SFlt4Context* ctx, const void* param, int32_t size) {
  return recordKernel<SFltNoise, readNoiseRecord, noise>(ctx, param, size);
}

// ----------------------------------------------------------------- diffuse

bool readDiffuseRecord(const void* param, int32_t size, SFltDiffuse& out) {
  return readFilterRecord(param, size, kDiffuseRecordSize, out, diffuseFields);
}

void writeDiffuseRecord(const SFltDiffuse& rec, uint8_t out[kDiffuseRecordSize]) {
  (void)writeRecord(out, kDiffuseRecordSize, rec, diffuseFields);  // always fits, as above
}

namespace {

// Per byte the smaller (darker) or larger (lighter) of sample and pixel.
inline uint32_t combineBytes(uint32_t sample, uint32_t pixel, int32_t mode) {
  if (mode == 0) return sample;
  uint32_t out = 0;
  for (int i = 0; i < 4; ++i) {
    const uint32_t s = pixelByte(sample, i), d = pixelByte(pixel, i);
    out |= (mode == 1 ? std::min(s, d) : std::max(s, d)) << (8 * i);
  }
  return out;
}

// cos and sin of whole degrees 0..359.
struct SDegreeTable {
  std::array<double, 360> cosine{}, sine{};
  SDegreeTable() {
    for (int i = 0; i < 360; ++i) {
      const double a = i * std::numbers::pi / 180.0;
      cosine[static_cast<size_t>(i)] = dmath::cos(a);
      sine[static_cast<size_t>(i)] = dmath::sin(a);
    }
  }
};

}  // namespace

bool diffuse(const SFlt4Context& ctx, const SFltDiffuse& rec) {
  if (!isValidContext(&ctx) || rec.mode < 0 || rec.mode > 2) return false;
  if ((rec.protect != 0) != (ctx.protectAlpha != 0)) return false;
  const int32_t range = std::clamp(rec.range, 1, kDiffuseMaxRange);
  const bool keep = ctx.protectAlpha != 0;
  const TMTC& src = *ctx.workImage;
  const int32_t w = ctx.image->width(), h = ctx.image->height();
  setFilterRandomState(rec.seed);
  // The draws of every pixel of the work rectangle from its top row to the
  // region's last row, the right of the region included, so that a preview
  // of a part shows what the whole run writes there.
  if (rec.radial == 0) {
    const uint32_t bound = static_cast<uint32_t>(2 * range + 1);
    int32_t ox = 0, oy = 0;
    const auto draw = [&](int32_t) {
      ox = static_cast<int32_t>(filterRandom(bound)) - range;
      oy = static_cast<int32_t>(filterRandom(bound)) - range;
    };
    for (int32_t y = ctx.bounds.Top; y < ctx.region.Bottom; ++y) {
      const bool ok = walkRow(ctx, y, ctx.bounds.Left, ctx.bounds.Right, draw, [&](int32_t x, uint32_t* p, uint32_t wt) {
        TPoint s{x + ox, y + oy};
        clampPointToSize(s, {w, h});
        writeWeighted(p, combineBytes(src.getPixel(s.X, s.Y), src.getPixel(x, y), rec.mode), wt, keep);
      });
      if (!ok) return false;
    }
    return true;
  }
  static const SDegreeTable degrees;
  const uint32_t distanceBound = static_cast<uint32_t>(range) * 65536u + 1u;
  const int32_t maxX = (w - 1) * 65536, maxY = (h - 1) * 65536;
  uint32_t d = 0, angle = 0;
  const auto draw = [&](int32_t) {
    d = filterRandom(distanceBound);
    angle = filterRandom(360);
  };
  for (int32_t y = ctx.bounds.Top; y < ctx.region.Bottom; ++y) {
    const bool ok = walkRow(ctx, y, ctx.bounds.Left, ctx.bounds.Right, draw, [&](int32_t x, uint32_t* p, uint32_t wt) {
      const double dd = d;
      const int32_t sx = x * 65536 + 32768 + static_cast<int32_t>(std::trunc(degrees.cosine[angle] * dd));
      const int32_t sy = y * 65536 + 32768 + static_cast<int32_t>(std::trunc(degrees.sine[angle] * dd));
      const uint32_t sample = bilinearClampEdgeSat(src, std::clamp(sx, 0, maxX), std::clamp(sy, 0, maxY));
      writeWeighted(p, combineBytes(sample, src.getPixel(x, y), rec.mode), wt, keep);
    });
    if (!ok) return false;
  }
  return true;
}

bool diffuseKernel(const SFlt4Context* ctx, const void* param, int32_t size) {
  return recordKernel<SFltDiffuse, readDiffuseRecord, diffuse>(ctx, param, size);
}

// ------------------------------------------------------------------ mosaic

bool readMosaicRecord(const void* param, int32_t size, SFltMosaic& out) {
  return readFilterRecord(param, size, kMosaicRecordSize, out, mosaicFields);
}

void writeMosaicRecord(const SFltMosaic& rec, uint8_t out[kMosaicRecordSize]) {
  (void)writeRecord(out, kMosaicRecordSize, rec, mosaicFields);  // always fits, as above
}

bool mosaic(const SFlt4Context& ctx, const SFltMosaic& rec) {
  // A cell size below 2 would divide by zero or keep every pixel.
  if (!isValidContext(&ctx) || rec.size < 2) return false;
  const bool keep = rec.protect != 0 || ctx.protectAlpha != 0;
  const int64_t n = rec.size;
  const TRect& work = ctx.bounds;
  const TMTC& src = *ctx.workImage;
  // Only the cells that meet the region write anything.
  const int64_t top = std::max<int64_t>(work.Top, ctx.region.Top) / n;
  const int64_t bottom = (std::min<int64_t>(work.Bottom, ctx.region.Bottom) - 1) / n;
  const int64_t left = std::max<int64_t>(work.Left, ctx.region.Left) / n;
  const int64_t right = (std::min<int64_t>(work.Right, ctx.region.Right) - 1) / n;
  for (int64_t cy = top; cy <= bottom; ++cy)
    for (int64_t cx = left; cx <= right; ++cx) {
      const TRect cell{static_cast<int32_t>(cx * n), static_cast<int32_t>(cy * n),
                       static_cast<int32_t>(std::min<int64_t>(cx * n + n, work.Right)),
                       static_cast<int32_t>(std::min<int64_t>(cy * n + n, work.Bottom))};
      const uint32_t colour = averageColour(src, cell);
      TRect target = cell;
      if (!intersectRect(target, ctx.region)) continue;
      const bool ok = forEachSelectedPixel(ctx, target, [&](int32_t, int32_t, uint32_t* p, uint32_t w) {
        writeWeighted(p, colour, w, keep);
      });
      if (!ok) return false;
    }
  return true;
}

bool mosaicKernel(const SFlt4Context* ctx, const void* param, int32_t size) {
  return recordKernel<SFltMosaic, readMosaicRecord, mosaic>(ctx, param, size);
}

}  // namespace pg
