#include "brush/plot_rows.h"

#include <algorithm>
#include <cstring>

#include "brush/dab_rows_avx2.h"
#include "brush/plot_callbacks.h"
#include "brush/plot_merge.h"
#include "brush/plot_state.h"
#include "core/block_image.h"

namespace pg {

namespace reference {

void plotRow32(const SPlotter& s, uint32_t* row, int32_t x0, int32_t y, const uint8_t* cov, int32_t n,
               uint32_t colour) {
  const PlotProc32 plot = s.plotProc32;
  for (int32_t i = 0; i < n; ++i) plot(s, row + i, x0 + i, y, cov[i], colour);
}

void plotRow8(const SPlotter& s, uint8_t* row, int32_t x0, int32_t y, const uint8_t* cov, int32_t n, uint32_t value) {
  const PlotProc8 plot = s.plotProc8;
  for (int32_t i = 0; i < n; ++i) plot(s, row + i, x0 + i, y, cov[i], value);
}

}  // namespace reference

namespace {

// The merges the fast loops inline. Each leaves the pixel alone at coverage
// 0, so the loops skip zero coverage. `vector` runs the leading part of a row
// where a vector form exists and answers how many pixels it did.
struct OpNoVector {
  static int32_t vector(uint32_t*, const uint8_t*, int32_t, uint32_t) { return 0; }
};
struct OpLerp {
  static void apply(uint32_t* p, uint32_t s, uint32_t c) { lerpPixelRgb(p, s, c); }
  static int32_t vector(uint32_t* row, const uint8_t* cov, int32_t n, uint32_t colour) {
    return avx2MergeRow(DabMerge::Lerp, row, cov, n, colour);
  }
};
struct OpOpacity {
  static void apply(uint32_t* p, uint32_t s, uint32_t c) { blendPixelOpacityRecip(p, s, c); }
  static int32_t vector(uint32_t* row, const uint8_t* cov, int32_t n, uint32_t colour) {
    return avx2MergeRow(DabMerge::Opacity, row, cov, n, colour);
  }
};
struct OpErase : OpNoVector {
  static void apply(uint32_t* p, uint32_t s, uint32_t c) { erasePixel(p, s, c); }
};
struct OpOver : OpNoVector {
  static void apply(uint32_t* p, uint32_t s, uint32_t c) { blendPixelOver(p, s, c); }
};

// The selection mask's values for the pixels (mx0 + i, my), i < n: 0 outside
// the mask image. Reads tile by tile.
void readMaskRow(const CBlockVCH& mask, int32_t mx0, int32_t my, int32_t n, uint8_t* out) {
  std::memset(out, 0, static_cast<size_t>(n));
  if (my < 0 || my >= mask.height()) return;
  const int64_t first = std::max<int64_t>(0, -static_cast<int64_t>(mx0));
  const int64_t last = std::min<int64_t>(n, static_cast<int64_t>(mask.width()) - mx0);  // exclusive
  for (int64_t i = first; i < last;) {
    const int32_t mx = static_cast<int32_t>(mx0 + i);
    const int32_t seg = static_cast<int32_t>(std::min<int64_t>(64 - (mx & 63), last - i));
    const STileRec* t = mask.tileAtIndex(mx >> 6, my >> 6);
    if (t != nullptr) {
      const uint8_t* mem = mask.tileMemory(*t);
      if (mem == nullptr)
        std::memset(out + i, static_cast<int>(t->uniform & 0xFFu), static_cast<size_t>(seg));
      else
        std::memcpy(out + i, mem + ((my & 63) << 6) + (mx & 63), static_cast<size_t>(seg));
    }
    i += seg;
  }
}

constexpr int32_t kChunk = 256;

template <class Op>
void rowDirect(const SPlotter&, uint32_t* row, int32_t, int32_t, const uint8_t* cov, int32_t n, uint32_t colour) {
  for (int32_t i = Op::vector(row, cov, n, colour); i < n; ++i)
    if (cov[i] != 0) Op::apply(row + i, colour, cov[i]);
}

// Any other merge: called for every pixel, as plotColorDirect does.
void rowDirectAnyOp(const SPlotter& s, uint32_t* row, int32_t, int32_t, const uint8_t* cov, int32_t n,
                    uint32_t colour) {
  for (int32_t i = 0; i < n; ++i) mergePixel(s, row + i, colour, cov[i]);
}

template <class Apply>
void rowSelectionWith(const SPlotter& s, int32_t x0, int32_t y, const uint8_t* cov, int32_t n, Apply&& apply) {
  const CBlockVCH& mask = *s.plotSelectionMask;
  const int32_t my = y + s.plotMaskOffsetY;
  uint8_t m[kChunk];
  for (int32_t base = 0; base < n; base += kChunk) {
    const int32_t len = std::min(kChunk, n - base);
    readMaskRow(mask, x0 + base + s.plotMaskOffsetX, my, len, m);
    for (int32_t i = 0; i < len; ++i) {
      const uint32_t c = productAt(cov[base + i], m[i]);
      if (c != 0) apply(base + i, c);
    }
  }
}

// The coverage through the mask first, a chunk at a time, then the direct
// loop over the chunk.
template <class Op>
void rowSelection(const SPlotter& s, uint32_t* row, int32_t x0, int32_t y, const uint8_t* cov, int32_t n,
                  uint32_t colour) {
  const CBlockVCH& mask = *s.plotSelectionMask;
  const int32_t my = y + s.plotMaskOffsetY;
  uint8_t m[kChunk], c[kChunk];
  for (int32_t base = 0; base < n; base += kChunk) {
    const int32_t len = std::min(kChunk, n - base);
    readMaskRow(mask, x0 + base + s.plotMaskOffsetX, my, len, m);
    std::memcpy(c, cov + base, static_cast<size_t>(len));
    for (int32_t i = avx2ScaleCoverage(c, m, len); i < len; ++i) c[i] = static_cast<uint8_t>(productAt(c[i], m[i]));
    rowDirect<Op>(s, row + base, x0 + base, y, c, len, colour);
  }
}

void rowSelectionAnyOp(const SPlotter& s, uint32_t* row, int32_t x0, int32_t y, const uint8_t* cov, int32_t n,
                       uint32_t colour) {
  rowSelectionWith(s, x0, y, cov, n, [&](int32_t i, uint32_t c) { mergePixel(s, row + i, colour, c); });
}

// Any other merge, skipping zero coverage (the selection call-back without a mask).
void rowSkipZeroAnyOp(const SPlotter& s, uint32_t* row, int32_t, int32_t, const uint8_t* cov, int32_t n,
                      uint32_t colour) {
  for (int32_t i = 0; i < n; ++i)
    if (cov[i] != 0) mergePixel(s, row + i, colour, cov[i]);
}

// The loop for a merge; `any` when the merge is not one of the inlined ones.
template <template <class> class Kind>
struct SRowFor {
  static RowPlot32 get(const SPlotter& s, RowPlot32 any) {
    if (s.lightnessCurve != nullptr) return any;
    const PixelOp32 op = s.pixelBlendOp;
    if (op == &lerpPixelRgb) return &Kind<OpLerp>::row;
    if (op == &blendPixelOpacity) return &Kind<OpOpacity>::row;
    if (op == &erasePixel) return &Kind<OpErase>::row;
    if (op == &blendPixelOver) return &Kind<OpOver>::row;
    return any;
  }
};
template <class Op>
struct SDirect {
  static void row(const SPlotter& s, uint32_t* r, int32_t x0, int32_t y, const uint8_t* cov, int32_t n,
                  uint32_t colour) {
    rowDirect<Op>(s, r, x0, y, cov, n, colour);
  }
};
template <class Op>
struct SSelection {
  static void row(const SPlotter& s, uint32_t* r, int32_t x0, int32_t y, const uint8_t* cov, int32_t n,
                  uint32_t colour) {
    rowSelection<Op>(s, r, x0, y, cov, n, colour);
  }
};

// 8-bit: the max merge straight into the row.
void rowMax8(const SPlotter&, uint8_t* row, int32_t, int32_t, const uint8_t* cov, int32_t n, uint32_t value) {
  for (int32_t i = 0; i < n; ++i) plotMax(row + i, value, cov[i]);
}

}  // namespace

RowPlot32 rowPlotter32(const SPlotter& s) {
  if (s.plotProc32 == &plotColorDirect) return SRowFor<SDirect>::get(s, &rowDirectAnyOp);
  if (s.plotProc32 == &plotColorThroughSelection) {
    if (s.plotSelectionMask == nullptr) return SRowFor<SDirect>::get(s, &rowSkipZeroAnyOp);
    return SRowFor<SSelection>::get(s, &rowSelectionAnyOp);
  }
  return &reference::plotRow32;
}

RowPlot8 rowPlotter8(const SPlotter& s) {
  if (s.plotProc8 == &plotDirect && s.plotBaseOp8 == &plotMax) return &rowMax8;
  return &reference::plotRow8;
}

}  // namespace pg
