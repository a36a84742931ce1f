#pragma once
// Pen input from a graphics tablet. The main window owns one TWinTab32, opens
// a tablet context for itself and hands it every tablet message; the wrapper
// keeps the last pen position (screen coordinates), pressure, orientation,
// buttons and proximity, from which the main window feeds the stroke input of
// the active document window. The document window moves the context origin
// and flushes queued packets around window moves and drags.
//
// The wrapper holds no window-system code: the platform side (the Qt adapter
// in canvas/qt) describes the tablet through ITabletService, queues each pen
// report as a packet and then passes the message that announces it. Without a
// service or without a tablet nothing opens, every operation answers false
// and the mouse stays the only input.
#include <cstdint>
#include <deque>

#include "core/rect.h"

namespace pg {

// What the tablet reports about itself when a context opens.
struct STabletDeviceInfo {
  int32_t ExtentX = 0;  // input extent of the position axes, in tablet units
  int32_t ExtentY = 0;
  double PressureMin = 0.0;  // range of the normal (tip) pressure
  double PressureMax = 0.0;
  int32_t AzimuthMax = 0;  // orientation maxima; 0: the device does not report the axis
  int32_t AltitudeMax = 0;
  int32_t TwistMax = 0;
};

// The platform's tablet system.
class ITabletService {
 public:
  virtual ~ITabletService() = default;
  virtual bool tabletPresent() const = 0;
  virtual STabletDeviceInfo deviceInfo() const = 0;
  // The whole desktop (every monitor) in screen coordinates.
  virtual SRectXYWH screenRect() const = 0;
};

// One pen report, in the context's output coordinates.
struct STabletPacket {
  double X = 0.0;
  double Y = 0.0;
  double Pressure = 0.0;  // in the units of the device's pressure range
  int32_t Twist = 0;      // orientation in tenths of a degree; the altitude is
  int32_t Altitude = 0;   // negative when the eraser end of the pen is used
  int32_t Azimuth = 0;
  uint32_t Buttons = 0;   // bit 0 the tip, bits 1 and 2 the barrel buttons
};

// Orientation in tenths of a degree as the packets carry it.
struct STabletOrientation {
  int32_t Twist = 0;     // 0..3599, clockwise from the tablet's top
  int32_t Altitude = 0;  // 900 upright .. 0 flat; negated for the eraser end
  int32_t Azimuth = 0;   // 0..3599, direction the pen leans to, clockwise from the top
};

// The orientation of a pen whose platform reports tilt angles: xTilt positive
// leaning right, yTilt positive leaning toward the user, rotation clockwise;
// all in degrees. Non-finite angles count as 0.
STabletOrientation tabletOrientationOf(double xTiltDeg, double yTiltDeg, double rotationDeg, bool eraserEnd);

// A message that may belong to the tablet.
struct STabletMessage {
  enum class Kind : uint8_t { Other, Packet, Proximity };
  Kind kind = Kind::Other;
  uint32_t serial = 0;    // Packet: the serial number of the queued packet
  bool entering = false;  // Proximity: the pen came into proximity
};

// Where the context's output coordinates land on the screen.
struct STabletContext {
  int32_t OutOrgX = 0, OutOrgY = 0;
  int32_t OutExtX = 0, OutExtY = 0;  // OutExtY is negative: y grows downward
  int32_t SysOrgX = 0, SysOrgY = 0;
  int32_t SysExtX = 0, SysExtY = 0;
  friend bool operator==(const STabletContext&, const STabletContext&) = default;
};

// What the stroke input needs of the pen.
struct STabletPoint {
  float X = 0.0f;  // screen coordinates
  float Y = 0.0f;
  float Pressure = 0.0f;  // 0..1
  float Altitude = 0.0f;  // altitude over its maximum; below 0 for the eraser end
  uint32_t Buttons = 0;
  bool InProximity = false;
};

class TWinTab32 {
 public:
  // Packets queued beyond this drop the oldest.
  static constexpr size_t kQueueSize = 64;
  // Orientation maximum used for an axis the device does not report.
  static constexpr int32_t kMissingAxisMax = 65535;

  // service: the platform's tablet system (not owned; nullptr: none). keepQueue
  // false makes each handled tablet message also drop one queued packet.
  TWinTab32(ITabletService* service, bool loadNow, bool keepQueue);
  ~TWinTab32();
  TWinTab32(const TWinTab32&) = delete;
  TWinTab32& operator=(const TWinTab32&) = delete;

  // True when the tablet system is there (at once when already loaded).
  [[nodiscard]] bool load();
  bool isLoaded() const { return loaded_; }
  bool isOpen() const { return loaded_ && contextOpen_; }

  // Opens a context for the window (an opaque handle, not null), mapping the
  // tablet onto the whole desktop. Only when loaded and a tablet is present;
  // an open context is kept. Answers whether a context is open.
  [[nodiscard]] bool open(void* window);
  void close();

  // The platform side: queues a pen report of the open context and answers
  // its serial number (never 0); 0 when no context is open.
  uint32_t queuePacket(const STabletPacket& packet);

  // Looks at a message. A packet message takes the queued packet of its serial
  // (dropping older ones) into the pen state and sets isPacket; a proximity
  // message sets the proximity. Answers whether the message was the tablet's.
  // A packet no longer queued leaves the state as it was and is no packet.
  bool handleMessage(const STabletMessage& message, bool& isPacket);

  // Drops every queued packet; false without an open context.
  bool flushPackets();
  // Moves the output and screen origins of the context together; false
  // without an open context.
  bool moveOrigin(int32_t x, int32_t y);

  // The last pressure over the device's range, 0..1; never NaN. A device
  // without a pressure range answers 1 for any pressure above its minimum.
  float pressureFraction() const;
  // The last altitude over its maximum (65535 when the device reports none).
  float altitudeFraction() const;

  float x() const { return x_; }
  float y() const { return y_; }
  double pressure() const { return pressure_; }
  int32_t twist() const { return twist_; }
  int32_t altitude() const { return altitude_; }
  int32_t azimuth() const { return azimuth_; }
  uint32_t buttons() const { return buttons_; }
  bool inProximity() const { return inProximity_; }
  STabletPoint point() const;

  bool keepQueue() const { return keepQueue_; }
  void* window() const { return window_; }
  const STabletContext& context() const { return context_; }
  int32_t azimuthMax() const { return azimuthMax_; }
  int32_t altitudeMax() const { return altitudeMax_; }
  int32_t twistMax() const { return twistMax_; }
  bool hasAzimuth() const { return hasAzimuth_; }
  bool hasAltitude() const { return hasAltitude_; }
  bool hasTwist() const { return hasTwist_; }
  size_t queuedPackets() const { return queue_.size(); }

 private:
  struct SQueued {
    uint32_t serial;
    STabletPacket packet;
  };

  void takePacket(const STabletPacket& p);

  ITabletService* service_;
  bool keepQueue_;
  bool loaded_ = false;
  bool contextOpen_ = false;
  void* window_ = nullptr;

  float x_ = 0.0f;
  float y_ = 0.0f;
  double pressure_ = 0.0;
  int32_t twist_ = 0;
  int32_t altitude_ = 0;
  int32_t azimuth_ = 0;
  uint32_t buttons_ = 0;
  bool inProximity_ = false;

  STabletContext context_;
  double pressureMin_ = 0.0;
  double pressureMax_ = 0.0;
  int32_t azimuthMax_ = kMissingAxisMax;
  int32_t altitudeMax_ = kMissingAxisMax;
  int32_t twistMax_ = kMissingAxisMax;
  bool hasAzimuth_ = false;
  bool hasAltitude_ = false;
  bool hasTwist_ = false;

  std::deque<SQueued> queue_;
  uint32_t nextSerial_ = 1;
};

}  // namespace pg
