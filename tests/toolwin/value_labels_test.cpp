#include "toolwin/value_labels.h"

#include <gtest/gtest.h>

#include <string>

#include "toolwin/nib_radius_mapping.h"

namespace pg {
namespace {

struct ValueLabelsTest : ::testing::Test {
  ValueLabelsTest() {
    (void)model.setRange(50, 0, 200);
    model.setValueDefault(100);
    model.onChange = [this](TNumMngr&) { ++changes; };
    binding.model = &model;
    binding.onBegin = [this] { log += "begin "; };
    binding.onEnd = [this] { log += "end "; };
  }
  TNumMngr model;
  SValueLabelBinding binding;
  CValueLabels rules;
  int changes = 0;
  std::string log;
};

TEST_F(ValueLabelsTest, SwitchedOffTheLabelsDoNothing) {
  EXPECT_FLOAT_EQ(rules.beginDrag(binding), 0.0f);
  rules.drag(binding, 0.9f);
  rules.endDrag(binding);
  rules.doubleClick(binding);
  EXPECT_FLOAT_EQ(model.value(), 50);
  EXPECT_EQ(changes, 0);
  EXPECT_EQ(log, "");
}

TEST_F(ValueLabelsTest, DragMovesTheRatioAndResetFiresTheChange) {
  rules.enableAll();
  EXPECT_FLOAT_EQ(rules.beginDrag(binding), 0.25f);
  struct {
    float position, value;
  } steps[] = {{0.5f, 100}, {1.5f, 200}, {-3.0f, 0}, {0.75f, 150}};
  for (const auto& s : steps) {
    rules.drag(binding, s.position);
    EXPECT_FLOAT_EQ(model.value(), s.value) << s.position;
  }
  rules.endDrag(binding);
  rules.endDrag(binding);  // a second release closes nothing
  EXPECT_EQ(log, "begin end ");
  changes = 0;
  rules.doubleClick(binding);
  EXPECT_FLOAT_EQ(model.value(), 100);
  EXPECT_EQ(changes, 1);
}

TEST_F(ValueLabelsTest, BrushSizeFollowsTheSliderCurve) {
  rules.enableAll();
  TNumMngr size;
  (void)size.setRange(10, kNibRadiusMin, kNibRadiusMax);
  const SValueLabelBinding b = nibRadiusBinding(size);
  const float start = rules.beginDrag(b);
  EXPECT_NEAR(start, nibRadiusInFilter((10 - 0.1) / 199.9), 1e-5);
  EXPECT_GT(start, (10 - 0.1f) / 199.9f) << "small sizes get more of the travel";
  rules.drag(b, start);
  EXPECT_NEAR(size.value(), 10, 1e-3);
  rules.drag(b, 1.0f);
  EXPECT_NEAR(size.value(), 200, 1e-3);
}

}  // namespace
}  // namespace pg
