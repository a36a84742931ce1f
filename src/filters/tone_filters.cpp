#include "filters/tone_filters.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <memory>

#include "core/blend_arith.h"
#include "core/byte_cursor.h"
#include "core/colour.h"
#include "core/det_math.h"
#include "filters/filter_params.h"
#include "filters/kernel_context.h"
#include "filters/kernel_loops.h"
#include "filters/table_filters.h"

namespace pg {

// ---- brightness and contrast ---------------------------------------------------

namespace {

void brightnessContrastFields(CByteCursor& c, SFltBrightnessContrast& r) {
  c.field(r.Brightness).field(r.Contrast).field(r.Linear).bytes(r.Reserved.data(), r.Reserved.size());
}

void hueSaturationFields(CByteCursor& c, SFltHueSaturation& r) {
  c.field(r.Hue).field(r.Saturation).field(r.Lightness).field(r.Monotone).field(r.Linear);
  c.bytes(r.Reserved.data(), r.Reserved.size());
}

void colorBalanceFields(CByteCursor& c, SFltColorBalance& r) {
  c.field(r.GammaR).field(r.GammaG).field(r.GammaB).bytes(r.Reserved.data(), r.Reserved.size());
}

}  // namespace

// The records are read from and written into buffers of their own size.
SFltBrightnessContrast SFltBrightnessContrast::read(const uint8_t* p) {
  return recordFromBytes<SFltBrightnessContrast>(p, kSize, brightnessContrastFields);
}

void SFltBrightnessContrast::write(uint8_t* out) const {
  (void)writeRecord(out, kSize, *this, brightnessContrastFields);  // the fields fill the size
}

SFltBrightnessContrast SFltBrightnessContrast::clamped() const {
  SFltBrightnessContrast r = *this;
  r.Brightness = std::clamp(Brightness, -100, 100);
  r.Contrast = std::clamp(Contrast, -100, 100);
  return r;
}

void buildBrightnessContrastLinearTable(int32_t b, int32_t c, std::array<uint32_t, 256>& table) {
  const int32_t lo = b - 127, hi = b + 127;
  int32_t num = 65536, den = 65536;
  if (c >= 0)
    den = 65536 - std::min((c * 65436 + 50) / 100, 65535);
  else
    num = std::min((c * 65536 + 50) / 100 + 65536, 65536);
  for (int32_t i = 0; i < 256; ++i) {
    const int32_t v = std::clamp(((lo + i) * num) / den + hi, 0, 255);
    table[static_cast<size_t>(i)] = greyLutEntry(static_cast<uint32_t>(i), static_cast<uint32_t>(v));
  }
}

namespace {

// k = 1 - |x| * 0.007 for x < 0, 1 / k from 0 on (single precision).
float bcFactor(int32_t x) {
  const float k = 1.0f - static_cast<float>(std::abs(x)) * 0.007f;
  return x < 0 ? k : 1.0f / k;
}

// x^e - x, the power in double precision of the single inputs, stored single.
float powDelta(float x, float e) {
  return static_cast<float>(dmath::pow(static_cast<double>(x), static_cast<double>(e)) - static_cast<double>(x));
}

}  // namespace

void buildBrightnessContrastCurveTable(int32_t b, int32_t c, std::array<uint32_t, 256>& table) {
  const float gb = bcFactor(-b), g1 = bcFactor(c), g2 = bcFactor(-c);
  std::array<float, 256> d;
  for (int32_t i = 0; i < 256; ++i) d[static_cast<size_t>(i)] = powDelta(static_cast<float>(i) / 255.0f, gb);
  for (int32_t j = 0; j < 128; ++j) {
    const float x = static_cast<float>(j) / 127.0f;
    d[static_cast<size_t>(j)] += powDelta(x, g1);
    d[static_cast<size_t>(128 + j)] += powDelta(x, g2);
  }
  for (int32_t i = 0; i < 256; ++i) {
    const float v = static_cast<float>(i) + d[static_cast<size_t>(i)] * 255.0f;
    const int32_t t = std::clamp(static_cast<int32_t>(std::clamp(v, -1024.0f, 1024.0f)), 0, 255);
    table[static_cast<size_t>(i)] = greyLutEntry(static_cast<uint32_t>(i), static_cast<uint32_t>(t));
  }
}

bool brightnessContrastLinear(const SFlt4Context* ctx, const SFltBrightnessContrast& rec) {
  std::array<uint32_t, 256> table;
  buildBrightnessContrastLinearTable(rec.Brightness, rec.Contrast, table);
  return applyLutMasked(ctx, table.data(), true);
}

bool brightnessContrastCurve(const SFlt4Context* ctx, const SFltBrightnessContrast& rec) {
  std::array<uint32_t, 256> table;
  buildBrightnessContrastCurveTable(rec.Brightness, rec.Contrast, table);
  return applyLutMasked(ctx, table.data(), true);
}

bool brightnessContrast4Kernel(const SFlt4Context* ctx, const void* param, int32_t size) {
  SFltBrightnessContrast rec;
  if (!isValidContext(ctx) || !readFltRecord(param, size, rec)) return false;
  rec = rec.clamped();
  return rec.Linear != 0 ? brightnessContrastLinear(ctx, rec) : brightnessContrastCurve(ctx, rec);
}

// ---- hue and saturation --------------------------------------------------------

SFltHueSaturation SFltHueSaturation::read(const uint8_t* p) {
  return recordFromBytes<SFltHueSaturation>(p, kSize, hueSaturationFields);
}

void SFltHueSaturation::write(uint8_t* out) const {
  (void)writeRecord(out, kSize, *this, hueSaturationFields);  // as above
}

SFltHueSaturation SFltHueSaturation::clamped() const {
  SFltHueSaturation r = *this;
  r.Saturation = std::clamp(Saturation, -100, 100);
  r.Lightness = std::clamp(Lightness, -100, 100);
  return r;
}

namespace {

// (hue + 360) mod 360, taken so that no recorded hue overflows or goes
// negative; for every hue the dialog gives it is the same number.
int32_t hueTurn(int32_t hue) { return ((hue % 360) + 360) % 360; }

}  // namespace

void buildHueSatTables(const SFltHueSaturation& record, SHueSatTables& t) {
  const SFltHueSaturation rec = record.clamped();  // the lightness table holds 256 entries for |l| <= 128 only
  const int32_t h = hueTurn(rec.Hue);
  const int32_t s = rec.Saturation, l = rec.Lightness;
  const bool m = rec.Monotone != 0;
  t.H = h;
  t.HueSatKept = h == 0 && s == 0 && !m;

  for (int32_t i = 0; i < 360; ++i) t.Hue[static_cast<size_t>(i)] = (m ? h : (h + i) % 360) << 16;

  const int32_t as = std::abs(s);
  for (int32_t i = 0; i < 256; ++i) {
    const int32_t v = i << 16;
    double e;
    if (m)
      e = static_cast<double>(std::clamp((s * 255 + 50) / 100, 0, 255) << 16);
    else if (s == 0)
      e = v;
    else if (s < 0)
      e = std::trunc(v - static_cast<double>(v * as) / 100.0);
    else
      e = std::trunc(v / (255.0 - (as * 253) / 100.0) * 255.0 + 0.5);
    t.Sat[static_cast<size_t>(i)] = static_cast<int32_t>(std::clamp(e, 0.0, static_cast<double>(0xFF0000)));
  }

  // Curve lightness: 0..128 - l rise to 128 by a power of 1 / k, the rest to
  // 255 by a power of k, so that input 128 - l maps to 128.
  const float k = 1.0f - static_cast<float>(std::abs(l)) * 0.007f;
  const int32_t n1 = 128 - l, n2 = l + 127;
  size_t idx = 0;
  for (int32_t i = 0; i <= n1; ++i) {
    const double r = dmath::pow(static_cast<double>(i) / n1, 1.0 / static_cast<double>(k));
    t.Light[idx++] = static_cast<int32_t>(r * 128.0 * 65536.0);
  }
  for (int32_t j = 1; j <= n2; ++j) {
    const double r = dmath::pow(static_cast<double>(j) / n2, static_cast<double>(k));
    t.Light[idx++] = static_cast<int32_t>((r * 127.0 + 128.0) * 65536.0);
  }

  const int32_t d = (std::abs(l) * 255 + 50) / 100;
  for (int32_t i = 0; i < 256; ++i) {
    const int32_t v = i - (i * d + 127) / 255 + (l > 0 ? d : 0);
    t.LightByte[static_cast<size_t>(i)] = static_cast<uint8_t>(std::clamp(v, 0, 255));
  }
}

namespace {

size_t hueIndex(int32_t hue) { return static_cast<size_t>(std::clamp(hue >> 16, 0, 359)); }
size_t byteIndex(int32_t v) { return static_cast<size_t>(std::clamp(v >> 16, 0, 255)); }

uint32_t throughBytes(const std::array<uint8_t, 256>& b, uint32_t p) {
  return b[p & 0xFFu] | (uint32_t{b[(p >> 8) & 0xFFu]} << 8) | (uint32_t{b[(p >> 16) & 0xFFu]} << 16);
}

}  // namespace

uint32_t hueSatCurvePixel(const SHueSatTables& t, uint32_t p) {
  SHls hls;
  pixelToHls(p, hls);
  hls = {t.Hue[hueIndex(hls.Hue)], t.Light[byteIndex(hls.Lightness)], t.Sat[byteIndex(hls.Saturation)]};
  return hlsToPixel(hls);
}

uint32_t hueSatLinearPixel(const SHueSatTables& t, uint32_t p) {
  if (!t.HueSatKept) {
    SHls hls;
    pixelToHls(p, hls);
    hls.Hue = t.Hue[hueIndex(hls.Hue)];
    hls.Saturation = t.Sat[byteIndex(hls.Saturation)];
    p = hlsToPixel(hls);
  }
  return throughBytes(t.LightByte, p);
}

namespace {

// Every selected pixel's colour bytes toward f(unfiltered pixel) by its weight.
template <class F>
[[nodiscard]] bool mapSelectedColours(const SFlt4Context* ctx, F&& f) {
  const TMTC& work = *ctx->workImage;
  return forEachSelectedPixel(*ctx, ctx->region, [&](int32_t x, int32_t y, uint32_t* pixel, uint32_t weight) {
    lerpPixelRgb(pixel, f(work.getPixel(x, y)), weight);
  });
}

// The colours of the last pixels seen and what they became. A picture
// repeats its colours a great deal, and one colour's trip through HLS and
// back costs dozens of nanoseconds; the mapping looks at the colour bytes
// only, so a remembered result is the result.
class CColourMemo {
 public:
  CColourMemo() { Keys.fill(kEmpty); }
  template <class F>
  uint32_t map(uint32_t p, F&& f) {
    const uint32_t key = p & 0x00FFFFFFu;
    const size_t slot = (key * 2654435761u) >> (32 - kBits);
    if (Keys[slot] != key) {
      Keys[slot] = key;
      Values[slot] = f(key);
    }
    return Values[slot];
  }

 private:
  static constexpr int kBits = 12;
  static constexpr uint32_t kEmpty = 0xFFFFFFFFu;  // no colour has a fourth byte here
  std::array<uint32_t, size_t{1} << kBits> Keys;
  std::array<uint32_t, size_t{1} << kBits> Values;
};

template <class F>
[[nodiscard]] bool mapSelectedColoursMemo(const SFlt4Context* ctx, F&& f) {
  auto memo = std::make_unique<CColourMemo>();
  return mapSelectedColours(ctx, [&](uint32_t p) { return memo->map(p, f); });
}

// The lightness bytes alone, as a table for the table loop.
[[nodiscard]] bool applyLightBytes(const SFlt4Context* ctx, const SHueSatTables& t) {
  std::array<uint32_t, 256> table;
  for (uint32_t i = 0; i < 256; ++i) table[i] = greyLutEntry(i, t.LightByte[i]);
  return applyLutMasked(ctx, table.data(), true);
}

}  // namespace

bool hueSaturationLinear(const SFlt4Context* ctx, const SFltHueSaturation& rec) {
  SHueSatTables t;
  buildHueSatTables(rec, t);
  if (t.HueSatKept) return applyLightBytes(ctx, t);
  return mapSelectedColoursMemo(ctx, [&t](uint32_t p) { return hueSatLinearPixel(t, p); });
}

bool hueSaturationCurve(const SFlt4Context* ctx, const SFltHueSaturation& rec) {
  SHueSatTables t;
  buildHueSatTables(rec, t);
  return mapSelectedColoursMemo(ctx, [&t](uint32_t p) { return hueSatCurvePixel(t, p); });
}

namespace reference {

bool hueSaturationLinear(const SFlt4Context* ctx, const SFltHueSaturation& rec) {
  SHueSatTables t;
  buildHueSatTables(rec, t);
  return mapSelectedColours(ctx, [&t](uint32_t p) { return hueSatLinearPixel(t, p); });
}

bool hueSaturationCurve(const SFlt4Context* ctx, const SFltHueSaturation& rec) {
  SHueSatTables t;
  buildHueSatTables(rec, t);
  return mapSelectedColours(ctx, [&t](uint32_t p) { return hueSatCurvePixel(t, p); });
}

}  // namespace reference

bool hueSaturation4Kernel(const SFlt4Context* ctx, const void* param, int32_t size) {
  SFltHueSaturation rec;
  if (!isValidContext(ctx) || !readFltRecord(param, size, rec)) return false;
  rec = rec.clamped();
  if (hueTurn(rec.Hue) == 0 && rec.Saturation == 0 && rec.Lightness == 0 && rec.Monotone == 0)
    return copyWorkToLayerMasked(ctx, false);
  return rec.Linear != 0 ? hueSaturationLinear(ctx, rec) : hueSaturationCurve(ctx, rec);
}

// ---- colour balance ------------------------------------------------------------

SFltColorBalance SFltColorBalance::read(const uint8_t* p) {
  return recordFromBytes<SFltColorBalance>(p, kSize, colorBalanceFields);
}

void SFltColorBalance::write(uint8_t* out) const {
  (void)writeRecord(out, kSize, *this, colorBalanceFields);  // as above
}

namespace {

float clampGamma(float g) { return std::isnan(g) ? 1.0f : std::clamp(g, 0.5f, 2.0f); }

// clamp(trunc((i / 255)^g * 255)), the power in single precision.
uint32_t gammaLevel(uint32_t i, float g) {
  const float v = dmath::pow(static_cast<float>(i) / 255.0f, g) * 255.0f;
  return static_cast<uint32_t>(std::clamp(static_cast<int32_t>(v), 0, 255));
}

}  // namespace

SFltColorBalance SFltColorBalance::clamped() const {
  SFltColorBalance r = *this;
  r.GammaR = clampGamma(GammaR);
  r.GammaG = clampGamma(GammaG);
  r.GammaB = clampGamma(GammaB);
  return r;
}

void buildColorBalanceTable(const SFltColorBalance& rec, std::array<uint32_t, 256>& table) {
  for (uint32_t i = 0; i < 256; ++i)
    table[i] = gammaLevel(i, rec.GammaB) | (gammaLevel(i, rec.GammaG) << 8) | (gammaLevel(i, rec.GammaR) << 16) |
               (i << 24);
}

bool colorBalance4Kernel(const SFlt4Context* ctx, const void* param, int32_t size) {
  SFltColorBalance rec;
  if (!isValidContext(ctx) || !readFltRecord(param, size, rec)) return false;
  std::array<uint32_t, 256> table;
  buildColorBalanceTable(rec.clamped(), table);
  return applyLutMasked(ctx, table.data(), true);
}

}  // namespace pg
