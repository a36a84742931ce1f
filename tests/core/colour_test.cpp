#include "core/colour.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <vector>

namespace pg {
namespace {

constexpr int32_t deg(int32_t d) { return d << 16; }
constexpr int32_t ch(int32_t v) { return v << 16; }

TEST(ColourGrey, WeightsOfPrimaries) {
  struct Case {
    uint32_t pixel;  // memory order: blue low
    uint32_t grey;
  };
  const Case cases[] = {
      {0x00FFFFFF, 255}, {0x00FF0000, 76}, {0x0000FF00, 149}, {0x000000FF, 29},
      {0xFF000000, 0},  // the alpha byte carries no weight
  };
  for (const Case& c : cases) {
    EXPECT_EQ(pixelGrey(c.pixel), c.grey) << std::hex << c.pixel;
    EXPECT_EQ(rgbToGrey((c.pixel >> 16) & 255, (c.pixel >> 8) & 255, c.pixel & 255), c.grey);
  }
}

TEST(ColourByteOrder, DistanceIgnoresFourthByte) {
  EXPECT_EQ(colorDistanceSq(0x00000000, 0xFF010203), 1u + 4u + 9u);
  EXPECT_EQ(colorDistanceSq(0x00FFFFFF, 0x00000000), 3u * 255u * 255u);
}

TEST(ColourByteOrder, SwapsKeepTheFourthByte) {
  EXPECT_EQ(pixelToColor(0x11223344), 0x11443322u);
  EXPECT_EQ(colorToPixel(0x11443322), 0x11223344u);
  uint32_t c = 0xAABBCCDD;
  swapRBInPlace(c);
  EXPECT_EQ(c, 0xAADDCCBBu);

  uint8_t tri[3] = {1, 2, 3};
  uint8_t out[3] = {};
  EXPECT_EQ(bgrToRgb(tri, out), out);
  EXPECT_EQ(out[0], 3);
  EXPECT_EQ(out[2], 1);
  rgbToBgr(tri, tri);  // in place
  EXPECT_EQ(tri[0], 3);
  EXPECT_EQ(tri[1], 2);
  EXPECT_EQ(tri[2], 1);
}

TEST(ColourRows, PackAndUnpackLeaveTheFourthByte) {
  const uint8_t src24[6] = {1, 2, 3, 4, 5, 6};
  uint8_t dst32[8] = {9, 9, 9, 0xEE, 9, 9, 9, 0xEE};
  unpackRow24To32(dst32, src24, 2);
  const uint8_t want32[8] = {1, 2, 3, 0xEE, 4, 5, 6, 0xEE};
  EXPECT_EQ(std::vector<uint8_t>(dst32, dst32 + 8), std::vector<uint8_t>(want32, want32 + 8));

  uint8_t back[6] = {};
  packRow32To24(back, dst32, 2);
  EXPECT_EQ(std::vector<uint8_t>(back, back + 6), std::vector<uint8_t>(src24, src24 + 6));

  uint32_t px[3] = {};
  fillPixelValue(px, 0x12345678, 3);
  uint32_t copy[3] = {};
  copyPixels(copy, px, 3);
  EXPECT_EQ(copy[2], 0x12345678u);
}

TEST(ColourRows, GreyRamp) {
  struct Case {
    size_t n;
    std::vector<uint32_t> want;  // top byte preset to 0xAB and kept
  };
  const Case cases[] = {
      {0, {}},
      {1, {0xAB000000}},  // no step: a single black entry, no division
      {2, {0xAB000000, 0xABFFFFFF}},
      {3, {0xAB000000, 0xAB7F7F7F, 0xABFFFFFF}},
  };
  for (const Case& c : cases) {
    std::vector<uint32_t> table(c.n, 0xABCDCDCD);
    buildGreyRamp(table.data(), c.n);
    EXPECT_EQ(table, c.want) << "n=" << c.n;
  }
  std::vector<uint32_t> big(256);
  buildGreyRamp(big.data(), big.size());
  for (uint32_t i = 0; i < 256; ++i) EXPECT_EQ(big[i], i * 0x010101u);
}

TEST(ColourRows, LerpBytesTruncatesOrFloors) {
  struct Case {
    uint32_t a, b;
    int32_t t, n;
    uint32_t plain, fix;
  };
  const Case cases[] = {
      {0x00000000, 0xFFFFFFFF, 1, 2, 0x7F7F7F7F, 0x7F7F7F7F},
      // b < a: 10 - 10/3 truncates toward zero to 7, the 16.16 form floors to 6.
      {0x0A0A0A0A, 0x00000000, 1, 3, 0x07070707, 0x06060606},
      {0x10203040, 0x50607080, 4, 4, 0x50607080, 0x50607080},
      {0x10203040, 0x50607080, 0, 4, 0x10203040, 0x10203040},
      {0x10203040, 0x50607080, 3, 0, 0x10203040, 0x10203040},  // no steps: a
  };
  for (const Case& c : cases) {
    EXPECT_EQ(lerpBytes4(c.a, c.b, c.t, c.n), c.plain) << c.t << "/" << c.n;
    EXPECT_EQ(lerpBytes4Fix(c.a, c.b, c.t, c.n), c.fix) << c.t << "/" << c.n;
  }
}

TEST(ColourHls, RgbToHlsValues) {
  struct Case {
    SRgbTriple rgb;
    SHls hls;
  };
  const Case cases[] = {
      {{128, 128, 128}, {0, ch(128), 0}},
      {{0, 0, 0}, {0, 0, 0}},
      {{255, 255, 255}, {0, ch(255), 0}},
      {{255, 0, 0}, {0, 8355840 /* 127.5 */, ch(255)}},
      {{0, 255, 0}, {deg(120), 8355840, ch(255)}},
      {{0, 0, 255}, {deg(240), 8355840, ch(255)}},
      {{255, 255, 0}, {deg(60), 8355840, ch(255)}},
      {{255, 0, 255}, {deg(300), 8355840, ch(255)}},  // negative hue raised by a turn
      {{200, 100, 50}, {1310700, 8191875, 10027110}},
      {{255, 128, 0}, {1973760, 8355840, ch(255)}},
      {{250, 1, 3}, {23561400, 8224515, 16578570}},  // lightness above one half
  };
  for (const Case& c : cases) {
    SHls hls;
    rgbToHls(c.rgb, hls);
    EXPECT_EQ(hls, c.hls) << int(c.rgb.R) << "," << int(c.rgb.G) << "," << int(c.rgb.B);
    // pixelToHls reads the same colour from memory order.
    SHls viaPixel;
    pixelToHls(0xFF000000u | (uint32_t(c.rgb.R) << 16) | (uint32_t(c.rgb.G) << 8) | c.rgb.B, viaPixel);
    EXPECT_EQ(viaPixel, c.hls);
  }
}

// colorToHls scales with (x*32897) >> 7 and halves with a shift: on most colours
// it agrees with rgbToHls, on some it does not. Both are pinned so that they are
// never merged into one routine.
TEST(ColourHls, ColorToHlsScalesDifferently) {
  struct Case {
    SRgbTriple rgb;
    SHls fromRgb, fromColor;
  };
  const Case cases[] = {
      {{255, 128, 0}, {1973760, 8355840, ch(255)}, {1973820, 8355840, ch(255)}},
      {{250, 1, 3}, {23561400, 8224515, 16578570}, {23561400, 8224770, 16578570}},
      {{200, 100, 50}, {1310700, 8191875, 10027110}, {1310700, 8191875, 10027110}},
      {{77, 77, 77}, {0, ch(77), 0}, {0, ch(77), 0}},
  };
  for (const Case& c : cases) {
    SHls a, b;
    rgbToHls(c.rgb, a);
    const TColor colour = c.rgb.R | (uint32_t(c.rgb.G) << 8) | (uint32_t(c.rgb.B) << 16);
    colorToHls(colour, b);
    EXPECT_EQ(a, c.fromRgb);
    EXPECT_EQ(b, c.fromColor);
  }
}

TEST(ColourHls, HlsToRgbValues) {
  struct Case {
    SHls hls;
    SRgbTriple rgb;
  };
  const Case cases[] = {
      {{0, 8355840, ch(255)}, {255, 0, 0}},
      {{deg(120), 8355840, ch(255)}, {0, 255, 0}},
      {{deg(240), 8355840, ch(255)}, {0, 0, 255}},
      {{deg(360), 8355840, ch(255)}, {255, 0, 0}},  // 360 is kept and behaves as 0
      {{deg(720), 8355840, ch(255)}, {255, 0, 0}},
      {{deg(-240), 8355840, ch(255)}, {0, 255, 0}},
      {{deg(80), 8355840, ch(255)}, {169, 255, 0}},  // ramp 2/3 truncated twice
      {{deg(-1000), 8355840, ch(255)}, {169, 255, 0}},  // -1000 is 80 degrees
      {{deg(17), ch(99), 0}, {99, 99, 99}},  // no saturation: grey Lightness
  };
  for (const Case& c : cases) {
    SRgbTriple rgb;
    hlsToRgb(c.hls, rgb);
    EXPECT_EQ(rgb, c.rgb) << c.hls.Hue;
    EXPECT_EQ(hlsToPixel(c.hls), (uint32_t(c.rgb.R) << 16) | (uint32_t(c.rgb.G) << 8) | c.rgb.B);
  }
}

TEST(ColourHls, RoundTripsOverAGrid) {
  int worst = 0, worstBytes = 0;
  for (int r = 0; r < 256; r += 15) {
    for (int g = 0; g < 256; g += 15) {
      for (int b = 0; b < 256; b += 15) {
        const SRgbTriple in{uint8_t(r), uint8_t(g), uint8_t(b)};
        SHls hls;
        SRgbTriple out;
        rgbToHls(in, hls);
        hlsToRgb(hls, out);
        worst = std::max({worst, std::abs(out.R - r), std::abs(out.G - g), std::abs(out.B - b)});
        colorToHls(uint32_t(r) | (uint32_t(g) << 8) | (uint32_t(b) << 16), hls);
        hlsToRgbBytes(hls, out);
        worstBytes = std::max({worstBytes, std::abs(out.R - r), std::abs(out.G - g), std::abs(out.B - b)});
      }
    }
  }
  // The 16.16 fractions truncate at every step: a byte may come back one off.
  EXPECT_LE(worst, 1);
  EXPECT_LE(worstBytes, 1);

  // Lightness up to one half uses l*(1+s), above it l+s-l*s. A dark saturated
  // red pins the split in both routines: the other formula would give 255.
  SHls dark;
  rgbToHls({100, 0, 0}, dark);
  SRgbTriple out;
  hlsToRgb(dark, out);
  EXPECT_NEAR(out.R, 100, 1);
  colorToHls(100, dark);
  hlsToRgbBytes(dark, out);
  EXPECT_NEAR(out.R, 100, 1);
  EXPECT_EQ(out.G, 0);
}

TEST(ColourHls, HlsToRgbBytesGreyAndWrap) {
  SRgbTriple out;
  hlsToRgbBytes({deg(40), ch(200), 0}, out);
  EXPECT_EQ(out, (SRgbTriple{200, 200, 200}));
  hlsToRgbBytes({0, 8355840, ch(255)}, out);
  EXPECT_EQ(out, (SRgbTriple{255, 0, 0}));
  SRgbTriple wrapped;
  hlsToRgbBytes({deg(40) + 3 * deg(360), ch(100), ch(200)}, out);
  hlsToRgbBytes({deg(40), ch(100), ch(200)}, wrapped);
  EXPECT_EQ(out, wrapped);
}

TEST(ColourHsv, RgbToHsvValues) {
  struct Case {
    SRgbTriple rgb;
    SHsv hsv;
  };
  const Case cases[] = {
      {{0, 0, 0}, {0, 0, 0}},
      {{90, 90, 90}, {0, 0, ch(90)}},
      {{255, 0, 0}, {0, ch(255), ch(255)}},
      {{0, 255, 0}, {deg(120), ch(255), ch(255)}},
      {{0, 0, 255}, {deg(240), ch(255), ch(255)}},
      {{255, 255, 0}, {deg(60), ch(255), ch(255)}},
      {{255, 0, 255}, {deg(300), ch(255), ch(255)}},
      {{200, 100, 100}, {0, 8355840 /* 127.5 */, ch(200)}},
  };
  for (const Case& c : cases) {
    SHsv hsv;
    rgbToHsv(c.rgb, hsv);
    EXPECT_EQ(hsv, c.hsv) << int(c.rgb.R) << "," << int(c.rgb.G) << "," << int(c.rgb.B);
  }
}

TEST(ColourHsv, HsvToRgbValues) {
  struct Case {
    SHsv hsv;
    SRgbTriple rgb;
  };
  const Case cases[] = {
      {{0, ch(255), ch(255)}, {255, 0, 0}},
      {{deg(360), ch(255), ch(255)}, {255, 0, 0}},  // a full turn is hue 0
      {{deg(120), ch(255), ch(255)}, {0, 255, 0}},
      {{deg(240), ch(255), ch(255)}, {0, 0, 255}},
      {{deg(60), ch(255), ch(255)}, {255, 255, 0}},
      {{deg(300), ch(255), ch(255)}, {255, 0, 255}},
      {{deg(0), ch(128), ch(200)}, {200, 99, 99}},
      {{deg(123), 0, ch(77)}, {77, 77, 77}},  // no saturation: grey Value
      {{deg(-60), ch(255), ch(255)}, {255, 0, 255}},
      {{deg(-360), ch(255), ch(255)}, {255, 0, 0}},
      // Below -360 degrees the hue still wraps by whole turns.
      {{deg(-400), ch(255), ch(255)}, {255, 0, 170}},
      {{deg(-1080) + deg(120), ch(255), ch(255)}, {0, 255, 0}},
      {{INT32_MIN, ch(255), ch(255)}, {0, 0, 0} /* only: some colour, no fault */},
  };
  for (const Case& c : cases) {
    SRgbTriple rgb{1, 2, 3};
    hsvToRgb(c.hsv, rgb);
    if (c.hsv.Hue == INT32_MIN) {
      // Fully saturated at full value: whatever the hue, one byte is 255 and one 0.
      EXPECT_EQ(std::max({rgb.R, rgb.G, rgb.B}), 255);
      EXPECT_EQ(std::min({rgb.R, rgb.G, rgb.B}), 0);
      continue;
    }
    EXPECT_EQ(rgb, c.rgb) << c.hsv.Hue;
  }
}

TEST(ColourHsv, RoundTripsOverAGrid) {
  int worst = 0;
  for (int r = 0; r < 256; r += 17) {
    for (int g = 0; g < 256; g += 17) {
      for (int b = 0; b < 256; b += 17) {
        SHsv hsv;
        SRgbTriple out;
        rgbToHsv({uint8_t(r), uint8_t(g), uint8_t(b)}, hsv);
        hsvToRgb(hsv, out);
        worst = std::max({worst, std::abs(out.R - r), std::abs(out.G - g), std::abs(out.B - b)});
      }
    }
  }
  EXPECT_LE(worst, 1);
}

TEST(ColourCmyk, Values) {
  struct Case {
    SCmyk cmyk;
    SRgbTriple rgb;
  };
  const Case cases[] = {
      {{0, 0, 0, 0}, {255, 255, 255}},
      {{0, 0, 0, ch(255)}, {0, 0, 0}},
      {{ch(255), 0, 0, 0}, {0, 255, 255}},
      {{0, ch(255), ch(255), 0}, {255, 0, 0}},
      {{0, 0, 0, ch(128)}, {127, 127, 127}},
      {{ch(100), ch(50), 0, ch(51)}, {124, 164, 204}},
      // Out-of-range channels are taken as their nearest limit.
      {{-ch(1000), 0, 0, INT32_MIN}, {255, 255, 255}},
      {{0, 0, 0, INT32_MAX}, {0, 0, 0}},
  };
  for (const Case& c : cases) {
    SRgbTriple rgb;
    cmykToRgb(c.cmyk, rgb);
    EXPECT_EQ(rgb, c.rgb) << c.cmyk.C << " " << c.cmyk.M << " " << c.cmyk.Y << " " << c.cmyk.K;
  }
}

}  // namespace
}  // namespace pg
