#pragma once
// The nib and gradient collections as item lists. Each is bound to a
// collection somebody else owns (a panel, a pop-up, an editor working on a
// copy) and turns the list's operations into edits of it: deletes and
// copies mark the collection modified and select a neighbouring item, the
// way the swatch list does.
#include <functional>
#include <memory>

#include "brush/gradient.h"
#include "toolwin/item_list.h"

namespace pg {

class CGradMngr;
class CPenShapeObj;
class CPenShapeMngr;

// Text ids of the preset lists.
inline constexpr uint32_t kResNibItemName = 67400;   // "半径 %0.4gpx, 最小 %0.0f%%"
inline constexpr uint32_t kResUndefinedItem = 67401;  // "未定義"

// ---- nibs ---------------------------------------------------------------------------

// The nibs of a collection; with the leading entry, item 0 is the scratch
// nib that stands for the nib being edited: it cannot be moved, deleted,
// renamed, edited or dragged, and list index i > 0 is nib i - 1.
class CPenNibList final : public CItemList {
 public:
  CPenNibList();
  ~CPenNibList() override;

  // Binds a collection (not owned): the scratch entry is selected when the
  // collection has no valid current nib.
  void bind(CPenShapeMngr* manager);
  CPenShapeMngr* unbind();
  CPenShapeMngr* manager() const { return manager_; }
  std::function<void()> OnBind;

  // Keeps the same item active by shifting the index by one.
  void setLeadingEntry(bool on);
  bool scratchSelected() const { return scratchSelected_; }
  // The nib of an item (the scratch nib for the leading entry); nullptr outside.
  const CPenShapeObj* shapeAt(int32_t i) const;
  // The scratch nib when it is selected or no item is kept active, else the
  // collection's current nib.
  const CPenShapeObj* currentShape() const;
  // The scratch nib takes a copy of the shape, and is selected when asked.
  void setScratch(const CPenShapeObj& shape, bool selectIt);

  int32_t getCount() const override;
  bool isValidIndex(int32_t i) const override;
  uint32_t getItemFlags(int32_t i) const override;
  std::string getItemName(int32_t i) const override;
  void drawItemImage(TMemoryGraphic& g, const TRect& r, int32_t state, int32_t i) override;
  int32_t getActiveIndex() const override;
  bool setActiveIndex(int32_t i) override;
  bool canDeleteKeepOne(int32_t i) const override;
  bool deleteItem(int32_t i, bool redraw) override;
  bool copyInto(CItemList* target, int32_t index, bool redraw, int32_t sourceIndex) override;
  int32_t listKind() const override { return 5; }
  bool canOpenPopup() const override { return manager_ != nullptr; }
  // A nib picked in the pop-up is a nib of the collection, never the scratch one.
  void popupPicked() override;

 private:
  int32_t lead() const { return leading_ ? 1 : 0; }

  CPenShapeMngr* manager_ = nullptr;
  std::unique_ptr<CPenShapeObj> scratch_;
  bool leading_ = true;
  bool scratchSelected_ = false;
};

// Where a nib of the radius is drawn in a preview cell of the side: at
// scale 1 when it fits the radius available (side / 2 - 1.5), else scaled
// down to it; 0 when the cell is too small for any preview.
float nibPreviewScale(int32_t side, float radius);

// ---- gradients ------------------------------------------------------------------------

// The gradients of a collection. Its fixed two-colour entry (the collection's
// own selection) is never moved onto, overwritten or deleted.
class CGradientList final : public CItemList {
 public:
  CGradientList();

  // Binds a collection (not owned) and takes its repeat range.
  void bind(CGradMngr* manager);
  CGradMngr* unbind();
  CGradMngr* manager() const { return manager_; }
  std::function<void()> OnBind;

  // The repeat the previews of gradients without their own use; a change is
  // applied to the collection (a warning without a current gradient).
  [[nodiscard]] bool setRange(const SGradRepeat& range);
  const SGradRepeat& getRange() const { return repeat_; }
  // Gradient i takes the stops and repeat of the source.
  [[nodiscard]] bool assignItem(int32_t i, const CGradObj& source);
  // The two current colours (red low) reach every gradient's colour stops.
  void setColors(TColor foreground, TColor background);
  // An editor's working copy of the active gradient, taken again whenever
  // the active item changes; nullptr without one. storeEdited writes it into
  // the collection at the active index and marks the collection modified.
  CGradObj* editedGradient() { return edited_.get(); }
  bool storeEdited();

  int32_t getCount() const override;
  bool isValidIndex(int32_t i) const override;
  uint32_t getItemFlags(int32_t i) const override;
  std::string getItemName(int32_t i) const override;
  bool setItemName(int32_t i, const std::string& name) override;
  void drawItemImage(TMemoryGraphic& g, const TRect& r, int32_t state, int32_t i) override;
  int32_t getActiveIndex() const override;
  bool setActiveIndex(int32_t i) override;
  bool canDeleteKeepOne(int32_t i) const override;
  bool canMoveItem(int32_t to, int32_t from) const override;
  bool canInsertFrom(int32_t to, const CItemList* source, int32_t sourceIndex) const override;
  bool deleteItem(int32_t i, bool redraw) override;
  bool copyInto(CItemList* target, int32_t index, bool redraw, int32_t sourceIndex) override;
  int32_t listKind() const override { return 6; }
  bool canOpenPopup() const override { return manager_ != nullptr; }

 private:
  bool isSelection(int32_t i) const;
  void takeEditCopy();

  CGradMngr* manager_ = nullptr;
  SGradRepeat repeat_;
  std::unique_ptr<CGradObj> edited_;
};

}  // namespace pg
