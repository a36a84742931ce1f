#pragma once
// A list panel's context menu built from its table: the items take their
// captions, enabling and checks each time the menu opens, and run through
// panelMenuClick.
#include <functional>

#include "toolwin/panel_action_menus.h"
#include "toolwin/panel_menus.h"

class QAction;
class QMenu;
class QWidget;

namespace pg {

// `context` is asked when the menu opens and when an item is chosen (the
// list and set behind the panel may change between uses).
QMenu* buildPanelMenu(QWidget* parent, PanelMenu menu, std::function<SPanelMenuContext()> context);

class CItemList;

// The layer or mask panel's menu over the main window's actions. Each item
// stands for its action without its shortcut: when the menu opens, refresh
// brings the actions up to date and the items take their captions, enabling,
// checks and visibility; choosing an item triggers its action. An item whose
// action is missing stays disabled. The style items set the list's style.
struct SPanelActionMenuBinding {
  std::function<QAction*(std::string_view name)> action;
  std::function<void()> refresh;
  // The edit gate of the document and whether it is in the standard mode.
  std::function<bool()> canEdit;
  std::function<bool()> standardMode;
};
QMenu* buildPanelActionMenu(QWidget* parent, PanelActionMenu menu, CItemList& list, SPanelActionMenuBinding binding);

}  // namespace pg
