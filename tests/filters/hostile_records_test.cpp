// Every kernel entry of this folder run with records of random and extreme
// bytes on a small layer: each answers, touches nothing outside the layer and
// leaves the unfiltered copies as they were (the sanitizer build checks the
// memory).
#include <gtest/gtest.h>

#include <random>
#include <vector>

#include "filters/blur_filters.h"
#include "filters/cloud_filters.h"
#include "filters/filter_fixture.h"
#include "filters/median_filter.h"
#include "filters/motion_blur_filters.h"
#include "filters/noise_filters.h"
#include "filters/stylize_filters.h"
#include "filters/tiles_filter.h"

namespace pg {
namespace {

using testing::FilterFixture;

struct SEntry {
  const char* name;
  FilterKernel kernel;
  int32_t size;
};
const SEntry kEntries[] = {
    {"blur", &blurKernel, 0},
    {"sharpen custom", &sharpenCustomKernel, kSharpenCustomRecordSize},
    {"gaussian", &gaussianBlurKernel, kGaussianBlurRecordSize},
    {"noise", &noiseKernel, kNoiseRecordSize},
    {"diffuse", &diffuseKernel, kDiffuseRecordSize},
    {"mosaic", &mosaicKernel, kMosaicRecordSize},
    {"motion", &motionBlurKernel, kMotionBlurRecordSize},
    {"zoom", &zoomBlurKernel, kZoomBlurRecordSize},
    {"median", &medianKernel, kMedianRecordSize},
    {"halftone", &colorHalftoneKernel, kColorHalftoneRecordSize},
    {"emboss", &embossKernel, kEmbossRecordSize},
    {"find edges", &findEdgesKernel, 0},
    {"tiles", &tilesKernel, kTilesRecordSize},
    {"clouds", &cloudsKernel, kCloudsRecordSize},
    {"plasma", &plasmaKernel, kPlasmaRecordSize},
    {"clouds/rock", &cloudsRockKernel, kCloudsRockRecordSize},
};

TEST(HostileRecords, KernelsStayInsideTheLayer) {
  std::mt19937 rng(20261210);
  // Byte patterns that reach the ends of every field type.
  const uint8_t fills[] = {0x00, 0xFF, 0x7F, 0x80, 0x01};
  for (const SEntry& e : kEntries) {
    for (int round = 0; round < 24; ++round) {
      std::vector<uint8_t> rec(static_cast<size_t>(std::max(e.size, 1)));
      for (uint8_t& b : rec) b = round < 5 ? fills[round] : static_cast<uint8_t>(rng());
      FilterFixture f(13, 9);
      f.fillRandom(static_cast<uint32_t>(round));
      if (round % 2) f.randomSelection(static_cast<uint32_t>(round));
      f.protectAlpha = (round % 3) == 0;
      const TRect region{static_cast<int32_t>(rng() % 4), static_cast<int32_t>(rng() % 3), 13 - static_cast<int32_t>(rng() % 4), 9};
      const SFlt4Context c = f.context(region);
      e.kernel(&c, rec.data(), e.size);
      for (int32_t y = 0; y < 9; ++y)
        for (int32_t x = 0; x < 13; ++x) {
          ASSERT_EQ(f.work.getPixel(x, y), f.original(x, y)) << e.name << " round " << round;
          if (x < region.Left || x >= region.Right || y < region.Top) {
            ASSERT_EQ(f.pixel(x, y), f.original(x, y)) << e.name << " round " << round << " " << x << "," << y;
          }
        }
    }
  }
}

}  // namespace
}  // namespace pg
