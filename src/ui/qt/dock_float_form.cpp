#include "ui/qt/dock_float_form.h"

#include <QMouseEvent>
#include <QPainter>
#include <QWheelEvent>

#include <algorithm>

#include "ui/dock_model.h"
#include "ui/qt/dock_drawing.h"
#include "ui/qt/dock_float_manager.h"
#include "ui/qt/graphic_image.h"

namespace pg {

TDockFloatForm::TDockFloatForm(TDockFloatManager* manager, QWidget* parentWindow)
    : TBaseForm(parentWindow, Qt::Tool | Qt::FramelessWindowHint), manager_(manager) {
  setMouseTracking(true);
}

TDockFloatForm::~TDockFloatForm() = default;

QRect TDockFloatForm::clientArea() const {
  return {kDockBorder, kDockBorder + kDockCaptionHeight, width() - 2 * kDockBorder,
          height() - 2 * kDockBorder - kDockCaptionHeight};
}

void TDockFloatForm::paintEvent(QPaintEvent* /*event*/) {
  // The face is rebuilt only when the size or the title changed.
  if (faceDirty_ || face_.width() != width() || face_.height() != height()) {
    if (!face_.setSize(width(), height())) return;
    paintFloatFrame(face_, kDockBorder, kDockCaptionHeight, windowTitle());
    faceDirty_ = false;
  }
  QPainter p(this);
  blitToPainter(p, 0, 0, face_.width(), face_.height(), face_, 0, 0);
}

uint8_t TDockFloatForm::edgesAt(const QPoint& p) const {
  uint8_t e = kNone;
  if (p.x() < kDockBorder) e |= kLeft;
  if (p.x() >= width() - kDockBorder) e |= kRight;
  if (p.y() < kDockBorder) e |= kTop;
  if (p.y() >= height() - kDockBorder) e |= kBottom;
  if (e == kNone && p.y() < kDockBorder + kDockCaptionHeight) e = kMove;
  return e;
}

void TDockFloatForm::mousePressEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton) return;
  grab_ = edgesAt(event->position().toPoint());
  grabGlobal_ = event->globalPosition().toPoint();
  grabOffset_ = grabGlobal_ - frameGeometry().topLeft();
  grabBounds_ = geometry();
}

void TDockFloatForm::mouseMoveEvent(QMouseEvent* event) {
  const QPoint global = event->globalPosition().toPoint();
  if (grab_ == kNone) {
    const uint8_t e = edgesAt(event->position().toPoint());
    if ((e & (kLeft | kRight)) && (e & (kTop | kBottom)))
      setCursor((e == (kLeft | kTop) || e == (kRight | kBottom)) ? Qt::SizeFDiagCursor : Qt::SizeBDiagCursor);
    else if (e & (kLeft | kRight))
      setCursor(Qt::SizeHorCursor);
    else if (e & (kTop | kBottom))
      setCursor(Qt::SizeVerCursor);
    else
      unsetCursor();
    return;
  }
  if (grab_ == kMove) {
    const QPoint tl = global - grabOffset_;
    TRect r{tl.x(), tl.y(), tl.x() + width(), tl.y() + height()};
    (void)manager_->snapRect(r, this, true);  // snapped or not, r is where the form goes
    move(r.Left, r.Top);
    return;
  }
  QRect b = grabBounds_;
  const QPoint d = global - grabGlobal_;
  if (grab_ & kLeft) b.setLeft(b.left() + d.x());
  if (grab_ & kRight) b.setRight(b.right() + d.x());
  if (grab_ & kTop) b.setTop(b.top() + d.y());
  if (grab_ & kBottom) b.setBottom(b.bottom() + d.y());
  manager_->resizeForm(this, b, (grab_ & kLeft) != 0, (grab_ & kTop) != 0);
}

void TDockFloatForm::mouseReleaseEvent(QMouseEvent* /*event*/) { grab_ = kNone; }

void TDockFloatForm::mouseDoubleClickEvent(QMouseEvent* event) {
  // On the caption: fold or open every pane; never maximise.
  if (event->button() == Qt::LeftButton && edgesAt(event->position().toPoint()) == kMove) manager_->toggleCollapsed(this);
}

void TDockFloatForm::wheelEvent(QWheelEvent* event) {
  // Reaching the form means no control under the pointer took it.
  if (!manager_->dispatchWheel(event)) event->ignore();
}

void TDockFloatForm::moveEvent(QMoveEvent* /*event*/) { manager_->formMoved(this); }

// Sized by its owner (the tool window) rather than by its border: the model
// keeps the bounds.
void TDockFloatForm::resizeEvent(QResizeEvent* /*event*/) { manager_->formMoved(this); }

void TDockFloatForm::changeEvent(QEvent* event) {
  if (event->type() == QEvent::WindowTitleChange) {
    faceDirty_ = true;
    update();
  }
  TBaseForm::changeEvent(event);
}

}  // namespace pg
