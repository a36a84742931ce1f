#pragma once
// The swatch list: the colours of a swatch collection as an item list. A
// click picks a colour, a click after the last swatch adds the current
// drawing colour there, and deletes and copies are collection edits that
// mark it modified and select a neighbouring swatch.
#include <functional>
#include <memory>

#include "io/swatch_list.h"
#include "toolwin/item_list.h"

namespace pg {

class CSwatchList final : public CItemList {
 public:
  // Starts with an empty collection of its own.
  CSwatchList();

  // Takes a collection (nullptr is ignored) and frees the one it had.
  void bind(std::unique_ptr<TSwatchMngr> manager);
  // Hands the collection back and starts a fresh empty one.
  std::unique_ptr<TSwatchMngr> unbind();
  TSwatchMngr& manager() { return *manager_; }

  // The colour "add" uses: the query when set, else the active swatch (with
  // an active item kept), else 0. Pixels: blue in the low byte.
  std::function<uint32_t()> OnCurrentColor;
  uint32_t currentColor() const;
  uint32_t colorAt(int32_t i) const;
  void setColorAt(int32_t i, uint32_t colour);
  [[nodiscard]] bool insertColor(CSwatchList& target, int32_t index, uint32_t colour, bool redraw);

  int32_t getCount() const override { return manager_->count(); }
  uint32_t getItemFlags(int32_t /*i*/) const override { return kItemNoLabel; }
  std::string getItemName(int32_t i) const override;
  void drawItemImage(TMemoryGraphic& g, const TRect& r, int32_t state, int32_t i) override;
  int32_t listKind() const override { return 3; }
  bool deleteItem(int32_t i, bool redraw) override;
  bool copyInto(CItemList* target, int32_t index, bool redraw, int32_t sourceIndex) override;
  bool duplicateClick(int32_t i, bool redraw) override;

  // The new and delete buttons beside the list. New appends a colour; a
  // swatch dragged onto it from a swatch list is appended as a copy. A swatch
  // of this list dragged onto delete goes without a question. The dragged
  // swatch is the source's pressed item.
  bool addNewColor() { return duplicateClick(getCount(), true); }
  bool acceptsNewDrop(const CItemList* source) const;
  [[nodiscard]] bool newFromDrop(CItemList* source);
  bool acceptsDeleteDrop(const CItemList* source) const;
  [[nodiscard]] bool deleteFromDrop(CItemList* source);

 private:
  std::unique_ptr<TSwatchMngr> manager_;
};

}  // namespace pg
