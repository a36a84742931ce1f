#include "ui/qt/dock_float_manager.h"

#include <gtest/gtest.h>

#include <QMainWindow>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMouseEvent>
#include <QTest>
#include <QWheelEvent>

#include "test_support/qt_app.h"
#include "ui/qt/dock_float_form.h"
#include "ui/qt/dock_strip.h"
#include "ui/qt/dock_view.h"

namespace pg {
namespace {

// A panel that counts the wheel turns it takes.
class WheelPanel final : public TCustomDockView {
 public:
  WheelPanel(const QString& name, bool takes) : TCustomDockView(name), takes_(takes) { setCaption(name); }
  int turns = 0;

 protected:
  void wheelEvent(QWheelEvent* e) override {
    if (!takes_) return e->ignore();
    ++turns;
    e->accept();
  }

 private:
  bool takes_;
};

class DocWidget final : public QWidget {
 public:
  int turns = 0;

 protected:
  void wheelEvent(QWheelEvent* e) override {
    ++turns;
    e->accept();
  }
};

void flushDeletes() { QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete); }

class DockManagerTest : public ::testing::Test {
 protected:
  void SetUp() override {
    testing::ensureQtApp();
    main = std::make_unique<QMainWindow>();
    mdi = new QMdiArea;
    main->setCentralWidget(mdi);
    main->setGeometry(40, 30, 640, 480);
    main->show();
    for (const char* n : {"NavigatorView", "InfomationView", "ColorView"}) panels.push_back(std::make_unique<WheelPanel>(n, false));
    makeManager();
  }
  void TearDown() override {
    manager.reset();
    flushDeletes();
  }
  void makeManager() {
    manager = std::make_unique<TDockFloatManager>(main.get());
    ASSERT_TRUE(manager->registerPanel(panels[0].get(), 0));
    ASSERT_TRUE(manager->registerPanel(panels[1].get(), 0));
    ASSERT_TRUE(manager->registerPanel(panels[2].get(), 1));
  }
  TDockViewManager* stripOf(TCustomDockView* v) {
    const SDockPlace at = manager->model().placeOf(v->dockId());
    const uint32_t id = manager->model().form(at.form).panes[at.pane].id;
    for (auto* s : manager->floatForm(at.form)->findChildren<TDockViewManager*>())
      if (s->paneId() == id) return s;
    return nullptr;
  }
  QPoint tabPoint(TDockViewManager* s, int index) {
    for (int y = 0; y < s->height(); ++y)
      for (int x = 0; x < s->width(); ++x)
        if (s->tabAt({x, y}) == index) return {x + 3, y + 3};
    ADD_FAILURE() << "no tab " << index;
    return {};
  }
  void send(QWidget* w, QEvent::Type type, const QPoint& global, Qt::MouseButton button, Qt::MouseButtons buttons) {
    QMouseEvent e(type, w->mapFromGlobal(global), global, button, buttons, Qt::NoModifier);
    QCoreApplication::sendEvent(w, &e);
  }
  // Presses the panel's tab, drags by a few steps to a screen point and releases.
  void dragTab(TCustomDockView* v, const QPoint& to) {
    TDockViewManager* s = stripOf(v);
    ASSERT_NE(s, nullptr);
    const SDockPlace at = manager->model().placeOf(v->dockId());
    const QPoint from = s->mapToGlobal(tabPoint(s, at.index));
    send(s, QEvent::MouseButtonPress, from, Qt::LeftButton, Qt::LeftButton);
    for (int k = 1; k <= 4; ++k) send(s, QEvent::MouseMove, from + (to - from) * k / 4, Qt::NoButton, Qt::LeftButton);
    send(s, QEvent::MouseButtonRelease, to, Qt::LeftButton, Qt::NoButton);
    flushDeletes();
  }
  std::unique_ptr<QMainWindow> main;
  QMdiArea* mdi = nullptr;
  std::vector<std::unique_ptr<WheelPanel>> panels;
  std::unique_ptr<TDockFloatManager> manager;
};

TEST_F(DockManagerTest, DefaultArrangementGroupsPanelsAlongTheDocumentArea) {
  manager->defaultArrangement();
  ASSERT_EQ(manager->count(), 2);
  TDockFloatForm* a = manager->floatForm(0);
  EXPECT_TRUE(a->isVisible());
  EXPECT_EQ(panels[0]->parentWidget(), a);
  EXPECT_EQ(panels[1]->parentWidget(), a);
  EXPECT_EQ(panels[2]->parentWidget(), manager->floatForm(1));
  EXPECT_TRUE(panels[0]->isVisible()) << "the first tab is active";
  EXPECT_FALSE(panels[1]->isVisible());
  const QRect doc = manager->documentArea();
  EXPECT_EQ(a->geometry().right(), doc.right());
  EXPECT_EQ(manager->floatForm(1)->geometry().bottom(), doc.bottom());

  // A main window reaching past the screen's right edge: the forms stay on it.
  main->setGeometry(400, 30, 640, 480);
  manager->defaultArrangement();
  EXPECT_GT(manager->documentArea().right(), manager->screenRect().right());
  EXPECT_EQ(manager->floatForm(0)->geometry().right(), manager->screenRect().right());
}

TEST_F(DockManagerTest, APanelDraggedOutFloatsAndDraggedBackDocks) {
  manager->defaultArrangement();
  // Out of the first form onto free space: a form of its own.
  dragTab(panels[1].get(), manager->documentArea().topLeft() + QPoint(150, 200));
  ASSERT_EQ(manager->count(), 3);
  TDockFloatForm* own = manager->floatForm(2);
  EXPECT_EQ(panels[1]->parentWidget(), own);
  EXPECT_TRUE(own->isVisible());
  EXPECT_TRUE(panels[1]->isVisible());
  EXPECT_EQ(manager->model().placeOf(panels[0]->dockId()).form, 0);

  // Back onto the colour panel's pane: a tab there; its own form goes.
  TDockFloatForm* target = manager->floatForm(1);
  dragTab(panels[1].get(), target->mapToGlobal(target->clientArea().topLeft() + QPoint(60, 40)));
  ASSERT_EQ(manager->count(), 2);
  const SDockPlace at = manager->model().placeOf(panels[1]->dockId());
  EXPECT_EQ(at.form, 1);
  EXPECT_EQ(at.index, 1);
  EXPECT_EQ(panels[1]->parentWidget(), target);
  EXPECT_TRUE(panels[1]->isVisible());
  EXPECT_FALSE(panels[2]->isVisible()) << "the dropped panel is the active tab";
}

TEST_F(DockManagerTest, EscCancelsADrag) {
  manager->defaultArrangement();
  TDockViewManager* s = stripOf(panels[1].get());
  const QPoint from = s->mapToGlobal(tabPoint(s, 1));
  send(s, QEvent::MouseButtonPress, from, Qt::LeftButton, Qt::LeftButton);
  send(s, QEvent::MouseMove, from + QPoint(-200, 150), Qt::NoButton, Qt::LeftButton);
  EXPECT_TRUE(manager->dragging());
  QTest::keyClick(main.get(), Qt::Key_Escape);
  EXPECT_FALSE(manager->dragging());
  send(s, QEvent::MouseButtonRelease, from + QPoint(-200, 150), Qt::LeftButton, Qt::NoButton);
  EXPECT_EQ(manager->count(), 2);
}

TEST_F(DockManagerTest, TheLayoutSurvivesANewManager) {
  manager->defaultArrangement();
  dragTab(panels[0].get(), manager->documentArea().topLeft() + QPoint(100, 100));
  ASSERT_EQ(manager->count(), 3);
  manager->model().setAllHidden(1, 0, true);
  manager->sync();
  const QByteArray blob = manager->saveLayout();
  const QRect floated = manager->floatForm(2)->geometry();

  manager.reset();
  flushDeletes();
  EXPECT_EQ(panels[0]->parentWidget(), nullptr) << "panels outlive the manager";
  makeManager();
  ASSERT_TRUE(manager->restoreLayout(blob));
  EXPECT_EQ(manager->saveLayout().toStdString(), blob.toStdString());
  ASSERT_EQ(manager->count(), 3);
  EXPECT_EQ(manager->floatForm(2)->geometry(), floated);
  EXPECT_EQ(panels[0]->parentWidget(), manager->floatForm(2));
  EXPECT_TRUE(panels[2]->collapsed());

  // A damaged blob gives the default arrangement.
  EXPECT_FALSE(manager->restoreLayout(blob.left(blob.size() - 6)));
  EXPECT_EQ(manager->count(), 2);
  flushDeletes();
}

TEST_F(DockManagerTest, MinimisingHidesAllFormsAndRestoringShowsThoseThatWereVisible) {
  manager->defaultArrangement();
  dragTab(panels[1].get(), manager->documentArea().topLeft() + QPoint(150, 200));
  ASSERT_EQ(manager->count(), 3);
  manager->model().setFormVisible(1, false);
  manager->sync();
  manager->mainWindowMinimised();
  for (int i = 0; i < 3; ++i) EXPECT_FALSE(manager->floatForm(i)->isVisible()) << i;
  manager->mainWindowMinimised();
  manager->mainWindowRestored();
  EXPECT_TRUE(manager->floatForm(0)->isVisible());
  EXPECT_FALSE(manager->floatForm(1)->isVisible());
  EXPECT_TRUE(manager->floatForm(2)->isVisible());
}

TEST_F(DockManagerTest, AnUnhandledWheelOverAFormReachesTheActiveDocument) {
  manager->defaultArrangement();
  auto* doc = new DocWidget;
  QMdiSubWindow* sub = mdi->addSubWindow(doc);
  sub->show();
  mdi->setActiveSubWindow(sub);
  ASSERT_EQ(manager->mainActiveChild(), doc);
  TDockFloatForm* f = manager->floatForm(0);
  const QPoint at = f->mapToGlobal(f->clientArea().center());
  QWheelEvent turn(f->mapFromGlobal(at), at, QPoint(), QPoint(0, 120), Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase,
                   false);
  QCoreApplication::sendEvent(f, &turn);
  EXPECT_EQ(doc->turns, 1);

  // A panel that takes wheel turns gets them first, and the main window's
  // forwarding reaches the panel under the pointer.
  auto taker = std::make_unique<WheelPanel>("EventView", true);
  ASSERT_TRUE(manager->registerPanel(taker.get()));
  manager->defaultArrangement();
  QWheelEvent again(f->mapFromGlobal(at), at, QPoint(), QPoint(0, 120), Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase,
                    false);
  QCoreApplication::sendEvent(manager->floatForm(0), &again);
  EXPECT_EQ(taker->turns, 1);
  EXPECT_EQ(doc->turns, 1);
  const QPoint over = taker->mapToGlobal(taker->rect().center());
  QWheelEvent forwarded(main->mapFromGlobal(over), over, QPoint(), QPoint(0, 120), Qt::NoButton, Qt::NoModifier,
                        Qt::NoScrollPhase, false);
  EXPECT_TRUE(manager->forwardWheel(&forwarded));
  EXPECT_EQ(taker->turns, 2);
  manager.reset();
}

}  // namespace
}  // namespace pg

namespace pg {
namespace {

TEST_F(DockManagerTest, DraggingTheCaptionSnapsBesideAnotherForm) {
  manager->defaultArrangement();
  TDockFloatForm* still = manager->floatForm(0);
  TDockFloatForm* moved = manager->floatForm(1);
  const QRect g0 = still->geometry();
  const QPoint grab = moved->mapToGlobal(QPoint(40, kDockBorder + 5));
  const QPoint offset = grab - moved->geometry().topLeft();
  // Its right edge 6 pixels left of the other's left edge, tops 3 apart.
  const QPoint wanted(g0.left() - moved->width() - 6, g0.top() + 3);
  send(moved, QEvent::MouseButtonPress, grab, Qt::LeftButton, Qt::LeftButton);
  send(moved, QEvent::MouseMove, wanted + offset, Qt::NoButton, Qt::LeftButton);
  send(moved, QEvent::MouseButtonRelease, wanted + offset, Qt::LeftButton, Qt::NoButton);
  EXPECT_EQ(moved->geometry().right() + 1, g0.left());
  EXPECT_EQ(moved->geometry().top(), g0.top());
  EXPECT_EQ(manager->model().form(1).bounds.Left, moved->geometry().left()) << "the model follows the window";

  // Far from every edge it moves freely.
  const QPoint free(200, 150);
  const QPoint grab2 = moved->mapToGlobal(QPoint(40, kDockBorder + 5));
  send(moved, QEvent::MouseButtonPress, grab2, Qt::LeftButton, Qt::LeftButton);
  send(moved, QEvent::MouseMove, free + offset, Qt::NoButton, Qt::LeftButton);
  send(moved, QEvent::MouseButtonRelease, free + offset, Qt::LeftButton, Qt::NoButton);
  EXPECT_EQ(moved->geometry().topLeft(), free);
}

TEST_F(DockManagerTest, TheBorderResizesWithinThePanesLimits) {
  manager->defaultArrangement();
  dragTab(panels[1].get(), manager->documentArea().topLeft() + QPoint(150, 200));
  TDockFloatForm* f = manager->floatForm(2);
  const QRect before = f->geometry();
  const QPoint edge = f->mapToGlobal(QPoint(f->width() / 2, f->height() - 1));
  send(f, QEvent::MouseButtonPress, edge, Qt::LeftButton, Qt::LeftButton);
  send(f, QEvent::MouseMove, edge + QPoint(0, 60), Qt::NoButton, Qt::LeftButton);
  EXPECT_EQ(f->height(), before.height() + 60);
  EXPECT_EQ(panels[1]->height(), kDockViewHeight + 60) << "the last panel takes the new height";
  send(f, QEvent::MouseMove, edge + QPoint(0, -300), Qt::NoButton, Qt::LeftButton);
  send(f, QEvent::MouseButtonRelease, edge + QPoint(0, -300), Qt::LeftButton, Qt::NoButton);
  EXPECT_EQ(f->height(), before.height()) << "never below the panel's minimum";
  EXPECT_EQ(f->geometry().top(), before.top());
}

TEST_F(DockManagerTest, DoubleClicksFoldAPaneOrTheWholeForm) {
  manager->defaultArrangement();
  TDockFloatForm* f = manager->floatForm(0);
  const int open = f->height();
  TDockViewManager* s = stripOf(panels[0].get());
  QTest::mouseDClick(s, Qt::LeftButton, {}, tabPoint(s, 0));
  EXPECT_TRUE(panels[0]->collapsed());
  EXPECT_FALSE(panels[0]->isVisible());
  EXPECT_EQ(f->height(), open - kDockViewHeight);
  // Its only pane folded, the form counts as folded: the caption opens it.
  QTest::mouseDClick(f, Qt::LeftButton, {}, QPoint(40, kDockBorder + 5));
  EXPECT_FALSE(panels[0]->collapsed());
  EXPECT_EQ(f->height(), open);
  EXPECT_EQ(panels[0]->showState(), kDockStateShown);
  QTest::mouseDClick(f, Qt::LeftButton, {}, QPoint(40, kDockBorder + 5));
  EXPECT_TRUE(panels[0]->collapsed());
  EXPECT_TRUE(panels[1]->collapsed()) << "every view of the pane";
}

}  // namespace
}  // namespace pg

namespace pg {
namespace {

TEST_F(DockManagerTest, TheTopOfALaterStripIsTheGripOfThePaneAbove) {
  manager->defaultArrangement();
  ASSERT_EQ(manager->model().endDock(panels[2]->dockId(), 0, -1), DockDrop::Moved);
  manager->sync();
  flushDeletes();
  TDockViewManager* lower = stripOf(panels[2].get());
  ASSERT_NE(lower, nullptr);
  const QPoint grip = lower->mapToGlobal(QPoint(100, 1));
  send(lower, QEvent::MouseButtonPress, grip, Qt::LeftButton, Qt::LeftButton);
  send(lower, QEvent::MouseMove, grip + QPoint(0, 30), Qt::NoButton, Qt::LeftButton);
  send(lower, QEvent::MouseButtonRelease, grip + QPoint(0, 30), Qt::LeftButton, Qt::NoButton);
  EXPECT_EQ(panels[0]->height(), kDockViewHeight + 30);
  EXPECT_EQ(lower->geometry().top(), kDockBorder + kDockCaptionHeight + kDockTopStripHeight + kDockViewHeight + 30);

  // On the first strip the same band is part of the tabs.
  TDockViewManager* upper = stripOf(panels[0].get());
  int x = 0;
  while (x < upper->width() && upper->tabAt({x, 2}) != 1) ++x;
  ASSERT_LT(x, upper->width());
  QTest::mousePress(upper, Qt::LeftButton, {}, QPoint(x, 2));
  QTest::mouseRelease(upper, Qt::LeftButton, {}, QPoint(x, 2));
  EXPECT_TRUE(panels[1]->isVisible());
  EXPECT_FALSE(panels[0]->isVisible());
  EXPECT_EQ(panels[0]->height(), kDockViewHeight + 30) << "no resizing there";
}

}  // namespace
}  // namespace pg

namespace pg {
namespace {

TEST_F(DockManagerTest, TheToolWindowIsListedFirstAndKeptWhenEmpty) {
  auto tool = std::make_unique<TDockFloatForm>(manager.get(), main.get());
  tool->setGeometry(10, 10, 60, 300);
  ASSERT_TRUE(manager->addFloatForm(tool.get()));
  EXPECT_FALSE(manager->addFloatForm(tool.get()));
  manager->defaultArrangement();
  ASSERT_EQ(manager->count(), 3);
  EXPECT_EQ(manager->floatForm(0), tool.get());
  EXPECT_EQ(tool->geometry().topLeft(), manager->documentArea().topLeft());
  EXPECT_TRUE(manager->ownsWindow(tool.get()));

  // A panel dropped into it, then pulled out again: the tool window stays.
  ASSERT_EQ(manager->model().endDock(panels[2]->dockId(), 0, -1), DockDrop::Moved);
  manager->sync();
  EXPECT_EQ(panels[2]->parentWidget(), tool.get());
  dragTab(panels[2].get(), manager->documentArea().topLeft() + QPoint(300, 300));
  EXPECT_EQ(manager->floatForm(0), tool.get());
  EXPECT_EQ(manager->model().paneCount(0), 0);
  EXPECT_NE(panels[2]->parentWidget(), tool.get());

  manager.reset();
  flushDeletes();
  EXPECT_TRUE(tool->isWindow()) << "the manager leaves its owner's window alone";
}

}  // namespace
}  // namespace pg
