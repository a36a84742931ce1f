// The round dab's two row loops built for AVX2, eight pixels a step: the
// coverage of a row (distance, falloff table, opacity) and the two usual
// merges of that coverage into the row (paint with alpha, and paint keeping
// alpha). Each gives exactly the bytes of its scalar form: the float
// operations are the same IEEE operations in the same order, and the integer
// steps are the same floor divisions, done by multiply and shift.
//
// Everything compiled for AVX2 lives below the target switch and in an
// unnamed namespace, so no shared inline function is ever built for AVX2.
#include "brush/dab_rows_avx2.h"

#include "core/blend_arith.h"
#include "core/blend_rows.h"

#if defined(__x86_64__) && (defined(__GNUC__) || defined(__clang__))
#include <immintrin.h>

#if defined(__clang__)
#pragma clang attribute push(__attribute__((target("avx2"))), apply_to = function)
#else
#pragma GCC push_options
#pragma GCC target("avx2")
#endif

namespace pg {
namespace {

// Coverage bytes of eight pixels from the falloff positions f (2047 d / r),
// with `inside` marking the pixels nearer than the radius.
__m128i coverageOf(__m256 f, __m256 inside, const uint32_t* table, __m256i op16) {
  // f >= 2047 takes the last entry; below it the integer part (f >= 0).
  const __m256i index = _mm256_and_si256(_mm256_cvttps_epi32(_mm256_min_ps(f, _mm256_set1_ps(2047.0f))),
                                         _mm256_castps_si256(inside));
  const __m256i w = _mm256_i32gather_epi32(reinterpret_cast<const int*>(table), index, 4);
  // (w * op16) >> 32 in 64 bits, both factors non-negative.
  const __m256i even = _mm256_srli_epi64(_mm256_mul_epu32(w, op16), 32);
  const __m256i odd = _mm256_mul_epu32(_mm256_srli_epi64(w, 32), op16);
  __m256i c = _mm256_blend_epi32(even, odd, 0xAA);
  c = _mm256_min_epu32(_mm256_and_si256(c, _mm256_set1_epi32(0xFFFF)), _mm256_set1_epi32(255));
  c = _mm256_and_si256(c, _mm256_castps_si256(inside));
  const __m256i words = _mm256_packus_epi32(c, c);        // 0..3 0..3 | 4..7 4..7
  const __m256i bytes = _mm256_packus_epi16(words, words);  // 0..3 x4 | 4..7 x4
  return _mm_unpacklo_epi32(_mm256_castsi256_si128(bytes), _mm256_extracti128_si256(bytes, 1));
}

void coverageRowAvx2(uint8_t* cov, int32_t x0, int32_t n, float dy2, float cx, float radius, int32_t opacity16,
                     const uint32_t* table) {
  const __m256 half = _mm256_set1_ps(0.5f), vcx = _mm256_set1_ps(cx), vdy2 = _mm256_set1_ps(dy2);
  const __m256 vr = _mm256_set1_ps(radius), k2047 = _mm256_set1_ps(2047.0f);
  const __m256i op16 = _mm256_set1_epi32(opacity16);
  const __m256i iota = _mm256_setr_epi32(0, 1, 2, 3, 4, 5, 6, 7);
  for (int32_t i = 0; i + 8 <= n; i += 8) {
    const __m256 x = _mm256_cvtepi32_ps(_mm256_add_epi32(_mm256_set1_epi32(x0 + i), iota));
    const __m256 dx = _mm256_sub_ps(_mm256_add_ps(x, half), vcx);
    const __m256 d = _mm256_sqrt_ps(_mm256_add_ps(_mm256_mul_ps(dx, dx), vdy2));
    const __m256 inside = _mm256_cmp_ps(d, vr, _CMP_LT_OQ);
    const __m256 f = _mm256_div_ps(_mm256_mul_ps(k2047, d), vr);
    _mm_storel_epi64(reinterpret_cast<__m128i*>(cov + i), coverageOf(f, inside, table, op16));
  }
}

// floor(x / 255) for the 16-bit words x <= 65025.
__m256i div255Words(__m256i x) { return _mm256_srli_epi16(_mm256_mulhi_epu16(x, _mm256_set1_epi16(-32639)), 7); }

// Colour bytes c := floor((s*t + c*(255-t)) / 255) for two pixels per lane
// half, with t repeated over each pixel's four words.
__m256i lerpWords(__m256i pixels, __m256i colour, __m256i t) {
  const __m256i k255 = _mm256_set1_epi16(255);
  return div255Words(
      _mm256_add_epi16(_mm256_mullo_epi16(colour, t), _mm256_mullo_epi16(pixels, _mm256_sub_epi16(k255, t))));
}

// The merge of coverage c (eight 32-bit lanes) into eight pixels. Alpha:
// composite alpha as blendPixelOpacity does (t = c*255 / A with A = a +
// floor(c*(255-a)/255); an opaque pixel gives A = 255 and t = c, full coverage
// A = t = 255, so one formula serves all its branches); else keep alpha and
// move by c (lerpPixelRgb). Pixels of coverage 0 stay as they are.
template <bool Alpha>
__m256i mergeEight(__m256i p, __m256i c, __m256i colourWords) {
  __m256i t = c, alpha;
  if constexpr (Alpha) {
    const __m256i a = _mm256_srli_epi32(p, 24);
    const __m256i x = _mm256_mullo_epi32(c, _mm256_sub_epi32(_mm256_set1_epi32(255), a));
    const __m256i A = _mm256_add_epi32(a, _mm256_srli_epi32(_mm256_mullo_epi32(x, _mm256_set1_epi32(32897)), 23));
    // c*255 < 2^16 and A < 2^8 are exact in single precision and the
    // quotient is nowhere near enough to a whole number for its rounding to
    // change the integer part, so truncating it is floor(c*255 / A). A = 0
    // only where c = 0, whose pixels are put back below.
    const __m256 q = _mm256_div_ps(_mm256_cvtepi32_ps(_mm256_mullo_epi32(c, _mm256_set1_epi32(255))),
                                   _mm256_cvtepi32_ps(A));
    t = _mm256_and_si256(_mm256_cvttps_epi32(q), _mm256_set1_epi32(0xFF));
    alpha = _mm256_slli_epi32(A, 24);
  } else {
    alpha = _mm256_and_si256(p, _mm256_set1_epi32(static_cast<int>(0xFF000000u)));
  }
  const __m256i tt = _mm256_or_si256(t, _mm256_slli_epi32(t, 16));
  const __m256i zero = _mm256_setzero_si256();
  const __m256i lo = lerpWords(_mm256_unpacklo_epi8(p, zero), colourWords, _mm256_unpacklo_epi32(tt, tt));
  const __m256i hi = lerpWords(_mm256_unpackhi_epi8(p, zero), colourWords, _mm256_unpackhi_epi32(tt, tt));
  const __m256i rgb = _mm256_and_si256(_mm256_packus_epi16(lo, hi), _mm256_set1_epi32(0x00FFFFFF));
  return _mm256_blendv_epi8(_mm256_or_si256(rgb, alpha), p, _mm256_cmpeq_epi32(c, zero));
}

template <bool Alpha>
int32_t mergeRowAvx2(uint32_t* row, const uint8_t* cov, int32_t n, uint32_t colour) {
  const uint64_t b = colour & 0xFFu, g = (colour >> 8) & 0xFFu, r = (colour >> 16) & 0xFFu;
  const __m256i colourWords = _mm256_set1_epi64x(static_cast<long long>(b | g << 16 | r << 32));
  int32_t i = 0;
  for (; i + 8 <= n; i += 8) {
    const __m128i c8 = _mm_loadl_epi64(reinterpret_cast<const __m128i*>(cov + i));
    if (_mm_cvtsi128_si64(c8) == 0) continue;
    __m256i* at = reinterpret_cast<__m256i*>(row + i);
    _mm256_storeu_si256(at, mergeEight<Alpha>(_mm256_loadu_si256(at), _mm256_cvtepu8_epi32(c8), colourWords));
  }
  return i;
}

// cov[i] := floor(cov[i] * m[i] / 255).
int32_t scaleCoverageAvx2(uint8_t* cov, const uint8_t* m, int32_t n) {
  int32_t i = 0;
  for (; i + 16 <= n; i += 16) {
    const __m256i c = _mm256_cvtepu8_epi16(_mm_loadu_si128(reinterpret_cast<const __m128i*>(cov + i)));
    const __m256i k = _mm256_cvtepu8_epi16(_mm_loadu_si128(reinterpret_cast<const __m128i*>(m + i)));
    const __m256i v = div255Words(_mm256_mullo_epi16(c, k));
    const __m256i packed = _mm256_permute4x64_epi64(_mm256_packus_epi16(v, v), 0x08);
    _mm_storeu_si128(reinterpret_cast<__m128i*>(cov + i), _mm256_castsi256_si128(packed));
  }
  return i;
}

}  // namespace

int32_t avx2DabCoverageRow(uint8_t* cov, int32_t x0, int32_t n, float dy2, float cx, float radius,
                           int32_t opacity16, const uint32_t* table) {
  if (!rowKernelsUseAvx2()) return 0;
  coverageRowAvx2(cov, x0, n, dy2, cx, radius, opacity16, table);
  return n - n % 8;
}

int32_t avx2MergeRow(DabMerge merge, uint32_t* row, const uint8_t* cov, int32_t n, uint32_t colour) {
  if (!rowKernelsUseAvx2()) return 0;
  return merge == DabMerge::Opacity ? mergeRowAvx2<true>(row, cov, n, colour)
                                    : mergeRowAvx2<false>(row, cov, n, colour);
}

int32_t avx2ScaleCoverage(uint8_t* cov, const uint8_t* mask, int32_t n) {
  if (!rowKernelsUseAvx2()) return 0;
  return scaleCoverageAvx2(cov, mask, n);
}

}  // namespace pg

#if defined(__clang__)
#pragma clang attribute pop
#else
#pragma GCC pop_options
#endif

#else  // no AVX2 on this target: the scalar loops do it all

namespace pg {
int32_t avx2DabCoverageRow(uint8_t*, int32_t, int32_t, float, float, float, int32_t, const uint32_t*) { return 0; }
int32_t avx2MergeRow(DabMerge, uint32_t*, const uint8_t*, int32_t, uint32_t) { return 0; }
int32_t avx2ScaleCoverage(uint8_t*, const uint8_t*, int32_t) { return 0; }
}  // namespace pg

#endif
