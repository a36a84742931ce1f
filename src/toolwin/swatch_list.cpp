#include "toolwin/swatch_list.h"

#include <algorithm>
#include <cstdio>

#include "ui/memory_graphic.h"

namespace pg {

CSwatchList::CSwatchList() : manager_(std::make_unique<TSwatchMngr>()) {
  setAllowedStyles(0x7F);
  setStyleImageSize(kListSmallIcons, {12, 12});
  setStyleImageSize(kListIcons, {16, 16});
  setStyleImageSize(kListLargeIcons, {24, 24});
  setStyleImageSize(kListSmallRows, {20, 20});
  setStyleImageSize(kListRows, {24, 24});
  setStyleImageSize(kListLargeRows, {24, 24});
  setStyleImageSize(kListText, {20, 20});
  setDisplayStyle(kListSmallIcons);
}

void CSwatchList::bind(std::unique_ptr<TSwatchMngr> manager) {
  if (!manager) return;
  manager_ = std::move(manager);
  pressed_ = 0;
  if (options() & kListKeepActive) active_ = isValidIndex(0) ? 0 : -1;
  ensureVisible();
}

std::unique_ptr<TSwatchMngr> CSwatchList::unbind() {
  auto old = std::move(manager_);
  manager_ = std::make_unique<TSwatchMngr>();
  showUnbound();
  return old;
}

uint32_t CSwatchList::colorAt(int32_t i) const {
  const TSwatchItem* s = manager_->getItem(i);
  return s ? (s->Color & 0x00FFFFFFu) : 0;
}

void CSwatchList::setColorAt(int32_t i, uint32_t colour) {
  const TSwatchItem* s = manager_->getItem(i);
  if (!s) return;
  TSwatchItem changed = *s;
  changed.Color = (s->Color & 0xFF000000u) | (colour & 0x00FFFFFFu);
  // The changed copy goes in first: a copy that cannot be had leaves the old colour.
  if (manager_->insertItem(i + 1, changed) < 0) return;
  (void)manager_->deleteItem(i);  // i is valid: its item was read above
  setModified(true);
  doChange();
  redraw();
}

uint32_t CSwatchList::currentColor() const {
  if (OnCurrentColor) return OnCurrentColor() & 0x00FFFFFFu;
  if (options() & kListKeepActive) return colorAt(getActiveIndex());
  return 0;
}

std::string CSwatchList::getItemName(int32_t i) const {
  if (!isValidIndex(i)) return {};
  uint32_t c = colorAt(i);
  char text[40];
  std::snprintf(text, sizeof text, "R %3.3d, G %3.3d, B %3.3d", static_cast<int>((c >> 16) & 0xFF),
                static_cast<int>((c >> 8) & 0xFF), static_cast<int>(c & 0xFF));
  return text;
}

void CSwatchList::drawItemImage(TMemoryGraphic& g, const TRect& r, int32_t /*state*/, int32_t i) {
  g.fillRect(r, 0xFF000000u | colorAt(i), copyChannel, copyChannel);
}

bool CSwatchList::insertColor(CSwatchList& target, int32_t index, uint32_t colour, bool redrawIt) {
  int32_t at = target.manager_->addColor(index, colour & 0x00FFFFFFu);
  if (at < 0) return false;
  target.setModified(true);
  target.selectItem(at, redrawIt);
  return true;
}

bool CSwatchList::deleteItem(int32_t i, bool redrawIt) {
  return deleteAndReselect(i, redrawIt, true, [&] { return manager_->deleteItem(i); });
}

bool CSwatchList::copyInto(CItemList* target, int32_t index, bool redrawIt, int32_t sourceIndex) {
  auto* t = dynamic_cast<CSwatchList*>(target);
  if (!t || !isValidIndex(sourceIndex)) return false;
  return insertColor(*t, t->copyTargetIndex(index), colorAt(sourceIndex), redrawIt);
}

bool CSwatchList::duplicateClick(int32_t i, bool redrawIt) {
  int32_t index = isValidIndex(i) ? i : getCount();
  pressed_ = index;
  int32_t at = manager_->addColor(index, currentColor());
  if (at < 0) return false;
  setModified(true);
  if (options() & kListKeepActive) setActiveIndex(at);
  if (redrawIt) makeVisible(at);
  return true;
}

bool CSwatchList::acceptsNewDrop(const CItemList* source) const {
  return source != nullptr && source->listKind() == listKind() && source->isValidIndex(source->pressedIndex()) &&
         source->canCopyFrom(source->getCount(), source, source->pressedIndex());
}

bool CSwatchList::newFromDrop(CItemList* source) {
  if (!acceptsNewDrop(source)) return false;
  return source->copyInto(this, getCount(), true, source->pressedIndex());
}

bool CSwatchList::acceptsDeleteDrop(const CItemList* source) const {
  return source == this && canDeleteKeepOne(pressed_);
}

bool CSwatchList::deleteFromDrop(CItemList* source) {
  if (!acceptsDeleteDrop(source)) return false;
  return deleteItem(pressed_, true);
}

}  // namespace pg
