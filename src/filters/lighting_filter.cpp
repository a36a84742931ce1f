// The lighting filter's lamps and kernel.
#include "filters/lighting_filter.h"

#include <algorithm>
#include <cmath>
#include <numbers>

#include "core/det_math.h"
#include "filters/record_bytes.h"

namespace pg {

namespace {

constexpr double kHalfPi = std::numbers::pi / 2.0;

double finiteOr0(float v) { return std::isfinite(v) ? double(v) : 0.0; }

// A light channel as an integer; beyond +-4096 every result clamps alike.
int32_t channelOf(double v) { return static_cast<int32_t>(std::clamp(v, -4096.0, 4096.0)); }

}  // namespace

SLightingRecord::SLightingRecord(const SFltLightingHeader& h, const SLight4& lamp) : header(h) {
  lamp.write(light.data());
  (void)initFltRecord(record, 1, uint16_t(SLight4::kSize));  // one block of a fixed size is always taken
  writeLE32(record.Params.data(), h.AmbientColour);
  writeRecI32(record.Params.data() + 4, h.AmbientBrightness);
  record.Extra = light.data();
}

int32_t ambientOffset(uint8_t byte, int32_t brightness) {
  const int64_t v = int64_t(byte) * brightness / 100 - 255;
  return static_cast<int32_t>(std::clamp<int64_t>(v, -4096, 4096));
}

bool CLightEval::setup(const SLight4& light, int32_t width, int32_t height) {
  if (light.Kind != lkPoint && light.Kind != lkWarm && light.Kind != lkSpot) return false;
  kind_ = light.Kind;
  const double w = std::max(width, 1), h = std::max(height, 1);
  const double m = std::max(w, h);
  const double intensity = light.Intensity / 100.0;
  b_ = double(light.Colour & 0xFF) * intensity;
  g_ = double((light.Colour >> 8) & 0xFF) * intensity;
  r_ = double((light.Colour >> 16) & 0xFF) * intensity;
  lx_ = w * finiteOr0(light.X);
  ly_ = h * finiteOr0(light.Y);
  lh_ = light.Height * m / 100.0;
  k_ = 100.0 / (std::max(light.Range, 1) * m);
  if (kind_ != lkPoint) {
    const double dir = finiteOr0(light.Direction), pitch = finiteOr0(light.Pitch);
    const double sp = dmath::sin(pitch);
    dx_ = dmath::cos(dir) * sp;
    dy_ = dmath::sin(dir) * sp;
    dz_ = -dmath::cos(pitch);
    const double spread = std::max(light.Spread, 3) * std::numbers::pi / 180.0;
    cone_ = 1.0 / (1.0 - dmath::cos(spread / 2.0));
  }
  return true;
}

double CLightEval::profile(double a, double d) const {
  const double fall = dmath::cos(kHalfPi * d);
  if (kind_ == lkWarm) return dmath::pow(1.0 - a * a, 1.2) * fall;
  double p = 0.0;
  if (a < 0.9)
    p = 1.0 - (2.0 / 9.0) * a;
  else if (a < 0.95)
    p = 11.6 - 12.0 * a;
  else
    p = 4.0 - 4.0 * a;
  return p * fall;
}

void CLightEval::evaluate(double x, double y, int32_t& r, int32_t& g, int32_t& b) const {
  r = g = b = 0;
  const double vx = lx_ - x, vy = ly_ - y, vz = lh_;
  const double len = std::sqrt(vx * vx + vy * vy + vz * vz);
  const double d = len * k_;
  if (!(d < 1.0)) return;
  double f = 1.0;
  if (kind_ == lkPoint) {
    if (d > 0.0) {
      const double c = dmath::cos(kHalfPi * d);
      f = c * c;
    }
  } else {
    if (len == 0.0) return;
    const double a = ((dx_ * vx + dy_ * vy + dz_ * vz) / len + 1.0) * cone_;
    if (!(a < 1.0)) return;
    f = profile(a, d);
  }
  r = channelOf(r_ * f);
  g = channelOf(g_ * f);
  b = channelOf(b_ * f);
}

bool lightingKernel(const SFlt4Context* ctx, const void* param, int32_t size) {
  if (param == nullptr || size != static_cast<int32_t>(SFltRecord::kWireSize) || !isValidContext(ctx)) return false;
  const SFltRecord& rec = *static_cast<const SFltRecord*>(param);
  if (rec.Count != 1 || rec.Size != SLight4::kSize || rec.Total != SLight4::kSize || rec.Extra == nullptr)
    return false;
  const SLight4 light = SLight4::read(rec.Extra);
  const uint32_t ambient = readLE32(rec.Params.data());
  const int32_t brightness = readRecI32(rec.Params.data() + 4);
  const int32_t ambB = ambientOffset(uint8_t(ambient), brightness);
  const int32_t ambG = ambientOffset(uint8_t(ambient >> 8), brightness);
  const int32_t ambR = ambientOffset(uint8_t(ambient >> 16), brightness);
  const TRect& area = ctx->bounds;
  CLightEval lamp;
  if (!lamp.setup(light, area.Right - area.Left, area.Bottom - area.Top)) return false;
  const CBlockVMTC& source = *ctx->source;
  return forEachSelectedPixel(*ctx, ctx->region, [&](int32_t x, int32_t y, uint32_t* pixel, uint32_t weight) {
    int32_t lr = 0, lg = 0, lb = 0;
    lamp.evaluate(double(x - area.Left + ctx->offsetX), double(y - area.Top + ctx->offsetY), lr, lg, lb);
    const uint32_t s = source.getPixel(x, y);
    const uint32_t nb = uint32_t(std::clamp(int32_t(s & 0xFF) + lb + ambB, 0, 255));
    const uint32_t ng = uint32_t(std::clamp(int32_t((s >> 8) & 0xFF) + lg + ambG, 0, 255));
    const uint32_t nr = uint32_t(std::clamp(int32_t((s >> 16) & 0xFF) + lr + ambR, 0, 255));
    lerpPixelRgb(pixel, 0xFF000000u | nr << 16 | ng << 8 | nb, weight);
  });
}

SLight4 lightKindDefaults(int32_t kind) {
  SLight4 l;
  l.Kind = kind;
  l.Colour = 0xFFFCF9E9u;
  l.Height = 50;
  l.X = 0.5f;
  l.Y = 0.5f;
  if (kind == lkPoint) {
    l.Intensity = 300;
    l.Range = 100;
  } else {
    l.Intensity = 180;
    l.Range = 200;
    l.Direction = float(-120.0 * std::numbers::pi / 180.0);
    l.Pitch = float(30.0 * std::numbers::pi / 180.0);
    l.Spread = 10;
  }
  return l;
}

SLight4 defaultLight() { return lightKindDefaults(lkPoint); }

}  // namespace pg
