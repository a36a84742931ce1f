#include "toolwin/qt/draw_window_view_commands.h"

#include "canvas/qt/draw_window_widget.h"
#include "document/paper.h"

namespace pg {

void TDrawWindowViewCommands::resetViewRotation() { widget_.window().resetViewRotation(); }

void TDrawWindowViewCommands::zoomToFit() {
  if (widget_.window().isIdle()) widget_.window().zoomToFit(true);
}

void TDrawWindowViewCommands::zoomOneToOne() {
  TDrawWindow& w = widget_.window();
  if (!w.isIdle()) return;
  const TPaper& doc = w.paper();
  // False: already at 1:1.
  (void)w.setZoomRatio(1, 1, {static_cast<float>(doc.width() / 2), static_cast<float>(doc.height() / 2)});
}

}  // namespace pg
