#pragma once
// Small pieces the document's edit operations share: the settings a region
// fill reads, the modifier keys of a selection, and the helpers that write
// an event through the document's recorder and build the undo records of
// the mask list and of a replaced layer.
#include <cstdint>
#include <functional>
#include <memory>

#include "core/rect.h"
#include "document/doc_services.h"
#include "document/undo_data.h"

namespace pg {

class TPaper;
class CMaskData;
// The recording calls are declared with the recorder; the document's users
// that do not record need not read the whole recording layer.
class IDocEventRecorder;

// "The area is too complex" (string 69400): a fill whose region outgrew its queue.
inline constexpr uint32_t kStrRegionTooComplex = 69400;
// A message the operations show whose text has no string id.
inline constexpr const char* kMsgLayerCommandFailed = "Failed to execute layer command!";
// "Could not complete for lack of memory" (string 65143).
inline constexpr uint32_t kStrNotCompletedMemory = 65143;

// Limits of untrusted geometry: the points of a figure, and one move of a
// layer or mask (far beyond any canvas, short of overflowing a coordinate).
inline constexpr int32_t kMaxFigurePoints = 1 << 20;
inline constexpr int32_t kMaxOffsetStep = 1 << 24;
// The largest expand or contract of a selection, in pixels.
inline constexpr int32_t kMaxSelectExtent = 1000;

// The profile values a wand or bucket fill reads at each call: the colour
// limit L (the seed tolerance is 2 x L x L) and the target (0 the current
// layer, else the composite of the visible layers).
struct SRegionFillSettings {
  int32_t limit = 20;
  int32_t target = 0;
};

// The pointer-tool modifier keys held at the moment of a selection.
struct SModifierKeys {
  bool shift = false;
  bool ctrl = false;
  bool alt = false;
};

// The combine mode of a new selection (0 replace, 1 add, 2 subtract, 3
// intersect) from the held keys: without a selection always 0; with
// shortcut mode 0 Shift adds, Alt subtracts, both intersect; with mode 1
// Ctrl takes Alt's place; with any other mode only Shift (add) counts.
int32_t selectModeFromKeys(bool hasSelection, SModifierKeys keys, int32_t shortcutMode);

// The seed tolerance of a colour limit: 2 x L x L, the limit clamped to
// 0..255 (a recording or the profile may hold anything).
int32_t toleranceFromLimit(int32_t limit);

// Holds the window's wait cursor while a long operation runs.
class CWaitCursor {
 public:
  explicit CWaitCursor(IDocWindow* w) : w_(w) {
    if (w_ != nullptr) w_->setWaitCursor(true);
  }
  ~CWaitCursor() {
    if (w_ != nullptr) w_->setWaitCursor(false);
  }
  CWaitCursor(const CWaitCursor&) = delete;
  CWaitCursor& operator=(const CWaitCursor&) = delete;

 private:
  IDocWindow* w_;
};

// Writes an event through the document's recorder when it has the document
// recording calls; a recorder without them records nothing (true).
[[nodiscard]] bool writeDocEvent(IDocRecorder& recorder, const std::function<bool(IDocEventRecorder&)>& write);

// A mask-list record (class 6) of mask `maskIndex`: the current layer, the
// mask's id in the document now, the current mask before (value3) and now
// (value4), and the object the record keeps.
[[nodiscard]] std::unique_ptr<CUndoData> makeMaskUndo(const TPaper& doc, int kind, int32_t maskIndex, int32_t currentBefore,
                                        std::unique_ptr<CMaskData> kept);

// A record of a layer object replaced at `index` (kinds 34 and 36): the
// document's layer there now is checked by id, `old` is kept.
[[nodiscard]] std::unique_ptr<CUndoData> makeReplacedLayerUndo(const TPaper& doc, int kind, int32_t index,
                                                 std::unique_ptr<CLayerData> old);

}  // namespace pg
