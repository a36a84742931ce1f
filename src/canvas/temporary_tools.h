#pragma once
// Which tool stands in for the current one while modifier keys or the middle
// button are held, and which cursor a window shows. Pure functions of the
// key state, the current tool and the preferences.
#include <cstdint>

#include "canvas/canvas_shared.h"
#include "canvas/tool_numbering.h"

namespace pg {

enum class PointerButton : uint8_t { Left, Right, Middle, Other };

// What the modifier rules read besides the keys.
struct STempToolContext {
  ToolId current = ToolId::Brush;
  int32_t shortcutMode = 0;
  bool hasSelection = false;         // the document has a current mask
  bool pointerInSelection = false;   // the selection's value at the pointer is above 0
};

// The temporary tool the held keys choose; None when no rule applies (also
// for a shortcut mode other than 0 and 1).
ToolId temporaryToolForKeys(const SKeyState& keys, const STempToolContext& c);

// The choice for a button: the left button takes every choice, the right
// button only a zoom, eyedropper or hand tool; the middle button none.
ToolId temporaryToolForButton(PointerButton button, const SKeyState& keys, const STempToolContext& c);

// The middle button's tool for the preference index (0..7); the hand tool
// for an index outside the table.
ToolId middleButtonTool(int32_t index);

enum class CursorKind : uint8_t {
  Custom,  // one of the program's own cursors by number (5 the arrow)
  Tool,    // the tool window's cursor of a tool id
  PenSlot, // the cursor of a brush's pen slot
  Hidden,  // the brush outline takes its place
};

struct SCursorChoice {
  CursorKind kind = CursorKind::Custom;
  int32_t number = 5;
  friend bool operator==(const SCursorChoice&, const SCursorChoice&) = default;
};

inline constexpr int32_t kArrowCursor = 5;

// The cursor of a selection shape tool: the plain cursor without a
// selection; with one, add under Shift, move over the selection, subtract
// under the mode key (with Shift: intersect). `otherSet` picks the second
// set of these cursors.
SCursorChoice selectionShapeCursor(const STempToolContext& c, const SKeyState& keys, bool otherSet);
// The automatic selection's cursors (22 to 25, or the second set 34 to 37)
// by the same keys; it has no move cursor.
SCursorChoice autoSelectCursor(const STempToolContext& c, const SKeyState& keys, bool otherSet);

// The cursor for a tool id (the one the keys choose, else the current one).
SCursorChoice cursorForTool(ToolId id, const SCanvasPrefs& prefs, ToolMode brushMode);

}  // namespace pg
