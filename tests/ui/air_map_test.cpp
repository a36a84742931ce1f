#include "ui/air_map.h"

#include <gtest/gtest.h>

namespace pg {
namespace {

TEST(AirMap, PadValuesFromThePointer) {
  struct {
    int32_t w, h, x, y;
    float a, b;
  } cases[] = {
      {98, 96, 4, 4, 0, 1},       {98, 96, 47, 46, 0, 0.5f},  // the left half is all value A = 0
      {98, 96, 90, 92, 1, 0},     {100, 96, 70, 4, 0.5f, 1},  // three quarters along is A = 0.5
      {98, 96, 500, -50, 1, 1},   {98, 96, -50, 500, 0, 0},
      {12, 12, 6, 6, 1, 0},       {5, 3, 0, 0, 0, 1},          // tiny pads divide by no zero
  };
  for (const auto& c : cases) {
    const SAirMapValues v = airMapPadValuesAt(c.w, c.h, c.x, c.y);
    EXPECT_FLOAT_EQ(v.a, c.a) << c.w << "x" << c.h << " at " << c.x << "," << c.y;
    EXPECT_FLOAT_EQ(v.b, c.b) << c.w << "x" << c.h << " at " << c.x << "," << c.y;
  }
  // The cross: A = 0 sits in the middle, B = 1 at the top of the inner area.
  EXPECT_EQ(airMapPadCross(98, 96, 0, 1), (TPoint{7 + 42, 7}));
  EXPECT_EQ(airMapPadCross(98, 96, 1, 0), (TPoint{7 + 84, 7 + 82}));
}

TEST(AirMap, PopupLayouts) {
  const SAirMapPopupLayout five = airMapPopupLayout(kAirMapFive);
  EXPECT_EQ(five.width, 152);
  EXPECT_EQ(five.height, 32);
  ASSERT_EQ(five.count, 5);
  EXPECT_FALSE(five.full);
  const uint8_t fiveTypes[] = {6, 5, 0, 3, 2};
  const int32_t lefts[] = {2, 32, 62, 92, 122, 152};
  for (int i = 0; i < 5; ++i) {
    EXPECT_EQ(five.types[static_cast<size_t>(i)], fiveTypes[i]);
    EXPECT_EQ(five.buttons[static_cast<size_t>(i)], (TRect{lefts[i], 2, lefts[i] + 28, 30}));
  }
  const SAirMapPopupLayout full = airMapPopupLayout(kAirMapFull);
  EXPECT_EQ(full.width, 182);
  EXPECT_EQ(full.height, 130);
  ASSERT_EQ(full.count, 6);
  const uint8_t fullTypes[] = {6, 1, 5, 0, 4, 3};
  for (int i = 0; i < 6; ++i) EXPECT_EQ(full.types[static_cast<size_t>(i)], fullTypes[i]);
  EXPECT_EQ(full.buttons[5], (TRect{152, 2, 180, 30}));
  EXPECT_EQ(full.pad, (TRect{2, 32, 100, 128}));
  EXPECT_EQ(full.fieldB, (TRect{151, 54, 179, 70}));
  // Every part lies inside the pop-up.
  for (const TRect& r : {full.pad, full.glyphA, full.glyphB, full.fieldA, full.fieldB, full.buttons[5]}) {
    EXPECT_LE(r.Right, full.width);
    EXPECT_LE(r.Bottom, full.height);
  }
}

TEST(AirMap, CurveStaysInItsRectangle) {
  TMemoryGraphic g(30, 20, 0xFFFFFFFFu);
  ASSERT_TRUE(paintFalloffCurve(g, {5, 5, 25, 15}, 3, 0xFF000000u, 0.0f, 0.0f));
  int touched = 0;
  for (int32_t y = 0; y < 20; ++y)
    for (int32_t x = 0; x < 30; ++x) {
      const bool inside = x >= 5 && x < 25 && y >= 5 && y < 15;
      const uint32_t p = g.scanLine(y)[x];
      if (!inside) {
        EXPECT_EQ(p, 0xFFFFFFFFu) << x << "," << y;
      } else if (p != 0xFFFFFFFFu) {
        ++touched;
      }
    }
  EXPECT_GT(touched, 0);
  // The hill's middle column reaches the top row; its edges do not.
  EXPECT_NE(g.scanLine(5)[15], 0xFFFFFFFFu);
  EXPECT_EQ(g.scanLine(5)[5], 0xFFFFFFFFu);
  EXPECT_FALSE(paintFalloffCurve(g, {20, 5, 40, 15}, 3, 0xFF000000u, 0.0f, 0.0f));
}

}  // namespace
}  // namespace pg
