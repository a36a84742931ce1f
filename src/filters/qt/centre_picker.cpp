// The zoom blur dialog's centre picker.
#include "filters/qt/centre_picker.h"

#include <QMouseEvent>
#include <QPainter>

#include <algorithm>

#include "filters/centre_picker.h"
#include "ui/appearance_manager.h"
#include "ui/channel_ops.h"
#include "ui/qt/graphic_image.h"

namespace pg {

TTrackArea::TTrackArea(QWidget* parent) : QWidget(parent), image_(4, 4) {
  setFixedSize(96, 96);
  redraw();
}

const TMemoryGraphic& TTrackArea::face() { return image_; }

void TTrackArea::setPosition(float x, float y) {
  if (x == x_ && y == y_) return;
  x_ = x;
  y_ = y;
  if (OnChange) OnChange();
  redraw();
}

void TTrackArea::redraw() {
  const int32_t w = std::max(width(), 4), h = std::max(height(), 4);
  if ((image_.width() != w || image_.height() != h) && !image_.setSize(w, h)) return;
  const TUiSysColors& c = uiSysColors();
  image_.fillRect(TRect{0, 0, w, h}, c.window, copyChannel, copyChannel);
  for (int32_t i = 1; i <= LinesAcross; ++i) {
    const float gx = float(trackAreaGridLine(i, LinesAcross, w)) + 0.5f;
    image_.drawLineAA(TPointF{gx, 0.0f}, TPointF{gx, float(h)}, c.light3D, lerpChannel, keepChannel);
  }
  for (int32_t i = 1; i <= LinesDown; ++i) {
    const float gy = float(trackAreaGridLine(i, LinesDown, h)) + 0.5f;
    image_.drawLineAA(TPointF{0.0f, gy}, TPointF{float(w), gy}, c.light3D, lerpChannel, keepChannel);
  }
  // The marker: a ring in the highlight colour around a dot.
  const TPointF centre{float(trackAreaMarker(x_, w)), float(trackAreaMarker(y_, h))};
  image_.fillDiscF(centre, c.highlight, 4.5f, lerpChannel, keepChannel);
  image_.fillDiscF(centre, c.window, 2.5f, lerpChannel, keepChannel);
  image_.fillDiscF(centre, c.windowText, 1.2f, lerpChannel, keepChannel);
  image_.frameRect(TRect{0, 0, w, h}, 1, c.btnShadow, copyChannel, copyChannel);
  image_.frameRect(TRect{1, 1, w - 1, h - 1}, 1, isEnabled() ? c.windowFrame : c.btnShadow, copyChannel,
                   copyChannel);
  update();
}

void TTrackArea::paintEvent(QPaintEvent*) {
  QPainter p(this);
  blitToPainter(p, 0, 0, image_.width(), image_.height(), image_, 0, 0);
}

void TTrackArea::resizeEvent(QResizeEvent*) { redraw(); }

void TTrackArea::moveTo(QPoint p) { setPosition(trackAreaFraction(p.x(), width()), trackAreaFraction(p.y(), height())); }

void TTrackArea::mousePressEvent(QMouseEvent* e) {
  if (e->button() != Qt::LeftButton) return;
  dragging_ = true;
  if (FocusControl != nullptr) FocusControl->setFocus(Qt::MouseFocusReason);
  moveTo(e->position().toPoint());
}

void TTrackArea::mouseMoveEvent(QMouseEvent* e) {
  if (dragging_ && (e->buttons() & Qt::LeftButton)) moveTo(e->position().toPoint());
}

void TTrackArea::mouseReleaseEvent(QMouseEvent* e) {
  if (e->button() == Qt::LeftButton) dragging_ = false;
}

}  // namespace pg
