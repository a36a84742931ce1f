#pragma once
// The perspective mapper of the older floor: for every pixel corner of an
// area (a grid one larger than the area each way) where the view ray meets
// one of two horizontal planes, the floor at height 0 below the horizon and
// the ceiling at height h above it, with the distance along the plane,
// clamped between a near distance and the fog distance.
#include <cstddef>
#include <cstdint>
#include <vector>

namespace pg {

class TMTC;

class CInfinitePlane {
 public:
  // Sizes the grid to (width + 1) x (height + 1) and sets the near distance
  // q = (width + height) div 4 (at least 1, so that the fog distance is never
  // 0) and the fog distance F = trunc((max(fog, 1) / 100)^1.5 x 199 q + q).
  // False for an empty area or one beyond the picture limits.
  [[nodiscard]] bool init(int32_t width, int32_t height, int32_t fog);
  // The eye and its view: heading and pitch in radians; the sixth value is
  // kept but used by no table.
  void setParams(double eyeX, double eyeHeight, double eyeZ, double heading, double pitch, double sixth = 0.0);
  // Fills the tables for a ceiling at planeHeight and a projection distance.
  void buildTables(const TMTC* floorTexture, const TMTC* ceilingTexture, double planeHeight, double projection);

  int32_t gridWidth() const { return gridW_; }
  int32_t gridHeight() const { return gridH_; }
  int32_t nearDistance() const { return near_; }
  int32_t fogDistance() const { return far_; }
  // The entries of grid point (i, j).
  double u(int32_t i, int32_t j) const { return u_[index(i, j)]; }
  double v(int32_t i, int32_t j) const { return v_[index(i, j)]; }
  double distance(int32_t i, int32_t j) const { return dist_[index(i, j)]; }
  int32_t side(int32_t i, int32_t j) const { return side_[index(i, j)]; }
  const TMTC* texture(int32_t side) const { return side == 1 ? ceiling_ : floor_; }

 private:
  size_t index(int32_t i, int32_t j) const { return size_t(j) * size_t(gridW_) + size_t(i); }

  int32_t gridW_ = 0, gridH_ = 0;
  int32_t near_ = 1, far_ = 1;
  std::vector<double> u_, v_, dist_;
  std::vector<int32_t> side_;
  const TMTC* floor_ = nullptr;
  const TMTC* ceiling_ = nullptr;
  double eyeX_ = 0, eyeHeight_ = 0, eyeZ_ = 0, heading_ = 0, pitch_ = 0, sixth_ = 0;
};

}  // namespace pg
