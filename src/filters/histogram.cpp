// The histogram of a filter's region and its picture.
#include "filters/histogram.h"

#include <algorithm>
#include <cmath>

#include "ui/channel_ops.h"
#include "ui/memory_graphic.h"

namespace pg {

void SHistogram::compute(const SFlt4Context& ctx) {
  if (ctx.source == nullptr || ctx.maskValue == nullptr || ctx.bounds.Right <= ctx.bounds.Left ||
      ctx.bounds.Bottom <= ctx.bounds.Top)
    return;
  *this = SHistogram{};
  constexpr float kFactor = 1.5378e-05f;
  for (int32_t y = ctx.bounds.Top; y < ctx.bounds.Bottom; ++y)
    for (int32_t x = ctx.bounds.Left; x < ctx.bounds.Right; ++x) {
      const uint32_t coverage = ctx.maskValue(ctx, x, y);
      const uint32_t p = ctx.source->getPixel(x, y);
      const float w = float(coverage * (p >> 24)) * kFactor;
      if (w == 0.0f) continue;
      const uint32_t r = (p >> 16) & 0xFF, g = (p >> 8) & 0xFF, b = p & 0xFF;
      bins[kRed][r] += w;
      bins[kGreen][g] += w;
      bins[kBlue][b] += w;
      bins[kGrey][(r * 19595 + g * 38469 + b * 7472) >> 16] += w;
      total += w;
    }
  for (size_t c = 0; c < 4; ++c) {
    largest[c] = 0.0f;
    lowest[c] = 255;
    highest[c] = 0;
    count[c] = 0;
    for (int32_t i = 255; i >= 0; --i)
      if (bins[c][size_t(i)] > 0.0f) lowest[c] = i;
    for (int32_t i = 0; i < 256; ++i)
      if (bins[c][size_t(i)] > 0.0f) {
        highest[c] = i;
        ++count[c];
        largest[c] = std::max(largest[c], bins[c][size_t(i)]);
      }
  }
}

namespace {

// Multiplies the colour bytes of a pixel by a colour (0xRRGGBB).
void multiplyRgb(uint32_t* pixel, uint32_t rgb) {
  uint32_t out = *pixel & 0xFF000000u;
  for (int shift = 0; shift < 24; shift += 8) {
    const uint32_t a = (*pixel >> shift) & 0xFF, b = (rgb >> shift) & 0xFF;
    out |= ((a * b + 127) / 255) << shift;
  }
  *pixel = out;
}

void drawChannel(const SHistogram& h, size_t c, uint32_t rgb, bool black, TMemoryGraphic& g) {
  if (h.count[c] == 0) return;
  const float scale = std::min(h.total * 4.0f / float(h.count[c]), h.largest[c]);
  if (!(scale > 0.0f)) return;
  for (int32_t b = 0; b < 256; ++b) {
    const int32_t top = std::clamp(int32_t(std::lround(100.0 - h.bins[c][size_t(b)] * (100.0 / scale))), 0, 100);
    if (top >= 100) continue;
    for (int32_t y = top + 1; y <= 100; ++y) {
      uint32_t* p = g.scanLine(y);
      if (p == nullptr) continue;
      if (black)
        p[b + 1] = 0xFF000000u;
      else
        multiplyRgb(p + b + 1, rgb);
    }
  }
}

}  // namespace

void drawHistogram(const SHistogram& h, uint8_t mode, uint32_t shadow, uint32_t highlight, TMemoryGraphic& g) {
  if ((g.width() != 258 || g.height() != 102) && !g.setSize(258, 102)) return;
  g.fillRect(TRect{0, 0, 258, 102}, 0xFFFFFFFFu, copyChannel, copyChannel);
  g.fillRect(TRect{0, 0, 258, 1}, shadow, copyChannel, copyChannel);
  g.fillRect(TRect{0, 0, 1, 102}, shadow, copyChannel, copyChannel);
  g.fillRect(TRect{0, 101, 258, 102}, highlight, copyChannel, copyChannel);
  g.fillRect(TRect{257, 0, 258, 102}, highlight, copyChannel, copyChannel);
  const uint32_t tints[3] = {0xCC5555u, 0x55CC55u, 0x5555CCu};
  if (mode == 0) {
    for (size_t c = 0; c < 3; ++c) drawChannel(h, c, tints[c], false, g);
  } else if (mode >= 1 && mode <= 3) {
    drawChannel(h, size_t(mode - 1), tints[mode - 1], false, g);
  } else if (mode == 4) {
    drawChannel(h, SHistogram::kGrey, 0, true, g);
  }
}

}  // namespace pg
