#include "ui/snap_rect.h"

#include <gtest/gtest.h>

namespace pg {
namespace {

TRect rectAt(int32_t x, int32_t y, int32_t w, int32_t h) { return {x, y, x + w, y + h}; }

struct SnapCase {
  const char* what;
  TRect start;
  TRect expected;
  bool moved;
};

TEST(SnapRect, EdgesWithinEightPixelsJumpAndFartherMoveFreely) {
  SSnapTargets t;
  t.monitors = {{0, 0, 1920, 1080}};
  t.hasOwnerArea = true;
  t.ownerArea = {100, 80, 1500, 1000};
  t.others = {rectAt(600, 300, 200, 300)};
  const SnapCase cases[] = {
      {"8 px from the monitor's left edge", rectAt(8, 500, 100, 100), rectAt(0, 500, 100, 100), true},
      {"9 px from the monitor's left edge", rectAt(9, 500, 100, 100), rectAt(9, 500, 100, 100), false},
      {"near the monitor's right edge", rectAt(1815, 500, 100, 100), rectAt(1820, 500, 100, 100), true},
      {"near the monitor's top", rectAt(20, -6, 50, 50), rectAt(20, 0, 50, 50), true},
      {"near the document area's left", rectAt(106, 500, 50, 50), rectAt(100, 500, 50, 50), true},
      {"near the document area's bottom", rectAt(300, 895, 50, 100), rectAt(300, 900, 50, 100), true},
      {"right edge 8 px left of another form", rectAt(492, 500, 100, 50), rectAt(500, 500, 100, 50), true},
      {"left edge 9 px right of another form", rectAt(809, 500, 100, 50), rectAt(809, 500, 100, 50), false},
      {"stacked below another form, lefts aligned", rectAt(605, 604, 100, 50), rectAt(600, 600, 100, 50), true},
      {"already in place", rectAt(0, 0, 100, 100), rectAt(0, 0, 100, 100), false},
  };
  for (const auto& c : cases) {
    TRect r = c.start;
    EXPECT_EQ(snapRect(r, t), c.moved) << c.what;
    EXPECT_EQ(r, c.expected) << c.what;
  }
}

TEST(SnapRect, SideBySideAlsoLinesUpTopOrBottom) {
  SSnapTargets t;
  t.others = {rectAt(600, 300, 200, 300)};
  TRect r = rectAt(805, 306, 100, 100);  // snaps to the right side, top within reach
  EXPECT_TRUE(snapRect(r, t));
  EXPECT_EQ(r, rectAt(800, 300, 100, 100));
  r = rectAt(803, 495, 100, 100);  // bottoms within reach
  EXPECT_TRUE(snapRect(r, t));
  EXPECT_EQ(r, rectAt(800, 500, 100, 100));
  r = rectAt(800, 400, 100, 100);  // touching already, tops far apart: nothing moves
  EXPECT_FALSE(snapRect(r, t));
}

TEST(SnapRect, LaterTargetsOnlyRefineTheFirstSnap) {
  // The monitor pulls the form 6 px; another form's edge 3 px farther on is
  // then out of reach: a form never travels more than 8 px in all.
  SSnapTargets t;
  t.monitors = {{0, 0, 1000, 1000}};
  t.others = {rectAt(-300, 450, 297, 200)};
  TRect r = rectAt(6, 500, 100, 100);
  EXPECT_TRUE(snapRect(r, t));
  EXPECT_EQ(r, rectAt(0, 500, 100, 100));
}

}  // namespace
}  // namespace pg
