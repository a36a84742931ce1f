#include "filters/legacy_plane.h"

#include <algorithm>
#include <cmath>
#include <new>

#include "core/limits.h"

namespace pg {

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

}  // namespace pg
