#pragma once
// The cell rules of a pen-method dab image (CPenShape): per cell of a
// supersampled grid, its normalised distance from the dab centre and its edge
// value, the covered part of a one-pixel square around the cell where the
// outline is replaced by its tangent line.
//
// fillShapeGrids fills the two grids of a round or elliptical dab using the
// dab's symmetry (a round dab is computed over one quadrant, an ellipse over
// one half, and mirrored); fillShapeGridsRef evaluates every cell. Both give
// the same cells: the cell offsets are exact multiples of half a cell, so a
// mirrored offset is the exact negation of the computed one.
#include <cstdint>

namespace pg {

// The supersampling factor of a dab box whose longer side is n whole pixels:
// n < 4 gives max(n, 2); 4 <= n < 8 gives min(30 div n, 5); 8 <= n < 50
// gives min(50 div n, 2); n >= 50 gives 1.
[[nodiscard]] int32_t supersampleFactor(int32_t n);

// A dab radius (16.16) made coarser: from 10 pixels on down to a multiple of
// 0.5, from 3 pixels on to 0.25, below to 0.125 but not below 1/16. -1 for a
// radius above 512 pixels (the largest dab is 1024 pixels across).
[[nodiscard]] int32_t quantizePenRadius(int32_t radius);
inline constexpr int32_t kMaxPenRadius = 512 << 16;

// The edge value (0..1) of the cell at offset (x, y) pixels from the centre of
// a round outline of radius r: the part of the one-pixel square centred on the
// cell that lies inside the tangent line where the ray through the cell meets
// the outline. Nearly axis-parallel offsets (the smaller component below 1/16
// pixel, or the larger over 200 times the smaller) use the ramp
// r - (|c| - 0.5) along the larger component c, clamped to 0..1.
double edgeCoverage(double x, double y, double r);
// The same as 16.16 (0..0x10000), rounded.
[[nodiscard]] int32_t edgeCoverageFix(double x, double y, double r);

// What the grids are filled from. Cell (i, j) lies at
// ((2i + 1 - centre2X) / (2 factor), (2j + 1 - centre2Y) / (2 factor)) pixels
// from the dab centre; centre2X = 2 x factor x the centre's position in the
// box (whole, as every box centre lies on a half pixel).
struct SShapeGridSpec {
  int32_t gridW = 0, gridH = 0;
  int32_t factor = 1;
  int32_t centre2X = 0, centre2Y = 0;
  double radius = 1.0;     // pixels
  bool ellipse = false;
  double cosA = 1.0, sinA = 0.0;  // rotation of an ellipse
  double stretch = 1.0;    // 100 / aspect: stretch of the minor axis
  bool useEdge = true;     // without, every edge cell is 0x10000
};

// Fill distance (16.16 distance over radius) and edge grids of gridW x gridH
// cells. The fast form needs a grid centred in its box (centre2X == gridW and
// centre2Y == gridH); otherwise it falls back to the reference.
void fillShapeGrids(const SShapeGridSpec& spec, int32_t* distance, int32_t* edge);
void fillShapeGridsRef(const SShapeGridSpec& spec, int32_t* distance, int32_t* edge);

}  // namespace pg
