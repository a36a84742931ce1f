#include "toolwin/pen_method_list.h"

#include <algorithm>

#include "brush/paint_param_kinds.h"
#include "brush/pen_shape_obj.h"
#include "brush/stroke_settings.h"
#include "io/preset_pen_methods.h"
#include "platform/string_table.h"
#include "toolwin/pen_settings.h"
#include "ui/memory_graphic.h"

namespace pg {

CPenMethodList::CPenMethodList() : work_(std::make_unique<TPaintParam>(9)) {
  // Every style but the compact button.
  setAllowedStyles(0x2FF);
  setDisplayStyle(kListIcons);
}

CPenMethodList::~CPenMethodList() = default;

void CPenMethodList::bind(CPenMethodMngr* manager, TStroke* stroke, CPenSettingTable* variants) {
  manager_ = manager;
  stroke_ = stroke;
  variants_ = variants;
  showBound();
  if (OnBind) OnBind();
}

CPenMethodMngr* CPenMethodList::unbind() {
  CPenMethodMngr* old = manager_;
  manager_ = nullptr;
  stroke_ = nullptr;
  variants_ = nullptr;
  showUnbound();
  return old;
}

int32_t CPenMethodList::brushKindOf(const CPenMethodObj* method) {
  uint8_t kind = kNoKind;
  if (!method || !method->paintKind(kind)) return -1;
  uint8_t index = penListIndexOf(kind);
  return index == kNoKind ? -1 : index;
}

int32_t CPenMethodList::managerIndexOf(int32_t i) const {
  if (!manager_ || i < 0) return -1;
  if (showAll_) return manager_->isValidIndex(i) ? i : -1;
  for (int32_t m = 0, n = 0; m < manager_->count(); ++m)
    if (brushKindOf(manager_->getItem(m)) == brushKind_ && n++ == i) return m;
  return -1;
}

int32_t CPenMethodList::listIndexOf(int32_t managerIndex) const {
  if (!manager_ || !manager_->isValidIndex(managerIndex)) return -1;
  if (showAll_) return managerIndex;
  if (brushKindOf(manager_->getItem(managerIndex)) != brushKind_) return -1;
  int32_t n = 0;
  for (int32_t m = 0; m < managerIndex; ++m)
    if (brushKindOf(manager_->getItem(m)) == brushKind_) ++n;
  return n;
}

CPenMethodObj* CPenMethodList::methodAt(int32_t i) const {
  return variants() || !manager_ ? nullptr : manager_->getItem(managerIndexOf(i));
}

int32_t CPenMethodList::getCount() const {
  if (variants()) return variants_ ? kPenSettingVariants : 0;
  if (!manager_) return 0;
  if (showAll_) return manager_->count();
  int32_t n = 0;
  for (int32_t m = 0; m < manager_->count(); ++m)
    if (brushKindOf(manager_->getItem(m)) == brushKind_) ++n;
  return n;
}

bool CPenMethodList::isValidIndex(int32_t i) const {
  if (!variants() && showAll_) return manager_ && manager_->isValidIndex(i);
  return CItemList::isValidIndex(i);
}

uint32_t CPenMethodList::getItemFlags(int32_t /*i*/) const {
  // The variants are numbered places: they neither move, take names nor
  // open an editor.
  return variants() ? (kItemFixed | kItemNoLabel | kItemNoEdit) : 0;
}

std::string CPenMethodList::getItemName(int32_t i) const {
  if (variants()) return isValidIndex(i) ? paintKindName(variantKind_) + " " + std::to_string(i + 1) : std::string();
  const CPenMethodObj* m = methodAt(i);
  return m ? m->name() : std::string();
}

bool CPenMethodList::setItemName(int32_t i, const std::string& name) {
  CPenMethodObj* m = methodAt(i);
  if (!m || m->name() == name) return false;
  m->setName(name);
  if (managerIndexOf(i) == manager_->currentIndex()) work_->setName(name);
  manager_->setModified(true);
  setModified(true);
  redraw();
  return true;
}

void CPenMethodList::drawItemImage(TMemoryGraphic& g, const TRect& r, int32_t /*state*/, int32_t i) {
  if (r.Right <= r.Left || r.Bottom <= r.Top) return;
  std::unique_ptr<TPaintParam> item;
  bool ok = false;
  if (variants()) {
    const SPenSetting* rec = variants_ ? variants_->record(strokeTool_, i + 1) : nullptr;
    if (rec) item = TPaintParam::CreateFromPreset(*rec, variantKind_, ok);
  } else if (const CPenMethodObj* m = methodAt(i)) {
    item = TPaintParam::CreateFromPenMethod(m, ok);
  }
  const TMTC* icon = item && ok ? item->getIcon() : nullptr;
  if (icon) compositeCentred(g, r, *icon);
}

int32_t CPenMethodList::getActiveIndex() const {
  if (!(options() & kListKeepActive)) return -1;
  if (variants()) return variants_ ? rememberedVariant_[size_t(strokeTool_)] : -1;
  if (!manager_) return -1;
  if (showAll_) return manager_->currentIndex();
  int32_t current = listIndexOf(manager_->currentIndex());
  if (current >= 0) return current;
  int32_t remembered = rememberedBrush_[size_t(brushKind_)];
  return remembered < getCount() ? remembered : 0;
}

void CPenMethodList::loadWork(int32_t i) {
  if (variants()) {
    const SPenSetting* rec = variants_ ? variants_->record(strokeTool_, i + 1) : nullptr;
    if (rec && work_->loadPreset(*rec)) writeStroke();
  } else if (const CPenMethodObj* m = methodAt(i)) {
    (void)work_->loadFromPenMethod(m);  // a method that cannot convert leaves the parameters unchanged
  }
}

bool CPenMethodList::setActiveIndex(int32_t i) {
  if (!isValidIndex(i) || !(options() & kListKeepActive)) return false;
  if (variants()) {
    rememberedVariant_[size_t(strokeTool_)] = i;
  } else if (showAll_) {
    manager_->setCurrentIndex(i);
    int32_t kind = brushKindOf(manager_->getItem(i));
    if (kind >= 0) {
      brushKind_ = kind;
      showAll_ = false;  // the filtered index of the brush within its kind
      rememberedBrush_[size_t(kind)] = listIndexOf(i);
      showAll_ = true;
    }
  } else {
    rememberedBrush_[size_t(brushKind_)] = i;
    manager_->setCurrentIndex(managerIndexOf(i));
  }
  loadWork(i);
  active_ = i;
  pressed_ = i;
  doChange();
  return true;
}

void CPenMethodList::selectPaintKind(uint8_t kind) {
  if (paintKindFamily(kind) == 2) {
    source_ = kSourcePenMethods;
    int32_t index = penListIndexOf(kind);
    if (index != brushKind_) {
      brushKind_ = index;
      if (OnKindChange) OnKindChange();
    }
  } else {
    uint8_t index = legacyListIndexOf(kind);
    if (index == kNoKind) return;
    source_ = kSourceVariants;
    strokeTool_ = index;
    variantKind_ = kind;
    work_->resetToKind(kind);
  }
  (void)setActiveIndex(getActiveIndex());  // only re-shows the selection
  ensureVisible();
  redraw();
  doChange();
}

bool CPenMethodList::canOpenPopup() const { return !variants() && manager_ && manager_->count() > 0; }

void CPenMethodList::showKind(int32_t kind) {
  if (kind < 0 || kind >= kBrushKinds || kind == brushKind_) return;
  brushKind_ = kind;
  if (OnKindChange) OnKindChange();
}

void CPenMethodList::popupPicked() {
  if (!variants() && manager_ && !showAll_) showKind(brushKindOf(manager_->getItem(manager_->currentIndex())));
  CItemList::popupPicked();
}

int32_t CPenMethodList::popupReturnPoint() const {
  return variants() || !manager_ ? CItemList::popupReturnPoint() : manager_->currentIndex();
}

void CPenMethodList::returnToPopupPoint(int32_t point) {
  if (variants() || !manager_ || !manager_->isValidIndex(point)) return CItemList::returnToPopupPoint(point);
  if (!showAll_) showKind(brushKindOf(manager_->getItem(point)));
  (void)setActiveIndex(listIndexOf(point));  // a brush hidden by the filter selects nothing
}

void CPenMethodList::setShowAll(bool on) {
  if (variants() || on == showAll_) return;
  showAll_ = on;
  active_ = getActiveIndex();
  pressed_ = active_;
  ensureVisible();
  redraw();
}

bool CPenMethodList::storeCurrent() {
  if (variants()) {
    SPenSetting* rec = variants_ ? variants_->record(strokeTool_, getActiveIndex() + 1) : nullptr;
    return rec && work_->storePreset(*rec);
  }
  CPenMethodObj* m = manager_ ? manager_->current() : nullptr;
  if (!m || !work_->storeToPenMethod(m)) return false;
  manager_->setModified(true);
  setModified(true);
  redraw();
  return true;
}

void CPenMethodList::writeStroke() {
  if (variants() && stroke_) (void)work_->storeToStroke(stroke_);  // a failed conversion leaves the stroke unchanged
}

void CPenMethodList::setParamValue(TPaintParamId id, float v) {
  TPaintParam& p = *work_;
  switch (id) {
    case ppOpacity: p.setOpacity(v); break;
    case ppSpacing: p.setSpacing(v); break;
    case ppEffect: p.setEffect(v); break;
    case ppEnv: p.setEnv(v); break;
    case ppSpeed: p.setSpeed(v); break;
    case ppGamma: p.setGamma(v); break;
    case ppSize: p.setSize(v); break;
    case ppMinSize: p.setMinSize(v); break;
    case ppAspect: p.setAspect(v); break;
    case ppAngle: p.setAngle(v); break;
    case ppFalloffValue1: p.setFalloffValue1(v); break;
    case ppFalloffValue2: p.setFalloffValue2(v); break;
    case ppNibScale: p.setNibScale(v); break;
    case ppFalloffType: p.setFalloff(static_cast<uint8_t>(v)); break;
    default: return;
  }
  writeStroke();
  doChange();
}

void CPenMethodList::workChanged() {
  writeStroke();
  doChange();
}

void CPenMethodList::setName(const std::string& name) {
  work_->setName(name);
  doChange();
}

void CPenMethodList::setNib(const CPenShapeObj* nib) {
  if (!nib || !work_->loadNib(nib)) return;
  writeStroke();
  doChange();
}

bool CPenMethodList::canDeleteKeepOne(int32_t i) const {
  const CPenMethodObj* m = methodAt(i);
  if (!m || !CItemList::canDeleteKeepOne(i)) return false;
  // Every brush kind keeps at least one brush.
  int32_t kind = brushKindOf(m), same = 0;
  for (int32_t k = 0; k < manager_->count(); ++k)
    if (brushKindOf(manager_->getItem(k)) == kind) ++same;
  return same >= 2;
}

bool CPenMethodList::deleteItem(int32_t i, bool redrawIt) {
  return deleteAndReselect(i, redrawIt, false, [&] { return manager_->deleteItem(managerIndexOf(i)); });
}

bool CPenMethodList::copyInto(CItemList* target, int32_t index, bool redrawIt, int32_t sourceIndex) {
  auto* t = dynamic_cast<CPenMethodList*>(target);
  const CPenMethodObj* source = methodAt(sourceIndex);
  if (!t || t->variants() || !t->manager_ || !source || !t->canCopyFrom(index, this, sourceIndex)) return false;
  auto copy = std::make_unique<CPenMethodObj>();
  copy->setParams(source->getParams());
  copy->setName(source->name());
  if (source->penShape() && !copy->assignPenShape(*source->penShape())) return false;
  if (source->icon() && !copy->setIcon(source->icon())) return false;
  int32_t at = t->copyTargetIndex(index);
  int32_t placed = t->manager_->insert(at < 0 ? t->manager_->count() : t->managerIndexOf(at), std::move(copy));
  if (placed < 0) return false;
  t->setModified(true);
  int32_t shown = t->listIndexOf(placed);
  if (shown >= 0) t->selectItem(shown, redrawIt);
  return true;
}

}  // namespace pg
