#include "filters/motion_blur_filters.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <new>
#include <numbers>
#include <vector>

#include "core/det_math.h"
#include "core/fixed_point.h"
#include "filters/kernel_context.h"
#include "filters/record_bytes.h"
#include "filters/samplers.h"

namespace pg {

// ------------------------------------------------------------------ records

bool readMotionBlurRecord(const void* param, int32_t size, SFltMotionBlur& out) {
  const uint8_t* p = recordBytes(param, size, kMotionBlurRecordSize);
  if (p == nullptr) return false;
  out.distance = p[0];
  out.mode = p[1];
  out.angle = readRecI16(p + 2);
  out.oldAngle = readRecF32(p + 4);
  return true;
}

void writeMotionBlurRecord(const SFltMotionBlur& rec, uint8_t out[kMotionBlurRecordSize]) {
  out[0] = rec.distance;
  out[1] = rec.mode;
  writeRecI16(out + 2, rec.angle);
  writeRecF32(out + 4, rec.oldAngle);
}

bool readZoomBlurRecord(const void* param, int32_t size, SFltZoomBlur& out) {
  const uint8_t* p = recordBytes(param, size, kZoomBlurRecordSize);
  if (p == nullptr) return false;
  out.centreX = readRecI16(p);
  out.centreY = readRecI16(p + 2);
  out.amount = p[4];
  out.protect = p[5];
  out.mode = p[6];
  return true;
}

void writeZoomBlurRecord(const SFltZoomBlur& rec, uint8_t out[kZoomBlurRecordSize]) {
  writeRecI16(out, rec.centreX);
  writeRecI16(out + 2, rec.centreY);
  out[4] = rec.amount;
  out[5] = rec.protect;
  out[6] = rec.mode;
  out[7] = 0;
}

int32_t twoTapPassCount(double halfLength) {
  int32_t n = 0;
  for (double h = halfLength; h >= 0.5; h /= 2) ++n;
  return n;
}

namespace {

// ------------------------------------------------------------ pass engine

// One pass: the area it rewrites and its offset (motion: the 16.16 vector;
// zoom: the scale step k in dx).
struct SPass {
  TRect area;
  int32_t dx = 0;
  int32_t dy = 0;
};

TRect growClipped(const TRect& r, int64_t gx, int64_t gy, int32_t w, int32_t h) {
  return {static_cast<int32_t>(std::max<int64_t>(0, r.Left - gx)), static_cast<int32_t>(std::max<int64_t>(0, r.Top - gy)),
          static_cast<int32_t>(std::min<int64_t>(w, r.Right + gx)), static_cast<int32_t>(std::min<int64_t>(h, r.Bottom + gy))};
}

inline int32_t clampFix(int64_t v, int32_t size) {
  const int64_t hi = int64_t{size} * 65536 - 1;
  return static_cast<int32_t>(v < 0 ? 0 : (v > hi ? hi : v));
}

// The buffers of the passes: the view's work plane (layer coordinates, the
// unfiltered pixels at the start) and a temporary plane over `cover`. A read
// of the temporary plane outside `cover` answers the unfiltered pixel, which
// is what a temporary plane as large as the layer would hold there.
struct SPassBuffers {
  const SFlt4Context& ctx;
  TRect cover;
  TMTC temp;
  int32_t w, h;
  std::vector<uint32_t> rowSums;  // five sums a pixel of a pass row (motion passes)

  SPassBuffers(const SFlt4Context& c, const TRect& coverRect)
      : ctx(c), cover(coverRect), w(c.image->width()), h(c.image->height()) {}

  // The temporary plane holds the unfiltered pixels of its cover.
  bool init() {
    if (!temp.Resize(cover.Right - cover.Left, cover.Bottom - cover.Top)) return false;
    try {
      rowSums.resize(5 * static_cast<size_t>(cover.Right - cover.Left));
    } catch (const std::bad_alloc&) {
      return false;
    }
    for (int32_t y = cover.Top; y < cover.Bottom; ++y)
      std::copy_n(ctx.workImage->pixelAt(cover.Left, y), cover.Right - cover.Left, temp.pixelAt(0, y - cover.Top));
    return true;
  }
  uint32_t readWork(int32_t x, int32_t y) const { return ctx.workImage->getPixel(x, y); }
  uint32_t readTemp(int32_t x, int32_t y) const {
    if (x >= cover.Left && x < cover.Right && y >= cover.Top && y < cover.Bottom)
      return temp.getPixel(x - cover.Left, y - cover.Top);
    return ctx.source->getPixel(x, y);
  }
  uint32_t* at(bool tempBuffer, int32_t x, int32_t y) {
    return tempBuffer ? temp.pixelAt(x - cover.Left, y - cover.Top) : ctx.workImage->pixelAt(x, y);
  }
  uint32_t read(bool tempBuffer, int32_t x, int32_t y) const { return tempBuffer ? readTemp(x, y) : readWork(x, y); }
};

// Runs one pass from one buffer into the other: points(x, y, p) fills the
// two 16.16 sample points p[0..3].
template <bool Sat, bool FromTemp, class Points>
void runPairPass(SPassBuffers& b, const TRect& area, bool keepAlpha, Points&& points) {
  const auto fetch = [&b](int32_t x, int32_t y) { return FromTemp ? b.readTemp(x, y) : b.readWork(x, y); };
  int32_t p[4];
  for (int32_t y = area.Top; y < area.Bottom; ++y) {
    uint32_t* out = b.at(!FromTemp, area.Left, y);
    for (int32_t x = area.Left; x < area.Right; ++x, ++out) {
      points(x, y, p);
      const uint32_t c = bilinearPairClampEdgeFetch<Sat>(fetch, b.w, b.h, p[0], p[1], p[2], p[3]);
      *out = keepAlpha ? (*out & 0xFF000000u) | (c & 0x00FFFFFFu) : c;
    }
  }
}

// The tap sums of the pixels x0 .. x0 + n - 1 of a motion pass row (the
// bilinearTapPixel arithmetic, eight pixels to a step): rows[k][j] is row j
// of point k's taps, already moved by the point's whole-pixel offset. Built
// also for AVX2, chosen when the processor has it.
__attribute__((target_clones("avx2", "default"))) void motionTapSums(const uint32_t* const* rows, const uint32_t* wt,
                                                                    int32_t x0, int32_t n, uint32_t* sA, uint32_t* sB,
                                                                    uint32_t* sG, uint32_t* sR, uint32_t* sT) {
  using V = uint32_t __attribute__((vector_size(32)));
  int32_t i = 0;
  for (; i + 8 <= n; i += 8) {
    V a{}, bb{}, g{}, r{}, t{};
    for (int k = 0; k < 8; ++k) {
      V p;
      std::memcpy(&p, rows[k >> 1] + x0 + i + (k & 1), sizeof p);
      const V wa = (p >> 24) * wt[k];
      V wn = (wa >> 8) + (wa >> 16) + (wa >> 24);
      wn += wn >> 23;
      a += wa;
      bb += (p & 0xFFu) * wn;
      g += ((p >> 8) & 0xFFu) * wn;
      r += ((p >> 16) & 0xFFu) * wn;
      t += wn;
    }
    std::memcpy(sA + i, &a, sizeof a);
    std::memcpy(sB + i, &bb, sizeof bb);
    std::memcpy(sG + i, &g, sizeof g);
    std::memcpy(sR + i, &r, sizeof r);
    std::memcpy(sT + i, &t, sizeof t);
  }
  for (; i < n; ++i) {
    SBilinearSums acc;
    for (int k = 0; k < 8; ++k) bilinearTapPixel(acc, wt[k], rows[k >> 1][x0 + i + (k & 1)]);
    sA[i] = acc.A;
    sB[i] = acc.B;
    sG[i] = acc.G;
    sR[i] = acc.R;
    sT[i] = acc.total;
  }
}

// A motion pass: every sample point is the pixel moved by +-(dx, dy), so
// all points share their fractions and tap weights. Where both points and
// their right and lower neighbours lie inside the buffer read, the taps are
// read straight from its rows; elsewhere (clamped points, the temporary
// plane's edge) the general pass does the pixel.
template <bool Sat, bool FromTemp>
void runMotionPass(SPassBuffers& b, const TRect& area, bool keepAlpha, int32_t dx, int32_t dy) {
  const auto fetch = [&b](int32_t x, int32_t y) { return FromTemp ? b.readTemp(x, y) : b.readWork(x, y); };
  // What the rows can be read from directly: the temporary plane's cover, or
  // the whole layer in the work plane.
  const TRect direct = FromTemp ? b.cover : TRect{0, 0, b.w, b.h};
  const int32_t ox[2] = {dx >> 16, (-dx) >> 16}, oy[2] = {dy >> 16, (-dy) >> 16};
  uint32_t wt[2][4];
  for (int k = 0; k < 2; ++k) {
    const uint32_t fx = bilinearFraction(k == 0 ? dx : -dx), fy = bilinearFraction(k == 0 ? dy : -dy);
    wt[k][0] = ((4096 - fx) * (4096 - fy)) >> 1;
    wt[k][1] = (fx * (4096 - fy)) >> 1;
    wt[k][2] = ((4096 - fx) * fy) >> 1;
    wt[k][3] = (fx * fy) >> 1;
  }
  // Columns whose taps all lie inside: direct.Left <= x + ox and x + ox + 1 < direct.Right.
  const int32_t xa = std::max({area.Left, direct.Left - ox[0], direct.Left - ox[1]});
  const int32_t xb = std::min({area.Right, direct.Right - 1 - ox[0], direct.Right - 1 - ox[1]});
  const int32_t w = b.w, h = b.h;
  const auto general = [&](int32_t x, int32_t y, uint32_t* out) {
    const int64_t px = int64_t{x} * 65536, py = int64_t{y} * 65536;
    const uint32_t c = bilinearPairClampEdgeFetch<Sat>(fetch, w, h, clampFix(px + dx, w), clampFix(py + dy, h),
                                                       clampFix(px - dx, w), clampFix(py - dy, h));
    *out = keepAlpha ? (*out & 0xFF000000u) | (c & 0x00FFFFFFu) : c;
  };
  for (int32_t y = area.Top; y < area.Bottom; ++y) {
    uint32_t* out = b.at(!FromTemp, area.Left, y);
    const bool rowsInside = y + oy[0] >= direct.Top && y + oy[0] + 1 < direct.Bottom && y + oy[1] >= direct.Top &&
                            y + oy[1] + 1 < direct.Bottom;
    if (!rowsInside || xa >= xb) {
      for (int32_t x = area.Left; x < area.Right; ++x) general(x, y, out + (x - area.Left));
      continue;
    }
    for (int32_t x = area.Left; x < xa; ++x) general(x, y, out + (x - area.Left));
    // Taps in the order point 1 (row 0 left, right; row 1 left, right), point 2 likewise.
    const uint32_t* rows[4];
    for (int k = 0; k < 2; ++k)
      for (int j = 0; j < 2; ++j)
        rows[2 * k + j] = FromTemp ? b.temp.pixelAt(0, y + oy[k] + j - b.cover.Top) - b.cover.Left + ox[k]
                                   : b.ctx.workImage->pixelAt(0, y + oy[k] + j) + ox[k];
    uint32_t* sums = b.rowSums.data();
    const size_t n = static_cast<size_t>(xb - xa);
    motionTapSums(rows, &wt[0][0], xa, xb - xa, sums, sums + n, sums + 2 * n, sums + 3 * n, sums + 4 * n);
    for (size_t i = 0; i < n; ++i) {
      SBilinearSums acc;
      acc.A = sums[i];
      acc.B = sums[n + i];
      acc.G = sums[2 * n + i];
      acc.R = sums[3 * n + i];
      acc.total = sums[4 * n + i];
      const uint32_t c = bilinearResult<Sat>(acc);
      uint32_t* o = out + (xa + static_cast<int32_t>(i) - area.Left);
      *o = keepAlpha ? (*o & 0xFF000000u) | (c & 0x00FFFFFFu) : c;
    }
    for (int32_t x = std::max(xa, xb); x < area.Right; ++x) general(x, y, out + (x - area.Left));
  }
}

// Writes the buffer the last pass wrote onto the layer over the region, then
// puts the unfiltered pixels back into the work plane where passes wrote it.
[[nodiscard]] bool finishPasses(const SFlt4Context& ctx, SPassBuffers& b, bool lastInTemp, const TRect* workWritten) {
  const bool keep = ctx.protectAlpha != 0;
  const bool ok = forEachSelectedPixel(ctx, ctx.region, [&](int32_t x, int32_t y, uint32_t* p, uint32_t weight) {
    writeWeighted(p, b.read(lastInTemp, x, y), weight, keep);
  });
  if (workWritten != nullptr) {
    const TRect& r = *workWritten;
    ctx.source->copyToPlaneRect(*ctx.workImage, {r.Left, r.Top}, false, 255, rectToXYWH(r));
  }
  return ok;
}

// The passes of modes 1 and 2 and of the zoom blur: alternately temp and
// work; runPass(buffers, pass, from temp) runs one.
template <class RunPass>
[[nodiscard]] bool runAlternating(const SFlt4Context& ctx, const std::vector<SPass>& passes, TRect cover, RunPass&& runPass) {
  if (passes.empty()) return true;
  SPassBuffers b(ctx, cover);
  if (!b.init()) return false;
  bool fromTemp = false;
  for (const SPass& pass : passes) {
    runPass(b, pass, fromTemp);
    fromTemp = !fromTemp;
  }
  // The second pass wrote the largest area of the work plane.
  return finishPasses(ctx, b, fromTemp, passes.size() > 1 ? &passes[1].area : nullptr);
}

// Everything that passes read lies within the first pass's area grown by its
// margin and one pixel more; the rest comes from the unfiltered copy.
TRect passCover(const SFlt4Context& ctx, const std::vector<SPass>& passes, int64_t mx, int64_t my) {
  return passes.empty() ? ctx.region
                        : growClipped(passes.front().area, mx + 2, my + 2, ctx.image->width(), ctx.image->height());
}

// ------------------------------------------------------------ motion blur

std::vector<SPass> motionPasses(const SFlt4Context& ctx, double length, double theta, int64_t& mx, int64_t& my) {
  std::vector<SPass> passes;
  const double c = dmath::cos(theta), s = dmath::sin(theta);
  mx = my = 0;
  for (double h = length / 2; h >= 0.5; h /= 2) {
    SPass p;
    p.dx = roundToInt32(c * h * 65536.0);
    p.dy = roundToInt32(s * h * 65536.0);
    const int64_t gx = (std::abs(int64_t{p.dx}) + 65535) >> 16, gy = (std::abs(int64_t{p.dy}) + 65535) >> 16;
    if (passes.empty()) {
      mx = gx;
      my = gy;
    }
    p.area = growClipped(ctx.region, gx, gy, ctx.image->width(), ctx.image->height());
    passes.push_back(p);
  }
  return passes;
}

// Mode 0: one working copy; each pass's result goes back into it.
[[nodiscard]] bool motionBlurOld(const SFlt4Context& ctx, const SFltMotionBlur& rec) {
  int64_t mx = 0, my = 0;
  const double theta = static_cast<double>(rec.oldAngle) * std::numbers::pi / 180.0;
  const std::vector<SPass> passes = motionPasses(ctx, rec.distance, theta, mx, my);
  if (passes.empty()) return true;
  const TRect first = passes.front().area;
  TMTC temp(first.Right - first.Left, first.Bottom - first.Top);
  if (!isPlaneReady(&temp)) return false;
  TMTC& work = *ctx.workImage;
  const int32_t w = ctx.image->width(), h = ctx.image->height();
  const bool keep = ctx.protectAlpha != 0;
  const auto fetch = [&work](int32_t x, int32_t y) { return work.getPixel(x, y); };
  for (const SPass& pass : passes) {
    const TRect& a = pass.area;
    for (int32_t y = a.Top; y < a.Bottom; ++y)
      for (int32_t x = a.Left; x < a.Right; ++x) {
        const int64_t px = int64_t{x} * 65536 + 32768, py = int64_t{y} * 65536 + 32768;
        const uint32_t s1 = bilinearClampEdgeFetch<true>(fetch, w, h, clampFix(px + pass.dx, w), clampFix(py + pass.dy, h));
        const uint32_t s2 = bilinearClampEdgeFetch<true>(fetch, w, h, clampFix(px - pass.dx, w), clampFix(py - pass.dy, h));
        const uint32_t a1 = pixelAlpha(s1), a2 = pixelAlpha(s2);
        uint32_t out = work.getPixel(x, y);
        if (!keep) out = (out & 0x00FFFFFFu) | (((a1 + a2) / 2) << 24);
        if (a1 + a2 != 0) {
          uint32_t colour = 0;
          for (int i = 0; i < 3; ++i)
            colour |= std::min(255u, (pixelByte(s1, i) * a1 + pixelByte(s2, i) * a2) / (a1 + a2)) << (8 * i);
          out = (out & 0xFF000000u) | colour;
        }
        *temp.pixelAt(x - first.Left, y - first.Top) = out;
      }
    for (int32_t y = a.Top; y < a.Bottom; ++y)
      std::copy_n(temp.pixelAt(a.Left - first.Left, y - first.Top), a.Right - a.Left, work.pixelAt(a.Left, y));
  }
  const bool ok = forEachSelectedPixel(ctx, ctx.region, [&](int32_t x, int32_t y, uint32_t* p, uint32_t weight) {
    writeWeighted(p, work.getPixel(x, y), weight, keep);
  });
  ctx.source->copyToPlaneRect(work, {first.Left, first.Top}, false, 255, rectToXYWH(first));
  return ok;
}

}  // namespace

bool motionBlur(const SFlt4Context& ctx, const SFltMotionBlur& rec) {
  if (!isValidContext(&ctx)) return false;
  if (rec.mode == 0) return motionBlurOld(ctx, rec);
  int64_t mx = 0, my = 0;
  const double theta = -static_cast<double>(rec.angle) * std::numbers::pi / 180.0;
  const std::vector<SPass> passes = motionPasses(ctx, rec.distance, theta, mx, my);
  const bool keep = ctx.protectAlpha != 0;
  const bool sat = rec.mode == 2;
  return runAlternating(ctx, passes, passCover(ctx, passes, mx, my), [&](SPassBuffers& b, const SPass& p, bool fromTemp) {
    if (sat)
      fromTemp ? runMotionPass<true, true>(b, p.area, keep, p.dx, p.dy)
               : runMotionPass<true, false>(b, p.area, keep, p.dx, p.dy);
    else
      fromTemp ? runMotionPass<false, true>(b, p.area, keep, p.dx, p.dy)
               : runMotionPass<false, false>(b, p.area, keep, p.dx, p.dy);
  });
}

bool motionBlurKernel(const SFlt4Context* ctx, const void* param, int32_t size) {
  return recordKernel<SFltMotionBlur, readMotionBlurRecord, motionBlur>(ctx, param, size);
}

// --------------------------------------------------------------- zoom blur

namespace {

struct SZoomGeometry {
  int64_t cx = 0, cy = 0;  // the centre, 16.16
  double diagonal = 0;
};

SZoomGeometry zoomGeometry(const SFlt4Context& ctx, const SFltZoomBlur& rec) {
  const TRect& r = ctx.bounds;
  SZoomGeometry g;
  g.cx = int64_t{rec.centreX} * 65536 + (int64_t{r.Left} + r.Right - 1) * 32768;
  g.cy = int64_t{rec.centreY} * 65536 + (int64_t{r.Top} + r.Bottom - 1) * 32768;
  const double w = r.Right - r.Left, h = r.Bottom - r.Top;
  g.diagonal = std::sqrt(w * w + h * h);
  return g;
}

std::vector<SPass> zoomPasses(const SFlt4Context& ctx, const SFltZoomBlur& rec, double diagonal, int64_t& margin) {
  std::vector<SPass> passes;
  margin = 0;
  for (double h = rec.amount / 2.0; h >= 0.5; h /= 2) {
    SPass p;
    p.dx = roundToInt32(h * 65536.0 / diagonal);  // k
    const int64_t m = static_cast<int64_t>(std::ceil(h));
    if (passes.empty()) margin = m;
    p.area = growClipped(ctx.region, m, m, ctx.image->width(), ctx.image->height());
    passes.push_back(p);
  }
  return passes;
}

auto zoomPoints(const SZoomGeometry& g, int32_t w, int32_t h) {
  return [g, w, h](const SPass& pass) {
    return [g, w, h, k = int64_t{pass.dx}](int32_t x, int32_t y, int32_t* p) {
      const int64_t px = int64_t{x} * 65536, py = int64_t{y} * 65536;
      // floor((P - C) * k / 65536): exact steps of 65536 +- k along a row.
      const int64_t dx = ((px - g.cx) * k) >> 16, dy = ((py - g.cy) * k) >> 16;
      p[0] = clampFix(px + dx, w);
      p[1] = clampFix(py + dy, h);
      p[2] = clampFix(px - dx, w);
      p[3] = clampFix(py - dy, h);
    };
  };
}

}  // namespace

bool zoomBlur(const SFlt4Context& ctx, const SFltZoomBlur& rec) {
  if (!isValidContext(&ctx)) return false;
  const SZoomGeometry g = zoomGeometry(ctx, rec);
  if (!(g.diagonal > 0)) return true;
  int64_t margin = 0;
  const std::vector<SPass> passes = zoomPasses(ctx, rec, g.diagonal, margin);
  const bool keep = ctx.protectAlpha != 0;
  const bool sat = rec.mode == 1;
  const auto pointsFor = zoomPoints(g, ctx.image->width(), ctx.image->height());
  return runAlternating(ctx, passes, passCover(ctx, passes, margin, margin),
                        [&](SPassBuffers& b, const SPass& p, bool fromTemp) {
                          auto points = pointsFor(p);
                          if (sat)
                            fromTemp ? runPairPass<true, true>(b, p.area, keep, points)
                                     : runPairPass<true, false>(b, p.area, keep, points);
                          else
                            fromTemp ? runPairPass<false, true>(b, p.area, keep, points)
                                     : runPairPass<false, false>(b, p.area, keep, points);
                        });
}

bool zoomBlurKernel(const SFlt4Context* ctx, const void* param, int32_t size) {
  return recordKernel<SFltZoomBlur, readZoomBlurRecord, zoomBlur>(ctx, param, size);
}

}  // namespace pg
