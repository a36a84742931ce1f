#pragma once
// The Gaussian weight builder of the blurs and of the octave-noise blur: one
// weight per entry of a table as long as the image's extent, entry i holding
// the weight of offset d = i - n div 2 from the centre, normalised so that
// the table sums to 1 and stored as 16.16 integers.
#include <cstdint>

namespace pg {

// For i = 0 .. n - 1: w = exp(-d^2 / (2 sigma^2)), normalised by the sum of
// the table, then trunc(w * 65536 + 0.5). The answer is the effective radius:
// |d| + 1 of the last entry whose normalised weight is at least 0.01 (so the
// outermost such weight above the centre), 0 when there is none. A table of
// fewer than one entry, or a sigma that is not a positive number, answers -1
// and leaves the table untouched.
int32_t buildGaussianWeights(int32_t* weights, int32_t n, double sigma);

}  // namespace pg
