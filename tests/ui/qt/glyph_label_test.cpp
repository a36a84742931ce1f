#include "ui/qt/glyph_label.h"

#include <gtest/gtest.h>

#include <QTest>
#include <vector>

#include "test_support/qt_app.h"
#include "ui/glyph_manager.h"

namespace pg {
namespace {

class GlyphLabelTest : public ::testing::Test {
 protected:
  void SetUp() override {
    testing::ensureQtApp();
    colors = classicUiSysColors();
    createGlyphManager(colors);
  }
  void TearDown() override { resetGlyphManager(); }
  TUiSysColors colors;
};

// The number of pixels of the grabbed label that differ from its background.
int inkedPixels(QWidget& w) {
  const QImage shot = w.grab().toImage().convertToFormat(QImage::Format_ARGB32);
  const QRgb bg = shot.pixel(0, 0);
  int n = 0;
  for (int y = 0; y < shot.height(); ++y)
    for (int x = 0; x < shot.width(); ++x)
      if (shot.pixel(x, y) != bg) ++n;
  return n;
}

TEST_F(GlyphLabelTest, PaintsItsGlyphCentred) {
  TPgGlyphLabel label;
  label.resize(40, 30);
  label.setGlyphType(tgZoom);
  ASSERT_NE(label.image(), nullptr);
  EXPECT_EQ(label.image(), &glyphManager()->glyph(tgZoom, kGlyphNormal));
  const QImage shot = label.grab().toImage().convertToFormat(QImage::Format_ARGB32);
  const QRgb bg = shot.pixel(0, 0);
  int inside = 0, outside = 0;
  for (int y = 0; y < 30; ++y)
    for (int x = 0; x < 40; ++x) {
      if (shot.pixel(x, y) == bg) continue;
      (x >= 8 && x < 32 && y >= 3 && y < 27 ? inside : outside)++;
    }
  EXPECT_GT(inside, 40);
  EXPECT_EQ(outside, 0);
  // The lens handle's ink: the glyph's own pixel (20, 20) lands at (28, 23).
  const uint32_t ink = glyphManager()->glyph(tgZoom, kGlyphNormal).getPixel(20, 20);
  ASSERT_EQ(uiAlpha(ink), 255);
  EXPECT_EQ(shot.pixel(28, 23) & 0xFFFFFFu, ink & 0xFFFFFFu);
}

TEST_F(GlyphLabelTest, DisabledShowsTheDisabledLookAndStillPaints) {
  TPgGlyphLabel label;
  label.resize(24, 24);
  label.setGlyphType(tgPlay);
  label.setEnabled(false);
  EXPECT_EQ(label.image(), &glyphManager()->glyph(tgPlay, kGlyphDisabled));
  EXPECT_GT(inkedPixels(label), 40);
  const QImage shot = label.grab().toImage().convertToFormat(QImage::Format_ARGB32);
  EXPECT_EQ(shot.pixel(10, 12) & 0xFFFFFFu, colors.grayText & 0xFFFFFFu);
  label.setEnabled(true);
  EXPECT_EQ(label.image(), &glyphManager()->glyph(tgPlay, kGlyphNormal));
}

TEST_F(GlyphLabelTest, DragReportsStartPlusDistanceAlongItsAxis) {
  // 250 pixels along the axis is 2.5 more; movement across it counts nothing.
  struct Case {
    Qt::Orientation axis;
    QPoint end;
  };
  for (const Case& c : {Case{Qt::Vertical, QPoint(200, 260)}, Case{Qt::Horizontal, QPoint(262, 200)}}) {
    SCOPED_TRACE(c.axis == Qt::Vertical ? "vertical" : "horizontal");
    TPgGlyphLabel label;
    label.resize(24, 24);
    label.setDragAxis(c.axis);
    std::vector<float> reported;
    int begun = 0;
    label.OnBeginDrag = [&](TPgGlyphLabel* sender, float& start) {
      EXPECT_EQ(sender, &label);
      ++begun;
      start = 0.5f;
    };
    label.OnDrag = [&](TPgGlyphLabel*, float v) { reported.push_back(v); };
    QTest::mousePress(&label, Qt::LeftButton, {}, QPoint(12, 10));
    QMouseEvent move(QEvent::MouseMove, QPointF(c.end), label.mapToGlobal(QPointF(c.end)), Qt::NoButton,
                     Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(&label, &move);
    QTest::mouseRelease(&label, Qt::LeftButton, {}, c.end);
    EXPECT_EQ(begun, 1);
    ASSERT_EQ(reported.size(), 2u);
    EXPECT_FLOAT_EQ(reported[0], 3.0f);
    EXPECT_FLOAT_EQ(reported[1], 3.0f);
    EXPECT_FALSE(label.dragging());
  }
}

TEST_F(GlyphLabelTest, ReadOnlyIgnoresTheMouseAndDoubleClickReports) {
  TPgGlyphLabel label;
  label.resize(24, 24);
  int begun = 0, doubles = 0;
  label.OnBeginDrag = [&](TPgGlyphLabel*, float&) { ++begun; };
  label.OnDblClick = [&](TPgGlyphLabel*) { ++doubles; };
  label.setReadOnly(true);
  EXPECT_TRUE(label.testAttribute(Qt::WA_TransparentForMouseEvents));
  QTest::mousePress(&label, Qt::LeftButton, {}, QPoint(5, 5));
  QTest::mouseRelease(&label, Qt::LeftButton, {}, QPoint(5, 5));
  EXPECT_EQ(begun, 0);
  label.setReadOnly(false);
  QTest::mouseDClick(&label, Qt::LeftButton, {}, QPoint(5, 5));
  EXPECT_EQ(doubles, 1);
  EXPECT_FALSE(label.dragging());
}

TEST(GlyphLabelNoManager, PaintsNothingWithoutAManager) {
  testing::ensureQtApp();
  resetGlyphManager();
  TPgGlyphLabel label;
  label.resize(24, 24);
  EXPECT_EQ(label.image(), nullptr);
  EXPECT_EQ(inkedPixels(label), 0);
}

}  // namespace
}  // namespace pg
