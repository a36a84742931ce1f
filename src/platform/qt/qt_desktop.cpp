#include "platform/qt/qt_desktop.h"

#include <QCursor>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QScreen>

namespace pg {

int32_t virtualKeyOf(int qtKey) {
  // Letters, digits and space have the same numbers in both.
  if ((qtKey >= Qt::Key_A && qtKey <= Qt::Key_Z) || (qtKey >= Qt::Key_0 && qtKey <= Qt::Key_9) ||
      qtKey == Qt::Key_Space)
    return qtKey;
  if (qtKey >= Qt::Key_F1 && qtKey <= Qt::Key_F24) return 112 + (qtKey - Qt::Key_F1);
  switch (qtKey) {
    case Qt::Key_Backspace: return kVkBack;
    case Qt::Key_Tab: return kVkTab;
    case Qt::Key_Return:
    case Qt::Key_Enter: return kVkReturn;
    case Qt::Key_Shift: return kVkShift;
    case Qt::Key_Control: return kVkControl;
    case Qt::Key_Alt: return kVkMenu;
    case Qt::Key_Escape: return kVkEscape;
    case Qt::Key_PageUp: return 33;
    case Qt::Key_PageDown: return 34;
    case Qt::Key_End: return 35;
    case Qt::Key_Home: return 36;
    case Qt::Key_Left: return 37;
    case Qt::Key_Up: return 38;
    case Qt::Key_Right: return 39;
    case Qt::Key_Down: return 40;
    case Qt::Key_Insert: return 45;
    case Qt::Key_Delete: return kVkDelete;
    default: return 0;
  }
}

namespace {

Qt::CursorShape shapeOf(int32_t id) {
  switch (id) {
    case kCursorIBeam: return Qt::IBeamCursor;
    case kCursorWait: return Qt::WaitCursor;
    case kCursorCross: return Qt::CrossCursor;
    case kCursorUpArrow: return Qt::UpArrowCursor;
    case kCursorSizeNWSE: return Qt::SizeFDiagCursor;
    case kCursorSizeNESW: return Qt::SizeBDiagCursor;
    case kCursorSizeWE: return Qt::SizeHorCursor;
    case kCursorSizeNS: return Qt::SizeVerCursor;
    case kCursorSizeAll: return Qt::SizeAllCursor;
    case kCursorNo: return Qt::ForbiddenCursor;
    case kCursorHand: return Qt::PointingHandCursor;
    case kCursorAppStarting: return Qt::BusyCursor;
    case kCursorHelp: return Qt::WhatsThisCursor;
    default: return Qt::ArrowCursor;
  }
}

}  // namespace

CQtDesktop::CQtDesktop(QObject* parent) : QObject(parent) {
  if (QCoreApplication* app = QCoreApplication::instance()) app->installEventFilter(this);
}

CQtDesktop::~CQtDesktop() {
  if (cursor_ != kCursorNone && qobject_cast<QGuiApplication*>(QCoreApplication::instance()))
    QGuiApplication::restoreOverrideCursor();
}

bool CQtDesktop::eventFilter(QObject* watched, QEvent* event) {
  switch (event->type()) {
    case QEvent::KeyPress:
    case QEvent::KeyRelease: {
      auto* key = static_cast<QKeyEvent*>(event);
      if (int32_t vk = virtualKeyOf(key->key()); vk != 0 && !key->isAutoRepeat()) {
        if (event->type() == QEvent::KeyPress)
          down_.insert(vk);
        else
          down_.erase(vk);
      }
      break;
    }
    case QEvent::ApplicationDeactivate:
      // Keys released while another program has the keyboard are never seen.
      down_.clear();
      break;
    default: break;
  }
  return QObject::eventFilter(watched, event);
}

uint32_t CQtDesktop::modifierState() {
  uint32_t state = 0;
  Qt::KeyboardModifiers mods = QGuiApplication::queryKeyboardModifiers();
  if (mods & Qt::ShiftModifier || down_.count(kVkShift)) state |= kModShift;
  if (mods & Qt::AltModifier || down_.count(kVkMenu)) state |= kModAlt;
  if (mods & Qt::ControlModifier || down_.count(kVkControl)) state |= kModCtrl;
  Qt::MouseButtons buttons = QGuiApplication::mouseButtons();
  if (buttons & Qt::LeftButton) state |= kModLeftButton;
  if (buttons & Qt::RightButton) state |= kModRightButton;
  if (buttons & Qt::MiddleButton) state |= kModMiddleButton;
  return state;
}

bool CQtDesktop::isKeyDown(int32_t vk) {
  switch (vk) {
    case kVkShift: return (modifierState() & kModShift) != 0;
    case kVkMenu: return (modifierState() & kModAlt) != 0;
    case kVkControl: return (modifierState() & kModCtrl) != 0;
    case kVkLButton: return (QGuiApplication::mouseButtons() & Qt::LeftButton) != 0;
    case kVkRButton: return (QGuiApplication::mouseButtons() & Qt::RightButton) != 0;
    case kVkMButton: return (QGuiApplication::mouseButtons() & Qt::MiddleButton) != 0;
    default: return down_.count(vk) != 0;
  }
}

int32_t CQtDesktop::setCursor(int32_t id) {
  int32_t previous = cursor_;
  if (id == previous) return previous;
  // At most one cursor of ours sits on Qt's override stack.
  if (id == kCursorNone)
    QGuiApplication::restoreOverrideCursor();
  else if (previous == kCursorNone)
    QGuiApplication::setOverrideCursor(QCursor(shapeOf(id)));
  else
    QGuiApplication::changeOverrideCursor(QCursor(shapeOf(id)));
  cursor_ = id;
  return previous;
}

bool CQtDesktop::virtualScreen(int32_t& x, int32_t& y, int32_t& width, int32_t& height) {
  QScreen* screen = QGuiApplication::primaryScreen();
  if (!screen) return false;
  QRect area = screen->virtualGeometry();
  if (area.width() <= 0 || area.height() <= 0) area = screen->geometry();
  if (area.width() <= 0 || area.height() <= 0) return false;
  x = area.x();
  y = area.y();
  width = area.width();
  height = area.height();
  return true;
}

}  // namespace pg
