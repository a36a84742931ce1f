// The event log: runs of equal events counted on one row, strokes counted
// quietly, the codes that are never logged, and the capacity.
#include <gtest/gtest.h>

#include "platform/string_table.h"
#include "record/event_vocabulary.h"
#include "toolwin/event_log.h"
#include "toolwin/event_panel.h"

namespace pg {
namespace {

using Change = TEventLogModel::Change;

TEST(EventLog, TenStrokesMakeOneRowRedrawnOnlyAtTheTenth) {
  TEventLogModel log;
  std::vector<Change> changes;
  for (int i = 0; i < 10; ++i) changes.push_back(log.addEvent(kLogCodeStroke));
  EXPECT_EQ(changes.front(), Change::Appended);
  for (int i = 1; i < 9; ++i) EXPECT_EQ(changes[size_t(i)], Change::Quiet) << i;
  EXPECT_EQ(changes.back(), Change::Counted);
  ASSERT_EQ(log.count(), 1);
  EXPECT_EQ(log.item(0).count, 10);
  EXPECT_EQ(log.rowName(0), eventDisplayName(kLogCodeStroke) + " × 10");
}

TEST(EventLog, EqualEventsCountOnAndOthersAppend) {
  TEventLogModel log;
  struct Step {
    uint8_t code;
    Change change;
    int32_t rows;
  };
  const uint8_t newLayer = eventNameIndex(4, 0);
  const uint8_t opacity = eventNameIndex(4, 17);
  for (const Step& s : std::vector<Step>{{newLayer, Change::Appended, 1},
                                         {newLayer, Change::Counted, 1},
                                         {0, Change::None, 1},  // never logged
                                         {kLogCodeUndo, Change::None, 1},
                                         {kLogCodeLayerActivate, Change::None, 1},
                                         {kLogCodeMaskActivate, Change::None, 1},
                                         {opacity, Change::Appended, 2},
                                         {kLogCodeStroke, Change::Appended, 3},
                                         {opacity, Change::Appended, 4}}) {
    EXPECT_EQ(log.addEvent(s.code), s.change) << int(s.code);
    EXPECT_EQ(log.count(), s.rows) << int(s.code);
  }
  EXPECT_EQ(log.rowName(0), eventDisplayName(newLayer) + " × 2");
  EXPECT_EQ(log.rowName(1), eventDisplayName(opacity));
  EXPECT_EQ(log.item(1).icon, eventIconOf(opacity));
  EXPECT_EQ(log.selected(), 3);
  log.setEnabled(false);
  EXPECT_EQ(log.addEvent(newLayer), Change::None);
  log.clear();
  EXPECT_EQ(log.count(), 0);
  EXPECT_EQ(log.selected(), -1);
}

TEST(EventLog, CapacityIsClampedAndDropsTheOldestRows) {
  TEventLogModel log;
  log.setCapacity(60);
  EXPECT_EQ(log.capacity(), 50);
  for (uint8_t code = 30; code < 30 + 55; ++code) (void)log.addEvent(code);
  EXPECT_EQ(log.count(), 50);
  EXPECT_EQ(log.item(0).code, 35);  // the first five went
  log.setCapacity(3);
  ASSERT_EQ(log.count(), 3);
  EXPECT_EQ(log.item(0).code, 82);
  EXPECT_EQ(log.item(2).code, 84);
  log.setCapacity(-4);
  EXPECT_EQ(log.capacity(), 0);
  EXPECT_EQ(log.count(), 0);
  EXPECT_EQ(log.addEvent(20), Change::None);  // a capacity of 0 disables the log
}

TEST(EventPanel, ReplayDisplayCaptionButtonsAndProgress) {
  CEventPanelModel p;
  EXPECT_EQ(p.caption(), resString(65266));
  EXPECT_FALSE(p.stopEnabled());
  EXPECT_TRUE(p.setReplaying(true, true));
  EXPECT_FALSE(p.setReplaying(true, true));  // twice changes nothing
  EXPECT_EQ(p.caption(), resString(65266) + " - " + resString(65325));
  EXPECT_EQ(p.pauseGlyph(), kGlyphReplayPlaying);
  p.setPaused(true);
  EXPECT_EQ(p.caption(), resString(65266) + " - " + resString(65326));
  EXPECT_EQ(p.pauseGlyph(), kGlyphReplayPaused);
  EXPECT_TRUE(p.pauseEnabled() && p.stepEnabled() && p.stopEnabled());
  p.setProgress(12, 10);
  EXPECT_EQ(p.progressDone(), 10u);
  // A legacy replay: pause and step do not apply.
  EXPECT_TRUE(p.setReplaying(true, false));
  EXPECT_FALSE(p.pauseEnabled());
  EXPECT_FALSE(p.stepEnabled());
  EXPECT_TRUE(p.stopEnabled());
  EXPECT_FALSE(p.paused());
  EXPECT_EQ(p.progressTotal(), 0u);
  EXPECT_TRUE(p.setReplaying(false, false));
  EXPECT_FALSE(p.stopEnabled());
  // The progress display steps 0, 1, 2, 0.
  std::vector<uint8_t> modes;
  for (int i = 0; i < 4; ++i) {
    p.progressClick();
    modes.push_back(p.progressMode());
  }
  EXPECT_EQ(modes, (std::vector<uint8_t>{1, 2, 0, 1}));
}

TEST(EventPanel, TheReplayedBrushRedrawsOnlyOnAChange) {
  CEventPanelModel p;
  SReplayedBrush b{0x00FF0000u, 0x00FFFFFFu, 5, true, false};
  EXPECT_TRUE(p.setBrush(b));
  EXPECT_FALSE(p.setBrush(b));
  EXPECT_EQ(p.toneGlyph(), kGlyphToneOn);
  EXPECT_EQ(p.gradationGlyph(), kGlyphGradationOff);
  b.gradation = true;
  EXPECT_TRUE(p.setBrush(b));
  EXPECT_EQ(p.gradationGlyph(), kGlyphGradationOn);
  // The kinds have glyphs of their tools: two different kinds differ.
  const uint8_t airbrush = p.brushGlyph();
  b.strokeKind = 3;
  (void)p.setBrush(b);
  EXPECT_NE(p.brushGlyph(), airbrush);
}

}  // namespace
}  // namespace pg
