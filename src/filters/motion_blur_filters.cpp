#include "filters/motion_blur_filters.h"

#include <algorithm>
#include <cmath>
#include <numbers>
#include <vector>

#include "core/fixed_point.h"
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

  SPassBuffers(const SFlt4Context& c, const TRect& coverRect)
      : ctx(c), cover(coverRect), w(c.image->width()), h(c.image->height()) {}

  // The temporary plane holds the unfiltered pixels of its cover.
  bool init() {
    if (!temp.Resize(cover.Right - cover.Left, cover.Bottom - cover.Top)) return false;
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

// Writes the buffer the last pass wrote onto the layer over the region, then
// puts the unfiltered pixels back into the work plane where passes wrote it.
bool finishPasses(const SFlt4Context& ctx, SPassBuffers& b, bool lastInTemp, const TRect* workWritten) {
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

// The passes of modes 1 and 2 and of the zoom blur: alternately temp and work.
template <class PointsFor>
bool runAlternating(const SFlt4Context& ctx, const std::vector<SPass>& passes, TRect cover, bool sat,
                    PointsFor&& pointsFor) {
  if (passes.empty()) return true;
  SPassBuffers b(ctx, cover);
  if (!b.init()) return false;
  const bool keep = ctx.protectAlpha != 0;
  bool fromTemp = false;
  for (const SPass& pass : passes) {
    auto points = pointsFor(pass);
    if (sat)
      fromTemp ? runPairPass<true, true>(b, pass.area, keep, points) : runPairPass<true, false>(b, pass.area, keep, points);
    else
      fromTemp ? runPairPass<false, true>(b, pass.area, keep, points)
               : runPairPass<false, false>(b, pass.area, keep, points);
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
  const double c = std::cos(theta), s = std::sin(theta);
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

auto motionPoints(int32_t w, int32_t h) {
  return [w, h](const SPass& pass) {
    return [w, h, dx = pass.dx, dy = pass.dy](int32_t x, int32_t y, int32_t* p) {
      const int64_t px = int64_t{x} * 65536, py = int64_t{y} * 65536;
      p[0] = clampFix(px + dx, w);
      p[1] = clampFix(py + dy, h);
      p[2] = clampFix(px - dx, w);
      p[3] = clampFix(py - dy, h);
    };
  };
}

// Mode 0: one working copy; each pass's result goes back into it.
bool motionBlurOld(const SFlt4Context& ctx, const SFltMotionBlur& rec) {
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
  return runAlternating(ctx, passes, passCover(ctx, passes, mx, my), rec.mode == 2,
                        motionPoints(ctx.image->width(), ctx.image->height()));
}

bool motionBlurKernel(const SFlt4Context* ctx, const void* param, int32_t size) {
  SFltMotionBlur rec;
  if (!readMotionBlurRecord(param, size, rec) || !isValidContext(ctx)) return false;
  return motionBlur(*ctx, rec);
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
  return runAlternating(ctx, passes, passCover(ctx, passes, margin, margin), rec.mode == 1,
                        zoomPoints(g, ctx.image->width(), ctx.image->height()));
}

bool zoomBlurKernel(const SFlt4Context* ctx, const void* param, int32_t size) {
  SFltZoomBlur rec;
  if (!readZoomBlurRecord(param, size, rec) || !isValidContext(ctx)) return false;
  return zoomBlur(*ctx, rec);
}

}  // namespace pg
