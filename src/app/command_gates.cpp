#include "app/command_gates.h"

#include <array>
#include <cstddef>

namespace pg {

namespace {

struct SGateRule {
  bool ignorePlayState;  // the play state need not be 0
  bool allowedInReplay;  // a replay does not close the gate by itself
  bool onlyWhenPaused;   // ... as long as it is paused
  bool needsSelection;
};

// Indexed by ECommandGate.
constexpr std::array<SGateRule, 6> kGateRules{{
    {false, false, true, false},  // G0
    {true, false, true, false},   // G1
    {false, true, true, false},   // GC
    {true, true, false, false},   // GI
    {false, false, true, true},   // S0
    {true, false, true, true},    // S1
}};

}  // namespace

bool commandGateOpen(ECommandGate gate, const SGateInputs& in) {
  const auto index = static_cast<std::size_t>(gate);
  if (index >= kGateRules.size()) return false;
  const SGateRule& rule = kGateRules[index];
  if (!in.hasWindow || in.batchMode || !in.standardMode || in.strokeOpen || in.busy || in.modalLoop) return false;
  if (in.replaying) {
    if (!rule.allowedInReplay) return false;
    if (rule.onlyWhenPaused && !in.paused) return false;
  }
  if (!rule.ignorePlayState && in.playState != 0) return false;
  if (rule.needsSelection && !in.hasSelection) return false;
  return true;
}

}  // namespace pg
