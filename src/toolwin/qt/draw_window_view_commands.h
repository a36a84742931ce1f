#pragma once
// The view commands of the tool buttons' double-clicks over a document
// window widget.
#include "toolwin/tool_button_clicks.h"

namespace pg {

class TDrawWindowWidget;

class TDrawWindowViewCommands final : public IViewCommands {
 public:
  explicit TDrawWindowViewCommands(TDrawWindowWidget& widget) : widget_(widget) {}
  void resetViewRotation() override;
  void zoomToFit() override;
  void zoomOneToOne() override;

 private:
  TDrawWindowWidget& widget_;
};

}  // namespace pg
