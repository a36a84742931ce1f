// The vector row kernels built for AVX2 (eight pixels a step), used where the
// processor has it. Everything compiled for AVX2 lives below the target
// switch and in an unnamed namespace, so no shared inline function is ever
// built for AVX2.
#include <cstddef>
#include <cstdint>
#include <type_traits>

#include "core/blend_modes.h"
#include "core/blend_rows.h"
#include "core/blend_rows_list.h"
#include "core/composite_core.h"

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

#define PG_VEC_WIDTH 256
#include "core/blend_rows_vec.h"
#undef PG_VEC_WIDTH

struct Avx2Entry {
  PixelOp32 op;
  RowOp32 row;
  RowFillOp32 fill;
};

const Avx2Entry kAvx2Entries[] = {PG_BLEND_VEC_ROWS(PG_BLEND_ROW_ENTRY) PG_BLEND_VEC_OVER(PG_BLEND_OVER_ENTRY)
                                       PG_BLEND_MULTIPLY_MERGE_ENTRY};

struct Avx2OpsEntry {
  PixelOp32 srcOp;
  PixelOp32 pixel;
  RowOp32 row;
  RowFillOp32 fill;
};
const Avx2OpsEntry kAvx2OpsEntries[] = {PG_BLEND_VEC_OPS(PG_BLEND_OPS_ENTRY)};

}  // namespace

bool avx2RowKernels(PixelOp32 op, SRowKernels& out) {
  for (const Avx2Entry& e : kAvx2Entries)
    if (e.op == op) {
      out = {op, e.row, e.fill};
      return true;
    }
  return false;
}

bool avx2QuotientRow(const uint32_t* n, const uint32_t* den, uint32_t* q, size_t count) {
  quotientRow(n, den, q, count);
  return true;
}

bool avx2OpsRowKernels(PixelOp32 srcOp, SRowKernels& out) {
  for (const Avx2OpsEntry& e : kAvx2OpsEntries)
    if (e.srcOp == srcOp) {
      out = {e.pixel, e.row, e.fill};
      return true;
    }
  return false;
}

}  // namespace pg

#if defined(__clang__)
#pragma clang attribute pop
#else
#pragma GCC pop_options
#endif

#else

namespace pg {
bool avx2RowKernels(PixelOp32, SRowKernels&) { return false; }
bool avx2OpsRowKernels(PixelOp32, SRowKernels&) { return false; }
bool avx2QuotientRow(const uint32_t*, const uint32_t*, uint32_t*, size_t) { return false; }
}  // namespace pg

#endif
