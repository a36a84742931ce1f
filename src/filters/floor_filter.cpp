// The floor kernel: rows from the bottom of the work area upwards, each row
// at one depth, so that one division per row gives the ground point and the
// texture steps; the texture coordinates then advance by a constant step
// per pixel.
#include "filters/floor_filter.h"

#include <algorithm>
#include <cmath>
#include <numbers>

#include "brush/plot_merge.h"
#include "core/blend_arith.h"
#include "core/blend_modes.h"
#include "core/det_math.h"
#include "core/fixed_point.h"
#include "filters/samplers.h"

namespace pg {

namespace {

constexpr uint32_t kClear = 0x00FFFFFFu;

// Round(v * 65536), saturating.
int32_t fix(double v) { return roundToInt32(v * 65536.0); }
// The same in 64 bits, for the camera's running values (a long projection
// distance over a large area passes 2^31 in 16.16).
int64_t fix64(double v) {
  const double r = std::nearbyint(v * 65536.0);
  if (!(r == r)) return 0;
  return int64_t(std::clamp(r, -9.0e15, 9.0e15));
}

// v modulo m into [0, m).
double wrapInto(double m, double v) {
  if (!(m > 0.0) || !std::isfinite(v)) return 0.0;
  const double r = std::fmod(v, m);
  return r < 0.0 ? r + m : r;
}

// A 16.16 coordinate modulo size << 16 into [0, size << 16).
int32_t wrapFix(int64_t v, int64_t period) {
  int64_t r = v % period;
  if (r < 0) r += period;
  return static_cast<int32_t>(r);
}

// One plane: its texture with the scales from texture to nominal size.
struct SPlane {
  const TMTC* tex = nullptr;
  bool on = false;
  double kx = 1.0, ky = 1.0;
  int64_t periodU = 0, periodV = 0;
};

[[nodiscard]] bool usableTexture(const TMTC* t) {
  return t != nullptr && isPlaneReady(t) && t->Width > 0 && t->Height > 0 && t->Width <= kFloorTextureMaxSide &&
         t->Height <= kFloorTextureMaxSide;
}

SPlane planeOf(const SFltTexture& t, bool shown, uint16_t nominalW, uint16_t nominalH, bool floor) {
  SPlane p;
  if (!usableTexture(t.Image)) return p;
  p.tex = t.Image;
  p.on = shown;
  // A nominal size of 0 (only from a recording) stands for the texture's own.
  const double nw = nominalW > 0 ? nominalW : t.Image->Width;
  const double nh = nominalH > 0 ? nominalH : t.Image->Height;
  p.kx = t.Image->Width / nw;
  p.ky = (floor ? -1.0 : 1.0) * t.Image->Height / nh;
  p.periodU = int64_t(t.Image->Width) << 16;
  p.periodV = int64_t(t.Image->Height) << 16;
  return p;
}

uint32_t sampleTexture(const SPlane& p, int32_t u, int32_t v, bool clamped) {
  return clamped ? bilinearWrapSat(*p.tex, u, v) : bilinearWrap(*p.tex, u, v);
}

// What the two fog kinds, with or without fog to infinity, make of a sample.
struct SFog {
  uint32_t colour = 0;
  bool transparent = false;
  bool toInfinity = false;

  uint32_t inRange(uint32_t sample, uint32_t g) const {
    if (transparent) return sample;
    blendPixelOpacity(&sample, colour, g);
    return sample;
  }
  uint32_t beyond(uint32_t sample, uint32_t g) const {
    if (toInfinity) return inRange(sample, g);
    if (transparent) return kClear;
    uint32_t c = kClear;
    blendPixelOpacity(&c, colour, g);
    return c;
  }
};

// The write of one result: the fog kind and the layer's choice (protect its
// alpha, keep its image or replace it) pick the operator.
struct SWriter {
  bool transparent = false;
  bool protect = false;
  bool keep = false;

  void operator()(uint32_t* pixel, uint32_t colour, uint32_t amount) const {
    if (!transparent) {
      if (protect) {
        blendNormalOpacity(pixel, colour, amount);
      } else if (keep) {
        blendPixelOpacity(pixel, colour, amount);
      } else {
        *pixel = kClear;
        blendPixelOpacity(pixel, colour, amount);
      }
      return;
    }
    // The sample flattened onto nothing by its own alpha.
    uint32_t flat = kClear;
    blendPixelOpacity(&flat, colour, pixelAlpha(colour));
    if (protect) {
      blendNormalOpacity(pixel, flat, amount);
    } else if (keep) {
      uint32_t over = kClear;
      blendPixelOver(&over, colour, amount);
      blendPixelOpacity(pixel, over, pixelAlpha(over));
    } else {
      *pixel = kClear;
      blendPixelOver(pixel, flat, amount);
    }
  }
};

// Every byte of the pixel moved toward the result by the selection weight:
// a partly selected pixel takes part of the result (which may be clearer
// than the pixel), so a feathered selection fades the room in.
void writeCovered(uint32_t* pixel, uint32_t result, uint32_t weight) {
  if (weight >= 255) {
    *pixel = result;
    return;
  }
  const uint32_t p = *pixel;
  uint32_t r = 0;
  for (int i = 0; i < 4; ++i) r |= lerp255(pixelByte(result, i), pixelByte(p, i), weight) << (8 * i);
  *pixel = r;
}

uint32_t clampAmount(int32_t v) { return uint32_t(std::clamp(v, 0, 255)); }

}  // namespace

bool floorKernel(const SFlt4Context* ctx, const void* param, int32_t size) {
  if (param == nullptr || size != kFloorRecordSize || !isValidContext(ctx)) return false;
  const SFltFloorW& rec = *static_cast<const SFltFloorW*>(param);
  const SFltFloor& f = rec.Floor;
  const SPlane ceiling = planeOf(rec.Textures[0], (f.PlanesShown & 1u) != 0, f.CeilingTexWidth, f.CeilingTexHeight, false);
  const SPlane floor = planeOf(rec.Textures[1], (f.PlanesShown & 2u) != 0, f.FloorTexWidth, f.FloorTexHeight, true);
  if (ceiling.tex == nullptr && floor.tex == nullptr) return false;

  const TRect& A = ctx->bounds;
  const TRect& B = ctx->region;
  const int32_t aw = A.Right - A.Left, ah = A.Bottom - A.Top;
  // 1. Centre, unit and near distance (at least 1, so that the fog step
  // below never divides by zero on a tiny area).
  const double cx = (A.Left + A.Right) / 2.0, cy = (A.Top + A.Bottom) / 2.0;
  const double s = std::max(aw, ah) / 100.0;
  const int64_t q = std::max<int64_t>(1, (int64_t(aw) + ah) / 4);
  // 2. Distances of the two planes from the eye (recorded floats may be anything).
  const double eye = std::isfinite(f.EyeDistance) ? f.EyeDistance : 0.0;
  const int64_t hU = fix64(eye * s);
  const int64_t hD = fix64((eye - f.CeilingHeight) * s);
  // 3. Fog.
  const double fogRatio = std::clamp(int32_t(f.FogDistance), 0, 100) / 100.0;
  const int64_t F = std::max<int64_t>(1, int64_t(std::trunc(std::pow(fogRatio, 1.5) * 199.0 * double(q) + double(q))));
  const double fogStep = 65536.0 / double(F);
  SFog fog;
  fog.colour = f.FogColour & 0x00FFFFFFu;
  fog.transparent = f.FogKind != 0;
  fog.toInfinity = f.FogToInfinity != 0;
  const int32_t M = int32_t(std::trunc(std::clamp(f.FogOpacity, 0, 100) * 2.55)) + 255;
  // 4. Camera.
  const double heading = std::isfinite(f.Heading) ? f.Heading : 0.0;
  const double pitch = std::isfinite(f.Pitch) ? f.Pitch : 0.0;
  const double sH = dmath::sin(-heading), cH = dmath::cos(-heading);
  const double sP = dmath::sin(-pitch), cP = dmath::cos(-pitch);
  const double focal = double(std::clamp(f.ProjectionDistance, -100000, 100000)) * s;
  const double a = sP * focal, b = cP * focal;
  // 5. The first pixel, bottom left of the work area, in screen coordinates
  // that grow upwards.
  const double px = B.Left - cx + 0.5, py = cy - B.Bottom + 0.5;
  int64_t U = fix64(cH * px - (py * sP + b) * sH);
  int64_t V = fix64(sH * px + (py * sP + b) * cH);
  int64_t W = fix64(cP * py - a);
  const int64_t stepU = fix64(sH * sP), stepV = fix64(cH * sP), stepW = fix64(cP);
  // 6. Offsets in texture pixels of a 256-pixel period.
  const int32_t oX = fix(std::clamp(f.XPosition, -100000, 100000) * 2.56 - 0.5);
  const int32_t oZ = fix(std::clamp(f.ZPosition, -100000, 100000) * 2.56 - 0.5);
  const bool clamped = f.Sampler != 0;

  SWriter write;
  write.transparent = fog.transparent;
  write.protect = ctx->protectAlpha != 0;
  write.keep = f.KeepLayer != 0;

  // The covered pixels of one row.
  auto eachCovered = [&](int32_t y, auto&& fn) {
    return forEachSelectedPixel(*ctx, TRect{B.Left, y, B.Right, y + 1}, fn);
  };

  for (int32_t y = B.Bottom - 1; y >= B.Top; --y, U -= stepU, V += stepV, W += stepW) {
    if (W == 0) {
      // The horizon: both planes at their far point, fogged by the coverage.
      auto farSample = [&](const SPlane& p, uint32_t c) -> uint32_t {
        if (!p.on) return 0;
        return fog.beyond(sampleTexture(p, p.tex->Width << 8, p.tex->Height << 8, clamped), c);
      };
      const bool ok = eachCovered(y, [&](int32_t, int32_t, uint32_t* pixel, uint32_t c) {
        const uint32_t s1 = farSample(ceiling, c), s2 = farSample(floor, c);
        uint32_t avg = 0;
        for (int i = 0; i < 4; ++i) avg |= ((pixelByte(s1, i) + pixelByte(s2, i)) / 2) << (8 * i);
        const uint32_t amount = fog.toInfinity ? clampAmount(M - int32_t(c)) : 0;
        uint32_t out = *pixel;
        write(&out, avg, amount);
        writeCovered(pixel, out, c);
      });
      if (!ok) return false;
      continue;
    }
    const SPlane& plane = W > 0 ? ceiling : floor;
    const double t = W > 0 ? double(hU) / double(W) : double(hD) / double(W);
    if (!plane.on || t == 0.0) {
      if (!fog.transparent) continue;
      const bool ok = eachCovered(y, [&](int32_t, int32_t, uint32_t* pixel, uint32_t c) {
        uint32_t out = *pixel;
        write(&out, kClear, 0);
        writeCovered(pixel, out, c);
      });
      if (!ok) return false;
      continue;
    }
    const double gx = double(U) * t / 65536.0, gy = double(V) * t / 65536.0;
    const double d = std::sqrt(gx * gx + gy * gy);
    const bool inRange = d < double(F);
    const int64_t L = inRange ? int64_t(std::trunc(d * fogStep)) : 0;
    const double tw = plane.tex->Width, th = plane.tex->Height;
    const int32_t du = fix(wrapInto(tw, t * cH * plane.kx));
    const int32_t dv = fix(wrapInto(th, t * sH * plane.ky));
    // The row's first pixel; later pixels step from it (also those the
    // selection skips).
    const int32_t u0 = wrapFix(int64_t(fix(wrapInto(tw, gx * plane.kx))) + oX, plane.periodU);
    const int32_t v0 = wrapFix(int64_t(fix(wrapInto(th, gy * plane.ky))) + oZ, plane.periodV);
    const bool ok = eachCovered(y, [&](int32_t x, int32_t, uint32_t* pixel, uint32_t c) {
      const int64_t n = x - B.Left;
      const int32_t u = wrapFix(int64_t(u0) + n * du, plane.periodU);
      const int32_t v = wrapFix(int64_t(v0) + n * dv, plane.periodV);
      const uint32_t sample = sampleTexture(plane, u, v, clamped);
      uint32_t colour, amount;
      if (inRange) {
        const uint32_t g = uint32_t(std::min<int64_t>(255, (L * c) >> 16));
        colour = fog.inRange(sample, g);
        amount = clampAmount(M - int32_t(g));
      } else {
        colour = fog.beyond(sample, c);
        amount = fog.toInfinity ? clampAmount(M - int32_t(c)) : 0;
      }
      uint32_t out = *pixel;
      write(&out, colour, amount);
      writeCovered(pixel, out, c);
    });
    if (!ok) return false;
  }
  return true;
}

std::unique_ptr<TMTC> floorAreaTexture(const TMTC& src, const TRect& rect) {
  TRect r = rect;
  r.Left = std::max(r.Left, 0);
  r.Top = std::max(r.Top, 0);
  r.Right = std::min(r.Right, src.Width);
  r.Bottom = std::min(r.Bottom, src.Height);
  if (r.Right <= r.Left || r.Bottom <= r.Top || !isPlaneReady(&src)) return nullptr;
  auto tex = std::make_unique<TMTC>(kFloorTextureSide, kFloorTextureSide);
  if (!isPlaneReady(tex.get())) return nullptr;
  const int64_t w = r.Right - r.Left, h = r.Bottom - r.Top;
  for (int32_t j = 0; j < kFloorTextureSide; ++j) {
    const int32_t sy = r.Top + int32_t((int64_t(j) * h) / kFloorTextureSide);
    for (int32_t i = 0; i < kFloorTextureSide; ++i)
      *tex->pixelAt(i, j) = src.getPixel(r.Left + int32_t((int64_t(i) * w) / kFloorTextureSide), sy);
  }
  return tex;
}

SFltFloor floorDesignValues() {
  SFltFloor f;
  initFltFloor(f);
  floorApplyControls(SFloorControls{}, f);
  f.FogOpacity = 100;
  f.FogColour = 0;
  f.KeepLayer = 1;
  f.FogKind = 0;
  f.PlanesShown = 3;
  f.TextureFromFile = 0;
  f.FogToInfinity = 1;
  f.Sampler = 2;
  f.FogDistance = 50;
  return f;
}

SFltFloor floorStartValues() {
  SFltFloor f = floorDesignValues();
  f.FogKind = 1;
  f.CeilingTexWidth = f.CeilingTexHeight = f.FloorTexWidth = f.FloorTexHeight = kFloorTextureSide;
  return f;
}

void floorApplyControls(const SFloorControls& c, SFltFloor& f) {
  constexpr double kRad = std::numbers::pi / 180.0;
  f.XPosition = c.x + 50;
  f.EyeDistance = float((c.y + 100) * double(c.ceiling) / 200.0);
  f.ZPosition = c.z + 50;
  f.Heading = float(c.heading * kRad);
  f.Pitch = float(c.pitch * kRad);
  f.Unused20 = 0.0f;
  f.ProjectionDistance = c.projection;
  f.CeilingHeight = c.ceiling;
}

SFloorControls floorControlsOf(const SFltFloor& f) {
  constexpr double kDeg = 180.0 / std::numbers::pi;
  SFloorControls c;
  c.x = f.XPosition - 50;
  c.z = f.ZPosition - 50;
  c.ceiling = f.CeilingHeight;
  c.y = f.CeilingHeight > 0 ? int32_t(std::lround(f.EyeDistance * 200.0 / f.CeilingHeight)) - 100 : 0;
  c.heading = std::isfinite(f.Heading) ? f.Heading * kDeg : 0.0;
  c.pitch = std::isfinite(f.Pitch) ? f.Pitch * kDeg : 0.0;
  c.projection = f.ProjectionDistance;
  return c;
}

}  // namespace pg
