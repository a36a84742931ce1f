// The Normal source-over row built for AVX-512 (sixteen pixels a step), used
// where the processor has it; every other operator keeps its AVX2 kernels.
//
// Over a destination with alphas of every kind each channel is
// floor(num / den), den = 255*sa + (255-sa)*dA, num = 255*sa*s + (255-sa)*dA*d:
// a division per pixel and channel that the premultiplied formats never pay.
// Here one pixel sits in each 32-bit lane, every term is an integer below
// 2^24 in float lanes (so fused multiply-adds are exact), one reciprocal per
// pixel serves its three channels, and each quotient is taken exactly by
// truncating the product and taking back the one that the exact remainder
// shows to be too many. Groups whose destination is all opaque or all
// transparent, or whose source is all opaque, take cheaper forms that give
// the same bytes.
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
#pragma clang attribute push(__attribute__((target("avx512f,avx512bw,avx512dq,avx512vl,avx2,fma"))), \
                             apply_to = function)
#else
#pragma GCC push_options
#pragma GCC target("avx512f,avx512bw,avx512dq,avx512vl,avx2,fma")
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

// Byte I (0 blue .. 2 red) of every pixel in its 32-bit lane.
template <int I>
PG_INLINE V byteLane(V p) {
  if constexpr (I == 0) {
    return _mm512_and_si512(p, k32(0xFF));
  } else {
    constexpr char z = -1;
    const __m128i lane = _mm_setr_epi8(I, z, z, z, I + 4, z, z, z, I + 8, z, z, z, I + 12, z, z, z);
    return _mm512_shuffle_epi8(p, _mm512_broadcast_i32x4(lane));
  }
}

// The reciprocal of den (integer lanes 1..65025) rounded up: the nearest float
// and one unit in the last place more, so that n * r never falls below
// n / den and lies less than 2^-13 above it for n below 2^24 (the same step as
// the narrower builds).
PG_INLINE VF reciprocalUp(VF den) {
  return _mm512_castsi512_ps(_mm512_add_epi32(_mm512_castps_si512(_mm512_div_ps(kf(1.0f), den)), k32(1)));
}

// floor(n / den) for integer lanes n < 2^24, 1 <= den <= 65025, n / den at most
// 256, given r = reciprocalUp(den): the truncated product is the quotient or
// one more, and a negative exact remainder n - q*den (a fused multiply-add of
// integers below 2^24) takes the one back.
PG_INLINE V exactQuotient(VF n, VF den, VF r) {
  const VF q = _mm512_roundscale_ps(_mm512_mul_ps(n, r), _MM_FROUND_TO_ZERO | _MM_FROUND_NO_EXC);
  const __mmask16 over = _mm512_cmp_ps_mask(_mm512_fnmadd_ps(q, den, n), _mm512_setzero_ps(), _CMP_LT_OQ);
  const V qi = _mm512_cvttps_epi32(q);
  return _mm512_mask_sub_epi32(qi, over, qi, k32(1));
}

// The alphas of a group: sa the source's scaled by the opacity (Full: the
// opacity is 255), dA the destination's, outA the result's.
template <bool Full>
PG_INLINE V sourceAlpha(V S, V p) {
  const V sa = _mm512_srli_epi32(S, 24);
  if constexpr (Full) {
    return sa;
  } else {
    return mul255w(sa, p);
  }
}

// Over a destination with alphas of every kind: the exact per-pixel division.
// Where the result alpha is 0 (both alphas 0) the pixel stays.
template <bool Full>
PG_INLINE V normalOverMixed(V D, V S, V p) {
  const V sa = sourceAlpha<Full>(S, p);
  const V dA = _mm512_srli_epi32(D, 24);
  const V outA = _mm512_sub_epi32(_mm512_add_epi32(sa, dA), mul255w(dA, sa));
  const VF fsa = _mm512_cvtepi32_ps(sa), fdA = _mm512_cvtepi32_ps(dA);
  const VF ws = _mm512_mul_ps(fsa, kf(255.0f));                        // 255*sa
  const VF wd = _mm512_fnmadd_ps(fsa, fdA, _mm512_mul_ps(fdA, kf(255.0f)));  // (255-sa)*dA
  const VF den = _mm512_max_ps(_mm512_add_ps(ws, wd), kf(1.0f));
  const VF r = reciprocalUp(den);
  const auto channel = [&](V s, V d) PG_INLINE_LAMBDA {
    const VF num = _mm512_fmadd_ps(_mm512_cvtepi32_ps(s), ws, _mm512_mul_ps(_mm512_cvtepi32_ps(d), wd));
    return exactQuotient(num, den, r);
  };
  const V b = channel(byteLane<0>(S), byteLane<0>(D));
  const V g = channel(byteLane<1>(S), byteLane<1>(D));
  const V rr = channel(byteLane<2>(S), byteLane<2>(D));
  // b | g << 8 | rr << 16 | outA << 24 (every part below 256).
  const V colour = _mm512_ternarylogic_epi32(b, _mm512_slli_epi32(g, 8), _mm512_slli_epi32(rr, 16), 0xFE);
  const V out = _mm512_or_si512(colour, _mm512_slli_epi32(outA, 24));
  return _mm512_mask_mov_epi32(out, _mm512_testn_epi32_mask(outA, outA), D);
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

// One group of the Normal source-over, p the opacity in every 16-bit lane.
template <bool Full>
PG_INLINE V normalOverGroup(V D, V S, V p) {
  const V amask = k32(0xFF000000u);
  const __mmask16 dOpaque = _mm512_cmpeq_epi32_mask(_mm512_and_si512(D, amask), amask);
  if (dOpaque == 0xFFFF) return normalOverOpaque<Full>(D, S, p);
  if (_mm512_test_epi32_mask(D, amask) == 0) return normalOverTransparent<Full>(D, S, p);
  if constexpr (Full) {
    // An opaque source covers any destination.
    if (_mm512_cmpeq_epi32_mask(_mm512_and_si512(S, amask), amask) == 0xFFFF) return S;
  }
  return normalOverMixed<Full>(D, S, p);
}

// A row of Op(&dst[i], src[i], opacity), Op a Normal source-over.
template <PixelOp32 Op, bool Full>
void normalOverRowAt(uint32_t* dst, const uint32_t* src, size_t n, uint32_t opacity) {
  const V p = _mm512_set1_epi16(static_cast<short>(opacity));
  const V amask = k32(0xFF000000u);
  size_t i = 0;
  for (; i + kGroup <= n; i += kGroup) {
    const V S = vLoad(src + i);
    if (_mm512_test_epi32_mask(S, amask) == 0) continue;  // a transparent source changes nothing
    vStore(dst + i, normalOverGroup<Full>(vLoad(dst + i), S, p));
  }
  for (; i < n; ++i) Op(dst + i, src[i], opacity);
}

template <PixelOp32 Op>
void normalOverRow(uint32_t* dst, const uint32_t* src, size_t n, uint32_t opacity) {
  if (opacity == 0) return;
  if (opacity >= 255) {
    normalOverRowAt<Op, true>(dst, src, n, 255);
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
  for (; i + kGroup <= n; i += kGroup) vStore(dst + i, normalOverGroup<false>(vLoad(dst + i), S, p));
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

bool avx512QuotientRow(const uint32_t* n, const uint32_t* den, uint32_t* q, size_t count) {
  size_t i = 0;
  for (; i + kGroup <= count; i += kGroup) {
    const VF d = _mm512_cvtepi32_ps(vLoad(den + i));
    vStore(q + i, exactQuotient(_mm512_cvtepi32_ps(vLoad(n + i)), d, reciprocalUp(d)));
  }
  for (; i < count; ++i) q[i] = n[i] / den[i];
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
bool avx512QuotientRow(const uint32_t*, const uint32_t*, uint32_t*, size_t) { return false; }
}  // namespace pg

#endif
