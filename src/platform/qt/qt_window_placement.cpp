#include "platform/qt/qt_window_placement.h"

#include <QWidget>

#include "platform/desktop.h"

namespace pg {

bool keepWindowOnScreen(const QWidget& wnd, TPoint& pos) {
  const QRect frame = wnd.window()->frameGeometry();
  pos = {frame.x(), frame.y()};
  SRectXYWH screen;
  if (!currentDesktop().virtualScreen(screen.X, screen.Y, screen.Width, screen.Height)) return false;
  SRectXYWH r{frame.x(), frame.y(), frame.width(), frame.height()};
  if (!keepRectInside(r, screen)) return false;
  pos = {r.X, r.Y};
  return r.X != frame.x() || r.Y != frame.y();
}

void keepControlOnScreen(QWidget& control) {
  TPoint pos;
  if (keepWindowOnScreen(control, pos)) control.window()->move(pos.X, pos.Y);
}

}  // namespace pg
