// The centre picker's geometry.
#include "filters/centre_picker.h"

#include <algorithm>
#include <cmath>

namespace pg {

float trackAreaFraction(int32_t m, int32_t extent) {
  if (extent <= 4) return 0.5f;
  return std::clamp(float(m - 2) / float(extent - 4), 0.0f, 1.0f);
}

int32_t trackAreaGridLine(int32_t i, int32_t lines, int32_t extent) {
  return (extent - 5) * i / (lines + 1) + 2;
}

int32_t trackAreaMarker(float fraction, int32_t extent) {
  return static_cast<int32_t>(std::lround(double(extent - 5) * fraction + 2.5));
}

}  // namespace pg
