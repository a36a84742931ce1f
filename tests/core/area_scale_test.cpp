#include "core/area_scale.h"

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <cstring>
#include <numbers>
#include <random>
#include <vector>

#include "test_support/literal_scale.h"
#include "test_support/plane_pixels.h"

namespace pg {
namespace {

using testing::fillWith;
using testing::pixels;

using testing::CLiteralScaleCH;
using testing::CLiteralScaleTMTC;

TEST(AreaScale, HalvingAveragesTwoByTwoBlocks) {
  struct Case {
    std::array<uint8_t, 4> block;  // one byte value per pixel of the block
    uint8_t mean;
  };
  const Case cases[] = {
      {{127, 128, 127, 128}, 127},  // 127.5 + 0.01 still truncates to 127
      {{10, 20, 30, 40}, 25},
      {{0, 0, 0, 1}, 0},
      {{255, 255, 255, 255}, 255},
      {{254, 255, 255, 255}, 254},
  };
  for (const Case& c : cases) {
    TMTC src(2, 2), dst(1, 1);
    TChannel ch(2, 2), chDst(1, 1);
    for (int i = 0; i < 4; ++i) {
      const uint32_t v = c.block[size_t(i)];
      *src.pixelAt(i % 2, i / 2) = v | v << 8 | v << 16 | v << 24;
      *ch.pixelAt(i % 2, i / 2) = uint8_t(v);
    }
    CScaleImageTMTC s(src, &dst);
    ASSERT_TRUE(s.execute({0, 0, 2, 2}, {0, 0, 1, 1}));
    const uint32_t m = c.mean;
    EXPECT_EQ(dst.getPixel(0, 0), m | m << 8 | m << 16 | m << 24);
    CScaleImageCH sc(ch, &chDst);
    ASSERT_TRUE(sc.execute({0, 0, 2, 2}, {0, 0, 1, 1}));
    EXPECT_EQ(chDst.getPixel(0, 0), c.mean);
  }
}

TEST(AreaScale, DoublingRepeatsEachPixel) {
  TMTC src(3, 2), dst(6, 4);
  fillWith(src, [](int32_t x, int32_t y) { return uint32_t(0x01020304u * (1 + x + 3 * y)); });
  CScaleImageTMTC s(src, &dst);
  ASSERT_TRUE(s.execute({0, 0, 3, 2}, {0, 0, 6, 4}));
  for (int32_t y = 0; y < 4; ++y)
    for (int32_t x = 0; x < 6; ++x) EXPECT_EQ(dst.getPixel(x, y), src.getPixel(x / 2, y / 2)) << x << "," << y;
}

// A constant image stays exactly constant at any ratio, in every format;
// enlarging beyond tenfold included (0.01 on a tiny footprint would lift it).
TEST(AreaScale, ConstantStaysConstantAtEveryRatio) {
  const std::array<int32_t, 4> ratios[] = {{7, 5, 3, 2},   {3, 2, 7, 5},      {1000, 700, 48, 48}, {1, 1, 20, 30},
                                           {48, 31, 1000, 997}, {13, 1, 1, 1}, {5, 5, 5, 5},        {2, 3, 257, 129}};
  for (const auto& [sw, sh, dw, dh] : ratios) {
    for (uint8_t v : {uint8_t(0), uint8_t(1), uint8_t(128), uint8_t(254), uint8_t(255)}) {
      const uint32_t pix = 0x01010101u * v ^ 0x00FF0000u;  // differing bytes
      TMTC src(sw, sh), dst(dw, dh);
      fillWith(src, [&](int32_t, int32_t) { return pix; });
      ASSERT_TRUE(CScaleImageTMTC(src, &dst).execute({0, 0, sw, sh}, {0, 0, dw, dh}));
      for (uint32_t p : pixels(dst)) ASSERT_EQ(p, pix) << sw << "->" << dw << " v=" << int(v);

      TChannel ch(sw, sh), chDst(dw, dh);
      fillWith(ch, [&](int32_t, int32_t) { return v; });
      ASSERT_TRUE(CScaleImageCH(ch, &chDst).execute({0, 0, sw, sh}, {0, 0, dw, dh}));
      for (uint8_t p : pixels(chDst)) ASSERT_EQ(p, v) << sw << "->" << dw;

      ASSERT_TRUE(CScaleImageCH2TMTC(ch, &dst).execute({0, 0, sw, sh}, {0, 0, dw, dh}));
      for (uint32_t p : pixels(dst)) ASSERT_EQ(p, 0xFF000000u | 0x010101u * v);

      std::vector<uint32_t> fix(size_t(dw) * dh);
      ASSERT_TRUE(CScaleImageCH_fixp(ch, fix.data(), {dw, dh}).execute({0, 0, sw, sh}, {0, 0, dw, dh}));
      for (uint32_t f : fix) ASSERT_EQ(f, uint32_t(v) * 65536u / 255u);

      std::vector<uint8_t> bytesIn(size_t(sw) * sh, v), bytesOut(size_t(dw) * dh, 0);
      ASSERT_TRUE(CScaleImageBYTE(bytesIn.data(), {sw, sh}, bytesOut.data(), {dw, dh})
                      .execute({0, 0, sw, sh}, {0, 0, dw, dh}));
      for (uint8_t b : bytesOut) ASSERT_EQ(b, v);
    }
  }
}

TEST(AreaScale, ChannelIntoPlaneIsOpaqueGrey) {
  TChannel ch(4, 1);
  fillWith(ch, [](int32_t x, int32_t) { return uint8_t(x * 60); });  // 0, 60, 120, 180
  TMTC dst(2, 1);
  fillWith(dst, [](int32_t, int32_t) { return 0u; });
  ASSERT_TRUE(CScaleImageCH2TMTC(ch, &dst).execute({0, 0, 4, 1}, {0, 0, 2, 1}));
  EXPECT_EQ(pixels(dst), (std::vector<uint32_t>{0xFF1E1E1Eu, 0xFF969696u}));  // 30 and 150
}

TEST(AreaScale, PartialPixelsAreWeighted) {
  // Three pixels into two: each destination pixel covers 1.5 source pixels.
  TChannel ch(3, 1), dst(2, 1);
  fillWith(ch, [](int32_t x, int32_t) { return uint8_t(std::array{0, 90, 240}[size_t(x)]); });
  ASSERT_TRUE(CScaleImageCH(ch, &dst).execute({0, 0, 3, 1}, {0, 0, 2, 1}));
  EXPECT_EQ(dst.getPixel(0, 0), 30);   // (0 + 0.5 * 90) / 1.5
  EXPECT_EQ(dst.getPixel(1, 0), 190);  // (0.5 * 90 + 240) / 1.5
}

TEST(AreaScale, RefusesEmptyRectanglesAndFootprints) {
  TMTC src(4, 4), dst(2, 2), empty;
  fillWith(src, [](int32_t, int32_t) { return 7u; });
  fillWith(dst, [](int32_t, int32_t) { return 0u; });
  CScaleImageTMTC s(src, &dst);
  EXPECT_FALSE(s.execute({0, 0, 0, 4}, {0, 0, 2, 2}));
  EXPECT_FALSE(s.execute({0, 0, 4, 4}, {2, 0, 5, 5}));
  EXPECT_FALSE(s.execute({INT32_MAX, 0, INT32_MAX, 4}, {0, 0, 2, 2}));
  EXPECT_FALSE(CScaleImageTMTC(empty, &dst).execute({0, 0, 4, 4}, {0, 0, 2, 2}));
  EXPECT_FALSE(CScaleImageTMTC(src, nullptr).execute({0, 0, 4, 4}, {0, 0, 2, 2}));
  for (uint32_t p : pixels(dst)) EXPECT_EQ(p, 0u);

  uint32_t out = 0;
  auto* o = reinterpret_cast<uint8_t*>(&out);
  EXPECT_FALSE(s.resampleClipped(o, {-65536 * 3, 0, -65536, 65536}));  // left of the source
  EXPECT_FALSE(s.resampleClipped(o, {65536, 65536, 65536, 131072}));   // no width
  EXPECT_TRUE(s.resampleClipped(o, {-65536, -65536, 65536, 65536}));  // cut to one pixel
  EXPECT_EQ(out, 7u);
  s.resampleRect(o, {4 << 16, 0, 5 << 16, 65536});  // beyond the right edge: nothing written
  EXPECT_EQ(out, 7u);

  // A step that rounds to 0 gives empty footprints: those pixels are skipped.
  TMTC tiny(1, 1), wide(200000, 1);
  fillWith(tiny, [](int32_t, int32_t) { return 5u; });
  ASSERT_TRUE(CScaleImageTMTC(tiny, &wide).execute({0, 0, 1, 1}, {0, 0, 200000, 1}));
}

TEST(AreaScale, FitKeepsAspectOverTheBackground) {
  TMTC src(200, 100), dst(100, 100);
  fillWith(src, [](int32_t, int32_t) { return 0xFF336699u; });
  ASSERT_TRUE(scaleToFitTMTC(dst, src, true, 0x80FFFFFFu));
  for (int32_t y = 0; y < 100; ++y) {
    for (int32_t x = 0; x < 100; ++x) {
      ASSERT_EQ(dst.getPixel(x, y), (y >= 25 && y < 75) ? 0xFF336699u : 0x80FFFFFFu) << x << "," << y;
    }
  }
  ASSERT_TRUE(scaleToFitTMTC(dst, src, false, 0));
  for (uint32_t p : pixels(dst)) EXPECT_EQ(p, 0xFF336699u);

  TChannel ch(10, 20);
  fillWith(ch, [](int32_t, int32_t) { return uint8_t(77); });
  TMTC shown(10, 10);
  ASSERT_TRUE(scaleToFitTTC(shown, ch, true, 0x11111111u));  // a 5 x 10 band centred
  for (int32_t y = 0; y < 10; ++y)
    for (int32_t x = 0; x < 10; ++x)
      EXPECT_EQ(shown.getPixel(x, y), (x >= 2 && x < 7) ? 0xFF4D4D4Du : 0x11111111u) << x << "," << y;
  TMTC empty;
  EXPECT_FALSE(scaleToFitTMTC(empty, src, true, 0));
  EXPECT_FALSE(scaleToFitTMTC(dst, empty, true, 0));
}

// Pixel (x, y) of the test picture: blue a horizontal ramp, green a vertical
// one, red a checker of 500-pixel squares, alpha 200.
uint8_t rampX(int64_t x) { return uint8_t(x * 255 / 3999); }
uint8_t rampY(int64_t y) { return uint8_t(y * 255 / 2999); }
int checkerBit(int64_t v) { return int((v / 500) & 1); }

// The mean of f over the source pixels of [a, b), partial pixels weighted.
template <class F>
double meanOver(double a, double b, F f) {
  double sum = 0;
  for (int64_t p = int64_t(std::floor(a)); double(p) < b; ++p) {
    const double w = std::min(b, double(p + 1)) - std::max(a, double(p));
    if (w > 0) sum += w * f(p);
  }
  return sum / (b - a);
}

TEST(AreaScale, LargePictureMakesACorrectThumbnail) {
  TMTC src(4000, 3000);
  for (int32_t y = 0; y < 3000; ++y) {
    uint32_t* row = src.pixelAt(0, y);
    for (int32_t x = 0; x < 4000; ++x) {
      const uint32_t red = (checkerBit(x) ^ checkerBit(y)) ? 255u : 0u;
      row[x] = rampX(x) | uint32_t(rampY(y)) << 8 | red << 16 | 200u << 24;
    }
  }
  // 4000 x 3000 in a 48 x 48 box: a 48 x 36 picture at rows 6..41.
  const uint32_t bg = 0x00C0C0C0u;
  std::unique_ptr<TMTC> thumb = makeScaledCopy({48, 48}, src, false, bg, false);
  ASSERT_TRUE(thumb);
  ASSERT_EQ(thumb->size(), (SSize{48, 48}));
  const double fx = 4000.0 / 48, fy = 3000.0 / 36;
  for (int32_t y = 0; y < 48; ++y) {
    for (int32_t x = 0; x < 48; ++x) {
      const uint32_t p = thumb->getPixel(x, y);
      if (y < 6 || y >= 42) {
        ASSERT_EQ(p, bg) << x << "," << y;
        continue;
      }
      const double x0 = x * fx, x1 = x0 + fx, y0 = (y - 6) * fy, y1 = y0 + fy;
      const double u = meanOver(x0, x1, checkerBit), v = meanOver(y0, y1, checkerBit);
      const double want[4] = {meanOver(x0, x1, rampX), meanOver(y0, y1, rampY), 255 * (u * (1 - v) + (1 - u) * v),
                              200};
      for (int k = 0; k < 4; ++k) {
        const int got = int((p >> (8 * k)) & 255u);
        ASSERT_NEAR(got, want[k], 1.0) << "pixel " << x << "," << y << " byte " << k;
      }
    }
  }
  std::unique_ptr<TMTC> tight = makeScaledCopy({48, 48}, src, true, bg, false);
  ASSERT_TRUE(tight);
  EXPECT_EQ(tight->size(), (SSize{48, 36}));
  EXPECT_EQ(tight->getPixel(0, 0), thumb->getPixel(0, 6));
}

TEST(AreaScale, ScaledCopyEnlargesOnlyWhenAsked) {
  TMTC src(10, 5);
  fillWith(src, [](int32_t, int32_t) { return 0xFF010203u; });
  auto kept = makeScaledCopy({40, 40}, src, true, 0, false);
  ASSERT_TRUE(kept);
  EXPECT_EQ(kept->size(), (SSize{10, 5}));
  auto grown = makeScaledCopy({40, 40}, src, true, 0, true);
  ASSERT_TRUE(grown);
  EXPECT_EQ(grown->size(), (SSize{40, 20}));
  for (uint32_t p : pixels(*grown)) EXPECT_EQ(p, 0xFF010203u);
  auto centred = makeScaledCopy({40, 40}, src, false, 0xABu, false);
  ASSERT_TRUE(centred);
  EXPECT_EQ(centred->size(), (SSize{40, 40}));
  EXPECT_EQ(centred->getPixel(15, 17), 0xFF010203u);  // (15, 17, 10, 5)
  EXPECT_EQ(centred->getPixel(14, 17), 0xABu);
  TMTC empty;
  EXPECT_FALSE(makeScaledCopy({40, 40}, empty, true, 0, false));
  EXPECT_FALSE(makeScaledCopy({0, 40}, src, true, 0, false));
}

// The inlined loops against the literal one, on seeded random pictures,
// sizes and rectangles.
TEST(AreaScale, InlinedLoopsMatchTheLiteralLoop) {
  std::mt19937 rng(5150);
  auto rnd = [&](int lo, int hi) { return int32_t(std::uniform_int_distribution<int>(lo, hi)(rng)); };
  for (int round = 0; round < 300; ++round) {
    const SSize ss{rnd(1, 70), rnd(1, 70)}, ds{rnd(1, 70), rnd(1, 70)};
    const SRectXYWH sr{rnd(-5, ss.W), rnd(-5, ss.H), rnd(0, 80), rnd(0, 80)};
    const SRectXYWH dr{rnd(-5, ds.W), rnd(-5, ds.H), rnd(0, 80), rnd(0, 80)};

    TMTC src(ss), fast(ds), literal(ds);
    fillWith(src, [&](int32_t, int32_t) { return uint32_t(rng()); });
    fillWith(fast, [&](int32_t, int32_t) { return uint32_t(rng()); });
    ASSERT_TRUE(literal.copyPixelsFrom(fast));
    CScaleImageTMTC a(src, &fast);
    CLiteralScaleTMTC b(src, literal);
    ASSERT_EQ(a.execute(sr, dr), b.execute(sr, dr));
    ASSERT_EQ(pixels(fast), pixels(literal)) << "32-bit round " << round;

    TChannel ch(ss), chFast(ds), chLiteral(ds);
    fillWith(ch, [&](int32_t, int32_t) { return uint8_t(rng()); });
    fillWith(chFast, [](int32_t, int32_t) { return uint8_t(0); });
    fillWith(chLiteral, [](int32_t, int32_t) { return uint8_t(0); });
    CScaleImageCH c(ch, &chFast);
    CLiteralScaleCH d(ch, chLiteral);
    ASSERT_EQ(c.execute(sr, dr), d.execute(sr, dr));
    ASSERT_EQ(pixels(chFast), pixels(chLiteral)) << "8-bit round " << round;

    // The other 8-bit forms store the same average their own way.
    std::vector<uint8_t> bytesIn(size_t(ss.W) * ss.H), bytesOut(size_t(ds.W) * ds.H, 0);
    for (int32_t y = 0; y < ss.H; ++y)
      for (int32_t x = 0; x < ss.W; ++x) bytesIn[size_t(y) * ss.W + x] = ch.getPixel(x, y);
    CScaleImageBYTE e(bytesIn.data(), ss, bytesOut.data(), ds);
    const bool drawn = e.execute(sr, dr);
    ASSERT_EQ(bytesOut, pixels(chFast));
    fillWith(fast, [](int32_t, int32_t) { return 0u; });
    CScaleImageCH2TMTC g(ch, &fast);
    ASSERT_EQ(g.execute(sr, dr), drawn);
    for (int32_t y = 0; y < ds.H; ++y) {
      for (int32_t x = 0; x < ds.W; ++x) {
        const bool inside = drawn && x >= g.DstRect.X && x < g.DstRect.X + g.DstRect.Width && y >= g.DstRect.Y &&
                            y < g.DstRect.Y + g.DstRect.Height;
        ASSERT_EQ(fast.getPixel(x, y), inside ? 0xFF000000u | 0x010101u * chFast.getPixel(x, y) : 0u);
      }
    }

    // The 16.16 form: each value against its footprint averaged on its own.
    std::vector<uint32_t> fix(size_t(ds.W) * ds.H, 0);
    CScaleImageCH_fixp h(ch, fix.data(), ds);
    ASSERT_EQ(h.execute(sr, dr), drawn);
    if (!drawn) continue;
    for (int32_t j = 0; j < h.DstRect.Height; ++j) {
      for (int32_t i = 0; i < h.DstRect.Width; ++i) {
        const int64_t x0 = (int64_t(h.SrcRect.X) << 16) + int64_t(i) * h.StepX;
        const int64_t y0 = (int64_t(h.SrcRect.Y) << 16) + int64_t(j) * h.StepY;
        uint32_t one = 0;
        ASSERT_TRUE(h.resampleClipped(reinterpret_cast<uint8_t*>(&one), {x0, y0, x0 + h.StepX, y0 + h.StepY}));
        ASSERT_EQ(fix[size_t(h.DstRect.Y + j) * ds.W + h.DstRect.X + i], one);
      }
    }
  }
}

TEST(ScaledPreview, IdentityRotationScaleAndFill) {
  // A 4 x 4 byte picture, pixel (x, y) = 10 * y + x + 1.
  std::vector<uint8_t> src(16);
  for (int i = 0; i < 16; ++i) src[size_t(i)] = uint8_t(10 * (i / 4) + i % 4 + 1);
  std::vector<uint8_t> dst(16, 0);
  const TRect all{0, 0, 4, 4};

  drawScaledPreview(src.data(), {4, 4}, dst.data(), {4, 4}, all, 0.0f, 1.0f, 1.0f, {2.0f, 2.0f}, 0xEE);
  EXPECT_EQ(dst, src);

  // A quarter turn: destination (x, y) shows source (3 - y, x).
  drawScaledPreview(src.data(), {4, 4}, dst.data(), {4, 4}, all, float(std::numbers::pi / 2), 1.0f, 1.0f,
                    {2.0f, 2.0f}, 0xEE);
  for (int y = 0; y < 4; ++y)
    for (int x = 0; x < 4; ++x) EXPECT_EQ(dst[size_t(y * 4 + x)], src[size_t(x * 4 + 3 - y)]) << x << "," << y;

  // Magnified twice about the picture's centre: the middle 2 x 2 pixels fill
  // the destination; moved far away only the fill value is left.
  drawScaledPreview(src.data(), {4, 4}, dst.data(), {4, 4}, all, 0.0f, 2.0f, 2.0f, {2.0f, 2.0f}, 0xEE);
  EXPECT_EQ(dst, (std::vector<uint8_t>{12, 12, 13, 13, 12, 12, 13, 13, 22, 22, 23, 23, 22, 22, 23, 23}));
  drawScaledPreview(src.data(), {4, 4}, dst.data(), {4, 4}, all, 0.0f, 1.0f, 1.0f, {100.0f, 2.0f}, 0xEE);
  EXPECT_EQ(dst, std::vector<uint8_t>(16, 0xEE));

  // Halved: each byte averages a 2 x 2 block; only the rectangle is drawn.
  std::fill(dst.begin(), dst.end(), 0);
  drawScaledPreview(src.data(), {4, 4}, dst.data(), {4, 4}, {1, 1, 3, 3}, 0.0f, 0.5f, 0.5f, {2.0f, 2.0f}, 0xEE);
  EXPECT_EQ(dst, (std::vector<uint8_t>{0, 0, 0, 0, 0, 6, 8, 0, 0, 26, 28, 0, 0, 0, 0, 0}));

  // Degenerate scales draw the fill value instead of dividing by zero.
  for (float bad : {0.0f, std::nanf(""), INFINITY}) {
    drawScaledPreview(src.data(), {4, 4}, dst.data(), {4, 4}, all, 0.0f, bad, 1.0f, {2.0f, 2.0f}, 0x55);
    EXPECT_EQ(dst, std::vector<uint8_t>(16, 0x55));
  }
}

}  // namespace
}  // namespace pg
