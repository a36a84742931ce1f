// The Gaussian run built for AVX2, used where the processor has it. A pair
// of taps goes through one multiply-add of 16-bit halves: the premultiplied
// channels C * A (at most 65,025) are moved down by 32,768 to fit a signed
// half, and the pair's 2 * 32,768 * t is added back once per run, so every
// sum is the plain loop's exactly. Everything built for AVX2 lives below the
// target switch in an unnamed namespace.
#include <cstdint>

#include "filters/gaussian_rows.h"

#if defined(__x86_64__) && defined(__GNUC__) && !defined(__clang__)
#include <immintrin.h>

#pragma GCC push_options
#pragma GCC target("avx2")

namespace pg {
namespace {

inline __m256i low8(__m256i v) { return _mm256_and_si256(v, _mm256_set1_epi32(0xFF)); }

// floor(n / d) per lane; see gaussQuotients for the range and the reasoning.
inline __m256i quotients(__m256i n, __m256i d, __m256 reciprocal) {
  __m256i q = _mm256_cvttps_epi32(_mm256_mul_ps(_mm256_cvtepi32_ps(n), reciprocal));
  __m256i qd = _mm256_mullo_epi32(q, d);
  const __m256i over = _mm256_cmpgt_epi32(qd, n);  // q one too many
  q = _mm256_add_epi32(q, over);
  qd = _mm256_sub_epi32(qd, _mm256_and_si256(over, d));
  const __m256i under = _mm256_cmpgt_epi32(n, _mm256_sub_epi32(_mm256_add_epi32(qd, d), _mm256_set1_epi32(1)));
  return _mm256_sub_epi32(q, under);  // q one too few
}

inline __m256 reciprocals(__m256i d) { return _mm256_div_ps(_mm256_set1_ps(1.0f), _mm256_cvtepi32_ps(d)); }

int32_t runAvx2(const SGaussTap* taps, int32_t singles, int32_t tapCount, uint32_t count, int32_t n, uint32_t* out,
                uint8_t* has) {
  uint32_t offset = 0;  // what the pairs' move by 32,768 took off each colour sum
  for (int32_t k = singles; k < tapCount; ++k) offset += 65536u * taps[k].t;
  const __m256i offsetV = _mm256_set1_epi32(static_cast<int32_t>(offset));
  const __m256i countV = _mm256_set1_epi32(static_cast<int32_t>(count));
  const __m256 countR = reciprocals(countV);
  const __m256i high = _mm256_set1_epi32(0x00FF0000), flip = _mm256_set1_epi32(static_cast<int32_t>(0x80008000u));
  int32_t i = 0;
  for (; i + 8 <= n; i += 8) {
    __m256i b = _mm256_setzero_si256(), g = b, r = b, w = b, a = b;
    for (int32_t k = 0; k < singles; ++k) {
      const __m256i p = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(taps[k].a + i));
      const __m256i t = _mm256_set1_epi32(static_cast<int32_t>(taps[k].t));
      const __m256i ap = _mm256_srli_epi32(p, 24);
      // C * A in the low half of each lane (the high halves are 0 * 0).
      b = _mm256_add_epi32(b, _mm256_mullo_epi32(_mm256_mullo_epi16(low8(p), ap), t));
      g = _mm256_add_epi32(g, _mm256_mullo_epi32(_mm256_mullo_epi16(low8(_mm256_srli_epi32(p, 8)), ap), t));
      r = _mm256_add_epi32(r, _mm256_mullo_epi32(_mm256_mullo_epi16(low8(_mm256_srli_epi32(p, 16)), ap), t));
      w = _mm256_add_epi32(w, _mm256_mullo_epi32(ap, t));
      a = _mm256_add_epi32(a, ap);
    }
    for (int32_t k = singles; k < tapCount; ++k) {
      const __m256i p = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(taps[k].a + i));
      const __m256i q = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(taps[k].b + i));
      const __m256i tt = _mm256_set1_epi32(static_cast<int32_t>(taps[k].t | (taps[k].t << 16)));
      const __m256i ap = _mm256_srli_epi32(p, 24), aq = _mm256_srli_epi32(q, 24);
      const __m256i aa = _mm256_or_si256(ap, _mm256_slli_epi32(aq, 16));  // (A of p, A of q) as halves
      const __m256i cb = _mm256_or_si256(low8(p), _mm256_and_si256(_mm256_slli_epi32(q, 16), high));
      const __m256i cg = _mm256_or_si256(low8(_mm256_srli_epi32(p, 8)), _mm256_and_si256(_mm256_slli_epi32(q, 8), high));
      const __m256i cr = _mm256_or_si256(low8(_mm256_srli_epi32(p, 16)), _mm256_and_si256(q, high));
      b = _mm256_add_epi32(b, _mm256_madd_epi16(_mm256_xor_si256(_mm256_mullo_epi16(cb, aa), flip), tt));
      g = _mm256_add_epi32(g, _mm256_madd_epi16(_mm256_xor_si256(_mm256_mullo_epi16(cg, aa), flip), tt));
      r = _mm256_add_epi32(r, _mm256_madd_epi16(_mm256_xor_si256(_mm256_mullo_epi16(cr, aa), flip), tt));
      w = _mm256_add_epi32(w, _mm256_madd_epi16(aa, tt));
      a = _mm256_add_epi32(a, _mm256_add_epi32(ap, aq));
    }
    b = _mm256_add_epi32(b, offsetV);
    g = _mm256_add_epi32(g, offsetV);
    r = _mm256_add_epi32(r, offsetV);
    const __m256i none = _mm256_cmpeq_epi32(w, _mm256_setzero_si256());
    const __m256i wd = _mm256_sub_epi32(w, none);  // 1 where W is 0: those lanes are dropped
    const __m256 wr = reciprocals(wd);
    __m256i px = quotients(b, wd, wr);
    px = _mm256_or_si256(px, _mm256_slli_epi32(quotients(g, wd, wr), 8));
    px = _mm256_or_si256(px, _mm256_slli_epi32(quotients(r, wd, wr), 16));
    px = _mm256_or_si256(px, _mm256_slli_epi32(quotients(a, countV, countR), 24));
    _mm256_storeu_si256(reinterpret_cast<__m256i*>(out + i), _mm256_andnot_si256(none, px));
    if (has != nullptr) {
      const auto zero = static_cast<uint32_t>(_mm256_movemask_ps(_mm256_castsi256_ps(none)));
      for (int32_t k = 0; k < 8; ++k) has[i + k] = static_cast<uint8_t>(((zero >> k) & 1u) ^ 1u);
    }
  }
  return i;
}

void quotientsAvx2(const uint32_t* n, const uint32_t* d, uint32_t* q, int32_t count) {
  for (int32_t i = 0; i + 8 <= count; i += 8) {
    const __m256i nv = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(n + i));
    const __m256i dv = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(d + i));
    _mm256_storeu_si256(reinterpret_cast<__m256i*>(q + i), quotients(nv, dv, reciprocals(dv)));
  }
}

}  // namespace

bool gaussianRunAvx2(const SGaussTap* taps, int32_t singles, int32_t tapCount, uint32_t count, int32_t n,
                     uint32_t* out, uint8_t* has, int32_t& done) {
  if (!__builtin_cpu_supports("avx2")) return false;
  // Each weight must fit a signed half for the multiply-add.
  for (int32_t k = singles; k < tapCount; ++k)
    if (taps[k].t > 0x7FFF) return false;
  done = runAvx2(taps, singles, tapCount, count, n, out, has);
  return true;
}

bool gaussQuotientsAvx2(const uint32_t* n, const uint32_t* d, uint32_t* q, int32_t count) {
  if (!__builtin_cpu_supports("avx2")) return false;
  quotientsAvx2(n, d, q, count);
  return true;
}

}  // namespace pg

#pragma GCC pop_options

#else

namespace pg {
bool gaussianRunAvx2(const SGaussTap*, int32_t, int32_t, uint32_t, int32_t, uint32_t*, uint8_t*, int32_t&) {
  return false;
}
bool gaussQuotientsAvx2(const uint32_t*, const uint32_t*, uint32_t*, int32_t) { return false; }
}  // namespace pg

#endif
