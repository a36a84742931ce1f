#include "core/colour.h"

#include <algorithm>
#include <cstring>

#include "core/fixed_point.h"

namespace pg {

namespace {

constexpr int32_t kDeg60 = 60 << 16;
constexpr int32_t kDeg120 = 120 << 16;
constexpr int32_t kDeg180 = 180 << 16;
constexpr int32_t kDeg240 = 240 << 16;

// Brings a hue into [0, 360] by whole turns; 360 itself is kept, as the ramp
// below treats it like 0 anyway. 64-bit so that hue +/- 120 degrees of any
// i32 hue cannot overflow.
inline int64_t wrapHueKeep360(int64_t hue) {
  if (hue > kHueTurn) return (hue - 1) % kHueTurn + 1;
  if (hue < 0) {
    hue %= kHueTurn;
    if (hue < 0) hue += kHueTurn;
  }
  return hue;
}

// (a * b) >> 16 in 64 bits: fixMul without the 32-bit narrowing, so that a
// record holding values far outside its range cannot overflow.
inline int64_t mul16(int64_t a, int64_t b) { return (a * b) >> 16; }

// One channel of HLS to RGB: m1, m2 are 16.16 fractions, hue 16.16 degrees.
inline uint8_t hlsValue(int64_t m1, int64_t m2, int64_t hue) {
  hue = wrapHueKeep360(hue);
  int64_t v;
  if (hue < kDeg60) {
    v = m1 + mul16(m2 - m1, hue) / 60;
  } else if (hue < kDeg180) {
    v = m2;
  } else if (hue < kDeg240) {
    v = m1 + mul16(m2 - m1, kDeg240 - hue) / 60;
  } else {
    v = m1;
  }
  return uint8_t((v * 255) >> 16);
}

// The ramp of hlsToRgbBytes. It stays apart from hlsValue because the
// hue/saturation filter pins its own wrapping, though for every hue the two agree.
inline uint8_t hlsValueFix(int64_t m1, int64_t m2, int64_t hue) {
  while (hue > kHueTurn) hue -= kHueTurn;
  while (hue < 0) hue += kHueTurn;
  int64_t v;
  if (hue < kDeg60) {
    v = m1 + ((m2 - m1) * hue >> 16) / 60;
  } else if (hue < kDeg180) {
    v = m2;
  } else if (hue < kDeg240) {
    v = m1 + ((m2 - m1) * (kDeg240 - hue) >> 16) / 60;
  } else {
    v = m1;
  }
  return uint8_t((v * 255) >> 16);
}

// The HLS analysis shared by rgbToHls and colorToHls; r, g, b are the 16.16
// fractions already scaled by the caller, rb, gb, bb the bytes they came from.
void hlsFromFractions(uint32_t rb, uint32_t gb, uint32_t bb, int32_t r, int32_t g, int32_t b,
                      bool shiftHalf, SHls& hls) {
  const uint32_t mxb = std::max({rb, gb, bb});
  const int32_t mx = std::max({r, g, b});
  const int32_t mn = std::min({r, g, b});
  const int32_t sum = mx + mn;
  const int32_t delta = mx - mn;
  const int32_t l = shiftHalf ? (sum >> 1) : (sum / 2);
  const int32_t s = fixDiv(delta, l > 32768 ? 131072 - mx - mn : sum);
  int32_t h;
  if (mxb == rb) {
    h = fixDiv(g - b, delta);
  } else if (mxb == gb) {
    h = fixDiv(b - r, delta) + 131072;
  } else {
    h = fixDiv(r - g, delta) + 262144;
  }
  h *= 60;
  if (h < 0) h += kHueTurn;
  hls.Hue = h;
  hls.Lightness = l * 255;
  hls.Saturation = s * 255;
}

}  // namespace

uint8_t* bgrToRgb(const uint8_t* src, uint8_t* dst) {
  const uint8_t b0 = src[0], b1 = src[1], b2 = src[2];
  dst[0] = b2;
  dst[1] = b1;
  dst[2] = b0;
  return dst;
}

uint8_t* rgbToBgr(const uint8_t* src, uint8_t* dst) { return bgrToRgb(src, dst); }

void unpackRow24To32(uint8_t* dst, const uint8_t* src, size_t n) {
  for (size_t i = 0; i < n; ++i, dst += 4, src += 3) {
    dst[0] = src[0];
    dst[1] = src[1];
    dst[2] = src[2];
  }
}

void packRow32To24(uint8_t* dst, const uint8_t* src, size_t n) {
  for (size_t i = 0; i < n; ++i, dst += 3, src += 4) {
    dst[0] = src[0];
    dst[1] = src[1];
    dst[2] = src[2];
  }
}

void fillPixelValue(uint32_t* dst, uint32_t value, size_t n) { std::fill_n(dst, n, value); }

void copyPixels(uint32_t* dst, const uint32_t* src, size_t n) {
  if (n != 0) std::memcpy(dst, src, n * sizeof(uint32_t));
}

void buildGreyRamp(uint32_t* table, size_t n) {
  if (n == 0) return;
  if (n == 1) {  // no step to divide by: the single entry is black
    table[0] &= 0xFF000000u;
    return;
  }
  for (size_t i = 0; i < n; ++i) {
    const uint32_t v = uint32_t(i * 255 / (n - 1));
    table[i] = (table[i] & 0xFF000000u) | (v << 16) | (v << 8) | v;
  }
}

uint32_t lerpBytes4(uint32_t a, uint32_t b, int32_t t, int32_t n) {
  if (n == 0) return a;
  uint32_t out = 0;
  for (int shift = 0; shift < 32; shift += 8) {
    const int64_t av = (a >> shift) & 0xFFu;
    const int64_t bv = (b >> shift) & 0xFFu;
    const int64_t v = av + (bv - av) * t / n;
    out |= (uint32_t(v) & 0xFFu) << shift;
  }
  return out;
}

uint32_t lerpBytes4Fix(uint32_t a, uint32_t b, int32_t t, int32_t n) {
  if (n == 0) return a;
  uint32_t out = 0;
  for (int shift = 0; shift < 32; shift += 8) {
    const int64_t av = int64_t((a >> shift) & 0xFFu) << 16;
    const int64_t bv = int64_t((b >> shift) & 0xFFu) << 16;
    const int64_t v = (av + (bv - av) * t / n) >> 16;
    out |= (uint32_t(v) & 0xFFu) << shift;
  }
  return out;
}

void rgbToHls(const SRgbTriple& rgb, SHls& hls) {
  const uint32_t R = rgb.R, G = rgb.G, B = rgb.B;
  if (std::min({R, G, B}) == std::max({R, G, B})) {
    hls.Hue = 0;
    hls.Saturation = 0;
    hls.Lightness = int32_t(R << 16);
    return;
  }
  hlsFromFractions(R, G, B, int32_t((R << 16) / 255), int32_t((G << 16) / 255),
                   int32_t((B << 16) / 255), false, hls);
}

void colorToHls(TColor colour, SHls& hls) {
  const uint32_t R = colour & 0xFFu, G = (colour >> 8) & 0xFFu, B = (colour >> 16) & 0xFFu;
  if (std::min({R, G, B}) == std::max({R, G, B})) {
    hls.Hue = 0;
    hls.Saturation = 0;
    hls.Lightness = int32_t(R << 16);
    return;
  }
  hlsFromFractions(R, G, B, int32_t((R * 32897) >> 7), int32_t((G * 32897) >> 7),
                   int32_t((B * 32897) >> 7), true, hls);
}

void pixelToHls(uint32_t p, SHls& hls) {
  SRgbTriple rgb{uint8_t(p >> 16), uint8_t(p >> 8), uint8_t(p)};
  rgbToHls(rgb, hls);
}

void hlsToRgb(const SHls& hls, SRgbTriple& rgb) {
  if (hls.Saturation == 0) {
    const uint8_t v = uint8_t(hls.Lightness >> 16);
    rgb = {v, v, v};
    return;
  }
  const int64_t l = hls.Lightness / 255;
  const int64_t s = hls.Saturation / 255;
  const int64_t m2 = l > 32768 ? l + s - mul16(l, s) : mul16(l, 65536 + s);
  const int64_t m1 = 2 * l - m2;
  rgb.R = hlsValue(m1, m2, int64_t(hls.Hue) + kDeg120);
  rgb.G = hlsValue(m1, m2, hls.Hue);
  rgb.B = hlsValue(m1, m2, int64_t(hls.Hue) - kDeg120);
}

uint32_t hlsToPixel(const SHls& hls) {
  SRgbTriple rgb;
  hlsToRgb(hls, rgb);
  return (uint32_t(rgb.R) << 16) | (uint32_t(rgb.G) << 8) | rgb.B;
}

void hlsToRgbBytes(const SHls& hls, SRgbTriple& rgb) {
  if (hls.Saturation == 0) {
    const uint8_t v = uint8_t((hls.Lightness >> 16) & 255);
    rgb = {v, v, v};
    return;
  }
  const int64_t l = (int64_t(hls.Lightness) * 32897) >> 23;
  const int64_t s = (int64_t(hls.Saturation) * 32897) >> 23;
  // Lightness up to one half: l*(1+s); above: l + s - l*s (the usual HLS
  // split, the same as hlsToRgb).
  const int64_t m2 = l <= 32768 ? mul16(l, 65536 + s) : l + s - mul16(l, s);
  const int64_t m1 = 2 * l - m2;
  rgb.R = hlsValueFix(m1, m2, int64_t(hls.Hue) + kDeg120);
  rgb.G = hlsValueFix(m1, m2, hls.Hue);
  rgb.B = hlsValueFix(m1, m2, int64_t(hls.Hue) - kDeg120);
}

void rgbToHsv(const SRgbTriple& rgb, SHsv& hsv) {
  const uint32_t R = rgb.R, G = rgb.G, B = rgb.B;
  // The first of R, G, B wins ties for the largest.
  int largest = 0;
  uint32_t mx = R;
  if (G > mx) {
    mx = G;
    largest = 1;
  }
  if (B > mx) {
    mx = B;
    largest = 2;
  }
  const uint32_t mn = std::min({R, G, B});
  hsv.Value = int32_t(mx << 16);
  if (mx == 0) {
    hsv.Saturation = 0;
    hsv.Hue = 0;
    return;
  }
  const int32_t delta = int32_t((mx - mn) << 16);
  hsv.Saturation = int32_t(fixDivU(uint32_t(delta), mx << 16) * 255);
  if (hsv.Saturation == 0) {
    hsv.Hue = 0;
    return;
  }
  const int32_t rc = fixDiv(int32_t((mx - R) << 16), delta);
  const int32_t gc = fixDiv(int32_t((mx - G) << 16), delta);
  const int32_t bc = fixDiv(int32_t((mx - B) << 16), delta);
  int32_t h;
  if (largest == 0) {
    h = bc - gc;
  } else if (largest == 1) {
    h = 131072 + rc - bc;
  } else {
    h = 262144 + gc - rc;
  }
  h *= 60;
  if (h < 0) h += kHueTurn;
  hsv.Hue = h;
}

void hsvToRgb(const SHsv& hsv, SRgbTriple& rgb) {
  if (hsv.Saturation == 0) {
    const uint8_t v = uint8_t(hsv.Value >> 16);
    rgb = {v, v, v};
    return;
  }
  // Whole turns in either direction, so that any hue (also one below -360
  // degrees) lands in one of the six sectors.
  int32_t hue = hsv.Hue % kHueTurn;
  if (hue < 0) hue += kHueTurn;
  const int32_t sector = hue / kDeg60;
  const uint64_t f = fixDivU(uint32_t(hue % kDeg60), uint32_t(kDeg60));
  const uint64_t S = uint32_t(hsv.Saturation);
  const uint64_t V = uint32_t(hsv.Value);
  const uint64_t full = uint32_t(kChannelMax);
  const uint64_t fS = (f * S) >> 16;
  const uint32_t p = fixDivU(uint32_t(((full - S) * V) >> 16), uint32_t(full));
  const uint32_t q = fixDivU(uint32_t(((full - fS) * V) >> 16), uint32_t(full));
  const uint32_t t = fixDivU(uint32_t(((full - S + fS) * V) >> 16), uint32_t(full));
  const uint32_t v = uint32_t(V);
  uint32_t r, g, b;
  switch (sector) {
    case 0: r = v; g = t; b = p; break;
    case 1: r = q; g = v; b = p; break;
    case 2: r = p; g = v; b = t; break;
    case 3: r = p; g = q; b = v; break;
    case 4: r = t; g = p; b = v; break;
    default: r = v; g = p; b = q; break;
  }
  rgb.R = uint8_t(r >> 16);
  rgb.G = uint8_t(g >> 16);
  rgb.B = uint8_t(b >> 16);
}

void cmykToRgb(const SCmyk& cmyk, SRgbTriple& rgb) {
  // Each channel is 0..255 by definition; clamping first keeps a stray value
  // (an imported swatch, say) from overflowing the subtraction below.
  auto clampChannel = [](int32_t v) { return std::clamp(v, 0, kChannelMax); };
  const int32_t k = fixDiv(kChannelMax - clampChannel(cmyk.K), kChannelMax);
  auto channel = [k](int32_t c) {
    return uint8_t(std::min<int64_t>(kChannelMax, mul16(int64_t(kChannelMax) - c, k) + 32768) >> 16);
  };
  rgb.R = channel(clampChannel(cmyk.C));
  rgb.G = channel(clampChannel(cmyk.M));
  rgb.B = channel(clampChannel(cmyk.Y));
}

}  // namespace pg
