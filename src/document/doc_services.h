#pragma once
// What the document needs of its neighbours, as small interfaces: the window
// that shows it (edit gate, modified flag, repaint target), the preferences,
// the message boxes, and the recorder of the drawing process. The user
// interface implements them; tests fake them. Nothing here knows a widget.
#include <cstdint>
#include <functional>
#include <memory>

#include "core/rect.h"

namespace pg {

class TPaper;

// The three switches of the window's edit gate.
struct EditGateFlags {
  bool ignoreBackgroundMode = true;
  bool allowDuringReplay = false;
  bool onlyWhenPaused = true;
};

// The document window as the document sees it.
class IDocWindow {
 public:
  virtual ~IDocWindow() = default;
  // The edit gate: whether the document may be edited now. It commits the
  // window's pending operation when it answers true.
  [[nodiscard]] virtual bool canEdit(const EditGateFlags& flags) = 0;
  virtual void setModified(bool modified) = 0;
  // The document has changes that are not saved.
  virtual bool isModified() const { return false; }
  // True while the window replays a recording.
  virtual bool isReplaying() const = 0;
  // The repaint target: a rectangle of the document (document coordinates)
  // was recomposed and must be shown again.
  virtual void repaintDocRect(const TRect& rect) = 0;
  // The whole view must be painted again.
  virtual void invalidateView() = 0;
  // After an undo or redo that changed the whole document: recompute the
  // scroll layout and zoom placement (relayout) or only the zoom placement,
  // and update the title.
  virtual void documentLayoutChanged(bool relayout) = 0;
  virtual void setWaitCursor(bool on) = 0;
};

// The preference values the document reads.
class IDocPrefs {
 public:
  virtual ~IDocPrefs() = default;
  // The undo and redo limit (section "config", default 8).
  virtual int32_t undoMax() const = 0;
};

inline constexpr int32_t kDefaultUndoMax = 8;

// What the document uses of its recorder. Every recording call is made only
// when the calling operation records; a call made while the recorder is not
// recording succeeds without writing anything.
class IDocRecorder {
 public:
  virtual ~IDocRecorder() = default;

  // Enters recording mode with `undoSteps` steps on both sides of the
  // recorder's undo ring.
  [[nodiscard]] virtual bool startRecording(int32_t undoSteps) = 0;
  // Discards the whole stream and leaves recording and replay.
  virtual void clear() = 0;
  // The stream has data and the recorder records.
  virtual bool hasEvents() const = 0;
  virtual bool isStrokeOpen() const = 0;
  // The window of this document was activated or deactivated.
  virtual void activate(bool active) = 0;

  // Event undo and redo, kept in step with the document's undo lists.
  virtual int32_t undoDepth() const = 0;
  [[nodiscard]] virtual bool undoEvent() = 0;
  virtual int32_t redoAvailableCount() const = 0;
  [[nodiscard]] virtual bool redoStep() = 0;
  // Writes a state note after an undo.
  virtual void noteState() = 0;
  // Drops the events beyond the current position (the redo side).
  virtual void dropForwardEvents() = 0;
  // Where the committed events end now; retractEventsSince drops every event
  // committed after that mark, so that an edit that wrote its event and then
  // failed leaves no trace in the recording. False when the events cannot be
  // taken back (then the recording keeps them); a recorder that cannot
  // retract answers false.
  virtual uint64_t eventMark() const { return 0; }
  [[nodiscard]] virtual bool retractEventsSince(uint64_t /*mark*/) { return false; }
  [[nodiscard]] virtual bool resizeUndoRing(int32_t backSteps, int32_t forwardSteps) = 0;

  // The paper colour changed; the value is in pixel order 0x00RRGGBB.
  [[nodiscard]] virtual bool recordPaperColor(uint32_t pixel) = 0;

  // A new image: its size, the transparent and canvas-colour-off switches,
  // the resolution and the size of its first layer. A recorder that records
  // no image creation keeps the default, which writes nothing.
  [[nodiscard]] virtual bool recordImageCreate(int32_t /*width*/, int32_t /*height*/, bool /*transparent*/,
                                 bool /*canvasColourOff*/, int32_t /*resolution*/, int32_t /*layerHeight*/,
                                 int32_t /*layerWidth*/) {
    return true;
  }
  // The reset point a replay starts from.
  [[nodiscard]] virtual bool recordResetPoint() { return true; }
};

// The recorder a new document makes for itself (the application hands in
// the factory of the real one).
using DocRecorderFactory = std::function<std::unique_ptr<IDocRecorder>(TPaper& owner)>;

// Everything a document is given when it is created. Null members stand for
// a neighbour that does not take part (default preferences, a recorder that
// records nothing). The tool window's panels are reached
// through the process-wide tool-window link of the layer list.
struct DocServices {
  IDocPrefs* prefs = nullptr;
  DocRecorderFactory makeRecorder;
};

}  // namespace pg
