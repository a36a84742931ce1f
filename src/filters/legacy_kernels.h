#pragma once
// The kernels of the older filter set, kept so that recordings made with it
// replay to the same pixels. They run on the filter context like every
// kernel: the unfiltered pixels are read from the work image, results go to
// the layer image, weighted by the selection. Their parameters are the 32-bit
// little-endian words the filter packets carry (layouts below, one list per
// kernel in the .cpp); where a kernel has a blend switch, the layer's
// protect flag that replay hands over turns it on (colour moves by the
// selection weight, alpha kept), else the result is blended over the pixel.
//
// Every division is guarded: a kernel whose parameters would divide by zero
// either changes nothing (true) where the older set did nothing, or refuses
// (false, nothing written).
#include <array>
#include <cstdint>
#include <vector>

#include "filters/kernel_context.h"

namespace pg {

// ---- shared routines --------------------------------------------------------

// A 3 x 3 neighbourhood and its weights, row by row from the top left.
struct TPixelMatrix {
  std::array<float, 9> weights{};
  std::array<uint32_t, 9> pixels{};
  void setWeights(const std::array<float, 9>& w) { weights = w; }
  // The clamped neighbours of (x, y) in the plane.
  void setPixels(const TMTC& plane, int32_t x, int32_t y);
  // The older sharpen's sum: the middle row's weights times the middle
  // column's pixels (top, centre, bottom), each byte on its own, divided by
  // the sum of those three weights (1 when it is 0), clamped to 0..255.
  uint32_t weightedSum3() const;
};

using LegacyTable = std::array<uint8_t, 256>;

// The lookup tables (false where the parameters are outside their range).
[[nodiscard]] bool buildLegacyPosterizeTable(int32_t levels, LegacyTable& t);
[[nodiscard]] bool buildLegacyLevelsTable(int32_t inLow, int32_t inHigh, int32_t midpoint, int32_t outLow,
                                          int32_t outHigh, LegacyTable& t);
void buildLegacyBrightnessContrastTable(int32_t brightness, int32_t contrast, LegacyTable& t);
// The curve of brightness and contrast: 1 - 0.007 |x| below 0, 1 / (1 - 0.007 x) from 0.
double legacyToneCurve(double x);
// x^y / x, the ratio the current levels and colour balance curves use.
double powRatio(double x, double y);

// The Gaussian weights kept as floats: entry i weighs offset i - n div 2,
// normalised to sum 1. Answers the effective radius (|d| + 1 of the last
// entry of at least 0.01), or -1 (weights empty) for n < 1 or a sigma that
// is not a positive number.
int32_t buildGaussianWeightsF(std::vector<float>& weights, int32_t n, double sigma);

// ---- kernels (parameter words) ---------------------------------------------
[[nodiscard]] bool legacySharpen4Kernel(const SFlt4Context* ctx, const void* param, int32_t size);      // none
[[nodiscard]] bool legacySharpenMore4Kernel(const SFlt4Context* ctx, const void* param, int32_t size);  // none
[[nodiscard]] bool legacyGrayscale4Kernel(const SFlt4Context* ctx, const void* param, int32_t size);    // none
// 0, strength (i32)
[[nodiscard]] bool legacySharpenCustom4Kernel(const SFlt4Context* ctx, const void* param, int32_t size);
// brightness, contrast (i32, -127..127)
[[nodiscard]] bool legacyBrightnessContrast4Kernel(const SFlt4Context* ctx, const void* param, int32_t size);
// levels (i32, 2..254), 0
[[nodiscard]] bool legacyPosterize4Kernel(const SFlt4Context* ctx, const void* param, int32_t size);
// seed (u32), amount (bits 0..15) with the monochrome switch (bit 16)
[[nodiscard]] bool legacyNoise4Kernel(const SFlt4Context* ctx, const void* param, int32_t size);
// cell size (i32, from 2), 0
[[nodiscard]] bool legacyMosaic4Kernel(const SFlt4Context* ctx, const void* param, int32_t size);
// angle (f32 radians), distance (f32 pixels)
[[nodiscard]] bool legacyMotionBlur4Kernel(const SFlt4Context* ctx, const void* param, int32_t size);
// switches (bit 0 blend, bit 1 wrap), radius (f32)
[[nodiscard]] bool legacyGaussianBlur4Kernel(const SFlt4Context* ctx, const void* param, int32_t size);
// angle (f32 radians), distance (f32 pixels)
[[nodiscard]] bool legacyEmboss4Kernel(const SFlt4Context* ctx, const void* param, int32_t size);
// centre x, centre y (f32 layer pixels), amount (f32), 0
[[nodiscard]] bool legacyRadialBlur4Kernel(const SFlt4Context* ctx, const void* param, int32_t size);
// hue shift (degrees), lightness (-127..127), saturation (percent, -100..100), 0 (i32)
[[nodiscard]] bool legacyHueSaturation4Kernel(const SFlt4Context* ctx, const void* param, int32_t size);
// switches (bit 0 blend, bit 1 bilinear, bit 2 square), centre x and y as
// fractions of the size, angle in turns (f32)
[[nodiscard]] bool legacyTwist4Kernel(const SFlt4Context* ctx, const void* param, int32_t size);
// input low, input high, midpoint, output low, output high, 0 (i32)
[[nodiscard]] bool legacyLevels4Kernel(const SFlt4Context* ctx, const void* param, int32_t size);
// switches (bit 0 blend, bit 1 bilinear), phase, frequency x, amplitude x,
// frequency y, amplitude y (f32)
[[nodiscard]] bool legacyWave4Kernel(const SFlt4Context* ctx, const void* param, int32_t size);

}  // namespace pg
