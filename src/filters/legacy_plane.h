#pragma once
// The perspective mapper of the older floor: for every pixel corner of an
// area (a grid one larger than the area each way) where the view ray meets
// one of two horizontal planes, the floor at height 0 below the horizon and
// the ceiling at height h above it, with the distance along the plane,
// clamped between a near distance and the fog distance; then renders the
// planes' textures into an area with distance fog.
#include <cstddef>
#include <cstdint>
#include <vector>

namespace pg {

class TMTC;

// The plane's texture sampler: the texel cell at (u, v) (texture pixels,
// wrapping both ways) split along its diagonal, the colour the weighted mean
// of the three texels of the half that holds the point (weights by their
// nearness, 16 bits each, every byte alone). Empty textures give 0.
uint32_t sampleThreeTexels(const TMTC& texture, double u, double v);

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
  [[nodiscard]] const TMTC* texture(int32_t side) const { return side == 1 ? ceiling_ : floor_; }

  // How render writes: the fog colour (0x00RRGGBB), whether the plane goes
  // on to the horizon (else rows that start at the fog distance are beyond),
  // and the write mode: replace the pixels, keep them under the plane, or
  // protect their alpha; transparent fog fades the plane out instead of
  // into the fog colour. opacity raises the plane's strength against the fog.
  struct SRender {
    uint32_t fogColour = 0;
    bool toInfinity = true;
    bool keepLayer = false;
    bool protectAlpha = false;
    bool transparentFog = false;
    int32_t opacity = 0;
  };
  // The selection weight of target pixel (x, y), 0..255.
  using CoverageProc = uint32_t (*)(const void* context, int32_t x, int32_t y);

  // Renders the plane into target, whose size must be the grid's less one
  // each way. Grid row j is target row (height - 1 - j): the floor lies
  // below the horizon. Each pixel is the cell of its four corner entries,
  // read at the cell's middle in 16.16 fixed point; a cell takes the side of
  // its first corner. A side without a texture, or a texture beyond the
  // sampler's limits, paints its cells as beyond. False when the sizes
  // differ.
  [[nodiscard]] bool render(TMTC& target, const SRender& how, CoverageProc coverage, const void* context) const;

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
