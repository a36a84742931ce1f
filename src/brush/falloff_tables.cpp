#include "brush/falloff_tables.h"

#include <cmath>
#include <limits>

#include "brush/falloff_curve.h"
#include "core/det_math.h"
#include "core/lookup_mask.h"

namespace pg {

int32_t mulDivRound(int32_t a, int32_t b, int32_t c) {
  if (c == 0) return -1;
  const int64_t p = static_cast<int64_t>(a) * static_cast<int64_t>(b);
  const uint64_t ap = p < 0 ? static_cast<uint64_t>(-(p + 1)) + 1u : static_cast<uint64_t>(p);
  const uint64_t ac = c < 0 ? static_cast<uint64_t>(-(static_cast<int64_t>(c))) : static_cast<uint64_t>(c);
  const uint64_t q = (ap + ac / 2) / ac;
  const bool negative = (p < 0) != (c < 0);
  if (q > static_cast<uint64_t>(std::numeric_limits<int32_t>::max())) return -1;
  return negative ? -static_cast<int32_t>(q) : static_cast<int32_t>(q);
}

namespace {

// t = i/2047 in single precision, as every profile builder takes it.
float curveT(int32_t i) { return static_cast<float>(i) / 2047.0f; }

// A profile value 0..1 (single float) scaled to 16.16 weight and truncated.
uint32_t weightOf(float v) {
  const float w = v * 16711680.0f;
  if (!(w > 0.0f)) return 0;
  return w >= 16711680.0f ? kFullWeight : static_cast<uint32_t>(w);
}

// A profile of the paint parameters sampled at t = i/2047 into 16.16 weights.
void buildFromProfile(CurveTable& table, FalloffFunc profile) {
  for (int32_t i = 0; i < kCurveTableSize; ++i) table[i] = weightOf(profile(curveT(i)));
}

}  // namespace

void buildFlatRampCurve(CurveTable& table) {
  constexpr int32_t kRampStart = 1844;
  for (int32_t i = 0; i < kRampStart; ++i) table[i] = kFullWeight;
  for (int32_t j = 0; kRampStart + j < kCurveTableSize; ++j)
    table[kRampStart + j] = kFullWeight - static_cast<uint32_t>(mulDivRound(static_cast<int32_t>(kFullWeight), j, 203));
}

void buildCircleCurve(CurveTable& table) { buildFromProfile(table, &curveCircle); }

void buildSmoothCurve(CurveTable& table) { buildFromProfile(table, &curveSmooth); }

void buildLinearCurve(CurveTable& table) {
  for (int32_t i = 0; i < kCurveTableSize; ++i)
    table[i] = static_cast<uint32_t>(mulDivRound(static_cast<int32_t>(kFullWeight), kCurveLast - i, kCurveLast));
}

void buildConcaveCurve(CurveTable& table) { buildFromProfile(table, &curveConcave); }

uint8_t falloffBuilderOf(uint8_t code) {
  const uint8_t c = code & kByteLookupMask;
  return c < kFalloffCurveCount ? c : static_cast<uint8_t>(fcFlatRamp);
}

void buildFalloffCurve(CurveTable& table, uint8_t code) {
  switch (falloffBuilderOf(code)) {
    case fcCircle: buildCircleCurve(table); break;
    case fcSmooth: buildSmoothCurve(table); break;
    case fcLinear: buildLinearCurve(table); break;
    case fcConcave: buildConcaveCurve(table); break;
    default: buildFlatRampCurve(table); break;
  }
}

void buildPowerCurve(CurveTable& table, double base) {
  for (int32_t i = 0; i < kCurveTableSize; ++i) {
    const double v = std::nearbyint(65536.0 * dmath::pow(static_cast<double>(i) / 2047.0, base));
    // NaN (a negative base) gives 0; a huge base saturates.
    table[i] = !(v > 0.0) ? 0u : v >= 4294967295.0 ? 0xFFFFFFFFu : static_cast<uint32_t>(v);
  }
}

uint32_t lookupCurve(const CurveTable& table, uint32_t v) {
  uint32_t index = ((v >> 13) * 2047u) / 2040u;
  if (index > static_cast<uint32_t>(kCurveLast)) index = kCurveLast;
  const uint64_t r = static_cast<uint64_t>(table[index]) * 255u;
  return r > 0xFFFFFFFFull ? 0xFFFFFFFFu : static_cast<uint32_t>(r);
}

namespace {

constexpr std::array<uint8_t, 256> makePercentOfByte() {
  std::array<uint8_t, 256> t{};
  for (uint32_t v = 0; v < 256; ++v) t[v] = static_cast<uint8_t>(v * 100 / 255);
  return t;
}

constexpr std::array<uint8_t, 101> makeByteOfPercent() {
  std::array<uint8_t, 101> t{};
  for (uint32_t v = 0; v < 256; ++v) t[v * 100 / 255] = static_cast<uint8_t>(v);  // the last v of each percent wins
  return t;
}

}  // namespace

const std::array<uint8_t, 256> percentOfByte = makePercentOfByte();
const std::array<uint8_t, 101> byteOfPercent = makeByteOfPercent();

}  // namespace pg
