#include "ui/qt/small_controls.h"

#include <gtest/gtest.h>

#include <QTest>

#include "test_support/qt_app.h"
#include "ui/qt/qt_appearance.h"

namespace pg {
namespace {

struct SmallControlsTest : ::testing::Test {
  SmallControlsTest() {
    testing::ensureQtApp();
    createQtUiManagers();
  }
};

TEST_F(SmallControlsTest, TabClicksPickTheTabOnTop) {
  TGraphicTabControl tabs;
  tabs.resize(300, 60);
  tabs.show();
  ASSERT_EQ(tabs.addTab("Layers"), 0);
  ASSERT_EQ(tabs.addTab("Brushes"), 1);
  ASSERT_EQ(tabs.addTab("Colours"), 2);
  int changes = 0;
  tabs.OnChange = [&] { ++changes; };
  // Tab 1 starts 9 pixels before tab 0 ends; with tab 0 active it lies on
  // top in the overlap.
  const int32_t overlapX = 4 + 30;  // inside tab 0 whatever its width
  QTest::mouseClick(&tabs, Qt::LeftButton, {}, QPoint(overlapX, 9));
  EXPECT_EQ(tabs.activeIndex(), 0);
  EXPECT_EQ(changes, 0);
  // The point where tab 1's image starts: find it in the hit image.
  int32_t x1 = -1;
  for (int32_t x = 0; x < 300 && x1 < 0; ++x)
    if (tabs.tabAt(QPoint(x, 9)) == 1) x1 = x;
  ASSERT_GT(x1, 0);
  QTest::mouseClick(&tabs, Qt::LeftButton, {}, QPoint(x1, 9));
  EXPECT_EQ(tabs.activeIndex(), 1);
  EXPECT_EQ(changes, 1);
  QTest::mouseClick(&tabs, Qt::LeftButton, {}, QPoint(100, 50));
  EXPECT_EQ(tabs.activeIndex(), 1) << "the body below the tabs changes nothing";
}

TEST_F(SmallControlsTest, PathLabelStar) {
  TPathLabel label;
  label.setModified(true);
  EXPECT_EQ(label.caption(), "*");
  label.setPath("/home/ink/brushes.pbr");
  EXPECT_EQ(label.caption(), "/home/ink/brushes.pbr*");
  label.setModified(false);
  EXPECT_EQ(label.caption(), "/home/ink/brushes.pbr");
}

}  // namespace
}  // namespace pg
