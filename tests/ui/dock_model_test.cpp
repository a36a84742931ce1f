#include "ui/dock_model.h"

#include <gtest/gtest.h>

#include <string>

namespace pg {
namespace {

class DockModelTest : public ::testing::Test {
 protected:
  void SetUp() override {
    for (const char* n : {"OptionView", "NavigatorView", "ColorView", "LayerView"}) {
      SDockView v;
      v.name = n;
      ids.push_back(m.registerView(v));
    }
  }
  // A form at (100, 100) holding the given views as tabs of one pane.
  int32_t formWith(std::initializer_list<int32_t> views) {
    const int32_t f = m.newForm(CDockModel::boundsForClient(100, 100, 210, 100));
    for (int32_t v : views) EXPECT_TRUE(m.addView(f, 0, v));
    return f;
  }
  CDockModel m;
  std::vector<int32_t> ids;
};

TEST_F(DockModelTest, RegistrationRefusesDuplicatesBadNamesAndTheCap) {
  SDockView v;
  v.name = "OptionView";
  EXPECT_EQ(m.registerView(v), -1);
  v.name = "";
  EXPECT_EQ(m.registerView(v), -1);
  v.name = "bad name";
  EXPECT_EQ(m.registerView(v), -1);
  for (int32_t i = m.viewCount(); i < kDockMaxViews; ++i) {
    v.name = "Panel" + std::to_string(i);
    EXPECT_GE(m.registerView(v), 0);
  }
  v.name = "OneTooMany";
  EXPECT_EQ(m.registerView(v), -1);
}

TEST_F(DockModelTest, LastViewGoneFreesThePaneAndTheFormButNotThePinnedOne) {
  const int32_t f = formWith({ids[0], ids[1]});
  ASSERT_TRUE(m.addView(f, -1, ids[2]));  // a second pane
  EXPECT_EQ(m.paneCount(f), 2);
  EXPECT_EQ(m.placeOf(ids[2]).pane, 1);
  EXPECT_TRUE(m.removeView(ids[2]));
  EXPECT_EQ(m.paneCount(f), 1);
  EXPECT_TRUE(m.removeView(ids[0]));
  EXPECT_EQ(m.formCount(), 1);
  EXPECT_TRUE(m.view(ids[1]).active) << "the remaining view becomes active";
  EXPECT_TRUE(m.removeView(ids[1]));
  EXPECT_EQ(m.formCount(), 0);
  EXPECT_FALSE(m.removeView(ids[1]));

  ASSERT_TRUE(m.addPinnedForm({0, 0, 50, 300}));
  EXPECT_FALSE(m.addPinnedForm({0, 0, 50, 300}));
  ASSERT_TRUE(m.addView(0, -1, ids[3]));
  EXPECT_TRUE(m.removeView(ids[3]));
  EXPECT_EQ(m.formCount(), 1);
  EXPECT_TRUE(m.form(0).pinned);
}

TEST_F(DockModelTest, FormAndPaneCapsHold) {
  ASSERT_TRUE(m.addPinnedForm({0, 0, 50, 300}));
  for (int32_t i = 0; i < kDockMaxForms; ++i) EXPECT_GE(m.newForm({0, 0, 100, 100}), 0);
  EXPECT_EQ(m.newForm({0, 0, 100, 100}), -1);
  EXPECT_EQ(m.floatingFormCount(), kDockMaxForms);

  CDockModel panes;
  std::vector<int32_t> vs;
  for (int32_t i = 0; i < kDockMaxPanes + 2; ++i) {
    SDockView v;
    v.name = "P" + std::to_string(i);
    vs.push_back(panes.registerView(v));
  }
  const int32_t f = panes.newForm({0, 0, 216, 200});
  for (int32_t i = 0; i < kDockMaxPanes; ++i) EXPECT_TRUE(panes.addView(f, -1, vs[i]));
  EXPECT_FALSE(panes.addView(f, -1, vs[kDockMaxPanes])) << "no seventeenth pane";
  EXPECT_TRUE(panes.addView(f, 0, vs[kDockMaxPanes])) << "a tab in an existing pane is fine";
  EXPECT_EQ(panes.totalPanes(), kDockMaxPanes);
  // Pulling a tab out into a pane of its own is refused at the cap; nothing moves.
  EXPECT_EQ(panes.endDock(vs[kDockMaxPanes], f, -1), DockDrop::Refused);
  EXPECT_EQ(panes.placeOf(vs[kDockMaxPanes]).pane, 0);
}

TEST_F(DockModelTest, HidingAViewActivatesTheNextOrFoldsThePaneOrHidesTheForm) {
  const int32_t f = formWith({ids[0], ids[1], ids[2]});
  m.setActiveIndex(f, 0, 1);
  m.setShown(ids[1], false);
  EXPECT_FALSE(m.view(ids[1]).shown);
  EXPECT_EQ(m.form(f).panes[0].activeIndex, 2) << "the next shown view after it";
  m.setShown(ids[2], false);
  EXPECT_EQ(m.form(f).panes[0].activeIndex, 0) << "else the nearest shown one before it";
  // The last shown view of the only pane: the form hides, the flag stays 1.
  m.setShown(ids[0], false);
  EXPECT_FALSE(m.form(f).visible);
  EXPECT_TRUE(m.view(ids[0]).shown);
  EXPECT_EQ(m.showState(ids[0]), kDockStateNoForm);
  m.setShown(ids[2], true);
  EXPECT_TRUE(m.form(f).visible);
  EXPECT_EQ(m.showState(ids[2]), kDockStateShown);
  EXPECT_EQ(m.showState(ids[0]), kDockStateHidden);

  // With two panes the pane folds instead.
  ASSERT_TRUE(m.addView(f, -1, ids[3]));
  m.setShown(ids[3], false);
  EXPECT_TRUE(m.form(f).visible);
  EXPECT_TRUE(m.activeHidden(f, 1));
  EXPECT_TRUE(m.view(ids[3]).shown);
  EXPECT_EQ(m.showState(ids[3]), kDockStateCollapsed);
  EXPECT_EQ(m.paneHeight(f, 1), kDockStripHeight);
}

TEST_F(DockModelTest, EndOfDockDecisions) {
  // Alone in its own form, dropped there: only opened again.
  const int32_t a = formWith({ids[0]});
  m.setAllHidden(a, 0, true);
  EXPECT_EQ(m.endDock(ids[0], a, 0), DockDrop::Uncollapsed);
  EXPECT_FALSE(m.activeHidden(a, 0));
  EXPECT_EQ(m.formCount(), 1);

  const int32_t b = formWith({ids[1], ids[2]});
  m.setAllHidden(b, 0, true);
  EXPECT_EQ(m.endDock(ids[1], b, 0), DockDrop::Uncollapsed) << "its own pane";
  EXPECT_FALSE(m.activeHidden(b, 0));
  EXPECT_EQ(m.placeOf(ids[1]).index, 0);

  // Onto another form's pane: the view becomes the active tab there, and the
  // emptied form goes.
  EXPECT_EQ(m.endDock(ids[0], b, 0), DockDrop::Moved);
  EXPECT_EQ(m.formCount(), 1);
  const SDockPlace at = m.placeOf(ids[0]);
  EXPECT_EQ(at.form, 0);
  EXPECT_EQ(at.index, 2);
  EXPECT_TRUE(m.view(ids[0]).active);

  // Before pane 0 (position = pane count + 0): a new top pane.
  EXPECT_EQ(m.endDock(ids[2], 0, 1), DockDrop::Moved);
  EXPECT_EQ(m.paneCount(0), 2);
  EXPECT_EQ(m.placeOf(ids[2]).pane, 0);
  // Below everything (-1): a new pane at the end; the one it leaves goes.
  EXPECT_EQ(m.endDock(ids[2], 0, -1), DockDrop::Moved);
  EXPECT_EQ(m.paneCount(0), 2);
  EXPECT_EQ(m.placeOf(ids[2]).pane, 1);
  EXPECT_EQ(m.placeOf(ids[1]).pane, 0);
}

TEST_F(DockModelTest, ActivatingATabOrDroppingIntoAFoldedPaneOpensIt) {
  const int32_t f = formWith({ids[0], ids[1]});
  m.setAllHidden(f, 0, true);
  m.setActiveIndex(f, 0, 0);
  EXPECT_FALSE(m.activeHidden(f, 0));
  EXPECT_TRUE(m.viewVisible(ids[0]));
  m.setAllHidden(f, 0, true);
  const int32_t g = formWith({ids[2]});
  EXPECT_EQ(m.endDock(ids[2], f, 0), DockDrop::Moved);
  EXPECT_EQ(m.formIndexOfId(m.form(0).id), 0);
  EXPECT_TRUE(m.viewVisible(ids[2]));
  EXPECT_FALSE(m.view(ids[0]).collapsed);
  EXPECT_EQ(m.formCount(), 1) << "form " << g << " went with its last view";
}

TEST_F(DockModelTest, FloatingAViewMakesAFormOrMovesItsOwn) {
  const int32_t f = formWith({ids[0], ids[1]});
  const TRect r = m.floatBoundsFor(ids[1], {500, 400});
  EXPECT_TRUE(m.floatView(ids[1], r));
  EXPECT_EQ(m.formCount(), 2);
  EXPECT_EQ(m.form(1).bounds.Left, 500);
  EXPECT_EQ(m.form(1).bounds.Top, 400);
  EXPECT_EQ(m.form(1).bounds.Bottom - m.form(1).bounds.Top,
            kDockCaptionHeight + 2 * kDockBorder + kDockTopStripHeight + kDockViewHeight);
  // Alone already: its form moves, no new one.
  EXPECT_TRUE(m.floatView(ids[1], m.floatBoundsFor(ids[1], {10, 20})));
  EXPECT_EQ(m.formCount(), 2);
  EXPECT_EQ(m.form(1).bounds.Left, 10);
  EXPECT_EQ(m.placeOf(ids[0]).form, f);
}

TEST_F(DockModelTest, DropPositionsAndIndicators) {
  const int32_t f = formWith({ids[0]});
  ASSERT_TRUE(m.addView(f, -1, ids[1]));
  // Pane 0: 19 + 96 = 115 high; pane 1: 23 + 96 = 119 high.
  struct {
    int32_t y;
    int32_t position;
  } cases[] = {{0, 2}, {3, 2}, {4, 0}, {110, 0}, {111, 3}, {115 + 7, 3}, {115 + 8, 1}, {115 + 114, 1},
               {115 + 115, -1}, {500, -1}};
  for (const auto& c : cases) EXPECT_EQ(m.findDropPosition(f, c.y), c.position) << c.y;
  EXPECT_EQ(m.dropIndicator(f, 0), (TRect{0, 0, 210, 115}));
  EXPECT_EQ(m.dropIndicator(f, 1), (TRect{0, 119, 210, 234}));
  EXPECT_EQ(m.dropIndicator(f, 2), (TRect{0, -4, 210, 4}));
  EXPECT_EQ(m.dropIndicator(f, 3), (TRect{0, 113, 210, 121}));
  EXPECT_EQ(m.dropIndicator(f, -1), (TRect{0, 230, 210, 238}));
}

TEST_F(DockModelTest, HideAllThenShowAllBringsBackExactlyTheVisibleForms) {
  const int32_t a = formWith({ids[0]});
  const int32_t b = formWith({ids[1]});
  const int32_t c = formWith({ids[2]});
  m.setFormVisible(b, false);
  m.hideAll();
  m.hideAll();  // a second hide keeps the first record
  for (int32_t f : {a, b, c}) EXPECT_FALSE(m.form(f).visible);
  EXPECT_TRUE(m.hidden());
  m.showAll();
  EXPECT_TRUE(m.form(a).visible);
  EXPECT_FALSE(m.form(b).visible);
  EXPECT_TRUE(m.form(c).visible);
  EXPECT_FALSE(m.hidden());
}

TEST_F(DockModelTest, TrackLimitsFollowPanesAndViews) {
  const int32_t f = formWith({ids[0]});
  ASSERT_TRUE(m.addView(f, -1, ids[1]));
  int32_t minW = 0, minH = 0, maxH = 0;
  const int32_t frameH = kDockCaptionHeight + 2 * kDockBorder;
  m.trackLimits(f, minW, minH, maxH);
  EXPECT_EQ(minW, 210 + 2 * kDockBorder);
  EXPECT_EQ(minH, 115 + 23 + 96 + frameH);
  EXPECT_EQ(maxH, 0);
  m.setAllHidden(f, 1, true);
  m.trackLimits(f, minW, minH, maxH);
  EXPECT_EQ(minH, 115 + 23 + frameH);
  EXPECT_EQ(maxH, 115 + 23 + frameH) << "a folded last pane cannot grow";
}

TEST_F(DockModelTest, ResizeGripChangesTheNearestVisibleViewAbove) {
  const int32_t f = formWith({ids[0]});
  ASSERT_TRUE(m.addView(f, -1, ids[1]));
  ASSERT_TRUE(m.addView(f, -1, ids[2]));
  EXPECT_FALSE(m.dragGrip(f, 0, 10)) << "the first pane has no grip";
  m.setAllHidden(f, 1, true);
  EXPECT_TRUE(m.dragGrip(f, 2, 30)) << "skips the folded pane above";
  EXPECT_EQ(m.view(ids[0]).height, 126);
  m.setAllHidden(f, 0, true);
  EXPECT_FALSE(m.dragGrip(f, 2, 30)) << "no pane above has a visible view";
}

TEST(DockTabs, OverlapAndSqueeze) {
  // Three 60-pixel tabs in a wide strip: 9 pixels of overlap each.
  EXPECT_EQ(layoutDockTabs({60, 60, 60}, {true, true, true}, 300), (std::vector<int32_t>{4, 55, 106}));
  // Hidden views have no tab.
  EXPECT_EQ(layoutDockTabs({60, 60, 60}, {true, false, true}, 300), (std::vector<int32_t>{4, -1, 55}));
  // Running x = 4 + 3 * 91 = 277 against a limit of 200 - 30: overflow 107.
  const auto squeezed = layoutDockTabs({100, 100, 100}, {true, true, true}, 200);
  EXPECT_EQ(squeezed[0], 4);
  EXPECT_EQ(squeezed[1], 95 - 54);
  EXPECT_EQ(squeezed[2], 186 - 108);
  EXPECT_LE(squeezed[2] + 100 - 9, 200 - 30 + 1) << "the last tab fits";
  // A single view is never squeezed.
  EXPECT_EQ(layoutDockTabs({400}, {true}, 200), (std::vector<int32_t>{4}));
}

TEST_F(DockModelTest, DefaultArrangementStacksGroupsAlongTheRightEdge) {
  CDockModel d;
  const char* names[] = {"NavigatorView", "OptionView", "ColorView", "SwatchView", "LayerView"};
  const int32_t groups[] = {0, 1, 2, 2, 3};
  for (int32_t i = 0; i < 5; ++i) {
    SDockView v;
    v.name = names[i];
    v.defaultGroup = groups[i];
    ASSERT_EQ(d.registerView(v), i);
  }
  ASSERT_TRUE(d.addPinnedForm({500, 500, 560, 900}));
  d.defaultArrangement({0, 50, 1600, 1000});
  ASSERT_EQ(d.formCount(), 5);
  EXPECT_EQ(d.form(0).bounds, (TRect{0, 50, 60, 450})) << "the tool window at the area's top-left";
  int32_t y = 50;
  for (int32_t f = 1; f < 5; ++f) {
    EXPECT_EQ(d.form(f).bounds.Right, 1600);
    EXPECT_EQ(d.form(f).bounds.Top, y);
    y = d.form(f).bounds.Bottom;
  }
  EXPECT_EQ(d.form(3).panes[0].views.size(), 2u);
  EXPECT_EQ(d.form(3).panes[0].activeIndex, 0);
  EXPECT_EQ(d.form(4).bounds.Bottom, 1000) << "the last one reaches the bottom";
}

// The tools start at the top-left; the rest go down the right edge, and a
// form that would pass the bottom starts a column to the left.
TEST_F(DockModelTest, DefaultArrangementKeepsEveryFormInsideTheArea) {
  CDockModel d;
  const char* names[] = {"ToolView", "NavigatorView", "OptionView", "ColorView", "LayerView"};
  for (int32_t i = 0; i < 5; ++i) {
    SDockView v;
    v.name = names[i];
    v.defaultGroup = i;
    v.defaultAtCorner = i == 0;
    v.width = v.defaultWidth = 200;
    v.height = v.defaultHeight = 150;
    ASSERT_EQ(d.registerView(v), i);
  }
  const TRect area{100, 50, 1300, 500};
  d.defaultArrangement(area);
  ASSERT_EQ(d.formCount(), 5);
  EXPECT_EQ(d.form(0).bounds.Left, 100);
  EXPECT_EQ(d.form(0).bounds.Top, 50);
  for (int32_t f = 0; f < 5; ++f) {
    const TRect b = d.form(f).bounds;
    EXPECT_TRUE(b.Left >= area.Left && b.Top >= area.Top && b.Right <= area.Right && b.Bottom <= area.Bottom)
        << names[f];
  }
  EXPECT_EQ(d.form(1).bounds.Right, 1300);
  EXPECT_EQ(d.form(2).bounds.Top, d.form(1).bounds.Bottom);
  EXPECT_EQ(d.form(2).bounds.Bottom, 500) << "a column's last form reaches the bottom";
  EXPECT_EQ(d.form(3).bounds.Top, 50) << "the third form of the right edge does not fit below the others";
  EXPECT_EQ(d.form(3).bounds.Right, d.form(1).bounds.Left);
  EXPECT_EQ(d.form(4).bounds.Top, d.form(3).bounds.Bottom);
  EXPECT_EQ(d.form(4).bounds.Bottom, 500) << "the last one reaches the bottom";
}

TEST_F(DockModelTest, DefaultArrangementMakesRoomForEveryTabOfAPane) {
  struct Case {
    std::vector<int32_t> tabs;
    bool widened;
  };
  const Case cases[] = {{{70, 80, 70}, true}, {{60, 60}, false}, {{300}, true}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.tabs.size());
    CDockModel d;
    for (size_t i = 0; i < c.tabs.size(); ++i) {
      SDockView v;
      v.name = "View" + std::to_string(i);
      v.defaultGroup = 0;
      v.tabWidth = c.tabs[i];
      ASSERT_GE(d.registerView(v), 0);
    }
    d.defaultArrangement({0, 0, 1600, 1000});
    ASSERT_EQ(d.formCount(), 1);
    const TRect b = d.form(0).bounds;
    const TRect frame = CDockModel::boundsForClient(0, 0, kDockViewWidth, 1);
    const int32_t strip = (b.Right - b.Left) - ((frame.Right - frame.Left) - kDockViewWidth);
    EXPECT_EQ(b.Right, 1600);
    EXPECT_EQ(strip > kDockViewWidth, c.widened);
    std::vector<bool> shown(c.tabs.size(), true);
    const std::vector<int32_t> xs = layoutDockTabs(c.tabs, shown, strip);
    int32_t x = 4;
    for (size_t i = 0; i < c.tabs.size(); ++i) {
      EXPECT_EQ(xs[i], x) << "tab " << i << " stands where it starts";
      x += c.tabs[i] - 9;
    }
  }
}

}  // namespace
}  // namespace pg
