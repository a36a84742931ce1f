#include <gtest/gtest.h>

#include "ui/grabber_logic.h"
#include "ui/pressure_gamma.h"

namespace pg {
namespace {

TEST(PressureGamma, DragTable) {
  struct {
    float from;
    int d;
    bool adjust;
    float to;
  } cases[] = {
      {1.0f, 1, false, 1.05f},  {1.0f, -1, false, 0.99f}, {0.98f, 5, false, 1.0f},  {1.2f, -10, false, 1.0f},
      {1.0f, 0, false, 1.0f},   {1.1f, 2, false, 1.2f},   {0.06f, -5, false, 0.05f}, {5.9f, 10, false, 6.0f},
      {0.52f, 1, true, 0.55f},  {0.52f, -1, true, 0.45f},
  };
  for (const auto& c : cases) EXPECT_FLOAT_EQ(gammaAfterDrag(c.from, c.d, c.adjust), c.to) << c.from << " " << c.d;
  // Crossing 100 % stops there; the next move leaves it again.
  float g = gammaAfterDrag(0.97f, 10, false);
  EXPECT_EQ(g, 1.0f);
  EXPECT_FLOAT_EQ(gammaAfterDrag(g, 1, false), 1.05f);
  EXPECT_EQ(sanitizeGamma(-3.0f), 0.0f);
  EXPECT_EQ(sanitizeGamma(9.0f), 9.0f);
}

TEST(Grabber, HitTable) {
  struct {
    int x, y;
    uint8_t part;
  } cases[] = {{64, 14, gpDial},      {64, 30, gpNone},        {64, 64, gpNone},         {14, 64, gpDial},
               {0, 0, gpNone},        {128, 145, gpNone},      {60, 140, gpSlider},      {120, 60, gpResetAngle},
               {60, 120, gpTurnClockwise}, {5, 65, gpTurn180}, {65, 5, gpTurnCounter},   {120, 140, gpZoomIn},
               {5, 140, gpZoomOut}};
  for (const auto& c : cases) EXPECT_EQ(grabberHitPart(c.x, c.y), c.part) << c.x << "," << c.y;
}

TEST(Grabber, RotationAndScale) {
  EXPECT_EQ(normalizeRotation(180), -180);
  EXPECT_EQ(normalizeRotation(190), -170);
  EXPECT_EQ(normalizeRotation(-180), -180);
  EXPECT_EQ(normalizeRotation(540), -180);
  // The centre is (64.5, 64.5).
  EXPECT_NEAR(grabberDialRotation(115, 64, false), 0.0f, 0.6f);
  EXPECT_NEAR(grabberDialRotation(64, 115, false), 90.0f, 0.6f) << "clockwise on screen is positive";
  for (int x = 14; x < 115; x += 7) {
    const float a = grabberDialRotation(x, 20, true);
    EXPECT_FLOAT_EQ(a / 15.0f, std::round(a / 15.0f)) << x;
  }
  EXPECT_FLOAT_EQ(grabberSliderScale(0, false), 1.0f / 16.0f);
  EXPECT_FLOAT_EQ(grabberSliderScale(300, false), 16.0f);
  EXPECT_FLOAT_EQ(grabberSliderScale(20 + 45, false), 1.0f);
  const float presets[] = {1 / 16.f, 1 / 12.f, 1 / 8.f, 1 / 6.f, 1 / 4.f, 1 / 3.f, 1 / 2.f, 2 / 3.f, 1, 1.5f, 2, 3, 4, 6, 8, 12, 16};
  for (int x = 0; x < 129; ++x) {
    const float s = grabberSliderScale(x, true);
    EXPECT_TRUE(std::find_if(std::begin(presets), std::end(presets), [&](float p) { return p == s; }) != std::end(presets))
        << x << " " << s;
  }
  EXPECT_EQ(grabberThumbAt(1.0f).X, 14 + 46) << "round(45.5) with ties to even";
  EXPECT_FLOAT_EQ(grabberZoomStepUp(1.0f), 1.5f);
  EXPECT_FLOAT_EQ(grabberZoomStepDown(1.0f), 2.0f / 3.0f);
  EXPECT_FLOAT_EQ(grabberZoomStepUp(16.0f), 16.0f);
  EXPECT_FLOAT_EQ(grabberZoomStepDown(1.0f / 16.0f), 1.0f / 16.0f);
  EXPECT_EQ(grabberKnobAt(0.0f), (TPoint{14 + 45 + 45, 14 + 45}));
}

}  // namespace
}  // namespace pg
