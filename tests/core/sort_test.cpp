#include "core/sort.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <random>
#include <tuple>
#include <vector>

namespace pg {
namespace sort_test {

// A 12-byte record: the key, the record's original position and a filler,
// so that the sort moves records of a size that is not a power of two.
struct Rec {
  int32_t key;
  int32_t tag;
  int32_t filler;
};

int compareRecs(const void* a, const void* b) {
  const int32_t ka = static_cast<const Rec*>(a)->key;
  const int32_t kb = static_cast<const Rec*>(b)->key;
  return ka < kb ? -1 : (ka > kb ? 1 : 0);
}

std::vector<Rec> randomRecs(size_t n, int32_t keyRange, uint32_t seed) {
  std::mt19937 rng(seed);
  std::uniform_int_distribution<int32_t> key(-keyRange, keyRange);
  std::vector<Rec> v(n);
  for (size_t i = 0; i < n; ++i) v[i] = {key(rng), static_cast<int32_t>(i), ~static_cast<int32_t>(i)};
  return v;
}

TEST(SortRecords, MatchesStdSortOnSeededRandomRecords) {
  struct Case {
    size_t count;
    int32_t keyRange;  // small ranges give many equal keys
  };
  const Case cases[] = {{0, 10}, {1, 10},  {2, 10},       {3, 0},        {8, 100},     {9, 100},
                        {10, 3}, {17, 0},  {100, 1000},   {1000, 5},     {4096, 1 << 30}, {100000, 50},
                        {100000, 1 << 30}};
  uint32_t seed = 1;
  for (const Case& c : cases) {
    for (int round = 0; round < 3; ++round, ++seed) {
      SCOPED_TRACE(::testing::Message() << c.count << " records, keys +-" << c.keyRange << ", seed " << seed);
      std::vector<Rec> mine = randomRecs(c.count, c.keyRange, seed);
      std::vector<Rec> expected = mine;
      sortRecords(mine.data(), mine.size(), sizeof(Rec), compareRecs);
      // Not stable: compare the keys, and the records as a set.
      std::sort(expected.begin(), expected.end(), [](const Rec& a, const Rec& b) { return a.key < b.key; });
      for (size_t i = 0; i < c.count; ++i) ASSERT_EQ(mine[i].key, expected[i].key) << "at " << i;
      auto byKeyTag = [](const Rec& a, const Rec& b) { return std::tie(a.key, a.tag) < std::tie(b.key, b.tag); };
      std::sort(mine.begin(), mine.end(), byKeyTag);
      std::sort(expected.begin(), expected.end(), byKeyTag);
      for (size_t i = 0; i < c.count; ++i) {
        ASSERT_EQ(mine[i].tag, expected[i].tag);
        ASSERT_EQ(mine[i].filler, ~mine[i].tag);  // records moved whole
      }
    }
  }
}

TEST(SortRecords, SortedAndReversedInputs) {
  for (size_t n : {9u, 1000u, 65536u}) {
    std::vector<int32_t> up(n), down(n), same(n, 4);
    for (size_t i = 0; i < n; ++i) {
      up[i] = static_cast<int32_t>(i);
      down[i] = static_cast<int32_t>(n - i);
    }
    auto cmp = [](const void* a, const void* b) {
      int32_t x, y;
      std::memcpy(&x, a, 4);
      std::memcpy(&y, b, 4);
      return x < y ? -1 : (x > y ? 1 : 0);
    };
    for (std::vector<int32_t>* v : {&up, &down, &same}) {
      sortRecords(v->data(), v->size(), 4, cmp);
      EXPECT_TRUE(std::is_sorted(v->begin(), v->end())) << n;
    }
  }
}

// Eight records are sorted by selection alone (n(n-1)/2 compares, the first
// against record 0); from nine on the middle record is first made the pivot.
TEST(SortRecords, EightRecordsSelectNineRecordsPartition) {
  struct Case {
    size_t count;
    int32_t firstPivotTag;
  };
  const Case cases[] = {{8, 0}, {9, 4}, {10, 5}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.count);
    std::vector<Rec> v = randomRecs(c.count, 1000, 77);
    std::vector<std::pair<int32_t, int32_t>> calls;  // tags of (a, b) per compare
    sortRecords(v.data(), v.size(), sizeof(Rec), [&](const void* a, const void* b) {
      calls.emplace_back(static_cast<const Rec*>(a)->tag, static_cast<const Rec*>(b)->tag);
      return compareRecs(a, b);
    });
    ASSERT_FALSE(calls.empty());
    EXPECT_EQ(calls[0].second, c.firstPivotTag);
    if (c.count == 8) {
      EXPECT_EQ(calls.size(), 28u);
    }
    EXPECT_TRUE(std::is_sorted(v.begin(), v.end(), [](const Rec& a, const Rec& b) { return a.key < b.key; }));
  }
}

TEST(SortRecords, SmallSortKeepsTheFirstOfEqualMaxima) {
  // Selection of the largest keeps the first among equals, so it goes last.
  Rec v[3] = {{5, 0, 0}, {5, 1, 0}, {1, 2, 0}};
  sortRecords(v, 3, sizeof(Rec), compareRecs);
  EXPECT_EQ(v[0].tag, 2);
  EXPECT_EQ(v[1].tag, 1);
  EXPECT_EQ(v[2].tag, 0);
}

TEST(SortRecords, NothingForFewRecordsOrZeroSize) {
  int32_t v[2] = {3, 1};
  int calls = 0;
  auto cmp = [&](const void*, const void*) { return ++calls, 1; };
  sortRecords(v, 1, 4, cmp);
  sortRecords(v, 2, 0, cmp);
  EXPECT_EQ(calls, 0);
  EXPECT_EQ(v[0], 3);

  uint8_t a[3] = {1, 2, 3}, b[3] = {4, 5, 6};
  swapRecords(a, b, 3);
  EXPECT_EQ(a[0], 4);
  EXPECT_EQ(b[2], 3);
  swapRecords(a, a, 3);
  EXPECT_EQ(a[1], 5);
}

}  // namespace sort_test
}  // namespace pg
