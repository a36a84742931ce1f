#include "core/map_dd.h"

#include <gtest/gtest.h>

namespace pg {
namespace {

TEST(MapDD, StoresLooksUpReplacesAndRemoves) {
  CMapDD map(10);
  uint32_t v = 0;
  EXPECT_FALSE(map.lookup(7, v));
  EXPECT_TRUE(map.setAt(7, 70));
  EXPECT_TRUE(map.setAt(0xFFFFFFFF, 1));
  EXPECT_TRUE(map.lookup(7, v));
  EXPECT_EQ(v, 70u);
  EXPECT_TRUE(map.setAt(7, 71));  // an existing key takes the new value
  EXPECT_TRUE(map.lookup(7, v));
  EXPECT_EQ(v, 71u);
  EXPECT_TRUE(map.removeKey(7));
  EXPECT_FALSE(map.lookup(7, v));
  EXPECT_TRUE(map.removeKey(7));  // already absent
  EXPECT_TRUE(map.lookup(0xFFFFFFFF, v));
  EXPECT_TRUE(map.removeAll());
  EXPECT_FALSE(map.lookup(0xFFFFFFFF, v));
  EXPECT_EQ(map.size(), 0u);
  EXPECT_EQ(map.lastResult(), 0);
}

TEST(MapDD, GrowsPastItsSizeHint) {
  CMapDD map(2);
  for (uint32_t k = 0; k < 1000; ++k) ASSERT_TRUE(map.setAt(k * 7919u, k));
  uint32_t v;
  ASSERT_TRUE(map.lookup(999 * 7919u, v));
  EXPECT_EQ(v, 999u);
  EXPECT_EQ(map.size(), 1000u);
}

}  // namespace
}  // namespace pg
