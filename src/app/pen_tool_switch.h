#pragma once
// The pen's eraser end: turning the pen over and lifting it from the pad
// switches the tool window to its second tool button; once the pen leaves the
// pad's proximity the first button comes back, but never in the middle of a
// stroke.
namespace pg {

struct SPenReading {
  bool packet = false;       // a pen report (else a proximity notice)
  float pressure = 0.0f;     // 0..1
  float altitude = 0.0f;     // below 0 for the eraser end
  bool inProximity = true;
};

class CPenToolSwitch {
 public:
  enum class Action { None, SelectSecond, SelectFirst };

  // strokeOpen: the active document window has a stroke open; canSwitch: a
  // document window is active and does not replay.
  Action update(const SPenReading& reading, bool strokeOpen, bool canSwitch);

  bool switched() const { return switched_; }
  bool switchBackPending() const { return switchBackPending_; }

 private:
  bool switched_ = false;
  bool switchBackPending_ = false;
};

}  // namespace pg
