#pragma once
// The tiles filter: paints the selection with a regular tiling of two or
// three colours, squares in a diagonal colour sequence or rows of
// alternating equilateral triangles with anti-aliased edges. It reads no
// pixels of the layer; tiles are aligned to the work rectangle's top-left.
#include <cstdint>

#include "filters/kernel_context.h"

namespace pg {

// Record, 16 bytes: u8 shape (0 triangles, 1 squares), u8 third colour (0
// two colours, else three), u16 tile width (8..512), then three colours of
// four bytes B, G, R, opacity (0..255, used as alpha).
struct SFltTiles {
  uint8_t shape = 1;
  uint8_t thirdColour = 0;
  uint16_t width = 32;
  uint32_t colours[3] = {0xFF000000u, 0xFF000000u, 0xFF000000u};
};
inline constexpr int32_t kTilesRecordSize = 16;
[[nodiscard]] bool readTilesRecord(const void* param, int32_t size, SFltTiles& out);
void writeTilesRecord(const SFltTiles& rec, uint8_t out[kTilesRecordSize]);

// The number of colours: 3 when the third-colour byte is not 0, else 2 (a
// recorded byte above 1 never reaches past the record's three colours).
int32_t tilesColourCount(const SFltTiles& rec);

// BGRA8. Squares: cell (row r, column c) of W x W takes colour (r + c) mod n.
// Triangles: rows Hr = Trunc(W * 0.8660254 + 0.5) high; in row r a cell
// starting at colour index i has left colour i, middle i + 1 and right
// i + 2 (mod n), the next cell starting at i + 2; local row j counts from
// the top in even rows and from the bottom in odd ones; the mix factor
// t = clamp(|W div 2 - u| - W * (j + 0.5) / (2 Hr), 0, 1) is 0 inside the
// middle triangle, 1 outside, ramping over one pixel at its edges; the side
// colour is the right one from column W div 2, the left one before it, and
// their mean in the middle column of an odd width; the pixel is the
// alpha-weighted mix of the middle colour (1 - t) and the side colour (t),
// not written when the mixed alpha is 0. Written pixels move by the
// selection weight (colour only when the layer protects alpha). Refused
// unless the width is at least 8 and the shape 0 or 1.
[[nodiscard]] bool tiles(const SFlt4Context& ctx, const SFltTiles& rec);
[[nodiscard]] bool tilesKernel(const SFlt4Context* ctx, const void* param, int32_t size);

}  // namespace pg
