#pragma once
// Snapping of a floating window's rectangle while it is moved: inside the
// screens, inside the main window's document area, and against the other
// floating windows. Pure geometry; the window layer gathers the rectangles.
#include <vector>

#include "core/rect.h"

namespace pg {

// How far an edge is pulled onto a neighbouring edge.
constexpr int32_t kSnapDistance = 8;

struct SSnapTargets {
  std::vector<TRect> monitors;  // each screen's bounds
  bool hasOwnerArea = false;
  TRect ownerArea;              // the main window's document area, screen coordinates
  std::vector<TRect> others;    // the other floating windows (the moved one left out)
};

// Moves r (right and bottom exclusive) onto edges within reach and answers
// whether it moved.
[[nodiscard]] bool snapRect(TRect& r, const SSnapTargets& targets);

}  // namespace pg
