#include "ui/qt/gradient_edit.h"

#include <QMouseEvent>
#include <QPainter>

#include <algorithm>

#include "ui/appearance_manager.h"
#include "ui/qt/graphic_image.h"

namespace pg {

TGradientEdit::TGradientEdit(QWidget* parent) : QWidget(parent) {
  setMinimumSize(32, 17);
  resize(200, 20);
}

void TGradientEdit::render() {
  const int32_t w = std::max(width(), 32);
  const int32_t h = std::max(height(), 17);
  bar_.setBackground(uiSysColors().btnFace);
  face_.setBackground(uiSysColors().btnFace);
  if (!bar_.setSize(w - 13, h) || !face_.setSize(w, h)) return;
  paintGradientBar(bar_, stops_);
  paintGradientFace(face_, bar_, stops_, dragging_ && outside_);
  update();
}

void TGradientEdit::changed() {
  render();
  if (OnChange) OnChange();
}

void TGradientEdit::setColorSlotGroup(const CColorSlotGroup& g) {
  stops_.setColorSlotGroup(g);
  changed();
}

void TGradientEdit::paintEvent(QPaintEvent*) {
  if (face_.width() != std::max(width(), 32)) render();
  QPainter p(this);
  blitToPainter(p, 0, 0, face_.width(), face_.height(), face_, 0, 0);
}

void TGradientEdit::resizeEvent(QResizeEvent*) { render(); }

void TGradientEdit::mousePressEvent(QMouseEvent* e) {
  if (e->button() != Qt::LeftButton) return;
  const int32_t x = e->position().toPoint().x();
  const int32_t w = gradientInnerWidth(width());
  dragX_ = x;
  if (gradientHitsMarker(stops_, w, x))
    stops_.setSelectIndex(gradientNearestStop(stops_, w, x));
  else if (stops_.addStopAt(gradientPositionAt(w, x), true) < 0)
    return;  // every stop is taken: no new stop, and the selected one must not follow the drag
  dragging_ = true;
  changed();
}

void TGradientEdit::mouseMoveEvent(QMouseEvent* e) {
  if (!dragging_) return;
  const QPoint p = e->position().toPoint();
  if (p.x() == dragX_ && outside_ == !rect().contains(p)) return;
  dragX_ = p.x();
  outside_ = !rect().contains(p);
  stops_.moveStop(stops_.selectIndex(), gradientPositionAt(gradientInnerWidth(width()), p.x()));
  changed();
}

void TGradientEdit::mouseReleaseEvent(QMouseEvent* e) {
  if (e->button() != Qt::LeftButton || !dragging_) return;
  dragging_ = false;
  outside_ = false;
  if (!rect().contains(e->position().toPoint())) stops_.deleteStop(stops_.selectIndex());
  changed();
}

}  // namespace pg
