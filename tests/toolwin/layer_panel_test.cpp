#include "toolwin/layer_panel.h"

#include <gtest/gtest.h>

#include "core/blend_modes.h"
#include "document/doc_recorder.h"
#include "document/layer_mngr.h"
#include "document/mask_mngr.h"
#include "platform/clock.h"
#include "record/event_store.h"
#include "toolwin/layer_lists.h"
#include "toolwin/doc_window_fixture.h"

namespace pg {
namespace {

struct PanelFixture : test::DocWindowFixture {
  PanelFixture() : panel(layers, masks) {
    layers.setOptions(kListKeepActive | kListDraggable);
    masks.setOptions(kListKeepActive);
    layers.setBounds(210, 300);
    masks.setBounds(210, 200);
    layers.bind(window.get());
    masks.bind(window.get());
    panel.updateLayerPanel();
    panel.updateMaskPanel();
  }
  uint32_t events() {
    auto* rec = dynamic_cast<CDocEventRecorder*>(doc().events());
    return rec ? rec->store().committedCount() : 0;
  }
  int32_t opacity() { return doc().currentLayer()->opacity; }
  // A drag of the opacity field through the values, one timer tick each
  // `ms` apart, and the release.
  void dragOpacity(std::initializer_list<double> percents, uint32_t ms) {
    panel.opacityStart();
    for (double p : percents) {
      panel.opacityChange(p);
      clock.advance(ms);
      panel.opacityTimer();
    }
    panel.opacityEnd();
  }

  ManualClock clock{1000};
  test::ClockScope scope{&clock};
  CLayerList layers;
  CMaskList masks;
  CLayerPanel panel;
};

TEST(OpacityConversion, PercentAndByteRoundBothWays) {
  struct Case {
    double percent;
    int32_t byte;
  } toByte[] = {{0, 0}, {40, 102}, {50, 128}, {100, 255}, {120, 255}, {-5, 0}};
  for (const Case& c : toByte) EXPECT_EQ(opacityPercentToByte(c.percent), c.byte) << c.percent;
  struct Back {
    int32_t byte, percent;
  } toPercent[] = {{0, 0}, {102, 40}, {128, 50}, {255, 100}};
  for (const Back& c : toPercent) EXPECT_EQ(opacityByteToPercent(c.byte), c.percent) << c.byte;
}

TEST(LayerPanel, AnOpacityDragCommitsOneRecordedUndoableChange) {
  PanelFixture f;
  ASSERT_EQ(f.opacity(), 255);
  int32_t undo = f.undoCount();
  uint32_t events = f.events();
  f.dragOpacity({90, 70, 55, 40}, 600);
  EXPECT_EQ(f.opacity(), 102);
  EXPECT_EQ(f.undoCount(), undo + 1);
  EXPECT_EQ(f.events(), events + 1);
  ASSERT_TRUE(f.window->undo());
  EXPECT_EQ(f.opacity(), 255);
}

TEST(LayerPanel, PreviewsShowTheValueButRecordNothingUntilTheEnd) {
  PanelFixture f;
  int32_t undo = f.undoCount();
  f.panel.opacityStart();
  f.panel.opacityChange(40);
  f.clock.advance(100);
  f.panel.opacityTimer();  // too soon: nothing yet
  EXPECT_EQ(f.opacity(), 255);
  EXPECT_TRUE(f.panel.timerRunning());
  f.clock.advance(500);
  f.panel.opacityTimer();
  EXPECT_EQ(f.opacity(), 102);
  EXPECT_FALSE(f.panel.timerRunning());
  EXPECT_EQ(f.undoCount(), undo);
  // A refresh while the edit is open does not pull the field back.
  f.panel.opacityChange(60);
  f.panel.updateLayerPanel();
  EXPECT_EQ(f.panel.state().opacity, 60);
  f.panel.opacityEnd();
  EXPECT_EQ(f.opacity(), 153);
  EXPECT_EQ(f.undoCount(), undo + 1);
}

TEST(LayerPanel, ADragBackToTheStartRecordsNothing) {
  PanelFixture f;
  int32_t undo = f.undoCount();
  uint32_t events = f.events();
  f.dragOpacity({70, 40, 100}, 600);
  EXPECT_EQ(f.opacity(), 255);
  EXPECT_EQ(f.undoCount(), undo);
  EXPECT_EQ(f.events(), events);
}

TEST(LayerPanel, FieldChangesOutsideAnEditNeverReachTheDocument) {
  PanelFixture f;
  f.panel.opacityChange(30);
  f.clock.advance(1000);
  f.panel.opacityTimer();
  EXPECT_EQ(f.opacity(), 255);
  EXPECT_FALSE(f.panel.timerRunning());
}

TEST(LayerPanel, TheTimerIsSafeAcrossTheClockWrap) {
  PanelFixture f;
  f.clock.set(0xFFFFFF00u);
  f.panel.opacityStart();
  f.panel.opacityChange(40);
  f.clock.advance(0x80);  // 128 ms later, past the wrap... not yet due
  f.panel.opacityTimer();
  EXPECT_EQ(f.opacity(), 255);
  f.clock.advance(500);
  f.panel.opacityTimer();
  EXPECT_EQ(f.opacity(), 102);
  f.panel.opacityEnd();
}

TEST(LayerPanel, StateFollowsTheCurrentLayer) {
  PanelFixture f;
  f.addLayers(2);
  ASSERT_TRUE(f.doc().setLayerBlendMode(1, 3, true));
  ASSERT_TRUE(f.doc().setLayerOpacity(1, 128, true));
  EXPECT_TRUE(f.doc().setCurrentLayer(&f.window->flow(), 1));
  f.panel.updateLayerPanel();
  EXPECT_EQ(f.panel.state().blendMode, 3);
  EXPECT_EQ(f.panel.state().opacity, 50);
  EXPECT_TRUE(f.panel.state().canDelete);
  f.layers.unbind();
  f.masks.unbind();
  f.panel.updateLayerPanel();
  EXPECT_FALSE(f.panel.state().attached);
  EXPECT_FALSE(f.panel.state().canDelete);
}

TEST(LayerPanel, TheLastLayerAndTheLastMaskCannotBeDeleted) {
  PanelFixture f;
  ASSERT_EQ(f.doc().layerCount(), 1);
  EXPECT_FALSE(f.panel.state().canDelete);
  EXPECT_FALSE(f.panel.deleteLayer(true));
  EXPECT_FALSE(f.layers.deleteItem(0, false));
  ASSERT_EQ(f.masks.getCount(), 1);
  EXPECT_FALSE(f.panel.maskState().canDelete);
  EXPECT_FALSE(f.panel.deleteMask(true));
  ASSERT_TRUE(f.panel.newMask());
  EXPECT_TRUE(f.panel.maskState().canDelete);
  ASSERT_TRUE(f.panel.newLayer(false));
  EXPECT_TRUE(f.panel.state().canDelete);
  EXPECT_EQ(f.doc().currentLayer()->blendMode, lbmNormal);
}

TEST(LayerPanel, DeletingAsksUnlessAltIsHeld) {
  PanelFixture f;
  f.addLayers(3);
  int asked = 0;
  bool answer = false;
  f.panel.OnConfirm = [&](const std::string&) {
    ++asked;
    return answer;
  };
  f.panel.updateLayerPanel();
  EXPECT_FALSE(f.panel.deleteLayer(false));
  EXPECT_EQ(asked, 1);
  EXPECT_EQ(f.doc().layerCount(), 3);
  EXPECT_TRUE(f.panel.deleteLayer(true));
  EXPECT_EQ(asked, 1);
  EXPECT_EQ(f.doc().layerCount(), 2);
}

TEST(LayerPanel, BlendModeAndProtectTransparencyAreRecordedOnce) {
  PanelFixture f;
  int32_t undo = f.undoCount();
  f.panel.blendModeChange(4);
  f.panel.blendModeChange(4);
  EXPECT_EQ(f.doc().currentLayer()->blendMode, 4);
  f.panel.protectAlphaChange(true);
  EXPECT_TRUE(f.doc().currentLayer()->protectAlpha);
  EXPECT_EQ(f.undoCount(), undo + 2);
}

TEST(LayerList, ListsTheDocumentBottomUpWithOpacityAndModeName) {
  PanelFixture f;
  f.addLayers(3);
  EXPECT_TRUE(f.doc().setLayerName(0, "paper", true));
  EXPECT_TRUE(f.doc().setLayerName(2, "ink", true));
  EXPECT_TRUE(f.doc().setLayerOpacity(2, 102, true));
  EXPECT_EQ(f.layers.getCount(), 3);
  EXPECT_EQ(f.layers.getItemName(0), "paper");
  EXPECT_GT(f.layers.getItemRect(0).Top, f.layers.getItemRect(2).Top);
  EXPECT_EQ(f.layers.getItemDetail(2).substr(0, 4), "40%\t");
  EXPECT_EQ(f.layers.itemCheck(0), 1);
}

TEST(LayerList, LinkedLayersMoveAsAGroupAndNotIntoThemselves) {
  PanelFixture f;
  f.addLayers(5);
  // Layers 2 and 3 form a group based at 1.
  ASSERT_TRUE(f.doc().linkLayer(&f.window->flow(), 2, true, true));
  ASSERT_TRUE(f.doc().linkLayer(&f.window->flow(), 3, true, true));
  ASSERT_EQ(f.layers.groupSize(1), 3);
  f.layers.bind(f.window.get());
  for (int32_t to : {2, 3, 4}) EXPECT_FALSE(f.layers.canMoveItem(to, 1)) << to;
  EXPECT_TRUE(f.layers.canMoveItem(5, 1));
  EXPECT_TRUE(f.layers.canMoveItem(0, 1));
  std::string base = f.layers.getItemName(1), first = f.layers.getItemName(2), top = f.layers.getItemName(4);
  ASSERT_TRUE(f.layers.moveItemTo(5, 1, false));
  EXPECT_EQ(f.layers.getItemName(1), top);
  EXPECT_EQ(f.layers.getItemName(2), base);
  EXPECT_EQ(f.layers.getItemName(3), first);
  ASSERT_TRUE(f.window->undo());
  EXPECT_EQ(f.layers.getItemName(1), base);
}

TEST(LayerList, UnlinkedLayersMoveOneAtATime) {
  PanelFixture f;
  f.addLayers(3);
  std::string bottom = f.layers.getItemName(0);
  ASSERT_TRUE(f.layers.moveItemTo(3, 0, false));
  EXPECT_EQ(f.layers.getItemName(2), bottom);
  EXPECT_EQ(f.layers.getActiveIndex(), 2);
}

TEST(LayerList, ReadOnlyWithoutAWindow) {
  CLayerList list;
  EXPECT_EQ(list.getCount(), 0);
  EXPECT_EQ(list.getItemFlags(0), kItemFixed | kItemNoLabel | kItemNoEdit);
  EXPECT_FALSE(list.canMoveItem(0, 1));
  EXPECT_FALSE(list.deleteItem(0, false));
}

TEST(LayerList, TheVisibilityColumnTogglesAndShiftShowsOnlyOne) {
  PanelFixture f;
  f.addLayers(3);
  TRect r = f.layers.getItemRect(1);
  f.layers.press(r.Left + 4, r.Top + 4, 0);
  EXPECT_FALSE(f.doc().getLayer(1)->visible);
  f.layers.press(r.Left + 4, r.Top + 4, 0);
  EXPECT_TRUE(f.doc().getLayer(1)->visible);
  f.layers.press(r.Left + 4, r.Top + 4, kListShift);
  EXPECT_FALSE(f.doc().getLayer(0)->visible);
  EXPECT_TRUE(f.doc().getLayer(1)->visible);
  EXPECT_FALSE(f.doc().getLayer(2)->visible);
  // The only visible layer: Shift shows them all again.
  f.layers.press(r.Left + 4, r.Top + 4, kListShift);
  EXPECT_TRUE(f.doc().getLayer(0)->visible);
  EXPECT_TRUE(f.doc().getLayer(2)->visible);
}

TEST(MaskList, ModifierClicksMergeIntoTheCurrentMask) {
  EXPECT_EQ(maskMergeModeOf(kListCtrl), 0);
  EXPECT_EQ(maskMergeModeOf(kListShift), 1);
  EXPECT_EQ(maskMergeModeOf(kListAlt), 2);
  EXPECT_EQ(maskMergeModeOf(kListShift | kListAlt), 3);
  EXPECT_EQ(maskMergeModeOf(0), -1);
  PanelFixture f;
  ASSERT_TRUE(f.panel.newMask());
  // The new mask selects everything; the first one becomes current again.
  int32_t full = f.doc().masks()->current();
  ASSERT_TRUE(f.doc().maskFillAll(f.window->flow(), 0, true));
  ASSERT_TRUE(f.masks.setActiveIndex(full == 0 ? 1 : 0));
  int32_t current = f.doc().masks()->current();
  int32_t undo = f.undoCount();
  // Ctrl on the current mask is a plain click.
  TRect r = f.masks.getItemRect(current);
  f.masks.press(r.Left + 30, r.Top + 2, kListCtrl);
  EXPECT_EQ(f.undoCount(), undo);
  int32_t other = current == 0 ? 1 : 0;
  r = f.masks.getItemRect(other);
  EXPECT_EQ(f.masks.press(r.Left + 30, r.Top + 2, kListShift), kPartToggle);
  EXPECT_EQ(f.undoCount(), undo + 1);
}

}  // namespace
}  // namespace pg
