// The document window under Qt (offscreen): mouse and pen strokes paint, the
// pen's made-up mouse events do not, the eraser erases, undo and redo are
// exact, each stroke is recorded once, and the wheel, Space, the hand tool
// and Alt work as in the logic.
// The recorder's headers come before Qt's, whose keyword macros they use as names.
#include "document/doc_recorder.h"
// (the line above stays first)
#include "canvas/qt/draw_window_widget.h"
#include "widget_fixture.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPointingDevice>
#include <QScrollBar>
#include <QTabletEvent>
#include <QTest>
#include <QWheelEvent>
#include <memory>
#include <vector>

#include "brush/stroke_settings.h"
#include "canvas/tablet_input.h"
#include "core/block_image.h"
#include "document/layer_data.h"
#include "document/paper.h"
#include "document/undo_mngr_ex.h"
#include "test_support/qt_app.h"

namespace pg {
namespace {

int grey(uint32_t p) { return static_cast<int>(p & 0xFF); }

TEST(DrawWindowWidget, AMouseDragPaintsAnAntiAliasedStrokeAlongThePath) {
  WidgetFixture f;
  f.drag({f.at(60, 150), f.at(150, 150), f.at(240, 150), f.at(330, 150)});
  for (int x = 60; x <= 326; x += 6) EXPECT_LT(grey(f.pixel(x, 150)), 64) << x;
  for (int y : {110, 190, 20, 280}) EXPECT_EQ(f.pixel(200, y), 0xFFFFFFFFu) << y;
  // Across the line the edge pixels lie between paper and ink.
  int between = 0;
  for (int y = 140; y <= 160; ++y) {
    const int g = grey(f.pixel(200, y));
    if (g > 0 && g < 255) ++between;
  }
  EXPECT_GE(between, 2);
  // The view shows it: the back buffer under the path is dark too.
  const QPoint w = f.at(200, 150);
  QApplication::processEvents();
  const QImage shot = f.widget->viewport()->grab().toImage();
  EXPECT_LT(qGray(shot.pixel(w)), 64);
  EXPECT_EQ(f.doc().undoMngr()->undoCount(), 1);
}

// The rows the stroke darkened in one column.
int inkedRows(WidgetFixture& f, int x) {
  int rows = 0;
  for (int y = 0; y < f.doc().height(); ++y)
    if (grey(f.pixel(x, y)) < 200) ++rows;
  return rows;
}

TEST(DrawWindowWidget, APenStrokeWithRisingPressureGrowsWider) {
  WidgetFixture f;
  TStroke& s = f.shared.toolStroke();
  s.setWidth(24.0f);
  s.setPressureSize(true);
  s.setMinSize(5.0f);
  f.pen(QEvent::TabletPress, f.at(40, 150), 0.05);
  for (int i = 1; i <= 40; ++i) f.pen(QEvent::TabletMove, f.at(40.0f + i * 8.0f, 150), 0.05 + i * 0.95 / 40.0);
  f.pen(QEvent::TabletRelease, f.at(360, 150), 0.0);
  const int thin = inkedRows(f, 70), wide = inkedRows(f, 340);
  EXPECT_GT(thin, 0);
  EXPECT_GT(wide, thin + 6) << thin << " " << wide;
  EXPECT_EQ(f.doc().undoMngr()->undoCount(), 1);
}

TEST(DrawWindowWidget, MouseEventsMadeUpFromThePenAreIgnored) {
  WidgetFixture f;
  const std::vector<uint32_t> before = f.layerPixels();
  const QPoint a = f.at(100, 100), b = f.at(250, 120);
  // Qt's own synthesis, and events that carry the pen as their device.
  f.mouse(QEvent::MouseButtonPress, a, Qt::LeftButton, Qt::LeftButton, Qt::MouseEventSynthesizedByQt);
  f.mouse(QEvent::MouseMove, b, Qt::NoButton, Qt::LeftButton, Qt::MouseEventSynthesizedByQt);
  f.mouse(QEvent::MouseButtonRelease, b, Qt::LeftButton, Qt::NoButton, Qt::MouseEventSynthesizedByQt);
  f.mouse(QEvent::MouseButtonPress, a, Qt::LeftButton, Qt::LeftButton, Qt::MouseEventNotSynthesized,
          f.stylus.get());
  f.mouse(QEvent::MouseMove, b, Qt::NoButton, Qt::LeftButton, Qt::MouseEventNotSynthesized, f.stylus.get());
  f.mouse(QEvent::MouseButtonRelease, b, Qt::LeftButton, Qt::NoButton, Qt::MouseEventNotSynthesized,
          f.stylus.get());
  EXPECT_EQ(f.layerPixels(), before);
  EXPECT_EQ(f.doc().undoMngr()->undoCount(), 0);
}

// A tablet system with a pen, for the wrapper.
class PenTablet final : public ITabletService {
 public:
  bool tabletPresent() const override { return true; }
  STabletDeviceInfo deviceInfo() const override {
    STabletDeviceInfo i;
    i.ExtentX = 4000;
    i.ExtentY = 3000;
    i.PressureMax = 1.0;
    return i;
  }
  SRectXYWH screenRect() const override { return {0, 0, 4000, 3000}; }
};

TEST(DrawWindowWidget, ThePenGoesThroughTheTabletWrapperWhenItIsOpen) {
  WidgetFixture f;
  PenTablet service;
  TWinTab32 tablet(&service, true, false);
  ASSERT_TRUE(tablet.open(f.widget.get()));
  f.shared.tablet = &tablet;
  f.pen(QEvent::TabletPress, f.at(100, 200), 0.8);
  f.pen(QEvent::TabletMove, f.at(200, 200), 0.8);
  f.pen(QEvent::TabletMove, f.at(300, 200), 0.8);
  f.pen(QEvent::TabletRelease, f.at(300, 200), 0.0);
  EXPECT_NEAR(tablet.pressureFraction(), 0.0f, 1e-6);
  EXPECT_LT(grey(f.pixel(200, 200)), 64);
  EXPECT_EQ(f.doc().undoMngr()->undoCount(), 1);
  f.shared.tablet = nullptr;
}

TEST(DrawWindowWidget, TheEraserErasesAndUndoRedoAreExact) {
  WidgetFixture f;
  const std::vector<uint32_t> blank = f.layerPixels();
  f.shared.toolStroke().setWidth(16.0f);
  f.drag({f.at(60, 100), f.at(200, 100), f.at(340, 100)});
  const std::vector<uint32_t> painted = f.layerPixels();
  ASSERT_NE(painted, blank);
  ASSERT_TRUE(f.shared.selectMode(ToolMode::Eraser));
  f.drag({f.at(200, 40), f.at(200, 100), f.at(200, 160)});
  // Where the eraser crossed the line the layer is transparent again.
  EXPECT_LT(f.pixel(200, 100) >> 24, 64u);
  EXPECT_LT(grey(f.pixel(100, 100)), 64);
  const std::vector<uint32_t> erased = f.layerPixels();
  EXPECT_EQ(f.doc().undoMngr()->undoCount(), 2);

  ASSERT_TRUE(f.widget->undo());
  EXPECT_EQ(f.layerPixels(), painted);
  ASSERT_TRUE(f.widget->undo());
  EXPECT_EQ(f.layerPixels(), blank);
  ASSERT_TRUE(f.widget->redo());
  EXPECT_EQ(f.layerPixels(), painted);
  ASSERT_TRUE(f.widget->redo());
  EXPECT_EQ(f.layerPixels(), erased);
  EXPECT_FALSE(f.widget->canRedo());
}

TEST(DrawWindowWidget, EveryStrokeIsRecordedOnce) {
  WidgetFixture f;
  const int32_t start = f.store().undoCount();
  f.drag({f.at(50, 50), f.at(120, 80)});
  EXPECT_EQ(f.store().undoCount(), start + 1);
  f.pen(QEvent::TabletPress, f.at(50, 200), 0.5);
  f.pen(QEvent::TabletMove, f.at(150, 220), 0.7);
  f.pen(QEvent::TabletRelease, f.at(150, 220), 0.0);
  EXPECT_EQ(f.store().undoCount(), start + 2);
  // A stroke that the window loses in the middle still counts once.
  QTest::mousePress(f.view(), Qt::LeftButton, {}, f.at(200, 150));
  f.mouse(QEvent::MouseMove, f.at(260, 170), Qt::NoButton, Qt::LeftButton);
  f.widget->window().focusLost();
  QTest::mouseRelease(f.view(), Qt::LeftButton, {}, f.at(300, 170));
  EXPECT_EQ(f.store().undoCount(), start + 3);
  EXPECT_FALSE(f.store().isStrokeOpen());
  EXPECT_EQ(f.doc().undoMngr()->undoCount(), 3);
}

TEST(DrawWindowWidget, TheWheelZoomsAboutThePointer) {
  WidgetFixture f;
  const QPoint p = f.at(120, 90);
  const TPointF image = f.widget->window().clientToImage({float(p.x()), float(p.y())});
  QWheelEvent e(QPointF(p), f.view()->mapToGlobal(QPointF(p)), QPoint(), QPoint(0, -120), Qt::NoButton,
                Qt::NoModifier, Qt::NoScrollPhase, false);
  QApplication::sendEvent(f.view(), &e);
  EXPECT_GT(f.doc().zoomValue(), 1.0f);
  const TPointF now = f.widget->window().clientToImage({float(p.x()), float(p.y())});
  EXPECT_NEAR(now.X, image.X, 1.0f);
  EXPECT_NEAR(now.Y, image.Y, 1.0f);
  // A wild delta stops at the table's end.
  QWheelEvent wild(QPointF(p), f.view()->mapToGlobal(QPointF(p)), QPoint(), QPoint(0, -2000000000), Qt::NoButton,
                   Qt::NoModifier, Qt::NoScrollPhase, false);
  QApplication::sendEvent(f.view(), &wild);
  EXPECT_EQ(f.doc().zoomValue(), 16.0f);
}

TEST(DrawWindowWidget, SpaceDragAndTheHandToolScrollAndTheBarsFollow) {
  WidgetFixture f;
  f.widget->window().setZoomCentred(4, 1);
  QApplication::processEvents();
  QScrollBar* h = f.widget->horizontalScrollBar();
  const int start = h->value();
  const TPointF before = f.widget->window().imageToClient({200, 150});
  QTest::keyPress(f.view(), Qt::Key_Space);
  f.drag({QPoint(300, 200), QPoint(280, 200), QPoint(260, 210)});
  QTest::keyRelease(f.view(), Qt::Key_Space);
  TPointF after = f.widget->window().imageToClient({200, 150});
  EXPECT_NEAR(after.X - before.X, -40.0f, 4.0f);
  EXPECT_NEAR(after.Y - before.Y, 10.0f, 4.0f);
  EXPECT_EQ(h->value(), start + 40);
  EXPECT_EQ(f.doc().undoMngr()->undoCount(), 0);

  ASSERT_TRUE(f.shared.selectMode(ToolMode::Hand));
  f.drag({QPoint(200, 200), QPoint(240, 200)});
  EXPECT_NEAR(f.widget->window().imageToClient({200, 150}).X - after.X, 40.0f, 4.0f);
  // Moving the bar scrolls the view.
  after = f.widget->window().imageToClient({200, 150});
  h->setValue(h->value() + 100);
  EXPECT_NEAR(f.widget->window().imageToClient({200, 150}).X - after.X, -100.0f, 4.0f);
}

TEST(DrawWindowWidget, ATurnedViewHidesTheBarsAndTheViewportKeepsItsCentre) {
  WidgetFixture f;
  const QSize withBars = f.view()->size();
  f.widget->window().setViewRotation(true, -45.0f);
  QApplication::processEvents();
  EXPECT_EQ(f.widget->horizontalScrollBarPolicy(), Qt::ScrollBarAlwaysOff);
  EXPECT_GT(f.view()->width(), withBars.width());
  EXPECT_EQ(f.widget->window().clientSize(), (SSize{f.view()->width(), f.view()->height()}));
  f.widget->window().setViewRotation(false, 0.0f);
  QApplication::processEvents();
  EXPECT_EQ(f.widget->horizontalScrollBarPolicy(), Qt::ScrollBarAlwaysOn);
  EXPECT_EQ(f.view()->size(), withBars);
  const TPointF centre = f.widget->window().clientToImage({f.view()->width() / 2.0f, f.view()->height() / 2.0f});
  EXPECT_NEAR(centre.X, 200.0f, 2.0f);
  EXPECT_NEAR(centre.Y, 150.0f, 2.0f);
}

TEST(DrawWindowWidget, AltClickPicksTheColourUnderThePointer) {
  WidgetFixture f;
  f.shared.setMainColor(0x3070B0);
  f.shared.toolStroke().setWidth(20.0f);
  f.drag({f.at(100, 150), f.at(200, 150), f.at(300, 150)});
  f.shared.setMainColor(0x000000);
  QTest::mouseClick(f.view(), Qt::LeftButton, Qt::AltModifier, f.at(200, 150));
  EXPECT_EQ(f.shared.mainColor(), 0x3070B0u);
  EXPECT_EQ(f.doc().undoMngr()->undoCount(), 1);
  EXPECT_EQ(f.shared.currentTool(), ToolId::Brush);
}

TEST(DrawWindowWidget, ClosingAModifiedDocumentAsksAndCancelKeepsIt) {
  WidgetFixture f;
  QMdiArea area;
  area.resize(800, 600);
  area.show();
  int asked = 0;
  int answer = kAnswerCancel;
  const auto question = [&](const std::string&) {
    ++asked;
    return answer;
  };
  f.widget->saveQuestion = question;
  QMdiSubWindow* sub = f.widget.release()->addToArea(area);
  EXPECT_TRUE(sub->close());  // unmodified: closes without a question
  QApplication::processEvents();
  EXPECT_EQ(asked, 0);

  auto* second = TDrawWindowWidget::createNew(f.shared, "second", 200, 100, 72);
  second->saveQuestion = question;
  QMdiSubWindow* sub2 = second->addToArea(area);
  QApplication::processEvents();
  second->window().mouseDown(PointerButton::Left, kLeftBit, {100, 50}, false);
  second->window().mouseMove(kLeftBit, {130, 60});
  second->window().mouseUp(PointerButton::Left, 0, {130, 60});
  ASSERT_TRUE(second->isModified());
  EXPECT_FALSE(sub2->close());
  EXPECT_EQ(asked, 1);
  answer = kAnswerYes;  // no saveDocument is set: the window stays
  EXPECT_FALSE(sub2->close());
  answer = kAnswerNo;
  EXPECT_TRUE(sub2->close());
  EXPECT_EQ(asked, 3);
}

}  // namespace
}  // namespace pg
