#pragma once
// The main window's commands: one table of every action (its name, category,
// caption text id and shortcut) and the layout of the menu bar built from it.
// Captions live in the string tables, so the language module replaces them all
// at once.
#include <cstdint>
#include <span>
#include <string_view>

namespace pg {

enum class ActionCategory : uint8_t { None, File, Edit, Image, Layer, Select, Filter, View, Window, Event, Obsolete };

struct SActionDef {
  std::string_view name;
  ActionCategory category;
  uint32_t captionId;       // resource text of the caption
  std::string_view shortcut;  // portable key text ("Shift+Ctrl+S"), empty for none
  bool hidden;              // never shown in a menu
};

// Caption ids are kResActionCaptionBase + the action's index in the table.
inline constexpr uint32_t kResActionCaptionBase = 66000;

std::span<const SActionDef> actionTable();
// nullptr when no action has that name.
const SActionDef* findAction(std::string_view name);

// Texts of the menu bar and the status bar that have no caption of an action.
enum ResMainForm : uint32_t {
  kResMenuFile = 66300,
  kResMenuEdit,
  kResMenuImage,
  kResMenuLayer,
  kResMenuSelect,
  kResMenuFilter,
  kResMenuView,
  kResMenuWindow,
  kResMenuHelp,
  kResMenuLayerAlpha,
  kResMenuLayerTransform,
  kResMenuLayerDisplay,
  kResMenuFilterColour,
  kResMenuFilterBlur,
  kResMenuFilterRender,
  kResMenuFilterDistort,
  kResMenuReplaySpeed,
  kResMenuDocuments,
  kResStatusMemory = 66320,
  kResStatusLayerMemory,
  kResStatusUndoMemory,
  kResStatusTablet,
  kResStatusTabletCoords,
  kResStatusOsCoords,
  kResStatusOn,
  kResStatusOff,
  kResPopResoSize,
  kResPopResoTotal,
  kResPopResoLayer,
  kResPopResoUndo,
  kResPopTabletType1,
  kResPopTabletType2,
  kResPopTabletModeOs,
  kResPopTabletModeTablet,
};

// One line of a menu: a command, a separator, the start or end of a
// sub-menu, or a place filled at run time.
enum class MenuEntryKind : uint8_t { Action, Separator, SubmenuBegin, SubmenuEnd, RecentFiles, DocumentList };

struct SMenuEntry {
  MenuEntryKind kind;
  std::string_view action;  // Action
  uint32_t titleId;         // SubmenuBegin
};

struct SMenuDef {
  uint32_t titleId;
  std::span<const SMenuEntry> entries;
};

std::span<const SMenuDef> mainMenuLayout();

}  // namespace pg
