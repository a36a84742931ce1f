#include "ui/popup_closer.h"

#include "platform/desktop.h"

namespace pg {

void CPopupCloser::open(bool pressAndHold, uint32_t nowMs) {
  pressAndHold_ = pressAndHold;
  pressRemembered_ = false;
  if (pressAndHold) {
    pressRemembered_ = true;
    pressTime_ = nowMs;
  }
}

int32_t CPopupCloser::key(int32_t vk, bool modalShowing) const {
  if (modalShowing) return kPopupOpen;
  switch (vk) {
    case kVkTab:
    case kVkReturn:
    case kVkSpace:
      return kPopupAccept;
    case kVkEscape:
      return kPopupCancel;
    default:
      return kPopupOpen;
  }
}

int32_t CPopupCloser::press(bool outside, bool modalShowing) const {
  if (modalShowing || !outside) return kPopupOpen;
  return kPopupAccept;
}

int32_t CPopupCloser::release(uint32_t nowMs, bool modalShowing) {
  if (modalShowing || !pressAndHold_ || !pressRemembered_) return kPopupOpen;
  // Unsigned difference: harmless across the clock's wrap.
  if (nowMs - pressTime_ < threshold_) {
    // A quick click opened the pop-up: from now on it is an ordinary one.
    pressAndHold_ = false;
    return kPopupOpen;
  }
  return kPopupAccept;
}

int32_t CPopupCloser::deactivate(bool modalShowing) const { return modalShowing ? kPopupOpen : kPopupAccept; }

}  // namespace pg
