// The convolution runs built for AVX2 and for AVX-512, each used where the
// processor has it: the same lane text as the portable form, with the
// channel lanes (two pixels to an AVX2 register, four to an AVX-512 one)
// widened and narrowed by the instructions made for it.
#include <cstdint>
#include <cstring>
#include <vector>

#include "filters/conv_rows.h"

#if defined(__x86_64__) && defined(__GNUC__) && !defined(__clang__)
#include <immintrin.h>

#pragma GCC diagnostic ignored "-Wpsabi"
// The compiler's own AVX-512 intrinsics start from an undefined register,
// which it then reports as (maybe) uninitialised once they are inlined.
#pragma GCC diagnostic ignored "-Wmaybe-uninitialized"
#pragma GCC diagnostic ignored "-Wuninitialized"

namespace pg {

#pragma GCC push_options
#pragma GCC target("avx2")

namespace avx2lanes {
namespace {

#define PG_CHANNEL_BYTES 32
// Two packs, signed 32 to 16 bits and then 16 to unsigned 8 (so that every
// lane saturates to 0 .. 255 on the way), give the pixels in the
// order 0 2 4 6 1 3 5 7: one permute of 32-bit pixels puts them in place.
#define PG_CHANNEL_HOOKS                                                                                  \
  inline __attribute__((always_inline)) IC widenPixels(const uint32_t* p) {                               \
    return (IC)_mm256_cvtepu8_epi32(_mm_loadl_epi64(reinterpret_cast<const __m128i*>(p)));                \
  }                                                                                                       \
  inline __attribute__((always_inline)) void narrowBlock(const IC* s, uint32_t* out) {                    \
    const __m256i words01 = _mm256_packs_epi32((__m256i)s[0], (__m256i)s[1]);                            \
    const __m256i words23 = _mm256_packs_epi32((__m256i)s[2], (__m256i)s[3]);                            \
    const __m256i bytes = _mm256_packus_epi16(words01, words23);                                          \
    const __m256i order = _mm256_setr_epi32(0, 4, 1, 5, 2, 6, 3, 7);                                     \
    _mm256_storeu_si256(reinterpret_cast<__m256i*>(out), _mm256_permutevar8x32_epi32(bytes, order));      \
  }
#include "filters/conv_rows_lanes.inc"
#undef PG_CHANNEL_HOOKS
#undef PG_CHANNEL_BYTES

}  // namespace
}  // namespace avx2lanes

int32_t weightedRunAvx2(const SConvWeighted& c, const uint32_t* centre, int32_t n, uint32_t* out) {
  if (!__builtin_cpu_supports("avx2") || !weightedFitsLanes(c)) return 0;
  return avx2lanes::weightedLanes(c, centre, n, out);
}

int32_t plainRunAvx2(const SConvPlain& c, const uint32_t* centre, int32_t n, uint32_t* out) {
  if (!__builtin_cpu_supports("avx2") || !plainFitsLanes(c)) return 0;
  return avx2lanes::plainLanes(c, centre, n, out);
}

#pragma GCC pop_options

#pragma GCC push_options
#pragma GCC target("avx2,avx512f,avx512bw,avx512vl")

namespace avx512lanes {
namespace {

#define PG_CHANNEL_BYTES 64
#define PG_CHANNEL_SUMS
#define PG_CHANNEL_ALIKE
// The sums go through 16-bit lanes: the bytes of eight pixels widened to
// words, two taps' words interleaved and multiplied and added by their
// weights in one step. The interleave leaves pixels 0 2 4 6 in the first
// register and 1 3 5 7 in the second; the signed pack of the two puts them
// back in order, and the words are clamped and narrowed to bytes.
#define PG_CHANNEL_HOOKS                                                                                  \
  inline __attribute__((always_inline)) __m512i tapWords(const uint32_t* p) {                             \
    return _mm512_cvtepu8_epi16(_mm256_loadu_si256(reinterpret_cast<const __m256i*>(p)));                 \
  }                                                                                                       \
  inline __attribute__((always_inline)) void channelSums(const std::vector<SConvTap>& taps,               \
                                                         const uint32_t* centre, IC* sums) {              \
    __m512i even = _mm512_setzero_si512(), odd = even;                                                    \
    size_t k = 0;                                                                                         \
    for (; k + 1 < taps.size(); k += 2) {                                                                 \
      const __m512i s0 = tapWords(centre + taps[k].offset), s1 = tapWords(centre + taps[k + 1].offset);   \
      const __m512i w = _mm512_set1_epi32(int32_t(uint16_t(taps[k].w) | (uint32_t(taps[k + 1].w) << 16))); \
      even = _mm512_add_epi32(even, _mm512_madd_epi16(_mm512_unpacklo_epi16(s0, s1), w));                \
      odd = _mm512_add_epi32(odd, _mm512_madd_epi16(_mm512_unpackhi_epi16(s0, s1), w));                   \
    }                                                                                                     \
    if (k < taps.size()) {                                                                                \
      const __m512i s0 = tapWords(centre + taps[k].offset), zero = _mm512_setzero_si512();                \
      const __m512i w = _mm512_set1_epi32(int32_t(uint16_t(taps[k].w)));                                  \
      even = _mm512_add_epi32(even, _mm512_madd_epi16(_mm512_unpacklo_epi16(s0, zero), w));               \
      odd = _mm512_add_epi32(odd, _mm512_madd_epi16(_mm512_unpackhi_epi16(s0, zero), w));                 \
    }                                                                                                     \
    sums[0] = (IC)even;                                                                                   \
    sums[1] = (IC)odd;                                                                                    \
  }                                                                                                       \
  inline __attribute__((always_inline)) bool alikeBlock(const std::vector<SConvTap>& taps,                \
                                                        const uint32_t* centre) {                         \
    const __m256i alpha = _mm256_set1_epi32(int32_t(0xFF000000u));                                       \
    const __m256i first = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(centre + taps[0].offset));  \
    __m256i differ = _mm256_setzero_si256();                                                              \
    for (size_t k = 1; k < taps.size(); ++k) /* differ | (p ^ first) */                                   \
      differ = _mm256_ternarylogic_epi32(                                                                 \
          differ, _mm256_loadu_si256(reinterpret_cast<const __m256i*>(centre + taps[k].offset)), first, 0xF6); \
    return _mm256_test_epi32_mask(differ, alpha) == 0 && _mm256_test_epi32_mask(first, alpha) == 0xFF;    \
  }                                                                                                       \
  inline __attribute__((always_inline)) void narrowBlock(const IC* s, uint32_t* out) {                    \
    const __m512i words = _mm512_max_epi16(_mm512_packs_epi32((__m512i)s[0], (__m512i)s[1]),             \
                                           _mm512_setzero_si512());                                       \
    _mm256_storeu_si256(reinterpret_cast<__m256i*>(out), _mm512_cvtusepi16_epi8(words));                  \
  }
#include "filters/conv_rows_lanes.inc"
#undef PG_CHANNEL_ALIKE
#undef PG_CHANNEL_SUMS
#undef PG_CHANNEL_HOOKS
#undef PG_CHANNEL_BYTES

}  // namespace
}  // namespace avx512lanes

namespace {
bool hasAvx512() {
  return __builtin_cpu_supports("avx512f") && __builtin_cpu_supports("avx512bw") && __builtin_cpu_supports("avx512vl");
}

// Whether every weight fits the signed 16-bit lanes of the multiply-add.
bool wordWeights(const std::vector<SConvTap>& taps) {
  for (const SConvTap& t : taps)
    if (t.w < -32768 || t.w > 32767) return false;
  return true;
}
}  // namespace

int32_t weightedRunAvx512(const SConvWeighted& c, const uint32_t* centre, int32_t n, uint32_t* out) {
  if (!hasAvx512() || !weightedFitsLanes(c) || !wordWeights(c.taps)) return 0;
  return avx512lanes::weightedLanes(c, centre, n, out);
}

int32_t plainRunAvx512(const SConvPlain& c, const uint32_t* centre, int32_t n, uint32_t* out) {
  if (!hasAvx512() || !plainFitsLanes(c) || !wordWeights(c.taps)) return 0;
  return avx512lanes::plainLanes(c, centre, n, out);
}

#pragma GCC pop_options

}  // namespace pg

#else

namespace pg {
int32_t weightedRunAvx2(const SConvWeighted&, const uint32_t*, int32_t, uint32_t*) { return 0; }
int32_t plainRunAvx2(const SConvPlain&, const uint32_t*, int32_t, uint32_t*) { return 0; }
int32_t weightedRunAvx512(const SConvWeighted&, const uint32_t*, int32_t, uint32_t*) { return 0; }
int32_t plainRunAvx512(const SConvPlain&, const uint32_t*, int32_t, uint32_t*) { return 0; }
}  // namespace pg

#endif
