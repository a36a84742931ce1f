#include "brush/paint_param_kinds.h"

#include <gtest/gtest.h>

#include <string>

#include "brush/paint_param.h"
#include "platform/string_table.h"

namespace pg {
namespace {

TEST(PaintKinds, TableOfTheEighteenKinds) {
  struct Row {
    uint8_t family;
    uint32_t mask;
    uint8_t falloffMode;
    uint8_t strokeKind;
    const char* name;
  };
  const Row rows[kPaintKindCount] = {
      {1, 0x3F84, 0, 0, "鉛筆"},          {1, 0x103384, 0, 3, "消しゴム"},    {1, 0x103FF4, 0, 1, "透明水彩"},
      {1, 0x13F8C, 1, 5, "エアーブラシ"}, {1, 0x3A94, 0, 2, "ぼかし"},        {0, 0x3294, 0, 4, "ぼかし"},
      {1, 0x13B8C, 1, 6, "指先"},         {1, 0x13B9C, 1, 7, "焼き込み"},     {1, 0x13B9C, 1, 8, "覆い焼き"},
      {2, 0x2FFF8F, 2, 0, "鉛筆"},        {2, 0x2FFF8F, 2, 3, "消しゴム"},    {2, 0x2FFFFF, 2, 1, "透明水彩"},
      {2, 0x2FFF8F, 2, 5, "エアーブラシ"}, {2, 0x2FFF9F, 2, 2, "ぼかし"},      {2, 0x2FFF8F, 2, 6, "指先"},
      {2, 0x2FFF8F, 2, 6, "のばし"},      {2, 0x2FFF9F, 2, 7, "焼き込み"},    {2, 0x2FFF9F, 2, 8, "覆い焼き"},
  };
  for (uint32_t k = 0; k < kPaintKindCount; ++k) {
    SCOPED_TRACE(k);
    EXPECT_EQ(paintKindFamily(k), rows[k].family);
    EXPECT_EQ(paintKindParamMask(k), rows[k].mask);
    EXPECT_EQ(paintKindFalloffMode(k), rows[k].falloffMode);
    EXPECT_EQ(paintKindStrokeKind(k), rows[k].strokeKind);
    EXPECT_EQ(paintKindName(k), rows[k].name);
  }
  EXPECT_EQ(paintKindFamily(18), 0);
  EXPECT_EQ(paintKindParamMask(18), 0u);
  EXPECT_EQ(paintKindStrokeKind(100), kNoKind);
  EXPECT_EQ(paintKindName(18), "");
  EXPECT_TRUE(paintKindOffers(3, ppFalloffType));
  EXPECT_FALSE(paintKindOffers(1, ppFalloffType));
  EXPECT_TRUE(paintKindOffers(1, ppPressureEdge));
  EXPECT_EQ(paintKindFamily(128 + 9), 2);  // byte lookups are masked
}

TEST(PaintKinds, ListOrders) {
  const uint8_t strokeList[8] = {0, 1, 2, 3, 4, 6, 7, 8};
  for (uint32_t i = 0; i < 8; ++i) {
    EXPECT_EQ(paintKindAt(1, 255, i), strokeList[i]);
    EXPECT_EQ(legacyKindAt(i), strokeList[i]);
    EXPECT_EQ(paintKindAt(0, 0, i), strokeList[i]);
  }
  for (uint32_t i = 0; i < 9; ++i) EXPECT_EQ(paintKindAt(2, i, 255), 9 + i);
  EXPECT_EQ(paintKindAt(2, 9, 0), kNoKind);
  EXPECT_EQ(legacyKindAt(8), kNoKind);

  const uint8_t legacy[18] = {0, 1, 2, 3, 4, 4, 5, 6, 7, 255, 255, 255, 255, 255, 255, 255, 255, 255};
  for (uint32_t k = 0; k < 18; ++k) {
    EXPECT_EQ(legacyListIndexOf(k), legacy[k]) << k;
    EXPECT_EQ(penListIndexOf(k), k >= 9 ? k - 9 : 255u) << k;
  }
  EXPECT_EQ(penListIndexOf(8), 255);
  EXPECT_EQ(penListIndexOf(18), 255);

  const uint8_t settingKinds[8] = {0, 3, 1, 5, 2, 6, 7, 8};
  for (uint32_t i = 0; i < 8; ++i) EXPECT_EQ(penSettingIndexOf(i), settingKinds[i]) << i;
  EXPECT_EQ(penSettingIndexOf(8), kNoKind);

  const uint8_t kindOfStroke[9] = {0, 2, 4, 1, 5, 3, 6, 7, 8};
  for (uint32_t s = 0; s < 9; ++s) {
    uint8_t k = 99;
    EXPECT_TRUE(paintKindOfStrokeKind(k, s));
    EXPECT_EQ(k, kindOfStroke[s]);
    EXPECT_EQ(paintKindStrokeKind(k), s);  // and back
  }
  uint8_t k = 99;
  EXPECT_FALSE(paintKindOfStrokeKind(k, 9));
  EXPECT_EQ(k, 99);
}

TEST(PaintKinds, PenRenderRecords) {
  struct Row {
    uint8_t method, pencil, subMode;
  };
  const Row rows[9] = {{0, 1, 0}, {3, 0, 0}, {1, 0, 0}, {0, 0, 0}, {2, 0, 0},
                       {5, 0, 0}, {4, 0, 0}, {6, 0, 0}, {6, 0, 1}};
  for (uint32_t kind = 9; kind <= 17; ++kind) {
    SCOPED_TRACE(kind);
    SPenRenderParam r;
    r.effect = 5;
    ASSERT_TRUE(penRenderParamOfKind(r, kind));
    EXPECT_EQ(r.method, rows[kind - 9].method);
    EXPECT_EQ(r.workPlane, rows[kind - 9].pencil);
    EXPECT_EQ(r.subMode, rows[kind - 9].subMode);
    EXPECT_EQ(r.effect, 0);  // cleared first
    uint8_t back = 0;
    ASSERT_TRUE(paintKindOfPenRecord(back, r));
    EXPECT_EQ(back, kind);
  }
  SPenRenderParam r;
  r.effect = 5;
  EXPECT_FALSE(penRenderParamOfKind(r, 8));
  EXPECT_EQ(r, SPenRenderParam{});
  uint8_t kind = 0;
  r.method = 0;
  r.workPlane = 0;
  EXPECT_TRUE(paintKindOfPenRecord(kind, r));
  EXPECT_EQ(kind, 12);  // airbrush
  r.method = 7;
  kind = 3;
  EXPECT_FALSE(paintKindOfPenRecord(kind, r));
  EXPECT_EQ(kind, 3);
}

TEST(BlendModeMaps, BothDirections) {
  const uint32_t toLayer[22] = {3, 11, 4, 13, 1, 10, 0, 12, 18, 2, 5, 7, 6, 20, 19, 21, 8, 9, 14, 15, 16, 17};
  for (uint32_t m = 0; m < 22; ++m) {
    EXPECT_EQ(blendModeToLayerMode(m), toLayer[m]) << m;
    EXPECT_EQ(layerModeToBlendMode(toLayer[m]), m) << m;
    EXPECT_EQ(blendModeToLayerMode(layerModeToBlendMode(m)), m) << m;
    std::string name;
    EXPECT_TRUE(getBlendModeName(m, name));
    EXPECT_EQ(name, layerBlendName(toLayer[m]));
  }
  EXPECT_EQ(blendModeToLayerMode(22), static_cast<uint32_t>(lbmNormal));
  EXPECT_EQ(layerModeToBlendMode(99), bmStandard);
  EXPECT_EQ(blendModeToLayerMode(128 + 6), 0u);  // masked
  std::string standard;
  EXPECT_TRUE(getBlendModeName(bmStandard, standard));
  EXPECT_EQ(standard, "標準");
}

TEST(FalloffCodeMaps, TablesAndUnknownCodes) {
  const uint8_t toPreset[8] = {3, 0, 0, 1, 0, 2, 4, 255};
  const uint8_t toGrade[8] = {3, 4, 0, 0, 1, 2, 5, 255};
  for (uint32_t t = 0; t < 8; ++t) {
    EXPECT_EQ(falloffToPresetCurve(t), toPreset[t]) << t;
    EXPECT_EQ(falloffToGradeMapType(t), toGrade[t]) << t;
  }
  const uint8_t fromPreset[6] = {2, 3, 5, 0, 6, 7};
  for (int32_t c = 0; c < 6; ++c) EXPECT_EQ(presetCurveToFalloff(c), fromPreset[c]) << c;
  const uint8_t fromGrade[7] = {3, 4, 5, 0, 1, 6, 7};
  for (int32_t c = 0; c < 7; ++c) EXPECT_EQ(gradeMapTypeToFalloff(c), fromGrade[c]) << c;
  // Codes with no entry map back to the flat off state.
  for (int32_t c : {-1, 6, 127, 255, 1 << 20}) EXPECT_EQ(presetCurveToFalloff(c), 7) << c;
  for (int32_t c : {-1, 7, 255}) EXPECT_EQ(gradeMapTypeToFalloff(c), 7) << c;
  // Falloff types past the table are flat like 7.
  EXPECT_EQ(falloffToPresetCurve(200), 255);
  EXPECT_EQ(falloffToGradeMapType(8), 255);
  // What a stroke gets: a curve it can build.
  const uint8_t strokeCurve[8] = {3, 0, 0, 1, 0, 2, 4, 0};
  for (uint32_t t = 0; t < 8; ++t) EXPECT_EQ(strokeCurveOfFalloff(t), strokeCurve[t]) << t;
}

TEST(NibScaleRange, Table) {
  struct Case {
    int32_t w, h;
    float lo, hi;
  };
  const Case cases[] = {
      {1, 1, 4.0f, 5.0f},         {1024, 256, 0.015625f, 0.5f}, {0, 0, 0.01f, 5.0f},
      {500, 0, 0.01f, 1.024f},    {1000, 800, 0.01f, 0.512f},   {2, 1000, 0.512f, 0.512f},
      {-5, 10, 0.01f, 5.0f},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(::testing::Message() << c.w << "x" << c.h);
    float lo = -1, hi = -1;
    nibScaleRange(lo, hi, c.w, c.h);
    EXPECT_FLOAT_EQ(lo, c.lo);
    EXPECT_FLOAT_EQ(hi, c.hi);
    EXPECT_LE(lo, hi);
  }
}

TEST(EffectCaptions, ShortLongAndHints) {
  struct Case {
    uint32_t kind, slider;
    const char* shortText;
    const char* longText;
  };
  const Case cases[] = {
      {2, 0, "のばし効果", "のばし効果"}, {11, 1, "ぼかし効果", "ぼかし効果"}, {2, 2, "影響距離", "効果の影響距離"},
      {2, 3, "効果", "効果"},             {4, 0, "ぼかし強度", "ぼかし強度"}, {13, 2, "ぼかし", "ぼかし"},
      {5, 1, "ぼかし", "ぼかし"},         {7, 0, "露出量", "露出量"},         {16, 1, "焼き込み", "焼き込み"},
      {8, 2, "覆い焼き", "覆い焼き"},     {17, 5, "覆い焼き", "覆い焼き"},   {0, 0, "効果", "効果"},
      {15, 2, "効果", "効果"},            {99, 1, "効果", "効果"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(::testing::Message() << "kind " << c.kind << " slider " << c.slider);
    EXPECT_EQ(effectCaption(c.kind, c.slider), c.shortText);
    EXPECT_EQ(effectCaptionLong(c.kind, c.slider), c.longText);
  }
  EXPECT_EQ(effectHint(2, 2), "効果の影響距離|効果の影響距離の変更");
  TPaintParam p(7);
  EXPECT_EQ(p.effectCaption(0), "露出量");
  EXPECT_EQ(p.effectHint(1), "焼き込み|焼き込みの変更");
}

}  // namespace
}  // namespace pg
