// The layer option, rotation and about box values.
#include <gtest/gtest.h>

#include "app/about_info.h"
#include "app/layer_option_model.h"
#include "brush/paint_param_kinds.h"

namespace pg {
namespace {

TEST(LayerOptionModel, PositionRanges) {
  struct Case {
    int32_t size, position, min, max;
  };
  const Case cases[] = {{300, 50, -300, 300}, {9900, -400, -400, 100}, {300, 700, -300, 700}, {5000, 0, -5000, 5000}};
  for (const Case& c : cases) {
    int32_t lo = 0, hi = 0;
    layerPositionRange(c.size, c.position, lo, hi);
    EXPECT_EQ(lo, c.min) << c.size << " " << c.position;
    EXPECT_EQ(hi, c.max) << c.size << " " << c.position;
  }
}

TEST(LayerOptionModel, RecordRoundTripsAndPercentFields) {
  TLayerOptionValue in;
  in.x = -7;
  in.y = 3;
  in.name = "a";
  in.blendMode = static_cast<int32_t>(blendModeToLayerMode(bmScreen));
  in.opacity = 128;
  in.dither = true;
  in.ditherAmount = 1;
  CLayerOptionModel m(in, 100, 50, 80, 80);
  EXPECT_TRUE(m.crop);  // wider than the document
  EXPECT_NEAR(m.opacityPercent, 50.196, 0.001);
  EXPECT_EQ(m.modeIndex, int32_t(bmScreen));
  TLayerOptionValue out = m.result();
  EXPECT_EQ(out.opacity, 128);
  EXPECT_EQ(out.ditherAmount, 1);
  EXPECT_EQ(out.blendMode, in.blendMode);
  EXPECT_EQ(out.x, -7);
  EXPECT_EQ(out.name, "a");
  // Halves round away from zero.
  m.x = -2.5;
  m.y = 2.5;
  m.opacityPercent = 40;
  out = m.result();
  EXPECT_EQ(out.x, -3);
  EXPECT_EQ(out.y, 3);
  EXPECT_EQ(out.opacity, 102);
  EXPECT_FALSE(CLayerOptionModel(in, 80, 80, 80, 80).crop);
}

TEST(RotationAngle, WrapsIntoHalfTurns) {
  const std::pair<float, float> cases[] = {{270, -90}, {-270, 90}, {180, 180}, {-180, -180}, {999, -81}, {5000, -81},
                                           {45, 45}};
  for (auto [in, out] : cases) EXPECT_FLOAT_EQ(wrapRotationAngle(in), out) << in;
}

TEST(AboutInfo, ByteCounts) {
  const std::pair<uint64_t, const char*> cases[] = {
      {0, "   0 B"},          {1023, "1023 B"},          {1024, "1.00 KB"},
      {1536, "1.50 KB"},      {1048575, "1024.00 KB"},   {1048576, "1.00 MB"},
      {1073741823, "1024.00 MB"}, {1073741824, "1.00 GB"}, {17179869184ull, "16.00 GB"}};
  for (auto [bytes, text] : cases) EXPECT_EQ(formatByteCount(bytes), text) << bytes;
}

TEST(AboutInfo, MemoryFromProcTexts) {
  const std::string meminfo = "MemTotal:  1000 kB\nMemFree: 10 kB\nMemAvailable:  400 kB\nSwapTotal: 200 kB\nSwapFree: 50 kB\n";
  const std::string status = "Name:\tpigmora\nVmSize:\t  300 kB\n";
  SMemoryStatus m = parseMemoryStatus(meminfo, status, 0);
  EXPECT_EQ(m.physicalUsed, 600u * 1024);
  EXPECT_EQ(m.physicalTotal, 1000u * 1024);
  EXPECT_EQ(m.swapUsed, 150u * 1024);
  EXPECT_EQ(m.virtualUsed, 300u * 1024);
  EXPECT_EQ(m.virtualTotal, 1200u * 1024);
  EXPECT_EQ(parseMemoryStatus(meminfo, status, 4096).virtualTotal, 4096u);
  // Garbage gives zeros, never a wrap-around.
  SMemoryStatus bad = parseMemoryStatus("MemTotal: x\nMemAvailable: 5 kB\n", "", 0);
  EXPECT_EQ(bad.physicalUsed, 0u);
  EXPECT_EQ(bad.physicalTotal, 0u);
}

}  // namespace
}  // namespace pg
