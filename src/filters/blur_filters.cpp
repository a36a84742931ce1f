#include "filters/blur_filters.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <new>
#include <vector>

#include "core/det_math.h"
#include "filters/gaussian_weights.h"
#include "filters/kernel_loops.h"
#include "filters/record_bytes.h"

namespace pg {

// ----------------------------------------------------- fixed grids (size 0)

namespace {

constexpr SRectXYWH k3x3{-1, -1, 3, 3};
constexpr SRectXYWH k5x5{-2, -2, 5, 5};

bool runGrid(const SFlt4Context* ctx, int32_t size, const int32_t* weights, SRectXYWH window) {
  if (size != 0 || !isValidContext(ctx)) return false;
  return convolveMasked(ctx, weights, window, ctx->protectAlpha != 0, 0);
}

}  // namespace

bool blurBoxKernel(const SFlt4Context* ctx, const void*, int32_t size) {
  static constexpr int32_t w[9] = {1, 1, 1, 1, 1, 1, 1, 1, 1};
  return runGrid(ctx, size, w, k3x3);
}

bool blurKernel(const SFlt4Context* ctx, const void*, int32_t size) {
  static constexpr int32_t w[9] = {0, 1, 0, 1, 4, 1, 0, 1, 0};
  return runGrid(ctx, size, w, k3x3);
}

bool blurMoreBoxKernel(const SFlt4Context* ctx, const void*, int32_t size) {
  static constexpr int32_t w[25] = {1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1};
  return runGrid(ctx, size, w, k5x5);
}

bool blurMoreKernel(const SFlt4Context* ctx, const void*, int32_t size) {
  static constexpr int32_t w[9] = {1, 2, 1, 2, 2, 2, 1, 2, 1};
  return runGrid(ctx, size, w, k3x3);
}

bool sharpenKernel(const SFlt4Context* ctx, const void*, int32_t size) {
  static constexpr int32_t w[9] = {0, -1, 0, -1, 8, -1, 0, -1, 0};
  return runGrid(ctx, size, w, k3x3);
}

bool sharpenMoreKernel(const SFlt4Context* ctx, const void*, int32_t size) {
  static constexpr int32_t w[9] = {-1, -1, -1, -1, 12, -1, -1, -1, -1};
  return runGrid(ctx, size, w, k3x3);
}

// ----------------------------------------------------------- sharpen custom

int32_t sharpenCustomStrength(float amount) {
  double a = amount;
  if (!(a >= 0)) a = 0;  // negative or not a number
  if (a > 1) a = 1;
  return static_cast<int32_t>(std::trunc(dmath::pow(a * dmath::pow(240.0, 1.5) + 0.5, 2.0 / 3.0)));
}

bool sharpenCustom(const SFlt4Context& ctx, float amount) {
  if (!isValidContext(&ctx) || std::isnan(amount)) return false;
  const int32_t v = sharpenCustomStrength(amount);
  const int32_t w[9] = {0, -v, 0, -v, 999, -v, 0, -v, 0};
  return convolveMasked(&ctx, w, k3x3, ctx.protectAlpha != 0, 0);
}

bool sharpenCustomKernel(const SFlt4Context* ctx, const void* param, int32_t size) {
  const uint8_t* rec = recordBytes(param, size, kSharpenCustomRecordSize);
  if (rec == nullptr || !isValidContext(ctx)) return false;
  return sharpenCustom(*ctx, readRecF32(rec));
}

// ------------------------------------------------------------ Gaussian blur

namespace {

// What both forms of the Gaussian blur work from.
struct SGaussPlan {
  std::vector<int32_t> wx, wy;  // 16.16 weights, offset d at index n / 2 + d
  int32_t rh = 0, rv = 0;       // effective radii
  int32_t width = 0, height = 0;
  int32_t c0 = 0, c1 = 0;       // the temporary plane's columns
  TRect region{};
};

bool makePlan(const SFlt4Context& ctx, float amount, SGaussPlan& plan) {
  if (!isValidContext(&ctx) || !(amount > 0)) return false;
  const double sigma = std::min(amount, kGaussianMaxAmount);
  plan.width = ctx.image->width();
  plan.height = ctx.image->height();
  try {
    plan.wx.assign(static_cast<size_t>(plan.width), 0);
    plan.wy.assign(static_cast<size_t>(plan.height), 0);
  } catch (const std::bad_alloc&) {
    return false;
  }
  plan.rh = buildGaussianWeights(plan.wx.data(), plan.width, sigma);
  plan.rv = buildGaussianWeights(plan.wy.data(), plan.height, sigma);
  if (plan.rh < 0 || plan.rv < 0) return false;
  plan.region = ctx.region;
  plan.c0 = std::max(0, plan.region.Left - plan.rh);
  plan.c1 = std::min(plan.width, plan.region.Right + plan.rh);
  return true;
}

// Sums of the taps of one output pixel.
struct SGaussSums {
  uint64_t B = 0, G = 0, R = 0, W = 0, A = 0;
  uint32_t count = 0;
  void add(uint32_t p, int32_t t) {
    const uint64_t a = pixelAlpha(p), w = a * static_cast<uint64_t>(t >> 5);
    B += pixelByte(p, 0) * w;
    G += pixelByte(p, 1) * w;
    R += pixelByte(p, 2) * w;
    W += w;
    A += a;
    ++count;
  }
  bool ready() const { return W != 0 && count != 0; }
  uint32_t pixel() const {
    return static_cast<uint32_t>(B / W) | (static_cast<uint32_t>(G / W) << 8) | (static_cast<uint32_t>(R / W) << 16) |
           (static_cast<uint32_t>(A / count) << 24);
  }
};

inline bool inside(int64_t v, int64_t lo, int64_t hi) { return v >= lo && v < hi; }

// The horizontal pass at (x, y) over the temporary plane (its column 0 is
// layer column plan.c0, its row 0 layer row region.Top).
SGaussSums horizontalAt(const SGaussPlan& plan, const TMTC& temp, int32_t x, int32_t y) {
  SGaussSums s;
  const int32_t cx = plan.width / 2;
  const uint32_t* row = temp.pixelAt(0, y - plan.region.Top);
  for (int32_t d = -plan.rh; d <= plan.rh; ++d) {
    const int64_t idx = int64_t{cx} + d, xx = int64_t{x} + d;
    if (!inside(idx, 0, plan.width) || !inside(xx, 0, plan.width) || !inside(xx, plan.c0, plan.c1)) continue;
    s.add(row[xx - plan.c0], plan.wx[static_cast<size_t>(idx)]);
  }
  return s;
}

bool writeHorizontal(const SFlt4Context& ctx, const SGaussPlan& plan, const TMTC& temp) {
  const bool keep = ctx.protectAlpha != 0;
  return forEachSelectedPixel(ctx, plan.region, [&](int32_t x, int32_t y, uint32_t* p, uint32_t weight) {
    const SGaussSums s = horizontalAt(plan, temp, x, y);
    if (s.ready()) writeWeighted(p, s.pixel(), weight, keep);
  });
}

// Adds one tap row to the column sums: w = A * t; sums of C * w, w and A.
// Eight columns at a time in vector registers where the row allows; built
// also for AVX2, chosen when the processor has it (the integer sums are the
// same either way).
__attribute__((target_clones("avx2", "default"))) void accumulateTaps(const uint32_t* row, uint32_t t, int32_t n, uint32_t* sB, uint32_t* sG, uint32_t* sR,
                    uint32_t* sW, uint32_t* sA) {
  using V = uint32_t __attribute__((vector_size(32)));
  int32_t i = 0;
  for (; i + 8 <= n; i += 8) {
    V p, b, g, r, ws, as;
    std::memcpy(&p, row + i, sizeof p);
    std::memcpy(&b, sB + i, sizeof b);
    std::memcpy(&g, sG + i, sizeof g);
    std::memcpy(&r, sR + i, sizeof r);
    std::memcpy(&ws, sW + i, sizeof ws);
    std::memcpy(&as, sA + i, sizeof as);
    const V a = p >> 24, w = a * t;
    b += (p & 0xFFu) * w;
    g += ((p >> 8) & 0xFFu) * w;
    r += ((p >> 16) & 0xFFu) * w;
    ws += w;
    as += a;
    std::memcpy(sB + i, &b, sizeof b);
    std::memcpy(sG + i, &g, sizeof g);
    std::memcpy(sR + i, &r, sizeof r);
    std::memcpy(sW + i, &ws, sizeof ws);
    std::memcpy(sA + i, &as, sizeof as);
  }
  for (; i < n; ++i) {
    const uint32_t p = row[i], a = p >> 24, w = a * t;
    sB[i] += (p & 0xFFu) * w;
    sG[i] += ((p >> 8) & 0xFFu) * w;
    sR[i] += ((p >> 16) & 0xFFu) * w;
    sW[i] += w;
    sA[i] += a;
  }
}

}  // namespace

bool gaussianBlurReference(const SFlt4Context& ctx, float amount) {
  SGaussPlan plan;
  if (!makePlan(ctx, amount, plan)) return false;
  TMTC temp(plan.c1 - plan.c0, plan.region.Bottom - plan.region.Top);
  if (!isPlaneReady(&temp)) return false;
  const TMTC& src = *ctx.workImage;
  const int32_t cy = plan.height / 2;
  for (int32_t x = plan.c0; x < plan.c1; ++x)
    for (int32_t y = plan.region.Top; y < plan.region.Bottom; ++y) {
      SGaussSums s;
      for (int32_t d = -plan.rv; d <= plan.rv; ++d) {
        const int64_t idx = int64_t{cy} + d, yy = int64_t{y} + d;
        if (!inside(idx, 0, plan.height) || !inside(yy, 0, plan.height)) continue;
        s.add(src.getPixel(x, static_cast<int32_t>(yy)), plan.wy[static_cast<size_t>(idx)]);
      }
      if (s.ready()) *temp.pixelAt(x - plan.c0, y - plan.region.Top) = s.pixel();
    }
  return writeHorizontal(ctx, plan, temp);
}

bool gaussianBlur(const SFlt4Context& ctx, float amount) {
  SGaussPlan plan;
  if (!makePlan(ctx, amount, plan)) return false;
  const int32_t tw = plan.c1 - plan.c0;
  TMTC temp(tw, plan.region.Bottom - plan.region.Top);
  if (!isPlaneReady(&temp)) return false;
  std::vector<uint32_t> sB, sG, sR, sW, sA;
  try {
    for (auto* v : {&sB, &sG, &sR, &sW, &sA}) v->assign(static_cast<size_t>(tw), 0);  // tw >= the region's width
  } catch (const std::bad_alloc&) {
    return false;
  }
  // Vertical pass a row at a time: every column of a row has the same taps,
  // so each tap runs along the row. The sums fit 32 bits: the 16.16 weights
  // of a table add up to about 65536, so sum(C * A * (t >> 5)) stays below
  // 255 * 255 * 2048 plus rounding.
  const TMTC& src = *ctx.workImage;
  const int32_t cy = plan.height / 2;
  for (int32_t y = plan.region.Top; y < plan.region.Bottom; ++y) {
    std::fill(sB.begin(), sB.end(), 0u);
    std::fill(sG.begin(), sG.end(), 0u);
    std::fill(sR.begin(), sR.end(), 0u);
    std::fill(sW.begin(), sW.end(), 0u);
    std::fill(sA.begin(), sA.end(), 0u);
    uint32_t count = 0;
    for (int32_t d = -plan.rv; d <= plan.rv; ++d) {
      const int64_t idx = int64_t{cy} + d, yy = int64_t{y} + d;
      if (!inside(idx, 0, plan.height) || !inside(yy, 0, plan.height)) continue;
      ++count;
      const uint32_t t = static_cast<uint32_t>(plan.wy[static_cast<size_t>(idx)] >> 5);
      accumulateTaps(src.pixelAt(plan.c0, static_cast<int32_t>(yy)), t, tw, sB.data(), sG.data(), sR.data(), sW.data(),
                     sA.data());
    }
    if (count == 0) continue;
    uint32_t* out = temp.pixelAt(0, y - plan.region.Top);
    for (int32_t i = 0; i < tw; ++i) {
      const uint32_t w = sW[static_cast<size_t>(i)];
      if (w == 0) continue;
      out[i] = (sB[static_cast<size_t>(i)] / w) | ((sG[static_cast<size_t>(i)] / w) << 8) |
               ((sR[static_cast<size_t>(i)] / w) << 16) | ((sA[static_cast<size_t>(i)] / count) << 24);
    }
  }
  // Horizontal pass a row at a time the same way: for tap d the columns
  // whose tap lands inside the temporary plane are one run, x + d in
  // [c0, c1); each pixel's tap count is the length of its own run of taps.
  const bool keep = ctx.protectAlpha != 0;
  const int32_t cx = plan.width / 2;
  const int32_t left = plan.region.Left, rw = plan.region.Right - plan.region.Left;
  for (int32_t y = plan.region.Top; y < plan.region.Bottom; ++y) {
    for (auto* v : {&sB, &sG, &sR, &sW, &sA}) std::fill_n(v->begin(), rw, 0u);
    const uint32_t* row = temp.pixelAt(0, y - plan.region.Top);
    for (int32_t d = -plan.rh; d <= plan.rh; ++d) {
      const int64_t idx = int64_t{cx} + d;
      if (!inside(idx, 0, plan.width)) continue;
      const int32_t from = std::max(left, plan.c0 - d), to = std::min(plan.region.Right, plan.c1 - d);
      if (from >= to) continue;
      const size_t at = static_cast<size_t>(from - left);
      accumulateTaps(row + (from + d - plan.c0), static_cast<uint32_t>(plan.wx[static_cast<size_t>(idx)] >> 5),
                     to - from, sB.data() + at, sG.data() + at, sR.data() + at, sW.data() + at, sA.data() + at);
    }
    const bool ok = forEachSelectedPixel(ctx, TRect{left, y, plan.region.Right, y + 1},
                                         [&](int32_t x, int32_t, uint32_t* p, uint32_t weight) {
                                           const size_t i = static_cast<size_t>(x - left);
                                           const uint32_t w = sW[i];
                                           if (w == 0) return;
                                           const int32_t dLo = std::max({-plan.rh, -cx, plan.c0 - x});
                                           const int32_t dHi = std::min({plan.rh, plan.width - 1 - cx, plan.c1 - 1 - x});
                                           const uint32_t count = static_cast<uint32_t>(dHi - dLo + 1);
                                           writeWeighted(p,
                                                         (sB[i] / w) | ((sG[i] / w) << 8) | ((sR[i] / w) << 16) |
                                                             ((sA[i] / count) << 24),
                                                         weight, keep);
                                         });
    if (!ok) return false;
  }
  return true;
}

bool gaussianBlurKernel(const SFlt4Context* ctx, const void* param, int32_t size) {
  const uint8_t* rec = recordBytes(param, size, kGaussianBlurRecordSize);
  if (rec == nullptr || !isValidContext(ctx)) return false;
  return gaussianBlur(*ctx, readRecF32(rec));
}

// ------------------------------------------------------------ custom 5 x 5

bool custom5x5(const SFlt4Context& ctx, const SCustom5x5Block& block) {
  return convolve5x5Masked(&ctx, block.Weights.data(), k5x5, block.Offset, block.Divisor);
}

bool customKernel(const SFlt4Context* ctx, const void* param, int32_t size) {
  if (param == nullptr || size != static_cast<int32_t>(SFltRecord::kWireSize) || !isValidContext(ctx)) return false;
  const SFltRecord& rec = *static_cast<const SFltRecord*>(param);
  if (rec.Count != 1 || rec.Size != SCustom5x5Block::kSize || rec.Total != SCustom5x5Block::kSize ||
      rec.Extra == nullptr)
    return false;
  return custom5x5(*ctx, SCustom5x5Block::read(rec.Extra));
}

}  // namespace pg
