#include "document/seed_fill.h"

#include <algorithm>

#include "core/blend_arith.h"
#include "core/colour.h"
#include "core/plane_ops.h"

namespace pg {

// A fully transparent pixel is this far from an opaque seed: beyond every
// colour distance, so it stops the region unless the tolerance reaches it.
inline constexpr uint32_t kTransparentDistance = 0x30000;

bool CSeedFillCore::fill(TPoint point, int32_t tol) {
  if (tol > 0) tolerance = static_cast<uint32_t>(tol);
  reset();
  if (!isAllocated() || output_ == nullptr || output_->Bits == nullptr) return false;
  // The bounds come from callers that take them from layers and recordings:
  // never walk outside the source or the output.
  const SSize src = sourceSize();
  TRect area = bounds;
  if (!intersectRect(area, TRect{0, 0, std::min(src.W, output_->Width), std::min(src.H, output_->Height)}))
    return false;
  if (point.X < area.Left || point.X >= area.Right || point.Y < area.Top || point.Y >= area.Bottom) return false;
  if (!setSeed(point)) return false;
  const TRect kept = bounds;
  bounds = area;
  const bool walked = walk(point);
  bounds = kept;
  if (!walked) return false;
  if (Overflow()) return true;
  return finish();
}

bool CSeedFillCore::finish() {
  if (antiAlias != 0) {
    markEdgeBand(*output_, 255);
  } else {
    setNonZero(*output_, 255);
  }
  TRect r{};
  return boundsOfNonZero(*output_, r);
}

template <class Source, SeedRule Rule>
SSize CSeedFillT<Source, Rule>::sourceSize() const {
  if constexpr (std::is_same_v<Source, TMTC>) {
    return image_.Bits != nullptr ? SSize{image_.Width, image_.Height} : SSize{0, 0};
  } else {
    return image_.isValid() ? image_.size() : SSize{0, 0};
  }
}

template <class Source, SeedRule Rule>
bool CSeedFillT<Source, Rule>::setSeed(TPoint p) {
  seedColor = pixel(p.X, p.Y);
  if constexpr (Rule != SeedRule::Plain) {
    seedTransparent = pixelAlpha(seedColor) == 0;
    if (!seedTransparent) {
      // A translucent seed is judged as it looks: a light one over black, a
      // dark one over white.
      if (pixelGrey(seedColor) > 128) flattenColor = 0;
      uint32_t flat = flattenColor;
      lerpPixelRgb(&flat, seedColor, pixelAlpha(seedColor));
      seedColor = flat;
    }
  }
  return true;
}

template <class Source, SeedRule Rule>
uint32_t CSeedFillT<Source, Rule>::distance(int32_t x, int32_t y) const {
  return distanceOf(pixel(x, y));
}

template <class Source, SeedRule Rule>
uint32_t CSeedFillT<Source, Rule>::distanceOf(uint32_t p) const {
  if constexpr (Rule == SeedRule::Plain) {
    return colorDistanceSq(seedColor, p);
  } else {
    const uint32_t a = pixelAlpha(p);
    if (seedTransparent) return a * a * 2;
    if (a == 0) return kTransparentDistance;
    if (a == 255) return colorDistanceSq(seedColor, p);
    uint32_t flat = flattenColor;
    lerpPixelRgb(&flat, p, a);
    return colorDistanceSq(seedColor, flat);
  }
}

template <class Source, SeedRule Rule>
bool CSeedFillT<Source, Rule>::maskBlocks(int32_t x, int32_t y) const {
  if constexpr (Rule == SeedRule::WithMask) {
    return mask_ == nullptr || mask_->getPixelOr0(x + maskOffset_.X, y + maskOffset_.Y) == 0;
  } else {
    return false;
  }
}

template <class Source, SeedRule Rule>
bool CSeedFillT<Source, Rule>::isFilled(int32_t x, int32_t y) const {
  return *output_->pixelAt(x, y) != 0 || maskBlocks(x, y);
}

template <class Source, SeedRule Rule>
void CSeedFillT<Source, Rule>::scanRow(int32_t y, int32_t left, int32_t right) {
  if (y < bounds.Top || y >= bounds.Bottom) return;
  // The output row is read once; a filled pixel costs no distance.
  const uint8_t* out = output_->pixelAt(0, y);
  const uint32_t* row = sourceRow(y);
  bool inRun = false;
  TPoint start{};
  for (int32_t x = left; x <= right; ++x) {
    if (out[x] == 0 && !maskBlocks(x, y) && distanceOf(row != nullptr ? row[x] : pixel(x, y)) <= tolerance) {
      if (!inRun) start = TPoint{x, y};
      inRun = true;
    } else if (inRun) {
      inRun = false;
      if (!push(&start)) return;
    }
  }
  if (inRun) (void)push(&start);  // as above: a full queue sets the overflow flag and the walk stops
}

template <class Source, SeedRule Rule>
bool CSeedFillT<Source, Rule>::walk(TPoint seed) {
  if (!push(&seed)) return false;
  const uint64_t tol = tolerance == 0 ? 1 : tolerance;
  TPoint p{};
  while (!Overflow() && take(&p)) {
    if (!isCandidate(p.X, p.Y)) continue;
    // The span grows both ways; each pixel's value is written as it is
    // found (its distance is computed once).
    uint8_t* out = output_->pixelAt(0, p.Y);
    const uint32_t* row = sourceRow(p.Y);
    const auto dist = [&](int32_t x) { return distanceOf(row != nullptr ? row[x] : pixel(x, p.Y)); };
    const auto put = [&](int32_t x, uint64_t d) {
      // A pixel of the seed's very colour needs no division.
      const uint64_t v = d == 0 ? 255 : d >= tol ? 0 : (tol - d) * 255 / tol;
      out[x] = static_cast<uint8_t>(std::max<uint64_t>(1, v));
    };
    put(p.X, dist(p.X));
    int32_t left = p.X, right = p.X;
    while (right < bounds.Right - 1 && out[right + 1] == 0 && !maskBlocks(right + 1, p.Y)) {
      const uint32_t d = dist(right + 1);
      if (d > tolerance) break;
      put(++right, d);
    }
    while (left > bounds.Left && out[left - 1] == 0 && !maskBlocks(left - 1, p.Y)) {
      const uint32_t d = dist(left - 1);
      if (d > tolerance) break;
      put(--left, d);
    }
    scanRow(p.Y - 1, left, right);
    scanRow(p.Y + 1, left, right);
  }
  return true;
}

template class CSeedFillT<CBlockVMTC, SeedRule::Plain>;
template class CSeedFillT<CBlockVMTC, SeedRule::WithAlpha>;
template class CSeedFillT<CBlockVMTC, SeedRule::WithMask>;
template class CSeedFillT<TMTC, SeedRule::Plain>;
template class CSeedFillT<TMTC, SeedRule::WithAlpha>;
template class CSeedFillT<TMTC, SeedRule::WithMask>;

}  // namespace pg
