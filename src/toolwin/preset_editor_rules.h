#pragma once
// What the preset editors share, without widgets: the item and display
// commands of the editor's drop-down menu over its list, and the question at
// exit that asks, set by set, whether modified preset sets are to be saved.
#include <array>
#include <cstdint>
#include <functional>
#include <span>
#include <string>
#include <string_view>

namespace pg {

class CItemList;

// ---- the editor's menu -----------------------------------------------------------

struct SEditorDisplayItem {
  std::string_view name;
  uint32_t captionId;  // the caption's text id
  int32_t style;
};
// The seven display items in menu order.
std::span<const SEditorDisplayItem> editorDisplayItems();
// Whether the list's active item may be copied to its end, and deleted.
bool canDuplicate(const CItemList& list);
bool canRemove(const CItemList& list);

struct SEditorMenuState {
  bool duplicate = false;
  bool remove = false;
  bool revert = false;
  // Per display item (menu order): shown, and checked.
  std::array<bool, 7> styleVisible{};
  std::array<bool, 7> styleChecked{};
};

// list may be null (no active list). setModified: the modified flag of the
// list's preset set; setFileExists: the set's file exists.
SEditorMenuState editorMenuState(const CItemList* list, bool setModified, bool setFileExists);
// Copies the active item to the end; false when the list does not allow it.
[[nodiscard]] bool editorDuplicateItem(CItemList* list);
// Deletes the active item when another remains that may replace it.
[[nodiscard]] bool editorDeleteItem(CItemList* list);
// Applies a style only when the list allows it.
bool editorSetStyle(CItemList* list, int32_t style);
// A stored style preference is applied when it is 0..15 and allowed (the
// preference default -1 reads as 255 and keeps the list's own).
bool applyStoredListStyle(CItemList& list, int32_t stored);

// ---- the exit question -----------------------------------------------------------

// The four preset sets in the order they are asked for.
enum class PresetSetKind : int32_t { Brushes = 11, Nibs = 12, Swatches = 13, Gradients = 14 };

enum class SaveAnswer : uint8_t { Yes, No, Cancel };

struct SPresetSetEntry {
  PresetSetKind kind = PresetSetKind::Brushes;
  std::string word;  // the set's name word for the question
  std::function<bool()> modified;
  std::function<std::string()> path;
  // Saves to a path; false when the save failed.
  std::function<bool(const std::string&)> save;
};

struct SPresetExitQuery {
  // The preference PresetSaveAsQuit: 0 ask, 1 overwrite without asking, 2 do nothing.
  int32_t mode = 0;
  std::function<bool(const std::string& path)> fileExists;
  std::function<SaveAnswer(const std::string& question)> ask;
  // The save dialog of the kind, starting at the current path; empty when cancelled.
  std::function<std::string(PresetSetKind kind, const std::string& path)> chooseSavePath;
};

// querySavePreset for one set: true when closing may go on.
[[nodiscard]] bool querySavePreset(const SPresetSetEntry& set, const SPresetExitQuery& q, bool quiet, bool ask);
// querySavePresets: the modified sets in order; the first false ends it.
[[nodiscard]] bool querySavePresets(std::span<const SPresetSetEntry> sets, const SPresetExitQuery& q);

}  // namespace pg
