#pragma once
// Turns a glyph outline into the grey bitmap the text renderer draws from.
//
// The bitmap covers the glyph's black box, the smallest whole-pixel box
// around its ink. Rows run top-down; each row is Pitch bytes, the width
// rounded up to a multiple of 4; every byte is a grey level 0..64 (64 = full
// ink). The box's top-left corner lies at (OriginX, OriginY) from the pen,
// y pointing up.
//
// The outline is filled with the core's anti-aliased polygon filler on a grid
// finer than the pixels (up to 8 x 8 cells a pixel, fewer for large glyphs),
// and each pixel's level is the mean of its cells. All contours go to the
// filler as one polygon, so overlapping contours combine by the even-odd
// rule: holes (the counter of an "A") stay open.
#include <cstdint>
#include <vector>

#include "platform/fonts.h"

namespace pg {

// The largest black box a glyph may have, per side and in area; a larger one
// is refused rather than allocated.
inline constexpr int32_t kMaxGlyphBoxSide = 4 * kMaxGlyphPixelSize;
inline constexpr int64_t kMaxGlyphBoxArea = int64_t{1} << 24;

// A glyph bitmap's shape: rows top-down, Pitch bytes each.
struct SGlyphDims {
  int32_t Width = 0;
  int32_t Height = 0;
  int32_t Pitch = 0;
};

// The black box: its bitmap's shape and its top-left corner from the pen.
struct SGlyphBox {
  SGlyphDims Dims;
  int32_t OriginX = 0;
  int32_t OriginY = 0;
};

// Rasterises the outline. An outline without area (a blank character) gives
// an empty box and no bits, and true. False, with an empty box and no bits,
// when the box is beyond the limits above or memory fails.
[[nodiscard]] bool rasterGlyph(const SGlyphOutline& outline, SGlyphBox& box, std::vector<uint8_t>& levels);

// The grid the filler works on for a box of the given size: cells per pixel
// side: 256 / the larger side, within 1..8.
[[nodiscard]] int32_t glyphSupersampling(int32_t width, int32_t height);

}  // namespace pg
