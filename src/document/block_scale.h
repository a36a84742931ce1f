#pragma once
// The area-averaging resampler between two tiled images of one kind: layer
// images (32-bit) and mask images (8-bit).
#include <algorithm>
#include <bit>
#include <cstdint>
#include <type_traits>
#include <utility>

#include "core/area_scale.h"
#include "core/block_image.h"

namespace pg {

static_assert(std::endian::native == std::endian::little,
              "a uniform tile's value is read from the low bytes of its stored colour");

// Reads the source image (clamped, without committing it) and writes the
// destination image through its pixel addresses. Base is the resampler of
// the pixel format (CScaleImage for 32 bits, CScaleImage8 for 8).
template <class Block, class Base>
class CScaleBlockImage final : public Base {
 public:
  using Pixel = std::remove_pointer_t<decltype(std::declval<Block&>().pixelPtrClamped(0, 0))>;

  CScaleBlockImage(const Block& src, Block& dst) : src_(src), dst_(dst) {
    this->SrcSize = src.size();
    this->DstSize = dst.size();
  }
  const uint8_t* srcPixel(int32_t x, int32_t y) const override {
    x = std::clamp(x, 0, src_.width() - 1);
    y = std::clamp(y, 0, src_.height() - 1);
    const STileRec* t = src_.tileAt(x, y);
    // A uniform tile is read from its stored value, so reading never commits.
    if (!t->committed()) return reinterpret_cast<const uint8_t*>(&t->uniform);
    const int32_t m = Block::kEdge - 1;
    return reinterpret_cast<const uint8_t*>(reinterpret_cast<const Pixel*>(src_.tileMemory(*t)) +
                                            (y & m) * Block::kEdge + (x & m));
  }
  uint8_t* dstPixel(int32_t x, int32_t y) const override {
    if (Pixel* p = dst_.pixelPtrClamped(x, y)) return reinterpret_cast<uint8_t*>(p);
    failed_ = true;
    return reinterpret_cast<uint8_t*>(&scratch_);
  }
  // Some destination tile could not be committed.
  bool failed() const { return failed_; }

 private:
  const Block& src_;
  Block& dst_;
  mutable bool failed_ = false;
  mutable Pixel scratch_ = 0;
};

using CScaleLayerImage = CScaleBlockImage<CBlockVMTC, CScaleImage>;
using CScaleMaskImage = CScaleBlockImage<CBlockVCH, CScaleImage8>;

// Resamples all of src into the rectangle (0, 0, w, h) of dst by area
// averaging (all of dst when w and h are its size), then compacts dst.
// False when memory ran short.
template <class Block, class Base>
[[nodiscard]] bool resampleBlockImage(const Block& src, Block& dst, int32_t w, int32_t h) {
  if (!src.isValid() || !dst.isValid() || w < 1 || h < 1) return false;
  CScaleBlockImage<Block, Base> s(src, dst);
  const bool drawn = s.execute(SRectXYWH{0, 0, src.width(), src.height()},
                               SRectXYWH{0, 0, std::min(w, dst.width()), std::min(h, dst.height())});
  dst.compact();
  return drawn && !s.failed();
}

[[nodiscard]] inline bool resampleLayerImage(const CBlockVMTC& src, CBlockVMTC& dst, int32_t w, int32_t h) {
  return resampleBlockImage<CBlockVMTC, CScaleImage>(src, dst, w, h);
}
[[nodiscard]] inline bool resampleMask(const CBlockVCH& src, CBlockVCH& dst) {
  return resampleBlockImage<CBlockVCH, CScaleImage8>(src, dst, dst.width(), dst.height());
}

}  // namespace pg
