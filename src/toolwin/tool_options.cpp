#include "toolwin/tool_options.h"

#include <cmath>

#include "brush/gradient_mngr.h"
#include "brush/grade_map.h"
#include "brush/paint_param.h"
#include "brush/stroke_settings.h"
#include "brush/paint_param_kinds.h"
#include "canvas/tool_numbering.h"
#include "platform/message_service.h"
#include "platform/string_table.h"
#include "replay/replay_types.h"
#include "toolwin/tool_window_model.h"

namespace pg {

namespace {

enum { kLockParam = 0, kLockLoad = 1, kLockGradient = 2, kLockSeed = 3 };

struct LockBit {
  LockBit(std::bitset<4>& bits, size_t bit) : bits_(bits), bit_(bit) { bits_.set(bit_); }
  ~LockBit() { bits_.reset(bit_); }
  std::bitset<4>& bits_;
  size_t bit_;
};

}  // namespace

CToolOptions::CToolOptions(CToolWindowModel& model) : model_(model) {
  list_.setOptions(kListKeepActive);
  // A brush picked in the list becomes the working parameters and reaches
  // the tool window's size, minimum and opacity.
  list_.OnChange = [this] {
    if (locks_.test(kLockParam)) return;
    LockBit hold(locks_, kLockLoad);
    // Taken before any of them reaches the model: each change there lets the
    // panel show the model's values, which would pull the older ones back
    // into the working parameters.
    const TPaintParam& p = list_.paintParam();
    const float size = p.size, minSize = p.minSize, opacity = p.opacity;
    if (paramFieldEditable(p, kFieldSize)) model_.setToolSize(size);
    if (paramFieldEditable(p, kFieldMinSize)) model_.setMinSize(minSize * 100.0f);
    if (paramFieldEditable(p, kFieldOpacity)) model_.setToolOpacity(opacity * 100.0f);
    model_.pushStrokeParams();
    if (OnChanged) OnChanged();
    // The brush set shows the collection's current brush as active.
    brushSet_.redraw();
  };
  brushSet_.setOptions(kListKeepActive | kListDeleteCtrl | kListDoubleClickEdit);
  brushSet_.setDisplayStyle(kListSmallRows);
  brushSet_.OnChange = [this] { brushSetPicked(); };
  // A brush of another kind picked in the list's pop-up: the tool of that
  // kind takes over, so that the brush is the one it paints with.
  list_.OnKindChange = [this] {
    if (list_.sourceKind() != CPenMethodList::kSourcePenMethods) return;
    const uint8_t kind = paintKindAt(2, static_cast<uint32_t>(list_.brushKind()), 255);
    PenSlot slot{};
    if (kind == kNoKind || (penSlotOfMode(model_.toolMode(), slot) && byteOf(slot) == kind)) return;
    model_.setToolMode(modeOfPenSlot(PenSlot{kind}));
  };
  model_.setPaintParam(&list_.paintParam());
}

CToolOptions::~CToolOptions() { model_.setPaintParam(nullptr); }

void CToolOptions::bind(CPenMethodMngr* brushes, TStroke* stroke, CPenSettingTable* variants) {
  list_.bind(brushes, stroke, variants);
  brushSet_.bind(brushes, nullptr, nullptr);
  brushSet_.setShowAll(true);
  followMode();
}

void CToolOptions::brushSetPicked() {
  if (model_.replayDisplay() || brushSet_.manager() == nullptr || locks_.test(kLockLoad)) return;
  const uint8_t kind = paintKindAt(2, static_cast<uint32_t>(brushSet_.brushKind()), 255);
  if (kind == kNoKind) return;
  PenSlot slot{};
  if (!penSlotOfMode(model_.toolMode(), slot) || byteOf(slot) != kind) model_.setToolMode(modeOfPenSlot(PenSlot{kind}));
  // The option list takes the kind again (the mode may have been its
  // already) and loads the collection's current brush, which the pick made.
  list_.selectPaintKind(kind);
}

const TPaintParam& CToolOptions::paintParam() const {
  return showsReplayBrush() ? *replayParam_ : list_.paintParam();
}

bool CToolOptions::showsReplayBrush() const { return model_.replayDisplay() && replayParam_ != nullptr; }

namespace {

// Whether two brushes show alike in the panel.
bool sameShownBrush(const TPaintParam& a, const TPaintParam& b) {
  return a.kind == b.kind && a.size == b.size && a.minSize == b.minSize && a.opacity == b.opacity &&
         a.spacing == b.spacing && a.effect == b.effect && a.env == b.env && a.speed == b.speed && a.gamma == b.gamma &&
         a.pressureOpacity == b.pressureOpacity && a.pressureSize == b.pressureSize && a.pressureEdge == b.pressureEdge &&
         a.hardEdge == b.hardEdge && a.falloffType == b.falloffType && a.falloffValue1 == b.falloffValue1 &&
         a.falloffValue2 == b.falloffValue2 && a.aspect == b.aspect && a.angle == b.angle && a.hasNib == b.hasNib &&
         a.nibScale == b.nibScale && a.nibBytes == b.nibBytes && a.useGradation == b.useGradation &&
         a.useTone == b.useTone;
}

}  // namespace

bool CToolOptions::takeReplayBrush(std::unique_ptr<TPaintParam> shown) {
  if (replayParam_ && sameShownBrush(*replayParam_, *shown)) return false;
  replayParam_ = std::move(shown);
  if (OnChanged) OnChanged();
  return true;
}

bool CToolOptions::loadReplayStroke(const TStroke& stroke, uint8_t strokeMode) {
  uint8_t kind = 0;
  if (strokeMode >= 2 || !paintKindOfStrokeKind(kind, stroke.kind)) return false;
  auto shown = std::make_unique<TPaintParam>(kind);
  if (!shown->loadFromStroke(&stroke)) return false;
  shown->useGradation = stroke.useGradation;
  shown->useTone = stroke.useTone;
  return takeReplayBrush(std::move(shown));
}

bool CToolOptions::loadReplayParts(const SReplayPenState& state) {
  if (state.nib == nullptr) return false;
  CGradeMapObj falloff(2);
  (void)falloff.setParam(state.falloff);  // false only when nothing changed
  auto shown = std::make_unique<TPaintParam>(uint8_t{9});
  if (!shown->loadFromParts(&falloff, state.nib, state.stroke, state.render)) return false;
  shown->useGradation = state.useGradation ? 1 : 0;
  shown->useTone = state.useTone ? 1 : 0;
  return takeReplayBrush(std::move(shown));
}

void CToolOptions::clearReplayBrush() {
  if (!replayParam_) return;
  replayParam_.reset();
  if (OnChanged) OnChanged();
}

bool CToolOptions::hasBrush() const {
  if (model_.replayDisplay()) return replayParam_ != nullptr;
  PenSlot slot{};
  return penSlotOfMode(model_.toolMode(), slot) && list_.paintParam().kind == byteOf(slot);
}

void CToolOptions::followMode() {
  PenSlot slot{};
  const bool brushMode = penSlotOfMode(model_.toolMode(), slot);
  if (model_.replayDisplay() && !brushMode && !ownBrush_) {
    // The replay display has just taken the hand: the working brush still
    // is the user's, with the size and opacity the tool window holds.
    pullFromModel();
    ownBrush_ = std::make_unique<TPaintParam>(list_.paintParam().kind);
    if (!ownBrush_->assign(&list_.paintParam())) ownBrush_.reset();
  }
  std::unique_ptr<TPaintParam> own = model_.replayDisplay() ? nullptr : std::move(ownBrush_);
  if (!brushMode) {
    if (OnChanged) OnChanged();
    return;
  }
  list_.selectPaintKind(byteOf(slot));
  // Back from the replay to the user's tool: the brush as the user left it.
  if (own && own->kind == list_.paintParam().kind && list_.paintParam().assign(own.get())) list_.doChange();
}

bool CToolOptions::shows(EParamField field) const { return hasBrush() && paramFieldEditable(paintParam(), field); }

void CToolOptions::pullFromModel() {
  // Size, minimum size and opacity live in the tool window's state (the
  // bracket keys and the tool opacity change them too): the working
  // parameters take them before they are used.
  TPaintParam& p = list_.paintParam();
  if (paramFieldEditable(p, kFieldSize)) p.size = model_.toolSize();
  if (paramFieldEditable(p, kFieldMinSize)) p.minSize = model_.minSize() / 100.0f;
  if (paramFieldEditable(p, kFieldOpacity)) p.opacity = model_.toolOpacity() / 100.0f;
}

double CToolOptions::controlValue(EParamField field) const {
  if (!showsReplayBrush()) const_cast<CToolOptions*>(this)->pullFromModel();
  return paramFieldControlValue(paintParam(), field);
}

bool CToolOptions::paramChange(EParamField field, double value) {
  if (model_.replayDisplay() || locks_.test(kLockParam) || locks_.test(kLockLoad) || !hasBrush()) return false;
  LockBit hold(locks_, kLockParam);
  pullFromModel();
  bool changed = applyParamField(list_.paintParam(), field, value);
  if (!changed) return false;
  const TPaintParam& p = list_.paintParam();
  switch (field) {
    case kFieldSize: model_.setToolSize(p.size); break;
    case kFieldMinSize: model_.setMinSize(p.minSize * 100.0f); break;
    case kFieldOpacity: model_.setToolOpacity(p.opacity * 100.0f); break;
    default: break;
  }
  workChanged();
  return true;
}

bool CToolOptions::falloffChange(uint8_t kind, float valueA, float valueB) {
  if (model_.replayDisplay() || locks_.test(kLockParam) || locks_.test(kLockLoad) || !hasBrush()) return false;
  LockBit hold(locks_, kLockParam);
  pullFromModel();
  if (!applyFalloffPick(list_.paintParam(), kind, valueA, valueB)) return false;
  workChanged();
  return true;
}

void CToolOptions::workChanged() {
  list_.workChanged();
  if (autoSave_) (void)list_.storeCurrent();  // false without a selected brush: nothing to keep
  model_.pushStrokeParams();
  if (OnChanged) OnChanged();
}

bool CToolOptions::optionSave() {
  if (!hasBrush()) return false;
  pullFromModel();
  bool stored = list_.storeCurrent();
  list_.workChanged();
  model_.pushStrokeParams();
  return stored;
}

CToolOptions::SAspectValues CToolOptions::aspectValues() const {
  if (!showsReplayBrush()) const_cast<CToolOptions*>(this)->pullFromModel();
  const TPaintParam& p = paintParam();
  SAspectValues v;
  v.antiAlias = !p.hardEdge;
  v.falloffB = p.falloffValue2 * 100.0f;
  v.falloffA = p.falloffValue1 * 100.0f;
  v.angle = p.angle;
  v.flattening = 100.0f - p.aspect * 100.0f;
  v.minSize = p.minSize * 100.0f;
  v.size = p.size;
  v.nibScale = p.nibScale * 100.0f;
  return v;
}

CToolOptions::SAspectValues CToolOptions::editedAspect(const SAspectValues& brush, const SAspectValues& shown,
                                                       const SAspectValues& now) {
  SAspectValues v = brush;
  auto take = [](float& into, float was, float is) {
    if (was != is) into = is;
  };
  take(v.size, shown.size, now.size);
  take(v.minSize, shown.minSize, now.minSize);
  take(v.flattening, shown.flattening, now.flattening);
  take(v.angle, shown.angle, now.angle);
  take(v.nibScale, shown.nibScale, now.nibScale);
  return v;
}

bool CToolOptions::aspectChange(const SAspectValues& v) {
  if (model_.replayDisplay() || locks_.test(kLockParam) || locks_.test(kLockLoad) || !hasBrush()) return false;
  bool changed = false;
  {
    LockBit hold(locks_, kLockParam);
    pullFromModel();
    TPaintParam& p = list_.paintParam();
    if (p.hasNib)
      changed |= applyParamField(p, kFieldNibScale, v.nibScale);
    else if (applyParamField(p, kFieldSize, v.size)) {
      model_.setToolSize(p.size);
      changed = true;
    }
    if (applyParamField(p, kFieldMinSize, v.minSize)) {
      model_.setMinSize(p.minSize * 100.0f);
      changed = true;
    }
    changed |= applyParamField(p, kFieldAspect, v.flattening);
    changed |= applyParamField(p, kFieldAngle, v.angle);
    if (!changed) return false;
    list_.workChanged();
    if (autoSave_) (void)list_.storeCurrent();  // false without a selected brush: nothing to keep
    model_.pushStrokeParams();
  }
  if (OnChanged) OnChanged();
  return true;
}

// ---- the gradient tool ----

void CToolOptions::bindGradients(CGradMngr* gradients) {
  for (CGradientList* list : gradientLists()) {
    // Double-click editing is the owner's preference and survives a rebinding.
    list->setOptions(uint16_t(kListKeepActive | (list->options() & kListDoubleClickEdit)));
    list->bind(gradients);
    // Another gradient picked: the other lists move onto it, and the panel
    // shows its attributes. The tool window's list also tells its switch.
    list->OnChange = [this, list] {
      if (list == &toolGradients_) model_.setGradation(list->dropDownPressed());
      if (syncingGradients_) return;
      syncingGradients_ = true;
      for (CGradientList* other : gradientLists())
        // An index the other list lacks selects nothing.
        if (other != list) (void)other->selectItem(list->getActiveIndex(), true);
      syncingGradients_ = false;
      if (OnChanged) OnChanged();
    };
  }
}

bool CToolOptions::isGradientTool() const { return model_.toolMode() == ToolMode::Gradation; }

SGradAttrView CToolOptions::gradAttrs() const {
  const CGradMngr* set = gradients_.manager();
  return set ? gradAttrView(*set) : SGradAttrView{};
}

bool CToolOptions::gradAttrChange(const SGradAttrControls& controls) {
  CGradMngr* set = gradients_.manager();
  if (model_.replayDisplay() || locks_.test(kLockGradient) || set == nullptr) return false;
  bool changed = false;
  {
    LockBit hold(locks_, kLockGradient);
    changed = applyGradAttr(*set, gradAttrRecord(controls));
  }
  if (!changed) return false;
  // The list draws the gradients without their own settings with its copy
  // of the shared repeat.
  const CGradObj* g = set->currentItem();
  const bool shared = g != nullptr && (g->Repeat.OwnSettings == 0 || set->isCurrentFixed());
  syncingGradients_ = true;  // both lists draw anew; neither is a new pick
  for (CGradientList* list : gradientLists()) {
    if (shared)
      (void)list->setRange(set->getRange());  // false: the list had that range already
    else
      list->redraw();
  }
  syncingGradients_ = false;
  if (OnChanged) OnChanged();
  return true;
}

// ---- the name of the brush or gradient ----

std::string CToolOptions::itemName() const {
  if (isGradientTool()) return gradients_.getItemName(gradients_.getActiveIndex());
  return hasBrush() ? list_.paintParam().name : std::string();
}

bool CToolOptions::canRename() const {
  if (model_.replayDisplay()) return false;
  if (isGradientTool()) {
    const int32_t i = gradients_.getActiveIndex();
    return gradients_.isValidIndex(i) && !(gradients_.getItemFlags(i) & kItemNoLabel);
  }
  return hasBrush() && paramFieldEditable(list_.paintParam(), kFieldName);
}

bool CToolOptions::nameChange(const std::string& name) {
  if (!canRename() || name == itemName()) return false;
  if (isGradientTool()) {
    if (!gradients_.setItemName(gradients_.getActiveIndex(), name)) return false;
  } else {
    list_.paintParam().setName(name);
    list_.workChanged();
    if (autoSave_) (void)list_.storeCurrent();  // false without a selected brush: nothing to keep
  }
  if (OnChanged) OnChanged();
  return true;
}

// ---- the new and delete item buttons ----

CItemList* CToolOptions::itemList() {
  if (isGradientTool()) return gradients_.manager() ? &gradients_ : nullptr;
  // Family 2 lists the collection's brushes; the stroke tools, their variants.
  return hasBrush() && paintKindFamily(list_.paintParam().kind) == 2 ? &list_ : nullptr;
}

bool CToolOptions::canNewItem() {
  CItemList* list = itemList();
  if (list == nullptr || model_.replayDisplay()) return false;
  const int32_t active = list->getActiveIndex();
  return list->isValidIndex(active) && list->canCopyFrom(-1, list, active);
}

bool CToolOptions::canDeleteItem() {
  CItemList* list = itemList();
  return list != nullptr && !model_.replayDisplay() && list->canDeleteKeepOne(list->getActiveIndex());
}

bool CToolOptions::newItem() {
  if (!canNewItem()) return false;
  CItemList* list = itemList();
  if (!list->copyInto(list, -1, true, list->getActiveIndex())) return false;
  model_.pushStrokeParams();
  if (OnChanged) OnChanged();
  return true;
}

bool CToolOptions::deleteItem(bool withoutAsking) {
  if (!canDeleteItem()) return false;
  CItemList* list = itemList();
  if (!withoutAsking) {
    const std::string word = resString(isGradientTool() ? kResItemWordGradient : kResItemWordBrush);
    if (askConfirm(formatRes(kResDeleteItemQuestion, {word.c_str()}), MessageButtons::YesNo) != kMrYes) return false;
  }
  if (!list->deleteItem(list->getActiveIndex(), true)) return false;
  model_.pushStrokeParams();
  if (OnChanged) OnChanged();
  return true;
}

// ---- the fill tools ----

void CToolOptions::bindSeeds(SSeedSettings* fill, SSeedSettings* wand) {
  fill_ = fill ? fill : &ownFill_;
  wand_ = wand ? wand : &ownWand_;
  if (OnChanged) OnChanged();
}

SSeedSettings* CToolOptions::seedsOfMode() const {
  switch (model_.toolMode()) {
    case ToolMode::MagicEraser:
    case ToolMode::BucketFill: return fill_;
    case ToolMode::AutoSelect: return wand_;
    default: return nullptr;
  }
}

const SSeedSettings* CToolOptions::seedSettings() const { return seedsOfMode(); }

bool CToolOptions::seedParamChange(double range, bool visible, bool antiAlias) {
  SSeedSettings* s = seedsOfMode();
  if (model_.replayDisplay() || locks_.test(kLockSeed) || s == nullptr) return false;
  LockBit hold(locks_, kLockSeed);
  SSeedSettings next;
  const double r = std::floor(range + 0.5);
  next.limit = !(r >= 0.0) ? 0 : r > 255.0 ? 255 : static_cast<int32_t>(r);
  next.visible = visible;
  next.antiAlias = antiAlias;
  if (next == *s) return false;
  *s = next;
  return true;
}

}  // namespace pg
