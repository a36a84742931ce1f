#include "toolwin/qt/tool_button.h"

#include <QApplication>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>

#include "toolwin/qt/tool_glyph_painter.h"

namespace pg {

namespace {
constexpr int kMarkSize = 8;  // the drop-down mark's corner, in pixels
}

TToolButton::TToolButton(int index, QWidget* parent) : QWidget(parent), index_(index) {
  setAttribute(Qt::WA_Hover, true);
  setFocusPolicy(Qt::NoFocus);
}

void TToolButton::setGlyph(uint8_t glyph) {
  if (glyph == glyph_) return;
  glyph_ = glyph;
  update();
}

void TToolButton::setDown(bool down) {
  if (down == down_) return;
  down_ = down;
  update();
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
  QPainter p(this);
  QRect r = rect();
  int state = !isEnabled() ? 2 : down_ ? 1 : 0;
  paintToolButtonFace(p, r, down_, hot_ && isEnabled());
  paintToolGlyph(p, r, glyph_, state);
  if (menu_) paintDropDownMark(p, r, state);
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

void TToolButton::enterEvent(QEnterEvent*) {
  hot_ = true;
  update();
}

void TToolButton::leaveEvent(QEvent*) {
  hot_ = false;
  update();
}

}  // namespace pg
