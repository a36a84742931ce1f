// The deterministic transcendental functions: close to the C library over
// the ranges pixel maths uses, exact at the special values, and fixed bit
// for bit forever (a replay of an old recording depends on it).
#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <functional>
#include <limits>
#include <random>
#include <string>

#include "core/det_math.h"

namespace pg {
namespace {

// Distance in units in the last place between two finite doubles.
int64_t ulps(double a, double b) {
  if (a == b) return 0;
  auto ordered = [](double v) {
    const int64_t i = std::bit_cast<int64_t>(v);
    return i < 0 ? std::numeric_limits<int64_t>::min() - i : i;
  };
  const int64_t d = ordered(a) - ordered(b);
  return d < 0 ? -d : d;
}

int64_t ulpsF(float a, float b) {
  if (a == b) return 0;
  auto ordered = [](float v) {
    const int32_t i = std::bit_cast<int32_t>(v);
    return int64_t(i < 0 ? std::numeric_limits<int32_t>::min() - i : i);
  };
  const int64_t d = ordered(a) - ordered(b);
  return d < 0 ? -d : d;
}

struct Range {
  const char* name;
  std::function<double(double)> ours;
  std::function<double(double)> libc;
  double lo;
  double hi;
};

TEST(DetMath, OneArgumentFunctionsAgreeWithTheCLibrary) {
  const Range ranges[] = {
      {"sin", [](double x) { return dmath::sin(x); }, [](double x) { return std::sin(x); }, -100.0, 100.0},
      {"sin small", [](double x) { return dmath::sin(x); }, [](double x) { return std::sin(x); }, -1e-3, 1e-3},
      {"sin large", [](double x) { return dmath::sin(x); }, [](double x) { return std::sin(x); }, -1e5, 1e5},
      {"cos", [](double x) { return dmath::cos(x); }, [](double x) { return std::cos(x); }, -100.0, 100.0},
      {"cos large", [](double x) { return dmath::cos(x); }, [](double x) { return std::cos(x); }, -1e5, 1e5},
      {"tan", [](double x) { return dmath::tan(x); }, [](double x) { return std::tan(x); }, -1.5, 1.5},
      {"atan", [](double x) { return dmath::atan(x); }, [](double x) { return std::atan(x); }, -50.0, 50.0},
      {"atan wide", [](double x) { return dmath::atan(x); }, [](double x) { return std::atan(x); }, -1e8, 1e8},
      {"exp", [](double x) { return dmath::exp(x); }, [](double x) { return std::exp(x); }, -700.0, 700.0},
      {"exp near 0", [](double x) { return dmath::exp(x); }, [](double x) { return std::exp(x); }, -2.0, 2.0},
      {"log", [](double x) { return dmath::log(x); }, [](double x) { return std::log(x); }, 1e-300, 1e300},
      {"log near 1", [](double x) { return dmath::log(x); }, [](double x) { return std::log(x); }, 0.5, 2.0},
  };
  std::mt19937_64 rng(1234);
  for (const Range& r : ranges) {
    std::uniform_real_distribution<double> dist(r.lo, r.hi);
    int64_t worst = 0;
    double at = 0;
    for (int i = 0; i < 200000; ++i) {
      double x = dist(rng);
      if (std::string(r.name) == "log") x = std::exp(std::uniform_real_distribution<double>(-690, 690)(rng));
      const int64_t u = ulps(r.ours(x), r.libc(x));
      if (u > worst) worst = u, at = x;
    }
    EXPECT_LE(worst, 2) << r.name << " at " << at;
  }
}

TEST(DetMath, TwoArgumentFunctionsAgreeWithTheCLibrary) {
  std::mt19937_64 rng(99);
  std::uniform_real_distribution<double> coord(-500.0, 500.0);
  std::uniform_real_distribution<double> base(0.0, 4.0);
  std::uniform_real_distribution<double> expo(-8.0, 8.0);
  int64_t worstAtan2 = 0;
  int64_t worstPow = 0;
  int64_t worstHypot = 0;
  for (int i = 0; i < 200000; ++i) {
    const double y = coord(rng);
    const double x = coord(rng);
    worstAtan2 = std::max(worstAtan2, ulps(dmath::atan2(y, x), std::atan2(y, x)));
    worstHypot = std::max(worstHypot, ulps(dmath::hypot(y, x), std::hypot(y, x)));
    const double b = base(rng);
    const double e = expo(rng);
    worstPow = std::max(worstPow, ulps(dmath::pow(b, e), std::pow(b, e)));
  }
  EXPECT_LE(worstAtan2, 2);
  EXPECT_LE(worstHypot, 1);
  EXPECT_LE(worstPow, 2);
}

TEST(DetMath, FloatOverloadsRoundTheDoubleResultOnce) {
  std::mt19937 rng(7);
  std::uniform_real_distribution<float> d(-10.0f, 10.0f);
  for (int i = 0; i < 100000; ++i) {
    const float x = d(rng);
    const float y = d(rng);
    EXPECT_EQ(dmath::sin(x), float(dmath::sin(double(x))));
    EXPECT_LE(ulpsF(dmath::cos(x), std::cos(x)), 1);
    EXPECT_LE(ulpsF(dmath::atan2(y, x), std::atan2(y, x)), 1);
    EXPECT_LE(ulpsF(dmath::pow(std::fabs(x), y), std::pow(std::fabs(x), y)), 1);
  }
}

TEST(DetMath, SpecialValues) {
  const double inf = std::numeric_limits<double>::infinity();
  EXPECT_EQ(dmath::sin(0.0), 0.0);
  EXPECT_TRUE(std::signbit(dmath::sin(-0.0)));
  EXPECT_EQ(dmath::cos(0.0), 1.0);
  EXPECT_TRUE(std::isnan(dmath::sin(inf)));
  EXPECT_EQ(dmath::exp(0.0), 1.0);
  EXPECT_EQ(dmath::exp(-inf), 0.0);
  EXPECT_EQ(dmath::exp(1000.0), inf);
  EXPECT_EQ(dmath::log(1.0), 0.0);
  EXPECT_EQ(dmath::log(0.0), -inf);
  EXPECT_TRUE(std::isnan(dmath::log(-1.0)));
  EXPECT_EQ(dmath::pow(2.0, 10.0), 1024.0);
  EXPECT_EQ(dmath::pow(-2.0, 3.0), -8.0);
  EXPECT_TRUE(std::isnan(dmath::pow(-2.0, 0.5)));
  EXPECT_EQ(dmath::pow(0.0, 3.0), 0.0);
  EXPECT_EQ(dmath::pow(0.0, -1.0), inf);
  EXPECT_EQ(dmath::pow(7.0, 0.0), 1.0);
  EXPECT_EQ(dmath::atan2(0.0, -1.0), std::atan2(0.0, -1.0));
  EXPECT_EQ(dmath::atan2(1.0, 0.0), std::atan2(1.0, 0.0));
  EXPECT_EQ(dmath::atan2(-inf, inf), std::atan2(-inf, inf));
  EXPECT_EQ(dmath::hypot(3.0, 4.0), 5.0);
  EXPECT_EQ(dmath::hypot(1e300, 1e300), std::hypot(1e300, 1e300));
  EXPECT_EQ(dmath::hypot(3.0f, 4.0f), 5.0f);
}

// Results recorded once from this implementation. They must never change:
// recordings replayed on any machine depend on every bit.
TEST(DetMath, FixedResults) {
  struct Fixed {
    const char* what;
    double value;
    uint64_t bits;
  };
  const Fixed table[] = {
#include "det_math_fixed.inc"
  };
  for (const Fixed& f : table) EXPECT_EQ(std::bit_cast<uint64_t>(f.value), f.bits) << f.what;
}

}  // namespace
}  // namespace pg
