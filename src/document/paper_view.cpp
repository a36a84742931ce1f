// The document's side of its view: the preferences the view reads, the
// outline's view, the mapping through the attached window's client size,
// the grid and the background display. The view state itself is
// CViewState (view_state.cpp).
#include "document/paper_view.h"

#include <cmath>
#include <numbers>

#include "core/colour.h"
#include "core/det_math.h"
#include "document/paper.h"
#include "document/paper_compose.h"

namespace pg {

namespace {
CViewPrefs gDefaultPrefs;
CViewPrefs* gPrefs = nullptr;
}  // namespace

CViewPrefs& viewPrefs() { return gPrefs != nullptr ? *gPrefs : gDefaultPrefs; }

CViewPrefs* setViewPrefs(CViewPrefs* prefs) {
  CViewPrefs* old = gPrefs;
  gPrefs = prefs;
  return old;
}

// ---- the selection outline's view ------------------------------------------------------

float CPaperAntsView::zoom() const { return doc_.zoomValue(); }
float CPaperAntsView::sinA() const { return doc_.view().sinA(); }
float CPaperAntsView::cosA() const { return doc_.view().cosA(); }

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

// ---- coordinates -----------------------------------------------------------------------------

SSize TPaper::clientSize() const { return surface_ != nullptr ? surface_->clientSize() : SSize{}; }

TPoint TPaper::getViewOrigin(int32_t clientW, int32_t clientH) const { return view_.origin(SSize{clientW, clientH}); }

void TPaper::windowToPaperF(int32_t clientW, int32_t clientH, float& x, float& y) const {
  view_.windowToPaperF(SSize{clientW, clientH}, x, y);
}

void TPaper::paperToWindowF(TPointF& p) const { view_.paperToWindowF(clientSize(), p); }

void TPaper::paperToWindow(TPoint& p) const { view_.paperToWindow(clientSize(), p); }

// ---- grid --------------------------------------------------------------------------------------

void TPaper::setGridSize(bool show, int32_t gx, int32_t gy, bool redrawNow) {
  view_.setGrid(show, gx, gy);
  if (redrawNow) redraw(true);
  invalidate();
}


void TPaper::drawGrid(const SRectXYWH& rect) {
  if (!view_.showGrid()) return;
  const uint32_t setting = viewPrefs().gridColor();
  // The preference holds a colour value (red low) with the opacity on top.
  const uint32_t colour = colorToPixel(setting & 0x00FFFFFFu);
  (void)drawGridLines(composite_, xywhToRect(rect), view_.gridX(), view_.gridY(), colour, setting >> 24, showCanvasColor_);  // display only: nothing to undo
}

void TPaper::drawGridAll() { drawGrid(SRectXYWH{0, 0, composite_.Width, composite_.Height}); }

// ---- background display --------------------------------------------------------------------------

bool TPaper::setBackgroundDisplay(bool canvasColor, bool bgPattern, bool repaint) {
  if (!paperColor_.isWhite()) return false;
  if (canvasColor == showCanvasColor_ && bgPattern == showBgPattern_) return false;
  showCanvasColor_ = canvasColor;
  showBgPattern_ = bgPattern;
  if (repaint) repaintLayer(currentLayerIndex());
  return true;
}

}  // namespace pg
