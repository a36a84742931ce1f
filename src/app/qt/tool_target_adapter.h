#pragma once
// The tool window follows the active document window through IToolTarget;
// this adapter gives it one over a document window and the canvas state
// every window shares.
#include <functional>

#include "toolwin/tool_target.h"

namespace pg {

class CCanvasShared;
class TDrawWindowWidget;

class TToolTargetAdapter final : public IToolTarget {
 public:
  // mode: the tool window's current mode (a brush mode also chooses the
  // stroke kind, such as the eraser).
  TToolTargetAdapter(CCanvasShared& shared, TDrawWindowWidget& window, std::function<ToolMode()> mode)
      : shared_(shared), window_(window), mode_(std::move(mode)) {}

  bool documentReady() const override;
  bool isReplaying() const override;
  void selectToolHandlers(ToolId tool, bool endPrevious) override;
  void updateCursorAtPointer() override;
  void applyToolParams(const SToolParams& params) override;
  void applyPaintParam(const TPaintParam& param) override;
  TDrawWindow* drawWindow() override;

  TDrawWindowWidget& window() const { return window_; }

 private:
  CCanvasShared& shared_;
  TDrawWindowWidget& window_;
  std::function<ToolMode()> mode_;
};

}  // namespace pg
