#include "filters/gaussian_weights.h"
#include "core/det_math.h"

#include <cmath>
#include <cstdlib>
#include <limits>
#include <vector>

namespace pg {

int32_t buildGaussianWeights(int32_t* weights, int32_t n, double sigma) {
  if (weights == nullptr || n < 1 || !(sigma > 0) || !std::isfinite(sigma)) return -1;
  double s = 2.0 * sigma * sigma;
  if (!(s > 0)) s = std::numeric_limits<double>::min();  // a sigma so small that its square vanishes
  const int32_t centre = n / 2;
  std::vector<double> w(static_cast<size_t>(n));
  double sum = 0;
  for (int32_t i = 0; i < n; ++i) {
    const double d = i - centre;
    w[static_cast<size_t>(i)] = dmath::exp(-(d * d) / s);
    sum += w[static_cast<size_t>(i)];
  }
  int32_t radius = 0;
  for (int32_t i = 0; i < n; ++i) {
    const double v = w[static_cast<size_t>(i)] / sum;
    if (v >= 0.01) radius = std::abs(i - centre) + 1;
    weights[i] = static_cast<int32_t>(std::trunc(v * 65536.0 + 0.5));
  }
  return radius;
}

}  // namespace pg
