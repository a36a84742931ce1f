#include "app/value_dialog_model.h"

#include <algorithm>
#include <cmath>

namespace pg {

void CValueDialogModel::setRange(float maximum, float minimum, float value) {
  if (!(minimum < maximum) || !std::isfinite(minimum) || !std::isfinite(maximum)) return;
  min_ = minimum;
  max_ = maximum;
  value_ = std::clamp(value_, min_, max_);
  setValue(value);
}

void CValueDialogModel::setValue(float value) {
  if (std::isnan(value)) return;
  value_ = std::clamp(value, min_, max_);
}

double CValueDialogModel::ratio() const { return (static_cast<double>(value_) - min_) / (static_cast<double>(max_) - min_); }

void CValueDialogModel::setRatio(double ratio) {
  if (std::isnan(ratio)) return;
  ratio = std::clamp(ratio, 0.0, 1.0);
  setValue(static_cast<float>(min_ + ratio * (static_cast<double>(max_) - min_)));
}

int32_t CValueDialogModel::roundedValue() const { return static_cast<int32_t>(std::floor(value_ + 0.5)); }

}  // namespace pg
