#include "ui/ui_colour.h"

#include "core/rect.h"

namespace pg {

TUiColor lerpColor(TUiColor a, TUiColor b, float t) {
  TUiColor out = 0;
  for (int shift = 0; shift < 32; shift += 8) {
    const auto ab = static_cast<uint8_t>(a >> shift);
    const auto bb = static_cast<uint8_t>(b >> shift);
    out |= static_cast<TUiColor>(lerpChannel(ab, bb, t)) << shift;
  }
  return out;
}

namespace {

// trunc(h * 1536 / 2pi), not folded; huge or undefined hues stay defined.
int64_t rawHueStep(float h) { return saturateToInt32(static_cast<double>(h) * kUiHueStepsPerRadian); }

int32_t foldHueStep(int64_t s) {
  int64_t m = s % kUiHueSteps;
  if (m < 0) m += kUiHueSteps;
  return static_cast<int32_t>(m);
}

// Hue from the three channels, their largest value and its distance to the
// smallest (d > 0).
float hueOf(float r, float g, float b, float mx, float d) {
  float h;
  if (mx == r)
    h = g - b;
  else if (mx == g)
    h = 2.0f * d + (b - r);
  else
    h = (r - g) - 2.0f * d;
  return static_cast<float>(kUiPiThird * static_cast<double>(h) / static_cast<double>(d));
}

float max3(float a, float b, float c) { return a > b ? (a > c ? a : c) : (b > c ? b : c); }
float min3(float a, float b, float c) { return a < b ? (a < c ? a : c) : (b < c ? b : c); }

uint8_t byteOf(int32_t v) { return static_cast<uint8_t>(static_cast<uint32_t>(v)); }

// Offsets of the three channels per sector, relative to base: 0 base, 1
// base + rise, 2 base - full, 3 base - fall.
enum Term : uint8_t { kBase, kRise, kFull, kFall };
constexpr Term kSectorTerms[6][3] = {
    {kBase, kRise, kFull}, {kFall, kBase, kFull}, {kFull, kBase, kRise},
    {kFull, kFall, kBase}, {kRise, kFull, kBase}, {kBase, kFull, kFall},
};

template <class T>
T applyTerm(Term t, T base, T rise, T full, T fall) {
  switch (t) {
    case kRise:
      return base + rise;
    case kFull:
      return base - full;
    case kFall:
      return base - fall;
    case kBase:
      break;
  }
  return base;
}

}  // namespace

int32_t uiHueStep(float h) { return foldHueStep(rawHueStep(h)); }

SUiHsv uiRgbToHsv(float r, float g, float b) {
  if (r == g && g == b) return {0.0f, 0.0f, b};
  const float v = max3(r, g, b);
  const float d = v - min3(r, g, b);
  SUiHsv out;
  out.V = v;
  out.S = d / v;
  out.H = hueOf(r, g, b, v, d);
  return out;
}

SUiHsl uiRgbToHsl(float r, float g, float b, float previousHue) {
  const float mx = max3(r, g, b);
  const float mn = min3(r, g, b);
  if (mx <= 0.0f) return {0.0f, 0.0f, 0.0f};
  if (mn >= 1.0f) return {0.0f, 0.0f, 1.0f};
  SUiHsl out;
  out.H = previousHue;
  out.L = (mx + mn) / 2.0f;
  const float d = mx - mn;
  out.S = out.L <= 0.5f ? d / (mx + mn) : d / (2.0f - mx - mn);
  if (d != 0.0f) out.H = hueOf(r, g, b, mx, d);
  return out;
}

SRgbTriple uiHsvToRgb(float h, float s, float v) {
  const float vc = clampFloat(v, 0.0f, 1.0f);
  const float sc = clampFloat(s, 0.0f, 1.0f);
  const int32_t base = saturateToInt32(static_cast<double>(vc * 255.0f) + 0.5);
  if (!(sc > 0.0f)) return {byteOf(base), byteOf(base), byteOf(base)};
  const int32_t step = uiHueStep(h);
  const int32_t sector = step / 256;
  const int32_t i = step - sector * 256;
  const float c = sc * vc;
  const int32_t full = saturateToInt32(255.0 * static_cast<double>(c) + 0.5);
  const int32_t rise = saturateToInt32(static_cast<double>(i - 255) * static_cast<double>(c) - 0.5);
  const int32_t fall = saturateToInt32(static_cast<double>(i) * static_cast<double>(c) + 0.5);
  const Term* t = kSectorTerms[sector];
  return {byteOf(applyTerm(t[0], base, rise, full, fall)), byteOf(applyTerm(t[1], base, rise, full, fall)),
          byteOf(applyTerm(t[2], base, rise, full, fall))};
}

SUiRgbF uiHsvToRgbF(float h, float s, float v) {
  const float vc = clampFloat(v, 0.0f, 1.0f);
  if (!(s > 0.0f)) return {vc, vc, vc};
  const float sc = s < 1.0f ? s : 1.0f;
  const int32_t step = uiHueStep(h);
  const int32_t sector = step / 256;
  const int32_t i = step - sector * 256;
  const float c = sc * vc;
  const float rise = static_cast<float>(i - 255) * c / 255.0f;
  const float fall = static_cast<float>(i) * c / 255.0f;
  const Term* t = kSectorTerms[sector];
  return {applyTerm(t[0], vc, rise, c, fall), applyTerm(t[1], vc, rise, c, fall), applyTerm(t[2], vc, rise, c, fall)};
}

namespace {

float hslValue(int64_t x, float m2, float m1) {
  const int32_t h = foldHueStep(x);
  const float f = static_cast<float>(h) / 256.0f;
  if (h < 256) return m1 + (m2 - m1) * f;
  if (h < 768) return m2;
  if (h < 1024) return m1 + (m2 - m1) * (4.0f - f);
  return m1;
}

void hslBounds(float s, float l, float& m2, float& m1) {
  m2 = l <= 0.5f ? l * (1.0f + s) : l + s - l * s;
  m1 = 2.0f * l - m2;
}

}  // namespace

uint8_t uiHslChannel(int64_t x, float m2, float m1) {
  const float v = hslValue(x, m2, m1);
  return static_cast<uint8_t>(clampInt(saturateToInt32(static_cast<double>(v) * 255.0 + 0.5), 0, 255));
}

float uiHslChannelF(int64_t x, float m2, float m1) { return clampFloat(hslValue(x, m2, m1), 0.0f, 1.0f); }

SRgbTriple uiHslToRgb(float h, float s, float l) {
  if (!(s > 0.0f)) {
    // A lightness outside 0..1 gives black or white rather than a wrapped byte.
    const auto grey =
        static_cast<uint8_t>(clampInt(saturateToInt32(static_cast<double>(l) * 255.0 + 0.5), 0, 255));
    return {grey, grey, grey};
  }
  float m2, m1;
  hslBounds(s, l, m2, m1);
  const int64_t step = rawHueStep(h);
  return {uiHslChannel(step + 512, m2, m1), uiHslChannel(step, m2, m1), uiHslChannel(step - 512, m2, m1)};
}

SUiRgbF uiHslToRgbF(float h, float s, float l) {
  if (!(s > 0.0f)) return {l, l, l};
  float m2, m1;
  hslBounds(s, l, m2, m1);
  const int64_t step = rawHueStep(h);
  return {uiHslChannelF(step + 512, m2, m1), uiHslChannelF(step, m2, m1), uiHslChannelF(step - 512, m2, m1)};
}

}  // namespace pg
