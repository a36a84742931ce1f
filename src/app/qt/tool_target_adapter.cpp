#include "app/qt/tool_target_adapter.h"

#include "brush/paint_param.h"
#include "brush/stroke_settings.h"
#include "canvas/canvas_shared.h"
#include "canvas/pen_tools.h"
#include "canvas/qt/draw_window_widget.h"
#include "document/paper.h"

namespace pg {

bool TToolTargetAdapter::documentReady() const { return window_.window().paper().isReady(); }

bool TToolTargetAdapter::isReplaying() const { return window_.window().isReplaying(); }

void TToolTargetAdapter::selectToolHandlers(ToolId tool, bool endPrevious) {
  // The old tool's handlers end their work first; the canvas then installs
  // those of the new tool in every window.
  if (endPrevious) {
    window_.window().selectToolHandlers(true);
    return;
  }
  ToolMode mode = mode_ ? mode_() : ToolMode::Pencil;
  if (mode_ && toolIdOfMode(mode) == tool)
    (void)shared_.selectMode(mode);  // false: the mode was already current
  else
    (void)shared_.selectTool(tool);  // false: the tool was already current or is refused now
}

TDrawWindow* TToolTargetAdapter::drawWindow() { return &window_.window(); }

void TToolTargetAdapter::updateCursorAtPointer() { window_.window().updateCursor(window_.window().pointerPosition()); }

void TToolTargetAdapter::applyPaintParam(const TPaintParam& param) {
  // The brush's own values reach the shared stroke settings and, through the
  // pen tools, the document's pen engine and the shared dab renderer: the
  // next stroke paints with every control of the options and the editors.
  if (CPenTools* tools = shared_.penTools())
    tools->applyStrokeParams(param, shared_.toolStroke(), window_.window().paper().penEngine());
  else
    (void)param.storeToStroke(&shared_.toolStroke());  // no pen engine: the walker's settings only
}

void TToolTargetAdapter::applyToolParams(const SToolParams& p) {
  shared_.setMainColor(p.foreground & 0x00FFFFFFu);
  shared_.setSecondColor(p.background & 0x00FFFFFFu);
  TStroke& stroke = shared_.toolStroke();
  if (p.brushSize > 0.0f) stroke.setWidth(p.brushSize);
  stroke.setMinSize(p.minSize);
  stroke.setOpacity(p.opacity);
  // The gradation switch comes after the brush's own, and wins.
  (void)stroke.setUseGradation(p.gradation, true);
}

}  // namespace pg
