#pragma once
// The tablet wrapper's platform side under Qt: Qt describes the tablet and
// delivers its pen reports as QTabletEvent, already in screen coordinates
// with the pressure in 0..1 and the tilt in degrees. These turn them into the
// wrapper's packets and messages.
//
// Tablet events are never accepted here: Qt then also moves the mouse for the
// pen, so every tool works with it as with a mouse, while the brush takes its
// strokes from the wrapper (and ignores the mouse while a context is open).
#include <QList>
#include <QObject>
#include <functional>

#include "canvas/tablet_input.h"

class QEvent;
class QInputDevice;
class QTabletEvent;

namespace pg {

class TQtTabletService : public ITabletService {
 public:
  using DeviceLister = std::function<QList<const QInputDevice*>()>;

  // devices: the input devices to look at (tests); by default Qt's own list.
  explicit TQtTabletService(DeviceLister devices = {});

  // A stylus, airbrush or puck is among the input devices.
  bool tabletPresent() const override;
  // Positions come in screen coordinates, so the tablet's extent is the
  // desktop's; pressure 0..1; tilt and rotation in tenths of a degree when a
  // tablet reports them.
  STabletDeviceInfo deviceInfo() const override;
  // The virtual desktop of the primary screen; empty without a screen.
  SRectXYWH screenRect() const override;

 private:
  DeviceLister devices_;
};

// The packet of a pen report (press, move or release).
STabletPacket tabletPacketOf(const QTabletEvent& event);

// Hands a tablet event to the wrapper: a pen report is queued and taken at
// once, a proximity event sets the proximity. Answers whether it was a tablet
// message of the open context; isPacket tells whether a packet was taken.
[[nodiscard]] bool feedTabletEvent(TWinTab32& tablet, QEvent& event, bool& isPacket);

// Feeds every tablet event of the application to the wrapper and then tells
// the listener, as the main window's message hook does. Install it on the
// application object. Each pen report is fed once, when it reaches its
// top-level window; proximity events reach the application itself.
class TTabletEventFilter : public QObject {
 public:
  using Listener = std::function<void(bool isPacket)>;

  TTabletEventFilter(TWinTab32& tablet, Listener listener, QObject* parent = nullptr);

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  TWinTab32& tablet_;
  Listener listener_;
};

}  // namespace pg
