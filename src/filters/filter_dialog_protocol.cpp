// The filter dialogs' preview protocol.
#include "filters/filter_dialog_protocol.h"

#include <utility>

#include "core/assign_changed.h"

namespace pg {

CFilterDialogProtocol::CFilterDialogProtocol(SFilterDialogHooks hooks, std::function<uint64_t()> clock)
    : hooks_(std::move(hooks)), clock_(std::move(clock)) {
  stamp_ = clock_ ? clock_() : 0;
}

bool CFilterDialogProtocol::attach(bool coreValid, bool rememberedPreview) {
  if (!coreValid) return false;
  attached_ = true;
  inUpdate_ = true;
  if (hooks_.writeControls) hooks_.writeControls();
  checked_ = rememberedPreview;
  lastChecked_ = rememberedPreview;
  if (hooks_.readControls) hooks_.readControls();
  inUpdate_ = false;
  return true;
}

bool CFilterDialogProtocol::needsUpdate() const {
  return checked_ != lastChecked_ || hooks_.alwaysChanged || current != last;
}

void CFilterDialogProtocol::updatePreview(bool force) {
  if (!attached_) return;
  if (!force && !needsUpdate()) return;
  last = current;
  lastChecked_ = checked_;
  // The frame follows every refresh, checked or not.
  if (hooks_.drawFrame) hooks_.drawFrame();
  if (checked_ && hooks_.runPreview) hooks_.runPreview(current);
}

void CFilterDialogProtocol::setTimer(bool on) {
  if (!assignIfChanged(timerOn_, on)) return;
  if (hooks_.setTimer) hooks_.setTimer(on);
}

void CFilterDialogProtocol::valueChange(int sender) {
  if (inUpdate_ || !attached_) return;
  inUpdate_ = true;
  const EPreviewRequest r = hooks_.controlChanged ? hooks_.controlChanged(sender) : EPreviewRequest::None;
  if (hooks_.readControls) hooks_.readControls();
  stamp_ = clock_ ? clock_() : 0;
  setTimer(r == EPreviewRequest::Later);
  if (r == EPreviewRequest::Now) updatePreview(false);
  inUpdate_ = false;
}

void CFilterDialogProtocol::timerTick() {
  if (!timerOn_) return;
  // Unsigned difference: a clock that wraps still measures the wait.
  const uint64_t now = clock_ ? clock_() : 0;
  if (now - stamp_ < kDelayMs) return;
  setTimer(false);
  updatePreview(false);
}

void CFilterDialogProtocol::previewClicked(bool checked) {
  checked_ = checked;
  lastChecked_ = checked;
  if (inUpdate_ || !attached_) return;
  if (checked) {
    if (hooks_.runPreview) hooks_.runPreview(current);
  } else if (hooks_.endPreview) {
    hooks_.endPreview();
  }
}

}  // namespace pg
