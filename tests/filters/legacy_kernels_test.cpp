// The older filter set's kernels: their tables at the values the older set
// is known by, each kernel against a plain per-pixel reference on a small
// layer, what every kernel keeps (transparent pixels, alpha, pixels outside
// the selection), and parameters that would divide by zero.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <string>
#include <vector>

#include "core/colour.h"
#include "filter_fixture.h"
#include "filters/legacy_kernels.h"
#include "filters/legacy_param_words.h"

namespace pg {
namespace legacy_kernels_test {

using testing::FilterFixture;
using test::f32;
using test::words;

bool run(FilterKernel k, FilterFixture& f, const std::vector<uint8_t>& p) {
  const SFlt4Context c = f.context();
  return k(&c, p.data(), int32_t(p.size()));
}

// A 16 x 16 layer of varied opaque colours with a transparent column.
void varied(FilterFixture& f) {
  f.setPixels([](int32_t x, int32_t y) {
    if (x == 3) return uint32_t(0x00406080);
    return 0xFF000000u | uint32_t((x * 37 + y * 11) & 0xFF) << 16 | uint32_t((x * 5 + y * 23) & 0xFF) << 8 |
           uint32_t((x * y * 7) & 0xFF);
  });
}

TEST(LegacyTables, KnownValues) {
  LegacyTable t{};
  ASSERT_TRUE(buildLegacyPosterizeTable(2, t));
  for (int v = 0; v < 256; ++v) EXPECT_EQ(t[size_t(v)], v < 128 ? 0 : 255) << v;
  ASSERT_TRUE(buildLegacyPosterizeTable(4, t));
  EXPECT_EQ(t[0], 0);
  EXPECT_EQ(t[63], 0);
  EXPECT_EQ(t[64], 85);
  EXPECT_EQ(t[255], 255);
  for (int levels : {-3, 0, 1, 255, 1000}) EXPECT_FALSE(buildLegacyPosterizeTable(levels, t)) << levels;

  struct Levels {
    int inLow, inHigh, mid, outLow, outHigh;
    bool ok;
    std::vector<std::pair<int, int>> values;
  };
  for (const Levels& c : std::vector<Levels>{
           {0, 255, 128, 0, 255, true, {{0, 0}, {100, 99}, {128, 127}, {255, 255}}},
           {50, 200, 100, 0, 255, true, {{0, 0}, {50, 0}, {75, 63}, {100, 127}, {200, 255}, {255, 255}}},
           {0, 200, 200, 0, 255, true, {{100, 63}, {200, 255}, {230, 255}}},  // the midpoint at the top
           {80, 80, 80, 10, 240, true, {{0, 240}, {80, 240}, {255, 240}}},    // one input value
           {0, 255, 128, 255, 0, true, {{0, 255}, {255, 0}}},                 // reversed output
           {100, 50, 75, 0, 255, false, {}},
           {0, 255, 300, 0, 255, false, {}},
           {0, 255, 128, 0, 256, false, {}},
       }) {
    EXPECT_EQ(buildLegacyLevelsTable(c.inLow, c.inHigh, c.mid, c.outLow, c.outHigh, t), c.ok) << c.inLow << "," << c.inHigh;
    for (const auto& [v, out] : c.values) EXPECT_EQ(t[size_t(v)], out) << c.inLow << "," << c.inHigh << " at " << v;
  }

  buildLegacyBrightnessContrastTable(0, 0, t);
  for (int v = 0; v < 256; ++v) EXPECT_NEAR(t[size_t(v)], v, 1) << v;
  buildLegacyBrightnessContrastTable(60, 0, t);
  EXPECT_GT(t[128], 150);
  buildLegacyBrightnessContrastTable(-60, 0, t);
  EXPECT_LT(t[128], 110);
  buildLegacyBrightnessContrastTable(0, 60, t);
  EXPECT_LT(t[64], 64);
  EXPECT_GT(t[192], 192);
  // Beyond the pole of the curve: clamped, never a division by zero.
  for (int v : {-1000, 142, 143, 1000}) {
    buildLegacyBrightnessContrastTable(v, v, t);
    EXPECT_EQ(t[0], t[0]);
  }
}

TEST(LegacyTables, GaussianWeights) {
  std::vector<float> w;
  EXPECT_LT(buildGaussianWeightsF(w, 5, 0.5), 3);
  struct Case {
    int32_t n;
    double sigma;
    int32_t radius;
  };
  for (const Case& c : std::vector<Case>{{5, 0.5, 2}, {41, 3.0, 7}, {1, 2.0, 1}, {0, 1.0, -1}, {9, 0.0, -1},
                                         {9, -1.0, -1}, {9, NAN, -1}}) {
    EXPECT_EQ(buildGaussianWeightsF(w, c.n, c.sigma), c.radius) << c.n << " " << c.sigma;
    if (c.radius < 0) {
      EXPECT_TRUE(w.empty());
      continue;
    }
    double sum = 0;
    for (float v : w) sum += v;
    EXPECT_NEAR(sum, 1.0, 1e-5);
    EXPECT_FLOAT_EQ(w[size_t(c.n / 2)], *std::max_element(w.begin(), w.end()));
  }
}

// The three-tap sum of the older sharpen: middle-row weights on the middle
// column.
TEST(LegacyTables, PixelMatrix) {
  TMTC plane(3, 3);
  const uint32_t px[9] = {0xFF0000FF, 0xFF101010, 0xFF00FF00, 0xFF203040, 0xFF808080, 0xFF405060,
                          0xFFFF0000, 0xFF303030, 0xFF000000};
  for (int i = 0; i < 9; ++i) *plane.pixelAt(i % 3, i / 3) = px[i];
  TPixelMatrix m;
  m.setPixels(plane, 1, 1);
  m.setWeights({-1, -1, -1, -1, 9, -1, -1, -1, -1});
  // (9 x 0x80 - 0x10 - 0x30) / 7 = 155 per colour byte; alpha (9x255-2x255)/7 = 255.
  EXPECT_EQ(m.weightedSum3(), 0xFF9B9B9Bu);
  m.setWeights({5, 5, 5, 0, 0, 0, 5, 5, 5});  // the taps weigh 0: divided by 1
  EXPECT_EQ(m.weightedSum3(), 0u);
  m.setPixels(plane, 0, 0);  // clamped at the corner
  EXPECT_EQ(m.pixels[0], px[0]);
  EXPECT_EQ(m.pixels[8], px[4]);
}

// Each kernel against a plain reference written from its description, on a
// varied layer with a transparent column; results written with the colour
// moved by the full weight, alpha kept.
TEST(LegacyKernels, MatchTheirPlainReferences) {
  const auto grey = [](uint32_t s) {
    const uint32_t g = pixelGrey(s);
    return (s & 0xFF000000u) | g | g << 8 | g << 16;
  };
  const auto sharpen = [](int32_t centreWeight, int32_t div) {
    return [=](const TMTC& w, int32_t x, int32_t y) {
      const uint32_t t = w.getPixelClamped(x, y - 1), c = w.getPixel(x, y), b = w.getPixelClamped(x, y + 1);
      uint32_t out = c & 0xFF000000u;
      for (int s = 0; s < 24; s += 8) {
        const int v = (centreWeight * int(c >> s & 0xFF) - int(t >> s & 0xFF) - int(b >> s & 0xFF)) / div;
        out |= uint32_t(std::clamp(v, 0, 255)) << s;
      }
      return out;
    };
  };
  struct Case {
    const char* what;
    FilterKernel kernel;
    std::vector<uint8_t> params;
    bool transparentKept;
    std::function<uint32_t(const TMTC&, int32_t, int32_t)> reference;
  };
  const std::vector<Case> cases = {
      {"grayscale", &legacyGrayscale4Kernel, {}, true,
       [&](const TMTC& w, int32_t x, int32_t y) { return grey(w.getPixel(x, y)); }},
      {"sharpen", &legacySharpen4Kernel, {}, false, sharpen(9, 7)},
      {"sharpen more", &legacySharpenMore4Kernel, {}, false, sharpen(3, 1)},
      {"posterize 2", &legacyPosterize4Kernel, words({2, 0}), true,
       [](const TMTC& w, int32_t x, int32_t y) {
         const uint32_t s = w.getPixel(x, y);
         uint32_t out = s & 0xFF000000u;
         for (int b = 0; b < 24; b += 8) out |= ((s >> b & 0xFF) >= 128 ? 255u : 0u) << b;
         return out;
       }},
      {"levels to a narrower output", &legacyLevels4Kernel, words({0, 255, 128, 100, 100, 0}), true,
       [](const TMTC& w, int32_t x, int32_t y) { return (w.getPixel(x, y) & 0xFF000000u) | 0x646464u; }},
  };
  for (const Case& c : cases) {
    FilterFixture f(16, 16);
    varied(f);
    ASSERT_TRUE(run(c.kernel, f, c.params)) << c.what;
    for (int32_t y = 0; y < 16; ++y)
      for (int32_t x = 0; x < 16; ++x) {
        const uint32_t s = f.work.getPixel(x, y);
        if ((s >> 24) == 0 && c.transparentKept) {
          ASSERT_EQ(f.pixel(x, y), s) << c.what << " keeps a transparent pixel at " << x << "," << y;
          continue;
        }
        ASSERT_EQ(f.pixel(x, y), (c.reference(f.work, x, y) & 0xFFFFFFu) | (s & 0xFF000000u))
            << c.what << " at " << x << "," << y;
      }
  }
}

// Every kernel with parameters that change a varied layer, and whether it
// only moves colours (keeps every alpha).
struct KernelCase {
  const char* what;
  FilterKernel kernel;
  std::vector<uint8_t> params;
  bool alphaKept;
};

std::vector<KernelCase> everyKernel() {
  return {
      {"grayscale", &legacyGrayscale4Kernel, {}, true},
      {"sharpen", &legacySharpen4Kernel, {}, true},
      {"sharpen more", &legacySharpenMore4Kernel, {}, true},
      {"sharpen custom", &legacySharpenCustom4Kernel, words({0, 2}), true},
      {"brightness and contrast", &legacyBrightnessContrast4Kernel, words({40, uint32_t(-30)}), true},
      {"posterize", &legacyPosterize4Kernel, words({5, 0}), true},
      {"levels", &legacyLevels4Kernel, words({10, 240, 100, 0, 255, 0}), true},
      {"hue and saturation", &legacyHueSaturation4Kernel, words({90, 20, uint32_t(-40), 0}), true},
      {"noise", &legacyNoise4Kernel, words({1234, 60}), true},
      {"emboss", &legacyEmboss4Kernel, words({f32(0.7f), f32(2.0f)}), true},
      {"mosaic", &legacyMosaic4Kernel, words({4, 0}), false},
      {"motion blur", &legacyMotionBlur4Kernel, words({f32(0.5f), f32(3.0f)}), false},
      {"radial blur", &legacyRadialBlur4Kernel, words({f32(8.0f), f32(8.0f), f32(4.0f), 0}), false},
      {"Gaussian blur", &legacyGaussianBlur4Kernel, words({0, f32(1.5f)}), false},
      {"twist", &legacyTwist4Kernel, words({3, f32(0.5f), f32(0.5f), f32(0.25f)}), false},
      {"wave", &legacyWave4Kernel, words({3, f32(0.2f), f32(2.0f), f32(3.0f), f32(1.0f), f32(2.0f)}), false},
  };
}

// What every kernel keeps: a pixel outside the selection, and the alpha of
// every pixel for the kernels that only move colours.
TEST(LegacyKernels, KeepUnselectedPixelsAndAlpha) {
  for (const KernelCase& c : everyKernel()) {
    FilterFixture f(16, 16);
    varied(f);
    // The left half selected, the right half not.
    f.setSelection([](int32_t x, int32_t) { return uint8_t(x < 8 ? 255 : 0); });
    ASSERT_TRUE(run(c.kernel, f, c.params)) << c.what;
    int changed = 0;
    for (int32_t y = 0; y < 16; ++y)
      for (int32_t x = 0; x < 16; ++x) {
        if (x >= 8) {
          ASSERT_EQ(f.pixel(x, y), f.original(x, y)) << c.what << " outside the selection at " << x << "," << y;
          continue;
        }
        changed += f.pixel(x, y) != f.original(x, y);
        if (c.alphaKept) {
          ASSERT_EQ(f.pixel(x, y) >> 24, f.original(x, y) >> 24) << c.what << " alpha at " << x << "," << y;
        }
      }
    EXPECT_GT(changed, 0) << c.what;
  }
}

// The working plane grows for the largest layer and never shrinks, and a
// replay's may be of another size: every kernel gives the same pixels
// whatever the plane holds beyond the layer image, the transparent
// background the view leaves there or pixels of another layer.
TEST(LegacyKernels, SameResultOnALargerWorkingPlane) {
  for (const KernelCase& c : everyKernel())
    for (const uint32_t beyond : {0x00FFFFFFu, 0xFF20C040u}) {
      FilterFixture fresh(13, 11), grown(13, 11);
      varied(fresh);
      varied(grown);
      grown.growWork(20, 16, beyond);
      ASSERT_TRUE(run(c.kernel, fresh, c.params)) << c.what;
      ASSERT_TRUE(run(c.kernel, grown, c.params)) << c.what;
      EXPECT_TRUE(fresh.sameLayer(grown)) << c.what << " with " << std::hex << beyond << " beyond the image";
    }
}

// Parameters that would divide by zero, or that the older set refused:
// true with nothing changed where it did nothing, else false.
TEST(LegacyKernels, ZeroSizesAndRadii) {
  struct Case {
    const char* what;
    FilterKernel kernel;
    std::vector<uint8_t> params;
    int32_t w, h;
    bool result;
  };
  const std::vector<Case> cases = {
      {"posterize to 1 level", &legacyPosterize4Kernel, words({1, 0}), 8, 8, false},
      {"levels with the midpoint at the top", &legacyLevels4Kernel, words({0, 100, 100, 0, 255, 0}), 8, 8, true},
      {"levels out of order", &legacyLevels4Kernel, words({100, 50, 70, 0, 255, 0}), 8, 8, false},
      {"saturation beyond 100", &legacyHueSaturation4Kernel, words({0, 0, 101, 0}), 8, 8, true},
      {"sharpen custom of strength 0", &legacySharpenCustom4Kernel, words({0, 0}), 8, 8, true},
      {"mosaic cell 1", &legacyMosaic4Kernel, words({1, 0}), 8, 8, false},
      {"mosaic cell 0", &legacyMosaic4Kernel, words({0, 0}), 8, 8, false},
      {"motion blur over no distance", &legacyMotionBlur4Kernel, words({f32(1.0f), f32(0.0f)}), 8, 8, false},
      {"radial blur of no amount", &legacyRadialBlur4Kernel, words({f32(4.0f), f32(4.0f), f32(0.0f), 0}), 8, 8, false},
      {"radial blur of a single pixel", &legacyRadialBlur4Kernel, words({0, 0, f32(3.0f), 0}), 1, 1, false},
      {"Gaussian of radius 0", &legacyGaussianBlur4Kernel, words({0, f32(0.0f)}), 8, 8, true},
      {"emboss over no distance", &legacyEmboss4Kernel, words({f32(1.0f), f32(0.0f)}), 8, 8, true},
      {"twist of no turn", &legacyTwist4Kernel, words({0, f32(0.5f), f32(0.5f), f32(0.0f)}), 8, 8, true},
      {"twist of a single pixel", &legacyTwist4Kernel, words({4, 0, 0, f32(1.0f)}), 1, 1, true},
      {"wave of no amplitude", &legacyWave4Kernel, words({0, 0, f32(3.0f), 0, f32(2.0f), 0}), 8, 8, true},
      {"a parameter record of the wrong size", &legacyPosterize4Kernel, words({4}), 8, 8, false},
  };
  for (const Case& c : cases) {
    FilterFixture f(c.w, c.h);
    f.fill(0xFF336699u);
    if (c.w > 1) f.setPixels([](int32_t x, int32_t y) { return 0xFF000000u | uint32_t(x * 30) << 8 | uint32_t(y * 30); });
    EXPECT_EQ(run(c.kernel, f, c.params), c.result) << c.what;
    const bool changes = std::string(c.what).find("midpoint") != std::string::npos ||
                         std::string(c.what).find("saturation") != std::string::npos;
    if (!changes) {
      EXPECT_TRUE(f.unchanged()) << c.what;
    }
  }
}

// Kernels with their own behaviour worth pinning down.
TEST(LegacyKernels, Behaviour) {
  {  // noise replays from its seed; the monochrome switch moves the three channels alike
    FilterFixture a(16, 16), b(16, 16), c(16, 16), mono(16, 16);
    for (FilterFixture* f : {&a, &b, &c, &mono}) f->fill(0xFF808080u);
    ASSERT_TRUE(run(&legacyNoise4Kernel, a, words({77, 50})));
    ASSERT_TRUE(run(&legacyNoise4Kernel, b, words({77, 50})));
    ASSERT_TRUE(run(&legacyNoise4Kernel, c, words({78, 50})));
    ASSERT_TRUE(run(&legacyNoise4Kernel, mono, words({77, 50 | 1u << 16})));
    EXPECT_TRUE(a.sameLayer(b));
    EXPECT_FALSE(a.sameLayer(c));
    for (int32_t y = 0; y < 16; ++y)
      for (int32_t x = 0; x < 16; ++x) {
        const uint32_t p = mono.pixel(x, y);
        ASSERT_EQ(p & 0xFF, p >> 8 & 0xFF);
        ASSERT_EQ(p & 0xFF, p >> 16 & 0xFF);
        ASSERT_LE(std::abs(int(p & 0xFF) - 128), 25);
      }
  }
  {  // mosaic: each cell is the alpha-weighted mean of its pixels
    FilterFixture f(8, 8);
    f.setPixels([](int32_t x, int32_t y) { return (x + y) % 2 == 0 ? 0xFFFF0000u : 0x800000FFu; });
    f.protectAlpha = false;
    ASSERT_TRUE(run(&legacyMosaic4Kernel, f, words({4, 0})));
    // red 255 x 8 x 255 / (8 x 255 + 8 x 128) = 169; blue 255 x 8 x 128 / 3064 = 85; alpha 3064 / 16 = 191
    const uint32_t mean = 0xBFA90055u;
    EXPECT_EQ(f.pixel(1, 1) & 0xFFFFFFu, mean & 0xFFFFFFu);
    EXPECT_EQ(f.pixel(5, 6) & 0xFFFFFFu, mean & 0xFFFFFFu);
  }
  {  // motion blur along x spreads a dot along its row only; a uniform layer stays
    FilterFixture f(16, 9);
    f.setPixels([](int32_t x, int32_t y) { return x == 8 && y == 4 ? 0xFFFFFFFFu : 0xFF000000u; });
    f.protectAlpha = true;
    ASSERT_TRUE(run(&legacyMotionBlur4Kernel, f, words({f32(0.0f), f32(3.0f)})));
    EXPECT_GT(f.pixel(6, 4) & 0xFF, 0u);
    EXPECT_GT(f.pixel(10, 4) & 0xFF, 0u);
    EXPECT_EQ(f.pixel(8, 3), 0xFF000000u);
    EXPECT_EQ(f.pixel(8, 5), 0xFF000000u);
    FilterFixture u(8, 8);
    u.fill(0xFF336699u);
    for (FilterKernel k : {&legacyMotionBlur4Kernel, &legacyGaussianBlur4Kernel}) {
      ASSERT_TRUE(run(k, u, words({f32(0.3f), f32(2.5f)})));
      EXPECT_TRUE(u.unchanged());
    }
  }
  {  // emboss of a flat layer is mid grey
    FilterFixture f(8, 8);
    f.fill(0xFF123456u);
    ASSERT_TRUE(run(&legacyEmboss4Kernel, f, words({f32(0.4f), f32(2.0f)})));
    EXPECT_EQ(f.pixel(4, 4), 0xFF808080u);
  }
  {  // twist and wave of a flat layer change nothing; a twist leaves the corners beyond its disc
    FilterFixture f(9, 9);
    f.setPixels([](int32_t x, int32_t y) { return 0xFF000000u | uint32_t(x * 20) << 16 | uint32_t(y * 20); });
    ASSERT_TRUE(run(&legacyTwist4Kernel, f, words({4, f32(0.5f), f32(0.5f), f32(0.5f)})));
    EXPECT_EQ(f.pixel(0, 0), f.original(0, 0));
    EXPECT_EQ(f.pixel(4, 4), f.original(4, 4));
    EXPECT_NE(f.pixel(6, 4), f.original(6, 4));
  }
  {  // hue and saturation: no change is nearly no change (the saturation table scales by
     // 255 / 256 at 0, as it always did); the least saturation is all but grey
    FilterFixture f(16, 16), g(16, 16);
    varied(f);
    varied(g);
    ASSERT_TRUE(run(&legacyHueSaturation4Kernel, f, words({0, 0, 0, 0})));
    ASSERT_TRUE(run(&legacyHueSaturation4Kernel, g, words({0, 0, uint32_t(-100), 0})));
    for (int32_t y = 0; y < 16; ++y)
      for (int32_t x = 0; x < 16; ++x) {
        if (x == 3) continue;
        for (int s : {0, 8, 16}) ASSERT_NEAR(int(f.pixel(x, y) >> s & 0xFF), int(f.original(x, y) >> s & 0xFF), 4);
        const uint32_t p = g.pixel(x, y);
        ASSERT_NEAR(int(p & 0xFF), int(p >> 16 & 0xFF), 1);
      }
  }
}

}  // namespace legacy_kernels_test
}  // namespace pg
