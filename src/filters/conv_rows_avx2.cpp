// The convolution runs built for AVX2, used where the processor has it: the
// same lane text as the portable form, eight pixels to one register.
#include <cstdint>
#include <cstring>

#include "filters/conv_rows.h"

#if defined(__x86_64__) && defined(__GNUC__) && !defined(__clang__)

#pragma GCC diagnostic ignored "-Wpsabi"
#pragma GCC push_options
#pragma GCC target("avx2")

namespace pg {
namespace {
#include "filters/conv_rows_lanes.inc"
}  // namespace

int32_t weightedRunAvx2(const SConvWeighted& c, const uint32_t* centre, int32_t n, uint32_t* out) {
  if (!__builtin_cpu_supports("avx2") || !weightedFitsLanes(c)) return 0;
  return weightedLanes(c, centre, n, out);
}

int32_t plainRunAvx2(const SConvPlain& c, const uint32_t* centre, int32_t n, uint32_t* out) {
  if (!__builtin_cpu_supports("avx2") || !plainFitsLanes(c)) return 0;
  return plainLanes(c, centre, n, out);
}

}  // namespace pg

#pragma GCC pop_options

#else

namespace pg {
int32_t weightedRunAvx2(const SConvWeighted&, const uint32_t*, int32_t, uint32_t*) { return 0; }
int32_t plainRunAvx2(const SConvPlain&, const uint32_t*, int32_t, uint32_t*) { return 0; }
}  // namespace pg

#endif
