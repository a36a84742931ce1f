#include "canvas/qt/qt_tablet.h"

#include <QGuiApplication>
#include <QInputDevice>
#include <QPointingDevice>
#include <QScreen>
#include <QTabletEvent>

namespace pg {

namespace {

constexpr auto kTabletTypes = QInputDevice::DeviceType::Stylus | QInputDevice::DeviceType::Airbrush |
                              QInputDevice::DeviceType::Puck;

bool isTablet(const QInputDevice* device) {
  return device != nullptr && (kTabletTypes & device->type());
}

}  // namespace

TQtTabletService::TQtTabletService(DeviceLister devices)
    : devices_(devices ? std::move(devices) : DeviceLister(&QInputDevice::devices)) {}

bool TQtTabletService::tabletPresent() const {
  for (const QInputDevice* device : devices_())
    if (isTablet(device)) return true;
  return false;
}

STabletDeviceInfo TQtTabletService::deviceInfo() const {
  SRectXYWH screen = screenRect();
  STabletDeviceInfo info;
  info.ExtentX = screen.Width;
  info.ExtentY = screen.Height;
  info.PressureMin = 0.0;
  info.PressureMax = 1.0;
  for (const QInputDevice* device : devices_()) {
    if (!isTablet(device)) continue;
    if (device->hasCapability(QInputDevice::Capability::XTilt) ||
        device->hasCapability(QInputDevice::Capability::YTilt)) {
      info.AltitudeMax = 900;
      info.AzimuthMax = 3600;
    }
    if (device->hasCapability(QInputDevice::Capability::Rotation)) info.TwistMax = 3600;
  }
  return info;
}

SRectXYWH TQtTabletService::screenRect() const {
  const QScreen* screen = QGuiApplication::primaryScreen();
  if (screen == nullptr) return {};
  QRect r = screen->virtualGeometry();
  return {r.x(), r.y(), r.width(), r.height()};
}

STabletPacket tabletPacketOf(const QTabletEvent& event) {
  STabletPacket p;
  QPointF at = event.globalPosition();
  p.X = at.x();
  p.Y = at.y();
  p.Pressure = event.pressure();
  STabletOrientation o = tabletOrientationOf(event.xTilt(), event.yTilt(), event.rotation(),
                                             event.pointerType() == QPointingDevice::PointerType::Eraser);
  p.Twist = o.Twist;
  p.Altitude = o.Altitude;
  p.Azimuth = o.Azimuth;
  // The tip and the barrel buttons in the order the tablet numbers them.
  Qt::MouseButtons b = event.buttons();
  p.Buttons = (b & Qt::LeftButton ? 1u : 0u) | (b & Qt::MiddleButton ? 2u : 0u) | (b & Qt::RightButton ? 4u : 0u);
  return p;
}

bool feedTabletEvent(TWinTab32& tablet, QEvent& event, bool& isPacket) {
  isPacket = false;
  switch (event.type()) {
    case QEvent::TabletPress:
    case QEvent::TabletMove:
    case QEvent::TabletRelease: {
      uint32_t serial = tablet.queuePacket(tabletPacketOf(static_cast<const QTabletEvent&>(event)));
      if (serial == 0) return false;
      return tablet.handleMessage({STabletMessage::Kind::Packet, serial, false}, isPacket);
    }
    case QEvent::TabletEnterProximity:
    case QEvent::TabletLeaveProximity:
      return tablet.handleMessage(
          {STabletMessage::Kind::Proximity, 0, event.type() == QEvent::TabletEnterProximity}, isPacket);
    default:
      return false;
  }
}

TTabletEventFilter::TTabletEventFilter(TWinTab32& tablet, Listener listener, QObject* parent)
    : QObject(parent), tablet_(tablet), listener_(std::move(listener)) {}

bool TTabletEventFilter::eventFilter(QObject* watched, QEvent* event) {
  switch (event->type()) {
    case QEvent::TabletPress:
    case QEvent::TabletMove:
    case QEvent::TabletRelease:
      // The event travels on from the window to the widgets under the pen;
      // only its arrival at the window counts.
      if (watched == nullptr || !watched->isWindowType()) return false;
      break;
    case QEvent::TabletEnterProximity:
    case QEvent::TabletLeaveProximity:
      break;  // setting the proximity twice changes nothing
    default:
      return false;
  }
  bool isPacket = false;
  if (feedTabletEvent(tablet_, *event, isPacket) && listener_) listener_(isPacket);
  return false;
}

}  // namespace pg
