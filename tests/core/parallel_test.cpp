#include "core/parallel.h"

#include <gtest/gtest.h>

#include <atomic>
#include <stdexcept>
#include <vector>

namespace pg {
namespace {

class Parallel : public ::testing::TestWithParam<int> {
 protected:
  void SetUp() override { old_ = setParallelWorkers(GetParam()); }
  void TearDown() override { setParallelWorkers(old_); }
  int old_ = 0;
};

TEST_P(Parallel, EveryItemRunsExactlyOnce) {
  for (int64_t count : {0, 1, 3, 1000}) {
    std::vector<std::atomic<int>> calls(static_cast<size_t>(count));
    std::atomic<bool> workerInRange{true};
    ASSERT_TRUE(parallelFor(count, [&](int64_t i, int worker) {
      ++calls[static_cast<size_t>(i)];
      if (worker < 0 || worker >= parallelWorkers()) workerInRange = false;
    }));
    EXPECT_TRUE(workerInRange.load());
    for (int64_t i = 0; i < count; ++i) EXPECT_EQ(calls[static_cast<size_t>(i)].load(), 1) << count << ":" << i;
  }
}

TEST_P(Parallel, AnItemThatThrowsMakesTheRunFail) {
  std::atomic<int> ran{0};
  EXPECT_FALSE(parallelFor(64, [&](int64_t i, int) {
    ++ran;
    if (i == 5) throw std::runtime_error("item failed");
  }));
  EXPECT_GE(ran.load(), 1);
  EXPECT_LE(ran.load(), 64);
}

INSTANTIATE_TEST_SUITE_P(Workers, Parallel, ::testing::Values(1, 4));

}  // namespace
}  // namespace pg
