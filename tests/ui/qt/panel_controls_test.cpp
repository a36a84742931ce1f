#include "ui/qt/panel_controls.h"

#include <gtest/gtest.h>

#include <QTest>

#include "test_support/qt_app.h"
#include "ui/qt/qt_appearance.h"

namespace pg {
namespace {

struct PanelControlsTest : ::testing::Test {
  PanelControlsTest() {
    testing::ensureQtApp();
    createQtUiManagers();
  }
};

TEST_F(PanelControlsTest, PressureGammaDragsAndResets) {
  TPressureGamma pg;
  pg.resize(48, 48);
  pg.show();
  int changes = 0;
  pg.OnChange = [&] { ++changes; };
  QTest::mousePress(&pg, Qt::LeftButton, {}, QPoint(20, 20));
  QTest::mouseMove(&pg, QPoint(22, 20));  // +2 px at 100 %: 5 % each
  EXPECT_FLOAT_EQ(pg.gamma(), 1.10f);
  QTest::mouseMove(&pg, QPoint(22, 10));  // -10 px crosses 100 %: stops there
  EXPECT_FLOAT_EQ(pg.gamma(), 1.0f);
  QTest::mouseRelease(&pg, Qt::LeftButton, {}, QPoint(22, 10));
  QTest::mouseMove(&pg, QPoint(40, 40));
  EXPECT_FLOAT_EQ(pg.gamma(), 1.0f) << "no drag without a press";
  pg.setGamma(2.5f);
  QTest::mouseDClick(&pg, Qt::LeftButton, {}, QPoint(10, 10));
  EXPECT_FLOAT_EQ(pg.gamma(), 1.0f);
  pg.setGamma(2.5f);
  pg.setReadOnly(true);
  QTest::mouseDClick(&pg, Qt::LeftButton, {}, QPoint(10, 10));
  EXPECT_FLOAT_EQ(pg.gamma(), 2.5f) << "read-only ignores the pointer";
  EXPECT_EQ(changes, 5);
}

TEST_F(PanelControlsTest, GrabberDragsAndButtons) {
  TGrabberControl g;
  g.show();
  int enters = 0, exits = 0;
  g.OnGrabberEnter = [&] { ++enters; };
  g.OnGrabberExit = [&] { ++exits; };
  // On the ring just left of straight below the centre (89.4 degrees): the
  // 15-degree step rounds (a + 180) / 15 + 0.5, so it lands on 90.
  QTest::mousePress(&g, Qt::LeftButton, Qt::ShiftModifier, QPoint(65, 110));
  EXPECT_FLOAT_EQ(g.rotation(), 90.0f);
  QTest::mouseMove(&g, QPoint(110, 70));
  QTest::mouseRelease(&g, Qt::LeftButton, Qt::ShiftModifier, QPoint(110, 70));
  EXPECT_EQ(enters, 1);
  EXPECT_EQ(exits, 1);
  // A button acts on release, wherever the pointer is then.
  QTest::mousePress(&g, Qt::LeftButton, {}, QPoint(5, 65));
  QTest::mouseRelease(&g, Qt::LeftButton, {}, QPoint(64, 64));
  EXPECT_FLOAT_EQ(g.rotation(), -180.0f);
  QTest::mouseClick(&g, Qt::LeftButton, {}, QPoint(122, 138));
  EXPECT_FLOAT_EQ(g.scale(), 1.5f);
  QTest::mousePress(&g, Qt::LeftButton, {}, QPoint(20, 138));
  QTest::mouseRelease(&g, Qt::LeftButton, {}, QPoint(20, 138));
  EXPECT_FLOAT_EQ(g.scale(), 1.0f / 16.0f);
}

}  // namespace
}  // namespace pg
