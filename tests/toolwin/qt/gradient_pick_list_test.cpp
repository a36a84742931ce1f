#include "toolwin/qt/gradient_pick_list.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QMenu>
#include <QTest>

#include "brush/gradient_mngr.h"
#include "test_support/qt_app.h"
#include "toolwin/item_list.h"
#include "toolwin/qt/item_list_view.h"

namespace pg {
namespace {

// A set of three gradients with the second current and its working copy
// edited (as the tool options edit it).
struct PickFixture {
  PickFixture() {
    testing::ensureQtApp();
    EXPECT_GE(set.add(CGradObj::CreateTwoColor(0x000000, "a", 0xFFFFFF)), 0);
    EXPECT_GE(set.add(CGradObj::CreateTwoColor(0x0000FF, "b", 0xFF0000)), 0);
    EXPECT_GE(set.add(CGradObj::CreateTwoColor(0x00FF00, "c", 0x00FFFF)), 0);
    set.select(1);
    SGradRepeat r;
    r.init();
    r.Count = 4;
    EXPECT_TRUE(set.setWorkRepeat(r, false));
  }
  void click(TGradientPickList& pick, int32_t i) {
    const TRect r = pick.list().getItemRect(i);
    QTest::mouseClick(pick.view(), Qt::LeftButton, Qt::NoModifier,
                      QPoint((r.Left + r.Right) / 2, (r.Top + r.Bottom) / 2));
  }
  CGradMngr set{false};
};

// A pick makes the gradient the set's current one while the list lives and
// tells the owner; when the list goes the set's own choice comes back, its
// edited working copy kept when nothing else was picked.
TEST(GradientPickList, PicksWhileItLivesAndGivesTheChoiceBack) {
  for (const bool pickAnother : {true, false}) {
    PickFixture f;
    int changes = 0;
    {
      TGradientPickList pick(f.set, [&] { ++changes; });
      pick.resize(240, 120);
      pick.show();
      EXPECT_EQ(pick.list().getActiveIndex(), 1);
      if (pickAnother) {
        f.click(pick, 2);
        EXPECT_EQ(f.set.currentIndex(), 2);
        EXPECT_EQ(f.set.work()->Stops.name(), "c");
        EXPECT_EQ(changes, 1);
      }
    }
    EXPECT_EQ(f.set.currentIndex(), 1) << pickAnother;
    ASSERT_NE(f.set.work(), nullptr);
    EXPECT_EQ(f.set.work()->Stops.name(), "b");
    EXPECT_EQ(f.set.work()->Repeat.Count, pickAnother ? 1 : 4) << "an untouched working copy stays as edited";
    EXPECT_EQ(f.set.count(), 3);
  }
}

// The pop-up menu offers the seven display styles, the list's own checked.
TEST(GradientPickList, ThePopupMenuSetsTheDisplayStyle) {
  PickFixture f;
  TGradientPickList pick(f.set, {});
  QMenu* menu = pick.styleMenu();
  ASSERT_EQ(menu->actions().size(), 7);
  const struct {
    const char* item;
    int32_t style;
  } cases[] = {{"MenuText", kListText},       {"MenuListS", kListSmallRows}, {"MenuList", kListRows},
               {"MenuListL", kListLargeRows}, {"MenuIconS", kListSmallIcons}, {"MenuIcon", kListIcons},
               {"MenuIconL", kListLargeIcons}};
  for (const auto& c : cases) {
    QAction* a = menu->findChild<QAction*>(QString::fromLatin1(c.item));
    ASSERT_NE(a, nullptr) << c.item;
    a->trigger();
    EXPECT_EQ(pick.list().displayStyle(), c.style) << c.item;
    emit menu->aboutToShow();
    for (QAction* other : menu->actions()) EXPECT_EQ(other->isChecked(), other == a) << c.item;
  }
}

}  // namespace
}  // namespace pg
