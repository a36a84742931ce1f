#include "toolwin/qt/panel_menu_builder.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QMenu>
#include <map>
#include <memory>

#include "toolwin/item_list.h"

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

struct StyleList final : CItemList {
  StyleList() {
    setAllowedStyles((1u << kListText) | (1u << kListSmallRows) | (1u << kListRows) | (1u << kListLargeRows));
    setDisplayStyle(kListRows);
  }
};

QAction* findItem(QMenu* menu, const char* name) { return menu->findChild<QAction*>(QString::fromLatin1(name)); }

TEST(PanelActionMenu, ItemsFollowTheirActionsAndTheSubmenusTheirGates) {
  testing::ensureQtApp();
  QWidget host;
  std::map<std::string, std::unique_ptr<QAction>> actions;
  for (const SPanelActionItem& it : panelActionItems(PanelActionMenu::Layer))
    if (!it.action.empty()) {
      auto a = std::make_unique<QAction>(QString::fromUtf8(it.action.data(), int(it.action.size())));
      a->setShortcut(QKeySequence(QStringLiteral("Ctrl+J")));
      actions[std::string(it.action)] = std::move(a);
    }
  actions.erase("ActLyrOpt");  // an action the window lacks
  actions["ActLyrDel"]->setEnabled(false);
  actions["ActLyrGroupDel"]->setVisible(false);
  std::vector<std::string> triggered;
  for (auto& [name, a] : actions) QObject::connect(a.get(), &QAction::triggered, [&, n = name] { triggered.push_back(n); });
  int refreshes = 0;
  bool edit = true, standard = true;
  StyleList list;
  SPanelActionMenuBinding b;
  b.action = [&](std::string_view name) {
    auto it = actions.find(std::string(name));
    return it == actions.end() ? nullptr : it->second.get();
  };
  b.refresh = [&] { ++refreshes; };
  b.canEdit = [&] { return edit; };
  b.standardMode = [&] { return standard; };
  QMenu* menu = buildPanelActionMenu(&host, PanelActionMenu::Layer, list, b);
  emit menu->aboutToShow();
  EXPECT_EQ(refreshes, 1);
  EXPECT_EQ(findItem(menu, "MenuLayerNew")->text(), QStringLiteral("ActLyrNew"));
  EXPECT_TRUE(findItem(menu, "MenuLayerNew")->shortcut().isEmpty());  // bound without the shortcut
  EXPECT_FALSE(findItem(menu, "MenuLayerDelete")->isEnabled());
  EXPECT_FALSE(findItem(menu, "MenuLayerLinkDelete")->isVisible());
  EXPECT_FALSE(findItem(menu, "MenuLayerOption")->isEnabled());
  EXPECT_TRUE(findItem(menu, "MenuLayerDispListM")->isChecked());
  findItem(menu, "MenuLayerHideAll")->trigger();
  findItem(menu, "MenuLayerDelete")->trigger();  // disabled: nothing runs
  EXPECT_EQ(triggered, std::vector<std::string>{"ActViewNoLyr"});
  findItem(menu, "MenuLayerDispText")->trigger();
  EXPECT_EQ(list.displayStyle(), kListText);

  struct Gate {
    bool edit, standard, alpha, arrange;
  };
  for (const Gate g : {Gate{true, true, true, true}, Gate{true, false, false, true}, Gate{false, true, false, false}}) {
    edit = g.edit;
    standard = g.standard;
    emit menu->aboutToShow();
    EXPECT_EQ(menu->findChild<QMenu*>("MenuLayerAlpha")->isEnabled(), g.alpha);
    EXPECT_EQ(menu->findChild<QMenu*>("MenuLayerArrange")->isEnabled(), g.arrange);
    EXPECT_EQ(menu->findChild<QMenu*>("MenuLayerVisible")->isEnabled(), g.arrange);
  }

  // The mask menu shows only the styles its list allows.
  QMenu* masks = buildPanelActionMenu(&host, PanelActionMenu::Mask, list, b);
  emit masks->aboutToShow();
  EXPECT_FALSE(findItem(masks, "MenuMaskDispIconM")->isVisible());
  EXPECT_TRUE(findItem(masks, "MenuMaskDispListS")->isVisible());
}

}  // namespace
}  // namespace pg
