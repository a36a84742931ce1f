#include "toolwin/tool_tables.h"

#include <gtest/gtest.h>

namespace pg {
namespace {

TEST(ToolTables, ShortcutLettersReachTheirButtons) {
  struct Case {
    char key;
    int button;
  };
  const Case cases[] = {
      {'A', 0},  {'S', 1},  {'D', 2},  {'F', 3},  {'G', 4},  {'H', 5},  {'P', 6},  {'J', 7},
      {'K', 7},  {'L', 8},  {'M', 8},  {'W', 9},  {'V', 10}, {'T', 11}, {'C', 12}, {'I', 13},
      {'B', -1}, {'E', -1}, {'R', -1}, {'X', -1}, {'Z', -1}, {'a', -1}, {'1', -1},
  };
  for (const Case& c : cases) EXPECT_EQ(buttonOfShortcutKey(c.key), c.button) << c.key;
}

TEST(ToolTables, EveryVariantCycleStaysOnItsButtonAndReturns) {
  for (int m = 0; m < kToolModeCount; ++m) {
    ToolMode mode = static_cast<ToolMode>(m);
    int button = buttonOfMode(mode);
    ToolMode walk = mode;
    int steps = 0;
    do {
      walk = nextModeOf(walk);
      ASSERT_EQ(buttonOfMode(walk), button) << "mode " << m;
    } while (walk != toolButtonDef(button).defaultMode && ++steps < 8);
    EXPECT_LT(steps, 8) << "the cycle of mode " << m << " never reaches its button's first variant";
  }
  // The hand never cycles into the view rotation.
  EXPECT_EQ(nextModeOf(ToolMode::Hand), ToolMode::Hand);
  EXPECT_EQ(nextModeOf(ToolMode::ViewRotation), ToolMode::Hand);
  EXPECT_EQ(nextModeOf(static_cast<ToolMode>(38)), ToolMode::None);
  EXPECT_EQ(buttonOfMode(static_cast<ToolMode>(200)), -1);
}

TEST(ToolTables, ButtonsShowTheGlyphOfTheirMode) {
  const uint8_t defaults[kToolButtonCount] = {0, 2, 5, 7, 9, 14, 24, 28, 30, 34, 35, 37, 39, 40, 41, 43};
  for (int b = 0; b < kToolButtonCount; ++b) EXPECT_EQ(glyphOfMode(toolButtonDef(b).defaultMode), defaults[b]) << b;
  EXPECT_EQ(glyphOfMode(ToolMode::Finger), 11);
  EXPECT_EQ(glyphOfMode(ToolMode::BlurV3), 10);
  EXPECT_EQ(glyphOfMode(ToolMode::ViewRotation), 42);
}

TEST(ToolTables, MenuItemsNameTheirModes) {
  for (int m = 0; m < kToolModeCount; ++m) {
    const SToolModeDef* def = toolModeDef(static_cast<ToolMode>(m));
    ToolMode found = ToolMode::None;
    if (def->menuItem.empty()) {
      EXPECT_TRUE(toolButtonDef(def->button).menu.empty()) << m;
      continue;
    }
    ASSERT_TRUE(modeOfMenuItem(def->menuItem, found)) << def->menuItem;
    EXPECT_EQ(byteOf(found), m);
  }
  ToolMode untouched = ToolMode::Crop;
  EXPECT_FALSE(modeOfMenuItem("MenuLayerNew", untouched));
  EXPECT_FALSE(modeOfMenuItem("", untouched));
  EXPECT_EQ(untouched, ToolMode::Crop);
}

TEST(ToolTables, VariantMaskRoundTripsEveryVariant) {
  for (int m = 0; m < kToolModeCount; ++m) {
    ToolMode mode = static_cast<ToolMode>(m);
    std::array<ToolMode, kToolButtonCount> remembered{};
    for (int b = 0; b < kToolButtonCount; ++b) remembered[b] = toolButtonDef(b).defaultMode;
    remembered[buttonOfMode(mode)] = mode;
    uint32_t mask = packToolSubMode(remembered);
    EXPECT_EQ(mask, toolModeDef(mode)->maskBit) << m;

    std::array<ToolMode, kToolButtonCount> back{};
    for (int b = 0; b < kToolButtonCount; ++b) back[b] = toolButtonDef(b).defaultMode;
    unpackToolSubMode(mask, back);
    // The view rotation has no bit: the hand comes back as scrolling.
    ToolMode expected = mode == ToolMode::ViewRotation ? ToolMode::Hand : mode;
    EXPECT_EQ(back[buttonOfMode(mode)], expected) << m;
  }
}

TEST(ToolTables, TheLowestBitOfAButtonWins) {
  std::array<ToolMode, kToolButtonCount> r{};
  for (int b = 0; b < kToolButtonCount; ++b) r[b] = toolButtonDef(b).defaultMode;
  unpackToolSubMode(0x2 | 0x4 | 0x20 | 0x80 | 0x400 | 0x800 | 0x20000 | 0x40000 | 0x80000000u, r);
  EXPECT_EQ(r[1], ToolMode::EraserV3);  // 0x2 before 0x4
  EXPECT_EQ(r[4], ToolMode::Finger);    // 0x20 before 0x80
  EXPECT_EQ(r[5], ToolMode::BurnV3);    // 0x400 before 0x800
  EXPECT_EQ(r[8], ToolMode::SelectPolygon);
  EXPECT_EQ(r[0], ToolMode::Pencil);  // untouched: no bit of its own
  EXPECT_EQ(r[6], ToolMode::FillRectangle);
}

}  // namespace
}  // namespace pg
