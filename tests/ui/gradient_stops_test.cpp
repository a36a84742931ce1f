#include "ui/gradient_stops.h"

#include <gtest/gtest.h>

namespace pg {
namespace {

std::vector<float> positions(const TGradientStops& s) {
  std::vector<float> v;
  for (int32_t i = 0; i < s.count(); ++i) v.push_back(s.posAt(i)->Position);
  return v;
}
std::vector<int> splits(const TGradientStops& s) {
  std::vector<int> v;
  for (int32_t i = 0; i < s.count(); ++i) v.push_back(s.posAt(i)->Split);
  return v;
}

TEST(GradientStops, AddInterpolatesBetweenNeighbours) {
  TGradientStops s;
  s.setOpacity(0, 0.0f);
  EXPECT_EQ(s.addStopAt(0.25f, true), 1);
  EXPECT_EQ(s.selectIndex(), 1);
  const TGradientEditPos& p = *s.posAt(1);
  EXPECT_FLOAT_EQ(p.Opacity, 0.25f);
  EXPECT_EQ(p.Kind, 0) << "the ends follow different colours";
  EXPECT_FLOAT_EQ(p.Color.R, 0.25f);
  EXPECT_EQ(s.addStopAt(1.5f, false), -1);
  EXPECT_EQ(s.addStopAt(0.75f, false), 2);
  EXPECT_EQ(s.selectIndex(), 1);
}

TEST(GradientStops, CapacityBoundsAdding) {
  TGradientStops s;
  for (int i = 0; i < 300; ++i) (void)s.addStopAt(static_cast<float>(i % 97) / 97.0f, false);
  EXPECT_EQ(s.count(), s.capacity());
}

TEST(GradientStops, MoveStaysBetweenNeighboursAndSplitPairsMoveTogether) {
  TGradientStops s;
  ASSERT_GE(s.addStopAt(0.2f, false), 0);
  ASSERT_GE(s.addStopAt(0.5f, false), 0);
  ASSERT_GE(s.addStopAt(0.8f, false), 0);
  s.moveStop(2, 0.9f);
  EXPECT_FLOAT_EQ(s.posAt(2)->Position, 0.8f);
  s.moveStop(2, 0.1f);
  EXPECT_FLOAT_EQ(s.posAt(2)->Position, 0.2f);
  s.moveStop(2, 0.5f);
  s.moveStop(0, 0.5f);
  EXPECT_EQ(s.posAt(0)->Position, 0.0f) << "ends never move";
  ASSERT_TRUE(s.canUnion(2));
  s.unionRight(2);  // 2 joins 3 at 0.8
  EXPECT_EQ(s.splitState(2), 2);
  EXPECT_EQ(s.splitState(3), 1);
  EXPECT_FALSE(s.canUnion(1)) << "a neighbour is split";
  s.moveStop(3, 0.6f);
  EXPECT_FLOAT_EQ(s.posAt(2)->Position, 0.6f);
  EXPECT_FLOAT_EQ(s.posAt(3)->Position, 0.6f);
  s.setSelectIndex(3);
  EXPECT_EQ(s.selectIndex(), 2) << "the left partner stands for the pair";
  s.centreStop(2);
  EXPECT_FLOAT_EQ(s.posAt(2)->Position, 0.6f);  // midway between 0.2 and 1
  s.deleteStop(3);
  EXPECT_EQ(positions(s), (std::vector<float>{0, 0.2f, 1}));
  EXPECT_EQ(s.selectIndex(), 1);
  s.deleteStop(0);
  s.deleteStop(2);
  EXPECT_EQ(s.count(), 3) << "ends are never deleted";
}

TEST(GradientStops, UnionLeftSeparateAndDivide) {
  TGradientStops s;
  ASSERT_GE(s.addStopAt(0.3f, false), 0);
  ASSERT_GE(s.addStopAt(0.6f, false), 0);
  s.unionLeft(2);
  EXPECT_EQ(positions(s), (std::vector<float>{0, 0.3f, 0.3f, 1}));
  EXPECT_EQ(s.selectIndex(), 1);
  ASSERT_TRUE(s.canDivide(1, 3));
  s.divide(1, 3);  // between the pair (0.3) and the right end
  EXPECT_EQ(s.count(), 6);
  EXPECT_NEAR(s.posAt(3)->Position, 0.3f + 0.7f / 3, 1e-6f);
  s.separate(2);
  EXPECT_EQ(splits(s), (std::vector<int>{0, 0, 0, 0, 0, 0}));
  EXPECT_FALSE(s.canDivide(5, 1));
}

TEST(GradientStops, ReverseTwiceIsIdentity) {
  TGradientStops s;
  ASSERT_GE(s.addStopAt(0.1f, false), 0);
  ASSERT_GE(s.addStopAt(0.4f, false), 0);
  ASSERT_GE(s.addStopAt(0.7f, false), 0);
  s.setOpacity(2, 0.5f);
  s.unionRight(2);  // pair (2, 3) at 0.7
  s.setSelectIndex(1);
  const auto pos = positions(s);
  const auto spl = splits(s);
  s.reverse();
  EXPECT_EQ(s.splitState(1), 2) << "the pair is at the front now";
  EXPECT_FLOAT_EQ(s.posAt(1)->Position, 1.0f - 0.7f);
  EXPECT_EQ(s.posAt(0)->Kind, 2) << "the ends exchange their colours";
  EXPECT_EQ(s.selectIndex(), 3);
  s.reverse();
  for (size_t i = 0; i < pos.size(); ++i) EXPECT_NEAR(positions(s)[i], pos[i], 1e-6f);
  EXPECT_EQ(splits(s), spl);
  EXPECT_FLOAT_EQ(s.posAt(2)->Opacity, 0.5f);
  EXPECT_EQ(s.selectIndex(), 1);
}

TEST(GradientStops, SlotRoundTripKeepsOpacityAndSplits) {
  TGradientStops s;
  ASSERT_GE(s.addStopAt(0.25f, false), 0);
  ASSERT_GE(s.addStopAt(0.5f, false), 0);
  s.unionRight(1);
  s.setKind(0, 3);
  TColorManager m;
  m.setRGB(1, 0, 0);
  s.setColor(m.rec(), 3);
  EXPECT_EQ(slotFromStop(*s.posAt(0), 0, 0.25f).Opacity, 255) << "opacity 1.0 stays opaque";
  EXPECT_EQ(opacityByte(0.5f), 128);
  CColorSlotGroup g;
  ASSERT_TRUE(s.writeColorSlotGroup(g));
  TGradientStops back;
  back.setColorSlotGroup(g);
  ASSERT_EQ(back.count(), s.count());
  for (int32_t i = 0; i < s.count(); ++i) {
    EXPECT_NEAR(back.posAt(i)->Position, s.posAt(i)->Position, 1e-4f) << i;
    EXPECT_EQ(back.posAt(i)->Kind, s.posAt(i)->Kind) << i;
    EXPECT_EQ(back.posAt(i)->Split, s.posAt(i)->Split) << i;
    EXPECT_EQ(opacityByte(back.posAt(i)->Opacity), 255) << i;
  }
  EXPECT_EQ(colorRecToRgba(back.posAt(3)->Color, 0), 0x00FF0000u);
  // A group of the two ends only.
  TGradientStops two;
  CColorSlotGroup g2;
  ASSERT_TRUE(two.writeColorSlotGroup(g2));
  back.setColorSlotGroup(g2);
  EXPECT_EQ(back.count(), 2);
  // A group without a right end falls back to the default ends.
  back.setColorSlotGroup(CColorSlotGroup());
  EXPECT_EQ(back.count(), 2);
}

TEST(GradientStops, PointerGeometry) {
  TGradientStops s;
  ASSERT_GE(s.addStopAt(0.5f, false), 0);
  const int32_t w = 100;
  EXPECT_EQ(gradientMarkerX(w, 0.5f), 50);
  EXPECT_FLOAT_EQ(gradientPositionAt(w, 57), 0.5f);
  EXPECT_EQ(gradientNearestStop(s, w, 7), 0);
  EXPECT_EQ(gradientNearestStop(s, w, 107), 2);
  EXPECT_EQ(gradientNearestStop(s, w, 7 + 25), 0) << "the left one on a tie";
  EXPECT_EQ(gradientNearestStop(s, w, 7 + 26), 1);
  EXPECT_TRUE(gradientHitsMarker(s, w, 7 + 50 + 7));
  EXPECT_FALSE(gradientHitsMarker(s, w, 7 + 50 + 8));
}

}  // namespace
}  // namespace pg
