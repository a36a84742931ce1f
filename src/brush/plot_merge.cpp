#include "brush/plot_merge.h"

#include "core/blend_arith.h"
#include "core/colour.h"

namespace pg {

namespace {

constexpr std::array<uint32_t, 256> makeReciprocal24() {
  std::array<uint32_t, 256> t{};
  for (uint32_t a = 1; a < 256; ++a) t[a] = ((1u << 24) + a - 1) / a;
  return t;
}

}  // namespace

const std::array<uint32_t, 256> reciprocal24 = makeReciprocal24();

void plotMax(uint8_t* pixel, uint32_t value, uint32_t coverage) {
  const uint32_t v = productAt(coverage, value);
  if (v > *pixel) *pixel = static_cast<uint8_t>(v);
}

void erasePixel(uint32_t* pixel, uint32_t /*colour*/, uint32_t coverage) {
  if (coverage == 0) return;
  const uint32_t p = *pixel;
  const uint32_t a = pixelAlpha(p);
  *pixel = (p & 0x00FFFFFFu) | ((a - productAt(a, coverage)) << 24);
}

void blendPixelOver(uint32_t* pixel, uint32_t colour, uint32_t coverage) {
  const uint32_t c = coverage > 255 ? 255u : coverage;
  const uint32_t A = lerp255(pixelAlpha(colour), pixelAlpha(*pixel), c);
  *pixel = (*pixel & 0x00FFFFFFu) | (A << 24);
  if (A != 0) lerpPixelRgb(pixel, colour, c);
}

void blendPixelFalloff(const CurveTable& curve, uint32_t* pixel, uint32_t /*colour*/, uint32_t coverage) {
  if (coverage == 0) return;
  SHls hls;
  pixelToHls(*pixel, hls);
  uint32_t l = lookupCurve(curve, static_cast<uint32_t>(hls.Lightness < 0 ? 0 : hls.Lightness));
  // A burn curve reaches past full lightness; the HLS conversion takes 0..255.0 only.
  if (l > kFullWeight) l = kFullWeight;
  hls.Lightness = static_cast<int32_t>(l);
  lerpPixelRgb(pixel, hlsToPixel(hls), coverage > 255 ? 255u : coverage);
}

}  // namespace pg
