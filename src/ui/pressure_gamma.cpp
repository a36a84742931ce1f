#include "ui/pressure_gamma.h"

#include <algorithm>
#include <cmath>

#include "ui/appearance_manager.h"

namespace pg {

namespace {
// Round to nearest, ties to even (the default rounding mode).
int32_t roundEven(float v) { return static_cast<int32_t>(std::nearbyint(v)); }
}  // namespace

float gammaAfterDrag(float gamma, int32_t d, bool adjust) {
  const int32_t p = roundEven(gamma * 100.0f + 0.5f);
  if (p > 100 || (p == 100 && d >= 1)) d *= 5;
  int32_t n = p + d;
  if ((p < 100 && n > 100) || (p > 100 && n < 100)) return 1.0f;
  if (adjust) {
    const int32_t p2 = roundEven(static_cast<float>(p) + 0.5f);
    n = (p2 / 5 + d) * 5;
  }
  return static_cast<float>(std::clamp(n, 5, 600)) / 100.0f;
}

void paintPressureGamma(TMemoryGraphic& g, float gamma) {
  if (!g.isValid()) return;
  const TUiSysColors& c = uiSysColors();
  const int32_t w = g.width(), h = g.height();
  g.fillRect({0, 0, w, h}, uiWithAlpha(c.grayText, 255), copyChannel, copyChannel);
  g.fillRect({1, 1, w - 1, h - 1}, c.window, copyChannel, copyChannel);
  const int32_t iw = w - 4, ih = h - 4;
  if (iw < 1 || ih < 1) return;
  // The curve at four times the inner size, then averaged down 4 x 4.
  TMemoryGraphic big(iw * 4, ih * 4, c.btnFace);
  if (!big.isValid()) return;
  const int32_t W = big.width(), H = big.height();
  const TUiColor curve = uiWithAlpha(c.highlight, 128);
  for (int32_t x = 0; x < W; ++x) {
    const float t = static_cast<float>(x) / static_cast<float>(W);
    const int32_t y = roundEven(static_cast<float>(H) - std::pow(t, gamma) * static_cast<float>(H) + 0.5f);
    big.fillRect({x, std::max(y, 0), x + 1, H}, curve, lerpChannel, keepChannel);
  }
  for (int32_t y = 0; y < ih; ++y)
    for (int32_t x = 0; x < iw; ++x) {
      uint32_t sum[4] = {0, 0, 0, 0};
      for (int32_t j = 0; j < 4; ++j)
        for (int32_t i = 0; i < 4; ++i) {
          const uint32_t px = big.getPixel(x * 4 + i, y * 4 + j);
          for (int k = 0; k < 4; ++k) sum[k] += (px >> (8 * k)) & 0xFF;
        }
      g.setPixel(2 + x, 2 + y, packRgba(static_cast<uint8_t>(sum[0] / 16), static_cast<uint8_t>(sum[1] / 16),
                                        static_cast<uint8_t>(sum[2] / 16), 255));
    }
  // The dotted cross, placed symmetrically from both ends.
  const TUiColor dot = uiWithAlpha(c.windowText, 51);
  const int32_t cy = 2 + (ih - 1) / 2, cx = 2 + (iw - 1) / 2;
  for (int32_t i = (iw - 1) / 4; i >= 0; --i)
    for (int32_t x : {2 + 2 * i, 2 + iw - 1 - 2 * i}) g.fillRect({x, cy, x + 1, cy + 1}, dot, lerpChannel, keepChannel);
  for (int32_t i = (ih - 1) / 4; i >= 0; --i)
    for (int32_t y : {2 + 2 * i, 2 + ih - 1 - 2 * i}) g.fillRect({cx, y, cx + 1, y + 1}, dot, lerpChannel, keepChannel);
}

}  // namespace pg
