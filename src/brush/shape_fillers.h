#pragma once
// Scan-line fillers of the figure tools: rectangles, polygons (even-odd) and
// rotated ellipses with anti-aliased edges, filled on the current layer
// through the filler's own plot state (a 32-bit target: plotProc32 with the
// stroke's colour), or into an 8-bit coverage plane with a flat value through
// plotBaseOp8 (selections).
//
// Points are floats in the layer's pixel coordinates (pixel x covers
// [x, x + 1)). Everything is clipped to the layer's rectangle; spans that
// reach past it are cut there, so nothing outside the target is written,
// whatever the points.
#include <cstdint>
#include <vector>

#include "brush/plot_state.h"
#include "core/planes.h"
#include "core/rect.h"

namespace pg {

class IPlotDocument;
class TStroke;

// The rotated ellipse through the ends p1, p2 of one axis and the end p3 of
// the other, as an implicit conic: for a row at v = y - centre.y its points
// are x = (-B v +- sqrt(D - E v^2)) / A + centre.x.
struct SEllipse {
  bool valid = false;
  float determinant = 0;
  TPointF centre;
  TPointF end1, end2;      // the ends of the first axis
  TPointF axisA, axisB;    // p1 - centre, p2 - centre
  TPointF axisD;           // p3 - centre
  float lengthA2 = 0, lengthD2 = 0;
  float A = 0, B = 0, C = 0, D = 0, E = 0;
  float halfHeight = 0;
  float top = 0, bottom = 0;
  int32_t topRow = 0, bottomRow = 0;
};

// Sets the ellipse up; answers whether it is valid (p1 differs from p2 and
// the axes are not parallel, so that it has an area).
[[nodiscard]] bool ellipseSetup(SEllipse& e, TPointF p1, TPointF p2, TPointF p3);
// The points of the row at y: 0 outside the top and bottom rows or beyond the
// ellipse, 1 at a tangent, else 2 (left first).
[[nodiscard]] int ellipseRow(const SEllipse& e, float y, TPointF out[2]);
// The outline as points along the parametric angle, subdivided down to
// 1/1024 radian where the chord strays from the arc; closed (the first point
// repeated at the end).
void ellipseOutline(const SEllipse& e, std::vector<TPointF>& points);
// The ellipse inscribed in rect turned by angle (radians) about its centre,
// as outline points; answers their count (0 for a degenerate rectangle).
[[nodiscard]] int32_t rasterEllipse(const TRectF& rect, double angle, std::vector<TPointF>& points);
// The smallest and largest x of n points; false for n < 1.
[[nodiscard]] bool xRange(const TPointF* points, int32_t n, float& minX, float& maxX);
// The two axis ends and the other axis end of the ellipse inscribed in the
// box p0-p1 turned by angle about its centre.
void ellipseAxes(TPointF p0, TPointF p1, double angle, TPointF& a1, TPointF& a2, TPointF& d);

// The scan-line filler base, and the rectangle filler.
class CFillMngr {
 public:
  // The span being plotted.
  struct SSpan {
    int32_t row = 0;
    float left = 0, right = 0;
    float leftSlope = 0, rightSlope = 0;  // dx/dy of the two edges
    float rowCoverage = 1.0f;
  };
  // A span procedure set by the caller.
  using SpanProc = void (*)(void* data, CFillMngr& filler, CDibCore& target, const SSpan& span);

  // Clips to the document's current layer and chooses the filler's plot
  // call-backs for the stroke and document.
  CFillMngr(IPlotDocument* document, TStroke& stroke);
  virtual ~CFillMngr() = default;
  const TStroke& stroke() const { return Stroke; }
  CFillMngr(const CFillMngr&) = delete;
  CFillMngr& operator=(const CFillMngr&) = delete;

  [[nodiscard]] bool getBounds(TRect& bounds) const {
    bounds = Bounds;
    return Valid;
  }
  bool isValid() const { return Valid; }
  // Stores the extra plot value and puts the default span plot back.
  void setPlot(uint32_t value);
  // The default span plot and a fresh choice of the plot call-backs.
  void preparePlot();
  // From now on spans write this byte through plotBaseOp8 (8-bit targets).
  void useFlatValue(uint8_t value);
  // A span procedure of the caller's.
  void setSpanProc(SpanProc proc, void* data);

  // The rectangle of the two points, clipped; valid when not empty.
  [[nodiscard]] bool setRect(TPointF p0, TPointF p1);
  // Fills the rectangle row by row, the first and last rows with the share
  // of the row they cover. Answers the number of rows.
  int32_t fillBox(CDibCore& target);

  // Anti-aliasing of the span's ends: one entry per column from floor(left)
  // to ceil(right), 1.0 inside, ramps where an edge crosses several columns.
  void spanCoverage(const SSpan& span);
  const std::vector<float>& coverage() const { return Coverage; }
  // The default plots: the stroke's colour through plotProc32 (32-bit
  // target), the flat byte through plotBaseOp8 (8-bit target).
  void spanPlotColor(CDibCore& target, const SSpan& span);
  void spanPlotFlat(CDibCore& target, const SSpan& span);

  uint32_t extraPlotValue() const { return ExtraPlotValue; }
  // How the filler writes a pixel (its selection, tone and merge); a caller
  // may change it until the next preparePlot chooses it again.
  SPlotter& plotter() { return Plot.plotter; }

 protected:
  // Hands one span to the span procedure.
  void plotSpan(CDibCore& target, const SSpan& span);
  // Clips fb to the layer; sets Bounds, BoundsF and Valid.
  [[nodiscard]] bool setBoundsF(const TRectF& fb);

  IPlotDocument* Document;
  TStroke& Stroke;
  uint32_t ExtraPlotValue = 0;
  TRect Clip;
  TRectF ClipF;
  TRect Bounds;
  TRectF BoundsF;
  bool Valid = false;
  enum class TSpanKind : uint8_t { Color, Flat, Custom } SpanKind = TSpanKind::Color;
  SpanProc CustomProc = nullptr;
  void* CustomData = nullptr;
  uint8_t FlatValue = 0;
  std::vector<float> Coverage;
  SPlotState Plot;

 private:
  template <class Write>
  void spanValues(CDibCore& target, const SSpan& span, Write&& write);
};

class CPolygonFiller : public CFillMngr {
 public:
  CPolygonFiller(IPlotDocument* document, TStroke& stroke) : CFillMngr(document, stroke) {}
  // Sizes the vertex arrays and copies the points; false (nothing kept) for a
  // point that is not a number or when memory runs out.
  [[nodiscard]] bool setPoints(int32_t n, const TPointF* points);
  // More than two points: keeps them, bounds and clip; false otherwise.
  [[nodiscard]] bool setPolygon(const TPointF* points, int32_t n);
  // Scan conversion at row centres, spans by the even-odd rule. Answers the
  // number of rows.
  int32_t fill(CDibCore& target);

 private:
  struct SActiveEdge {
    float x;
    float slope;
    int32_t edge;  // the index of the edge's first vertex
  };
  std::vector<TPointF> Vertices;
  std::vector<int32_t> Order;
  std::vector<SActiveEdge> Active;
};

class CEllipseFiller : public CFillMngr {
 public:
  CEllipseFiller(IPlotDocument* document, double angle, TStroke& stroke)
      : CFillMngr(document, stroke), Angle(angle) {}
  // The ellipse inscribed in the box p0-p1 turned by the angle; false for a
  // degenerate one (zero width or height) or one wholly outside the layer.
  [[nodiscard]] bool setEllipse(TPointF p0, TPointF p1);
  // Row by row from the top: each row's ends from the scan line through the
  // middle of the part of the row the ellipse covers, its coverage that
  // part's height. Answers the number of rows drawn.
  int32_t fill(CDibCore& target);
  const SEllipse& ellipse() const { return Ellipse; }
  const std::vector<TPointF>& outline() const { return Outline; }

 private:
  double Angle;
  SEllipse Ellipse;
  std::vector<TPointF> Outline;
};

// The edge slopes of an ellipse span at v from the centre row: halfWidth * v
// / (halfHeight * sqrt(h^2 - v^2)), 0.1 when the root is 0, 10 when the
// quotient is not finite.
float ellipseSlope(float halfWidth, float halfHeight, float v);

}  // namespace pg
