#include "app/pen_tool_switch.h"

namespace pg {

CPenToolSwitch::Action CPenToolSwitch::update(const SPenReading& r, bool strokeOpen, bool canSwitch) {
  if (switched_ && (!r.inProximity || (switchBackPending_ && !strokeOpen))) {
    if (strokeOpen) {
      switchBackPending_ = true;
      return Action::None;
    }
    switched_ = false;
    switchBackPending_ = false;
    return Action::SelectFirst;
  }
  if (r.packet && r.pressure <= 0.0f && r.altitude < 0.0f && !switched_ && canSwitch) {
    switched_ = true;
    return Action::SelectSecond;
  }
  return Action::None;
}

}  // namespace pg
