#include "app/command_gates.h"

#include <gtest/gtest.h>

#include <array>
#include <functional>
#include <string>

namespace pg {
namespace {

constexpr std::array<ECommandGate, 6> kAll{ECommandGate::G0, ECommandGate::G1, ECommandGate::GC,
                                           ECommandGate::GI, ECommandGate::S0, ECommandGate::S1};

SGateInputs readyWindow() {
  SGateInputs in;
  in.hasWindow = true;
  in.hasSelection = true;
  return in;
}

// Every state that closes all gates, whatever the replay does.
TEST(CommandGates, BlockingStatesCloseEveryGate) {
  const std::array<std::pair<const char*, std::function<void(SGateInputs&)>>, 6> blockers{{
      {"no window", [](SGateInputs& in) { in.hasWindow = false; }},
      {"batch mode", [](SGateInputs& in) { in.batchMode = true; }},
      {"older format", [](SGateInputs& in) { in.standardMode = false; }},
      {"open stroke", [](SGateInputs& in) { in.strokeOpen = true; }},
      {"busy", [](SGateInputs& in) { in.busy = true; }},
      {"text loop", [](SGateInputs& in) { in.modalLoop = true; }},
  }};
  for (const auto& [name, apply] : blockers) {
    for (bool replaying : {false, true}) {
      SGateInputs in = readyWindow();
      in.replaying = replaying;
      in.paused = true;
      apply(in);
      for (ECommandGate gate : kAll) {
        EXPECT_FALSE(commandGateOpen(gate, in)) << name << " gate " << static_cast<int>(gate);
      }
    }
  }
}

// The truth table over replay, pause and play state: G0 G1 GC GI S0 S1.
TEST(CommandGates, ReplayAndPlayStateTable) {
  struct Row {
    bool replaying, paused;
    int32_t playState;
    std::array<bool, 6> open;
  };
  const Row rows[] = {
      {false, false, 0, {true, true, true, true, true, true}},
      {false, false, 1, {false, true, false, true, false, true}},
      {true, false, 0, {false, false, false, true, false, false}},
      {true, true, 0, {false, false, true, true, false, false}},
      {true, true, 2, {false, false, false, true, false, false}},
  };
  for (const Row& row : rows) {
    SGateInputs in = readyWindow();
    in.replaying = row.replaying;
    in.paused = row.paused;
    in.playState = row.playState;
    for (size_t i = 0; i < kAll.size(); ++i) {
      EXPECT_EQ(commandGateOpen(kAll[i], in), row.open[i])
          << "replaying " << row.replaying << " paused " << row.paused << " state " << row.playState << " gate " << i;
    }
  }
}

TEST(CommandGates, SelectionGatesNeedASelection) {
  SGateInputs in = readyWindow();
  in.hasSelection = false;
  EXPECT_TRUE(commandGateOpen(ECommandGate::G0, in));
  EXPECT_TRUE(commandGateOpen(ECommandGate::G1, in));
  EXPECT_FALSE(commandGateOpen(ECommandGate::S0, in));
  EXPECT_FALSE(commandGateOpen(ECommandGate::S1, in));
}

}  // namespace
}  // namespace pg
