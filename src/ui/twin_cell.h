#pragma once
// The geometry of the foreground/background colour pair: the two
// overlapping swatches, the swap corner, and whether the swap glyph fits.
#include <cstdint>

#include "core/rect.h"

namespace pg {

struct STwinCellLayout {
  TRect foreground, background, swap;
  bool swapGlyph = false;  // the corner is large enough for the glyph
};
STwinCellLayout twinCellLayout(int32_t width, int32_t height);
// 1 foreground, 2 background, 3 swap corner, 0 elsewhere.
uint8_t twinCellHit(const STwinCellLayout& l, int32_t x, int32_t y);

}  // namespace pg
