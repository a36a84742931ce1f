// Checkerboards and frames of TMemoryGraphic.
#include <algorithm>
#include <initializer_list>

#include "ui/graphic_pixel.h"
#include "ui/memory_graphic.h"

namespace pg {

bool TMemoryGraphic::fillChecker(const TRect& r, int32_t cellX, int32_t cellY, TUiColor c1, TUiColor c2,
                                 TChannelOp colourOp, TChannelOp alphaOp) {
  SRectXYWH b;
  if (!clipRect(r, b)) return false;
  const int32_t cx = std::max(1, cellX);
  const int32_t cy = std::max(1, cellY);
  // Cells count from the clipped box's corner, in 64 bits so huge cells stay defined.
  for (int32_t row = 0; row < b.Height; ++row) {
    const bool rowFirst = row % (2 * int64_t{cy}) < cy;
    uint32_t* p = pixelAddr(b.X, b.Y + row);
    for (int32_t col = 0; col < b.Width; ++col) {
      const bool colFirst = col % (2 * int64_t{cx}) < cx;
      paintSolid(p + col, rowFirst == colFirst ? c1 : c2, colourOp, alphaOp);
    }
  }
  return true;
}

namespace {

// A run of pixels of one band: count pixels from (x, y) along x or y.
struct Band {
  int32_t x, y, count;
  bool vertical;
  TUiColor colour;
};

// Paints two bands together, pixel by pixel (a pixel of the first, then the
// one at the same offset of the second), as the frames of the toolkit do.
void paintBandPair(TMemoryGraphic& g, const Band& a, const Band& b, TChannelOp colourOp, TChannelOp alphaOp) {
  const int32_t n = std::max(a.count, b.count);
  for (int32_t i = 0; i < n; ++i) {
    for (const Band* band : {&a, &b}) {
      if (i >= band->count) continue;
      const int32_t x = band->vertical ? band->x : band->x + i;
      const int32_t y = band->vertical ? band->y + i : band->y;
      if (g.contains(x, y)) paintSolid(g.pixelAddr(x, y), band->colour, colourOp, alphaOp);
    }
  }
}

// The four bands of width n over the clipped box: top and bottom row by row,
// then left and right column by column. A plain frame (inset 0) is a
// pinwheel: top and right start at the corner, bottom and left one pixel
// after it, each band one pixel short, so that with n = 1 every outline
// pixel is painted once. The rounded frame (inset 2) shortens every band by
// two pixels at both ends and leaves the corners to its corner pixels.
void paintFrameBands(TMemoryGraphic& g, const SRectXYWH& b, int32_t n, TUiColor left, TUiColor top, TUiColor right,
                     TUiColor bottom, int32_t inset, TChannelOp colourOp, TChannelOp alphaOp) {
  const int32_t x = b.X, y = b.Y, w = b.Width, h = b.Height;
  const int32_t lead = inset;                    // start of the top and right bands
  const int32_t trail = inset == 0 ? 1 : inset;  // start of the bottom and left bands
  const int32_t across = inset == 0 ? w - 1 : w - 2 * inset;
  const int32_t down = inset == 0 ? h - 1 : h - 2 * inset;
  for (int32_t k = 0; k < n; ++k)
    paintBandPair(g, {x + lead, y + k, across, false, top}, {x + trail, y + h - n + k, across, false, bottom},
                  colourOp, alphaOp);
  for (int32_t k = 0; k < n; ++k)
    paintBandPair(g, {x + k, y + trail, down, true, left}, {x + w - n + k, y + lead, down, true, right}, colourOp,
                  alphaOp);
}

}  // namespace

bool TMemoryGraphic::frameRect(const TRect& r, int32_t n, TUiColor colour, TChannelOp colourOp, TChannelOp alphaOp) {
  SRectXYWH b;
  if (n < 1 || !clipRect(r, b) || b.Width < n || b.Height < n) return false;
  paintFrameBands(*this, b, n, colour, colour, colour, colour, 0, colourOp, alphaOp);
  return true;
}

bool TMemoryGraphic::frameSides(const TRect& r, int32_t n, TUiColor left, TUiColor top, TUiColor right,
                                TUiColor bottom, TChannelOp colourOp, TChannelOp alphaOp) {
  SRectXYWH b;
  if (n < 1 || !clipRect(r, b) || b.Width < 2 * int64_t{n} || b.Height < 2 * int64_t{n}) return false;
  paintFrameBands(*this, b, n, left, top, right, bottom, 0, colourOp, alphaOp);
  return true;
}

bool TMemoryGraphic::frameBevel(const TRect& r, int32_t n, TUiColor topLeft, TUiColor bottomRight,
                                TChannelOp colourOp, TChannelOp alphaOp) {
  return frameSides(r, n, topLeft, topLeft, bottomRight, bottomRight, colourOp, alphaOp);
}

bool TMemoryGraphic::frameRounded(const TRect& r, int32_t n, TUiColor colour, TChannelOp colourOp,
                                  TChannelOp alphaOp) {
  SRectXYWH b;
  if (n < 1 || !clipRect(r, b)) return false;
  paintFrameBands(*this, b, n, colour, colour, colour, colour, 2, colourOp, alphaOp);
  const int32_t w = b.Width, h = b.Height;
  const TPoint corners[12] = {{0, 1},     {1, 0},         {1, 1},         {0, h - 2},
                              {1, h - 1}, {1, h - 2},     {w - 2, 0},     {w - 1, 1},
                              {w - 2, 1}, {w - 1, h - 2}, {w - 2, h - 1}, {w - 2, h - 2}};
  for (const TPoint& c : corners) {
    // Only pixels of the clipped box: a tiny box has fewer corners.
    if (c.X < 0 || c.Y < 0 || c.X >= w || c.Y >= h) continue;
    applyOps(pixelAddr(b.X + c.X, b.Y + c.Y), colour, colourOp, alphaOp, 0.5f, 1.0f);
  }
  return true;
}

}  // namespace pg
