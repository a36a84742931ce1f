// The lighting dialog's panes without a display: the reduced copy, the lit
// picture, the drag that a press picks and what each drag sets.
#include <gtest/gtest.h>

#include <cmath>

#include "filter_fixture.h"
#include "filters/light_panes.h"

namespace pg {
namespace {

using testing::FilterFixture;

TEST(LightPreviewPane, TheCopyFitsThePaneKeepingItsShape) {
  struct Case {
    int32_t w, h;
    int32_t rw, rh;
  };
  const Case cases[] = {{320, 160, 160, 80}, {100, 100, 160, 160}, {1, 1000, 1, 160}, {40, 20, 160, 80}};
  for (const Case& c : cases) {
    TMTC area(c.w, c.h);
    for (int32_t y = 0; y < c.h; ++y)
      for (int32_t x = 0; x < c.w; ++x) *area.pixelAt(x, y) = 0xFF000000u | uint32_t(x);
    CLightPreviewModel m;
    ASSERT_TRUE(m.attach(area)) << c.w << "x" << c.h;
    EXPECT_EQ(m.reducedSize().W, c.rw) << c.w << "x" << c.h;
    EXPECT_EQ(m.reducedSize().H, c.rh) << c.w << "x" << c.h;
    EXPECT_EQ(m.origin().X, (160 - c.rw) / 2);
    EXPECT_EQ(m.origin().Y, (160 - c.rh) / 2);
  }
  CLightPreviewModel m;
  EXPECT_FALSE(m.attach(TMTC{}));
}

// The pane lights its copy with the kernel's own formulas.
TEST(LightPreviewPane, RelightsAsTheKernelDoes) {
  FilterFixture f(160, 80);
  f.setPixels([](int32_t x, int32_t y) { return 0xFF000000u | uint32_t(x) << 16 | uint32_t(y * 3) << 8 | 0x40u; });
  SLight4 spot = lightKindDefaults(lkSpot);
  spot.X = 0.3f;
  spot.Pitch = 0.5f;
  spot.Spread = 50;
  const SFltLightingHeader header{0xFFFFFEC7u, 30};
  CLightPreviewModel m;
  ASSERT_TRUE(m.attach(f.work));
  TMTC lit;
  ASSERT_TRUE(m.relight(header, spot, lit));
  const SLightingRecord rec(header, spot);
  const SFlt4Context ctx = f.context();
  ASSERT_TRUE(lightingKernel(&ctx, &rec.record, int32_t(SFltRecord::kWireSize)));
  for (int32_t y = 0; y < 80; ++y)
    for (int32_t x = 0; x < 160; ++x) ASSERT_EQ(lit.getPixel(x, y), f.pixel(x, y)) << x << "," << y;
}

TEST(LightPreviewPane, APressPicksItsDragByTheDistanceFromTheLamp) {
  TMTC area(160, 160);
  CLightPreviewModel m;
  ASSERT_TRUE(m.attach(area));
  SLampView v;
  v.kind = lkSpot;
  v.direction = 0;
  const TPointF lamp = m.lampPoint(v);
  EXPECT_FLOAT_EQ(lamp.X, 80.0f);
  struct Case {
    float dx;
    ELampDrag directed;
  };
  const Case cases[] = {{2, ELampDrag::Move}, {10, ELampDrag::Direction}, {27, ELampDrag::Direction},
                        {30, ELampDrag::Spread}, {40, ELampDrag::Move}};
  for (const Case& c : cases) {
    EXPECT_EQ(m.press(v, TPointF{lamp.X + c.dx, lamp.Y}), c.directed) << c.dx;
    SLampView point = v;
    point.kind = lkPoint;
    EXPECT_EQ(m.press(point, TPointF{lamp.X + c.dx, lamp.Y}), ELampDrag::Move) << c.dx;
  }
}

TEST(LightPreviewPane, DragsSetPositionDirectionPitchAndSpread) {
  TMTC area(160, 80);
  CLightPreviewModel m;
  ASSERT_TRUE(m.attach(area));
  SLampView v;
  v.kind = lkWarm;
  const TPointF lamp = m.lampPoint(v);
  // Direction and pitch: the angle around the lamp; 24 pixels out is straight
  // sideways (90 degrees), 12 pixels is 30 degrees.
  m.drag(ELampDrag::Direction, v, TPointF{lamp.X, lamp.Y + 12});
  EXPECT_NEAR(v.direction, 90.0, 1e-9);
  EXPECT_NEAR(v.pitch, 30.0, 1e-9);
  m.drag(ELampDrag::Direction, v, TPointF{lamp.X + 40, lamp.Y});
  EXPECT_NEAR(v.direction, 0.0, 1e-9);
  EXPECT_NEAR(v.pitch, 90.0, 1e-9);
  // Spread: twice the angle between pointer and beam, at least 3.
  v.direction = 0;
  m.drag(ELampDrag::Spread, v, TPointF{lamp.X + 30 * float(std::cos(0.349066)), lamp.Y + 30 * float(std::sin(0.349066))});
  EXPECT_NEAR(v.spread, 40.0, 1e-3);
  m.drag(ELampDrag::Spread, v, TPointF{lamp.X + 30, lamp.Y});
  EXPECT_EQ(v.spread, 3.0);
  // Moving is limited to one and a half copies from the centre.
  m.drag(ELampDrag::Move, v, TPointF{5000, -5000});
  EXPECT_EQ(v.x, 1.5);
  EXPECT_EQ(v.y, -1.5);
  m.drag(ELampDrag::Move, v, TPointF{80 + 40, 80});
  EXPECT_NEAR(v.x, 0.25, 1e-9);
  EXPECT_NEAR(v.y, 0.0, 1e-9);
}

TEST(LightSideView, DragsSetHeightPitchAndSpread) {
  CLightSideModel m;
  SLampView v;
  v.kind = lkSpot;
  v.height = 0.5;
  const TPointF lamp = m.lampPoint(v);
  EXPECT_FLOAT_EQ(lamp.Y, float((CLightSideModel::kTrackTop + CLightSideModel::kTrackBottom) / 2));
  EXPECT_EQ(m.press(v, lamp), ELampDrag::Height);
  EXPECT_EQ(m.press(v, TPointF{lamp.X, lamp.Y + 24}), ELampDrag::Pitch);
  EXPECT_EQ(m.press(v, TPointF{lamp.X, lamp.Y + 33}), ELampDrag::Spread);
  EXPECT_EQ(m.press(v, TPointF{lamp.X, lamp.Y + 50}), ELampDrag::Height);
  v.kind = lkPoint;
  EXPECT_EQ(m.press(v, TPointF{lamp.X, lamp.Y + 24}), ELampDrag::Height);
  v.kind = lkSpot;
  m.drag(ELampDrag::Pitch, v, TPointF{lamp.X + 20, lamp.Y});
  EXPECT_NEAR(v.pitch, 90.0, 1e-9);
  m.drag(ELampDrag::Pitch, v, TPointF{lamp.X + 20, lamp.Y + 20});
  EXPECT_NEAR(v.pitch, 45.0, 1e-9);
  m.drag(ELampDrag::Pitch, v, TPointF{lamp.X - 20, lamp.Y + 20});
  EXPECT_EQ(v.pitch, 0.0);
  m.drag(ELampDrag::Height, v, TPointF{0, float(CLightSideModel::kTrackTop)});
  EXPECT_EQ(v.height, 1.0);
  m.drag(ELampDrag::Height, v, TPointF{0, 1000});
  EXPECT_EQ(v.height, 0.0);
}

TEST(LightPanes, ViewAndLampAgree) {
  SLight4 l = lightKindDefaults(lkSpot);
  l.X = 0.8f;
  l.Y = 0.1f;
  l.Height = 150;
  const SLampView v = lampViewOf(l, 300);
  EXPECT_NEAR(v.x, 0.3, 1e-6);
  EXPECT_NEAR(v.y, -0.4, 1e-6);
  EXPECT_NEAR(v.height, 0.5, 1e-9);
  SLight4 back = lightKindDefaults(lkSpot);
  applyLampView(v, 300, back);
  EXPECT_TRUE(sameLightingParams(back, l));
  CLightSideModel side;
  TMemoryGraphic g;
  ASSERT_TRUE(side.paint(g, v, l, 0xFFF0F0F0u));
  EXPECT_EQ(g.width(), CLightSideModel::kWidth);
  const TPointF at = side.lampPoint(v);
  EXPECT_EQ(g.getPixel(int32_t(at.X), int32_t(at.Y)), 0xFFFFFFFFu);  // the handle's core
}

}  // namespace
}  // namespace pg
