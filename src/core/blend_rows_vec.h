// Vector row kernels of the blend operators (internal to the blend row
// kernels; included by blend_rows.cpp for the SSE2 baseline and by
// blend_rows_avx2.cpp compiled for AVX2, each time inside an unnamed
// namespace, so the two builds never meet at link time).
//
// A group of 4 (SSE2) or 8 (AVX2) BGRA8 pixels is widened to 16-bit lanes;
// every product of two bytes fits a lane, and the division by 255 is the
// project's one rounding rule, (x * 32897) >> 23, as mulhi(x, 0x8081) >> 7.
// The colour-model modes compute in float lanes, where every intermediate is
// an integer below 2^24 and every quotient is taken exactly (a correctly
// rounded quotient of such integers never crosses the integer below it).
// The destination alpha byte is carried through unchanged.
//
// The scalar operator Op (the reference) handles the tail of a row.
// Parameters are bytes (0..255), as for the operators.
//
// Before including: PG_VEC_WIDTH 128 or 256, and the intrinsics headers.

#ifndef PG_VEC_INLINE
// The group steps are inlined into their row loops: a call per group would
// pass every vector through memory.
#define PG_VEC_INLINE __attribute__((always_inline)) inline
#define PG_LAMBDA_INLINE __attribute__((always_inline))
#endif

#if PG_VEC_WIDTH == 256
using V = __m256i;
using VF = __m256;
constexpr size_t kGroup = 8;
inline V vLoad(const uint32_t* p) { return _mm256_loadu_si256(reinterpret_cast<const V*>(p)); }
inline void vStore(uint32_t* p, V v) { _mm256_storeu_si256(reinterpret_cast<V*>(p), v); }
inline V k16(int v) { return _mm256_set1_epi16(static_cast<short>(v)); }
inline V k32(uint32_t v) { return _mm256_set1_epi32(static_cast<int>(v)); }
inline V k64(uint64_t v) { return _mm256_set1_epi64x(static_cast<long long>(v)); }
inline V cmpEq32(V a, V b) { return _mm256_cmpeq_epi32(a, b); }
inline V cmpEq16(V a, V b) { return _mm256_cmpeq_epi16(a, b); }
inline V loWords(V a) { return _mm256_unpacklo_epi16(a, _mm256_setzero_si256()); }
inline V hiWords(V a) { return _mm256_unpackhi_epi16(a, _mm256_setzero_si256()); }
inline V packWords(V lo, V hi) { return _mm256_packs_epi32(lo, hi); }
inline V vZero() { return _mm256_setzero_si256(); }
inline V add16(V a, V b) { return _mm256_add_epi16(a, b); }
inline V sub16(V a, V b) { return _mm256_sub_epi16(a, b); }
inline V mullo16(V a, V b) { return _mm256_mullo_epi16(a, b); }
inline V mulhiU16(V a, V b) { return _mm256_mulhi_epu16(a, b); }
inline V srli16(V a, int n) { return _mm256_srli_epi16(a, n); }
inline V min16(V a, V b) { return _mm256_min_epi16(a, b); }
inline V max16(V a, V b) { return _mm256_max_epi16(a, b); }
inline V subsU16(V a, V b) { return _mm256_subs_epu16(a, b); }
inline V lt16(V a, V b) { return _mm256_cmpgt_epi16(b, a); }
inline V vAnd(V a, V b) { return _mm256_and_si256(a, b); }
inline V vOr(V a, V b) { return _mm256_or_si256(a, b); }
inline V vAndNot(V a, V b) { return _mm256_andnot_si256(a, b); }
inline V loBytes(V a) { return _mm256_unpacklo_epi8(a, vZero()); }
inline V hiBytes(V a) { return _mm256_unpackhi_epi8(a, vZero()); }
inline V packBytes(V lo, V hi) { return _mm256_packus_epi16(lo, hi); }
inline V spreadAlpha(V x) { return _mm256_shufflehi_epi16(_mm256_shufflelo_epi16(x, 0xFF), 0xFF); }
inline bool allEq32(V a, V b) { return _mm256_movemask_epi8(_mm256_cmpeq_epi32(a, b)) == -1; }
inline V srli32(V a, int n) { return _mm256_srli_epi32(a, n); }
inline V slli32(V a, int n) { return _mm256_slli_epi32(a, n); }
inline VF toF(V a) { return _mm256_cvtepi32_ps(a); }
inline V truncI(VF a) { return _mm256_cvttps_epi32(a); }
inline VF kf(float v) { return _mm256_set1_ps(v); }
inline VF fadd(VF a, VF b) { return _mm256_add_ps(a, b); }
inline VF fsub(VF a, VF b) { return _mm256_sub_ps(a, b); }
inline VF fmul(VF a, VF b) { return _mm256_mul_ps(a, b); }
inline VF fdiv(VF a, VF b) { return _mm256_div_ps(a, b); }
inline VF fmin(VF a, VF b) { return _mm256_min_ps(a, b); }
inline VF fmax(VF a, VF b) { return _mm256_max_ps(a, b); }
inline VF fge(VF a, VF b) { return _mm256_cmp_ps(a, b, _CMP_GE_OQ); }
inline VF flt(VF a, VF b) { return _mm256_cmp_ps(a, b, _CMP_LT_OQ); }
inline VF feq(VF a, VF b) { return _mm256_cmp_ps(a, b, _CMP_EQ_OQ); }
inline VF fgt(VF a, VF b) { return _mm256_cmp_ps(a, b, _CMP_GT_OQ); }
inline VF fand(VF a, VF b) { return _mm256_and_ps(a, b); }
inline VF forr(VF a, VF b) { return _mm256_or_ps(a, b); }
inline VF fandnot(VF a, VF b) { return _mm256_andnot_ps(a, b); }
inline V add32(V a, V b) { return _mm256_add_epi32(a, b); }
inline V addsU16(V a, V b) { return _mm256_adds_epu16(a, b); }
inline V vCastI(VF a) { return _mm256_castps_si256(a); }
inline VF vCastF(V a) { return _mm256_castsi256_ps(a); }
inline VF ftruncF(VF a) { return _mm256_round_ps(a, _MM_FROUND_TO_ZERO | _MM_FROUND_NO_EXC); }
#else
using V = __m128i;
using VF = __m128;
constexpr size_t kGroup = 4;
inline V vLoad(const uint32_t* p) { return _mm_loadu_si128(reinterpret_cast<const V*>(p)); }
inline void vStore(uint32_t* p, V v) { _mm_storeu_si128(reinterpret_cast<V*>(p), v); }
inline V k16(int v) { return _mm_set1_epi16(static_cast<short>(v)); }
inline V k32(uint32_t v) { return _mm_set1_epi32(static_cast<int>(v)); }
inline V k64(uint64_t v) { return _mm_set1_epi64x(static_cast<long long>(v)); }
inline V cmpEq32(V a, V b) { return _mm_cmpeq_epi32(a, b); }
inline V cmpEq16(V a, V b) { return _mm_cmpeq_epi16(a, b); }
inline V loWords(V a) { return _mm_unpacklo_epi16(a, _mm_setzero_si128()); }
inline V hiWords(V a) { return _mm_unpackhi_epi16(a, _mm_setzero_si128()); }
inline V packWords(V lo, V hi) { return _mm_packs_epi32(lo, hi); }
inline V vZero() { return _mm_setzero_si128(); }
inline V add16(V a, V b) { return _mm_add_epi16(a, b); }
inline V sub16(V a, V b) { return _mm_sub_epi16(a, b); }
inline V mullo16(V a, V b) { return _mm_mullo_epi16(a, b); }
inline V mulhiU16(V a, V b) { return _mm_mulhi_epu16(a, b); }
inline V srli16(V a, int n) { return _mm_srli_epi16(a, n); }
inline V min16(V a, V b) { return _mm_min_epi16(a, b); }
inline V max16(V a, V b) { return _mm_max_epi16(a, b); }
inline V subsU16(V a, V b) { return _mm_subs_epu16(a, b); }
inline V lt16(V a, V b) { return _mm_cmplt_epi16(a, b); }
inline V vAnd(V a, V b) { return _mm_and_si128(a, b); }
inline V vOr(V a, V b) { return _mm_or_si128(a, b); }
inline V vAndNot(V a, V b) { return _mm_andnot_si128(a, b); }
inline V loBytes(V a) { return _mm_unpacklo_epi8(a, vZero()); }
inline V hiBytes(V a) { return _mm_unpackhi_epi8(a, vZero()); }
inline V packBytes(V lo, V hi) { return _mm_packus_epi16(lo, hi); }
inline V spreadAlpha(V x) { return _mm_shufflehi_epi16(_mm_shufflelo_epi16(x, 0xFF), 0xFF); }
inline bool allEq32(V a, V b) { return _mm_movemask_epi8(_mm_cmpeq_epi32(a, b)) == 0xFFFF; }
inline V srli32(V a, int n) { return _mm_srli_epi32(a, n); }
inline V slli32(V a, int n) { return _mm_slli_epi32(a, n); }
inline VF toF(V a) { return _mm_cvtepi32_ps(a); }
inline V truncI(VF a) { return _mm_cvttps_epi32(a); }
inline VF kf(float v) { return _mm_set1_ps(v); }
inline VF fadd(VF a, VF b) { return _mm_add_ps(a, b); }
inline VF fsub(VF a, VF b) { return _mm_sub_ps(a, b); }
inline VF fmul(VF a, VF b) { return _mm_mul_ps(a, b); }
inline VF fdiv(VF a, VF b) { return _mm_div_ps(a, b); }
inline VF fmin(VF a, VF b) { return _mm_min_ps(a, b); }
inline VF fmax(VF a, VF b) { return _mm_max_ps(a, b); }
inline VF fge(VF a, VF b) { return _mm_cmpge_ps(a, b); }
inline VF flt(VF a, VF b) { return _mm_cmplt_ps(a, b); }
inline VF feq(VF a, VF b) { return _mm_cmpeq_ps(a, b); }
inline VF fgt(VF a, VF b) { return _mm_cmpgt_ps(a, b); }
inline VF fand(VF a, VF b) { return _mm_and_ps(a, b); }
inline VF forr(VF a, VF b) { return _mm_or_ps(a, b); }
inline VF fandnot(VF a, VF b) { return _mm_andnot_ps(a, b); }
inline V add32(V a, V b) { return _mm_add_epi32(a, b); }
inline V addsU16(V a, V b) { return _mm_adds_epu16(a, b); }
inline V vCastI(VF a) { return _mm_castps_si128(a); }
inline VF vCastF(V a) { return _mm_castsi128_ps(a); }
inline VF ftruncF(VF a) { return _mm_cvtepi32_ps(_mm_cvttps_epi32(a)); }
#endif

// floor(x / 255) for 16-bit x: (x * 32897) >> 23.
inline V div255v(V x) { return srli16(mulhiU16(x, k16(0x8081)), 7); }
// floor(a * b / 255) for bytes in 16-bit lanes.
inline V mul255v(V a, V b) { return div255v(mullo16(a, b)); }
// floor((d*(255-a) + b*a) / 255).
inline V lerpv(V d, V b, V a) { return div255v(add16(mullo16(b, a), mullo16(d, sub16(k16(255), a)))); }
// Lanes where m is all ones take a, the others b.
#if PG_VEC_WIDTH == 256
inline V select(V m, V a, V b) { return _mm256_blendv_epi8(b, a, m); }  // m: whole bytes
#else
inline V select(V m, V a, V b) { return vOr(vAnd(m, a), vAndNot(m, b)); }
#endif
inline VF fselect(VF m, VF a, VF b) { return forr(fand(m, a), fandnot(m, b)); }
// floor of float lanes holding integers' quotients (any sign).
inline VF ffloor(VF x) {
  const VF t = toF(truncI(x));
  return fsub(t, fand(fgt(t, x), kf(1.0f)));
}
inline VF ftrunc(VF x) { return toF(truncI(x)); }

// ---- channel formulas B(d, s) on 16-bit lanes holding bytes

// normal: s.
struct BSource {
  static V b(V, V s) { return s; }
};
// multiply (the union member's product): d*s/255.
struct BMultiply {
  static V b(V d, V s) { return mul255v(d, s); }
};
// screen: d + s - d*s/255.
struct BScreen {
  static V b(V d, V s) { return sub16(add16(d, s), mul255v(d, s)); }
};
// difference: |d - s|.
struct BDifference {
  static V b(V d, V s) { return vOr(subsU16(d, s), subsU16(s, d)); }
};
// darken: min(d, s).
struct BDarken {
  static V b(V d, V s) { return min16(d, s); }
};
// lighten: max(d, s).
struct BLighten {
  static V b(V d, V s) { return max16(d, s); }
};
// exclusion: d + s - 2*(d*s/255).
struct BExclusion {
  static V b(V d, V s) {
    const V p = mul255v(d, s);
    return sub16(add16(d, s), add16(p, p));
  }
};
// overlay with the test on t: t < 128: 2ds/255, else (65025 - 2(255-d)(255-s))/255
// (both branches in every lane; the lanes of the other branch are dropped).
inline V overlayOn(V t, V d, V s) {
  const V low = div255v(mullo16(add16(d, d), s));
  const V id = sub16(k16(255), d), is = sub16(k16(255), s);
  const V high = div255v(sub16(k16(65025), mullo16(add16(id, id), is)));
  return select(lt16(t, k16(128)), low, high);
}
// overlay: the test on d.
struct BOverlay {
  static V b(V d, V s) { return overlayOn(d, d, s); }
};
// hard light: the test on s.
struct BHardLight {
  static V b(V d, V s) { return overlayOn(s, d, s); }
};
// linear light: clamp(d + 2s - 256, 0, 255).
struct BLinearLight {
  static V b(V d, V s) { return min16(max16(sub16(add16(d, add16(s, s)), k16(256)), vZero()), k16(255)); }
};
// pin light: min(max(d, 2s - 255), 2s).
struct BPinLight {
  static V b(V d, V s) {
    const V s2 = add16(s, s);
    return min16(max16(d, sub16(s2, k16(255))), s2);
  }
};

// min(255, floor(floor(n / d) * scale)) for 16-bit lanes n <= 65535 and
// 1 <= d <= 255, scale 1 or 1/2: the correctly rounded float quotient of such
// integers never reaches the next integer, and halving is exact.
inline V quotientMin255(V n, V d, float scale) {
  const auto part = [&](V (*widen)(V)) PG_LAMBDA_INLINE {
    VF q = ftrunc(fdiv(toF(widen(n)), toF(widen(d))));
    if (scale != 1.0f) q = ftrunc(fmul(q, kf(scale)));
    return truncI(fmin(q, kf(255.0f)));
  };
  return packWords(part(&loWords), part(&hiWords));
}
inline V eq16(V a, int v) { return cmpEq16(a, k16(v)); }
// colour burn: s = 0: 255 where d = 255, else 0; else 255 - min(255, (255-d)*255 / s).
struct BBurn {
  static V b(V d, V s) {
    const V q = sub16(k16(255), quotientMin255(mullo16(sub16(k16(255), d), k16(255)), max16(s, k16(1)), 1.0f));
    return select(eq16(s, 0), vAnd(eq16(d, 255), k16(255)), q);
  }
};
// colour dodge: s = 255: 255 where d > 0, else 0; else min(255, d*255 / (255-s)).
struct BDodge {
  static V b(V d, V s) {
    const V q = quotientMin255(mullo16(d, k16(255)), max16(sub16(k16(255), s), k16(1)), 1.0f);
    return select(eq16(s, 255), vAndNot(eq16(d, 0), k16(255)), q);
  }
};
// vivid light: below 128 a halved burn (0 at s = 0), from 128 a halved dodge
// (255 at s = 255); one division serves both halves.
struct BVividLight {
  static V b(V d, V s) {
    const V low = lt16(s, k16(128));
    const V num = mullo16(select(low, sub16(k16(255), d), d), k16(255));
    const V den = max16(select(low, s, sub16(k16(255), s)), k16(1));
    const V q = quotientMin255(num, den, 0.5f);
    const V r = select(low, sub16(k16(255), q), q);
    return select(eq16(s, 0), vZero(), select(eq16(s, 255), k16(255), r));
  }
};
// The soft-light curve of each lane's byte, from its table.
inline V softCurveOf(V d) {
  const int32_t* table = softLightCurveTable();
#if PG_VEC_WIDTH == 256
  const V lo = _mm256_i32gather_epi32(table, loWords(d), 4);
  const V hi = _mm256_i32gather_epi32(table, hiWords(d), 4);
  return packWords(lo, hi);
#else
  alignas(16) uint16_t lanes[8];
  _mm_store_si128(reinterpret_cast<V*>(lanes), d);
  for (uint16_t& v : lanes) v = static_cast<uint16_t>(table[v]);
  return _mm_load_si128(reinterpret_cast<const V*>(lanes));
#endif
}
// soft light: s < 128: (255d - (255-2s) * (d(255-d)/255)) / 255, never below
// 0 as d(255-d)/255 <= d; else (255d + (curve(d) - d)(2s - 255)) / 255 with
// the curve never below d; both numerators within 0..65025.
struct BSoftLight {
  static V b(V d, V s) {
    const V d255 = mullo16(d, k16(255));
    const V low = sub16(d255, mullo16(sub16(k16(255), add16(s, s)), mul255v(d, sub16(k16(255), d))));
    const V high = add16(d255, mullo16(sub16(softCurveOf(d), d), sub16(add16(s, s), k16(255))));
    return div255v(select(lt16(s, k16(128)), low, high));
  }
};

// ---- kernel kinds: the new channels of a group from d, s and alpha a

// Move toward B(d, s) by a.
// 255 times the move of d toward b by a, before the division: b*a + d*(255-a).
inline V mix255(V d, V b, V a) { return add16(mullo16(b, a), mullo16(d, sub16(k16(255), a))); }

template <class B>
struct KLerp {
  static constexpr bool kCopiesOpaque = false;
  static constexpr bool kColourModel = false;
  static V apply(V d, V s, V a) { return lerpv(d, B::b(d, s), a); }
  static V apply255(V d, V s, V a) { return mix255(d, B::b(d, s), a); }
};
template <>
struct KLerp<BSource> {
  static constexpr bool kCopiesOpaque = true;  // alpha 255 gives s exactly
  static constexpr bool kColourModel = false;
  static V apply(V d, V s, V a) { return lerpv(d, s, a); }
  static V apply255(V d, V s, V a) { return mix255(d, s, a); }
};
// multiply: d * (255 - (255 - s)*a/255) / 255 (the product and screen tables).
struct KMultiply {
  static constexpr bool kCopiesOpaque = false;
  static constexpr bool kColourModel = false;
  static V apply(V d, V s, V a) { return mul255v(d, sub16(k16(255), mul255v(sub16(k16(255), s), a))); }
  static V apply255(V d, V s, V a) { return mullo16(apply(d, s, a), k16(255)); }  // its own mix, whole
};
// add: min(255, d + a*s/255).
struct KAdd {
  static constexpr bool kCopiesOpaque = false;
  static constexpr bool kColourModel = false;
  static V apply(V d, V s, V a) { return min16(add16(d, mul255v(a, s)), k16(255)); }
  static V apply255(V d, V s, V a) { return mullo16(apply(d, s, a), k16(255)); }  // its own mix, whole
};
// subtract: max(0, d - a*s/255).
struct KSub {
  static constexpr bool kCopiesOpaque = false;
  static constexpr bool kColourModel = false;
  static V apply(V d, V s, V a) { return subsU16(d, mul255v(a, s)); }
  static V apply255(V d, V s, V a) { return mullo16(apply(d, s, a), k16(255)); }  // its own mix, whole
};
// subtract negative: max(0, d - (255 - s)*a/255).
struct KSubtractNega {
  static constexpr bool kCopiesOpaque = false;
  static constexpr bool kColourModel = false;
  static V apply(V d, V s, V a) { return subsU16(d, mul255v(sub16(k16(255), s), a)); }
  static V apply255(V d, V s, V a) { return mullo16(apply(d, s, a), k16(255)); }  // its own mix, whole
};

// ---- the colour-model modes: hslCompose(c, sat, lum) in float lanes

struct Rgb {
  VF r, g, b;
};
inline Rgb channels(V p) {
  const V m = k32(0xFF);
  return {toF(vAnd(srli32(p, 16), m)), toF(vAnd(srli32(p, 8), m)), toF(vAnd(p, m))};
}
// (R*19595 + G*38469 + B*7472) / 65536 before the floor (exact: below 2^24).
inline VF greySum(VF r, VF g, VF b) {
  return fmul(fadd(fadd(fmul(r, kf(19595.0f)), fmul(g, kf(38469.0f))), fmul(b, kf(7472.0f))), kf(1.0f / 65536.0f));
}
inline VF min3(const Rgb& c) { return fmin(fmin(c.r, c.g), c.b); }
inline VF max3(const Rgb& c) { return fmax(fmax(c.r, c.g), c.b); }

// The colour with the hue of c, saturation sat and luminosity lum, as packed
// pixels (alpha 0): the steps of hslCompose, lane by lane.
PG_VEC_INLINE V hslComposeV(const Rgb& c, VF sat, VF lum) {
  const VF m = min3(c), M = max3(c);
  const VF range = fsub(M, m);
  const VF grey = forr(feq(sat, kf(0.0f)), feq(range, kf(0.0f)));
  const VF rangeSafe = fmax(range, kf(1.0f));
  const VF vr = ftrunc(fdiv(fmul(fsub(c.r, m), sat), rangeSafe));
  const VF vg = ftrunc(fdiv(fmul(fsub(c.g, m), sat), rangeSafe));
  const VF vb = ftrunc(fdiv(fmul(fsub(c.b, m), sat), rangeSafe));
  const VF L = ftrunc(greySum(vr, vg, vb));
  const VF delta = fsub(lum, L);
  const VF toWhite = fge(fadd(M, delta), kf(256.0f));
  const VF scaleDown = fandnot(toWhite, flt(delta, kf(0.0f)));
  const VF q = fmax(kf(1.0f), ffloor(greySum(fsub(M, vr), fsub(M, vg), fsub(M, vb))));
  const VF den = fselect(toWhite, q, fmax(L, kf(1.0f)));
  const VF k = fsub(kf(255.0f), lum);
  const auto channel = [&](VF v) {
    const VF num = fselect(toWhite, fmul(k, fsub(M, v)), fmul(lum, v));
    const VF quot = ftrunc(fdiv(num, den));
    VF out = fselect(toWhite, fsub(kf(255.0f), quot), fselect(scaleDown, quot, fadd(v, delta)));
    out = fselect(grey, lum, out);
    return truncI(fmin(fmax(out, kf(0.0f)), kf(255.0f)));
  };
  return vOr(vOr(slli32(channel(vr), 16), slli32(channel(vg), 8)), channel(vb));
}

inline VF satV(const Rgb& c) { return fsub(max3(c), min3(c)); }
inline VF lumV(const Rgb& c) { return ftrunc(greySum(c.r, c.g, c.b)); }

// The four colour-model modes: the composed colour of a group.
struct HueSel {
  static V compose(const Rgb& d, const Rgb& s) { return hslComposeV(s, satV(d), lumV(d)); }
};
struct SaturationSel {
  static V compose(const Rgb& d, const Rgb& s) { return hslComposeV(d, satV(s), lumV(d)); }
};
struct ColorSel {
  static V compose(const Rgb& d, const Rgb& s) { return hslComposeV(s, satV(s), lumV(d)); }
};
struct LuminositySel {
  static V compose(const Rgb& d, const Rgb& s) { return hslComposeV(d, satV(d), lumV(s)); }
};
template <class Sel>
struct KColourModel {
  static constexpr bool kCopiesOpaque = false;
  static constexpr bool kColourModel = true;
  static V composite(V D, V S) { return Sel::compose(channels(D), channels(S)); }
};

// One group: the new colour bytes under the destination's alpha bytes.
template <class K, bool SrcAlpha>
PG_VEC_INLINE V stepGroup(V D, V S, V param) {
  const V d0 = loBytes(D), d1 = hiBytes(D);
  const V s0 = loBytes(S), s1 = hiBytes(S);
  V a0 = param, a1 = param;
  if constexpr (SrcAlpha) {
    a0 = mul255v(spreadAlpha(s0), param);
    a1 = mul255v(spreadAlpha(s1), param);
  }
  V r;
  if constexpr (K::kColourModel) {
    const V C = K::composite(D, S);
    r = packBytes(lerpv(d0, loBytes(C), a0), lerpv(d1, hiBytes(C), a1));
  } else {
    r = packBytes(K::apply(d0, s0, a0), K::apply(d1, s1, a1));
  }
  return select(k32(0xFF000000u), D, r);
}

// A row of op(&dst[i], src[i], param).
template <class K, bool SrcAlpha, PixelOp32 Op>
void vecRow(uint32_t* dst, const uint32_t* src, size_t n, uint32_t param) {
  size_t i = 0;
  const V p = k16(static_cast<int>(param));
  const V amask = k32(0xFF000000u);
  const bool copyOpaque = K::kCopiesOpaque && param >= 255;
  for (; i + kGroup <= n; i += kGroup) {
    const V S = vLoad(src + i);
    if constexpr (SrcAlpha) {
      const V sa = vAnd(S, amask);
      if (allEq32(sa, vZero())) continue;  // all transparent
      if (copyOpaque && allEq32(sa, amask)) {
        vStore(dst + i, select(amask, vLoad(dst + i), S));
        continue;
      }
    } else if (copyOpaque) {
      vStore(dst + i, select(amask, vLoad(dst + i), S));
      continue;
    }
    vStore(dst + i, stepGroup<K, SrcAlpha>(vLoad(dst + i), S, p));
  }
  for (; i < n; ++i) Op(dst + i, src[i], param);
}

// A row of op(&dst[i], colour, param).
template <class K, bool SrcAlpha, PixelOp32 Op>
void vecFill(uint32_t* dst, uint32_t colour, size_t n, uint32_t param) {
  if (SrcAlpha ? mulDiv255(param, pixelAlpha(colour)) == 0 : param == 0) return;
  size_t i = 0;
  const V p = k16(static_cast<int>(param));
  const V S = k32(colour);
  for (; i + kGroup <= n; i += kGroup) vStore(dst + i, stepGroup<K, SrcAlpha>(vLoad(dst + i), S, p));
  for (; i < n; ++i) Op(dst + i, colour, param);
}

// Over a transparent group every alpha-over operator gives the source colour
// with the alpha sa = mulDiv255(source alpha, opacity); where sa is 0 the
// pixel stays.
PG_VEC_INLINE V overTransparent(V D, V S, V p) {
  const V s0 = loBytes(S), s1 = hiBytes(S);
  const V lane3 = k64(0xFFFF000000000000ull);  // the alpha lane of each pixel
  const V r = packBytes(select(lane3, mul255v(spreadAlpha(s0), p), s0), select(lane3, mul255v(spreadAlpha(s1), p), s1));
  const V amask = k32(0xFF000000u);
  return select(cmpEq32(vAnd(r, amask), vZero()), D, r);
}

// Over a group with destination alphas of every kind: the separable
// source-over ((255-dA)*sa*s + dA*x) / (255*sa + (255-sa)*dA), x being 255
// times the mode's mix at sa, in float lanes: every term is an integer below
// 2^24 and the quotient is exact. Where the result alpha is 0 the pixel stays.
PG_VEC_INLINE V overDivide(V d, V s, V sa, V dA, V x) {
  const auto part = [&](V (*widen)(V)) PG_LAMBDA_INLINE {
    const VF fsa = toF(widen(sa)), fdA = toF(widen(dA)), fs = toF(widen(s)), fx = toF(widen(x));
    const VF num = fadd(fmul(fmul(fsub(kf(255.0f), fdA), fsa), fs), fmul(fdA, fx));
    const VF den = fadd(fmul(kf(255.0f), fsa), fmul(fsub(kf(255.0f), fsa), fdA));
    return truncI(fdiv(num, fmax(den, kf(1.0f))));
  };
  const V colour = packWords(part(&loWords), part(&hiWords));
  const V outA = sub16(add16(sa, dA), mul255v(dA, sa));
  const V r = select(k64(0xFFFF000000000000ull), outA, colour);
  return select(cmpEq16(outA, vZero()), d, r);
}

template <class K>
PG_VEC_INLINE V overMixed(V D, V S, V p) {
  const V d0 = loBytes(D), d1 = hiBytes(D), s0 = loBytes(S), s1 = hiBytes(S);
  const V sa0 = mul255v(spreadAlpha(s0), p), sa1 = mul255v(spreadAlpha(s1), p);
  V x0, x1;
  if constexpr (K::kColourModel) {
    const V C = K::composite(D, S);
    x0 = mix255(d0, loBytes(C), sa0);
    x1 = mix255(d1, hiBytes(C), sa1);
  } else {
    x0 = K::apply255(d0, s0, sa0);
    x1 = K::apply255(d1, s1, sa1);
  }
  return packBytes(overDivide(d0, s0, sa0, spreadAlpha(d0), x0), overDivide(d1, s1, sa1, spreadAlpha(d1), x1));
}

// The reciprocal of den (integer lanes 1..65025) rounded up: the nearest
// float and one unit in the last place more, so that n * r never falls below
// n / den and lies less than 2^-21 * n / den above it.
inline VF reciprocalUp(VF den) { return vCastF(add32(vCastI(fdiv(kf(1.0f), den)), k32(1))); }

// floor(n / den) for integer lanes n < 2^24, 1 <= den <= 65025, n / den at
// most 256, given r = reciprocalUp(den): the product's truncation is the
// quotient or one more (n * r lies in [n / den, n / den + 2^-13], the product's
// own rounding included, and no integer is nearer than 1 / den below the
// next one, so the truncation passes it at most once); the exact remainder
// n - q * den (every term an integer below 2^24) takes the one back.
inline V exactQuotient(VF n, VF den, VF r) {
  const VF q = ftruncF(fmul(n, r));
  const VF rem = fsub(n, fmul(q, den));
  return add32(truncI(q), vCastI(flt(rem, kf(0.0f))));
}

// q[i] = floor(n[i] / den[i]) through exactQuotient (the kernels' own step,
// so that a test can run it over every denominator they meet).
inline void quotientRow(const uint32_t* n, const uint32_t* den, uint32_t* q, size_t count) {
  size_t i = 0;
  for (; i + kGroup <= count; i += kGroup) {
    const VF d = toF(vLoad(den + i));
    vStore(q + i, exactQuotient(toF(vLoad(n + i)), d, reciprocalUp(d)));
  }
  for (; i < count; ++i) q[i] = n[i] / den[i];
}

// Byte i (0 blue .. 2 red) of every pixel in its 32-bit lane.
template <int I>
inline V byteLane(V p) {
#if PG_VEC_WIDTH == 256
  constexpr char z = -1;
  return _mm256_shuffle_epi8(p, _mm256_setr_epi8(I, z, z, z, I + 4, z, z, z, I + 8, z, z, z, I + 12, z, z, z,  //
                                                 I, z, z, z, I + 4, z, z, z, I + 8, z, z, z, I + 12, z, z, z));
#else
  return vAnd(srli32(p, 8 * I), k32(0xFF));
#endif
}

// Over a group with destination alphas of every kind, one pixel a 32-bit
// lane, for the operators whose colour is min(255, num / den) with
// den = 255*sa + (255-sa)*dA and num below 2^24 (Num gives it per channel from
// the float lanes s, d, sa, dA): the alpha terms (each at most 65025) are taken
// on 16-bit halves whose upper halves stay 0. One division per group gives the
// reciprocal of every pixel's den; each channel's quotient from it is taken
// exactly by exactQuotient.
// Full: the opacity is 255, so sa is the source alpha itself.
template <bool Full, class Num>
PG_VEC_INLINE V overPerPixel(V D, V S, V p, Num num) {
  V sa = srli32(S, 24);
  if constexpr (!Full) sa = mul255v(sa, vAnd(p, k32(0xFFFF)));
  const V dA = srli32(D, 24);
  const V outA = sub16(add16(sa, dA), mul255v(dA, sa));
  const VF fsa = toF(sa), fdA = toF(dA);
  const VF den = fmax(toF(add16(mullo16(sa, k16(255)), mullo16(sub16(k32(255), sa), dA))), kf(1.0f));
  const VF r = reciprocalUp(den);
  const auto channel = [&](V s, V d) PG_LAMBDA_INLINE {
    const V q = exactQuotient(num(toF(s), toF(d), fsa, fdA), den, r);
    if constexpr (Num::kBelow256) {
      return q;
    } else {
      return min16(q, k32(255));  // quotients are at most 256: the 16-bit minimum serves
    }
  };
  // The three channels side by side (independent chains).
  const V b = channel(byteLane<0>(S), byteLane<0>(D));
  const V g = channel(byteLane<1>(S), byteLane<1>(D));
  const V rr = channel(byteLane<2>(S), byteLane<2>(D));
  const V colour = vOr(vOr(slli32(outA, 24), slli32(rr, 16)), vOr(slli32(g, 8), b));
  return select(cmpEq32(outA, vZero()), D, colour);
}

// normal: 255*sa*s + (255-sa)*dA*d.
struct NormalNum {
  static constexpr bool kBelow256 = true;  // a weighted mean of two bytes
  PG_VEC_INLINE VF operator()(VF s, VF d, VF sa, VF dA) const {
    return fadd(fmul(s, fmul(sa, kf(255.0f))), fmul(d, fmul(fsub(kf(255.0f), sa), dA)));
  }
};
template <bool Full>
PG_VEC_INLINE V overMixedNormal(V D, V S, V p) {
  return overPerPixel<Full>(D, S, p, NormalNum{});
}

// Difference, darken and lighten against the destination premultiplied over
// black (or white for darken): M(d*dA, 255*s)*sa + (255-sa)*d*dA.
template <class K>
constexpr bool kBackdropOver =
    std::is_same_v<K, KLerp<BDifference>> || std::is_same_v<K, KLerp<BDarken>> || std::is_same_v<K, KLerp<BLighten>>;
template <class K>
struct BackdropNum {
  static constexpr bool kBelow256 = false;
  PG_VEC_INLINE VF operator()(VF s, VF d, VF sa, VF dA) const {
    const VF dd = fmul(d, dA), s255 = fmul(s, kf(255.0f));
    VF m;
    if constexpr (std::is_same_v<K, KLerp<BDifference>>) {
      m = fsub(fmax(dd, s255), fmin(dd, s255));
    } else if constexpr (std::is_same_v<K, KLerp<BDarken>>) {
      m = fmin(fadd(dd, fmul(fsub(kf(255.0f), dA), kf(255.0f))), s255);
    } else {
      m = fmax(dd, s255);
    }
    return fadd(fmul(m, sa), fmul(fsub(kf(255.0f), sa), dd));
  }
};

// The add union over a group with destination alphas of every kind: where
// both alphas are above 0 the sum of the two premultiplied colours, opaque
// (each product below 2^16 and every sum of 65025 or more ending at 255, so
// the saturating sum serves); over a transparent pixel the source at its
// alpha; under a transparent source the pixel stays.
PG_VEC_INLINE V addUnionMixed(V D, V S, V p) {
  const V d0 = loBytes(D), d1 = hiBytes(D), s0 = loBytes(S), s1 = hiBytes(S);
  const V sa0 = mul255v(spreadAlpha(s0), p), sa1 = mul255v(spreadAlpha(s1), p);
  const auto sum = [&](V d, V s, V sa, V a) PG_LAMBDA_INLINE {
    return min16(div255v(addsU16(mullo16(s, sa), mullo16(d, a))), k16(255));
  };
  const V amask = k32(0xFF000000u);
  const V both = vOr(packBytes(sum(d0, s0, sa0, spreadAlpha(d0)), sum(d1, s1, sa1, spreadAlpha(d1))), amask);
  const V srcGone = cmpEq32(packBytes(sa0, sa1), vZero());
  const V dstGone = cmpEq32(vAnd(D, amask), vZero());
  return select(dstGone, overTransparent(D, S, p), select(srcGone, D, both));
}

// The multiply merge (KMultiplyMerge): the source-alpha multiply where the
// destination is opaque, the union of the two layers elsewhere (lane by lane
// in a group that holds both).
struct KMultiplyMerge {};
PG_VEC_INLINE void multiplyMergeGroup(uint32_t* dst, V D, V S, V p) {
  const V amask = k32(0xFF000000u);
  const V dA = vAnd(D, amask);
  if (allEq32(dA, amask)) {
    vStore(dst, stepGroup<KMultiply, true>(D, S, p));
  } else if (allEq32(dA, vZero())) {
    vStore(dst, overTransparent(D, S, p));
  } else {
    vStore(dst, select(cmpEq32(dA, amask), stepGroup<KMultiply, true>(D, S, p), overMixed<KLerp<BMultiply>>(D, S, p)));
  }
}

// A row of the alpha-over operator Op: groups with a transparent source stay,
// groups over an opaque destination are the explicit mix at the source's
// alpha (kind K), groups over a transparent one take the source; the others
// go through the separable source-over when Mixed (the operator is that
// composite of K), else through Op pixel by pixel.
template <class K, bool Mixed, PixelOp32 Op, bool Full>
PG_VEC_INLINE void overGroup(uint32_t* dst, V D, V S, V p, uint32_t colourOrZero, const uint32_t* src, uint32_t opacity) {
  const V amask = k32(0xFF000000u);
  const V dA = vAnd(D, amask);
  if constexpr (std::is_same_v<K, KMultiplyMerge>) {
    multiplyMergeGroup(dst, D, S, p);
  } else if (allEq32(dA, amask)) {
    vStore(dst, stepGroup<K, true>(D, S, p));
  } else if (allEq32(dA, vZero())) {
    vStore(dst, overTransparent(D, S, p));
  } else if constexpr (Mixed && std::is_same_v<K, KLerp<BSource>>) {
    vStore(dst, overMixedNormal<Full>(D, S, p));
  } else if constexpr (Mixed) {
    vStore(dst, overMixed<K>(D, S, p));
  } else if constexpr (std::is_same_v<K, KAdd>) {
    vStore(dst, addUnionMixed(D, S, p));
  } else if constexpr (kBackdropOver<K>) {
    vStore(dst, overPerPixel<Full>(D, S, p, BackdropNum<K>{}));
  } else {
    for (size_t j = 0; j < kGroup; ++j) Op(dst + j, src ? src[j] : colourOrZero, opacity);
  }
}

// Full: the opacity is 255 (the usual merge), where the per-pixel kernels
// skip scaling the source alpha.
template <class K, bool Mixed, PixelOp32 Op, bool Full>
void vecOverRowAt(uint32_t* dst, const uint32_t* src, size_t n, uint32_t opacity) {
  size_t i = 0;
  const V p = k16(static_cast<int>(opacity));
  const V amask = k32(0xFF000000u);
  for (; i + kGroup <= n; i += kGroup) {
    const V S = vLoad(src + i);
    if (allEq32(vAnd(S, amask), vZero())) continue;
    overGroup<K, Mixed, Op, Full>(dst + i, vLoad(dst + i), S, p, 0, src + i, opacity);
  }
  for (; i < n; ++i) Op(dst + i, src[i], opacity);
}

template <class K, bool Mixed, PixelOp32 Op>
void vecOverRow(uint32_t* dst, const uint32_t* src, size_t n, uint32_t opacity) {
  if (opacity == 0) return;
  if (opacity == 255) {
    vecOverRowAt<K, Mixed, Op, true>(dst, src, n, opacity);
  } else {
    vecOverRowAt<K, Mixed, Op, false>(dst, src, n, opacity);
  }
}

template <class K, bool Mixed, PixelOp32 Op>
void vecOverFill(uint32_t* dst, uint32_t colour, size_t n, uint32_t opacity) {
  if (mulDiv255(opacity, pixelAlpha(colour)) == 0) return;
  size_t i = 0;
  const V p = k16(static_cast<int>(opacity));
  const V S = k32(colour);
  for (; i + kGroup <= n; i += kGroup)
    overGroup<K, Mixed, Op, false>(dst + i, vLoad(dst + i), S, p, colour, nullptr, opacity);
  for (; i < n; ++i) Op(dst + i, colour, opacity);
}

// A composite record with lerpPixelRgb as its destination operator
// (compositePixelOpsMix) is the separable source-over of its source
// operator's mix: the alpha-over row of kind K. The record's start colour and
// flags change no pixel there, so one pixel operator per source operator
// stands for every such record (the tail and the reference).
template <PixelOp32 SrcOp>
void opsOverPixel(uint32_t* dst, uint32_t src, uint32_t opacity) {
  static constexpr SPixelBlendOps kOps{0, 0, &lerpPixelRgb, SrcOp};
  compositePixelOpsMix(dst, src, opacity, kOps, mixesTowardBlend(SrcOp));
}
