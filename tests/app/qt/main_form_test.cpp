#include "app/qt/main_form.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QDialog>
#include <QMenuBar>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>

#include "app/action_table.h"
#include "app/qt/main_actions.h"
#include "app/qt/status_panels.h"
#include "canvas/canvas_shared.h"
#include "canvas/draw_window.h"
#include "canvas/qt/draw_window_widget.h"
#include "document/paper.h"
#include "platform/message_service.h"
#include "platform/qt/qt_desktop.h"
#include "test_support/qt_app.h"
#include "toolwin/qt/tool_button.h"
#include "toolwin/qt/tool_form.h"
#include "toolwin/tool_tables.h"

namespace pg {
namespace {

class MainFormTest : public ::testing::Test {
 protected:
  void SetUp() override { testing::ensureQtApp(); }
};

TEST_F(MainFormTest, TheMenuBarHoldsEveryMenuAndNoDeadCommand) {
  TMainForm form;
  EXPECT_EQ(form.menuBar()->actions().size(), qsizetype(mainMenuLayout().size()));
  form.actions().updateAll();
  // Only commands with a handler are enabled; exit always is.
  EXPECT_TRUE(form.actions().action("ActFileExit")->isEnabled());
  for (const char* name : {"ActFileSave", "ActImgFlipH", "actFilterBlur", "ActEditCut"})
    EXPECT_FALSE(form.actions().action(name)->isEnabled()) << name;
  // Hidden commands stay out of sight.
  EXPECT_FALSE(form.actions().action("ActShowLoupeWindow")->isVisible());
  // The link-group commands are in the Layer menu, disabled without a document.
  for (const char* name : {"ActLyrGroupI", "ActLyrGroupO", "ActLyrMergeG", "ActLyrGroupDel", "ActLyrMergeV2"}) {
    EXPECT_TRUE(form.actions().action(name)->isVisible()) << name;
    EXPECT_FALSE(form.actions().action(name)->isEnabled()) << name;
  }
  EXPECT_EQ(form.actions().action("ActFileNew")->shortcut(), QKeySequence(QStringLiteral("Ctrl+N")));
  EXPECT_NE(form.actions().recentFilesParent(), nullptr);
}

TEST_F(MainFormTest, ADialogRequestedWhileAnotherRunsAnswersCancelAtOnce) {
  TMainForm form;
  QDialog outer, inner;
  int innerResult = -1;
  bool innerShown = false;
  QObject::connect(&inner, &QDialog::finished, [&] { innerShown = true; });
  QTimer::singleShot(0, &outer, [&] {
    innerResult = form.showModalDialog(inner);
    outer.accept();
  });
  EXPECT_EQ(form.showModalDialog(outer), kMrOk);
  EXPECT_EQ(innerResult, kMrCancel);
  EXPECT_FALSE(innerShown);
  EXPECT_FALSE(form.modalDialogOpen());
}

TEST_F(MainFormTest, AClickOnTheStatusBarNamesThePanelUnderIt) {
  TMainForm form;
  form.resize(900, 600);
  form.show();
  QSignalSpy spy(&form.statusPanels(), &TStatusPanels::panelClicked);
  QTest::mouseClick(&form.statusPanels(), Qt::LeftButton, {}, QPoint(70, 5));
  ASSERT_EQ(spy.size(), 1);
  EXPECT_EQ(spy[0][0].toInt(), 1);
}

TEST_F(MainFormTest, MinimisingIsAnnouncedSoFloatingPanelsCanFollow) {
  TMainForm form;
  form.show();
  QSignalSpy spy(&form, &TMainForm::minimisedChanged);
  form.setWindowState(Qt::WindowMinimized);
  QCoreApplication::processEvents();
  form.setWindowState(Qt::WindowNoState);
  QCoreApplication::processEvents();
  ASSERT_GE(spy.size(), 2);
  EXPECT_TRUE(spy.front()[0].toBool());
  EXPECT_FALSE(spy.back()[0].toBool());
}

TEST_F(MainFormTest, StoredBoundsOffEveryScreenComeBackOnScreen) {
  CQtDesktop desktop;
  IDesktop* previous = setDesktop(&desktop);
  TMainForm form;
  form.applyBounds({false, 100000, 100000, 640, 480});
  setDesktop(previous);
  QRect screen = QGuiApplication::primaryScreen()->virtualGeometry();
  EXPECT_TRUE(screen.intersects(form.frameGeometry())) << form.frameGeometry().x();
}

}  // namespace
}  // namespace pg

namespace pg {
namespace {

class MainFormDocumentTest : public ::testing::Test {
 protected:
  static TMainForm& makeForm() {
    testing::ensureQtApp();
    return *new TMainForm;
  }
  void SetUp() override {
    form.resize(1000, 700);
    form.show();
  }
  void TearDown() override { delete &form; }
  TMainForm& form = makeForm();
};

// A stroke dragged past the top edge of the view: the view stays where it is
// and the stroke keeps what lay inside, unless the preference to scroll
// automatically is on, and then the view follows the pointer.
TEST_F(MainFormDocumentTest, AStrokePastTheEdgeMovesTheViewOnlyWhenScrollingAutomatically) {
  for (const bool autoScroll : {false, true}) {
    SCOPED_TRACE(autoScroll);
    form.canvas().prefs.useAutoScroll = autoScroll;
    TDrawWindowWidget* w = form.newDrawWindow("edge", 1600, 1600, 72);
    ASSERT_NE(w, nullptr);
    form.toolWindow()->model().setToolMode(ToolMode::Pencil);
    QWidget* view = w->viewport();
    const TPointF before = w->window().clientToImage({0.0f, 0.0f});
    const QPoint from(100, 12), to(400, 4);
    QTest::mousePress(view, Qt::LeftButton, {}, from);
    for (int i = 1; i <= 10; ++i) QTest::mouseMove(view, from + (to - from) * i / 10);
    QTest::mouseMove(view, QPoint(420, -30));
    QTest::qWait(250);  // the auto-scroll timer's ticks, when it runs
    QTest::mouseRelease(view, Qt::LeftButton, {}, QPoint(420, -30));
    const TPointF after = w->window().clientToImage({0.0f, 0.0f});
    if (autoScroll) {
      EXPECT_LT(after.Y, before.Y) << "the view follows the pointer up";
    } else {
      EXPECT_EQ(after.X, before.X);
      EXPECT_EQ(after.Y, before.Y);
      // The part inside the view is on the picture.
      TPaper& doc = w->window().paper();
      const TPointF mid = w->window().clientToImage({250.0f, 8.0f});
      doc.composeRect(SRectXYWH{0, 0, doc.width(), doc.height()}, false);
      int marked = 0;
      for (int dy = -3; dy <= 3; ++dy)
        marked += (doc.composite().getPixel(int32_t(mid.X), int32_t(mid.Y) + dy) & 0xFFFFFF) != 0xFFFFFF ? 1 : 0;
      EXPECT_GT(marked, 0);
    }
    w->window().exchangeModified(false);
    delete w->parentWidget();
  }
}

TEST_F(MainFormDocumentTest, CommandsFollowTheActiveDocumentWindow) {
  form.actions().updateAll();
  EXPECT_FALSE(form.actions().action("ActFileClose")->isEnabled());
  EXPECT_FALSE(form.actions().action("ActViewZoomI")->isEnabled());

  TDrawWindowWidget* w = form.newDrawWindow("a", 200, 150, 72);
  ASSERT_NE(w, nullptr);
  EXPECT_EQ(form.activeDrawWindow(), w);
  form.actions().updateAll();
  EXPECT_TRUE(form.actions().action("ActFileClose")->isEnabled());
  EXPECT_FALSE(form.actions().action("ActEditUndo")->isEnabled());
  EXPECT_EQ(form.statusPanels().panelText(2).toStdString(), "200 × 150 px");

  // A stroke makes undo available; undo then redo.
  QWidget* view = w->viewport();
  QPoint from = view->rect().center() - QPoint(30, 0), to = view->rect().center() + QPoint(30, 0);
  QTest::mousePress(view, Qt::LeftButton, {}, from);
  for (int i = 1; i <= 6; ++i) QTest::mouseMove(view, from + (to - from) * i / 6);
  QTest::mouseRelease(view, Qt::LeftButton, {}, to);
  form.actions().updateAll();
  ASSERT_TRUE(form.actions().action("ActEditUndo")->isEnabled());
  form.actions().action("ActEditUndo")->trigger();
  EXPECT_TRUE(form.actions().action("ActEditRedo")->isEnabled());

  // Zooming in through the command shows in the status bar.
  QString before = form.statusPanels().panelText(0);
  form.actions().action("ActViewZoomI")->trigger();
  EXPECT_NE(form.statusPanels().panelText(0), before);
}

TEST_F(MainFormDocumentTest, ClosingAskedAboutAModifiedDocumentKeepsRunningOnCancel) {
  TDrawWindowWidget* w = form.newDrawWindow("b", 120, 90, 72);
  ASSERT_NE(w, nullptr);
  QWidget* view = w->viewport();
  QTest::mousePress(view, Qt::LeftButton, {}, view->rect().center());
  QTest::mouseMove(view, view->rect().center() + QPoint(20, 5));
  QTest::mouseRelease(view, Qt::LeftButton, {}, view->rect().center() + QPoint(20, 5));
  ASSERT_TRUE(w->isModified());

  int asked = 0;
  w->saveQuestion = [&](const std::string&) {
    ++asked;
    return kAnswerCancel;
  };
  EXPECT_FALSE(form.close());
  EXPECT_EQ(asked, 1);
  EXPECT_EQ(form.drawWindows().size(), 1);

  w->saveQuestion = [&](const std::string&) { return kAnswerNo; };
  EXPECT_TRUE(form.close());
}

}  // namespace
}  // namespace pg

#include <QComboBox>
#include <QDialogButtonBox>
#include <QPushButton>
#include <QRadioButton>

#include "app/new_document_model.h"
#include "app/qt/new_document_dialog.h"
#include "document/paper.h"

namespace pg {
namespace {

TEST_F(MainFormDocumentTest, FileNewWithA4PortraitAt150DpiMakesA1240By1754Document) {
  bool sawDialog = false;
  QTimer::singleShot(0, [&] {
    auto* dialog = qobject_cast<TFormNew*>(QApplication::activeModalWidget());
    if (!dialog) return;
    sawDialog = true;
    dialog->typeCombo()->setCurrentIndex(findPaperTypeByName("A4"));
    QTest::mouseClick(dialog->portraitButton(), Qt::LeftButton);
    QTest::mouseClick(dialog->buttons()->button(QDialogButtonBox::Ok), Qt::LeftButton);
  });
  form.actions().updateAll();
  form.actions().action("ActFileNew")->trigger();
  ASSERT_TRUE(sawDialog);
  TDrawWindowWidget* w = form.activeDrawWindow();
  ASSERT_NE(w, nullptr);
  EXPECT_EQ(w->window().paper().width(), 1240);
  EXPECT_EQ(w->window().paper().height(), 1754);
  EXPECT_EQ(w->window().paper().resolution(), 150);
}

// The tool window acts on the active window's view: a double-click on the
// zoom button shows the picture 1:1 again.
TEST_F(MainFormDocumentTest, ADoubleClickOnTheZoomButtonShowsTheActiveWindowAtActualSize) {
  TDrawWindowWidget* w = form.newDrawWindow("z", 300, 200, 72);
  ASSERT_NE(w, nullptr);
  const QString actual = form.statusPanels().panelText(0);
  form.actions().action("ActViewZoomI")->trigger();
  ASSERT_NE(form.statusPanels().panelText(0), actual);
  TToolButton* zoom = nullptr;
  for (TToolButton* b : form.toolWindow()->findChildren<TToolButton*>())
    if (b->index() == kZoomButton) zoom = b;
  ASSERT_NE(zoom, nullptr);
  QTest::mouseDClick(zoom, Qt::LeftButton, {}, QPoint(4, 4));
  EXPECT_EQ(form.statusPanels().panelText(0), actual);
}

TEST_F(MainFormDocumentTest, ALetterKeyReachesTheToolWindowAndSwitchesTheCanvasTool) {
  TDrawWindowWidget* w = form.newDrawWindow("k", 100, 80, 72);
  ASSERT_NE(w, nullptr);
  w->viewport()->setFocus();
  ToolMode before = form.canvas().currentMode();
  QTest::keyClick(w->viewport(), Qt::Key_S);  // the eraser's letter
  EXPECT_NE(form.canvas().currentMode(), before);
  EXPECT_EQ(form.canvas().currentMode(), ToolMode::Eraser);
}

}  // namespace
}  // namespace pg

#include <QMenu>

#include "ui/dock_model.h"
#include "ui/qt/dock_float_manager.h"
#include "ui/qt/dock_strip.h"
#include "ui/qt/dock_view.h"

namespace pg {
namespace {

// The strip of the pane that holds the panel: the one straight above it.
TDockViewManager* stripAbove(QWidget* panel) {
  TDockViewManager* best = nullptr;
  const QPoint top = panel->mapTo(panel->window(), QPoint(0, 0));
  for (TDockViewManager* s : panel->window()->findChildren<TDockViewManager*>()) {
    const QRect r(s->mapTo(panel->window(), QPoint(0, 0)), s->size());
    if (r.bottom() < top.y() && (!best || r.bottom() > best->mapTo(panel->window(), QPoint(0, best->height())).y()))
      best = s;
  }
  return best;
}

TEST_F(MainFormTest, EveryListPanelOpensItsMenuFromItsStripAndShowsMoreThanTwoRows) {
  TMainForm form;
  form.resize(1200, 800);
  form.show();
  QApplication::processEvents();  // the default arrangement follows the first show
  TDockFloatManager& dock = form.dockManager();
  struct Case {
    const char* panel;
    const char* menu;
  };
  for (const Case& c : {Case{"SwatchView", "PopSwatch"}, Case{"BrushListView", "PopBrush"},
                        Case{"LayerView", "PopLayer"}, Case{"MaskView", "PopMask"}}) {
    SCOPED_TRACE(c.panel);
    TCustomDockView* view = dock.panel(QString::fromLatin1(c.panel));
    ASSERT_NE(view, nullptr);
    // Its tab made the active one, as a click on it does.
    const int32_t id = dock.model().viewByName(c.panel);
    const SDockPlace at = dock.model().placeOf(id);
    ASSERT_GE(at.form, 0);
    dock.model().setActiveIndex(at.form, at.pane, at.index);
    dock.sync();
    QApplication::processEvents();
    ASSERT_TRUE(view->isVisible());
    // A panel of a pane of tabs keeps its own height: never the two rows
    // of a list the shortest neighbour would give it.
    EXPECT_GE(view->height(), kDockViewHeight);
    TDockViewManager* strip = stripAbove(view);
    ASSERT_NE(strip, nullptr);
    ASSERT_NE(view->popupMenu(), nullptr);
    QString opened;
    QTimer::singleShot(0, [&] {
      if (auto* m = qobject_cast<QMenu*>(QApplication::activePopupWidget())) {
        opened = m->objectName();
        m->close();
      }
    });
    QTest::mouseClick(strip, Qt::LeftButton, {}, strip->menuButtonRect().center());
    EXPECT_EQ(opened, QString::fromLatin1(c.menu));
  }
}

}  // namespace
}  // namespace pg
