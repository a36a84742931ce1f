#include "toolwin/qt/view_grabber.h"

#include <QEvent>
#include <algorithm>
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
  // The control draws itself onto an opaque ground. Drawn once on black and
  // once on white, the two grounds give back how much of each pixel it
  // covers, so that it can lie over the document by that coverage.
  TMemoryGraphic onWhite(width(), height(), 0xFFFFFFFFu);
  picture_.setBackground(0xFF000000u);
  if (!picture_.setSize(width(), height()) || !onWhite.isValid()) return picture_;
  picture_.clear();
  onWhite.clear();
  drawTo(picture_, 0, 0);
  drawTo(onWhite, 0, 0);
  for (int32_t y = 0; y < picture_.height(); ++y) {
    uint32_t* black = picture_.scanLine(y);
    const uint32_t* white = onWhite.scanLine(y);
    for (int32_t x = 0; x < picture_.width(); ++x) {
      int32_t through = 0;  // how much of the ground shows, summed over the channels
      for (int shift = 0; shift < 24; shift += 8)
        through += static_cast<int32_t>((white[x] >> shift) & 0xFF) - static_cast<int32_t>((black[x] >> shift) & 0xFF);
      const int32_t alpha = std::clamp(255 - through / 3, 0, 255);
      uint32_t out = static_cast<uint32_t>(alpha) << 24;
      if (alpha > 0)
        for (int shift = 0; shift < 24; shift += 8) {
          const int32_t c = static_cast<int32_t>((black[x] >> shift) & 0xFF) * 255 / alpha;
          out |= static_cast<uint32_t>(std::min(c, 255)) << shift;
        }
      black[x] = out;
    }
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
