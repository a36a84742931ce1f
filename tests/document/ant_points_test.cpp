#include <gtest/gtest.h>

#include <cstring>
#include <map>
#include <set>
#include <tuple>
#include <vector>

#include "core/planes.h"
#include "document/ant_points.h"

namespace pg {
namespace {

std::vector<TPoint> pointsOf(const CPointList& list) {
  std::vector<TPoint> v;
  list.forEach([&](const TPoint& p) { v.push_back(p); });
  return v;
}

TEST(PointList, CountsAcrossBlockBoundaries) {
  CPointList list;
  EXPECT_EQ(list.count(), 0);
  EXPECT_EQ(list.lastBlockCount(), 0);
  EXPECT_EQ(list.block(0), nullptr);
  for (int i = 0; i < 1025; ++i) {
    ASSERT_TRUE(list.add(i, -i));
    if (i == 1023) {
      EXPECT_EQ(list.count(), 1024);
      EXPECT_EQ(list.blockCount(), 1);
      EXPECT_EQ(list.lastBlockCount(), 1024);
    }
  }
  EXPECT_EQ(list.count(), 1025);
  EXPECT_EQ(list.blockCount(), 2);
  EXPECT_EQ(list.lastBlockCount(), 1);
  EXPECT_EQ(list.block(1)[0], (TPoint{1024, -1024}));
  EXPECT_EQ(list.block(0)[1023], (TPoint{1023, -1023}));
  // A fresh block is zero beyond what was written.
  EXPECT_EQ(list.block(1)[1], (TPoint{0, 0}));
  auto pts = pointsOf(list);
  ASSERT_EQ(pts.size(), 1025u);
  EXPECT_EQ(pts[1024], (TPoint{1024, -1024}));

  ASSERT_TRUE(list.reset());
  EXPECT_EQ(list.count(), 0);
  EXPECT_EQ(list.blockCount(), 1);
  list.clear();
  EXPECT_EQ(list.blockCount(), 0);
}

// A w x h channel with the given pixels selected (value 255).
std::unique_ptr<TChannel> makePlaneP(int w, int h, const std::vector<TPoint>& selected) {
  auto c = std::make_unique<TChannel>(w, h);
  for (int y = 0; y < h; ++y) std::memset(c->pixelAt(0, y), 0, static_cast<size_t>(w));
  for (const TPoint& p : selected) *c->pixelAt(p.X, p.Y) = 255;
  return c;
}

TEST(AntPoints, SinglePixelHasItsFourEdges) {
  auto cp = makePlaneP(8, 8, {{3, 4}});
  CAntPoints ants;
  ASSERT_TRUE(ants.trace(*cp, false));
  EXPECT_EQ(pointsOf(ants.leftEdges()), (std::vector<TPoint>{{3, 4}}));
  EXPECT_EQ(pointsOf(ants.rightEdges()), (std::vector<TPoint>{{4, 4}}));
  EXPECT_EQ(pointsOf(ants.topEdges()), (std::vector<TPoint>{{3, 4}}));
  EXPECT_EQ(pointsOf(ants.bottomEdges()), (std::vector<TPoint>{{3, 5}}));
  EXPECT_TRUE(ants.hasPoints());
}

TEST(AntPoints, SelectionAtThePlaneBorderGivesBorderEdges) {
  // A 3 x 2 plane fully selected: its edges lie on x = 0, x = 3, y = 0, y = 2.
  auto cp = makePlaneP(3, 2, {{0, 0}, {1, 0}, {2, 0}, {0, 1}, {1, 1}, {2, 1}});
  CAntPoints ants;
  ASSERT_TRUE(ants.trace(*cp, false));
  EXPECT_EQ(pointsOf(ants.leftEdges()), (std::vector<TPoint>{{0, 0}, {0, 1}}));
  EXPECT_EQ(pointsOf(ants.rightEdges()), (std::vector<TPoint>{{3, 0}, {3, 1}}));
  // Top and bottom edges are collected column by column.
  EXPECT_EQ(pointsOf(ants.topEdges()), (std::vector<TPoint>{{0, 0}, {1, 0}, {2, 0}}));
  EXPECT_EQ(pointsOf(ants.bottomEdges()), (std::vector<TPoint>{{0, 2}, {1, 2}, {2, 2}}));
}

TEST(AntPoints, HoleAndKeepAndOrder) {
  // A 3 x 3 ring: the hole in the middle adds inner edges.
  std::vector<TPoint> ring;
  for (int y = 0; y < 3; ++y)
    for (int x = 0; x < 3; ++x)
      if (!(x == 1 && y == 1)) ring.push_back({x, y});
  auto cp = makePlaneP(3, 3, ring);
  CAntPoints ants;
  ants.setOrigin(5, 6);
  ASSERT_TRUE(ants.trace(*cp, false));
  EXPECT_EQ(ants.originX(), 0);
  EXPECT_EQ(ants.originY(), 0);
  EXPECT_EQ(pointsOf(ants.leftEdges()), (std::vector<TPoint>{{0, 0}, {0, 1}, {2, 1}, {0, 2}}));
  EXPECT_EQ(pointsOf(ants.rightEdges()), (std::vector<TPoint>{{3, 0}, {1, 1}, {3, 1}, {3, 2}}));
  EXPECT_EQ(pointsOf(ants.topEdges()), (std::vector<TPoint>{{0, 0}, {1, 0}, {1, 2}, {2, 0}}));
  EXPECT_EQ(pointsOf(ants.bottomEdges()), (std::vector<TPoint>{{0, 3}, {1, 1}, {1, 3}, {2, 3}}));
  // keep appends a second trace to the first.
  ASSERT_TRUE(ants.trace(*cp, true));
  EXPECT_EQ(ants.leftEdges().count(), 8);
  ASSERT_TRUE(ants.trace(*cp, false));
  EXPECT_EQ(ants.leftEdges().count(), 4);
}

// A view at a given zoom and angle whose window point is the document point
// times the zoom (no rotation in the mapping itself, which the draw only
// consults for its step directions).
class FakeView : public CAntsView {
 public:
  float z = 1.0f, s = 0.0f, c = 1.0f;
  int32_t dx = 0, dy = 0;
  float zoom() const override { return z; }
  float sinA() const override { return s; }
  float cosA() const override { return c; }
  void paperToWindow(int32_t& x, int32_t& y) const override {
    x = static_cast<int32_t>(x * z) + dx;
    y = static_cast<int32_t>(y * z) + dy;
  }
};

using Pixels = std::map<std::pair<int, int>, bool>;

Pixels drawPixels(CAntPoints& ants, const SAntsClip& clip) {
  Pixels px;
  (void)ants.draw(clip, [&](int32_t x, int32_t y, bool black) { px[{x, y}] = black; });  // the pixels drawn are what is checked
  return px;
}

TEST(AntPoints, EmptyOutlineDrawsNothing) {
  auto cp = makePlaneP(4, 4, {});
  FakeView view;
  CAntPoints ants(&view);
  ASSERT_TRUE(ants.trace(*cp, false));
  EXPECT_FALSE(ants.hasPoints());
  TMTC target(4, 4);
  std::memset(target.Bits, 0x11, static_cast<size_t>(target.ByteSize()));
  EXPECT_FALSE(ants.draw(target, {0, 0, 4, 4}));
  for (int y = 0; y < 4; ++y)
    for (int x = 0; x < 4; ++x) EXPECT_EQ(target.getPixel(x, y), 0x11111111u);
  // Without a view there is nothing to map through either.
  auto onep = makePlaneP(4, 4, {{1, 1}});
  CAntPoints noView;
  ASSERT_TRUE(noView.trace(*onep, false));
  EXPECT_FALSE(noView.draw(target, {0, 0, 4, 4}));
}

TEST(AntPoints, PatternComesBackAfterEightSteps) {
  CAntPoints ants;
  EXPECT_EQ(ants.pattern(), 204);
  std::set<uint8_t> seen;
  for (int i = 0; i < 8; ++i) {
    seen.insert(ants.pattern());
    ants.step();
  }
  EXPECT_EQ(ants.pattern(), 204);
  EXPECT_EQ(ants.basePattern(), 204);
  // 1100 1100 rotated right goes 0110 0110, 0011 0011, 1001 1001, then repeats.
  EXPECT_EQ(seen, (std::set<uint8_t>{0xCC, 0x66, 0x33, 0x99}));
  CAntPoints odd(nullptr, 0x80);
  for (int i = 0; i < 7; ++i) odd.step();
  EXPECT_EQ(odd.pattern(), 0x01);
  odd.step();
  EXPECT_EQ(odd.pattern(), 0x80);
}

TEST(AntPoints, DashColourFollowsPatternBits) {
  // Bit ((y and 7) + x) and 7, counted from 0x80.
  struct Case {
    uint8_t pattern;
    int x, y;
    bool black;
  } cases[] = {{0xCC, 0, 0, true}, {0xCC, 1, 0, true},  {0xCC, 2, 0, false}, {0xCC, 3, 0, false},
               {0xCC, 0, 2, false}, {0xCC, 7, 9, true}, {0x80, 8, 0, true},  {0x80, 0, 8, true},
               {0x01, 7, 0, true},  {0x01, 3, 4, true}, {0x01, 3, 5, false}};
  for (const Case& k : cases) EXPECT_EQ(CAntPoints::isBlackAt(k.pattern, k.x, k.y), k.black) << k.x << "," << k.y;
}

TEST(AntPoints, DrawAtOneToOne) {
  // A single pixel at (3, 4): each edge gives one dash pixel. Trailing edges
  // step back by one across the edge at zoom 1 or more.
  auto cp = makePlaneP(8, 8, {{3, 4}});
  FakeView view;
  CAntPoints ants(&view);
  ASSERT_TRUE(ants.trace(*cp, false));
  Pixels px = drawPixels(ants, {0, 0, 16, 16});
  Pixels expect = {{{3, 4}, CAntPoints::isBlackAt(204, 3, 4)}};  // left, top and both trailing edges
  EXPECT_EQ(px, expect);

  // Into a plane: black is opaque black, white opaque white.
  TMTC target(8, 8);
  std::memset(target.Bits, 0, static_cast<size_t>(target.ByteSize()));
  ASSERT_TRUE(ants.draw(target, {0, 0, 8, 8}));
  EXPECT_EQ(target.getPixel(3, 4), CAntPoints::isBlackAt(204, 3, 4) ? 0xFF000000u : 0xFFFFFFFFu);
  EXPECT_EQ(target.getPixel(4, 4), 0u);
}

TEST(AntPoints, DrawMagnifiedAndReduced) {
  auto cp = makePlaneP(8, 8, {{3, 4}});
  FakeView view;
  CAntPoints ants(&view);
  ASSERT_TRUE(ants.trace(*cp, false));

  // Zoom 3: three pixels per edge point. Left edge (3,4) maps to (9,12) and
  // runs down (vertical step (sin, cos) = (0, 1)); top edge runs right.
  view.z = 3.0f;
  Pixels px = drawPixels(ants, {0, 0, 64, 64});
  std::set<std::pair<int, int>> where;
  for (auto& [p, black] : px) {
    where.insert(p);
    EXPECT_EQ(black, CAntPoints::isBlackAt(204, p.first, p.second));
  }
  std::set<std::pair<int, int>> expect = {
      {9, 12},  {9, 13},  {9, 14},    // left edge, downward
      {10, 12}, {11, 12},             // top edge, rightward (9,12 shared)
      {11, 13}, {11, 14},             // right edge at x 12, stepped back to 11
      {9, 14},  {10, 14},             // bottom edge at y 15, stepped back to 14
  };
  EXPECT_EQ(where, expect);

  // Zoom 1/2: one pixel per edge point; trailing edges move one forward.
  view.z = 0.5f;
  px = drawPixels(ants, {0, 0, 64, 64});
  where.clear();
  for (auto& [p, black] : px) where.insert(p);
  // left (1,2); top (1,2); right (4*.5=2,2) -> x+1 = 3; bottom (1, 5*.5=2) -> y+1 = 3.
  EXPECT_EQ(where, (std::set<std::pair<int, int>>{{1, 2}, {3, 2}, {1, 3}}));

  // Zoom 2.375 rounds up to three pixels, 2.3 down to two.
  view.z = 2.375f;
  px = drawPixels(ants, {0, 0, 64, 64});
  int leftRun = 0;
  for (auto& [p, black] : px) leftRun += p.first == 7 ? 1 : 0;  // 3 * 2.375 = 7.1 -> 7
  EXPECT_EQ(leftRun, 3);
  view.z = 2.3f;
  px = drawPixels(ants, {0, 0, 64, 64});
  leftRun = 0;
  for (auto& [p, black] : px) leftRun += p.first == 6 ? 1 : 0;  // 3 * 2.3 = 6.9 -> 6
  EXPECT_EQ(leftRun, 2);
}

TEST(AntPoints, DrawRotatedStepsAlongTheTurnedEdge) {
  // A quarter turn (sin 1, cos 0): a horizontal edge steps by (cos, -sin) =
  // (0, -1), a vertical one by (sin, cos) = (1, 0).
  auto cp = makePlaneP(8, 8, {{3, 4}});
  FakeView view;
  view.z = 2.0f;
  view.s = 1.0f;
  view.c = 0.0f;
  CAntPoints ants(&view);
  ASSERT_TRUE(ants.trace(*cp, false));
  std::vector<std::tuple<int, int>> order;
  (void)ants.draw({0, 0, 64, 64}, [&](int32_t x, int32_t y, bool) { order.emplace_back(x, y); });  // the pixels drawn are what is checked
  // left (6,8) -> (6,8),(7,8); top (6,8) -> (6,8),(6,7) (0.375 - 1 floors to -1).
  ASSERT_GE(order.size(), 4u);
  EXPECT_EQ(order[0], std::make_tuple(6, 8));
  EXPECT_EQ(order[1], std::make_tuple(7, 8));
  EXPECT_EQ(order[2], std::make_tuple(6, 8));
  EXPECT_EQ(order[3], std::make_tuple(6, 7));
}

TEST(AntPoints, ClipSelectsPointsAndOriginShiftsThem) {
  auto cp = makePlaneP(8, 8, {{3, 4}});
  FakeView view;
  CAntPoints ants(&view);
  ASSERT_TRUE(ants.trace(*cp, false));
  EXPECT_TRUE(drawPixels(ants, {0, 0, 3, 16}).empty());  // (3,4) lies outside
  EXPECT_TRUE(drawPixels(ants, {4, 0, 16, 16}).size() <= 1);
  // The origin is a document offset: at zoom 2 an origin of (1, 0) moves the
  // outline by two window pixels.
  view.z = 2.0f;
  Pixels before = drawPixels(ants, {0, 0, 64, 64});
  ants.setOrigin(1, 0);
  Pixels after = drawPixels(ants, {0, 0, 64, 64});
  ASSERT_EQ(before.size(), after.size());
  auto b = before.begin();
  for (auto a = after.begin(); a != after.end(); ++a, ++b) {
    EXPECT_EQ(a->first.first, b->first.first + 2);
    EXPECT_EQ(a->first.second, b->first.second);
  }
  // clearAll empties the lists and puts the origin back.
  ants.clearAll();
  EXPECT_FALSE(ants.hasPoints());
  EXPECT_EQ(ants.originX(), 0);
}

TEST(AntPoints, DrawIntoPlaneDropsPixelsOutsideIt) {
  auto cp = makePlaneP(8, 8, {{0, 0}});
  FakeView view;
  view.dx = -1;  // the outline starts left of the plane
  view.z = 4.0f;
  CAntPoints ants(&view);
  ASSERT_TRUE(ants.trace(*cp, false));
  TMTC target(4, 4);
  std::memset(target.Bits, 0, static_cast<size_t>(target.ByteSize()));
  // Clip wider than the plane: points at x = -1 pass the clip, their pixels
  // outside the plane are dropped, the rest land.
  ASSERT_TRUE(ants.draw(target, {-4, -4, 16, 16}));
  int drawn = 0;
  for (int y = 0; y < 4; ++y)
    for (int x = 0; x < 4; ++x) drawn += target.getPixel(x, y) != 0;
  EXPECT_GT(drawn, 0);
}

TEST(AntPoints, TraceRawGrid) {
  const uint8_t grid[] = {0, 9, 0,  //
                          0, 0, 0};
  CAntPoints ants;
  ASSERT_TRUE(ants.trace(grid, 3, 2, 3, false));
  EXPECT_EQ(pointsOf(ants.leftEdges()), (std::vector<TPoint>{{1, 0}}));
  EXPECT_EQ(pointsOf(ants.bottomEdges()), (std::vector<TPoint>{{1, 1}}));
}

}  // namespace
}  // namespace pg
