#pragma once
// CItemList: the logic of the one owner-drawn item list behind every list of
// the tool window (layers, masks, swatches, brushes, nibs, gradients). It
// holds no items: every question about them (count, names, flags, what an
// edit does) is a virtual operation its subclasses answer. What it keeps is
// the display style and the geometry of the cells, the scroll position, the
// active and pressed items, the clicks with their modifiers, the drag rules
// and the auto-scroll timing. The widget (toolwin/qt/item_list_view.h)
// paints it, owns the scroll bar and the timer, and feeds it mouse events.
#include <array>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "core/rect.h"

namespace pg {

class TMemoryGraphic;
class TMTC;

// The warning of a list operation that failed.
inline constexpr uint32_t kResOperationFailed = 67402;  // "操作に失敗しました！"

// Display styles: icon grids, rows with an image, text rows, the compact
// forms of a drop-down.
enum : int32_t {
  kListSmallIcons = 0,
  kListIcons = 1,
  kListLargeIcons = 2,
  kListSmallRows = 3,
  kListRows = 4,
  kListLargeRows = 5,
  kListText = 6,
  kListCompact = 7,
  kListCompactButton = 8,
  kListStrip = 9,
};

// Option bits of setOptions.
enum : uint16_t {
  kListKeepActive = 0x0001,     // the selection is the model's current item
  kListAddByClick = 0x0004,     // a click after the last item adds one
  kListCopyCtrlShift = 0x0008,  // Ctrl+Shift+click copies the item
  kListDupShift = 0x0010,       // Shift+click duplicates onto the item
  kListDeleteCtrl = 0x0040,     // Ctrl+click deletes the item
  kListDraggable = 0x0080,
  kListDoubleClickEdit = 0x0200,  // a double click opens the item's editor
};

// Item flags of getItemFlags.
enum : uint32_t {
  kItemNoDrag = 1,    // never the source of a move inside its list
  kItemFixed = 2,     // no move, delete or overwrite
  kItemNoLabel = 4,   // no label click, no rename
  kItemNoEdit = 8,    // no double-click editing
};

// Draw states of getDrawState.
enum : int32_t { kDrawPlain = 0, kDrawActive = 2, kDrawPressed = 4 };

// Parts of hitTestPart.
enum : int32_t {
  kPartItem = 0,
  kPartDropButton = 1,
  kPartArrows = 2,
  kPartEmpty = 3,
  kPartNothing = 4,
  kPartToggle = 5,  // a switch inside the item (the layer's visibility)
};

// Modifier bits the clicks take (the same as the shortcut keys').
enum : uint32_t { kListShift = 1, kListAlt = 2, kListCtrl = 4 };

// The scroll bar as the list wants it.
struct SListScroll {
  bool visible = false;
  int32_t max = 0;   // range 0..max
  int32_t page = 1;  // visible rows
  int32_t position = 0;
};

class CItemList {
 public:
  CItemList();
  virtual ~CItemList() = default;
  CItemList(const CItemList&) = delete;
  CItemList& operator=(const CItemList&) = delete;

  // ---- notifications (the widget and the panels listen) ----
  std::function<void()> OnChange;    // doChange: the active item changed, or the items
  std::function<void()> OnRedraw;    // the face is to be painted again
  std::function<void()> OnModified;  // the modified flag changed
  std::function<void(const std::string&)> OnWarning;

  // ---- style and layout ----
  void setAllowedStyles(uint16_t styles) { allowed_ = styles; }
  uint16_t allowedStyles() const { return allowed_; }
  int32_t displayStyle() const { return style_; }
  // Refused (false) for a style outside the allowed set.
  bool setDisplayStyle(int32_t style);
  void setBottomUp(bool on) { bottomUp_ = on; }
  bool bottomUp() const { return bottomUp_; }
  uint16_t options() const { return options_; }
  void setOptions(uint16_t options);
  // Bit 0 accepts drops, bit 1 double-click editing.
  void setAcceptBits(uint8_t bits) { accept_ = bits; }
  bool transparencyBackdrop() const { return backdrop_; }
  void setTransparencyBackdrop(bool on) { backdrop_ = on; }

  // The control's size; lays the list out again when it changed.
  void setBounds(int32_t width, int32_t height);
  int32_t width() const { return width_; }
  int32_t height() const { return height_; }
  // Where the items are drawn, in control coordinates.
  TRect itemArea() const;
  // The image size a style starts with (styles 0..6).
  void setStyleImageSize(int32_t style, SSize size);
  // The cell of the current style; never narrower or lower than 1.
  SSize cellSize() const;
  int32_t columns() const;
  int32_t visibleRows() const;
  // The square (or the thumbnail's own shape) the item image takes inside a cell.
  virtual SSize getThumbSize(int32_t index) const;

  // ---- geometry (item area coordinates are control coordinates) ----
  TRect getItemRect(int32_t index) const;
  // The item under a point; may be past the count (check isValidIndex).
  int32_t itemAtPos(int32_t x, int32_t y) const;
  // Where a drop at the point lands: between items, half a cell ahead.
  int32_t insertIndexAtPos(int32_t x, int32_t y) const;
  virtual int32_t hitTestPart(int32_t x, int32_t y) const;
  // The rectangle of the item's name (clicks there are label clicks).
  TRect textRect(int32_t index) const;

  // ---- the toggle button of the compact style with a button ----
  // Inside the item area, one pixel from its left, centred vertically; an
  // empty rectangle in every other style. A click on it flips the switch,
  // which tells its change like a new pick (OnChange).
  TRect dropButtonRect() const;
  bool dropDownPressed() const { return dropDownPressed_; }
  // Sets the switch without telling anyone (the owner loads its state).
  void setDropDownPressed(bool on);

  // ---- scrolling ----
  int32_t scrollPos() const { return scroll_; }
  void setScrollPos(int32_t row);
  SListScroll scrollRange() const;
  // The 1-based row that holds the item.
  int32_t rowOf(int32_t index) const;
  void makeVisible(int32_t index);
  void ensureVisible();
  int32_t pageSize() const;
  // The compact styles: the first item the strip shows, how many it shows,
  // and the items a compact face draws, in drawing order (the active one
  // last, on top).
  int32_t firstShown() const { return firstShown_; }
  int32_t visibleCount() const;
  std::vector<int32_t> compactDrawOrder() const;
  // Brings the item into the strip.
  void scrollStripTo(int32_t index);
  // The next auto-scroll step while dragging at y: -1 up, +1 down, 0 stop;
  // interval the milliseconds until the next tick.
  int32_t autoScrollStep(int32_t y, int32_t& interval) const;

  // ---- items (what the subclasses answer) ----
  virtual int32_t getCount() const { return 0; }
  virtual bool isValidIndex(int32_t i) const { return i >= 0 && i < getCount(); }
  virtual uint32_t getItemFlags(int32_t /*i*/) const { return 15; }
  virtual std::string getItemName(int32_t /*i*/) const { return {}; }
  virtual bool setItemName(int32_t /*i*/, const std::string& /*name*/) { return false; }
  // Composes the item's picture into the rectangle of the graphic.
  virtual void drawItemImage(TMemoryGraphic& /*g*/, const TRect& /*r*/, int32_t /*state*/, int32_t /*i*/) {}
  virtual int32_t getDrawState(int32_t i) const;
  // A second line under the name in the two-line row styles; empty for none.
  virtual std::string getItemDetail(int32_t /*i*/) const { return {}; }
  // Indent of the row in pixels (link levels), and a check box at its left
  // (-1 none, 0 clear, 1 ticked).
  virtual int32_t itemIndent(int32_t /*i*/) const { return 0; }
  virtual int32_t itemCheck(int32_t /*i*/) const { return -1; }

  virtual bool canDeleteItem(int32_t i) const;
  virtual bool canAcceptDrop(int32_t index, const CItemList* source, int32_t sourceIndex) const;
  virtual bool canMoveItem(int32_t to, int32_t from) const;
  virtual bool canAppendFrom(const CItemList* source, int32_t sourceIndex) const;
  virtual bool canInsertFrom(int32_t to, const CItemList* source, int32_t sourceIndex) const;
  virtual bool canDeleteKeepOne(int32_t i) const;
  virtual bool canCopyFrom(int32_t i, const CItemList* source, int32_t sourceIndex) const;
  virtual bool canEditItem(int32_t i) const;
  bool dragOverTest(int32_t index, const CItemList* source, int32_t sourceIndex) const {
    return canAcceptDrop(index, source, sourceIndex);
  }

  virtual int32_t getActiveIndex() const;
  virtual bool setActiveIndex(int32_t i);
  bool selectItem(int32_t i, bool redraw);
  int32_t pressedIndex() const { return pressed_; }
  void setPressedIndex(int32_t i) { pressed_ = i; }

  // The owner's editors: OnNewItem makes a new item (a copy of the active
  // one) and opens its editor, OnEditItem opens item i's editor. Unset, the
  // list has no editor; after either the list reselects its active item,
  // which may have changed in the editor.
  std::function<void()> OnNewItem;
  std::function<void(int32_t i)> OnEditItem;
  virtual bool canNewItem() const { return static_cast<bool>(OnNewItem); }
  virtual bool newItem(bool redraw);
  virtual bool deleteItem(int32_t /*i*/, bool /*redraw*/) { return false; }
  virtual bool replaceItem(int32_t i, int32_t j, bool redraw);
  virtual bool moveItemTo(int32_t to, int32_t from, bool redraw);
  bool copyItem(int32_t to, int32_t from, bool redraw) { return copyInto(this, to, redraw, from); }
  // Copies this list's item sourceIndex into target (a list of the same
  // kind, possibly this one) at index.
  virtual bool copyInto(CItemList* /*target*/, int32_t /*index*/, bool /*redraw*/, int32_t /*sourceIndex*/) {
    return false;
  }
  virtual bool duplicateClick(int32_t i, bool redraw);
  bool copyFromSelf(int32_t i, bool redraw) { return copyInto(this, i, redraw, pressed_); }
  virtual void labelClick(int32_t /*i*/) {}
  virtual void editItem(int32_t i);
  // Lists of one kind exchange items by drag and drop.
  virtual int32_t listKind() const { return 0; }

  bool isModified() const { return modified_; }
  void setModified(bool modified);

  // ---- the pop-up the arrow column of the compact styles drops down ----
  // Whether this list has one: a pop-up of its kind whose own list shows
  // the same collection.
  virtual bool canOpenPopup() const { return false; }
  // The pop-up opened: its list takes this list's modified flag; from now
  // on each pick in it is this list's choice at once (popupPicked) and each
  // change of its modified flag this list's (syncModified). The item active
  // now is the one a cancelled pop-up gives back.
  void bindPopup(CItemList& popupList);
  virtual void popupPicked();
  void syncModified();
  // The pop-up closed: accepted (OK, a click outside) keeps the choice and
  // tells it; otherwise the item active when it opened comes back.
  void popupClosed(bool accepted);
  // The pop-up goes without a word (its owner is going away).
  void dropPopup();
  CItemList* popupList() const { return popup_; }

  // ---- mouse (points in control coordinates) ----
  // A press of the left button; answers the part it hit.
  int32_t mouseDown(int32_t x, int32_t y, uint32_t modifiers);
  void mouseUp();
  // Whether a move with the button held starts a drag (at least dragDistance away).
  bool dragStarts(int32_t x, int32_t y, uint32_t modifiers, int32_t dragDistance) const;
  void doubleClick(int32_t x, int32_t y, uint32_t modifiers);
  // One row per wheel notch; false when the list does not scroll.
  bool wheel(int32_t delta);
  // The tooltip for the point ("%s|..." with the short and long text).
  std::string hintAt(int32_t x, int32_t y) const;
  bool mouseIsDown() const { return mouseDown_; }

  // ---- dragging inside and between lists ----
  bool dragging() const { return dragging_; }
  void setDragging(bool on) { dragging_ = on; }
  int32_t dropTarget() const { return dropTarget_; }
  // A drag from source hovers at the point: the drop target is set and the
  // answer says whether a drop is accepted there.
  bool dragOver(const CItemList* source, int32_t x, int32_t y);
  // The drop; true when it changed anything.
  bool dragDrop(CItemList* source, int32_t x, int32_t y);
  void dragEnd();
  bool dropAccepted() const { return dropAccepted_; }

  void doChange();
  void redraw();

 protected:
  // What a collection list does after its model deleted item i: select the
  // neighbour that takes the place of the item active before (the same
  // place, or the new last item; one step back when the deleted item was
  // before it) and tell the change. A list without an active item moves its
  // pressed item the same way when movePressed is set.
  void reselectAfterDelete(int32_t i, int32_t activeBefore, bool redraw, bool movePressed);
  // A collection list's delete: its test, the model's delete (del), the
  // modified mark and the reselect rule above; false when refused.
  template <class Delete>
  bool deleteAndReselect(int32_t i, bool redraw, bool movePressed, Delete del) {
    int32_t before = activeOrPressed();
    if (!canDeleteKeepOne(i) || !del()) return false;
    setModified(true);
    reselectAfterDelete(i, before, redraw, movePressed);
    return true;
  }
  // The item the rule above starts from: the active one, else the pressed one.
  int32_t activeOrPressed() const { return (options() & kListKeepActive) ? getActiveIndex() : pressed_; }
  // After a model was bound: the pressed item is the active one (the first
  // without one), scrolled into view. After it was unbound: none.
  void showBound();
  void showUnbound();
  // Where a copy dropped at index goes: there when it is a valid, unfixed
  // place, else at the end (-1).
  int32_t copyTargetIndex(int32_t index) const {
    return isValidIndex(index) && !(getItemFlags(index) & kItemFixed) ? index : -1;
  }

  // The rectangle of the item in the grid styles (0..6).
  TRect getItemRectGrid(int32_t index) const;
  TRect getItemRectStrip(int32_t index) const;
  int32_t itemAtPosGrid(int32_t x, int32_t y) const;
  bool compactStyle() const { return style_ >= kListCompact; }
  // Where a cancelled pop-up returns to, taken when it opens (by default the
  // active index), and the return itself.
  virtual int32_t popupReturnPoint() const { return getActiveIndex(); }
  // A point no longer in the list selects nothing.
  virtual void returnToPopupPoint(int32_t point) { (void)setActiveIndex(point); }

  int32_t pressed_ = -1;
  int32_t active_ = -1;

 private:
  int32_t width_ = 0;
  int32_t height_ = 0;
  uint16_t allowed_ = 0;
  int32_t style_ = kListRows;
  bool bottomUp_ = false;
  std::array<SSize, 7> imageSizes_{};
  SSize cell_{24, 24};
  bool frames_ = false;
  uint16_t options_ = 0;
  uint8_t accept_ = 0;
  bool modified_ = false;
  bool backdrop_ = false;
  bool mouseDown_ = false;
  bool dragging_ = false;
  bool dropAccepted_ = false;
  int32_t dropTarget_ = -1;
  int32_t scroll_ = 0;
  int32_t firstShown_ = 0;
  TPoint downPoint_{};
  CItemList* popup_ = nullptr;
  // The pop-up list's own handlers, given back when it closes.
  std::function<void()> popupChange_, popupModified_;
  int32_t popupReturn_ = -1;
  bool dropDownPressed_ = false;
};

// Composites a plane (not premultiplied) centred into the rectangle, cut to it.
void compositeCentred(TMemoryGraphic& g, const TRect& r, const TMTC& plane);

// The hint text for an item name (the undefined marker stands in for an
// empty one).
std::string itemListHint(const std::string& name);

}  // namespace pg
