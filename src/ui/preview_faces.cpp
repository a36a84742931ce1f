#include "ui/preview_faces.h"

#include <algorithm>

#include "ui/appearance_manager.h"
#include "ui/ui_colour.h"

namespace pg {

namespace {

// One pixel of black at `alpha` blended in.
void dot(TMemoryGraphic& g, int32_t x, int32_t y, int32_t alpha) {
  const auto a = static_cast<uint32_t>(std::clamp(alpha, 0, 255));
  g.fillRect({x, y, x + 1, y + 1}, a << 24, lerpChannel, keepChannel);
}

// A line of pixels from `from` toward the centre `to` along one axis, its
// opacity growing from 0 at `from` toward 128 at `to`; the centre itself is
// left to the caller, so that the four lines do not darken it four times.
void fadeLine(TMemoryGraphic& g, bool horizontal, int32_t fixed, int32_t from, int32_t to) {
  const int32_t span = to - from;
  if (span == 0) return;
  const int32_t step = span > 0 ? 1 : -1;
  for (int32_t p = from; p != to; p += step) {
    const int32_t alpha = 128 * (p - from) / span;
    if (horizontal)
      dot(g, p, fixed, alpha);
    else
      dot(g, fixed, p, alpha);
  }
}

}  // namespace

void paintLoupeGround(TMemoryGraphic& g) {
  if (!g.isValid()) return;
  g.fillRect({0, 0, g.width(), g.height()}, 0xFFCCCCCCu, copyChannel, copyChannel);
}

void paintLoupeFrame(TMemoryGraphic& g, bool grid) {
  if (!g.isValid()) return;
  const TUiSysColors& c = uiSysColors();
  const int32_t w = g.width(), h = g.height();
  g.frameBevel({0, 0, w, h}, 1, c.btnShadow, c.btnHighlight, copyChannel, copyChannel);
  g.frameRect({1, 1, w - 1, h - 1}, 1, c.windowFrame, copyChannel, copyChannel);
  if (!grid) return;
  const int32_t cx = w / 2, cy = h / 2;
  fadeLine(g, true, cy, 2, cx);
  fadeLine(g, true, cy, w - 4, cx);
  fadeLine(g, false, cx, 2, cy);
  fadeLine(g, false, cx, h - 4, cy);
  dot(g, cx, cy, 128);
}

void paintPresetFace(TMemoryGraphic& face, const TMemoryGraphic& content, bool checker) {
  if (!face.isValid()) return;
  const TUiSysColors& c = uiSysColors();
  const int32_t w = face.width(), h = face.height();
  face.frameRect({0, 0, w, h}, 1, c.btnShadow, copyChannel, copyChannel);
  face.frameRect({1, 1, w - 1, h - 1}, 1, c.window, copyChannel, copyChannel);
  if (!content.isValid()) return;
  if (checker) {
    face.fillChecker({2, 2, w - 2, h - 2}, 4, 4, kCheckerLight, kCheckerDark, copyChannel, copyChannel);
    face.blendFrom(2, 2, content.width(), content.height(), content, 0, 0, lerpChannel, keepChannel);
  } else {
    face.copyPixels(2, 2, content.width(), content.height(), content.pixels(), 0, 0, content.width(),
                    content.height());
  }
}

}  // namespace pg
