#include "ui/qt/item_pickers.h"

#include <gtest/gtest.h>

#include <QMenu>
#include <QTest>

#include <vector>

#include "test_support/qt_app.h"
#include "ui/qt/qt_appearance.h"

namespace pg {
namespace item_pickers_test {

// The application object must exist before the fixture's widgets.
struct QtAppFirst {
  QtAppFirst() {
    testing::ensureQtApp();
    createQtUiManagers();
  }
};

struct ItemPickersTest : ::testing::Test, private QtAppFirst {
  ItemPickersTest() {
    form.resize(200, 100);
    form.show();
  }
  QWidget form;
};

TEST_F(ItemPickersTest, GroupedButtonsAreNeverBothDown) {
  TItemButton a(&form), b(&form), other(&form);
  a.setGeometry(0, 0, 28, 28);
  b.setGeometry(30, 0, 28, 28);
  other.setGeometry(60, 0, 28, 28);
  for (TItemPicker* p : {&a, &b}) {
    p->setGroupIndex(1);
    p->show();
  }
  other.setGroupIndex(2);
  other.show();
  int clicks = 0;
  a.OnClick = [&] { ++clicks; };
  QTest::mouseClick(&a, Qt::LeftButton, {}, QPoint(5, 5));
  QTest::mouseClick(&other, Qt::LeftButton, {}, QPoint(5, 5));
  EXPECT_TRUE(a.isDown());
  QTest::mouseClick(&b, Qt::LeftButton, {}, QPoint(5, 5));
  EXPECT_TRUE(b.isDown());
  EXPECT_FALSE(a.isDown());
  EXPECT_TRUE(other.isDown()) << "another group is left alone";
  QTest::mouseClick(&b, Qt::LeftButton, {}, QPoint(5, 5));
  EXPECT_TRUE(b.isDown()) << "without allow-all-up a second press keeps it down";
  a.setAllowAllUp(true);
  EXPECT_TRUE(b.allowAllUp()) << "the group shares the setting";
  QTest::mouseClick(&b, Qt::LeftButton, {}, QPoint(5, 5));
  EXPECT_FALSE(b.isDown());
  EXPECT_EQ(clicks, 1);
  TItemButton loose(&form);
  loose.setDown(true);
  EXPECT_FALSE(loose.isDown()) << "an ungrouped button never stays down";
}

TEST_F(ItemPickersTest, ReadOnlyIgnoresPressesAndHover) {
  TItemButton a(&form);
  a.setGroupIndex(3);
  a.setStyle(kPickerSplit);
  a.resize(40, 24);
  a.show();
  a.setReadOnly(true);
  QTest::mouseMove(&a, QPoint(5, 5));
  QTest::mouseClick(&a, Qt::LeftButton, {}, QPoint(5, 5));
  EXPECT_FALSE(a.isDown());
  EXPECT_EQ(a.hoverBits(), 0);
  a.setReadOnly(false);
  QTest::mouseMove(&a, QPoint(36, 5));
  EXPECT_EQ(a.hoverBits(), kHoverArrow);
}

TEST_F(ItemPickersTest, MenusChangeOnlyOnAnotherItem) {
  TBlendModeDropDwon blend(&form);
  blend.show();
  int changes = 0, menus = 0;
  blend.OnChange = [&] { ++changes; };
  int pick = 1000;
  blend.RunMenu = [&](QMenu& m, QPoint) {
    ++menus;
    EXPECT_EQ(m.actions().size(), 22 + 5);
    return pick;
  };
  QTest::mouseClick(&blend, Qt::LeftButton, {}, QPoint(10, 10));
  EXPECT_EQ(menus, 1);
  EXPECT_EQ(changes, 0) << "the current item changes nothing";
  pick = 1005;
  QTest::mouseClick(&blend, Qt::LeftButton, {}, QPoint(10, 10));
  EXPECT_EQ(blend.blendMode(), 5u);
  EXPECT_EQ(changes, 1);
  TSubPaintDropDown sub(&form);
  sub.show();
  sub.RunMenu = [](QMenu& m, QPoint) {
    EXPECT_EQ(m.actions().size(), 6 + 2);
    return 1003;
  };
  QTest::mouseClick(&sub, Qt::LeftButton, {}, QPoint(10, 10));
  EXPECT_EQ(sub.kind(), 3u);
}

TEST_F(ItemPickersTest, GlyphButtonShowsItsMenuFromTheArrowPart) {
  TPgGlyphButton button(&form);
  button.setGeometry(10, 10, 40, 28);
  button.show();
  EXPECT_TRUE(button.roundedFrame());
  QMenu menu;
  menu.addAction("one");
  button.PopupMenu = &menu;
  int popups = 0, hooks = 0;
  QPoint shownAt;
  button.RunPopup = [&](QMenu&, QPoint at) {
    ++popups;
    shownAt = at;
  };
  button.OnContextPopup = [&] { ++hooks; };
  QTest::mouseClick(&button, Qt::LeftButton, {}, QPoint(35, 14));
  EXPECT_EQ(popups, 0) << "a plain button has no drop-down part";
  button.setStyle(kPickerSplit);
  QTest::mouseClick(&button, Qt::LeftButton, {}, QPoint(10, 14));
  EXPECT_EQ(popups, 0) << "the main part of a split button does not drop";
  QTest::mouseClick(&button, Qt::LeftButton, {}, QPoint(36, 14));
  EXPECT_EQ(popups, 1);
  EXPECT_EQ(hooks, 1);
  EXPECT_EQ(shownAt, button.mapToGlobal(QPoint(0, 28)));
  EXPECT_FALSE(button.dropped());
  // Another glyph draws another face.
  const TMemoryGraphic& f = button.face();
  std::vector<uint32_t> before(f.pixels(), f.pixels() + f.width() * f.height());
  button.setGlyphType(5);
  std::vector<uint32_t> after(f.pixels(), f.pixels() + f.width() * f.height());
  EXPECT_NE(before, after);
}

}  // namespace item_pickers_test
}  // namespace pg
