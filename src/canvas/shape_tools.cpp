// The shape tools: lines, rectangles, ellipses and polygons drawn with the
// brush (class 6), filled with the main colour (class 7, also freehand
// areas) or put into the selection (class 8, also the lasso). A drag or a
// run of clicks builds a rubber band of window points; finishing it makes
// one document operation: one stroke, one figure fill or one selection
// change, each recorded once and undone in one step.
#include <algorithm>
#include <cmath>
#include <vector>

#include "brush/shape_fillers.h"
#include "brush/stroke_settings.h"
#include "canvas/draw_window.h"
#include "canvas/tool_handlers.h"
#include "core/block_image.h"
#include "document/mask_data.h"
#include "document/paper.h"
#include "document/paper_ops.h"

namespace pg {

namespace {

enum class ShapeClass : uint8_t { Brush, Fill, Select };

enum ShapeKind : int32_t { kRect = 0, kPolygon = 1, kEllipse = 2, kLineOrFreehand = 3, kMultiLine = 4 };

constexpr uint16_t kHeldBits = input::kLeftHeld | input::kRightHeld | input::kMiddleHeld;
// Below this distance (window pixels) from the anchor an ellipse draws nothing.
constexpr double kMinEllipseDrag = 16.0;
// The spacing (window pixels) of the points a brush shape's edges become.
constexpr double kEdgeStep = 3.0;

int32_t shapeKind(TDrawWindow& w, ShapeClass cls) {
  int32_t kind = -1;
  const ToolId id = w.shared().currentTool();
  switch (cls) {
    case ShapeClass::Brush:
      return brushShapeKindOf(id, kind) ? kind : -1;
    case ShapeClass::Fill:
      return fillShapeKindOf(id, kind) ? kind : -1;
    case ShapeClass::Select:
      return selectShapeKindOf(id, kind) ? kind : -1;
  }
  return -1;
}

bool multiPoint(int32_t kind) { return kind == kPolygon || kind == kMultiLine; }
bool inProgress(const TDrawWindow& w) { return (w.toolState().inputState & input::kAnchorLocked) != 0; }

// The constrain key squares rectangles and ellipses; the selection class
// only while the document has no selection yet (there Shift adds).
bool squareHeld(TDrawWindow& w, ShapeClass cls, uint32_t shift) {
  if (!constrainHeld(w, shift)) return false;
  return cls != ShapeClass::Select || !w.paper().hasSelection();
}

void refreshOverlay(TDrawWindow& w) {
  w.toolState().inputState |= input::kOverlay;
  if (w.host() != nullptr) w.host()->updateAll();
}

// The list holds count points and the moving end (or the closing point) in
// the slot after them.
void setMovingEnd(TDrawWindow& w, TPoint p) {
  w.toolState().tool.points.resize(static_cast<size_t>(w.toolState().tool.count) + 1);
  w.toolState().tool.points[static_cast<size_t>(w.toolState().tool.count)] = p;
}

void boxCorners(TDrawWindow& w, ShapeClass cls, TPoint p, uint32_t shift, TPointF& a, TPointF& b) {
  a = w.clientToImage(toPointF(w.toolState().anchor));
  b = constrainedCorner(a, w.clientToImage(toPointF(p)), squareHeld(w, cls, shift));
}

void ellipsePoints(TPointF a, TPointF b, std::vector<TPointF>& out) {
  out.clear();
  const TRectF box{std::min(a.X, b.X), std::min(a.Y, b.Y), std::max(a.X, b.X), std::max(a.Y, b.Y)};
  (void)rasterEllipse(box, 0.0, out);  // an empty box gives no points
}

void setWindowPoints(TDrawWindow& w, const std::vector<TPointF>& image, bool closed) {
  w.toolState().tool.points.clear();
  for (const TPointF& q : image) w.toolState().tool.points.push_back(toPointRounded(w.imageToClient(q)));
  w.toolState().tool.count = static_cast<int32_t>(w.toolState().tool.points.size());
  w.toolState().tool.closed = closed;
}

TPointF lineEnd(TDrawWindow& w, TPoint p, uint32_t shift) {
  const TPointF a = toPointF(w.toolState().anchor), b = toPointF(p);
  return constrainHeld(w, shift) ? snapTo15Degrees(a, b) : b;
}

// ---- finishing ----

// The listed window points as document points.
std::vector<TPointF> listedImagePoints(TDrawWindow& w, int32_t count) {
  std::vector<TPointF> out;
  const int32_t n = std::min<int32_t>(count, static_cast<int32_t>(w.toolState().tool.points.size()));
  for (int32_t i = 0; i < n; ++i) out.push_back(w.clientToImage(toPointF(w.toolState().tool.points[static_cast<size_t>(i)])));
  return out;
}

// The shape's outline as document points, closed when the shape is.
bool shapeOutline(TDrawWindow& w, ShapeClass cls, int32_t kind, TPoint p, uint32_t shift, std::vector<TPointF>& out,
                  bool& closed) {
  out.clear();
  closed = false;
  switch (kind) {
    case kRect: {
      TPointF a, b;
      boxCorners(w, cls, p, shift, a, b);
      out = {a, {b.X, a.Y}, b, {a.X, b.Y}};
      closed = true;
      return true;
    }
    case kEllipse: {
      const double d = std::hypot(static_cast<double>(p.X) - w.toolState().anchor.X, static_cast<double>(p.Y) - w.toolState().anchor.Y);
      if (d < kMinEllipseDrag) return false;
      TPointF a, b;
      boxCorners(w, cls, p, shift, a, b);
      ellipsePoints(a, b, out);
      closed = true;
      return !out.empty();
    }
    case kPolygon:
      out = listedImagePoints(w, w.toolState().tool.count);
      closed = out.size() > 2;
      return !out.empty();
    case kLineOrFreehand:
      if (cls == ShapeClass::Brush) {
        out = {w.clientToImage(toPointF(w.toolState().anchor)), w.clientToImage(lineEnd(w, p, shift))};
      } else {
        out = listedImagePoints(w, w.toolState().tool.count);
        closed = true;
      }
      return !out.empty();
    case kMultiLine:
      out = listedImagePoints(w, w.toolState().tool.count);
      return !out.empty();
    default:
      return false;
  }
}

// The brush draws the outline as one stroke: pressure-free, at the
// settings' opacity, with the shape flags set for its duration. The points
// count as non-mouse input so that a held constrain key does not refuse them.
bool strokeOutline(TDrawWindow& w, std::vector<TPointF> points, bool closed) {
  if (points.empty()) return false;
  if (closed && points.size() > 2 && points.front() != points.back()) points.push_back(points.front());
  TStroke& s = w.shared().toolStroke();
  const uint8_t keptSource = s.inputSource, keptSize = s.ifSIZE, keptOpacity = s.ifTRANSPARENCY;
  const uint8_t keptFlags[2] = {s.shapeFlags[0], s.shapeFlags[1]};
  s.inputSource = 1;
  s.ifSIZE = 0;
  s.ifTRANSPARENCY = 0;
  s.shapeFlags[0] = s.shapeFlags[1] = 1;
  const float pressure = s.getOpacity();
  const CToolEditScope scope(w);
  // The stroke smooths its input: each edge goes in as points a few window
  // pixels apart so that corners stay corners. Every point but the last goes
  // through strokePoint; the last ends the stroke.
  for (size_t i = 0; i + 1 < points.size(); ++i) {
    const TPointF a = w.imageToClient(points[i]), b = w.imageToClient(points[i + 1]);
    const double length = std::hypot(static_cast<double>(b.X) - a.X, static_cast<double>(b.Y) - a.Y);
    const int32_t steps = static_cast<int32_t>(std::clamp(std::ceil(length / kEdgeStep), 1.0, 100000.0));
    for (int32_t k = 0; k < steps; ++k) {
      const float t = static_cast<float>(k) / static_cast<float>(steps);
      // A point the stroke refuses is skipped like a short step.
      (void)w.strokePoint(s, false, a.X + (b.X - a.X) * t, a.Y + (b.Y - a.Y) * t, pressure);
    }
  }
  const bool drawn = w.isStrokeOpen();
  const TPointF last = w.imageToClient(points.back());
  w.strokeEnd(s, false, last.X, last.Y);
  s.inputSource = keptSource;
  s.ifSIZE = keptSize;
  s.ifTRANSPARENCY = keptOpacity;
  s.shapeFlags[0] = keptFlags[0];
  s.shapeFlags[1] = keptFlags[1];
  return drawn;
}

bool finishShape(TDrawWindow& w, ShapeClass cls, TPoint p, uint32_t shift) {
  const int32_t kind = shapeKind(w, cls);
  std::vector<TPointF> outline;
  bool closed = false;
  if (!shapeOutline(w, cls, kind, p, shift, outline, closed)) return false;
  if (cls == ShapeClass::Brush) return strokeOutline(w, std::move(outline), closed);
  TPaper& doc = w.paper();
  const int32_t index = doc.currentLayerIndex();
  TStroke& stroke = w.shared().toolStroke();
  TPointF a{}, b{};
  if (kind == kRect || kind == kEllipse) boxCorners(w, cls, p, shift, a, b);
  const int32_t count = static_cast<int32_t>(outline.size());
  const CToolEditScope scope(w);
  bool ok = false;
  if (cls == ShapeClass::Fill) {
    if (kind == kRect) {
      ok = doc.layerFigureRect(w.flow(), index, a, b, stroke, true, true);
    } else if (kind == kEllipse) {
      ok = doc.layerFigureEllipse(w.flow(), index, a, b, 0.0, stroke, true);
    } else if (count >= 3) {
      ok = doc.layerFigurePolygon(w.flow(), index, count, outline.data(), stroke, true);
    }
  } else {
    const SKeyState& k = w.keyState();
    const uint32_t bits = shift | k.shiftBits();
    const SModifierKeys keys{(bits & kShiftBit) != 0, (bits & kCtrlBit) != 0, (bits & kAltBit) != 0};
    const int32_t mode = doc.selectModeFromKeys(keys, w.shared().prefs.shortcutMode);
    if (kind == kRect) {
      ok = doc.maskFigureRect(w.flow(), index, a, b, mode, stroke, true);
    } else if (kind == kEllipse) {
      ok = doc.maskFigureEllipse(w.flow(), index, a, b, 0.0, mode, stroke, true);
    } else if (count >= 3) {
      ok = doc.maskFigurePolygon(w.flow(), index, count, outline.data(), mode, stroke, true);
    }
  }
  return ok;
}

void endShape(TDrawWindow& w) {
  w.toolState().inputState &= static_cast<uint16_t>(~(input::kAnchorLocked | input::kOverlay | input::kMoved));
  w.toolState().tool.count = 0;
  w.toolState().tool.points.clear();
  w.invalidateView();
}

void finishAndEnd(TDrawWindow& w, ShapeClass cls, TPoint p, uint32_t shift) {
  if (finishShape(w, cls, p, shift)) w.setModified(true);
  endShape(w);
}

// ---- handlers, per class ----

void shapeDown(TDrawWindow& w, ShapeClass cls, uint32_t, TPoint p) {
  if (inProgress(w)) return;
  const int32_t kind = shapeKind(w, cls);
  if (kind < 0) return;
  if (cls == ShapeClass::Select) {
    w.toolState().anchor = snapToViewGrid(p, w.paper().zoomValue(), true);
    p = w.toolState().anchor;
  }
  w.toolState().tool.viewSin = w.paper().view().sinA();
  w.toolState().tool.viewCos = w.paper().view().cosA();
  w.toolState().tool.points.clear();
  w.toolState().tool.count = 0;
  w.toolState().tool.closed = kind != kLineOrFreehand && kind != kMultiLine;
  w.toolState().lastPoint = p;
  w.toolState().inputState &= static_cast<uint16_t>(~input::kPressed);
  if (multiPoint(kind)) {
    w.toolState().inputState |= input::kAnchorLocked;
    w.toolState().tool.points.push_back(p);
    w.toolState().tool.count = 1;
  } else if (kind == kLineOrFreehand && cls != ShapeClass::Brush) {
    w.toolState().tool.points.push_back(p);
    w.toolState().tool.count = 1;
    w.toolState().tool.closed = true;
  } else {
    toolInfo(w, 2, w.clientToImage(toPointF(p)));
  }
}

void shapeDrag(TDrawWindow& w, ShapeClass cls, uint32_t shift, TPoint p) {
  if (p == w.toolState().lastPoint && !w.toolState().autoScrolled) return;
  showPointerInfo(w, shift, p);
  const int32_t kind = shapeKind(w, cls);
  if (inProgress(w)) {
    setMovingEnd(w, p);
    const TPointF first = w.clientToImage(toPointF(w.toolState().tool.points[0])), end = w.clientToImage(toPointF(p));
    toolInfo(w, 3, {end.X - first.X, end.Y - first.Y});
  } else {
    switch (kind) {
      case kRect:
      case kEllipse: {
        std::vector<TPointF> outline;
        bool closed = false;
        if (shapeOutline(w, cls, kind, p, shift, outline, closed)) {
          setWindowPoints(w, outline, true);
        } else {
          w.toolState().tool.points.clear();
          w.toolState().tool.count = 0;
        }
        break;
      }
      case kLineOrFreehand:
        if (cls == ShapeClass::Brush) {
          w.toolState().tool.points = {w.toolState().anchor, toPointRounded(lineEnd(w, p, shift))};
          w.toolState().tool.count = 2;
          w.toolState().tool.closed = false;
        } else {
          w.toolState().tool.points.resize(static_cast<size_t>(w.toolState().tool.count));
          w.toolState().tool.points.push_back(p);
          ++w.toolState().tool.count;
        }
        break;
      default:
        break;
    }
  }
  w.toolState().lastPoint = p;
  w.toolState().inputState |= input::kMoved;
  refreshOverlay(w);
  if (w.shared().prefs.useAutoScroll && w.host() != nullptr) w.host()->setAutoScrollTimer(true);
}

void shapeHover(TDrawWindow& w, ShapeClass cls, uint32_t shift, TPoint p) {
  if (inProgress(w)) {
    setMovingEnd(w, p);
    refreshOverlay(w);
  } else {
    showPointerInfo(w, shift, p);
  }
  if (cls == ShapeClass::Select) w.updateCursor(p);
}

void shapeUp(TDrawWindow& w, ShapeClass cls, uint32_t shift, TPoint p) {
  if (inProgress(w)) {
    if (p == w.toolState().anchor) return;
    if (w.toolState().tool.count > 0 && w.toolState().tool.points.size() >= static_cast<size_t>(w.toolState().tool.count) &&
        w.toolState().tool.points[static_cast<size_t>(w.toolState().tool.count) - 1] == p)
      return;
    w.toolState().tool.points.resize(static_cast<size_t>(w.toolState().tool.count));
    w.toolState().tool.points.push_back(p);
    ++w.toolState().tool.count;
    w.toolState().inputState |= input::kMoved;
    toolInfo(w, 2, w.clientToImage(toPointF(p)));
    refreshOverlay(w);
    return;
  }
  if ((w.toolState().inputState & input::kIgnorePointer) == 0) finishAndEnd(w, cls, p, shift);
  else endShape(w);
}

void selectUp(TDrawWindow& w, uint32_t shift, TPoint p) {
  const uint32_t bits = shift | w.keyState().shiftBits();
  const uint32_t modeKey = w.shared().prefs.shortcutMode == 0 ? kAltBit : kCtrlBit;
  if (!inProgress(w) && (w.toolState().inputState & input::kMoved) == 0 && p == w.toolState().anchor && (bits & (modeKey | kShiftBit)) == 0) {
    TPaper& doc = w.paper();
    TPoint maskOffset{};
    const CBlockVCH* mask = doc.selectionImage(maskOffset);
    if (mask != nullptr) {
      const TPoint at = w.clientToImageRounded(p);
      const int64_t x = int64_t{at.X} + maskOffset.X, y = int64_t{at.Y} + maskOffset.Y;
      const bool inside = x >= 0 && y >= 0 && x < INT32_MAX && y < INT32_MAX &&
                          mask->getPixelOr0(static_cast<int32_t>(x), static_cast<int32_t>(y)) >= 1;
      if (!inside) {
        bool cleared = false;
        {
          const CToolEditScope scope(w);
          cleared = doc.maskFillNone(w.flow(), doc.currentLayerIndex(), true);
        }
        if (cleared) w.setModified(true);
        endShape(w);
        return;
      }
    }
  }
  shapeUp(w, ShapeClass::Select, shift, p);
}

void shapeDoubleClick(TDrawWindow& w, ShapeClass cls, uint32_t shift, TPoint p) {
  if (w.shared().onGrabberDoubleClick && w.shared().onGrabberDoubleClick()) return;
  if (!inProgress(w)) return;
  finishAndEnd(w, cls, p, shift);
}

void shapeRightDown(TDrawWindow& w, uint32_t shift, TPoint p) {
  if (!inProgress(w)) {
    rightDownPick(w, shift, p);
    return;
  }
  --w.toolState().tool.count;
  if (w.toolState().tool.count < 1) {
    endShape(w);
    return;
  }
  setMovingEnd(w, p);
  refreshOverlay(w);
}

void shapeKey(TDrawWindow& w, ShapeClass cls, int32_t key, uint32_t) {
  const bool held = (w.toolState().inputState & kHeldBits) != 0;
  if (!held && !inProgress(w)) {
    // A key that is no arrow starts nothing.
    if (cls == ShapeClass::Select && !w.isBusy()) (void)startSelectionKeyMove(w, key);
    return;
  }
  if (key == keys::kEscape) {
    if (held) w.releaseButton(PointerButton::Left, 0, nullptr);
    endShape(w);
  } else if (key == keys::kSpace) {
    const TPoint last = w.toolState().tool.count > 0 ? w.toolState().tool.points[static_cast<size_t>(w.toolState().tool.count) - 1] : w.toolState().lastPoint;
    const bool multi = inProgress(w);
    if (held) w.releaseButton(PointerButton::Left, 0, nullptr);
    if (multi) {
      finishAndEnd(w, cls, last, 0);
    } else {
      finishAndEnd(w, cls, w.toolState().lastPoint, 0);
    }
  }
}

void shapeEnd(TDrawWindow& w, const TPoint* p) {
  endTool(w, p);
  if (inProgress(w) || w.toolState().tool.count > 0) endShape(w);
}

// A pointer handler of the table: the shape routine with the class bound.
template <ShapeClass C, void (*Shape)(TDrawWindow&, ShapeClass, uint32_t, TPoint)>
void bound(TDrawWindow& w, uint32_t shift, TPoint p) {
  Shape(w, C, shift, p);
}
template <ShapeClass C>
void key(TDrawWindow& w, int32_t k, uint32_t data) {
  shapeKey(w, C, k, data);
}
template <ShapeClass C>
bool finish(TDrawWindow& w, TPoint, TPoint p) {
  return finishShape(w, C, p, 0);
}
void overlay(TDrawWindow&) {
  // The host draws the rubber band from the window's point list.
}

template <ShapeClass C>
constexpr SToolHandlers tableOf(PointerHandler upHandler) {
  return SToolHandlers{bound<C, shapeDown>, bound<C, shapeDrag>, upHandler, bound<C, shapeDoubleClick>,
                       shapeRightDown, nullptr, nullptr, nullptr, bound<C, shapeHover>, key<C>, overlay, finish<C>,
                       shapeEnd};
}

}  // namespace

extern const SToolHandlers kBrushShapeHandlers = tableOf<ShapeClass::Brush>(bound<ShapeClass::Brush, shapeUp>);
extern const SToolHandlers kFillShapeHandlers = tableOf<ShapeClass::Fill>(bound<ShapeClass::Fill, shapeUp>);
extern const SToolHandlers kSelectShapeHandlers = tableOf<ShapeClass::Select>(selectUp);

}  // namespace pg
