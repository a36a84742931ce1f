#pragma once
// The area scaler between two planes run through its literal loop, one
// virtual call per sample: the tests compare the inlined loops of the scaler
// formats with it, the benchmarks time it against them.
#include <cstdint>

#include "core/area_scale.h"
#include "core/planes.h"

namespace pg::testing {

template <class Base, class Plane>
class CLiteralScale final : public Base {
 public:
  CLiteralScale(const Plane& src, Plane& dst) : src_(src), dst_(dst) {
    this->SrcSize = src.size();
    this->DstSize = dst.size();
  }
  const uint8_t* srcPixel(int32_t x, int32_t y) const override { return src_.PixelAddress(x, y); }
  uint8_t* dstPixel(int32_t x, int32_t y) const override { return dst_.PixelAddress(x, y); }

 private:
  const Plane& src_;
  Plane& dst_;
};

// All four bytes of a pixel (the base scaler's own sums), and one byte.
using CLiteralScaleTMTC = CLiteralScale<CScaleImage, TMTC>;
using CLiteralScaleCH = CLiteralScale<CScaleImage8, TChannel>;

}  // namespace pg::testing
