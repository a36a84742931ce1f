#pragma once
// What the panel menus of a preset list reach: the list's item commands
// (new and edit through the owner's editors, copy, delete, style) and the
// file commands of the set behind it, run through CPresetSets so that each
// command's refresh follows.
#include <functional>
#include <string>

#include "io/preset_common.h"
#include "toolwin/panel_menus.h"

namespace pg {

class CItemList;
class CPresetSets;

class CItemListMenu final : public IPanelItemList {
 public:
  explicit CItemListMenu(CItemList& list) : list_(list) {}
  bool canAddItem() const override;
  bool canCopyActive() const override;
  bool canDeleteActive() const override;
  bool canEditActive() const override;
  int32_t displayStyle() const override;
  void setDisplayStyle(int32_t style) override;
  void addItem() override;
  void copyActiveToEnd() override;
  void deleteActive() override;
  void editActive() override;
  void reselectActive() override;

 private:
  CItemList& list_;
};

class CPresetSetMenu final : public IPresetSetCommands {
 public:
  // path and modified read the set's state; afterLoad runs after every load
  // that succeeded (the lists showing the set select again).
  CPresetSetMenu(CPresetSets& sets, PresetSet set, std::function<std::string()> path,
                 std::function<bool()> modified, std::function<void()> afterLoad = {})
      : sets_(sets), set_(set), path_(std::move(path)), modified_(std::move(modified)), afterLoad_(std::move(afterLoad)) {}
  bool hasPath() const override { return !path_().empty(); }
  bool isModified() const override { return modified_(); }
  void revert() override;
  void openAppend() override;
  void saveAs() override;
  void openReplace() override;

 private:
  void loaded(bool ok);
  CPresetSets& sets_;
  PresetSet set_;
  std::function<std::string()> path_;
  std::function<bool()> modified_;
  std::function<void()> afterLoad_;
};

}  // namespace pg
