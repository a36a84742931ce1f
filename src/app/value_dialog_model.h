#pragma once
// The value of the one-number dialog: a number inside a range, which the
// dialog's slider shows as a position 0..1 over the range.
#include <cstdint>

namespace pg {

class CValueDialogModel {
 public:
  CValueDialogModel() = default;

  float value() const { return value_; }
  float minimum() const { return min_; }
  float maximum() const { return max_; }

  // Both limits and the value, clamped into them; nothing changes when the
  // minimum is not below the maximum.
  void setRange(float maximum, float minimum, float value);
  // Clamped into the range; a value that is not a number is ignored.
  void setValue(float value);

  // The value's position over the range, and the value of a position
  // (clamped to 0..1).
  double ratio() const;
  void setRatio(double ratio);

  // The value as a whole number, halves rounded up.
  int32_t roundedValue() const;

 private:
  float min_ = 0.0f;
  float max_ = 100.0f;
  float value_ = 0.0f;
};

}  // namespace pg
