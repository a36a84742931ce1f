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
#include "app/qt/menu_command.h"
#include "canvas/draw_window.h"
#include "canvas/qt/draw_window_widget.h"
#include "app/qt/modal_dialog.h"
#include "io/qt/file_dialog.h"
#include "ui/qt/res_text.h"
#include "platform/string_table.h"
#include "platform/message_service.h"
#include "test_support/qt_app.h"
#include "app/qt/event_report_dialog.h"
#include "record/event_vocabulary.h"
#include "replay/replay_report.h"
#include "toolwin/qt/event_view.h"
#include "toolwin/qt/tool_form.h"

#include <QApplication>
#include <QCheckBox>
#include <QFileDialog>
#include <QLabel>
#include <QListWidget>
#include <QMdiSubWindow>
#include <QToolButton>
#include <filesystem>

namespace pg::test {
namespace {

class MainFormReplay : public ::testing::Test {
 protected:
  void SetUp() override {
    pg::testing::ensureQtApp();
    appProfile().eventWait = 0;
  }
  void TearDown() override { appProfile().eventWait = 0; }
  void trigger(TMainForm& form, const char* name) { testing::runCommand(form, name); }
  // Lets the 50 ms timer tick until the window's replay ends.
  static bool replayEnds(TDrawWindow& w) {
    QElapsedTimer t;
    t.start();
    while (w.isReplaying() && t.elapsed() < 60000) QTest::qWait(20);
    return !w.isReplaying();
  }
  static bool samePixels(TPaper& a, TPaper& b) {
    a.composeRect(SRectXYWH{0, 0, a.width(), a.height()}, false);
    b.composeRect(SRectXYWH{0, 0, b.width(), b.height()}, false);
    if (a.composite().size() != b.composite().size()) return false;
    for (int32_t y = 0; y < a.composite().Height; ++y)
      for (int32_t x = 0; x < a.composite().Width; ++x)
        if (a.composite().getPixel(x, y) != b.composite().getPixel(x, y)) return false;
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

// A widget of the type among the application's windows, or nullptr.
template <class T>
T* findWidget(const char* objectName = nullptr) {
  for (QWidget* w : QApplication::allWidgets())
    if (auto* t = qobject_cast<T*>(w); t && (!objectName || w->objectName() == QLatin1String(objectName))) return t;
  return nullptr;
}

TEST_F(MainFormReplay, TheEventViewFollowsTheReplayAndTheReportClosesIt) {
  TMainForm form;
  form.show();
  form.timer().stop();  // the test steps by hand
  TDrawWindowWidget* w = form.openEventsForReplay(QString::fromStdString(r.dir.file("strokes.ke4")));
  ASSERT_NE(w, nullptr);
  auto* view = findWidget<TEventView>("EventView");
  ASSERT_NE(view, nullptr);
  EXPECT_TRUE(form.toolWindow()->model().replayDisplay());
  EXPECT_TRUE(view->model().replaying());
  EXPECT_TRUE(view->pauseButton()->isEnabled());
  for (int i = 0; i < 1000 && w->window().isReplaying(); ++i) emit form.ticked();
  ASSERT_FALSE(w->window().isReplaying());
  // The strokes in the log (five rows at most while the preferences hold no
  // length), and the display back to normal.
  ASSERT_GE(view->logList().getCount(), 1);
  EXPECT_LE(view->logList().getCount(), 5);
  bool strokes = false;
  for (int32_t i = 0; i < view->logList().getCount(); ++i)
    strokes = strokes || view->logList().getItemName(i).rfind(eventDisplayName(70), 0) == 0;
  EXPECT_TRUE(strokes);
  EXPECT_FALSE(form.toolWindow()->model().replayDisplay());
  EXPECT_FALSE(view->model().replaying());
  // The report comes once the step has returned.
  QTest::qWait(50);
  auto* report = findWidget<TFormEventReport>();
  ASSERT_NE(report, nullptr);
  EXPECT_EQ(report->LblState->text().toStdString(), reportStateText(0));
  EXPECT_EQ(report->LblStep->text().toStdString(), reportStepText(w->window().replayedEvents()));
  EXPECT_EQ(report->LblFileName->text().toStdString(), "strokes.ke4");
  report->close();
  QTest::qWait(10);
  EXPECT_EQ(findWidget<TFormEventReport>(), nullptr);
}

TEST_F(MainFormReplay, TheRecordingIsSavedAndEndedFromTheEventMenu) {
  TMainForm form;
  form.show();
  TDrawWindowWidget* w = form.newDrawWindow("sketch", 64, 48, 72);
  ASSERT_NE(w, nullptr);
  form.documentArea()->setActiveSubWindow(qobject_cast<QMdiSubWindow*>(w->parentWidget()));
  // Edits reach the event log on the tick after them.
  emit form.ticked();
  ASSERT_TRUE(w->window().paper().setLayerOpacity(0, 90, true));
  emit form.ticked();
  auto* view = findWidget<TEventView>("EventView");
  ASSERT_NE(view, nullptr);
  ASSERT_EQ(view->logList().getCount(), 1);
  EXPECT_EQ(view->logList().getItemName(0), eventDisplayName(eventNameIndex(4, 17)));
  std::string proposed;
  w->eventFileDialog = [&](TDrawWindowWidget&, const std::string& name) {
    proposed = name;
    return r.dir.file("saved.ke4");
  };
  trigger(form, "ActEventSaveAs");
  EXPECT_EQ(proposed, "sketch");
  EXPECT_TRUE(std::filesystem::exists(r.dir.file("saved.ke4")));
  // Stop: OK to the warning, No to saving first.
  messages.queueAnswer(kMrOk);
  messages.queueAnswer(kMrNo);
  trigger(form, "ActEventRecStop");
  EXPECT_FALSE(w->window().isRecording());
  form.actions().updateAll();
  EXPECT_FALSE(form.actions().action("ActEventRecStop")->isEnabled());
  EXPECT_FALSE(form.actions().action("ActEventSaveAs")->isEnabled());
}

TEST_F(MainFormReplay, OpenEventsReplaysTheRecordingOfANativeFileOrAnEventFileAndHonoursOpenPaused) {
  struct SCase {
    const char* file;
    bool paused;
    bool keepsName;  // an event file names its window; a native file's replay does not
  };
  const SCase cases[] = {{"work.kci", true, false}, {"work.kci", false, false}, {"strokes.ke4", true, true}};
  for (const SCase& c : cases) {
    SCOPED_TRACE(std::string(c.file) + (c.paused ? " paused" : ""));
    TMainForm form;
    form.show();
    const std::string path = r.dir.file(c.file);
    (void)setFileDialogRunner([&](SFileDialogRequest& request) {
      EXPECT_EQ(request.kind, 2);
      request.fileName = path;
      request.folder = r.dir.path().string();
      request.openPaused = c.paused;
      return true;
    });
    trigger(form, "ActEventOpen");
    (void)setFileDialogRunner(nullptr);
    ASSERT_EQ(form.drawWindows().size(), 1);
    TDrawWindow& window = form.drawWindows().first()->window();
    ASSERT_TRUE(window.isReplaying()) << "the drawing process replays, not the finished picture";
    EXPECT_EQ(window.hasFileName(), c.keepsName);
    // The window opens around the picture at 100 %, not around the empty
    // start the replay was made in.
    EXPECT_EQ(window.paper().zoomValue(), 1.0f);
    const QSize view = form.drawWindows().first()->viewport()->size();
    EXPECT_GE(view.width(), window.paper().width());
    EXPECT_GE(view.height(), window.paper().height());
    if (c.paused) {
      QTest::qWait(150);  // ticks come and go
      EXPECT_TRUE(window.isReplayPaused());
      EXPECT_EQ(window.replayedEvents(), 0u);
      form.actions().updateAll();
      EXPECT_TRUE(form.actions().action("ActEventPause")->isChecked());
      trigger(form, "ActEventStep");
      EXPECT_EQ(window.replayedEvents(), 1u);
      trigger(form, "ActEventPause");
    }
    ASSERT_TRUE(replayEnds(window));
    EXPECT_TRUE(samePixels(*r.f.x.doc, window.paper()));
  }
}

// The same through the real dialog: the native file is among its filters,
// and its check box starts the replay paused.
TEST_F(MainFormReplay, TheOpenEventsDialogOffersTheNativeFileAndItsPausedStart) {
  TMainForm form;
  form.show();
  const QString path = QString::fromStdString(r.dir.file("work.kci"));
  pg::testing::onDialog<QDialog>([&](QDialog& d) {
    auto& dialog = dynamic_cast<QFileDialog&>(d);
    const QStringList filters = dialog.nameFilters();
    ASSERT_FALSE(filters.isEmpty());
    EXPECT_TRUE(filters.last().contains(QStringLiteral("*.kci")));
    dialog.selectNameFilter(filters.last());
    dialog.selectFile(path);
    bool ticked = false;
    for (QCheckBox* box : dialog.findChildren<QCheckBox*>()) {
      if (box->text() != resText(66550)) continue;
      QTest::mouseClick(box, Qt::LeftButton, {}, QPoint(4, box->height() / 2));
      ticked = box->isChecked();
    }
    EXPECT_TRUE(ticked);
  });
  trigger(form, "ActEventOpen");
  ASSERT_EQ(form.drawWindows().size(), 1);
  TDrawWindow& window = form.drawWindows().first()->window();
  EXPECT_TRUE(window.isReplaying());
  EXPECT_TRUE(window.isReplayPaused());
  EXPECT_EQ(window.replayedEvents(), 0u);
}

TEST_F(MainFormReplay, OpenEventsRefusesAFileThatCarriesNoRecording) {
  TMainForm form;
  (void)setFileDialogRunner([&](SFileDialogRequest& request) {
    request.fileName = r.dir.file("expected.bmp");
    return true;
  });
  trigger(form, "ActEventOpen");
  (void)setFileDialogRunner(nullptr);
  EXPECT_TRUE(form.drawWindows().isEmpty());
  ASSERT_FALSE(messages.shown().empty());
  EXPECT_EQ(messages.shown().back().text, resString(66545));
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
