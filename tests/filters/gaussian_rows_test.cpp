#include "filters/gaussian_rows.h"

#include <gtest/gtest.h>

#include <random>
#include <vector>

#include "filters/blur_filters.h"
#include "filters/filter_fixture.h"

namespace pg {
namespace {

using testing::FilterFixture;

// Checks the run's quotients against integer division over the pairs added
// so far, then starts a new batch.
struct SQuotientBatch {
  std::vector<uint32_t> n, d;
  void add(uint32_t num, uint32_t den) {
    n.push_back(num);
    d.push_back(den);
  }
  void check() {
    std::vector<uint32_t> q(n.size());
    gaussQuotients(n.data(), d.data(), q.data(), static_cast<int32_t>(n.size()));
    for (size_t i = 0; i < n.size(); ++i)
      if (q[i] != n[i] / d[i]) {
        ADD_FAILURE() << n[i] << " / " << d[i] << " gave " << q[i];
        break;  // one report a batch
      }
    n.clear();
    d.clear();
  }
};

// The alpha sums divide by the tap count (at most 71 taps): every numerator
// they can have. The colour sums divide by W (below 2^20) with quotients up
// to 255: every divisor at the quotients' ends and middle, and every
// quotient for the smaller divisors, each exactly at and just below a
// multiple, where a rounding fault would show.
// Every vector form in turn (a form the processor lacks falls back to the next).
class GaussianRows : public ::testing::TestWithParam<int> {
 protected:
  void SetUp() override { old_ = setGaussianVectorLevel(GetParam()); }
  void TearDown() override { setGaussianVectorLevel(old_); }

 private:
  int old_ = 2;
};

INSTANTIATE_TEST_SUITE_P(VectorLevels, GaussianRows, ::testing::Values(0, 1, 2));

TEST_P(GaussianRows, QuotientsEqualIntegerDivisionOverTheirRange) {
  SQuotientBatch batch;
  for (uint32_t d = 1; d <= 71; ++d) {
    for (uint32_t n = 0; n < 256 * d; ++n) batch.add(n, d);
    batch.check();
  }
  for (uint32_t d = 1; d < (1u << 20); ++d) {
    for (uint32_t q : {0u, 1u, 2u, 127u, 128u, 254u, 255u}) {
      batch.add(q * d, d);
      batch.add(q * d + d - 1, d);
      if (q > 0) batch.add(q * d - 1, d);
    }
    if (d < 4096)
      for (uint32_t q = 3; q < 256; ++q) {
        batch.add(q * d, d);
        batch.add(q * d - 1, d);
      }
    if (batch.n.size() > (1u << 20)) batch.check();
  }
  std::mt19937 rng(15);
  for (int i = 0; i < 1000000; ++i) {
    const uint32_t d = 1 + rng() % (1u << 20);
    batch.add(static_cast<uint32_t>((uint64_t{rng()} * (256u * d)) >> 32), d);
  }
  batch.check();
}

// The fast blur against the plain per-pixel one on larger layers than the
// blur tests use: wide rows run eight pixels at a time, transparent patches
// give columns and rows without weight, opaque layers and layers of one
// alpha take the path for taps of alike alphas, selections and protected
// alpha.
TEST_P(GaussianRows, BlurOfWideLayersEqualsThePlainLoop) {
  std::mt19937 rng(1515);
  for (int round = 0; round < 12; ++round) {
    const int32_t w = 8 + static_cast<int32_t>(rng() % 260), h = 1 + static_cast<int32_t>(rng() % 90);
    const float amount = 0.3f + static_cast<float>(rng() % 1000) / 95.0f;
    FilterFixture fast(w, h), ref(w, h);
    std::mt19937 fill(static_cast<uint32_t>(round));
    const int32_t clearFrom = static_cast<int32_t>(rng() % static_cast<uint32_t>(w));
    const auto pixel = [&](int32_t x, int32_t y) {
      const uint32_t p = static_cast<uint32_t>(fill());
      if (round % 2 == 0 && x >= clearFrom && x < clearFrom + 25) return p & 0x00FFFFFFu;  // a clear band
      if (round % 3 == 0) return p | 0xFF000000u;                                         // opaque
      if (round % 6 == 1) return (p & 0x00FFFFFFu) | (77u << 24);                         // one alpha, not opaque
      return y % 7 == 3 ? p & 0x00FFFFFFu : p;
    };
    fast.setPixels(pixel);
    fill.seed(static_cast<uint32_t>(round));
    ref.setPixels(pixel);
    if (round % 4 == 1) {
      fast.randomSelection(static_cast<uint32_t>(round));
      ref.randomSelection(static_cast<uint32_t>(round));
    }
    fast.protectAlpha = ref.protectAlpha = (round % 5 == 2);
    const int32_t l = static_cast<int32_t>(rng() % static_cast<uint32_t>(w));
    const int32_t t = static_cast<int32_t>(rng() % static_cast<uint32_t>(h));
    const TRect region = round % 2 == 0 ? TRect{0, 0, w, h}
                                        : TRect{l, t, l + 1 + static_cast<int32_t>(rng() % static_cast<uint32_t>(w - l)),
                                                t + 1 + static_cast<int32_t>(rng() % static_cast<uint32_t>(h - t))};
    ASSERT_TRUE(gaussianBlur(fast.context(region), amount));
    ASSERT_TRUE(gaussianBlurReference(ref.context(region), amount));
    ASSERT_TRUE(fast.sameLayer(ref)) << "round " << round << " amount " << amount;
  }
}

}  // namespace
}  // namespace pg
