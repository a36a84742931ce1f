#pragma once
// The item lists the preset editors show on their left: the pen methods, the
// pen nibs and the gradients of the tool window's sets. Each is bound to the
// set (not owned), follows the set's current item as its active item, and
// keeps a working copy of that item which the editor changes and then
// commits back into the set, marking it modified.
#include <cstdint>
#include <memory>
#include <string>

#include "brush/gradient.h"
#include "toolwin/item_list.h"

namespace pg {

class CGradMngr;
class CPenMethodMngr;
class CPenShapeMngr;
class TPaintParam;

// The styles an editor list offers: icons and rows in three sizes, text.
inline constexpr uint16_t kEditorListStyles = 0x007F;

class CEditorPenMethodList final : public CItemList {
 public:
  explicit CEditorPenMethodList(CPenMethodMngr& set);
  ~CEditorPenMethodList() override;
  CPenMethodMngr& set() { return set_; }

  // The paint parameters of the active item (reloaded whenever it changes).
  TPaintParam* currentParams() { return params_.get(); }
  // Writes the current parameters into the active pen method, marks the set
  // modified and tells the change.
  [[nodiscard]] bool commitCurrent();

  int32_t getCount() const override;
  uint32_t getItemFlags(int32_t i) const override;
  std::string getItemName(int32_t i) const override;
  void drawItemImage(TMemoryGraphic& g, const TRect& r, int32_t state, int32_t i) override;
  int32_t getActiveIndex() const override;
  bool setActiveIndex(int32_t i) override;
  // Another pen method of the same kind remains: no kind loses its last one.
  bool canDeleteKeepOne(int32_t i) const override;
  bool deleteItem(int32_t i, bool redraw) override;
  bool copyInto(CItemList* target, int32_t index, bool redraw, int32_t sourceIndex) override;
  int32_t listKind() const override { return 11; }

 private:
  void reload();
  CPenMethodMngr& set_;
  std::unique_ptr<TPaintParam> params_;
};

class CEditorPenNibList final : public CItemList {
 public:
  explicit CEditorPenNibList(CPenShapeMngr& set);
  CPenShapeMngr& set() { return set_; }

  int32_t getCount() const override;
  uint32_t getItemFlags(int32_t i) const override;
  std::string getItemName(int32_t i) const override;
  void drawItemImage(TMemoryGraphic& g, const TRect& r, int32_t state, int32_t i) override;
  int32_t getActiveIndex() const override;
  bool setActiveIndex(int32_t i) override;
  bool deleteItem(int32_t i, bool redraw) override;
  bool copyInto(CItemList* target, int32_t index, bool redraw, int32_t sourceIndex) override;
  int32_t listKind() const override { return 12; }

 private:
  CPenShapeMngr& set_;
};

class CEditorGradientList final : public CItemList {
 public:
  explicit CEditorGradientList(CGradMngr& set);
  CGradMngr& set() { return set_; }

  // The working copy of the active gradient; nullptr without one.
  CGradObj* editedGradient() { return edited_.get(); }
  // Writes the working copy into the set at the active index (the id of the
  // stored preset stays) and marks the set modified.
  [[nodiscard]] bool storeEdited();

  int32_t getCount() const override;
  uint32_t getItemFlags(int32_t i) const override;
  std::string getItemName(int32_t i) const override;
  void drawItemImage(TMemoryGraphic& g, const TRect& r, int32_t state, int32_t i) override;
  int32_t getActiveIndex() const override;
  bool setActiveIndex(int32_t i) override;
  bool deleteItem(int32_t i, bool redraw) override;
  bool copyInto(CItemList* target, int32_t index, bool redraw, int32_t sourceIndex) override;
  int32_t listKind() const override { return 14; }

 private:
  void reload();
  CGradMngr& set_;
  std::unique_ptr<CGradObj> edited_;
};

}  // namespace pg
