#pragma once
// What every document window shares: the tool window's current tool, its
// colours and stroke settings, the preference values the windows read, the
// main window's flags and stroke bookkeeping, the tablet wrapper and the
// seam through which the seed tools reach the fill operation.
//
// The main window owns one CCanvasShared and hands it to every document
// window it creates; the tool window changes tools and colours through it.
// Nothing here knows a widget.
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "canvas/text_tool.h"
#include "canvas/tool_numbering.h"
#include "core/rect.h"

namespace pg {

class IDocPrefs;
class CPenRender;
class CPenTools;
class IReplayDisplay;
class IReplayToolWindow;
class TDrawWindow;
class TFlowImage;
class TPaper;
class TStroke;
class CToneMngr;
class TWinTab32;

// The shift state handed to the tool handlers.
inline constexpr uint32_t kShiftBit = 1;
inline constexpr uint32_t kAltBit = 2;
inline constexpr uint32_t kCtrlBit = 4;
inline constexpr uint32_t kLeftBit = 8;
inline constexpr uint32_t kRightBit = 16;
inline constexpr uint32_t kMiddleBit = 32;
inline constexpr uint32_t kDoubleBit = 64;

// The modifier keys as they are held now (the host keeps them current and
// clears them when the window loses the focus).
struct SKeyState {
  bool shift = false;
  bool alt = false;
  bool ctrl = false;
  bool space = false;
  uint32_t shiftBits() const { return (shift ? kShiftBit : 0u) | (alt ? kAltBit : 0u) | (ctrl ? kCtrlBit : 0u); }
};

// The range settings of a seed tool: how far (0..255) a pixel's colour may
// lie from the seed's to join the region, whether the region is found on the
// visible picture instead of the current layer, and whether its edge is
// graded.
struct SSeedSettings {
  int32_t limit = 20;
  bool visible = false;
  bool antiAlias = true;
  friend bool operator==(const SSeedSettings&, const SSeedSettings&) = default;
};

// The preference values the document windows read.
struct SCanvasPrefs {
  // 0: Alt is the mode key and Shift constrains; 1: Ctrl is the mode key.
  int32_t shortcutMode = 0;
  bool useRBtnColPicker = true;
  // Index into the middle-button tool table (0..7).
  int32_t mouseMBtnFunc = 0;
  bool useAutoScroll = true;
  // The second set of selection cursors.
  bool otherToolCursor = false;
  // Bit 1: fit the view to the window; bit 2: only while replaying; bit 4:
  // never enlarge when fitting.
  int32_t autoSizeAdjust = 7;
  bool showScrollBar = true;
  bool brushGhost = false;
  bool showGhostCenter = false;
  // The bucket fill and magic eraser share one set, the automatic
  // selection has its own.
  SSeedSettings fillSeed;
  SSeedSettings wandSeed;
  // Margin around the image in the scroll layout (half the screen width).
  int32_t viewMargin = 400;
};

// The active brush's size (pixels) and the range its own limits allow; the
// brush-size drag reads it at its start.
struct SBrushSizeRange {
  float size = 0.0f;
  float smallest = 0.1f;
  float largest = 200.0f;
};

// The fill a seed tool asks for at an image point: kSeedBucketFill,
// kSeedAutoSelect or kSeedMagicEraser.
struct SSeedFillRequest {
  int32_t kind = kSeedBucketFill;
  TPoint at{};
  SSeedSettings settings;
  uint32_t colour = 0;  // pixel order
  uint32_t shift = 0;   // the held keys (kShiftBit, kAltBit, kCtrlBit)
  int32_t shortcutMode = 0;
};
using SeedFillFn = std::function<bool(TPaper&, TFlowImage&, const SSeedFillRequest&)>;

// The seed tools' work on the document: the bucket fill paints the region
// with the stroke settings, the magic eraser erases it, the automatic
// selection combines it into the selection by the held keys. Each is one
// recorded, undoable operation.
bool documentSeedFill(TPaper& doc, TFlowImage& flow, const SSeedFillRequest& request, const TStroke& stroke);

class CCanvasShared {
 public:
  CCanvasShared();
  ~CCanvasShared();
  CCanvasShared(const CCanvasShared&) = delete;
  CCanvasShared& operator=(const CCanvasShared&) = delete;

  // ---- the tool window's entry points ----
  // Makes a mode the current tool (the brush modes also set the stroke kind
  // of the shared settings); false for a mode past the table or one whose
  // tool is not available (its button is to be disabled).
  bool selectMode(ToolMode mode);
  // Makes a tool id current (the temporary tools come this way); every
  // window reinstalls its handler table.
  bool selectTool(ToolId id);
  // The same without reinstalling any window's handlers (a window swapping
  // in a temporary tool for one press).
  void selectToolQuiet(ToolId id);
  ToolId currentTool() const { return tool_; }
  ToolMode currentMode() const { return mode_; }
  // Whether the tool of a mode can be used (its handlers exist).
  [[nodiscard]] bool modeAvailable(ToolMode mode) const;
  // Colours in pixel order (0x00RRGGBB); the main colour is also the
  // drawing colour of the shared stroke settings.
  void setMainColor(uint32_t pixel);
  void setSecondColor(uint32_t pixel);
  uint32_t mainColor() const { return mainColor_; }
  uint32_t secondColor() const { return secondColor_; }
  // Called after a colour changed (the tool window refreshes its swatches).
  std::function<void()> onColorsChanged;
  // Called after the current tool changed.
  std::function<void()> onToolChanged;
  // A double click in a window: the tool window's view grabber, when it is
  // shown, goes back to 100 % (true then).
  std::function<bool()> onGrabberDoubleClick;
  // The info panel: the pointer moved to an image point of a window.
  std::function<void(TDrawWindow&, TPoint)> onPointerInfo;
  // The info panel during a drag or shape: mode 2 an image point, 3 a vector
  // or a size, 4 an offset.
  std::function<void(int32_t mode, TPointF value)> onToolInfo;
  // The text tool's modal window at a document point (text-select: in
  // select mode); the Qt side sets it, and the text tools wait for it.
  std::function<void(TDrawWindow&, TPoint docPoint, bool selectMode)> runTextTool;
  // Where the text tool's settings persist between uses; the main window
  // points it at the preferences. By default they last for the run.
  CMemoryTextSettings memoryTextSettings;
  ITextToolSettingsStore* textSettings = &memoryTextSettings;
  // A text of the string table for the main window's status panel 3.
  std::function<void(uint32_t resId)> onStatus;
  // A window entered or left the cursor-key move mode (the tool window's
  // button that ends it follows).
  std::function<void(TDrawWindow&)> onKeyMoveMode;
  // A failure the user is told of in a message box (a string-table id).
  std::function<void(uint32_t resId)> onMessage;
  // The tool window's active brush size and its limits, and the new size a
  // brush-size drag gives it (the tool window shows and applies it). Unset,
  // the drag works on the shared stroke settings' width within 0.1..200.
  std::function<bool(SBrushSizeRange&)> brushSizeRange;
  std::function<void(float size)> setBrushSize;
  // A command of the main window by its action name, for the few keys of a
  // document window that run one; false when it did not run.
  std::function<bool(const char* action)> runAction;
  // Where replaying windows report their progress (not owned; may be null).
  IReplayDisplay* replayDisplay = nullptr;
  // The tool window as each replay sees it: it takes the replayed pen state
  // (not owned; may be null).
  IReplayToolWindow* replayToolWindow = nullptr;

  // The stroke settings all documents share.
  TStroke& toolStroke() { return *stroke_; }
  // The tool window's tone set: what a stroke or fill with the tone switch
  // on lays down in every window (the tone panel chooses its tone).
  CToneMngr& toolTones() { return *tones_; }

  // ---- preferences and the main window's state ----
  SCanvasPrefs prefs;
  // The preferences every new document reads (its undo limit); not owned,
  // null for the defaults.
  IDocPrefs* docPrefs = nullptr;
  bool renderMode = false;    // the command-line batch mode
  bool modalRunning = false;  // a modal dialog or the text loop runs
  TPoint lastStrokePos{};
  uint32_t lastStrokeTime = 0;
  // The stroke engine the next stroke asks for: 1 the dab-table walker, 2
  // the pen-method engine (when the document has one). The tool window
  // switches it by the paint family of the current brush.
  int32_t penEngineLevel = 2;
  // The pen-method tools over the main window's dab renderer (which
  // outlives this object); documents made afterwards get their pen engine
  // over it. Without it, documents paint with the dab-table walker only.
  void usePenRender(CPenRender& render);
  CPenTools* penTools() const { return penTools_.get(); }

  // The tablet wrapper of the main window (not owned; may be null).
  TWinTab32* tablet = nullptr;
  // The fill operation; empty while it is not there (the seed tools are then
  // unavailable and a click with them does nothing).
  SeedFillFn seedFill;
  // Makes the seed tools work on the documents: documentSeedFill with the
  // shared stroke settings.
  void useDocumentSeedFill();

  // The name of the next new document: "名称未設定 %d" with a counter of
  // this program that counts up before each use (the first is 1).
  std::string untitledName();

  // ---- windows ----
  void addWindow(TDrawWindow* w);
  void removeWindow(TDrawWindow* w);
  const std::vector<TDrawWindow*>& windows() const { return windows_; }

 private:
  std::unique_ptr<TStroke> stroke_;
  std::unique_ptr<CToneMngr> tones_;
  std::unique_ptr<CPenTools> penTools_;
  ToolId tool_ = ToolId::Brush;
  ToolMode mode_ = ToolMode::Pencil;
  uint32_t mainColor_ = 0x000000u;
  uint32_t secondColor_ = 0xFFFFFFu;
  std::vector<TDrawWindow*> windows_;
  int32_t untitledCount_ = 0;
};

// The stroke kind of a brush mode; false for the modes that are no brush.
[[nodiscard]] bool strokeKindOfMode(ToolMode mode, uint8_t& kind);

}  // namespace pg
