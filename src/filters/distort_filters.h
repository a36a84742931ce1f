#pragma once
// Three displacement filters: polar coordinates, wave and twirl. Each finds
// a 16.16 source point for every selected pixel of the region, samples the
// unfiltered pixels there and writes the colour by the selection weight
// (protected alpha: colour bytes only).
#include <array>
#include <cstddef>
#include <cstdint>

namespace pg {

struct SFlt4Context;

struct SFltPolar {
  static constexpr size_t kSize = 8;
  uint8_t Mode = 0;          // 0 rectangular to polar, 1 polar to rectangular
  uint8_t ProtectAlpha = 0;  // the layer's flag when the record was made
  std::array<uint8_t, 6> Reserved{};

  static SFltPolar read(const uint8_t* p);
  void write(uint8_t* out) const;
};

struct SFltWave {
  static constexpr size_t kSize = 8;
  uint8_t HCount = 1;     // horizontal waves, 1..50
  uint8_t VCount = 1;     // vertical waves, 1..50
  uint8_t HStrength = 10; // pixels, 0..100
  uint8_t VStrength = 10;
  float Phase = 0.0f;     // radians

  static SFltWave read(const uint8_t* p);
  void write(uint8_t* out) const;
};

struct SFltTwirl {
  static constexpr size_t kSize = 8;
  int16_t Angle = 50;  // degrees
  uint8_t Clamp = 1;   // 1: the saturating sampler
  std::array<uint8_t, 5> Reserved{};

  static SFltTwirl read(const uint8_t* p);
  void write(uint8_t* out) const;
};

// BGRA8: mode 0 maps the bounds to polar coordinates about their centre, mode
// 1 back; the source is a one-pixel box averaged with at least half of it
// inside the bounds. Fails when the record's protect-alpha byte differs from
// the layer's flag; any other mode does nothing. Size 8.
[[nodiscard]] bool polar4Kernel(const SFlt4Context* ctx, const void* param, int32_t size);

// BGRA8: each pixel moved by a sine wave along the columns and one along the
// rows, wrapping around the layer image. Types 0 and 1 are the earlier
// wrap-around tables with the plain bilinear sampler, type 2 the current
// one with the saturating sampler. Size 8.
[[nodiscard]] bool wave4KernelType0(const SFlt4Context* ctx, const void* param, int32_t size);
[[nodiscard]] bool wave4KernelType1(const SFlt4Context* ctx, const void* param, int32_t size);
[[nodiscard]] bool wave4Kernel(const SFlt4Context* ctx, const void* param, int32_t size);

// BGRA8: inside the ellipse inscribed in the bounds each pixel takes the
// source turned about the centre by (1 - r)^2 * -angle, r its elliptic
// radius; the bilinear sampler clamps to the image edge (saturating when
// the clamp flag is set). Size 8.
[[nodiscard]] bool twirl4Kernel(const SFlt4Context* ctx, const void* param, int32_t size);

}  // namespace pg
