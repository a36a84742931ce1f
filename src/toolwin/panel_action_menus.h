#pragma once
// The context menus of the layer and mask panels: items bound to the main
// window's actions (their captions, enabling and effects are the actions'),
// three submenus of the layer menu with their own gates, and the display
// styles of the panel's list.
#include <cstdint>
#include <span>
#include <string_view>

namespace pg {

enum class PanelActionMenu : uint8_t { Layer, Mask };

// The submenu an item sits in (the layer menu's transparency, transform and
// visibility submenus).
enum class PanelSubmenu : uint8_t { None, Alpha, Arrange, Visible };

struct SPanelActionItem {
  std::string_view name;    // the item's object name; empty for a separator
  std::string_view action;  // the bound action; empty for a style item
  PanelSubmenu submenu = PanelSubmenu::None;
  int32_t style = -1;       // a display style item of the panel's list
  uint32_t captionId = 0;   // a style item's caption (string id)
};

std::span<const SPanelActionItem> panelActionItems(PanelActionMenu menu);

struct SPanelSubmenuDef {
  PanelSubmenu submenu;
  std::string_view name;
  uint32_t captionId;  // string id
};
std::span<const SPanelSubmenuDef> panelSubmenus();

// The transparency submenu needs an editable document in the standard
// mode; the other two an editable one.
[[nodiscard]] bool panelSubmenuEnabled(PanelSubmenu submenu, bool canEdit, bool standardMode);

}  // namespace pg
