#pragma once
// The item lists of the layer panel and the mask panel: they show the layers
// (bottom layer last, as the stack reads) or the masks of the document in
// the bound document window and turn list edits into the document's own
// recorded, undoable operations. Every edit asks the window's edit gate
// first; without a window, or while it refuses, the lists are read-only.
#include <functional>

#include "toolwin/item_list.h"

namespace pg {

class TDrawWindow;
class TPaper;

class CDocItemList : public CItemList {
 public:
  void bind(TDrawWindow* window);
  // Clears the binding and answers the window it had.
  TDrawWindow* unbind();
  TDrawWindow* window() const { return window_; }
  // The document the window shows now: a window may replace its document
  // (a replay opens a fresh one), so it is never kept.
  TPaper* paper() const;
  // The window is bound and lets the document be edited now.
  bool canEdit() const;

  uint32_t getItemFlags(int32_t i) const override;
  bool canMoveItem(int32_t to, int32_t from) const override;
  bool canAppendFrom(const CItemList* source, int32_t sourceIndex) const override;
  bool canInsertFrom(int32_t to, const CItemList* source, int32_t sourceIndex) const override;
  bool canDeleteKeepOne(int32_t i) const override;
  bool canCopyFrom(int32_t i, const CItemList* source, int32_t sourceIndex) const override;
  bool newItem(bool /*redraw*/) override { return false; }

  std::function<void()> OnBind;

 protected:
  // After a document command: the window shows it, the list is marked
  // modified and tells its listeners.
  void edited(bool rescroll);

  TDrawWindow* window_ = nullptr;
};

class CLayerList final : public CDocItemList {
 public:
  CLayerList();

  int32_t getCount() const override;
  std::string getItemName(int32_t i) const override;
  bool setItemName(int32_t i, const std::string& name) override;
  std::string getItemDetail(int32_t i) const override;
  int32_t itemIndent(int32_t i) const override;
  int32_t itemCheck(int32_t i) const override;
  int32_t getActiveIndex() const override;
  bool setActiveIndex(int32_t i) override;
  int32_t getDrawState(int32_t i) const override;
  void drawItemImage(TMemoryGraphic& g, const TRect& r, int32_t state, int32_t i) override;
  SSize getThumbSize(int32_t index) const override;
  int32_t hitTestPart(int32_t x, int32_t y) const override;
  int32_t listKind() const override { return 1; }

  bool canMoveItem(int32_t to, int32_t from) const override;
  bool canInsertFrom(int32_t to, const CItemList* source, int32_t sourceIndex) const override;
  bool deleteItem(int32_t i, bool redraw) override;
  bool moveItemTo(int32_t to, int32_t from, bool redraw) override;
  bool copyInto(CItemList* target, int32_t index, bool redraw, int32_t sourceIndex) override;

  // The whole press on the list: the base handling, then the visibility
  // column (with Shift: this layer alone, or all again) and Ctrl+click
  // (a mask from the layer).
  int32_t press(int32_t x, int32_t y, uint32_t modifiers);
  // The edge of the thumbnail square the document sizes thumbnails to.
  int32_t thumbHeight() const;
  // Resizes and redraws every layer thumbnail for the current style.
  void refitThumbnails();
  // From the current layer down (up), the next visible one, wrapping round.
  bool selectPrevVisible();
  bool selectNextVisible();

  // Layers that move together with the layer at i (1 when not linked).
  int32_t groupSize(int32_t i) const;
  bool hasLinkedLayers() const;
};

class CMaskList final : public CDocItemList {
 public:
  CMaskList();

  int32_t getCount() const override;
  std::string getItemName(int32_t i) const override;
  bool setItemName(int32_t i, const std::string& name) override;
  int32_t getActiveIndex() const override;
  bool setActiveIndex(int32_t i) override;
  void drawItemImage(TMemoryGraphic& g, const TRect& r, int32_t state, int32_t i) override;
  int32_t listKind() const override { return 2; }

  bool deleteItem(int32_t i, bool redraw) override;
  bool moveItemTo(int32_t to, int32_t from, bool redraw) override;
  bool copyInto(CItemList* target, int32_t index, bool redraw, int32_t sourceIndex) override;

  // A press: with Shift, Alt or Ctrl on a mask other than the current one
  // the clicked mask is merged into the current one (Ctrl copies, Shift
  // adds, Alt removes, Shift+Alt intersects); otherwise the base handling.
  int32_t press(int32_t x, int32_t y, uint32_t modifiers);
  // The merge of the pop-up menu on a mask other than the current one.
  bool mergeInto(int32_t index, int32_t mode);
};

// The merge mode of a modifier click on a mask; -1 for a plain click.
[[nodiscard]] int32_t maskMergeModeOf(uint32_t modifiers);

}  // namespace pg
