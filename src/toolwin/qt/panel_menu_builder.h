#pragma once
// A list panel's context menu built from its table: the items take their
// captions, enabling and checks each time the menu opens, and run through
// panelMenuClick.
#include <functional>

#include "toolwin/panel_menus.h"

class QMenu;
class QWidget;

namespace pg {

// `context` is asked when the menu opens and when an item is chosen (the
// list and set behind the panel may change between uses).
QMenu* buildPanelMenu(QWidget* parent, PanelMenu menu, std::function<SPanelMenuContext()> context);

}  // namespace pg
