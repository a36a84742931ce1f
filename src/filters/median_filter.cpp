#include "filters/median_filter.h"

#include <algorithm>
#include <new>
#include <vector>

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

// A histogram of 256 counters with 16 sums of 16 beside them, so that the
// selection walks at most 32 counters a side instead of 256.
struct SHistogram {
  uint32_t fine[256] = {};
  uint32_t coarse[16] = {};

  void add(uint32_t v) {
    ++fine[v];
    ++coarse[v >> 4];
  }
  void remove(uint32_t v) {
    --fine[v];
    --coarse[v >> 4];
  }
  // medianSelectLiteral's answer: the low walk reaches the target at the
  // target-th smallest value L (step L), the high walk at the target-th
  // largest H (step 255 - H); the earlier step wins, the low side on a tie.
  uint32_t select(uint32_t target) const {
    if (target == 0) return 0;
    int32_t lowValue = -1, highValue = -1;
    uint32_t acc = 0;
    for (uint32_t b = 0; b < 16; ++b) {
      if (acc + coarse[b] >= target) {
        for (uint32_t v = b << 4;; ++v) {
          acc += fine[v];
          if (acc >= target) {
            lowValue = static_cast<int32_t>(v);
            break;
          }
        }
        break;
      }
      acc += coarse[b];
    }
    acc = 0;
    for (int32_t b = 15; b >= 0; --b) {
      if (acc + coarse[b] >= target) {
        for (int32_t v = (b << 4) + 15;; --v) {
          acc += fine[v];
          if (acc >= target) {
            highValue = v;
            break;
          }
        }
        break;
      }
      acc += coarse[b];
    }
    if (lowValue < 0) return 0;  // the total is below the target: neither side reaches it
    return lowValue <= 255 - highValue ? static_cast<uint32_t>(lowValue) : static_cast<uint32_t>(highValue);
  }
};

// The four histograms of a window and n, its number of pixels with alpha.
struct SMedianWindow {
  SHistogram b, g, r, a;
  uint32_t n = 0;

  void add(uint32_t p) {
    a.add(p >> 24);
    if ((p >> 24) == 0) return;
    b.add(p & 0xFFu);
    g.add((p >> 8) & 0xFFu);
    r.add((p >> 16) & 0xFFu);
    ++n;
  }
  void remove(uint32_t p) {
    a.remove(p >> 24);
    if ((p >> 24) == 0) return;
    b.remove(p & 0xFFu);
    g.remove((p >> 8) & 0xFFu);
    r.remove((p >> 16) & 0xFFu);
    --n;
  }
  uint32_t result(uint32_t alphaTarget) const {
    const uint32_t t = (n + 1) / 2;  // ceil(n / 2); 0 without any coloured pixel gives colour 0
    return b.select(t) | (g.select(t) << 8) | (r.select(t) << 16) | (a.select(alphaTarget) << 24);
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
bool writeRow(const SFlt4Context& ctx, int32_t y, const std::vector<uint32_t>& results, bool keep) {
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
      results[static_cast<size_t>(x - g.Left)] = win->result(s.alphaTarget);
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
  SFltMedian rec;
  if (!readMedianRecord(param, size, rec) || !isValidContext(ctx)) return false;
  return medianFilter(*ctx, rec);
}

}  // namespace pg
