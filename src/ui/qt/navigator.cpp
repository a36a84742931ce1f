#include "ui/qt/navigator.h"

#include <QApplication>
#include <QMouseEvent>
#include <QPainter>

#include <cmath>

#include "core/assign_changed.h"
#include "ui/appearance_manager.h"
#include "ui/qt/graphic_image.h"

namespace pg {

TPreviewControl::TPreviewControl(QWidget* parent) : QWidget(parent) { resize(120, 100); }

void TPreviewControl::setHasImage(bool on) {
  if (assignIfChanged(hasImage_, on)) refit();
}

void TPreviewControl::setViewSize(int32_t w, int32_t h) {
  if (w == viewW_ && h == viewH_) return;
  viewW_ = w;
  viewH_ = h;
  refit();
}

void TPreviewControl::setImageSize(int32_t w, int32_t h) {
  if (w == imageW_ && h == imageH_) return;
  imageW_ = w;
  imageH_ = h;
  refit();
}

void TPreviewControl::setCentre(int32_t x, int32_t y) {
  if (x == centreX_ && y == centreY_) return;
  centreX_ = x;
  centreY_ = y;
  render();
  if (OnCentre) OnCentre(x, y);
}

void TPreviewControl::setZoom(float z) {
  if (assignIfChanged(zoom_, z)) refit();
}

void TPreviewControl::setRotation(float r) {
  if (!assignIfChanged(rotation_, r)) return;
  render();
  if (OnRotation) OnRotation(r);
}

void TPreviewControl::refreshImage() {
  if (fit_.valid && hasImage_ && thumb_.isValid() && OnThumbnail) OnThumbnail(thumb_, thumb_.width(), thumb_.height());
  render();
}

void TPreviewControl::setCompact(bool on) {
  if (assignIfChanged(compact_, on)) refit();
}

void TPreviewControl::refit() {
  const SNavigatorFit f = navigatorFit(width(), height(), imageW_, imageH_, zoom_, compact_);
  if (f.valid) fit_ = f;
  if (fit_.valid && hasImage_ && (thumb_.width() != innerWidth() || thumb_.height() != innerHeight())) {
    thumb_.setBackground(uiSysColors().window);
    if (thumb_.setSize(innerWidth(), innerHeight()) && OnThumbnail) OnThumbnail(thumb_, thumb_.width(), thumb_.height());
  }
  render();
}

void TPreviewControl::render() {
  const TUiSysColors& c = uiSysColors();
  if (!display_.renew(std::max(width(), 5), std::max(height(), 5), c.btnFace)) return;
  if (hasImage_ && fit_.valid) {
    const TRect r = fit_.imageRect;
    display_.copyPixels(r.Left + 2, r.Top + 2, thumb_.width(), thumb_.height(), thumb_.pixels(), 0, 0, thumb_.width(),
                        thumb_.height());
    display_.frameBevel(r, 1, c.btnShadow, c.btnHighlight, copyChannel, copyChannel);
    display_.frameRect({r.Left + 1, r.Top + 1, r.Right - 1, r.Bottom - 1}, 1, c.windowFrame, copyChannel, copyChannel);
    const auto frame = navigatorFrame(fit_, centreX_, centreY_, viewW_, viewH_, rotation_);
    for (size_t i = 0; i < 4; ++i)
      display_.drawLineAA(frame[i], frame[(i + 1) % 4], c.highlight, lerpChannel, keepChannel);
    // A mark at the middle of the first edge shows where the view's top is.
    display_.fillDiscF({(frame[0].X + frame[1].X) / 2, (frame[0].Y + frame[1].Y) / 2}, c.highlight, 2.0f, lerpChannel,
                       keepChannel);
  }
  update();
}

const TMemoryGraphic& TPreviewControl::face() {
  render();
  return display_;
}

void TPreviewControl::paintEvent(QPaintEvent*) {
  if (display_.width() != std::max(width(), 5) || display_.height() != std::max(height(), 5)) render();
  QPainter p(this);
  blitToPainter(p, 0, 0, display_.width(), display_.height(), display_, 0, 0);
}

void TPreviewControl::resizeEvent(QResizeEvent*) {
  if (width() >= 5 && height() >= 5) refit();
}

bool TPreviewControl::insideImage(QPoint p) const {
  const TRect r = fit_.imageRect;
  return isEnabled() && hasImage_ && fit_.valid && p.x() >= r.Left + 2 && p.x() < r.Right - 2 && p.y() >= r.Top + 2 &&
         p.y() < r.Bottom - 2;
}

void TPreviewControl::mousePressEvent(QMouseEvent* e) {
  const QPoint p = e->position().toPoint();
  if (!insideImage(p) || moving_ || turning_) return;
  const bool turn = e->button() == Qt::RightButton || (e->button() == Qt::LeftButton && (e->modifiers() & Qt::AltModifier));
  if (turn) {
    turning_ = true;
    turned_ = false;
    press_ = p;
    startAngle_ = navigatorAngle(fit_, p.x(), p.y(), AngleSign);
  } else if (e->button() == Qt::LeftButton) {
    moving_ = true;
    const TPoint c = navigatorCentreAt(fit_, p.x(), p.y(), navigatorFrame(fit_, centreX_, centreY_, viewW_, viewH_, rotation_));
    setCentre(c.X, c.Y);
  }
}

void TPreviewControl::mouseMoveEvent(QMouseEvent* e) {
  const QPoint p = e->position().toPoint();
  if (moving_) {
    const TPoint c = navigatorCentreAt(fit_, p.x(), p.y(), navigatorFrame(fit_, centreX_, centreY_, viewW_, viewH_, rotation_));
    setCentre(c.X, c.Y);
  } else if (turning_ && ((e->buttons() & Qt::RightButton) || (e->modifiers() & Qt::AltModifier))) {
    const int d = QApplication::startDragDistance();
    if (std::abs(p.x() - press_.x()) > d || std::abs(p.y() - press_.y()) > d) turned_ = true;
    if (turned_) setRotation(startAngle_ - navigatorAngle(fit_, p.x(), p.y(), AngleSign));
  }
}

void TPreviewControl::mouseReleaseEvent(QMouseEvent* e) {
  if (e->button() != Qt::LeftButton && e->button() != Qt::RightButton) return;
  moving_ = false;
  if (turning_) {
    turning_ = false;
    if (!turned_) setRotation(0.0f);
  }
}

}  // namespace pg
