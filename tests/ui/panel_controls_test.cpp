#include <gtest/gtest.h>

#include <cmath>

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

#include "ui/display_controls.h"

namespace pg {
namespace {

TEST(ProgressBar, LabelsAndFill) {
  struct {
    uint8_t mode;
    int32_t pos, max;
    uint32_t start, now;
    const char* text;
  } cases[] = {
      {0, 50, 200, 0, 0, "25.00%"},
      {0, 1, 0, 0, 0, "100.00%"},  // a zero maximum: full, no division by zero
      {1, 3, 10, 0, 0, "3 / 10"},
      {2, 0, 10, 1000, 1000 + 3723456, "経過: 1:02:03.456"},
      {2, 0, 10, 0xFFFFFF00u, 0x100u, "経過: 0:00:00.512"},  // the tick count wraps
      {3, 0, 10, 0, 5000, "残り: 0:00:00.000"},
      {3, 1, 3, 0, 2000, "残り: 0:00:04.000"},
  };
  for (const auto& c : cases) EXPECT_EQ(progressLabel(c.mode, c.pos, c.max, c.start, c.now), c.text) << int(c.mode);
  // The remaining time is taken in 64 bits: 2e9 steps left at 4e9 ms elapsed.
  EXPECT_EQ(progressRemainingMs(1, 2000000001, 4000000000u), 8000000000000000000ull);
  EXPECT_EQ(progressFillWidth(1, 0, 100), 100);
  EXPECT_EQ(progressFillWidth(50, 100, 100), 50);
  EXPECT_EQ(progressFillWidth(-5, 100, 100), 0);
}

TEST(Navigator, FitAndTurn) {
  // A 400 x 200 document in a 104 x 104 control: 100 / 400 = 0.25.
  SNavigatorFit f = navigatorFit(104, 104, 400, 200, 2.0f, false);
  ASSERT_TRUE(f.valid);
  EXPECT_FLOAT_EQ(f.fitScale, 0.25f);
  EXPECT_FLOAT_EQ(f.displayScale, 0.125f);
  EXPECT_EQ(f.imageRect, (TRect{0, 25, 104, 79}));
  // Compact: the 32 x 16 box fits.
  SNavigatorFit c = navigatorFit(104, 104, 400, 200, 1.0f, true);
  EXPECT_EQ(c.imageRect, (TRect{34, 42, 70, 62}));
  EXPECT_FALSE(navigatorFit(104, 104, 0, 10, 1.0f, false).valid);
  // The frame of a 201 x 101 view at the document centre, unturned and turned.
  auto fr = navigatorFrame(f, 200, 100, 201, 101, 0.0f);
  EXPECT_FLOAT_EQ(fr[0].X, 2 + 50 - 12.5f);
  EXPECT_FLOAT_EQ(fr[2].Y, 25 + 2 + 25 + 6.25f);
  fr = navigatorFrame(f, 200, 100, 201, 101, 3.14159265f / 2);
  EXPECT_NEAR(fr[0].X, 52 + 6.25f, 1e-4f) << "a quarter turn swaps the axes";
  EXPECT_NEAR(navigatorAngle(f, 104, 52, false), 0.0f, 1e-6f);
  EXPECT_NEAR(navigatorAngle(f, 52, 0, true), 3.14159265f / 2, 1e-6f);
  // Moving: the centre follows the pointer and stays near the document.
  const auto frame = navigatorFrame(f, 200, 100, 201, 101, 0.0f);
  EXPECT_EQ(navigatorCentreAt(f, 52, 52, frame), (TPoint{200, 100}));
  EXPECT_EQ(navigatorCentreAt(f, 500, 52, frame), (TPoint{400, 100}));
}

}  // namespace
}  // namespace pg

#include "ui/nib_shape.h"

namespace pg {
namespace {

TEST(NibShape, Geometry) {
  const SNibGeometry g = nibGeometry(86, 88, 0.0f, 0.0f);
  EXPECT_FLOAT_EQ(g.centre.X, 42.5f);
  EXPECT_FLOAT_EQ(g.centre.Y, 36.0f);
  EXPECT_FLOAT_EQ(g.radius, 32.0f);
  EXPECT_NEAR(g.outer[0].X, 74.5f, 1e-4f);
  EXPECT_NEAR(g.outer[0].Y, 36.0f, 1e-4f);
  EXPECT_NEAR(g.inner.X, 42.5f + 16.0f, 1e-4f);
  // Flattened by 50 and turned 90 degrees clockwise: point 0 below the
  // centre, the minor axis (point 8) to the left.
  const SNibGeometry f = nibGeometry(86, 88, 50.0f, 90.0f);
  EXPECT_NEAR(f.outer[0].X, 42.5f, 1e-4f);
  EXPECT_NEAR(f.outer[0].Y, 36.0f + 32.0f, 1e-4f);
  EXPECT_NEAR(f.outer[8].X, 42.5f - 16.0f, 1e-4f);
  EXPECT_NEAR(f.outer[32].Y, f.outer[0].Y, 1e-4f) << "the outline is closed";
  EXPECT_TRUE(nibHandleHit(g.outer[0], 77, 38));
  EXPECT_FALSE(nibHandleHit(g.outer[0], 84, 38));
}

TEST(NibShape, DragRules) {
  // The minor-axis handle straight below the centre is angle 0, to the left 90.
  EXPECT_FLOAT_EQ(nibRotationAt(0, 10, false), 0.0f);
  EXPECT_FLOAT_EQ(nibRotationAt(-10, 0, false), 90.0f);
  EXPECT_FLOAT_EQ(nibRotationAt(0, -10, false), -180.0f);
  EXPECT_FLOAT_EQ(std::fmod(nibRotationAt(-7, 3, true), 15.0f), 0.0f);
  EXPECT_FLOAT_EQ(nibFlatteningAt(0, 16, 32, false), 50.0f);
  EXPECT_FLOAT_EQ(nibFlatteningAt(0, 100, 32, false), 0.0f);
  EXPECT_FLOAT_EQ(nibFlatteningAt(0, 0, 32, false), 99.0f);
  EXPECT_FLOAT_EQ(nibFlatteningAt(0, 10, 32, true), 65.0f);  // 68.75 -> 69 -> 65
  struct {
    float in, out;
  } rot[] = {{180, -180}, {540, -180}, {-181, 179}, {179.5f, 179.5f}};
  for (const auto& r : rot) EXPECT_FLOAT_EQ(nibNormalizeRotation(r.in), r.out) << r.in;
  // The radius steps as the scale up to 50 and stay at 5 from there.
  struct {
    float v, radius, scale;
  } steps[] = {{-1, 0.1f, 0.1f}, {1.9f, 0.1f, 0.1f}, {2, 0.2f, 0.2f},  {4.9f, 0.2f, 0.2f}, {5, 0.5f, 0.5f},
               {10, 1, 1},        {19.9f, 1, 1},      {20, 2, 2},        {49.9f, 2, 2},      {50, 5, 5},
               {99, 5, 5},        {100, 5, 10},       {1000, 5, 10},     {std::nanf(""), 5, 10}};
  for (const auto& s : steps) {
    EXPECT_FLOAT_EQ(nibRadiusStep(s.v), s.radius) << s.v;
    EXPECT_FLOAT_EQ(nibScaleStep(s.v), s.scale) << s.v;
  }
  EXPECT_FLOAT_EQ(nibMinRadiusAfter(50, 3, false), 53);
  EXPECT_FLOAT_EQ(nibMinRadiusAfter(52, 1, true), 55);
  EXPECT_FLOAT_EQ(nibMinRadiusAfter(3, -5, false), 1);
  float lo = 0, hi = 0;
  nibImageScaleRange(64, 256, lo, hi);
  EXPECT_FLOAT_EQ(lo, 6.25f);
  EXPECT_FLOAT_EQ(hi, 200.0f);
  nibImageScaleRange(1, 1, lo, hi);
  EXPECT_FLOAT_EQ(hi, 500.0f);
}

}  // namespace
}  // namespace pg

#include "ui/tab_layout.h"

namespace pg {
namespace {

TEST(TabLayout, PlacesOverlapsAndSqueezes) {
  EXPECT_EQ(tabLefts({50, 60, 40}, 400), (std::vector<int32_t>{4, 45, 96}));
  // Right edge 136 in a 150 wide control: excess 136 - 112 = 24 spread over 2.
  EXPECT_EQ(tabLefts({50, 60, 40}, 150), (std::vector<int32_t>{4, 33, 72}));
  EXPECT_EQ(tabLefts({300}, 20), (std::vector<int32_t>{4})) << "one tab is never squeezed";
  EXPECT_EQ(tabDrawOrder(5, 2), (std::vector<int32_t>{0, 1, 4, 3, 2}));
  EXPECT_EQ(tabDrawOrder(0, 0), (std::vector<int32_t>{}));
  EXPECT_EQ(pathCaption("a/b.pgm", true), "a/b.pgm*");
  EXPECT_EQ(pathCaption("", true), "*");
  EXPECT_EQ(pathCaption("a", false), "a");
}

}  // namespace
}  // namespace pg

#include "ui/twin_cell.h"

namespace pg {
namespace {

TEST(TwinCell, LayoutAndHits) {
  const STwinCellLayout l = twinCellLayout(45, 45);
  EXPECT_EQ(l.foreground, (TRect{0, 0, 30, 30}));
  EXPECT_EQ(l.background, (TRect{15, 15, 45, 45}));
  EXPECT_TRUE(l.swapGlyph);
  EXPECT_FALSE(twinCellLayout(30, 45).swapGlyph) << "30 div 3 is 10, below 11";
  struct {
    int x, y;
    uint8_t part;
  } cases[] = {{20, 20, 1}, {35, 35, 2}, {40, 5, 3}, {5, 40, 0}};
  for (const auto& c : cases) EXPECT_EQ(twinCellHit(l, c.x, c.y), c.part) << c.x << "," << c.y;
}

}  // namespace
}  // namespace pg
