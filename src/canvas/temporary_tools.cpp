// Temporary tools by modifier keys and the middle button, and cursors.
#include "canvas/temporary_tools.h"

#include <iterator>

namespace pg {

namespace {

struct SClassVariant {
  ToolClass cls;
  int32_t variant;
};

// By the preference mouseMBtnFunc: scroll, view rotation, brush-size drag,
// layer move, gradient, rectangle fill, freehand fill.
// Every choice of the preference: scrolling, view rotation, brush size,
// layer move, gradient, rectangle fill, freehand fill, bucket fill, and the
// rectangle, freehand and automatic selections.
constexpr SClassVariant kMiddleButtonTools[] = {
    {ToolClass::Hand, 0},      {ToolClass::Hand, 1},        {ToolClass::Hand, 2},        {ToolClass::Drag, 0},
    {ToolClass::Drag, 3},      {ToolClass::FillShape, 0},   {ToolClass::FillShape, 3},   {ToolClass::Seed, 2},
    {ToolClass::SelectShape, 0}, {ToolClass::SelectShape, 3}, {ToolClass::Seed, 3},
};

bool isSelectionTool(const STempToolContext& c) {
  if (toolClassOf(c.current) == ToolClass::SelectShape) return true;
  return c.current == ToolId::AutoSelect && c.hasSelection;
}

}  // namespace

ToolId temporaryToolForKeys(const SKeyState& k, const STempToolContext& c) {
  const int32_t mode = c.shortcutMode;
  if (mode != 0 && mode != 1) return ToolId::None;
  const ToolClass cls = toolClassOf(c.current);
  const bool selection = isSelectionTool(c);
  if (k.ctrl && k.space) return k.alt ? ToolId::ZoomOut : ToolId::ZoomIn;
  if (k.ctrl && k.alt && !k.space && !selection) return ToolId::BrushSizeDrag;
  if (!k.ctrl && !k.alt && k.space) return ToolId::HandScroll;
  if (mode == 0 ? (k.alt && k.space && !k.ctrl) : (k.alt && !k.ctrl && !k.shift && !k.space))
    return ToolId::ViewRotation;
  if (mode == 0) {
    if (k.alt && !k.ctrl && !k.space && !selection && cls != ToolClass::Zoom) return ToolId::Eyedropper;
  } else if (k.shift && !k.ctrl && !k.alt && !k.space && !selection && cls != ToolClass::Hand &&
             cls != ToolClass::Zoom) {
    return ToolId::Eyedropper;
  }
  if (c.current == ToolId::ZoomIn && (mode == 0 ? k.alt : k.ctrl)) return ToolId::ZoomOut;
  if (cls == ToolClass::SelectShape && c.hasSelection && !k.shift && !(mode == 1 ? k.ctrl : k.alt) &&
      c.pointerInSelection)
    return ToolId::SelectionMove;
  return ToolId::None;
}

ToolId temporaryToolForButton(PointerButton button, const SKeyState& keys, const STempToolContext& c) {
  if (button == PointerButton::Left) return temporaryToolForKeys(keys, c);
  if (button != PointerButton::Right) return ToolId::None;
  const ToolId id = temporaryToolForKeys(keys, c);
  const ToolClass cls = toolClassOf(id);
  return cls == ToolClass::Zoom || cls == ToolClass::Eyedropper || cls == ToolClass::Hand ? id : ToolId::None;
}

ToolId middleButtonTool(int32_t index) {
  if (index < 0 || index >= static_cast<int32_t>(std::size(kMiddleButtonTools))) return ToolId::HandScroll;
  return toolIdOf(kMiddleButtonTools[index].cls, kMiddleButtonTools[index].variant);
}

namespace {
// Which cursor of a selection tool's set the keys choose: 0 plain, 1 add,
// 2 subtract, 3 intersect, 4 move (only where the tool can move).
int32_t selectionCursorSlot(const STempToolContext& c, const SKeyState& keys, bool canMove) {
  const bool modeKey = c.shortcutMode == 0 ? keys.alt : keys.ctrl;
  if (keys.shift && !modeKey) return 1;
  if (modeKey) return keys.shift ? 3 : 2;
  if (canMove && c.pointerInSelection) return 4;
  return 0;
}
}  // namespace

SCursorChoice selectionShapeCursor(const STempToolContext& c, const SKeyState& keys, bool otherSet) {
  // Plain, add, subtract, intersect, move; the second set has no move cursor
  // of its own. Without a selection the plain cursor of the first set shows.
  constexpr int32_t kFirst[] = {5, 6, 7, 8, 9};
  constexpr int32_t kOther[] = {34, 35, 36, 37, 9};
  if (!c.hasSelection) return {CursorKind::Custom, kFirst[0]};
  return {CursorKind::Custom, (otherSet ? kOther : kFirst)[selectionCursorSlot(c, keys, true)]};
}

SCursorChoice autoSelectCursor(const STempToolContext& c, const SKeyState& keys, bool otherSet) {
  // Plain, add, subtract, intersect: the wand cannot move a selection.
  constexpr int32_t kFirst[] = {22, 23, 24, 25};
  constexpr int32_t kOther[] = {34, 35, 36, 37};
  if (!c.hasSelection) return {CursorKind::Custom, kFirst[0]};
  return {CursorKind::Custom, (otherSet ? kOther : kFirst)[selectionCursorSlot(c, keys, false)]};
}

SCursorChoice cursorForTool(ToolId id, const SCanvasPrefs& prefs, ToolMode brushMode) {
  if (id != ToolId::Brush) return {CursorKind::Tool, byteOf(id)};
  if (prefs.brushGhost && !prefs.showGhostCenter) return {CursorKind::Hidden, 0};
  PenSlot slot{};
  if (penSlotOfMode(brushMode, slot)) return {CursorKind::PenSlot, byteOf(slot)};
  return {CursorKind::Custom, kArrowCursor};
}

}  // namespace pg
