#include "toolwin/tool_button_clicks.h"

namespace pg {

void toolButtonDoubleClicked(int button, const SToolButtonPrefs& prefs, IViewCommands* view) {
  if (view == nullptr) return;
  if (button == kHandButton) {
    if (prefs.rotGrabDblClk) view->resetViewRotation();
    view->zoomToFit();
  } else if (button == kZoomButton) {
    if (prefs.rotZoomDblClk) view->resetViewRotation();
    view->zoomOneToOne();
  }
}

}  // namespace pg
