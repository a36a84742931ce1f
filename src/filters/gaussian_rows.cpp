#include "filters/gaussian_rows.h"

#include <cstring>

// The vector types below never cross a function boundary that is not
// inlined, so the calling convention the warning is about never applies.
#pragma GCC diagnostic ignored "-Wpsabi"

namespace pg {

namespace {

using V8 = uint32_t __attribute__((vector_size(32)));
using I8 = int32_t __attribute__((vector_size(32)));
using F8 = float __attribute__((vector_size(32)));

// The portable form of the run (the AVX2 one lives in gaussian_rows_avx2.cpp).
#define PG_INLINE inline __attribute__((always_inline))

template <class T>
PG_INLINE T loadPixels(const uint32_t* p) {
  T v;
  std::memcpy(&v, p, sizeof v);
  return v;
}

template <class T>
struct SRunSums {
  T b{}, g{}, r{}, w{}, a{};
};

// The sums of column i (or of eight columns from i). A pair adds
// (C1 * A1 + C2 * A2) * t, which is C1 * A1 * t + C2 * A2 * t exactly.
template <class T>
PG_INLINE SRunSums<T> sumTaps(const SGaussTap* taps, int32_t singles, int32_t tapCount, int32_t i) {
  SRunSums<T> s;
  int32_t k = 0;
  for (; k < singles; ++k) {
    const T p = loadPixels<T>(taps[k].a + i);
    const T a = p >> 24, t = T{} + taps[k].t;
    s.b += (p & 0xFFu) * a * t;
    s.g += ((p >> 8) & 0xFFu) * a * t;
    s.r += ((p >> 16) & 0xFFu) * a * t;
    s.w += a * t;
    s.a += a;
  }
  for (; k < tapCount; ++k) {
    const T p = loadPixels<T>(taps[k].a + i), q = loadPixels<T>(taps[k].b + i);
    const T ap = p >> 24, aq = q >> 24, t = T{} + taps[k].t;
    s.b += ((p & 0xFFu) * ap + (q & 0xFFu) * aq) * t;
    s.g += (((p >> 8) & 0xFFu) * ap + ((q >> 8) & 0xFFu) * aq) * t;
    s.r += (((p >> 16) & 0xFFu) * ap + ((q >> 16) & 0xFFu) * aq) * t;
    s.w += (ap + aq) * t;
    s.a += ap + aq;
  }
  return s;
}

// Eight exact quotients floor(n / d) by multiplication with 1 / d and a
// correction step. Valid for n + d < 2^31 and n / d < 2^20 (the sums stay
// below 2^31: the 16.16 weights of a table add up to about 65536, so
// sum(C * A * (t >> 5)) < 255 * 255 * 2048 plus rounding; W < 2^20; every
// quotient is at most 255). Each of the three float roundings errs by at
// most 2^-24 relative, so the estimate lies within 1 of n / d and truncates
// to the quotient or one off either way; the integer products then say which.
PG_INLINE V8 quotients(const V8& n, const V8& d, const F8& reciprocal) {
  const I8 ni = (I8)n, di = (I8)d;
  I8 q = __builtin_convertvector(__builtin_convertvector(ni, F8) * reciprocal, I8);
  I8 qd = q * di;
  const I8 over = qd > ni;  // all ones where q is one too many
  q += over;
  qd -= over & di;
  q -= (qd + di) <= ni;  // one too few
  return (V8)q;
}

PG_INLINE F8 reciprocals(const V8& d) { return F8{} + 1.0f / __builtin_convertvector((I8)d, F8); }

void runEight(const SGaussTap* taps, int32_t singles,
                                                                 int32_t tapCount, uint32_t count, int32_t n,
                                                                 uint32_t* out, uint8_t* has, int32_t& done) {
  const V8 countV = V8{} + count;
  const F8 countR = reciprocals(countV);
  int32_t i = 0;
  for (; i + 8 <= n; i += 8) {
    const SRunSums<V8> s = sumTaps<V8>(taps, singles, tapCount, i);
    const V8 some = (V8)(s.w != 0);    // all ones where W is not 0
    const V8 w = s.w | (~some & 1u);   // 1 where W is 0: those lanes are dropped
    const F8 wr = reciprocals(w);
    const V8 px = quotients(s.b, w, wr) | (quotients(s.g, w, wr) << 8) | (quotients(s.r, w, wr) << 16) |
                  (quotients(s.a, countV, countR) << 24);
    const V8 masked = px & some;
    std::memcpy(out + i, &masked, sizeof masked);
    if (has != nullptr)
      for (int32_t k = 0; k < 8; ++k) has[i + k] = static_cast<uint8_t>(some[k] & 1u);
  }
  done = i;
}

void quotientsEight(const uint32_t* n, const uint32_t* d,
                                                                       uint32_t* q, int32_t count) {
  for (int32_t i = 0; i + 8 <= count; i += 8) {
    const V8 nv = loadPixels<V8>(n + i), dv = loadPixels<V8>(d + i);
    const V8 qv = quotients(nv, dv, reciprocals(dv));
    std::memcpy(q + i, &qv, sizeof qv);
  }
}

int gLevel = 2;

}  // namespace

int setGaussianVectorLevel(int level) {
  const int old = gLevel;
  gLevel = level;
  return old;
}

void gaussQuotients(const uint32_t* n, const uint32_t* d, uint32_t* q, int32_t count) {
  int32_t done = count - count % 8;
  if (gLevel >= 2 && gaussQuotientsAvx512(n, d, q, count))
    done = count - count % 16;
  else if (!(gLevel >= 1 && gaussQuotientsAvx2(n, d, q, count)))
    quotientsEight(n, d, q, count);
  for (int32_t i = done; i < count; ++i) q[i] = n[i] / d[i];
}

void gaussianRun(const SGaussTap* taps, int32_t singles, int32_t tapCount, uint32_t count, int32_t n, uint32_t* out,
                 uint8_t* has) {
  int32_t i = 0;
  if (!(gLevel >= 2 && gaussianRunAvx512(taps, singles, tapCount, count, n, out, has, i)) &&
      !(gLevel >= 1 && gaussianRunAvx2(taps, singles, tapCount, count, n, out, has, i)))
    runEight(taps, singles, tapCount, count, n, out, has, i);
  for (; i < n; ++i) {
    const SRunSums<uint32_t> s = sumTaps<uint32_t>(taps, singles, tapCount, i);
    if (has != nullptr) has[i] = s.w != 0 ? 1 : 0;
    out[i] = s.w == 0 ? 0u
                      : (s.b / s.w) | ((s.g / s.w) << 8) | ((s.r / s.w) << 16) | ((s.a / count) << 24);
  }
}

}  // namespace pg
