#pragma once
// The context menus of the tool window's list panels (the option view's
// brush or gradient list, the brush set, the swatches) and of the event log:
// their items in order, each item's caption, enabling and check mark from the
// state of the panel's list and preset set, and what choosing it does. The
// lists and sets are reached through two small interfaces, so the menus run
// without widgets; the Qt side builds a QMenu from these tables.
#include <cstdint>
#include <functional>
#include <span>
#include <string>
#include <string_view>

#include "toolwin/item_list.h"

namespace pg {

// Display styles of the item lists, by the names the menus use.
inline constexpr int32_t kListIconsSmall = kListSmallIcons;
inline constexpr int32_t kListIconsLarge = kListLargeIcons;
inline constexpr int32_t kListSmall = kListSmallRows;
inline constexpr int32_t kList = kListRows;
inline constexpr int32_t kListLarge = kListLargeRows;

class IPanelItemList {
 public:
  virtual ~IPanelItemList() = default;
  virtual bool canAddItem() const = 0;
  virtual bool canCopyActive() const = 0;
  virtual bool canDeleteActive() const = 0;
  virtual bool canEditActive() const = 0;
  virtual int32_t displayStyle() const = 0;
  virtual void setDisplayStyle(int32_t style) = 0;
  virtual void addItem() = 0;
  virtual void copyActiveToEnd() = 0;
  virtual void deleteActive() = 0;
  virtual void editActive() = 0;
  virtual void reselectActive() = 0;
};

// The preset set (file) behind a list.
class IPresetSetCommands {
 public:
  virtual ~IPresetSetCommands() = default;
  virtual bool hasPath() const = 0;
  virtual bool isModified() const = 0;
  virtual void revert() = 0;      // reload from its path, replacing
  virtual void openAppend() = 0;  // open dialog, appending
  virtual void saveAs() = 0;
  virtual void openReplace() = 0;
};

enum class PanelMenu : uint8_t { Option, Brush, Swatch };

enum class PanelMenuRole : uint8_t {
  New, Duplicate, Delete, Edit, Revert, Append, SaveAs, Open, DoubleClickEdits, Style, Separator
};

struct SPanelMenuItem {
  std::string_view name;     // the item's object name
  PanelMenuRole role;
  int32_t style = -1;        // the display style of a Style item
};

std::span<const SPanelMenuItem> panelMenuItems(PanelMenu menu);

struct SPanelMenuContext {
  IPanelItemList* list = nullptr;
  IPresetSetCommands* set = nullptr;
  bool gradientTool = false;    // the option menu of the gradient tool
  bool doubleClickEdits = false;  // the preference OptionListDblClick
  // Asks the delete question; true for Yes.
  std::function<bool(const std::string& question)> confirm;
  // The option menu's double-click item: the new value of the preference.
  std::function<void(bool on)> setDoubleClickEdits;
};

struct SPanelMenuItemState {
  std::string caption;
  bool enabled = false;
  bool checked = false;
};

SPanelMenuItemState panelMenuItemState(PanelMenu menu, const SPanelMenuItem& item, const SPanelMenuContext& c);
// Runs an item; afterwards the list reselects its active item.
void panelMenuClick(PanelMenu menu, const SPanelMenuItem& item, const SPanelMenuContext& c);

// The question before the active item is deleted, with the item word.
std::string deleteQuestion(std::string_view itemWord);

// The event log's capacity as the log-count dialog stores it: 0..50.
[[nodiscard]] int32_t clampLogCapacity(int32_t lines);

}  // namespace pg
