#include "brush/stroke_settings.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>
#include <vector>

#include "core/blend_arith.h"
#include "platform/settings_store.h"

namespace pg {
namespace stroke_settings_test {

constexpr const char* kRoot = "Software\\Harbelle\\Pigmora4";
const float kNaN = std::numeric_limits<float>::quiet_NaN();
const float kInf = std::numeric_limits<float>::infinity();

class StrokeSettingsTest : public ::testing::Test {};

// Fills a 32-bit image with one pixel value.
void fillImage(TMTC& img, uint32_t pixel) {
  for (int32_t y = 0; y < img.Height; ++y)
    for (int32_t x = 0; x < img.Width; ++x) *img.pixelAt(x, y) = pixel;
}

TEST(StrokeKindTable, RowsOfTheNineKinds) {
  struct Row {
    uint32_t kind;
    const char* name;
    float spacing;
    bool usesMin, tone, gradation;
  };
  const Row rows[] = {
      {0, "pen", 1.0f / 6.0f, true, true, true},       {1, "wc", 1.0f / 12.0f, true, true, true},
      {2, "blur", 0.25f, true, true, false},          {3, "eraser", 0.25f, true, false, false},
      {4, "blur2", 0.25f, false, false, false},       {5, "airbrush", -1.0f, true, true, true},
      {6, "rubpen", -1.0f, true, true, false},        {7, "darken", -1.0f, true, true, false},
      {8, "lighten", -1.0f, true, true, false},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.kind);
    const SStrokeKindInfo* info = strokeKindInfo(r.kind);
    ASSERT_NE(info, nullptr);
    EXPECT_EQ(strokeToolName(r.kind), r.name);
    EXPECT_EQ(info->FixedSpacing, r.spacing);
    EXPECT_EQ(info->UsesMin, r.usesMin);
    EXPECT_EQ(info->AcceptsTone, r.tone);
    EXPECT_EQ(info->AcceptsGradation, r.gradation);
  }
  EXPECT_EQ(strokeKindInfo(9), nullptr);
  EXPECT_EQ(strokeKindInfo(127), nullptr);
  EXPECT_EQ(strokeToolName(200), "");
  // Byte-sized kinds are masked with 127 before the lookup.
  EXPECT_EQ(strokeToolName(128 + 3), "eraser");
  // The fixed spacings as stored.
  EXPECT_EQ(strokeKindInfo(0)->FixedSpacing, 0.16666667f);
  EXPECT_EQ(strokeKindInfo(1)->FixedSpacing, 0.083333336f);
}

TEST_F(StrokeSettingsTest, CreationValues) {
  TStroke s;
  EXPECT_EQ(s.subColor, 0xFFFFFFu);
  EXPECT_EQ(s.color, 0u);
  EXPECT_EQ(s.opacity, 1.0f);
  EXPECT_EQ(s.falloffCurveType, 3);
  EXPECT_EQ(s.kind, 0);
  EXPECT_EQ(s.GAMMA, 1.0f);
  EXPECT_EQ(s.pickCount, -1);
  EXPECT_EQ(s.exactPoints, 0);
  EXPECT_EQ(s.changed, 0);
  EXPECT_EQ(s.creationCode, 0);
  EXPECT_EQ(TStroke(kStrokeCreatedByTool).creationCode, 2);
}

TEST_F(StrokeSettingsTest, ClampingSetters) {
  struct Case {
    const char* what;
    void (*set)(TStroke&, float);
    float (*get)(const TStroke&);
    float in, out;
  };
  auto setWidth = [](TStroke& s, float v) { s.setWidth(v); };
  auto getWidth = [](const TStroke& s) { return s.WIDTH; };
  auto setGamma = [](TStroke& s, float v) { s.setGamma(v); };
  auto getGamma = [](const TStroke& s) { return s.GAMMA; };
  auto setSpacing = [](TStroke& s, float v) { s.setSpacing(v); };
  auto getSpacing = [](const TStroke& s) { return s.penSpacing; };
  auto setOpacity = [](TStroke& s, float v) { s.setOpacity(v); };
  auto getOpacity = [](const TStroke& s) { return s.opacity; };
  auto setEffect = [](TStroke& s, float v) { s.setEffect(v); };
  auto getEffect = [](const TStroke& s) { return s.EFFECT; };
  auto setMin = [](TStroke& s, float v) { s.setMinSize(v); };
  auto getMin = [](const TStroke& s) { return s.MIN; };
  const Case cases[] = {
      {"width 0", setWidth, getWidth, 0.0f, 0.1f},        {"width 500", setWidth, getWidth, 500.0f, 200.0f},
      {"width 37", setWidth, getWidth, 37.0f, 37.0f},     {"width NaN", setWidth, getWidth, kNaN, 0.1f},
      {"gamma 10", setGamma, getGamma, 10.0f, 6.0f},      {"gamma 0", setGamma, getGamma, 0.0f, 0.01f},
      {"gamma NaN", setGamma, getGamma, kNaN, 0.01f},     {"spacing 0", setSpacing, getSpacing, 0.0f, 0.02f},
      {"spacing 3", setSpacing, getSpacing, 3.0f, 2.0f},  {"opacity 0", setOpacity, getOpacity, 0.0f, 0.01f},
      {"opacity 2", setOpacity, getOpacity, 2.0f, 1.0f},  {"opacity -inf", setOpacity, getOpacity, -kInf, 0.01f},
      {"effect 1e30", setEffect, getEffect, 1e30f, 100.0f}, {"effect NaN", setEffect, getEffect, kNaN, 0.0f},
      {"min -5", setMin, getMin, -5.0f, 0.0f},            {"min 50", setMin, getMin, 50.0f, 50.0f},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    TStroke s;
    c.set(s, c.in);
    EXPECT_EQ(c.get(s), c.out);
  }
}

TEST_F(StrokeSettingsTest, ChangedFlagOnlyWhereTheSetterRaisesIt) {
  TStroke s;
  s.setOpacity(0.5f);
  s.setSpacing(0.3f);
  s.setLayerIndex(4);
  s.setColorQuiet(0x123456);
  s.setSubColor(0x654321);
  EXPECT_EQ(s.changed, 0);
  s.setOpaqueMode(true, false);
  EXPECT_EQ(s.changed, 0);

  s.setColor(0x123456);  // the same colour
  EXPECT_EQ(s.changed, 0);
  s.setColor(0x000001);
  EXPECT_EQ(s.changed, 1);
  s.setChanged(false);
  s.setWidth(1.0f);  // unchanged
  s.setKind(0);
  s.setGamma(1.0f);
  EXPECT_EQ(s.changed, 0);
  s.setKind(5);
  EXPECT_EQ(s.changed, 1);
  EXPECT_EQ(s.kind, 5);
}

TEST_F(StrokeSettingsTest, SwitchesAnswerWhetherTheyChanged) {
  TStroke s;
  EXPECT_TRUE(s.setUseTone(true, false));
  EXPECT_EQ(s.changed, 1);
  EXPECT_FALSE(s.setUseTone(true, true));
  EXPECT_TRUE(s.setUseGradation(true, true));
  s.setChanged(false);
  EXPECT_TRUE(s.setOpaqueMode(true, true));
  EXPECT_EQ(s.opaque, 1);
  EXPECT_EQ(s.changed, 0);
}

TEST_F(StrokeSettingsTest, OpacityWhenThePlotDocumentIgnoresIt) {
  TStroke s;
  s.setOpacity(0.5f);
  EXPECT_EQ(s.getOpacity(), 0.5f);
  EXPECT_EQ(s.getOpacity255(), 127u);
  s.fullOpacity = 1;  // the painter's document replays in the older format
  EXPECT_EQ(s.getOpacity(), 1.0f);
  EXPECT_EQ(s.getOpacity255(), 255u);
}

TEST_F(StrokeSettingsTest, SpacingByKind) {
  TStroke s;
  s.setSpacing(0.7f);
  s.setKind(skPen);
  EXPECT_EQ(s.getSpacing(), 1.0f / 6.0f);
  s.setKind(skRubpen);
  EXPECT_EQ(s.getSpacing(), 0.7f);
  s.setKind(skBlur);
  EXPECT_EQ(s.getSpacing(), 0.25f);
  s.setKind(42);  // unknown kinds use the own spacing
  EXPECT_EQ(s.getSpacing(), 0.7f);
  s.penSpacing = 0.0f;  // written past the setter: still never below 0.02
  EXPECT_EQ(s.getSpacing(), 0.02f);
}

TEST_F(StrokeSettingsTest, PressureWidth) {
  struct Case {
    uint8_t kind;
    bool ifSize;
    float p, width;
  };
  const Case cases[] = {
      {skPen, true, 0.0f, 10.0f}, {skPen, true, 1.0f, 20.0f},  {skPen, true, 0.5f, 15.0f},
      {skPen, false, 0.0f, 20.0f}, {skBlur2, true, 0.0f, 20.0f}, {skAirbrush, true, 0.25f, 12.5f},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(::testing::Message() << "kind " << int(c.kind) << " p " << c.p);
    TStroke s;
    s.setKind(c.kind);
    s.setWidth(20.0f);
    s.setMinSize(50.0f);
    s.setPressureSize(c.ifSize);
    EXPECT_EQ(s.pressureWidth(c.p), c.width);
  }
}

TEST_F(StrokeSettingsTest, PointsSmoothedUnlessExact) {
  TStroke s;
  s.prepare(0, 1.0f, 2.0f);
  for (const SStrokePoint& p : s.points) EXPECT_EQ(p, (SStrokePoint{1.0f, 2.0f, 0.0f}));
  s.addPoint(3.0f, 4.0f, 0.5f);
  s.addPoint(5.0f, 8.0f, 1.0f);
  s.addPoint(9.0f, 10.0f, 0.0f);
  EXPECT_EQ(s.getPoint(0), (SStrokePoint{9.0f, 10.0f, 0.0f}));
  // Point 1 is the mean of points 0 and 2.
  const SStrokePoint p0 = s.getPoint(0), p2 = s.getPoint(2);
  EXPECT_EQ(s.getPoint(1), (SStrokePoint{(p0.x + p2.x) / 2, (p0.y + p2.y) / 2, (p0.pressure + p2.pressure) / 2}));
  EXPECT_EQ(s.getPoint(8), s.getPoint(0));   // out of range: the newest
  EXPECT_EQ(s.getPoint(-1), s.getPoint(0));

  TStroke exact;
  exact.exactPoints = 1;
  exact.prepare(0, 0.0f, 0.0f);
  exact.addPoint(1.0f, 1.0f, 1.0f);
  exact.addPoint(2.0f, 2.0f, 1.0f);
  EXPECT_EQ(exact.getPoint(1), (SStrokePoint{1.0f, 1.0f, 1.0f}));
}

TEST_F(StrokeSettingsTest, DirtyRectanglesAreEven) {
  TStroke s;
  s.setWidth(3.0f);
  s.prepare(0, 0.0f, 0.0f);
  s.setSegment(10.3f, 20.7f, 1.0f, 15.0f, 21.0f, 1.0f);
  s.updateDirty();
  // r = 5: box (5.3 .. 20, 15.7 .. 26); x = 5 & ~1 = 4, y = 15 & ~1 = 14,
  // right = (20 + 1) & ~1 = 20, bottom = (26 + 1) & ~1 = 26.
  SRectXYWH r;
  s.getDirtyRect(r);
  EXPECT_EQ(r, (SRectXYWH{4, 14, 16, 12}));
  s.setSegment(-3.5f, 0.0f, 1.0f, -3.5f, 0.0f, 1.0f);
  s.updateDirty();
  s.getDirtyRect(r);  // since the last update only: (-8.5 .. 1.5, -5 .. 5)
  EXPECT_EQ(r, (SRectXYWH{-10, -6, 12, 12}));
  s.getTotalRect(r);  // the whole stroke: (-8.5 .. 20, -5 .. 26)
  EXPECT_EQ(r, (SRectXYWH{-10, -6, 30, 32}));
}

TEST_F(StrokeSettingsTest, PrepareResetsTheCountersAndKeepsTheNeutralColour) {
  TStroke s;
  s.stepCount = 7;
  s.travel = 3.0f;
  s.dabCount = 2;
  s.dirtyWhole = {0, 1, 0, 1};
  s.prepare(0x808080, 5.0f, 6.0f);
  EXPECT_EQ(s.stepCount, 0u);
  EXPECT_EQ(s.travel, 0.0f);
  EXPECT_EQ(s.dabCount, 0u);
  EXPECT_EQ(s.layerNeutral, 0x808080u);
  EXPECT_EQ(s.dirtyWhole, SStrokeDirty{});
  s.incDabCount();
  s.addTravel(1.5f);
  s.addTravel(1.0f);
  EXPECT_EQ(s.stepCount, 1u);
  EXPECT_EQ(s.travel, 2.5f);
}

TEST_F(StrokeSettingsTest, WatercolourPickUp) {
  // Left half blue-ish, right half red-ish: the 11 x 11 mean at the border.
  TMTC img(20, 20);
  for (int32_t y = 0; y < 20; ++y)
    for (int32_t x = 0; x < 20; ++x) *img.pixelAt(x, y) = x < 10 ? 0xFF0000F0u : 0xFFF00000u;
  // At (10, 10): columns 5..9 blue (5 of 11), 10..15 red (6 of 11):
  // blue 5 * 240 / 11 = 109, red 6 * 240 / 11 = 130.
  const uint32_t picked = 109u | (130u << 16);
  // The start colour moves from the picked colour toward the stroke colour by
  // 255 - trunc(EFFECT * 255 / 100).
  const struct {
    float effect;
    uint32_t weight;
  } cases[] = {{100.0f, 0}, {50.0f, 128}, {0.0f, 255}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.effect);
    TStroke s;
    s.setKind(skWatercolor);
    s.setColorQuiet(0x00FF00);
    s.setEffect(c.effect);
    s.beginStroke(0, img, 10.0f, 10.0f);
    EXPECT_EQ(s.watercolor.pickedColor, picked);
    EXPECT_EQ(s.watercolor.carried[0], 130.0f);
    EXPECT_EQ(s.watercolor.carried[1], 0.0f);
    EXPECT_EQ(s.watercolor.carried[2], 109.0f);
    uint32_t start = picked;
    lerpPixelRgbTab(&start, 0x00FF00, c.weight);
    EXPECT_EQ(s.watercolor.startColor, start);
  }
  TStroke keep;
  keep.setKind(skWatercolor);
  keep.setEffect(100.0f);
  keep.beginStroke(0, img, 10.0f, 10.0f);
  EXPECT_EQ(keep.watercolor.startColor, picked);
  // A pick far outside the image reads its clamped edge.
  TStroke far;
  far.pickColor(img, -1e9f, kNaN);
  EXPECT_EQ(far.watercolor.pickedColor, 240u);
}

TEST_F(StrokeSettingsTest, BurnAndDodgeBuildTheirToneCurves) {
  TStroke s;
  s.setEffect(50.0f);
  const struct {
    uint8_t kind;
    double base;  // 0: no curve
  } cases[] = {{skDarken, 1.1}, {skLighten, 1.0 / 1.1}, {skAirbrush, 0.0}};
  for (const auto& c : cases) {
    s.setKind(c.kind);
    CurveTable got{}, want{};
    EXPECT_EQ(s.buildToneCurve(got), c.base != 0.0) << int(c.kind);
    if (c.base != 0.0) buildPowerCurve(want, c.base);
    EXPECT_EQ(got, want) << int(c.kind);
  }
}

TEST_F(StrokeSettingsTest, SamplePicksAlternateTheCaches) {
  TMTC img(32, 32);
  for (int32_t y = 0; y < 32; ++y)
    for (int32_t x = 0; x < 32; ++x) *img.pixelAt(x, y) = 0xFF000000u | static_cast<uint32_t>(x);
  TStroke s;
  s.setKind(skRubpen);
  s.setWidth(2.0f);
  s.beginStrokeFlow(0, img, TPoint{3, 0}, 5.0f, 5.0f);  // picks at (8, 5)
  EXPECT_EQ(s.pickCount, 0);
  EXPECT_EQ(s.lastPick, (TPoint{8, 5}));
  EXPECT_EQ(s.getCurrentSample(), nullptr);
  ASSERT_TRUE(s.sampleCache[0].IsAllocated());
  EXPECT_EQ(s.sampleCache[0].originX, 8 - s.sampleCache[0].radiusX);

  EXPECT_FALSE(s.pickSmudgeHere(img, 8.9f, 5.2f));  // same integer position
  EXPECT_EQ(s.pickCount, 0);
  EXPECT_TRUE(s.pickSmudgeHere(img, 12.0f, 5.0f));
  EXPECT_EQ(s.pickCount, 1);
  // The sample to smear is the one picked before the newest.
  EXPECT_EQ(s.getCurrentSample(), &s.sampleCache[0]);
  EXPECT_TRUE(s.pickSmudgeHere(img, 13.0f, 5.0f));
  EXPECT_EQ(s.getCurrentSample(), &s.sampleCache[1]);
  EXPECT_EQ(s.sampleCache[1].originX, 12 - s.sampleCache[1].radiusX);

  EXPECT_TRUE(s.pickSpread(img, 2.0f, 20.0f, 5.0f));
  EXPECT_EQ(s.pickCount, 1);
  EXPECT_EQ(s.getCurrentSample(), &s.sampleCache[0]);
  EXPECT_EQ(s.sampleCache[0].originX, 20 - s.sampleCache[0].radiusX);
  EXPECT_FALSE(s.pickSpread(img, 2.0f, 20.5f, 5.0f));

  // The count never overflows: it wraps keeping the alternation.
  s.pickCount = std::numeric_limits<int32_t>::max();
  EXPECT_TRUE(s.pickSmudgeHere(img, 1.0f, 1.0f));
  EXPECT_EQ(s.pickCount, 2);
}

// ---- stored settings ----------------------------------------------------------

TEST(PenSettingKey, KeysOfKindsAndSlots) {
  std::string key = "untouched";
  EXPECT_TRUE(penSettingKey(0, 3, "R", key));
  EXPECT_EQ(key, "R\\penSetting\\pen3");
  EXPECT_TRUE(penSettingKey(6, 5, kRoot, key));
  EXPECT_EQ(key, "Software\\Harbelle\\Pigmora4\\penSetting\\rubpen5");
  key = "untouched";
  EXPECT_FALSE(penSettingKey(9, 1, "R", key));
  EXPECT_EQ(key, "untouched");
}

TEST(PenSettingDefaults, BuiltInDefaultsByKind) {
  struct Case {
    uint32_t kind;
    bool result;
    SPenSetting rec;
  };
  auto with = [](auto change) {
    SPenSetting r;
    change(r);
    return r;
  };
  const Case cases[] = {
      {0, true, with([](SPenSetting& r) { r.MIN = 0.75f; r.ifSIZE = 1; r.ifTRANSPARENCY = 1; })},
      {1, true, with([](SPenSetting& r) {
         r.MIN = 0.333f; r.WIDTH = 16; r.EFFECT = 65; r.ENV = 40; r.SPEED = 30; r.ifSIZE = 1; r.ifTRANSPARENCY = 1;
       })},
      {2, true, with([](SPenSetting& r) { r.WIDTH = 12; r.EFFECT = 10; })},
      {3, true, with([](SPenSetting& r) { r.WIDTH = 12; r.ifTRANSPARENCY = 1; r.ifEDGE = 1; })},
      {4, false, SPenSetting{}},
      {5, true, with([](SPenSetting& r) {
         r.MIN = 0.6f; r.WIDTH = 30; r.penSpacing = 0.15f; r.opaque = 0.1f; r.ifSIZE = 1; r.ifTRANSPARENCY = 1;
       })},
      {6, true, with([](SPenSetting& r) {
         r.MIN = 0.6f; r.WIDTH = 15; r.penSpacing = 0.04f; r.opaque = 0.6f; r.ifTRANSPARENCY = 1;
       })},
      {7, true, with([](SPenSetting& r) {
         r.MIN = 0.6f; r.WIDTH = 25; r.penSpacing = 0.15f; r.opaque = 0.2f; r.EFFECT = 50; r.ifSIZE = 1;
         r.ifTRANSPARENCY = 1;
       })},
      {9, false, SPenSetting{}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.kind);
    SPenSetting r;
    r.WIDTH = 99;  // overwritten by the base defaults
    EXPECT_EQ(strokeDefaults(r, c.kind), c.result);
    EXPECT_EQ(r.MIN, c.rec.MIN);
    EXPECT_EQ(r.WIDTH, c.rec.WIDTH);
    EXPECT_EQ(r.GAMMA, 1.0f);
    EXPECT_EQ(r.EFFECT, c.rec.EFFECT);
    EXPECT_EQ(r.ENV, c.rec.ENV);
    EXPECT_EQ(r.SPEED, c.rec.SPEED);
    EXPECT_EQ(r.ifSIZE, c.rec.ifSIZE);
    EXPECT_EQ(r.ifTRANSPARENCY, c.rec.ifTRANSPARENCY);
    EXPECT_EQ(r.ifEDGE, c.rec.ifEDGE);
    EXPECT_EQ(r.opaque, c.rec.opaque);
    EXPECT_EQ(r.penSpacing, c.rec.penSpacing);
    EXPECT_EQ(r.airMap, 3);
  }
  SPenSetting lighten, darken;
  EXPECT_TRUE(strokeDefaults(lighten, 8));
  EXPECT_TRUE(strokeDefaults(darken, 7));
  EXPECT_EQ(lighten.WIDTH, darken.WIDTH);
  EXPECT_EQ(lighten.EFFECT, darken.EFFECT);
}

TEST(PenSettingStore, RoundTripsEveryKindAndSlot) {
  CSettingsStore store;
  for (uint32_t kind = 0; kind < kStrokeKindCount; ++kind)
    for (int32_t slot = 1; slot <= 5; ++slot) {
      SPenSetting rec;
      strokeDefaults(rec, kind);
      rec.WIDTH = 1.5f + static_cast<float>(kind) + 0.1f * slot;
      rec.EFFECT = 0.123456f * slot;
      rec.useGradation = static_cast<uint8_t>(slot & 1);
      rec.useTone = 1;
      rec.airMap = slot;
      std::string key;
      ASSERT_TRUE(penSettingKey(kind, slot, kRoot, key));
      CSettingsKey reg(store);
      ASSERT_TRUE(reg.openKey(key, true));
      EXPECT_TRUE(writePenSetting(reg, rec));
    }
  for (uint32_t kind = 0; kind < kStrokeKindCount; ++kind)
    for (int32_t slot = 1; slot <= 5; ++slot) {
      SCOPED_TRACE(::testing::Message() << "kind " << kind << " slot " << slot);
      SPenSetting expect;
      strokeDefaults(expect, kind);
      expect.WIDTH = 1.5f + static_cast<float>(kind) + 0.1f * slot;
      expect.EFFECT = 0.123456f * slot;
      expect.useGradation = static_cast<uint8_t>(slot & 1);
      expect.airMap = slot;
      std::string key;
      EXPECT_TRUE(penSettingKey(kind, slot, kRoot, key));
      CSettingsKey reg(store);
      ASSERT_TRUE(reg.openKey(key, false));
      SPenSetting rec;
      rec.useTone = 1;
      EXPECT_TRUE(readPenSetting(reg, rec));
      EXPECT_EQ(rec.WIDTH, expect.WIDTH);
      EXPECT_EQ(rec.EFFECT, expect.EFFECT);
      EXPECT_EQ(rec.MIN, expect.MIN);
      EXPECT_EQ(rec.penSpacing, expect.penSpacing);
      EXPECT_EQ(rec.opaque, expect.opaque);
      EXPECT_EQ(rec.ifSIZE, expect.ifSIZE);
      EXPECT_EQ(rec.ifEDGE, expect.ifEDGE);
      EXPECT_EQ(rec.useGradation, expect.useGradation);
      EXPECT_EQ(rec.useTone, 0);  // never stored, never read
      EXPECT_EQ(rec.airMap, expect.airMap);
      int32_t tone = -1;
      EXPECT_TRUE(reg.readInteger("useTone", tone));
      EXPECT_EQ(tone, 0);
    }
}

TEST(PenSettingStore, AnIncompleteGroupStopsTheRead) {
  CSettingsStore store;
  CSettingsKey reg(store);
  ASSERT_TRUE(reg.openKey("k", true));
  EXPECT_TRUE(regWriteFloat(reg, "MIN", 40.0f));
  EXPECT_TRUE(regWriteFloat(reg, "WIDTH", 33.0f));
  EXPECT_TRUE(regWriteFloat(reg, "GAMMA", 2.0f));
  EXPECT_TRUE(regWriteFloat(reg, "EFFECT", 5.0f));  // group 2 lacks ENV and SPEED
  EXPECT_TRUE(regWriteFloat(reg, "SPEED", 5.0f));
  SPenSetting rec;
  rec.EFFECT = 7.0f;
  rec.useTone = 1;
  EXPECT_FALSE(readPenSetting(reg, rec));
  EXPECT_EQ(rec.MIN, 40.0f);
  EXPECT_EQ(rec.WIDTH, 33.0f);
  EXPECT_EQ(rec.GAMMA, 2.0f);
  EXPECT_EQ(rec.EFFECT, 7.0f);  // group 2 left as it was
  EXPECT_EQ(rec.useTone, 1);    // group 3 never reached

  // Group 4 checks all four values before reading any.
  EXPECT_TRUE(regWriteFloat(reg, "ENV", 1.0f));
  EXPECT_TRUE(regWriteBool(reg, "ifSIZE", true));
  EXPECT_TRUE(regWriteBool(reg, "ifTRANSPARENCY", true));
  EXPECT_TRUE(regWriteBool(reg, "ifEDGE", true));
  EXPECT_TRUE(regWriteBool(reg, "useGradation", true));
  EXPECT_TRUE(regWriteFloat(reg, "opaque", 0.5f));
  EXPECT_TRUE(regWriteFloat(reg, "penSpacing", 0.5f));
  EXPECT_FALSE(readPenSetting(reg, rec));
  EXPECT_EQ(rec.ifEDGE, 1);
  EXPECT_EQ(rec.useTone, 0);
  EXPECT_EQ(rec.useGradation, 0);
  EXPECT_EQ(rec.opaque, 1.0f);
}

TEST(PenSettingStore, ValuesFromTheStoreAreBroughtIntoRange) {
  CSettingsStore store;
  CSettingsKey reg(store);
  ASSERT_TRUE(reg.openKey("k", true));
  EXPECT_TRUE(reg.writeFloat("MIN", 1e300));                                   // not a float: keeps the field
  EXPECT_TRUE(reg.writeFloat("WIDTH", 5000.0));                                // clamped to 200
  EXPECT_TRUE(reg.writeFloat("GAMMA", std::numeric_limits<double>::quiet_NaN()));  // keeps the field
  EXPECT_TRUE(reg.writeFloat("EFFECT", -20.0));                                // clamped to 0
  EXPECT_TRUE(reg.writeString("ENV", "fifty"));                                // wrong kind: keeps the field
  EXPECT_TRUE(reg.writeFloat("SPEED", 150.0));                                 // clamped to 100
  EXPECT_TRUE(reg.writeInteger("ifSIZE", 7));                                  // non-zero is true
  EXPECT_TRUE(reg.writeInteger("ifTRANSPARENCY", 0));
  EXPECT_TRUE(reg.writeInteger("ifEDGE", 0));
  EXPECT_TRUE(reg.writeInteger("useGradation", 0));
  EXPECT_TRUE(reg.writeFloat("opaque", 0.0));                                  // clamped to 0.01
  EXPECT_TRUE(reg.writeFloat("penSpacing", 9.0));                              // clamped to 2
  EXPECT_TRUE(reg.writeInteger("airMap", 99));                                 // kept: its readers map it
  SPenSetting rec;
  rec.MIN = 30.0f;
  rec.GAMMA = 2.0f;
  rec.ENV = 12.0f;
  EXPECT_TRUE(readPenSetting(reg, rec));
  EXPECT_EQ(rec.MIN, 30.0f);
  EXPECT_EQ(rec.WIDTH, 200.0f);
  EXPECT_EQ(rec.GAMMA, 2.0f);
  EXPECT_EQ(rec.EFFECT, 0.0f);
  EXPECT_EQ(rec.ENV, 12.0f);
  EXPECT_EQ(rec.SPEED, 100.0f);
  EXPECT_EQ(rec.ifSIZE, 1);
  EXPECT_EQ(rec.opaque, 0.01f);
  EXPECT_EQ(rec.penSpacing, 2.0f);
  EXPECT_EQ(rec.airMap, 99);
}

}  // namespace stroke_settings_test
}  // namespace pg
