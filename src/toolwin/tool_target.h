#pragma once
// What the tool window needs of the document window it follows, and of the
// main window that hosts it. Both are small interfaces so that the tool
// window's logic runs without either: the document window implements
// IToolTarget, the main window IToolWindowHost, and tests fake both.
#include <cstdint>

#include "canvas/tool_numbering.h"

namespace pg {

class TDrawWindow;
class TPaintParam;

// The drawing state the tool window keeps for every document: the colour
// pair (pixels: blue in the low byte, alpha 255 in the top byte), the brush
// size in pixels, the minimum size in per cent of it, the tool opacity
// (0.01..1) and whether strokes paint with the current gradient.
struct SToolParams {
  uint32_t foreground = 0xFF000000u;
  uint32_t background = 0xFFFFFFFFu;
  float brushSize = 0.0f;
  float minSize = 0.0f;
  float opacity = 1.0f;
  bool gradation = false;
  friend bool operator==(const SToolParams&, const SToolParams&) = default;
};

class IToolTarget {
 public:
  virtual ~IToolTarget() = default;
  // The document is loaded and ready to take edits.
  virtual bool documentReady() const = 0;
  // The window replays a recording: the tool window then shows the replay
  // read-only and hands the window no drawing state.
  virtual bool isReplaying() const = 0;
  // Installs the handler table of the tool's class. A tool change calls it
  // twice: first with the old tool still current (endPrevious ends the work
  // in progress), then with the new tool and endPrevious false.
  virtual void selectToolHandlers(ToolId tool, bool endPrevious) = 0;
  // Shows the cursor of the current tool at the pointer's position.
  virtual void updateCursorAtPointer() = 0;
  // The colour pair, brush size and opacity for the strokes that follow.
  virtual void applyToolParams(const SToolParams& params) = 0;
  // The working paint parameters of the current brush, before the values
  // above (which win where both name one).
  virtual void applyPaintParam(const TPaintParam& /*param*/) {}
  // The document window itself, for the panels that show its document (the
  // layer and mask lists, the navigator); nullptr where there is none.
  virtual TDrawWindow* drawWindow() { return nullptr; }
};

class IToolWindowHost {
 public:
  virtual ~IToolWindowHost() = default;
  // Stores the opacity of a tool-setting kind in the preferences; kinds that
  // keep no opacity store nothing.
  virtual void storeToolSetting(uint8_t kind, float value) = 0;
  // The replay wait preference (eventWait).
  virtual void setEventWait(int32_t wait) = 0;
  // Tab: hides every floating panel container together, or shows again
  // those that were visible when they were hidden.
  virtual void toggleFloatingPanels() = 0;
  // The stroke engine for the strokes that follow: 1 the dab-table walker,
  // 2 the pen-method engine (the brushes of the pen-method family).
  virtual void selectStrokeEngine(int32_t /*level*/) {}
};

}  // namespace pg
