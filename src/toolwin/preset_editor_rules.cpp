#include "toolwin/preset_editor_rules.h"

#include "platform/message_service.h"
#include "toolwin/item_list.h"

namespace pg {

namespace {

// Their captions are the texts 68070..68076.
constexpr std::array<SEditorDisplayItem, 7> kDisplayItems = {{
    {"MenuDispText", 68070, kListText},
    {"MenuDispIconS", 68071, kListSmallIcons},
    {"MenuDispIconM", 68072, kListIcons},
    {"MenuDispIconL", 68073, kListLargeIcons},
    {"MenuDispListS", 68074, kListSmallRows},
    {"MenuDispListM", 68075, kListRows},
    {"MenuDispListL", 68076, kListLargeRows},
}};

bool styleAllowed(const CItemList& list, int32_t style) {
  return style >= 0 && style < 16 && (list.allowedStyles() & (1u << style)) != 0;
}

// The question "\"%s\" は変更されています。\r保存しますか？".
constexpr uint32_t kResSaveChangedSet = 65211;

}  // namespace

std::span<const SEditorDisplayItem> editorDisplayItems() { return kDisplayItems; }

bool canDuplicate(const CItemList& list) {
  const int32_t a = list.getActiveIndex();
  return list.isValidIndex(a) && list.canCopyFrom(list.getCount(), &list, a);
}

bool canRemove(const CItemList& list) {
  const int32_t a = list.getActiveIndex();
  return list.isValidIndex(a) && list.canDeleteKeepOne(a);
}

SEditorMenuState editorMenuState(const CItemList* list, bool setModified, bool setFileExists) {
  SEditorMenuState s;
  s.revert = setModified && setFileExists;
  if (list == nullptr) return s;
  s.duplicate = canDuplicate(*list);
  s.remove = canRemove(*list);
  for (size_t k = 0; k < kDisplayItems.size(); ++k) {
    s.styleVisible[k] = styleAllowed(*list, kDisplayItems[k].style);
    s.styleChecked[k] = list->displayStyle() == kDisplayItems[k].style;
  }
  return s;
}

bool editorDuplicateItem(CItemList* list) {
  if (list == nullptr || !canDuplicate(*list)) return false;
  return list->copyItem(list->getCount(), list->getActiveIndex(), true);
}

bool editorDeleteItem(CItemList* list) {
  if (list == nullptr || !canRemove(*list)) return false;
  return list->deleteItem(list->getActiveIndex(), true);
}

bool editorSetStyle(CItemList* list, int32_t style) {
  if (list == nullptr || !styleAllowed(*list, style)) return false;
  return list->setDisplayStyle(style);
}

bool applyStoredListStyle(CItemList& list, int32_t stored) {
  const int32_t style = stored & 0xFF;  // stored as a byte: -1 reads 255
  if (style > 15 || !styleAllowed(list, style)) return false;
  return list.setDisplayStyle(style);
}

bool querySavePreset(const SPresetSetEntry& set, const SPresetExitQuery& q, bool quiet, bool ask) {
  const std::string path = set.path ? set.path() : std::string();
  if (quiet && !path.empty() && q.fileExists && q.fileExists(path)) return set.save && set.save(path);
  if (quiet || ask) {
    const std::string question = formatRes(kResSaveChangedSet, {set.word});
    const SaveAnswer a = q.ask ? q.ask(question) : SaveAnswer::Cancel;
    if (a == SaveAnswer::No) return true;
    if (a == SaveAnswer::Cancel) return false;
  }
  const std::string chosen = q.chooseSavePath ? q.chooseSavePath(set.kind, path) : std::string();
  if (chosen.empty()) return false;
  return set.save && set.save(chosen);
}

bool querySavePresets(std::span<const SPresetSetEntry> sets, const SPresetExitQuery& q) {
  if (q.mode == 2) return true;
  const bool quiet = q.mode == 1;
  for (const SPresetSetEntry& set : sets) {
    if (!set.modified || !set.modified()) continue;
    if (!querySavePreset(set, q, quiet, !quiet)) return false;
  }
  return true;
}

}  // namespace pg
