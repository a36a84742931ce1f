#pragma once
// The curve tables of the brush engine: the dab falloff curve (weight by
// distance from the dab centre) and the burn/dodge lightness curve, both 2048
// entries, plus the two small percent tables of the tool panels.
//
// Weights are 16.16 fixed point with 255.0 as the full weight (0xFF0000);
// entry 0 is the dab centre, entry 2047 its rim. The tables themselves live in
// the plot state (plot_state.h); this file holds the builders.
#include <array>
#include <cstdint>

namespace pg {

inline constexpr int32_t kCurveTableSize = 2048;
inline constexpr int32_t kCurveLast = kCurveTableSize - 1;
inline constexpr uint32_t kFullWeight = 0xFF0000;  // 255.0 in 16.16

using CurveTable = std::array<uint32_t, kCurveTableSize>;

// The falloff curve kinds that have a builder. Any other code (the stroke's
// curve type comes from presets and recordings, where 127 and 255 occur) is
// built as the flat ramp: see falloffBuilderOf.
enum TFalloffCurve : uint8_t {
  fcFlatRamp = 0,  // full weight, then a short linear ramp at the rim
  fcCircle = 1,    // sqrt(1 - t^2)
  fcSmooth = 2,    // 2t^3 - 3t^2 + 1
  fcLinear = 3,    // 1 - t
  fcConcave = 4,   // 1 - sqrt(1 - (1 - t)^2)
};
inline constexpr uint8_t kFalloffCurveCount = 5;

// Rounding multiply-divide: a*b/c in 64 bits, rounded half away from zero;
// -1 for c = 0 and for a result that does not fit 32 bits.
[[nodiscard]] int32_t mulDivRound(int32_t a, int32_t b, int32_t c);

// The builders. t = i/2047 as a single float; results truncated. The
// profiles are those of the paint parameters (falloff_curve.h).
// 0xFF0000 for i < 1844, then 0xFF0000 - mulDivRound(0xFF0000, j, 203) at i = 1844 + j.
void buildFlatRampCurve(CurveTable& table);
// sqrt(1 - t^2) * 16711680.
void buildCircleCurve(CurveTable& table);
// (2t^3 - 3t^2 + 1) * 16711680.
void buildSmoothCurve(CurveTable& table);
// mulDivRound(0xFF0000, 2047 - i, 2047).
void buildLinearCurve(CurveTable& table);
// (1 - sqrt(1 - (1 - t)^2)) * 16711680.
void buildConcaveCurve(CurveTable& table);

// The builder used for a curve code: (code and 127) when that names one of
// the five curves, else the flat ramp.
[[nodiscard]] uint8_t falloffBuilderOf(uint8_t code);
// Builds the curve of a code into the table (through falloffBuilderOf).
void buildFalloffCurve(CurveTable& table, uint8_t code);

// table[i] := round(65536 * (i/2047)^base), saturating: the lightness curve
// of burn (base > 1, darkens) and dodge (base < 1, lightens); base 1 maps
// every lightness to itself.
void buildPowerCurve(CurveTable& table, double base);

// The table entry for a 16.16 value 0..0xFF0000, times 255: index
// ((v >> 13) * 2047) / 2040, so 0 reads entry 0 and 0xFF0000 entry 2047.
// Values past 0xFF0000 read entry 2047; the product saturates at 0xFFFFFFFF.
[[nodiscard]] uint32_t lookupCurve(const CurveTable& table, uint32_t v);

// percentOfByte[v] = v*100/255 truncated; byteOfPercent[p] = the largest v
// with percentOfByte[v] = p (so byteOfPercent[100] = 255, [0] = 2).
extern const std::array<uint8_t, 256> percentOfByte;
extern const std::array<uint8_t, 101> byteOfPercent;

}  // namespace pg
