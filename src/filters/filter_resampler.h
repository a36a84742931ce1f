#pragma once
// The area-averaging sampler of the rotate and scale filters. Its source is
// the layer as the filter run sees it: the unfiltered pixels weighted by the
// selection over the layer blend mode's neutral colour, so that unselected
// pixels, and everything outside the layer image, read as that colour.
#include <cstdint>

#include "core/area_scale.h"
#include "core/blend_arith.h"
#include "core/rect.h"
#include "filters/kernel_context.h"

namespace pg {

class CScaleImageFilter final : public CScaleImage {
 public:
  // Source and destination size: the layer image's width + 1 and height + 1;
  // steps 1.0. Blend: lerpPixelRgb when the context protects alpha, else
  // blendPixelOver; neutral colour: the blend mode's, with alpha 255 when
  // alpha is protected and 0 otherwise. The two option bytes are kept for
  // the kernels; the sampler does not read them.
  CScaleImageFilter(const SFlt4Context& ctx, uint8_t option1, uint8_t option2);

  // The neutral colour with, inside the layer image, the unfiltered pixel
  // blended onto it by its selection weight. The address stays valid until
  // the next call.
  [[nodiscard]] const uint8_t* srcPixel(int32_t x, int32_t y) const override;
  // The layer image's pixel (its tile committed); null outside the image.
  [[nodiscard]] uint8_t* dstPixel(int32_t x, int32_t y) const override;

  // BGRA8, the area-weighted average over the box (16.16 layer-image
  // coordinates, right and bottom exclusive): pixels cut at whole-pixel
  // lines weighted by the part they cover, divided by the box's area.
  // Nothing is clipped: parts outside the image count as neutral colour. A
  // box narrower or lower than 1/65536 is widened to that.
  void sampleBox(uint32_t& out, int32_t left, int32_t top, int32_t right, int32_t bottom) const;
  void sampleRect(uint32_t& out, const TRect& box) const { sampleBox(out, box.Left, box.Top, box.Right, box.Bottom); }
  // The box of one pixel plus 1/65536 on each axis centred on the 16.16 point.
  void samplePoint(uint32_t& out, int32_t x, int32_t y) const;

  uint32_t neutral() const { return Neutral; }

  uint8_t Option1 = 0;
  uint8_t Option2 = 0;

 private:
  SFlt4Context Ctx;
  mutable uint32_t Scratch = 0;
  uint32_t Neutral = 0;
  PixelOp32 Blend = nullptr;
};

// The colour of places outside the source: the blend mode's neutral colour,
// alpha 255 where alpha is protected, else 0.
uint32_t filterBackground(const SFlt4Context& ctx);

}  // namespace pg
