// The Gaussian run built for AVX-512 (sixteen pixels a step), used where the
// processor has AVX-512 F and BW: the AVX2 run's arithmetic (see
// gaussian_rows_avx2.cpp) on registers twice as wide, with mask registers
// for the corrections. Everything built for AVX-512 lives below the target
// switch in an unnamed namespace.
#include <cstdint>
#include <cstring>

#include "filters/gaussian_rows.h"

#if defined(__x86_64__) && defined(__GNUC__) && !defined(__clang__)
// The compiler's own AVX-512 intrinsics start from an undefined register,
// which it then reports as (maybe) uninitialised once they are inlined.
#pragma GCC diagnostic ignored "-Wmaybe-uninitialized"
#pragma GCC diagnostic ignored "-Wuninitialized"
#include <immintrin.h>

#pragma GCC push_options
#pragma GCC target("avx2,avx512f,avx512bw")

namespace pg {
namespace {

inline __m512i low8(__m512i v) { return _mm512_and_si512(v, _mm512_set1_epi32(0xFF)); }

inline __m512i quotients(__m512i n, __m512i d, __m512 reciprocal) {
  const __m512i one = _mm512_set1_epi32(1);
  __m512i q = _mm512_cvttps_epi32(_mm512_mul_ps(_mm512_cvtepi32_ps(n), reciprocal));
  __m512i qd = _mm512_mullo_epi32(q, d);
  const __mmask16 over = _mm512_cmpgt_epi32_mask(qd, n);  // q one too many
  q = _mm512_mask_sub_epi32(q, over, q, one);
  qd = _mm512_mask_sub_epi32(qd, over, qd, d);
  const __mmask16 under = _mm512_cmpge_epi32_mask(n, _mm512_add_epi32(qd, d));  // one too few
  return _mm512_mask_add_epi32(q, under, q, one);
}

inline __m512 reciprocals(__m512i d) { return _mm512_div_ps(_mm512_set1_ps(1.0f), _mm512_cvtepi32_ps(d)); }

// Where every tap of a pixel has one alpha a above 0 (opaque paint, most of
// all), W = a * T for T the sum of the run's weights (a pair counted twice)
// and each colour sum is a times the sum of C * t: the quotients are those
// of the unweighted sums by T, and the alpha quotient is a itself. Those
// sums go through 16-bit lanes: the bytes of eight pixels widened to words
// (a pair's two pixels added, at most 510), two taps' words interleaved and
// multiplied and added by their weights in one step; the interleave puts
// pixels 0 2 4 6 in one register and 1 3 5 7 in the other, which the pack
// of the quotients puts back in order.
struct SOpaqueRun {
  bool usable = false;
  __m512 quick;  // the nudged reciprocal of T (see below)
};

// The sums reach 255 * T at most: below 2^21, one multiplication by
// (1 / T)(1 + 2^-22) rounded to float gives every quotient exactly (for
// n = k * T the product is at least k, and below k + 1 for larger n as long
// as n * 1.5 * 2^-22 < 1).
SOpaqueRun opaqueRun(const SGaussTap* taps, int32_t singles, int32_t tapCount) {
  SOpaqueRun run;
  int64_t total = 0;
  for (int32_t k = 0; k < tapCount; ++k) {
    if (taps[k].t > 0x7FFF) return run;
    total += int64_t{taps[k].t} * (k < singles ? 1 : 2);
  }
  if (total == 0 || total * 255 >= (int64_t{1} << 21)) return run;
  run.usable = true;
  run.quick = _mm512_set1_ps(static_cast<float>((1.0 / static_cast<double>(total)) * (1.0 + 0x1p-22)));
  return run;
}

// Whether the sixteen pixels from i have one alpha above 0 in every tap.
inline bool alikeAlphas(const SGaussTap* taps, int32_t singles, int32_t tapCount, int32_t i) {
  const __m512i alpha = _mm512_set1_epi32(static_cast<int32_t>(0xFF000000u));
  const __m512i first = _mm512_loadu_si512(taps[0].a + i);
  // d | (p ^ first) for two pixels at once, in two chains.
  __m512i differ = _mm512_setzero_si512(), differ2 = differ;
  for (int32_t k = 1; k < singles; ++k)
    differ = _mm512_ternarylogic_epi32(differ, _mm512_loadu_si512(taps[k].a + i), first, 0xF6);
  for (int32_t k = singles; k < tapCount; ++k) {
    differ = _mm512_ternarylogic_epi32(differ, _mm512_loadu_si512(taps[k].a + i), first, 0xF6);
    differ2 = _mm512_ternarylogic_epi32(differ2, _mm512_loadu_si512(taps[k].b + i), first, 0xF6);
  }
  return _mm512_test_epi32_mask(_mm512_or_si512(differ, differ2), alpha) == 0 &&
         _mm512_test_epi32_mask(first, alpha) == 0xFFFF;
}

// The words of tap k for the eight pixels from i.
inline __m512i tapWords(const SGaussTap& tap, bool pair, int32_t i) {
  const __m512i p = _mm512_cvtepu8_epi16(_mm256_loadu_si256(reinterpret_cast<const __m256i*>(tap.a + i)));
  if (!pair) return p;
  return _mm512_add_epi16(p, _mm512_cvtepu8_epi16(_mm256_loadu_si256(reinterpret_cast<const __m256i*>(tap.b + i))));
}

// Eight pixels from i whose taps all have one alpha above 0.
inline void opaqueEight(const SGaussTap* taps, int32_t singles, int32_t tapCount, const SOpaqueRun& run, int32_t i,
                        uint32_t* out) {
  __m512i even = _mm512_setzero_si512(), odd = even;
  int32_t k = 0;
  for (; k + 1 < tapCount; k += 2) {
    const __m512i s0 = tapWords(taps[k], k >= singles, i), s1 = tapWords(taps[k + 1], k + 1 >= singles, i);
    const __m512i tt = _mm512_set1_epi32(static_cast<int32_t>(taps[k].t | (taps[k + 1].t << 16)));
    even = _mm512_add_epi32(even, _mm512_madd_epi16(_mm512_unpacklo_epi16(s0, s1), tt));
    odd = _mm512_add_epi32(odd, _mm512_madd_epi16(_mm512_unpackhi_epi16(s0, s1), tt));
  }
  if (k < tapCount) {
    const __m512i s0 = tapWords(taps[k], k >= singles, i), zero = _mm512_setzero_si512();
    const __m512i tt = _mm512_set1_epi32(static_cast<int32_t>(taps[k].t));
    even = _mm512_add_epi32(even, _mm512_madd_epi16(_mm512_unpacklo_epi16(s0, zero), tt));
    odd = _mm512_add_epi32(odd, _mm512_madd_epi16(_mm512_unpackhi_epi16(s0, zero), tt));
  }
  const __m512i qe = _mm512_cvttps_epi32(_mm512_mul_ps(_mm512_cvtepi32_ps(even), run.quick));
  const __m512i qo = _mm512_cvttps_epi32(_mm512_mul_ps(_mm512_cvtepi32_ps(odd), run.quick));
  const __m256i bytes = _mm512_cvtusepi16_epi8(_mm512_packs_epi32(qe, qo));
  _mm256_storeu_si256(reinterpret_cast<__m256i*>(out + i), bytes);
}

int32_t runAvx512(const SGaussTap* taps, int32_t singles, int32_t tapCount, uint32_t count, int32_t n, uint32_t* out,
                  uint8_t* has) {
  const SOpaqueRun opaque = opaqueRun(taps, singles, tapCount);
  uint32_t offset = 0;
  for (int32_t k = singles; k < tapCount; ++k) offset += 65536u * taps[k].t;
  const __m512i offsetV = _mm512_set1_epi32(static_cast<int32_t>(offset));
  const __m512i countV = _mm512_set1_epi32(static_cast<int32_t>(count));
  const __m512 countR = reciprocals(countV);
  const __m512i high = _mm512_set1_epi32(0x00FF0000), flip = _mm512_set1_epi32(static_cast<int32_t>(0x80008000u));
  int32_t i = 0;
  for (; i + 16 <= n; i += 16) {
    if (opaque.usable && alikeAlphas(taps, singles, tapCount, i)) {
      opaqueEight(taps, singles, tapCount, opaque, i, out);
      opaqueEight(taps, singles, tapCount, opaque, i + 8, out);
      if (has != nullptr) std::memset(has + i, 1, 16);
      continue;
    }
    __m512i b = _mm512_setzero_si512(), g = b, r = b, w = b, a = b;
    for (int32_t k = 0; k < singles; ++k) {
      const __m512i p = _mm512_loadu_si512(taps[k].a + i);
      const __m512i t = _mm512_set1_epi32(static_cast<int32_t>(taps[k].t));
      const __m512i ap = _mm512_srli_epi32(p, 24);
      b = _mm512_add_epi32(b, _mm512_mullo_epi32(_mm512_mullo_epi16(low8(p), ap), t));
      g = _mm512_add_epi32(g, _mm512_mullo_epi32(_mm512_mullo_epi16(low8(_mm512_srli_epi32(p, 8)), ap), t));
      r = _mm512_add_epi32(r, _mm512_mullo_epi32(_mm512_mullo_epi16(low8(_mm512_srli_epi32(p, 16)), ap), t));
      w = _mm512_add_epi32(w, _mm512_mullo_epi32(ap, t));
      a = _mm512_add_epi32(a, ap);
    }
    for (int32_t k = singles; k < tapCount; ++k) {
      const __m512i p = _mm512_loadu_si512(taps[k].a + i), q = _mm512_loadu_si512(taps[k].b + i);
      const __m512i tt = _mm512_set1_epi32(static_cast<int32_t>(taps[k].t | (taps[k].t << 16)));
      const __m512i ap = _mm512_srli_epi32(p, 24), aq = _mm512_srli_epi32(q, 24);
      const __m512i aa = _mm512_or_si512(ap, _mm512_slli_epi32(aq, 16));
      const __m512i cb = _mm512_or_si512(low8(p), _mm512_and_si512(_mm512_slli_epi32(q, 16), high));
      const __m512i cg = _mm512_or_si512(low8(_mm512_srli_epi32(p, 8)), _mm512_and_si512(_mm512_slli_epi32(q, 8), high));
      const __m512i cr = _mm512_or_si512(low8(_mm512_srli_epi32(p, 16)), _mm512_and_si512(q, high));
      b = _mm512_add_epi32(b, _mm512_madd_epi16(_mm512_xor_si512(_mm512_mullo_epi16(cb, aa), flip), tt));
      g = _mm512_add_epi32(g, _mm512_madd_epi16(_mm512_xor_si512(_mm512_mullo_epi16(cg, aa), flip), tt));
      r = _mm512_add_epi32(r, _mm512_madd_epi16(_mm512_xor_si512(_mm512_mullo_epi16(cr, aa), flip), tt));
      w = _mm512_add_epi32(w, _mm512_madd_epi16(aa, tt));
      a = _mm512_add_epi32(a, _mm512_add_epi32(ap, aq));
    }
    b = _mm512_add_epi32(b, offsetV);
    g = _mm512_add_epi32(g, offsetV);
    r = _mm512_add_epi32(r, offsetV);
    const __mmask16 some = _mm512_test_epi32_mask(w, w);
    const __m512i wd = _mm512_mask_mov_epi32(_mm512_set1_epi32(1), some, w);  // 1 where W is 0: dropped
    const __m512 wr = reciprocals(wd);
    __m512i px = quotients(b, wd, wr);
    px = _mm512_or_si512(px, _mm512_slli_epi32(quotients(g, wd, wr), 8));
    px = _mm512_or_si512(px, _mm512_slli_epi32(quotients(r, wd, wr), 16));
    px = _mm512_or_si512(px, _mm512_slli_epi32(quotients(a, countV, countR), 24));
    _mm512_storeu_si512(out + i, _mm512_maskz_mov_epi32(some, px));
    if (has != nullptr)
      for (int32_t k = 0; k < 16; ++k) has[i + k] = static_cast<uint8_t>((some >> k) & 1u);
  }
  return i;
}

void quotientsAvx512(const uint32_t* n, const uint32_t* d, uint32_t* q, int32_t count) {
  for (int32_t i = 0; i + 16 <= count; i += 16) {
    const __m512i dv = _mm512_loadu_si512(d + i);
    _mm512_storeu_si512(q + i, quotients(_mm512_loadu_si512(n + i), dv, reciprocals(dv)));
  }
}

}  // namespace

bool gaussianRunAvx512(const SGaussTap* taps, int32_t singles, int32_t tapCount, uint32_t count, int32_t n,
                       uint32_t* out, uint8_t* has, int32_t& done) {
  if (!__builtin_cpu_supports("avx512f") || !__builtin_cpu_supports("avx512bw")) return false;
  for (int32_t k = singles; k < tapCount; ++k)
    if (taps[k].t > 0x7FFF) return false;
  done = runAvx512(taps, singles, tapCount, count, n, out, has);
  return true;
}

bool gaussQuotientsAvx512(const uint32_t* n, const uint32_t* d, uint32_t* q, int32_t count) {
  if (!__builtin_cpu_supports("avx512f") || !__builtin_cpu_supports("avx512bw")) return false;
  quotientsAvx512(n, d, q, count);
  return true;
}

}  // namespace pg

#pragma GCC pop_options

#else

namespace pg {
bool gaussianRunAvx512(const SGaussTap*, int32_t, int32_t, uint32_t, int32_t, uint32_t*, uint8_t*, int32_t&) {
  return false;
}
bool gaussQuotientsAvx512(const uint32_t*, const uint32_t*, uint32_t*, int32_t) { return false; }
}  // namespace pg

#endif
