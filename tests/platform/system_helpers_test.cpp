#include "platform/system_helpers.h"

#include <gtest/gtest.h>

namespace pg {
namespace {

TEST(SystemHelpers, ArrowKeyDelta) {
  struct Case {
    int32_t key, dx, dy;
  };
  for (const Case& c : {Case{37, -1, 0}, Case{38, 0, -1}, Case{39, 1, 0}, Case{40, 0, 1}}) {
    int32_t dx = 9, dy = 9;
    EXPECT_TRUE(arrowKeyDelta(c.key, &dx, &dy));
    EXPECT_EQ(dx, c.dx);
    EXPECT_EQ(dy, c.dy);
  }
  int32_t dx = 9, dy = 9;
  EXPECT_FALSE(arrowKeyDelta(36, &dx, &dy));  // Home
  EXPECT_EQ(dx, 9);
  EXPECT_EQ(dy, 9);
  EXPECT_TRUE(arrowKeyDelta(39, nullptr, nullptr));
}

TEST(SystemHelpers, ParseUInt) {
  struct Case {
    const char* text;
    bool ok;
    uint32_t value;
    size_t used;
  };
  const Case cases[] = {
      {"  42x", true, 42, 4},
      {"7", true, 7, 1},
      {"   ", false, 0, 3},
      {" x1", false, 0, 1},
      {"", false, 0, 0},
      {"4294967295", true, 4294967295u, 10},
      {"4294967296", true, 4294967295u, 10},  // past the range: stays at the largest value
      {"99999999999999999999 ", true, 4294967295u, 20},
      {"\t5", false, 0, 0},  // only spaces are blanks
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    uint32_t value = 123;
    size_t used = 99;
    EXPECT_EQ(parseUInt(c.text, value, used), c.ok);
    EXPECT_EQ(value, c.value);
    EXPECT_EQ(used, c.used);
  }
}

TEST(SystemHelpers, PathsAndText) {
  EXPECT_EQ(fileTitle("/home/a/picture.kci"), "picture");
  EXPECT_EQ(fileTitle("C:\\old\\brush.set.pmt"), "brush.set");
  EXPECT_EQ(fileTitle("noext"), "noext");
  EXPECT_EQ(fileTitle("dir.d/file"), "file");
  EXPECT_EQ(joinPath("/a/b", "c.txt"), "/a/b/c.txt");
  EXPECT_EQ(joinPath("/a/b/", "c.txt"), "/a/b/c.txt");
  EXPECT_EQ(joinPath("", "c.txt"), "c.txt");
  std::string_view text = "  \tx";
  EXPECT_EQ(skipBlanks(text), 2u);
  EXPECT_EQ(text, "\tx");
  EXPECT_EQ(charIndex("abc=d", '='), 3u);
  EXPECT_EQ(charIndex("abc", '='), 3u);
  EXPECT_EQ(charIndex(std::string_view("ab\0=", 4), '='), 2u);
  std::unique_ptr<uint8_t[]> p;
  ASSERT_TRUE(tryGetMem(p, 16));
  EXPECT_EQ(p[15], 0);
  EXPECT_FALSE(tryGetMem(p, SIZE_MAX / 2));
  EXPECT_FALSE(p);
}

}  // namespace
}  // namespace pg
