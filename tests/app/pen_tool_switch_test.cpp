#include "app/pen_tool_switch.h"

#include <gtest/gtest.h>

namespace pg {
namespace {

using A = CPenToolSwitch::Action;

SPenReading penUp(float altitude) { return {true, 0.0f, altitude, true}; }
SPenReading leave() { return {false, 0.0f, 0.0f, false}; }

TEST(PenToolSwitch, TheEraserEndLiftedSelectsTheSecondButtonAndLeavingBringsTheFirstBack) {
  CPenToolSwitch s;
  EXPECT_EQ(s.update(penUp(0.5f), false, true), A::None) << "the writing end changes nothing";
  EXPECT_EQ(s.update({true, 0.4f, -0.5f, true}, false, true), A::None) << "only at pen-up";
  EXPECT_EQ(s.update(penUp(-0.5f), false, true), A::SelectSecond);
  EXPECT_EQ(s.update(penUp(-0.5f), false, true), A::None) << "once";
  EXPECT_EQ(s.update(leave(), false, true), A::SelectFirst);
  EXPECT_FALSE(s.switched());
}

TEST(PenToolSwitch, LeavingDuringAStrokeSwitchesBackOnlyAfterIt) {
  CPenToolSwitch s;
  ASSERT_EQ(s.update(penUp(-1.0f), false, true), A::SelectSecond);
  EXPECT_EQ(s.update(leave(), true, true), A::None);
  EXPECT_TRUE(s.switchBackPending());
  EXPECT_EQ(s.update({true, 0.3f, -1.0f, true}, true, true), A::None) << "the stroke goes on";
  EXPECT_EQ(s.update({true, 0.3f, -1.0f, true}, false, true), A::SelectFirst);
}

TEST(PenToolSwitch, NoSwitchWithoutADocumentWindowOrDuringReplay) {
  CPenToolSwitch s;
  EXPECT_EQ(s.update(penUp(-1.0f), false, false), A::None);
  EXPECT_FALSE(s.switched());
}

}  // namespace
}  // namespace pg
