#include "ui/qt/popup_base_form.h"

#include <QApplication>
#include <QCursor>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>

#include "platform/clock.h"
#include "platform/desktop.h"
#include "ui/appearance_manager.h"
#include "ui/popup_placement.h"
#include "ui/qt/dock_drawing.h"
#include "ui/qt/graphic_image.h"
#include "ui/qt/qt_appearance.h"

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
  const TRect monitor = monitorRectNear(cursor);
  TRect r{wanted.x(), wanted.y(), wanted.x() + wanted.width(), wanted.y() + wanted.height()};
  if (anchor)
    placePopupRect(r, monitor, {anchor->x(), anchor->y(), anchor->x() + anchor->width(), anchor->y() + anchor->height()});
  else
    (void)fitRectToMonitor(r, monitor);  // an empty rectangle stays as it is
  return {r.Left, r.Top, r.Right - r.Left, r.Bottom - r.Top};
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
  TMemoryGraphic g(width(), height(), dockAppearance().colors().btnFace);
  if (!g.isValid()) return;
  paintPopupFrame(g);
  QPainter p(this);
  blitToPainter(p, 0, 0, g.width(), g.height(), g, 0, 0);
}

}  // namespace pg
