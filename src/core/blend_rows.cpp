// Row kernels of the blend operators. Each kernel gives exactly the pixels of
// its operator called per pixel (the operators themselves are the reference
// versions); the tests run both on seeded random rows.
//
// The separable and colour-model modes run in vector registers
// (blend_rows_vec.h): SSE2, the x86-64 baseline, built here, and AVX2, built
// in blend_rows_avx2.cpp and chosen at run time.
#include "core/blend_rows.h"

#include <algorithm>
#include <array>
#include <type_traits>

#include "core/blend_modes.h"
#include "core/blend_rows_list.h"
#include "core/composite_core.h"

#if defined(__SSE2__)
#include <emmintrin.h>
#define PG_BLEND_SSE2 1
#else
#define PG_BLEND_SSE2 0
#endif

namespace pg {
namespace {

#if PG_BLEND_SSE2
#define PG_VEC_WIDTH 128
#include "core/blend_rows_vec.h"
#undef PG_VEC_WIDTH
#endif

// ------------------------------------------------------- plain loops

template <PixelOp32 Op>
void loopRow(uint32_t* dst, const uint32_t* src, size_t n, uint32_t param) {
  for (size_t i = 0; i < n; ++i) Op(dst + i, src[i], param);
}

template <PixelOp32 Op>
void loopFill(uint32_t* dst, uint32_t colour, size_t n, uint32_t param) {
  for (size_t i = 0; i < n; ++i) Op(dst + i, colour, param);
}

// ------------------------------------------------------- the registry

struct Entry {
  PixelOp32 op;
  RowOp32 row;
  RowFillOp32 fill;
};

template <PixelOp32 Op>
constexpr Entry loopEntry() {
  return {Op, &loopRow<Op>, &loopFill<Op>};
}

#if PG_BLEND_SSE2
#define PG_VEC_ENTRIES PG_BLEND_VEC_ROWS(PG_BLEND_ROW_ENTRY) PG_BLEND_VEC_OVER(PG_BLEND_OVER_ENTRY)
#else
#define PG_LOOP_ROW(op, kind, srcAlpha) loopEntry<&op>(),
#define PG_LOOP_OVER(op, kind, separable) loopEntry<&op>(),
#define PG_VEC_ENTRIES PG_BLEND_VEC_ROWS(PG_LOOP_ROW) PG_BLEND_VEC_OVER(PG_LOOP_OVER)
#endif

const Entry kEntries[] = {
    PG_VEC_ENTRIES
#if PG_BLEND_SSE2
    PG_BLEND_MULTIPLY_MERGE_ENTRY
#else
    loopEntry<&blendMultiplyMerge>(),
#endif
    // blend arithmetic without a vector form
    loopEntry<&lerpPixelRgbTab>(),
    loopEntry<&pixelSet>(),
    loopEntry<&blendPixelOpacity>(),
    loopEntry<&blendPixelTable>(),
};

}  // namespace

const int32_t* softLightCurveTable() {
  static const std::array<int32_t, 256> table = [] {
    std::array<int32_t, 256> t{};
    for (uint32_t d = 0; d < 256; ++d) t[d] = static_cast<int32_t>(softLightCurve(d));
    return t;
  }();
  return table.data();
}

namespace {

// The composite records by source operator (see opsRowKernels).
struct OpsEntry {
  PixelOp32 srcOp;
  PixelOp32 pixel;
  RowOp32 row;
  RowFillOp32 fill;
};
#if PG_BLEND_SSE2
const OpsEntry kOpsEntries[] = {PG_BLEND_VEC_OPS(PG_BLEND_OPS_ENTRY)};
#endif

int gLevel = -1;  // -1 not yet decided

bool useAvx2() {
  if (gLevel < 0) {
#if defined(__x86_64__) && (defined(__GNUC__) || defined(__clang__))
    gLevel = __builtin_cpu_supports("avx2") ? 1 : 0;
#else
    gLevel = 0;
#endif
  }
  return gLevel == 1;
}

}  // namespace

bool mixesTowardBlend(PixelOp32 op) {
  static const PixelOp32 kMixes[] = {
      &lerpPixelRgb, &blendScreen, &blendOverlay,  &blendHardLight,  &blendSoftLight, &blendDifference,
      &blendExclusion, &blendDarken, &blendLighten, &blendBurn,   &blendDodge,  &blendHue,
      &blendSaturation, &blendColor, &blendLuminosity, &blendLinearLight, &blendVividLight, &blendPinLight,
  };
  return std::find(std::begin(kMixes), std::end(kMixes), op) != std::end(kMixes);
}

bool rowKernelsUseAvx2() { return useAvx2(); }

int setRowKernelLevel(int level) {
  const int old = useAvx2() ? 1 : 0;
  // Level 1 asks the processor again, so a test can never switch on AVX2
  // kernels where they would not run.
  gLevel = level == 0 ? 0 : -1;
  useAvx2();
  return old;
}

namespace {

SRowKernels findRowKernels(PixelOp32 op) {
  SRowKernels k;
  if (useAvx2() && avx2RowKernels(op, k)) return k;
  for (const Entry& e : kEntries)
    if (e.op == op) return {op, e.row, e.fill};
  return {op, nullptr, nullptr};
}

}  // namespace

SRowKernels opsRowKernels(const SPixelBlendOps& ops, bool exactMix) {
  SRowKernels k;
  if (ops.DstOp != &lerpPixelRgb || ops.SrcOp == nullptr || exactMix != mixesTowardBlend(ops.SrcOp)) return k;
  if (useAvx2() && avx2OpsRowKernels(ops.SrcOp, k)) return k;
#if PG_BLEND_SSE2
  for (const OpsEntry& e : kOpsEntries)
    if (e.srcOp == ops.SrcOp) return {e.pixel, e.row, e.fill};
#endif
  return k;
}

SRowKernels rowKernels(PixelOp32 op) {
  // Callers look up once per rectangle, often the same operator many times
  // in a row (one tile piece after another): remember the last answer.
  thread_local SRowKernels last;
  thread_local int lastLevel = -2;
  const int level = useAvx2() ? 1 : 0;
  if (last.Pixel != op || lastLevel != level) {
    last = findRowKernels(op);
    lastLevel = level;
  }
  return last;
}

void blendQuotientRow(const uint32_t* n, const uint32_t* den, uint32_t* q, size_t count) {
  if (useAvx2() && avx2QuotientRow(n, den, q, count)) return;
#if PG_BLEND_SSE2
  quotientRow(n, den, q, count);
#else
  for (size_t i = 0; i < count; ++i) q[i] = n[i] / den[i];
#endif
}

void mapAlphaRow(uint32_t* dst, size_t n, uint32_t k) {
  if (k >= 255) return;
  for (size_t i = 0; i < n; ++i) {
    const uint32_t p = dst[i];
    dst[i] = (p & 0x00FFFFFFu) | (static_cast<uint32_t>(productAt(pixelAlpha(p), k)) << 24);
  }
}

}  // namespace pg
