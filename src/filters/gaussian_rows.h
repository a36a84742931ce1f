#pragma once
// The inner loops of the Gaussian blur: a run of output pixels, each the
// alpha-weighted average of its taps, with the taps of equal weight on both
// sides of the centre folded into pairs. Every sum is the one the plain
// per-pixel loop forms (integer sums; only their order differs), and every
// quotient the exact integer quotient.
#include <cstddef>
#include <cstdint>
#include <vector>

namespace pg {

// One tap of a run: pixel i of the run reads a[i] (and b[i] for a pair, both
// with weight t).
struct SGaussTap {
  const uint32_t* a = nullptr;
  const uint32_t* b = nullptr;
  uint32_t t = 0;
};

// The taps of offsets dLo .. dHi: weight(d) gives the tap weight and at(d)
// the start of its pixels. Offsets d and -d with the same weight become one
// pair. Singles come first in `taps`; answers how many singles there are.
template <class Weight, class At>
int32_t buildGaussTaps(int32_t dLo, int32_t dHi, Weight&& weight, At&& at, std::vector<SGaussTap>& taps) {
  // Sized once and filled by index: the edge pixels of a row build their
  // lists one pixel at a time.
  taps.resize(static_cast<std::size_t>(dHi - dLo + 1));
  std::size_t n = 0;
  const auto mirrored = [&](int32_t d) { return d != 0 && -d >= dLo && -d <= dHi && weight(d) == weight(-d); };
  for (int32_t d = dLo; d <= dHi; ++d)
    if (!mirrored(d)) taps[n++] = {at(d), nullptr, weight(d)};
  const auto singles = static_cast<int32_t>(n);
  for (int32_t d = dLo; d < 0; ++d)
    if (mirrored(d)) taps[n++] = {at(d), at(-d), weight(d)};
  taps.resize(n);
  return singles;
}

// For i in [0, n): sums over the taps of w = A * t, C * w and A; out[i] is
// (B / W, G / W, R / W, A / count) as a pixel, or 0 where W is 0; has[i]
// (when has is not null) tells which. `count` is the number of taps as the
// plain loop counts them (a pair is two), and is not 0.
void gaussianRun(const SGaussTap* taps, int32_t singles, int32_t tapCount, uint32_t count, int32_t n, uint32_t* out,
                 uint8_t* has);

// q[i] = floor(n[i] / d[i]) as the run computes its quotients (n + d < 2^31,
// n / d < 2^20, d != 0); exposed for the test that checks it against
// integer division.
void gaussQuotients(const uint32_t* n, const uint32_t* d, uint32_t* q, int32_t count);

// The widest vector form the run and gaussQuotients may use: 0 portable,
// 1 AVX2, 2 AVX-512 (the start value); each is used only where the
// processor has it. Answers the previous value (tests run every form).
int setGaussianVectorLevel(int level);

// The AVX2 and AVX-512 forms: false (nothing done) where the processor lacks AVX2 or a
// weight does not suit them; `done` is where the portable loop goes on.
[[nodiscard]] bool gaussianRunAvx2(const SGaussTap* taps, int32_t singles, int32_t tapCount, uint32_t count, int32_t n,
                     uint32_t* out, uint8_t* has, int32_t& done);
[[nodiscard]] bool gaussQuotientsAvx2(const uint32_t* n, const uint32_t* d, uint32_t* q, int32_t count);
[[nodiscard]] bool gaussianRunAvx512(const SGaussTap* taps, int32_t singles, int32_t tapCount, uint32_t count, int32_t n,
                       uint32_t* out, uint8_t* has, int32_t& done);
[[nodiscard]] bool gaussQuotientsAvx512(const uint32_t* n, const uint32_t* d, uint32_t* q, int32_t count);

}  // namespace pg
