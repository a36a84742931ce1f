#include "ui/qt/navigator.h"

#include <gtest/gtest.h>

#include <QTest>

#include "test_support/qt_app.h"
#include "ui/qt/qt_appearance.h"

namespace pg {
namespace {

struct NavigatorTest : ::testing::Test {
  NavigatorTest() {
    testing::ensureQtApp();
    createQtUiManagers();
  }
};

TEST_F(NavigatorTest, MovesTurnsAndResets) {
  TPreviewControl nav;
  nav.resize(104, 104);
  nav.show();
  EXPECT_EQ(nav.face().getPixel(50, 50), uiSysColors().btnFace) << "no document: a plain face";
  int thumbs = 0;
  nav.OnThumbnail = [&](TMemoryGraphic& g, int32_t w, int32_t h) {
    ++thumbs;
    EXPECT_EQ(g.width(), w);
    EXPECT_EQ(g.height(), h);
  };
  nav.setHasImage(true);
  nav.setImageSize(400, 200);
  nav.setViewSize(200, 100);
  EXPECT_GE(thumbs, 1);
  EXPECT_EQ(nav.innerWidth(), 100);
  QTest::mouseClick(&nav, Qt::LeftButton, {}, QPoint(2 + 25, 25 + 2 + 25));
  EXPECT_EQ(nav.centre(), (TPoint{100, 100}));
  nav.setRotation(1.0f);
  // A turning click that does not move resets the angle.
  QTest::mouseClick(&nav, Qt::LeftButton, Qt::AltModifier, QPoint(60, 50));
  EXPECT_EQ(nav.rotation(), 0.0f);
  // A right drag turns.
  QTest::mousePress(&nav, Qt::RightButton, {}, QPoint(90, 54));
  QMouseEvent move(QEvent::MouseMove, QPointF(52, 35), nav.mapToGlobal(QPointF(52, 35)), Qt::NoButton, Qt::RightButton,
                   Qt::NoModifier);
  QApplication::sendEvent(&nav, &move);
  QTest::mouseRelease(&nav, Qt::RightButton, {}, QPoint(52, 35));
  EXPECT_NE(nav.rotation(), 0.0f);
}

}  // namespace
}  // namespace pg
