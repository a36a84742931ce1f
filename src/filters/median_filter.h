#pragma once
// The median filter ("明るさの中間値"): each selected pixel becomes the
// per-channel median of the square window of radius r around it, read from
// the unfiltered layer with the edge pixels repeated beyond the layer. The
// colour medians count only pixels whose alpha is not 0; the alpha median
// counts every pixel of the window.
#include <array>
#include <cstdint>

#include "filters/kernel_context.h"

namespace pg {

// Record, 8 bytes: u8 radius (1..100), u8 protect (the layer's protect-alpha
// flag when the record was made), six zero bytes.
struct SFltMedian {
  uint8_t radius = 8;
  uint8_t protect = 0;
};
inline constexpr int32_t kMedianRecordSize = 8;
// The largest radius the kernel takes (the dialog's); a recorded radius
// beyond it is clamped, so that the work per pixel stays bounded.
inline constexpr int32_t kMedianMaxRadius = 100;
[[nodiscard]] bool readMedianRecord(const void* param, int32_t size, SFltMedian& out);
void writeMedianRecord(const SFltMedian& rec, uint8_t out[kMedianRecordSize]);

// The value a histogram of 256 counters gives for a target count: walking
// i = 0 .. 255, a low sum adds count[i] and a high sum count[255 - i]; the
// first i at which the low sum reaches the target answers i, else the first
// at which the high sum reaches it answers 255 - i (the low side is tested
// first). 0 when neither reaches it. The literal walk:
uint32_t medianSelectLiteral(const uint32_t* counts, uint32_t target);

// BGRA8: the running-histogram median (the window slides one row or column
// at a time). Colour only when the record or the layer protects alpha.
[[nodiscard]] bool medianFilter(const SFlt4Context& ctx, const SFltMedian& rec);
// The same, each window counted afresh and selected by the literal walk.
[[nodiscard]] bool medianFilterReference(const SFlt4Context& ctx, const SFltMedian& rec);
[[nodiscard]] bool medianKernel(const SFlt4Context* ctx, const void* param, int32_t size);

}  // namespace pg
