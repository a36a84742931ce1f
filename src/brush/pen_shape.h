#pragma once
// The dab image of the pen-method engine (CPenShape): for one dab size,
// aspect and angle, a grid of 16.16 values combining the exact area of each
// cell covered by the outline (the edge) with the falloff weight of the cell's
// distance from the centre (from a grade map). The renderer reads it with
// dabAt for every pixel of a dab, so no circle is evaluated per pixel; it is
// rebuilt only when the quantised size, the aspect or the angle change.
//
// The grid is supersampled for small dabs (factor 2..5 cells a pixel). Image
// nibs are resampled into the same grids instead of rasterised.
#include <cstdint>
#include <functional>

#include "core/dyn_buffers.h"

namespace pg {

class CGradeMapObj;
class CPenShapeObj;
struct SDiscBox;
struct SCellView;

class CPenShape {
 public:
  // Create: the switches useFalloff and useTable on, useEdge off, then the
  // smallest round dab (radius 1/16 pixel). The grade map is not owned.
  explicit CPenShape(const CGradeMapObj* gradeMap);
  ~CPenShape();
  CPenShape(const CPenShape&) = delete;
  CPenShape& operator=(const CPenShape&) = delete;

  // A round dab of a radius (16.16). Nothing is done when the dab is valid,
  // round and of the same quantised radius.
  [[nodiscard]] bool prepareSize(int32_t radius);
  // An elliptical dab: radius (16.16) along the angle (whole degrees),
  // radius x aspect / 100 across it. Nothing is done when valid with the same
  // quantised radius, aspect and angle.
  [[nodiscard]] bool prepareShape(int32_t radius, int32_t aspectPercent, int32_t angleDegrees);
  // The direct path: a disc or an ellipse centred at (cx, cy) (16.16, in the
  // target's pixels) rasterised by chords of rows (or of columns); factor 1,
  // cell (0, 0) is pixel (boxLeft, boxTop) and the centre lies at the pixel
  // centre of the dab's origin cell.
  [[nodiscard]] bool prepareDisc(int32_t cx, int32_t cy, int32_t radius, bool columns);
  [[nodiscard]] bool prepareEllipse(int32_t cx, int32_t cy, int32_t radius, int32_t aspectPercent, int32_t angleDegrees,
                      bool columns);
  // The dab of an image nib at its scale, aspect and angle. Nothing is done
  // when valid, not forced and the nib (by object and id), its scale, aspect
  // and angle are the stored ones.
  [[nodiscard]] bool prepareImageNib(const CPenShapeObj* nib, bool force);

  // The switches: stored when different, and the dab made invalid.
  void setUseFalloff(bool on);
  void setUseEdge(bool on);
  void setUseTable(bool on);
  // Recomputes the dab grid from the distance and edge grids (after the
  // grade map's table changed).
  void finish();

  // The dab cell at (x, y) (16.16, relative to the centre): cell
  // ((centre + x) x factor, (centre + y) x factor); 0 outside the grid.
  int32_t dabAt(int32_t x, int32_t y) const;

  bool valid() const { return valid_ != 0; }
  bool useFalloff() const { return useFalloff_ != 0; }
  bool useEdge() const { return useEdge_ != 0; }
  bool useTable() const { return useTable_ != 0; }
  int32_t radius() const { return radius_; }  // quantised, 16.16
  int32_t aspect() const { return aspect_; }  // percent
  int32_t angle() const { return angle_; }    // degrees
  int32_t factor() const { return factor_; }
  int32_t boxWidth() const { return boxW_; }  // whole pixels
  int32_t boxHeight() const { return boxH_; }
  int32_t boxLeft() const { return boxLeft_; }  // pixel of cell 0 (direct path)
  int32_t boxTop() const { return boxTop_; }
  int32_t gridWidth() const { return gridW_; }
  int32_t gridHeight() const { return gridH_; }
  int32_t centreX() const { return centreX_; }  // 16.16 inside the box
  int32_t centreY() const { return centreY_; }
  int32_t radiusX() const { return radiusX_; }  // half extents of the outline, 16.16
  int32_t radiusY() const { return radiusY_; }
  // Grid cells by index (no check beyond the grid: 0 outside).
  int32_t distanceCell(int32_t i, int32_t j) const { return cell(distance_, i, j); }
  int32_t edgeCell(int32_t i, int32_t j) const { return cell(edge_, i, j); }
  int32_t dabCell(int32_t i, int32_t j) const { return cell(dab_, i, j); }
  // How often the grids were built (prepares that did work).
  uint32_t buildCount() const { return builds_; }

 private:
  enum class Kind : uint8_t { None, Round, Ellipse, Direct, Nib };

  int32_t cell(const SGrid2D& g, int32_t i, int32_t j) const;
  // Sizes the box from its half extents (pixels) around a centre at 0.5 and
  // the three grids; false (invalid) when the grids cannot be had.
  [[nodiscard]] bool setupBox(double halfX, double halfY, bool supersample);
  [[nodiscard]] bool sizeGrids(int32_t w, int32_t h);
  // Stores the shape's values and outline (half extents in pixels) and sets
  // up the box around it with a margin.
  [[nodiscard]] bool setupOutline(int32_t radius, int32_t aspect, int32_t angle, double angleRad, double halfX, double halfY,
                    double margin);
  [[nodiscard]] bool buildGeometric(int32_t radius, int32_t aspect, int32_t angle, Kind kind);
  // The common start of the direct-path prepares: the box's grids, which
  // `draw` fills through their views (edge coverage, then distances).
  [[nodiscard]] bool drawDirect(const SDiscBox& box,
                                const std::function<bool(const SCellView& edge, const SCellView& dist)>& draw);
  // The common end of the direct-path prepares: the shape's values, the
  // centre on the origin cell, the dab grid.
  [[nodiscard]] bool finishDirect(const SDiscBox& box, int32_t radius, int32_t aspect, int32_t angle, int32_t rx, int32_t ry);
  void invalidate() { valid_ = 0; }

  uint8_t valid_ = 0;
  uint8_t useFalloff_ = 1;
  uint8_t useEdge_ = 0;
  uint8_t useTable_ = 1;
  int32_t radius_ = 0;
  int32_t aspect_ = 100;
  int32_t angle_ = 0;
  float angleRad_ = 0.0f;
  int32_t sin_ = 0, cos_ = 0x10000;   // 16.16
  int32_t boxWFix_ = 0, boxHFix_ = 0; // 16.16, with margin
  int32_t radiusX_ = 0, radiusY_ = 0;
  int32_t centreX_ = 0x8000, centreY_ = 0x8000;
  int32_t bounds_[4] = {0, 0, 0, 0};  // left, top, right, bottom of the outline, 16.16
  const CGradeMapObj* gradeMap_ = nullptr;
  const CPenShapeObj* nib_ = nullptr;
  uint32_t nibId_ = 0;
  int32_t nibScale_ = 0;
  SGrid2D distance_;
  SGrid2D edge_;
  SGrid2D dab_;
  int32_t factor_ = 1;
  int32_t boxW_ = 0, boxH_ = 0;
  int32_t boxLeft_ = 0, boxTop_ = 0;
  int32_t gridW_ = 0, gridH_ = 0;
  Kind kind_ = Kind::None;
  uint32_t builds_ = 0;
};

}  // namespace pg
