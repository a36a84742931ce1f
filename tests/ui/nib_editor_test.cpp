#include "ui/nib_editor.h"

#include <gtest/gtest.h>

#include <cmath>

namespace pg {
namespace {

// The 86 x 88 face: centre (42.5, 36), radius 32; labels 20 and 24 wide.
const SNibEditorLayout kLayout = nibEditorLayout(86, 88, 20, 24, 14, 8);

TEST(NibEditor, LayoutOfTheDefaultFace) {
  EXPECT_EQ(kLayout.preview, (TRect{2, 2, 84, 71}));
  EXPECT_EQ(kLayout.leftButton, (TRect{2, 60, 13, 71}));
  EXPECT_EQ(kLayout.rightButton, (TRect{73, 60, 84, 71}));
  EXPECT_EQ(kLayout.flatLabel, (TRect{6, 73, 26, 87}));
  EXPECT_EQ(kLayout.angleLabel, (TRect{34, 73, 58, 87}));
}

TEST(NibEditor, HitPartsByState) {
  const SNibGeometry g = nibGeometry(86, 88, 0, 0);
  struct {
    int32_t x, y;
    bool image, handles, rightVisible;
    uint8_t part;
  } cases[] = {
      {77, 38, false, true, false, npMaxRadius},  {77, 38, true, true, false, npImageScale},
      {61, 38, false, true, false, npMinRadius},  {45, 70, false, true, false, npShape},
      {45, 70, false, false, false, npPreview},   {5, 65, false, true, false, npDisplay},
      {5, 65, true, true, false, npPreview},      {78, 65, false, true, false, npPreview},
      {78, 65, false, true, true, npNibList},     {8, 78, false, true, false, npFlatLabel},
      {40, 78, false, true, false, npAngleLabel}, {40, 78, false, false, false, npNone},
      {1, 1, false, true, false, npNone},         {20, 20, false, true, false, npPreview},
  };
  for (const auto& c : cases) {
    TNibEditorState s;
    s.setSample(c.image, 64, 64, 100);
    s.handlesEnabled = c.handles;
    s.rightButtonVisible = c.rightVisible;
    EXPECT_EQ(s.hitPart(kLayout, g, c.x, c.y), c.part) << c.x << "," << c.y;
  }
  // The shape handle reaches over the angle label and wins there.
  TNibEditorState s;
  EXPECT_EQ(s.hitPart(kLayout, g, 45, 74), npShape);
  s.handlesEnabled = false;
  EXPECT_EQ(s.hitPart(kLayout, g, 45, 74), npNone);
}

TEST(NibEditor, SetValuesClampsAndNormalises) {
  struct {
    float rotation, out;
  } rot[] = {{180, -180}, {540, -180}, {-181, 179}, {90, 90}};
  for (const auto& r : rot) {
    TNibEditorState s;
    EXPECT_TRUE(s.setValues(true, 0, 0, r.rotation, 0, 50, 1));
    EXPECT_FLOAT_EQ(s.rotation(), r.out) << r.rotation;
  }
  TNibEditorState s;
  EXPECT_TRUE(s.setValues(false, 300, -5, 0, 150, 0, 1000));
  EXPECT_FLOAT_EQ(s.maxRadius(), 200);
  EXPECT_FLOAT_EQ(s.minRadius(), 1);
  EXPECT_FLOAT_EQ(s.flattening(), 99);
  EXPECT_FLOAT_EQ(s.valueA(), 0);
  EXPECT_FLOAT_EQ(s.valueB(), 100);
  // The same values again change nothing, unless a nib image is in use.
  EXPECT_FALSE(s.setValues(false, 100, 0, 0, 99, 1, 200));
  s.setSample(true, 64, 256, 100);
  EXPECT_TRUE(s.setValues(false, 100, 0, 0, 99, 1, 200));
  EXPECT_FLOAT_EQ(s.maxRadius(), 200);
}

TEST(NibEditor, DragSteps) {
  TNibEditorState s;
  ASSERT_TRUE(s.setValues(true, 0, 0, 30, 20, 50, 1.9f));
  EXPECT_TRUE(s.dragStep(npMaxRadius, 3, 0, 0, 32, false, false, false));
  EXPECT_FLOAT_EQ(s.maxRadius(), 2.2f);
  EXPECT_TRUE(s.dragStep(npMinRadius, 1, 0, 0, 32, true, false, false));
  EXPECT_FLOAT_EQ(s.minRadius(), 55);
  // Straight below the centre at half the radius: flattening 50, angle 0.
  // Ctrl changes only the flattening, Alt only the angle.
  EXPECT_TRUE(s.dragStep(npShape, 0, 0, 16, 32, false, true, false));
  EXPECT_FLOAT_EQ(s.flattening(), 50);
  EXPECT_FLOAT_EQ(s.rotation(), 30);
  EXPECT_TRUE(s.dragStep(npShape, 0, -20, 0, 32, false, false, true));
  EXPECT_FLOAT_EQ(s.flattening(), 50);
  EXPECT_FLOAT_EQ(s.rotation(), 90);
  // Shift: the angle cut to 15 degrees, the flattening down to a multiple of 5.
  EXPECT_TRUE(s.dragStep(npShape, 0, -10, 7, 32, true, false, false));
  EXPECT_FLOAT_EQ(std::fmod(s.rotation(), 15.0f), 0.0f);
  EXPECT_FLOAT_EQ(std::fmod(s.flattening(), 5.0f), 0.0f);
  // The image scale moves in its tiers and stays in the image's range.
  s.setSample(true, 64, 256, 100);
  EXPECT_TRUE(s.dragStep(npImageScale, 50, 0, 0, 32, false, false, false));
  EXPECT_FLOAT_EQ(s.imageScale(), 200);
  EXPECT_FALSE(s.dragStep(npImageScale, 5, 0, 0, 32, false, false, false));
  EXPECT_TRUE(s.dragStep(npImageScale, -1000, 0, 0, 32, false, false, false));
  EXPECT_FLOAT_EQ(s.imageScale(), 6.25f);
  EXPECT_EQ(s.leftButtonState(), 2);
  s.setSample(false, 0, 0, 0);
  EXPECT_FLOAT_EQ(s.imageScale(), 100);
  s.hoveredLeft = true;
  EXPECT_EQ(s.leftButtonState(), 1);
}

}  // namespace
}  // namespace pg
