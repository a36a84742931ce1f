#pragma once
// The enabling rules shared by the document commands: four edit gates that
// differ in how they treat a replay, and two selection gates over them.
// Toolkit-free so that the truth table tests without a display.

#include <cstdint>

namespace pg {

enum class ECommandGate : uint8_t { G0, G1, GC, GI, S0, S1 };

// What the gates look at, gathered from the active document window.
struct SGateInputs {
  bool hasWindow = false;
  bool batchMode = false;     // rendering or viewing from the command line
  bool standardMode = true;   // false while the document runs in the older format
  bool strokeOpen = false;
  bool busy = false;
  bool modalLoop = false;     // the text-window loop runs
  bool replaying = false;
  bool paused = false;        // the replay is paused
  int32_t playState = 0;
  bool hasSelection = false;  // the document has a selection image
};

// True when the command guarded by `gate` may run.
bool commandGateOpen(ECommandGate gate, const SGateInputs& in);

}  // namespace pg
