#include "core/units.h"

#include <algorithm>

namespace pg {

namespace {

constexpr std::string_view kNames[kUnitCount] = {"pixel", "inch", "cm", "mm", "%"};
constexpr std::string_view kLabels[kUnitCount] = {"px", "in", "cm", "mm", "%"};

using Conversion = double (*)(double v, double res);

// [from][to] over pixel, inch, cm and mm.
constexpr Conversion kTable[4][4] = {
    {[](double v, double) { return v; }, [](double v, double r) { return v / r; },
     [](double v, double r) { return 2.54 * v / r; }, [](double v, double r) { return 25.4 * v / r; }},
    {[](double v, double r) { return v * r; }, [](double v, double) { return v; },
     [](double v, double) { return 2.54 * v; }, [](double v, double) { return 25.4 * v; }},
    {[](double v, double r) { return v * r / 2.54; }, [](double v, double) { return v / 2.54; },
     [](double v, double) { return v; }, [](double v, double) { return v * 10; }},
    {[](double v, double r) { return v * r / 25.4; }, [](double v, double) { return v / 25.4; },
     [](double v, double) { return v / 10; }, [](double v, double) { return v; }},
};

}  // namespace

std::string_view unitName(int32_t unit) { return unit >= 0 && unit < kUnitCount ? kNames[unit] : std::string_view{}; }

std::string_view unitLabel(int32_t unit) {
  return unit >= 0 && unit < kUnitCount ? kLabels[unit] : std::string_view{};
}

float convertUnit(int32_t from, int32_t to, float res, float value) {
  from &= 127;
  to &= 127;
  if (from > kUnitMm || to > kUnitMm) return value;
  // Only conversions to or from pixels divide by or multiply with the resolution.
  if ((from == kUnitPixel) != (to == kUnitPixel) && !(res > 0)) return value;
  return static_cast<float>(kTable[from][to](value, res));
}

void unitSizeLimits(float& min, float& max, int32_t unit, float res) {
  min = convertUnit(kUnitPixel, unit, res, 8.0f);
  max = convertUnit(kUnitPixel, unit, res, 10000.0f);
}

void resolutionLimitsForSize(float& min, float& max, float sizeInches) {
  if (!(sizeInches > 0)) {
    min = 72.0f;
    max = 600.0f;
    return;
  }
  min = std::max(8.0f / sizeInches, 72.0f);
  max = std::min(10000.0f / sizeInches, 600.0f);
  if (min > max) min = max;
}

}  // namespace pg
