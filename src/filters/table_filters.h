#pragma once
// Point operations by table: posterize, two-tone threshold, invert and
// solarize keep every pixel's alpha and move its colour bytes toward the
// table colour by the selection weight; luminance to transparency turns the
// grey of each pixel into transparency, optionally tinting it with the
// drawing colour.
#include <array>
#include <cstddef>
#include <cstdint>

namespace pg {

struct SFlt4Context;

// A table entry of the colour tables: B = G = R = v, alpha entry i.
constexpr uint32_t greyLutEntry(uint32_t i, uint32_t v) { return v | (v << 8) | (v << 16) | (i << 24); }

struct SFltPosterize {
  static constexpr size_t kSize = 8;
  int32_t Levels = 4;  // the kernel uses clamp(levels, 2, 255)
  std::array<uint8_t, 4> Reserved{};

  static SFltPosterize read(const uint8_t* p);
  void write(uint8_t* out) const;
};

struct SFltThreshold {
  static constexpr size_t kSize = 8;
  uint8_t Threshold = 128;  // 1..255
  uint8_t DialogFlag = 0;   // 1 from the dialog, 0 from the remembered record
  std::array<uint8_t, 6> Reserved{};

  static SFltThreshold read(const uint8_t* p);
  void write(uint8_t* out) const;
};

struct SFltLumaToAlpha {
  static constexpr size_t kSize = 8;
  uint32_t Colour = 0;  // the drawing colour, pixel order (blue low)
  uint32_t Tint = 1;    // non-zero: tint by the drawing colour

  static SFltLumaToAlpha read(const uint8_t* p);
  void write(uint8_t* out) const;
};

// Entry i, B = G = R: ((i * n) div 255 * 255) div (n - 1), n = clamp(levels, 2, 255).
void buildPosterizeTable(int32_t levels, std::array<uint32_t, 256>& table);
// Entry i, B = G = R: 0 when i <= clamp(threshold - 1, 0, 254), else 255.
void buildThresholdTable(uint32_t threshold, std::array<uint32_t, 256>& table);
// Entry i, B = G = R: 255 - i.
void buildInvertTable(std::array<uint32_t, 256>& table);
// Entry i, B = G = R: min(i, 255 - i).
void buildSolarizeTable(std::array<uint32_t, 256>& table);

// BGRA8, alpha kept: colour bytes toward the posterize table's levels.
// Record size 8.
[[nodiscard]] bool posterize4Kernel(const SFlt4Context* ctx, const void* param, int32_t size);
// BGRA8, alpha kept: colour toward white where the pixel's grey is at least
// the threshold, black elsewhere. Record size 8.
[[nodiscard]] bool threshold4Kernel(const SFlt4Context* ctx, const void* param, int32_t size);
// BGRA8, alpha kept: colour bytes toward 255 - c. No record (size 0).
[[nodiscard]] bool invert4Kernel(const SFlt4Context* ctx, const void* param, int32_t size);
// BGRA8, alpha kept: colour bytes toward min(c, 255 - c). No record (size 0).
[[nodiscard]] bool solarize4Kernel(const SFlt4Context* ctx, const void* param, int32_t size);

// The new colour of one unfiltered pixel s with selection weight m: colour
// bytes those of the drawing colour (tint 0), lerp255(colour, s, m) (tint set,
// grey < 255) or those of s (grey 255); alpha mulDiv255(255 - grey, s's alpha).
uint32_t lumaToAlphaColour(uint32_t s, uint32_t colour, bool tint, uint32_t m);
// BGRA8: blendPixelOver(p, lumaToAlphaColour(unfiltered p, ...), m); nothing
// (and success) when the layer protects alpha. Record size 8.
[[nodiscard]] bool lumaToAlpha4Kernel(const SFlt4Context* ctx, const void* param, int32_t size);

}  // namespace pg
