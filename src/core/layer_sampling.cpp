#include "core/layer_sampling.h"

#include <algorithm>
#include <cmath>

namespace pg {

// ------------------------------------------------------------- work rectangle

bool getLayerWorkRect(const CBlockImage& layerImage, TPoint layerOffset, const CBlockVCH* maskImage,
                      TPoint maskOffset, TRect& rect) {
  const int64_t w = layerImage.width(), h = layerImage.height();
  if (!maskImage) {
    rect = {0, 0, static_cast<int32_t>(w), static_cast<int32_t>(h)};
    return true;
  }
  TRect bounds;
  if (!maskImage->getBounds(bounds)) return false;
  // Offsets come from files and recordings: the sums are taken in 64 bits.
  const int64_t dx = int64_t{layerOffset.X} - maskOffset.X;
  const int64_t dy = int64_t{layerOffset.Y} - maskOffset.Y;
  const int64_t left = std::max<int64_t>(bounds.Left + dx, 0);
  const int64_t top = std::max<int64_t>(bounds.Top + dy, 0);
  const int64_t right = std::min<int64_t>(bounds.Right + dx, w);
  const int64_t bottom = std::min<int64_t>(bounds.Bottom + dy, h);
  if (left >= right || top >= bottom) return false;
  rect = {static_cast<int32_t>(left), static_cast<int32_t>(top), static_cast<int32_t>(right),
          static_cast<int32_t>(bottom)};
  return true;
}

bool getLayerWorkRectLocal(const CBlockImage& layerImage, TPoint layerOffset, const CBlockVCH* maskImage,
                           TPoint maskOffset, TRect& rect) {
  TRect r;
  if (!getLayerWorkRect(layerImage, layerOffset, maskImage, maskOffset, r)) return false;
  auto moved = [](int32_t v, int32_t offset) {
    return static_cast<int32_t>(std::clamp<int64_t>(int64_t{v} - offset, INT32_MIN, INT32_MAX));
  };
  rect = {moved(r.Left, layerOffset.X), moved(r.Top, layerOffset.Y), moved(r.Right, layerOffset.X),
          moved(r.Bottom, layerOffset.Y)};
  return true;
}

// ------------------------------------------------------------ inside and wrap

int32_t wrapCoord(int32_t v, int32_t size) {
  if (size <= 0) return 0;
  const int64_t m = int64_t{v} % size;
  return static_cast<int32_t>(m < 0 ? m + size : m);
}

namespace {

void addPixel(uint32_t p, int64_t weight, int64_t& b, int64_t& g, int64_t& r, int64_t& a) {
  b += weight * (p & 0xFF);
  g += weight * ((p >> 8) & 0xFF);
  r += weight * ((p >> 16) & 0xFF);
  a += weight * (p >> 24);
}

// The bilinear mix over any image that answers its size and its pixels.
template <class GetPixel>
uint32_t sampleBilinear(int32_t width, int32_t height, int32_t x, int32_t y, bool wrap, GetPixel pixel) {
  if (width <= 0 || height <= 0) return 0;
  // Arithmetic shifts floor, which keeps the neighbours consistent with the
  // fraction bits for negative positions.
  int64_t ix0 = x >> 16, iy0 = y >> 16;
  const uint32_t fx = static_cast<uint32_t>(x >> 8) & 255, fy = static_cast<uint32_t>(y >> 8) & 255;
  int64_t ix1 = ix0 + 1, iy1 = iy0 + 1;
  if (wrap) {
    ix0 = wrapCoord(static_cast<int32_t>(ix0), width);
    iy0 = wrapCoord(static_cast<int32_t>(iy0), height);
    ix1 = ix0 + 1 == width ? 0 : ix0 + 1;
    iy1 = iy0 + 1 == height ? 0 : iy0 + 1;
  }
  const uint32_t wx = 255 - fx, wy = 255 - fy;
  const struct {
    int64_t x, y;
    uint32_t weight;
  } taps[4] = {{ix0, iy0, wx * wy}, {ix1, iy0, fx * wy}, {ix0, iy1, wx * fy}, {ix1, iy1, fx * fy}};
  int64_t b = 0, g = 0, r = 0, a = 0, total = 0;
  for (const auto& t : taps) {
    if (t.x < 0 || t.y < 0 || t.x >= width || t.y >= height) continue;
    addPixel(pixel(static_cast<int32_t>(t.x), static_cast<int32_t>(t.y)), t.weight, b, g, r, a);
    total += t.weight;
  }
  if (total == 0) return 0;
  return static_cast<uint32_t>(b / total) | static_cast<uint32_t>(g / total) << 8 |
         static_cast<uint32_t>(r / total) << 16 | static_cast<uint32_t>(a / total) << 24;
}

}  // namespace

bool accumPixelBlock(const CBlockVMTC& image, int32_t x, int32_t y, int32_t weight, int64_t& b, int64_t& g,
                     int64_t& r, int64_t& a) {
  if (!image.isValid() || !insideBlockImage(image, x, y)) return false;
  addPixel(image.getPixelClamped(x, y), weight, b, g, r, a);
  return true;
}

bool accumPixelPlane(const TMTC& plane, int32_t x, int32_t y, int32_t weight, int64_t& b, int64_t& g, int64_t& r,
                     int64_t& a) {
  if (!isPlaneReady(&plane) || !insidePlane(plane, x, y)) return false;
  addPixel(plane.getPixelClamped(x, y), weight, b, g, r, a);
  return true;
}

uint32_t sampleBilinearBlock(const CBlockVMTC& image, int32_t x, int32_t y, bool wrap) {
  if (!image.isValid()) return 0;
  return sampleBilinear(image.width(), image.height(), x, y, wrap,
                        [&](int32_t px, int32_t py) { return image.getPixel(px, py); });
}

uint32_t sampleBilinearPlane(const TMTC& plane, int32_t x, int32_t y, bool wrap) {
  if (!isPlaneReady(&plane)) return 0;
  return sampleBilinear(plane.Width, plane.Height, x, y, wrap,
                        [&](int32_t px, int32_t py) { return plane.getPixel(px, py); });
}

bool copyPixelBilinear(const CBlockVMTC& src, CBlockVMTC& dst, int32_t dx, int32_t dy, int32_t sx, int32_t sy) {
  if (!insideBlockImage(dst, dx, dy)) return false;
  return dst.setPixel(dx, dy, sampleBilinearBlock(src, sx, sy, /*wrap=*/true));
}

// -------------------------------------------------------------------- kernels

void clearAccum(SKernel3x3& k) { k.fill(0.0); }

void normalizeKernel3x3(SKernel3x3& k, const SKernel3x3& w) {
  double sum = 0.0;
  for (double v : w) sum += v;
  const double divisor = sum == 0.0 ? 1.0 : sum;
  for (size_t i = 0; i < 9; ++i) k[i] = w[i] / divisor;
}

uint32_t applyKernel3x3(const SKernel3x3& k, const uint32_t pixels[9]) {
  uint32_t out = 0;
  for (int shift = 0; shift < 32; shift += 8) {
    double sum = 0.0;
    for (size_t i = 0; i < 9; ++i) sum += k[i] * static_cast<double>((pixels[i] >> shift) & 0xFF);
    // A NaN (from a NaN weight) counts as 0.
    const double clamped = sum > 255.0 ? 255.0 : (sum >= 0.0 ? sum : 0.0);
    out |= static_cast<uint32_t>(std::nearbyint(clamped)) << shift;
  }
  return out;
}

}  // namespace pg
