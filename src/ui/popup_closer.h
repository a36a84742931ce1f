#pragma once
// When a borderless pop-up closes, and with which result: the decisions of the
// pop-up base form without any window. The window layer feeds it the
// application's keys, presses, releases and deactivation while the pop-up is
// open and closes the pop-up with the answer.
#include <cstdint>

namespace pg {

// Results of a pop-up: 0 while open, 1 accepted, 2 cancelled.
enum : int32_t {
  kPopupOpen = 0,
  kPopupAccept = 1,
  kPopupCancel = 2,
};

// A release this long after a press-and-hold opening closes the pop-up.
constexpr uint32_t kPopupHoldThresholdMs = 1000;

class CPopupCloser {
 public:
  // Opening. With press-and-hold mode on, the button that opened the pop-up
  // counts as still held from nowMs on.
  void open(bool pressAndHold, uint32_t nowMs);
  bool pressAndHold() const { return pressAndHold_; }
  void setHoldThreshold(uint32_t ms) { threshold_ = ms; }

  // Each answers the result to close with, or kPopupOpen to stay open. While a
  // modal form shows every input is ignored.
  // key: a virtual-key number (Tab 9, Enter 13, Space 32, Esc 27).
  int32_t key(int32_t vk, bool modalShowing) const;
  // A left or right press; outside: its screen point lies outside the form.
  int32_t press(bool outside, bool modalShowing) const;
  // A left-button release; a quick one switches press-and-hold mode off.
  int32_t release(uint32_t nowMs, bool modalShowing);
  // The application lost the activation.
  int32_t deactivate(bool modalShowing) const;
  // Whether the application's shortcuts are swallowed while the pop-up is open.
  bool swallowShortcut(bool modalShowing) const { return !modalShowing; }

 private:
  bool pressAndHold_ = false;
  bool pressRemembered_ = false;
  uint32_t threshold_ = kPopupHoldThresholdMs;
  uint32_t pressTime_ = 0xFFFFFFFFu;
};

}  // namespace pg
