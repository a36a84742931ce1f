#pragma once
// Free rotation and scaling (with mirroring) of the selected part of a layer
// about the centre of the bounds. Each has two methods: the current one
// samples through the filter resampler, which respects the source
// selection; the earlier one, which old recordings carry, samples the whole
// unfiltered image clipped to the bounds. Angles and sizes that come down to
// no change or to a mirror hand over to the write-back or the flip kernels.
#include <array>
#include <cstddef>
#include <cstdint>

namespace pg {

struct SFlt4Context;

struct SFltRotate {
  static constexpr size_t kSize = 8;
  float Angle = 0.0f;        // degrees (the dialog stores its control negated)
  uint8_t ProtectAlpha = 0;  // the layer's flag when the record was made
  uint8_t Method = 1;        // 1 current, 0 earlier
  std::array<uint8_t, 2> Reserved{};

  static SFltRotate read(const uint8_t* p);
  void write(uint8_t* out) const;
};

struct SFltScale {
  static constexpr size_t kSize = 16;
  int32_t NewWidth = 0;   // pixels; negative mirrors left to right; 0 erases
  int32_t NewHeight = 0;  // pixels; negative mirrors top to bottom; 0 erases
  uint8_t ProtectAlpha = 0;
  uint8_t Method = 1;
  std::array<uint8_t, 6> Reserved{};

  static SFltScale read(const uint8_t* p);
  void write(uint8_t* out) const;
};

// BGRA8: each selected pixel takes the source around its centre turned by
// -angle about the bounds' centre, written by its selection weight
// (protected alpha: colour bytes only); outside the source the blend mode's
// neutral colour (transparent unless alpha is protected). Fails when the
// record's protect-alpha byte differs from the layer's flag. Size 8.
[[nodiscard]] bool rotate4Kernel(const SFlt4Context* ctx, const void* param, int32_t size);
// BGRA8: each selected pixel inside the scaled rectangle takes the average of
// the source box that maps onto it; outside that rectangle the background.
// Width or height 0 erases the selection. Fails when the record's
// protect-alpha byte differs from the layer's flag. Size 16.
[[nodiscard]] bool scale4Kernel(const SFlt4Context* ctx, const void* param, int32_t size);

}  // namespace pg
