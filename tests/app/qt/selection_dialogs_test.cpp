// The Select menu's dialogs (expand, contract, colour range): OK applies
// once, recorded, undoable and replayed to the same pixels; Cancel leaves
// the document as it was.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QRadioButton>
#include <QSlider>
#include <QSpinBox>
#include <QTimer>
#include <QtTest/QTest>
#include <functional>

#include "app/qt/color_mask_dialog.h"
#include "app/qt/main_actions.h"
#include "app/qt/main_form.h"
#include "app/qt/menu_command.h"
#include "app/qt/select_extent_dialog.h"
#include "canvas/canvas_shared.h"
#include "canvas/draw_window.h"
#include "canvas/qt/draw_window_widget.h"
#include "document/mask_data.h"
#include "document/mask_mngr.h"
#include "document/paper.h"
#include "document/undo_mngr_ex.h"
#include "platform/message_service.h"
#include "record/event_store.h"
#include "replay/replay_fixture.h"
#include "replay/replay_session.h"
#include "test_support/qt_app.h"
#include "modal_dialog.h"

namespace pg {
namespace {

using testing::onDialog;

class SelectionDialogs : public ::testing::Test {
 protected:
  static TMainForm& makeForm() {
    testing::ensureQtApp();
    return *new TMainForm;
  }
  void SetUp() override {
    form.resize(900, 700);
    form.show();
    window = form.newDrawWindow("a", 400, 200, 72);
    ASSERT_NE(window, nullptr);
    // A red box painted through the document (recorded), then a selection
    // of a part of it.
    TDrawWindow& w = window->window();
    ASSERT_TRUE(paper().maskFigureRect(w.flow(), 0, {100, 50}, {300, 150}, 0, w.shared().toolStroke(), true));
    ASSERT_TRUE(paper().fillLayerColor(w.flow(), 0, 0xFF0000u, w.shared().toolStroke(), true, true));
    ASSERT_TRUE(paper().maskFigureRect(w.flow(), 0, {120, 60}, {200, 140}, 0, w.shared().toolStroke(), true));
  }
  void TearDown() override { delete &form; }
  bool enabled(const char* name) { return testing::commandEnabled(form, name); }
  void run(const char* name) { testing::runCommand(form, name); }
  TPaper& paper() { return window->window().paper(); }
  CEventMngr& store() { return *documentEventStore(paper()); }
  int32_t undoCount() { return paper().undoMngr()->undoCount(); }
  int32_t sel(int32_t x, int32_t y) { return paper().masks()->currentMask()->valueAtPaper(x, y); }
  std::string selection() {
    std::string s;
    for (int32_t y = 0; y < 200; y += 1)
      for (int32_t x = 0; x < 400; x += 1) s += static_cast<char>(sel(x, y));
    return s;
  }
  // Replays the recording into a fresh document: the same document.
  void expectReplayGives(const std::string& picture) {
    test::RecordedDoc replayed(nullptr);
    replayed.window.replaying = true;
    ASSERT_TRUE(store().seal());
    CReplaySession session(*replayed.doc, *replayed.flow);
    ASSERT_EQ(session.openStore(store()), ReplayStart::Started);
    ReplayStep step = ReplayStep::EventDone;
    for (int guard = 0; guard < 10000 && step == ReplayStep::EventDone; ++guard) step = session.engine().replayNext();
    EXPECT_EQ(step, ReplayStep::End);
    EXPECT_EQ(test::picture(*replayed.doc), picture);
    ASSERT_TRUE(store().resume());
  }

  RecordingMessageService messages;
  ScopedMessageService scope{messages};
  TMainForm& form = makeForm();
  TDrawWindowWidget* window = nullptr;
};

TEST_F(SelectionDialogs, ExpandAndContractAskTheAmountAndApplyItOnce) {
  struct Case {
    const char* action;
    bool expand;
    // A point newly in (expand) or newly out (contract), and one unchanged.
    TPoint changed, kept;
  };
  const Case cases[] = {
      {"ActSelExp", true, {117, 100}, {116, 100}},
      {"ActSelCol2", false, {122, 100}, {123, 100}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.action);
    const std::string before = selection();
    const uint32_t events = store().committedCount();
    const int32_t undos = undoCount();
    // Cancel: nothing changes, nothing is recorded.
    onDialog<TFormSelExt>([](TFormSelExt&) {}, false);
    run(c.action);
    EXPECT_EQ(selection(), before);
    EXPECT_EQ(store().committedCount(), events);
    // OK with 3 pixels.
    QString caption;
    onDialog<TFormSelExt>([&](TFormSelExt& d) {
      caption = d.windowTitle();
      d.setValue(3.0f);
    }, true);
    run(c.action);
    EXPECT_EQ(caption, QString::fromUtf8(c.expand ? "選択範囲の拡張" : "選択範囲の縮小"));
    EXPECT_EQ(sel(c.changed.X, c.changed.Y), c.expand ? 255 : 0);
    EXPECT_EQ(sel(c.kept.X, c.kept.Y), c.expand ? 0 : 255);
    EXPECT_EQ(store().committedCount(), events + 1);
    EXPECT_EQ(undoCount(), undos + 1);
    expectReplayGives(test::picture(paper()));
    run("ActEditUndo");
    EXPECT_EQ(selection(), before);
  }
}

TEST_F(SelectionDialogs, ColourRangeSelectsThePickedColourOnce) {
  ASSERT_TRUE(paper().maskFillNone(window->window().flow(), 0, true));
  const std::string before = selection();
  const uint32_t events = store().committedCount();
  const int32_t undos = undoCount();
  // Cancel after a pick: nothing changes.
  onDialog<TFormColorMask>([](TFormColorMask& d) { d.pickAt(QPoint(50, 25), Qt::NoModifier); }, false);
  run("ActSelColorRange");
  EXPECT_EQ(selection(), before);
  EXPECT_EQ(store().committedCount(), events);

  int32_t entries = 0;
  QSize preview;
  onDialog<TFormColorMask>([&](TFormColorMask& d) {
    preview = d.previewSize();
    // The red box at (200, 100) of the picture, in the preview's pixels.
    d.pickAt(QPoint(200 * preview.width() / 400, 100 * preview.height() / 200), Qt::NoModifier);
    entries = static_cast<int32_t>(d.entries().size());
  }, true);
  run("ActSelColorRange");
  EXPECT_EQ(preview, QSize(256, 128));
  EXPECT_EQ(entries, 1);
  EXPECT_EQ(sel(200, 100), 255);
  EXPECT_EQ(sel(101, 51), 255);
  EXPECT_EQ(sel(50, 20), 0);
  EXPECT_EQ(store().committedCount(), events + 1);
  EXPECT_EQ(undoCount(), undos + 1);
  expectReplayGives(test::picture(paper()));
  run("ActEditUndo");
  EXPECT_EQ(selection(), before);
}

TEST_F(SelectionDialogs, ThePreviewShowsWhatOkApplies) {
  // The selection (120, 60)-(200, 140) lies inside the red box: OK selects
  // red only inside it, and the preview shows just that.
  const TPoint points[] = {{160, 100}, {280, 100}, {110, 55}, {150, 20}};
  QImage result;
  QSize size;
  onDialog<TFormColorMask>([&](TFormColorMask& d) {
    size = d.previewSize();
    d.pickAt(QPoint(160 * size.width() / 400, 100 * size.height() / 200), Qt::NoModifier);
    result = d.resultImage();
  }, true);
  run("ActSelColorRange");
  for (const TPoint& p : points) {
    SCOPED_TRACE(std::to_string(p.X) + "," + std::to_string(p.Y));
    const bool shown = (result.pixel(p.X * size.width() / 400, p.Y * size.height() / 200) & 0xFFFFFF) == 0xFFFFFFu;
    EXPECT_EQ(shown, p.X == 160) << "preview";
    EXPECT_EQ(sel(p.X, p.Y), p.X == 160 ? 255 : 0) << "applied";
  }
}

TEST_F(SelectionDialogs, TheColourRangeDialogPreviewsPicksAndWaitsForTheRange) {
  // Without a selection the whole picture takes part.
  ASSERT_TRUE(paper().maskFillNone(window->window().flow(), 0, true));
  TFormColorMask d(paper(), 0, 0x000000u);
  const QSize size = d.previewSize();
  const QPoint red(200 * size.width() / 400, 100 * size.height() / 200);
  const QPoint white(10, 10);
  // Mode new: a pick replaces the table; the result shows the red box white.
  d.pickAt(red, Qt::NoModifier);
  ASSERT_EQ(d.entries().size(), 1u);
  EXPECT_EQ(d.entries()[0].color, 0xFF0000u);
  EXPECT_EQ(d.resultImage().pixel(red) & 0xFFFFFF, 0xFFFFFFu);
  EXPECT_EQ(d.resultImage().pixel(white) & 0xFFFFFF, 0x000000u);
  // Shift adds, a second pick of the same colour takes it away again.
  d.pickAt(white, Qt::ShiftModifier);
  EXPECT_EQ(d.entries().size(), 2u);
  EXPECT_EQ(d.resultImage().pixel(white) & 0xFFFFFF, 0xFFFFFFu);
  d.pickAt(white, Qt::ShiftModifier);
  EXPECT_EQ(d.entries().size(), 1u);
  EXPECT_EQ(d.resultImage().pixel(white) & 0xFFFFFF, 0x000000u);
  // The range waits for the timer before the result follows.
  d.rangeField()->setValue(0);
  EXPECT_EQ(d.rangeSlider()->value(), 0);
  EXPECT_TRUE(d.timer().isActive());
  EXPECT_EQ(d.entries().back().range, 0);
  QTest::qWait(600);
  EXPECT_FALSE(d.timer().isActive());
  EXPECT_FALSE(d.model().timerDue());
  // The mode word follows the radio buttons.
  d.modeButton(ColorMaskMode::Remove)->setChecked(true);
  EXPECT_EQ(d.modeLabel()->text(), QString::fromUtf8("削除"));
}

TEST_F(SelectionDialogs, ColourRangeRefusesALayerOutsideTheSelection) {
  // The selection moved off the picture: no layer pixel lies inside it.
  ASSERT_TRUE(paper().offsetMask(TPoint{1000, 0}, true));
  const uint32_t events = store().committedCount();
  EXPECT_FALSE(colorRangeSelectCmd(window->window(), &form, 0));
  ASSERT_FALSE(messages.shown().empty());
  EXPECT_EQ(messages.shown().back().text, "有効な選択範囲がありません");
  EXPECT_EQ(store().committedCount(), events);
}

}  // namespace
}  // namespace pg
