#include "toolwin/tool_options.h"

#include <cmath>

#include "brush/paint_param_kinds.h"
#include "canvas/tool_numbering.h"
#include "toolwin/tool_window_model.h"

namespace pg {

namespace {

enum { kLockParam = 0, kLockLoad = 1 };

struct LockBit {
  LockBit(std::bitset<2>& bits, size_t bit) : bits_(bits), bit_(bit) { bits_.set(bit_); }
  ~LockBit() { bits_.reset(bit_); }
  std::bitset<2>& bits_;
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
  };
  model_.setPaintParam(&list_.paintParam());
}

CToolOptions::~CToolOptions() { model_.setPaintParam(nullptr); }

void CToolOptions::bind(CPenMethodMngr* brushes, TStroke* stroke, CPenSettingTable* variants) {
  list_.bind(brushes, stroke, variants);
  followMode();
}

bool CToolOptions::hasBrush() const {
  PenSlot slot{};
  return penSlotOfMode(model_.toolMode(), slot) && list_.paintParam().kind == byteOf(slot);
}

void CToolOptions::followMode() {
  PenSlot slot{};
  if (!penSlotOfMode(model_.toolMode(), slot)) {
    if (OnChanged) OnChanged();
    return;
  }
  list_.selectPaintKind(byteOf(slot));
}

bool CToolOptions::shows(EParamField field) const { return hasBrush() && paramFieldEditable(list_.paintParam(), field); }

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
  const_cast<CToolOptions*>(this)->pullFromModel();
  return paramFieldControlValue(list_.paintParam(), field);
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
  list_.workChanged();
  if (autoSave_) (void)list_.storeCurrent();
  model_.pushStrokeParams();
  if (OnChanged) OnChanged();
  return true;
}

bool CToolOptions::optionSave() {
  if (!hasBrush()) return false;
  pullFromModel();
  bool stored = list_.storeCurrent();
  list_.workChanged();
  model_.pushStrokeParams();
  return stored;
}

}  // namespace pg
