// The row kernels against their operators called per pixel, on seeded random
// rows: the fast paths must give exactly the reference pixels.
#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <vector>

#include "core/blend_modes.h"
#include "core/blend_rows.h"
#include "core/composite_core.h"

namespace pg {
namespace {

struct Op {
  const char* name;
  PixelOp32 op;
};

const Op kOps[] = {
    {"lerpPixelRgb", &lerpPixelRgb},
    {"lerpPixelRgbTab", &lerpPixelRgbTab},
    {"blendMultiplyRgb", &blendMultiplyRgb},
    {"blendAddRgb", &blendAddRgb},
    {"blendSubRgb", &blendSubRgb},
    {"pixelSet", &pixelSet},
    {"blendPixelOpacity", &blendPixelOpacity},
    {"blendPixelTable", &blendPixelTable},
    {"blendScreen", &blendScreen},
    {"blendOverlay", &blendOverlay},
    {"blendHardLight", &blendHardLight},
    {"blendSoftLight", &blendSoftLight},
    {"blendDifference", &blendDifference},
    {"blendExclusion", &blendExclusion},
    {"blendDarken", &blendDarken},
    {"blendLighten", &blendLighten},
    {"blendBurn", &blendBurn},
    {"blendDodge", &blendDodge},
    {"blendHue", &blendHue},
    {"blendSaturation", &blendSaturation},
    {"blendColor", &blendColor},
    {"blendLuminosity", &blendLuminosity},
    {"blendSubtractNega", &blendSubtractNega},
    {"blendLinearLight", &blendLinearLight},
    {"blendVividLight", &blendVividLight},
    {"blendPinLight", &blendPinLight},
    {"blendMultiplyOpacity", &blendMultiplyOpacity},
    {"blendAddOpacity", &blendAddOpacity},
    {"blendSubtractOpacity", &blendSubtractOpacity},
    {"blendNormalOpacity", &blendNormalOpacity},
    {"blendScreenA", &blendScreenA},
    {"blendOverlayA", &blendOverlayA},
    {"blendHardLightA", &blendHardLightA},
    {"blendSoftLightA", &blendSoftLightA},
    {"blendDifferenceA", &blendDifferenceA},
    {"blendExclusionA", &blendExclusionA},
    {"blendDarkenA", &blendDarkenA},
    {"blendLightenA", &blendLightenA},
    {"blendBurnA", &blendBurnA},
    {"blendDodgeA", &blendDodgeA},
    {"blendHueA", &blendHueA},
    {"blendSaturationA", &blendSaturationA},
    {"blendColorA", &blendColorA},
    {"blendLuminosityA", &blendLuminosityA},
    {"blendSubtractNegaA", &blendSubtractNegaA},
    {"blendLinearLightA", &blendLinearLightA},
    {"blendVividLightA", &blendVividLightA},
    {"blendPinLightA", &blendPinLightA},
    {"blendPixelMultiplyUnion", &blendPixelMultiplyUnion},
    {"blendMultiplyMerge", &blendMultiplyMerge},
    {"blendPixelAddUnion", &blendPixelAddUnion},
    {"blendNormalOver", &blendNormalOver},
    {"blendScreenOver", &blendScreenOver},
    {"blendOverlayOver", &blendOverlayOver},
    {"blendHardLightOver", &blendHardLightOver},
    {"blendSoftLightOver", &blendSoftLightOver},
    {"blendDifferenceOver", &blendDifferenceOver},
    {"blendExclusionOver", &blendExclusionOver},
    {"blendDarkenOver", &blendDarkenOver},
    {"blendLightenOver", &blendLightenOver},
    {"blendBurnOver", &blendBurnOver},
    {"blendDodgeOver", &blendDodgeOver},
    {"blendHueOver", &blendHueOver},
    {"blendSaturationOver", &blendSaturationOver},
    {"blendColorOver", &blendColorOver},
    {"blendLuminosityOver", &blendLuminosityOver},
    {"blendSubtractNegaOver", &blendSubtractNegaOver},
    {"blendLinearLightOver", &blendLinearLightOver},
    {"blendVividLightOver", &blendVividLightOver},
    {"blendPinLightOver", &blendPinLightOver},
};

// A row whose pixels come in runs, so that groups of four are sometimes all
// transparent or all opaque (the kernels' shortcuts) and sometimes mixed.
std::vector<uint32_t> randomRow(std::mt19937& rng, size_t n) {
  std::vector<uint32_t> row(n);
  size_t i = 0;
  while (i < n) {
    const size_t run = 1 + rng() % 24;
    const uint32_t kind = rng() % 4;
    for (size_t k = 0; k < run && i < n; ++k, ++i) {
      const uint32_t a = kind == 0 ? 0 : kind == 1 ? 255 : rng() & 255;
      uint32_t c = rng() & 0xFFFFFF;
      if (rng() % 8 == 0) c = (rng() % 2 ? 0xFFFFFFu : 0u) ^ (rng() & 0x010101u);  // near black and white
      row[i] = (a << 24) | c;
    }
  }
  return row;
}

TEST(BlendRows, EveryOperatorHasRowKernels) {
  for (const Op& o : kOps) {
    const SRowKernels k = rowKernels(o.op);
    EXPECT_EQ(k.Pixel, o.op) << o.name;
    EXPECT_NE(k.Row, nullptr) << o.name;
    EXPECT_NE(k.Fill, nullptr) << o.name;
  }
  {
    // Each level the processor runs hands out its own Normal kernels; a level
    // above those falls to the best it runs.
    const int old = setRowKernelLevel(kRowKernelTopLevel);
    const int best = setRowKernelLevel(kRowKernelTopLevel + 1);
    EXPECT_EQ(setRowKernelLevel(0), best);
    std::vector<RowOp32> seen;
    for (int level = 0; level <= best; ++level) {
      setRowKernelLevel(level);
      const RowOp32 row = rowKernels(&blendNormalOver).Row;
      EXPECT_EQ(std::count(seen.begin(), seen.end(), row), 0) << "level " << level;
      seen.push_back(row);
    }
#if defined(__x86_64__) && (defined(__GNUC__) || defined(__clang__))
    if (__builtin_cpu_supports("avx2")) {
      EXPECT_GE(best, 1);
    }
#endif
    setRowKernelLevel(old);
  }
  PixelOp32 unknown = [](uint32_t* d, uint32_t, uint32_t) { *d ^= 1; };
  const SRowKernels k = rowKernels(unknown);
  EXPECT_EQ(k.Row, nullptr);
  uint32_t row[3] = {0, 1, 2};
  const uint32_t src[3] = {};
  runRow(k, row, src, 3, 7);
  EXPECT_EQ(row[0], 1u);
  EXPECT_EQ(row[2], 3u);
  runFill(k, row, 0, 3, 7);
  EXPECT_EQ(row[1], 1u);
}

// Both builds of the kernels: the baseline and the best this processor runs.
class BlendRowLevels : public ::testing::TestWithParam<int> {
 protected:
  void SetUp() override { old_ = setRowKernelLevel(GetParam()); }
  void TearDown() override { setRowKernelLevel(old_); }
  int old_ = 1;
};
INSTANTIATE_TEST_SUITE_P(Levels, BlendRowLevels, ::testing::Range(0, kRowKernelTopLevel + 1));

TEST_P(BlendRowLevels, RowKernelsEqualTheOperatorPerPixel) {
  std::mt19937 rng(31337);
  const uint32_t params[] = {0, 1, 128, 254, 255};
  for (const Op& o : kOps) {
    const SRowKernels k = rowKernels(o.op);
    for (int round = 0; round < 120; ++round) {
      const size_t n = 1 + rng() % 90;
      const uint32_t param = round < 5 ? params[round] : rng() & 255;
      const std::vector<uint32_t> src = randomRow(rng, n), dst = randomRow(rng, n);
      std::vector<uint32_t> want = dst, got = dst;
      for (size_t i = 0; i < n; ++i) o.op(&want[i], src[i], param);
      k.Row(got.data(), src.data(), n, param);
      for (size_t i = 0; i < n; ++i)
        ASSERT_EQ(got[i], want[i]) << o.name << " row, param " << param << " pixel " << i << std::hex << " d "
                                   << dst[i] << " s " << src[i];

      const uint32_t colour = src[0];
      want = dst;
      got = dst;
      for (size_t i = 0; i < n; ++i) o.op(&want[i], colour, param);
      k.Fill(got.data(), colour, n, param);
      for (size_t i = 0; i < n; ++i)
        ASSERT_EQ(got[i], want[i]) << o.name << " fill, param " << param << " pixel " << i << std::hex << " d "
                                   << dst[i] << " colour " << colour;
    }
  }
}

TEST_P(BlendRowLevels, OpaqueAndEmptySourcePixelsOverPartlyTransparentOnes) {
  // A stroke's inside beside empty space: whole groups whose source alphas
  // are only 0 and 255, in several arrangements, over destinations whose
  // alphas are neither all 0 nor all 255.
  std::mt19937 rng(4242);
  const size_t n = 64;
  const auto alphaAt = [](int pattern, size_t i) -> uint32_t {
    switch (pattern) {
      case 0: return i % 2 ? 255 : 0;
      case 1: return i < 24 ? 0 : 255;
      case 2: return i % 7 == 3 ? 0 : 255;
      default: return 255;
    }
  };
  for (int pattern = 0; pattern < 4; ++pattern) {
    std::vector<uint32_t> src(n), dst(n);
    for (size_t i = 0; i < n; ++i) {
      src[i] = (alphaAt(pattern, i) << 24) | (rng() & 0xFFFFFF);
      const uint32_t dA = i % 5 == 0 ? 0u : i % 5 == 1 ? 255u : 1 + rng() % 254;
      dst[i] = (dA << 24) | (rng() & 0xFFFFFF);
    }
    for (const Op& o : kOps) {
      for (const uint32_t param : {255u, 128u}) {
        std::vector<uint32_t> want = dst, got = dst;
        for (size_t i = 0; i < n; ++i) o.op(&want[i], src[i], param);
        rowKernels(o.op).Row(got.data(), src.data(), n, param);
        for (size_t i = 0; i < n; ++i)
          ASSERT_EQ(got[i], want[i]) << o.name << " pattern " << pattern << " param " << param << " pixel " << i;
      }
    }
  }
}

TEST_P(BlendRowLevels, CompositeRecordRowsEqualTheRecordPerPixel) {
  // A record over a Normal base (the transparent composition, merges into
  // it) runs as a row; its start colour and flags must change nothing. Other
  // records have no rows and stay pixel by pixel.
  struct Case {
    const char* name;
    PixelOp32 dstOp, srcOp;
    bool rows;
  };
  const Case cases[] = {
      {"normal", &lerpPixelRgb, &lerpPixelRgb, true},
      {"multiply", &lerpPixelRgb, &blendMultiplyRgb, true},
      {"add", &lerpPixelRgb, &blendAddRgb, true},
      {"subtract", &lerpPixelRgb, &blendSubRgb, true},
      {"screen", &lerpPixelRgb, &blendScreen, true},
      {"overlay", &lerpPixelRgb, &blendOverlay, true},
      {"hard light", &lerpPixelRgb, &blendHardLight, true},
      {"difference", &lerpPixelRgb, &blendDifference, true},
      {"exclusion", &lerpPixelRgb, &blendExclusion, true},
      {"darken", &lerpPixelRgb, &blendDarken, true},
      {"lighten", &lerpPixelRgb, &blendLighten, true},
      {"hue", &lerpPixelRgb, &blendHue, true},
      {"saturation", &lerpPixelRgb, &blendSaturation, true},
      {"color", &lerpPixelRgb, &blendColor, true},
      {"luminosity", &lerpPixelRgb, &blendLuminosity, true},
      {"subtract negative", &lerpPixelRgb, &blendSubtractNega, true},
      {"linear light", &lerpPixelRgb, &blendLinearLight, true},
      {"pin light", &lerpPixelRgb, &blendPinLight, true},
      {"multiply base", &blendMultiplyRgb, &blendScreen, false},
      {"source-alpha operator", &lerpPixelRgb, &blendScreenA, false},
  };
  std::mt19937 rng(271828);
  for (const Case& c : cases) {
    for (int round = 0; round < 60; ++round) {
      const uint32_t flags = (round % 2 ? kOpsSkipTransparent : 0u) | (round % 3 == 0 ? kOpsStartFromSource : 0u);
      const SPixelBlendOps ops{static_cast<uint32_t>(rng()), flags, c.dstOp, c.srcOp};
      const bool exactMix = mixesTowardBlend(c.srcOp);
      const SRowKernels k = opsRowKernels(ops, exactMix);
      ASSERT_EQ(k.Row != nullptr, c.rows) << c.name;
      ASSERT_EQ(k.Fill != nullptr, c.rows) << c.name;
      // The other mix kind is not the record's own: no rows for it.
      EXPECT_EQ(opsRowKernels(ops, !exactMix).Row, nullptr) << c.name;
      if (!c.rows) break;
      const size_t n = 1 + rng() % 90;
      const uint32_t opacity = round < 3 ? (round == 0 ? 0u : round == 1 ? 255u : 1u) : rng() & 255;
      const std::vector<uint32_t> src = randomRow(rng, n), dst = randomRow(rng, n);
      std::vector<uint32_t> want = dst, got = dst;
      for (size_t i = 0; i < n; ++i) compositePixelOpsMix(&want[i], src[i], opacity, ops, exactMix);
      k.Row(got.data(), src.data(), n, opacity);
      for (size_t i = 0; i < n; ++i)
        ASSERT_EQ(got[i], want[i]) << c.name << " row, opacity " << opacity << " pixel " << i << std::hex << " d "
                                   << dst[i] << " s " << src[i];
      want = dst;
      got = dst;
      for (size_t i = 0; i < n; ++i) compositePixelOpsMix(&want[i], src[0], opacity, ops, exactMix);
      k.Fill(got.data(), src[0], n, opacity);
      for (size_t i = 0; i < n; ++i)
        ASSERT_EQ(got[i], want[i]) << c.name << " fill, opacity " << opacity << " pixel " << i << std::hex << " d "
                                   << dst[i] << " colour " << src[0];
    }
  }
}

TEST_P(BlendRowLevels, FastColourFormsEqualTheReferencesOverManyPixels) {
  // The modes with a division or the soft-light curve per channel, and the
  // colour-model ones, on many more pixels than the row test, including every
  // byte pair for the separable ones.
  const PixelOp32 ops[] = {&blendBurn, &blendDodge, &blendVividLight, &blendSoftLight, &blendHue,
                           &blendSaturation, &blendColor, &blendLuminosity};
  std::mt19937 rng(5);
  for (PixelOp32 op : ops) {
    const SRowKernels k = rowKernels(op);
    // Colours with every kind of structure: greys, one or two channels at an
    // extreme, channels close together, and plain random ones.
    auto colour = [&rng]() {
      const uint32_t kind = rng() % 6, a = rng() & 255, b = rng() & 255, c = rng() & 255;
      switch (kind) {
        case 0: return a * 0x010101u;
        case 1: return (a << 16) | (rng() % 2 ? 0xFF00u : 0u) | (rng() % 2 ? 0xFFu : 0u);
        case 2: return (a << 16) | (std::min(255u, a + (b & 3)) << 8) | (a > 2 ? a - (c & 1) : a);
        case 3: return (rng() % 2 ? 0xFF0000u : 0u) | (b << 8) | 0xFFu;
        default: return (a << 16) | (b << 8) | c;
      }
    };
    std::vector<uint32_t> src(65536), dst(65536);
    for (uint32_t i = 0; i < 65536; ++i) {
      const uint32_t d = i >> 8, s = i & 255;
      const bool pairs = op == &blendBurn || op == &blendDodge || op == &blendVividLight || op == &blendSoftLight;
      dst[i] = pairs ? (0xFF000000u | d * 0x010101u) : (colour() | 0xFF000000u);
      src[i] = pairs ? (0xFF000000u | s * 0x010101u) : (colour() | (rng() & 0xFF000000u));
    }
    std::vector<uint32_t> want = dst, got = dst;
    for (size_t i = 0; i < want.size(); ++i) op(&want[i], src[i], 255);
    k.Row(got.data(), src.data(), got.size(), 255);
    ASSERT_EQ(got, want);
  }
}

TEST_P(BlendRowLevels, QuotientStepIsExactForEveryDenominatorOfTheAlphaOverKernels) {
  // The kernels divide n by den = 255*sa + (255-sa)*dA for every pair of
  // alphas, n at most 255*den. For one den the step's first estimate grows
  // with n and the step is right exactly when that estimate is the quotient or
  // one more; so it is right for every n once it is right at both ends of
  // every quotient's range, q*den and q*den + den - 1, which is checked here
  // for every den the kernels can meet.
  std::vector<bool> seen(65026);
  uint32_t n[512], den[512], got[512];
  for (uint32_t sa = 0; sa < 256; ++sa) {
    for (uint32_t dA = 0; dA < 256; ++dA) {
      const uint32_t d = 255 * sa + (255 - sa) * dA;
      if (d == 0 || seen[d]) continue;
      seen[d] = true;
      for (uint32_t q = 0; q < 256; ++q) {
        n[2 * q] = q * d;
        n[2 * q + 1] = std::min(q * d + d - 1, 255 * d);
        den[2 * q] = den[2 * q + 1] = d;
      }
      blendQuotientRow(n, den, got, 512);
      for (size_t i = 0; i < 512; ++i) ASSERT_EQ(got[i], n[i] / d) << n[i] << " / " << d;
    }
  }
}

TEST_P(BlendRowLevels, AlphaOverRowsEqualTheReferenceForEveryAlphaPair) {
  // The over operators that divide per pixel over partly transparent
  // destinations: every pair of source and destination alpha, lanes of
  // every kind side by side in a group, at full and partial opacity.
  const Op ops[] = {{"blendNormalOver", &blendNormalOver},     {"blendPixelAddUnion", &blendPixelAddUnion},
                    {"blendDifferenceOver", &blendDifferenceOver}, {"blendDarkenOver", &blendDarkenOver},
                    {"blendLightenOver", &blendLightenOver}};
  std::mt19937 rng(77);
  std::vector<uint32_t> src(65536), dst(65536);
  for (uint32_t i = 0; i < 65536; ++i) {
    const uint32_t dA = i & 255, sa = ((i >> 8) + 37 * dA) & 255;  // every pair once, both moving in a group
    src[i] = (sa << 24) | (rng() & 0xFFFFFF);
    dst[i] = (dA << 24) | (rng() & 0xFFFFFF);
  }
  for (const Op& o : ops) {
    for (const uint32_t opacity : {255u, 200u}) {
      std::vector<uint32_t> want = dst, got = dst;
      for (size_t i = 0; i < want.size(); ++i) o.op(&want[i], src[i], opacity);
      rowKernels(o.op).Row(got.data(), src.data(), got.size(), opacity);
      for (size_t i = 0; i < want.size(); ++i)
        ASSERT_EQ(got[i], want[i]) << o.name << " opacity " << opacity << std::hex << " d " << dst[i] << " s "
                                   << src[i];
    }
  }
}

TEST_P(BlendRowLevels, NormalOverIsExactForEveryAlphaPairAndChannelDifference) {
  // Over a partly transparent destination a Normal channel is
  // d + floor(255*sa*(s - d) / den): every pair of alphas with every
  // difference s - d from -255 to 255 (three differences a pixel, d varied).
  const SRowKernels k = rowKernels(&blendNormalOver);
  std::mt19937 rng(2024);
  constexpr int kDiffs = 511, kPixelsPerPair = (kDiffs + 2) / 3;
  std::vector<uint32_t> src(256 * kPixelsPerPair), dst(src.size());
  for (uint32_t sa = 0; sa < 256; ++sa) {
    size_t i = 0;
    for (uint32_t dA = 0; dA < 256; ++dA) {
      for (int j = 0; j < kPixelsPerPair; ++j, ++i) {
        uint32_t s = sa << 24, d = dA << 24;
        for (int c = 0; c < 3; ++c) {
          const int x = std::min(3 * j + c, kDiffs - 1) - 255;
          const int lo = std::max(0, -x), span = 256 - std::abs(x);
          const int dc = lo + static_cast<int>(rng() % static_cast<uint32_t>(span));
          s |= static_cast<uint32_t>(dc + x) << (8 * c);
          d |= static_cast<uint32_t>(dc) << (8 * c);
        }
        src[i] = s;
        dst[i] = d;
      }
    }
    std::vector<uint32_t> want = dst, got = dst;
    for (size_t p = 0; p < want.size(); ++p) blendNormalOver(&want[p], src[p], 255);
    k.Row(got.data(), src.data(), got.size(), 255);
    for (size_t p = 0; p < want.size(); ++p)
      ASSERT_EQ(got[p], want[p]) << std::hex << " d " << dst[p] << " s " << src[p];
  }
}

TEST(BlendRows, AlphaMapScalesTheDestinationAlpha) {
  uint32_t row[4] = {0xFF123456u, 0x80123456u, 0x00123456u, 0x01FFFFFFu};
  mapAlphaRow(row, 4, 128);
  EXPECT_EQ(row[0], 0x80123456u);
  EXPECT_EQ(row[1], 0x40123456u);
  EXPECT_EQ(row[2], 0x00123456u);
  EXPECT_EQ(row[3], 0x00FFFFFFu);
  mapAlphaRow(row, 4, 255);
  EXPECT_EQ(row[0], 0x80123456u);
}

TEST(BlendRows, MixKindOfTheExplicitOperators) {
  EXPECT_TRUE(mixesTowardBlend(&lerpPixelRgb));
  EXPECT_TRUE(mixesTowardBlend(&blendOverlay));
  EXPECT_TRUE(mixesTowardBlend(&blendLuminosity));
  EXPECT_FALSE(mixesTowardBlend(&blendSubtractNega));
  EXPECT_FALSE(mixesTowardBlend(&blendMultiplyRgb));
  EXPECT_FALSE(mixesTowardBlend(&blendAddRgb));
  EXPECT_FALSE(mixesTowardBlend(&blendOverlayA));
}

}  // namespace
}  // namespace pg
