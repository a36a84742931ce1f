#include "canvas/qt/qt_tablet.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QPointingDevice>
#include <QScreen>
#include <QTabletEvent>
#include <QWidget>
#include <QWindow>
#include <memory>

namespace pg {
namespace {

void ensureApp() {
  static int argc = 1;
  static char name[] = "test_canvas_qt";
  static char* argv[] = {name, nullptr};
  if (!QCoreApplication::instance()) new QApplication(argc, argv);
}

using Caps = QInputDevice::Capabilities;
using Cap = QInputDevice::Capability;

std::unique_ptr<QPointingDevice> makeDevice(QInputDevice::DeviceType type, QPointingDevice::PointerType pointer,
                                            Caps caps) {
  static qint64 nextId = 1000;
  return std::make_unique<QPointingDevice>("test device", nextId++, type, pointer, caps, 1, 3);
}

std::unique_ptr<QPointingDevice> makePen(QPointingDevice::PointerType pointer = QPointingDevice::PointerType::Pen) {
  return makeDevice(QInputDevice::DeviceType::Stylus, pointer,
                    Cap::Position | Cap::Pressure | Cap::XTilt | Cap::YTilt | Cap::Rotation);
}

TQtTabletService::DeviceLister listOf(std::initializer_list<const QInputDevice*> devices) {
  QList<const QInputDevice*> list(devices);
  return [list] { return list; };
}

QTabletEvent penEvent(QEvent::Type type, const QPointingDevice* device, QPointF global, qreal pressure,
                      float xTilt = 0, float yTilt = 0, qreal rotation = 0,
                      Qt::MouseButton button = Qt::LeftButton, Qt::MouseButtons buttons = Qt::LeftButton) {
  return QTabletEvent(type, device, QPointF(5, 5), global, pressure, xTilt, yTilt, 0.0f, rotation, 0.0f,
                      Qt::NoModifier, button, buttons);
}

QTabletEvent proximityEvent(QEvent::Type type, const QPointingDevice* device) {
  return QTabletEvent(type, device, QPointF(), QPointF(), 0, 0, 0, 0, 0, 0, Qt::NoModifier, Qt::NoButton,
                      Qt::NoButton);
}

int windowTag;

// ---- The tablet system ----------------------------------------------------------

TEST(QtTabletService, ATabletIsAStylusAirbrushOrPuck) {
  ensureApp();
  auto mouse = makeDevice(QInputDevice::DeviceType::Mouse, QPointingDevice::PointerType::Generic, Cap::Position);
  auto touch = makeDevice(QInputDevice::DeviceType::TouchScreen, QPointingDevice::PointerType::Finger, Cap::Position);
  auto stylus = makePen();
  auto airbrush = makeDevice(QInputDevice::DeviceType::Airbrush, QPointingDevice::PointerType::Pen, Cap::Position);
  auto puck = makeDevice(QInputDevice::DeviceType::Puck, QPointingDevice::PointerType::Cursor, Cap::Position);
  struct Case {
    const char* what;
    TQtTabletService::DeviceLister devices;
    bool present;
  };
  const Case cases[] = {
      {"nothing", listOf({}), false},
      {"mouse and touch", listOf({mouse.get(), touch.get(), nullptr}), false},
      {"stylus", listOf({mouse.get(), stylus.get()}), true},
      {"airbrush", listOf({airbrush.get()}), true},
      {"puck", listOf({puck.get()}), true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    EXPECT_EQ(TQtTabletService(c.devices).tabletPresent(), c.present);
  }
}

TEST(QtTabletService, DescribesAScreenSizedTabletWithItsAxes) {
  ensureApp();
  ASSERT_NE(QGuiApplication::primaryScreen(), nullptr);
  QRect desktop = QGuiApplication::primaryScreen()->virtualGeometry();
  auto tiltOnly = makeDevice(QInputDevice::DeviceType::Stylus, QPointingDevice::PointerType::Pen,
                             Cap::Position | Cap::XTilt);
  auto rotationOnly = makeDevice(QInputDevice::DeviceType::Stylus, QPointingDevice::PointerType::Pen,
                                 Cap::Position | Cap::Rotation);
  auto plain = makeDevice(QInputDevice::DeviceType::Stylus, QPointingDevice::PointerType::Pen, Cap::Position);
  auto tiltedMouse = makeDevice(QInputDevice::DeviceType::Mouse, QPointingDevice::PointerType::Generic,
                                Cap::Position | Cap::XTilt | Cap::Rotation);
  struct Case {
    const char* what;
    TQtTabletService::DeviceLister devices;
    int32_t altitudeMax, azimuthMax, twistMax;
  };
  const Case cases[] = {
      {"tilt", listOf({tiltOnly.get()}), 900, 3600, 0},
      {"rotation", listOf({rotationOnly.get()}), 0, 0, 3600},
      {"neither", listOf({plain.get(), tiltedMouse.get()}), 0, 0, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    TQtTabletService service(c.devices);
    EXPECT_EQ(service.screenRect(), (SRectXYWH{desktop.x(), desktop.y(), desktop.width(), desktop.height()}));
    STabletDeviceInfo info = service.deviceInfo();
    EXPECT_EQ(info.ExtentX, desktop.width());
    EXPECT_EQ(info.ExtentY, desktop.height());
    EXPECT_EQ(info.PressureMin, 0.0);
    EXPECT_EQ(info.PressureMax, 1.0);
    EXPECT_EQ(info.AltitudeMax, c.altitudeMax);
    EXPECT_EQ(info.AzimuthMax, c.azimuthMax);
    EXPECT_EQ(info.TwistMax, c.twistMax);
  }
}

// ---- Pen reports ----------------------------------------------------------------

TEST(QtTabletPackets, EventToPacket) {
  ensureApp();
  auto pen = makePen();
  auto eraser = makePen(QPointingDevice::PointerType::Eraser);
  struct Case {
    const char* what;
    const QPointingDevice* device;
    QPointF global;
    qreal pressure;
    float xTilt, yTilt;
    qreal rotation;
    Qt::MouseButtons buttons;
    STabletPacket expected;
  };
  const Case cases[] = {
      {"upright tip", pen.get(), {123.5, 45.25}, 0.5, 0, 0, 0, Qt::LeftButton, {123.5, 45.25, 0.5, 0, 900, 0, 1}},
      {"leaning right, turned", pen.get(), {-300, 20}, 1.0, 45, 0, 90, Qt::LeftButton, {-300, 20, 1.0, 900, 450, 900, 1}},
      {"lower barrel button", pen.get(), {0, 0}, 0.0, 0, 0, 0, Qt::MiddleButton, {0, 0, 0, 0, 900, 0, 2}},
      {"upper barrel button with tip", pen.get(), {0, 0}, 0.25, 0, 0, 0, Qt::LeftButton | Qt::RightButton,
       {0, 0, 0.25, 0, 900, 0, 5}},
      {"eraser end", eraser.get(), {10, 10}, 0.75, 0, 0, 0, Qt::LeftButton, {10, 10, 0.75, 0, -900, 0, 1}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    QTabletEvent e = penEvent(QEvent::TabletMove, c.device, c.global, c.pressure, c.xTilt, c.yTilt, c.rotation,
                              Qt::NoButton, c.buttons);
    STabletPacket p = tabletPacketOf(e);
    EXPECT_EQ(p.X, c.expected.X);
    EXPECT_EQ(p.Y, c.expected.Y);
    EXPECT_EQ(p.Pressure, c.expected.Pressure);
    EXPECT_EQ(p.Twist, c.expected.Twist);
    EXPECT_EQ(p.Altitude, c.expected.Altitude);
    EXPECT_EQ(p.Azimuth, c.expected.Azimuth);
    EXPECT_EQ(p.Buttons, c.expected.Buttons);
  }
}

TEST(QtTabletPackets, PenReportsReachTheWrapperInScreenCoordinates) {
  ensureApp();
  auto pen = makePen();
  TQtTabletService service(listOf({pen.get()}));
  TWinTab32 tablet(&service, true, false);
  ASSERT_TRUE(tablet.open(&windowTag));

  bool isPacket = false;
  QTabletEvent enter = proximityEvent(QEvent::TabletEnterProximity, pen.get());
  EXPECT_TRUE(feedTabletEvent(tablet, enter, isPacket));
  EXPECT_FALSE(isPacket);
  EXPECT_TRUE(tablet.inProximity());

  struct Step {
    QEvent::Type type;
    QPointF global;
    qreal pressure;
    Qt::MouseButtons buttons;
  };
  const Step steps[] = {
      {QEvent::TabletPress, {200.25, 100.5}, 0.3, Qt::LeftButton},
      {QEvent::TabletMove, {210.75, 101.0}, 0.6, Qt::LeftButton},
      {QEvent::TabletRelease, {211.0, 102.0}, 0.0, Qt::NoButton},
  };
  for (const Step& s : steps) {
    SCOPED_TRACE(s.type);
    QTabletEvent e = penEvent(s.type, pen.get(), s.global, s.pressure, 0, 0, 0, Qt::LeftButton, s.buttons);
    e.ignore();
    EXPECT_TRUE(feedTabletEvent(tablet, e, isPacket));
    EXPECT_TRUE(isPacket);
    EXPECT_FALSE(e.isAccepted());  // left to Qt, which then moves the mouse too
    STabletPoint point = tablet.point();
    EXPECT_FLOAT_EQ(point.X, static_cast<float>(s.global.x()));
    EXPECT_FLOAT_EQ(point.Y, static_cast<float>(s.global.y()));
    EXPECT_FLOAT_EQ(point.Pressure, static_cast<float>(s.pressure));
    EXPECT_EQ(point.Buttons, s.buttons == Qt::LeftButton ? 1u : 0u);
  }
  EXPECT_EQ(tablet.queuedPackets(), 0u);

  QTabletEvent leave = proximityEvent(QEvent::TabletLeaveProximity, pen.get());
  EXPECT_TRUE(feedTabletEvent(tablet, leave, isPacket));
  EXPECT_FALSE(tablet.inProximity());

  QEvent other(QEvent::MouseMove);
  EXPECT_FALSE(feedTabletEvent(tablet, other, isPacket));
}

TEST(QtTabletPackets, WithoutATabletTheMouseStaysTheOnlyInput) {
  ensureApp();
  auto pen = makePen();
  auto mouse = makeDevice(QInputDevice::DeviceType::Mouse, QPointingDevice::PointerType::Generic, Cap::Position);
  TQtTabletService service(listOf({mouse.get()}));
  TWinTab32 tablet(&service, true, false);
  EXPECT_FALSE(tablet.open(&windowTag));
  QTabletEvent e = penEvent(QEvent::TabletPress, pen.get(), {10, 10}, 0.5);
  e.ignore();
  bool isPacket = true;
  EXPECT_FALSE(feedTabletEvent(tablet, e, isPacket));
  EXPECT_FALSE(isPacket);
  EXPECT_FALSE(e.isAccepted());
  QTabletEvent enter = proximityEvent(QEvent::TabletEnterProximity, pen.get());
  EXPECT_FALSE(feedTabletEvent(tablet, enter, isPacket));
  EXPECT_FALSE(tablet.inProximity());
}

// ---- The application-wide filter ------------------------------------------------

TEST(QtTabletFilter, FeedsEachPenReportOnceAndEveryProximityChange) {
  ensureApp();
  auto pen = makePen();
  TQtTabletService service(listOf({pen.get()}));
  TWinTab32 tablet(&service, true, true);
  ASSERT_TRUE(tablet.open(&windowTag));
  std::vector<bool> heard;
  TTabletEventFilter filter(tablet, [&](bool isPacket) { heard.push_back(isPacket); });
  qApp->installEventFilter(&filter);

  QWindow window;
  QWidget parent;
  QWidget child(&parent);

  // At the window: fed.
  QTabletEvent atWindow = penEvent(QEvent::TabletPress, pen.get(), {40.5, 60.25}, 0.5);
  QCoreApplication::sendEvent(&window, &atWindow);
  ASSERT_EQ(heard, std::vector<bool>{true});
  EXPECT_FLOAT_EQ(tablet.x(), 40.5f);

  // On its way through the widgets (here the child and then its parent): not again.
  QTabletEvent atWidget = penEvent(QEvent::TabletMove, pen.get(), {99, 99}, 0.9);
  atWidget.ignore();
  QCoreApplication::sendEvent(&child, &atWidget);
  EXPECT_EQ(heard.size(), 1u);
  EXPECT_FLOAT_EQ(tablet.x(), 40.5f);

  // Proximity arrives at the application.
  QTabletEvent enter = proximityEvent(QEvent::TabletEnterProximity, pen.get());
  QCoreApplication::sendEvent(qApp, &enter);
  EXPECT_EQ(heard, (std::vector<bool>{true, false}));
  EXPECT_TRUE(tablet.inProximity());

  // Nothing else is the tablet's.
  QEvent other(QEvent::User);
  QCoreApplication::sendEvent(&window, &other);
  EXPECT_EQ(heard.size(), 2u);

  qApp->removeEventFilter(&filter);
}

}  // namespace
}  // namespace pg
