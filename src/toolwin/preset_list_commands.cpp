#include "toolwin/preset_list_commands.h"

#include "toolwin/item_list.h"
#include "toolwin/preset_editor_rules.h"
#include "toolwin/preset_sets.h"

namespace pg {

bool CItemListMenu::canAddItem() const { return list_.canNewItem(); }

bool CItemListMenu::canCopyActive() const { return canDuplicate(list_); }

bool CItemListMenu::canDeleteActive() const { return canRemove(list_); }

bool CItemListMenu::canEditActive() const {
  return list_.OnEditItem && list_.canEditItem(list_.getActiveIndex());
}

int32_t CItemListMenu::displayStyle() const { return list_.displayStyle(); }

void CItemListMenu::setDisplayStyle(int32_t style) {
  if (list_.setDisplayStyle(style)) list_.redraw();
}

void CItemListMenu::addItem() { (void)list_.newItem(true); }  // false: the list refused; nothing changed

// As above.
void CItemListMenu::copyActiveToEnd() { (void)list_.copyItem(list_.getCount(), list_.getActiveIndex(), true); }

void CItemListMenu::deleteActive() { (void)list_.deleteItem(list_.getActiveIndex(), true); }  // as above

void CItemListMenu::editActive() { list_.editItem(list_.getActiveIndex()); }

void CItemListMenu::reselectActive() { (void)list_.selectItem(list_.getActiveIndex(), true); }  // as above

void CPresetSetMenu::loaded(bool ok) {
  if (ok && afterLoad_) afterLoad_();
}

void CPresetSetMenu::revert() { loaded(sets_.run(set_, PresetCommand::LoadFile, path_(), false)); }

void CPresetSetMenu::openAppend() { loaded(sets_.run(set_, PresetCommand::OpenDialog, {}, true)); }

// A cancel or a failed save (which shows it) changes nothing.
void CPresetSetMenu::saveAs() { (void)sets_.run(set_, PresetCommand::SaveDialog); }

void CPresetSetMenu::openReplace() { loaded(sets_.run(set_, PresetCommand::OpenDialog, {}, false)); }

}  // namespace pg
