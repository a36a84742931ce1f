#include "filters/fractal_noise.h"

#include <algorithm>
#include <cmath>
#include <new>
#include <numbers>
#include <vector>

#include "core/det_math.h"
#include "core/plane_ops.h"
#include "core/rect.h"
#include "core/saturate.h"
#include "filters/gaussian_weights.h"

namespace pg {

namespace {

// trunc(v + 0.5), saturating (a hostile strength cannot reach an undefined conversion).
inline int32_t truncHalfUp(double v) { return saturateToInt32(std::trunc(v + 0.5)); }

// The averaged-and-displaced value of four neighbours.
inline uint8_t displaced(int32_t draw, int32_t a, int32_t b, int32_t c, int32_t d) {
  return saturateTo<uint8_t>(draw + ((a + b + c + d + 2) >> 2));
}

// The diamond and square updates of one plane at cell (x, y), with the draws
// taken by the caller in the order the generator fixes.
struct SCellOps {
  TChannel& p;
  int32_t wm, hm, s, h;
  uint8_t& at(int32_t x, int32_t y) const { return TPlasma::at(p, x, y, wm, hm); }
  void centre(int32_t x, int32_t y, int32_t draw) const {
    at(x + h, y + h) = displaced(draw, at(x, y), at(x, y + s), at(x + s, y), at(x + s, y + s));
  }
  void top(int32_t x, int32_t y, int32_t draw) const {
    at(x + h, y) = displaced(draw, at(x, y), at(x + s, y), at(x + h, y - h), at(x + h, y + h));
  }
  void left(int32_t x, int32_t y, int32_t draw) const {
    at(x, y + h) = displaced(draw, at(x, y), at(x, y + s), at(x - h, y + h), at(x + h, y + h));
  }
};

}  // namespace

int32_t plasmaPlaneSize(int32_t n) {
  int32_t count = 0;
  for (uint32_t v = n > 1 ? static_cast<uint32_t>(n - 1) : 0u; v != 0; v >>= 1) ++count;
  return count >= 30 ? (1 << 30) : (1 << count);
}

void TPlasma::setRange(int32_t amp, uint32_t seed) {
  amplitude = amp;
  initRandomRange(random, seed, static_cast<uint32_t>(-static_cast<int64_t>(amp)), static_cast<uint32_t>(amp));
}

bool TPlasma::initPlanes(TChannel* const* planes, int count, int32_t width, int32_t height, float strength,
                         uint32_t seed) {
  planeWidth = plasmaPlaneSize(width);
  planeHeight = plasmaPlaneSize(height);
  widthMask = planeWidth - 1;
  heightMask = planeHeight - 1;
  step = std::max(planeWidth, planeHeight);
  halfStep = step / 2;
  for (int i = 0; i < count; ++i) {
    if (!planes[i]->Resize(planeWidth, planeHeight)) return false;
    fill(*planes[i], 128);
  }
  setRange(truncHalfUp(strength), seed);
  // The four starting points, each taking one draw per plane in plane order.
  const int32_t px[4] = {0, planeWidth / 2, 0, planeWidth / 2};
  const int32_t py[4] = {0, 0, planeHeight / 2, planeHeight / 2};
  for (int k = 0; k < 4; ++k)
    for (int i = 0; i < count; ++i) at(*planes[i], px[k], py[k], widthMask, heightMask) = saturateTo<uint8_t>(128 + draw());
  return true;
}

bool TPlasma::init(int32_t width, int32_t height, float strength, uint32_t seed) {
  TChannel* const planes[1] = {&plane};
  return initPlanes(planes, 1, width, height, strength, seed);
}

void TPlasma::diamondOver(TChannel* const* planes, int count) {
  if (step <= 0) return;
  for (int32_t y = 0, rows = planeHeight / step; y < rows * step; y += step)
    for (int32_t x = 0, cols = planeWidth / step; x < cols * step; x += step)
      for (int i = 0; i < count; ++i) SCellOps{*planes[i], widthMask, heightMask, step, halfStep}.centre(x, y, draw());
}

void TPlasma::squareOver(TChannel* const* planes, int count) {
  if (step <= 0) return;
  for (int32_t y = 0, rows = planeHeight / step; y < rows * step; y += step)
    for (int32_t x = 0, cols = planeWidth / step; x < cols * step; x += step) {
      for (int i = 0; i < count; ++i) SCellOps{*planes[i], widthMask, heightMask, step, halfStep}.top(x, y, draw());
      for (int i = 0; i < count; ++i) SCellOps{*planes[i], widthMask, heightMask, step, halfStep}.left(x, y, draw());
    }
}

void TPlasma::diamondStep() {
  TChannel* const planes[1] = {&plane};
  diamondOver(planes, 1);
}

void TPlasma::squareStep() {
  TChannel* const planes[1] = {&plane};
  squareOver(planes, 1);
}

const TChannel* TPlasma::generate(int32_t width, int32_t height, float strength, uint32_t seed) {
  if (!init(width, height, strength, seed)) return nullptr;
  const double s = strength;
  do {
    step = static_cast<int32_t>(static_cast<uint32_t>(step) >> 1);
    halfStep = static_cast<int32_t>(static_cast<uint32_t>(halfStep) >> 1);
    if (step == 0) break;  // a 1 x 1 area: no cell to subdivide
    setRange(truncHalfUp(step * s / std::numbers::sqrt2), seed);
    diamondStep();
    setRange(truncHalfUp(amplitude / std::numbers::sqrt2), seed);
    squareStep();
  } while (step > 2);
  return &plane;
}

bool TPlasma3::init(int32_t width, int32_t height, float strength, uint32_t seed) {
  TChannel* const planes[3] = {&plane, &plane2, &plane3};
  return initPlanes(planes, 3, width, height, strength, seed);
}

void TPlasma3::diamondStep() {
  TChannel* const planes[3] = {&plane, &plane2, &plane3};
  diamondOver(planes, 3);
}

void TPlasma3::squareStep() {
  TChannel* const planes[3] = {&plane, &plane2, &plane3};
  squareOver(planes, 3);
}

// ------------------------------------------------------- tiled octave noise

const std::array<float, 256>& easeTable() {
  static const std::array<float, 256> table = [] {
    std::array<float, 256> t{};
    for (int i = 0; i < 256; ++i) t[static_cast<size_t>(i)] = static_cast<float>((1.0 - dmath::cos(i * std::numbers::pi / 256.0)) / 2.0);
    return t;
  }();
  return table;
}

bool fillRandomPlane(TChannel& plane, int32_t w, int32_t h, SRandomRange& random) {
  if (!plane.Resize(w, h)) return false;
  for (int32_t y = 0; y < h; ++y) {
    uint8_t* row = plane.pixelAt(0, y);
    for (int32_t x = 0; x < w; ++x) row[x] = static_cast<uint8_t>(nextRandomInRange(random));
  }
  return true;
}

void addEasedUpsample(TChannel& dst, const TChannel& src, int32_t w, int32_t h, double amplitude) {
  if (!hasPixels(dst) || !hasPixels(src) || w < 1 || h < 1) return;
  w = std::min(w, dst.Width);
  h = std::min(h, dst.Height);
  const std::array<float, 256>& e = easeTable();
  const int32_t sw = src.Width, sh = src.Height;
  const int64_t stepX = static_cast<int64_t>(std::trunc(static_cast<double>(int64_t{sw} << 16) / w));
  const int64_t stepY = static_cast<int64_t>(std::trunc(static_cast<double>(int64_t{sh} << 16) / h));
  int64_t py = 0;
  for (int32_t y = 0; y < h; ++y, py += stepY) {
    const int32_t j0 = static_cast<int32_t>((py >> 16) % sh), j1 = (j0 + 1) % sh;
    const double fy = e[static_cast<size_t>((py & 0xFFFF) >> 8)];
    const uint8_t* r0 = src.pixelAt(0, j0);
    const uint8_t* r1 = src.pixelAt(0, j1);
    uint8_t* out = dst.pixelAt(0, y);
    int64_t px = 0;
    for (int32_t x = 0; x < w; ++x, px += stepX) {
      const int32_t i0 = static_cast<int32_t>((px >> 16) % sw), i1 = (i0 + 1) % sw;
      const double fx = e[static_cast<size_t>((px & 0xFFFF) >> 8)];
      const double a = r0[i0], b = r0[i1], c = r1[i0], d = r1[i1];
      const double v = (d - c - b + a) * fx * fy + (c - a) * fy + (b - a) * fx + a - 128.0;
      out[x] = saturateTo<uint8_t>(saturateToInt32(std::trunc(v * amplitude + out[x] + 0.5)));
    }
  }
}

namespace {

// One pass of the value-weighted blur along one axis: out(i) = sum(v^2 w) /
// sum(v w) over taps i - r .. i + r, wrapping modulo n; weights[n / 2 + d].
void valueWeightedLine(const uint8_t* in, ptrdiff_t inStep, uint8_t* out, ptrdiff_t outStep, int32_t n,
                       const std::vector<int32_t>& weights, int32_t tableSize, int32_t radius) {
  const int32_t centre = tableSize / 2;
  for (int32_t i = 0; i < n; ++i) {
    uint64_t vvw = 0, vw = 0;
    for (int32_t d = -radius; d <= radius; ++d) {
      const int32_t idx = centre + d;
      if (idx < 0 || idx >= tableSize) continue;  // a tiny plane: the table is shorter than the reach
      int32_t k = (i + d) % n;
      if (k < 0) k += n;
      const uint64_t v = in[k * inStep], w = static_cast<uint64_t>(weights[static_cast<size_t>(idx)]);
      vvw += v * v * w;
      vw += v * w;
    }
    if (vw != 0) out[i * outStep] = static_cast<uint8_t>(std::min<uint64_t>(vvw / vw, 255));
  }
}

}  // namespace

bool valueWeightedBlur(TChannel& dst, const TChannel& src, double sigma) {
  if (!hasPixels(dst) || !hasPixels(src)) return false;
  const int32_t w = std::min(dst.Width, src.Width), h = std::min(dst.Height, src.Height);
  if (!(sigma > 0)) {
    for (int32_t y = 0; y < h; ++y) std::copy_n(src.pixelAt(0, y), w, dst.pixelAt(0, y));
    return true;
  }
  TChannel temp(w, h);
  if (!isPlaneReady(&temp)) return false;
  std::vector<int32_t> wx, wy;
  try {
    wx.resize(static_cast<size_t>(w));
    wy.resize(static_cast<size_t>(h));
  } catch (const std::bad_alloc&) {
    return false;
  }
  const int32_t rx = buildGaussianWeights(wx.data(), w, sigma), ry = buildGaussianWeights(wy.data(), h, sigma);
  if (rx < 0 || ry < 0) return false;
  // Pass 1 down each column into the temporary plane, pass 2 along each row.
  for (int32_t x = 0; x < w; ++x)
    valueWeightedLine(src.pixelAt(x, 0), src.RowStep(), temp.pixelAt(x, 0), temp.RowStep(), h, wy, h, ry);
  for (int32_t y = 0; y < h; ++y) valueWeightedLine(temp.pixelAt(0, y), 1, dst.pixelAt(0, y), 1, w, wx, w, rx);
  return true;
}

bool buildOctaveNoise(TChannel& out, int32_t tileW, int32_t tileH, double factor, uint32_t seed) {
  if (tileW < 1 || tileH < 1) return false;
  SRandomRange random;
  initRandomRange(random, seed, 0, 255);
  TChannel acc(tileW, tileH);
  if (!isPlaneReady(&acc)) return false;
  fill(acc, 128);
  static constexpr int32_t kDivisor[6] = {64, 32, 16, 8, 3, 1};
  static constexpr double kWeight[6] = {2, 3, 4, 8, 12, 8};
  for (int octave = 0; octave < 6; ++octave) {
    const int32_t gw = std::max(tileW / kDivisor[octave], 1), gh = std::max(tileH / kDivisor[octave], 1);
    if (!fillRandomPlane(out, gw, gh, random)) return false;
    const double amplitude = (octave < 5 ? factor : 1.0) / kWeight[octave];
    addEasedUpsample(acc, out, tileW, tileH, amplitude);
  }
  if (!out.Resize(tileW, tileH)) return false;
  return valueWeightedBlur(out, acc, 1.5);
}

}  // namespace pg
