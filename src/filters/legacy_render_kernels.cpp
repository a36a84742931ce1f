#include "filters/legacy_render_kernels.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <new>

#include "core/aa_draw.h"
#include "core/blend_arith.h"
#include "core/byte_cursor.h"
#include "filters/filter_random.h"
#include "filters/legacy_kernels.h"
#include "filters/legacy_plane.h"

namespace pg {

namespace {

constexpr double kPi = 3.14159265358979323846;
constexpr int32_t kMaxTileColours = 3;
constexpr int32_t kOctaves = 6;
// The floor is supersampled only while it stays within this many samples;
// larger areas render one sample a pixel.
constexpr int64_t kMaxFloorSamples = int64_t{1} << 22;

// The words of a parameter block: exactly `expected` bytes, read in order.
template <class... T>
[[nodiscard]] bool readBlock(const void* param, int32_t size, int32_t expected, T&... fields) {
  if (size != expected || param == nullptr) return false;
  CByteCursor c = CByteCursor::reading(static_cast<const uint8_t*>(param), size_t(size));
  (c.field(fields), ...);
  return c.ok() && c.remaining() == 0;
}

// Paints one tile: coverage (cw x ch) placed with its pixel (0, 0) at layer
// pixel (ox, oy), clipped to the region and weighted by the selection; the
// opacity is the smaller of coverage and the colour's alpha.
[[nodiscard]] bool paintTile(const SFlt4Context& ctx, const TChannel& coverage, int32_t ox, int32_t oy, uint32_t colour) {
  const uint32_t colourAlpha = colour >> 24;
  const bool keepAlpha = ctx.protectAlpha != 0;
  const int32_t x0 = std::max(ox, ctx.region.Left), x1 = std::min(ox + coverage.Width, ctx.region.Right);
  const int32_t y0 = std::max(oy, ctx.region.Top), y1 = std::min(oy + coverage.Height, ctx.region.Bottom);
  for (int32_t y = y0; y < y1; ++y)
    for (int32_t x = x0; x < x1; ++x) {
      const uint32_t c = std::min<uint32_t>(coverage.getPixel(x - ox, y - oy), colourAlpha);
      if (c == 0) continue;
      const uint32_t m = ctx.maskValue(ctx, x, y);
      if (m == 0) continue;
      uint32_t* pixel = ctx.image->pixelPtr(x, y);
      if (pixel == nullptr) return false;
      writeWeighted(pixel, colour | 0xFF000000u, mulDiv255(c, m), keepAlpha);
    }
  return true;
}

void fillChannel(TChannel& c, uint8_t v) {
  for (int32_t y = 0; y < c.Height; ++y) std::fill_n(c.pixelAt(0, y), c.Width, v);
}

// Whole cells of a side over a length, rounded half to even as the older set
// rounded.
int32_t cellCount(int32_t length, int32_t side) { return int32_t(std::nearbyint(double(length) / side)); }

[[nodiscard]] bool squareTiles(const SFlt4Context& ctx, int32_t cell, const std::array<uint32_t, 3>& colours, int32_t n) {
  TChannel coverage(cell, cell);
  if (!isPlaneReady(&coverage)) return false;
  fillChannel(coverage, 255);
  const TRect& b = ctx.bounds;
  const int32_t cols = cellCount(b.Right - b.Left, cell), rows = cellCount(b.Bottom - b.Top, cell);
  for (int32_t r = 0; r < rows; ++r)
    for (int32_t c = 0; c < cols; ++c)
      if (!paintTile(ctx, coverage, b.Left + c * cell, b.Top + r * cell, colours[size_t((r + c) % n)])) return false;
  return true;
}

// Triangles: rows of upward and downward triangles in turn, each row as high
// as the triangle; odd rows start half a width further left and take one more,
// so that their downward triangles sit on the upward ones above. Every row
// starts left of the area, so that its left edge has no gaps.
[[nodiscard]] bool triangleTiles(const SFlt4Context& ctx, int32_t cell, const std::array<uint32_t, 3>& colours, int32_t n) {
  const int32_t height = std::max(1, int32_t(std::sqrt(3.0) * cell / 2.0));
  const int32_t half = std::max(1, cell / 2);
  const int32_t cw = 2 * half + 2, ch = height + 2;
  TChannel upShape(cw, ch), downShape(cw, ch);
  for (TChannel* s : {&upShape, &downShape}) {
    if (!isPlaneReady(s)) return false;
    fillChannel(*s, 0);
  }
  const std::array<TPoint, 3> up{TPoint{1, height + 1}, TPoint{2 * half + 1, height + 1}, TPoint{half + 1, 1}};
  const std::array<TPoint, 3> down{TPoint{1, 1}, TPoint{2 * half + 1, 1}, TPoint{half + 1, height + 1}};
  fillPolygonAA(upShape, up.data(), up.size());
  fillPolygonAA(downShape, down.data(), down.size());
  const TRect& b = ctx.bounds;
  const int32_t rows = cellCount(b.Bottom - b.Top, height), cols = cellCount(b.Right - b.Left, half) + 1;
  for (int32_t r = 0; r < rows; ++r) {
    const bool odd = (r & 1) != 0;
    for (int32_t k = 0; k < cols + (odd ? 1 : 0); ++k) {
      // The shapes' pixel (1, 1) is the cell's corner.
      const int32_t ox = b.Left + (k - (odd ? 2 : 1)) * half - 1, oy = b.Top + r * height - 1;
      if (!paintTile(ctx, (k & 1) == 0 ? upShape : downShape, ox, oy, colours[size_t((r + k) % n)])) return false;
    }
  }
  return true;
}

// One octave: a grid of random values (one per cell of `cellSide` texels, at
// least 1 x 1) stretched over the texture with cosine interpolation, wrapping
// so that the texture tiles without seams.
void addOctave(std::vector<double>& acc, int32_t w, int32_t h, int32_t cellSide, double factor) {
  const int32_t gw = std::max(1, w / cellSide), gh = std::max(1, h / cellSide);
  std::vector<double> grid(size_t(gw) * size_t(gh));
  for (double& g : grid) g = double(filterRandom(256));
  auto ease = [](double t) { return (1.0 - std::cos(kPi * t)) / 2.0; };
  for (int32_t y = 0; y < h; ++y) {
    const double fy = double(y) * gh / h;
    const int32_t y0 = int32_t(fy), y1 = (y0 + 1) % gh;
    const double ty = ease(fy - y0);
    for (int32_t x = 0; x < w; ++x) {
      const double fx = double(x) * gw / w;
      const int32_t x0 = int32_t(fx), x1 = (x0 + 1) % gw;
      const double tx = ease(fx - x0);
      auto at = [&](int32_t gx, int32_t gy) { return grid[size_t(gy) * size_t(gw) + size_t(gx)]; };
      const double top = at(x0, y0) + (at(x1, y0) - at(x0, y0)) * tx;
      const double bottom = at(x0, y1) + (at(x1, y1) - at(x0, y1)) * tx;
      acc[size_t(y) * size_t(w) + size_t(x)] += (top + (bottom - top) * ty - 128.0) * factor;
    }
  }
}

// One pass of the soft blur along an axis, wrapping: each texel becomes
// sum(v v w) / sum(v w) over the kernel (0 where the sum is 0).
void softBlurPass(std::vector<uint8_t>& tex, int32_t w, int32_t h, const std::vector<float>& weights, int32_t radius,
                  bool vertical) {
  const std::vector<uint8_t> src = tex;
  const int32_t n = int32_t(weights.size()), along = vertical ? h : w;
  for (int32_t y = 0; y < h; ++y)
    for (int32_t x = 0; x < w; ++x) {
      double num = 0.0, den = 0.0;
      for (int32_t k = -radius; k <= radius; ++k) {
        const int32_t tap = n / 2 + k;
        if (tap < 0 || tap >= n) continue;
        const int32_t p = ((vertical ? y : x) + k % along + along) % along;
        const double v = src[vertical ? size_t(p) * size_t(w) + size_t(x) : size_t(y) * size_t(w) + size_t(p)];
        num += v * v * weights[size_t(tap)];
        den += v * weights[size_t(tap)];
      }
      tex[size_t(y) * size_t(w) + size_t(x)] = den > 0.0 ? uint8_t(std::clamp(std::trunc(num / den), 0.0, 255.0)) : 0;
    }
}

}  // namespace

bool legacyTiles4Kernel(const SFlt4Context* ctx, const void* param, int32_t size) {
  uint32_t argument = 0, shapeCell = 0;
  std::array<uint32_t, 3> colours{};
  if (!isValidContext(ctx) || !readBlock(param, size, 20, argument, shapeCell, colours[0], colours[1], colours[2]))
    return false;
  const uint32_t shape = shapeCell & 0xFF;
  const int32_t cell = int32_t(shapeCell >> 8 & 0xFF);
  const int32_t n = int32_t(argument & 0xFFFF);
  if (cell == 0) return true;  // no tiles: the layer stays as it was
  // The colours cycle modulo their count: none would divide by zero, and the
  // record holds three.
  if (shape > 1 || n < 1 || n > kMaxTileColours) return false;
  return shape == 0 ? squareTiles(*ctx, cell, colours, n) : triangleTiles(*ctx, cell, colours, n);
}

std::vector<uint8_t> legacyCloudTexture(int32_t w, int32_t h, uint32_t seed, double strength, bool noise) {
  std::vector<double> acc(size_t(w) * size_t(h), 128.0);
  if (noise) {
    setFilterRandomState(seed);
    const std::array<double, kOctaves> factors{0.5 * strength,   strength / 3.0,    0.25 * strength,
                                               0.125 * strength, strength / 12.0,   0.125};
    for (int32_t i = 0; i < kOctaves; ++i) addOctave(acc, w, h, 64 >> i, factors[size_t(i)]);
  }
  std::vector<uint8_t> tex(acc.size());
  for (size_t i = 0; i < acc.size(); ++i) tex[i] = uint8_t(std::clamp(std::trunc(acc[i]), 0.0, 255.0));
  std::vector<float> weights;
  const int32_t radius = buildGaussianWeightsF(weights, 11, 1.5);
  if (radius > 0) {
    softBlurPass(tex, w, h, weights, radius, true);
    softBlurPass(tex, w, h, weights, radius, false);
  }
  return tex;
}

bool legacyCloudsRocks4Kernel(const SFlt4Context* ctx, const void* param, int32_t size) {
  uint32_t colour1 = 0, colour2 = 0, seed = 0, unused = 0, modeWord = 0, texSize = 0;
  if (!isValidContext(ctx) || !readBlock(param, size, 24, colour1, colour2, seed, unused, modeWord, texSize))
    return false;
  const int32_t mode = int16_t(modeWord & 0xFFFF);
  const int32_t strengthValue = int32_t(modeWord >> 16 & 0x7FFF);
  const bool noise = (modeWord >> 31) != 0;
  const int32_t tw = std::min<int32_t>(int32_t(texSize & 0xFFFF), ctx->image->width());
  const int32_t th = std::min<int32_t>(int32_t(texSize >> 16), ctx->image->height());
  if (tw < 1 || th < 1) return true;  // no texture: the layer stays as it was
  const double strength = mode < 0 ? strengthValue / 10.0 : strengthValue / 100.0;
  std::vector<uint8_t> tex;
  try {
    tex = legacyCloudTexture(tw, th, seed, strength, noise);
  } catch (const std::bad_alloc&) {
    return false;  // a texture as large as a huge layer may not fit
  }
  const int32_t halfMode = mode / 2;
  const bool blend = ctx->protectAlpha != 0;
  const uint32_t c1 = colour1 | 0xFF000000u, c2 = colour2 | 0xFF000000u;
  const TRect& b = ctx->bounds;
  return forEachSelectedPixel(*ctx, ctx->region, [&](int32_t x, int32_t y, uint32_t* pixel, uint32_t m) {
    const uint32_t t = tex[size_t((y - b.Top) % th) * size_t(tw) + size_t((x - b.Left) % tw)];
    uint32_t amount = t;
    if (mode >= 0) {
      // Rocks: the distance from the middle grey, full from half the mode on.
      const int32_t d = std::abs(int32_t(t) - 128);
      amount = d >= halfMode ? 255u : uint32_t(d * 255 / halfMode);
    }
    uint32_t out = *pixel;
    if (blend) {
      lerpPixelRgb(&out, c2, 255);
      lerpPixelRgb(&out, c1, amount);
    } else {
      blendPixelOpacity(&out, c2, 255);
      blendPixelOpacity(&out, c1, amount);
    }
    writeWeighted(pixel, out, m, blend);
  });
}

bool legacyFloorRender(const SFlt4Context* ctx, const SFltFloor& f, const TMTC* ceilingImage, const TMTC* floorImage) {
  if (!isValidContext(ctx)) return false;
  if (ceilingImage == nullptr || floorImage == nullptr) return true;  // nothing to lay: the layer stays
  const TRect& b = ctx->bounds;
  const int32_t w = b.Right - b.Left, h = b.Bottom - b.Top;
  int32_t k = 4;
  while (k > 1 && int64_t(w) * h * k * k > kMaxFloorSamples) k /= 2;
  const double s = double(std::max(w, h) * k);
  const auto length = [s](double v) { return std::isfinite(v) ? v * s / 100.0 : 0.0; };
  const auto finite = [](float v) { return std::isfinite(v) ? double(v) : 0.0; };
  CInfinitePlane plane;
  if (!plane.init(w * k, h * k, f.FogDistance)) return false;
  plane.setParams(length(f.XPosition), length(finite(f.EyeDistance)), length(f.ZPosition), finite(f.Heading),
                  finite(f.Pitch), finite(f.Unused20));
  plane.buildTables(floorImage, ceilingImage, length(f.CeilingHeight), length(f.ProjectionDistance));
  // The area at the supersampled size, each pixel repeated k x k.
  TMTC big(w * k, h * k);
  if (!isPlaneReady(&big)) return false;
  const TMTC& work = *ctx->workImage;
  for (int32_t y = 0; y < h * k; ++y)
    for (int32_t x = 0; x < w * k; ++x) *big.pixelAt(x, y) = work.getPixel(b.Left + x / k, b.Top + y / k);
  CInfinitePlane::SRender how;
  how.fogColour = f.FogColour;
  how.toInfinity = f.FogToInfinity != 0;
  how.keepLayer = f.KeepLayer != 0;
  how.protectAlpha = ctx->protectAlpha != 0;
  how.transparentFog = f.FogKind != 0;
  how.opacity = int32_t(std::clamp<int64_t>(int64_t(f.FogOpacity) * 255 / 100, -255, 255));
  if (!plane.render(big, how, nullptr, nullptr)) return false;
  return forEachSelectedPixel(*ctx, ctx->region, [&](int32_t x, int32_t y, uint32_t* pixel, uint32_t m) {
    // The alpha-weighted mean of the pixel's k x k samples.
    uint64_t a = 0, sums[3] = {0, 0, 0};
    for (int32_t j = 0; j < k; ++j)
      for (int32_t i = 0; i < k; ++i) {
        const uint32_t p = big.getPixel((x - b.Left) * k + i, (y - b.Top) * k + j);
        const uint64_t alpha = p >> 24;
        a += alpha;
        for (int c = 0; c < 3; ++c) sums[c] += (p >> (8 * c) & 0xFF) * alpha;
      }
    uint32_t out = uint32_t(a / uint64_t(k * k)) << 24;
    if (a > 0)
      for (int c = 0; c < 3; ++c) out |= uint32_t(sums[c] / a) << (8 * c);
    uint32_t result = 0;
    for (int shift = 0; shift < 32; shift += 8)
      result |= lerp255(out >> shift & 0xFF, *pixel >> shift & 0xFF, m) << shift;
    *pixel = result;
  });
}

}  // namespace pg
