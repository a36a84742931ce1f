#pragma once
// Keeping windows on the virtual screen (the rectangle spanned by all
// screens): a window restored from saved settings or dragged off-screen is
// moved back, as long as it fits at all.
#include "core/rect.h"

class QWidget;

namespace pg {

// pos := the top-left at which the window's frame lies inside the virtual
// screen; true when that differs from where it is now. A window larger than
// the screen, or no screen at all, leaves pos at the current place (false).
[[nodiscard]] bool keepWindowOnScreen(const QWidget& wnd, TPoint& pos);
// Moves the control's window to that place when it has to move.
void keepControlOnScreen(QWidget& control);

}  // namespace pg
