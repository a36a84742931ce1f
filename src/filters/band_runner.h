#pragma once
// The run of a filter whose every pixel depends on the work image alone
// (the layer's pixels before the filter), so that rows can be computed and
// written on every core at once.
#include <algorithm>
#include <atomic>
#include <cstdint>
#include <cstring>
#include <new>
#include <vector>

#include "core/parallel.h"
#include "filters/kernel_context.h"

namespace pg {

// Runs such a filter over region (clipped to the image), a band of rows at a
// time. This thread reads the band's selection weights and commits the tiles
// that hold selected pixels (those forEachSelectedPixel would commit: the
// tile pool has one user at a time); then every core takes rows:
// computeRow(y, left, n, colours, has, worker) fills the row's pixels left ..
// left + n - 1 (has[i] 0 leaves a pixel as it is; worker tells whose scratch
// to use, 0 .. parallelWorkers() - 1), and the row's selected pixels are
// written into the layer at once with write(p, colour, weight). A row touches
// only its own pixels and each pixel is computed and written the same way on
// any thread, so the bytes never depend on the thread count. A stretch
// whose every pixel is computed and wholly selected goes to
// writeFull(p, colours, n) instead, which must give the bytes of write at
// weight 255. False when a buffer or a tile could not be had or a row threw.
template <typename ComputeRow, typename Write, typename WriteFull>
[[nodiscard]] bool filterRowsInBands(const SFlt4Context& ctx, TRect region, ComputeRow&& computeRow, Write&& write,
                                     WriteFull&& writeFull) {
  CBlockVMTC& image = *ctx.image;
  if (!image.clipRect(region)) return true;
  constexpr int32_t kBandRows = 64;
  constexpr int32_t kEdge = CBlockVMTC::kEdge;
  constexpr int32_t kPrefetchRows = 4;
  const int32_t left = region.Left, right = region.Right;
  const auto spanLength = [right](int32_t x) { return std::min(kEdge - (x & (kEdge - 1)), right - x); };
  const size_t rw = static_cast<size_t>(right - left);
  const size_t spans = static_cast<size_t>(((right - 1) / kEdge) - (left / kEdge) + 1);
  const size_t workers = static_cast<size_t>(parallelWorkers());
  std::vector<uint8_t> weights, has;
  std::vector<uint8_t> selected;  // per row and span: 0 none, 1 some, 2 every pixel at 255
  std::vector<uint32_t> colours;
  std::vector<int32_t> committedRow;  // per span column: the tile row last committed
  try {
    weights.assign(rw * kBandRows, 0);
    selected.assign(spans * kBandRows, 0);
    colours.assign(rw * workers, 0);
    has.assign(rw * workers, 0);
    committedRow.assign(spans, -1);
  } catch (const std::bad_alloc&) {
    return false;
  }
  std::atomic<bool> missing{false};
  for (int32_t y0 = region.Top; y0 < region.Bottom; y0 += kBandRows) {
    const int32_t rows = std::min(kBandRows, region.Bottom - y0);
    for (int32_t r = 0; r < rows; ++r) {
      const int32_t y = y0 + r;
      size_t s = 0;
      for (int32_t x = left; x < right; x += spanLength(x), ++s) {
        uint8_t* w = weights.data() + static_cast<size_t>(r) * rw + static_cast<size_t>(x - left);
        bool whole = false;
        const bool any = selectionSpan(ctx, x, y, spanLength(x), w, &whole);
        selected[static_cast<size_t>(r) * spans + s] = any ? (whole ? 2 : 1) : 0;
        if (!any || committedRow[s] == y / kEdge) continue;
        if (image.pixelPtr(x, y) == nullptr) return false;
        committedRow[s] = y / kEdge;
      }
    }
    const bool ran = parallelFor(rows, [&](int64_t r, int worker) {
      const int32_t y = y0 + static_cast<int32_t>(r);
      uint32_t* colour = colours.data() + static_cast<size_t>(worker) * rw;
      uint8_t* done = has.data() + static_cast<size_t>(worker) * rw;
      computeRow(y, left, static_cast<int32_t>(rw), colour, done, worker);
      const uint8_t* w = weights.data() + static_cast<size_t>(r) * rw;
      size_t s = 0;
      for (int32_t x = left; x < right; x += spanLength(x), ++s) {
        const uint8_t selection = selected[static_cast<size_t>(r) * spans + s];
        if (selection == 0) continue;
        uint32_t* p = image.pixelAddress(x, y, false);  // committed above
        if (p == nullptr) {
          missing = true;
          return;
        }
        // The rows of a tile lie one after the other, the tiles of a row far
        // apart: the span of a later row is asked for now, so that memory is
        // on its way by the time that row is written (every cache line a
        // span can take; a prefetch never faults).
        if ((y & (kEdge - 1)) < kEdge - kPrefetchRows)
          for (int32_t line = 0; line < kEdge; line += 16) __builtin_prefetch(p + kPrefetchRows * kEdge + line, 1);
        const size_t at = static_cast<size_t>(x - left);
        const int32_t n = spanLength(x);
        if (selection == 2 && std::memchr(done + at, 0, static_cast<size_t>(n)) == nullptr) {
          writeFull(p, colour + at, n);
          continue;
        }
        for (int32_t i = 0; i < n; ++i)
          if (done[at + size_t(i)] != 0 && w[at + size_t(i)] != 0)
            write(p + i, colour[at + size_t(i)], static_cast<uint32_t>(w[at + size_t(i)]));
      }
    });
    if (!ran || missing.load()) return false;
  }
  return true;
}

}  // namespace pg
