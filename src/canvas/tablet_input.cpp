#include "canvas/tablet_input.h"

#include <algorithm>
#include <cmath>

namespace pg {

namespace {

constexpr double kPi = 3.14159265358979323846;
// Screen coordinates never come near this; it keeps a wild packet finite and
// inside the range of a float.
constexpr double kCoordLimit = 1.0e9;

double finiteOr(double v, double fallback) { return std::isfinite(v) ? v : fallback; }

// Tenths of a degree folded into 0..3599.
int32_t wrapTenths(double degrees) {
  long t = std::lround(std::fmod(degrees, 360.0) * 10.0) % 3600;
  return static_cast<int32_t>(t < 0 ? t + 3600 : t);
}

}  // namespace

STabletOrientation tabletOrientationOf(double xTiltDeg, double yTiltDeg, double rotationDeg, bool eraserEnd) {
  // A tilt of 90 degrees would lay the pen flat and make the tangent infinite.
  double xt = std::clamp(finiteOr(xTiltDeg, 0.0), -89.9, 89.9) * kPi / 180.0;
  double yt = std::clamp(finiteOr(yTiltDeg, 0.0), -89.9, 89.9) * kPi / 180.0;
  // The pen's direction with its height as 1: right and toward the user.
  double vx = std::tan(xt);
  double vy = std::tan(yt);
  double lean = std::hypot(vx, vy);

  STabletOrientation o;
  o.Altitude = static_cast<int32_t>(std::lround(std::atan2(1.0, lean) * 1800.0 / kPi));
  // Clockwise from the tablet's top (screen y grows toward the user).
  o.Azimuth = lean == 0.0 ? 0 : wrapTenths(std::atan2(vx, -vy) * 180.0 / kPi);
  o.Twist = wrapTenths(finiteOr(rotationDeg, 0.0));
  // The eraser end points down: its altitude is negative, never 0.
  if (eraserEnd) o.Altitude = -std::max(o.Altitude, 1);
  return o;
}

TWinTab32::TWinTab32(ITabletService* service, bool loadNow, bool keepQueue)
    : service_(service), keepQueue_(keepQueue) {
  // Without a service nothing loads, and open() then refuses.
  if (loadNow) (void)load();
}

TWinTab32::~TWinTab32() { close(); }

bool TWinTab32::load() {
  if (loaded_) return true;
  if (service_ == nullptr) return false;
  loaded_ = true;
  return true;
}

bool TWinTab32::open(void* window) {
  if (!loaded_) return false;
  if (contextOpen_) return true;  // the first context stays
  if (!service_->tabletPresent() || window == nullptr) return false;
  window_ = window;

  SRectXYWH screen = service_->screenRect();
  STabletDeviceInfo info = service_->deviceInfo();
  // A tablet or desktop without extent cannot be mapped (it would divide by 0).
  if (screen.Width <= 0 || screen.Height <= 0 || info.ExtentX <= 0 || info.ExtentY <= 0) return false;

  pressureMin_ = info.PressureMin;
  pressureMax_ = info.PressureMax;
  auto axis = [](int32_t reported, int32_t& max, bool& has) {
    has = reported != 0;
    max = has ? reported : kMissingAxisMax;
  };
  axis(info.AzimuthMax, azimuthMax_, hasAzimuth_);
  axis(info.AltitudeMax, altitudeMax_, hasAltitude_);
  axis(info.TwistMax, twistMax_, hasTwist_);

  // Output and screen origins start together at the desktop's corner, as
  // moveOrigin keeps them: packets are measured from the output origin.
  context_.OutOrgX = context_.SysOrgX = screen.X;
  context_.OutOrgY = context_.SysOrgY = screen.Y;
  context_.OutExtX = info.ExtentX;
  context_.OutExtY = -info.ExtentY;
  context_.SysExtX = screen.Width;
  context_.SysExtY = screen.Height;

  queue_.clear();
  contextOpen_ = true;
  return true;
}

void TWinTab32::close() {
  contextOpen_ = false;
  queue_.clear();
}

uint32_t TWinTab32::queuePacket(const STabletPacket& packet) {
  if (!isOpen()) return 0;
  if (queue_.size() >= kQueueSize) queue_.pop_front();
  uint32_t serial = nextSerial_;
  nextSerial_ = nextSerial_ == UINT32_MAX ? 1 : nextSerial_ + 1;
  queue_.push_back({serial, packet});
  return serial;
}

void TWinTab32::takePacket(const STabletPacket& p) {
  const STabletContext& c = context_;
  if (std::isfinite(p.X) && std::isfinite(p.Y)) {
    double x = c.SysOrgX + (p.X - c.OutOrgX) * c.SysExtX / c.OutExtX;
    double y = c.SysOrgY + (c.OutOrgY - p.Y) * c.SysExtY / c.OutExtY;
    x_ = static_cast<float>(std::clamp(x, -kCoordLimit, kCoordLimit));
    y_ = static_cast<float>(std::clamp(y, -kCoordLimit, kCoordLimit));
  }
  pressure_ = finiteOr(p.Pressure, pressureMin_);
  twist_ = p.Twist;
  altitude_ = p.Altitude;
  azimuth_ = p.Azimuth;
  buttons_ = p.Buttons;
}

bool TWinTab32::handleMessage(const STabletMessage& message, bool& isPacket) {
  isPacket = false;
  if (!isOpen()) return false;
  switch (message.kind) {
    case STabletMessage::Kind::Packet: {
      auto it = std::find_if(queue_.begin(), queue_.end(),
                             [&](const SQueued& q) { return q.serial == message.serial; });
      if (it != queue_.end()) {
        takePacket(it->packet);
        queue_.erase(queue_.begin(), it + 1);
        isPacket = true;
      }
      break;
    }
    case STabletMessage::Kind::Proximity:
      inProximity_ = message.entering;
      break;
    case STabletMessage::Kind::Other:
      return false;
  }
  if (!keepQueue_ && !queue_.empty()) queue_.pop_front();
  return true;
}

bool TWinTab32::flushPackets() {
  if (!isOpen()) return false;
  queue_.clear();
  return true;
}

bool TWinTab32::moveOrigin(int32_t x, int32_t y) {
  if (!isOpen()) return false;
  context_.OutOrgX = context_.SysOrgX = x;
  context_.OutOrgY = context_.SysOrgY = y;
  return true;
}

float TWinTab32::pressureFraction() const {
  double range = pressureMax_ - pressureMin_;
  if (!(range > 0.0) || !std::isfinite(range)) return pressure_ > pressureMin_ ? 1.0f : 0.0f;
  double f = (pressure_ - pressureMin_) / range;
  return static_cast<float>(std::clamp(f, 0.0, 1.0));
}

float TWinTab32::altitudeFraction() const {
  return static_cast<float>(static_cast<double>(altitude_) / altitudeMax_);
}

STabletPoint TWinTab32::point() const {
  return {x_, y_, pressureFraction(), altitudeFraction(), buttons_, inProximity_};
}

}  // namespace pg
