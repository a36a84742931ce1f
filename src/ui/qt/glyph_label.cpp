#include "ui/qt/glyph_label.h"

#include <QEvent>
#include <QMouseEvent>
#include <QPainter>

#include "core/assign_changed.h"
#include "ui/glyph_artwork.h"
#include "ui/glyph_manager.h"
#include "ui/qt/graphic_image.h"

namespace pg {

TPgGlyphLabel::TPgGlyphLabel(QWidget* parent) : QWidget(parent) { pickImage(); }

void TPgGlyphLabel::pickImage() {
  const TPgGlyphManager* m = glyphManager();
  image_ = m != nullptr ? &m->glyph(glyphType_, isEnabled() ? kGlyphNormal : kGlyphDisabled) : nullptr;
}

void TPgGlyphLabel::setGlyphType(uint8_t type) {
  if (!assignIfChanged(glyphType_, type)) return;
  pickImage();
  update();
}

void TPgGlyphLabel::setReadOnly(bool readOnly) {
  if (!assignIfChanged(readOnly_, readOnly)) return;
  // While read-only the label lets the mouse through to its parent.
  setAttribute(Qt::WA_TransparentForMouseEvents, readOnly);
}

int32_t TPgGlyphLabel::along(const QMouseEvent* event) const {
  const QPoint p = event->position().toPoint();
  return dragAxis_ == Qt::Horizontal ? p.x() : p.y();
}

QSize TPgGlyphLabel::sizeHint() const { return {kGlyphSize, kGlyphSize}; }

void TPgGlyphLabel::changeEvent(QEvent* event) {
  if (event->type() == QEvent::EnabledChange) {
    pickImage();
    update();
  }
  QWidget::changeEvent(event);
}

void TPgGlyphLabel::paintEvent(QPaintEvent*) {
  pickImage();  // the manager may have been made after the label
  if (image_ == nullptr) return;
  QPainter p(this);
  blendToPainter(p, (width() - kGlyphSize) / 2, (height() - kGlyphSize) / 2, kGlyphSize, kGlyphSize, *image_, 0, 0);
}

void TPgGlyphLabel::mousePressEvent(QMouseEvent* event) {
  QWidget::mousePressEvent(event);
  if (readOnly_ || event->button() != Qt::LeftButton) return;
  inDoubleClick_ = false;
  float start = 0.0f;
  if (OnBeginDrag) OnBeginDrag(this, start);
  drag_.begin(along(event), start);
}

void TPgGlyphLabel::mouseMoveEvent(QMouseEvent* event) {
  QWidget::mouseMoveEvent(event);
  if (readOnly_ || !drag_.dragging() || inDoubleClick_) return;
  const float v = drag_.move(along(event));
  if (OnDrag) OnDrag(this, v);
}

void TPgGlyphLabel::mouseReleaseEvent(QMouseEvent* event) {
  QWidget::mouseReleaseEvent(event);
  if (event->button() != Qt::LeftButton) return;
  const bool wasDouble = inDoubleClick_;
  inDoubleClick_ = false;
  if (readOnly_ || !drag_.dragging()) return;
  const float v = drag_.end(along(event));
  if (OnDrag && !wasDouble) OnDrag(this, v);
  if (OnEndDrag) OnEndDrag(this);
}

void TPgGlyphLabel::mouseDoubleClickEvent(QMouseEvent* event) {
  QWidget::mouseDoubleClickEvent(event);
  if (readOnly_ || event->button() != Qt::LeftButton) return;
  // The second press of a double click starts no drag (where the platform
  // sent that press first, the drag it began ends unreported).
  inDoubleClick_ = true;
  if (drag_.dragging()) {
    (void)drag_.end(along(event));  // the drag is over either way; OnEndDrag reports it
    if (OnEndDrag) OnEndDrag(this);
  }
  if (OnDblClick) OnDblClick(this);
}

}  // namespace pg
