#include "filters/filter_params.h"

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <limits>

namespace pg {
namespace {

TEST(FilterParams, PlainRecordsStartAtZeroAndCompareWordByWord) {
  SFltRecord4 a{1, 2, 3, 4}, b{1, 2, 3, 5};
  EXPECT_FALSE(sameFltRecord4(a, b));
  initFltRecord4(a);
  initFltRecord4(b);
  EXPECT_TRUE(sameFltRecord4(a, b));
  EXPECT_EQ(a, (SFltRecord4{0, 0, 0, 0}));

  // Words and their little-endian bytes.
  const SFltRecord2 w{0x04030201u, 0x08070605u};
  uint8_t bytes[8];
  fltWordsToBytes(w, bytes);
  for (int i = 0; i < 8; ++i) EXPECT_EQ(bytes[i], i + 1);
  EXPECT_EQ(fltWordsFromBytes<2>(bytes), w);
}

TEST(FilterParams, RecordWithExtraData) {
  SFltRecord r;
  r.Params.fill(9);
  r.Extra = reinterpret_cast<const uint8_t*>(&r);
  EXPECT_TRUE(initFltRecord(r, 1, 108));  // the custom 5 x 5 filter's record
  EXPECT_EQ(r.Total, 108);
  EXPECT_EQ(r.Count, 1);
  EXPECT_EQ(r.Size, 108);
  EXPECT_EQ(r.Params, (std::array<uint8_t, 32>{}));
  EXPECT_EQ(r.Extra, nullptr);

  // A product past 16 bits is refused (the extra block would be cut).
  EXPECT_FALSE(initFltRecord(r, 1000, 100));
  EXPECT_EQ(r.Total, static_cast<uint16_t>(100000));

  r.Params[0] = 0xAB;
  r.Extra = reinterpret_cast<const uint8_t*>(&r);
  std::array<uint8_t, SFltRecord::kWireSize> wire{};
  wire.fill(0xEE);
  r.write(wire.data());
  EXPECT_EQ(wire[0], 0xA0);  // total 100000 & 0xFFFF = 0x86A0
  EXPECT_EQ(wire[1], 0x86);
  EXPECT_EQ(wire[2], 0xE8);  // count 1000
  EXPECT_EQ(wire[14], 0xAB);
  for (size_t i = 46; i < 50; ++i) EXPECT_EQ(wire[i], 0) << "no address reaches the bytes";
}

TEST(FilterParams, CustomAndLightingBlocks) {
  SCustom5x5Block b;
  b.Weights[3] = -7;
  b.Divisor = 0;
  initCustom5x5Block(b);
  EXPECT_EQ(b.Weights, (std::array<int32_t, 25>{}));
  EXPECT_EQ(b.Divisor, 1);
  EXPECT_EQ(b.Offset, 0);
  b.Weights[24] = -2;
  b.Offset = 12;
  uint8_t bytes[SCustom5x5Block::kSize];
  b.write(bytes);
  EXPECT_EQ(bytes[96], 0xFE);  // weight 24, little-endian
  EXPECT_EQ(bytes[100], 1);    // divisor
  EXPECT_EQ(SCustom5x5Block::read(bytes), b);

  SLight4 l;
  l.Kind = 2;
  l.X = 0.25f;
  initLightingBlock(l);
  uint8_t zero[SLight4::kSize];
  l.write(zero);
  for (uint8_t v : zero) EXPECT_EQ(v, 0);
}

TEST(FilterParams, LightingComparisonTreatsUnorderedFloatsAsEqual) {
  const float nan = std::numeric_limits<float>::quiet_NaN();
  SLight4 a;
  a.Intensity = 100;
  a.Pitch = 0.5f;
  SLight4 b = a;
  EXPECT_TRUE(sameLightingParams(a, b));
  b.Pitch = 0.25f;
  EXPECT_FALSE(sameLightingParams(a, b));
  b.Pitch = nan;  // unordered against 0.5: counts as equal
  EXPECT_TRUE(sameLightingParams(a, b));
  b = a;
  b.Spread = 1;
  EXPECT_FALSE(sameLightingParams(a, b));
  b = a;
  b.Reserved[0] = 1;  // past the 40 compared bytes
  EXPECT_TRUE(sameLightingParams(a, b));

  // Field offsets of the 56 bytes.
  a.Colour = 0x11223344u;
  a.Y = 1.0f;
  a.Spread = 90;
  uint8_t bytes[SLight4::kSize];
  a.write(bytes);
  EXPECT_EQ(bytes[8], 0x44);
  EXPECT_EQ(bytes[23], 0x3F);  // 1.0f = 0x3F800000 at 20
  EXPECT_EQ(bytes[36], 90);
  const SLight4 back = SLight4::read(bytes);
  EXPECT_TRUE(sameLightingParams(a, back));
  EXPECT_EQ(back.Colour, a.Colour);
}

TEST(FilterParams, GradientMapRecord) {
  SFltGradientMap r;
  r.Reverse = 1;
  r.KeepAlpha = 0;
  r.Repeat.Count = 5;
  initGradientMapRecord(r);
  EXPECT_EQ(r.Gradient, nullptr);
  EXPECT_EQ(r.Repeat, SGradRepeat{});
  EXPECT_EQ(r.Repeat.Count, 1);
  EXPECT_EQ(r.Reverse, 0);
  EXPECT_EQ(r.KeepAlpha, 1);

  r.Reverse = 1;
  uint8_t bytes[SFltGradientMap::kSize];
  r.write(bytes, 3);
  const uint8_t expected[14] = {3, 0, 0, 0, 0, 0, 0, 0, 1, 0, 0, 0, 1, 1};
  for (int i = 0; i < 14; ++i) EXPECT_EQ(bytes[i], expected[i]) << i;
  SFltGradientMap back;
  ASSERT_TRUE(readFltRecord(bytes, 14, back));
  EXPECT_EQ(back.Gradient, nullptr);  // the stops travel apart
  EXPECT_EQ(back.Reverse, 1);
  EXPECT_EQ(back.KeepAlpha, 1);
  EXPECT_FALSE(readFltRecord(bytes, 13, back));
  EXPECT_FALSE(readFltRecord(nullptr, 14, back));
}

TEST(FilterParams, FloorRecordDefaultsAndTextureBits) {
  SFltFloorW w;
  w.Floor.FogOpacity = 50;
  w.Textures[1].FileName = "a.png";
  initFltFloorW(w);
  uint8_t bytes[SFltFloor::kSize];
  w.Floor.write(bytes);
  for (size_t i = 0; i < SFltFloor::kSize; ++i) EXPECT_EQ(bytes[i], i == 44 ? 1 : (i == 46 ? 30 : 0)) << i;
  for (const SFltTexture& t : w.Textures) {
    EXPECT_EQ(t.Image, nullptr);
    EXPECT_TRUE(t.FileName.empty());
    EXPECT_EQ(t.DocValue, 0u);
  }

  struct Case {
    uint8_t shown, fromFile;
    bool first, second;
  };
  const Case cases[] = {
      {1, 0, false, false}, {0, 1, false, false}, {1, 1, true, false},
      {2, 2, false, true},  {3, 1, true, false},  {3, 3, true, true},
  };
  for (const Case& k : cases) {
    SFltFloor f;
    f.PlanesShown = k.shown;
    f.TextureFromFile = k.fromFile;
    EXPECT_EQ(floorHasTexture1(f), k.first) << int{k.shown} << "/" << int{k.fromFile};
    EXPECT_EQ(floorHasTexture2(f), k.second) << int{k.shown} << "/" << int{k.fromFile};
  }

  // The 16-bit sizes at odd offsets.
  SFltFloor f;
  f.CeilingTexWidth = 0x1234;
  f.FloorTexHeight = 0xABCD;
  f.FogColour = 0x80FF0000u;
  f.write(bytes);
  EXPECT_EQ(bytes[47], 0x34);
  EXPECT_EQ(bytes[48], 0x12);
  EXPECT_EQ(bytes[53], 0xCD);
  EXPECT_EQ(bytes[54], 0xAB);
  const SFltFloor back = SFltFloor::read(bytes);
  EXPECT_EQ(back.CeilingTexWidth, 0x1234);
  EXPECT_EQ(back.FloorTexHeight, 0xABCD);
  EXPECT_EQ(back.FogColour, 0x80FF0000u);
}

TEST(FilterParams, ClearBytes20) {
  std::array<uint8_t, 22> b;
  b.fill(7);
  clearBytes20(b.data());
  for (size_t i = 0; i < 22; ++i) EXPECT_EQ(b[i], i < 20 ? 0 : 7);
}

}  // namespace
}  // namespace pg
