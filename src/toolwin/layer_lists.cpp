#include "toolwin/layer_lists.h"

#include <algorithm>
#include <cstdio>

#include "canvas/draw_window.h"
#include "core/blend_modes.h"
#include "document/layer_data.h"
#include "document/layer_mngr.h"
#include "document/mask_data.h"
#include "document/mask_mngr.h"
#include "document/paper.h"
#include "ui/memory_graphic.h"

namespace pg {

namespace {

// The checkerboard behind transparent thumbnails.
constexpr TUiColor kCheckLight = 0xFFFFFFFFu;
constexpr TUiColor kCheckDark = 0xFFCCCCCCu;
// The visibility column of a layer row.
constexpr int32_t kVisibilityColumn = 17;
constexpr int32_t kIndentPerLevel = 9;

}  // namespace

// ---- shared ------------------------------------------------------------------------------------

TPaper* CDocItemList::paper() const { return window_ ? &window_->paper() : nullptr; }

void CDocItemList::bind(TDrawWindow* window) {
  window_ = window;
  int32_t active = getActiveIndex();
  if (options() & kListKeepActive)
    pressed_ = active;
  else
    pressed_ = isValidIndex(0) ? 0 : -1;
  setDisplayStyle(displayStyle());
  ensureVisible();
  if (OnBind) OnBind();
}

TDrawWindow* CDocItemList::unbind() {
  TDrawWindow* old = window_;
  window_ = nullptr;
  pressed_ = -1;
  redraw();
  return old;
}

bool CDocItemList::canEdit() const { return window_ && paper() && window_->canEdit(false, false, true); }

uint32_t CDocItemList::getItemFlags(int32_t /*i*/) const {
  return canEdit() ? 0u : (kItemFixed | kItemNoLabel | kItemNoEdit);
}

bool CDocItemList::canMoveItem(int32_t to, int32_t from) const {
  return canEdit() && CItemList::canMoveItem(to, from);
}

bool CDocItemList::canAppendFrom(const CItemList* source, int32_t sourceIndex) const {
  return canEdit() && source == this && CItemList::canAppendFrom(source, sourceIndex);
}

bool CDocItemList::canInsertFrom(int32_t to, const CItemList* source, int32_t sourceIndex) const {
  return canEdit() && source == this && CItemList::canInsertFrom(to, source, sourceIndex);
}

bool CDocItemList::canDeleteKeepOne(int32_t i) const {
  return canEdit() && getCount() > 1 && CItemList::canDeleteKeepOne(i);
}

bool CDocItemList::canCopyFrom(int32_t i, const CItemList* source, int32_t sourceIndex) const {
  return canEdit() && source == this && CItemList::canCopyFrom(i, source, sourceIndex);
}

void CDocItemList::edited(bool rescroll) {
  window_->setModified(true);
  window_->invalidateView();
  setModified(true);
  doChange();
  if (rescroll)
    ensureVisible();
  else
    redraw();
}

// ---- layers -------------------------------------------------------------------------------------

CLayerList::CLayerList() {
  setAllowedStyles((1u << kListSmallRows) | (1u << kListRows) | (1u << kListLargeRows) | (1u << kListText));
  setBottomUp(true);
  setTransparencyBackdrop(true);
  setDisplayStyle(kListRows);
}

int32_t CLayerList::getCount() const { return paper() ? paper()->layerCount() : 0; }

std::string CLayerList::getItemName(int32_t i) const {
  const CLayerData* l = paper() ? paper()->getLayer(i) : nullptr;
  return l ? l->name : std::string();
}

bool CLayerList::setItemName(int32_t i, const std::string& name) {
  if (!canEdit() || !isValidIndex(i) || getItemName(i) == name) return false;
  if (!paper()->setLayerName(i, name, true)) return false;
  edited(false);
  return true;
}

std::string CLayerList::getItemDetail(int32_t i) const {
  const CLayerData* l = paper() ? paper()->getLayer(i) : nullptr;
  if (!l) return {};
  char percent[16];
  std::snprintf(percent, sizeof percent, "%1.0f%%", l->opacity * 100.0 / 255.0);
  return std::string(percent) + "\t" + layerBlendName(l->blendMode);
}

int32_t CLayerList::itemIndent(int32_t i) const {
  const CLayerData* l = paper() ? paper()->getLayer(i) : nullptr;
  return l ? l->linkLevel * kIndentPerLevel : 0;
}

int32_t CLayerList::itemCheck(int32_t i) const {
  const CLayerData* l = paper() ? paper()->getLayer(i) : nullptr;
  return l ? (l->visible ? 1 : 0) : -1;
}

int32_t CLayerList::getActiveIndex() const {
  return (options() & kListKeepActive) && paper() ? paper()->currentLayerIndex() : -1;
}

bool CLayerList::setActiveIndex(int32_t i) {
  if (!isValidIndex(i) || !(options() & kListKeepActive)) return false;
  if (i != paper()->currentLayerIndex()) {
    if (!canEdit() || !paper()->setCurrentLayer(&window_->flow(), i)) return false;
    window_->invalidateView();
  }
  pressed_ = i;
  doChange();
  return true;
}

int32_t CLayerList::getDrawState(int32_t i) const {
  int32_t state = CItemList::getDrawState(i);
  // A pressed layer carries its link group along.
  if ((mouseIsDown() || dragging()) && isValidIndex(pressed_) && i > pressed_ && i < pressed_ + groupSize(pressed_))
    state |= kDrawPressed;
  return state;
}

SSize CLayerList::getThumbSize(int32_t index) const {
  SSize box = CItemList::getThumbSize(index);
  const CLayerData* l = paper() ? paper()->getLayer(index) : nullptr;
  if (!l || !l->thumbnail || l->thumbnail->Width <= 0 || l->thumbnail->Height <= 0) return box;
  int32_t tw = l->thumbnail->Width, th = l->thumbnail->Height;
  if (th >= tw) return SSize{std::max(1, box.W * tw / th), box.H};
  return SSize{box.W, std::max(1, box.H * th / tw)};
}

void CLayerList::drawItemImage(TMemoryGraphic& g, const TRect& r, int32_t /*state*/, int32_t i) {
  const CLayerData* l = paper() ? paper()->getLayer(i) : nullptr;
  const TMTC* fresh = l ? l->freshThumbnail() : nullptr;
  if (fresh == nullptr) return;
  const TMTC& t = *fresh;
  int32_t w = std::min(t.Width, r.Right - r.Left), h = std::min(t.Height, r.Bottom - r.Top);
  TRect box{r.Left + (r.Right - r.Left - w) / 2, r.Top + (r.Bottom - r.Top - h) / 2, 0, 0};
  box.Right = box.Left + w;
  box.Bottom = box.Top + h;
  g.fillChecker(box, 4, 4, kCheckLight, kCheckDark, copyChannel, copyChannel);
  compositeCentred(g, r, t);
}

int32_t CLayerList::hitTestPart(int32_t x, int32_t y) const {
  int32_t part = CItemList::hitTestPart(x, y);
  if (part != kPartItem || displayStyle() == kListText) return part;
  TRect r = getItemRect(itemAtPos(x, y));
  return x - r.Left <= kVisibilityColumn ? kPartToggle : part;
}

int32_t CLayerList::press(int32_t x, int32_t y, uint32_t modifiers) {
  int32_t part = mouseDown(x, y, modifiers);
  int32_t i = itemAtPos(x, y);
  if (!canEdit() || !isValidIndex(i)) return part;
  const CLayerData* l = paper()->getLayer(i);
  bool shift = (modifiers & kListShift) != 0;
  bool changed = false;
  if ((part == kPartToggle && !shift) || (part == kPartToggle && !l->visible)) {
    changed = paper()->setLayerGroupVisible(i, groupSize(i), !l->visible, true);
  } else if (part == kPartToggle) {
    int32_t shown = 0;
    for (int32_t k = 0; k < getCount(); ++k) shown += paper()->getLayer(k)->visible ? 1 : 0;
    changed = shown == 1 ? paper()->showAllLayers(i, true, true) : paper()->showOnlyLayer(i, true);
  } else if (part == kPartItem && (modifiers & (kListCtrl | kListShift | kListAlt)) == kListCtrl) {
    CMaskMngr* masks = paper()->masks();
    changed = masks && paper()->newMaskFromLayer(window_->flow(), i, 1, 0, masks->current(), true);
  }
  if (changed) edited(false);
  return part;
}

int32_t CLayerList::thumbHeight() const { return CItemList::getThumbSize(0).H; }

void CLayerList::refitThumbnails() {
  if (!paper() || displayStyle() == kListText) return;
  int32_t edge = thumbHeight();
  for (int32_t i = 0; i < getCount(); ++i) {
    CLayerData* l = paper()->getLayer(i);
    if (l && l->resizeThumbnail(edge, edge)) (void)l->updateThumbnail();  // a thumbnail that fails stays stale
  }
  ensureVisible();
}

int32_t CLayerList::groupSize(int32_t i) const {
  if (!paper() || !paper()->isValidLayer(i)) return 1;
  return std::max(0, paper()->layers()->linkGroupLength(i)) + 1;
}

bool CLayerList::hasLinkedLayers() const {
  for (int32_t k = 0; k < getCount(); ++k)
    if (paper()->getLayer(k)->linkLevel > 0) return true;
  return false;
}

bool CLayerList::canMoveItem(int32_t to, int32_t from) const {
  if (!CDocItemList::canMoveItem(to, from)) return false;
  // A linked layer moves up only past the end of its own group.
  if (hasLinkedLayers() && to > from && to <= from + groupSize(from)) return false;
  return true;
}

bool CLayerList::canInsertFrom(int32_t to, const CItemList* source, int32_t sourceIndex) const {
  if (!CDocItemList::canInsertFrom(to, source, sourceIndex)) return false;
  return !(hasLinkedLayers() && to > sourceIndex && to <= sourceIndex + groupSize(sourceIndex));
}

bool CLayerList::deleteItem(int32_t i, bool redrawIt) {
  if (!canDeleteKeepOne(i)) return false;
  if (!paper()->deleteLayer(&window_->flow(), i, true)) return false;
  edited(redrawIt);
  return true;
}

bool CLayerList::moveItemTo(int32_t to, int32_t from, bool redrawIt) {
  if (!isValidIndex(from)) return false;
  if (!isValidIndex(to) && to != getCount()) to = getCount();
  if (!canMoveItem(to, from)) return false;
  bool moved;
  if (hasLinkedLayers())
    moved = paper()->moveLayerGroup(&window_->flow(), from, to, groupSize(from), true);
  else
    moved = paper()->moveLayer(&window_->flow(), from, to > from ? to - 1 : to, true);
  if (!moved) return false;
  pressed_ = paper()->currentLayerIndex();
  edited(redrawIt);
  return true;
}

bool CLayerList::copyInto(CItemList* target, int32_t index, bool redrawIt, int32_t sourceIndex) {
  if (target != this || !canCopyFrom(index, this, sourceIndex)) return false;
  if (!isValidIndex(index)) index = getCount();
  if (!paper()->duplicateLayer(&window_->flow(), sourceIndex, true)) return false;
  if (index != sourceIndex + 1) moveItemTo(index, sourceIndex + 1, false);
  pressed_ = paper()->currentLayerIndex();
  edited(redrawIt);
  return true;
}

bool CLayerList::selectPrevVisible() {
  if (!paper()) return false;
  int32_t n = getCount(), cur = paper()->currentLayerIndex();
  for (int32_t step = 1; step < n; ++step) {
    int32_t k = ((cur - step) % n + n) % n;
    if (paper()->getLayer(k)->visible) return selectItem(k, true);
  }
  return false;
}

bool CLayerList::selectNextVisible() {
  if (!paper()) return false;
  int32_t n = getCount(), cur = paper()->currentLayerIndex();
  for (int32_t step = 1; step < n; ++step) {
    int32_t k = (cur + step) % n;
    if (paper()->getLayer(k)->visible) return selectItem(k, true);
  }
  return false;
}

// ---- masks --------------------------------------------------------------------------------------

int32_t maskMergeModeOf(uint32_t modifiers) {
  switch (modifiers & (kListShift | kListAlt | kListCtrl)) {
    case kListCtrl: return 0;
    case kListShift: return 1;
    case kListAlt: return 2;
    case kListShift | kListAlt: return 3;
    default: return -1;
  }
}

CMaskList::CMaskList() {
  setAllowedStyles(0x7F);
  setDisplayStyle(kListRows);
}

int32_t CMaskList::getCount() const { return paper() && paper()->masks() ? paper()->masks()->count() : 0; }

std::string CMaskList::getItemName(int32_t i) const {
  const CMaskData* m = paper() && paper()->masks() ? paper()->masks()->getMask(i) : nullptr;
  return m ? m->name : std::string();
}

bool CMaskList::setItemName(int32_t i, const std::string& name) {
  if (!canEdit() || !isValidIndex(i) || getItemName(i) == name) return false;
  if (!paper()->setMaskName(paper()->currentLayerIndex(), name, i, true)) return false;
  edited(false);
  return true;
}

int32_t CMaskList::getActiveIndex() const {
  return (options() & kListKeepActive) && paper() && paper()->masks() ? paper()->masks()->current() : -1;
}

bool CMaskList::setActiveIndex(int32_t i) {
  if (!isValidIndex(i) || !(options() & kListKeepActive)) return false;
  if (i != paper()->masks()->current()) {
    if (!canEdit() || !paper()->activateMask(window_->flow(), paper()->currentLayerIndex(), i, true)) return false;
    window_->invalidateView();
  }
  pressed_ = i;
  doChange();
  return true;
}

void CMaskList::drawItemImage(TMemoryGraphic& g, const TRect& r, int32_t /*state*/, int32_t i) {
  const CMaskData* m = paper() && paper()->masks() ? paper()->masks()->getMask(i) : nullptr;
  if (!m || !m->thumbnail || !m->thumbnail->IsAllocated()) return;
  compositeCentred(g, r, *m->thumbnail);
}

bool CMaskList::deleteItem(int32_t i, bool redrawIt) {
  if (!canDeleteKeepOne(i)) return false;
  if (!paper()->deleteMask(window_->flow(), paper()->currentLayerIndex(), i, true)) return false;
  edited(redrawIt);
  return true;
}

bool CMaskList::moveItemTo(int32_t to, int32_t from, bool redrawIt) {
  if (!isValidIndex(from)) return false;
  if (!isValidIndex(to) && to != getCount()) to = getCount();
  if (!canMoveItem(to, from)) return false;
  if (!paper()->moveMask(window_->flow(), paper()->currentLayerIndex(), from, to > from ? to - 1 : to, true))
    return false;
  pressed_ = paper()->masks()->current();
  edited(redrawIt);
  return true;
}

bool CMaskList::copyInto(CItemList* target, int32_t index, bool redrawIt, int32_t sourceIndex) {
  if (target != this || !canCopyFrom(index, this, sourceIndex)) return false;
  if (!isValidIndex(index)) index = getCount();
  if (!paper()->duplicateMask(window_->flow(), paper()->currentLayerIndex(), sourceIndex, true)) return false;
  if (index != sourceIndex + 1) moveItemTo(index, sourceIndex + 1, false);
  edited(redrawIt);
  return true;
}

bool CMaskList::mergeInto(int32_t index, int32_t mode) {
  if (!canEdit() || !isValidIndex(index) || mode < 0 || mode > 3) return false;
  int32_t current = paper()->masks()->current();
  if (index == current) return false;
  if (!paper()->mergeMask(window_->flow(), paper()->currentLayerIndex(), current, index, mode, true)) return false;
  edited(false);
  return true;
}

int32_t CMaskList::press(int32_t x, int32_t y, uint32_t modifiers) {
  int32_t mode = maskMergeModeOf(modifiers);
  int32_t i = itemAtPos(x, y);
  if (mode >= 0 && canEdit() && isValidIndex(i) && i != paper()->masks()->current() &&
      hitTestPart(x, y) == kPartItem) {
    // A refused merge leaves the masks as they were; the press is taken either way.
    (void)mergeInto(i, mode);
    return kPartToggle;
  }
  return mouseDown(x, y, modifiers);
}

}  // namespace pg
