// The levels dialog's track bars and the rules between its values, channels
// and record.
#include <gtest/gtest.h>

#include "filters/histogram.h"
#include "filters/levels_dialog_model.h"

namespace pg {
namespace {

TEST(LevelsTrack, HitTestAndDragKeepTheHandlesInOrder) {
  CLevelsTrack in;  // min 0, mid 0.5, max 1 on a 106-pixel bar, glyphs 10 wide
  EXPECT_EQ(in.track(106), (TRect{3, 0, 103, 3}));
  EXPECT_EQ(in.handleX(ELevelsPart::Mid, 106, 10), 48);
  EXPECT_EQ(in.hitTest(4, 106, 10), ELevelsPart::Min);
  EXPECT_EQ(in.hitTest(100, 106, 10), ELevelsPart::Max);
  EXPECT_EQ(in.hitTest(55, 106, 10), ELevelsPart::Mid);
  CLevelsTrack out{false};
  EXPECT_EQ(out.track(106).Bottom, 8);
  EXPECT_EQ(out.hitTest(53, 106, 10), ELevelsPart::Max);  // a tie goes to max
  // The min handle never passes max; setting the same value fires nothing.
  in.positionMax = 0.5f;
  in.held = ELevelsPart::Min;
  EXPECT_TRUE(in.dragTo(90, 106));
  EXPECT_FLOAT_EQ(in.positionMin, 0.5f);
  EXPECT_EQ(in.changed, ELevelsPart::Min);
  EXPECT_FALSE(in.setPosition(ELevelsPart::Min, 0.5f));
  // The mid handle is relative to min .. max.
  in.positionMin = 0.0f;
  in.held = ELevelsPart::Mid;
  EXPECT_TRUE(in.dragTo(3 + 10, 106));
  EXPECT_FLOAT_EQ(in.positionMid, 0.2f);
  EXPECT_FALSE(in.setPosition(ELevelsPart::None, 0.3f));
}

TEST(LevelsDialogModel, EachChannelKeepsItsValuesAndTheFieldsStayApart) {
  levelsRemembered() = SLevelsRemembered{};
  CLevelsDialogModel m;
  m.readControls();
  const SFltLevels identity;
  uint8_t a[24], b[24];
  m.record().write(a);
  identity.write(b);
  EXPECT_EQ(std::vector<uint8_t>(a, a + 24), std::vector<uint8_t>(b, b + 24));
  // Red gets its own input range; the composite keeps its own.
  m.selectChannel(1);
  (void)m.controlChanged(kLvChannel);
  m.inMin.setValue(30.0f);
  (void)m.controlChanged(kLvInMin);
  m.readControls();
  EXPECT_EQ(m.record().InLow[1], 30);
  m.selectChannel(0);
  (void)m.controlChanged(kLvChannel);
  EXPECT_FLOAT_EQ(m.inMin.value(), 0.0f);
  m.selectChannel(1);
  (void)m.controlChanged(kLvChannel);
  EXPECT_FLOAT_EQ(m.inMin.value(), 30.0f);
  // A low typed above the high stays while typing; leaving the field puts
  // it one below the high, and a high left below the low goes one above it.
  m.inMax.setValue(100.0f);
  (void)m.controlChanged(kLvInMax);
  m.inMin.setValue(150.0f);
  EXPECT_EQ(m.controlChanged(kLvInMin), EPreviewRequest::Later);
  EXPECT_FLOAT_EQ(m.inMin.value(), 150.0f);
  m.inputFieldLeft(true);
  EXPECT_FLOAT_EQ(m.inMin.value(), 99.0f);
  m.inMax.setValue(20.0f);
  m.inputFieldLeft(false);
  EXPECT_FLOAT_EQ(m.inMax.value(), 100.0f);
  // The bars follow the values.
  EXPECT_FLOAT_EQ(m.inBar.positionMax, 100.0f / 255.0f);
  // Dragging the input bar's min past max is held one below it.
  m.inBar.positionMin = 1.0f;
  m.inBar.changed = ELevelsPart::Min;
  (void)m.controlChanged(kLvInputBar);
  EXPECT_FLOAT_EQ(m.inMin.value(), 99.0f);
  EXPECT_EQ(m.controlChanged(kLvDefaults), EPreviewRequest::Now);
  m.readControls();
  EXPECT_EQ(m.record().InLow[1], 0);
}

TEST(LevelsDialogModel, TheAutomaticButtonSpansEachColourChannel) {
  levelsRemembered() = SLevelsRemembered{};
  SHistogram h;
  h.lowest = {20, 5, 0, 0};
  h.highest = {220, 5, 255, 0};
  CLevelsDialogModel m(&h);
  EXPECT_EQ(m.controlChanged(kLvAuto), EPreviewRequest::Now);
  m.readControls();
  EXPECT_EQ(m.record().InLow[1], 20);
  EXPECT_EQ(m.record().InHigh[1], 220);
  // A single green level: the low one below the middle, the high one above.
  EXPECT_EQ(m.record().InLow[2], 4);
  EXPECT_EQ(m.record().InHigh[2], 6);
  EXPECT_EQ(m.record().InLow[0], 0);
  EXPECT_EQ(m.record().InHigh[0], 255);
}

}  // namespace
}  // namespace pg
