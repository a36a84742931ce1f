#include "ui/display_controls.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "platform/message_service.h"
#include "platform/res_ids.h"

namespace pg {

double progressRatio(int32_t position, int32_t maximum) {
  return maximum == 0 ? 32767.0 : static_cast<double>(position) / static_cast<double>(maximum);
}

int32_t progressFillWidth(int32_t position, int32_t maximum, int32_t innerWidth) {
  const double r = std::clamp(progressRatio(position, maximum), 0.0, 1.0);
  return std::min(innerWidth, static_cast<int32_t>(std::nearbyint(r * innerWidth + 0.5)));
}

uint64_t progressRemainingMs(int32_t position, int32_t maximum, uint32_t elapsedMs) {
  if (position < 1) return 0;
  const int64_t left = static_cast<int64_t>(maximum) - position;
  if (left <= 0) return 0;
  return static_cast<uint64_t>(left) * elapsedMs / static_cast<uint64_t>(position);
}

namespace {
// The time as the text of the id formats it: hours, minutes, seconds, milliseconds.
std::string timeText(uint32_t formatId, uint64_t ms) {
  return formatRes(formatId, {int64_t(std::min<uint64_t>(ms / 3600000, 2147483647u)), int64_t(ms % 3600000 / 60000),
                              int64_t(ms % 60000 / 1000), int64_t(ms % 1000)});
}
}  // namespace

std::string progressLabel(uint8_t mode, int32_t position, int32_t maximum, uint32_t startMs, uint32_t nowMs) {
  char buf[64];
  const uint32_t elapsed = nowMs - startMs;
  switch (mode) {
    case 0:
      std::snprintf(buf, sizeof buf, "%1.2f%%", std::clamp(progressRatio(position, maximum) * 100.0, 0.0, 100.0));
      return buf;
    case 1:
      std::snprintf(buf, sizeof buf, "%d / %d", position, maximum);
      return buf;
    case 2:
      return timeText(kResProgressElapsed, elapsed);
    default:
      return timeText(kResProgressRemaining, progressRemainingMs(position, maximum, elapsed));
  }
}

SNavigatorFit navigatorFit(int32_t cw, int32_t ch, int32_t dw, int32_t dh, float zoom, bool compact) {
  SNavigatorFit f;
  if (dw < 1 || dh < 1) return f;
  int32_t bw = 32, bh = 32;
  if (dw >= dh)
    bh = static_cast<int32_t>(std::nearbyint(32.0 * dh / dw + 0.5));
  else
    bw = static_cast<int32_t>(std::nearbyint(32.0 * dw / dh + 0.5));
  int32_t aw = cw, ah = ch;
  if (compact && bw + 4 <= cw && bh + 4 <= ch) {
    aw = bw + 4;
    ah = bh + 4;
  }
  aw = std::max(aw, 5);
  ah = std::max(ah, 5);
  f.fitScale = std::min(static_cast<float>(aw - 4) / dw, static_cast<float>(ah - 4) / dh);
  f.displayScale = zoom > 0.0f ? f.fitScale / zoom : f.fitScale;
  const int32_t iw = std::max(static_cast<int32_t>(dw * f.fitScale) + 4, 5);
  const int32_t ih = std::max(static_cast<int32_t>(dh * f.fitScale) + 4, 5);
  const int32_t left = (cw - iw) / 2, top = (ch - ih) / 2;
  f.imageRect = {left, top, left + iw, top + ih};
  f.valid = true;
  return f;
}

std::array<TPointF, 4> navigatorFrame(const SNavigatorFit& fit, int32_t cx, int32_t cy, int32_t vw, int32_t vh,
                                      float rotation) {
  const float ox = fit.imageRect.Left + 2 + cx * fit.fitScale;
  const float oy = fit.imageRect.Top + 2 + cy * fit.fitScale;
  const float hx = (vw - 1) / 2.0f, hy = (vh - 1) / 2.0f;
  const float c = std::cos(rotation), s = std::sin(rotation);
  const TPointF corners[4] = {{-hx, -hy}, {hx, -hy}, {hx, hy}, {-hx, hy}};
  std::array<TPointF, 4> out;
  for (int i = 0; i < 4; ++i) {
    const float x = corners[i].X * c - corners[i].Y * s;
    const float y = corners[i].X * s + corners[i].Y * c;
    out[static_cast<size_t>(i)] = {ox + x * fit.displayScale, oy + y * fit.displayScale};
  }
  return out;
}

float navigatorAngle(const SNavigatorFit& fit, int32_t x, int32_t y, bool negate) {
  const float cx = (fit.imageRect.Left + fit.imageRect.Right) / 2.0f;
  const float cy = (fit.imageRect.Top + fit.imageRect.Bottom) / 2.0f;
  const float a = std::atan2(y - cy, x - cx);
  return negate ? -a : a;
}

TPoint navigatorCentreAt(const SNavigatorFit& fit, int32_t x, int32_t y, const std::array<TPointF, 4>& frame) {
  if (!(fit.fitScale > 0.0f)) return {};
  const float iw = static_cast<float>(fit.imageRect.Right - fit.imageRect.Left - 4);
  const float ih = static_cast<float>(fit.imageRect.Bottom - fit.imageRect.Top - 4);
  float minX = frame[0].X, maxX = frame[0].X, minY = frame[0].Y, maxY = frame[0].Y;
  for (const TPointF& p : frame) {
    minX = std::min(minX, p.X);
    maxX = std::max(maxX, p.X);
    minY = std::min(minY, p.Y);
    maxY = std::max(maxY, p.Y);
  }
  // The frame may leave the document by half its overhang on each axis.
  const float slackX = std::max(0.0f, (maxX - minX - iw) / 2.0f);
  const float slackY = std::max(0.0f, (maxY - minY - ih) / 2.0f);
  const float px = std::clamp(static_cast<float>(x - fit.imageRect.Left - 2), -slackX, iw + slackX);
  const float py = std::clamp(static_cast<float>(y - fit.imageRect.Top - 2), -slackY, ih + slackY);
  return {static_cast<int32_t>(std::nearbyint(px / fit.fitScale)), static_cast<int32_t>(std::nearbyint(py / fit.fitScale))};
}

}  // namespace pg
