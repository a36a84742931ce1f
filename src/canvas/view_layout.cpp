// The document window's view arithmetic.
#include "canvas/view_layout.h"

#include <algorithm>
#include <cmath>

#include "document/paper.h"

namespace pg {

namespace {

int32_t clamp32(int64_t v) { return static_cast<int32_t>(std::clamp<int64_t>(v, INT32_MIN, INT32_MAX)); }

int64_t roundHalfUp(double v) {
  if (!std::isfinite(v)) return 0;
  return static_cast<int64_t>(std::floor(std::clamp(v, -4.0e18, 4.0e18) + 0.5));
}

float saneZoom(float z) { return std::isfinite(z) && z > 0.0f ? z : 1.0f; }

}  // namespace

SScrollAxis scrollAxisLayout(int32_t imageSize, float z, int32_t margin, int32_t client) {
  z = saneZoom(z);
  SScrollAxis a;
  a.maximum = clamp32(roundHalfUp(static_cast<double>(imageSize) * z) + 2 * int64_t{margin});
  a.page = std::max(client, 0);
  a.largeChange = std::max(1, clamp32(static_cast<int64_t>(static_cast<double>(client - 16) / z)));
  a.smallChange = std::max(1, clamp32(roundHalfUp(10.0 * z)));
  return a;
}

int32_t clampScrollPosition(const SScrollAxis& axis, int64_t position) {
  return static_cast<int32_t>(std::clamp<int64_t>(position, 0, axis.maxPosition()));
}

SAxisPlacement axisPlacement(int32_t position, int32_t margin, float z) {
  z = saneZoom(z);
  SAxisPlacement p;
  if (position < margin) {
    p.origin = margin - position;
    p.offset = 0;
  } else {
    p.origin = 0;
    p.offset = clamp32(static_cast<int64_t>(static_cast<double>(position - margin) / z));
  }
  return p;
}

SRatio fitRatio(SSize image, SSize client, float sinA, float cosA, bool allowEnlarge) {
  const int64_t availW = int64_t{client.W} - kFitBorder;
  const int64_t availH = int64_t{client.H} - kFitBorder;
  if (availW <= 0 || availH <= 0 || image.W <= 0 || image.H <= 0) return SRatio{1, 16};
  const double c = std::fabs(static_cast<double>(cosA));
  const double s = std::fabs(static_cast<double>(sinA));
  const double w = image.W * c + image.H * s;
  const double h = image.W * s + image.H * c;
  // The extent rounded up: an exact size stays as it is, a turned one takes
  // the pixel it reaches into.
  const auto up = [](double v) { return clamp32(std::max<int64_t>(1, static_cast<int64_t>(std::ceil(v - 1e-6)))); };
  SRatio r;
  if (static_cast<double>(availH) * w > static_cast<double>(availW) * h) {
    r = SRatio{clamp32(availW), up(w)};
  } else {
    r = SRatio{clamp32(availH), up(h)};
  }
  if (!allowEnlarge && r.Den < r.Num) return SRatio{1, 1};
  return r;
}

TPoint windowDeltaToImage(int32_t dx, int32_t dy, float z, float sinA, float cosA, bool rotated) {
  z = saneZoom(z);
  const double x = dx, y = dy;
  if (!rotated) return {clamp32(static_cast<int64_t>(x / z)), clamp32(static_cast<int64_t>(y / z))};
  return {clamp32(static_cast<int64_t>((x * cosA - y * sinA) / z)),
          clamp32(static_cast<int64_t>((x * sinA + y * cosA) / z))};
}

TPoint autoScrollStep(TPoint pointer, SSize client, int32_t barWidth, int32_t barHeight) {
  const int32_t left = kAutoScrollInset;
  const int32_t top = kAutoScrollInset;
  const int32_t right = std::max(left, client.W - barWidth - kAutoScrollInset);
  const int32_t bottom = std::max(top, client.H - barHeight - kAutoScrollInset);
  const int32_t cx = std::clamp(pointer.X, left, right);
  const int32_t cy = std::clamp(pointer.Y, top, bottom);
  const auto step = [](int64_t d) {
    return static_cast<int32_t>(std::clamp<int64_t>(d, -kAutoScrollStepMax, kAutoScrollStepMax)) * kAutoScrollFactor;
  };
  return {step(int64_t{cx} - pointer.X), step(int64_t{cy} - pointer.Y)};
}

TRect visibleImageRect(const TPaper& doc, SSize client) {
  const float corners[4][2] = {{0.0f, 0.0f},
                               {static_cast<float>(client.W), 0.0f},
                               {0.0f, static_cast<float>(client.H)},
                               {static_cast<float>(client.W), static_cast<float>(client.H)}};
  double l = 1e30, t = 1e30, r = -1e30, b = -1e30;
  for (const auto& c : corners) {
    float x = c[0], y = c[1];
    doc.windowToPaperF(client.W, client.H, x, y);
    l = std::min<double>(l, std::round(x));
    t = std::min<double>(t, std::round(y));
    r = std::max<double>(r, std::round(x));
    b = std::max<double>(b, std::round(y));
  }
  TRect rect{clamp32(static_cast<int64_t>(std::clamp(l, -4e9, 4e9))), clamp32(static_cast<int64_t>(std::clamp(t, -4e9, 4e9))),
             clamp32(static_cast<int64_t>(std::clamp(r, -4e9, 4e9)) + 1),
             clamp32(static_cast<int64_t>(std::clamp(b, -4e9, 4e9)) + 1)};
  if (!intersectRect(rect, TRect{0, 0, doc.width(), doc.height()})) return TRect{};
  return rect;
}

TRect imageWindowRect(const TPaper& doc) {
  const double z = doc.zoomValue();
  const double left = doc.view().scrollOrigin().X - static_cast<double>(doc.view().scrollOffset().X) * z;
  const double top = doc.view().scrollOrigin().Y - static_cast<double>(doc.view().scrollOffset().Y) * z;
  return TRect{clamp32(static_cast<int64_t>(std::floor(left))), clamp32(static_cast<int64_t>(std::floor(top))),
               clamp32(static_cast<int64_t>(std::ceil(left + doc.width() * z))),
               clamp32(static_cast<int64_t>(std::ceil(top + doc.height() * z)))};
}

float clampWindowCoordinate(float v) {
  constexpr float kLimit = 1.0e6f;
  if (!std::isfinite(v)) return 0.0f;
  return std::clamp(v, -kLimit, kLimit);
}

}  // namespace pg
