#pragma once
// A document window as the tool window follows it: the drawing state goes
// into the shared stroke settings the way the main window hands it on.
#include "brush/paint_param.h"
#include "brush/stroke_settings.h"
#include "canvas/pen_tools.h"
#include "toolwin/doc_window_fixture.h"
#include "toolwin/tool_target.h"

namespace pg::test {

class DocTarget final : public IToolTarget {
 public:
  explicit DocTarget(DocWindowFixture& f) : f_(f) {}
  bool documentReady() const override { return true; }
  bool isReplaying() const override { return false; }
  void selectToolHandlers(ToolId, bool) override {}
  void updateCursorAtPointer() override {}
  void applyPaintParam(const TPaintParam& p) override {
    if (CPenTools* tools = f_.shared.penTools())
      tools->applyStrokeParams(p, f_.shared.toolStroke(), f_.doc().penEngine());
    else
      (void)p.storeToStroke(&f_.shared.toolStroke());
  }
  void applyToolParams(const SToolParams& p) override {
    f_.shared.setMainColor(p.foreground & 0x00FFFFFFu);
    f_.shared.setSecondColor(p.background & 0x00FFFFFFu);
    TStroke& s = f_.shared.toolStroke();
    if (p.brushSize > 0.0f) s.setWidth(p.brushSize);
    s.setMinSize(p.minSize);
    s.setOpacity(p.opacity);
    (void)s.setUseGradation(p.gradation, true);
  }
  TDrawWindow* drawWindow() override { return f_.window.get(); }

 private:
  DocWindowFixture& f_;
};

}  // namespace pg::test
