#include "ui/qt/gradient_edit.h"

#include <gtest/gtest.h>

#include <QTest>

#include "test_support/qt_app.h"
#include "ui/qt/qt_appearance.h"

namespace pg {
namespace {

class GradientEditTest : public ::testing::Test {
 protected:
  GradientEditTest() {
    testing::ensureQtApp();
    createQtUiManagers();
    edit = std::make_unique<TGradientEdit>();
    edit->resize(215, 20);  // inner bar width 200
    edit->show();
  }
  std::unique_ptr<TGradientEdit> edit;
};

TEST_F(GradientEditTest, ClickBetweenMarkersAddsTheColourTheBarShows) {
  int changes = 0;
  edit->OnChange = [&] { ++changes; };
  const int x = 7 + 100;
  // The bar pixel under the click, before it.
  const uint32_t shown = edit->face().getPixel(x + 1, 1);  // bar at 6, its inside at 1
  QTest::mouseClick(edit.get(), Qt::LeftButton, {}, QPoint(x, 10));
  ASSERT_EQ(edit->stops().count(), 3);
  EXPECT_EQ(edit->stops().selectIndex(), 1);
  const uint32_t added = colorRecToRgba(edit->stops().posAt(1)->Color, 255);
  for (int shift : {0, 8, 16}) EXPECT_NEAR(int((added >> shift) & 0xFF), int((shown >> shift) & 0xFF), 2);
  EXPECT_EQ(changes, 2);  // press and release
  // A click within 8 pixels of the marker selects it and adds nothing.
  QTest::mouseClick(edit.get(), Qt::LeftButton, {}, QPoint(x + 5, 10));
  EXPECT_EQ(edit->stops().count(), 3);
  QTest::mouseClick(edit.get(), Qt::LeftButton, {}, QPoint(8, 10));
  EXPECT_EQ(edit->stops().selectIndex(), 0);
}

TEST_F(GradientEditTest, DraggingOutDeletesInnerStopsOnly) {
  ASSERT_GE(edit->stops().addStopAt(0.5f, false), 0);
  ASSERT_GE(edit->stops().addStopAt(0.75f, false), 0);
  edit->stops().unionRight(1);
  edit->changed();
  const int x = 7 + gradientMarkerX(200, 0.75f);
  QTest::mousePress(edit.get(), Qt::LeftButton, {}, QPoint(x, 10));
  EXPECT_EQ(edit->stops().selectIndex(), 1);
  QTest::mouseMove(edit.get(), QPoint(x, 60));
  QTest::mouseRelease(edit.get(), Qt::LeftButton, {}, QPoint(x, 60));
  EXPECT_EQ(edit->stops().count(), 2) << "the stop goes with its split partner";
  QTest::mousePress(edit.get(), Qt::LeftButton, {}, QPoint(7, 10));
  QTest::mouseMove(edit.get(), QPoint(7, 60));
  QTest::mouseRelease(edit.get(), Qt::LeftButton, {}, QPoint(7, 60));
  EXPECT_EQ(edit->stops().count(), 2) << "an end stop stays";
}

TEST_F(GradientEditTest, AClickOnTheBarWithEveryStopTakenDragsNothing) {
  // Every stop but the ends stacked at 0.25, the last one selected; 0.75 is far from any marker.
  while (edit->stops().count() < edit->stops().capacity()) ASSERT_GE(edit->stops().addStopAt(0.25f, true), 0);
  edit->changed();
  const int32_t selected = edit->stops().selectIndex();
  const float position = edit->stops().posAt(selected)->Position;
  const int x = 7 + gradientMarkerX(200, 0.75f);
  QTest::mousePress(edit.get(), Qt::LeftButton, {}, QPoint(x, 10));
  QTest::mouseMove(edit.get(), QPoint(x, 60));
  QTest::mouseRelease(edit.get(), Qt::LeftButton, {}, QPoint(x, 60));
  EXPECT_EQ(edit->stops().count(), edit->stops().capacity()) << "the selected stop was dragged out and deleted";
  EXPECT_EQ(edit->stops().selectIndex(), selected);
  EXPECT_FLOAT_EQ(edit->stops().posAt(selected)->Position, position);
}

TEST_F(GradientEditTest, DraggingMovesSplitPairsAndTheResultStaysOpaque) {
  // A split pair (joined at 0.6) and a free stop at 0.8.
  ASSERT_GE(edit->stops().addStopAt(0.5f, false), 0);
  ASSERT_GE(edit->stops().addStopAt(0.6f, false), 0);
  edit->stops().unionRight(1);
  ASSERT_GE(edit->stops().addStopAt(0.8f, false), 0);
  edit->changed();
  ASSERT_EQ(edit->stops().count(), 5);
  ASSERT_EQ(edit->stops().posAt(1)->Split, 1);
  int changes = 0;
  edit->OnChange = [&] { ++changes; };
  ASSERT_FLOAT_EQ(edit->stops().posAt(1)->Position, edit->stops().posAt(2)->Position);
  const int x = 7 + gradientMarkerX(200, edit->stops().posAt(1)->Position);
  QTest::mousePress(edit.get(), Qt::LeftButton, {}, QPoint(x, 10));
  QTest::mouseMove(edit.get(), QPoint(x - 60, 10));
  QTest::mouseRelease(edit.get(), Qt::LeftButton, {}, QPoint(x - 60, 10));
  EXPECT_EQ(edit->stops().count(), 5);
  const float moved = edit->stops().posAt(1)->Position;
  EXPECT_NEAR(moved, 0.3f, 0.01f);
  EXPECT_FLOAT_EQ(edit->stops().posAt(2)->Position, moved) << "the split partner moves along";
  // Dragged to the control's right edge it stops at its right neighbour.
  const int x2 = 7 + gradientMarkerX(200, 0.8f);
  QTest::mousePress(edit.get(), Qt::LeftButton, {}, QPoint(x2, 10));
  QTest::mouseMove(edit.get(), QPoint(214, 10));
  QTest::mouseRelease(edit.get(), Qt::LeftButton, {}, QPoint(214, 10));
  ASSERT_EQ(edit->stops().count(), 5);
  EXPECT_LE(edit->stops().posAt(3)->Position, 1.0f);
  EXPECT_GT(edit->stops().posAt(3)->Position, 0.95f);
  EXPECT_GT(changes, 0);
  // Reversed, the bar shows the mirror image, and the slots keep full opacity.
  const uint32_t leftBefore = edit->face().getPixel(8, 3), rightBefore = edit->face().getPixel(206, 3);
  edit->stops().reverse();
  edit->changed();
  EXPECT_EQ(edit->face().getPixel(8, 3), rightBefore);
  EXPECT_EQ(edit->face().getPixel(206, 3), leftBefore);
  EXPECT_EQ(edit->stops().posAt(2)->Split, 1) << "the split pair stays a pair";
  CColorSlotGroup group;
  ASSERT_TRUE(edit->stops().writeColorSlotGroup(group));
  for (int32_t i = 0; i <= group.lastIndex(); ++i) {
    const SColorSlot* slot = group.getSlot(i);
    ASSERT_NE(slot, nullptr);
    EXPECT_EQ(slot->Opacity, 255) << i;
  }
}

}  // namespace
}  // namespace pg
