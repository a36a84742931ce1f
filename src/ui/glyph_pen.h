#pragma once
// A small vector pen for drawing the tool glyphs: strokes with round ends,
// filled polygons, discs, ellipses, rings, arcs and dashed outlines, each
// anti-aliased and laid over what is there ("over" compositing of a grey
// shade and a coverage). Coordinates are pixel units with pixel (x, y)
// covering x..x+1, y..y+1, so a stroke through 12.0 lies on a pixel edge and
// one through 12.5 on a pixel's centre.
//
// Shades: 0 is ink (the glyph's symbol colour), 255 paper (its face colour),
// values between are tints of the two. The glyph sheet stores exactly this
// shade and the coverage.
#include <cstdint>
#include <functional>
#include <initializer_list>
#include <vector>

#include "core/rect.h"
#include "ui/memory_graphic.h"

namespace pg {

inline constexpr uint8_t kInk = 0;
inline constexpr uint8_t kPaper = 255;

class TGlyphPen {
 public:
  explicit TGlyphPen(TMemoryGraphic& g) : g_(g) {}

  void line(TPointF a, TPointF b, float width, uint8_t shade = kInk);
  void polyline(const std::vector<TPointF>& pts, float width, uint8_t shade = kInk, bool closed = false);
  // Dashes of the given length and gap along the line (closed: back to the start).
  void dashed(const std::vector<TPointF>& pts, float width, float dash, float gap, uint8_t shade = kInk,
              bool closed = true);
  // Filled (non-zero winding), 4 x 4 samples a pixel.
  void polygon(const std::vector<TPointF>& pts, uint8_t shade = kInk);
  // The same with a shade that varies over the shape.
  void polygon(const std::vector<TPointF>& pts, const std::function<uint8_t(float, float)>& shade);
  // A filled polygon with an outline of the given width.
  void outlined(const std::vector<TPointF>& pts, uint8_t fill, float width, uint8_t outline = kInk);
  void disc(TPointF c, float r, uint8_t shade = kInk);
  void ring(TPointF c, float r, float width, uint8_t shade = kInk);
  void ellipse(TPointF c, float rx, float ry, uint8_t shade = kInk);
  // Angles in degrees, counter-clockwise from the positive x axis (y down on screen).
  void arc(TPointF c, float r, float fromDeg, float toDeg, float width, uint8_t shade = kInk);
  void rect(float x0, float y0, float x1, float y1, uint8_t shade = kInk);
  // A filled triangle pointing at tip along the direction (dx, dy).
  void arrowHead(TPointF tip, float dx, float dy, float length, float halfWidth, uint8_t shade = kInk);
  // Any shape: coverage(x, y) of the pixel's centre region and shade(x, y),
  // over the box.
  void paint(float x0, float y0, float x1, float y1, const std::function<float(float, float)>& coverage,
             const std::function<uint8_t(float, float)>& shade);

  // Points of an arc (degrees, as arc), for outlines made of curves.
  static std::vector<TPointF> arcPoints(TPointF c, float rx, float ry, float fromDeg, float toDeg, int steps);

 private:
  void over(int32_t x, int32_t y, float c, uint8_t shade);
  TMemoryGraphic& g_;
};

}  // namespace pg
