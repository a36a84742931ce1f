#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <random>
#include <set>
#include <string>

#include "core/blend_modes.h"
#include "core/colour.h"

namespace pg {
namespace blend_modes_test {

constexpr uint32_t px(uint32_t a, uint32_t r, uint32_t g, uint32_t b) { return (a << 24) | (r << 16) | (g << 8) | b; }
constexpr uint32_t grey(uint32_t a, uint32_t v) { return px(a, v, v, v); }

TEST(BlendModes, GivenChannelValues) {
  struct Case {
    const char* what;
    uint32_t got;
    uint32_t want;
  };
  const Case cases[] = {
      {"screen(255, 77)", screenChannel(255, 77), 255},
      {"screen(0, 77)", screenChannel(0, 77), 77},
      {"screen(128, 128)", screenChannel(128, 128), 192},
      {"burn(255, 0)", burnChannel(255, 0), 255},
      {"burn(254, 0)", burnChannel(254, 0), 0},
      {"burn(0, 0)", burnChannel(0, 0), 0},
      {"burn(200, 100)", burnChannel(200, 100), 115},  // 255 - 55*255/100
      {"dodge(0, 255)", dodgeChannel(0, 255), 0},
      {"dodge(1, 255)", dodgeChannel(1, 255), 255},
      {"dodge(100, 155)", dodgeChannel(100, 155), 255},
      {"dodge(50, 155)", dodgeChannel(50, 155), 127},
      {"linear light(0, 128)", linearLightChannel(0, 128), 0},
      {"linear light(255, 128)", linearLightChannel(255, 128), 255},
      {"linear light(100, 200)", linearLightChannel(100, 200), 244},
      {"pin light(10, 200)", pinLightChannel(10, 200), 145},
      {"pin light(200, 50)", pinLightChannel(200, 50), 100},
      {"overlay(127, 255)", overlayChannel(127, 255), 254},
      {"overlay(128, 0)", overlayChannel(128, 0), 1},
      {"hard light(255, 127)", hardLightChannel(255, 127), 254},
      {"hard light(0, 128)", hardLightChannel(0, 128), 1},
      {"difference(30, 200)", differenceChannel(30, 200), 170},
      {"exclusion(255, 255)", exclusionChannel(255, 255), 0},
      {"exclusion(0, 200)", exclusionChannel(0, 200), 200},
      {"darken(30, 200)", darkenChannel(30, 200), 30},
      {"lighten(30, 200)", lightenChannel(30, 200), 200},
      {"vivid light(100, 0)", vividLightChannel(100, 0), 0},
      {"vivid light(100, 255)", vividLightChannel(100, 255), 255},
      {"vivid light(100, 64)", vividLightChannel(100, 64), 0},    // 255 - min(255, (155*255/64) >> 1)
      {"vivid light(100, 192)", vividLightChannel(100, 192), 202},  // (100*255/63) >> 1
      {"subtract negative(100, 200)", subtractNegaChannel(100, 200), 45},
      {"softLightCurve(0)", softLightCurve(0), 0},
      {"softLightCurve(255)", softLightCurve(255), 255},
      {"softLightCurve(64)", softLightCurve(64), 127},  // sqrt(0.251)
      {"soft light(100, 0)", softLightChannel(100, 0), 40},  // 100 - 100*155/255
      {"soft light(100, 255)", softLightChannel(100, 255), 159},
  };
  for (const Case& c : cases) EXPECT_EQ(c.got, c.want) << c.what;

  for (uint32_t d = 0; d < 256; ++d) {
    EXPECT_LE(std::abs(static_cast<int>(softLightChannel(d, 128)) - static_cast<int>(d)), 1) << d;
    for (uint32_t s = 0; s < 256; ++s) ASSERT_LE(exclusionChannel(d, s), 255u);
  }
}

TEST(BlendModes, ColourModelModes) {
  // A grey source gives grey at the destination's luminosity.
  const uint32_t d = px(255, 200, 40, 90);
  const uint32_t lum = pixelGrey(d);
  for (uint32_t v : {0u, 77u, 255u}) EXPECT_EQ(hueColour(d, grey(255, v)), grey(0, lum)) << v;
  // A grey destination under saturation stays grey.
  EXPECT_EQ(saturationColour(grey(255, 120), px(255, 255, 0, 0)), grey(0, 120));
  // Luminosity of a grey source on grey gives the source's grey.
  EXPECT_EQ(luminosityColour(grey(255, 10), grey(255, 200)), grey(0, 200));
  EXPECT_EQ(colourSaturation(px(0, 200, 40, 90)), 160u);
  EXPECT_EQ(pixelGrey(px(0, 255, 0, 0)), 76u);
  EXPECT_EQ(pixelGrey(px(0, 0, 255, 0)), 149u);
  EXPECT_EQ(pixelGrey(px(0, 0, 0, 255)), 29u);
  // The composed colour has the asked luminosity, within the rounding of the
  // scaled channels, whenever it needs no clamping.
  std::mt19937 rng(99);
  for (int n = 0; n < 20000; ++n) {
    const uint32_t c = rng() & 0xFFFFFF, sat = rng() & 255, l = rng() & 255;
    const uint32_t out = hslCompose(c, sat, l);
    EXPECT_EQ(pixelAlpha(out), 0u);
    if (sat == 0 || colourSaturation(c) == 0) {
      EXPECT_EQ(out, grey(0, l));
    }
  }
  // Hue keeps the destination's luminosity to within a few levels.
  for (int n = 0; n < 2000; ++n) {
    const uint32_t a = rng() | 0xFF000000u, b = rng() | 0xFF000000u;
    EXPECT_NEAR(static_cast<int>(pixelGrey(colorColour(a, b))), static_cast<int>(pixelGrey(a)), 3)
        << std::hex << a << " " << b;
  }
}

// ------------------------------------------------- the 22 mode families

enum class RefKind { Separable, ColourModel, SubtractNega, Difference, Darken, Lighten, Add, Multiply };

struct ModeCase {
  uint32_t mode;
  RefKind kind;
  uint32_t (*channel)(uint32_t, uint32_t);  // Separable: B(d, s)
  uint32_t (*colour)(uint32_t, uint32_t);   // ColourModel: the composed colour
};

uint32_t normalChannel(uint32_t, uint32_t s) { return s; }

const ModeCase kModes[] = {
    {lbmMultiply, RefKind::Multiply, &multiplyChannel, nullptr},
    {lbmAdd, RefKind::Add, nullptr, nullptr},
    {lbmSubtract, RefKind::Add, nullptr, nullptr},
    {lbmNormal, RefKind::Separable, &normalChannel, nullptr},
    {lbmScreen, RefKind::Separable, &screenChannel, nullptr},
    {lbmOverlay, RefKind::Separable, &overlayChannel, nullptr},
    {lbmHardLight, RefKind::Separable, &hardLightChannel, nullptr},
    {lbmSoftLight, RefKind::Separable, &softLightChannel, nullptr},
    {lbmDifference, RefKind::Difference, &differenceChannel, nullptr},
    {lbmExclusion, RefKind::Separable, &exclusionChannel, nullptr},
    {lbmDarken, RefKind::Darken, &darkenChannel, nullptr},
    {lbmLighten, RefKind::Lighten, &lightenChannel, nullptr},
    {lbmBurn, RefKind::Separable, &burnChannel, nullptr},
    {lbmDodge, RefKind::Separable, &dodgeChannel, nullptr},
    {lbmHue, RefKind::ColourModel, nullptr, &hueColour},
    {lbmSaturation, RefKind::ColourModel, nullptr, &saturationColour},
    {lbmColor, RefKind::ColourModel, nullptr, &colorColour},
    {lbmLuminosity, RefKind::ColourModel, nullptr, &luminosityColour},
    {lbmSubtractNega, RefKind::SubtractNega, &subtractNegaChannel, nullptr},
    {lbmLinearLight, RefKind::Separable, &linearLightChannel, nullptr},
    {lbmVividLight, RefKind::Separable, &vividLightChannel, nullptr},
    {lbmPinLight, RefKind::Separable, &pinLightChannel, nullptr},
};

// Pixels with the alphas that matter (0, 1, 254, 255) and random ones.
uint32_t randomPixel(std::mt19937& rng) {
  static const uint32_t alphas[] = {0, 1, 254, 255};
  const uint32_t r = rng();
  const uint32_t a = (r >> 24) < 128 ? alphas[(r >> 24) & 3] : rng() & 255;
  return (a << 24) | (rng() & 0xFFFFFF);
}

TEST(BlendModes, EveryModeHasOneRowOfEachTable) {
  ASSERT_EQ(std::size(kModes), kLayerBlendModeCount);
  for (const ModeCase& m : kModes) {
    const SLayerBlendMode* row = layerBlendInfo(m.mode);
    ASSERT_NE(row, nullptr);
    EXPECT_EQ(row->Mode, m.mode);
    EXPECT_NE(layerOverOp(m.mode), nullptr);
  }
}

TEST(BlendModes, ExplicitAndSourceAlphaMembersKeepAlphaAndDoNothingAtAlphaZero) {
  std::mt19937 rng(2024);
  for (const ModeCase& m : kModes) {
    const SLayerBlendMode& row = *layerBlendInfo(m.mode);
    for (int n = 0; n < 4000; ++n) {
      const uint32_t d = randomPixel(rng), s = randomPixel(rng), a = rng() & 255;
      uint32_t p = d;
      row.ExplicitOp(&p, s, 0);
      ASSERT_EQ(p, d) << "explicit, alpha 0, mode " << m.mode;
      p = d;
      row.SrcAlphaOp(&p, s, 0);
      ASSERT_EQ(p, d) << "source alpha, opacity 0, mode " << m.mode;
      p = d;
      row.SrcAlphaOp(&p, s & 0x00FFFFFFu, 255);
      ASSERT_EQ(p, d) << "source alpha, transparent source, mode " << m.mode;

      p = d;
      row.ExplicitOp(&p, s, a);
      ASSERT_EQ(pixelAlpha(p), pixelAlpha(d)) << "explicit writes alpha, mode " << m.mode;
      // The source-alpha member is the explicit one at opacity * source alpha.
      uint32_t q = d, e = d;
      row.SrcAlphaOp(&q, s, a);
      row.ExplicitOp(&e, s, mulDiv255(a, pixelAlpha(s)));
      ASSERT_EQ(q, e) << "mode " << m.mode;
      // Separable members are the mix toward the channel formula (within the floor).
      if (m.kind == RefKind::Separable || m.kind == RefKind::ColourModel) {
        const uint32_t blended = m.colour ? m.colour(d, s) : 0;
        for (int i = 0; i < 3; ++i) {
          const double dd = pixelByte(d, i), ss = pixelByte(s, i);
          const double b = m.colour ? pixelByte(blended, i) : m.channel(pixelByte(d, i), pixelByte(s, i));
          const double want = (dd * (255 - a) + b * a) / 255;
          ASSERT_LE(std::abs(pixelByte(p, i) - want), 1.0) << "mode " << m.mode << " ch " << i << " ss " << ss;
        }
      }
    }
  }
}

// The float composite of a source over a destination with alpha: the source
// colour where the destination is transparent, the mode's mix x where it is
// opaque, weighted by the coverage of each.
double overRef(double s, double sa, double dA, double x) {
  const double co = (1 - dA / 255) * (sa / 255) * s + (dA / 255) * x;
  const double outA = sa / 255 + dA / 255 - sa * dA / 65025;
  return co / outA;
}

double overReference(const ModeCase& m, uint32_t d, uint32_t s, uint32_t sa, uint32_t dA, int i) {
  const double dc = pixelByte(d, i), sc = pixelByte(s, i);
  const double dd = dc * dA;  // the destination premultiplied (over black)
  const double outA255 = 255.0 * sa + (255.0 - sa) * dA;
  switch (m.kind) {
    case RefKind::Separable:
    case RefKind::Multiply: {
      const double b = m.channel(pixelByte(d, i), pixelByte(s, i));
      return overRef(sc, sa, dA, (sa * b + (255.0 - sa) * dc) / 255);
    }
    case RefKind::ColourModel: {
      const double b = pixelByte(m.colour(d, s), i);
      return overRef(sc, sa, dA, (sa * b + (255.0 - sa) * dc) / 255);
    }
    case RefKind::SubtractNega:
      return overRef(sc, sa, dA, std::max(0.0, dc - (255 - sc) * sa / 255));
    case RefKind::Difference:
      return (std::abs(255 * sc - dd) * sa + (255.0 - sa) * dd) / outA255;
    case RefKind::Darken:
      return (std::min(dd + (255.0 - dA) * 255, 255 * sc) * sa + (255.0 - sa) * dd) / outA255;
    case RefKind::Lighten:
      return (std::max(dd, 255 * sc) * sa + (255.0 - sa) * dd) / outA255;
    case RefKind::Add:
      break;
  }
  return 0;
}

TEST(BlendModes, OverMembersAgreeWithAFloatingPointReference) {
  std::mt19937 rng(7);
  for (const ModeCase& m : kModes) {
    const PixelOp32 over = layerOverOp(m.mode);
    for (int n = 0; n < 20000; ++n) {
      const uint32_t d = randomPixel(rng), s = randomPixel(rng);
      const uint32_t opacity = n % 3 == 0 ? 255 : rng() & 255;
      uint32_t p = d;
      over(&p, s, opacity);
      const uint32_t dA = pixelAlpha(d);
      if (m.kind == RefKind::Add) {
        const uint32_t sa = productAt(pixelAlpha(s), opacity);
        uint32_t A = dA + sa - productAt(dA, sa);
        if (A == 0) {
          ASSERT_EQ(p, d);
          continue;
        }
        if (dA >= 1 && sa >= 1) A = 255;
        ASSERT_EQ(pixelAlpha(p), A);
        for (int i = 0; i < 3; ++i) {
          const double want = std::min(255.0, (pixelByte(s, i) * sa + pixelByte(d, i) * dA) / double(A));
          ASSERT_LE(std::abs(pixelByte(p, i) - want), 1.0) << "mode " << m.mode;
        }
        continue;
      }
      const uint32_t sa = mulDiv255(pixelAlpha(s), opacity);
      const uint32_t outA = sa + dA - mulDiv255(dA, sa);
      ASSERT_EQ(pixelAlpha(p), outA) << "mode " << m.mode;
      if (outA == 0) {
        ASSERT_EQ(p & 0xFFFFFFu, d & 0xFFFFFFu) << "mode " << m.mode;
        continue;
      }
      for (int i = 0; i < 3; ++i) {
        const double want = overReference(m, d, s, sa, dA, i);
        ASSERT_LE(std::abs(pixelByte(p, i) - want), 1.0)
            << "mode " << m.mode << " d=" << std::hex << d << " s=" << s << std::dec << " opacity " << opacity
            << " channel " << i << " got " << pixelByte(p, i) << " want " << want;
      }
    }
  }
}

TEST(BlendModes, MergingOntoTransparentPixelsKeepsTheUpperLayer) {
  // A normal (or any) upper pixel over a transparent lower one keeps its colour
  // and its alpha.
  for (const ModeCase& m : kModes) {
    if (m.kind == RefKind::Add) continue;  // add composites the sum
    uint32_t p = px(0, 12, 34, 56);
    layerOverOp(m.mode)(&p, px(200, 90, 150, 210), 255);
    EXPECT_EQ(p, px(200, 90, 150, 210)) << "mode " << m.mode;
  }
  uint32_t p = px(0, 12, 34, 56);
  layerOverOp(lbmAdd)(&p, px(200, 90, 150, 210), 255);
  EXPECT_EQ(p, px(200, 90, 150, 210));
  // Normal over an opaque pixel is the plain mix.
  p = px(255, 0, 0, 0);
  blendNormalOver(&p, px(255, 255, 255, 255), 51);
  EXPECT_EQ(p, px(255, 51, 51, 51));
}

TEST(BlendModes, NeutralColoursLeaveWhatLiesBelow) {
  // Modes whose neutral colour, laid over anything at full strength, changes
  // nothing; vivid light's mid grey changes only 254 (to 255).
  const uint32_t exact[] = {lbmMultiply, lbmAdd,  lbmSubtract, lbmScreen, lbmDifference,  lbmExclusion,
                            lbmDarken,   lbmLighten, lbmBurn, lbmDodge,  lbmSubtractNega};
  for (uint32_t mode : exact) {
    const SLayerBlendMode& row = *layerBlendInfo(mode);
    for (uint32_t v = 0; v < 256; ++v) {
      uint32_t p = px(255, v, 255 - v, v / 2);
      row.ExplicitOp(&p, row.Neutral | 0xFF000000u, 255);
      ASSERT_EQ(p, px(255, v, 255 - v, v / 2)) << "mode " << mode << " v " << v;
    }
  }
  EXPECT_EQ(layerBlendNeutral(lbmVividLight), 0x808080u);
  for (uint32_t v = 0; v < 256; ++v) {
    uint32_t p = grey(255, v);
    blendVividLight(&p, 0xFF808080u, 255);
    EXPECT_EQ(p, grey(255, v == 254 ? 255 : v)) << v;
  }
}

TEST(BlendModes, LookupsAreRangeChecked) {
  EXPECT_EQ(layerBlendInfo(22), nullptr);
  EXPECT_EQ(layerBlendInfo(127), nullptr);
  EXPECT_EQ(layerBlendInfo(255), nullptr);
  ASSERT_NE(layerBlendInfo(128), nullptr);
  EXPECT_EQ(layerBlendInfo(128)->Mode, lbmMultiply);
  EXPECT_EQ(layerBlendInfo(128 + 21)->Mode, lbmPinLight);
  EXPECT_EQ(layerOverOp(22), nullptr);
  EXPECT_EQ(layerOverOp(lbmSubtract), layerOverOp(lbmAdd));
  EXPECT_EQ(layerOverOp(lbmNormal), &blendNormalOver);
  EXPECT_EQ(layerBlendNeutral(22), 0u);
  EXPECT_EQ(layerBlendName(22), "");

  // Table C: 22 columns; anything beyond falls back to standard.
  struct CCase {
    uint32_t flag, mode;
    PixelOp32 want;
  };
  const CCase c[] = {
      {0, bmStandard, &blendPixelTable}, {1, bmStandard, &lerpPixelRgb},    {5, bmStandard, &lerpPixelRgb},
      {0, bmMultiple, &blendMultiplyRgb}, {1, bmDodgeLinear, &blendAddRgb}, {0, bmBurnLinear, &blendSubRgb},
      {0, bmBurnLinearNega, &blendSubtractNega}, {1, bmLuminosity, &blendLuminosity},
      {0, 22, &blendPixelTable},         {1, 22, &lerpPixelRgb},           {0, 127, &blendPixelTable},
      {1, 255, &lerpPixelRgb},           {0, 128 + bmScreen, &blendScreen},
  };
  for (const CCase& k : c) EXPECT_EQ(brushBlendOp(k.flag, k.mode), k.want) << k.flag << " " << k.mode;
  for (uint32_t mode = 1; mode < kBlendModeCount; ++mode) EXPECT_EQ(brushBlendOp(0, mode), brushBlendOp(1, mode));

  // Table D: the modes that composite through compositePixelOps.
  struct DCase {
    uint32_t mode, start;
    PixelOp32 srcOp;
  };
  const DCase dcases[] = {
      {lbmBurn, 0xFFFFFF, &blendBurn},           {lbmDodge, 0, &blendDodge},
      {lbmOverlay, 0x7F7F7F, &blendOverlay},     {lbmHardLight, 0x7F7F7F, &blendHardLight},
      {lbmSoftLight, 0x7F7F7F, &blendSoftLight}, {lbmExclusion, 0, &blendExclusion},
      {lbmSubtractNega, 0xFFFFFF, &blendSubtractNega}, {lbmVividLight, 0xFFFFFF, &blendVividLight},
      {lbmLinearLight, 0x7F7F7F, &blendLinearLight},   {lbmPinLight, 0x7F7F7F, &blendPinLight},
      {lbmHue, 0xFFFFFF, &blendHue},             {lbmSaturation, 0xFFFFFF, &blendSaturation},
      {lbmColor, 0xFFFFFF, &blendColor},         {lbmLuminosity, 0xFFFFFF, &blendLuminosity},
  };
  for (int i = 0; i < kCompositeOpsCount; ++i) {
    const SPixelBlendOps* ops = layerCompositeOps(dcases[i].mode);
    ASSERT_NE(ops, nullptr) << dcases[i].mode;
    EXPECT_EQ(ops, &compositeOpsRow(i));
    EXPECT_EQ(ops->Start, dcases[i].start);
    EXPECT_EQ(ops->Flags, 0u);
    EXPECT_EQ(ops->DstOp, &lerpPixelRgb);
    EXPECT_EQ(ops->SrcOp, dcases[i].srcOp);
  }
  for (uint32_t mode : {0u, 1u, 2u, 3u, 4u, 8u, 10u, 11u, 22u, 200u}) EXPECT_EQ(layerCompositeOps(mode), nullptr);

  // Table E: multiply, add, subtract; normal for everything else.
  struct ECase {
    uint32_t kind;
    CoverageRectOp rect;
    PixelOp32 prim;
  };
  const ECase e[] = {
      {0, &compositeMultiplyEntry, &blendMultiplyRgb}, {1, &compositeAddEntry, &blendAddRgb},
      {2, &compositeSubtractEntry, &blendSubRgb},      {3, &compositeNormal, &blendNormalOpacity},
      {21, &compositeNormal, &blendNormalOpacity},     {130, &compositeSubtractEntry, &blendSubRgb},
      {255, &compositeNormal, &blendNormalOpacity},
  };
  for (const ECase& k : e) {
    EXPECT_EQ(layerKindOps(k.kind).RectOp, k.rect) << k.kind;
    EXPECT_EQ(layerKindOps(k.kind).Primitive, k.prim) << k.kind;
  }
}

TEST(BlendModes, RowsHoldTheGivenValues) {
  struct Row {
    uint32_t neutral, second, flags;
    const char* name;
  };
  const Row rows[kLayerBlendModeCount] = {
      {0xFFFFFF, 0xFFFFFF, 0x20, "乗算"},         {0, 0, 0x20, "加算"},
      {0, 0xFFFFFF, 0x21, "減算"},                {0xFFFFFF, 0, 0, "標準"},
      {0, 0, 0x22, "スクリーン"},                 {0x7F7F7F, 0x7F7F7F, 0x26, "オーバーレイ"},
      {0x7F7F7F, 0x7F7F7F, 0x26, "ハードライト"}, {0x7F7F7F, 0x7F7F7F, 0x26, "ソフトライト"},
      {0, 0, 0x22, "差の絶対値"},                 {0, 0, 0x22, "除外"},
      {0xFFFFFF, 0xFFFFFF, 0x22, "比較(暗)"},     {0, 0, 0x22, "比較(明)"},
      {0xFFFFFF, 0xFFFFFF, 0x22, "焼き込み"},     {0, 0, 0x22, "覆い焼き"},
      {0, 0xFFFFFF, 0x1A, "色相"},                {0, 0xFFFFFF, 0x1A, "彩度"},
      {0, 0xFFFFFF, 0x1A, "カラー"},              {0, 0xFFFFFF, 0x1A, "輝度"},
      {0xFFFFFF, 0xFFFFFF, 0x20, "減算(ネガ)"},   {0x7F7F7F, 0x7F7F7F, 0x26, "リニアライト"},
      {0x808080, 0xFFFFFF, 0x02, "ビビッドライト"}, {0x7F7F7F, 0x7F7F7F, 0x26, "ピンライト"},
  };
  std::set<std::string> names;
  for (uint32_t mode = 0; mode < kLayerBlendModeCount; ++mode) {
    const SLayerBlendMode& row = *layerBlendInfo(mode);
    EXPECT_EQ(row.Neutral, rows[mode].neutral) << mode;
    EXPECT_EQ(layerBlendNeutral(mode), rows[mode].neutral) << mode;
    EXPECT_EQ(row.SecondColour, rows[mode].second) << mode;
    EXPECT_EQ(row.Flags, rows[mode].flags) << mode;
    EXPECT_EQ(layerBlendName(mode), rows[mode].name) << mode;
    names.insert(layerBlendName(mode));
  }
  EXPECT_EQ(names.size(), kLayerBlendModeCount);
}

TEST(BlendModes, CoverageEntriesTakeTheDestinationFirst) {
  TMTC src(2, 1), dst(2, 1);
  ASSERT_TRUE(isPlaneReady(&src) && isPlaneReady(&dst));
  *src.pixelAt(0, 0) = px(255, 128, 128, 128);
  *src.pixelAt(1, 0) = px(0, 128, 128, 128);  // alpha unused by multiply, used by normal
  *dst.pixelAt(0, 0) = px(9, 200, 200, 200);
  *dst.pixelAt(1, 0) = px(9, 200, 200, 200);
  EXPECT_TRUE(layerKindOps(0).RectOp(dst, src, {0, 0, 2, 1}, {0, 0}, 255));
  EXPECT_EQ(dst.getPixel(0, 0), px(9, 100, 100, 100));
  EXPECT_EQ(dst.getPixel(1, 0), px(9, 100, 100, 100));
  EXPECT_EQ(src.getPixel(0, 0), px(255, 128, 128, 128));  // the source is not written
  EXPECT_TRUE(layerKindOps(3).RectOp(dst, src, {0, 0, 2, 1}, {0, 0}, 255));
  EXPECT_EQ(dst.getPixel(0, 0), px(9, 128, 128, 128));
  EXPECT_EQ(dst.getPixel(1, 0), px(9, 100, 100, 100));
  EXPECT_TRUE(compositeAddEntry(dst, src, {0, 0, 2, 1}, {0, 0}, 255));
  EXPECT_EQ(dst.getPixel(0, 0), px(9, 255, 255, 255));
  EXPECT_TRUE(compositeSubtractEntry(dst, src, {0, 0, 2, 1}, {0, 0}, 255));
  EXPECT_EQ(dst.getPixel(0, 0), px(9, 127, 127, 127));
  EXPECT_FALSE(compositeNormal(dst, src, {5, 0, 2, 1}, {0, 0}, 255));
}

}  // namespace blend_modes_test
}  // namespace pg
