#include "core/pen_patch.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>

namespace pg {

namespace {
// A brush wider than this could not have a patch plane (its area would pass
// the plane limit), and positions beyond this are not positions of an image.
constexpr float kMaxPatchSize = 8000.0f;
constexpr float kMaxCentre = 1.0e8f;
}  // namespace

void CPenTC::clearGeometry() {
  centreX = centreY = 0;
  radiusX = radiusY = 0;
  sizeX = sizeY = 0;
  fractionX = fractionY = 0;
}

bool CPenTC::setDab(const TMTC& source, float size, float cx, float cy) {
  // Sizes and centres come from strokes and recordings: refuse what would
  // overflow the integer conversions below.
  if (!(std::fabs(size) <= kMaxPatchSize) || !(std::fabs(cx) <= kMaxCentre) || !(std::fabs(cy) <= kMaxCentre))
    return false;
  sizeX = sizeY = size;
  centreX = cx;
  centreY = cy;
  const int32_t r = static_cast<int32_t>(std::ceil(size)) + 3;
  radiusX = radiusY = r;
  originX = static_cast<int32_t>(std::trunc(cx)) - r;
  originY = static_cast<int32_t>(std::trunc(cy)) - r;
  extentW = extentH = 2 * r + 1;
  fractionX = cx - std::floor(cx);
  fractionY = cy - std::floor(cy);
  return render(source);
}

bool CPenTC::render(const TMTC& source) {
  if (!hasPixels(source)) return false;
  if (extentW <= 0 || extentH <= 0 || !Resize(extentW, extentH)) return false;
  const int32_t sw = source.Width, sh = source.Height;
  // The columns of the patch that lie over the source; the rest repeat the
  // first or last source column.
  const int64_t inL = std::clamp<int64_t>(-int64_t{originX}, 0, extentW);
  const int64_t inR = std::clamp<int64_t>(int64_t{sw} - originX, inL, extentW);
  for (int32_t y = 0; y < extentH; ++y) {
    const int32_t sy = static_cast<int32_t>(std::clamp<int64_t>(int64_t{originY} + y, 0, sh - 1));
    const uint32_t* src = source.pixelAt(0, sy);
    uint32_t* dst = pixelAt(0, y);
    for (int64_t x = 0; x < inL; ++x) dst[x] = src[0];
    if (inR > inL) std::memcpy(dst + inL, src + (originX + inL), static_cast<size_t>(inR - inL) * 4);
    for (int64_t x = inR; x < extentW; ++x) dst[x] = src[sw - 1];
  }
  return true;
}

bool CPenTC::offsetForRadius(TPoint& out, float radius) const {
  if (!(std::fabs(radius) <= kMaxPatchSize)) return false;
  if (static_cast<int32_t>(std::ceil(radius)) > radiusX) return false;
  // Each axis with its own fraction, so that a dab lands where the centre is
  // on both axes.
  out.X = std::max(radiusX - static_cast<int32_t>(std::ceil(radius - fractionX)), 0);
  out.Y = std::max(radiusY - static_cast<int32_t>(std::ceil(radius - fractionY)), 0);
  return true;
}

bool CPenTC::offsetForSize(TPoint& out, SFixPoint size) const {
  if (fixCeil(size.X) > radiusX || fixCeil(size.Y) > radiusY) return false;
  // size - fraction in 64 bits, saturated: the pair comes from the caller.
  auto less = [](int32_t s, float f) {
    const int64_t v = int64_t{s} - floatToFix(f);
    return static_cast<int32_t>(std::clamp<int64_t>(v, INT32_MIN, INT32_MAX - 65535));
  };
  out.X = std::max(radiusX - fixCeil(less(size.X, fractionX)), 0);
  out.Y = std::max(radiusY - fixCeil(less(size.Y, fractionY)), 0);
  return true;
}

}  // namespace pg
