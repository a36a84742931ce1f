#pragma once
// The loops that filter kernels share: each walks the context's region row
// by row from the top, left to right, computes a colour per selected pixel
// and writes it with the pixel's selection weight (writeWeighted). Each
// answers false when the context is not valid or a tile of the layer could
// not be committed, else true (with the exceptions named below).
//
// Pixels are 32-bit B, G, R, A. A look-up table (LUT) is 256 packed pixels:
// entry v holds, per channel byte, the output for input value v.
#include <cstdint>
#include <vector>

#include "core/planes.h"
#include "core/rect.h"
#include "filters/kernel_context.h"

namespace pg {

// ----------------------------------------------------------- table loops

// BGRA8: c = (LUT[p.B].B, LUT[p.G].G, LUT[p.R].R, LUT[p.A].A); write(p, c, weight).
[[nodiscard]] bool applyLutMasked(const SFlt4Context* ctx, const uint32_t lut[256], bool keepAlpha);
// BGRA8: c = table[pixelGrey(p)]; write(p, c, weight).
[[nodiscard]] bool applyGreyMapMasked(const SFlt4Context* ctx, const uint32_t table[256], bool keepAlpha);
// BGRA8: c = LUT[pixelGrey(p)] with its alpha byte replaced by LUT[p.A].A; write(p, c, weight).
[[nodiscard]] bool applyGreyMapAlphaLut(const SFlt4Context* ctx, const uint32_t lut[256], bool keepAlpha);
// BGRA8: blendPixelOver(p, 0x00000000, weight): the selection fades to
// transparent. With the protected flag set nothing happens and the answer is false.
[[nodiscard]] bool clearRegionMasked(const SFlt4Context* ctx, bool protectedFlag);
// BGRA8: blendPixelOver(p, work image pixel at (x, y), weight). With the
// protected flag set nothing happens and the answer is false.
[[nodiscard]] bool copyWorkToLayerMasked(const SFlt4Context* ctx, bool protectedFlag);

// ------------------------------------------------------------ convolution

// A weight grid's window is a rectangle relative to the target pixel: the
// offsets of its top-left weight (X, Y) and its size; the weights are
// Width x Height, row by row.

// The most weights a grid may hold.
inline constexpr int64_t kMaxKernelWeights = 65536;

// Drops the all-zero outer rows and columns: outWeights gets the bounding box
// of the non-zero weights row by row, outWindow the window moved by the box's
// top-left. All zero: an empty window (0 x 0) and no weights. False (both
// outputs empty) for a window of negative size or more than
// kMaxKernelWeights weights.
[[nodiscard]] bool trimKernel(std::vector<int32_t>& outWeights, SRectXYWH& outWindow, const int32_t* weights,
                SRectXYWH window);

// BGRA8, alpha-weighted convolution of one pixel: over the window at (x, y),
// rows and columns outside srcRect replicated from its edge, for each
// weight w != 0 and its pixel p: aw = p.A * w; sumC += p.C * aw; sumAW += aw;
// sumW += w. With sumAW and sumW both non-zero: C = clamp(sumC / sumAW +
// offset), A = clamp(sumAW / sumW + offset) (divisions toward zero); else the
// pixel at (x, y) moved into srcRect, every byte + offset, clamped. False
// when the window misses srcRect (srcRect is first cut to the plane).
[[nodiscard]] bool convolveAt(uint32_t& out, const TMTC& src, const TRect& srcRect, int32_t offset, const int32_t* weights,
                const SRectXYWH& window, int32_t y, int32_t x);
// BGRA8, plain convolution of one pixel (no alpha weighting, alpha of out
// 0): the same edge-replicating walk with sumC += p.C * w; C = clamp(sumC /
// divisor + offset). False for divisor 0 or a window that misses srcRect.
[[nodiscard]] bool convolveAtPlain(uint32_t& out, const TMTC& src, const TRect& srcRect, int32_t offset, int32_t divisor,
                     const SRectXYWH& window, const int32_t* weights, int32_t y, int32_t x);

// The 3 x 3-style filters: trimKernel, then for every selected pixel
// convolveAt over the work image (the layer's unfiltered pixels) and
// write(p, result, weight). All-zero weights change nothing (answer true).
[[nodiscard]] bool convolveMasked(const SFlt4Context* ctx, const int32_t* weights, SRectXYWH window, bool keepAlpha,
                    int32_t offset);
// The custom 5 x 5 filter: convolveAtPlain over the work image and
// lerpPixelRgb(p, result, weight): alpha never changes. False also for
// divisor 0.
[[nodiscard]] bool convolve5x5Masked(const SFlt4Context* ctx, const int32_t weights[25], SRectXYWH window, int32_t offset,
                       int32_t divisor);

// The layer image's rectangle within the work image: what kernels may read.
TRect workSourceRect(const SFlt4Context& ctx);

}  // namespace pg
