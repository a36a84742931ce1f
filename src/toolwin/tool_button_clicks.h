#pragma once
// A double-click on the hand or the zoom tool button: the hand fits the
// picture into its window, the zoom shows it 1:1 about the picture's centre;
// each first turns the view upright when its preference says so.
#include <cstdint>

#include "toolwin/tool_tables.h"  // kHandButton, kZoomButton

namespace pg {

// What the double-click does to the bound document window.
class IViewCommands {
 public:
  virtual ~IViewCommands() = default;
  virtual void resetViewRotation() = 0;
  virtual void zoomToFit() = 0;
  // 1:1 about the picture's centre (halves rounded toward zero).
  virtual void zoomOneToOne() = 0;
};

struct SToolButtonPrefs {
  bool rotGrabDblClk = true;  // the hand's double-click also resets the angle
  bool rotZoomDblClk = true;  // the zoom's double-click also resets the angle
};

// Nothing without a document window (view null) or on another button.
void toolButtonDoubleClicked(int button, const SToolButtonPrefs& prefs, IViewCommands* view);

}  // namespace pg
