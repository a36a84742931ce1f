#pragma once
// The view grabber as it sits on a document window: the dial, zoom slider
// and buttons drawn over the document by their alpha, taking the pointer
// only over its parts. The tool window places it on the active window while
// the hand tool is current and keeps it in step with the navigator.
#include <QPointer>

#include "ui/qt/panel_controls.h"

namespace pg {

class TViewGrabber : public TGrabberControl {
 public:
  explicit TViewGrabber(QWidget* parent = nullptr);
  // The face as last painted (for tests and previews).
  const TMemoryGraphic& picture();

 protected:
  void paintEvent(QPaintEvent* e) override;

 private:
  TMemoryGraphic picture_;
};

// Puts the grabber on the host (a document window's widget) centred in it,
// or takes it off when `shown` is false or there is no host. Follows the
// host's resizing while it is on it.
void placeViewGrabber(TViewGrabber& grabber, QWidget* host, bool shown);

}  // namespace pg
