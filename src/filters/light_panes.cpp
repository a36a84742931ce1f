#include "filters/light_panes.h"

#include <algorithm>
#include <cmath>
#include <numbers>

#include "core/blend_arith.h"
#include "core/det_math.h"
#include "ui/channel_ops.h"

namespace pg {

namespace {

constexpr double kRad = std::numbers::pi / 180.0;
constexpr TUiColor kMark = 0xFFFFFFFFu;
constexpr TUiColor kMarkShadow = 0xFF000000u;
constexpr TUiColor kTrack = 0xFF808080u;
constexpr TUiColor kBeam = 0xFFFFD040u;

double distance(TPointF a, TPointF b) { return std::hypot(double(a.X) - b.X, double(a.Y) - b.Y); }

// An angle wrapped into -180..180.
double wrap180(double deg) {
  if (!std::isfinite(deg)) return 0.0;
  double r = std::fmod(deg + 180.0, 360.0);
  if (r < 0) r += 360.0;
  return r - 180.0;
}

TPointF along(TPointF from, double deg, double length) {
  return TPointF{float(from.X + std::cos(deg * kRad) * length), float(from.Y + std::sin(deg * kRad) * length)};
}

// A mark drawn white over a dark shadow, so it shows on any picture.
void markLine(TMemoryGraphic& g, TPointF a, TPointF b, TUiColor colour) {
  // The graphic was sized by paint(); a mark off it is clipped.
  (void)g.drawLineAA(TPointF{a.X + 1, a.Y + 1}, TPointF{b.X + 1, b.Y + 1}, kMarkShadow, lerpChannel, keepChannel);
  (void)g.drawLineAA(a, b, colour, lerpChannel, keepChannel);  // as above
}

// The lamp's handle: a ring with a bright core.
void lampHandle(TMemoryGraphic& g, TPointF c) {
  // The graphic was sized by paint(); a handle off it is clipped.
  (void)g.fillDiscF(c, kMarkShadow, 6.0f, lerpChannel, keepChannel);
  (void)g.fillDiscF(c, kBeam, 4.5f, lerpChannel, keepChannel);  // as above
  (void)g.fillDiscF(c, kMark, 2.0f, lerpChannel, keepChannel);  // as above
}

}  // namespace

double spreadFromAngles(double toDeg, double fromDeg) {
  const double twice = wrap180(2.0 * wrap180(toDeg - fromDeg));
  return std::clamp(std::fabs(twice), 3.0, 180.0);
}

// ---- the preview pane ----------------------------------------------------------

bool CLightPreviewModel::attach(const TMTC& area) {
  if (!isPlaneReady(&area) || area.Width <= 0 || area.Height <= 0) return false;
  const double scale = std::min(double(kPane) / area.Width, double(kPane) / area.Height);
  const int32_t w = std::clamp(int32_t(std::lround(area.Width * scale)), 1, kPane);
  const int32_t h = std::clamp(int32_t(std::lround(area.Height * scale)), 1, kPane);
  if (!reduced_.Resize(w, h)) return false;
  for (int32_t y = 0; y < h; ++y) {
    const int32_t sy = int32_t(int64_t(y) * area.Height / h);
    for (int32_t x = 0; x < w; ++x) *reduced_.pixelAt(x, y) = area.getPixel(int32_t(int64_t(x) * area.Width / w), sy);
  }
  origin_ = TPoint{(kPane - w) / 2, (kPane - h) / 2};
  return true;
}

TPointF CLightPreviewModel::lampPoint(const SLampView& v) const {
  const double w = reduced_.Width, h = reduced_.Height;
  return TPointF{float(origin_.X + w / 2.0 + v.x * w), float(origin_.Y + h / 2.0 + v.y * h)};
}

bool CLightPreviewModel::relight(const SFltLightingHeader& header, const SLight4& light, TMTC& out) const {
  if (!isPlaneReady(&reduced_)) return false;
  CLightEval lamp;
  if (!lamp.setup(light, reduced_.Width, reduced_.Height)) return false;
  if (!out.Resize(reduced_.Width, reduced_.Height)) return false;
  const uint32_t amb = header.AmbientColour;
  const int32_t ambB = ambientOffset(uint8_t(amb), header.AmbientBrightness);
  const int32_t ambG = ambientOffset(uint8_t(amb >> 8), header.AmbientBrightness);
  const int32_t ambR = ambientOffset(uint8_t(amb >> 16), header.AmbientBrightness);
  for (int32_t y = 0; y < reduced_.Height; ++y)
    for (int32_t x = 0; x < reduced_.Width; ++x) {
      int32_t lr = 0, lg = 0, lb = 0;
      lamp.evaluate(double(x), double(y), lr, lg, lb);
      const uint32_t s = reduced_.getPixel(x, y);
      const uint32_t nb = uint32_t(std::clamp(int32_t(s & 0xFF) + lb + ambB, 0, 255));
      const uint32_t ng = uint32_t(std::clamp(int32_t((s >> 8) & 0xFF) + lg + ambG, 0, 255));
      const uint32_t nr = uint32_t(std::clamp(int32_t((s >> 16) & 0xFF) + lr + ambR, 0, 255));
      *out.pixelAt(x, y) = (s & 0xFF000000u) | nr << 16 | ng << 8 | nb;
    }
  return true;
}

ELampDrag CLightPreviewModel::press(const SLampView& v, TPointF p) const {
  if (v.kind == lkPoint) return ELampDrag::Move;
  const double d = distance(p, lampPoint(v));
  if (d < 4.0) return ELampDrag::Move;
  if (d < 28.0) return ELampDrag::Direction;
  if (d < 36.0) return ELampDrag::Spread;
  return ELampDrag::Move;
}

void CLightPreviewModel::drag(ELampDrag mode, SLampView& v, TPointF p) const {
  const TPointF lamp = lampPoint(v);
  const double dx = double(p.X) - lamp.X, dy = double(p.Y) - lamp.Y;
  const double angle = std::atan2(dy, dx) / kRad;
  switch (mode) {
    case ELampDrag::Move: {
      const double w = std::max(reduced_.Width, 1), h = std::max(reduced_.Height, 1);
      v.x = std::clamp((p.X - origin_.X - w / 2.0) / w, -1.5, 1.5);
      v.y = std::clamp((p.Y - origin_.Y - h / 2.0) / h, -1.5, 1.5);
      break;
    }
    case ELampDrag::Direction: {
      if (dx == 0.0 && dy == 0.0) break;
      v.direction = angle;
      const double r = std::min(kDirectionRadius, std::hypot(dx, dy)) / kDirectionRadius;
      v.pitch = std::clamp(90.0 - std::acos(r) / kRad, 0.0, 90.0);
      break;
    }
    case ELampDrag::Spread:
      if (dx == 0.0 && dy == 0.0) break;
      v.spread = spreadFromAngles(angle, v.direction);
      break;
    default:
      break;
  }
}

bool CLightPreviewModel::paint(TMemoryGraphic& g, const TMTC* lit, const SLampView& v, TUiColor background) const {
  if (!g.setSize(kPane, kPane)) return false;
  (void)g.fillRect(TRect{0, 0, kPane, kPane}, background, copyChannel, copyChannel);  // the graphic was just sized
  const TMTC* shown = lit != nullptr && isPlaneReady(lit) ? lit : &reduced_;
  if (isPlaneReady(shown)) {
    // The picture shown opaque over a checker where it is transparent.
    const TRect r{origin_.X, origin_.Y, origin_.X + shown->Width, origin_.Y + shown->Height};
    (void)g.fillChecker(r, 8, 8, 0xFFFFFFFFu, 0xFFCCCCCCu, copyChannel, copyChannel);  // clipped to the graphic
    for (int32_t y = 0; y < shown->Height; ++y)
      // Clipped to the graphic.
      (void)g.blendFromPixels(r.Left, r.Top + y, shown->Width, 1, shown->pixelAt(0, y), 0, 0, shown->Width, 1,
                              lerpChannel, keepChannel);
  }
  const TPointF lamp = lampPoint(v);
  if (v.kind != lkPoint) {
    const double len = kDirectionRadius * std::sin(std::clamp(v.pitch, 0.0, 90.0) * kRad);
    markLine(g, lamp, along(lamp, v.direction, len), kBeam);
    markLine(g, lamp, along(lamp, v.direction - v.spread / 2.0, 32.0), kMark);
    markLine(g, lamp, along(lamp, v.direction + v.spread / 2.0, 32.0), kMark);
  }
  lampHandle(g, lamp);
  return true;
}

// ---- the side view ---------------------------------------------------------------

TPointF CLightSideModel::lampPoint(const SLampView& v) const {
  const double len = kTrackBottom - kTrackTop;
  return TPointF{float(kTrackX), float(kTrackTop + (1.0 - std::clamp(v.height, 0.0, 1.0)) * len)};
}

ELampDrag CLightSideModel::press(const SLampView& v, TPointF p) const {
  if (v.kind == lkPoint) return ELampDrag::Height;
  const double d = distance(p, lampPoint(v));
  if (d <= 4.0) return ELampDrag::Height;
  if (std::fabs(d - 24.0) <= 4.0) return ELampDrag::Pitch;
  if (std::fabs(d - 32.0) <= 4.0) return ELampDrag::Spread;
  return ELampDrag::Height;
}

void CLightSideModel::drag(ELampDrag mode, SLampView& v, TPointF p) const {
  const TPointF lamp = lampPoint(v);
  const double dx = double(p.X) - lamp.X, dy = double(p.Y) - lamp.Y;
  // Angles from straight down, turning toward the right.
  const double fromDown = std::atan2(dx, dy) / kRad;
  switch (mode) {
    case ELampDrag::Height: {
      const double len = kTrackBottom - kTrackTop;
      v.height = std::clamp((len - (double(p.Y) - kTrackTop)) / len, 0.0, 1.0);
      break;
    }
    case ELampDrag::Pitch:
      if (dx == 0.0 && dy == 0.0) break;
      v.pitch = std::clamp(fromDown, 0.0, 90.0);
      break;
    case ELampDrag::Spread:
      if (dx == 0.0 && dy == 0.0) break;
      v.spread = spreadFromAngles(fromDown, v.pitch);
      break;
    default:
      break;
  }
}

bool CLightSideModel::paint(TMemoryGraphic& g, const SLampView& v, const SLight4& light, TUiColor background) const {
  if (!g.setSize(kWidth, kHeight)) return false;
  (void)g.fillRect(TRect{0, 0, kWidth, kHeight}, background, copyChannel, copyChannel);  // the graphic was just sized
  // The fall-off: a lamp of the same kind at the square's centre, at its
  // height, seen from above, light added to black.
  const TRect sq{kWidth - kSquare - 6, (kHeight - kSquare) / 2, kWidth - 6, (kHeight + kSquare) / 2};
  SLight4 probe = light;
  probe.X = 0.5f;
  probe.Y = 0.5f;
  probe.Colour = 0xFFFFFFFFu;
  probe.Intensity = 100;
  CLightEval lamp;
  if (lamp.setup(probe, kSquare, kSquare)) {
    for (int32_t y = 0; y < kSquare; ++y)
      for (int32_t x = 0; x < kSquare; ++x) {
        int32_t r = 0, gg = 0, b = 0;
        lamp.evaluate(x + 0.5, y + 0.5, r, gg, b);
        const uint32_t c = uint32_t(std::clamp(gg, 0, 255));
        g.setPixel(sq.Left + x, sq.Top + y, 0xFF000000u | c << 16 | c << 8 | c);
      }
  }
  (void)g.frameRect(sq, 1, kTrack, copyChannel, copyChannel);  // inside the graphic sized above
  // The track with a tick at each end.
  // Inside the graphic sized above.
  (void)g.fillRect(TRect{kTrackX, kTrackTop, kTrackX + 1, kTrackBottom + 1}, kTrack, copyChannel, copyChannel);
  // As above.
  (void)g.fillRect(TRect{kTrackX - 4, kTrackTop, kTrackX + 5, kTrackTop + 1}, kTrack, copyChannel, copyChannel);
  // As above.
  (void)g.fillRect(TRect{kTrackX - 4, kTrackBottom, kTrackX + 5, kTrackBottom + 1}, kTrack, copyChannel, copyChannel);
  const TPointF at = lampPoint(v);
  if (v.kind != lkPoint) {
    // Screen angle of "from straight down, toward the right" a: 90 - a.
    auto down = [&](double a, double len) { return along(at, 90.0 - a, len); };
    markLine(g, at, down(v.pitch, kPitchRadius), kBeam);
    markLine(g, at, down(v.pitch - v.spread / 2.0, kSpreadLength), kMark);
    markLine(g, at, down(v.pitch + v.spread / 2.0, kSpreadLength), kMark);
  }
  lampHandle(g, at);
  return true;
}

SLampView lampViewOf(const SLight4& light, int32_t heightMax) {
  SLampView v;
  v.kind = light.Kind;
  v.x = std::isfinite(light.X) ? light.X - 0.5 : 0.0;
  v.y = std::isfinite(light.Y) ? light.Y - 0.5 : 0.0;
  v.direction = std::isfinite(light.Direction) ? light.Direction / kRad : 0.0;
  v.pitch = std::isfinite(light.Pitch) ? light.Pitch / kRad : 0.0;
  v.spread = light.Spread;
  v.height = heightMax > 0 ? std::clamp(double(light.Height) / heightMax, 0.0, 1.0) : 0.0;
  return v;
}

void applyLampView(const SLampView& v, int32_t heightMax, SLight4& light) {
  light.X = float(v.x + 0.5);
  light.Y = float(v.y + 0.5);
  light.Height = int32_t(std::lround(v.height * heightMax));
  if (light.Kind != lkPoint) {
    light.Direction = float(v.direction * kRad);
    light.Pitch = float(v.pitch * kRad);
    light.Spread = int32_t(std::lround(v.spread));
  }
}

}  // namespace pg
