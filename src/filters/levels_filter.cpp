#include "filters/levels_filter.h"

#include <algorithm>
#include <cmath>

#include "core/block_image.h"
#include "core/colour.h"
#include "core/det_math.h"
#include "core/fixed_point.h"
#include "document/mask_data.h"
#include "filters/filter_params.h"
#include "filters/kernel_context.h"
#include "filters/kernel_loops.h"

namespace pg {

SFltLevels SFltLevels::read(const uint8_t* p) {
  SFltLevels r;
  for (size_t c = 0; c < 4; ++c) {
    r.InLow[c] = p[c];
    r.Mid[c] = p[4 + c];
    r.InHigh[c] = p[8 + c];
    r.OutLow[c] = p[12 + c];
    r.OutHigh[c] = p[16 + c];
  }
  r.Linear = p[20];
  for (size_t i = 0; i < 3; ++i) r.Reserved[i] = p[21 + i];
  return r;
}

void SFltLevels::write(uint8_t* out) const {
  for (size_t c = 0; c < 4; ++c) {
    out[c] = InLow[c];
    out[4 + c] = Mid[c];
    out[8 + c] = InHigh[c];
    out[12 + c] = OutLow[c];
    out[16 + c] = OutHigh[c];
  }
  out[20] = Linear;
  for (size_t i = 0; i < 3; ++i) out[21 + i] = Reserved[i];
}

int32_t levelToFix(uint32_t v) {
  const auto f = static_cast<int32_t>(static_cast<double>(v & 0xFFu) * 257.00392156862745 + 0.5);
  return std::min(65536, f);
}

int32_t levelMidToFix(uint32_t p) {
  const uint32_t m = std::clamp(p, 1u, 199u);
  return static_cast<int32_t>(static_cast<double>(m) * 655.36 + 0.5);
}

uint32_t levelFixToByte(int32_t x) {
  if (x <= 0) return 0;
  const auto b = static_cast<uint32_t>(static_cast<double>(x) * 0.0038909912 + 0.5);
  return std::min(255u, b);
}

int32_t levelsCurve(int32_t x, int32_t lo, int32_t mid, int32_t hi, bool linear) {
  // An empty input range has no slope: a step at the level.
  if (hi == lo) return x < lo ? 0 : 65536;
  const int32_t t = fixDiv(x - lo, hi - lo);
  int64_t r;
  if (linear) {
    const int32_t half = (mid + 1) / 2;
    if (t > half)
      r = int64_t{fixDiv(fixMul(t - half, 32768), 65536 - half)} + 32768;
    else
      r = fixDiv(fixMul(t, 32768), half);
  } else {
    const int32_t tc = std::clamp(t, 0, 65536);
    if (mid <= 65536) {
      const float base = static_cast<float>(tc) / 65536.0f;
      const float e = static_cast<float>(mid) / 65536.0f;
      r = static_cast<int64_t>(dmath::pow(static_cast<double>(base), static_cast<double>(e)) * 65536.0);
    } else {
      const float base = static_cast<float>(65536 - tc) / 65536.0f;
      const float e = static_cast<float>(131072 - mid) / 65536.0f;
      r = 65536 - static_cast<int64_t>(dmath::pow(static_cast<double>(base), static_cast<double>(e)) * 65536.0);
    }
  }
  return static_cast<int32_t>(std::clamp<int64_t>(r, 0, 65536));
}

int32_t levelsOutput(int32_t t, int32_t lo, int32_t hi) {
  return std::clamp(fixMul(t, hi - lo) + lo, 0, 65536);
}

namespace {

// One channel's settings in 16.16.
struct SLevelsChannel {
  int32_t inLow, mid, inHigh, outLow, outHigh;
  int32_t map(int32_t x, bool linear) const {
    return levelsOutput(levelsCurve(x, inLow, mid, inHigh, linear), outLow, outHigh);
  }
};

}  // namespace

void buildLevelsTable(const SFltLevels& rec, std::array<uint32_t, 256>& table) {
  SLevelsChannel ch[4];
  for (size_t c = 0; c < 4; ++c)
    ch[c] = {levelToFix(rec.InLow[c]), levelMidToFix(rec.Mid[c]), levelToFix(rec.InHigh[c]),
             levelToFix(rec.OutLow[c]), levelToFix(rec.OutHigh[c])};
  const bool linear = rec.Linear != 0;
  for (uint32_t i = 0; i < 256; ++i) {
    const int32_t x = levelToFix(i);
    const uint32_t r = levelFixToByte(ch[0].map(ch[1].map(x, linear), linear));
    const uint32_t g = levelFixToByte(ch[0].map(ch[2].map(x, linear), linear));
    const uint32_t b = levelFixToByte(ch[0].map(ch[3].map(x, linear), linear));
    table[i] = b | (g << 8) | (r << 16) | (i << 24);
  }
}

bool levels4Kernel(const SFlt4Context* ctx, const void* param, int32_t size) {
  SFltLevels rec;
  if (!isValidContext(ctx) || !readFltRecord(param, size, rec)) return false;
  std::array<uint32_t, 256> table;
  buildLevelsTable(rec, table);
  return applyLutMasked(ctx, table.data(), true);
}

// ---- histogram ---------------------------------------------------------------

bool computeHistogram(SHistogramData& h, const CBlockVMTC* image, TPoint offset, const CMaskData* selection,
                      TRect bounds) {
  if (image == nullptr || selection == nullptr || !image->clipRect(bounds)) return false;
  h = SHistogramData{};
  h.Lowest.fill(255);
  h.Highest.fill(0);
  // The selection weight as the filter run reads it.
  SFlt4Context at;
  at.selection = selection;
  at.offsetX = offset.X;
  at.offsetY = offset.Y;
  const MaskValueProc coverage = maskValueFor(selection);
  // coverage x alpha / 65025, in single precision as the bins are.
  constexpr float kWeight = 1.5378e-05f;
  for (int32_t y = bounds.Top; y < bounds.Bottom; ++y) {
    for (int32_t x = bounds.Left; x < bounds.Right; ++x) {
      const uint32_t p = image->getPixel(x, y);
      const float w = static_cast<float>(coverage(at, x, y) * pixelAlpha(p)) * kWeight;
      if (w == 0.0f) continue;
      h.Bins[kHistRed][pixelByte(p, 2)] += w;
      h.Bins[kHistGreen][pixelByte(p, 1)] += w;
      h.Bins[kHistBlue][pixelByte(p, 0)] += w;
      h.Bins[kHistGrey][pixelGrey(p)] += w;
      h.Total += w;
    }
  }
  for (size_t c = 0; c < 4; ++c) {
    const std::array<float, 256>& bins = h.Bins[c];
    h.Largest[c] = *std::max_element(bins.begin(), bins.end());
    for (int32_t b = 255; b >= 0; --b)
      if (bins[static_cast<size_t>(b)] != 0.0f) h.Lowest[c] = b;
    for (int32_t b = 0; b < 256; ++b) {
      if (bins[static_cast<size_t>(b)] == 0.0f) continue;
      h.Highest[c] = b;
      ++h.NonEmpty[c];
    }
  }
  return true;
}

void levelsAutoRange(int32_t lo, int32_t hi, int32_t& low, int32_t& high) {
  low = std::max(std::min(lo, (lo + hi - 1) / 2), 0);
  high = std::min(std::max(hi, lo + 1), 255);
}

int32_t thresholdAutoLevel(int32_t lo, int32_t hi) { return (lo + hi - 1) / 2 + 1; }

}  // namespace pg
