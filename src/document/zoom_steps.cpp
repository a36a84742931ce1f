#include "document/zoom_steps.h"

#include <cmath>
#include <cstdint>

namespace pg {

namespace {

// value(step) x 10000 with the step's value as a single float, as the
// comparison is defined; the product itself is exact in double.
double scaledStep(const SRatio& step) { return static_cast<double>(ratioToFloat(step)) * 10000.0; }

}  // namespace

void zoomRatioUp(SRatio& ratio) {
  // 64-bit products: a numerator above 214,748 would overflow 32 bits.
  const int64_t target = static_cast<int64_t>(ratio.Num) * 10000;
  for (const SRatio& step : kZoomSteps) {
    const int64_t v = static_cast<int64_t>(std::floor(scaledStep(step))) * ratio.Den;
    if (v > target) {
      ratio = step;
      return;
    }
  }
  ratio = kZoomSteps.back();
}

void zoomRatioDown(SRatio& ratio) {
  const int64_t target = static_cast<int64_t>(ratio.Num) * 10000;
  for (auto it = kZoomSteps.rbegin(); it != kZoomSteps.rend(); ++it) {
    const int64_t v = static_cast<int64_t>(std::ceil(scaledStep(*it))) * ratio.Den;
    if (v < target) {
      ratio = *it;
      return;
    }
  }
  ratio = kZoomSteps.front();
}

}  // namespace pg
