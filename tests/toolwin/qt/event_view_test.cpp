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
  ASSERT_EQ(view.logList()->count(), 2);
  EXPECT_EQ(view.logList()->item(0)->text().toStdString(), eventDisplayName(newLayer) + " × 2");
  EXPECT_EQ(view.logList()->item(1)->text().toStdString(), eventDisplayName(70) + " × 10");
  EXPECT_EQ(view.logList()->currentRow(), 1);
  view.setPaused(true);
  EXPECT_EQ(view.caption()->text().toStdString(), resString(65266) + " - " + resString(65326));
  // A shorter log keeps its newest rows.
  view.setLogCapacity(1);
  ASSERT_EQ(view.logList()->count(), 1);
  EXPECT_EQ(view.logList()->item(0)->text().toStdString(), eventDisplayName(70) + " × 10");
  view.addEvent(newLayer);
  ASSERT_EQ(view.logList()->count(), 1);
  EXPECT_EQ(view.logList()->item(0)->text().toStdString(), eventDisplayName(newLayer));
  // A new replay starts with an empty log.
  view.setReplaying(false, false);
  view.setReplaying(true, true);
  EXPECT_EQ(view.logList()->count(), 0);
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
  // The context menu holds the commands it was given.
  const QList<QAction*> items = view.contextMenu()->actions();
  ASSERT_EQ(items.size(), 5);
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

}  // namespace
}  // namespace pg
