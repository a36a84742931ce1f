#pragma once
// The inner loops of the weight-grid convolutions, for a run of pixels whose
// windows lie wholly inside the source (no edge to replicate). Each comes in
// the plain per-pixel form, which is the reference, and in vector forms that
// give the same bytes: the sums are the same integer sums (only their order
// differs) and every quotient is the exact quotient, rounded toward zero.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "core/rect.h"

namespace pg {

// One non-zero weight of a grid and where its pixel lies from the target,
// in pixels (rows included).
struct SConvTap {
  ptrdiff_t offset = 0;
  int32_t w = 0;
};

// The non-zero weights of a grid (weights row by row over window) on a plane
// of rowStep pixels a row.
std::vector<SConvTap> convTapsOf(const int32_t* weights, const SRectXYWH& window, ptrdiff_t rowStep);

// The alpha-weighted convolution: for the taps' pixels p and weights w,
// aw = p.A * w, sumC = sum of p.C * aw, sumAW = sum of aw, sumW = sum of w.
// With sumAW and sumW non-zero the pixel is (sumC / sumAW + offset) for B,
// G, R and (sumAW / sumW + offset) for A, each clamped to 0..255; else the
// pixel at `own` from the target, every byte + offset, clamped.
struct SConvWeighted {
  std::vector<SConvTap> taps;
  int64_t weightSum = 0;
  ptrdiff_t own = 0;
  int32_t offset = 0;
};

// The plain convolution: (sum of p.C * w) / divisor + offset for B, G, R,
// clamped; alpha 0. The divisor is not 0.
struct SConvPlain {
  std::vector<SConvTap> taps;
  int32_t divisor = 1;
  int32_t offset = 0;
};

// out[i] for the targets centre + i, 0 <= i < n, by the widest form the
// processor and the vector level allow.
void convolveWeightedRun(const SConvWeighted& c, const uint32_t* centre, int32_t n, uint32_t* out);
void convolvePlainRun(const SConvPlain& c, const uint32_t* centre, int32_t n, uint32_t* out);

// The finishing steps the per-pixel forms share with the edge pixels of
// the kernels: the alpha-weighted one (sW the sum of the weights, fallback
// the pixel taken when a sum is 0) and the plain one.
[[nodiscard]] uint32_t finishWeighted(int64_t sB, int64_t sG, int64_t sR, int64_t sAW, int64_t sW, int32_t offset,
                                      uint32_t fallback);
[[nodiscard]] uint32_t finishPlain(int64_t sB, int64_t sG, int64_t sR, int32_t divisor, int32_t offset);

// The widest form the runs may use: 0 the per-pixel reference, 1 portable
// vector lanes, 2 AVX2, 3 AVX-512 (the start value; each used only where
// the processor has it). Answers the previous value (tests run every form).
int setConvolutionVectorLevel(int level);

// The lane forms, for the dispatch: each answers how many pixels from the
// start it did (a multiple of its lane count), 0 when the grid's sums could
// leave 32-bit lanes or the processor lacks the instructions.
int32_t weightedRunPortable(const SConvWeighted& c, const uint32_t* centre, int32_t n, uint32_t* out);
int32_t plainRunPortable(const SConvPlain& c, const uint32_t* centre, int32_t n, uint32_t* out);
int32_t weightedRunAvx2(const SConvWeighted& c, const uint32_t* centre, int32_t n, uint32_t* out);
int32_t plainRunAvx2(const SConvPlain& c, const uint32_t* centre, int32_t n, uint32_t* out);
int32_t weightedRunAvx512(const SConvWeighted& c, const uint32_t* centre, int32_t n, uint32_t* out);
int32_t plainRunAvx512(const SConvPlain& c, const uint32_t* centre, int32_t n, uint32_t* out);

// Whether a grid's sums stay inside 32-bit lanes with room for the exact
// quotient step (the lane forms check it themselves).
[[nodiscard]] bool weightedFitsLanes(const SConvWeighted& c);
[[nodiscard]] bool plainFitsLanes(const SConvPlain& c);

}  // namespace pg
