#include "filters/legacy_lighting.h"

#include <algorithm>
#include <cmath>

#include "core/blend_arith.h"
#include "core/byte_cursor.h"
#include "filters/filter_params.h"
#include "filters/record_bytes.h"
#include "filters/vector_math.h"

namespace pg {

namespace {
constexpr double kHalfPi = 1.5707963267948966;
constexpr size_t kLampRecord = 56;
}  // namespace

void oldLightFields(CByteCursor& c, SOldLightParams& p) {
  c.field(p.kind)
      .zeros(3)
      .field(p.intensity)
      .field(p.blue)
      .field(p.green)
      .field(p.red)
      .zeros(1)
      .field(p.range)
      .field(p.x)
      .field(p.y)
      .field(p.height)
      .field(p.direction)
      .field(p.pitch)
      .field(p.cone);
}

void TLight::setup(const SOldLightParams& p, int32_t width, int32_t height) {
  kind = p.kind;
  const double strength = double(p.intensity) / 100.0;
  b = (p.blue / 2.0 + 128.0) * strength;
  g = (p.green / 2.0 + 128.0) * strength;
  r = (p.red / 2.0 + 128.0) * strength;
  const double side = std::max(width, height);
  range = double(p.range) * side / 100.0;
  cone = 1.0 - double(p.cone) / 100.0;
  position = {double(width) * double(p.x), double(height) * double(p.y), double(p.height) * side / 100.0};
  TVector3 d;
  d.set(0.0f, 0.0f, -1.0f);
  if (kind == 1 || kind == 2) {
    double turn = p.direction;
    if (p.pitch < 0.0f) turn -= 3.141592653589793;
    d.rotateY(double(p.pitch));
    d.rotateZ(turn);
  }
  const double len = std::sqrt(double(d.x) * d.x + double(d.y) * d.y + double(d.z) * d.z);
  direction = len > 0 ? TLightVec{d.x / len, d.y / len, d.z / len} : TLightVec{0, 0, -1};
}

void TLighting::setAmbient(uint32_t colour, int32_t percent) {
  for (int i = 0; i < 3; ++i) ambient_[size_t(i)] = double(colour >> (8 * i) & 0xFF) * percent / 100.0 - 255.0;
}

void TLighting::add(const SOldLightParams& p, int32_t width, int32_t height) {
  if (lights_.size() >= kMaxLights) return;
  TLight l;
  l.setup(p, width, height);
  lights_.push_back(l);
}

uint32_t TLighting::shade(uint32_t pixel, int32_t column, int32_t row) const {
  std::array<double, 3> c = {double(pixel & 0xFF), double(pixel >> 8 & 0xFF), double(pixel >> 16 & 0xFF)};
  const auto addLamp = [&](const TLight& l, double f) {
    c[0] += l.b * f;
    c[1] += l.g * f;
    c[2] += l.r * f;
  };
  for (const TLight& l : lights_) {
    const double vx = l.position.x - column, vy = l.position.y - row, vz = l.position.z;
    const double d = std::sqrt(vx * vx + vy * vy + vz * vz);
    if (l.kind == 0) {
      if (d <= 0.0) {
        addLamp(l, 1.0);
        break;  // a lamp on the pixel ends the evaluation
      }
      if (!(d < l.range)) break;
      const double f = std::cos(kHalfPi * d / l.range);
      addLamp(l, f * f);
      continue;
    }
    // Warm and spot lamps shine along their direction within their cone.
    if (!(d > 0.0) || !(d < l.range) || !(l.cone < 1.0)) break;
    const double cosAngle = (l.direction.x * vx + l.direction.y * vy + l.direction.z * vz) / d;
    if (!(cosAngle < -l.cone)) break;
    const double s = (1.0 - std::fabs(cosAngle)) / (1.0 - l.cone);
    double angular;
    if (l.kind == 1)
      angular = std::pow(std::max(0.0, 1.0 - s * s), 1.2);
    else if (s < 0.9)
      angular = 1.0 - 0.2 * s / 0.9;
    else if (s < 0.95)
      angular = 0.8 - 0.6 * (s - 0.9) / 0.05;
    else
      angular = 0.2 - 0.2 * (s - 0.95) / 0.05;
    addLamp(l, angular * std::cos(kHalfPi * d / l.range));
  }
  uint32_t out = 0xFF000000u;
  for (int i = 0; i < 3; ++i)
    out |= uint32_t(std::clamp(c[size_t(i)] + ambient_[size_t(i)], 0.0, 255.0)) << (8 * i);
  return out;
}

bool TLighting::render(const SFlt4Context& ctx) const {
  if (ctx.image == nullptr || ctx.workImage == nullptr) return false;
  const TPlanePart<TMTC> work = imageWork(ctx);
  return forEachSelectedPixel(ctx, ctx.region, [&](int32_t x, int32_t y, uint32_t* pixel, uint32_t m) {
    lerpPixelRgb(pixel, shade(work.getPixel(x, y), x, y), m);
  });
}

bool legacyLighting4Kernel(const SFlt4Context* ctx, const void* param, int32_t size) {
  if (param == nullptr || size != int32_t(SFltRecord::kWireSize) || !isValidContext(ctx)) return false;
  const SFltRecord& rec = *static_cast<const SFltRecord*>(param);
  if (rec.Count < 1 || rec.Size != kLampRecord || uint32_t(rec.Count) * rec.Size != rec.Total || rec.Extra == nullptr)
    return false;
  TLighting model;
  model.clear();
  model.setAmbient(readLE32(rec.Params.data()), readRecI32(rec.Params.data() + 4));
  const int32_t w = ctx->image->width(), h = ctx->image->height();
  for (uint16_t i = 0; i < rec.Count; ++i) {
    SOldLightParams p;
    if (!readRecord(rec.Extra + size_t(i) * kLampRecord, SOldLightParams::kSize, p, oldLightFields)) return false;
    for (const float v : {p.x, p.y, p.direction, p.pitch})
      if (!std::isfinite(v)) return false;
    model.add(p, w, h);
  }
  return model.render(*ctx);
}

}  // namespace pg
