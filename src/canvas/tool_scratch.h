#pragma once
// The scratch the drag and shape tools keep in their document window between
// a press and its release: start offsets, gradient and crop points, the
// cursor-key offset and the rubber band's point list, and the pure geometry
// they share (view-grid snapping, the 15-degree constraint, the crop box).
#include <cstdint>
#include <vector>

#include "core/rect.h"

namespace pg {

struct SToolScratch {
  int32_t kind = -1;          // the sub-kind of the press
  TPoint startOffset{};       // the layer's offset at the press
  TPoint antsStart{};         // the outline origin at the press
  TPointF first{};            // first and second image points of a line
  TPointF second{};
  TPoint keyOffset{};         // accumulated cursor-key offset
  int32_t keyKind = -1;       // the cursor-key sub-kind (6, 7 or 8) in use
  double viewSin = 0.0;       // the view angle when the shape started
  double viewCos = 1.0;
  // The rubber band: window points, drawn closed or open.
  std::vector<TPoint> points;
  int32_t count = 0;
  bool closed = false;
};

// A window point snapped to the view grid of a zoom: integer division of
// each coordinate by max(round(zoom), 1) toward zero; the inexact form then
// moves each coordinate back by step + 1 when the step is 2 or more.
TPoint snapToViewGrid(TPoint p, float zoom, bool exact);

// The end of a line from `from` snapped to the nearest multiple of 15
// degrees, keeping the line's length.
TPointF snapTo15Degrees(TPointF from, TPointF to);

// The box from an anchor to a point, a square when `square` (side the larger
// of |dx| and |dy|, with the sign of the drag on each axis); answers the far
// corner.
TPointF constrainedCorner(TPointF anchor, TPointF point, bool square);

inline TPointF toPointF(TPoint p) { return {static_cast<float>(p.X), static_cast<float>(p.Y)}; }
// The nearest whole point (saturated).
TPoint toPointRounded(TPointF p);

// Two corners normalised to a rectangle of whole pixels.
TRect rectOfCorners(TPointF a, TPointF b);

}  // namespace pg
