#include "ui/qt/graphic_widget.h"

#include <QPainter>

#include "core/assign_changed.h"
#include "ui/qt/graphic_image.h"

namespace pg {

void TGraphicWidget::setGraphic(const TMemoryGraphic* g) {
  if (assignIfChanged(graphic_, g)) update();
}

QSize TGraphicWidget::sizeHint() const {
  if (graphic_ == nullptr || !graphic_->isValid()) return QWidget::sizeHint();
  return {graphic_->width(), graphic_->height()};
}

void TGraphicWidget::paintEvent(QPaintEvent*) {
  if (graphic_ == nullptr) return;
  QPainter p(this);
  blitToPainter(p, 0, 0, graphic_->width(), graphic_->height(), *graphic_, 0, 0);
}

}  // namespace pg
