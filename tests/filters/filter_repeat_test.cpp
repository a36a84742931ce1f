// A repeat without the dialog brings the remembered record to the layer it
// runs on: the scale from the remembered percentages, the zoom blur's centre
// in proportion to the area, the clouds/rock tile without wrap around the
// whole layer image; the protect flag and the seed as they are now.
#include "filters/filter_repeat.h"

#include <gtest/gtest.h>

#include "filters/cloud_filters.h"
#include "filters/filter_dialog_model.h"
#include "filters/filter_table.h"
#include "filters/motion_blur_filters.h"
#include "filters/rotate_scale_filter.h"

namespace pg {
namespace {

struct DialogMemory {
  DialogMemory() { resetFilterDialogMemory(); }
  ~DialogMemory() { resetFilterDialogMemory(); }
  // What OK leaves behind for a dialog.
  static void confirm(const char* command, std::vector<float> values, std::vector<uint8_t> checks) {
    SFilterRemembered r;
    r.values.values = std::move(values);
    r.values.checks = std::move(checks);
    remember(*filterDialogFor(command), r);
  }
};

std::vector<uint8_t> scaleBytes(int32_t w, int32_t h, uint8_t protect) {
  SFltScale r;
  r.NewWidth = w;
  r.NewHeight = h;
  r.ProtectAlpha = protect;
  r.Method = 1;
  std::vector<uint8_t> b(SFltScale::kSize);
  r.write(b.data());
  return b;
}

TEST(FilterRepeat, ScaleTakesTheRememberedPercentagesOfTheAreaItRunsOn) {
  struct Case {
    float widthPercent, heightPercent;
    bool mirrorH, mirrorV;
    SSize area;
    bool protect;
    int32_t newWidth, newHeight;
  };
  const Case cases[] = {
      {50.0f, 50.0f, false, false, {7, 10}, false, 4, 5},          // 3.5 rounds away from zero
      {150.0f, 25.0f, true, false, {30, 20}, true, -45, 5},        // mirrored left to right
      {33.3f, 200.0f, false, true, {10, 7}, false, 3, -14},        // mirrored top to bottom
      {1600.0f, 1600.0f, false, false, {1000, 300}, false, 10000, 4800},  // the dialog's largest side
      {0.0f, 100.0f, false, false, {40, 30}, false, 0, 30},        // width 0 erases
  };
  const SFilterEntry& scale = *filterByCommand("filterScale");
  for (const Case& c : cases) {
    DialogMemory memory;
    // The pixel values are those of the layer the dialog ran on; only the
    // percentages count.
    DialogMemory::confirm("filterScale", {64.0f, c.widthPercent, 48.0f, c.heightPercent},
                          {1, uint8_t(c.mirrorH), uint8_t(c.mirrorV)});
    std::vector<uint8_t> params = scaleBytes(32, 24, 0);
    ASSERT_TRUE(adaptRepeatRecord(scale, SSize{64, 48}, SRepeatTarget{SSize{2000, 2000}, c.area, c.protect, 7}, params));
    EXPECT_EQ(params, scaleBytes(c.newWidth, c.newHeight, c.protect ? 1 : 0)) << c.widthPercent << " on " << c.area.W;
  }
}

std::vector<uint8_t> zoomBytes(int16_t x, int16_t y, uint8_t protect) {
  SFltZoomBlur r;
  r.centreX = x;
  r.centreY = y;
  r.amount = 40;
  r.protect = protect;
  r.mode = 1;
  std::vector<uint8_t> b(kZoomBlurRecordSize);
  writeZoomBlurRecord(r, b.data());
  return b;
}

TEST(FilterRepeat, ZoomBlurCentreKeepsItsPlaceInTheArea) {
  struct Case {
    int16_t x, y;
    SSize chosenOn, area;
    int16_t newX, newY;
  };
  const Case cases[] = {
      {20, -7, {100, 50}, {64, 30}, 13, -4},     // 12.8 and -4.2
      {5, -5, {100, 100}, {50, 50}, 3, -3},      // halves away from zero
      {-30, 12, {60, 24}, {60, 24}, -30, 12},    // the same area: unchanged
      {10, 10, {20, 20}, {300, 200}, 150, 100},  // a larger layer
  };
  const SFilterEntry& zoom = *filterByCommand("filterRadialBlur");
  for (const Case& c : cases) {
    std::vector<uint8_t> params = zoomBytes(c.x, c.y, 0);
    ASSERT_TRUE(adaptRepeatRecord(zoom, c.chosenOn, SRepeatTarget{SSize{400, 400}, c.area, true, 7}, params));
    EXPECT_EQ(params, zoomBytes(c.newX, c.newY, 1)) << c.x << "," << c.y << " to " << c.area.W << "x" << c.area.H;
  }
  // A centre chosen on no area cannot be placed: nothing runs.
  std::vector<uint8_t> params = zoomBytes(4, 4, 0);
  EXPECT_FALSE(adaptRepeatRecord(zoom, SSize{0, 10}, SRepeatTarget{SSize{40, 40}, SSize{40, 40}, false, 7}, params));
  EXPECT_EQ(params, zoomBytes(4, 4, 0));
}

std::vector<uint8_t> rockBytes(uint32_t seed, uint16_t w, uint16_t h) {
  SFltCloudsRock r;
  r.colour1 = 0xFFFFFFFFu;
  r.colour2 = 0xFF102030u;
  r.seed = seed;
  r.tileWidth = w;
  r.tileHeight = h;
  r.contrast = 140;
  r.softness = 20;
  std::vector<uint8_t> b(kCloudsRockRecordSize);
  writeCloudsRockRecord(r, b.data());
  return b;
}

TEST(FilterRepeat, CloudsRockTileIsTheLayerImageWithoutWrapAround) {
  struct Case {
    bool wrap;
    uint16_t tileW, tileH;
  };
  const Case cases[] = {{true, 64, 48}, {false, 300, 200}};
  const SFilterEntry& rock = *filterByCommand("filterCloudsRock");
  for (const Case& c : cases) {
    DialogMemory memory;
    DialogMemory::confirm("filterCloudsRock", {140.0f, 20.0f, 64.0f, 48.0f}, {uint8_t(c.wrap)});
    std::vector<uint8_t> params = rockBytes(111, 64, 48);
    ASSERT_TRUE(adaptRepeatRecord(rock, SSize{64, 48}, SRepeatTarget{SSize{300, 200}, SSize{80, 60}, false, 999}, params));
    EXPECT_EQ(params, rockBytes(999, c.tileW, c.tileH)) << "wrap " << c.wrap;
  }
}

// The other filters take the protect flag now and keep the rest.
TEST(FilterRepeat, OtherFiltersKeepTheirRecord) {
  std::vector<uint8_t> mosaic = {6, 0, 0, 0, 0, 0, 0, 0};
  ASSERT_TRUE(adaptRepeatRecord(*filterByCommand("filterMosaic"), SSize{64, 48},
                                SRepeatTarget{SSize{10, 10}, SSize{10, 10}, true, 7}, mosaic));
  EXPECT_EQ(mosaic, (std::vector<uint8_t>{6, 0, 0, 0, 1, 0, 0, 0}));
  std::vector<uint8_t> posterize = {4, 0, 0, 0, 0, 0, 0, 0};
  ASSERT_TRUE(adaptRepeatRecord(*filterByCommand("filterPosterize"), SSize{64, 48},
                                SRepeatTarget{SSize{10, 10}, SSize{10, 10}, true, 7}, posterize));
  EXPECT_EQ(posterize, (std::vector<uint8_t>{4, 0, 0, 0, 0, 0, 0, 0}));
}

}  // namespace
}  // namespace pg
