#pragma once
// The preview protocol every filter dialog follows, apart from any toolkit:
// when the canvas preview is refreshed, how a control that is being dragged
// postpones the refresh, and what the preview check box does. The dialog
// supplies its controls through the hooks; the records it keeps are bytes in
// the layout the event carries, so "out of date" is a plain comparison.
#include <cstdint>
#include <functional>
#include <vector>

namespace pg {

// What a control's change asks for.
enum class EPreviewRequest : uint8_t { None = 0, Now = 1, Later = 2 };

struct SFilterDialogHooks {
  // Controls -> current record.
  std::function<void()> readControls;
  // Remembered values -> controls (the protocol restores the check box after).
  std::function<void()> writeControls;
  // A control's change: keep sliders and fields in step, answer the request.
  std::function<EPreviewRequest(int sender)> controlChanged;
  // The canvas preview on the record, and its end (layer restored, window
  // recomposited).
  std::function<void(const std::vector<uint8_t>& record)> runPreview;
  std::function<void()> endPreview;
  // Repaints an embedded preview frame (absent when the dialog has none).
  std::function<void()> drawFrame;
  // Starts or stops the ticking of the delay timer.
  std::function<void(bool on)> setTimer;
  // Whether the record always counts as changed (a dialog whose parameters
  // hold more than the bytes show).
  bool alwaysChanged = false;
};

class CFilterDialogProtocol {
 public:
  // How long after the last change of a dragged control the preview waits.
  static constexpr uint32_t kDelayMs = 700;

  CFilterDialogProtocol(SFilterDialogHooks hooks, std::function<uint64_t()> clock);

  // Binds the dialog to a usable core: controls filled from the remembered
  // values, the check box restored, the current record read back. False
  // (nothing done) for an unusable core.
  [[nodiscard]] bool attach(bool coreValid, bool rememberedPreview);
  // The dialog is shown: one forced refresh.
  void shown() { updatePreview(true); }
  // The common change handler of every parameter control.
  void valueChange(int sender);
  // A tick of the delay timer.
  void timerTick();
  // The preview check box was clicked (its new state).
  void previewClicked(bool checked);
  // Refreshes the frame and, with the box checked, the canvas preview when
  // forced or out of date.
  void updatePreview(bool force);
  [[nodiscard]] bool needsUpdate() const;

  [[nodiscard]] bool previewChecked() const { return checked_; }
  [[nodiscard]] bool timerOn() const { return timerOn_; }

  std::vector<uint8_t> current;
  std::vector<uint8_t> last;

 private:
  void setTimer(bool on);

  SFilterDialogHooks hooks_;
  std::function<uint64_t()> clock_;
  bool attached_ = false;
  bool checked_ = false;
  bool lastChecked_ = false;
  bool inUpdate_ = false;
  bool timerOn_ = false;
  uint64_t stamp_ = 0;
};

}  // namespace pg
