#include "toolwin/qt/tool_button.h"

#include <QApplication>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>

#include "core/assign_changed.h"
#include "toolwin/qt/tool_glyph_painter.h"
#include "ui/qt/graphic_image.h"

namespace pg {

namespace {
constexpr int kMarkSize = 8;  // the drop-down mark's corner, in pixels
}

TToolButton::TToolButton(int index, QWidget* parent) : QWidget(parent), index_(index) {
  setFocusPolicy(Qt::NoFocus);
}

void TToolButton::setGlyph(uint8_t glyph) {
  if (assignIfChanged(glyph_, glyph)) update();
}

void TToolButton::setDown(bool down) {
  if (assignIfChanged(down_, down)) update();
}

bool TToolButton::variantMenuOpen() const { return menu_ && menu_->isVisible(); }

bool TToolButton::onDropDownMark(const QPoint& pos) const {
  return menu_ && pos.x() >= width() - kMarkSize && pos.y() >= height() - kMarkSize;
}

void TToolButton::openMenu() {
  if (!menu_) return;
  menu_->popup(mapToGlobal(QPoint(width(), 0)));
}

void TToolButton::paintEvent(QPaintEvent*) {
  if (!image_.setSize(width(), height())) return;
  const int state = !isEnabled() ? 2 : hovered_ ? 1 : 0;
  paintToolButton(image_, glyph_, state, down_, menu_ != nullptr);
  QPainter p(this);
  blitToPainter(p, 0, 0, width(), height(), image_, 0, 0);
}

void TToolButton::enterEvent(QEnterEvent*) {
  hovered_ = true;
  update();
}

void TToolButton::leaveEvent(QEvent*) {
  hovered_ = false;
  update();
}

void TToolButton::mousePressEvent(QMouseEvent* event) {
  if (event->button() == Qt::RightButton || (event->button() == Qt::LeftButton && onDropDownMark(event->pos()))) {
    // The menu's items select the variant; the press itself selects nothing.
    openMenu();
    return;
  }
  pressed_ = event->button() == Qt::LeftButton;
}

void TToolButton::mouseReleaseEvent(QMouseEvent* event) {
  if (!pressed_) return;
  pressed_ = false;
  if (!rect().contains(event->pos())) return;
  bool alt = event->modifiers() & Qt::AltModifier;
  emit clicked(index_, alt);
}

void TToolButton::mouseDoubleClickEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton || onDropDownMark(event->pos())) return;
  // The second press counts as a press too: its release clicks as usual.
  pressed_ = true;
  emit doubleClicked(index_);
}

}  // namespace pg
