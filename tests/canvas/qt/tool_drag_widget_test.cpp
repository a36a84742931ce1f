// The drag and shape tools on a real window (offscreen): a rectangle
// selection, a filled ellipse and a layer move by drag and by the cursor
// keys, and every other drag tool, each one recorded step that undoes
// exactly; the rubber band shows while a shape is dragged.
#include "widget_fixture.h"
// (the fixture stays first: it orders the recorder's headers before Qt's)
#include <gtest/gtest.h>

#include <QImage>
#include <functional>
#include <utility>
#include <vector>

#include "document/mask_data.h"
#include "document/mask_mngr.h"
#include "canvas/view_layout.h"
#include "core/fixed_point.h"

namespace pg {
namespace {

uint8_t selectionAt(TPaper& doc, int32_t x, int32_t y) {
  TPoint off{};
  const CBlockVCH* m = doc.selectionImage(off);
  return m == nullptr ? 0 : m->getPixelOr0(x + off.X, y + off.Y);
}

TEST(ToolWidgets, ARectangleSelectionByDragUndoesExactly) {
  WidgetFixture f;
  ASSERT_TRUE(f.shared.selectTool(ToolId::SelectRectangle));
  const uint32_t before = f.store().committedCount();
  f.mouse(QEvent::MouseButtonPress, f.at(40, 50), Qt::LeftButton, Qt::LeftButton);
  f.mouse(QEvent::MouseMove, f.at(120, 100), Qt::NoButton, Qt::LeftButton);
  f.mouse(QEvent::MouseMove, f.at(200, 150), Qt::NoButton, Qt::LeftButton);
  // The rubber band is drawn over the view: its top edge has dark dots.
  const QImage shown = f.view()->grab().toImage();
  const QPoint top = f.at(120, 50);
  int dark = 0;
  for (int dx = -4; dx <= 4; ++dx) dark += qGray(shown.pixel(top.x() + dx, top.y())) < 64;
  EXPECT_GT(dark, 0);
  f.mouse(QEvent::MouseButtonRelease, f.at(200, 150), Qt::LeftButton, Qt::NoButton);
  EXPECT_EQ(f.store().committedCount(), before + 1);
  EXPECT_EQ(selectionAt(f.doc(), 100, 100), 255);
  EXPECT_EQ(selectionAt(f.doc(), 250, 100), 0);
  ASSERT_TRUE(f.widget->undo());
  EXPECT_FALSE(f.doc().hasSelection());
}

TEST(ToolWidgets, AFillAfterARectangleSelectionStaysInsideIt) {
  // At several zooms and after a move of the view: the fill covers exactly
  // the selected pixels.
  struct Case {
    int32_t num, den;
    QPoint scroll;
  };
  const Case cases[] = {
      {1, 1, {0, 0}}, {2, 1, {0, 0}},     {2, 1, {-150, -90}}, {3, 1, {-260, -170}},
      {1, 2, {0, 0}}, {3, 2, {-40, -30}}, {2, 3, {0, 0}},
      // 0/0: one zoom step by the key, about the window's centre.
      {0, 0, {0, 0}}, {0, 0, {-60, 20}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(::testing::Message() << c.num << "/" << c.den << " scrolled " << c.scroll.x() << "," << c.scroll.y());
    WidgetFixture f;
    if (c.num == 0) {
      QTest::keyClick(f.widget.get(), Qt::Key_F5);
      ASSERT_GT(f.doc().zoomValue(), 1.0f);
    } else
      f.widget->window().setZoomCentred(c.num, c.den);
    if (!c.scroll.isNull()) f.widget->window().scrollBy(c.scroll.x(), c.scroll.y());
    QApplication::processEvents();
    ASSERT_TRUE(f.shared.selectTool(ToolId::SelectRectangle));
    f.drag({f.at(150.3f, 110.6f), f.at(170, 120), f.at(181.7f, 131.2f)});
    ASSERT_TRUE(f.doc().hasSelection());
    f.shared.setMainColor(0x0000FF);
    ASSERT_TRUE(f.doc().fillLayerColor(f.widget->window().flow(), f.doc().currentLayerIndex(), 0x0000FF,
                                       f.shared.toolStroke(), true, true));
    int32_t selected = 0;
    for (int32_t y = 0; y < f.doc().height(); ++y)
      for (int32_t x = 0; x < f.doc().width(); ++x) {
        const uint8_t m = selectionAt(f.doc(), x, y);
        selected += m != 0;
        const bool filled = (f.pixel(x, y) & 0xFFFFFFu) != 0xFFFFFFu;
        ASSERT_EQ(filled, m != 0) << "at " << x << "," << y << " selection " << int(m);
      }
    EXPECT_GT(selected, 0);
    // And the selection is the rectangle dragged.
    TRect bounds{};
    ASSERT_TRUE(f.doc().masks()->currentMask()->getBounds(bounds));
    EXPECT_NEAR(bounds.Left, 150, 2);
    EXPECT_NEAR(bounds.Top, 110, 2);
    EXPECT_NEAR(bounds.Right, 182, 2);
    EXPECT_NEAR(bounds.Bottom, 131, 2);
  }
}

TEST(ToolWidgets, ARectangleDraggedPastTheWindowKeepsItsStartWhereTheViewCannotScroll) {
  // At 300 %, scrolled to the far right and bottom: a drag held past the
  // window's corner asks to scroll, but the view is at its end. The start
  // of the selection stays on the image point pressed.
  WidgetFixture f;
  TDrawWindow& w = f.widget->window();
  w.setZoomCentred(3, 1);
  w.scrollBy(-100000, -100000);
  QApplication::processEvents();
  ASSERT_TRUE(f.shared.selectTool(ToolId::SelectRectangle));
  const QPoint start = f.at(396, 296);
  const TPoint pressed = w.clientToImageRounded(TPoint{start.x(), start.y()});
  ASSERT_GE(start.x(), 0);
  ASSERT_GE(start.y(), 0);
  const QPoint beyond(f.view()->width() + 40, f.view()->height() + 40);
  QTest::mousePress(f.view(), Qt::LeftButton, {}, start);
  f.mouse(QEvent::MouseMove, (start + beyond) / 2, Qt::NoButton, Qt::LeftButton);
  f.mouse(QEvent::MouseMove, beyond, Qt::NoButton, Qt::LeftButton);
  for (int i = 0; i < 5; ++i) w.autoScrollTick();
  QTest::mouseRelease(f.view(), Qt::LeftButton, {}, beyond);
  TRect bounds{};
  ASSERT_TRUE(f.doc().masks()->currentMask()->getBounds(bounds));
  EXPECT_NEAR(bounds.Left, pressed.X, 1);
  EXPECT_NEAR(bounds.Top, pressed.Y, 1);
  EXPECT_EQ(bounds.Right, f.doc().width());
  EXPECT_EQ(bounds.Bottom, f.doc().height());
}

TEST(ToolWidgets, InsertFillsTheSelectionWithTheMainColourAndWithShiftTheSecond) {
  struct Case {
    Qt::KeyboardModifiers keys;
    uint32_t colour;
  };
  for (const Case& c : {Case{Qt::NoModifier, 0x0000FFu}, Case{Qt::ShiftModifier, 0x00FF00u}}) {
    WidgetFixture f;
    f.shared.setMainColor(0x0000FF);
    f.shared.setSecondColor(0x00FF00);
    ASSERT_TRUE(f.shared.selectTool(ToolId::SelectRectangle));
    f.drag({f.at(100, 100), f.at(140, 130), f.at(160, 150)});
    const uint32_t before = f.store().committedCount();
    QTest::keyClick(f.widget.get(), Qt::Key_Insert, c.keys);
    EXPECT_EQ(f.store().committedCount(), before + 1);
    EXPECT_EQ(f.pixel(130, 120) & 0xFFFFFFu, c.colour);
    EXPECT_EQ(f.pixel(170, 120) & 0xFFFFFFu, 0xFFFFFFu);
    ASSERT_TRUE(f.widget->undo());
    EXPECT_EQ(f.pixel(130, 120) & 0xFFFFFFu, 0xFFFFFFu);
  }
}

TEST(ToolWidgets, TheGradientLineWithTheExtensionKeySetsOnlyThePoints) {
  // Alt is the extension key in the first shortcut mode, held when the line
  // is released (Alt at the press picks a colour instead): the line sets
  // the document's gradient points and paints nothing.
  WidgetFixture f;
  const std::vector<uint32_t> blank = f.layerPixels();
  ASSERT_TRUE(f.shared.selectTool(ToolId::Gradation));
  QTest::mousePress(f.view(), Qt::LeftButton, {}, f.at(50, 60));
  f.mouse(QEvent::MouseMove, f.at(150, 60), Qt::NoButton, Qt::LeftButton);
  f.mouse(QEvent::MouseMove, f.at(250, 60), Qt::NoButton, Qt::LeftButton);
  QTest::keyPress(f.widget.get(), Qt::Key_Alt, Qt::AltModifier);
  QTest::mouseRelease(f.view(), Qt::LeftButton, Qt::AltModifier, f.at(250, 60));
  QTest::keyRelease(f.widget.get(), Qt::Key_Alt);
  EXPECT_EQ(f.layerPixels(), blank);
  SFixPoint p0{}, p1{};
  f.doc().getGradientPoints(p0, p1);
  EXPECT_NEAR(p0.X / 65536.0, 50, 1);
  EXPECT_NEAR(p1.X / 65536.0, 250, 1);
  // Without it the same line paints the layer.
  f.drag({f.at(50, 60), f.at(150, 60), f.at(250, 60)});
  EXPECT_NE(f.layerPixels(), blank);
}

TEST(ToolWidgets, ACropFitsThePictureToTheWindowWhenThePreferenceAsks) {
  // AutoSizeAdjust: 1 fits after every change of size, 7 (the default) only
  // while replaying.
  for (const int32_t adjust : {1, 7}) {
    WidgetFixture f;
    f.shared.prefs.autoSizeAdjust = adjust;
    TDrawWindow& w = f.widget->window();
    w.setZoomCentred(1, 1);
    ASSERT_TRUE(f.shared.selectTool(ToolId::Crop));
    f.drag({f.at(100, 100), f.at(120, 110), f.at(140, 120)});
    ASSERT_EQ(f.doc().width(), 40);
    const SRatio fit = fitRatio(SSize{40, 20}, w.clientSize(), 0.0f, 1.0f, true);
    if (adjust == 1)
      EXPECT_FLOAT_EQ(f.doc().zoomValue(), std::min(16.0f, static_cast<float>(fit.Num) / static_cast<float>(fit.Den)));
    else
      EXPECT_FLOAT_EQ(f.doc().zoomValue(), 1.0f);
  }
}

TEST(ToolWidgets, AFilledEllipseByDragUndoesExactly) {
  WidgetFixture f;
  const std::vector<uint32_t> blank = f.layerPixels();
  f.shared.setMainColor(0xFF0000);
  ASSERT_TRUE(f.shared.selectTool(ToolId::FillEllipse));
  const uint32_t before = f.store().committedCount();
  f.drag({f.at(100, 80), f.at(200, 140), f.at(300, 180)});
  EXPECT_EQ(f.store().committedCount(), before + 1);
  EXPECT_EQ(f.pixel(200, 130) & 0xFFFFFFu, 0xFF0000u);
  EXPECT_EQ(f.pixel(104, 84) & 0xFFFFFFu, 0xFFFFFFu);
  ASSERT_TRUE(f.widget->undo());
  EXPECT_EQ(f.layerPixels(), blank);
}

TEST(ToolWidgets, ALayerMovesByDragAndByCursorKeysAndUndoesExactly) {
  WidgetFixture f;
  CLayerData* layer = f.doc().currentLayer();
  EXPECT_TRUE(layer->image->setPixel(100 + layer->offsetX, 100 + layer->offsetY, 0xFF00FF00u));
  const std::vector<uint32_t> start = f.layerPixels();
  ASSERT_TRUE(f.shared.selectTool(ToolId::LayerMove));
  const uint32_t before = f.store().committedCount();
  f.drag({f.at(50, 50), f.at(70, 60), f.at(90, 70)});
  EXPECT_EQ(f.store().committedCount(), before + 1);
  EXPECT_EQ(f.pixel(140, 120), 0xFF00FF00u);
  ASSERT_TRUE(f.widget->undo());
  EXPECT_EQ(f.layerPixels(), start);

  const uint32_t afterUndo = f.store().committedCount();
  f.widget->setFocus();
  for (int i = 0; i < 3; ++i) QTest::keyClick(f.widget.get(), Qt::Key_Down);
  QTest::keyClick(f.widget.get(), Qt::Key_Return);
  EXPECT_EQ(f.store().committedCount(), afterUndo + 1);
  EXPECT_EQ(f.pixel(100, 103), 0xFF00FF00u);
  EXPECT_EQ(f.shared.currentTool(), ToolId::LayerMove);
  ASSERT_TRUE(f.widget->undo());
  EXPECT_EQ(f.layerPixels(), start);
}

// The other drag and shape tools, each dragged with the real mouse path:
// one recorded step whose result shows in the pixels, the selection or the
// canvas, and that undoes.
TEST(ToolWidgets, EveryDragToolMakesOneStepThatUndoes) {
  struct Case {
    const char* what;
    ToolId tool;
    std::vector<std::pair<float, float>> path;  // image points
    std::function<bool(WidgetFixture&)> done;
  };
  const std::vector<Case> cases = {
      {"gradient", ToolId::Gradation, {{20, 20}, {200, 20}},
       [](WidgetFixture& f) { return f.pixel(100, 150) != 0xFFFFFFFFu; }},
      {"crop", ToolId::Crop, {{50, 40}, {250, 200}},
       [](WidgetFixture& f) { return f.doc().width() == 200 && f.doc().height() == 160; }},
      {"ellipse selection", ToolId::SelectEllipse, {{100, 100}, {200, 180}},
       [](WidgetFixture& f) { return selectionAt(f.doc(), 150, 140) == 255 && selectionAt(f.doc(), 102, 102) == 0; }},
      {"lasso", ToolId::SelectFreehand, {{50, 50}, {250, 60}, {150, 250}},
       [](WidgetFixture& f) { return selectionAt(f.doc(), 150, 100) == 255 && selectionAt(f.doc(), 60, 200) == 0; }},
      {"filled rectangle", ToolId::FillRectangle, {{60, 60}, {160, 120}},
       [](WidgetFixture& f) { return (f.pixel(100, 90) & 0xFFFFFFu) == 0xFF0000u && f.pixel(200, 90) == 0xFFFFFFFFu; }},
      {"filled freehand", ToolId::FillFreehand, {{50, 50}, {250, 60}, {150, 250}},
       [](WidgetFixture& f) { return (f.pixel(150, 100) & 0xFFFFFFu) == 0xFF0000u && f.pixel(60, 200) == 0xFFFFFFFFu; }},
      {"brush line", ToolId::BrushLine, {{40, 200}, {300, 200}},
       [](WidgetFixture& f) { return f.pixel(170, 200) != 0xFFFFFFFFu && f.pixel(170, 230) == 0xFFFFFFFFu; }},
  };
  for (const Case& c : cases) {
    WidgetFixture f;
    f.shared.setMainColor(0xFF0000);
    const std::vector<uint32_t> blank = f.layerPixels();
    ASSERT_TRUE(f.shared.selectTool(c.tool)) << c.what;
    const uint32_t before = f.store().committedCount();
    std::vector<QPoint> path;
    for (const auto& [x, y] : c.path) path.push_back(f.at(x, y));
    switch (path.size()) {
      case 2:
        f.drag({path[0], path[1]});
        break;
      default:
        f.drag({path[0], path[1], path[2]});
        break;
    }
    EXPECT_EQ(f.store().committedCount(), before + 1) << c.what;
    EXPECT_TRUE(c.done(f)) << c.what;
    ASSERT_TRUE(f.widget->undo()) << c.what;
    EXPECT_EQ(f.doc().width(), 400) << c.what;
    EXPECT_FALSE(f.doc().hasSelection()) << c.what;
    EXPECT_EQ(f.layerPixels(), blank) << c.what;
  }
}

}  // namespace
}  // namespace pg
