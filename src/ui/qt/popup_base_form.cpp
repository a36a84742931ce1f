#include "ui/qt/popup_base_form.h"

#include <QApplication>
#include <QCursor>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QScreen>

#include "platform/clock.h"
#include "platform/desktop.h"
#include "ui/qt/dock_drawing.h"

namespace pg {

namespace {

int32_t virtualKey(int qtKey) {
  switch (qtKey) {
    case Qt::Key_Tab:
    case Qt::Key_Backtab:
      return kVkTab;
    case Qt::Key_Return:
    case Qt::Key_Enter:
      return kVkReturn;
    case Qt::Key_Space:
      return kVkSpace;
    case Qt::Key_Escape:
      return kVkEscape;
    default:
      return 0;
  }
}

}  // namespace

bool anyModalForm() { return QApplication::activeModalWidget() != nullptr; }

QRect placePopupOnScreen(const QRect& wanted, const QPoint& cursor, const QRect* anchor) {
  QScreen* screen = QGuiApplication::screenAt(cursor);
  if (!screen) screen = QGuiApplication::primaryScreen();
  if (!screen) return wanted;
  const QRect area = screen->availableGeometry();
  QRect r = wanted;
  if (anchor && r.intersects(*anchor)) r.moveTop(anchor->bottom() + 1);
  if (r.bottom() > area.bottom()) {
    if (anchor && anchor->top() - r.height() >= area.top())
      r.moveBottom(anchor->top() - 1);
    else
      r.moveBottom(area.bottom());
  }
  if (r.right() > area.right()) r.moveRight(area.right());
  if (r.left() < area.left()) r.moveLeft(area.left());
  if (r.top() < area.top()) r.moveTop(area.top());
  return r;
}

TPopupBaseForm::TPopupBaseForm(QWidget* parent)
    : TBaseForm(parent, Qt::Tool | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint) {
  setAttribute(Qt::WA_ShowWithoutActivating);
}

TPopupBaseForm::~TPopupBaseForm() {
  open_ = false;
  if (QCoreApplication::instance()) CAppEventRouter::instance().remove(this);
}

void TPopupBaseForm::popup(int x, int y, const QRect* anchor) {
  if (open_) return;
  closer_.open(pressAndHold_, timeGetTime());
  doPopupOpen();
  open_ = true;
  result_ = kPopupOpen;
  CAppEventRouter::instance().push(this);
  popupOpened();
  const QRect placed = placePopupOnScreen(QRect(x, y, width(), height()), QCursor::pos(), anchor);
  setGeometry(placed);
  show();
  setGeometry(placed);
  result_ = kPopupOpen;
}

void TPopupBaseForm::closePopup() {
  CAppEventRouter::instance().remove(this);
  hide();
  open_ = false;
  doPopupClose();
}

void TPopupBaseForm::doPopupOpen() {
  if (OnPopupOpen) OnPopupOpen(this);
}

void TPopupBaseForm::doPopupClose() {
  if (OnPopupClose) OnPopupClose(this);
}

void TPopupBaseForm::closeWith(int32_t r) {
  result_ = r;
  closePopup();
}

bool TPopupBaseForm::appEvent(QObject* /*watched*/, QEvent* event) {
  if (!open_) return false;
  const bool modal = anyModalForm();
  int32_t r = kPopupOpen;
  switch (event->type()) {
    case QEvent::KeyPress:
      r = closer_.key(virtualKey(static_cast<QKeyEvent*>(event)->key()), modal);
      break;
    case QEvent::MouseButtonPress:
    case QEvent::NonClientAreaMouseButtonPress: {
      auto* me = static_cast<QMouseEvent*>(event);
      if (me->button() == Qt::LeftButton || me->button() == Qt::RightButton) {
        const bool outside = !frameGeometry().contains(me->globalPosition().toPoint());
        r = closer_.press(outside, modal);
      }
      break;
    }
    case QEvent::MouseButtonRelease:
      if (static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton) r = closer_.release(timeGetTime(), modal);
      break;
    case QEvent::ShortcutOverride:
      // Claiming the key keeps the main window's shortcuts from firing; the
      // key press itself still reaches its window.
      if (!closer_.swallowShortcut(modal)) return false;
      event->accept();
      return true;
    case QEvent::Shortcut:
      return closer_.swallowShortcut(modal);
    default:
      break;
  }
  if (r != kPopupOpen) closeWith(r);
  // Every event still reaches its window.
  return false;
}

bool TPopupBaseForm::appDeactivated() {
  if (!open_) return true;
  const int32_t r = closer_.deactivate(anyModalForm());
  if (r == kPopupOpen) return false;
  closeWith(r);
  return true;  // the application's own handler runs as well
}

void TPopupBaseForm::paintEvent(QPaintEvent* /*event*/) {
  QPainter p(this);
  paintPopupFrame(p, rect());
}

}  // namespace pg
