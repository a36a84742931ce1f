#pragma once
// The handler tables: all pointer and key input of a document window reaches
// the current tool through one table of 13 handlers per tool class. A null
// entry is never called. The shared handlers and the short tools (brush,
// zoom, eyedropper, hand, seed tools, text) live in tool_handlers.cpp.
#include <cstdint>

#include "canvas/tool_numbering.h"
#include "core/rect.h"

namespace pg {

class TDrawWindow;

using PointerHandler = void (*)(TDrawWindow& w, uint32_t shift, TPoint p);
using KeyHandler = void (*)(TDrawWindow& w, int32_t key, uint32_t keyData);
using OverlayHandler = void (*)(TDrawWindow& w);
using FinishHandler = bool (*)(TDrawWindow& w, TPoint anchor, TPoint p);
// p is null when the tool ends without a point.
using EndHandler = void (*)(TDrawWindow& w, const TPoint* p);

struct SToolHandlers {
  PointerHandler leftDown = nullptr;     // 0
  PointerHandler leftDrag = nullptr;     // 1
  PointerHandler leftUp = nullptr;       // 2
  PointerHandler leftDouble = nullptr;   // 3
  PointerHandler rightDown = nullptr;    // 4
  PointerHandler rightDrag = nullptr;    // 5
  PointerHandler rightUp = nullptr;      // 6
  PointerHandler rightDouble = nullptr;  // 7
  PointerHandler hover = nullptr;        // 8
  KeyHandler key = nullptr;              // 9
  OverlayHandler overlay = nullptr;      // 10
  FinishHandler finish = nullptr;        // 11: null answers false
  EndHandler end = nullptr;              // 12
};

// The table of a class; the null table (every slot empty) for a class past 9.
const SToolHandlers& toolHandlersOf(ToolClass cls);
const SToolHandlers& nullToolHandlers();

// The tables of the drag class and the three shape classes.
extern const SToolHandlers kDragToolHandlers;
extern const SToolHandlers kBrushShapeHandlers;
extern const SToolHandlers kFillShapeHandlers;
extern const SToolHandlers kSelectShapeHandlers;

// An arrow key enters the cursor-key selection move (the selection shapes
// offer their arrow keys to it); false when the key is no arrow or the mode
// cannot start.
bool startSelectionKeyMove(TDrawWindow& w, int32_t key);
// Ends the cursor-key mode as Enter does: the accumulated offset is applied
// (one undoable, recorded step). False when the mode was not on.
bool endKeyMove(TDrawWindow& w);

// While it lives, the window's own press and mode bits are cleared: they
// mark the input of the operation a tool is making, not another edit in the
// way of the edit gate.
class CToolEditScope {
 public:
  explicit CToolEditScope(TDrawWindow& w);
  ~CToolEditScope();
  CToolEditScope(const CToolEditScope&) = delete;
  CToolEditScope& operator=(const CToolEditScope&) = delete;

 private:
  TDrawWindow& w_;
  uint16_t kept_;
};

// ---- shared handlers, also called by the window ----
void toolDoubleClick(TDrawWindow& w, uint32_t shift, TPoint p);
// A right click picks a colour when the profile lets the right button pick.
void rightDownPick(TDrawWindow& w, uint32_t shift, TPoint p);
// The info panel's drag values (modes 2, 3 and 4).
void toolInfo(TDrawWindow& w, int32_t mode, TPointF value);
// A rectangle of the document recomposed and shown.
void repaintDocArea(TDrawWindow& w, const TRect& docRect);
// The constrain key (squares, 15-degree lines): Shift, or Ctrl in shortcut
// mode 1; from the handler's shift state or the held keys.
[[nodiscard]] bool constrainHeld(TDrawWindow& w, uint32_t shift);
void showPointerInfo(TDrawWindow& w, uint32_t shift, TPoint p);
void endTool(TDrawWindow& w, const TPoint* p);
// Reads the colour under a window point into the main colour, or with the
// right button in the shift state into the second colour; with Ctrl from the
// current layer, else from the composite. Nothing while a stroke is open.
void pickColour(TDrawWindow& w, TPoint p, uint32_t shift);

}  // namespace pg
