#include "ui/ui_colour.h"

#include <gtest/gtest.h>

#include <cmath>

namespace pg {
namespace {

constexpr float kPi = 3.14159265358979f;

TEST(UiColourPacking, BytesAndColourReferences) {
  EXPECT_EQ(packRgba(1, 2, 3, 4), 0x04030201u);
  EXPECT_EQ(toColorRef(packRgba(1, 2, 3, 4)), 0x00010203u);
  EXPECT_EQ(fromColorRef(0x00010203u, 0x80), 0x80030201u);
  EXPECT_EQ(fromColorRef(0xFF010203u, 0x00), 0x00030201u);  // the reference's top byte is ignored
}

TEST(UiColourLerp, EveryByteTruncatesTowardTheStart) {
  struct Case {
    TUiColor a, b;
    float t;
    TUiColor expected;
  };
  const Case cases[] = {
      {0x00000000, 0xFFFFFFFF, 0.5f, 0x7F7F7F7F},
      {0xFFFFFFFF, 0x00000000, 0.5f, 0x80808080},  // 255 + trunc(-127.5)
      {0x10203040, 0x10203040, 0.7f, 0x10203040},
      {0x000000C8, 0x00000064, 0.5f, 0x00000096},  // 200 -> 100 gives 150
      {0x00000064, 0x000000C8, 0.999f, 0x000000C7},
      {0x12345678, 0x9ABCDEF0, 0.0f, 0x12345678},
      {0x12345678, 0x9ABCDEF0, 1.0f, 0x9ABCDEF0},
  };
  for (const Case& c : cases) EXPECT_EQ(lerpColor(c.a, c.b, c.t), c.expected) << std::hex << c.a << " " << c.b;
}

TEST(UiColourHsv, RgbToHsvCases) {
  struct Case {
    float r, g, b;
    float h, s, v;
  };
  const Case cases[] = {
      {0, 0, 1, -2.0943951f, 1, 1},
      {1, 1, 0, 1.0471976f, 1, 1},
      {1, 0, 0, 0, 1, 1},
      {0, 1, 0, 2.0943951f, 1, 1},
      {0.5f, 0.5f, 0.5f, 0, 0, 0.5f},
      {0, 0, 0, 0, 0, 0},
      {1, 0, 0.5f, -0.5235988f, 1, 1},
  };
  for (const Case& c : cases) {
    const SUiHsv hsv = uiRgbToHsv(c.r, c.g, c.b);
    EXPECT_FLOAT_EQ(hsv.H, c.h) << c.r << "," << c.g << "," << c.b;
    EXPECT_FLOAT_EQ(hsv.S, c.s);
    EXPECT_FLOAT_EQ(hsv.V, c.v);
  }
}

TEST(UiColourHsv, HueStepsOfTheSingleFloatHue) {
  // As floats pi/3 lands on step 256 and -2pi/3 on -512 (1024 folded); the
  // same angles as doubles would give 255 and 1025.
  EXPECT_EQ(uiHueStep(uiRgbToHsv(1, 1, 0).H), 256);
  EXPECT_EQ(uiHueStep(uiRgbToHsv(0, 0, 1).H), 1024);
  EXPECT_EQ(uiHueStep(2.0f * kPi), 0);
  EXPECT_EQ(uiHueStep(0.0f), 0);
  EXPECT_EQ(uiHueStep(-0.001f), 0);  // trunc toward zero, then fold
  EXPECT_EQ(uiHueStep(-0.01f), 1534);
  EXPECT_EQ(uiHueStep(std::nanf("")), 0);
  EXPECT_EQ(uiHueStep(1e30f), uiHueStep(1e30f));  // huge hues stay defined
}

TEST(UiColourHsv, HsvToRgbBytes) {
  struct Case {
    float h, s, v;
    SRgbTriple rgb;
  };
  const Case cases[] = {
      {-2.0943951f, 1, 1, {0, 0, 255}},
      {1.0471976f, 1, 1, {255, 255, 0}},
      {0, 0, 0.5f, {128, 128, 128}},
      {2.5f, 0, 0.5f, {128, 128, 128}},
      {0, 1, 1, {255, 0, 0}},
      {2.0f * kPi, 1, 1, {255, 0, 0}},
      {2.0943951f, 1, 1, {0, 255, 0}},
      {0, 1, 0, {0, 0, 0}},
      {0, 2, 3, {255, 0, 0}},  // clamped
      {0, -1, 0.5f, {128, 128, 128}},
      {0.5f, 0.5f, 0.8f, {204, 151, 102}},  // sector 0, step 122: rise -53, full 102
  };
  for (const Case& c : cases) {
    EXPECT_EQ(uiHsvToRgb(c.h, c.s, c.v), c.rgb) << c.h << "," << c.s << "," << c.v;
  }
}

TEST(UiColourHsv, FloatConversionFollowsTheSameSectors) {
  for (float h = -3.1f; h < 3.2f; h += 0.37f) {
    const SUiRgbF f = uiHsvToRgbF(h, 0.8f, 0.9f);
    const SRgbTriple b = uiHsvToRgb(h, 0.8f, 0.9f);
    EXPECT_NEAR(f.R * 255.0f, b.R, 1.01f) << h;
    EXPECT_NEAR(f.G * 255.0f, b.G, 1.01f) << h;
    EXPECT_NEAR(f.B * 255.0f, b.B, 1.01f) << h;
  }
  const SUiRgbF grey = uiHsvToRgbF(1.0f, 0.0f, 1.5f);
  EXPECT_EQ(grey.R, 1.0f);
  EXPECT_EQ(grey.B, 1.0f);
}

TEST(UiColourHsl, RgbToHslCases) {
  SUiHsl g = uiRgbToHsl(0.5f, 0.5f, 0.5f, 1.0f);
  EXPECT_EQ(g.H, 1.0f);  // a grey keeps the previous hue
  EXPECT_EQ(g.S, 0.0f);
  EXPECT_EQ(g.L, 0.5f);
  const SUiHsl white = uiRgbToHsl(1, 1, 1, 1.0f);
  EXPECT_EQ(white.H, 0.0f);
  EXPECT_EQ(white.S, 0.0f);
  EXPECT_EQ(white.L, 1.0f);
  const SUiHsl black = uiRgbToHsl(0, 0, 0, 1.0f);
  EXPECT_EQ(black.H, 0.0f);
  EXPECT_EQ(black.L, 0.0f);
  const SUiHsl red = uiRgbToHsl(1, 0, 0, 2.0f);
  EXPECT_EQ(red.H, 0.0f);
  EXPECT_EQ(red.S, 1.0f);
  EXPECT_EQ(red.L, 0.5f);
  const SUiHsl pale = uiRgbToHsl(1, 0.5f, 0.5f, 2.0f);
  EXPECT_FLOAT_EQ(pale.S, 1.0f);  // L 0.75: d / (2 - mx - mn)
  EXPECT_FLOAT_EQ(pale.L, 0.75f);
}

TEST(UiColourHsl, HslToRgbCases) {
  struct Case {
    float h, s, l;
    SRgbTriple rgb;
  };
  const Case cases[] = {
      {0, 1, 0.5f, {255, 0, 0}},
      {2.0943951f, 1, 0.5f, {0, 255, 0}},
      {-2.0943951f, 1, 0.5f, {0, 0, 255}},
      {0, 0, 0.5f, {128, 128, 128}},
      {0, 0, 2.0f, {255, 255, 255}},  // out-of-range lightness clamps
      {0, 1, 1.0f, {255, 255, 255}},
      {0, 0.5f, 0.25f, {96, 32, 32}},
  };
  for (const Case& c : cases) EXPECT_EQ(uiHslToRgb(c.h, c.s, c.l), c.rgb) << c.h << "," << c.s << "," << c.l;
  const SUiRgbF f = uiHslToRgbF(0, 1, 0.5f);
  EXPECT_EQ(f.R, 1.0f);
  EXPECT_EQ(f.G, 0.0f);
  EXPECT_EQ(f.B, 0.0f);
}

TEST(UiColourHsl, ChannelFoldsAnyStep) {
  // m2 = 1, m1 = 0: a ramp up over 0..255, flat to 767, down to 1023, then 0.
  struct Case {
    int64_t x;
    uint8_t v;
  };
  const Case cases[] = {{0, 0}, {128, 128}, {256, 255}, {767, 255}, {896, 128}, {1024, 0},
                        {1535, 0}, {-1536, 0}, {1536 + 128, 128}, {-1408, 128}};
  for (const Case& c : cases) EXPECT_EQ(uiHslChannel(c.x, 1.0f, 0.0f), c.v) << c.x;
  EXPECT_EQ(uiHslChannelF(512, 1.5f, 0.0f), 1.0f);
  EXPECT_EQ(uiHslChannel(512, 1.5f, 0.0f), 255);
}

}  // namespace
}  // namespace pg
