#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <vector>

#include "core/blend_arith.h"
#include "core/planes.h"

namespace pg {
namespace blend_arith_test {

constexpr uint32_t px(uint32_t a, uint32_t r, uint32_t g, uint32_t b) { return (a << 24) | (r << 16) | (g << 8) | b; }

TEST(BlendArith, ScaledProductsEqualTheExactFloorFormulasForAllBytes) {
  for (uint32_t a = 0; a < 256; ++a)
    for (uint32_t b = 0; b < 256; ++b) {
      ASSERT_EQ(mulDiv255(a, b), a * b / 255) << a << " " << b;
      ASSERT_EQ(productAt(a, b), a * b / 255);
      ASSERT_EQ(screenAt(a, b), 255 - (255 - b) * a / 255);
      const int d = b < 128 ? static_cast<int>(b) : static_cast<int>(b) - 256;
      ASSERT_EQ(static_cast<int8_t>(halfDiffAt(a, b)), static_cast<int8_t>(2 * d * static_cast<int>(a) / 255));
      for (uint32_t t = 0; t < 256; ++t) {
        const uint32_t exact = (a * t + b * (255 - t)) / 255;
        ASSERT_EQ(lerp255(a, b, t), exact);
        uint8_t byte = static_cast<uint8_t>(a);
        lerpByte(&byte, b, t);
        ASSERT_EQ(byte, (a * (255 - t) + b * t) / 255);
      }
    }
  EXPECT_EQ(productTablePtr, productTable.data());
}

TEST(BlendArith, GivenValues) {
  struct Case {
    const char* what;
    uint32_t got;
    uint32_t want;
  };
  auto byteTab = [](uint32_t dst, uint32_t v, uint32_t a) {
    uint8_t b = static_cast<uint8_t>(dst);
    blendByteTab(&b, v, a);
    return static_cast<uint32_t>(b);
  };
  const Case cases[] = {
      {"mulDiv255(255, 255)", mulDiv255(255, 255), 255},
      {"mulDiv255(254, 1)", mulDiv255(254, 1), 0},
      {"lerp255(a, b, 255)", lerp255(77, 200, 255), 77},
      {"lerp255(a, b, 0)", lerp255(77, 200, 0), 200},
      {"blendByteTab(1, 0, 128)", byteTab(1, 0, 128), 1},
      {"blendByteTab(0, 255, 254)", byteTab(0, 255, 254), 253},
      {"blendByteTab alpha 0", byteTab(9, 200, 0), 9},
      {"blendByteTab alpha 255", byteTab(9, 200, 255), 200},
      {"table indices are bytes", productAt(0x103, 0x1FF), productAt(3, 255)},
  };
  for (const Case& c : cases) EXPECT_EQ(c.got, c.want) << c.what;
}

TEST(BlendArith, EightBitOperations) {
  struct Case {
    ByteOp op;
    uint32_t dst, v, want;
  };
  const Case cases[] = {
      {&byteSet, 10, 200, 200}, {&byteMax, 10, 200, 200}, {&byteMax, 210, 200, 210},
      {&byteMul, 0, 200, 0},    {&byteMul, 200, 0, 0},    {&byteMul, 255, 255, 255},
      {&byteMul, 128, 128, 64},
  };
  for (const Case& c : cases) {
    uint8_t b = static_cast<uint8_t>(c.dst);
    c.op(&b, c.v);
    EXPECT_EQ(b, c.want) << c.dst << " " << c.v;
  }
}

// The colour-byte formulas of the 32-bit operations, per channel.
uint32_t lerpRef(uint32_t c, uint32_t s, uint32_t a) { return (c * (255 - a) + s * a) / 255; }
uint32_t lerpTabRef(uint32_t c, uint32_t s, uint32_t a) {
  if (a == 255) return s;
  return (c + halfDiffAt(a, ((s >> 1) - (c >> 1)) & 255)) & 255;
}
uint32_t multiplyRef(uint32_t c, uint32_t s, uint32_t a) { return c * (255 - (255 - s) * a / 255) / 255; }
uint32_t addRef(uint32_t c, uint32_t s, uint32_t a) { return std::min(255u, c + a * s / 255); }
uint32_t subRef(uint32_t c, uint32_t s, uint32_t a) {
  const uint32_t t = a * s / 255;
  return c > t ? c - t : 0;
}

TEST(BlendArith, ColourOperationsFollowTheirFormulasAndKeepAlpha) {
  struct Case {
    const char* name;
    PixelOp32 op;
    uint32_t (*ref)(uint32_t, uint32_t, uint32_t);
  };
  const Case cases[] = {
      {"lerpPixelRgb", &lerpPixelRgb, &lerpRef},     {"lerpPixelRgbTab", &lerpPixelRgbTab, &lerpTabRef},
      {"blendMultiplyRgb", &blendMultiplyRgb, &multiplyRef}, {"blendAddRgb", &blendAddRgb, &addRef},
      {"blendSubRgb", &blendSubRgb, &subRef},
  };
  std::mt19937 rng(1234);
  for (const Case& c : cases) {
    for (int n = 0; n < 20000; ++n) {
      const uint32_t d = rng(), s = rng();
      const uint32_t a = n < 256 ? static_cast<uint32_t>(n) : rng() & 255;
      uint32_t p = d;
      c.op(&p, s, a);
      ASSERT_EQ(pixelAlpha(p), pixelAlpha(d)) << c.name;
      for (int i = 0; i < 3; ++i) {
        const uint32_t want = c.ref(pixelByte(d, i), pixelByte(s, i), a);
        ASSERT_EQ(pixelByte(p, i), want) << c.name << " d=" << std::hex << d << " s=" << s << std::dec << " a=" << a;
      }
    }
  }
}

TEST(BlendArith, LerpPixelRgbEnds) {
  uint32_t p = px(77, 1, 2, 3);
  lerpPixelRgb(&p, px(9, 200, 100, 50), 255);
  EXPECT_EQ(p, px(77, 200, 100, 50));
  lerpPixelRgb(&p, px(9, 0, 0, 0), 0);
  EXPECT_EQ(p, px(77, 200, 100, 50));
  pixelSet(&p, px(9, 8, 7, 6));
  EXPECT_EQ(p, px(9, 8, 7, 6));
}

TEST(BlendArith, BlendPixelOpacityCompositesAlpha) {
  struct Case {
    uint32_t dst, colour, c, want;
  };
  const Case cases[] = {
      {px(10, 1, 2, 3), px(0, 200, 100, 50), 0, px(10, 1, 2, 3)},            // coverage 0 keeps
      {px(10, 1, 2, 3), px(0, 200, 100, 50), 255, px(255, 200, 100, 50)},    // 255 replaces, opaque
      {px(0, 1, 2, 3), px(0, 200, 100, 50), 77, px(77, 200, 100, 50)},       // transparent: alpha c, colour s
      {px(255, 0, 0, 0), px(0, 255, 255, 255), 51, px(255, 51, 51, 51)},     // opaque: plain mix
      {px(128, 0, 0, 0), px(0, 255, 255, 255), 128, px(191, 170, 170, 170)}, // A = 128 + 63, weight 128*255/191
  };
  for (const Case& c : cases) {
    uint32_t p = c.dst;
    blendPixelOpacity(&p, c.colour, c.c);
    EXPECT_EQ(p, c.want) << std::hex << c.dst << " c=" << std::dec << c.c;
  }
  // blendPixelTable weights the coverage by the source alpha.
  uint32_t p = px(0, 0, 0, 0);
  blendPixelTable(&p, px(255, 10, 20, 30), 255);
  EXPECT_EQ(p, px(255, 10, 20, 30));
  p = px(0, 0, 0, 0);
  blendPixelTable(&p, px(100, 10, 20, 30), 255);
  EXPECT_EQ(p, px(100, 10, 20, 30));
}

TEST(BlendArith, PlanePlotsStayInside) {
  TChannel ch(4, 3);
  TMTC rgb(4, 3);
  ASSERT_TRUE(isPlaneReady(&ch) && isPlaneReady(&rgb));
  EXPECT_FALSE(blendPixel(ch, -1, 0, 200, 255));
  EXPECT_FALSE(blendPixel(rgb, 0, 3, 0xFFFFFF, 255));
  EXPECT_FALSE(blendPixelTab(ch, 4, 0, 200, 255));
  EXPECT_FALSE(blendPixelTab(rgb, 0, -5, 200, 255));
  EXPECT_TRUE(blendPixel(ch, 3, 2, 200, 255));
  EXPECT_EQ(ch.getPixel(3, 2), 200);
  EXPECT_TRUE(blendPixelTab(rgb, 1, 1, 0x00FFFFFF, 254));
  EXPECT_EQ(rgb.getPixel(1, 1), 0x00FDFDFDu);

  // The plain plane plot blends, whatever context it is handed.
  const SPlanePlot32 plain;
  EXPECT_TRUE(plain(rgb, 2, 2, 0x123456, 255));
  EXPECT_EQ(rgb.getPixel(2, 2), 0x00123456u);
  EXPECT_FALSE(plain(rgb, 4, 2, 0x123456, 255));
}

TEST(BlendArith, DissolveAppliesByThresholdAtEachPlace) {
  const uint32_t opaque = px(255, 200, 100, 50);
  // Amount 0 never applies; amount 255 with an opaque source always does.
  for (const uint32_t amount : {0u, 255u}) {
    const SStochasticBlend s{&pixelSet, amount};
    for (int32_t i = 0; i < 1000; ++i) {
      uint32_t p = 0;
      stochasticBlend(s, &p, opaque, 255, i % 37, i / 37);
      ASSERT_EQ(p, amount == 0 ? 0u : opaque) << i;
    }
  }
  // A transparent source never applies; no operation does nothing.
  uint32_t p = 7;
  stochasticBlend(SStochasticBlend{&pixelSet, 255}, &p, opaque & 0x00FFFFFFu, 255, 3, 4);
  stochasticBlend(SStochasticBlend{nullptr, 255}, &p, opaque, 255, 3, 4);
  EXPECT_EQ(p, 7u);

  // The draw is spread over 0..254 and depends on the place and the colour
  // alone: about half passes at amount 128, the same every time.
  auto pattern = [&](uint32_t colour) {
    std::vector<uint32_t> out(64 * 64, 0);
    for (int32_t i = 0; i < 64 * 64; ++i) stochasticBlend(SStochasticBlend{&pixelSet, 128}, &out[size_t(i)], colour, 255, i % 64, i / 64);
    return out;
  };
  const std::vector<uint32_t> first = pattern(opaque), second = pattern(opaque);
  EXPECT_EQ(first, second);
  const auto applied = std::count(first.begin(), first.end(), opaque);
  EXPECT_GT(applied, 64 * 64 * 4 / 10);
  EXPECT_LT(applied, 64 * 64 * 6 / 10);
  uint32_t lowest = 255, highest = 0;
  for (int32_t y = 0; y < 64; ++y)
    for (int32_t x = 0; x < 64; ++x) {
      lowest = std::min(lowest, stochasticDraw(x, y, opaque));
      highest = std::max(highest, stochasticDraw(x, y, opaque));
    }
  EXPECT_EQ(lowest, 0u);
  EXPECT_EQ(highest, 254u);
}

}  // namespace blend_arith_test
}  // namespace pg
