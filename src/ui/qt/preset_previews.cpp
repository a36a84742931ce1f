#include "ui/qt/preset_previews.h"


#include <algorithm>
#include <cmath>
#include <cstring>

#include "core/assign_changed.h"
#include "ui/appearance_manager.h"
#include "ui/preview_faces.h"
#include "ui/qt/graphic_image.h"

namespace pg {

// ---- TLoupeControl ----------------------------------------------------------------------

TLoupeControl::TLoupeControl(QWidget* parent) : QWidget(parent), picture_(4, 4, 0xFFCCCCCCu) {
  resize(100, 100);
}

void TLoupeControl::setMagnification(float m) {
  if (m == magnification_ || !std::isfinite(m) || m <= 0.0f) return;
  magnification_ = m;
  rebuild();
}

void TLoupeControl::setGrid(bool on) {
  if (assignIfChanged(grid_, on)) rebuild();
}

void TLoupeControl::rebuild() {
  if (!picture_.setSize(std::max(width(), 4), std::max(height(), 4))) return;
  paintLoupeGround(picture_);
  finishPicture();
}

void TLoupeControl::finishPicture() {
  paintLoupeFrame(picture_, grid_);
  update();
}

void TLoupeControl::paintEvent(QPaintEvent*) { blitFace(*this, picture_); }

void TLoupeControl::resizeEvent(QResizeEvent*) { rebuild(); }

// ---- TPresetPreview ---------------------------------------------------------------------

TPresetPreview::TPresetPreview(QWidget* parent, bool checker) : QWidget(parent), checker_(checker) {
  resize(40, 40);
}

void TPresetPreview::redraw() {
  const TUiSysColors& c = uiSysColors();
  const int32_t w = std::max(width(), 5), h = std::max(height(), 5);
  face_.setBackground(c.btnFace);
  content_.setBackground(c.window);
  if (!face_.setSize(w, h) || !content_.setSize(w - 4, h - 4)) return;
  drawContent();
  paintFace();
}

void TPresetPreview::paintFace() {
  face_.clear();
  paintPresetFace(face_, content_, checker_);
  update();
}

void TPresetPreview::paintEvent(QPaintEvent*) {
  if (face_.width() != std::max(width(), 5) || face_.height() != std::max(height(), 5)) redraw();
  blitFace(*this, face_);
}

void TPresetPreview::resizeEvent(QResizeEvent*) { redraw(); }

// ---- TPenNibPreview ----------------------------------------------------------------------

TPenNibPreview::TPenNibPreview(QWidget* parent) : TPresetPreview(parent, false) { values_.reset(); }

void TPenNibPreview::setNib(const SShapeValues& values) {
  values_ = values;
  redraw();
}

void TPenNibPreview::drawContent() {
  TMemoryGraphic& g = contentImage();
  g.clear();
  TMTC plane(g.width(), g.height());
  if (!plane.IsAllocated()) return;
  drawNibPreview(plane, values_, 1.0f, uiSysColors().windowText & 0x00FFFFFFu);
  (void)copyPlaneToGraphic(plane, g);  // the plane was made the graphic's size
  // The plane's alpha bytes carry nothing: the content is opaque.
  g.fillRect({0, 0, g.width(), g.height()}, 0xFF000000u, keepChannel, copyChannel);
}

// ---- TGradientPreview ---------------------------------------------------------------------

TGradientPreview::TGradientPreview(QWidget* parent) : TPresetPreview(parent, true) {}

void TGradientPreview::setGradient(const CGradObj* gradient, const SGradRepeat& repeat) {
  gradient_ = gradient;
  repeat_ = repeat;
  redraw();
}

void TGradientPreview::drawContent() {
  TMemoryGraphic& g = contentImage();
  if (!g.isValid()) return;
  if (!work_.Resize(g.width(), g.height()) || !work_.IsAllocated()) return;
  if (gradient_)
    CGradation::gradientFill(work_, gradient_->Stops, repeat_);
  else
    for (int32_t y = 0; y < work_.Height; ++y)
      std::memset(work_.pixelAt(0, y), 0, static_cast<size_t>(work_.Width) * 4u);
  (void)copyPlaneToGraphic(work_, g);  // the work plane is kept the graphic's size
}

}  // namespace pg
