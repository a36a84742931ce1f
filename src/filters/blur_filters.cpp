#include "filters/blur_filters.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <new>
#include <vector>

#include "core/det_math.h"
#include "core/parallel.h"
#include "filters/band_runner.h"
#include "filters/gaussian_rows.h"
#include "filters/gaussian_weights.h"
#include "filters/kernel_loops.h"
#include "filters/record_bytes.h"

namespace pg {

// ----------------------------------------------------- fixed grids (size 0)

namespace {

constexpr SRectXYWH k3x3{-1, -1, 3, 3};
constexpr SRectXYWH k5x5{-2, -2, 5, 5};

[[nodiscard]] bool runGrid(const SFlt4Context* ctx, int32_t size, const int32_t* weights, SRectXYWH window) {
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

[[nodiscard]] bool makePlan(const SFlt4Context& ctx, float amount, SGaussPlan& plan) {
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
  [[nodiscard]] bool ready() const { return W != 0 && count != 0; }
  uint32_t pixel() const {
    return static_cast<uint32_t>(B / W) | (static_cast<uint32_t>(G / W) << 8) | (static_cast<uint32_t>(R / W) << 16) |
           (static_cast<uint32_t>(A / count) << 24);
  }
};

[[nodiscard]] inline bool inside(int64_t v, int64_t lo, int64_t hi) { return v >= lo && v < hi; }

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

[[nodiscard]] bool writeHorizontal(const SFlt4Context& ctx, const SGaussPlan& plan, const TMTC& temp) {
  const bool keep = ctx.protectAlpha != 0;
  return forEachSelectedPixel(ctx, plan.region, [&](int32_t x, int32_t y, uint32_t* p, uint32_t weight) {
    const SGaussSums s = horizontalAt(plan, temp, x, y);
    if (s.ready()) writeWeighted(p, s.pixel(), weight, keep);
  });
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
  const int32_t left = plan.region.Left;
  // One row of the vertical pass feeds the horizontal pass of the same row
  // directly: the passes read the work image and each row is written into
  // the layer once done, so no plane of intermediate pixels is needed.
  const size_t workers = static_cast<size_t>(parallelWorkers());
  std::vector<std::vector<uint32_t>> vrows(workers);
  std::vector<std::vector<SGaussTap>> tapLists(workers);
  try {
    for (size_t w = 0; w < workers; ++w) {
      vrows[w].assign(static_cast<size_t>(tw), 0);
      tapLists[w].reserve(static_cast<size_t>(2 * std::max(plan.rh, plan.rv) + 1));
    }
  } catch (const std::bad_alloc&) {
    return false;
  }
  const TMTC& src = *ctx.workImage;
  const int32_t cy = plan.height / 2, cx = plan.width / 2;
  const auto wy = [&](int32_t d) { return static_cast<uint32_t>(plan.wy[static_cast<size_t>(cy + d)] >> 5); };
  const auto wx = [&](int32_t d) { return static_cast<uint32_t>(plan.wx[static_cast<size_t>(cx + d)] >> 5); };
  // The horizontal taps that exist whatever the pixel: the table's extent.
  const int32_t hLo = std::max(-plan.rh, -cx), hHi = std::min(plan.rh, plan.width - 1 - cx);
  const bool keep = ctx.protectAlpha != 0;
  // Row y into hrow and hasRow (rw entries each), with a worker's scratch.
  const auto blurRow = [&](int32_t y, std::vector<uint32_t>& vrow, std::vector<SGaussTap>& taps, uint32_t* hrow,
                           uint8_t* hasRow) {
    // Vertical: taps inside the table and the image, the same for the whole row.
    const int32_t vLo = std::max({-plan.rv, -cy, -y}), vHi = std::min({plan.rv, plan.height - 1 - cy, plan.height - 1 - y});
    if (vLo > vHi) {
      std::fill(vrow.begin(), vrow.end(), 0u);
    } else {
      const int32_t singles =
          buildGaussTaps(vLo, vHi, wy, [&](int32_t d) { return src.pixelAt(plan.c0, y + d); }, taps);
      gaussianRun(taps.data(), singles, static_cast<int32_t>(taps.size()), static_cast<uint32_t>(vHi - vLo + 1), tw,
                  vrow.data(), nullptr);
    }
    // Horizontal: pixel x has the taps d with x + d in [c0, c1) as well; the
    // pixels whose taps are all inside form one run, the others go one by one.
    const int32_t runFrom = std::clamp(plan.c0 - hLo, left, plan.region.Right);
    const int32_t runTo = std::clamp(plan.c1 - hHi, runFrom, plan.region.Right);
    const auto rowAt = [&](int32_t x) { return [&, x](int32_t d) { return vrow.data() + (x + d - plan.c0); }; };
    const auto single = [&](int32_t x) {
      const int32_t dLo = std::max(hLo, plan.c0 - x), dHi = std::min(hHi, plan.c1 - 1 - x);
      const size_t i = static_cast<size_t>(x - left);
      if (dLo > dHi) {
        hasRow[i] = 0;
        return;
      }
      const int32_t singles = buildGaussTaps(dLo, dHi, wx, rowAt(x), taps);
      gaussianRun(taps.data(), singles, static_cast<int32_t>(taps.size()), static_cast<uint32_t>(dHi - dLo + 1), 1,
                  hrow + i, hasRow + i);
    };
    for (int32_t x = left; x < runFrom; ++x) single(x);
    if (runFrom < runTo) {
      const int32_t singles = buildGaussTaps(hLo, hHi, wx, rowAt(runFrom), taps);
      gaussianRun(taps.data(), singles, static_cast<int32_t>(taps.size()), static_cast<uint32_t>(hHi - hLo + 1),
                  runTo - runFrom, hrow + (runFrom - left), hasRow + (runFrom - left));
    }
    for (int32_t x = runTo; x < plan.region.Right; ++x) single(x);
  };
  return filterRowsInBands(
      ctx, plan.region,
      [&](int32_t y, int32_t, int32_t, uint32_t* hrow, uint8_t* hasRow, int worker) {
        blurRow(y, vrows[size_t(worker)], tapLists[size_t(worker)], hrow, hasRow);
      },
      [keep](uint32_t* p, uint32_t colour, uint32_t weight) { writeWeighted(p, colour, weight, keep); },
      [keep](uint32_t* p, const uint32_t* colours, int32_t n) { writeFullWeight(p, colours, n, keep); });
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
