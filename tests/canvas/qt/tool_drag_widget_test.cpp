// The drag and shape tools on a real window (offscreen): a rectangle
// selection, a filled ellipse and a layer move by drag and by the cursor
// keys, each one recorded step that undoes exactly; the rubber band shows
// while a shape is dragged.
#include "widget_fixture.h"
// (the fixture stays first: it orders the recorder's headers before Qt's)
#include <gtest/gtest.h>

#include <QImage>

#include "document/mask_data.h"

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
  layer->image->setPixel(100 + layer->offsetX, 100 + layer->offsetY, 0xFF00FF00u);
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

}  // namespace
}  // namespace pg
