#include "ui/twin_cell.h"

namespace pg {

STwinCellLayout twinCellLayout(int32_t w, int32_t h) {
  const int32_t w3 = w / 3, h3 = h / 3;
  STwinCellLayout l;
  l.background = {w3, h3, w3 + (w - w3), h3 + (h - h3)};
  l.foreground = {0, 0, w - w3, h - h3};
  l.swap = {w - w3, 0, w, h3};
  l.swapGlyph = w3 >= 11 && h3 >= 11;
  return l;
}

uint8_t twinCellHit(const STwinCellLayout& l, int32_t x, int32_t y) {
  auto in = [&](const TRect& r) { return x >= r.Left && x < r.Right && y >= r.Top && y < r.Bottom; };
  if (in(l.foreground)) return 1;
  if (in(l.background)) return 2;
  if (in(l.swap)) return 3;
  return 0;
}

}  // namespace pg
