#pragma once
// Coverage-based drawing of filled discs, horizontal and vertical spans,
// closed polygons and one-pixel lines into 8-bit and 32-bit planes. Coverage
// is counted on a regular grid of sub-samples inside each pixel: 5 x 5 for
// 8-bit discs, 4 x 4 for 32-bit discs, 64 along a span.
//
// Max mode only ever raises a pixel: the mask and selection code unions
// shapes with it.
//
// Centres, radii, span ends and the opacity are single floats; "Trunc" in the
// comments truncates toward zero. Opacity is taken within 0..1. Nothing is
// written outside a plane, and only the part of a shape that meets the plane
// is visited, so huge or far-away shapes cost nothing.
#include <cstddef>
#include <cstdint>

#include "core/blend_arith.h"
#include "core/planes.h"
#include "core/rect.h"

namespace pg {

// ---- discs ------------------------------------------------------------------

// 8-bit disc, 5 x 5 sub-samples, through the given plane plot. A radius
// of 3 or less makes every pixel an edge pixel. Edge pixels get alpha
// Trunc(255*opacity)*n div 25 (n inside sub-samples), or without
// anti-aliasing the full alpha; inside pixels the full alpha. In max mode the
// coverage itself is written as the value with alpha 255, and only where it
// is above the pixel.
void fillDiscAA(TChannel& plane, uint32_t value, bool antialias, float cx, float cy, float radius, float opacity,
                bool max, const SPlanePlot8& plot = {});

// 8-bit disc written through blendPixelTab, optionally soft (fading toward the
// rim by 255 - d*d*255 div (R*R)).
void fillDiscSoftAA(TChannel& plane, uint32_t value, bool max, float cx, float cy, float radius, float opacity,
                    bool soft);

// 32-bit discs, 4 x 4 sub-samples (soft is ignored below radius 3):
// plotDiscAA plots through the given plane plot, fillDiscAA through
// blendPixelTab.
void plotDiscAA(TMTC& plane, uint32_t colour, bool antialias, float cx, float cy, float radius, float opacity,
                bool soft, const SPlanePlot32& plot = {});
void fillDiscAA(TMTC& plane, uint32_t colour, bool antialias, float cx, float cy, float radius, float opacity,
                bool soft);

// ---- spans ------------------------------------------------------------------

// Row y from x0 to x1 with 64 sub-samples a pixel: the end pixels get
// (v*n) >> 6 for their n covered sub-samples, the inner ones v =
// Trunc(value*opacity); written with blendPixelTab at alpha 255 (in max mode
// only where that raises the pixel).
void spanAAH(TChannel& plane, int32_t y, uint32_t value, float x0, float x1, float opacity, bool max);
// The same down column x.
void spanAAV(TChannel& plane, int32_t x, uint32_t value, float y0, float y1, float opacity, bool max);

// ---- polygons ---------------------------------------------------------------

// The crossing of the segment (x0, y0)-(x1, y1) with the vertical line at x:
// False when x lies outside the segment's x range or the segment is vertical;
// otherwise y, the absolute slope |dy/dx| and steep = |dy| >= |dx|.
[[nodiscard]] bool segmentYAtX(float& y, bool& steep, float& slope, float x, float x0, float y0, float x1, float y1);
// The same with the axes exchanged: x at the horizontal line y, slope |dx/dy|,
// steep = |dx| >= |dy|.
[[nodiscard]] bool segmentXAtY(float& x, bool& steep, float& slope, float y, float x0, float y0, float x1, float y1);

// Fills a closed polygon (the last point equal to the first) at full value in
// max mode: a pass over rows and a pass over columns, each with four scan
// lines a pixel, combined by maximum. Fewer than three distinct points draw
// nothing. Any number of points and crossings is handled.
void rasterPolygonAA(TChannel& plane, const TPoint* points, size_t count);

// Fills the polygon of count points, closing it itself (the caller's list is
// neither written nor needs room for a closing point).
void fillPolygonAA(TChannel& plane, const TPoint* points, size_t count);

// ---- lines ------------------------------------------------------------------

// A one-pixel line through blendPixel: along the major axis one point per
// whole step, the minor position moving by (minor difference)/(major
// difference + 1) a step; with anti-aliasing each point is split between the
// two pixels beside its minor position.
void drawLineAA(TMTC& plane, uint32_t colour, bool antialias, float x0, float y0, float x1, float y1);

// ---- literal forms ----------------------------------------------------------
// One sub-sample and one division at a time; the forms above are checked
// against them.
namespace reference {
void spanAAH(TChannel& plane, int32_t y, uint32_t value, float x0, float x1, float opacity, bool max);
void rasterPolygonAA(TChannel& plane, const TPoint* points, size_t count);
void fillDiscSoftAA(TChannel& plane, uint32_t value, bool max, float cx, float cy, float radius, float opacity,
                    bool soft);
void fillDiscAA(TMTC& plane, uint32_t colour, bool antialias, float cx, float cy, float radius, float opacity,
                bool soft);
}  // namespace reference

}  // namespace pg
