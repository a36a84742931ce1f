#pragma once
// Span rasterisers that fill the cells of a dab grid from a disc or a rotated
// ellipse, for the pen-method engine's exact sub-pixel path: per cell the
// covered fraction (0..0x10000) and the normalised distance from the centre
// (0x10000 on the outline). The shape is cut into chords, one per pixel row
// (or column); the first and last chord are weighted by the part of their row
// that the shape's bounds cover. All positions, radii and values are 16.16.
//
// Each rasteriser has a plain per-cell reference beside it (the *Ref
// functions), which evaluates the same rule cell by cell; the two give the
// same cells.
#include <cstdint>

namespace pg {

// A grid of 32-bit cells, row after row.
struct SCellView {
  int32_t* cells = nullptr;
  int32_t width = 0;
  int32_t height = 0;
  int32_t* at(int32_t x, int32_t y) const { return cells + static_cast<int64_t>(y) * width + x; }
};

// The pixel box of a shape with half extents (rx, ry) around (cx, cy):
// columns floor(cx - rx) .. ceil(cx + rx) - 1, rows likewise; the cell of the
// centre is (floor(cx) - col0, floor(cy) - row0).
struct SDiscBox {
  int32_t left = 0, top = 0, right = 0, bottom = 0;  // 16.16 bounds
  int32_t col0 = 0, row0 = 0;                        // first pixel column and row
  int32_t cols = 0, rows = 0;                        // box size in pixels
  int32_t originX = 0, originY = 0;                  // cell of the centre
};

// The largest half extent the rasterisers take, in pixels: a dab of radius
// 512 (diameter 1024) with the ellipse margin.
inline constexpr int32_t kMaxDiscExtent = 1040;

// False for negative or too large half extents, or a centre so far out that
// the bounds leave the 16.16 range.
[[nodiscard]] bool discBox(int32_t cx, int32_t cy, int32_t rx, int32_t ry, SDiscBox& box);

// A span from a to b (16.16) along a strided row of cells whose cell 0 is the
// pixel floor(a): when the span covers more than one pixel the first cell gets
// ((floor(a) + 1) - a) x value, inner cells value and the last cell the
// covered fraction of its pixel x value; a span inside one pixel gets
// (b - a) x value. Stops at cellLimit cells; answers the cells written.
int32_t spanCoverage1D(int32_t a, int32_t b, int32_t value, int32_t* cells, int32_t cellLimit, int32_t stride);

// sqrt(d^2 + offsetSq) x invRadius as 16.16, saturating; d in 16.16 pixels,
// offsetSq in square pixels, invRadius per pixel.
[[nodiscard]] int32_t distanceValue(int32_t d, double offsetSq, double invRadius);

// Disc coverage, by rows (chords along x) or by columns. The grid must hold
// the box (box.cols x box.rows cells at least); cells off every chord keep
// their value (clear the grid first). A radius below 0.5 pixel is one span of
// value 0.5 along the chosen axis, in the row (column) of the centre, which
// becomes cell row (column) 0. False when the grid is too small.
[[nodiscard]] bool discRowsCoverage(const SCellView& grid, const SDiscBox& box, int32_t cx, int32_t cy, int32_t r);
[[nodiscard]] bool discColumnsCoverage(const SCellView& grid, const SDiscBox& box, int32_t cx, int32_t cy, int32_t r);
// The box the disc rasterisers use for a radius (with the single-row or
// single-column box of a radius below 0.5).
[[nodiscard]] bool discGridBox(int32_t cx, int32_t cy, int32_t r, bool columns, SDiscBox& box);
// Over the same chords: each written cell holds sqrt(dx^2 + dy^2) / r, dy the
// row centre's offset and dx that of the middle of the cell's covered part.
[[nodiscard]] bool discDistanceRows(const SCellView& grid, const SDiscBox& box, int32_t cx, int32_t cy, int32_t r, bool columns);

// A rotated ellipse: radius r along the angle, r x aspect / 100 across it.
struct SEllipseShape {
  int32_t cx = 0, cy = 0;  // 16.16
  int32_t r = 0;           // 16.16
  int32_t aspect = 100;    // percent, 1..100
  float angle = 0.0f;      // degrees
};
// The box of its outline (the bounding half extents).
[[nodiscard]] bool ellipseGridBox(const SEllipseShape& e, SDiscBox& box);
[[nodiscard]] bool ellipseRowsCoverage(const SCellView& grid, const SDiscBox& box, const SEllipseShape& e);
[[nodiscard]] bool ellipseColumnsCoverage(const SCellView& grid, const SDiscBox& box, const SEllipseShape& e);
// Normalised ellipse distance of the middle of each chord cell's covered part,
// at most 1.0.
[[nodiscard]] bool ellipseDistance(const SCellView& grid, const SDiscBox& box, const SEllipseShape& e, bool columns);

// Reference forms: the same rules evaluated cell by cell.
[[nodiscard]] bool discCoverageRef(const SCellView& grid, const SDiscBox& box, int32_t cx, int32_t cy, int32_t r, bool columns);
[[nodiscard]] bool discDistanceRef(const SCellView& grid, const SDiscBox& box, int32_t cx, int32_t cy, int32_t r, bool columns);

}  // namespace pg
