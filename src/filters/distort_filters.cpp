#include "filters/distort_filters.h"

#include <algorithm>
#include <cmath>
#include <new>
#include <numbers>
#include <vector>

#include "core/area_scale.h"
#include "core/det_math.h"
#include "core/fixed_point.h"
#include "filters/filter_params.h"
#include "filters/kernel_context.h"
#include "filters/samplers.h"

namespace pg {

SFltPolar SFltPolar::read(const uint8_t* p) {
  SFltPolar r;
  r.Mode = p[0];
  r.ProtectAlpha = p[1];
  for (size_t i = 0; i < r.Reserved.size(); ++i) r.Reserved[i] = p[2 + i];
  return r;
}

void SFltPolar::write(uint8_t* out) const {
  out[0] = Mode;
  out[1] = ProtectAlpha;
  for (size_t i = 0; i < Reserved.size(); ++i) out[2 + i] = Reserved[i];
}

SFltWave SFltWave::read(const uint8_t* p) {
  SFltWave r;
  r.HCount = p[0];
  r.VCount = p[1];
  r.HStrength = p[2];
  r.VStrength = p[3];
  r.Phase = readRecF32(p + 4);
  return r;
}

void SFltWave::write(uint8_t* out) const {
  out[0] = HCount;
  out[1] = VCount;
  out[2] = HStrength;
  out[3] = VStrength;
  writeRecF32(out + 4, Phase);
}

SFltTwirl SFltTwirl::read(const uint8_t* p) {
  SFltTwirl r;
  r.Angle = readRecI16(p);
  r.Clamp = p[2];
  for (size_t i = 0; i < r.Reserved.size(); ++i) r.Reserved[i] = p[3 + i];
  return r;
}

void SFltTwirl::write(uint8_t* out) const {
  writeRecI16(out, Angle);
  out[2] = Clamp;
  for (size_t i = 0; i < Reserved.size(); ++i) out[3 + i] = Reserved[i];
}

namespace {

constexpr double kPi = std::numbers::pi;

int32_t toFix(double v) { return floatToFix(static_cast<float>(v)); }

}  // namespace

// ---- polar coordinates ---------------------------------------------------------

bool polar4Kernel(const SFlt4Context* ctx, const void* param, int32_t size) {
  SFltPolar rec;
  if (!isValidContext(ctx) || !readFltRecord(param, size, rec)) return false;
  if ((rec.ProtectAlpha != 0) != (ctx->protectAlpha != 0)) return false;
  if (rec.Mode > 1) return true;

  const TRect& b = ctx->bounds;
  const float hw = static_cast<float>(b.Right - b.Left) / 2.0f;
  const float hh = static_cast<float>(b.Bottom - b.Top) / 2.0f;
  const float h = static_cast<float>(b.Bottom - b.Top);
  const CScaleImageTMTC sampler(*ctx->workImage, nullptr);
  const TRect bounds{b.Left << 16, b.Top << 16, b.Right << 16, b.Bottom << 16};
  const bool keepAlpha = ctx->protectAlpha != 0;
  const int32_t midX = floatToFix(static_cast<float>(b.Left) + hw);

  auto write = [&](uint32_t* pixel, uint32_t weight, int32_t sx, int32_t sy) {
    uint32_t colour;
    samplePointEdge(colour, sampler, &mixColours, bounds, sx, sy);
    writeWeighted(pixel, colour, weight, keepAlpha);
  };

  if (rec.Mode == 0) {
    // Rectangular to polar: the angle about the centre (0 pointing down)
    // becomes x, the distance y.
    const float cx = static_cast<float>(b.Left) + hw - 0.5f, cy = static_cast<float>(b.Top) + hh - 0.5f;
    return forEachSelectedPixel(*ctx, ctx->region, [&](int32_t x, int32_t y, uint32_t* pixel, uint32_t weight) {
      const float nx = (static_cast<float>(x) - cx) / hw, ny = (static_cast<float>(y) - cy) / hh;
      const int32_t sx = toFix(dmath::atan2(double{nx}, double{ny}) * hw / kPi) + midX;
      const int32_t sy = toFix(h * std::sqrt(double{nx} * nx + double{ny} * ny)) + (b.Top << 16);
      write(pixel, weight, sx, sy);
    });
  }
  // Polar to rectangular: x is the angle, the distance from the top edge's
  // centre the radius.
  const float cxo = static_cast<float>(b.Left) - 0.5f + hw, cyo = static_cast<float>(b.Top) - 0.5f;
  const double k = kPi / hw;
  const int32_t midY = floatToFix(static_cast<float>(b.Top) + hh);
  return forEachSelectedPixel(*ctx, ctx->region, [&](int32_t x, int32_t y, uint32_t* pixel, uint32_t weight) {
    const double d = static_cast<float>(y) - cyo;
    const double theta = (static_cast<float>(x) - cxo) * k;
    const int32_t sx = toFix(dmath::sin(theta) * d * hw / h) + midX;
    const int32_t sy = toFix(dmath::cos(theta) * d * hh / h) + midY;
    write(pixel, weight, sx, sy);
  });
}

// ---- wave ------------------------------------------------------------------------

namespace {

// v - trunc(v / m) * m, brought into 0 .. m.
double wrapMod(double v, double m) {
  double r = v - std::trunc(v / m) * m;
  if (r < 0.0) r += m;
  if (r >= m) r -= m;
  return r;
}

// One displacement table of n entries: entry i from t = fmod(count * 2 pi
// i / (n - 1) + phase, 2 pi); first = strength * sin t, second = strength *
// cos t, each wrapped into its modulus. A span of one entry has no step: t is
// the phase alone.
void waveTable(std::vector<int32_t>& first, std::vector<int32_t>& second, int32_t n, uint32_t count,
               uint32_t strength, double phase, double m1, double m2, bool sineFirst) {
  for (int32_t i = 0; i < n; ++i) {
    const double step = n > 1 ? 2.0 * kPi * i / (n - 1) : 0.0;
    const double t = wrapMod(count * step + phase, 2.0 * kPi);
    const double s = strength * dmath::sin(t), c = strength * dmath::cos(t);
    first[static_cast<size_t>(i)] = toFix(wrapMod(sineFirst ? s : c, m1));
    second[static_cast<size_t>(i)] = toFix(wrapMod(sineFirst ? c : s, m2));
  }
}

int64_t modPositive(int64_t v, int64_t m) {
  v %= m;
  return v < 0 ? v + m : v;
}

[[nodiscard]] bool waveKernel(const SFlt4Context* ctx, const void* param, int32_t size, int type) {
  SFltWave rec;
  if (!isValidContext(ctx) || !readFltRecord(param, size, rec)) return false;
  if (!((rec.HCount != 0 && rec.HStrength != 0) || (rec.VCount != 0 && rec.VStrength != 0))) return true;
  TRect r = ctx->region;
  if (!intersectRect(r, ctx->bounds)) return true;

  const TRect& b = ctx->bounds;
  const int32_t W = ctx->image->width(), H = ctx->image->height();
  const int32_t bw = b.Right - b.Left, bh = b.Bottom - b.Top;
  const double m1 = W, m2 = type == 0 ? W : H, m3 = type == 0 ? H : W, m4 = H;
  // A phase that is not a number shifts nothing.
  const double phase = std::isfinite(rec.Phase) ? rec.Phase : 0.0;
  std::vector<int32_t> colX, colY, rowX, rowY;
  try {
    colX.resize(static_cast<size_t>(bw));
    colY.resize(static_cast<size_t>(bw));
    rowX.resize(static_cast<size_t>(bh));
    rowY.resize(static_cast<size_t>(bh));
  } catch (const std::bad_alloc&) {
    return false;
  }
  waveTable(colX, colY, bw, rec.HCount, rec.HStrength, phase, m1, m2, true);
  waveTable(rowX, rowY, bh, rec.VCount, rec.VStrength, phase, m3, m4, false);

  const TMTC& work = *ctx->workImage;
  // The wrap is the layer image's, whatever the working plane's size: its
  // pixels beyond the image are left from other layers.
  const auto sample = type == 2 ? &bilinearWrapWithinSat : &bilinearWrapWithin;
  const SSize imageSize{W, H};
  const bool keepAlpha = ctx->protectAlpha != 0;
  const int64_t wFix = int64_t{W} << 16, hFix = int64_t{H} << 16;
  return forEachSelectedPixel(*ctx, r, [&](int32_t x, int32_t y, uint32_t* pixel, uint32_t weight) {
    const size_t i = static_cast<size_t>(x - b.Left), j = static_cast<size_t>(y - b.Top);
    const int64_t sx = modPositive((int64_t{x} << 16) + rowX[j] + colX[i], wFix);
    const int64_t sy = modPositive((int64_t{y} << 16) + rowY[j] + colY[i], hFix);
    writeWeighted(pixel, sample(work, imageSize, static_cast<int32_t>(sx), static_cast<int32_t>(sy)), weight, keepAlpha);
  });
}

}  // namespace

bool wave4KernelType0(const SFlt4Context* ctx, const void* param, int32_t size) {
  return waveKernel(ctx, param, size, 0);
}
bool wave4KernelType1(const SFlt4Context* ctx, const void* param, int32_t size) {
  return waveKernel(ctx, param, size, 1);
}
bool wave4Kernel(const SFlt4Context* ctx, const void* param, int32_t size) { return waveKernel(ctx, param, size, 2); }

// ---- twirl -----------------------------------------------------------------------

bool twirl4Kernel(const SFlt4Context* ctx, const void* param, int32_t size) {
  SFltTwirl rec;
  if (!isValidContext(ctx) || !readFltRecord(param, size, rec)) return false;
  const double phi0 = -(rec.Angle * kPi / 180.0);
  if (phi0 == 0.0) return true;

  const auto sample = rec.Clamp != 0 ? &bilinearClampEdgeSat : &bilinearClampEdge;
  const TRect& b = ctx->bounds;
  const int32_t cx = floatToFix(static_cast<float>(b.Left + b.Right) / 2.0f) - 0x8000;
  const int32_t cy = floatToFix(static_cast<float>(b.Top + b.Bottom) / 2.0f) - 0x8000;
  const int32_t rx = floatToFix(static_cast<float>(b.Right - b.Left) / 2.0f);
  const int32_t ry = floatToFix(static_cast<float>(b.Bottom - b.Top) / 2.0f);
  const int32_t maxX = (ctx->image->width() - 1) << 16, maxY = (ctx->image->height() - 1) << 16;
  const int32_t kx = floatToFix(static_cast<float>(rx) / static_cast<float>(ry));
  const int32_t ky = floatToFix(static_cast<float>(ry) / static_cast<float>(rx));
  const TMTC& work = *ctx->workImage;
  const bool keepAlpha = ctx->protectAlpha != 0;

  return forEachSelectedPixel(*ctx, ctx->region, [&](int32_t x, int32_t y, uint32_t* pixel, uint32_t weight) {
    const int32_t dy = (y << 16) - cy, dx = (x << 16) - cx;
    if (std::abs(dy) >= ry || std::abs(dx) >= rx) return;
    const double ux = static_cast<double>(dx) / rx, uy = static_cast<double>(dy) / ry;
    const double r = std::sqrt(ux * ux + uy * uy);
    if (r <= 0.0 || r >= 1.0) return;
    const double phi = (1.0 - r) * (1.0 - r) * phi0;
    const double c = dmath::cos(phi), s = dmath::sin(phi);
    const int32_t sx = std::clamp(roundF(static_cast<float>(dx * c - fixMul(dy, kx) * s)) + cx, 0, maxX);
    const int32_t sy = std::clamp(roundF(static_cast<float>(fixMul(dx, ky) * s + dy * c)) + cy, 0, maxY);
    writeWeighted(pixel, sample(work, sx, sy), weight, keepAlpha);
  });
}

}  // namespace pg
