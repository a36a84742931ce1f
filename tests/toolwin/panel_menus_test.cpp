#include "toolwin/panel_menus.h"

#include <gtest/gtest.h>

#include <string>

namespace pg {
namespace {

struct FakeList final : IPanelItemList {
  bool canAddItem() const override { return add; }
  bool canCopyActive() const override { return copy; }
  bool canDeleteActive() const override { return del; }
  bool canEditActive() const override { return edit; }
  int32_t displayStyle() const override { return style; }
  void setDisplayStyle(int32_t s) override {
    style = s;
    log += "style ";
  }
  void addItem() override { log += "add "; }
  void copyActiveToEnd() override { log += "copy "; }
  void deleteActive() override { log += "delete "; }
  void editActive() override { log += "edit "; }
  void reselectActive() override { log += "reselect "; }
  bool add = true, copy = true, del = true, edit = true;
  int32_t style = kList;
  std::string log;
};

struct FakeSet final : IPresetSetCommands {
  bool hasPath() const override { return path; }
  bool isModified() const override { return modified; }
  void revert() override { log += "revert "; }
  void openAppend() override { log += "append "; }
  void saveAs() override { log += "save "; }
  void openReplace() override { log += "open "; }
  bool path = false, modified = false;
  std::string log;
};

const SPanelMenuItem& item(PanelMenu menu, std::string_view name) {
  for (const SPanelMenuItem& i : panelMenuItems(menu))
    if (i.name == name) return i;
  static const SPanelMenuItem none{"", PanelMenuRole::Separator};
  ADD_FAILURE() << name;
  return none;
}

TEST(PanelMenus, OptionCaptionsFollowTheTool) {
  FakeList list;
  FakeSet set;
  SPanelMenuContext c;
  c.list = &list;
  c.set = &set;
  struct {
    bool gradient;
    std::string_view name, caption;
  } cases[] = {
      {true, "MenuOptItemNew", "新規グラデーション(&N)..."},
      {true, "MenuOptSetSaveAs", "グラデーション集を保存(&S)..."},
      {true, "MenuOptItemDuplicate", "グラデーションを複製(&D)"},
      {false, "MenuOptItemDelete", "ブラシを削除(&R)..."},
      {false, "MenuOptSetOpen", "ブラシ集を置き換え(&O)..."},
  };
  for (const auto& t : cases) {
    c.gradientTool = t.gradient;
    EXPECT_EQ(panelMenuItemState(PanelMenu::Option, item(PanelMenu::Option, t.name), c).caption, t.caption);
  }
  EXPECT_EQ(panelMenuItemState(PanelMenu::Brush, item(PanelMenu::Brush, "MenuPMTOpen"), c).caption,
            "ブラシ集の置き換え(&O)...");
}

TEST(PanelMenus, EnablingAndChecks) {
  FakeList list;
  FakeSet set;
  SPanelMenuContext c;
  c.list = &list;
  c.set = &set;
  struct {
    bool path, modified, revert;
  } sets[] = {{false, false, false}, {false, true, false}, {true, false, false}, {true, true, true}};
  for (const auto& s : sets) {
    set.path = s.path;
    set.modified = s.modified;
    for (PanelMenu m : {PanelMenu::Option, PanelMenu::Brush, PanelMenu::Swatch})
      for (const SPanelMenuItem& i : panelMenuItems(m))
        if (i.role == PanelMenuRole::Revert) {
          EXPECT_EQ(panelMenuItemState(m, i, c).enabled, s.revert) << i.name;
        }
  }
  list.del = false;
  list.style = kListIconsLarge;
  EXPECT_FALSE(panelMenuItemState(PanelMenu::Brush, item(PanelMenu::Brush, "MenuBrushDelete"), c).enabled);
  EXPECT_TRUE(panelMenuItemState(PanelMenu::Brush, item(PanelMenu::Brush, "MenuBrushEdit"), c).enabled);
  int checked = 0;
  for (const SPanelMenuItem& i : panelMenuItems(PanelMenu::Brush))
    if (panelMenuItemState(PanelMenu::Brush, i, c).checked) {
      ++checked;
      EXPECT_EQ(i.name, "MenuBrushDispIconL");
    }
  EXPECT_EQ(checked, 1);
  // The swatch menu offers five styles only: none checked for a large list.
  list.style = kListLarge;
  for (const SPanelMenuItem& i : panelMenuItems(PanelMenu::Swatch))
    EXPECT_FALSE(panelMenuItemState(PanelMenu::Swatch, i, c).checked) << i.name;
}

TEST(PanelMenus, ClicksRunTheirCommandsAndDeleteOnlyOnYes) {
  FakeList list;
  FakeSet set;
  std::string asked;
  bool answer = false;
  bool dblClick = false;
  SPanelMenuContext c{&list, &set, true, false, [&](const std::string& q) {
                        asked = q;
                        return answer;
                      },
                      [&](bool on) { dblClick = on; }};
  panelMenuClick(PanelMenu::Option, item(PanelMenu::Option, "MenuOptItemDelete"), c);
  EXPECT_EQ(asked, "選択されたグラデーションを削除してよろしいですか？");
  EXPECT_EQ(list.log, "reselect ");
  answer = true;
  list.log.clear();
  panelMenuClick(PanelMenu::Option, item(PanelMenu::Option, "MenuOptItemDelete"), c);
  EXPECT_EQ(list.log, "delete reselect ");
  list.log.clear();
  panelMenuClick(PanelMenu::Brush, item(PanelMenu::Brush, "MenuBrushDispText"), c);
  EXPECT_EQ(list.style, kListText);
  panelMenuClick(PanelMenu::Swatch, item(PanelMenu::Swatch, "MenuSwatchAppend"), c);
  panelMenuClick(PanelMenu::Swatch, item(PanelMenu::Swatch, "MenuOPLSaveAs"), c);
  panelMenuClick(PanelMenu::Brush, item(PanelMenu::Brush, "MenuPMTRevert"), c);  // no path: nothing
  EXPECT_EQ(list.log, "style reselect add reselect reselect ");
  EXPECT_EQ(set.log, "save ");
  panelMenuClick(PanelMenu::Option, item(PanelMenu::Option, "MenuOptDblClick"), c);
  EXPECT_TRUE(dblClick);
  // A list that no longer allows copying takes no copy.
  list.copy = false;
  list.log.clear();
  panelMenuClick(PanelMenu::Brush, item(PanelMenu::Brush, "MenuBrushDuplicate"), c);
  EXPECT_EQ(list.log, "");
}

TEST(PanelMenus, LogCapacityStaysWithinFifty) {
  struct {
    int32_t in, out;
  } cases[] = {{60, 50}, {50, 50}, {0, 0}, {-3, 0}, {17, 17}};
  for (const auto& c : cases) EXPECT_EQ(clampLogCapacity(c.in), c.out) << c.in;
}

}  // namespace
}  // namespace pg
