#include "document/paper_color.h"

#include <gtest/gtest.h>

namespace pg {
namespace {

// A colour crosses into the document from three orders and leaves in two;
// each crossing must land on the same pixel-order value.
TEST(PaperColor, EveryBoundaryMeetsTheSamePixelValue) {
  struct Case {
    const char* what;
    PaperColor colour;
  };
  // Red 0x12, green 0x34, blue 0x56.
  const Case cases[] = {
      {"pixel order (event packet, native file, version 1.1 file)", PaperColor::fromPixel(0x00123456u)},
      {"colour value (red in the low byte)", PaperColor::fromColor(0x00563412u)},
      {"RGB triple", PaperColor::fromRgb(0x12, 0x34, 0x56)},
      {"top byte is not colour", PaperColor::fromPixel(0xFF123456u)},
      {"top byte of a colour value", PaperColor::fromColor(0x80563412u)},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(c.colour.pixel(), 0x00123456u) << c.what;
    EXPECT_EQ(c.colour.color(), 0x00563412u) << c.what;
    EXPECT_EQ(c.colour.red(), 0x12) << c.what;
    EXPECT_EQ(c.colour.green(), 0x34) << c.what;
    EXPECT_EQ(c.colour.blue(), 0x56) << c.what;
  }
}

TEST(PaperColor, StartsWhite) {
  PaperColor c;
  EXPECT_TRUE(c.isWhite());
  EXPECT_EQ(c.pixel(), 0x00FFFFFFu);
  EXPECT_FALSE(PaperColor::fromRgb(255, 255, 254).isWhite());
}

TEST(PaperColor, RoundTripsThroughBothOrders) {
  for (uint32_t v : {0x00000000u, 0x00FF0000u, 0x0000FF00u, 0x000000FFu, 0x00ABCDEFu}) {
    EXPECT_EQ(PaperColor::fromPixel(v).pixel(), v);
    EXPECT_EQ(PaperColor::fromColor(v).color(), v);
    EXPECT_EQ(PaperColor::fromColor(PaperColor::fromPixel(v).color()).pixel(), v);
  }
}

}  // namespace
}  // namespace pg
