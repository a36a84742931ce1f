#include "core/rect.h"

#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <vector>

namespace pg {
namespace rect_test {

TEST(Grid, InsideTestsCompareUnsigned) {
  struct Case {
    int32_t x, y, w, h;
    bool inside, insideIncl;
  };
  const Case cases[] = {
      {-1, 0, 10, 10, false, false}, {0, -1, 10, 10, false, false}, {0, 0, 10, 10, true, true},
      {9, 9, 10, 10, true, true},    {10, 9, 10, 10, false, true},  {10, 10, 10, 10, false, true},
      {11, 10, 10, 10, false, false}, {INT_MIN, 0, 10, 10, false, false}, {0, 0, 0, 0, false, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(::testing::Message() << c.x << "," << c.y << " in " << c.w << "x" << c.h);
    EXPECT_EQ(insideGrid(c.x, c.y, c.w, c.h), c.inside);
    EXPECT_EQ(insideGridIncl(c.x, c.y, c.w, c.h), c.insideIncl);
  }
}

TEST(Points, FloatToPointFloorsAfterAddingOneHundredth) {
  struct Case {
    float v;
    int32_t expected;
  };
  const Case cases[] = {{2.995f, 3}, {2.98f, 2}, {-0.5f, -1}, {-0.005f, 0}, {0.0f, 0}, {7.5f, 7}, {-2.0f, -2}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.v);
    EXPECT_EQ(floatToPoint({c.v, c.v}), (TPoint{c.expected, c.expected}));
  }
}

TEST(Points, ClampsIntoSizeAndRectangle) {
  TPoint p{-4, 12};
  clampPointToSize(p, {10, 10});
  EXPECT_EQ(p, (TPoint{0, 9}));
  p = {5, 5};
  clampPointToSize(p, {0, 0});  // an empty size clamps to the origin, never to -1
  EXPECT_EQ(p, (TPoint{0, 0}));

  p = {100, -100};
  clampPointToXYWH(p, {10, 20, 5, 3});
  EXPECT_EQ(p, (TPoint{14, 20}));
  p = {100, 100};
  clampPointToXYWH(p, {10, 20, 0, -1});  // no width or height: the corner itself
  EXPECT_EQ(p, (TPoint{10, 20}));
}

TEST(Ranges, ClampsTestLowFirstAndRangesOrderTheirEnds) {
  struct Case {
    int32_t v, lo, hi, expected;
  };
  const Case cases[] = {{5, 10, 0, 10}, {-3, 0, 9, 0}, {12, 0, 9, 9}, {4, 0, 9, 4}, {0, 0, 0, 0}};
  for (const Case& c : cases) {
    SCOPED_TRACE(::testing::Message() << c.v << " in [" << c.lo << "," << c.hi << "]");
    EXPECT_EQ(clampInt(c.v, c.lo, c.hi), c.expected);
    int32_t v = c.v;
    clampIntVar(v, c.lo, c.hi);
    EXPECT_EQ(v, c.expected);
  }
  EXPECT_EQ(clampFloat(5.0f, 10.0f, 0.0f), 10.0f);
  EXPECT_FALSE(inRange(5, 6, 4));
  EXPECT_TRUE(inRange(4, 4, 4));
  EXPECT_TRUE(inRangeF(0.5f, 0.0f, 1.0f));

  SRange r;
  makeRange(r, 7, -2);
  EXPECT_EQ(r, (SRange{-2, 7}));
  extendRange(r, 9);
  extendRange(r, -5);
  EXPECT_EQ(r, (SRange{-5, 9}));
  EXPECT_TRUE(rangeContains(r, 9));
  EXPECT_FALSE(rangeContains(r, 10));

  int32_t a = 5, b = 9;
  minMax3(a, b, -1);
  EXPECT_EQ(a, -1);
  EXPECT_EQ(b, 9);
  uint16_t w = 0x1234;
  swapWordBytes(w);
  EXPECT_EQ(w, 0x3412);
}

TEST(Ratios, FloatWholeAndOne) {
  EXPECT_EQ(ratioToFloat({3, 0}), 32767.0f);
  EXPECT_EQ(ratioToFloat({1, 4}), 0.25f);
  EXPECT_EQ(ratioToFloat({16, 1}), 16.0f);
  EXPECT_TRUE(ratioIsWhole({6, 3}));
  EXPECT_FALSE(ratioIsWhole({1, 3}));
  EXPECT_FALSE(ratioIsWhole({3, 0}));  // no division by zero
  EXPECT_FALSE(ratioIsWhole({INT_MIN, 0}));
  EXPECT_TRUE(ratioIsWhole({INT_MIN, -1}));  // no overflow trap either
  EXPECT_TRUE(ratioIsOne({2, 2}));
  EXPECT_TRUE(ratioAtLeastOne({3, 2}));
  EXPECT_FALSE(ratioAtLeastOne({1, 2}));
}

TEST(Rects, IntersectWorksEdgeByEdge) {
  struct Case {
    TRect a, b;
    bool result;
    TRect after;  // a afterwards, also when it answered False
  };
  const Case cases[] = {
      {{0, 0, 10, 10}, {5, 5, 20, 20}, true, {5, 5, 10, 10}},
      {{0, 0, 10, 10}, {2, 3, 4, 5}, true, {2, 3, 4, 5}},
      {{0, 0, 10, 10}, {10, 0, 20, 10}, false, {10, 0, 10, 10}},  // touching: empty
      {{30, 0, 40, 10}, {0, 0, 20, 10}, false, {30, 0, 40, 10}},  // left beyond b.Right: stops at once
      {{0, 0, 10, 10}, {20, 0, 30, 10}, false, {20, 0, 10, 10}},  // Left moved, then Right fails
      {{0, 30, 10, 40}, {0, 0, 10, 20}, false, {0, 30, 10, 40}},
  };
  for (const Case& c : cases) {
    TRect a = c.a;
    EXPECT_EQ(intersectRect(a, c.b), c.result);
    EXPECT_EQ(a, c.after);
  }
  TRectF f{0.5f, 0.5f, 3.5f, 3.5f};
  EXPECT_TRUE(intersectRectF(f, {1.0f, 0.0f, 2.0f, 10.0f}));
  EXPECT_EQ(f, (TRectF{1.0f, 0.5f, 2.0f, 3.5f}));
}

TEST(Rects, XywhIntersectionsWriteBackEvenWhenEmpty) {
  SRectXYWH r{-5, -5, 10, 10};
  EXPECT_TRUE(clipXYWHToSize(r, {3, 20}));
  EXPECT_EQ(r, (SRectXYWH{0, 0, 3, 5}));
  r = {0, 0, 10, 10};
  EXPECT_FALSE(intersectXYWH2(r, {10, 0, 5, 5}));
  EXPECT_EQ(r, (SRectXYWH{10, 0, 0, 5}));
}

TEST(Rects, ClipToSizeSumsEdgesIn64BitsAndKeepsAnEmptyResultOut) {
  struct Case {
    SRectXYWH r;
    bool left;
    SRectXYWH after;
  };
  const Case cases[] = {
      {{10, 0, INT32_MAX, 5}, true, {10, 0, 90, 5}},        // X + Width past INT32_MAX
      {{INT32_MIN, INT32_MIN, -1, -1}, false, {INT32_MIN, INT32_MIN, -1, -1}},
      {{INT32_MAX, 3, INT32_MAX, 1}, false, {INT32_MAX, 3, INT32_MAX, 1}},
      {{-3, 99, 4, 5}, true, {0, 99, 1, 1}},
      {{100, 0, 5, 5}, false, {100, 0, 5, 5}},               // touching the edge: nothing left
  };
  for (const Case& c : cases) {
    SRectXYWH r = c.r;
    EXPECT_EQ(clipXYWHToSize(r, {100, 100}), c.left);
    EXPECT_EQ(r, c.after);
  }
}

TEST(Rects, SubtractGivesBandsTopLeftRightBottom) {
  TRect out[4];
  const TRect outer{0, 0, 10, 10};
  ASSERT_EQ(subtractRect({2, 3, 6, 8}, outer, out), 4);
  EXPECT_EQ(out[0], (TRect{0, 0, 10, 3}));
  EXPECT_EQ(out[1], (TRect{0, 3, 2, 8}));
  EXPECT_EQ(out[2], (TRect{6, 3, 10, 8}));
  EXPECT_EQ(out[3], (TRect{0, 8, 10, 10}));

  EXPECT_EQ(subtractRect(outer, outer, out), 0);

  ASSERT_EQ(subtractRect({0, 0, 10, 4}, outer, out), 1);  // flush with the top and sides
  EXPECT_EQ(out[0], (TRect{0, 4, 10, 10}));
  ASSERT_EQ(subtractRect({4, 0, 10, 10}, outer, out), 1);
  EXPECT_EQ(out[0], (TRect{0, 0, 4, 10}));
}

TEST(Rects, UnionIncludeAndContain) {
  TRect a{0, 0, 0, 0};
  unionRect(a, {5, 5, 8, 9});  // the empty rectangle still pulls in the origin
  EXPECT_EQ(a, (TRect{0, 0, 8, 9}));

  TRect b{2, 2, 4, 4};
  includePoint(b, {10, 0});
  EXPECT_EQ(b, (TRect{2, 0, 11, 4}));
  includePoint(b, {1, 4});
  EXPECT_EQ(b, (TRect{1, 0, 11, 5}));

  TRect c{0, 0, 1, 1};
  includeRect(c, {3, 3, 6, 5});
  EXPECT_EQ(c, (TRect{0, 0, 6, 5}));

  SRectXYWH x{0, 0, 2, 2};
  unionXYWH(x, {4, 1, 2, 3});
  EXPECT_EQ(x, (SRectXYWH{0, 0, 6, 4}));

  EXPECT_TRUE(ptInRect({0, 0, 2, 2}, {1, 1}));
  EXPECT_FALSE(ptInRect({0, 0, 2, 2}, {2, 1}));
  EXPECT_TRUE(ptInXYWH({1, 1, 2, 2}, {2, 2}));
  EXPECT_FALSE(ptInXYWH({1, 1, 2, 2}, {3, 2}));
  EXPECT_TRUE(sizeContains({4, 4}, {4, 3}));
  EXPECT_FALSE(sizeContains({4, 4}, {5, 3}));
  EXPECT_TRUE(xywhInsideSize({1, 1, 3, 3}, {4, 4}));
  EXPECT_FALSE(xywhInsideSize({1, 1, 4, 3}, {4, 4}));
  EXPECT_FALSE(xywhInsideSize({INT_MAX, 0, 1, 1}, {4, 4}));
}

TEST(Rects, Conversions) {
  SRectXYWH r;
  xywhFromPoints(r, {10, 10}, {4, 12});
  EXPECT_EQ(r, (SRectXYWH{4, 10, 6, 2}));
  EXPECT_EQ(xywhToRect({1, 2, 3, 4}), (TRect{1, 2, 4, 6}));
  EXPECT_EQ(rectToXYWH({1, 2, 4, 6}), (SRectXYWH{1, 2, 3, 4}));
  EXPECT_EQ(rectSize({1, 2, 4, 6}), (SSize{3, 4}));
  EXPECT_EQ(rectArea({0, 0, 10000, 10000}), 100000000);
  EXPECT_EQ(rectArea({-60000, -60000, 60000, 60000}), 14400000000LL);
  EXPECT_EQ(rectFToRect({0.5f, -0.5f, 2.1f, 3.0f}), (TRect{0, -1, 3, 3}));
  EXPECT_EQ(rectFToRect({-1e20f, 0.0f, 1e20f, NAN}), (TRect{INT_MIN, 0, INT_MAX, 0}));  // saturated, not undefined
  EXPECT_EQ(floatToPoint({3e9f, -3e9f}), (TPoint{INT_MAX, INT_MIN}));
  EXPECT_EQ(rectFFromPoints({3.0f, 1.0f}, {1.0f, 2.5f}), (TRectF{1.0f, 1.0f, 4.0f, 3.5f}));
  TRect t;
  rectFromPointSize(t, {2, 3}, {4, 5});
  EXPECT_EQ(t, (TRect{2, 3, 6, 8}));
  SRectXYWH d{0, 0, 10, 10};
  deflateXYWH(d, 2);
  EXPECT_EQ(d, (SRectXYWH{2, 2, 6, 6}));
}

TEST(FitAspect, FitsKeepingAspect) {
  struct Case {
    SSize box, size;
    SRectXYWH expected;
  };
  const Case cases[] = {
      {{40, 40}, {100, 50}, {0, 10, 40, 20}},
      {{100, 10}, {1, 1000}, {49, 0, 1, 10}},  // width max(0, 1) = 1
      {{10, 100}, {1000, 1}, {0, 49, 10, 1}},
      {{40, 40}, {20, 20}, {0, 0, 40, 40}},  // equal ratios fill the box
      {{40, 40}, {50, 100}, {10, 0, 20, 40}},
      {{40, 40}, {0, 10}, {0, 0, 0, 0}},  // an empty image fits nowhere (no division by zero)
      {{40, 40}, {10, 0}, {0, 0, 0, 0}},
  };
  for (const Case& c : cases) {
    SRectXYWH out;
    fitAspect(out, c.box, c.size);
    EXPECT_EQ(out, c.expected) << c.size.W << "x" << c.size.H << " into " << c.box.W << "x" << c.box.H;
  }
  SRectXYWH out;
  fitAspectNoEnlarge(out, {40, 40}, {10, 20});
  EXPECT_EQ(out, (SRectXYWH{15, 10, 10, 20}));
  fitAspectNoEnlarge(out, {40, 40}, {100, 50});
  EXPECT_EQ(out, (SRectXYWH{0, 10, 40, 20}));
}

TEST(KeepRectInside, ClampsPositionAllowingTheFlushEdge) {
  SRectXYWH r{95, -5, 10, 10};
  EXPECT_TRUE(keepRectInside(r, {0, 0, 100, 50}));
  EXPECT_EQ(r, (SRectXYWH{90, 0, 10, 10}));
  r = {3, 3, 100, 50};
  EXPECT_TRUE(keepRectInside(r, {0, 0, 100, 50}));  // equal sizes: the bounds' corner
  EXPECT_EQ(r, (SRectXYWH{0, 0, 100, 50}));
  r = {3, 3, 101, 10};
  EXPECT_FALSE(keepRectInside(r, {0, 0, 100, 50}));
  EXPECT_EQ(r, (SRectXYWH{3, 3, 101, 10}));
}

TEST(ClipCopyRect, ClipsSourceThenDestination) {
  struct Case {
    const char* what;
    SSize dst, src;
    TPoint point;
    SRectXYWH rect;
    bool result;
    TPoint pointAfter;
    SRectXYWH rectAfter;
  };
  const Case cases[] = {
      {"point left of destination", {20, 20}, {20, 20}, {-3, 0}, {0, 0, 10, 5}, true, {0, 0}, {3, 0, 7, 5}},
      {"point above destination", {20, 20}, {20, 20}, {0, -4}, {0, 0, 5, 10}, true, {0, 0}, {0, 4, 5, 6}},
      {"past destination right", {20, 20}, {30, 30}, {15, 0}, {0, 0, 10, 5}, true, {15, 0}, {0, 0, 5, 5}},
      {"past destination bottom", {20, 20}, {30, 30}, {0, 18}, {0, 0, 5, 10}, true, {0, 18}, {0, 0, 5, 2}},
      {"rect left of source", {20, 20}, {20, 20}, {5, 5}, {-2, 0, 6, 6}, true, {7, 5}, {0, 0, 4, 6}},
      {"rect past source right", {20, 20}, {8, 8}, {0, 0}, {5, 0, 6, 6}, true, {0, 0}, {5, 0, 3, 6}},
      {"rect beyond source", {20, 20}, {8, 8}, {0, 0}, {8, 0, 6, 6}, false, {}, {}},
      {"rect ends before source", {20, 20}, {8, 8}, {0, 0}, {-6, 0, 6, 6}, false, {}, {}},
      {"point beyond destination", {20, 20}, {30, 30}, {20, 0}, {0, 0, 5, 5}, false, {}, {}},
      {"empty rect", {20, 20}, {30, 30}, {0, 0}, {0, 0, 0, 5}, false, {}, {}},
      {"no overflow at the extremes", {20, 20}, {30, 30}, {INT_MAX - 5, 0}, {-10, 0, INT_MAX, 5}, false, {}, {}},
      {"huge rect clipped to both", {20, 20}, {30, 30}, {-5, 0}, {-10, 0, INT_MAX, 5}, true, {5, 0}, {0, 0, 15, 5}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    TPoint p = c.point;
    SRectXYWH r = c.rect;
    ASSERT_EQ(clipCopyRect(c.dst, c.src, p, r), c.result);
    if (c.result) {
      EXPECT_EQ(p, c.pointAfter);
      EXPECT_EQ(r, c.rectAfter);
    }
  }
}

}  // namespace rect_test
}  // namespace pg
