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
#include "platform/message_service.h"
#include "platform/qt/qt_desktop.h"
#include "test_support/qt_app.h"

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
  EXPECT_FALSE(form.actions().action("ActLyrGroupI")->isVisible());
  EXPECT_EQ(form.actions().action("ActFileNew")->shortcut(), QKeySequence(QStringLiteral("Ctrl+N")));
  EXPECT_NE(form.actions().recentFilesMenu(), nullptr);
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
  ASSERT_EQ(spy.size(), 2);
  EXPECT_TRUE(spy[0][0].toBool());
  EXPECT_FALSE(spy[1][0].toBool());
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
