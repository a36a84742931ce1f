// Deterministic transcendental functions: argument reduction and minimax
// polynomials in the classic freely distributable formulation, with every
// operation an IEEE double operation in a fixed order.
#if defined(__clang__)
#pragma clang fp contract(off)
#elif defined(__GNUC__)
#pragma GCC optimize("fp-contract=off")
#endif

#include "core/det_math.h"

#include <bit>
#include <cmath>
#include <cstdint>
#include <limits>

namespace pg::dmath {

namespace {

inline uint32_t highWord(double x) { return uint32_t(std::bit_cast<uint64_t>(x) >> 32); }
inline uint32_t lowWord(double x) { return uint32_t(std::bit_cast<uint64_t>(x)); }
inline double fromWords(uint32_t hi, uint32_t lo) { return std::bit_cast<double>(uint64_t(hi) << 32 | lo); }
inline double withHighWord(double x, uint32_t hi) { return fromWords(hi, lowWord(x)); }

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

// log(2) in two parts, the high one with trailing zero bits so that k * ln2Hi
// is exact for every exponent k.
constexpr double ln2Hi = 6.93147180369123816490e-01;
constexpr double ln2Lo = 1.90821492927058770002e-10;
// The polynomial of log(m) = 2s + s R(s^2) about m = 1, s = (m - 1) / (m + 1).
constexpr double Lg1 = 6.666666666666735130e-01;
constexpr double Lg2 = 3.999999999940941908e-01;
constexpr double Lg3 = 2.857142874366239149e-01;
constexpr double Lg4 = 2.222219843214978396e-01;
constexpr double Lg5 = 1.818357216161805012e-01;
constexpr double Lg6 = 1.531383769920937332e-01;
constexpr double Lg7 = 1.479819860511658591e-01;

// Splits x > 0 finite into 2^k * m with m in [sqrt(2)/2, sqrt(2)); hx is
// left as the low 20 bits of the high word of x's mantissa before m was
// halved (the log's small-argument and interval tests read it).
double splitExponent(double x, int& k, int32_t& hx) {
  k = 0;
  hx = int32_t(highWord(x));
  if (hx < 0x00100000) {  // subnormal
    k -= 54;
    x *= 18014398509481984.0;  // 2^54
    hx = int32_t(highWord(x));
  }
  k += (hx >> 20) - 1023;
  hx &= 0x000fffff;
  const int32_t i = (hx + 0x95f64) & 0x100000;
  k += i >> 20;
  return withHighWord(x, uint32_t(hx | (i ^ 0x3ff00000)));
}

// a * b as an unevaluated sum hi + lo (Dekker, no fused multiply-add).
void twoProductFree(double a, double b, double& hi, double& lo) {
  constexpr double split = 134217729.0;  // 2^27 + 1
  hi = a * b;
  const double ca = split * a;
  const double ah = ca - (ca - a);
  const double al = a - ah;
  const double cb = split * b;
  const double bh = cb - (cb - b);
  const double bl = b - bh;
  lo = ((ah * bh - hi) + ah * bl + al * bh) + al * bl;
}

// ---- sine and cosine ----------------------------------------------------------------

// sin(x + y) on |x| <= pi/4, y the tail of x; iy 0 when y is 0.
double kernelSin(double x, double y, int iy) {
  constexpr double S1 = -1.66666666666666324348e-01;
  constexpr double S2 = 8.33333333332248946124e-03;
  constexpr double S3 = -1.98412698298579493134e-04;
  constexpr double S4 = 2.75573137070700676789e-06;
  constexpr double S5 = -2.50507602534068634195e-08;
  constexpr double S6 = 1.58969099521155010221e-10;
  if ((highWord(x) & 0x7fffffff) < 0x3e400000) return x;  // |x| < 2^-27
  const double z = x * x;
  const double v = z * x;
  const double r = S2 + z * (S3 + z * (S4 + z * (S5 + z * S6)));
  if (iy == 0) return x + v * (S1 + z * r);
  return x - ((z * (0.5 * y - v * r) - y) - v * S1);
}

// cos(x + y) on |x| <= pi/4.
double kernelCos(double x, double y) {
  constexpr double C1 = 4.16666666666666019037e-02;
  constexpr double C2 = -1.38888888888741095749e-03;
  constexpr double C3 = 2.48015872894767294178e-05;
  constexpr double C4 = -2.75573143513906633035e-07;
  constexpr double C5 = 2.08757232129817482790e-09;
  constexpr double C6 = -1.13596475577881948265e-11;
  const uint32_t ix = highWord(x) & 0x7fffffff;
  const double z = x * x;
  const double r = z * (C1 + z * (C2 + z * (C3 + z * (C4 + z * (C5 + z * C6)))));
  if (ix < 0x3FD33333) return 1.0 - (0.5 * z - (z * r - x * y));  // |x| < 0.3
  const double qx = ix > 0x3fe90000 ? 0.28125 : fromWords(ix - 0x00200000, 0);
  const double hz = 0.5 * z - qx;
  const double a = 1.0 - qx;
  return a - (hz - (z * r - x * y));
}

// x = n * pi/2 + (y0 + y1); answers n. Three-part Cody-Waite reduction,
// exact for |x| below 2^20 * pi/2; beyond that (no pixel maths goes there)
// the argument is first brought into one turn by fmod, which is exact but
// not the true remainder of the real pi.
int reducePiOver2(double x, double& y0, double& y1) {
  constexpr double invpio2 = 6.36619772367581382433e-01;
  constexpr double pio2_1 = 1.57079632673412561417e+00;
  constexpr double pio2_1t = 6.07710050650619224932e-11;
  constexpr double pio2_2 = 6.07710050630396597660e-11;
  constexpr double pio2_2t = 2.02226624879595063154e-21;
  constexpr double pio2_3 = 2.02226624871116645580e-21;
  constexpr double pio2_3t = 8.47842766036889956997e-32;
  if (std::fabs(x) > 1.6e6) x = std::fmod(x, 6.28318530717958647692);
  const double ax = std::fabs(x);
  const int n0 = int(ax * invpio2 + 0.5);
  const double fn = double(n0);
  // pio2_1t is pio2_2 + pio2_2t: the first tail is refined at once.
  static_cast<void>(pio2_1t);
  double r = ax - fn * pio2_1;
  double t = r;
  double w = fn * pio2_2;
  r = t - w;
  w = fn * pio2_2t - ((t - r) - w);
  t = r;
  w = fn * pio2_3;
  r = t - w;
  w = fn * pio2_3t - ((t - r) - w);
  y0 = r - w;
  y1 = (r - y0) - w;
  if (x < 0) {
    y0 = -y0;
    y1 = -y1;
    return -n0;
  }
  return n0;
}

// ---- arc tangent --------------------------------------------------------------------

constexpr double kAtanHi[] = {4.63647609000806093515e-01, 7.85398163397448278999e-01, 9.82793723247329054082e-01,
                              1.57079632679489655800e+00};
constexpr double kAtanLo[] = {2.26987774529616870924e-17, 3.06161699786838301793e-17, 1.39033110312309984516e-17,
                              6.12323399573676603587e-17};
constexpr double kAT[] = {3.33333333333329318027e-01,  -1.99999999998764832476e-01, 1.42857142725034663711e-01,
                          -1.11111104054623557880e-01, 9.09088713343650656196e-02,  -7.69187620504482999495e-02,
                          6.66107313738753120669e-02,  -5.83357013379057348645e-02, 4.97687799461593236017e-02,
                          -3.65315727442169155270e-02, 1.62858201153657823623e-02};

constexpr double kPi = 3.1415926535897931160E+00;
constexpr double kPiLo = 1.2246467991473531772E-16;

// sin(n * pi/2 + y) for the reduced argument y = y0 + y1.
double sinOfQuarters(double y0, double y1, int n) {
  switch (n & 3) {
    case 0:
      return kernelSin(y0, y1, 1);
    case 1:
      return kernelCos(y0, y1);
    case 2:
      return -kernelSin(y0, y1, 1);
    default:
      return -kernelCos(y0, y1);
  }
}

}  // namespace

double sin(double x) {
  const uint32_t ix = highWord(x) & 0x7fffffff;
  if (ix <= 0x3fe921fb) return kernelSin(x, 0.0, 0);  // |x| <= pi/4
  if (ix >= 0x7ff00000) return kNaN;
  double y0 = 0;
  double y1 = 0;
  const int n = reducePiOver2(x, y0, y1);
  return sinOfQuarters(y0, y1, n);
}

double cos(double x) {
  const uint32_t ix = highWord(x) & 0x7fffffff;
  if (ix <= 0x3fe921fb) return kernelCos(x, 0.0);
  if (ix >= 0x7ff00000) return kNaN;
  double y0 = 0;
  double y1 = 0;
  const int n = reducePiOver2(x, y0, y1);
  // cos x = sin(x + pi/2): one quarter turn further.
  return sinOfQuarters(y0, y1, n + 1);
}

namespace {

// tan(x + y) on |x| <= pi/4 (iy 1), or -1 / tan(x + y) (iy -1).
double kernelTan(double x, double y, int iy) {
  constexpr double T[] = {3.33333333333334091986e-01,  1.33333333333201242699e-01,  5.39682539762260521377e-02,
                          2.18694882948595424599e-02,  8.86323982359930005737e-03,  3.59207910759131235356e-03,
                          1.45620945432529025516e-03,  5.88041240820264096874e-04,  2.46463134818469906812e-04,
                          7.81794442939557092300e-05,  7.14072491382608190305e-05,  -1.85586374855275456654e-05,
                          2.59073051863633712884e-05};
  constexpr double pio4 = 7.85398163397448278999e-01;
  constexpr double pio4lo = 3.06161699786838301793e-17;
  const int32_t hx = int32_t(highWord(x));
  const uint32_t ix = uint32_t(hx) & 0x7fffffff;
  if (ix < 0x3e300000) {  // |x| < 2^-28
    if (iy == 1) return x;
    return -1.0 / (x + y);
  }
  const bool big = ix >= 0x3FE59428;  // |x| >= 0.6744
  if (big) {
    if (hx < 0) {
      x = -x;
      y = -y;
    }
    const double z = pio4 - x;
    const double w = pio4lo - y;
    x = z + w;
    y = 0.0;
  }
  double z = x * x;
  double w = z * z;
  double r = T[1] + w * (T[3] + w * (T[5] + w * (T[7] + w * (T[9] + w * T[11]))));
  double v = z * (T[2] + w * (T[4] + w * (T[6] + w * (T[8] + w * (T[10] + w * T[12])))));
  double s = z * x;
  r = y + z * (s * (r + v) + y);
  r += T[0] * s;
  w = x + r;
  if (big) {
    v = double(iy);
    return double(1 - ((hx >> 30) & 2)) * (v - 2.0 * (x - (w * w / (w + v) - r)));
  }
  if (iy == 1) return w;
  // -1 / (x + r), carried in two parts.
  z = fromWords(highWord(w), 0);
  v = r - (z - x);
  const double a = -1.0 / w;
  const double t = fromWords(highWord(a), 0);
  s = 1.0 + t * z;
  return t + a * (s + t * v);
}

}  // namespace

double tan(double x) {
  const uint32_t ix = highWord(x) & 0x7fffffff;
  if (ix <= 0x3fe921fb) return kernelTan(x, 0.0, 1);
  if (ix >= 0x7ff00000) return kNaN;
  double y0 = 0;
  double y1 = 0;
  const int n = reducePiOver2(x, y0, y1);
  return kernelTan(y0, y1, 1 - ((n & 1) << 1));
}

double atan(double x) {
  const uint32_t hx = highWord(x);
  const uint32_t ix = hx & 0x7fffffff;
  if (ix >= 0x44100000) {  // |x| >= 2^66
    if (ix > 0x7ff00000 || (ix == 0x7ff00000 && lowWord(x) != 0)) return x + x;  // NaN
    return (hx >> 31) != 0 ? -kAtanHi[3] - kAtanLo[3] : kAtanHi[3] + kAtanLo[3];
  }
  int id;
  if (ix < 0x3fdc0000) {           // |x| < 0.4375
    if (ix < 0x3e200000) return x;  // |x| < 2^-29
    id = -1;
  } else {
    x = std::fabs(x);
    if (ix < 0x3ff30000) {    // |x| < 1.1875
      if (ix < 0x3fe60000) {  // 7/16 <= |x| < 11/16
        id = 0;
        x = (2.0 * x - 1.0) / (2.0 + x);
      } else {
        id = 1;
        x = (x - 1.0) / (x + 1.0);
      }
    } else if (ix < 0x40038000) {  // |x| < 2.4375
      id = 2;
      x = (x - 1.5) / (1.0 + 1.5 * x);
    } else {
      id = 3;
      x = -1.0 / x;
    }
  }
  const double z = x * x;
  const double w = z * z;
  const double s1 = z * (kAT[0] + w * (kAT[2] + w * (kAT[4] + w * (kAT[6] + w * (kAT[8] + w * kAT[10])))));
  const double s2 = w * (kAT[1] + w * (kAT[3] + w * (kAT[5] + w * (kAT[7] + w * kAT[9]))));
  if (id < 0) return x - x * (s1 + s2);
  const double r = kAtanHi[id] - ((x * (s1 + s2) - kAtanLo[id]) - x);
  return (hx >> 31) != 0 ? -r : r;
}

double atan2(double y, double x) {
  if (std::isnan(x) || std::isnan(y)) return x + y;
  if (x == 1.0) return atan(y);
  const int m = (std::signbit(y) ? 1 : 0) | (std::signbit(x) ? 2 : 0);
  if (y == 0.0) {
    switch (m) {
      case 0:
      case 1:
        return y;
      case 2:
        return kPi;
      default:
        return -kPi;
    }
  }
  if (x == 0.0) return y < 0 ? -kPi / 2 - kPiLo / 2 : kPi / 2 + kPiLo / 2;
  if (std::isinf(x)) {
    if (std::isinf(y)) {
      switch (m) {
        case 0:
          return kPi / 4;
        case 1:
          return -kPi / 4;
        case 2:
          return 3.0 * kPi / 4;
        default:
          return -3.0 * kPi / 4;
      }
    }
    switch (m) {
      case 0:
        return 0.0;
      case 1:
        return -0.0;
      case 2:
        return kPi;
      default:
        return -kPi;
    }
  }
  if (std::isinf(y)) return y < 0 ? -kPi / 2 - kPiLo / 2 : kPi / 2 + kPiLo / 2;
  const int k = int((highWord(y) & 0x7ff00000) >> 20) - int((highWord(x) & 0x7ff00000) >> 20);
  double z;
  if (k > 60) {
    z = kPi / 2 + 0.5 * kPiLo;
  } else if ((m & 2) != 0 && k < -60) {
    z = 0.0;
  } else {
    z = atan(std::fabs(y / x));
  }
  switch (m) {
    case 0:
      return z;
    case 1:
      return -z;
    case 2:
      return kPi - (z - kPiLo);
    default:
      return (z - kPiLo) - kPi;
  }
}

double exp(double x) {
  constexpr double invLn2 = 1.44269504088896338700e+00;
  constexpr double P1 = 1.66666666666666019037e-01;
  constexpr double P2 = -2.77777777770155933842e-03;
  constexpr double P3 = 6.61375632143793436117e-05;
  constexpr double P4 = -1.65339022054652515390e-06;
  constexpr double P5 = 4.13813679705723846039e-08;
  constexpr double overflow = 7.09782712893383973096e+02;
  constexpr double underflow = -7.45133219101941108420e+02;
  if (std::isnan(x)) return x + x;
  if (x > overflow) return std::numeric_limits<double>::infinity();
  if (x < underflow) return 0.0;
  const uint32_t hx = highWord(x) & 0x7fffffff;
  const bool negative = x < 0;
  double hi = 0;
  double lo = 0;
  int k = 0;
  if (hx > 0x3fd62e42) {    // |x| > 0.5 ln2
    if (hx < 0x3FF0A2B2) {  // |x| < 1.5 ln2
      hi = negative ? x + ln2Hi : x - ln2Hi;
      lo = negative ? -ln2Lo : ln2Lo;
      k = negative ? -1 : 1;
    } else {
      k = int(invLn2 * x + (negative ? -0.5 : 0.5));
      const double t = double(k);
      hi = x - t * ln2Hi;
      lo = t * ln2Lo;
    }
    x = hi - lo;
  } else if (hx < 0x3e300000) {  // |x| < 2^-28
    return 1.0 + x;
  }
  const double t = x * x;
  const double c = x - t * (P1 + t * (P2 + t * (P3 + t * (P4 + t * P5))));
  if (k == 0) return 1.0 - ((x * c) / (c - 2.0) - x);
  const double y = 1.0 - ((lo - (x * c) / (2.0 - c)) - hi);
  return std::ldexp(y, k);
}

double log(double x) {
  if (std::isnan(x)) return x + x;
  if (x < 0) return kNaN;
  if (x == 0) return -std::numeric_limits<double>::infinity();
  if (std::isinf(x)) return x;
  int k = 0;
  int32_t hx = 0;
  const double f = splitExponent(x, k, hx) - 1.0;
  const double dk = double(k);
  if ((0x000fffff & (2 + hx)) < 3) {  // |f| < 2^-20
    if (f == 0.0) return k == 0 ? 0.0 : dk * ln2Hi + dk * ln2Lo;
    const double R = f * f * (0.5 - 0.33333333333333333 * f);
    if (k == 0) return f - R;
    return dk * ln2Hi - ((R - dk * ln2Lo) - f);
  }
  const double s = f / (2.0 + f);
  const double z = s * s;
  const double w = z * z;
  int32_t ii = hx - 0x6147a;
  const int32_t j = 0x6b851 - hx;
  const double t1 = w * (Lg2 + w * (Lg4 + w * Lg6));
  const double t2 = z * (Lg1 + w * (Lg3 + w * (Lg5 + w * Lg7)));
  ii |= j;
  const double R = t2 + t1;
  if (ii > 0) {
    const double hfsq = 0.5 * f * f;
    if (k == 0) return f - (hfsq - s * (hfsq + R));
    return dk * ln2Hi - ((hfsq - (s * (hfsq + R) + dk * ln2Lo)) - f);
  }
  if (k == 0) return f - s * (f - R);
  return dk * ln2Hi - ((s * (f - R) - dk * ln2Lo) - f);
}

namespace {

void twoProduct(double a, double b, double& hi, double& lo) { twoProductFree(a, b, hi, lo); }

inline void twoSum(double a, double b, double& s, double& e) {
  s = a + b;
  const double bb = s - a;
  e = (a - (s - bb)) + (b - bb);
}

// log(x) for x > 0 finite as hi + lo, good to well beyond double precision:
// x = 2^k m with m near 1, log(m) = 2s + s R(s^2) for s = (m - 1) / (m + 1),
// the leading 2s carried in two parts.
void logExtended(double x, double& hi, double& lo) {
  int k = 0;
  int32_t hx = 0;
  const double f = splitExponent(x, k, hx) - 1.0;  // exact
  double uh = 0;
  double ul = 0;
  twoSum(2.0, f, uh, ul);
  const double sh = f / uh;
  double p = 0;
  double pe = 0;
  twoProduct(sh, uh, p, pe);
  const double sl = (((f - p) - pe) - sh * ul) / uh;
  const double z = sh * sh;
  const double w = z * z;
  const double R = z * (Lg1 + w * (Lg3 + w * (Lg5 + w * Lg7))) + w * (Lg2 + w * (Lg4 + w * Lg6));
  const double dk = double(k);
  double a = 0;
  double ae = 0;
  twoSum(dk * ln2Hi, 2.0 * sh, a, ae);
  const double tail = ae + 2.0 * sl + sh * R + dk * ln2Lo;
  hi = a + tail;
  lo = tail - (hi - a);
}

}  // namespace

double pow(double x, double y) {
  if (y == 0.0) return 1.0;
  if (x == 1.0) return 1.0;
  if (std::isnan(x) || std::isnan(y)) return x + y;
  if (y == 1.0) return x;
  if (y == 2.0) return x * x;
  if (y == 0.5 && x >= 0.0 && !std::isinf(x)) return std::sqrt(x);
  // Integral y decides the sign of a negative base; other negative bases
  // have no real power.
  bool negate = false;
  if (x < 0.0) {
    if (std::floor(y) != y) return kNaN;
    negate = std::fmod(std::fabs(y), 2.0) == 1.0;
    x = -x;
  }
  double r;
  if (x == 0.0) {
    r = y < 0 ? std::numeric_limits<double>::infinity() : 0.0;
  } else if (std::isinf(x)) {
    r = y < 0 ? 0.0 : std::numeric_limits<double>::infinity();
  } else if (std::isinf(y)) {
    if (x == 1.0) return 1.0;
    r = (x > 1.0) == (y > 0) ? std::numeric_limits<double>::infinity() : 0.0;
  } else {
    double lh = 0;
    double ll = 0;
    logExtended(x, lh, ll);
    double ph = 0;
    double pl = 0;
    twoProduct(y, lh, ph, pl);
    pl += y * ll;
    const double e = exp(ph);
    r = e + e * pl;
  }
  return negate ? -r : r;
}

double hypot(double x, double y) {
  x = std::fabs(x);
  y = std::fabs(y);
  if (std::isinf(x) || std::isinf(y)) return std::numeric_limits<double>::infinity();
  if (std::isnan(x) || std::isnan(y)) return x + y;
  if (x < y) std::swap(x, y);
  if (x == 0.0) return 0.0;
  // Scaled by a power of two so that the squares neither overflow nor
  // underflow; the squares and the root carried in two parts.
  int e = 0;
  std::frexp(x, &e);
  x = std::ldexp(x, -e);
  y = std::ldexp(y, -e);
  double xh = 0;
  double xl = 0;
  double yh = 0;
  double yl = 0;
  twoProduct(x, x, xh, xl);
  twoProduct(y, y, yh, yl);
  double sh = 0;
  double se = 0;
  twoSum(xh, yh, sh, se);
  const double sl = se + xl + yl;
  const double r = std::sqrt(sh);
  double rh = 0;
  double rl = 0;
  twoProduct(r, r, rh, rl);
  const double corrected = r + (((sh - rh) - rl) + sl) / (2.0 * r);
  return std::ldexp(corrected, e);
}

float sin(float x) { return float(sin(double(x))); }
float cos(float x) { return float(cos(double(x))); }
float tan(float x) { return float(tan(double(x))); }
float atan(float x) { return float(atan(double(x))); }
float atan2(float y, float x) { return float(atan2(double(y), double(x))); }
float exp(float x) { return float(exp(double(x))); }
float log(float x) { return float(log(double(x))); }
float pow(float x, float y) { return float(pow(double(x), double(y))); }
float hypot(float x, float y) {
  // The double sum of squares of two floats is exact enough to round once.
  const double dx = x;
  const double dy = y;
  return float(std::sqrt(dx * dx + dy * dy));
}

}  // namespace pg::dmath
