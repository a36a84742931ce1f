#include "toolwin/qt/panel_menu_builder.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QMenu>

#include "test_support/qt_app.h"

namespace pg {
namespace {

struct Swatches final : IPanelItemList {
  bool canAddItem() const override { return true; }
  bool canCopyActive() const override { return true; }
  bool canDeleteActive() const override { return true; }
  bool canEditActive() const override { return true; }
  int32_t displayStyle() const override { return style; }
  void setDisplayStyle(int32_t s) override { style = s; }
  void addItem() override { ++added; }
  void copyActiveToEnd() override {}
  void deleteActive() override {}
  void editActive() override {}
  void reselectActive() override {}
  int32_t style = kListIcons;
  int added = 0;
};

TEST(PanelMenuBuilder, MenuShowsTheStateAndRunsItems) {
  testing::ensureQtApp();
  QWidget host;
  Swatches list;
  QMenu* menu = buildPanelMenu(&host, PanelMenu::Swatch, [&] {
    SPanelMenuContext c;
    c.list = &list;
    return c;
  });
  emit menu->aboutToShow();
  QAction* icons = menu->findChild<QAction*>("MenuSwatchDispIconM");
  QAction* text = menu->findChild<QAction*>("MenuSwatchDispText");
  QAction* revert = menu->findChild<QAction*>("MenuOPLRevert");
  QAction* add = menu->findChild<QAction*>("MenuSwatchAppend");
  ASSERT_TRUE(icons && text && revert && add);
  EXPECT_TRUE(icons->isChecked());
  EXPECT_FALSE(text->isChecked());
  EXPECT_FALSE(revert->isEnabled()) << "no set behind the list";
  EXPECT_EQ(add->text(), QString::fromUtf8("新規カラー(&N)..."));
  text->trigger();
  add->trigger();
  EXPECT_EQ(list.style, kListText);
  EXPECT_EQ(list.added, 1);
  emit menu->aboutToShow();
  EXPECT_TRUE(text->isChecked());
  EXPECT_FALSE(icons->isChecked());
}

}  // namespace
}  // namespace pg
