#include "filters/legacy_kernels.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "core/blend_arith.h"
#include "core/byte_cursor.h"
#include "core/colour.h"
#include "filters/filter_random.h"
#include "filters/samplers.h"

namespace pg {

namespace {

constexpr double kOld2Pi = 6.28318;  // the older set's constants, kept for its pixels
constexpr double kOldPi = 3.14159;
// Beyond these a recorded size or distance is refused: no picture is larger.
constexpr double kMaxReach = 10000.0;
constexpr int32_t kLegacyHueTurn = 360 << 16;

// The parameter words of a kernel: exactly `expected` bytes, read in order.
template <class... T>
[[nodiscard]] bool readWords(const void* param, int32_t size, int32_t expected, T&... fields) {
  if (size != expected || (expected > 0 && param == nullptr)) return false;
  CByteCursor c = CByteCursor::reading(static_cast<const uint8_t*>(param), size_t(size));
  (c.field(fields), ...);
  return c.ok() && c.remaining() == 0;
}

uint32_t clampByte(int64_t v) { return uint32_t(std::clamp<int64_t>(v, 0, 255)); }

// The colour at a 16.16 point: bilinear with edges clamped, or the pixel of
// the truncated point wrapped around the image.
uint32_t sampleAt(const TMTC& work, int64_t x16, int64_t y16, bool bilinear) {
  if (bilinear) {
    const int64_t maxX = int64_t(work.Width) * 65536 - 1, maxY = int64_t(work.Height) * 65536 - 1;
    return bilinearClampEdge(work, int32_t(std::clamp<int64_t>(x16, 0, maxX)), int32_t(std::clamp<int64_t>(y16, 0, maxY)));
  }
  const int64_t w = work.Width, h = work.Height;
  const int64_t x = ((x16 / 65536) % w + w) % w, y = ((y16 / 65536) % h + h) % h;
  return work.getPixel(int32_t(x), int32_t(y));
}

// The mean colour of samples weighted by their alphas, and their mean alpha.
struct SAlphaMean {
  uint64_t a = 0, b = 0, g = 0, r = 0;
  uint32_t n = 0;
  void add(uint32_t p) {
    const uint64_t alpha = p >> 24;
    a += alpha;
    b += (p & 0xFF) * alpha;
    g += (p >> 8 & 0xFF) * alpha;
    r += (p >> 16 & 0xFF) * alpha;
    ++n;
  }
  // False when every sample was transparent.
  [[nodiscard]] bool result(uint32_t& out) const {
    if (a == 0 || n == 0) return false;
    out = uint32_t(b / a) | uint32_t(g / a) << 8 | uint32_t(r / a) << 16 | uint32_t(std::min<uint64_t>(a / n, 255)) << 24;
    return true;
  }
};

[[nodiscard]] bool applyTables(const SFlt4Context* ctx, const LegacyTable& t0, const LegacyTable& t1, const LegacyTable& t2) {
  const TPlanePart<TMTC> work = imageWork(*ctx);
  return forEachSelectedPixel(*ctx, ctx->region, [&](int32_t x, int32_t y, uint32_t* pixel, uint32_t m) {
    const uint32_t s = work.getPixel(x, y);
    if ((s >> 24) == 0) return;
    lerpPixelRgb(pixel, uint32_t(t0[s & 0xFF]) | uint32_t(t1[s >> 8 & 0xFF]) << 8 | uint32_t(t2[s >> 16 & 0xFF]) << 16, m);
  });
}

[[nodiscard]] bool applyTable(const SFlt4Context* ctx, const LegacyTable& t) { return applyTables(ctx, t, t, t); }

// A 3 x 3 kernel over every selected pixel, the colour from the neighbourhood.
template <class F>
[[nodiscard]] bool applyNeighbourhood(const SFlt4Context* ctx, const std::array<float, 9>& weights, F&& colourOf) {
  const TPlanePart<TMTC> work = imageWork(*ctx);
  TPixelMatrix m;
  m.setWeights(weights);
  return forEachSelectedPixel(*ctx, ctx->region, [&](int32_t x, int32_t y, uint32_t* pixel, uint32_t weight) {
    m.setPixels(work, x, y);
    lerpPixelRgb(pixel, colourOf(m), weight);
  });
}

// The whole image's rectangle.
TRect imageRect(const SFlt4Context& ctx) { return TRect{0, 0, ctx.image->width(), ctx.image->height()}; }

}  // namespace

// ---- shared routines --------------------------------------------------------

void TPixelMatrix::setPixels(const TMTC& plane, int32_t x, int32_t y) {
  for (int32_t j = 0; j < 3; ++j)
    for (int32_t i = 0; i < 3; ++i) pixels[size_t(j * 3 + i)] = plane.getPixelClamped(x + i - 1, y + j - 1);
}

uint32_t TPixelMatrix::weightedSum3() const {
  double div = double(weights[3]) + double(weights[4]) + double(weights[5]);
  if (div == 0.0) div = 1.0;
  uint32_t out = 0;
  for (int shift = 0; shift < 32; shift += 8) {
    const double sum = double(weights[3]) * double(pixels[1] >> shift & 0xFF) +
                       double(weights[4]) * double(pixels[4] >> shift & 0xFF) +
                       double(weights[5]) * double(pixels[7] >> shift & 0xFF);
    out |= clampByte(int64_t(std::trunc(sum / div))) << shift;
  }
  return out;
}

bool buildLegacyPosterizeTable(int32_t levels, LegacyTable& t) {
  if (levels < 2 || levels > 254) return false;
  const double step = 255.0 / levels, outStep = 255.0 / (levels - 1);
  double threshold = 0.0, output = 0.0;
  for (int32_t v = 0; v < 256; ++v) {
    // The step is taken before the value is read: two levels split at 128.
    if (v >= threshold + step) {
      threshold += step;
      output += outStep;
    }
    t[size_t(v)] = uint8_t(std::min<int64_t>(int64_t(std::trunc(output)), 255));
  }
  return true;
}

bool buildLegacyLevelsTable(int32_t inLow, int32_t inHigh, int32_t midpoint, int32_t outLow, int32_t outHigh,
                            LegacyTable& t) {
  if (inLow < 0 || inLow > midpoint || midpoint > inHigh || inHigh > 255 || outLow < 0 || outLow > 255 ||
      outHigh < 0 || outHigh > 255)
    return false;
  for (int32_t v = 0; v < 256; ++v) {
    const int32_t c = std::clamp(v, inLow, inHigh);
    double f;
    if (c < midpoint)
      f = double(c - inLow) / double(midpoint - inLow) * 0.5;  // midpoint > c >= inLow here
    else if (inHigh > midpoint)
      f = double(c - midpoint) / double(inHigh - midpoint) * 0.5 + 0.5;
    else
      f = 1.0;  // the midpoint at the top: everything from it is the top
    t[size_t(v)] = uint8_t(clampByte(int64_t(std::trunc(double(outHigh - outLow) * f)) + outLow));
  }
  return true;
}

double legacyToneCurve(double x) { return x < 0 ? 1.0 - 0.007 * std::fabs(x) : 1.0 / (1.0 - 0.007 * x); }

double powRatio(double x, double y) { return std::pow(x, y) / x; }

void buildLegacyBrightnessContrastTable(int32_t brightness, int32_t contrast, LegacyTable& t) {
  // Beyond +-127 the curve would pass its pole.
  const double b = std::clamp(brightness, -127, 127), k = std::clamp(contrast, -127, 127);
  const double eB = legacyToneCurve(-b), eC1 = legacyToneCurve(k), eC2 = legacyToneCurve(-k);
  std::array<double, 256> d{};
  // Each curve bends the value by a power: brightness over the whole range,
  // contrast over each half, so that 0 and 0 leave every value as it is.
  for (int32_t v = 0; v < 256; ++v) d[size_t(v)] = std::pow(v / 255.0, eB) - v / 255.0;
  for (int32_t i = 0; i < 128; ++i) {
    d[size_t(i)] += std::pow(i / 127.0, eC1) - i / 127.0;
    d[size_t(128 + i)] += std::pow(i / 127.0, eC2) - i / 127.0;
  }
  for (int32_t v = 0; v < 256; ++v)
    t[size_t(v)] = uint8_t(clampByte(int64_t(std::trunc(std::clamp(v / 255.0 + d[size_t(v)], 0.0, 1.0) * 255.0))));
}

int32_t buildGaussianWeightsF(std::vector<float>& weights, int32_t n, double sigma) {
  weights.clear();
  if (n < 1 || !(sigma > 0.0) || !std::isfinite(sigma)) return -1;
  const double s = 2.0 * sigma * sigma;
  std::vector<double> w(static_cast<size_t>(n));
  double sum = 0.0;
  for (int32_t i = 0; i < n; ++i) {
    const double d = i - n / 2;
    w[size_t(i)] = std::exp(-(d * d) / s);
    sum += w[size_t(i)];
  }
  weights.resize(size_t(n));
  int32_t radius = 0;
  for (int32_t i = 0; i < n; ++i) {
    const double v = sum > 0.0 ? w[size_t(i)] / sum : 0.0;
    if (v >= 0.01) radius = std::abs(i - n / 2) + 1;
    weights[size_t(i)] = float(v);
  }
  return radius;
}

// ---- lookup kernels ---------------------------------------------------------

bool legacyPosterize4Kernel(const SFlt4Context* ctx, const void* param, int32_t size) {
  int32_t levels = 0, unused = 0;
  LegacyTable t;
  if (!isValidContext(ctx) || !readWords(param, size, 8, levels, unused) || !buildLegacyPosterizeTable(levels, t))
    return false;
  return applyTable(ctx, t);
}

bool legacyLevels4Kernel(const SFlt4Context* ctx, const void* param, int32_t size) {
  int32_t inLow = 0, inHigh = 0, mid = 0, outLow = 0, outHigh = 0, unused = 0;
  LegacyTable t;
  if (!isValidContext(ctx) || !readWords(param, size, 24, inLow, inHigh, mid, outLow, outHigh, unused) ||
      !buildLegacyLevelsTable(inLow, inHigh, mid, outLow, outHigh, t))
    return false;
  return applyTable(ctx, t);
}

bool legacyBrightnessContrast4Kernel(const SFlt4Context* ctx, const void* param, int32_t size) {
  int32_t b = 0, k = 0;
  if (!isValidContext(ctx) || !readWords(param, size, 8, b, k)) return false;
  LegacyTable t;
  buildLegacyBrightnessContrastTable(b, k, t);
  return applyTable(ctx, t);
}

bool legacyGrayscale4Kernel(const SFlt4Context* ctx, const void* param, int32_t size) {
  if (!isValidContext(ctx) || !readWords(param, size, 0)) return false;
  const TPlanePart<TMTC> work = imageWork(*ctx);
  return forEachSelectedPixel(*ctx, ctx->region, [&](int32_t x, int32_t y, uint32_t* pixel, uint32_t m) {
    const uint32_t s = work.getPixel(x, y);
    if ((s >> 24) == 0) return;
    const uint32_t g = pixelGrey(s);
    lerpPixelRgb(pixel, g | g << 8 | g << 16, m);
  });
}

bool legacyHueSaturation4Kernel(const SFlt4Context* ctx, const void* param, int32_t size) {
  int32_t hue = 0, lightness = 0, saturation = 0, unused = 0;
  if (!isValidContext(ctx) || !readWords(param, size, 16, hue, lightness, saturation, unused)) return false;
  // A saturation of 100.4 % or more would make 256 - s zero: the table tops out at 255.
  const int32_t s = std::clamp(int32_t(std::trunc(std::clamp(saturation, -100, 100) * 2.55)), -255, 255);
  const int32_t l = std::clamp(lightness, -127, 127);
  std::array<int64_t, 256> satTable{}, lightTable{};
  for (int32_t i = 0; i < 256; ++i) {
    const int64_t v = s < 0 ? int64_t(i) * (s + 256) * 65536 / 255
                            : (i <= 256 - s ? int64_t(i) * 255 * 65536 / (256 - s) : int64_t{255} * 65536);
    satTable[size_t(i)] = std::min<int64_t>(v, 255 * 65536);
    // Lightness bends the values around 128 by the tone curve, darker below
    // 0, lighter above.
    double f = i / 255.0;
    if (l != 0) {
      const double e = legacyToneCurve(double(l));
      f = i < 128 ? std::pow(f * 255.0 / 128.0, 1.0 / e) * 128.0 / 255.0
                  : 1.0 - std::pow((255.0 - i) / 127.0, e) * 127.0 / 255.0;
    }
    lightTable[size_t(i)] = int64_t(std::clamp(f, 0.0, 1.0) * 255.0 + 0.5) * 65536;
  }
  const TPlanePart<TMTC> work = imageWork(*ctx);
  const int64_t shift = int64_t(hue % 360) * 65536;
  return forEachSelectedPixel(*ctx, ctx->region, [&](int32_t x, int32_t y, uint32_t* pixel, uint32_t m) {
    const uint32_t p = work.getPixel(x, y);
    if ((p >> 24) == 0) return;
    SHls hls;
    colorToHls(TColor((p >> 16 & 0xFF) | (p & 0xFF00) | (p & 0xFF) << 16), hls);
    hls.Hue = static_cast<int32_t>(((int64_t{hls.Hue} + shift) % kLegacyHueTurn + kLegacyHueTurn) % kLegacyHueTurn);
    hls.Saturation = int32_t(satTable[size_t(std::clamp(hls.Saturation >> 16, 0, 255))]);
    hls.Lightness = int32_t(lightTable[size_t(std::clamp(hls.Lightness >> 16, 0, 255))]);
    SRgbTriple rgb;
    hlsToRgbBytes(hls, rgb);
    lerpPixelRgb(pixel, uint32_t(rgb.B) | uint32_t(rgb.G) << 8 | uint32_t(rgb.R) << 16, m);
  });
}

// ---- neighbourhood kernels --------------------------------------------------

bool legacySharpen4Kernel(const SFlt4Context* ctx, const void* param, int32_t size) {
  if (!isValidContext(ctx) || !readWords(param, size, 0)) return false;
  return applyNeighbourhood(ctx, {-1, -1, -1, -1, 9, -1, -1, -1, -1}, [](const TPixelMatrix& m) { return m.weightedSum3(); });
}

bool legacySharpenMore4Kernel(const SFlt4Context* ctx, const void* param, int32_t size) {
  if (!isValidContext(ctx) || !readWords(param, size, 0)) return false;
  return applyNeighbourhood(ctx, {-1, -1, -1, -1, 3, -1, -1, -1, -1}, [](const TPixelMatrix& m) { return m.weightedSum3(); });
}

bool legacySharpenCustom4Kernel(const SFlt4Context* ctx, const void* param, int32_t size) {
  int32_t unused = 0, strength = 0;
  if (!isValidContext(ctx) || !readWords(param, size, 8, unused, strength)) return false;
  if (strength <= 0) return true;
  // k - 4 = 3^(1 - s) x 15.9 + 0.1 is never 0.
  const double k = std::pow(3.0, 1.0 - std::min(strength, 100)) * 15.9 + 4.1;
  const std::array<float, 9> w = {0, -1, 0, -1, float(k), -1, 0, -1, 0};
  return applyNeighbourhood(ctx, w, [k](const TPixelMatrix& m) {
    uint32_t out = 0;
    for (int shift = 0; shift < 32; shift += 8) {
      double sum = 0.0;
      for (size_t i = 0; i < 9; ++i) sum += double(m.weights[i]) * double(m.pixels[i] >> shift & 0xFF);
      out |= clampByte(int64_t(std::trunc(sum / (k - 4.0)))) << shift;
    }
    return out;
  });
}

// ---- noise and mosaic -------------------------------------------------------

bool legacyNoise4Kernel(const SFlt4Context* ctx, const void* param, int32_t size) {
  uint32_t seed = 0, amountWord = 0;
  if (!isValidContext(ctx) || !readWords(param, size, 8, seed, amountWord)) return false;
  const uint32_t amount = amountWord & 0xFFFF;
  const bool mono = (amountWord >> 16 & 1) != 0;
  const int32_t half = int32_t(amount / 2);
  const TPlanePart<TMTC> work = imageWork(*ctx);
  CBlockVMTC& image = *ctx->image;
  setFilterRandomState(seed);
  // Every opaque pixel of the layer draws, selected or not, so that a
  // selection never shifts the draws of the pixels after it.
  const TRect all = imageRect(*ctx);
  for (int32_t y = all.Top; y < all.Bottom; ++y)
    for (int32_t x = all.Left; x < all.Right; ++x) {
      const uint32_t s = work.getPixel(x, y);
      if ((s >> 24) == 0) continue;
      const int32_t r = int32_t(filterRandom(amount)) - half;
      const int32_t g = mono ? r : int32_t(filterRandom(amount)) - half;
      const int32_t b = mono ? r : int32_t(filterRandom(amount)) - half;
      const uint32_t m = ctx->maskValue(*ctx, x, y);
      const TRect& rg = ctx->region;
      if (m == 0 || x < rg.Left || x >= rg.Right || y < rg.Top || y >= rg.Bottom) continue;
      uint32_t* pixel = image.pixelPtr(x, y);
      if (pixel == nullptr) return false;
      lerpPixelRgb(pixel,
                   clampByte(int32_t(s & 0xFF) + b) | clampByte(int32_t(s >> 8 & 0xFF) + g) << 8 |
                       clampByte(int32_t(s >> 16 & 0xFF) + r) << 16,
                   m);
    }
  return true;
}

bool legacyMosaic4Kernel(const SFlt4Context* ctx, const void* param, int32_t size) {
  int32_t n = 0, unused = 0;
  if (!isValidContext(ctx) || !readWords(param, size, 8, n, unused) || n < 2 || n > int32_t(kMaxReach)) return false;
  const bool blend = ctx->protectAlpha != 0;
  const TPlanePart<TMTC> work = imageWork(*ctx);
  const int32_t w = work.Width, h = work.Height;
  for (int32_t cy = 0; cy <= (h - 1) / n; ++cy)
    for (int32_t cx = 0; cx <= (w - 1) / n; ++cx) {
      // The cell's n x n addresses are clamped into the image, so edge
      // cells weigh their last pixels more, as they always did.
      uint64_t a = 0, b = 0, g = 0, r = 0;
      for (int32_t j = 0; j < n; ++j)
        for (int32_t i = 0; i < n; ++i) {
          const uint32_t p = work.getPixelClamped(cx * n + i, cy * n + j);
          const uint64_t alpha = p >> 24;
          a += alpha;
          b += (p & 0xFF) * alpha;
          g += (p >> 8 & 0xFF) * alpha;
          r += (p >> 16 & 0xFF) * alpha;
        }
      if (a == 0) continue;
      const uint32_t colour = uint32_t(b / a) | uint32_t(g / a) << 8 | uint32_t(r / a) << 16 |
                              uint32_t(std::min<uint64_t>(a / (uint64_t(n) * uint64_t(n)), 255)) << 24;
      // Each pixel of the image is written once.
      TRect part{cx * n, cy * n, std::min(w, cx * n + n), std::min(h, cy * n + n)};
      if (!intersectRect(part, ctx->region)) continue;
      if (!forEachSelectedPixel(*ctx, part, [&](int32_t, int32_t, uint32_t* pixel, uint32_t m) {
            writeWeighted(pixel, colour, m, blend);
          }))
        return false;
    }
  return true;
}

// ---- blurs ------------------------------------------------------------------

bool legacyMotionBlur4Kernel(const SFlt4Context* ctx, const void* param, int32_t size) {
  float angle = 0.0f, distance = 0.0f;
  if (!isValidContext(ctx) || !readWords(param, size, 8, angle, distance)) return false;
  // No distance gives no samples to spread: refused.
  if (!(distance > 0.0f) || distance > kMaxReach || !std::isfinite(angle)) return false;
  const bool blend = ctx->protectAlpha != 0;
  const double d = distance, dx = std::cos(double(angle)) * d, dy = std::sin(double(angle)) * d;
  const int32_t samples = int32_t(std::trunc(3.0 * d)) + 1;
  const int64_t startX = int64_t(dx * 65536.0), startY = int64_t(dy * 65536.0);
  const int64_t stepX = int64_t(-2.0 * dx / (3.0 * d) * 65536.0), stepY = int64_t(-2.0 * dy / (3.0 * d) * 65536.0);
  const TPlanePart<TMTC> work = imageWork(*ctx);
  return forEachSelectedPixel(*ctx, ctx->region, [&](int32_t x, int32_t y, uint32_t* pixel, uint32_t m) {
    SAlphaMean mean;
    int64_t ox = startX, oy = startY;
    for (int32_t i = 0; i < samples; ++i, ox += stepX, oy += stepY)
      mean.add(work.getPixelClamped(int32_t(x + ox / 65536), int32_t(y + oy / 65536)));
    uint32_t colour;
    if (mean.result(colour)) writeWeighted(pixel, colour, m, blend);
  });
}

bool legacyRadialBlur4Kernel(const SFlt4Context* ctx, const void* param, int32_t size) {
  float cx = 0.0f, cy = 0.0f, amount = 0.0f;
  int32_t unused = 0;
  if (!isValidContext(ctx) || !readWords(param, size, 16, cx, cy, amount, unused)) return false;
  const TPlanePart<TMTC> work = imageWork(*ctx);
  const double halfW = work.Width / 2, halfH = work.Height / 2;
  const double diag = std::sqrt(halfW * halfW + halfH * halfH);
  // No amount or a picture of one pixel gives no span: refused.
  if (!(amount > 0.0f) || amount > kMaxReach || diag <= 0.0 || !std::isfinite(cx) || !std::isfinite(cy)) return false;
  const bool blend = ctx->protectAlpha != 0;
  const double a = amount;
  const int32_t samples = int32_t(std::trunc(2.0 * a)) + 1;
  return forEachSelectedPixel(*ctx, ctx->region, [&](int32_t x, int32_t y, uint32_t* pixel, uint32_t m) {
    const double ox = (x - double(cx)) * a / (2.0 * diag), oy = (y - double(cy)) * a / (2.0 * diag);
    int64_t px = int64_t(-ox * 65536.0), py = int64_t(-oy * 65536.0);
    const int64_t sx = int64_t(ox / a * 65536.0), sy = int64_t(oy / a * 65536.0);
    SAlphaMean mean;
    for (int32_t i = 0; i < samples; ++i, px += sx, py += sy)
      mean.add(work.getPixelClamped(int32_t(std::clamp<int64_t>(x + px / 65536, -1, work.Width)),
                                    int32_t(std::clamp<int64_t>(y + py / 65536, -1, work.Height))));
    uint32_t colour;
    if (mean.result(colour)) writeWeighted(pixel, colour, m, blend);
  });
}

bool legacyGaussianBlur4Kernel(const SFlt4Context* ctx, const void* param, int32_t size) {
  uint32_t switches = 0;
  float radius = 0.0f;
  if (!isValidContext(ctx) || !readWords(param, size, 8, switches, radius) || !std::isfinite(radius)) return false;
  if (radius == 0.0f) return true;  // nothing to blur: the layer stays as it was
  if (std::fabs(radius) > kMaxReach) return false;
  const bool blend = (switches & 1) != 0, wrap = (switches & 2) != 0;
  const TPlanePart<TMTC> work = imageWork(*ctx);
  const int32_t w = work.Width, h = work.Height;
  std::vector<float> kx, ky;
  const int32_t rx = buildGaussianWeightsF(kx, w, std::fabs(radius));
  const int32_t ry = buildGaussianWeightsF(ky, h, std::fabs(radius));
  if (rx < 0 || ry < 0) return false;
  const TRect region = ctx->region;
  // One pass over the rows the region needs, every column, then one along
  // the rows into the layer.
  TMTC temp;
  if (!temp.Resize(w, region.Bottom - region.Top)) return false;
  struct Sums {
    double w = 0, aw = 0, b = 0, g = 0, r = 0;
    uint64_t a = 0;
    uint32_t n = 0;
    void add(uint32_t p, double weight) {
      const double alpha = p >> 24;
      w += weight;
      aw += alpha * weight;
      a += p >> 24;
      b += (p & 0xFF) * weight * alpha;
      g += (p >> 8 & 0xFF) * weight * alpha;
      r += (p >> 16 & 0xFF) * weight * alpha;
      ++n;
    }
    [[nodiscard]] bool result(uint32_t& out) const {
      if (w == 0.0 || a == 0 || n == 0 || aw == 0.0) return false;
      out = clampByte(int64_t(b / aw)) | clampByte(int64_t(g / aw)) << 8 | clampByte(int64_t(r / aw)) << 16 |
            uint32_t(std::min<uint64_t>(a / n, 255)) << 24;
      return true;
    }
  };
  for (int32_t y = region.Top; y < region.Bottom; ++y)
    for (int32_t x = 0; x < w; ++x) {
      Sums s;
      for (int32_t k = -ry; k <= ry; ++k) {
        const int32_t tap = h / 2 + k;
        if (tap < 0 || tap >= h) continue;
        int32_t sy = y + k;
        if (sy < 0 || sy >= h) {
          if (!wrap) continue;
          sy = (sy % h + h) % h;
        }
        s.add(work.getPixel(x, sy), ky[size_t(tap)]);
      }
      uint32_t out = 0x00FFFFFFu;
      (void)s.result(out);  // all samples transparent: the pixel keeps the transparent white set above
      *temp.pixelAt(x, y - region.Top) = out;
    }
  return forEachSelectedPixel(*ctx, region, [&](int32_t x, int32_t y, uint32_t* pixel, uint32_t m) {
    Sums s;
    for (int32_t k = -rx; k <= rx; ++k) {
      const int32_t tap = w / 2 + k;
      if (tap < 0 || tap >= w) continue;
      int32_t sx = x + k;
      if (sx < 0 || sx >= w) {
        if (!wrap) continue;
        sx = (sx % w + w) % w;
      }
      s.add(temp.getPixel(sx, y - region.Top), kx[size_t(tap)]);
    }
    uint32_t colour;
    if (s.result(colour)) writeWeighted(pixel, colour, m, blend);
  });
}

// ---- displacements ----------------------------------------------------------

bool legacyEmboss4Kernel(const SFlt4Context* ctx, const void* param, int32_t size) {
  float angle = 0.0f, distance = 0.0f;
  if (!isValidContext(ctx) || !readWords(param, size, 8, angle, distance)) return false;
  if (!std::isfinite(angle) || !std::isfinite(distance) || std::fabs(distance) > kMaxReach) return false;
  if (distance == 0.0f) return true;  // no relief: the layer stays as it was
  const double dx = -std::sin(double(angle)) * distance, dy = std::cos(double(angle)) * distance;
  const TPlanePart<TMTC> work = imageWork(*ctx);
  return forEachSelectedPixel(*ctx, ctx->region, [&](int32_t x, int32_t y, uint32_t* pixel, uint32_t m) {
    const uint32_t a = sampleAt(work, int64_t((x - dx) * 65536.0), int64_t((y - dy) * 65536.0), true);
    const uint32_t b = sampleAt(work, int64_t((x + dx) * 65536.0), int64_t((y + dy) * 65536.0), true);
    uint32_t out = ((a >> 24) + (b >> 24)) / 2 << 24;
    for (int shift = 0; shift < 24; shift += 8)
      out |= clampByte((int32_t(b >> shift & 0xFF) - int32_t(a >> shift & 0xFF)) / 2 + 128) << shift;
    lerpPixelRgb(pixel, out, m);
  });
}

bool legacyTwist4Kernel(const SFlt4Context* ctx, const void* param, int32_t size) {
  uint32_t switches = 0;
  float fx = 0.0f, fy = 0.0f, turns = 0.0f;
  if (!isValidContext(ctx) || !readWords(param, size, 16, switches, fx, fy, turns)) return false;
  if (!std::isfinite(fx) || !std::isfinite(fy) || !std::isfinite(turns) || std::fabs(turns) > kMaxReach) return false;
  if (turns == 0.0f) return true;  // no turn: the layer stays as it was
  const bool blend = (switches & 1) != 0, bilinear = (switches & 2) != 0, square = (switches & 4) != 0;
  const TPlanePart<TMTC> work = imageWork(*ctx);
  const int32_t w = work.Width, h = work.Height;
  const double cx = std::trunc(w * double(std::clamp(fx, -4.0f, 4.0f)));
  const double cy = std::trunc(h * double(std::clamp(fy, -4.0f, 4.0f)));
  const double reachX = w / 2 + std::fabs(cx - w / 2), reachY = h / 2 + std::fabs(cy - h / 2);
  const double radius = square ? std::min(reachX, reachY) : std::sqrt(reachX * reachX + reachY * reachY);
  if (radius <= 0.0) return true;  // no disc to turn
  return forEachSelectedPixel(*ctx, ctx->region, [&](int32_t x, int32_t y, uint32_t* pixel, uint32_t m) {
    const double dx = x - cx, dy = y - cy;
    if (square && (std::fabs(dx) >= radius || std::fabs(dy) >= radius)) return;
    const double d = std::sqrt(dx * dx + dy * dy);
    if (d >= radius) return;
    const double t = kOld2Pi * double(turns) * (1.0 - d / radius);
    const double c = std::cos(t), s = std::sin(t);
    const uint32_t colour =
        sampleAt(work, int64_t((cx + dx * c - dy * s) * 65536.0), int64_t((cy + dx * s + dy * c) * 65536.0), bilinear);
    if (blend)
      lerpPixelRgb(pixel, colour, m);
    else
      *pixel = colour;
  });
}

bool legacyWave4Kernel(const SFlt4Context* ctx, const void* param, int32_t size) {
  uint32_t switches = 0;
  float phase = 0.0f, freqX = 0.0f, ampX = 0.0f, freqY = 0.0f, ampY = 0.0f;
  if (!isValidContext(ctx) || !readWords(param, size, 24, switches, phase, freqX, ampX, freqY, ampY)) return false;
  for (const float v : {phase, freqX, ampX, freqY, ampY})
    if (!std::isfinite(v) || std::fabs(v) > kMaxReach) return false;
  if (freqX * ampX == 0.0f && freqY * ampY == 0.0f) return true;  // no wave: the layer stays as it was
  const bool blend = (switches & 1) != 0, bilinear = (switches & 2) != 0;
  const TPlanePart<TMTC> work = imageWork(*ctx);
  const int32_t w = work.Width, h = work.Height;
  std::vector<int64_t> cxs(static_cast<size_t>(w)), sxs(static_cast<size_t>(w)), cys(static_cast<size_t>(h)),
      sys(static_cast<size_t>(h));
  for (int32_t x = 0; x < w; ++x) {
    const double a = (double(x) / w * 2.0 * kOldPi + phase) * freqX;
    cxs[size_t(x)] = int64_t(std::cos(a) * ampX * 65536.0);
    sxs[size_t(x)] = int64_t(std::sin(a) * ampX * 65536.0);
  }
  for (int32_t y = 0; y < h; ++y) {
    const double a = (double(y) / h * 2.0 * kOldPi + phase) * freqY;
    cys[size_t(y)] = int64_t(std::cos(a) * ampY * 65536.0);
    sys[size_t(y)] = int64_t(std::sin(a) * ampY * 65536.0);
  }
  return forEachSelectedPixel(*ctx, ctx->region, [&](int32_t x, int32_t y, uint32_t* pixel, uint32_t m) {
    const int64_t sx = int64_t(x) * 65536 + cxs[size_t(x)] + cys[size_t(y)];
    const int64_t sy = int64_t(y) * 65536 + sxs[size_t(x)] + sys[size_t(y)];
    const uint32_t colour = sampleAt(work, sx, sy, bilinear);
    if (blend)
      lerpPixelRgb(pixel, colour, m);
    else
      *pixel = colour;
  });
}

}  // namespace pg
