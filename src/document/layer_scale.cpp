// Rescaling layer images by area averaging.
#include "document/layer_scale.h"

#include <algorithm>
#include <bit>

#include "core/block_image.h"

namespace pg {

static_assert(std::endian::native == std::endian::little,
              "a uniform tile's colour is read as the bytes of a pixel");

CScaleLayerImage::CScaleLayerImage(const CBlockVMTC& src, CBlockVMTC& dst) : src_(src), dst_(dst) {
  SrcSize = src.size();
  DstSize = dst.size();
}

const uint8_t* CScaleLayerImage::srcPixel(int32_t x, int32_t y) const {
  x = std::clamp(x, 0, src_.width() - 1);
  y = std::clamp(y, 0, src_.height() - 1);
  const STileRec* t = src_.tileAt(x, y);
  // A uniform tile is read from its stored colour, so reading never commits.
  if (!t->committed()) return reinterpret_cast<const uint8_t*>(&t->uniform);
  const int32_t m = CBlockVMTC::kEdge - 1;
  return reinterpret_cast<const uint8_t*>(src_.tilePixels(*t) + (y & m) * CBlockVMTC::kEdge + (x & m));
}

uint8_t* CScaleLayerImage::dstPixel(int32_t x, int32_t y) const {
  if (uint32_t* p = dst_.pixelPtrClamped(x, y)) return reinterpret_cast<uint8_t*>(p);
  failed_ = true;
  return reinterpret_cast<uint8_t*>(&scratch_);
}

bool resampleLayerImage(const CBlockVMTC& src, CBlockVMTC& dst, int32_t w, int32_t h) {
  if (!src.isValid() || !dst.isValid() || w < 1 || h < 1) return false;
  CScaleLayerImage s(src, dst);
  const bool drawn = s.execute(SRectXYWH{0, 0, src.width(), src.height()},
                               SRectXYWH{0, 0, std::min(w, dst.width()), std::min(h, dst.height())});
  dst.compact();
  return drawn && !s.failed();
}

}  // namespace pg
