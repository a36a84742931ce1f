// The colour range dialog's picking rules.
#include <gtest/gtest.h>

#include "app/color_mask_model.h"

namespace pg {
namespace {

TEST(ColorMaskModel, ResetLeavesOneAddingEntryOfTheColour) {
  CColorMaskModel m;
  m.setMode(ColorMaskMode::Add);
  m.reset(0xFF123456u);
  EXPECT_EQ(m.mode(), ColorMaskMode::New);
  EXPECT_EQ(m.range(), 50);
  ASSERT_EQ(m.entries().size(), 1u);
  EXPECT_EQ(m.entries()[0].color, 0x123456u);
  EXPECT_EQ(m.entries()[0].add, 1);
  EXPECT_EQ(m.entries()[0].range, 50);
  EXPECT_TRUE(m.fullRecomputeDue());
  EXPECT_EQ(m.settings(true).count, 1u);
  EXPECT_EQ(m.settings(true).source, 1u);
}

TEST(ColorMaskModel, TheKeysChangeOnlyModeNew) {
  CColorMaskModel m;
  struct Case {
    ColorMaskMode mode;
    bool shift, ctrl;
    ColorMaskMode expected;
  };
  const Case cases[] = {
      {ColorMaskMode::New, false, false, ColorMaskMode::New},   {ColorMaskMode::New, true, false, ColorMaskMode::Add},
      {ColorMaskMode::New, false, true, ColorMaskMode::Remove}, {ColorMaskMode::New, true, true, ColorMaskMode::Pan},
      {ColorMaskMode::Remove, true, false, ColorMaskMode::Remove},
  };
  for (const Case& c : cases) {
    m.setMode(c.mode);
    EXPECT_EQ(m.effectiveMode(c.shift, c.ctrl), c.expected);
  }
}

TEST(ColorMaskModel, PicksReplaceToggleAndStopAtTheTableLimit) {
  CColorMaskModel m;
  m.reset(0);
  m.recomputed();
  EXPECT_EQ(m.pick(0x00FFFFFFu, ColorMaskMode::New), ColorPick::Ignored);  // transparent
  EXPECT_EQ(m.pick(0xFF0000FFu, ColorMaskMode::Pan), ColorPick::Ignored);
  EXPECT_EQ(m.pick(0xFF0000FFu, ColorMaskMode::New), ColorPick::Replaced);
  EXPECT_TRUE(m.clearBeforeNewest());
  EXPECT_FALSE(m.fullRecomputeDue());
  m.recomputed();
  // The same colour removing is a new entry; adding again takes the adding one away.
  EXPECT_EQ(m.pick(0xFF0000FFu, ColorMaskMode::Remove), ColorPick::Added);
  EXPECT_EQ(m.entries().size(), 2u);
  EXPECT_EQ(m.pick(0xFF0000FFu, ColorMaskMode::Add), ColorPick::Removed);
  EXPECT_TRUE(m.fullRecomputeDue());
  ASSERT_EQ(m.entries().size(), 1u);
  EXPECT_EQ(m.entries()[0].add, 0);
  for (uint32_t c = 1; m.entries().size() < kColorRangeMaxEntries; ++c)
    ASSERT_EQ(m.pick(0xFF000000u | c, ColorMaskMode::Add), ColorPick::Added);
  EXPECT_EQ(m.pick(0xFFABCDEFu, ColorMaskMode::Add), ColorPick::TableFull);
  EXPECT_EQ(m.entries().size(), kColorRangeMaxEntries);
}

TEST(ColorMaskModel, TheRangeGoesToTheNewestEntryAndWaitsForTheTimer) {
  CColorMaskModel m;
  m.reset(0x000000u);
  m.recomputed();
  (void)m.pick(0xFF00FF00u, ColorMaskMode::Add);
  m.setRange(300);
  EXPECT_EQ(m.range(), 255);
  EXPECT_EQ(m.entries().back().range, 255);
  EXPECT_EQ(m.entries().front().range, 50);
  EXPECT_TRUE(m.timerDue());
  m.timerFired();
  EXPECT_FALSE(m.timerDue());
  EXPECT_TRUE(m.fullRecomputeDue());
}

}  // namespace
}  // namespace pg
