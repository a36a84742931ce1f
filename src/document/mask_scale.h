#pragma once
// The area-averaging resampler between two mask channels.
#include <cstdint>

#include "core/area_scale.h"

namespace pg {

class CBlockVCH;

// Reads the source channel (clamped, without committing it) and writes the
// destination channel through its pixel addresses.
class CScaleMaskImage final : public CScaleImage8 {
 public:
  CScaleMaskImage(const CBlockVCH& src, CBlockVCH& dst);
  const uint8_t* srcPixel(int32_t x, int32_t y) const override;
  uint8_t* dstPixel(int32_t x, int32_t y) const override;
  // Some destination tile could not be committed.
  bool failed() const { return failed_; }

 private:
  const CBlockVCH& src_;
  CBlockVCH& dst_;
  mutable bool failed_ = false;
  mutable uint8_t scratch_ = 0;
};

// Resamples all of src into all of dst by area averaging, then compacts dst.
bool resampleMask(const CBlockVCH& src, CBlockVCH& dst);

}  // namespace pg
