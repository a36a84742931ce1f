#include "document/zoom_steps.h"

#include <gtest/gtest.h>

namespace pg {
namespace {

struct ZoomCase {
  SRatio from;
  SRatio up;
  SRatio down;
};

TEST(ZoomSteps, MovesToTheNextStepInEachDirection) {
  const ZoomCase cases[] = {
      {{16, 1}, {16, 1}, {12, 1}},  // the top stays
      {{1, 16}, {1, 12}, {1, 16}},  // the bottom stays
      {{5, 4}, {3, 2}, {1, 1}},     // between two steps
      {{1, 3}, {1, 2}, {1, 4}},
      {{2, 3}, {1, 1}, {1, 2}},     // a step whose value is not exact as a float
      {{1, 12}, {1, 8}, {1, 16}},
      {{100, 1}, {16, 1}, {16, 1}},  // beyond the table
      {{1, 100}, {1, 16}, {1, 16}},
      {{2, 2}, {3, 2}, {2, 3}},      // an unreduced ratio
      {{3000000, 1000000}, {4, 1}, {2, 1}},  // products past 32 bits
  };
  for (const ZoomCase& c : cases) {
    SRatio up = c.from;
    zoomRatioUp(up);
    EXPECT_EQ(up, c.up) << c.from.Num << "/" << c.from.Den;
    SRatio down = c.from;
    zoomRatioDown(down);
    EXPECT_EQ(down, c.down) << c.from.Num << "/" << c.from.Den;
  }
}

TEST(ZoomSteps, WalksTheWholeTableOneStepAtATime) {
  SRatio r = kZoomSteps.front();
  for (size_t i = 1; i < kZoomSteps.size(); ++i) {
    zoomRatioUp(r);
    EXPECT_EQ(r, kZoomSteps[i]);
  }
  for (size_t i = kZoomSteps.size() - 1; i-- > 0;) {
    zoomRatioDown(r);
    EXPECT_EQ(r, kZoomSteps[i]);
  }
}

}  // namespace
}  // namespace pg
