#pragma once
// SToolState: what the tool handlers of a document window keep between one
// input event and the next: the input state bits, the points of the press
// (pointer, anchor, current, start and last), the tool a temporary tool
// replaced, the hand tool's drag, the auto-scroll's step, the drag and shape
// tools' scratch and the text tool's preview. The window owns one and hands
// it to its handlers; the window's own layout and document stay apart.
#include <cstdint>

#include "canvas/canvas_shared.h"
#include "canvas/text_tool.h"
#include "canvas/tool_numbering.h"
#include "canvas/tool_scratch.h"
#include "core/rect.h"

namespace pg {

struct SToolState {
  // The input state bits (input::k...).
  uint16_t inputState = 0;
  // The pointer position of the last event (window coordinates).
  TPoint pointerPos{};
  // The press point (kept while input::kAnchorLocked) and the latest point.
  TPoint anchor{};
  TPoint currentPoint{};
  // The tool a temporary tool replaced.
  ToolId savedTool = ToolId::Brush;
  // The hand tool's drag: its kind and the angle or brush size at its start.
  int32_t handKind = 0;
  float startAngle = 0.0f;
  float startSize = 0.0f;
  SBrushSizeRange sizeRange;  // the brush's limits while a size drag runs
  TPoint startPoint{};
  TPoint lastPoint{};
  // While non-zero, left drags of the brush add no mouse points.
  int32_t mousePointSuppression = 0;
  TPoint autoScrollStepLast{};
  bool autoScrolled = false;
  // The drag and shape tools' scratch and rubber band.
  SToolScratch tool;
  // The text tool's preview over the view.
  STextPreview textPreview;
};

}  // namespace pg
