#include "ui/qt/qt_appearance.h"

#include <gtest/gtest.h>

#include <QFontMetrics>
#include <QPainter>
#include <QWidget>
#include <QGuiApplication>
#include <QScreen>

#include "platform/fonts.h"
#include "test_support/qt_app.h"
#include "ui/glyph_manager.h"
#include "ui/text_flags.h"

namespace pg {
namespace {

TEST(QtAppearance, ColourTableFromThePalette) {
  QPalette p;
  p.setColor(QPalette::Active, QPalette::Button, QColor(1, 2, 3));
  p.setColor(QPalette::Active, QPalette::Light, QColor(4, 5, 6));
  p.setColor(QPalette::Active, QPalette::Dark, QColor(7, 8, 9));
  p.setColor(QPalette::Disabled, QPalette::Text, QColor(10, 11, 12));
  p.setColor(QPalette::Active, QPalette::Highlight, QColor(13, 14, 15));
  p.setColor(QPalette::Active, QPalette::Base, QColor(16, 17, 18));
  p.setColor(QPalette::Active, QPalette::WindowText, QColor(19, 20, 21, 100));
  const TUiSysColors c = loadSystemColors(p);
  EXPECT_EQ(c.btnFace, 0xFF010203u);
  EXPECT_EQ(c.btnHighlight, 0xFF040506u);
  EXPECT_EQ(c.btnShadow, 0xFF070809u);
  EXPECT_EQ(c.grayText, 0xFF0A0B0Cu);
  EXPECT_EQ(c.highlight, 0xFF0D0E0Fu);
  EXPECT_EQ(c.window, 0xFF101112u);
  EXPECT_EQ(c.windowText, 0xFF131415u);  // always opaque
  EXPECT_EQ(c.clearFace, 0x00010203u);
  EXPECT_EQ(c.softHighlight, 0x800D0E0Fu);
}

TEST(QtAppearance, ManagerMadeAfterTheApplication) {
  testing::ensureQtApp();
  resetAppearanceManager();
  TAppearanceManager& m = createQtAppearanceManager();
  EXPECT_EQ(appearanceManager(), &m);
  EXPECT_EQ(m.colors().btnFace, loadSystemColors(QGuiApplication::palette()).btnFace);
  EXPECT_TRUE(m.glyph(dgPlus, gsNone).isValid());
  resetAppearanceManager();
}

TEST(QtAppearance, UiFontTakesAnInstalledFace) {
  testing::ensureQtApp();
  EXPECT_FALSE(fontInstalled("No Such Face Anywhere", kAnsiCharSet));
  QFont font;
  const bool found = applyUiFont(font, kShiftJisCharSet);
  if (!found) GTEST_SKIP() << "no face of the UI font list is installed";
  EXPECT_TRUE(fontInstalled(font.family().toStdString(), kShiftJisCharSet));
  EXPECT_TRUE(font.pixelSize() == 11 || font.pixelSize() == 12);
}

TEST(QtAppearance, CaptionTabMeasuresTextPlus21) {
  testing::ensureQtApp();
  resetAppearanceManager();
  TMemoryGraphic g(1, 1);
  TRect r{};
  EXPECT_FALSE(paintCaptionTab(g, "ABC", r, dtCalcRect | dtSingleLine, false));  // no manager yet
  createQtAppearanceManager();
  ASSERT_TRUE(paintCaptionTab(g, "ABC", r, dtCalcRect | dtSingleLine | dtNoPrefix, false));
  QFont font = QGuiApplication::font();
  (void)applyUiFont(font, kShiftJisCharSet);
  EXPECT_EQ(r.Left, 0);
  EXPECT_EQ(r.Top, 0);
  EXPECT_EQ(r.Bottom, 18);
  EXPECT_EQ(r.Right, QFontMetrics(font).boundingRect(QRect(0, 0, 1000, 100), Qt::TextSingleLine, "ABC").width() + 21);

  ASSERT_TRUE(g.setSize(r.Right, r.Bottom));
  TRect box = r;
  ASSERT_TRUE(paintCaptionTab(g, "ABC", box, dtSingleLine | dtNoPrefix | dtVCenter, true));
  EXPECT_EQ(g.getPixel(12, 0), appearanceManager()->colors().windowFrame);
  int text = 0;
  for (int32_t x = 11; x < r.Right - 9; ++x)
    for (int32_t y = 2; y < 18; ++y)
      if (g.getPixel(x, y) != appearanceManager()->colors().btnFace) ++text;
  EXPECT_GT(text, 5);
  resetAppearanceManager();
}

TEST(QtAppearance, MonitorOfAPoint) {
  testing::ensureQtApp();
  const TRect m = monitorRectNear(QPoint(-100000, -100000));
  ASSERT_FALSE(QGuiApplication::screens().isEmpty());
  const QRect g = QGuiApplication::screens().front()->geometry();
  EXPECT_EQ(m, (TRect{g.left(), g.top(), g.left() + g.width(), g.top() + g.height()}));
}

}  // namespace
}  // namespace pg

namespace pg {
namespace {

TEST(QtFrames, Frame3DCornersAndFill) {
  QImage img(5, 4, QImage::Format_ARGB32);
  img.fill(Qt::white);
  {
    QPainter p(&img);
    frame3D(p, QRect(0, 0, 5, 4), QColor(255, 0, 0), QColor(0, 0, 255), QColor(0, 255, 0));
  }
  const char* expected[] = {"RRRRB", "RGGGB", "RGGGB", "RBBBB"};
  for (int y = 0; y < 4; ++y)
    for (int x = 0; x < 5; ++x) {
      const QRgb px = img.pixel(x, y);
      const char c = px == qRgb(255, 0, 0) ? 'R' : px == qRgb(0, 0, 255) ? 'B' : px == qRgb(0, 255, 0) ? 'G' : '?';
      EXPECT_EQ(c, expected[y][x]) << x << "," << y;
    }
}

TEST(QtFrames, ManagersInOrderAndWindowServices) {
  testing::ensureQtApp();
  createQtUiManagers();
  ASSERT_NE(appearanceManager(), nullptr);
  ASSERT_NE(glyphManager(), nullptr);
  resetUiManagers();
  EXPECT_EQ(glyphManager(), nullptr);
  EXPECT_EQ(appearanceManager(), nullptr);
  QWidget hidden;
  int32_t w = -1, h = -1;
  EXPECT_FALSE(windowFrameExtent(hidden, w, h));
}

}  // namespace
}  // namespace pg
