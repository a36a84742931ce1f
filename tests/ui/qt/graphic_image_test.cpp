#include "ui/qt/graphic_image.h"

#include <gtest/gtest.h>

#include <QPainter>
#include <QPixmap>
#include <vector>

#include "test_support/qt_app.h"
#include "ui/qt/graphic_widget.h"

namespace pg {
namespace {

TEST(GraphicImage, SharesTheGraphicsBytes) {
  TMemoryGraphic g(5, 3, 0x80402010u);
  QImage view = graphicImage(g);
  ASSERT_FALSE(view.isNull());
  EXPECT_EQ(view.format(), QImage::Format_ARGB32);
  EXPECT_EQ(view.constBits(), reinterpret_cast<const uchar*>(g.pixels()));
  EXPECT_EQ(view.pixel(4, 2), 0x80402010u);  // QRgb is 0xAARRGGBB, like the UI colour
  g.setPixel(1, 1, 0xFF112233u);
  EXPECT_EQ(view.pixel(1, 1), 0xFF112233u);
  view.setPixel(2, 0, 0x01020304u);
  EXPECT_EQ(g.getPixel(2, 0), 0x01020304u);
  EXPECT_EQ(graphicImageConst(g).constBits(), reinterpret_cast<const uchar*>(g.pixels()));
  TMemoryGraphic none;
  EXPECT_TRUE(graphicImage(none).isNull());
}

TEST(GraphicImage, BlitIgnoresAlphaAndBlendUsesIt) {
  TMemoryGraphic g(2, 1);
  g.setPixel(0, 0, 0x00FF0000u);  // red with alpha 0
  g.setPixel(1, 0, 0x800000FFu);  // blue at half
  QImage target(4, 2, QImage::Format_ARGB32);
  target.fill(0xFF00FF00u);
  {
    QPainter p(&target);
    EXPECT_TRUE(blitToPainter(p, 1, 0, 2, 1, g, 0, 0));
    EXPECT_TRUE(blendToPainter(p, 1, 1, 2, 1, g, 0, 0));
    EXPECT_FALSE(blitToPainter(p, 0, 0, 2, 1, g, 2, 0));
  }
  EXPECT_EQ(target.pixel(0, 0), 0xFF00FF00u);
  EXPECT_EQ(target.pixel(1, 0), 0xFFFF0000u);
  EXPECT_EQ(target.pixel(2, 0), 0xFF0000FFu);
  EXPECT_EQ(target.pixel(1, 1), 0xFF00FF00u);  // alpha 0 shows the green below
  const QRgb half = target.pixel(2, 1);
  EXPECT_NEAR(qBlue(half), 128, 2);
  EXPECT_NEAR(qGreen(half), 127, 2);
}

TEST(GraphicImage, TextMeasuresWithoutDrawingAndDrawsOpaque) {
  testing::ensureQtApp();
  TMemoryGraphic g(60, 20, 0x00FFFFFFu);
  QFont font;
  font.setPixelSize(11);
  const std::vector<uint32_t> before(g.pixels(), g.pixels() + 60 * 20);
  TRect r{0, 0, 1, 1};
  ASSERT_TRUE(drawText(g, "ABC", r, font, uiOpaqueBlack, dtCalcRect | dtSingleLine));
  EXPECT_EQ(std::vector<uint32_t>(g.pixels(), g.pixels() + 60 * 20), before);
  EXPECT_EQ(r.Right, QFontMetrics(font).boundingRect(QRect(0, 0, 1000, 100), Qt::TextSingleLine, "ABC").width());
  EXPECT_GE(r.Bottom, QFontMetrics(font).height());

  TRect box{2, 2, 40, 18};
  ASSERT_TRUE(drawText(g, "ABC", box, font, uiOpaqueBlack, dtSingleLine | dtVCenter));
  EXPECT_EQ(box, (TRect{2, 2, 40, 18}));
  int dark = 0;
  for (int32_t y = 0; y < 20; ++y)
    for (int32_t x = 0; x < 60; ++x) {
      const uint32_t p = g.getPixel(x, y);
      const bool inside = x >= 2 && x < 40 && y >= 2 && y < 18;
      EXPECT_EQ(uiAlpha(p), inside ? 255 : 0) << x << "," << y;
      if (uiRed(p) < 128) ++dark;
    }
  EXPECT_GT(dark, 10);
}

TEST(GraphicImage, TextFlagsMapToQt) {
  EXPECT_EQ(qtTextFlags(dtCenter | dtVCenter | dtSingleLine | dtNoPrefix),
            int(Qt::AlignHCenter | Qt::AlignVCenter | Qt::TextSingleLine));
  EXPECT_EQ(qtTextFlags(dtRight | dtBottom | dtWordBreak),
            int(Qt::AlignRight | Qt::AlignBottom | Qt::TextWordWrap | Qt::TextShowMnemonic));
  // Neither axis flag gives the near sides; the middle flag wins over the far one.
  EXPECT_EQ(qtTextFlags(dtNoPrefix), int(Qt::AlignLeft | Qt::AlignTop));
  EXPECT_EQ(qtTextFlags(dtCenter | dtRight | dtVCenter | dtBottom | dtNoPrefix),
            int(Qt::AlignHCenter | Qt::AlignVCenter));
}

TEST(GraphicWidget, ShowsTheGraphicsPixels) {
  testing::ensureQtApp();
  TMemoryGraphic g(8, 6, 0x00123456u);  // alpha 0 everywhere: shown as stored
  g.fillRect({2, 2, 5, 4}, 0xFFFF0000u, copyChannel, copyChannel);
  TGraphicWidget w;
  w.setGraphic(&g);
  w.resize(w.sizeHint());
  EXPECT_EQ(w.size(), QSize(8, 6));
  const QImage shot = w.grab().toImage().convertToFormat(QImage::Format_ARGB32);
  ASSERT_EQ(shot.size(), QSize(8, 6));
  EXPECT_EQ(shot.pixel(0, 0), 0xFF123456u);
  EXPECT_EQ(shot.pixel(3, 3), 0xFFFF0000u);
  EXPECT_EQ(shot.pixel(5, 3), 0xFF123456u);
}

}  // namespace
}  // namespace pg
