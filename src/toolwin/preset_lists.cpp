#include "toolwin/preset_lists.h"

#include <algorithm>

#include "brush/gradient_mngr.h"
#include "brush/pen_shape_obj.h"
#include "brush/shape_values.h"
#include "core/planes.h"
#include "io/preset_pen_shapes.h"
#include "platform/message_service.h"
#include "platform/string_table.h"
#include "ui/memory_graphic.h"

namespace pg {

namespace {

constexpr TUiColor kCheckLight = 0xFFFFFFFFu;
constexpr TUiColor kCheckDark = 0xFFCCCCCCu;
// The frame of an active or pressed preview.
constexpr TUiColor kPresetHighlight = 0xFF3070D0u;

void frameIfSelected(TMemoryGraphic& g, const TRect& r, int32_t state, int32_t width) {
  if (state & (kDrawActive | kDrawPressed)) g.frameRect(r, width, kPresetHighlight, copyChannel, copyChannel);
}

}  // namespace

// ---- nibs ---------------------------------------------------------------------------

CPenNibList::CPenNibList() : scratch_(std::make_unique<CPenShapeObj>()) {
  setAllowedStyles(1u << kListIcons | 1u << kListLargeIcons | 1u << kListRows | 1u << kListLargeRows |
                   1u << kListCompact | 1u << kListStrip);
  setDisplayStyle(kListIcons);
}

CPenNibList::~CPenNibList() = default;

void CPenNibList::bind(CPenShapeMngr* manager) {
  manager_ = manager;
  scratchSelected_ = leading_ && (!manager || !manager->isValidIndex(manager->currentIndex()));
  showBound();
  if (OnBind) OnBind();
}

CPenShapeMngr* CPenNibList::unbind() {
  CPenShapeMngr* old = manager_;
  manager_ = nullptr;
  showUnbound();
  return old;
}

void CPenNibList::setLeadingEntry(bool on) {
  if (on == leading_) return;
  int32_t shift = on ? 1 : -1;
  leading_ = on;
  if (pressed_ >= 0) pressed_ = std::max(0, pressed_ + shift);
  if (active_ >= 0) active_ = std::max(0, active_ + shift);
  if (!on) scratchSelected_ = false;
  redraw();
}

int32_t CPenNibList::getCount() const { return manager_ ? manager_->count() + lead() : 0; }

bool CPenNibList::isValidIndex(int32_t i) const {
  if (!manager_) return false;
  if (leading_ && i == 0) return true;
  return manager_->isValidIndex(i - lead());
}

uint32_t CPenNibList::getItemFlags(int32_t i) const {
  return leading_ && i == 0 ? (kItemNoDrag | kItemFixed | kItemNoLabel | kItemNoEdit) : kItemNoLabel;
}

const CPenShapeObj* CPenNibList::shapeAt(int32_t i) const {
  if (!isValidIndex(i)) return nullptr;
  return leading_ && i == 0 ? scratch_.get() : manager_->getItem(i - lead());
}

const CPenShapeObj* CPenNibList::currentShape() const {
  if (scratchSelected_ || !(options() & kListKeepActive)) return scratch_.get();
  return manager_ ? manager_->getItem(manager_->currentIndex()) : nullptr;
}

void CPenNibList::setScratch(const CPenShapeObj& shape, bool selectIt) {
  if (!scratch_->assign(shape)) return;
  if (selectIt && leading_) selectItem(0, true);
  redraw();
}

std::string CPenNibList::getItemName(int32_t i) const {
  const CPenShapeObj* s = shapeAt(i);
  if (!s) return manager_ ? std::string() : resString(kResUndefinedItem);
  double minimum = s->params().shape.minSize / 10.0;
  return formatRes(kResNibItemName, {double(s->radius()), minimum});
}

float nibPreviewScale(int32_t side, float radius) {
  float available = side / 2.0f - 1.5f;
  if (available < 1.0f) return 0.0f;
  return radius <= available ? 1.0f : available / radius;
}

void CPenNibList::drawItemImage(TMemoryGraphic& g, const TRect& r, int32_t state, int32_t i) {
  const CPenShapeObj* s = shapeAt(i);
  int32_t w = r.Right - r.Left, h = r.Bottom - r.Top;
  if (!s || w <= 0 || h <= 0) return;
  float scale = nibPreviewScale(std::min(w, h), s->radius());
  if (scale <= 0.0f) return;
  TMTC preview(w, h);
  if (!preview.IsAllocated()) return;
  SShapeValues values;
  shapeValuesFromPenShape(s, values);
  drawNibPreview(preview, values, scale, 0x000000u);
  for (int32_t row = 0; row < h; ++row)
    g.copyPixels(r.Left, r.Top + row, w, 1, preview.pixelAt(0, row), 0, 0, w, 1);
  frameIfSelected(g, r, state, 1);
}

int32_t CPenNibList::getActiveIndex() const {
  if (!manager_) return -1;
  if (leading_ && (scratchSelected_ || !(options() & kListKeepActive))) return 0;
  if (!(options() & kListKeepActive)) return -1;
  int32_t current = manager_->currentIndex();
  return manager_->isValidIndex(current) ? current + lead() : -1;
}

void CPenNibList::popupPicked() {
  if (manager_ && manager_->isValidIndex(manager_->currentIndex())) scratchSelected_ = false;
  CItemList::popupPicked();
}

bool CPenNibList::setActiveIndex(int32_t i) {
  if (!isValidIndex(i)) return false;
  if (options() & kListKeepActive) {
    scratchSelected_ = leading_ && i == 0;
    if (!scratchSelected_) manager_->select(i - lead());
    active_ = i;
  } else {
    scratchSelected_ = leading_;
  }
  pressed_ = i;
  doChange();
  return true;
}

bool CPenNibList::canDeleteKeepOne(int32_t i) const {
  return CItemList::canDeleteKeepOne(i) && getCount() > 1 + lead();
}

bool CPenNibList::deleteItem(int32_t i, bool redrawIt) {
  return deleteAndReselect(i, redrawIt, false, [&] { return manager_->deleteItem(i - lead()); });
}

bool CPenNibList::copyInto(CItemList* target, int32_t index, bool redrawIt, int32_t sourceIndex) {
  auto* t = dynamic_cast<CPenNibList*>(target);
  const CPenShapeObj* source = shapeAt(sourceIndex);
  if (!t || !t->manager_ || !source || !t->canCopyFrom(index, this, sourceIndex)) return false;
  auto copy = std::make_unique<CPenShapeObj>();
  if (!copy->assign(*source)) return false;
  int32_t at = t->copyTargetIndex(index);
  int32_t placed = t->manager_->insert(at < 0 ? t->manager_->count() : at - t->lead(), std::move(copy));
  if (placed < 0) return false;
  t->setModified(true);
  t->selectItem(placed + t->lead(), redrawIt);
  return true;
}

// ---- gradients ------------------------------------------------------------------------

CGradientList::CGradientList() {
  setAllowedStyles(0x3FF);
  setDisplayStyle(kListIcons);
  setTransparencyBackdrop(true);
}

void CGradientList::bind(CGradMngr* manager) {
  manager_ = manager;
  if (manager_) repeat_ = manager_->getRange();
  takeEditCopy();
  showBound();
  if (OnBind) OnBind();
}

CGradMngr* CGradientList::unbind() {
  CGradMngr* old = manager_;
  manager_ = nullptr;
  edited_.reset();
  showUnbound();
  return old;
}

void CGradientList::takeEditCopy() {
  const CGradObj* g = manager_ ? manager_->currentItem() : nullptr;
  edited_ = g ? CGradObj::CreateCopy(*g) : nullptr;
}

bool CGradientList::storeEdited() {
  CGradObj* g = manager_ ? manager_->getItem(manager_->currentIndex()) : nullptr;
  if (!g || !edited_) return false;
  g->assign(*edited_);
  // The drawing's work copy follows the stored gradient.
  manager_->select(manager_->currentIndex());
  manager_->setModified(true);
  setModified(true);
  redraw();
  doChange();
  return true;
}

bool CGradientList::isSelection(int32_t i) const { return manager_ && manager_->isFixed(i); }

int32_t CGradientList::getCount() const { return manager_ ? manager_->count() : 0; }

bool CGradientList::isValidIndex(int32_t i) const { return manager_ && manager_->validIndex(i); }

uint32_t CGradientList::getItemFlags(int32_t i) const {
  if (!manager_ || isSelection(i)) return kItemNoDrag | kItemFixed | kItemNoLabel | kItemNoEdit;
  // Beside the collection's own entry the last real gradient stays.
  if (manager_->hasFixedEntry() && manager_->count() - 1 < 2) return kItemFixed;
  return 0;
}

std::string CGradientList::getItemName(int32_t i) const {
  const CGradObj* g = manager_ ? manager_->getItem(i) : nullptr;
  return g ? g->Stops.name() : std::string();
}

bool CGradientList::setItemName(int32_t i, const std::string& name) {
  CGradObj* g = manager_ ? manager_->getItem(i) : nullptr;
  if (!g || (getItemFlags(i) & kItemNoLabel) || g->Stops.name() == name) return false;
  g->Stops.setName(name);
  manager_->setModified(true);
  setModified(true);
  redraw();
  return true;
}

void CGradientList::drawItemImage(TMemoryGraphic& g, const TRect& r, int32_t state, int32_t i) {
  const CGradObj* grad = manager_ ? manager_->getItem(i) : nullptr;
  int32_t w = r.Right - r.Left, h = r.Bottom - r.Top;
  if (!grad || w <= 0 || h <= 0) return;
  TMTC plane(w, h);
  if (!plane.IsAllocated()) return;
  // Gradients that follow the shared range, and the collection's own entry,
  // are shown with the list's repeat; the others with their own.
  const bool shared = !grad->Repeat.OwnSettings || isSelection(i);
  CGradation::gradientFill(plane, grad->Stops, shared ? repeat_ : grad->Repeat);
  g.fillChecker(r, 4, 4, kCheckLight, kCheckDark, copyChannel, copyChannel);
  compositeCentred(g, r, plane);
  frameIfSelected(g, r, state, 2);
}

int32_t CGradientList::getActiveIndex() const { return manager_ ? manager_->currentIndex() : -1; }

bool CGradientList::setActiveIndex(int32_t i) {
  if (!isValidIndex(i)) return false;
  if (options() & kListKeepActive) {
    manager_->select(i);
    active_ = i;
  } else if (!assignItem(getActiveIndex(), *manager_->getItem(i))) {
    return false;
  }
  manager_->clearWork();
  (void)manager_->workCopy();  // assigned above, so there is a current item
  takeEditCopy();
  pressed_ = i;
  doChange();
  return true;
}

bool CGradientList::assignItem(int32_t i, const CGradObj& source) {
  CGradObj* g = manager_ ? manager_->getItem(i) : nullptr;
  if (!g) return false;
  if (g != &source) g->assign(source);
  manager_->setModified(true);
  setModified(true);
  redraw();
  return true;
}

bool CGradientList::setRange(const SGradRepeat& range) {
  if (!manager_ || !manager_->currentItem() || !manager_->workCopy()) {
    if (OnWarning) OnWarning(resString(kResOperationFailed));
    return false;
  }
  manager_->setRange(range);
  repeat_ = range;
  redraw();
  doChange();
  return true;
}

void CGradientList::setColors(TColor foreground, TColor background) {
  if (!manager_ || !manager_->applyColors(foreground & 0xFFFFFFu, background & 0xFFFFFFu)) return;
  redraw();
  doChange();
}

bool CGradientList::canDeleteKeepOne(int32_t i) const {
  return manager_ && CItemList::canDeleteKeepOne(i) && manager_->count() > 1 && !isSelection(i);
}

bool CGradientList::canMoveItem(int32_t to, int32_t from) const {
  return CItemList::canMoveItem(to, from) && !isSelection(to);
}

bool CGradientList::canInsertFrom(int32_t to, const CItemList* source, int32_t sourceIndex) const {
  return CItemList::canInsertFrom(to, source, sourceIndex) && !isSelection(to);
}

bool CGradientList::deleteItem(int32_t i, bool redrawIt) {
  return deleteAndReselect(i, redrawIt, false, [&] { return manager_->deleteItem(i); });
}

bool CGradientList::copyInto(CItemList* target, int32_t index, bool redrawIt, int32_t sourceIndex) {
  auto* t = dynamic_cast<CGradientList*>(target);
  const CGradObj* source = manager_ ? manager_->getItem(sourceIndex) : nullptr;
  if (!t || !t->manager_ || !source || !t->canCopyFrom(index, this, sourceIndex)) return false;
  int32_t at = t->copyTargetIndex(index);
  int32_t placed = t->manager_->insert(at < 0 ? t->manager_->count() : at, CGradObj::CreateCopy(*source));
  if (placed < 0) return false;
  t->setModified(true);
  t->selectItem(placed, redrawIt);
  return true;
}

}  // namespace pg
