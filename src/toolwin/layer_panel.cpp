#include "toolwin/layer_panel.h"

#include <algorithm>
#include <cmath>

#include "canvas/draw_window.h"
#include "core/assign_changed.h"
#include "core/blend_modes.h"
#include "document/layer_data.h"
#include "document/mask_mngr.h"
#include "document/paper.h"
#include "platform/clock.h"
#include "platform/string_table.h"
#include "toolwin/layer_lists.h"

namespace pg {

namespace {
// The item words of the delete question.
constexpr uint32_t kResLayerWord = 69365, kResMaskWord = 69366;
}  // namespace

int32_t opacityPercentToByte(double percent) {
  if (!(percent == percent)) return 0;
  return std::clamp(static_cast<int32_t>(std::trunc(percent * 255.0 / 100.0 + 0.5)), 0, 255);
}

int32_t opacityByteToPercent(int32_t byte) {
  return std::clamp(static_cast<int32_t>(std::trunc(byte * 100.0 / 255.0 + 0.5)), 0, 100);
}

CLayerPanel::CLayerPanel(CLayerList& layers, CMaskList& masks) : layers_(layers), masks_(masks) {}

TDrawWindow* CLayerPanel::window() const { return layers_.window(); }

bool CLayerPanel::editable() const { return layers_.canEdit(); }

void CLayerPanel::setTimer(bool on) {
  if (!assignIfChanged(timerOn_, on)) return;
  if (OnTimer) OnTimer(on);
}

void CLayerPanel::shown() {
  if (OnUpdate) OnUpdate();
}

void CLayerPanel::updateLayerPanel() {
  if (editOpen_) return;
  SLayerPanelState s;
  s.blendMode = lbmNormal;
  s.attached = window() != nullptr;
  s.editable = editable();
  if (s.attached) {
    TPaper& p = window()->paper();
    if (const CLayerData* l = p.currentLayer()) {
      s.blendMode = l->blendMode;
      s.opacity = opacityByteToPercent(l->opacity);
      s.protectAlpha = l->protectAlpha;
    }
    s.canDelete = s.editable && p.layerCount() > 1;
  }
  state_ = s;
  percent_ = s.opacity;
  layers_.redraw();
  shown();
}

void CLayerPanel::updateMaskPanel() {
  SMaskPanelState s;
  s.editable = masks_.canEdit();
  if (s.editable) s.canDelete = masks_.getCount() > 1;
  maskState_ = s;
  masks_.redraw();
  shown();
}

// ---- opacity ----------------------------------------------------------------------------

void CLayerPanel::opacityStart() {
  if (!editable() || editOpen_) return;
  const CLayerData* l = window()->paper().currentLayer();
  if (!l) return;
  editOpen_ = true;
  startOpacity_ = l->opacity;
  percent_ = opacityByteToPercent(l->opacity);
}

void CLayerPanel::opacityChange(double percent) {
  percent_ = percent;
  state_.opacity = static_cast<int32_t>(std::lround(percent));
  if (replay_ || !editable()) return;
  stamp_ = timeGetTime();
  setTimer(true);
}

void CLayerPanel::opacityTimer() {
  if (replay_ || !editable() || !editOpen_) return setTimer(false);
  // Unsigned difference: the millisecond clock wraps.
  if (timeGetTime() - stamp_ < kOpacityCommitDelay) return;
  TPaper& p = window()->paper();
  // A preview, not recorded: an unchanged value answers false.
  (void)p.setLayerOpacity(p.currentLayerIndex(), opacityPercentToByte(percent_), false);
  window()->invalidateView();
  layers_.redraw();
  setTimer(false);
}

void CLayerPanel::opacityEnd() {
  if (!editable() || !editOpen_) {
    editOpen_ = false;
    return;
  }
  setTimer(false);
  TPaper& p = window()->paper();
  int32_t index = p.currentLayerIndex();
  int32_t final = opacityPercentToByte(percent_);
  if (final != startOpacity_) {
    // Whatever the previews showed, the record holds one change from the
    // value the edit started with to the final one.
    (void)p.setLayerOpacity(index, startOpacity_, false);  // back to the start, unrecorded
    if (p.setLayerOpacity(index, final, true)) window()->setModified(true);
  } else {
    (void)p.setLayerOpacity(index, final, false);  // the previewed value, unrecorded
  }
  window()->invalidateView();
  editOpen_ = false;
  updateLayerPanel();
}

// ---- other controls ------------------------------------------------------------------------

void CLayerPanel::blendModeChange(int32_t mode) {
  if (replay_ || !editable() || blendLock_) return;
  blendLock_ = true;
  TPaper& p = window()->paper();
  const CLayerData* l = p.currentLayer();
  if (l && l->blendMode != mode && p.setLayerBlendMode(p.currentLayerIndex(), mode, true)) {
    window()->setModified(true);
    window()->invalidateView();
  }
  layers_.redraw();
  blendLock_ = false;
  updateLayerPanel();
}

void CLayerPanel::protectAlphaChange(bool down) {
  if (replay_ || !editable()) return;
  TPaper& p = window()->paper();
  const CLayerData* l = p.currentLayer();
  if (l && l->protectAlpha != down && p.setProtectAlpha(-1, down ? 1 : 0, true)) window()->setModified(true);
  layers_.redraw();
  updateLayerPanel();
}

bool CLayerPanel::listEdited(bool done, bool masks) {
  if (done) {
    window()->setModified(true);
    window()->invalidateView();
  }
  if (masks) {
    masks_.ensureVisible();
    updateMaskPanel();
  } else {
    layers_.ensureVisible();
    updateLayerPanel();
  }
  return done;
}

bool CLayerPanel::newLayer(bool alt) {
  if (editable() && alt && OnNewLayerDialog) {
    OnNewLayerDialog();
    return listEdited(false, false);
  }
  return listEdited(editable() && window()->paper().newLayerCmd(&window()->flow(), lbmNormal, true), false);
}

bool CLayerPanel::deleteLayer(bool alt) {
  bool done = false;
  if (editable() && window()->paper().layerCount() > 1 && (alt || !OnConfirm || OnConfirm(resString(kResLayerWord)))) {
    TPaper& p = window()->paper();
    done = p.deleteLayerCmd(&window()->flow(), p.currentLayerIndex(), true);
  }
  return listEdited(done, false);
}

bool CLayerPanel::newMask() {
  bool done = false;
  if (masks_.canEdit()) {
    TPaper& p = window()->paper();
    done = p.newMask(window()->flow(), p.currentLayerIndex(), p.masks()->current(), true);
  }
  return listEdited(done, true);
}

bool CLayerPanel::deleteMask(bool alt) {
  bool done = false;
  if (masks_.canEdit() && masks_.getCount() > 1 && (alt || !OnConfirm || OnConfirm(resString(kResMaskWord)))) {
    TPaper& p = window()->paper();
    done = p.deleteMask(window()->flow(), p.currentLayerIndex(), p.masks()->current(), true);
  }
  return listEdited(done, true);
}

namespace {

// The list's current item, which a drag out of it carries (a press selects).
int32_t draggedItem(const CItemList& list) { return list.getActiveIndex(); }

}  // namespace

bool CLayerPanel::acceptsNewDrop(const CItemList* source) const {
  if (replay_ || (source != &layers_ && source != &masks_)) return false;
  CItemList& list = source == &layers_ ? static_cast<CItemList&>(layers_) : static_cast<CItemList&>(masks_);
  const int32_t i = draggedItem(list);
  return list.isValidIndex(i) && list.canCopyFrom(i + 1, &list, i);
}

bool CLayerPanel::newDrop(const CItemList* source) {
  if (!acceptsNewDrop(source)) return false;
  const bool masks = source == &masks_;
  CItemList& list = masks ? static_cast<CItemList&>(masks_) : static_cast<CItemList&>(layers_);
  const int32_t i = draggedItem(list);
  // The copy goes right above its source.
  return listEdited(list.copyInto(&list, i + 1, true, i), masks);
}

bool CLayerPanel::acceptsDeleteDrop(const CItemList* source) const {
  if (replay_ || (source != &layers_ && source != &masks_)) return false;
  const CItemList& list = source == &layers_ ? static_cast<const CItemList&>(layers_) : static_cast<const CItemList&>(masks_);
  return list.canDeleteKeepOne(draggedItem(list));
}

bool CLayerPanel::deleteDrop(const CItemList* source) {
  if (!acceptsDeleteDrop(source)) return false;
  // A drop on the button is its own answer: nothing is asked.
  return source == &masks_ ? deleteMask(true) : deleteLayer(true);
}

}  // namespace pg
