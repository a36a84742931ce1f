#include "brush/paint_param_records.h"

#include <cmath>

#include "core/rect.h"

namespace pg {

namespace {

// trunc(v * scale) in single precision, saturating.
int32_t truncScaled(float v, float scale) { return saturateToInt32(std::trunc(v * scale)); }

bool storeIfDifferent(int32_t& field, int32_t v) {
  if (field == v) return false;
  field = v;
  return true;
}

}  // namespace

bool SStrokeParam::setOpacity(float v) { return storeIfDifferent(opacity, truncScaled(v, 1000.0f)); }
bool SStrokeParam::setGamma(float v) { return storeIfDifferent(gamma, truncScaled(v, 100.0f)); }

bool SStrokeParam::setSpacing(float v) {
  const int32_t hundredths = saturateToInt32(std::trunc(v * 100.0f + 0.5f));
  const int64_t thousandths = static_cast<int64_t>(hundredths) * 10;
  return storeIfDifferent(spacing, saturateToInt32(static_cast<double>(thousandths)));
}

}  // namespace pg
