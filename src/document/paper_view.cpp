// The view state of a document: zoom, rotation, scroll position, the
// mapping between window and document coordinates, the grid and the
// background display.
#include "document/paper_view.h"

#include <algorithm>
#include <cmath>
#include <numbers>

#include "core/colour.h"
#include "core/det_math.h"
#include "document/paper.h"
#include "document/paper_compose.h"
#include "document/zoom_steps.h"

namespace pg {

namespace {
CViewPrefs gDefaultPrefs;
CViewPrefs* gPrefs = nullptr;

constexpr float kMinZoom = 0.0625f;
constexpr float kMaxZoom = 16.0f;

// Window coordinates after a mapping, truncated toward zero and kept inside
// the 32-bit range whatever the view.
int32_t truncToInt32(float v) { return saturateToInt32(std::trunc(static_cast<double>(v))); }
}  // namespace

CViewPrefs& viewPrefs() { return gPrefs != nullptr ? *gPrefs : gDefaultPrefs; }

CViewPrefs* setViewPrefs(CViewPrefs* prefs) {
  CViewPrefs* old = gPrefs;
  gPrefs = prefs;
  return old;
}

// ---- the selection outline's view ------------------------------------------------------

float CPaperAntsView::zoom() const { return doc_.zoomValue(); }
float CPaperAntsView::sinA() const { return doc_.sinA; }
float CPaperAntsView::cosA() const { return doc_.cosA; }

void CPaperAntsView::paperToWindow(int32_t& x, int32_t& y) const {
  TPoint p{x, y};
  doc_.paperToWindow(p);
  x = p.X;
  y = p.Y;
}

// ---- helpers -------------------------------------------------------------------------------

SViewAngle normalizeViewAngle(float degrees) {
  SViewAngle a;
  if (!std::isfinite(degrees)) return a;
  // fmod is exact, and brings even a huge angle into one turn at once.
  double d = std::fmod(static_cast<double>(degrees), 360.0);
  if (d > 0.0) d -= 360.0;
  if (d <= -360.0) d += 360.0;
  if (d == 0.0) d = 0.0;  // no negative zero
  a.degrees = static_cast<float>(d);
  a.radians = static_cast<float>(static_cast<double>(a.degrees) * std::numbers::pi / 180.0);
  if (a.degrees == 0.0f) {
    a.sine = 0.0f;
    a.cosine = 1.0f;
  } else if (a.degrees == -90.0f) {
    a.sine = -1.0f;
    a.cosine = 0.0f;
  } else if (a.degrees == -180.0f) {
    a.sine = 0.0f;
    a.cosine = -1.0f;
  } else if (a.degrees == -270.0f) {
    a.sine = 1.0f;
    a.cosine = 0.0f;
  } else {
    a.sine = dmath::sin(a.radians);
    a.cosine = dmath::cos(a.radians);
  }
  return a;
}

std::string captionOfName(const std::string& name, bool fullPath) {
  if (fullPath) return name;
  // Names of old files carry backslashes and drive colons, ours slashes.
  const size_t cut = name.find_last_of("\\:/");
  return cut == std::string::npos ? name : name.substr(cut + 1);
}

// ---- zoom ----------------------------------------------------------------------------------

float TPaper::setZoom(int32_t num, int32_t den) {
  // A ratio that is not positive has no zoom value; the view keeps its own.
  if (num <= 0 || den <= 0) return zoomValue();
  const float v = ratioToFloat(SRatio{num, den});
  if (v < kMinZoom) {
    zoom = SRatio{1, 16};
  } else if (v > kMaxZoom) {
    zoom = SRatio{16, 1};
  } else {
    zoom = SRatio{num, den};
  }
  return zoomValue();
}

void TPaper::zoomIn() {
  if (canZoomIn()) zoomRatioUp(zoom);
}

void TPaper::zoomOut() {
  if (canZoomOut()) zoomRatioDown(zoom);
}

// ---- coordinates -----------------------------------------------------------------------------

SSize TPaper::clientSize() const { return surface_ != nullptr ? surface_->clientSize() : SSize{}; }

TPoint TPaper::getViewOrigin(int32_t clientW, int32_t clientH) const {
  if (angleRad != 0.0f) return {truncToInt32(viewCenter.X), truncToInt32(viewCenter.Y)};
  const float z = zoomValue();
  const float hx = static_cast<float>(clientW / 2) / z;
  const float hy = static_cast<float>(clientH / 2) / z;
  const float x = scrollOrigin.X < 1 ? hx + static_cast<float>(scrollOffset.X)
                                     : hx - static_cast<float>(scrollOrigin.X) / z;
  const float y = scrollOrigin.Y < 1 ? hy + static_cast<float>(scrollOffset.Y)
                                     : hy - static_cast<float>(scrollOrigin.Y) / z;
  return {truncToInt32(x), truncToInt32(y)};
}

void TPaper::windowToPaperF(int32_t clientW, int32_t clientH, float& x, float& y) const {
  const float z = zoomValue();
  if (angleRad == 0.0f) {
    x = (x - static_cast<float>(scrollOrigin.X) + 0.5f) / z + static_cast<float>(scrollOffset.X) - 0.5f;
    y = (y - static_cast<float>(scrollOrigin.Y) + 0.5f) / z + static_cast<float>(scrollOffset.Y) - 0.5f;
    return;
  }
  const float dx = (x - static_cast<float>(clientW / 2)) / z;
  const float dy = (y - static_cast<float>(clientH / 2)) / z;
  x = cosA * dx - sinA * dy + viewCenter.X;
  y = sinA * dx + cosA * dy + viewCenter.Y;
}

void TPaper::paperToWindowF(TPointF& p) const {
  const float z = zoomValue();
  if (angleRad == 0.0f) {
    p.X = (p.X - static_cast<float>(scrollOffset.X)) * z + static_cast<float>(scrollOrigin.X);
    p.Y = (p.Y - static_cast<float>(scrollOffset.Y)) * z + static_cast<float>(scrollOrigin.Y);
    return;
  }
  const SSize client = clientSize();
  const float dx = p.X - viewCenter.X;
  const float dy = p.Y - viewCenter.Y;
  p.X = (cosA * dx + sinA * dy) * z + static_cast<float>(client.W / 2);
  p.Y = (-sinA * dx + cosA * dy) * z + static_cast<float>(client.H / 2);
}

void TPaper::paperToWindow(TPoint& p) const {
  TPointF f = pointToFloat(p);
  paperToWindowF(f);
  p = {truncToInt32(f.X + 0.01f), truncToInt32(f.Y + 0.01f)};
}

// ---- view state -------------------------------------------------------------------------------

void TPaper::setViewAngle(float degrees) {
  const SViewAngle a = normalizeViewAngle(degrees);
  angleDeg = a.degrees;
  angleRad = a.radians;
  sinA = a.sine;
  cosA = a.cosine;
}

void TPaper::setViewRadians(float radians) {
  if (!std::isfinite(radians)) radians = 0.0f;
  angleRad = radians;
  angleDeg = static_cast<float>(static_cast<double>(radians) * 180.0 / std::numbers::pi);
  sinA = dmath::sin(radians);
  cosA = dmath::cos(radians);
}

void TPaper::panView(float dx, float dy) {
  viewCenter.X -= dx * cosA - dy * sinA;
  viewCenter.Y -= dx * sinA + dy * cosA;
}

// ---- grid --------------------------------------------------------------------------------------

void TPaper::setGridSize(bool show, int32_t gx, int32_t gy, bool redrawNow) {
  showGrid = show;
  gridX = std::max(gx, 2);
  gridY = std::max(gy, 2);
  if (redrawNow) redraw(true);
  invalidate();
}

void TPaper::applyGridSettings(bool redrawNow) {
  setGridSize(showGrid, viewPrefs().gridW(), viewPrefs().gridH(), redrawNow);
}

void TPaper::drawGrid(const SRectXYWH& rect) {
  if (!showGrid) return;
  const uint32_t setting = viewPrefs().gridColor();
  // The preference holds a colour value (red low) with the opacity on top.
  const uint32_t colour = colorToPixel(setting & 0x00FFFFFFu);
  (void)drawGridLines(composite, xywhToRect(rect), gridX, gridY, colour, setting >> 24, showCanvasColor);  // display only: nothing to undo
}

void TPaper::drawGridAll() { drawGrid(SRectXYWH{0, 0, composite.Width, composite.Height}); }

// ---- background display --------------------------------------------------------------------------

bool TPaper::setBackgroundDisplay(bool canvasColor, bool bgPattern, bool repaint) {
  if (!paperColor.isWhite()) return false;
  if (canvasColor == showCanvasColor && bgPattern == showBgPattern) return false;
  showCanvasColor = canvasColor;
  showBgPattern = bgPattern;
  if (repaint) repaintLayer(currentLayerIndex());
  return true;
}

}  // namespace pg
