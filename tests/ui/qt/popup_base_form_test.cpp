#include "ui/qt/popup_base_form.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QPushButton>
#include <QTest>
#include <QWidget>

#include "platform/clock.h"
#include "test_support/qt_app.h"
#include "ui/qt/app_event_router.h"
#include "ui/qt/base_forms.h"

namespace pg {
namespace popup_base_form_test {

// The application object must exist before the fixture's widgets.
struct QtAppFirst {
  QtAppFirst() { testing::ensureQtApp(); }
};

class PopupTest : public ::testing::Test, private QtAppFirst {
 protected:
  void SetUp() override {
    main = std::make_unique<QWidget>();
    main->setGeometry(0, 0, 600, 400);
    main->show();
    for (auto* p : {&outer, &inner}) {
      p->resize(120, 60);
      p->OnPopupClose = [this](TPopupBaseForm* f) { closed.push_back(f); };
    }
  }
  std::unique_ptr<QWidget> main;
  TPopupBaseForm outer;
  TPopupBaseForm inner;
  std::vector<TPopupBaseForm*> closed;
};

TEST_F(PopupTest, KeysCloseWithTheirResults) {
  struct {
    Qt::Key key;
    int32_t result;
  } cases[] = {{Qt::Key_Return, kPopupAccept}, {Qt::Key_Enter, kPopupAccept}, {Qt::Key_Tab, kPopupAccept},
               {Qt::Key_Space, kPopupAccept}, {Qt::Key_Escape, kPopupCancel}};
  for (const auto& c : cases) {
    outer.popup(100, 100);
    ASSERT_TRUE(outer.isOpen());
    QTest::keyClick(main.get(), Qt::Key_A);
    EXPECT_TRUE(outer.isOpen()) << "other keys leave it open";
    QTest::keyClick(main.get(), c.key);
    EXPECT_FALSE(outer.isOpen()) << c.key;
    EXPECT_FALSE(outer.isVisible());
    EXPECT_EQ(outer.result(), c.result) << c.key;
    EXPECT_EQ(CAppEventRouter::instance().top(), nullptr) << "the slots are given back";
  }
  EXPECT_EQ(closed.size(), std::size(cases));
}

TEST_F(PopupTest, AClickOutsideClosesAndOneInsideDoesNot) {
  outer.popup(100, 100);
  const QRect g = outer.frameGeometry();
  QTest::mouseClick(&outer, Qt::LeftButton, {}, QPoint(g.width() - 1, g.height() - 1));
  EXPECT_TRUE(outer.isOpen());
  // One pixel right of the form, on the main window.
  QTest::mouseClick(main.get(), Qt::LeftButton, {}, main->mapFromGlobal(QPoint(g.right() + 1, g.top() + 5)));
  EXPECT_FALSE(outer.isOpen());
  EXPECT_EQ(outer.result(), kPopupAccept);
}

TEST_F(PopupTest, ANestedPopupGivesTheSlotsBackToTheOuterOne) {
  outer.popup(100, 100);
  inner.popup(150, 150);
  EXPECT_EQ(CAppEventRouter::instance().top(), &inner);
  QTest::keyClick(main.get(), Qt::Key_Escape);
  EXPECT_FALSE(inner.isOpen());
  EXPECT_EQ(inner.result(), kPopupCancel);
  EXPECT_TRUE(outer.isOpen()) << "the inner pop-up's key is not the outer's";
  EXPECT_EQ(CAppEventRouter::instance().top(), &outer);
  QTest::keyClick(main.get(), Qt::Key_Return);
  EXPECT_FALSE(outer.isOpen());
  EXPECT_EQ(outer.result(), kPopupAccept);
  EXPECT_EQ(closed, (std::vector<TPopupBaseForm*>{&inner, &outer}));
}

// The handler below an open pop-up: it must still hear the application switch.
struct SDeactivationProbe : IAppEventHandler {
  bool appEvent(QObject*, QEvent*) override { return false; }
  bool appDeactivated() override {
    ++heard;
    return true;
  }
  int heard = 0;
};

TEST_F(PopupTest, ASwitchToAnotherApplicationClosesAndRunsTheOwnHandler) {
  SDeactivationProbe probe;
  CAppEventRouter::instance().push(&probe);
  outer.popup(100, 100);
  CAppEventRouter::instance().applicationDeactivated();
  EXPECT_FALSE(outer.isOpen());
  EXPECT_EQ(outer.result(), kPopupAccept);
  EXPECT_EQ(probe.heard, 1);
  CAppEventRouter::instance().remove(&probe);
}

TEST_F(PopupTest, ShortcutsOfTheMainWindowDoNotFireWhileOpen) {
  QAction action(main.get());
  action.setShortcut(QKeySequence(Qt::CTRL | Qt::Key_K));
  main->addAction(&action);
  int fired = 0;
  QObject::connect(&action, &QAction::triggered, [&] { ++fired; });
  main->activateWindow();
  QApplication::setActiveWindow(main.get());
  QTest::keyClick(main.get(), Qt::Key_K, Qt::ControlModifier);
  const int before = fired;
  ASSERT_EQ(before, 1) << "the shortcut works while no pop-up is open";
  outer.popup(100, 100);
  QTest::keyClick(main.get(), Qt::Key_K, Qt::ControlModifier);
  EXPECT_EQ(fired, before);
  EXPECT_TRUE(outer.isOpen());
  outer.closePopup();
}

TEST_F(PopupTest, AReleaseAfterAPressAndHoldOpening) {
  ManualClock clock(5000);
  Clock* previous = setClock(&clock);
  const QPoint inside(20, 20);
  // Released after 999 ms: a quick click opened it; it stays, now ordinary.
  outer.setPressAndHold(true);
  outer.popup(100, 100);
  clock.advance(999);
  QTest::mouseRelease(&outer, Qt::LeftButton, {}, inside);
  EXPECT_TRUE(outer.isOpen());
  EXPECT_FALSE(outer.pressAndHold());
  clock.advance(5000);
  QTest::mouseRelease(&outer, Qt::LeftButton, {}, inside);
  EXPECT_TRUE(outer.isOpen());
  outer.closePopup();
  // Released after 1000 ms: pressed, dragged inside and let go.
  inner.setPressAndHold(true);
  inner.popup(100, 100);
  clock.advance(1000);
  QTest::mouseRelease(&inner, Qt::LeftButton, {}, inside);
  EXPECT_FALSE(inner.isOpen());
  EXPECT_EQ(inner.result(), kPopupAccept);
  setClock(previous);
}

TEST_F(PopupTest, NothingClosesItWhileAModalFormShows) {
  outer.popup(100, 100);
  QDialog modal(main.get());
  modal.setModal(true);
  modal.show();
  ASSERT_TRUE(anyModalForm());
  QTest::keyClick(main.get(), Qt::Key_Escape);
  QTest::mouseClick(main.get(), Qt::LeftButton, {}, QPoint(5, 5));
  CAppEventRouter::instance().applicationDeactivated();
  EXPECT_TRUE(outer.isOpen());
  modal.hide();
  QTest::keyClick(main.get(), Qt::Key_Escape);
  EXPECT_FALSE(outer.isOpen());
  EXPECT_EQ(outer.result(), kPopupCancel);
}

TEST(DialogBaseForm, ButtonModeSetsCancelAndTheEscRole) {
  testing::ensureQtApp();
  TDialogBaseForm dlg;
  dlg.show();
  dlg.setButtonMode(kButtonModeOk);
  EXPECT_FALSE(dlg.ButtonCancel->isVisible());
  QTest::keyClick(&dlg, Qt::Key_Escape);
  EXPECT_EQ(dlg.result(), QDialog::Accepted) << "Esc presses OK";
  dlg.show();
  dlg.setButtonMode(kButtonModeOkCancel);
  EXPECT_TRUE(dlg.ButtonCancel->isVisible());
  QTest::keyClick(&dlg, Qt::Key_Escape);
  EXPECT_EQ(dlg.result(), QDialog::Rejected);
}

}  // namespace popup_base_form_test
}  // namespace pg
