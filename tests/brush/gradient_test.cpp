#include "brush/gradient.h"

#include <gtest/gtest.h>

namespace pg {
namespace {

TEST(ColorSlotGroup, BlackToWhiteHalfwayIsGrey7F) {
  CColorSlotGroup g;
  g.putColor(0, 0xFF000000u, 255, 0x10000);
  g.putColor(1, 0xFFFFFFFFu, 255, 0x10000);
  ASSERT_TRUE(g.normalize());
  EXPECT_EQ(g.colorAt(0x8000), 0xFF7F7F7Fu);
}

}  // namespace
}  // namespace pg
