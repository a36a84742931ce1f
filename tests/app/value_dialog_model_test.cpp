#include "app/value_dialog_model.h"

#include <gtest/gtest.h>

#include <limits>

namespace pg {
namespace {

TEST(ValueDialogModel, TheValueStaysInsideItsRange) {
  CValueDialogModel m;
  m.setRange(50, 0, 5);
  EXPECT_EQ(m.value(), 5.0f);
  m.setValue(80);
  EXPECT_EQ(m.value(), 50.0f);
  m.setValue(-1);
  EXPECT_EQ(m.value(), 0.0f);
  m.setValue(std::numeric_limits<float>::quiet_NaN());
  EXPECT_EQ(m.value(), 0.0f);
  // A range whose minimum is not below its maximum changes nothing.
  m.setRange(10, 10, 3);
  EXPECT_EQ(m.maximum(), 50.0f);
  EXPECT_EQ(m.value(), 0.0f);
  m.setRange(-10, 10, 3);
  EXPECT_EQ(m.minimum(), 0.0f);
}

TEST(ValueDialogModel, TheSliderPositionMapsOverTheRange) {
  CValueDialogModel m;
  m.setRange(200, 100, 150);
  EXPECT_DOUBLE_EQ(m.ratio(), 0.5);
  m.setRatio(0.25);
  EXPECT_EQ(m.value(), 125.0f);
  m.setRatio(3);
  EXPECT_EQ(m.value(), 200.0f);
  const std::pair<float, int32_t> rounding[] = {{124.5f, 125}, {124.49f, 124}, {199.5f, 200}};
  for (auto [v, r] : rounding) {
    m.setValue(v);
    EXPECT_EQ(m.roundedValue(), r) << v;
  }
}

}  // namespace
}  // namespace pg
