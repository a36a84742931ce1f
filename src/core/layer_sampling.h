#pragma once
// What image filters, colour-range selection and transforms share: the part of
// a layer an operation has to touch when a selection limits it, coordinate
// wrapping and inside tests, bilinear sampling of 32-bit images at 16.16
// positions, and a weighted 3 x 3 kernel on pixels.
//
// Layers and masks are passed as their images and offsets (image coordinate
// = document coordinate + offset), so that these routines need nothing of the
// document model.
#include <array>
#include <cstdint>

#include "core/block_image.h"
#include "core/planes.h"
#include "core/rect.h"

namespace pg {

// Without a mask image: the whole layer image (0, 0, width, height) and true.
// With one: the bounds of the mask's non-zero pixels, moved by (layer offset -
// mask offset) into layer-image coordinates and intersected with the layer
// image; false when there are none or they miss the layer.
[[nodiscard]] bool getLayerWorkRect(const CBlockImage& layerImage, TPoint layerOffset, const CBlockVCH* maskImage,
                      TPoint maskOffset, TRect& rect);
// The same rectangle in document coordinates (moved by minus the layer offset).
[[nodiscard]] bool getLayerWorkRectLocal(const CBlockImage& layerImage, TPoint layerOffset, const CBlockVCH* maskImage,
                           TPoint maskOffset, TRect& rect);

// v mod size into 0..size-1, negative v included (-1 gives size - 1); 0 for a
// size that is not positive.
int32_t wrapCoord(int32_t v, int32_t size);
// 0 <= x < w and 0 <= y < h.
inline bool insideSize(int32_t w, int32_t h, int32_t x, int32_t y) { return x >= 0 && y >= 0 && x < w && y < h; }
inline bool insideBlockImage(const CBlockImage& image, int32_t x, int32_t y) {
  return insideSize(image.width(), image.height(), x, y);
}
inline bool insidePlane(const CDibCore& plane, int32_t x, int32_t y) {
  return insideSize(plane.Width, plane.Height, x, y);
}

// When (x, y) lies inside, adds weight times each channel of the pixel to the
// four sums and answers true; else false with the sums untouched.
[[nodiscard]] bool accumPixelBlock(const CBlockVMTC& image, int32_t x, int32_t y, int32_t weight, int64_t& b, int64_t& g,
                     int64_t& r, int64_t& a);
[[nodiscard]] bool accumPixelPlane(const TMTC& plane, int32_t x, int32_t y, int32_t weight, int64_t& b, int64_t& g, int64_t& r,
                     int64_t& a);

// The pixel at the 16.16 position (x, y), mixed from its four neighbours with
// 8-bit fractions (weights out of 255 * 255). The neighbours are the pixels at
// floor(x), floor(x) + 1 and floor(y), floor(y) + 1, so that positions between
// -1 and 0 mix pixels -1 and 0. With wrap the neighbours wrap around the
// image; without, neighbours outside are left out of the mix (an edge pixel is
// not darkened by black beyond it). 0 when no neighbour lies inside.
uint32_t sampleBilinearBlock(const CBlockVMTC& image, int32_t x, int32_t y, bool wrap);
uint32_t sampleBilinearPlane(const TMTC& plane, int32_t x, int32_t y, bool wrap);
// dst pixel (dx, dy) := sampleBilinearBlock(src, sx, sy, wrap); false when
// (dx, dy) lies outside dst or its tile cannot be had.
[[nodiscard]] bool copyPixelBilinear(const CBlockVMTC& src, CBlockVMTC& dst, int32_t dx, int32_t dy, int32_t sx, int32_t sy);

// A 3 x 3 kernel of weights, row by row.
using SKernel3x3 = std::array<double, 9>;
void clearAccum(SKernel3x3& k);
// k := w / sum(w); a zero sum divides by 1.
void normalizeKernel3x3(SKernel3x3& k, const SKernel3x3& w);
// pixels: three rows of three consecutive pixels. Each of B, G, R, A is the
// sum of k times the channel, clamped to 0..255 and rounded to the nearest
// integer (halves to even).
uint32_t applyKernel3x3(const SKernel3x3& k, const uint32_t pixels[9]);

}  // namespace pg
