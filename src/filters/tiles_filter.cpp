#include "filters/tiles_filter.h"

#include <algorithm>
#include <cmath>

#include "filters/kernel_context.h"
#include "filters/record_bytes.h"

namespace pg {

namespace {

void tilesFields(CByteCursor& c, SFltTiles& r) {
  c.field(r.shape).field(r.thirdColour).field(r.width);
  for (uint32_t& colour : r.colours) c.field(colour);
}

}  // namespace

bool readTilesRecord(const void* param, int32_t size, SFltTiles& out) {
  return readFilterRecord(param, size, kTilesRecordSize, out, tilesFields);
}

void writeTilesRecord(const SFltTiles& rec, uint8_t out[kTilesRecordSize]) {
  // The span is the record's own size: the fields always fit.
  (void)writeRecord(out, kTilesRecordSize, rec, tilesFields);
}

int32_t tilesColourCount(const SFltTiles& rec) { return rec.thirdColour != 0 ? 3 : 2; }

namespace {

// The cell range of one axis that meets [from, to), for cells of `size`
// laid from `origin` and `count` cells in all.
struct SCellRange {
  int64_t first = 0, last = -1;
};
SCellRange cellsMeeting(int32_t origin, int64_t size, int64_t count, int32_t from, int32_t to) {
  SCellRange r;
  if (to <= from) return r;
  r.first = std::max<int64_t>(0, (int64_t{from} - origin) / size);
  r.last = std::min<int64_t>(count - 1, (int64_t{to} - 1 - origin) / size);
  return r;
}

inline int64_t ceilDiv(int64_t a, int64_t b) { return (a + b - 1) / b; }

// Writes `colour` at (x, y) of the cell, inside the region.
[[nodiscard]] bool paintCell(const SFlt4Context& ctx, const TRect& cell, bool keep, uint32_t colour) {
  TRect target = cell;
  if (!intersectRect(target, ctx.region)) return true;
  return forEachSelectedPixel(ctx, target, [&](int32_t, int32_t, uint32_t* p, uint32_t w) {
    writeWeighted(p, colour, w, keep);
  });
}

[[nodiscard]] bool squares(const SFlt4Context& ctx, const SFltTiles& rec, int32_t n, bool keep) {
  const TRect& work = ctx.bounds;
  const int64_t w = rec.width;
  const int64_t cols = ceilDiv(work.Right - work.Left, w), rows = ceilDiv(work.Bottom - work.Top, w);
  const SCellRange rr = cellsMeeting(work.Top, w, rows, ctx.region.Top, ctx.region.Bottom);
  const SCellRange cr = cellsMeeting(work.Left, w, cols, ctx.region.Left, ctx.region.Right);
  for (int64_t r = rr.first; r <= rr.last; ++r)
    for (int64_t c = cr.first; c <= cr.last; ++c) {
      // Cells at the right and bottom are cut by the work rectangle, not shrunk.
      const TRect cell{static_cast<int32_t>(work.Left + c * w), static_cast<int32_t>(work.Top + r * w),
                       static_cast<int32_t>(std::min<int64_t>(work.Left + c * w + w, work.Right)),
                       static_cast<int32_t>(std::min<int64_t>(work.Top + r * w + w, work.Bottom))};
      if (!paintCell(ctx, cell, keep, rec.colours[(r + c) % n])) return false;
    }
  return true;
}

// The alpha-weighted mix of the middle colour (1 - t) and the side colour (t);
// false when the mixed alpha is 0.
[[nodiscard]] bool mixTriangle(uint32_t middle, uint32_t side, double t, uint32_t& out) {
  const double am = pixelAlpha(middle) * (1.0 - t), as = pixelAlpha(side) * t;
  const double a = am + as;
  const uint32_t alpha = static_cast<uint32_t>(std::min(255.0, a));
  if (alpha == 0) return false;
  out = alpha << 24;
  for (int i = 0; i < 3; ++i) {
    const double c = (pixelByte(middle, i) * am + pixelByte(side, i) * as) / a;
    out |= static_cast<uint32_t>(std::clamp(c, 0.0, 255.0)) << (8 * i);
  }
  return true;
}

// Channel by channel mean of two colours, alphas added and halved.
uint32_t meanColour(uint32_t a, uint32_t b) {
  uint32_t out = 0;
  for (int i = 0; i < 4; ++i) out |= ((pixelByte(a, i) + pixelByte(b, i)) / 2) << (8 * i);
  return out;
}

[[nodiscard]] bool triangles(const SFlt4Context& ctx, const SFltTiles& rec, int32_t n, bool keep) {
  const TRect& work = ctx.bounds;
  const int32_t w = rec.width;
  const int32_t hr = static_cast<int32_t>(std::trunc(w * 0.8660254 + 0.5));
  const int64_t cols = ceilDiv(work.Right - work.Left, w), rows = ceilDiv(work.Bottom - work.Top, hr);
  const int32_t half = w / 2;
  const SCellRange rr = cellsMeeting(work.Top, hr, rows, ctx.region.Top, ctx.region.Bottom);
  const SCellRange cr = cellsMeeting(work.Left, w, cols, ctx.region.Left, ctx.region.Right);
  for (int64_t r = rr.first; r <= rr.last; ++r) {
    const int64_t top = work.Top + r * hr;
    const bool odd = (r & 1) != 0;
    for (int64_t c = cr.first; c <= cr.last; ++c) {
      const int64_t i = (r + 2 * c) % n;  // each cell of the row starts two colours on
      const uint32_t left = rec.colours[i], middle = rec.colours[(i + 1) % n], right = rec.colours[(i + 2) % n];
      const uint32_t centre = meanColour(left, right);
      const int64_t x0 = work.Left + c * w;
      TRect target{static_cast<int32_t>(x0), static_cast<int32_t>(top),
                   static_cast<int32_t>(std::min<int64_t>(x0 + w, work.Right)),
                   static_cast<int32_t>(std::min<int64_t>(top + hr, work.Bottom))};
      if (!intersectRect(target, ctx.region)) continue;
      const bool ok = forEachSelectedPixel(ctx, target, [&](int32_t x, int32_t y, uint32_t* p, uint32_t weight) {
        const int32_t u = static_cast<int32_t>(x - x0);
        const int32_t row = static_cast<int32_t>(y - top);
        const int32_t j = odd ? hr - 1 - row : row;
        // 0 inside the middle triangle, 1 a pixel beyond its edges.
        const double t = std::clamp(std::abs(half - u) - w * (j + 0.5) / (2.0 * hr), 0.0, 1.0);
        const uint32_t side = (w % 2 == 1 && u == half) ? centre : (u >= half ? right : left);
        uint32_t colour;
        if (mixTriangle(middle, side, t, colour)) writeWeighted(p, colour, weight, keep);
      });
      if (!ok) return false;
    }
  }
  return true;
}

}  // namespace

bool tiles(const SFlt4Context& ctx, const SFltTiles& rec) {
  if (!isValidContext(&ctx) || rec.width < 8 || rec.shape > 1) return false;
  const int32_t n = tilesColourCount(rec);
  const bool keep = ctx.protectAlpha != 0;
  return rec.shape == 1 ? squares(ctx, rec, n, keep) : triangles(ctx, rec, n, keep);
}

bool tilesKernel(const SFlt4Context* ctx, const void* param, int32_t size) {
  return recordKernel<SFltTiles, readTilesRecord, tiles>(ctx, param, size);
}

}  // namespace pg
