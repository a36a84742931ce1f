#include <gtest/gtest.h>

#include <vector>

#include "core/plane_ops.h"

namespace pg {
namespace plane_ops_test {

constexpr uint32_t px(uint32_t a, uint32_t r, uint32_t g, uint32_t b) { return (a << 24) | (r << 16) | (g << 8) | b; }

// Sizes the plane and numbers its pixels 100*y + x (alpha 0), to see where pixels go.
void numbered(TMTC& p, int w, int h) {
  ASSERT_TRUE(p.Resize(w, h));
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) *p.pixelAt(x, y) = static_cast<uint32_t>(100 * y + x);
}

std::vector<std::vector<uint32_t>> pixels(const TMTC& p) {
  std::vector<std::vector<uint32_t>> rows(static_cast<size_t>(p.Height));
  for (int y = 0; y < p.Height; ++y)
    for (int x = 0; x < p.Width; ++x) rows[static_cast<size_t>(y)].push_back(p.getPixel(x, y));
  return rows;
}

std::vector<std::vector<int>> bytes(const TChannel& p) {
  std::vector<std::vector<int>> rows(static_cast<size_t>(p.Height));
  for (int y = 0; y < p.Height; ++y)
    for (int x = 0; x < p.Width; ++x) rows[static_cast<size_t>(y)].push_back(p.getPixel(x, y));
  return rows;
}

void setBytes(TChannel& p, const std::vector<std::vector<int>>& rows) {
  for (int y = 0; y < p.Height; ++y)
    for (int x = 0; x < p.Width; ++x) *p.pixelAt(x, y) = static_cast<uint8_t>(rows[size_t(y)][size_t(x)]);
}

// ------------------------------------------------------------------ copies

TEST(PlaneOps, CopiesClipBothPlanes) {
  TMTC src, dst(8, 2);
  numbered(src, 12, 2);
  fill(dst, 0xEEu);
  // Point (-3, 0) and a rect 10 wide: 7 columns from source column 3 to destination column 0.
  EXPECT_TRUE(copyPlaneRect32(dst, src, {-3, 0}, {0, 0, 10, 2}));
  EXPECT_EQ(pixels(dst)[0], (std::vector<uint32_t>{3, 4, 5, 6, 7, 8, 9, 0xEE}));
  EXPECT_EQ(pixels(dst)[1][0], 103u);
  EXPECT_FALSE(copyPlane32(dst, src, 8, 0));
  EXPECT_FALSE(copyPlaneRect32(dst, src, {0, 0}, {12, 0, 3, 1}));

  // The plain copy walks the row orders of 8-bit planes (bottom-up) too.
  TChannel a(3, 2), b(3, 2);
  setBytes(a, {{1, 2, 3}, {4, 5, 6}});
  fill(b, 0);
  EXPECT_TRUE(copyPlaneRect(a, b, {1, 1}, {0, 0, 3, 2}));
  EXPECT_EQ(bytes(b), (std::vector<std::vector<int>>{{0, 0, 0}, {0, 1, 2}}));
  EXPECT_TRUE(copyPlane(a, b, 0, 0));
  EXPECT_EQ(bytes(b), bytes(a));
  EXPECT_FALSE(copyPlaneRect(a, dst, {0, 0}, {0, 0, 1, 1}));  // pixel sizes differ

  TMTC c(2, 2);
  copyRect32NoClip(c, src, {0, 0}, {10, 0, 2, 2});
  EXPECT_EQ(pixels(c), (std::vector<std::vector<uint32_t>>{{10, 11}, {110, 111}}));
}

TEST(PlaneOps, CopyFromChannelAndBitmap) {
  TChannel ch(3, 1);
  setBytes(ch, {{0, 1, 255}});
  TMTC p(3, 1);
  fill(p, 0x12345678u);
  EXPECT_TRUE(copyFromChannel(p, ch, {0, 0}, {0, 0, 3, 1}));
  EXPECT_EQ(pixels(p)[0], (std::vector<uint32_t>{0u, px(255, 1, 1, 1), 0xFFFFFFFFu}));

  // A bitmap 2 x 2 with a stride of 3 pixels.
  const uint32_t block[6] = {1, 2, 99, 3, 4, 99};
  const SBitmap32View view{2, 2, reinterpret_cast<const uint8_t*>(block), 12};
  TMTC q(3, 3);
  fill(q, 0);
  EXPECT_TRUE(copyFromBitmap(q, view, {1, 1}, {0, 0, 5, 5}));
  EXPECT_EQ(pixels(q), (std::vector<std::vector<uint32_t>>{{0, 0, 0}, {0, 1, 2}, {0, 3, 4}}));
  EXPECT_FALSE(copyFromBitmap(q, view, {3, 0}, {0, 0, 2, 2}));
}

// --------------------------------------------------------- fills and bits

TEST(PlaneOps, FillsAndBitOperations) {
  TMTC p(3, 2);
  fillColor(p, 0x80112233u);  // red 0x33 in the low byte of the colour
  EXPECT_EQ(p.getPixel(2, 1), 0x80332211u);
  fill(p, 0);
  EXPECT_TRUE(fillRect(p, {2, 1, 5, 5}, 7));
  EXPECT_EQ(pixels(p), (std::vector<std::vector<uint32_t>>{{0, 0, 0}, {0, 0, 7}}));
  EXPECT_FALSE(fillRectXY(p, 3, 0, 1, 1, 9));
  EXPECT_TRUE(setAlphaRect(p, {0, 0, 1, 2}, 0xAB));
  EXPECT_EQ(p.getPixel(0, 1), 0xAB000000u);
  setAlpha(p, 0x01);
  EXPECT_EQ(p.getPixel(2, 1), 0x01000007u);
  EXPECT_TRUE(setBitsRect(p, {0, 0, 3, 2}, 0x0000FF00u, 0xFFFF5500u));
  EXPECT_EQ(p.getPixel(2, 1), 0x01005507u);
  orAll(p, 0x00F00000u);
  EXPECT_EQ(p.getPixel(0, 0), 0x01F05500u);
  EXPECT_TRUE(xorRect(p, {0, 0, 1, 1}, 0xFFFFFFFFu));
  EXPECT_EQ(p.getPixel(0, 0), 0xFE0FAAFFu);
  EXPECT_TRUE(fillRectBytes(p, {1, 0, 1, 1}, 0x5A));
  EXPECT_EQ(p.getPixel(1, 0), 0x5A5A5A5Au);
  EXPECT_EQ(p.getPixel(2, 0), 0x01F05500u);
  fill(p, px(40, 0, 0, 0));
  EXPECT_TRUE(blendRectXY(p, 0, 0, 2, 1, px(0, 255, 255, 255), 51));
  EXPECT_EQ(p.getPixel(1, 0), px(40, 51, 51, 51));
  EXPECT_EQ(p.getPixel(2, 0), px(40, 0, 0, 0));
  EXPECT_TRUE(applyRect(p, {-1, 1, 3, 9}, 0x77u, &pixelSet, 0));
  EXPECT_EQ(pixels(p)[1], (std::vector<uint32_t>{0x77, 0x77, px(40, 0, 0, 0)}));

  TChannel c(3, 1), d(3, 1);
  fill(c, 0x0F);
  EXPECT_TRUE(xorRect(c, {1, 0, 1, 1}, 0xFF));
  EXPECT_EQ(bytes(c)[0], (std::vector<int>{0x0F, 0xF0, 0x0F}));
  EXPECT_TRUE(mapRect(c, {0, 0, 2, 1}, 0x80, &byteMax));
  EXPECT_EQ(bytes(c)[0], (std::vector<int>{0x80, 0xF0, 0x0F}));
  EXPECT_FALSE(mapRect(p, {0, 0, 1, 1}, 0x80, &byteMax));  // not an 8-bit plane
  setBytes(d, {{255, 128, 0}});
  EXPECT_TRUE(mapPlaneRect(c, d, {0, 0}, &byteMul, {0, 0, 3, 1}));
  EXPECT_EQ(bytes(c)[0], (std::vector<int>{0x80, 0x78, 0}));
}

// -------------------------------------------------------------------- flips

TEST(PlaneOps, FlipsMirrorsAndHalfTurns) {
  TMTC p;
  numbered(p, 3, 3);
  EXPECT_TRUE(flipRectV(p, {0, 0, 3, 3}));
  EXPECT_EQ(pixels(p), (std::vector<std::vector<uint32_t>>{{200, 201, 202}, {100, 101, 102}, {0, 1, 2}}));
  flipVertical(p);
  EXPECT_TRUE(mirrorRectH(p, {1, 0, 2, 2}));
  EXPECT_EQ(pixels(p), (std::vector<std::vector<uint32_t>>{{0, 2, 1}, {100, 102, 101}, {200, 201, 202}}));
  numbered(p, 3, 3);
  EXPECT_TRUE(rotateRect180(p, {0, 0, 3, 3}));  // odd height: the middle row is mirrored
  EXPECT_EQ(pixels(p), (std::vector<std::vector<uint32_t>>{{202, 201, 200}, {102, 101, 100}, {2, 1, 0}}));
  numbered(p, 4, 2);
  EXPECT_TRUE(rotateRect180(p, {1, 0, 3, 2}));
  EXPECT_EQ(pixels(p), (std::vector<std::vector<uint32_t>>{{0, 103, 102, 101}, {100, 3, 2, 1}}));
  EXPECT_FALSE(mirrorRectH(p, {4, 0, 1, 1}));
}

// ------------------------------------------------- lines, frames, checkers

struct Plot {
  int x, y;
  uint32_t a;
  friend bool operator==(const Plot&, const Plot&) = default;
};
std::vector<Plot> gPlots;
TMTC* gPlane = nullptr;
void recordPlot(uint32_t* p, uint32_t, uint32_t a) {
  const auto off = p - gPlane->pixelAt(0, 0);
  gPlots.push_back({static_cast<int>(off % gPlane->Width), static_cast<int>(off / gPlane->Width), a});
}
void countPlot(uint32_t* p, uint32_t colour, uint32_t) { *p += colour; }

TEST(PlaneOps, Lines) {
  TMTC p(5, 5);
  gPlane = &p;
  gPlots.clear();
  drawLine(p, 0, 0, 0, 3, 1, 30, 0, &recordPlot);
  EXPECT_EQ(gPlots, (std::vector<Plot>{{0, 0, 0}, {1, 0, 10}, {2, 0, 20}, {3, 1, 30}}));
  gPlots.clear();
  drawLine(p, 2, 2, 9, 2, 2, 50, 0, &recordPlot);
  EXPECT_EQ(gPlots, (std::vector<Plot>{{2, 2, 9}}));
  gPlots.clear();
  drawLine(p, -1, 4, 0, 1, 6, 0, 0, &recordPlot);  // only (0, 5)... outside too: nothing but inside points
  EXPECT_EQ(gPlots, (std::vector<Plot>{}));
  drawLine(p, -1, 3, 0, 1, 5, 0, 0, &recordPlot);
  EXPECT_EQ(gPlots, (std::vector<Plot>{{0, 4, 0}}));
}

TEST(PlaneOps, FramesDrawEveryBorderPixelOnce) {
  TMTC p(5, 6);
  fill(p, 0);
  drawFrame(p, {1, 0, 1, 5}, 1, 1000, 0, &countPlot);
  for (int y = 0; y < 6; ++y) EXPECT_EQ(p.getPixel(1, y), y < 5 ? 1u : 0u) << y;
  fill(p, 0);
  drawFrame(p, {1, 1, 3, 3}, 1, 1000, 0, &countPlot);
  EXPECT_EQ(pixels(p)[1], (std::vector<uint32_t>{0, 1, 1, 1000, 0}));
  EXPECT_EQ(pixels(p)[2], (std::vector<uint32_t>{0, 1, 0, 1000, 0}));
  EXPECT_EQ(pixels(p)[3], (std::vector<uint32_t>{0, 1, 1000, 1000, 0}));
  fill(p, 0);
  frameAll(p, 0xFFFFFF, 0, 255);
  EXPECT_EQ(p.getPixel(0, 0), 0xFFFFFFu);
  EXPECT_EQ(p.getPixel(4, 5), 0u);
  EXPECT_EQ(p.getPixel(4, 0), 0u);  // the top line leaves out its last pixel, the right line is dark
  EXPECT_EQ(p.getPixel(0, 5), 0xFFFFFFu);
}

TEST(PlaneOps, CheckerCellsStartAtTheRect) {
  TMTC p(10, 10);
  fill(p, 0);
  EXPECT_TRUE(fillChecker(p, {0, 0, 10, 10}, {4, 4}, 1, 2));
  // 3 x 3 cells; the last ones are 2 pixels wide or high; the first is even.
  for (int y = 0; y < 10; ++y)
    for (int x = 0; x < 10; ++x) ASSERT_EQ(p.getPixel(x, y), ((x / 4 + y / 4) % 2) ? 1u : 2u) << x << "," << y;
  fill(p, 0);
  EXPECT_TRUE(fillChecker(p, {7, 7, 9, 9}, {2, 2}, 1, 2));
  EXPECT_EQ(p.getPixel(7, 7), 2u);
  EXPECT_EQ(p.getPixel(9, 8), 1u);
  EXPECT_EQ(p.getPixel(6, 7), 0u);
}

TEST(PlaneOps, FlatteningOntoACheckerOrAColour) {
  TMTC p(4, 1);
  *p.pixelAt(0, 0) = px(255, 1, 2, 3);
  *p.pixelAt(1, 0) = px(0, 9, 9, 9);
  *p.pixelAt(2, 0) = px(51, 255, 255, 255);
  *p.pixelAt(3, 0) = px(0, 9, 9, 9);
  TMTC q(4, 1);
  copyPlane32(q, p, 0, 0);
  // Cells of 2 counted from x = -1: column 0 lies in cell 0 (truncating), 1..2 in cell 1, 3 in cell 2.
  EXPECT_TRUE(compositeOnChecker(p, {0, 0, 4, 1}, {-1, 0}, {2, 2}, 0xAA000000u, 0xBB000000u));
  EXPECT_EQ(pixels(p)[0], (std::vector<uint32_t>{px(255, 1, 2, 3), 0xAA000000u, px(0xAA, 51, 51, 51), 0xBB000000u}));
  EXPECT_TRUE(compositeOnColor(q, {1, 0, 9, 1}, 0x7F000000u));
  EXPECT_EQ(pixels(q)[0], (std::vector<uint32_t>{px(255, 1, 2, 3), 0x7F000000u, px(0x7F, 51, 51, 51), 0x7F000000u}));
  EXPECT_FALSE(compositeOnColor(q, {4, 0, 9, 1}, 0));
}

// ------------------------------------------------------------ mask helpers

TEST(PlaneOps, BoundsOfNonZero) {
  TChannel c(10, 10);
  fill(c, 0);
  TRect r{1, 2, 3, 4};
  EXPECT_FALSE(boundsOfNonZero(c, r));
  EXPECT_EQ(r, (TRect{1, 2, 3, 4}));
  *c.pixelAt(5, 7) = 1;
  EXPECT_TRUE(boundsOfNonZero(c, r));
  EXPECT_EQ(r, (TRect{5, 7, 6, 8}));
  *c.pixelAt(9, 0) = 3;
  *c.pixelAt(0, 9) = 3;
  EXPECT_TRUE(boundsOfNonZero(c, r));
  EXPECT_EQ(r, (TRect{0, 0, 10, 10}));
  setNonZero(c, 200);
  EXPECT_EQ(c.getPixel(9, 0), 200);
  EXPECT_EQ(c.getPixel(1, 0), 0);
}

struct EdgeLog {
  TChannel* plane;
  std::vector<std::vector<int>> marks;
};
void logEdge(uint8_t* p, bool edge, void* ctx) {
  auto* log = static_cast<EdgeLog*>(ctx);
  for (int y = 0; y < log->plane->Height; ++y)
    for (int x = 0; x < log->plane->Width; ++x)
      if (log->plane->pixelAt(x, y) == p) log->marks[size_t(y)][size_t(x)] = edge ? 2 : 1;
}

TEST(PlaneOps, TraceEdgesMarksBorderBytes) {
  TChannel c(5, 4);
  setBytes(c, {{0, 0, 0, 0, 9}, {0, 9, 9, 9, 9}, {0, 9, 9, 9, 9}, {0, 9, 9, 9, 0}});
  EdgeLog log{&c, std::vector<std::vector<int>>(4, std::vector<int>(5, 0))};
  traceEdges(c, {0, 0, 5, 4}, &logEdge, &log);
  EXPECT_EQ(log.marks, (std::vector<std::vector<int>>{
                           {0, 0, 0, 0, 2}, {0, 2, 2, 2, 2}, {0, 2, 1, 1, 2}, {0, 2, 2, 2, 0}}));
  // A partial rect visits only its bytes; edges are still judged in the whole plane.
  log.marks.assign(4, std::vector<int>(5, 0));
  traceEdges(c, {2, 1, 4, 3}, &logEdge, &log);
  EXPECT_EQ(log.marks, (std::vector<std::vector<int>>{
                           {0, 0, 0, 0, 0}, {0, 0, 2, 2, 0}, {0, 0, 1, 1, 0}, {0, 0, 0, 0, 0}}));
}

TEST(PlaneOps, OutlineAndEdgeBandOfABlob) {
  TChannel c(6, 6);
  const std::vector<std::vector<int>> blob = {{0, 0, 0, 0, 0, 0}, {0, 0, 0, 0, 0, 0}, {0, 0, 7, 9, 0, 0},
                                              {0, 0, 3, 1, 0, 0}, {0, 0, 0, 0, 0, 0}, {0, 0, 0, 0, 0, 0}};
  setBytes(c, blob);
  markOutline(c, 255, 42);
  EXPECT_EQ(bytes(c), (std::vector<std::vector<int>>{{0, 0, 0, 0, 0, 0},
                                                     {0, 42, 42, 42, 42, 0},
                                                     {0, 42, 255, 255, 42, 0},
                                                     {0, 42, 255, 255, 42, 0},
                                                     {0, 42, 42, 42, 42, 0},
                                                     {0, 0, 0, 0, 0, 0}}));
  setBytes(c, blob);
  markEdgeBand(c, 255);
  EXPECT_EQ(bytes(c), (std::vector<std::vector<int>>{{0, 0, 0, 0, 0, 0},
                                                     {0, 42, 84, 84, 42, 0},
                                                     {0, 84, 255, 255, 84, 0},
                                                     {0, 84, 255, 255, 84, 0},
                                                     {0, 42, 84, 84, 42, 0},
                                                     {0, 0, 0, 0, 0, 0}}));
  // A blob on the border: runs at a line's start or end are marked on their inner side only.
  TChannel e(4, 1);
  setBytes(e, {{5, 0, 0, 5}});
  markOutline(e, 255, 42);
  EXPECT_EQ(bytes(e)[0], (std::vector<int>{255, 42, 42, 255}));
  setBytes(e, {{0, 0, 5, 0}});
  markOutline(e, 255, 42);
  EXPECT_EQ(bytes(e)[0], (std::vector<int>{0, 42, 255, 42}));
}

}  // namespace plane_ops_test
}  // namespace pg
