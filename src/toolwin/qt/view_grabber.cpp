#include "toolwin/qt/view_grabber.h"

#include <QEvent>
#include <QPainter>
#include <QRegion>

#include "toolwin/navigator_model.h"
#include "ui/grabber_logic.h"
#include "ui/qt/graphic_image.h"

namespace pg {

namespace {

// The parts the pointer may take: the ring, the slider and the six
// buttons. Elsewhere the pointer reaches the document below.
QRegion grabberRegion() {
  QRegion r;
  for (uint8_t part = gpDial; part <= gpZoomOut; ++part) {
    const TRect b = grabberPartRect(part);
    QRect q(b.Left, b.Top, b.Right - b.Left, b.Bottom - b.Top);
    if (part == gpDial)
      r += QRegion(q.adjusted(-2, -2, 2, 2), QRegion::Ellipse) - QRegion(q.adjusted(14, 14, -14, -14), QRegion::Ellipse);
    else
      r += q.adjusted(-2, -2, 2, 2);
  }
  return r;
}

// Keeps the grabber centred while its host changes size.
class CentreKeeper final : public QObject {
 public:
  CentreKeeper(TViewGrabber& grabber, QWidget& host) : QObject(&grabber), grabber_(grabber) {
    host.installEventFilter(this);
  }
  bool eventFilter(QObject* watched, QEvent* e) override {
    if (e->type() == QEvent::Resize && watched == grabber_.parentWidget()) centre();
    return false;
  }
  void centre() {
    if (QWidget* host = grabber_.parentWidget()) {
      TPoint at = viewGrabberPlace({host->width(), host->height()});
      grabber_.move(at.X, at.Y);
    }
  }

 private:
  TViewGrabber& grabber_;
};

}  // namespace

TViewGrabber::TViewGrabber(QWidget* parent) : TGrabberControl(parent) {
  setMask(grabberRegion());
  setAttribute(Qt::WA_NoSystemBackground);
}

const TMemoryGraphic& TViewGrabber::picture() {
  picture_.setBackground(0);
  if (picture_.setSize(width(), height())) {
    picture_.clear();
    drawTo(picture_, 0, 0);
  }
  return picture_;
}

void TViewGrabber::paintEvent(QPaintEvent*) {
  const TMemoryGraphic& g = picture();
  QPainter p(this);
  blendToPainter(p, 0, 0, g.width(), g.height(), g, 0, 0);
}

void placeViewGrabber(TViewGrabber& grabber, QWidget* host, bool shown) {
  if (!host || !shown) {
    grabber.hide();
    // Off every window, so that a closing window does not take it along.
    if (grabber.parentWidget()) grabber.setParent(nullptr);
    return;
  }
  if (grabber.parentWidget() != host) {
    grabber.hide();
    for (QObject* c : grabber.children())
      if (dynamic_cast<CentreKeeper*>(c)) delete c;
    grabber.setParent(host);
    new CentreKeeper(grabber, *host);
  }
  TPoint at = viewGrabberPlace({host->width(), host->height()});
  grabber.move(at.X, at.Y);
  grabber.raise();
  grabber.show();
}

}  // namespace pg
