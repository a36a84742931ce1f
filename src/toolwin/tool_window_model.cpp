#include "toolwin/tool_window_model.h"

#include <algorithm>
#include <cmath>

#include "brush/paint_param.h"
#include "core/assign_changed.h"
#include "toolwin/nib_radius_mapping.h"
#include "toolwin/pen_editor_values.h"

namespace pg {

namespace {

// Holds one update-lock element for a scope, so that a step that leaves
// early still releases it.
class LockHold {
 public:
  LockHold(std::bitset<40>& locks, int element) : locks_(locks), element_(element) { locks_.set(element_); }
  ~LockHold() { locks_.reset(element_); }
  LockHold(const LockHold&) = delete;
  LockHold& operator=(const LockHold&) = delete;

 private:
  std::bitset<40>& locks_;
  int element_;
};

bool isLetter(int32_t vk) { return vk >= 'A' && vk <= 'Z'; }
bool isDigit(int32_t vk) { return vk >= '0' && vk <= '9'; }

// The replay wait that the digit keys choose while a replay is shown; -1 for
// the digits that are used but change nothing.
constexpr std::array<int32_t, 10> kReplayWaitOfDigit = {0, 1, 4, 8, 16, 32, -1, -1, -1, -1};

}  // namespace

CToolWindowModel::CToolWindowModel() {
  for (int b = 0; b < kToolButtonCount; ++b) {
    rememberedMode_[b] = toolButtonDef(b).defaultMode;
    rememberedOpacity_[b] = 100.0f;
  }
}

void CToolWindowModel::finishCreation() {
  updateEventPanel(false);
  displayButton_ = {0, kHandButton};
}

void CToolWindowModel::notify(uint32_t parts) {
  if (view_) view_->toolWindowChanged(parts);
}

// ---- document binding ------------------------------------------------------

void CToolWindowModel::setDocWindow(IToolTarget* target) {
  target_ = target;
  if (target && target->documentReady()) {
    pushStrokeParams();
    updateEventPanel(target->isReplaying());
  } else if (!target) {
    updateEventPanel(false);
  }
}

void CToolWindowModel::releaseDocWindow(IToolTarget* target) {
  if (target && target == target_) setDocWindow(nullptr);
}

// ---- tools -------------------------------------------------------------------

bool CToolWindowModel::buttonEnabled(int button) const {
  button %= kToolButtonCount;
  if (replayDisplay_ && button != kHandButton && button != kZoomButton) return false;
  std::array<ToolMode, 5> modes{};
  int count = modesOfButton(button, modes);
  return std::any_of(modes.begin(), modes.begin() + count, [this](ToolMode m) { return modeAvailable(m); });
}

void CToolWindowModel::setModeFilter(std::function<bool(ToolMode)> available) {
  available_ = std::move(available);
  notify(kToolViewButtons);
}

ToolId CToolWindowModel::toolIdForMode(ToolMode mode) const {
  ToolId id = toolIdOfMode(mode);
  // The brush modes draw with the shape chosen for them; the magic eraser,
  // although a brush mode's neighbour, has its own id.
  PenSlot slot;
  if (id == ToolId::Brush && penSlotOfMode(mode, slot)) id = shapeOfSubMode(subPaint_);
  return id;
}

void CToolWindowModel::setToolMode(ToolMode mode) {
  const SToolModeDef* def = toolModeDef(mode);
  if (!def || mode == mode_ || locks_.test(kLockMode) || !modeAvailable(mode)) return;

  // The button that is left remembers its variant and opacity. During a
  // slot flip the selector already names the new slot.
  int oldButton = locks_.test(kLockSlot) ? slotButton_[slot_ ^ 1] : slotButton_[slot_];
  rememberedMode_[oldButton] = mode_;
  rememberedOpacity_[oldButton] = opacity_;

  LockHold hold(locks_, kLockMode);
  bool buttonChanged = buttonOfMode(mode_) != def->button;
  opacityApplies_ = def->opacityApplies;

  // A brush mode that always starts freehand resets its shape before the
  // document window installs the handlers, so they match the tool id.
  PenSlot penSlot;
  if (prefs_.autoFreeHand && penSlotOfMode(mode, penSlot)) subPaint_ = 0;

  mode_ = mode;
  selectTool(toolIdForMode(mode), true);
  // Brushes of the pen-method family paint through the pen engine, the
  // others through the dab-table walker.
  if (PenSlot slot{}; host_ && penSlotOfMode(mode, slot))
    host_->selectStrokeEngine(paintKindFamily(byteOf(slot)) == 2 ? 2 : 1);

  slotButton_[slot_] = def->button;
  rememberedMode_[def->button] = mode;

  if (!opacityApplies_)
    opacity_ = 100.0f;
  else if (buttonChanged)
    opacity_ = rememberedOpacity_[def->button];
  notify(kToolViewButtons | kToolViewOpacity);
  pushStrokeParams();
}

bool CToolWindowModel::selectTool(ToolId tool, bool endPrevious) {
  bool changed = tool != toolId_;
  if (locks_.test(kLockTool) || byteOf(tool) >= kToolIdCount) return changed;
  LockHold hold(locks_, kLockTool);
  IToolTarget* target = target_;
  if (target) target->selectToolHandlers(toolId_, endPrevious);
  toolId_ = tool;
  if (target) {
    target->updateCursorAtPointer();
    target->selectToolHandlers(toolId_, false);
  }
  return changed;
}

void CToolWindowModel::selectToolButton(int slot) {
  if ((slot != 0 && slot != 1) || slot == slot_) return;
  LockHold hold(locks_, kLockSlot);
  slot_ = slot;
  setToolMode(rememberedMode_[slotButton_[slot_]]);
  notify(kToolViewButtons);
}

void CToolWindowModel::selectButtonMode(int button, bool next) {
  if (button < 0 || button >= kToolButtonCount) return;
  ToolMode m = rememberedMode_[button];
  if (next && button == currentButton() && !locks_.test(kLockMode)) {
    // Variants whose tools cannot be used are passed over.
    ToolMode start = m;
    do m = nextModeOf(m);
    while (!modeAvailable(m) && m != start);
  }
  setToolMode(m);
}

void CToolWindowModel::buttonClicked(int button, bool alt, bool openedMenu) {
  if (!buttonEnabled(button)) return;
  selectButtonMode(button, alt && !openedMenu);
}

bool CToolWindowModel::menuClicked(std::string_view itemName) {
  ToolMode m;
  if (!modeOfMenuItem(itemName, m) || !buttonEnabled(buttonOfMode(m)) || !modeAvailable(m)) return false;
  setToolMode(m);
  return true;
}

void CToolWindowModel::setSubPaintShape(int32_t shape) {
  if (shape < 0 || shape >= kShapeSubModeCount || shape == subPaint_) return;
  subPaint_ = shape;
  PenSlot slot;
  if (penSlotOfMode(mode_, slot)) selectTool(shapeOfSubMode(shape), true);
}

void CToolWindowModel::applyToolSubMode(uint32_t mask) {
  std::array<ToolMode, kToolButtonCount> modes = rememberedMode_;
  unpackToolSubMode(mask, modes);
  for (int b = 1; b < kToolButtonCount; ++b)
    if (b != currentButton()) rememberedMode_[b] = modes[b];
  if (mask & toolModeDef(ToolMode::PencilV3)->maskBit) setToolMode(ToolMode::PencilV3);
  notify(kToolViewButtons);
}

// ---- replay display ----------------------------------------------------------

void CToolWindowModel::updateEventPanel(bool on) {
  if (!assignIfChanged(replayDisplay_, on)) return;
  int shown = on ? 1 : 0;
  displayButton_[shown ^ 1] = currentButton();
  selectButtonMode(displayButton_[shown], false);
  // A replay is watched with the hand or the zoom.
  if (on && currentButton() != kHandButton && currentButton() != kZoomButton) selectButtonMode(kHandButton, false);
  notify(kToolViewButtons);
}

// ---- keys --------------------------------------------------------------------

bool CToolWindowModel::handleShortcutKey(int32_t vk, uint32_t shift) {
  bool ctrl = shift & kShortcutCtrl;
  bool alt = shift & kShortcutAlt;
  bool shiftKey = shift & kShortcutShift;
  // The main window's menu shortcuts keep their keys.
  if (isLetter(vk) && ctrl) return false;
  if ((isLetter(vk) || isDigit(vk)) && alt) return false;

  if (vk == 9) {  // Tab
    if (ctrl) return false;
    if (host_) host_->toggleFloatingPanels();
    return true;
  }

  if (replayDisplay_) {
    if (!isDigit(vk) || ctrl || shiftKey) return false;
    int32_t wait = kReplayWaitOfDigit[vk - '0'];
    if (wait >= 0 && host_) host_->setEventWait(wait);
    return true;
  }

  int button = buttonOfShortcutKey(vk);
  if (button >= 0) {
    bool next = (prefs_.toolFindNext || shiftKey) && !(view_ && view_->isVariantMenuOpen(button));
    selectButtonMode(button, next);
    return true;
  }
  switch (vk) {
    case 'E':
    case 'R':
      // Steps through the option panel's brush or gradient list; the key is
      // the panel's even while no list is shown.
      if (OnStepBrushList) OnStepBrushList(vk == 'E' ? -1 : 1);
      return true;
    case kVkBracketRight:
    case kVkBracketLeft: {
      // With Ctrl or Alt the keys belong to the layer list; without a
      // document they still count as used (the list then does nothing).
      const bool up = vk == kVkBracketRight;
      if (ctrl) {
        if (OnLayerKey) OnLayerKey(up ? LayerKey::MoveUp : LayerKey::MoveDown);
      } else if (alt) {
        if (OnLayerKey) OnLayerKey(up ? LayerKey::NextVisibleAbove : LayerKey::NextVisibleBelow);
      } else if (up) {
        stepSizeUp(shiftKey);
      } else {
        stepSizeDown(shiftKey);
      }
      return true;
    }
    case 'X':
      if (!shiftKey) return false;
      swapColors();
      return true;
    default: break;
  }
  if (isDigit(vk) && !ctrl && !shiftKey) {
    setToolOpacity(vk == '0' ? 100.0f : 10.0f * static_cast<float>(vk - '0'));
    return true;
  }
  return false;
}

// ---- opacity, colours, size ------------------------------------------------

void CToolWindowModel::setClamped(float& field, float value, float low, float high, uint32_t part) {
  if (!std::isfinite(value)) return;
  value = std::clamp(value, low, high);
  if (!assignIfChanged(field, value)) return;
  notify(part);
  pushStrokeParams();
}

void CToolWindowModel::setToolOpacity(float percent) { setClamped(opacity_, percent, 1.0f, 100.0f, kToolViewOpacity); }

void CToolWindowModel::setGradation(bool on) {
  if (assignIfChanged(gradation_, on)) pushStrokeParams();
}

void CToolWindowModel::setFgColor(uint32_t pixel) {
  pixel |= 0xFF000000u;
  if (!assignIfChanged(fg_, pixel)) return;
  notify(kToolViewColours);
  pushStrokeParams();
}

void CToolWindowModel::setBgColor(uint32_t pixel) {
  pixel |= 0xFF000000u;
  if (!assignIfChanged(bg_, pixel)) return;
  notify(kToolViewColours);
  pushStrokeParams();
}

void CToolWindowModel::setActiveSide(int side) {
  if ((side != 1 && side != 2) || side == activeSide_) return;
  activeSide_ = side;
  notify(kToolViewColours);
}

void CToolWindowModel::chooseColourSide(int side) {
  if (side == 2 && prefs_.cellExchange) {
    swapColors();
    setActiveSide(1);
    return;
  }
  setActiveSide(side);
}

void CToolWindowModel::setActiveColor(uint32_t pixel) {
  if (activeSide_ == 2)
    setBgColor(pixel);
  else
    setFgColor(pixel);
}

void CToolWindowModel::swapColors() {
  std::swap(fg_, bg_);
  notify(kToolViewColours);
  pushStrokeParams();
}

void CToolWindowModel::setToolSize(float pixels) {
  setClamped(size_, pixels, kNibRadiusMin, kNibRadiusMax, kToolViewSize);
}

void CToolWindowModel::setMinSize(float percent) { setClamped(minSize_, percent, 0.0f, 100.0f, kToolViewSize); }

void CToolWindowModel::stepSize(bool up, bool shift) {
  if (shift) {
    setMinSize(minSize_ + (up ? 1.0f : -1.0f));
  } else if (paintParam_ != nullptr && paintParam_->hasNib != 0 && OnNibScale) {
    // A brush with a nib image steps its scale over the scale's own range.
    float lo = 0.0f, hi = 0.0f;
    nibScalePercentRange(paintParam_->minNibScale(), paintParam_->maxNibScale(), lo, hi);
    const double range = double(hi) - lo;
    if (!(range > 0.0)) return;
    const double v = (double(paintParam_->nibScale) * 100.0 - lo) / range;
    const double p = nibScaleInFilter(v, lo, hi) + (up ? 0.05 : -0.05);
    OnNibScale(static_cast<float>(lo + range * nibScaleOutFilter(p, lo, hi)));
  } else {
    setToolSize(stepNibRadius(size_, up));
  }
}

void CToolWindowModel::stepSizeUp(bool shift) { stepSize(true, shift); }

void CToolWindowModel::stepSizeDown(bool shift) { stepSize(false, shift); }

SToolParams CToolWindowModel::toolParams() const {
  SToolParams p;
  p.foreground = fg_;
  p.background = bg_;
  p.brushSize = size_;
  p.minSize = minSize_;
  p.opacity = std::min(opacity_ / 100.0f + 0.00001f, 1.0f);
  p.gradation = gradation_;
  return p;
}

void CToolWindowModel::pushStrokeParams() {
  SToolParams p = toolParams();
  if (target_ && target_->documentReady() && !target_->isReplaying()) {
    PenSlot slot{};
    if (paintParam_ && penSlotOfMode(mode_, slot) && paintParam_->kind == byteOf(slot))
      target_->applyPaintParam(*paintParam_);
    target_->applyToolParams(p);
  }
  uint8_t kind = settingKindOfMode(mode_);
  if (host_ && kind != kNoSettingKind) host_->storeToolSetting(kind, p.opacity);
}

}  // namespace pg
