// The Normal source-over row built for AVX-512 (sixteen pixels a step), used
// where the processor has it; every other operator keeps its AVX2 kernels.
//
// Over a destination with alphas of every kind each channel is
// floor(num / den), den = 255*sa + (255-sa)*dA, num = 255*sa*s + (255-sa)*dA*d:
// a division per pixel and channel that the premultiplied formats never pay.
// Here one pixel sits in each 32-bit lane, one reciprocal per pixel serves its
// three channels, and each channel's floor comes exact from one fused step
// (normalOverMixed). Groups whose destination alphas are all 0 or all 255, or
// whose source alphas are each 0 or 255, take cheaper forms that give the
// same bytes.
//
// As in the AVX2 build, everything compiled for AVX-512 lives below the target
// switch and in an unnamed namespace.
#include <cstddef>
#include <cstdint>

#include "core/blend_arith.h"
#include "core/blend_modes.h"
#include "core/blend_rows.h"
#include "core/blend_rows_list.h"
#include "core/composite_core.h"

#if defined(__x86_64__) && (defined(__GNUC__) || defined(__clang__))
#include <immintrin.h>

#if defined(__clang__)
#pragma clang attribute push(__attribute__((target("avx512f,avx512bw,avx512dq,avx512vl,avx512vbmi,avx2,fma"))), \
                             apply_to = function)
#else
#pragma GCC push_options
#pragma GCC target("avx512f,avx512bw,avx512dq,avx512vl,avx512vbmi,avx2,fma")
// GCC 12's AVX-512 intrinsics start some results from a deliberately
// undefined register, which it then reports as maybe uninitialised.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wmaybe-uninitialized"
#pragma GCC diagnostic ignored "-Wuninitialized"
#endif

namespace pg {
namespace {

using V = __m512i;
using VF = __m512;
constexpr size_t kGroup = 16;

#define PG_INLINE __attribute__((always_inline)) inline
#define PG_INLINE_LAMBDA __attribute__((always_inline))

PG_INLINE V k32(uint32_t v) { return _mm512_set1_epi32(static_cast<int>(v)); }
PG_INLINE VF kf(float v) { return _mm512_set1_ps(v); }
PG_INLINE V vLoad(const uint32_t* p) { return _mm512_loadu_si512(p); }
PG_INLINE void vStore(uint32_t* p, V v) { _mm512_storeu_si512(p, v); }

// floor(x / 255) for x below 2^16 in 16-bit lanes: (x * 32897) >> 23.
PG_INLINE V div255w(V x) { return _mm512_srli_epi16(_mm512_mulhi_epu16(x, _mm512_set1_epi16(-32639)), 7); }
// floor(a * b / 255) for bytes in 16-bit lanes (also for bytes in 32-bit lanes,
// whose upper halves stay 0).
PG_INLINE V mul255w(V a, V b) { return div255w(_mm512_mullo_epi16(a, b)); }

// The source alphas of a group scaled by the opacity p (Full: the opacity is
// 255), one a 32-bit lane.
template <bool Full>
PG_INLINE V sourceAlpha(V S, V p) {
  const V sa = _mm512_srli_epi32(S, 24);
  if constexpr (Full) {
    return sa;
  } else {
    return mul255w(sa, p);
  }
}

// Byte-index tables of the two-source byte permutes, the same for every
// pixel: at byte k of a pixel, byte pick[k] of that pixel in the first source
// (0..3) or byte pick[k] - 4 in the second (4..7).
struct SByteIndex {
  alignas(64) uint8_t idx[64];
};
constexpr SByteIndex byteIndex(int b0, int b1, int b2, int b3) {
  SByteIndex t{};
  const int pick[4] = {b0, b1, b2, b3};
  for (int i = 0; i < 64; ++i) {
    const int k = pick[i & 3];
    t.idx[i] = static_cast<uint8_t>((i & ~3) + (k & 3) + (k >= 4 ? 64 : 0));
  }
  return t;
}
// Channel c's difference byte sign-extended by its borrow byte.
constexpr SByteIndex kWidenDiff[3] = {byteIndex(0, 4, 4, 4), byteIndex(1, 5, 5, 5), byteIndex(2, 6, 6, 6)};
// Blue and green low bytes; red and alpha low bytes.
constexpr SByteIndex kPackBG = byteIndex(0, 4, 0, 0);
constexpr SByteIndex kPackRA = byteIndex(0, 0, 0, 4);
PG_INLINE V indexOf(const SByteIndex& t) { return _mm512_load_si512(t.idx); }

// Over a destination with alphas of every kind: per channel
// floor(num / den) = d + floor(m * x), m = ws / den, x = s - d, ws = 255*sa,
// wd = (255-sa)*dA, den = ws + wd.
//
// m is carried as mHi + mLo: mHi = ws * r, r the float nearest 1/den, lies
// within two units in the last place of m, so ws - mHi*den is exact (a
// multiple of mHi's unit, at most 2*den of them, below 2^24), and
// mLo = (ws - mHi*den) * r leaves m - (mHi + mLo) below 2^-40. One fused
// x*mHi + x*mLo is then within 2^-30 of m*x before its rounding. A non-integer
// m*x (a multiple of 1/den) lies at least 1/den > 2^-16 from every integer,
// more than half the float spacing at any size below 256 (2^-17 from 128 up),
// so it rounds to a float strictly between the same two integers, and an
// integer m*x rounds to itself: flooring the rounded sum gives floor(m*x)
// exactly, without a correction step.
//
// x per channel comes from the bytewise difference s - d and its borrow; the
// byte d + floor(m*x) is one bytewise addition to the destination (the sum is
// the result byte, so no carry crosses bytes).
//
// The result alpha is ceil(den / 255), taken in float lanes as
// trunc((den + 254.5) / 255), whose rounding errors (below 2^-15) stay far
// from the nearest integer (at least 0.5/255 away). Where it is 0 (both alphas
// 0) the pixel stays: covered holds the other lanes.
template <bool Full>
PG_INLINE V normalOverMixed(V D, V S, V p, __mmask16 covered) {
  const VF fsa = _mm512_cvtepi32_ps(sourceAlpha<Full>(S, p));
  const VF fdA = _mm512_cvtepi32_ps(_mm512_srli_epi32(D, 24));
  const VF ws = _mm512_mul_ps(fsa, kf(255.0f));
  const VF den0 = _mm512_fnmadd_ps(fsa, fdA, _mm512_fmadd_ps(fdA, kf(255.0f), ws));  // ws + (255-sa)*dA
  const VF den = _mm512_max_ps(den0, kf(1.0f));
  const VF r = _mm512_div_ps(kf(1.0f), den);
  const VF mHi = _mm512_mul_ps(ws, r);
  const VF mLo = _mm512_mul_ps(_mm512_fnmadd_ps(mHi, den, ws), r);

  const V diff = _mm512_sub_epi8(S, D);
  const V borrow = _mm512_movm_epi8(_mm512_cmplt_epu8_mask(S, D));
  const auto channel = [&](int c) PG_INLINE_LAMBDA {
    // x: the difference byte, sign-extended by its borrow.
    const V xi = _mm512_permutex2var_epi8(diff, indexOf(kWidenDiff[c]), borrow);
    const VF x = _mm512_cvtepi32_ps(xi);
    return _mm512_cvt_roundps_epi32(_mm512_fmadd_ps(x, mHi, _mm512_mul_ps(x, mLo)),
                                    _MM_FROUND_TO_NEG_INF | _MM_FROUND_NO_EXC);
  };
  const V fb = channel(0), fg = channel(1), fr = channel(2);
  const V outA = _mm512_cvttps_epi32(_mm512_fmadd_ps(den0, kf(1.0f / 255.0f), kf(254.5f / 255.0f)));
  // The low byte of each step and of the alpha side by side.
  const V bg = _mm512_permutex2var_epi8(fb, indexOf(kPackBG), fg);
  const V ra = _mm512_permutex2var_epi8(fr, indexOf(kPackRA), outA);
  const V steps = _mm512_mask_blend_epi16(0xAAAAAAAAu, bg, ra);
  const V out = _mm512_mask_add_epi8(steps, 0x7777777777777777ull, D, steps);
  return _mm512_mask_mov_epi32(D, covered, out);
}

// Over an opaque destination: the mix floor((s*sa + d*(255-sa)) / 255) of
// each channel in 16-bit lanes, the alpha kept.
template <bool Full>
PG_INLINE V normalOverOpaque(V D, V S, V p) {
  const V zero = _mm512_setzero_si512();
  const auto half = [&](V s, V d) PG_INLINE_LAMBDA {
    // Each pixel's alpha in its four words.
    V a = _mm512_shufflehi_epi16(_mm512_shufflelo_epi16(s, 0xFF), 0xFF);
    if constexpr (!Full) a = mul255w(a, p);
    return div255w(_mm512_add_epi16(_mm512_mullo_epi16(s, a),
                                    _mm512_mullo_epi16(d, _mm512_sub_epi16(_mm512_set1_epi16(255), a))));
  };
  const V mixed = _mm512_packus_epi16(half(_mm512_unpacklo_epi8(S, zero), _mm512_unpacklo_epi8(D, zero)),
                                      half(_mm512_unpackhi_epi8(S, zero), _mm512_unpackhi_epi8(D, zero)));
  return _mm512_mask_blend_epi8(0x8888888888888888ull, mixed, D);
}

// Over a transparent destination: the source colour at alpha sa; where sa is
// 0 the pixel stays.
template <bool Full>
PG_INLINE V normalOverTransparent(V D, V S, V p) {
  const V sa = sourceAlpha<Full>(S, p);
  const V out = _mm512_ternarylogic_epi32(S, k32(0x00FFFFFFu), _mm512_slli_epi32(sa, 24), 0xEA);  // S & m | a
  return _mm512_mask_mov_epi32(out, _mm512_testn_epi32_mask(sa, sa), D);
}

// Lanes whose alpha byte is 255 (the pixel at or above 0xFF000000).
PG_INLINE __mmask16 opaqueLanes(V v) { return _mm512_cmp_epu32_mask(v, k32(0xFF000000u), _MM_CMPINT_NLT); }
// Lanes whose alpha byte is not 0.
PG_INLINE __mmask16 alphaLanes(V v) { return _mm512_test_epi32_mask(v, k32(0xFF000000u)); }

// One group of the Normal source-over, p the opacity in every 16-bit lane,
// sLanes the lanes whose source alpha is not 0.
template <bool Full>
PG_INLINE V normalOverGroup(V D, V S, V p, __mmask16 sLanes) {
  const __mmask16 dOpaque = opaqueLanes(D);
  if (dOpaque == 0xFFFF) return normalOverOpaque<Full>(D, S, p);
  const __mmask16 dLanes = alphaLanes(D);
  if (dLanes == 0) return normalOverTransparent<Full>(D, S, p);
  if constexpr (Full) {
    // Every source lane opaque or transparent (the inside of a stroke and the
    // empty space beside it): an opaque source replaces the pixel, a
    // transparent one leaves it.
    const __mmask16 sOpaque = opaqueLanes(S);
    if (static_cast<__mmask16>(sOpaque | ~sLanes) == 0xFFFF) return _mm512_mask_mov_epi32(D, sOpaque, S);
  }
  return normalOverMixed<Full>(D, S, p, static_cast<__mmask16>(sLanes | dLanes));
}

// A row of Op(&dst[i], src[i], opacity), Op a Normal source-over.
template <PixelOp32 Op, bool Full>
void normalOverRowAt(uint32_t* dst, const uint32_t* src, size_t n, uint32_t opacity) {
  const V p = _mm512_set1_epi16(static_cast<short>(opacity));
  size_t i = 0;
  for (; i + kGroup <= n; i += kGroup) {
    const V S = vLoad(src + i);
    const __mmask16 sLanes = alphaLanes(S);
    if (sLanes == 0) {
      // A transparent source changes nothing. The destination is not read
      // here, so the processor's own prefetching of it stops: ask for what
      // the next groups may need.
      _mm_prefetch(reinterpret_cast<const char*>(dst + i) + 1024, _MM_HINT_T0);
      continue;
    }
    vStore(dst + i, normalOverGroup<Full>(vLoad(dst + i), S, p, sLanes));
  }
  for (; i < n; ++i) Op(dst + i, src[i], opacity);
}

template <PixelOp32 Op>
void normalOverRow(uint32_t* dst, const uint32_t* src, size_t n, uint32_t opacity) {
  if (opacity == 0) return;
  if (opacity == 255) {
    normalOverRowAt<Op, true>(dst, src, n, opacity);
  } else {
    normalOverRowAt<Op, false>(dst, src, n, opacity);
  }
}

template <PixelOp32 Op>
void normalOverFill(uint32_t* dst, uint32_t colour, size_t n, uint32_t opacity) {
  if (mulDiv255(opacity, pixelAlpha(colour)) == 0) return;
  const V p = _mm512_set1_epi16(static_cast<short>(opacity));
  const V S = k32(colour);
  size_t i = 0;
  const __mmask16 sLanes = alphaLanes(S);
  for (; i + kGroup <= n; i += kGroup) vStore(dst + i, normalOverGroup<false>(vLoad(dst + i), S, p, sLanes));
  for (; i < n; ++i) Op(dst + i, colour, opacity);
}

// The composite record over a Normal base whose source operator is the plain
// mix: the same source-over (see opsRowKernels).
void opsNormalPixel(uint32_t* dst, uint32_t src, uint32_t opacity) {
  static constexpr SPixelBlendOps kOps{0, 0, &lerpPixelRgb, &lerpPixelRgb};
  compositePixelOpsMix(dst, src, opacity, kOps, true);
}

}  // namespace

bool avx512RowKernels(PixelOp32 op, SRowKernels& out) {
  if (op != &blendNormalOver) return false;
  out = {op, &normalOverRow<&blendNormalOver>, &normalOverFill<&blendNormalOver>};
  return true;
}

bool avx512OpsRowKernels(PixelOp32 srcOp, SRowKernels& out) {
  if (srcOp != &lerpPixelRgb) return false;
  out = {&opsNormalPixel, &normalOverRow<&opsNormalPixel>, &normalOverFill<&opsNormalPixel>};
  return true;
}

}  // namespace pg

#if defined(__clang__)
#pragma clang attribute pop
#else
#pragma GCC diagnostic pop
#pragma GCC pop_options
#endif

#else

namespace pg {
bool avx512RowKernels(PixelOp32, SRowKernels&) { return false; }
bool avx512OpsRowKernels(PixelOp32, SRowKernels&) { return false; }
}  // namespace pg

#endif
