#include "canvas/tablet_input.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace pg {
namespace tablet_input_test {

// A tablet system whose answers the test sets.
class FakeTabletService : public ITabletService {
 public:
  bool present = true;
  STabletDeviceInfo info{20000, 15000, 0.0, 1023.0, 3600, 900, 3600};
  SRectXYWH screen{0, 0, 2000, 1500};

  bool tabletPresent() const override { return present; }
  STabletDeviceInfo deviceInfo() const override { return info; }
  SRectXYWH screenRect() const override { return screen; }
};

int windowTag;
void* const kWindow = &windowTag;

STabletPacket packetAt(double x, double y, double pressure = 512.0) {
  STabletPacket p;
  p.X = x;
  p.Y = y;
  p.Pressure = pressure;
  return p;
}

// Queues a packet and passes the message that announces it.
bool deliver(TWinTab32& tablet, const STabletPacket& p) {
  uint32_t serial = tablet.queuePacket(p);
  bool isPacket = false;
  tablet.handleMessage({STabletMessage::Kind::Packet, serial, false}, isPacket);
  return isPacket;
}

// ---- Without a tablet ---------------------------------------------------------

TEST(TabletWithoutTablet, EverythingAnswersFalseAndNothingChanges) {
  FakeTabletService absent;
  absent.present = false;
  struct Case {
    const char* what;
    ITabletService* service;
    bool loadNow;
    bool loaded;
  };
  const Case cases[] = {
      {"no tablet system", nullptr, true, false},
      {"not loaded", &absent, false, false},
      {"no tablet attached", &absent, true, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    TWinTab32 tablet(c.service, c.loadNow, false);
    EXPECT_EQ(tablet.isLoaded(), c.loaded);
    EXPECT_FALSE(tablet.open(kWindow));
    EXPECT_FALSE(tablet.isOpen());
    EXPECT_FALSE(tablet.flushPackets());
    EXPECT_FALSE(tablet.moveOrigin(10, 20));
    EXPECT_EQ(tablet.queuePacket(packetAt(1, 1)), 0u);
    bool isPacket = true;
    EXPECT_FALSE(tablet.handleMessage({STabletMessage::Kind::Proximity, 0, true}, isPacket));
    EXPECT_FALSE(isPacket);
    EXPECT_FALSE(tablet.inProximity());
    EXPECT_EQ(tablet.context(), STabletContext{});
  }
}

TEST(TabletWithoutTablet, LoadingLaterFindsTheSystem) {
  FakeTabletService service;
  TWinTab32 tablet(&service, false, false);
  EXPECT_FALSE(tablet.isLoaded());
  EXPECT_TRUE(tablet.load());
  EXPECT_TRUE(tablet.load());
  EXPECT_TRUE(tablet.open(kWindow));
}

// ---- Opening and closing ------------------------------------------------------

TEST(TabletContext, OpenMapsTheTabletOntoTheDesktop) {
  FakeTabletService service;
  service.screen = {-1280, -200, 3200, 1400};
  TWinTab32 tablet(&service, true, false);
  ASSERT_TRUE(tablet.open(kWindow));
  EXPECT_TRUE(tablet.isOpen());
  EXPECT_EQ(tablet.window(), kWindow);
  const STabletContext& c = tablet.context();
  EXPECT_EQ(c.OutOrgX, -1280);
  EXPECT_EQ(c.OutOrgY, -200);
  EXPECT_EQ(c.OutExtX, 20000);
  EXPECT_EQ(c.OutExtY, -15000);
  EXPECT_EQ(c.SysOrgX, -1280);
  EXPECT_EQ(c.SysOrgY, -200);
  EXPECT_EQ(c.SysExtX, 3200);
  EXPECT_EQ(c.SysExtY, 1400);
}

TEST(TabletContext, OpeningTwiceKeepsTheFirstContext) {
  FakeTabletService service;
  TWinTab32 tablet(&service, true, false);
  ASSERT_TRUE(tablet.open(kWindow));
  service.screen = {0, 0, 800, 600};
  int other;
  EXPECT_TRUE(tablet.open(&other));
  EXPECT_EQ(tablet.window(), kWindow);
  EXPECT_EQ(tablet.context().SysExtX, 2000);
}

TEST(TabletContext, OpenRefusesWhatCannotBeMapped) {
  struct Case {
    const char* what;
    STabletDeviceInfo info;
    SRectXYWH screen;
    void* window;
  };
  const Case cases[] = {
      {"no window", {20000, 15000, 0, 1023, 0, 0, 0}, {0, 0, 2000, 1500}, nullptr},
      {"tablet without width", {0, 15000, 0, 1023, 0, 0, 0}, {0, 0, 2000, 1500}, kWindow},
      {"tablet without height", {20000, 0, 0, 1023, 0, 0, 0}, {0, 0, 2000, 1500}, kWindow},
      {"no desktop", {20000, 15000, 0, 1023, 0, 0, 0}, {0, 0, 0, 0}, kWindow},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    FakeTabletService service;
    service.info = c.info;
    service.screen = c.screen;
    TWinTab32 tablet(&service, true, false);
    EXPECT_FALSE(tablet.open(c.window));
    EXPECT_FALSE(tablet.isOpen());
  }
}

TEST(TabletContext, CloseEndsTheContextAndItsQueue) {
  FakeTabletService service;
  TWinTab32 tablet(&service, true, true);
  ASSERT_TRUE(tablet.open(kWindow));
  uint32_t serial = tablet.queuePacket(packetAt(100, 100));
  tablet.close();
  EXPECT_FALSE(tablet.isOpen());
  EXPECT_TRUE(tablet.isLoaded());
  EXPECT_EQ(tablet.queuedPackets(), 0u);
  ASSERT_TRUE(tablet.open(kWindow));
  bool isPacket = true;
  EXPECT_TRUE(tablet.handleMessage({STabletMessage::Kind::Packet, serial, false}, isPacket));
  EXPECT_FALSE(isPacket);
}

// ---- Packets ------------------------------------------------------------------

TEST(TabletPackets, PositionInScreenCoordinates) {
  struct Case {
    SRectXYWH screen;
    int32_t originX, originY;  // moveOrigin; INT32_MIN: not moved
    double px, py;
    float x, y;
  };
  const int32_t kStay = std::numeric_limits<int32_t>::min();
  const Case cases[] = {
      // 20000 x 15000 tablet units onto 2000 x 1500 pixels: a tenth.
      {{0, 0, 2000, 1500}, kStay, kStay, 0, 0, 0, 0},
      {{0, 0, 2000, 1500}, kStay, kStay, 10000, 7500, 1000, 750},
      {{0, 0, 2000, 1500}, kStay, kStay, 20000, 15000, 2000, 1500},
      {{0, 0, 2000, 1500}, kStay, kStay, 12345, 50, 1234.5f, 5},
      // A desktop whose corner lies left of and above the primary screen.
      {{-1000, -500, 2000, 1500}, kStay, kStay, -1000, -500, -1000, -500},
      {{-1000, -500, 2000, 1500}, kStay, kStay, 9000, 7000, 0, 250},
      // After the origin moved, packets are measured from the new origin.
      {{0, 0, 2000, 1500}, 300, 200, 300, 200, 300, 200},
      {{0, 0, 2000, 1500}, 300, 200, 10300, 7700, 1300, 950},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(::testing::Message() << c.px << ", " << c.py);
    FakeTabletService service;
    service.screen = c.screen;
    TWinTab32 tablet(&service, true, false);
    ASSERT_TRUE(tablet.open(kWindow));
    if (c.originX != kStay) {
      ASSERT_TRUE(tablet.moveOrigin(c.originX, c.originY));
    }
    ASSERT_TRUE(deliver(tablet, packetAt(c.px, c.py)));
    EXPECT_FLOAT_EQ(tablet.x(), c.x);
    EXPECT_FLOAT_EQ(tablet.y(), c.y);
  }
}

TEST(TabletPackets, ScreenSizedOutputIsTakenAsItIs) {
  // A platform that already reports screen coordinates describes its tablet
  // with the desktop's extent; the position then passes unchanged.
  FakeTabletService service;
  service.screen = {-1920, 0, 3840, 1080};
  service.info.ExtentX = 3840;
  service.info.ExtentY = 1080;
  TWinTab32 tablet(&service, true, false);
  ASSERT_TRUE(tablet.open(kWindow));
  for (auto [x, y] : {std::pair{-1919.25, 0.5}, {0.0, 0.0}, {1234.75, 1079.5}}) {
    ASSERT_TRUE(deliver(tablet, packetAt(x, y)));
    EXPECT_FLOAT_EQ(tablet.x(), static_cast<float>(x));
    EXPECT_FLOAT_EQ(tablet.y(), static_cast<float>(y));
  }
  ASSERT_TRUE(tablet.moveOrigin(-1920, 0));
  ASSERT_TRUE(deliver(tablet, packetAt(10.25, 20.5)));
  EXPECT_FLOAT_EQ(tablet.x(), 10.25f);
  EXPECT_FLOAT_EQ(tablet.y(), 20.5f);
}

TEST(TabletPackets, EveryReadingIsCopied) {
  FakeTabletService service;
  TWinTab32 tablet(&service, true, false);
  ASSERT_TRUE(tablet.open(kWindow));
  STabletPacket p = packetAt(500, 600, 700);
  p.Twist = 1200;
  p.Altitude = 450;
  p.Azimuth = 3000;
  p.Buttons = 5;
  ASSERT_TRUE(deliver(tablet, p));
  EXPECT_EQ(tablet.pressure(), 700.0);
  EXPECT_EQ(tablet.twist(), 1200);
  EXPECT_EQ(tablet.altitude(), 450);
  EXPECT_EQ(tablet.azimuth(), 3000);
  EXPECT_EQ(tablet.buttons(), 5u);
  STabletPoint point = tablet.point();
  EXPECT_FLOAT_EQ(point.X, 50.0f);
  EXPECT_FLOAT_EQ(point.Y, 60.0f);
  EXPECT_FLOAT_EQ(point.Pressure, 700.0f / 1023.0f);
  EXPECT_FLOAT_EQ(point.Altitude, 0.5f);
  EXPECT_EQ(point.Buttons, 5u);
}

TEST(TabletPackets, NonFiniteReadingsKeepThePenWhereItWas) {
  FakeTabletService service;
  TWinTab32 tablet(&service, true, false);
  ASSERT_TRUE(tablet.open(kWindow));
  ASSERT_TRUE(deliver(tablet, packetAt(1000, 2000, 512)));
  const double nan = std::numeric_limits<double>::quiet_NaN();
  const double inf = std::numeric_limits<double>::infinity();
  ASSERT_TRUE(deliver(tablet, packetAt(nan, inf, nan)));
  EXPECT_FLOAT_EQ(tablet.x(), 100.0f);
  EXPECT_FLOAT_EQ(tablet.y(), 200.0f);
  EXPECT_EQ(tablet.pressureFraction(), 0.0f);  // no pressure, no NaN
  // A wild but finite packet stays finite.
  ASSERT_TRUE(deliver(tablet, packetAt(1e300, -1e300, 512)));
  EXPECT_TRUE(std::isfinite(tablet.x()));
  EXPECT_TRUE(std::isfinite(tablet.y()));
}

// ---- Pressure and orientation -------------------------------------------------

TEST(TabletPressure, FractionOfTheDeviceRange) {
  struct Case {
    double min, max, raw;
    float fraction;
  };
  const Case cases[] = {
      {0, 1023, 0, 0.0f},       {0, 1023, 1023, 1.0f},   {0, 1023, 511.5, 0.5f},
      {0, 1023, 2000, 1.0f},    {0, 1023, -5, 0.0f},     // past the range: clamped
      {0, 1, 0.25, 0.25f},      {100, 300, 150, 0.25f},  // a range that does not start at 0
      {0, 0, 0, 0.0f},          {0, 0, 7, 1.0f},         // no range: any pressure is full
      {500, 500, 500, 0.0f},    {10, 5, 7, 0.0f},        {10, 5, 11, 1.0f},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(::testing::Message() << c.min << ".." << c.max << " raw " << c.raw);
    FakeTabletService service;
    service.info.PressureMin = c.min;
    service.info.PressureMax = c.max;
    TWinTab32 tablet(&service, true, false);
    ASSERT_TRUE(tablet.open(kWindow));
    ASSERT_TRUE(deliver(tablet, packetAt(0, 0, c.raw)));
    EXPECT_FLOAT_EQ(tablet.pressureFraction(), c.fraction);
  }
}

TEST(TabletOrientation, MissingAxesDivideBy65535) {
  FakeTabletService service;
  service.info.AzimuthMax = 0;
  service.info.AltitudeMax = 0;
  service.info.TwistMax = 1800;
  TWinTab32 tablet(&service, true, false);
  ASSERT_TRUE(tablet.open(kWindow));
  EXPECT_FALSE(tablet.hasAzimuth());
  EXPECT_FALSE(tablet.hasAltitude());
  EXPECT_TRUE(tablet.hasTwist());
  EXPECT_EQ(tablet.azimuthMax(), 65535);
  EXPECT_EQ(tablet.altitudeMax(), 65535);
  EXPECT_EQ(tablet.twistMax(), 1800);
  STabletPacket p = packetAt(0, 0);
  p.Altitude = 65535 / 5;
  ASSERT_TRUE(deliver(tablet, p));
  EXPECT_FLOAT_EQ(tablet.altitudeFraction(), 0.2f);
}

TEST(TabletOrientation, EraserEndGivesANegativeAltitude) {
  FakeTabletService service;
  TWinTab32 tablet(&service, true, false);
  ASSERT_TRUE(tablet.open(kWindow));
  STabletPacket p = packetAt(0, 0);
  p.Altitude = -900;
  ASSERT_TRUE(deliver(tablet, p));
  EXPECT_FLOAT_EQ(tablet.altitudeFraction(), -1.0f);
}

TEST(TabletOrientation, TiltAnglesToAltitudeAndAzimuth) {
  struct Case {
    double xTilt, yTilt, rotation;
    bool eraser;
    STabletOrientation expected;  // twist, altitude, azimuth
  };
  const double nan = std::numeric_limits<double>::quiet_NaN();
  const Case cases[] = {
      {0, 0, 0, false, {0, 900, 0}},           // upright
      {45, 0, 0, false, {0, 450, 900}},        // leaning right
      {-45, 0, 0, false, {0, 450, 2700}},      // leaning left
      {0, -45, 0, false, {0, 450, 0}},         // leaning away from the user
      {0, 45, 0, false, {0, 450, 1800}},       // leaning toward the user
      {30, 30, 0, false, {0, 508, 1350}},      // atan(1 / (tan 30 * sqrt 2)) = 50.77 degrees
      {0, 0, 90, false, {900, 900, 0}},        // rotation clockwise
      {0, 0, -90, false, {2700, 900, 0}},
      {0, 0, 360, false, {0, 900, 0}},
      {0, 0, 725.5, false, {55, 900, 0}},     // whole turns fold away
      {0, 0, 0, true, {0, -900, 0}},           // the eraser end
      {89.99, 0, 0, true, {0, -1, 900}},       // nearly flat eraser stays negative
      {nan, nan, nan, false, {0, 900, 0}},
      {1000, 0, 0, false, {0, 1, 900}},        // past 90 degrees: as nearly flat
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(::testing::Message() << c.xTilt << ", " << c.yTilt << ", " << c.rotation << ", " << c.eraser);
    STabletOrientation o = tabletOrientationOf(c.xTilt, c.yTilt, c.rotation, c.eraser);
    EXPECT_EQ(o.Twist, c.expected.Twist);
    EXPECT_EQ(o.Altitude, c.expected.Altitude);
    EXPECT_EQ(o.Azimuth, c.expected.Azimuth);
  }
}

// ---- Proximity ----------------------------------------------------------------

TEST(TabletProximity, EnterAndLeaveAreNoPackets) {
  FakeTabletService service;
  TWinTab32 tablet(&service, true, true);
  ASSERT_TRUE(tablet.open(kWindow));
  ASSERT_TRUE(deliver(tablet, packetAt(1000, 1000)));
  bool isPacket = true;
  EXPECT_TRUE(tablet.handleMessage({STabletMessage::Kind::Proximity, 0, true}, isPacket));
  EXPECT_FALSE(isPacket);
  EXPECT_TRUE(tablet.inProximity());
  EXPECT_TRUE(tablet.handleMessage({STabletMessage::Kind::Proximity, 0, false}, isPacket));
  EXPECT_FALSE(tablet.inProximity());
  EXPECT_FLOAT_EQ(tablet.x(), 100.0f);  // the position stays
  isPacket = true;
  EXPECT_FALSE(tablet.handleMessage({STabletMessage::Kind::Other, 0, false}, isPacket));
  EXPECT_FALSE(isPacket);
}

// ---- The packet queue ---------------------------------------------------------

TEST(TabletQueue, APacketNoLongerQueuedLeavesTheLastValues) {
  FakeTabletService service;
  TWinTab32 tablet(&service, true, true);
  ASSERT_TRUE(tablet.open(kWindow));
  ASSERT_TRUE(deliver(tablet, packetAt(1000, 1000, 100)));
  uint32_t stale = tablet.queuePacket(packetAt(5000, 5000, 900));
  ASSERT_TRUE(tablet.flushPackets());
  EXPECT_EQ(tablet.queuedPackets(), 0u);
  bool isPacket = true;
  EXPECT_TRUE(tablet.handleMessage({STabletMessage::Kind::Packet, stale, false}, isPacket));
  EXPECT_FALSE(isPacket);
  EXPECT_FLOAT_EQ(tablet.x(), 100.0f);
  EXPECT_EQ(tablet.pressure(), 100.0);
}

TEST(TabletQueue, TakingAPacketDropsTheOlderOnes) {
  FakeTabletService service;
  TWinTab32 tablet(&service, true, true);
  ASSERT_TRUE(tablet.open(kWindow));
  uint32_t first = tablet.queuePacket(packetAt(100, 100));
  uint32_t second = tablet.queuePacket(packetAt(200, 200));
  uint32_t third = tablet.queuePacket(packetAt(300, 300));
  EXPECT_NE(first, 0u);
  bool isPacket = false;
  ASSERT_TRUE(tablet.handleMessage({STabletMessage::Kind::Packet, second, false}, isPacket));
  EXPECT_TRUE(isPacket);
  EXPECT_FLOAT_EQ(tablet.x(), 20.0f);
  EXPECT_EQ(tablet.queuedPackets(), 1u);
  tablet.handleMessage({STabletMessage::Kind::Packet, first, false}, isPacket);
  EXPECT_FALSE(isPacket);
  tablet.handleMessage({STabletMessage::Kind::Packet, third, false}, isPacket);
  EXPECT_TRUE(isPacket);
  EXPECT_FLOAT_EQ(tablet.x(), 30.0f);
}

TEST(TabletQueue, WithoutKeepQueueEachTabletMessageDropsOnePacket) {
  // Four packets queue up before their messages arrive. Without keepQueue the
  // first message takes its packet and drops the next one; each later message
  // finds its packet gone and drops one more, so the backlog clears at once.
  struct Case {
    bool keepQueue;
    int taken;
  };
  for (Case c : {Case{true, 4}, Case{false, 1}}) {
    SCOPED_TRACE(c.keepQueue);
    FakeTabletService service;
    TWinTab32 tablet(&service, true, c.keepQueue);
    ASSERT_TRUE(tablet.open(kWindow));
    uint32_t serials[4];
    for (int i = 0; i < 4; ++i) serials[i] = tablet.queuePacket(packetAt(100.0 * (i + 1), 0));
    int taken = 0;
    for (uint32_t s : serials) {
      bool isPacket = false;
      EXPECT_TRUE(tablet.handleMessage({STabletMessage::Kind::Packet, s, false}, isPacket));
      taken += isPacket;
    }
    EXPECT_EQ(taken, c.taken);
  }
}

TEST(TabletQueue, AFullQueueDropsTheOldest) {
  FakeTabletService service;
  TWinTab32 tablet(&service, true, true);
  ASSERT_TRUE(tablet.open(kWindow));
  uint32_t first = tablet.queuePacket(packetAt(1, 1));
  uint32_t last = 0;
  for (size_t i = 0; i < TWinTab32::kQueueSize; ++i) last = tablet.queuePacket(packetAt(10, 10));
  EXPECT_EQ(tablet.queuedPackets(), TWinTab32::kQueueSize);
  bool isPacket = true;
  tablet.handleMessage({STabletMessage::Kind::Packet, first, false}, isPacket);
  EXPECT_FALSE(isPacket);
  tablet.handleMessage({STabletMessage::Kind::Packet, last, false}, isPacket);
  EXPECT_TRUE(isPacket);
}

}  // namespace tablet_input_test
}  // namespace pg
