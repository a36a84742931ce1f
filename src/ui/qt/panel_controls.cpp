#include "ui/qt/panel_controls.h"

#include <QMouseEvent>
#include <QPainter>

#include "core/assign_changed.h"
#include "platform/res_ids.h"
#include "ui/appearance_manager.h"
#include "ui/pressure_gamma.h"
#include "ui/qt/graphic_image.h"
#include "ui/qt/res_text.h"
#include "ui/text_flags.h"

namespace pg {

// ---- TPressureGamma ---------------------------------------------------------------------

TPressureGamma::TPressureGamma(QWidget* parent) : QWidget(parent) {
  resize(48, 48);
  setToolTip(resText(kResHintPressureGamma).section('|', 0, 0));
}

void TPressureGamma::setGamma(float g) {
  g = sanitizeGamma(g);
  if (!assignIfChanged(gamma_, g)) return;
  if (OnChange) OnChange();
  render();
}

void TPressureGamma::render() {
  image_.setBackground(uiSysColors().window);
  if (!image_.setSize(std::max(width(), 5), std::max(height(), 5))) return;
  paintPressureGamma(image_, gamma_);
  TRect r{2, 2, image_.width() - 2, image_.height() - 2};
  // The value, right and bottom aligned, over the picture.
  TMemoryGraphic text(r.Right - r.Left, r.Bottom - r.Top);
  text.copyPixels(0, 0, text.width(), text.height(), image_.pixels(), 2, 2, image_.width(), image_.height());
  TRect tr{0, 0, text.width(), text.height()};
  drawText(text, QString::asprintf("%0.2f", static_cast<double>(gamma_)), tr, font(), uiSysColors().windowFrame,
           dtRight | dtBottom | dtSingleLine);
  image_.copyPixels(2, 2, text.width(), text.height(), text.pixels(), 0, 0, text.width(), text.height());
  update();
}

void TPressureGamma::paintEvent(QPaintEvent*) {
  if (image_.width() != std::max(width(), 5) || image_.height() != std::max(height(), 5)) render();
  QPainter p(this);
  blitToPainter(p, 0, 0, image_.width(), image_.height(), image_, 0, 0);
}

void TPressureGamma::resizeEvent(QResizeEvent*) { render(); }

void TPressureGamma::mousePressEvent(QMouseEvent* e) {
  if (e->button() != Qt::LeftButton || !interactive()) return;
  last_ = e->position().toPoint();
  dragging_ = true;
}

void TPressureGamma::mouseMoveEvent(QMouseEvent* e) {
  if (!dragging_ || !interactive()) return;
  const QPoint p = e->position().toPoint();
  const int32_t d = (p.x() - last_.x()) + (p.y() - last_.y());
  last_ = p;
  setGamma(gammaAfterDrag(gamma_, d, e->modifiers() & Qt::ShiftModifier));
}

void TPressureGamma::mouseReleaseEvent(QMouseEvent* e) {
  if (e->button() == Qt::LeftButton) dragging_ = false;
}

void TPressureGamma::mouseDoubleClickEvent(QMouseEvent*) {
  if (interactive()) setGamma(1.0f);
}

// ---- TGrabberControl -----------------------------------------------------------------------

TGrabberControl::TGrabberControl(QWidget* parent) : QWidget(parent), face_(kGrabberWidth, kGrabberHeight, uiClear) {
  setFixedSize(kGrabberWidth, kGrabberHeight);
  setMouseTracking(true);
  for (uint8_t p = gpDial; p <= gpZoomOut; ++p) drawPart(p, false);
}

void TGrabberControl::setScale(float s) {
  if (!assignIfChanged(scale_, s)) return;
  if (OnChange) OnChange();
  update();
}

void TGrabberControl::setRotation(float degrees) {
  const float r = normalizeRotation(degrees);
  if (!assignIfChanged(rotation_, r)) return;
  if (OnChange) OnChange();
  update();
}

void TGrabberControl::drawPart(uint8_t part, bool highlighted) {
  const TUiSysColors& c = uiSysColors();
  const TUiColor colour = uiWithAlpha(highlighted ? c.highlight : c.grayText, 128);
  const TRect r = grabberPartRect(part);
  if (part == gpDial) {
    face_.fillRect({r.Left - 2, r.Top - 2, r.Right + 2, r.Bottom + 2}, c.clearFace, copyChannel, copyChannel);
    face_.drawRing({r.Left - 2, r.Top - 2}, r.Right - r.Left + 4, 1, c.btnFace, copyChannel, copyChannel);
    face_.drawRing({r.Left + 14, r.Top + 14}, r.Right - r.Left - 28, 1, c.btnFace, copyChannel, copyChannel);
    face_.drawRing({r.Left, r.Top}, r.Right - r.Left, 13, colour, copyChannel, copyChannel);
  } else if (part == gpSlider) {
    face_.fillRect(r, colour, copyChannel, copyChannel);
    face_.frameRect({r.Left - 2, r.Top - 2, r.Right + 2, r.Bottom + 2}, 1, c.btnFace, copyChannel, copyChannel);
  } else if (const TAppearanceManager* am = appearanceManager()) {
    const TMemoryGraphic& glyph = am->glyph(grabberGlyphKind(part), highlighted ? gsActive : gsNone);
    face_.copyPixels(r.Left, r.Top, glyph.width(), glyph.height(), glyph.pixels(), 0, 0, glyph.width(), glyph.height());
  }
}

void TGrabberControl::drawTo(TMemoryGraphic& g, int32_t x, int32_t y) const {
  g.blendFrom(x, y, face_.width(), face_.height(), face_, 0, 0, lerpChannel, keepChannel);
  if (const TAppearanceManager* am = appearanceManager()) {
    const TMemoryGraphic& m = am->frameGraphic(0);
    const TPoint k = grabberKnobAt(rotation_);
    const TPoint t = grabberThumbAt(scale_);
    g.blendFrom(x + k.X, y + k.Y, m.width(), m.height(), m, 0, 0, lerpChannel, keepChannel);
    g.blendFrom(x + t.X, y + t.Y, m.width(), m.height(), m, 0, 0, lerpChannel, keepChannel);
  }
}

void TGrabberControl::setHover(uint8_t part) {
  if (part == hover_) return;
  if (hover_ != gpNone) drawPart(hover_, false);
  hover_ = part;
  if (hover_ != gpNone) drawPart(hover_, true);
  update();
}

void TGrabberControl::dragTo(QPoint p, Qt::KeyboardModifiers mods) {
  const bool adjust = static_cast<bool>(mods & Qt::ShiftModifier) != SwapAdjustKey;
  if (drag_ == gpDial)
    setRotation(grabberDialRotation(p.x(), p.y(), adjust));
  else if (drag_ == gpSlider)
    setScale(grabberSliderScale(p.x(), adjust));
}

void TGrabberControl::mousePressEvent(QMouseEvent* e) {
  if (e->button() != Qt::LeftButton || !isEnabled()) return;
  const QPoint p = e->position().toPoint();
  drag_ = grabberHitPart(p.x(), p.y());
  if (drag_ == gpNone) {
    e->ignore();  // the empty corners let the pointer through
    return;
  }
  if (drag_ == gpDial || drag_ == gpSlider) {
    if (OnGrabberEnter) OnGrabberEnter();
    dragTo(p, e->modifiers());
  }
}

void TGrabberControl::mouseMoveEvent(QMouseEvent* e) {
  const QPoint p = e->position().toPoint();
  if (drag_ == gpDial || drag_ == gpSlider)
    dragTo(p, e->modifiers());
  else if (drag_ == gpNone)
    setHover(grabberHitPart(p.x(), p.y()));
}

void TGrabberControl::mouseReleaseEvent(QMouseEvent* e) {
  if (e->button() != Qt::LeftButton) return;
  const uint8_t part = drag_;
  drag_ = gpNone;
  // A button acts on release wherever the pointer is then.
  if (part == gpDial || part == gpSlider) {
    if (OnGrabberExit) OnGrabberExit();
  } else if (part >= gpResetAngle && part <= gpTurnCounter) {
    setRotation(grabberButtonRotation(part));
  } else if (part == gpZoomIn) {
    setScale(grabberZoomStepUp(scale_));
  } else if (part == gpZoomOut) {
    setScale(grabberZoomStepDown(scale_));
  }
  const QPoint p = e->position().toPoint();
  setHover(grabberHitPart(p.x(), p.y()));
}

void TGrabberControl::leaveEvent(QEvent*) {
  if (drag_ == gpNone) setHover(gpNone);
}

}  // namespace pg
