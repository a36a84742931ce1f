#pragma once
// The layer and mask panels without their widgets: what the controls show
// of the active document (the current layer's blend mode, opacity and
// protect-transparency switch, which buttons work), and the edits they make.
//
// The opacity field is previewed while the user drags it and committed once
// when the drag ends: changes only stamp the time and start the timer; a
// timer tick at least 500 ms after the last change shows the value without
// recording; the end puts the start value back and sets the final one as
// one recorded, undoable change (nothing at all when they are equal).
#include <cstdint>
#include <functional>
#include <string>

namespace pg {

class CItemList;
class CLayerList;
class CMaskList;
class TDrawWindow;

// Opacity of the panel (per cent 0..100) and of the layer (byte 0..255).
[[nodiscard]] int32_t opacityPercentToByte(double percent);
[[nodiscard]] int32_t opacityByteToPercent(int32_t byte);

struct SLayerPanelState {
  bool attached = false;  // a document window is bound
  bool editable = false;  // and its edit gate is open
  int32_t blendMode = 3;  // layer blend mode 0..21 (3 normal)
  int32_t opacity = 100;  // per cent
  bool protectAlpha = false;
  bool canDelete = false;
};

struct SMaskPanelState {
  bool editable = false;
  bool canDelete = false;
};

class CLayerPanel {
 public:
  static constexpr uint32_t kOpacityCommitDelay = 500;  // ms

  CLayerPanel(CLayerList& layers, CMaskList& masks);

  // The timer of the opacity preview: the widget starts or stops a repeating
  // timer that calls opacityTimer.
  std::function<void(bool on)> OnTimer;
  // The controls are to show state() again.
  std::function<void()> OnUpdate;
  // Asks whether to delete the selected item (the item word is given);
  // true for Yes. Without one, deleting asks nothing.
  std::function<bool(const std::string& word)> OnConfirm;
  // A new layer with Alt: the main window's new-layer dialog.
  std::function<void()> OnNewLayerDialog;

  void setReplayDisplay(bool on) { replay_ = on; }
  bool replayDisplay() const { return replay_; }

  // Reads the state again from the active document (nothing while an
  // opacity edit is open, so that the previews do not pull it back).
  void updateLayerPanel();
  void updateMaskPanel();
  const SLayerPanelState& state() const { return state_; }
  const SMaskPanelState& maskState() const { return maskState_; }

  // ---- the opacity edit ----
  void opacityStart();
  void opacityChange(double percent);
  void opacityTimer();
  void opacityEnd();
  bool opacityEditOpen() const { return editOpen_; }
  bool timerRunning() const { return timerOn_; }

  // ---- the other controls ----
  void blendModeChange(int32_t mode);
  void protectAlphaChange(bool down);
  bool newLayer(bool alt);
  bool deleteLayer(bool alt);
  bool newMask();
  bool deleteMask(bool alt);

  // ---- items dragged out of the lists onto the new and delete buttons ----
  // New takes a drag from the list beside it when the list may copy its
  // current item and duplicates that item; delete takes one when the item
  // may go and deletes it without asking. Both are the document's recorded
  // operations.
  bool acceptsNewDrop(const CItemList* source) const;
  bool newDrop(const CItemList* source);
  bool acceptsDeleteDrop(const CItemList* source) const;
  bool deleteDrop(const CItemList* source);

 private:
  TDrawWindow* window() const;
  bool editable() const;
  void setTimer(bool on);
  void shown();
  // After a new or delete button: the window shows the change, the list and
  // the panel follow; answers done.
  bool listEdited(bool done, bool masks);

  CLayerList& layers_;
  CMaskList& masks_;
  SLayerPanelState state_;
  SMaskPanelState maskState_;
  bool replay_ = false;
  bool editOpen_ = false;
  bool timerOn_ = false;
  bool blendLock_ = false;
  int32_t startOpacity_ = 255;
  double percent_ = 100.0;
  uint32_t stamp_ = 0;
};

}  // namespace pg
