#include "app/status_bar_model.h"

#include <gtest/gtest.h>

#include "app/action_table.h"

namespace pg {
namespace {

TEST(StatusBarModel, PanelsAreFoundByAddingWidthsFromTheLeft) {
  // 800 wide: 64, 64, 128, 320, 32, 80, 112.
  struct Case {
    int x;
    std::optional<int> panel;
  } cases[] = {{-1, std::nullopt}, {0, 0},   {63, 0},  {64, 1},  {127, 1}, {128, 2},           {255, 2},
               {256, 3},           {575, 3}, {576, 4}, {607, 4}, {608, 5}, {688, 6},           {799, 6},
               {800, std::nullopt}};
  for (const Case& c : cases) EXPECT_EQ(statusPanelAt(c.x, 800), c.panel) << c.x;
  EXPECT_EQ(statusPanelCentre(0, 800), 32);
  EXPECT_EQ(statusPanelCentre(6, 800), 688 + 56);
}

TEST(StatusBarModel, TheHintPanelNeverGetsANegativeWidth) {
  auto w = statusPanelWidths(300);
  EXPECT_EQ(w[3], 0);
  EXPECT_EQ(statusPanelAt(128 + 0, 300), 2);
  EXPECT_EQ(statusPanelAt(256, 300), 4);  // panel 3 is empty
}

TEST(StatusBarModel, MemoryUsesAUnitOnlyAboveItsSize) {
  struct Case {
    uint64_t bytes;
    const char* text;
  } cases[] = {
      {0, "M : 0 Bytes"},
      {1024, "M : 1024 Bytes"},
      {1025, "M : 1.00 KB"},
      {1048576, "M : 1024.00 KB"},
      {1048577, "M : 1.00 MB"},
      {1073741824, "M : 1024.00 MB"},
      {1073741825ull * 3, "M : 3.00 GB"},
  };
  for (const Case& c : cases) EXPECT_EQ(formatMemoryStatus("M", c.bytes), c.text) << c.bytes;
}

TEST(StatusBarModel, ZoomAndAngleTexts) {
  EXPECT_EQ(formatZoomStatus(33.333f), "33.3 %");
  EXPECT_EQ(formatAngleStatus(90.0f), "-90.0 °");
  EXPECT_EQ(formatAngleStatus(-45.5f), "45.5 °");
  EXPECT_EQ(formatAngleStatus(0.0f), "0.0 °");
}

TEST(StatusBarModel, ZoomMenuChecksTheEntryWithinATenThousandth) {
  EXPECT_EQ(zoomMenuEntryFor(1.0), 8);
  EXPECT_EQ(zoomMenuEntryFor(1.0 / 3 + 0.00005), 5);
  EXPECT_EQ(zoomMenuEntryFor(0.3), std::nullopt);
  EXPECT_EQ(zoomMenuEntryFor(16.0), 16);
}

TEST(ActionTable, NamesAreUniqueAndEveryMenuEntryNamesAnAction) {
  auto table = actionTable();
  for (size_t i = 0; i < table.size(); ++i) {
    EXPECT_EQ(table[i].captionId, kResActionCaptionBase + i) << table[i].name;
    EXPECT_EQ(findAction(table[i].name), &table[i]) << "duplicate " << table[i].name;
  }
  for (const SMenuDef& menu : mainMenuLayout()) {
    int depth = 0;
    for (const SMenuEntry& e : menu.entries) {
      if (e.kind == MenuEntryKind::Action) {
        EXPECT_NE(findAction(e.action), nullptr) << e.action;
      }
      if (e.kind == MenuEntryKind::SubmenuBegin) ++depth;
      if (e.kind == MenuEntryKind::SubmenuEnd) --depth;
      EXPECT_GE(depth, 0);
    }
    EXPECT_EQ(depth, 0);
  }
}

}  // namespace
}  // namespace pg
