#pragma once
// Levels: each colour channel is mapped through an input range with a
// mid-point curve and then an output range, first by its own channel's
// settings and then by the composite's. The kernel builds one 256-entry table
// and applies it with alpha kept. Also the histogram a levels or threshold
// dialog shows, and the two "automatic" range rules computed from it.
#include <array>
#include <cstddef>
#include <cstdint>

#include "core/rect.h"

namespace pg {

class CBlockVMTC;
class CMaskData;
struct SFlt4Context;

// Channel index 0 is the composite (all three colours), 1 red, 2 green, 3 blue.
struct SFltLevels {
  static constexpr size_t kSize = 24;
  std::array<uint8_t, 4> InLow{0, 0, 0, 0};
  std::array<uint8_t, 4> Mid{100, 100, 100, 100};  // mid-point x 100, 1..199
  std::array<uint8_t, 4> InHigh{255, 255, 255, 255};
  std::array<uint8_t, 4> OutLow{0, 0, 0, 0};
  std::array<uint8_t, 4> OutHigh{255, 255, 255, 255};
  uint8_t Linear = 1;  // 0 power curve, else two linear pieces
  std::array<uint8_t, 3> Reserved{};

  static SFltLevels read(const uint8_t* p);
  void write(uint8_t* out) const;
  friend bool operator==(const SFltLevels&, const SFltLevels&) = default;
};

// A level byte in 16.16: min(65536, trunc(v * 257.00392156862745 + 0.5)).
int32_t levelToFix(uint32_t v);
// A mid-point byte in 16.16: trunc(p * 655.36 + 0.5), p clamped to 1..199
// first (0 would divide by zero in the linear curve, and above 199 the power
// curve's exponent turns negative).
int32_t levelMidToFix(uint32_t p);
// 16.16 back to a byte: min(255, trunc(x * 0.0038909912 + 0.5)), x >= 0.
uint32_t levelFixToByte(int32_t x);
// The mid-point curve of x (16.16) over the input range lo..hi, 0..65536.
// lo = hi is a step: 0 below the level, 65536 at or above it.
int32_t levelsCurve(int32_t x, int32_t lo, int32_t mid, int32_t hi, bool linear);
// clamp(fixMul(t, hi - lo) + lo, 0, 65536).
int32_t levelsOutput(int32_t t, int32_t lo, int32_t hi);

// Entry i (pixel order B, G, R, A): each colour through its own channel, then
// the composite; alpha entry i.
void buildLevelsTable(const SFltLevels& rec, std::array<uint32_t, 256>& table);

// BGRA8, alpha kept: colour bytes move toward the levels table's colour by
// the selection weight. Record size 24.
[[nodiscard]] bool levels4Kernel(const SFlt4Context* ctx, const void* param, int32_t size);

// ---- histogram -------------------------------------------------------------

struct SHistogramData {
  // Bins of red, green, blue and grey: weight = coverage * alpha / 65025.
  std::array<std::array<float, 256>, 4> Bins{};
  float Total = 0.0f;
  std::array<float, 4> Largest{};
  // Lowest and highest non-empty bin; 255 and 0 when the channel is empty.
  std::array<int32_t, 4> Lowest{0, 0, 0, 0};
  std::array<int32_t, 4> Highest{255, 255, 255, 255};
  std::array<int32_t, 4> NonEmpty{};
};
inline constexpr int kHistRed = 0, kHistGreen = 1, kHistBlue = 2, kHistGrey = 3;

// Recomputes the data from the image's pixels inside bounds (clipped to the
// image: the run's unfiltered copy of the layer); the coverage of layer pixel (x, y) is the selection's value at
// document point (x - offset.X, y - offset.Y), 255 without a mask image and
// 0 outside it. Nothing is computed (false) for a missing image or
// selection or empty bounds.
[[nodiscard]] bool computeHistogram(SHistogramData& h, const CBlockVMTC* image, TPoint offset, const CMaskData* selection,
                      TRect bounds);

// The levels dialog's automatic input range for one channel from its lowest
// and highest non-empty bins: low = max(min(lo, (lo + hi - 1) div 2), 0),
// high = min(max(hi, lo + 1), 255).
void levelsAutoRange(int32_t lo, int32_t hi, int32_t& low, int32_t& high);
// The threshold dialog's automatic level: (lo + hi - 1) div 2 + 1, the
// division truncating toward zero.
int32_t thresholdAutoLevel(int32_t lo, int32_t hi);

}  // namespace pg
