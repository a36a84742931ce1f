#include "filters/median_filter.h"

#include <algorithm>
#include <new>
#include <vector>

#include "filters/kernel_context.h"
#include "filters/record_bytes.h"

namespace pg {

bool readMedianRecord(const void* param, int32_t size, SFltMedian& out) {
  const uint8_t* p = recordBytes(param, size, kMedianRecordSize);
  if (p == nullptr) return false;
  out.radius = p[0];
  out.protect = p[1];
  return true;
}

void writeMedianRecord(const SFltMedian& rec, uint8_t out[kMedianRecordSize]) {
  std::fill_n(out, kMedianRecordSize, uint8_t{0});
  out[0] = rec.radius;
  out[1] = rec.protect;
}

uint32_t medianSelectLiteral(const uint32_t* counts, uint32_t target) {
  uint64_t low = 0, high = 0;
  for (uint32_t i = 0; i < 256; ++i) {
    low += counts[i];
    high += counts[255 - i];
    if (low >= target) return i;
    if (high >= target) return 255 - i;
  }
  return 0;
}

namespace {

// A histogram of 256 counters with 16 sums of 16 beside them. The coarse
// bin of the last answer is kept as the start of the next search:
// neighbouring windows have nearby medians, so the bin moves a step or two
// and the fine walk reads at most 16 counters.
struct SHistogram {
  uint32_t fine[256] = {};
  uint32_t coarse[16] = {};
  uint32_t bin = 0;

  void add(uint32_t v) {
    ++fine[v];
    ++coarse[v >> 4];
  }
  void remove(uint32_t v) {
    --fine[v];
    --coarse[v >> 4];
  }
  // The k-th smallest value (1 <= k <= the number counted).
  uint32_t kth(uint32_t k) {
    uint32_t below = 0;
    for (uint32_t i = 0; i < bin; ++i) below += coarse[i];
    while (bin > 0 && below >= k) below -= coarse[--bin];
    while (bin < 15 && below + coarse[bin] < k) below += coarse[bin++];
    uint32_t v = bin << 4, count = below;
    while (count + fine[v] < k) count += fine[v++];
    return v;
  }
  // medianSelectLiteral's answer for the target ceil(total / 2) of `total`
  // values counted: the low walk reaches it at the target-th smallest value
  // L (step L), the high walk at the target-th largest H (step 255 - H),
  // which is the (total - target + 1)-th smallest: L itself for an odd
  // total, the next one for an even total. The earlier step wins, the low
  // side on a tie.
  uint32_t selectHalf(uint32_t total) {
    const uint32_t t = (total + 1) / 2;
    if (t == 0) return 0;
    const uint32_t low = kth(t);
    const uint32_t high = (total & 1) != 0 ? low : kth(t + 1);
    return low <= 255 - high ? low : high;
  }
};

// The four histograms of a window: the colour ones count only the n pixels
// with alpha, the alpha one all N pixels of the window.
struct SMedianWindow {
  SHistogram b, g, r, a;
  uint32_t n = 0;
  uint32_t all = 0;

  void add(uint32_t p) {
    a.add(p >> 24);
    ++all;
    if ((p >> 24) == 0) return;
    b.add(p & 0xFFu);
    g.add((p >> 8) & 0xFFu);
    r.add((p >> 16) & 0xFFu);
    ++n;
  }
  void remove(uint32_t p) {
    a.remove(p >> 24);
    --all;
    if ((p >> 24) == 0) return;
    b.remove(p & 0xFFu);
    g.remove((p >> 8) & 0xFFu);
    r.remove((p >> 16) & 0xFFu);
    --n;
  }
  // Colours at ceil(n / 2) (0 without any coloured pixel); alpha at
  // floor(N / 2) + 1, which for the odd N of a square window is ceil(N / 2)
  // as well.
  uint32_t result() {
    return b.selectHalf(n) | (g.selectHalf(n) << 8) | (r.selectHalf(n) << 16) | (a.selectHalf(all) << 24);
  }
};

// The unfiltered layer with its edge pixels repeated outward.
struct SClampedSource {
  const TMTC& plane;
  int32_t w, h;
  uint32_t at(int32_t x, int32_t y) const {
    return plane.getPixel(x < 0 ? 0 : (x >= w ? w - 1 : x), y < 0 ? 0 : (y >= h ? h - 1 : y));
  }
};

struct SMedianSetup {
  int32_t r = 0;
  uint32_t alphaTarget = 0;
  bool keep = false;
};

bool setup(const SFlt4Context& ctx, const SFltMedian& rec, SMedianSetup& s) {
  if (!isValidContext(&ctx)) return false;
  s.r = std::min<int32_t>(rec.radius, kMedianMaxRadius);
  const uint32_t side = static_cast<uint32_t>(2 * s.r + 1);
  s.alphaTarget = side * side / 2 + 1;
  s.keep = rec.protect != 0 || ctx.protectAlpha != 0;
  return true;
}

// Writes a row of results (results[i] for x = region.Left + i).
[[nodiscard]] bool writeRow(const SFlt4Context& ctx, int32_t y, const std::vector<uint32_t>& results, bool keep) {
  const TRect row{ctx.region.Left, y, ctx.region.Right, y + 1};
  return forEachSelectedPixel(ctx, row, [&](int32_t x, int32_t, uint32_t* p, uint32_t w) {
    writeWeighted(p, results[static_cast<size_t>(x - ctx.region.Left)], w, keep);
  });
}

}  // namespace

bool medianFilter(const SFlt4Context& ctx, const SFltMedian& rec) {
  SMedianSetup s;
  if (!setup(ctx, rec, s)) return false;
  const SClampedSource src{*ctx.workImage, ctx.image->width(), ctx.image->height()};
  const TRect& g = ctx.region;
  const int32_t r = s.r;
  std::vector<uint32_t> results;
  try {
    results.resize(static_cast<size_t>(g.Right - g.Left));
  } catch (const std::bad_alloc&) {
    return false;
  }
  SMedianWindow window;
  SMedianWindow* win = &window;
  // The window at the first pixel, then a serpentine walk: along a row, one
  // row down, back along the next. Each step swaps one row or column of the
  // window in the histograms.
  for (int32_t j = -r; j <= r; ++j)
    for (int32_t i = -r; i <= r; ++i) win->add(src.at(g.Left + i, g.Top + j));
  bool ok = true;
  for (int32_t y = g.Top; y < g.Bottom && ok; ++y) {
    const bool rightward = ((y - g.Top) & 1) == 0;
    const int32_t n = g.Right - g.Left;
    for (int32_t step = 0; step < n; ++step) {
      const int32_t x = rightward ? g.Left + step : g.Right - 1 - step;
      if (step > 0) {
        // Came from x - 1 (rightward) or x + 1 (leftward).
        const int32_t leaving = rightward ? x - 1 - r : x + 1 + r;
        const int32_t entering = rightward ? x + r : x - r;
        for (int32_t j = -r; j <= r; ++j) {
          win->remove(src.at(leaving, y + j));
          win->add(src.at(entering, y + j));
        }
      }
      results[static_cast<size_t>(x - g.Left)] = win->result();
    }
    ok = writeRow(ctx, y, results, s.keep);
    if (y + 1 < g.Bottom) {
      const int32_t x = rightward ? g.Right - 1 : g.Left;
      for (int32_t i = -r; i <= r; ++i) {
        win->remove(src.at(x + i, y - r));
        win->add(src.at(x + i, y + r + 1));
      }
    }
  }
  return ok;
}

bool medianFilterReference(const SFlt4Context& ctx, const SFltMedian& rec) {
  SMedianSetup s;
  if (!setup(ctx, rec, s)) return false;
  const SClampedSource src{*ctx.workImage, ctx.image->width(), ctx.image->height()};
  std::vector<uint32_t> results;
  try {
    results.resize(static_cast<size_t>(ctx.region.Right - ctx.region.Left));
  } catch (const std::bad_alloc&) {
    return false;
  }
  for (int32_t y = ctx.region.Top; y < ctx.region.Bottom; ++y) {
    for (int32_t x = ctx.region.Left; x < ctx.region.Right; ++x) {
      uint32_t hb[256] = {}, hg[256] = {}, hr[256] = {}, ha[256] = {}, n = 0;
      for (int32_t j = -s.r; j <= s.r; ++j)
        for (int32_t i = -s.r; i <= s.r; ++i) {
          const uint32_t p = src.at(x + i, y + j);
          ++ha[p >> 24];
          if ((p >> 24) == 0) continue;
          ++hb[p & 0xFFu];
          ++hg[(p >> 8) & 0xFFu];
          ++hr[(p >> 16) & 0xFFu];
          ++n;
        }
      const uint32_t t = (n + 1) / 2;
      results[static_cast<size_t>(x - ctx.region.Left)] =
          medianSelectLiteral(hb, t) | (medianSelectLiteral(hg, t) << 8) | (medianSelectLiteral(hr, t) << 16) |
          (medianSelectLiteral(ha, s.alphaTarget) << 24);
    }
    if (!writeRow(ctx, y, results, s.keep)) return false;
  }
  return true;
}

bool medianKernel(const SFlt4Context* ctx, const void* param, int32_t size) {
  return recordKernel<SFltMedian, readMedianRecord, medianFilter>(ctx, param, size);
}

}  // namespace pg
