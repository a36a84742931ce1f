#pragma once
// Motion blur and zoom blur: repeated two-tap averaging. Each pass replaces
// a pixel by the mean of two bilinear samples placed symmetrically about it,
// and every following pass halves the offset (h, h/2, ... while h >= 0.5), so
// that a few passes spread each pixel over the whole blur length. The passes
// alternate between a temporary plane and the view's work plane, which is
// restored from the unfiltered copy afterwards; the last pass's pixels are
// written onto the layer with the selection weight.
#include <cstdint>

#include "filters/kernel_context.h"

namespace pg {

// ------------------------------------------------------------- motion blur

// Record, 8 bytes: u8 distance (1..100 pixels), u8 mode (0 older form with
// the angle in the f32 at 4, 1 unclamped average, 2 clamped average), i16
// angle in degrees (modes 1 and 2), f32 angle in degrees (mode 0, else 0).
struct SFltMotionBlur {
  uint8_t distance = 1;
  uint8_t mode = 2;
  int16_t angle = 0;
  float oldAngle = 0;
};
inline constexpr int32_t kMotionBlurRecordSize = 8;
[[nodiscard]] bool readMotionBlurRecord(const void* param, int32_t size, SFltMotionBlur& out);
void writeMotionBlurRecord(const SFltMotionBlur& rec, uint8_t out[kMotionBlurRecordSize]);

// The number of passes for a distance: offsets distance / 2, halved while at least 0.5.
int32_t twoTapPassCount(double halfLength);

// BGRA8. Modes 1 and 2: theta = -angle; per pass with offset h,
// d = (Round(cos * h * 65536), Round(sin * h * 65536)); the pass covers the
// region grown by Ceil(|d| / 65536) and each pixel becomes the pair average
// of (x, y) * 65536 +- d, clamped into the layer (mode 2 the saturating
// form). Mode 0 (older recordings): theta = the f32 angle, not negated,
// samples at pixel centres, alpha the mean of the two sample alphas and
// colours weighted by them. With protected alpha only colour bytes change.
[[nodiscard]] bool motionBlur(const SFlt4Context& ctx, const SFltMotionBlur& rec);
[[nodiscard]] bool motionBlurKernel(const SFlt4Context* ctx, const void* param, int32_t size);

// --------------------------------------------------------------- zoom blur

// Record, 8 bytes: i16 centre x, i16 centre y (pixels from the middle of the
// work rectangle), u8 amount (1..100), u8 protect (the layer's flag when
// the record was made), u8 mode (1 clamped average, others unclamped), u8 zero.
struct SFltZoomBlur {
  int16_t centreX = 0;
  int16_t centreY = 0;
  uint8_t amount = 1;
  uint8_t protect = 0;
  uint8_t mode = 1;
};
inline constexpr int32_t kZoomBlurRecordSize = 8;
[[nodiscard]] bool readZoomBlurRecord(const void* param, int32_t size, SFltZoomBlur& out);
void writeZoomBlurRecord(const SFltZoomBlur& rec, uint8_t out[kZoomBlurRecordSize]);

// BGRA8: the centre C in 16.16 relative to the work rectangle's middle, D its
// diagonal; per pass k = round(h * 65536 / D), and a pixel at P becomes the
// pair average of P + d and P - d with d = floor((P - C) * k / 65536), points
// clamped into the layer; the margin of a pass is Ceil(h).
[[nodiscard]] bool zoomBlur(const SFlt4Context& ctx, const SFltZoomBlur& rec);
[[nodiscard]] bool zoomBlurKernel(const SFlt4Context* ctx, const void* param, int32_t size);

}  // namespace pg
