#pragma once
// The area-averaging resampler between two tiled layer images.
#include <cstdint>

#include "core/area_scale.h"

namespace pg {

class CBlockVMTC;

// Reads the source image (clamped, without committing it) and writes the
// destination image through its pixel addresses.
class CScaleLayerImage final : public CScaleImage {
 public:
  CScaleLayerImage(const CBlockVMTC& src, CBlockVMTC& dst);
  const uint8_t* srcPixel(int32_t x, int32_t y) const override;
  uint8_t* dstPixel(int32_t x, int32_t y) const override;
  // Some destination tile could not be committed.
  bool failed() const { return failed_; }

 private:
  const CBlockVMTC& src_;
  CBlockVMTC& dst_;
  mutable bool failed_ = false;
  mutable uint32_t scratch_ = 0;
};

// Resamples all of src into the rectangle (0, 0, w, h) of dst by area
// averaging, then compacts dst. False when memory ran short.
bool resampleLayerImage(const CBlockVMTC& src, CBlockVMTC& dst, int32_t w, int32_t h);

}  // namespace pg
