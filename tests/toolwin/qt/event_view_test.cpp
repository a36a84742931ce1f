// The event view under the offscreen platform: the replay display's caption,
// buttons and rows, the quiet stroke count, the progress bar's display
// cycle, and the Event menu commands its buttons and context menu run.
#include "toolwin/qt/event_view.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QLabel>
#include <QListWidget>
#include <QMenu>
#include <QTest>
#include <QToolButton>

#include "platform/string_table.h"
#include "record/event_vocabulary.h"
#include "test_support/qt_app.h"
#include "toolwin/qt/count_dialog.h"
#include "ui/colour_model.h"
#include "ui/qt/colour_pickers.h"
#include "ui/qt/progress_bar.h"

namespace pg {
namespace {

struct EventViewTest : ::testing::Test {
  EventViewTest() {
    for (QAction* a : {&pause, &step, &stop}) QObject::connect(a, &QAction::triggered, [this, a] { fired.push_back(a); });
    view.setCommands(&pause, &step, &stop, {&pause, &step, &stop, nullptr, &wait});
    view.resize(240, 300);
    view.show();
  }
  // The application first: the members below need it.
  bool app = (testing::ensureQtApp(), true);
  QAction pause{"pause"}, step{"step"}, stop{"stop"}, wait{"wait"};
  std::vector<QAction*> fired;
  TEventView view;
};

TEST_F(EventViewTest, AReplayShowsItsCaptionButtonsAndEvents) {
  EXPECT_EQ(view.caption()->text().toStdString(), resString(65266));
  EXPECT_FALSE(view.pauseButton()->isVisible());
  view.setReplaying(true, true);
  EXPECT_TRUE(view.pauseButton()->isVisible());
  EXPECT_TRUE(view.progressBar()->isVisible());
  EXPECT_EQ(view.caption()->text().toStdString(), resString(65266) + " - " + resString(65325));
  const uint8_t newLayer = eventNameIndex(4, 0);
  view.addEvent(newLayer);
  view.addEvent(newLayer);
  const int redrawsBefore = view.logRedraws();
  for (int i = 0; i < 10; ++i) view.addEvent(70);
  // The first stroke appends a row; nine more count on quietly and the tenth redraws.
  EXPECT_EQ(view.logRedraws(), redrawsBefore + 2);
  ASSERT_EQ(view.logList().getCount(), 2);
  EXPECT_EQ(view.logList().getItemName(0), eventDisplayName(newLayer) + " × 2");
  EXPECT_EQ(view.logList().getItemName(1), eventDisplayName(70) + " × 10");
  EXPECT_EQ(view.logList().getActiveIndex(), 1);
  view.setPaused(true);
  EXPECT_EQ(view.caption()->text().toStdString(), resString(65266) + " - " + resString(65326));
  // A shorter log keeps its newest rows.
  view.setLogCapacity(1);
  ASSERT_EQ(view.logList().getCount(), 1);
  EXPECT_EQ(view.logList().getItemName(0), eventDisplayName(70) + " × 10");
  view.addEvent(newLayer);
  ASSERT_EQ(view.logList().getCount(), 1);
  EXPECT_EQ(view.logList().getItemName(0), eventDisplayName(newLayer));
  // A new replay starts with an empty log.
  view.setReplaying(false, false);
  view.setReplaying(true, true);
  EXPECT_EQ(view.logList().getCount(), 0);
}

TEST_F(EventViewTest, ButtonsRunTheCommandsThatApply) {
  view.setReplaying(true, true);
  QTest::mouseClick(view.pauseButton(), Qt::LeftButton);
  QTest::mouseClick(view.stepButton(), Qt::LeftButton);
  QTest::mouseClick(view.stopButton(), Qt::LeftButton);
  EXPECT_EQ(fired, (std::vector<QAction*>{&pause, &step, &stop}));
  // A legacy replay: only stop applies.
  fired.clear();
  view.setReplaying(true, false);
  EXPECT_FALSE(view.pauseButton()->isEnabled());
  EXPECT_FALSE(view.stepButton()->isEnabled());
  EXPECT_TRUE(view.stopButton()->isEnabled());
  QTest::mouseClick(view.stopButton(), Qt::LeftButton);
  EXPECT_EQ(fired, std::vector<QAction*>{&stop});
  // The context menu holds the commands it was given, then the log's own.
  const QList<QAction*> items = view.contextMenu()->actions();
  ASSERT_EQ(items.size(), 8);
  EXPECT_EQ(items[6], view.clearLogAction());
  EXPECT_EQ(items[7], view.logCapacityAction());
  EXPECT_EQ(items[0], &pause);
  EXPECT_TRUE(items[3]->isSeparator());
  EXPECT_EQ(items[4], &wait);
}

TEST_F(EventViewTest, AClickOnTheProgressBarStepsItsDisplay) {
  view.setReplaying(true, true);
  view.setProgress(30, 120);
  std::vector<uint8_t> modes;
  for (int i = 0; i < 3; ++i) {
    QTest::mouseClick(view.progressBar(), Qt::LeftButton);
    modes.push_back(view.model().progressMode());
  }
  EXPECT_EQ(modes, (std::vector<uint8_t>{1, 2, 0}));
  EXPECT_EQ(view.model().progressDone(), 30u);
}

TEST_F(EventViewTest, TheReplayedBrushShowsItsColours) {
  view.setReplaying(true, true);
  view.setBrush({0x00FF0000u, 0x0000FF00u, 5, true, false});
  const SColorRec fg = view.colourCell()->foreground();
  const SColorRec bg = view.colourCell()->background();
  EXPECT_FLOAT_EQ(fg.R, 1.0f);
  EXPECT_FLOAT_EQ(fg.B, 0.0f);
  EXPECT_FLOAT_EQ(bg.G, 1.0f);
}

TEST_F(EventViewTest, TheLogMenuClearsTheLogAndSetsItsLength) {
  const uint8_t newLayer = eventNameIndex(4, 0);
  emit view.contextMenu()->aboutToShow();
  EXPECT_FALSE(view.clearLogAction()->isEnabled());  // nothing to clear
  for (uint8_t code : {newLayer, uint8_t(70), newLayer, uint8_t(70)}) view.addEvent(code);
  emit view.contextMenu()->aboutToShow();
  EXPECT_TRUE(view.clearLogAction()->isEnabled());

  struct Case {
    bool ok;
    int typed;
    int32_t rows;  // the log's length afterwards
    int32_t count;
  };
  std::vector<int32_t> stored;
  view.OnLogCapacity = [&](int32_t rows) { stored.push_back(rows); };
  int offered = -1;
  for (const Case c : {Case{false, 1, 50, 4}, Case{true, 2, 2, 2}, Case{true, 60, 50, 2}}) {
    CountDialogRunner old = setCountDialogRunner([&](QWidget*, const SCountRequest& r, int& value) {
      offered = value;
      EXPECT_EQ(r.maximum, 50);
      value = c.typed;
      return c.ok;
    });
    view.logCapacityAction()->trigger();
    setCountDialogRunner(std::move(old));
    EXPECT_EQ(view.model().log().capacity(), c.rows) << c.typed;
    EXPECT_EQ(view.logList().getCount(), c.count) << c.typed;
  }
  EXPECT_EQ(offered, 2);  // the dialog starts at the current length
  EXPECT_EQ(stored, (std::vector<int32_t>{2, 50}));
  // The oldest rows went; the newest stays active.
  EXPECT_EQ(view.logList().getItemName(1), eventDisplayName(70));
  EXPECT_EQ(view.logList().getActiveIndex(), 1);
  view.clearLogAction()->trigger();
  EXPECT_EQ(view.logList().getCount(), 0);
}

}  // namespace
}  // namespace pg
