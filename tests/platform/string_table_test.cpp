#include <gtest/gtest.h>

#include "platform/string_table.h"

namespace pg {
namespace {

TEST(StringTable, OverridesParseEscapesAndSkipMalformedLines) {
  resetResStrings();
  int taken = overrideResStrings(
      "# comment\n"
      "900001\tline\\none\\ttab \\\\ back\r\n"
      "\n"
      "notanumber\tx\n"
      "900002 no tab\n"
      "900003\t\n");
  EXPECT_EQ(taken, 2);
  EXPECT_EQ(resString(900001), "line\none\ttab \\ back");
  EXPECT_TRUE(hasResString(900003));
  EXPECT_EQ(resString(900003), "");
  EXPECT_FALSE(hasResString(900002));
  EXPECT_EQ(resString(123456789), "");
  resetResStrings();
  EXPECT_FALSE(hasResString(900001));
}

}  // namespace
}  // namespace pg
