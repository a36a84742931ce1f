// The JPEG settings: nearest presets, the choice rule, the slider's curve
// and what goes to the preferences.
#include <gtest/gtest.h>

#include "app/app_profile.h"
#include "app/jpeg_option_model.h"

namespace pg {
namespace {

TEST(JpegOptionModel, PresetsChoiceAndSlider) {
  const SJpegPresets presets;
  struct Case {
    double quality;
    int32_t preset;
  };
  for (const Case c : {Case{95, 0}, Case{82.5, 1}, Case{82, 2}, Case{62.5, 2}, Case{62, 3}, Case{10, 3}})
    EXPECT_EQ(presets.nearest(c.quality), c.preset) << c.quality;
  EXPECT_EQ(presets.value(7), 90);

  CJpegOptionModel m(presets, 0, 0, 0, false);
  EXPECT_EQ(m.quality(), 100);
  m.setQuality(90);
  EXPECT_EQ(m.presetIndex(), 1);
  EXPECT_EQ(m.record().choice, 1);
  m.setQuality(91);
  EXPECT_EQ(m.presetIndex(), 1);
  EXPECT_EQ(m.record().choice, kJpegCustomChoice);
  m.setQuality(5);
  EXPECT_EQ(m.record().quality, 10);

  EXPECT_NEAR(jpegSliderValue(0.5), 0.7222, 1e-4);
  for (double v : {0.0, 0.3, 0.7222, 1.0}) EXPECT_NEAR(jpegSliderValue(jpegSliderPosition(v)), v, 1e-12);
  m.setSliderPosition(1.0);
  EXPECT_EQ(m.record().quality, 100);

  // A stored custom choice takes the stored quality and the nearest preset.
  CJpegOptionModel custom(presets, 4, 77, 30, true);
  EXPECT_EQ(custom.quality(), 77);
  EXPECT_EQ(custom.presetIndex(), 2);
  CAppProfile prefs;
  custom.setGreyscale(true);
  custom.store(prefs);
  EXPECT_EQ(prefs.jpegQType, 4);
  EXPECT_EQ(prefs.jpegQuality, 77);
  EXPECT_EQ(prefs.jpegValSmooth, 30);
  EXPECT_TRUE(prefs.jpegUseSmooth);
  EXPECT_TRUE(prefs.jpegUseProgressive);
  const SJpegSaveOptions o = custom.record().saveOptions();
  EXPECT_TRUE(o.greyscale);
  EXPECT_EQ(o.quality, 77);
}

}  // namespace
}  // namespace pg
