#include "filters/conv_rows.h"

#include <atomic>
#include <cstdlib>
#include <cstring>

#include "core/blend_arith.h"
#include "core/saturate.h"

// The vector types below never cross a function boundary that is not
// inlined, so the calling convention the warning is about never applies.
#pragma GCC diagnostic ignored "-Wpsabi"

namespace pg {

namespace {

std::atomic<int> gLevel{3};

// A 32-bit lane holds every sum with room to spare: colour sums are below
// 2^30 in size and offsets below half the quotient cap of the lanes.
constexpr int64_t kLaneSumLimit = int64_t{1} << 30;
constexpr int32_t kLaneOffsetLimit = 1 << 18;

#include "filters/conv_rows_lanes.inc"

// The per-pixel forms: the reference the lanes are held to.
uint32_t weightedPixel(const SConvWeighted& c, const uint32_t* centre) {
  int64_t sB = 0, sG = 0, sR = 0, sAW = 0;
  for (const SConvTap& t : c.taps) {
    const uint32_t q = centre[t.offset];
    const int64_t aw = int64_t{pixelAlpha(q)} * t.w;
    sB += pixelByte(q, 0) * aw;
    sG += pixelByte(q, 1) * aw;
    sR += pixelByte(q, 2) * aw;
    sAW += aw;
  }
  return finishWeighted(sB, sG, sR, sAW, c.weightSum, c.offset, centre[c.own]);
}

uint32_t plainPixel(const SConvPlain& c, const uint32_t* centre) {
  int64_t sB = 0, sG = 0, sR = 0;
  for (const SConvTap& t : c.taps) {
    const uint32_t q = centre[t.offset];
    sB += int64_t{pixelByte(q, 0)} * t.w;
    sG += int64_t{pixelByte(q, 1)} * t.w;
    sR += int64_t{pixelByte(q, 2)} * t.w;
  }
  return finishPlain(sB, sG, sR, c.divisor, c.offset);
}

}  // namespace

uint32_t finishWeighted(int64_t sB, int64_t sG, int64_t sR, int64_t sAW, int64_t sW, int32_t offset,
                        uint32_t fallback) {
  if (sAW != 0 && sW != 0) {
    return saturateByte(sB / sAW + offset) | (saturateByte(sG / sAW + offset) << 8) |
           (saturateByte(sR / sAW + offset) << 16) | (saturateByte(sAW / sW + offset) << 24);
  }
  uint32_t out = 0;
  for (int i = 0; i < 4; ++i) out |= saturateByte(int64_t{pixelByte(fallback, i)} + offset) << (8 * i);
  return out;
}

uint32_t finishPlain(int64_t sB, int64_t sG, int64_t sR, int32_t divisor, int32_t offset) {
  return saturateByte(sB / divisor + offset) | (saturateByte(sG / divisor + offset) << 8) |
         (saturateByte(sR / divisor + offset) << 16);
}

std::vector<SConvTap> convTapsOf(const int32_t* weights, const SRectXYWH& window, ptrdiff_t rowStep) {
  std::vector<SConvTap> taps;
  for (int32_t j = 0; j < window.Height; ++j)
    for (int32_t i = 0; i < window.Width; ++i) {
      const int32_t w = weights[static_cast<size_t>(j) * static_cast<size_t>(window.Width) + static_cast<size_t>(i)];
      if (w != 0) taps.push_back({static_cast<ptrdiff_t>(window.Y + j) * rowStep + (window.X + i), w});
    }
  return taps;
}

bool weightedFitsLanes(const SConvWeighted& c) {
  // Colour sums reach 255 * 255 times the sum of the weights' sizes.
  return c.weightSum != 0 && weightSizes(c.taps) * 65025 < kLaneSumLimit && std::abs(c.offset) < kLaneOffsetLimit;
}

bool plainFitsLanes(const SConvPlain& c) {
  return c.divisor != 0 && weightSizes(c.taps) * 255 < kLaneSumLimit && std::abs(c.offset) < kLaneOffsetLimit;
}

int32_t weightedRunPortable(const SConvWeighted& c, const uint32_t* centre, int32_t n, uint32_t* out) {
  return weightedFitsLanes(c) ? weightedLanes(c, centre, n, out) : 0;
}

int32_t plainRunPortable(const SConvPlain& c, const uint32_t* centre, int32_t n, uint32_t* out) {
  return plainFitsLanes(c) ? plainLanes(c, centre, n, out) : 0;
}

namespace {

// The widest lane form the level allows, then the per-pixel form for the rest.
template <class Grid, class Lanes, class Pixel>
void runAtLevel(const Grid& c, const uint32_t* centre, int32_t n, uint32_t* out, Lanes avx512, Lanes avx2,
                Lanes portable, Pixel pixel) {
  const int level = gLevel.load(std::memory_order_relaxed);
  int32_t done = level >= 3 ? avx512(c, centre, n, out) : 0;
  if (done == 0 && level >= 2) done = avx2(c, centre, n, out);
  if (done == 0 && level >= 1) done = portable(c, centre, n, out);
  for (int32_t i = done; i < n; ++i) out[i] = pixel(c, centre + i);
}

}  // namespace

void convolveWeightedRun(const SConvWeighted& c, const uint32_t* centre, int32_t n, uint32_t* out) {
  runAtLevel(c, centre, n, out, &weightedRunAvx512, &weightedRunAvx2, &weightedRunPortable, &weightedPixel);
}

void convolvePlainRun(const SConvPlain& c, const uint32_t* centre, int32_t n, uint32_t* out) {
  runAtLevel(c, centre, n, out, &plainRunAvx512, &plainRunAvx2, &plainRunPortable, &plainPixel);
}

int setConvolutionVectorLevel(int level) { return gLevel.exchange(level); }

}  // namespace pg
