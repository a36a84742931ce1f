#pragma once
// Blur, blur more, Gaussian blur, sharpen, sharpen more, sharpen custom and
// the custom 5 x 5 filter: weighted neighbourhood averages of the layer's
// unfiltered pixels, written with the selection weight (colour only where
// the layer protects alpha, except custom 5 x 5, which never changes alpha).
//
// Each kernel entry is kernel(context, record, record size); a wrong size or
// an invalid context leaves the layer untouched and answers false.
#include <cstdint>

#include "filters/filter_params.h"
#include "filters/kernel_context.h"

namespace pg {

// ----------------------------------------------------- fixed grids (size 0)

// Blur, first kernel (older recordings): 3 x 3 all ones.
[[nodiscard]] bool blurBoxKernel(const SFlt4Context* ctx, const void* param, int32_t size);
// Blur, the command's kernel: 0 1 0 / 1 4 1 / 0 1 0.
[[nodiscard]] bool blurKernel(const SFlt4Context* ctx, const void* param, int32_t size);
// Blur more, first kernel (older recordings): 5 x 5 all ones.
[[nodiscard]] bool blurMoreBoxKernel(const SFlt4Context* ctx, const void* param, int32_t size);
// Blur more, the command's kernel: 1 2 1 / 2 2 2 / 1 2 1.
[[nodiscard]] bool blurMoreKernel(const SFlt4Context* ctx, const void* param, int32_t size);
// Sharpen: 0 -1 0 / -1 8 -1 / 0 -1 0.
[[nodiscard]] bool sharpenKernel(const SFlt4Context* ctx, const void* param, int32_t size);
// Sharpen more: -1 -1 -1 / -1 12 -1 / -1 -1 -1.
[[nodiscard]] bool sharpenMoreKernel(const SFlt4Context* ctx, const void* param, int32_t size);

// ----------------------------------------------------------- sharpen custom

// Record, 8 bytes: f32 amount 0..1, four zero bytes.
inline constexpr int32_t kSharpenCustomRecordSize = 8;
// v = trunc((a * 240^1.5 + 0.5)^(2/3)): 0 at a = 0, 240 at a = 1.
int32_t sharpenCustomStrength(float amount);
// BGRA8, grid 0 -v 0 / -v 999 -v / 0 -v 0 through the shared 3 x 3 loop. An
// amount outside 0..1 is clamped into it; one that is not a number is refused.
[[nodiscard]] bool sharpenCustom(const SFlt4Context& ctx, float amount);
[[nodiscard]] bool sharpenCustomKernel(const SFlt4Context* ctx, const void* param, int32_t size);

// ------------------------------------------------------------ Gaussian blur

// Record, 8 bytes: f32 amount (the Gaussian radius in pixels, 0.1..10), four zero bytes.
inline constexpr int32_t kGaussianBlurRecordSize = 8;
// The largest radius the kernel takes: a recorded amount beyond it is
// clamped (the dialog offers 0.1..10), so that a recording cannot make the
// kernel's work grow with the layer's size.
inline constexpr float kGaussianMaxAmount = 10.0f;

// BGRA8, separable Gaussian: a vertical pass of the unfiltered pixels into a
// temporary plane, then a horizontal pass into the layer. Per tap with table
// entry t: w = A * (t >> 5); colour = sum(C * w) / sum(w), alpha = the plain
// mean of the counted taps' alphas; only taps inside the layer and the
// tables count. Refused unless the amount is greater than 0.
[[nodiscard]] bool gaussianBlur(const SFlt4Context& ctx, float amount);
// The literal tap-by-tap form of the same passes (the reference of the fast one).
[[nodiscard]] bool gaussianBlurReference(const SFlt4Context& ctx, float amount);
[[nodiscard]] bool gaussianBlurKernel(const SFlt4Context* ctx, const void* param, int32_t size);

// ------------------------------------------------------------ custom 5 x 5

// BGRA8: the fixed-divisor 5 x 5 loop with window (-2, -2, 5, 5) over the
// block's weights (-999..999), divisor (1..9999) and offset (-9999..9999);
// colour only. Divisor 0 is refused.
[[nodiscard]] bool custom5x5(const SFlt4Context& ctx, const SCustom5x5Block& block);
// The custom filter's entry: param is the SFltRecord (size 50) whose extra
// data is one 108-byte block; a record with another count, size or no extra
// data is refused.
[[nodiscard]] bool customKernel(const SFlt4Context* ctx, const void* param, int32_t size);

}  // namespace pg
