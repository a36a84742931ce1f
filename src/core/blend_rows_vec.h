#pragma once
// Vector row kernels of the separable blend operators (internal to the blend
// row kernels). Four BGRA8 pixels are widened to two registers of eight 16-bit
// lanes; every product of two bytes fits a lane, and the division by 255 is the
// project's one rounding rule, (x * 32897) >> 23, as mulhi(x, 0x8081) >> 7.
// The destination alpha byte is carried through unchanged.
//
// A kernel kind K supplies apply(d, s, a) on 16-bit lanes: the new colour of
// each channel from destination d, source s and the per-pixel alpha a. The
// scalar operator Op (the reference) handles the tail of a row and every
// target without SSE2. Parameters are bytes (0..255), as for the operators.
#include <cstddef>
#include <cstdint>

#include "core/blend_arith.h"

#if defined(__SSE2__)
#include <emmintrin.h>
#define PG_BLEND_VEC 1
#else
#define PG_BLEND_VEC 0
#endif

namespace pg {
namespace {

#if PG_BLEND_VEC

using V = __m128i;

inline V k16(int v) { return _mm_set1_epi16(static_cast<short>(v)); }
// floor(x / 255) for 16-bit x: (x * 32897) >> 23.
inline V div255v(V x) { return _mm_srli_epi16(_mm_mulhi_epu16(x, k16(0x8081)), 7); }
// floor(a * b / 255) for bytes in 16-bit lanes.
inline V mul255v(V a, V b) { return div255v(_mm_mullo_epi16(a, b)); }
// floor((d*(255-a) + b*a) / 255).
inline V lerpv(V d, V b, V a) {
  return div255v(_mm_add_epi16(_mm_mullo_epi16(b, a), _mm_mullo_epi16(d, _mm_sub_epi16(k16(255), a))));
}
// Lane 3 of each pixel (its alpha) into all four lanes of that pixel.
inline V spreadAlpha(V x) { return _mm_shufflehi_epi16(_mm_shufflelo_epi16(x, 0xFF), 0xFF); }
// Lanes where m is all ones take a, the others b.
inline V select(V m, V a, V b) { return _mm_or_si128(_mm_and_si128(m, a), _mm_andnot_si128(m, b)); }

// ---- channel formulas B(d, s) on 16-bit lanes holding bytes

// normal: s.
struct BSource {
  static V b(V, V s) { return s; }
};
// screen: d + s - d*s/255.
struct BScreen {
  static V b(V d, V s) { return _mm_sub_epi16(_mm_add_epi16(d, s), mul255v(d, s)); }
};
// difference: |d - s|.
struct BDifference {
  static V b(V d, V s) { return _mm_or_si128(_mm_subs_epu16(d, s), _mm_subs_epu16(s, d)); }
};
// darken: min(d, s).
struct BDarken {
  static V b(V d, V s) { return _mm_min_epi16(d, s); }
};
// lighten: max(d, s).
struct BLighten {
  static V b(V d, V s) { return _mm_max_epi16(d, s); }
};
// exclusion: d + s - 2*(d*s/255).
struct BExclusion {
  static V b(V d, V s) {
    const V p = mul255v(d, s);
    return _mm_sub_epi16(_mm_add_epi16(d, s), _mm_add_epi16(p, p));
  }
};
// overlay with the test on t: t < 128: 2ds/255, else (65025 - 2(255-d)(255-s))/255
// (each branch is computed in every lane; lanes of the other branch are discarded).
inline V overlayOn(V t, V d, V s) {
  const V low = div255v(_mm_mullo_epi16(_mm_add_epi16(d, d), s));
  const V id = _mm_sub_epi16(k16(255), d), is = _mm_sub_epi16(k16(255), s);
  const V high = div255v(_mm_sub_epi16(k16(65025), _mm_mullo_epi16(_mm_add_epi16(id, id), is)));
  return select(_mm_cmplt_epi16(t, k16(128)), low, high);
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
  static V b(V d, V s) {
    const V t = _mm_sub_epi16(_mm_add_epi16(d, _mm_add_epi16(s, s)), k16(256));
    return _mm_min_epi16(_mm_max_epi16(t, _mm_setzero_si128()), k16(255));
  }
};
// pin light: min(max(d, 2s - 255), 2s).
struct BPinLight {
  static V b(V d, V s) {
    const V s2 = _mm_add_epi16(s, s);
    return _mm_min_epi16(_mm_max_epi16(d, _mm_sub_epi16(s2, k16(255))), s2);
  }
};

// ---- kernel kinds: the new channel from d, s and alpha a

// Move toward B(d, s) by a.
template <class B>
struct KLerp {
  static constexpr bool kCopiesOpaque = false;
  static V apply(V d, V s, V a) { return lerpv(d, B::b(d, s), a); }
};
template <>
struct KLerp<BSource> {
  static constexpr bool kCopiesOpaque = true;  // a = 255 gives s exactly
  static V apply(V d, V s, V a) { return lerpv(d, s, a); }
};
// multiply: d * (255 - (255 - s)*a/255) / 255 (the product and screen tables).
struct KMultiply {
  static constexpr bool kCopiesOpaque = false;
  static V apply(V d, V s, V a) { return mul255v(d, _mm_sub_epi16(k16(255), mul255v(_mm_sub_epi16(k16(255), s), a))); }
};
// add: min(255, d + a*s/255).
struct KAdd {
  static constexpr bool kCopiesOpaque = false;
  static V apply(V d, V s, V a) { return _mm_min_epi16(_mm_add_epi16(d, mul255v(a, s)), k16(255)); }
};
// subtract: max(0, d - a*s/255).
struct KSub {
  static constexpr bool kCopiesOpaque = false;
  static V apply(V d, V s, V a) { return _mm_subs_epu16(d, mul255v(a, s)); }
};
// subtract negative: max(0, d - (255 - s)*a/255).
struct KSubtractNega {
  static constexpr bool kCopiesOpaque = false;
  static V apply(V d, V s, V a) { return _mm_subs_epu16(d, mul255v(_mm_sub_epi16(k16(255), s), a)); }
};

// Four pixels: the new colour bytes under the destination's alpha bytes.
template <class K, bool SrcAlpha>
inline V step4(V D, V S, V param) {
  const V zero = _mm_setzero_si128();
  const V d0 = _mm_unpacklo_epi8(D, zero), d1 = _mm_unpackhi_epi8(D, zero);
  const V s0 = _mm_unpacklo_epi8(S, zero), s1 = _mm_unpackhi_epi8(S, zero);
  V a0 = param, a1 = param;
  if constexpr (SrcAlpha) {
    a0 = mul255v(spreadAlpha(s0), param);
    a1 = mul255v(spreadAlpha(s1), param);
  }
  const V r = _mm_packus_epi16(K::apply(d0, s0, a0), K::apply(d1, s1, a1));
  const V amask = _mm_set1_epi32(static_cast<int>(0xFF000000u));
  return select(amask, D, r);
}

// A row of op(&dst[i], src[i], param).
template <class K, bool SrcAlpha, PixelOp32 Op>
void vecRow(uint32_t* dst, const uint32_t* src, size_t n, uint32_t param) {
  size_t i = 0;
  const V p = k16(static_cast<int>(param));
  const V amask = _mm_set1_epi32(static_cast<int>(0xFF000000u));
  const V zero = _mm_setzero_si128();
  const bool copyOpaque = K::kCopiesOpaque && param >= 255;
  for (; i + 4 <= n; i += 4) {
    const V S = _mm_loadu_si128(reinterpret_cast<const V*>(src + i));
    if constexpr (SrcAlpha) {
      const V sa = _mm_and_si128(S, amask);
      if (_mm_movemask_epi8(_mm_cmpeq_epi32(sa, zero)) == 0xFFFF) continue;  // all transparent
      if (copyOpaque && _mm_movemask_epi8(_mm_cmpeq_epi32(sa, amask)) == 0xFFFF) {
        V* d = reinterpret_cast<V*>(dst + i);
        _mm_storeu_si128(d, select(amask, _mm_loadu_si128(d), S));
        continue;
      }
    } else if (copyOpaque) {
      V* d = reinterpret_cast<V*>(dst + i);
      _mm_storeu_si128(d, select(amask, _mm_loadu_si128(d), S));
      continue;
    }
    V* d = reinterpret_cast<V*>(dst + i);
    _mm_storeu_si128(d, step4<K, SrcAlpha>(_mm_loadu_si128(d), S, p));
  }
  for (; i < n; ++i) Op(dst + i, src[i], param);
}

// A row of op(&dst[i], colour, param).
template <class K, bool SrcAlpha, PixelOp32 Op>
void vecFill(uint32_t* dst, uint32_t colour, size_t n, uint32_t param) {
  if (SrcAlpha ? mulDiv255(param, pixelAlpha(colour)) == 0 : param == 0) return;
  size_t i = 0;
  const V p = k16(static_cast<int>(param));
  const V S = _mm_set1_epi32(static_cast<int>(colour));
  for (; i + 4 <= n; i += 4) {
    V* d = reinterpret_cast<V*>(dst + i);
    _mm_storeu_si128(d, step4<K, SrcAlpha>(_mm_loadu_si128(d), S, p));
  }
  for (; i < n; ++i) Op(dst + i, colour, param);
}

#else  // no vector unit: the reference loops

struct BSource {};
struct BScreen {};
struct BDifference {};
struct BDarken {};
struct BLighten {};
struct BExclusion {};
struct BOverlay {};
struct BHardLight {};
struct BLinearLight {};
struct BPinLight {};
template <class B>
struct KLerp {};
struct KMultiply {};
struct KAdd {};
struct KSub {};
struct KSubtractNega {};

template <class K, bool SrcAlpha, PixelOp32 Op>
void vecRow(uint32_t* dst, const uint32_t* src, size_t n, uint32_t param) {
  for (size_t i = 0; i < n; ++i) Op(dst + i, src[i], param);
}
template <class K, bool SrcAlpha, PixelOp32 Op>
void vecFill(uint32_t* dst, uint32_t colour, size_t n, uint32_t param) {
  for (size_t i = 0; i < n; ++i) Op(dst + i, colour, param);
}

#endif

}  // namespace
}  // namespace pg
