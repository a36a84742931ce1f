// View painting: the composite brought into the window's back buffer,
// magnified at whole zoom ratios, turned and scaled through the view buffer
// otherwise, and flattened onto white or the check pattern when the
// transparent display is on.
#include <algorithm>
#include <cmath>

#include "core/fixed_point.h"
#include "core/plane_ops.h"
#include "core/resample.h"
#include "core/saturate.h"
#include "document/layer_thumbnail.h"
#include "document/paper.h"

namespace pg {

namespace {

// rect clipped to the plane, false when nothing of it lies there.
bool clipToPlane(const CDibCore& plane, TRect& rect) { return plane.IsAllocated() && plane.clipRect(rect); }

// Copies rect (the same place in both planes) from src to dst.
void copySamePlace(TMTC& dst, const TMTC& src, TRect rect) {
  if (clipToPlane(src, rect) && clipToPlane(dst, rect)) {
    copyPlaneRect32(dst, src, TPoint{rect.Left, rect.Top}, rectToXYWH(rect));
  }
}

}  // namespace

bool TPaper::viewFitsScale() const { return zoomFitsScale(view_.zoom(), std::max(width_, height_)); }

bool TPaper::paintWindowRect(const IViewSurface* window, const TRect& rect) {
  if (window == nullptr || window != surface_) return false;
  TMTC* target = surface_->backBuffer();
  if (target == nullptr || !target->IsAllocated() || !composite_.IsAllocated()) return false;
  TRect r = rect;
  if (!intersectRect(r, TRect{0, 0, std::min(width_, composite_.Width), std::min(height_, composite_.Height)})) {
    return false;
  }
  TRect painted{};
  bool ok = false;
  if (viewFitsScale() && view_.angleRad() == 0.0f) {
    if (showCanvasColor_) {
      ok = paintViewScaled(*target, composite_, rectToXYWH(r), painted);
    } else if (preparePatternBuffer() && view_.patternBuffer().IsAllocated()) {
      ok = stretchViewRect(target, view_.patternBuffer(), rectToXYWH(r), composite_, &painted);
    }
  } else {
    ok = paintView(*target, rectToXYWH(r), painted);
  }
  if (ok) surface_->presentRect(painted);
  return ok;
}

bool TPaper::paintViewScaled(TMTC& target, const TMTC& source, const SRectXYWH& rect, TRect& painted) {
  if (!isPlaneReady(&target) || !isPlaneReady(&source) || view_.zoom().Den <= 0 || view_.zoom().Num <= 0) return false;
  SRectXYWH src = rect;
  if (!clipXYWHToSize(src, source.size())) return false;
  if (view_.zoom().Num == view_.zoom().Den) {
    const TPoint at{saturateTo<int32_t>(int64_t{src.X} + view_.scrollOrigin().X - view_.scrollOffset().X),
                    saturateTo<int32_t>(int64_t{src.Y} + view_.scrollOrigin().Y - view_.scrollOffset().Y)};
    TRect dest{at.X, at.Y, saturateTo<int32_t>(int64_t{at.X} + src.Width), saturateTo<int32_t>(int64_t{at.Y} + src.Height)};
    if (!clipToPlane(target, dest)) return false;
    copyPlaneRect32(target, source, at, src);
    painted = dest;
    return true;
  }
  if (!ratioIsWhole(view_.zoom())) return false;
  const int32_t k = view_.zoom().Num / view_.zoom().Den;
  // The whole-zoom mapping: document point d lands on scrollOrigin + (d - scrollOffset) x k.
  const TPoint origin{saturateTo<int32_t>(int64_t{view_.scrollOrigin().X} - int64_t{view_.scrollOffset().X} * k),
                      saturateTo<int32_t>(int64_t{view_.scrollOrigin().Y} - int64_t{view_.scrollOffset().Y} * k)};
  TRect dest{saturateTo<int32_t>(origin.X + int64_t{src.X} * k), saturateTo<int32_t>(origin.Y + int64_t{src.Y} * k),
             saturateTo<int32_t>(origin.X + (int64_t{src.X} + src.Width) * k),
             saturateTo<int32_t>(origin.Y + (int64_t{src.Y} + src.Height) * k)};
  if (!clipToPlane(target, dest) || !magnifyInto(target, source, src, origin, k)) return false;
  painted = dest;
  return true;
}

bool TPaper::paintView(TMTC& target, const SRectXYWH& rect, TRect& painted) {
  if (!isPlaneReady(&target) || !composite_.IsAllocated()) return false;
  const SSize client = surface_ != nullptr ? surface_->clientSize() : target.size();
  if (client.W <= 0 || client.H <= 0) return false;
  if (view_.viewBuffer().size() != client && !view_.viewBuffer().Resize(client.W, client.H)) return false;
  const float z = zoomValue();
  // The square around the rectangle's window centre that holds the
  // rectangle at any rotation.
  const float cx = static_cast<float>(rect.X + rect.Width / 2);
  const float cy = static_cast<float>(rect.Y + rect.Height / 2);
  const int64_t r = static_cast<int64_t>(std::sqrt(2.0) * std::max(rect.Width, rect.Height) * z / 2.0) + 1;
  const TPoint o = getViewOrigin(client.W, client.H);
  const float dx = (cx - static_cast<float>(o.X)) * z;
  const float dy = (cy - static_cast<float>(o.Y)) * z;
  const int64_t wx = saturateToInt32(std::trunc(static_cast<double>(view_.cosA() * dx + view_.sinA() * dy))) + client.W / 2;
  const int64_t wy = saturateToInt32(std::trunc(static_cast<double>(-view_.sinA() * dx + view_.cosA() * dy))) + client.H / 2;
  TRect square{saturateTo<int32_t>(wx - r), saturateTo<int32_t>(wy - r), saturateTo<int32_t>(wx + r), saturateTo<int32_t>(wy + r)};
  if (!clipToPlane(view_.viewBuffer(), square)) return false;
  if (showCanvasColor_) {
    (void)rotateScaleInto(composite_, view_.viewBuffer(), o, 1.0f / z, view_.angleRad(), square);  // the square was clipped above
  } else {
    (void)renderRotatedView(view_.viewBuffer(), composite_, square, o);  // display only: nothing to undo
  }
  copySamePlace(target, view_.viewBuffer(), square);
  painted = square;
  return true;
}

void TPaper::buildViewBuffer() {
  if (viewFitsScale() && view_.angleRad() == 0.0f) {
    if (showCanvasColor_) return;  // the paint magnifies the composite itself
    if (preparePatternBuffer() && view_.patternBuffer().IsAllocated()) {
      fillPlane(view_.patternBuffer(), surface_ != nullptr ? surface_->backgroundColor() : kWorkspaceColor);
      (void)stretchViewRect(nullptr, view_.patternBuffer(), SRectXYWH{0, 0, composite_.Width, composite_.Height}, composite_);  // display only: nothing to undo
    }
    return;
  }
  const SSize client = clientSize();
  if (client.W <= 0 || client.H <= 0) return;
  if (view_.viewBuffer().size() != client && !view_.viewBuffer().Resize(client.W, client.H)) return;
  const TPoint o = getViewOrigin(client.W, client.H);
  if (showCanvasColor_) {
    (void)rotateScaleAll(composite_, view_.viewBuffer(), o, 1.0f / zoomValue(), view_.angleRad());  // the buffer was sized above
  } else {
    (void)renderRotatedView(view_.viewBuffer(), composite_, TRect{0, 0, client.W, client.H}, o);  // display only: nothing to undo
  }
}

void TPaper::refreshWindow(bool rebuild) {
  if (rebuild) buildViewBuffer();
  if (owner_ != nullptr && owner_->isReplaying() && surface_ != nullptr) {
    surface_->updateNow();
  } else {
    invalidate();
  }
}

void TPaper::paintWindow(TMTC& target) {
  if (!isPlaneReady(&target)) return;
  if (viewFitsScale() && view_.angleRad() == 0.0f) {
    if (showCanvasColor_) {
      TRect painted;
      (void)paintViewScaled(target, composite_, SRectXYWH{0, 0, composite_.Width, composite_.Height}, painted);  // display only: nothing to undo
    } else {
      copySamePlace(target, view_.patternBuffer(), TRect{0, 0, target.Width, target.Height});
    }
    return;
  }
  copySamePlace(target, view_.viewBuffer(), TRect{0, 0, target.Width, target.Height});
}

bool TPaper::preparePatternBuffer() {
  if (showCanvasColor_) return true;
  const SSize client = clientSize();
  if (client.W <= 0 || client.H <= 0) return false;
  if (view_.patternBuffer().IsAllocated() && view_.patternBuffer().size() == client) return true;
  if (!view_.patternBuffer().Resize(client.W, client.H)) return false;
  fillPlane(view_.patternBuffer(), surface_ != nullptr ? surface_->backgroundColor() : kWorkspaceColor);
  return true;
}

bool TPaper::fillViewBackground(TMTC& target, const TRect& rect, const TRect& canvasRect) const {
  if (showCanvasColor_) return false;
  if (showBgPattern_) {
    compositeOnChecker(target, rect, TPoint{canvasRect.Left, canvasRect.Top}, SSize{kCheckCell, kCheckCell},
                       0xFF000000u | kCheckOddColor, 0xFF000000u | kCheckEvenColor);
  } else {
    compositeOnColor(target, rect, 0xFFFFFFFFu);
  }
  return true;
}

bool TPaper::stretchViewRect(TMTC* dc, TMTC& target, const SRectXYWH& srcRect, const TMTC& source,
                             TRect* painted) {
  if (!isPlaneReady(&target) || !isPlaneReady(&source)) return false;
  // 64-bit products: at 16/1 a 16.16 zoom times a coordinate of a large
  // document no longer fits 32 bits.
  const int64_t s = floatToFix(zoomValue());
  if (s <= 0) return false;
  const int64_t ox = int64_t{view_.scrollOrigin().X} - ((int64_t{view_.scrollOffset().X} * s) >> 16);
  const int64_t oy = int64_t{view_.scrollOrigin().Y} - ((int64_t{view_.scrollOffset().Y} * s) >> 16);
  const int64_t left = ((int64_t{srcRect.X} * s) >> 16) + ox;
  const int64_t top = ((int64_t{srcRect.Y} * s) >> 16) + oy;
  TRect dest{saturateTo<int32_t>(left), saturateTo<int32_t>(top), saturateTo<int32_t>(left + ((int64_t{srcRect.Width} * s) >> 16)),
             saturateTo<int32_t>(top + ((int64_t{srcRect.Height} * s) >> 16))};
  if ((s & 0xFFFF) == 0) {
    if (!magnifyInto(target, source, srcRect, TPoint{saturateTo<int32_t>(ox), saturateTo<int32_t>(oy)}, static_cast<int32_t>(s >> 16)))
      return false;
  } else if (!stretchCopyRect(target, source, rectToXYWH(dest), srcRect)) {
    return false;
  }
  const TRect canvas{saturateTo<int32_t>(ox), saturateTo<int32_t>(oy), saturateTo<int32_t>(ox + ((int64_t{source.Width} * s) >> 16)),
                     saturateTo<int32_t>(oy + ((int64_t{source.Height} * s) >> 16))};
  TRect shown = dest;
  if (intersectRect(shown, canvas)) (void)fillViewBackground(target, shown, canvas);  // display only: nothing to undo
  if (!clipToPlane(target, dest)) return false;
  if (dc != nullptr) copySamePlace(*dc, target, dest);
  if (painted != nullptr) *painted = dest;
  return true;
}

bool TPaper::renderRotatedView(TMTC& target, const TMTC& source, const TRect& rect, TPoint origin) const {
  SRotatedView v;
  v.zoom = zoomValue();
  v.sinA = view_.sinA();
  v.cosA = view_.cosA();
  v.origin = origin;
  v.checker = showBgPattern_;
  v.surround = surface_ != nullptr ? surface_->surroundColor() : kCanvasSurroundColor;
  return renderRotatedInto(target, source, rect, v);
}

}  // namespace pg
