#include "filters/legacy_plane.h"

#include <algorithm>
#include <cmath>
#include <new>

#include "brush/plot_merge.h"
#include "core/blend_arith.h"
#include "core/blend_modes.h"
#include "core/limits.h"
#include "core/planes.h"

namespace pg {

namespace {

// Textures wider or taller than this are not sampled: their coordinates
// would not fit 16.16 fixed point.
constexpr int32_t kMaxTextureSide = 32767;
// Plane coordinates are held to this before they become 16.16 values.
constexpr double kMaxCoordinate = double(int64_t{1} << 40);

int64_t toFixed(double v) {
  if (std::isnan(v)) return 0;
  return int64_t(std::clamp(v, -kMaxCoordinate, kMaxCoordinate) * 65536.0);
}

[[nodiscard]] bool usableTexture(const TMTC* t) {
  return t != nullptr && t->Width >= 1 && t->Height >= 1 && t->Width <= kMaxTextureSide &&
         t->Height <= kMaxTextureSide;
}

}  // namespace

uint32_t sampleThreeTexels(const TMTC& texture, double u, double v) {
  const int64_t w = texture.Width, h = texture.Height;
  if (w < 1 || h < 1 || !std::isfinite(u) || !std::isfinite(v)) return 0;
  u = std::clamp(u, -kMaxCoordinate, kMaxCoordinate);
  v = std::clamp(v, -kMaxCoordinate, kMaxCoordinate);
  const double fu = std::floor(u), fv = std::floor(v);
  const uint32_t fx = std::min<uint32_t>(uint32_t((u - fu) * 65536.0), 65535);
  const uint32_t fy = std::min<uint32_t>(uint32_t((v - fv) * 65536.0), 65535);
  const int32_t x0 = int32_t((int64_t(fu) % w + w) % w), y0 = int32_t((int64_t(fv) % h + h) % h);
  const int32_t x1 = int32_t((x0 + 1) % w), y1 = int32_t((y0 + 1) % h);
  uint32_t p[3];
  uint32_t wt[3];
  if (fx + fy <= 65536) {
    p[0] = texture.getPixel(x0, y0), wt[0] = 65536 - fx - fy;
    p[1] = texture.getPixel(x1, y0), wt[1] = fx;
    p[2] = texture.getPixel(x0, y1), wt[2] = fy;
  } else {
    p[0] = texture.getPixel(x1, y1), wt[0] = fx + fy - 65536;
    p[1] = texture.getPixel(x0, y1), wt[1] = 65536 - fx;
    p[2] = texture.getPixel(x1, y0), wt[2] = 65536 - fy;
  }
  uint32_t out = 0;
  for (int shift = 0; shift < 32; shift += 8) {
    uint64_t sum = 32768;
    for (int k = 0; k < 3; ++k) sum += uint64_t(p[k] >> shift & 0xFF) * wt[k];
    out |= uint32_t(std::min<uint64_t>(sum >> 16, 255)) << shift;
  }
  return out;
}

bool CInfinitePlane::init(int32_t width, int32_t height, int32_t fog) {
  if (width < 1 || height < 1 || !planeSizeAllowed(int64_t(width) + 1, int64_t(height) + 1)) return false;
  gridW_ = width + 1;
  gridH_ = height + 1;
  const size_t n = size_t(gridW_) * size_t(gridH_);
  try {
    u_.assign(n, 0.0);
    v_.assign(n, 0.0);
    dist_.assign(n, 0.0);
    side_.assign(n, 0);
  } catch (const std::bad_alloc&) {
    gridW_ = gridH_ = 0;
    return false;
  }
  // Areas under four pixels across would make q and with it F zero, and the
  // fog a division by zero.
  near_ = std::max(1, (width + height) / 4);
  const double f = std::max(fog, 1) / 100.0;
  far_ = int32_t(std::trunc(std::pow(f, 1.5) * 199.0 * near_ + near_));
  return true;
}

void CInfinitePlane::setParams(double eyeX, double eyeHeight, double eyeZ, double heading, double pitch, double sixth) {
  eyeX_ = eyeX;
  eyeHeight_ = eyeHeight;
  eyeZ_ = eyeZ;
  heading_ = heading;
  pitch_ = pitch;
  sixth_ = sixth;
}

void CInfinitePlane::buildTables(const TMTC* floorTexture, const TMTC* ceilingTexture, double planeHeight,
                                 double projection) {
  floor_ = floorTexture;
  ceiling_ = ceilingTexture;
  const double sA = std::sin(pitch_), cA = std::cos(pitch_);
  const double sB = std::sin(heading_), cB = std::cos(heading_);
  for (int32_t j = 0; j < gridH_; ++j)
    for (int32_t i = 0; i < gridW_; ++i) {
      const double sx = i - gridW_ / 2, sy = j - gridH_ / 2;
      const double ry = sy * sA + projection * cA, rz = sy * cA - projection * sA;
      const size_t k = index(i, j);
      double u = 0.0, v = 0.0;
      int32_t side = 0;
      if (rz == 0.0) {
        v = double(1 << 30);  // the horizon itself: as far as the plane goes
      } else {
        side = rz > 0.0 ? 1 : 0;
        const double t = ((side == 1 ? planeHeight : 0.0) - eyeHeight_) / rz;
        u = t * (sx * cB - ry * sB) + eyeX_;
        v = t * (sx * sB + ry * cB) + eyeZ_;
      }
      double d = std::sqrt((u - eyeX_) * (u - eyeX_) + (v - eyeZ_) * (v - eyeZ_));
      if (!(d < far_)) d = far_;
      if (d <= near_) d = near_;
      u_[k] = u;
      v_[k] = side == 1 ? -v : v;
      dist_[k] = d;
      side_[k] = side;
    }
}

bool CInfinitePlane::render(TMTC& target, const SRender& how, CoverageProc coverage, const void* context) const {
  const int32_t w = gridW_ - 1, h = gridH_ - 1;
  if (w < 1 || h < 1 || target.Width != w || target.Height != h) return false;
  const uint32_t fog = how.fogColour & 0x00FFFFFFu;
  for (int32_t j = 0; j < h; ++j) {
    const int32_t y = h - 1 - j;
    const bool beyondRow = !how.toInfinity && dist_[index(0, j)] >= far_;
    for (int32_t i = 0; i < w; ++i) {
      const uint32_t c = coverage != nullptr ? std::min<uint32_t>(coverage(context, i, y), 255) : 255u;
      if (c == 0) continue;
      // The cell's middle: the mean of its four corners.
      const auto middle = [&](const std::vector<double>& table) {
        return (toFixed(table[index(i, j)]) + toFixed(table[index(i + 1, j)]) + toFixed(table[index(i, j + 1)]) +
                toFixed(table[index(i + 1, j + 1)])) / 4;
      };
      const int64_t distance = middle(dist_) >> 16;
      const uint32_t a = distance < far_ ? uint32_t(distance * 255 / far_) : 255u;
      const TMTC* tex = texture(side_[index(i, j)]);
      uint32_t colour = 0x00FFFFFFu;
      uint32_t weight = std::min(255u - a, c);
      if (!beyondRow && usableTexture(tex)) {
        colour = sampleThreeTexels(*tex, double(middle(u_)) / 65536.0, double(middle(v_)) / 65536.0);
        weight = uint32_t(std::clamp<int64_t>(int64_t(255 - a) + how.opacity, 0, int64_t(c)));
        if (!how.transparentFog) blendPixelOpacity(&colour, fog, a);
      }
      uint32_t* pixel = target.pixelAt(i, y);
      if (how.protectAlpha) {
        blendNormalOpacity(pixel, colour, weight);
      } else if (!how.transparentFog) {
        if (!how.keepLayer) *pixel = 0x00FFFFFFu;
        blendPixelOpacity(pixel, colour, weight);
      } else if (how.keepLayer) {
        uint32_t faded = 0x00FFFFFFu;
        blendPixelOver(&faded, colour, weight);
        blendPixelOpacity(pixel, faded, faded >> 24);
      } else {
        uint32_t flat = 0x00FFFFFFu;
        blendPixelOpacity(&flat, colour, colour >> 24);
        *pixel = 0x00FFFFFFu;
        blendPixelOver(pixel, flat, weight);
      }
    }
  }
  return true;
}

}  // namespace pg
