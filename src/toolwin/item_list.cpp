#include "toolwin/item_list.h"

#include <algorithm>

#include "core/assign_changed.h"
#include "core/planes.h"
#include "platform/message_service.h"
#include "platform/string_table.h"
#include "ui/memory_graphic.h"

namespace pg {

namespace {

// The image sizes a list starts with, styles 0..6.
constexpr std::array<SSize, 7> kDefaultImageSizes = {
    SSize{24, 24}, SSize{32, 32}, SSize{48, 48}, SSize{24, 24}, SSize{32, 32}, SSize{48, 48}, SSize{20, 20}};

constexpr int32_t kScrollBarWidth = 14;
constexpr int32_t kArrowColumn = 10;
// The toggle button of style 8: a small square glyph.
constexpr int32_t kDropButtonSize = 12;

// An item's hint (its name twice) and the name shown for an unnamed item.
constexpr uint32_t kResItemHint = 69395, kResUnnamedItem = 69396;

bool inside(const TRect& r, int32_t x, int32_t y) { return x >= r.Left && x < r.Right && y >= r.Top && y < r.Bottom; }

}  // namespace

std::string itemListHint(const std::string& name) {
  const std::string shown = name.empty() ? resString(kResUnnamedItem) : name;
  return formatRes(kResItemHint, {shown, shown});
}

CItemList::CItemList() : imageSizes_(kDefaultImageSizes) { cell_ = imageSizes_[kListRows]; }

// ---- style and layout ----------------------------------------------------------

void CItemList::setOptions(uint16_t options) {
  if (!assignIfChanged(options_, options)) return;
  frames_ = (options & kListKeepActive) != 0;
  // The double-click switch follows the option both ways.
  accept_ = (options & kListDoubleClickEdit) ? uint8_t(accept_ | 2) : uint8_t(accept_ & ~2);
  redraw();
}

TRect CItemList::itemArea() const {
  // Two pixels of border all round, and the scroll bar (or in the compact
  // styles the arrow column) at the right.
  int32_t right = width_ - 2 - (compactStyle() ? kArrowColumn : kScrollBarWidth);
  return TRect{2, 2, std::max(2, right), std::max(2, height_ - 2)};
}

void CItemList::setStyleImageSize(int32_t style, SSize size) {
  if (style < 0 || style >= 7) return;
  imageSizes_[style] = SSize{std::max(1, size.W), std::max(1, size.H)};
  if (style == style_) setDisplayStyle(style_);
}

bool CItemList::setDisplayStyle(int32_t style) {
  if (style < 0 || style > kListStrip || !(allowed_ & (1u << style))) return false;
  style_ = style;
  TRect a = itemArea();
  int32_t aw = a.Right - a.Left, ah = a.Bottom - a.Top;
  if (style <= kListLargeIcons)
    cell_ = imageSizes_[style];
  else if (style <= kListText)
    cell_ = SSize{aw, imageSizes_[style].H};
  else if (style == kListStrip)
    cell_ = SSize{ah + 2, ah};
  else
    cell_ = SSize{aw, ah};
  ensureVisible();
  return true;
}

void CItemList::setBounds(int32_t width, int32_t height) {
  if (width == width_ && height == height_) return;
  width_ = std::max(0, width);
  height_ = std::max(0, height);
  int32_t style = style_;
  uint16_t allowed = allowed_;
  allowed_ |= static_cast<uint16_t>(1u << style);  // re-lay out whatever the set says
  setDisplayStyle(style);
  allowed_ = allowed;
}

SSize CItemList::cellSize() const { return SSize{std::max(1, cell_.W), std::max(1, cell_.H)}; }

int32_t CItemList::columns() const {
  TRect a = itemArea();
  return std::max((a.Right - a.Left) / cellSize().W, 1);
}

int32_t CItemList::visibleRows() const {
  TRect a = itemArea();
  return std::max((a.Bottom - a.Top - 1) / cellSize().H + 1, 1);
}

SSize CItemList::getThumbSize(int32_t /*index*/) const {
  int32_t side = cellSize().H - 1;
  if (frames_) side -= 4 + 2;
  side = std::max(1, side);
  return SSize{side, side};
}

// ---- geometry ---------------------------------------------------------------------

TRect CItemList::getItemRectGrid(int32_t index) const {
  SSize c = cellSize();
  int32_t cols = columns();
  int32_t j = bottomUp_ ? getCount() - 1 - index : index;
  TRect a = itemArea();
  int32_t left = a.Left + (j % cols) * c.W;
  int32_t top = a.Top + (j / cols) * c.H - scroll_ * c.H;
  return TRect{left, top, left + c.W, top + c.H};
}

TRect CItemList::getItemRect(int32_t index) const {
  if (!compactStyle()) return getItemRectGrid(index);
  if (style_ != kListStrip) return itemArea();
  return getItemRectStrip(index);
}

TRect CItemList::getItemRectStrip(int32_t index) const {
  // Cells one pixel apart from the left; when they do not all fit, the
  // step shrinks so that they overlap and the last one ends at the right.
  TRect a = itemArea();
  const int32_t n = visibleCount(), k = index - firstShown_;
  if (k < 0 || k >= n) return TRect{a.Left, a.Top, a.Left, a.Top};
  const int32_t w = cellSize().H + 1, aw = a.Right - a.Left;
  int32_t left = a.Left + k * w;
  if (w * n - 1 > aw && n > 1) {
    const int64_t span = int64_t(w) * n - w - 1;
    left = a.Left + static_cast<int32_t>((int64_t(k) * w * std::max(0, aw - w - 1) + span / 2) / std::max<int64_t>(1, span));
  }
  return TRect{left, a.Top, left + w - 1, a.Bottom};
}

int32_t CItemList::visibleCount() const {
  if (style_ == kListCompact || style_ == kListCompactButton) return isValidIndex(getActiveIndex()) ? 1 : 0;
  return std::max(0, std::min(pageSize(), getCount() - firstShown_));
}

std::vector<int32_t> CItemList::compactDrawOrder() const {
  std::vector<int32_t> order;
  const int32_t active = getActiveIndex();
  if (style_ == kListCompact || style_ == kListCompactButton) {
    if (isValidIndex(active)) order.push_back(active);
    return order;
  }
  // Those before the active item from the left, those after it from the
  // right end back: the nearer an item is to the active one, the more of it shows.
  const int32_t first = firstShown_, end = firstShown_ + visibleCount();
  const bool activeShown = active >= first && active < end;
  const int32_t split = activeShown ? active : end;
  for (int32_t i = first; i < split; ++i) order.push_back(i);
  for (int32_t i = end - 1; i > split; --i) order.push_back(i);
  if (activeShown) order.push_back(active);
  return order;
}

void CItemList::scrollStripTo(int32_t index) {
  if (style_ != kListStrip) return;
  const int32_t page = pageSize();
  if (index <= firstShown_)
    firstShown_ = index - 1;
  else if (index >= firstShown_ + std::min(page, getCount() - firstShown_) - 1)
    firstShown_ = index - page + 2;
  firstShown_ = std::clamp(firstShown_, 0, std::max(0, getCount() - page));
}

int32_t CItemList::itemAtPosGrid(int32_t x, int32_t y) const {
  TRect a = itemArea();
  SSize c = cellSize();
  int32_t rx = x - a.Left, ry = y - a.Top;
  if (rx < 0 || ry < 0) return -1;
  int32_t col = rx / c.W;
  if (col >= columns()) return -1;
  int32_t j = (scroll_ + ry / c.H) * columns() + col;
  return bottomUp_ ? getCount() - 1 - j : j;
}

int32_t CItemList::itemAtPos(int32_t x, int32_t y) const {
  if (style_ == kListCompact || style_ == kListCompactButton) return getActiveIndex();
  if (style_ == kListStrip) {
    // The item on top at the point: the drawing order's last that holds it.
    const std::vector<int32_t> order = compactDrawOrder();
    for (auto it = order.rbegin(); it != order.rend(); ++it) {
      const TRect r = getItemRectStrip(*it);
      if (x >= r.Left && x < r.Right) return *it;
    }
    return -1;
  }
  return itemAtPosGrid(x, y);
}

int32_t CItemList::insertIndexAtPos(int32_t x, int32_t y) const {
  SSize c = cellSize();
  TRect a = itemArea();
  if (style_ <= kListLargeIcons) {
    x += c.W / 2;
    int32_t rx = x - a.Left, ry = std::max(0, y - a.Top);
    int32_t cols = columns();
    int32_t col = std::min(rx / c.W, cols);
    int32_t j = (scroll_ + ry / c.H) * cols + col;
    int32_t i = bottomUp_ ? getCount() - j : j;
    return std::clamp(i, 0, getCount());
  }
  // Rows: the upper half of a row drops before the item as the list reads,
  // the lower half after it. A bottom-up list reads from the bottom, so the
  // half-cell shift goes the other way.
  int32_t ry = y - a.Top;
  if (bottomUp_) {
    int32_t j = ry < 0 ? -1 : scroll_ + ry / c.H;
    int32_t below = ry - (j - scroll_) * c.H >= c.H / 2;  // lower half of its row
    int32_t i = getCount() - j - (below ? 1 : 0);
    return std::clamp(i, 0, getCount());
  }
  ry += c.H / 2;
  int32_t j = ry < 0 ? 0 : scroll_ + ry / c.H;
  return std::clamp(j, 0, getCount());
}

TRect CItemList::dropButtonRect() const {
  const TRect a = itemArea();
  if (style_ != kListCompactButton) return TRect{a.Left, a.Top, a.Left, a.Top};
  const int32_t w = std::min(kDropButtonSize, std::max(0, a.Right - a.Left - 1));
  const int32_t h = std::min(kDropButtonSize, a.Bottom - a.Top);
  const int32_t top = a.Top + (a.Bottom - a.Top - h) / 2;
  return TRect{a.Left + 1, top, a.Left + 1 + w, top + h};
}

void CItemList::setDropDownPressed(bool on) {
  if (assignIfChanged(dropDownPressed_, on)) redraw();
}

int32_t CItemList::hitTestPart(int32_t x, int32_t y) const {
  TRect a = itemArea();
  if (compactStyle() && x >= a.Right && x < width_ - 2 && y >= a.Top && y < a.Bottom) return kPartArrows;
  if (!inside(a, x, y)) return kPartNothing;
  if (style_ == kListCompactButton && inside(dropButtonRect(), x, y)) return kPartDropButton;
  int32_t i = itemAtPos(x, y);
  if (isValidIndex(i) && inside(getItemRect(i), x, y)) return kPartItem;
  return kPartEmpty;
}

TRect CItemList::textRect(int32_t index) const {
  TRect r = getItemRect(index);
  if (style_ >= kListSmallRows && style_ <= kListLargeRows) r.Left += cellSize().H;
  if (style_ <= kListLargeIcons) return TRect{r.Left, r.Top, r.Left, r.Top};
  r.Left += 3;
  r.Right -= 3;
  return r;
}

// ---- scrolling -----------------------------------------------------------------------

int32_t CItemList::rowOf(int32_t index) const {
  int32_t j = bottomUp_ ? getCount() - 1 - index : index;
  return std::max(0, j) / columns() + 1;
}

SListScroll CItemList::scrollRange() const {
  SListScroll s;
  int32_t count = getCount();
  int32_t vis = visibleRows();
  s.page = vis;
  if (count <= 0 || compactStyle()) return s;
  int32_t cols = columns();
  int32_t rows = (count - 1) / cols + 1;
  TRect a = itemArea();
  int32_t ch = cellSize().H;
  if ((a.Bottom - a.Top + 1) % ch != 0)
    ++rows;
  else if ((options_ & kListAddByClick) && count % cols == 0)
    ++rows;  // room for the cell that adds an item
  if (rows <= vis) return s;
  s.visible = true;
  s.max = rows - vis;
  s.position = std::min(scroll_, s.max);
  return s;
}

void CItemList::setScrollPos(int32_t row) {
  SListScroll s = scrollRange();
  int32_t pos = std::clamp(row, 0, s.max);
  if (assignIfChanged(scroll_, pos)) redraw();
}

void CItemList::makeVisible(int32_t index) {
  if (!isValidIndex(index)) return redraw();
  if (compactStyle()) {
    scrollStripTo(index);
    return redraw();
  }
  int32_t row = rowOf(index);
  int32_t pos = scroll_;
  if (pos > row - 1)
    pos = row - 1;
  else if (row > pos + visibleRows() - 1 && visibleRows() > 1)
    pos = row - visibleRows() + 1;
  scroll_ = std::clamp(pos, 0, scrollRange().max);
  redraw();
}

void CItemList::ensureVisible() {
  scroll_ = std::clamp(scroll_, 0, scrollRange().max);
  int32_t i = (options_ & kListKeepActive) ? getActiveIndex() : pressed_;
  makeVisible(i);
}

int32_t CItemList::pageSize() const {
  SSize c = cellSize();
  TRect a = itemArea();
  int32_t aw = a.Right - a.Left;
  if (getCount() == 0 || cell_.W <= 0 || cell_.H <= 0) return 0;
  if (style_ == kListCompact || style_ == kListCompactButton || aw <= c.W) return 1;
  return 1 + (aw - c.W) / std::max(1, (c.W + 1) / 2);
}

int32_t CItemList::autoScrollStep(int32_t y, int32_t& interval) const {
  TRect a = itemArea();
  int32_t zone = std::max(cellSize().H, 24);
  int32_t distance;
  int32_t step;
  if (y < a.Top + zone) {
    distance = y - a.Top;
    step = -1;
  } else if (y > a.Bottom - zone) {
    distance = a.Bottom - y;
    step = 1;
  } else {
    interval = 0;
    return 0;
  }
  // Faster towards the edge: 20 ms at the edge, 500 ms a zone inside.
  interval = std::max(distance, 0) * 480 / (zone - 1) + 20;
  return step;
}

// ---- item rules ------------------------------------------------------------------------

int32_t CItemList::getDrawState(int32_t i) const {
  int32_t state = kDrawPlain;
  if (i == getActiveIndex()) state |= kDrawActive;
  if ((mouseDown_ || dragging_) && i == pressed_) state |= kDrawPressed;
  return state;
}

bool CItemList::canDeleteItem(int32_t i) const {
  int32_t k = isValidIndex(i) ? i : getActiveIndex();
  return isValidIndex(k) && !(getItemFlags(k) & kItemFixed);
}

bool CItemList::canAcceptDrop(int32_t index, const CItemList* source, int32_t sourceIndex) const {
  if (source == nullptr) return false;
  if (source->isValidIndex(sourceIndex) && (source->getItemFlags(sourceIndex) & kItemNoDrag)) return false;
  if (source == this) return canMoveItem(index, sourceIndex);
  return isValidIndex(index) ? canInsertFrom(index, source, sourceIndex) : canAppendFrom(source, sourceIndex);
}

bool CItemList::canMoveItem(int32_t to, int32_t from) const {
  int32_t f = isValidIndex(from) ? from : getActiveIndex();
  if (!isValidIndex(f) || (getItemFlags(f) & kItemFixed)) return false;
  // The slot after the last item is a valid place to move to.
  if (to < 0 || to > getCount()) return false;
  if (to < getCount() && (getItemFlags(to) & kItemFixed)) return false;
  return to != f && to != f + 1;
}

bool CItemList::canAppendFrom(const CItemList* source, int32_t sourceIndex) const {
  return source && source->isValidIndex(sourceIndex);
}

bool CItemList::canInsertFrom(int32_t to, const CItemList* source, int32_t sourceIndex) const {
  if (!source || !source->isValidIndex(sourceIndex)) return false;
  int32_t t = isValidIndex(to) ? to : getActiveIndex();
  if (source == this && (t == sourceIndex || t == sourceIndex + 1)) return false;
  return !isValidIndex(t) || !(getItemFlags(t) & kItemFixed);
}

bool CItemList::canDeleteKeepOne(int32_t i) const {
  if (!isValidIndex(i) || (getItemFlags(i) & kItemFixed)) return false;
  return !(options_ & kListKeepActive) || getCount() > 0;
}

bool CItemList::canCopyFrom(int32_t i, const CItemList* source, int32_t sourceIndex) const {
  if (isValidIndex(i) && (getItemFlags(i) & kItemFixed)) return false;
  return source && source->isValidIndex(sourceIndex);
}

bool CItemList::canEditItem(int32_t i) const { return isValidIndex(i) && !(getItemFlags(i) & kItemNoEdit); }

int32_t CItemList::getActiveIndex() const { return (options_ & kListKeepActive) ? active_ : -1; }

bool CItemList::setActiveIndex(int32_t i) {
  if (!isValidIndex(i)) return false;
  if (options_ & kListKeepActive) active_ = i;
  pressed_ = i;
  doChange();
  return true;
}

bool CItemList::selectItem(int32_t i, bool redrawIt) {
  if (!isValidIndex(i)) return false;
  setActiveIndex(i);
  if (redrawIt) makeVisible(i);
  return true;
}

bool CItemList::replaceItem(int32_t i, int32_t j, bool redrawIt) {
  if (i == j || !isValidIndex(i)) return false;
  if (!copyItem(i, j, false)) return false;
  if (isValidIndex(i + 1)) deleteItem(i + 1, false);
  return selectItem(i, redrawIt);
}

bool CItemList::moveItemTo(int32_t to, int32_t from, bool redrawIt) {
  to = std::clamp(to, 0, getCount());
  if (!canMoveItem(to, from)) return false;
  if (!copyItem(to, from, false)) return false;
  if (to <= from) {
    deleteItem(from + 1, false);
  } else {
    deleteItem(from, false);
    --to;
  }
  return selectItem(to, redrawIt);
}

bool CItemList::duplicateClick(int32_t i, bool redrawIt) {
  return isValidIndex(i) ? replaceItem(i, pressed_, redrawIt) : copyItem(i, pressed_, redrawIt);
}

void CItemList::reselectAfterDelete(int32_t i, int32_t active, bool redrawIt, bool movePressed) {
  int32_t count = getCount();
  bool keep = (options_ & kListKeepActive) != 0;
  // At or after the active item: the same place (or the new last one);
  // before it: the active one has moved one step back.
  int32_t next = i >= active ? std::min(active, count - 1) : active - 1;
  if (keep) {
    active_ = -1;
    if (count > 0) selectItem(std::max(0, next), redrawIt);
  } else if (movePressed) {
    pressed_ = count > 0 ? std::clamp(next, 0, count - 1) : -1;
    if (redrawIt) ensureVisible();
  }
  doChange();
}

void CItemList::showBound() {
  int32_t active = getActiveIndex();
  if (options_ & kListKeepActive) active_ = active;
  pressed_ = (options_ & kListKeepActive) && isValidIndex(active) ? active : (isValidIndex(0) ? 0 : -1);
  ensureVisible();
  redraw();
}

void CItemList::showUnbound() {
  pressed_ = -1;
  active_ = -1;
  redraw();
}

void compositeCentred(TMemoryGraphic& g, const TRect& r, const TMTC& plane) {
  if (!plane.IsAllocated()) return;
  int32_t w = std::min(plane.Width, r.Right - r.Left), h = std::min(plane.Height, r.Bottom - r.Top);
  int32_t x = r.Left + (r.Right - r.Left - w) / 2, y = r.Top + (r.Bottom - r.Top - h) / 2;
  for (int32_t row = 0; row < h; ++row)
    g.blendFromPixels(x, y + row, w, 1, plane.pixelAt(0, row), 0, 0, plane.Width, 1, lerpChannel, keepChannel);
}

void CItemList::setModified(bool modified) {
  modified_ = modified;
  if (popup_ && popup_->isModified() != modified) popup_->setModified(modified);
  if (OnModified) OnModified();
}

// ---- the pop-up ------------------------------------------------------------------------

void CItemList::bindPopup(CItemList& popupList) {
  dropPopup();
  popupReturn_ = popupReturnPoint();
  popupList.setModified(modified_);
  popup_ = &popupList;
  // The pop-up's own handlers (its preview) still run first.
  popupChange_ = popupList.OnChange;
  popupModified_ = popupList.OnModified;
  popupList.OnChange = [this] {
    if (popupChange_) popupChange_();
    popupPicked();
  };
  popupList.OnModified = [this] {
    if (popupModified_) popupModified_();
    syncModified();
  };
}

void CItemList::popupPicked() {
  // Both lists show one collection: this list's active item is already the
  // pick, which it now takes over as its own choice.
  if (!setActiveIndex(getActiveIndex())) doChange();
  ensureVisible();
}

void CItemList::syncModified() {
  if (!popup_ || popup_->isModified() == modified_) return;
  modified_ = popup_->isModified();
  if (OnModified) OnModified();
}

void CItemList::popupClosed(bool accepted) {
  if (!popup_) return;
  dropPopup();
  if (!accepted)
    returnToPopupPoint(popupReturn_);
  else
    doChange();
  ensureVisible();
}

void CItemList::dropPopup() {
  if (!popup_) return;
  popup_->OnChange = std::move(popupChange_);
  popup_->OnModified = std::move(popupModified_);
  popupChange_ = nullptr;
  popupModified_ = nullptr;
  popup_ = nullptr;
}

void CItemList::doChange() {
  if (OnChange) OnChange();
}

void CItemList::redraw() {
  if (OnRedraw) OnRedraw();
}

// ---- mouse -----------------------------------------------------------------------------------

int32_t CItemList::mouseDown(int32_t x, int32_t y, uint32_t modifiers) {
  mouseDown_ = false;
  int32_t part = hitTestPart(x, y);
  if (part == kPartDropButton) {
    dropDownPressed_ = !dropDownPressed_;
    doChange();
    redraw();
    return part;
  }
  if (part == kPartNothing || part == kPartToggle || part == kPartArrows) return part;
  downPoint_ = TPoint{x, y};
  pressed_ = itemAtPos(x, y);
  if (part == kPartEmpty) {
    if ((options_ & kListAddByClick) && !duplicateClick(getCount(), true) && OnWarning)
      OnWarning(resString(kResOperationFailed));
    redraw();
    return part;
  }
  if (!isValidIndex(pressed_)) return part;
  uint32_t m = modifiers & (kListShift | kListAlt | kListCtrl);
  if (m == (kListCtrl | kListShift)) {
    if (options_ & kListCopyCtrlShift) copyFromSelf(pressed_, true);
  } else if (m == kListCtrl) {
    if (options_ & kListDeleteCtrl) deleteItem(pressed_, true);
  } else if (m == kListShift) {
    if (options_ & kListDupShift) duplicateClick(pressed_, true);
  } else if (m == 0) {
    mouseDown_ = true;
    int32_t i = pressed_;
    selectItem(i, true);
    if (!(getItemFlags(i) & kItemNoLabel) && inside(textRect(i), x, y)) labelClick(i);
  }
  redraw();
  return part;
}

void CItemList::mouseUp() {
  dragging_ = false;
  mouseDown_ = false;
  redraw();
}

bool CItemList::dragStarts(int32_t x, int32_t y, uint32_t modifiers, int32_t dragDistance) const {
  if (!(options_ & kListDraggable) || !mouseDown_ || dragging_) return false;
  if (modifiers & (kListShift | kListAlt | kListCtrl)) return false;
  if (hitTestPart(downPoint_.X, downPoint_.Y) != kPartItem) return false;
  return std::abs(x - downPoint_.X) >= dragDistance || std::abs(y - downPoint_.Y) >= dragDistance;
}

void CItemList::doubleClick(int32_t x, int32_t y, uint32_t modifiers) {
  if (!(accept_ & 2) || (modifiers & (kListShift | kListCtrl))) return;
  int32_t i = itemAtPos(x, y);
  if (i != pressed_ || hitTestPart(x, y) != kPartItem || (getItemFlags(i) & kItemNoEdit)) return;
  editItem(i);
}

bool CItemList::newItem(bool redrawIt) {
  if (!canNewItem()) return false;
  OnNewItem();
  selectItem(getActiveIndex(), redrawIt);
  redraw();
  return true;
}

void CItemList::editItem(int32_t i) {
  if (!OnEditItem || !canEditItem(i)) return;
  OnEditItem(i);
  selectItem(getActiveIndex(), true);
  redraw();
}

bool CItemList::wheel(int32_t delta) {
  if (compactStyle() || !scrollRange().visible) return false;
  setScrollPos(scroll_ + (delta > 0 ? -1 : 1));
  return true;
}

std::string CItemList::hintAt(int32_t x, int32_t y) const {
  int32_t i = itemAtPos(x, y);
  if (hitTestPart(x, y) != kPartItem || !isValidIndex(i)) return {};
  return itemListHint(getItemName(i));
}

// ---- dragging ----------------------------------------------------------------------------------

bool CItemList::dragOver(const CItemList* source, int32_t x, int32_t y) {
  dropAccepted_ = false;
  if (source == nullptr || source->listKind() != listKind() || !(accept_ & 1)) {
    dropTarget_ = -1;
    return false;
  }
  dropTarget_ = insertIndexAtPos(x, y);
  TRect a = itemArea();
  if (x < a.Left || x >= a.Right || y < a.Top - cellSize().H || y >= a.Bottom + cellSize().H)
    dropAccepted_ = false;
  else if (source == this)
    dropAccepted_ = dragOverTest(dropTarget_, source, source->pressedIndex());
  else
    dropAccepted_ = true;
  if (source == this) dragging_ = true;
  redraw();
  return dropAccepted_;
}

bool CItemList::dragDrop(CItemList* source, int32_t x, int32_t y) {
  bool done = false;
  if (dragOver(source, x, y)) {
    int32_t target = dropTarget_;
    int32_t from = source->pressedIndex();
    if (source == this) {
      if (target != from) done = moveItemTo(target, from, true);
    } else {
      done = source->copyInto(this, target, true, from);
    }
  }
  dragEnd();
  return done;
}

void CItemList::dragEnd() {
  dropTarget_ = -1;
  dropAccepted_ = false;
  dragging_ = false;
  mouseDown_ = false;
  redraw();
}

}  // namespace pg
