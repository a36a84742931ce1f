#pragma once
// Colour halftone, emboss and find edges. All three change only the colour
// bytes of the layer: each result moves the pixel's B, G, R toward it by the
// selection weight, and alpha is never changed.
#include <cstdint>

#include "filters/kernel_context.h"

namespace pg {

// --------------------------------------------------------- colour halftone

// Record, 16 bytes: i32 diameter D (3..255 pixels), i32 screen angles of R,
// G and B in degrees.
struct SFltColorHalftone {
  int32_t diameter = 8;
  int32_t angleR = 18;
  int32_t angleG = 72;
  int32_t angleB = 0;
};
inline constexpr int32_t kColorHalftoneRecordSize = 16;
[[nodiscard]] bool readColorHalftoneRecord(const void* param, int32_t size, SFltColorHalftone& out);
void writeColorHalftoneRecord(const SFltColorHalftone& rec, uint8_t out[kColorHalftoneRecordSize]);

// BGR8: each channel (B, G, R) screened on its own rotated lattice: a square
// spiral of dots from the middle of the work rectangle, steps of sqrt(2) * D
// along the angle. A dot takes ink 255 - the channel of the block average
// under its box (Trunc(c - D) .. Ceil(c + D), right and bottom exclusive,
// cut to the work rectangle) and removes clamp(D * ink - d, 0, 255) from the
// channel of a white plane, d = Round(sqrt((|x - cx| - 0.5)^2 + (|y - cy| -
// 0.5)^2) * 255). A diameter below 3 is refused.
[[nodiscard]] bool colorHalftone(const SFlt4Context& ctx, const SFltColorHalftone& rec);
[[nodiscard]] bool colorHalftoneKernel(const SFlt4Context* ctx, const void* param, int32_t size);

// ------------------------------------------------------------------ emboss

// Record, 16 bytes: i32 angle in degrees (the negation of the angle the
// dialog shows), f32 height (0.1..100 pixels), i32 amount (per cent,
// 1..500), i32 zero.
struct SFltEmboss {
  int32_t angle = -120;
  float height = 3.0f;
  int32_t amount = 100;
};
inline constexpr int32_t kEmbossRecordSize = 16;
[[nodiscard]] bool readEmbossRecord(const void* param, int32_t size, SFltEmboss& out);
void writeEmbossRecord(const SFltEmboss& rec, uint8_t out[kEmbossRecordSize]);

// BGR8: two bilinear samples of the unfiltered layer at the pixel moved by
// d_i = (Round(cos phi_i * height / 2 * 65536) + 32768, likewise sin), phi_0 =
// angle, phi_1 = angle + 180 (points clamped into the layer); each colour
// byte = clamp(Trunc((s0 - s1) * amount / 100 + 127.5)).
[[nodiscard]] bool emboss(const SFlt4Context& ctx, const SFltEmboss& rec);
[[nodiscard]] bool embossKernel(const SFlt4Context* ctx, const void* param, int32_t size);

// -------------------------------------------------------------- find edges

// BGR8, size 0: S = sum of weight * |centre - neighbour| over the eight
// neighbours (clamped into the layer) with weights 2 3 2 / 3 . 3 / 2 3 2;
// each colour byte = clamp(255 - S div 5).
[[nodiscard]] bool findEdgesKernel(const SFlt4Context* ctx, const void* param, int32_t size);

}  // namespace pg
