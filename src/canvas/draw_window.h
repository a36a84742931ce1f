#pragma once
// TDrawWindow: the logic of one document window. It owns the document, the
// flow image strokes draw into and a stroke-settings object of its own; it
// turns pointer, tablet, wheel and key input into calls of the current
// tool's handler table, feeds stroke points to the document, lays out and
// paints the view into a back buffer of the client size, and is the edit
// gate every command asks first.
//
// The window system stays outside: a host (the Qt widget, or a test) gives
// the client size and the key state, and receives repaint requests, cursors,
// scroll-bar layouts, captions and beeps through IDrawWindowHost.
#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "canvas/ants_overlay.h"
#include "canvas/canvas_shared.h"
#include "canvas/temporary_tools.h"
#include "canvas/tool_handlers.h"
#include "canvas/tool_state.h"
#include "canvas/view_layout.h"
#include "core/planes.h"
#include "document/doc_services.h"
#include "document/paper_stroke_session.h"
#include "document/paper_view.h"

namespace pg {

class TPaper;
class TFlowImage;
class TStroke;
class CReplaySession;
class TEventPacket;
struct SLegacyImportResult;
class TStroke;

// Key codes of the window's own keys (the platform's virtual-key numbers).
namespace keys {
inline constexpr int32_t kBackspace = 8;
inline constexpr int32_t kEnter = 13;
inline constexpr int32_t kEscape = 27;
inline constexpr int32_t kSpace = 32;
inline constexpr int32_t kLeft = 37;
inline constexpr int32_t kUp = 38;
inline constexpr int32_t kRight = 39;
inline constexpr int32_t kDown = 40;
inline constexpr int32_t kInsert = 45;
inline constexpr int32_t kDelete = 46;
inline constexpr int32_t kF5 = 116;
inline constexpr int32_t kF6 = 117;
inline constexpr int32_t kPadPlus = 107;
inline constexpr int32_t kPadMinus = 109;
inline constexpr int32_t kPlus = 187;   // the equals/plus key of the main keyboard
inline constexpr int32_t kMinus = 189;  // the minus key of the main keyboard
}  // namespace keys

// Input state bits of the window.
namespace input {
inline constexpr uint16_t kLeftHeld = 0x0001;
inline constexpr uint16_t kRightHeld = 0x0002;
inline constexpr uint16_t kMiddleHeld = 0x0004;
inline constexpr uint16_t kPressed = 0x0008;
inline constexpr uint16_t kMoved = 0x0010;
inline constexpr uint16_t kIgnorePointer = 0x0020;
inline constexpr uint16_t kAnchorLocked = 0x0040;
inline constexpr uint16_t kKeyMoveMode = 0x0080;
inline constexpr uint16_t kEndRunning = 0x0100;
inline constexpr uint16_t kTemporaryTool = 0x0200;
inline constexpr uint16_t kOverlay = 0x0400;
}  // namespace input

// Answers of a question to the user.
inline constexpr int32_t kAnswerOk = 1;
inline constexpr int32_t kAnswerCancel = 2;
inline constexpr int32_t kAnswerYes = 6;
inline constexpr int32_t kAnswerNo = 7;

// The window system as the document window sees it.
class IDrawWindowHost {
 public:
  virtual ~IDrawWindowHost() = default;
  // A rectangle of the back buffer (window coordinates) changed.
  virtual void updateRect(const TRect& rect) = 0;
  // The whole view is to be painted again (the host then calls paintPending).
  virtual void updateAll() = 0;
  virtual void beep() = 0;
  virtual void setCursor(const SCursorChoice& cursor) = 0;
  virtual void applyScrollBars(const SScrollBars& bars) = 0;
  virtual void setAutoScrollTimer(bool on) = 0;
  virtual void setCaption(const std::string& caption) = 0;
  // Screen to client coordinates.
  virtual void screenToClient(float& x, float& y) const = 0;
  // "<name>" has been changed; save? Answers kAnswerYes, kAnswerNo or kAnswerCancel.
  [[nodiscard]] virtual int32_t askSaveChanges(const std::string& caption) = 0;
  // A Yes/No question; answers kAnswerYes or kAnswerNo.
  virtual int32_t askYesNo(const std::string& /*text*/) { return kAnswerNo; }
  // The main window shows the zoom (percent) and the view angle.
  virtual void showZoomAndAngle(float /*zoomPercent*/, float /*degrees*/) {}
  // Ctrl+F6: the next (or previous) document window.
  virtual void activateNextWindow(bool /*previous*/) {}
  virtual void setWaitCursor(bool /*on*/) {}
  // A message to the user (an open that failed, ...).
  virtual void showReplayMessage(const std::string& /*text*/) {}
  // The replay ended; the summary is the host's to show.
  virtual void replayEnded(const struct SReplaySummary& /*summary*/) {}
  // An OK/Cancel question; answers kAnswerOk or kAnswerCancel.
  virtual int32_t askOkCancel(const std::string& /*text*/) { return kAnswerCancel; }
  // The save dialog for the recording, proposing a file name; the chosen
  // path, or empty when cancelled.
  virtual std::string askEventFileName(const std::string& /*proposed*/) { return {}; }
};

// How a replay in a window ended, and what it did.
enum class ReplayEndKind : uint8_t { Normal = 0, ByUser = 1, OnError = 3 };
inline constexpr int kReplayThumbSlots = 10;
inline constexpr int32_t kReplayThumbEdge = 96;
inline constexpr int kEventNameCount = 134;
struct SReplaySummary {
  ReplayEndKind kind = ReplayEndKind::Normal;
  std::string documentName;
  uint32_t elapsedMs = 0;
  uint32_t events = 0;
  // Steps that replayed an event of each name index.
  std::array<uint32_t, kEventNameCount> counters{};
  // One picture of the document per tenth of the replay; empty slots stay null.
  std::array<std::shared_ptr<const TMTC>, kReplayThumbSlots> thumbnails{};
};

// The progress-thumbnail slot of a step: the tenth of the replay that the
// (done + 1)-th of `total` events completes, 0..9; -1 before the first tenth
// is complete and for an empty recording.
[[nodiscard]] int32_t replayThumbSlot(uint64_t done, uint64_t total);
// The size of a progress thumbnail of a document: the longer side 96, the
// shorter 96 x short / long (truncated, at least 1).
SSize replayThumbSize(int32_t width, int32_t height);

// Results of one replay tick.
enum class ReplayTick : int32_t {
  EventDone = 0,
  Nothing = 1,  // paused, waiting, busy or not replaying
  End = 2,
  Error = 3,
};
inline constexpr ReplayTick kReplayEventDone = ReplayTick::EventDone;
inline constexpr ReplayTick kReplayNothing = ReplayTick::Nothing;
inline constexpr ReplayTick kReplayEnd = ReplayTick::End;
inline constexpr ReplayTick kReplayError = ReplayTick::Error;

class TDrawWindow final : public IDocWindow, public IViewSurface {
 public:
  TDrawWindow(CCanvasShared& shared, IDrawWindowHost* host, DocServices services = {});
  ~TDrawWindow() override;
  TDrawWindow(const TDrawWindow&) = delete;
  TDrawWindow& operator=(const TDrawWindow&) = delete;

  // ---- set-up ----
  // A new document of the given size (clamped to 1 .. 10,000) and
  // resolution with one white layer; the view is fitted or centred.
  [[nodiscard]] bool newDocument(const std::string& name, int32_t width, int32_t height, int32_t dpi, bool transparent = false);
  // Puts an existing document (one that is set up, e.g. read from a file)
  // into the window; a stroke of the previous document ends first. The
  // previous document goes to `previous` when given, else it is freed.
  [[nodiscard]] bool adoptDocument(std::unique_ptr<TPaper> doc, std::unique_ptr<TPaper>* previous = nullptr);
  TPaper& paper() { return *paper_; }
  const TPaper& paper() const { return *paper_; }
  TFlowImage& flow() { return *flow_; }
  CCanvasShared& shared() { return shared_; }
  IDrawWindowHost* host() { return host_; }
  const std::string& fileName() const { return fileName_; }
  void setFileName(const std::string& path) { fileName_ = path; }
  bool hasFileName() const { return !fileName_.empty(); }

  // ---- life ----
  // The window became the active one: handlers, plot call-backs, pen engine.
  void activate();
  // Another window became active or the program lost the focus: an open
  // stroke ends at the last stroke position and a held button is released.
  void deactivate();
  // The keyboard focus left the window: the same, and the keys are released.
  void focusLost();
  // Whether the window may close now; asks about unsaved changes through the
  // host, whose Yes answers Yes only once the document is saved (a failed
  // save answers Cancel and the window stays). Ends an open stroke when it
  // answers true.
  [[nodiscard]] bool closeQuery();

  // ---- gates ----
  bool isBusy() const { return toolState_.inputState >= 128; }
  bool isIdle() const { return !isBusy(); }
  // The cursor-key move mode: whether it is on, and ending it as Enter
  // would (the offset moved so far is applied as one step).
  bool inKeyMoveMode() const { return (toolState_.inputState & input::kKeyMoveMode) != 0; }
  void endKeyMoveMode();
  bool isStrokeOpen() const;
  // Makes the document's strokes paint through the dab walker (1) or the
  // pen-method engine (2); refused (false) while a stroke is open or a
  // replay runs, or when the document has no such engine.
  [[nodiscard]] bool selectPenEngine(int32_t level);
  [[nodiscard]] bool canEdit(bool ignoreBackgroundMode, bool allowDuringReplay, bool onlyWhenPaused);
  bool canEdit(const EditGateFlags& flags) override {
    return canEdit(flags.ignoreBackgroundMode, flags.allowDuringReplay, flags.onlyWhenPaused);
  }
  [[nodiscard]] bool canUndo();
  [[nodiscard]] bool canRedo();
  bool undo();
  bool redo();
  // Asks whether to discard every undo and redo step and does so on Yes;
  // false when it could not ask (a stroke is open).
  bool clearUndo();
  bool isModified() const override { return modified_; }
  // Stores the flag and answers the previous one.
  bool exchangeModified(bool modified);
  bool isReplaying() const override { return replaying_; }
  // Commits the document's pending operation.
  void commitPending();

  // ---- replay (draw_window_replay.cpp) ----
  // Opens an event file (or a native file with a recording) into a fresh
  // document of this window and starts replaying it; on failure the reason
  // goes to the host and the window keeps a document in which clicks do nothing.
  [[nodiscard]] bool openEventFile(const std::string& path, uint32_t nowMs);
  // One tick of replay at the time (milliseconds of a steady clock).
  ReplayTick replayStep(uint32_t nowMs);
  // True while the pace interval has not passed; else the step time becomes now.
  bool replayWait(uint32_t nowMs);
  // The interval between steps (the preference eventWait, milliseconds);
  // 1 or more also steps strokes point by point.
  void setReplayWaitMs(int32_t ms) { replayWaitMs_ = ms; }
  void setReplayPause(bool pause);
  bool isReplayPaused() const;
  // A paused replay advances exactly one step and pauses again.
  ReplayTick replaySingleStep(uint32_t nowMs);
  // The user asked to stop: the next tick asks and ends on Yes.
  void requestReplayStop() { if (replaying_) endPending_ = true; }
  uint32_t replayedEvents() const { return replayedEvents_; }
  // A replay of the current event format (pause and step apply to it).
  bool isNewEventFormat() const { return replaying_ && replay_ != nullptr; }

  // ---- the recording (draw_window_replay.cpp) ----
  // The document records its work now.
  bool isRecording() const;
  // The recorder holds events and the window is idle (no replay, no stroke).
  bool canSaveEvents() const;
  // The file name the save dialog proposes: the document name with its
  // extension replaced by ".ke4".
  std::string proposedEventFileName() const;
  // Asks the host for a file name and saves the recording there; false when
  // it cannot be saved now, the dialog was cancelled or the save failed
  // (reported).
  [[nodiscard]] bool saveEvents();
  // Writes the recording to the path with a thumbnail; false (reported) on failure.
  [[nodiscard]] bool saveEventsTo(const std::string& path);
  // The name indices of the events recorded since the last call, for the
  // event log; a document's earlier history is never reported (the first
  // call after a document or a replay only marks where the log begins).
  void takeRecordedEventNames(std::vector<uint8_t>& out);
  // Ends the recording for good. With ask, the user confirms first (OK) and
  // may save the events so far; false when the user kept the recording.
  // Without a recording it answers true.
  [[nodiscard]] bool stopEventRecording(bool ask);
  // A version 1.1 recording (".lge") into a fresh document, replayed by
  // replayStep like any other (draw_window_legacy.cpp); false when the file
  // is not a whole stream or its first record cannot set the image up.
  [[nodiscard]] bool openLegacyEvents(const std::string& path, uint32_t nowMs);
  bool isLegacyReplay() const { return legacy_ != nullptr; }
  // A version 1.1 document (".lgb") into this window: its layers become the
  // window's document. Its recording is checked as it is read, but cannot be
  // continued in the current format: it is dropped (eventsIgnored tells the
  // caller to say so), and the window records nothing from here on.
  SLegacyImportResult openLegacyDocument(const std::string& path);

  // ---- pointer, tablet, wheel and keys (window coordinates) ----
  void mouseDown(PointerButton button, uint32_t shift, TPoint p, bool doubleClick);
  void mouseMove(uint32_t shift, TPoint p);
  void mouseUp(PointerButton button, uint32_t shift, TPoint p);
  // The common button-up path; p null cancels the press without a point.
  void releaseButton(PointerButton button, uint32_t shift, const TPoint* p);
  // Ends whatever button is held, or the busy tool.
  void cancelPointer();
  enum class TabletPhase : uint8_t { Press, Move, Release };
  // A pen report: position in window coordinates (or screen coordinates
  // with fromScreen), pressure 0..1. With the brush it paints with the
  // pressure; with any other tool, or when the keys choose a temporary
  // tool, it acts as the left button.
  void tabletInput(TabletPhase phase, float x, float y, float pressure, bool fromScreen, uint32_t shift);
  // One wheel event (delta in eighths of a degree, 120 a notch): one zoom
  // step per notch about the pointer, in when the delta is negative.
  void wheel(int32_t delta, TPoint p);
  // A key press; answers whether the window took it.
  bool keyDown(int32_t key, bool autoRepeat, bool atFocusedWindow = false);
  // The modifier keys changed (the cursor follows).
  void setKeyState(const SKeyState& keys);
  const SKeyState& keyState() const { return keys_; }
  // One auto-scroll step at the pointer.
  void autoScrollTick();
  // The pointer position of the last event (window coordinates).
  TPoint pointerPosition() const { return toolState_.pointerPos; }

  // ---- strokes ----
  // Begins or extends a stroke; -1 when refused, when the stroke began, or
  // when it ended at the point limit; 1 when the point was added or skipped.
  int32_t strokePoint(TStroke& stroke, bool fromScreen, float x, float y, float pressure);
  // Ends an open stroke at a point (recorded once).
  void strokeEnd(TStroke& stroke, bool fromScreen, float x, float y);
  // Ends an open stroke at the last stroke position; nothing when none is open.
  void finishOpenStroke();

  // ---- tools ----
  void selectToolHandlers(bool endPrevious);
  const SToolHandlers& handlers() const { return *handlers_; }
  // Runs the end slot with bit 0x100 set.
  void callEndSlot(bool withPoint);
  // Installs a temporary tool (saving the current one); false when one is
  // installed already or the tool is refused now.
  bool installTemporaryTool(ToolId id);
  void removeTemporaryTool();
  STempToolContext tempToolContext() const;
  SCursorChoice cursorAt(TPoint p) const;
  void updateCursor(TPoint p);

  // ---- view ----
  // The client size changed: the back buffer follows and the view is laid out.
  void resize(SSize client);
  // Paints the back buffer when a full paint is due (the host calls it
  // before it draws); answers whether it painted.
  bool paintPending();
  // Paints the whole back buffer now.
  void paintAll();
  void zoomAt(TPoint windowPoint, bool in);
  void zoomAtClientCentre(bool in);
  // Fits the (rotated) image into the client less 80 pixels.
  void zoomToFit(bool allowEnlarge);
  // The preference AutoSizeAdjust: fitting after a change of the picture's
  // size is on (bit 1), with bit 2 only while replaying; bit 4 keeps a
  // small picture at 100 %.
  bool autoFitEnabled() const;
  bool autoFitMayEnlarge() const;
  // After a change of the picture's size: fits it to the window when
  // autoFitEnabled; answers whether it did.
  bool autoFitAfterResize();
  // Sets a ratio (brought into 1/16 .. 16) about an image point; answers the zoom.
  float setZoomRatio(int32_t num, int32_t den, TPointF imagePoint);
  float setZoomCentred(int32_t num, int32_t den);
  // The image point to the client centre.
  void relayoutAt(TPointF imagePoint);
  void scrollBy(int32_t dx, int32_t dy);
  // The scroll bars moved (positions as in SScrollAxis).
  void setScrollPositions(int32_t x, int32_t y);
  void setViewRotation(bool firstMove, float degrees);
  void resetViewRotation();
  bool isRotated() const;
  TRect visibleRect() const { return visibleRect_; }
  int32_t marginX() const { return marginX_; }
  // Window point to image point.
  TPointF clientToImage(TPointF p) const;
  TPoint clientToImageRounded(TPoint p) const;
  TPointF imageToClient(TPointF p) const;
  const TMTC& backBufferPlane() const { return backBuffer_; }
  void updateTitle();
  // ---- the selection outline ----
  // The outline's tick (the main window's 50 ms timer): the dash pattern
  // moves one step and the changed part of the ants' frame is shown again.
  // Answers whether an outline is seen.
  bool antsTick();
  // The ants' frame, brought up to date; the host lays it over the back
  // buffer wherever it copies the back buffer to the screen.
  const CAntsOverlay& antsFrame();
  // Pixels changed under a rectangle of the document: recomposed (with the
  // flow image standing in while a stroke is open) and painted.
  void repaintImageRect(const TRect& docRect);

  // ---- IViewSurface ----
  SSize clientSize() const override { return client_; }
  TMTC* backBuffer() override { return backBuffer_.IsAllocated() ? &backBuffer_ : nullptr; }
  void presentRect(const TRect& rect) override;
  void updateNow() override { paintAll(); }

  // ---- IDocWindow ----
  void setModified(bool modified) override { modified_ = modified; }
  void repaintDocRect(const TRect& rect) override { repaintImageRect(rect); }
  void invalidateView() override;
  void documentLayoutChanged(bool relayout) override;
  void setWaitCursor(bool on) override;

  // ---- the tools' state ----
  // What the handlers keep between input events.
  SToolState& toolState() { return toolState_; }
  const SToolState& toolState() const { return toolState_; }
  // Whether a rubber band is to be drawn over the view.
  bool overlayShown() const {
    return (toolState_.inputState & input::kOverlay) != 0 && toolState_.tool.count > 0;
  }

 private:
  void attachDocument();
  void detachDocument();
  void resetPointerInput();
  bool toolMayRunNow() const;
  void pressed(uint16_t heldBit, uint32_t shift, TPoint p);
  void showPointAt(TPointF imagePoint, TPointF windowPoint);
  void updateScrollLayout();
  void applyScrollPosition(int64_t x, int64_t y);
  void afterViewChange();
  // The workspace colour over the part of a window rectangle outside the image.
  void fillMargins(const TRect& area);
  bool windowShortcutKey(int32_t key, bool atFocusedWindow);
  float strokeMinDistance() const;
  // The document's pen-method engine over the shared stroke settings and
  // the main window's dab renderer, made for every new or adopted document
  // (nothing while the main window has no renderer).
  void makePenEngine();

  CCanvasShared& shared_;
  IDrawWindowHost* host_;
  DocServices services_;
  std::unique_ptr<TPaper> paper_;
  std::unique_ptr<TFlowImage> flow_;
  std::unique_ptr<TStroke> stroke_;
  // The family that paints the open stroke, chosen at its begin.
  CStrokeSession strokeSession_;
  const SToolHandlers* handlers_;
  SToolState toolState_;
  std::string fileName_;
  bool modified_ = false;
  bool imageReady_ = false;
  SKeyState keys_;
  SSize client_{};
  TMTC backBuffer_;
  CAntsOverlay ants_;
  bool fullPaintDue_ = true;
  int32_t marginX_ = 400;
  int32_t marginY_ = 400;
  SScrollBars bars_;
  TRect visibleRect_{};
  int32_t wheelRest_ = 0;
  // How the current pen press is routed: into the stroke, or as a button.
  enum class TabletRoute : uint8_t { None, Stroke, Pointer };
  TabletRoute tabletRoute_ = TabletRoute::None;

  // replay
  void applyReplayRefresh(uint8_t bits);
  ReplayTick endReplay(ReplayEndKind kind, uint32_t nowMs);
  // The tool window's share of a step: the event log, progress, thumbnail,
  // replayed paint parameters and colours.
  void reportReplayStep(int32_t result, uint8_t refresh, uint32_t nowMs);
  void takeReplayThumbnail(int32_t slot);
  // Events of the recording replayed so far, past the image set-up.
  uint32_t replayProgressDone() const;
  IReplayDisplay* replayDisplay() const;
  std::unique_ptr<CReplaySession> replay_;
  bool replaying_ = false;
  bool endPending_ = false;
  bool stepGuard_ = false;
  bool endOnError_ = false;
  int32_t replayWaitMs_ = 0;
  uint32_t replayStartMs_ = 0;
  uint32_t lastStepMs_ = 0;
  uint32_t replayedEvents_ = 0;
  // Events of the recording past its image set-up, for the progress.
  uint32_t replayTotal_ = 0;
  uint32_t lastProgressMs_ = 0;
  uint32_t shownFg_ = 0;
  uint32_t shownBg_ = 0;
  bool colorsShown_ = false;
  std::string replaySource_;
  std::array<uint32_t, kEventNameCount> replayCounters_{};
  std::array<std::shared_ptr<const TMTC>, kReplayThumbSlots> thumbs_{};
  // How far the event log has seen the recording.
  uint32_t logMark_ = 0;
  bool logMarkSet_ = false;
  // the version 1.1 replay: its stream and stroke settings
  ReplayTick legacyReplayStep(uint32_t nowMs);
  ReplayTick endLegacyReplay(ReplayEndKind kind, uint32_t nowMs);
  std::unique_ptr<TEventPacket> legacy_;
  std::unique_ptr<TStroke> legacyStroke_;
  bool legacyPaused_ = false;
};

}  // namespace pg
