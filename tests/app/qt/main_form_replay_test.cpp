// Replay through the main window under the offscreen platform: a recording
// opened for replay in a new window is stepped by the 50 ms tick to the
// pixels of the work; the Event menu pauses, steps one event, stops after
// asking, and sets the interval; a file that does not open is reported and
// leaves no window.
#include <gtest/gtest.h>

#include <QAction>
#include <QElapsedTimer>
#include <QMdiArea>
#include <QTest>

#include "app/app_profile.h"
#include "app/batch_fixture.h"
#include "app/qt/main_actions.h"
#include "app/qt/main_form.h"
#include "canvas/draw_window.h"
#include "canvas/qt/draw_window_widget.h"
#include "platform/message_service.h"
#include "test_support/qt_app.h"

namespace pg::test {
namespace {

class MainFormReplay : public ::testing::Test {
 protected:
  void SetUp() override {
    pg::testing::ensureQtApp();
    appProfile().eventWait = 0;
  }
  void TearDown() override { appProfile().eventWait = 0; }
  void trigger(TMainForm& form, const char* name) {
    form.actions().updateAll();
    QAction* a = form.actions().action(name);
    ASSERT_NE(a, nullptr) << name;
    ASSERT_TRUE(a->isEnabled()) << name;
    a->trigger();
  }
  // Lets the 50 ms timer tick until the window's replay ends.
  static bool replayEnds(TDrawWindow& w) {
    QElapsedTimer t;
    t.start();
    while (w.isReplaying() && t.elapsed() < 60000) QTest::qWait(20);
    return !w.isReplaying();
  }
  static bool samePixels(TPaper& a, TPaper& b) {
    a.composeRect(SRectXYWH{0, 0, a.width, a.height}, false);
    b.composeRect(SRectXYWH{0, 0, b.width, b.height}, false);
    if (a.composite.size() != b.composite.size()) return false;
    for (int32_t y = 0; y < a.composite.Height; ++y)
      for (int32_t x = 0; x < a.composite.Width; ++x)
        if (a.composite.getPixel(x, y) != b.composite.getPixel(x, y)) return false;
    return true;
  }

  // The recording's own fixture installs a message service of its own;
  // this one comes after it.
  Recorded r;
  RecordingMessageService messages;
  ScopedMessageService scope{messages};
};

TEST_F(MainFormReplay, TheTickReplaysARecordingToThePixelsOfTheWork) {
  TMainForm form;
  form.show();
  TDrawWindowWidget* w = form.openEventsForReplay(QString::fromStdString(r.dir.file("strokes.ke4")));
  ASSERT_NE(w, nullptr);
  EXPECT_TRUE(w->window().isReplaying());
  ASSERT_TRUE(replayEnds(w->window()));
  EXPECT_TRUE(samePixels(*r.f.x.doc, w->window().paper()));
  EXPECT_TRUE(w->window().canEdit(true, false, false));
}

TEST_F(MainFormReplay, OpeningARecordingLikeAnyFileReplaysItAndListsItOnce) {
  TMainForm form;
  form.show();
  const QString path = QString::fromStdString(r.dir.file("strokes.ke4"));
  TDrawWindowWidget* w = form.openFile(path);
  ASSERT_NE(w, nullptr);
  EXPECT_TRUE(w->window().isReplaying());
  ASSERT_TRUE(replayEnds(w->window()));
  EXPECT_TRUE(samePixels(*r.f.x.doc, w->window().paper()));
  EXPECT_EQ(form.openFile(path), w) << "the same file comes to the front";
  EXPECT_EQ(form.drawWindows().size(), 1);
}

TEST_F(MainFormReplay, TheEventMenuPausesStepsAndStops) {
  TMainForm form;
  form.show();
  form.timer().stop();  // the test steps by hand
  TDrawWindowWidget* w = form.openEventsForReplay(QString::fromStdString(r.dir.file("strokes.ke4")));
  ASSERT_NE(w, nullptr);
  TDrawWindow& window = w->window();
  trigger(form, "ActEventPause");
  EXPECT_TRUE(window.isReplayPaused());
  form.actions().updateAll();
  EXPECT_TRUE(form.actions().action("ActEventPause")->isChecked());
  for (int i = 0; i < 3; ++i) emit form.ticked();
  EXPECT_EQ(window.replayedEvents(), 0u);
  trigger(form, "ActEventStep");
  EXPECT_EQ(window.replayedEvents(), 1u);
  EXPECT_TRUE(window.isReplayPaused());
  // The intervals: each sets its value and shows it checked.
  trigger(form, "ActEventWait3");
  EXPECT_EQ(appProfile().eventWait, 8);
  form.actions().updateAll();
  EXPECT_TRUE(form.actions().action("ActEventWait3")->isChecked());
  EXPECT_FALSE(form.actions().action("ActEventWait0")->isChecked());
  trigger(form, "ActEventWait0");
  // Stop: asked, and Yes ends the replay with the document usable.
  trigger(form, "ActEventPause");
  EXPECT_FALSE(window.isReplayPaused());
  messages.queueAnswer(kMrYes);
  trigger(form, "ActEventStop");
  emit form.ticked();
  EXPECT_FALSE(window.isReplaying());
  EXPECT_TRUE(window.canEdit(true, false, false));
  form.actions().updateAll();
  EXPECT_FALSE(form.actions().action("ActEventStop")->isEnabled());
}

TEST_F(MainFormReplay, AFileThatDoesNotOpenIsReportedAndLeavesNoWindow) {
  TMainForm form;
  EXPECT_EQ(form.openEventsForReplay(QString::fromStdString(r.dir.file("missing.ke4"))), nullptr);
  ASSERT_FALSE(messages.shown().empty());
  EXPECT_EQ(messages.shown().back().text, replayMessage(ReplayStart::FileError));
  EXPECT_TRUE(form.drawWindows().isEmpty());
}

}  // namespace
}  // namespace pg::test
