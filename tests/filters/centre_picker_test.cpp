// The zoom blur dialog's centre picker: geometry and how it and the two
// centre fields follow each other.
#include <gtest/gtest.h>

#include "filters/centre_picker.h"
#include "filters/filter_dialog_model.h"
#include "filters/motion_blur_filters.h"
#include "filters/record_bytes.h"

namespace pg {
namespace {

TEST(CentrePicker, PointerFractionsGridAndMarker) {
  struct Case {
    int32_t m, extent;
    float fraction;
  };
  const Case cases[] = {{2, 100, 0.0f}, {50, 100, 0.5f}, {98, 100, 1.0f}, {-10, 100, 0.0f},
                        {500, 100, 1.0f}, {3, 4, 0.5f}, {0, 0, 0.5f}};
  for (const Case& c : cases) EXPECT_FLOAT_EQ(trackAreaFraction(c.m, c.extent), c.fraction) << c.m << "/" << c.extent;
  EXPECT_EQ(trackAreaGridLine(1, 3, 96), 91 / 4 + 2);
  EXPECT_EQ(trackAreaGridLine(3, 3, 96), 91 * 3 / 4 + 2);
  EXPECT_EQ(trackAreaMarker(0.0f, 96), 3);
  EXPECT_EQ(trackAreaMarker(1.0f, 96), 94);
}

TEST(CentrePicker, ThePickerAndTheCentreFieldsFollowEachOther) {
  resetFilterDialogMemory();
  SFilterOpenInfo info;
  info.areaWidth = 200;
  info.areaHeight = 100;
  CFilterDialogModel m(*filterDialogFor("filterRadialBlur"), 1, 0, info);
  // It opens with the centre in the middle of the area.
  EXPECT_FLOAT_EQ(m.value(1), 0.0f);
  EXPECT_FLOAT_EQ(m.num(1).valueMin(), -100.0f);
  EXPECT_FLOAT_EQ(m.num(2).valueMax(), 50.0f);
  EXPECT_FLOAT_EQ(m.pickerX(), 0.5f);
  m.setPicker(1.0f, 0.25f);
  EXPECT_EQ(m.controlChanged(kSenderPicker), EPreviewRequest::Later);
  EXPECT_FLOAT_EQ(m.value(1), 100.0f);
  EXPECT_FLOAT_EQ(m.value(2), -25.0f);
  m.num(1).setValue(-50.0f);
  (void)m.controlChanged(kSenderValue + 1);
  EXPECT_FLOAT_EQ(m.pickerX(), 0.25f);
  const std::vector<uint8_t> r = m.record();
  SFltZoomBlur z;
  ASSERT_TRUE(readZoomBlurRecord(r.data(), int32_t(r.size()), z));
  EXPECT_EQ(z.centreX, -50);
  EXPECT_EQ(z.centreY, -25);
  EXPECT_EQ(z.protect, 1);
  EXPECT_EQ(z.mode, 1);
  resetFilterDialogMemory();
}

}  // namespace
}  // namespace pg
