#include "platform/clipboard.h"

#include <gtest/gtest.h>

#include "platform/desktop.h"

namespace pg {
namespace {

std::vector<uint8_t> bytes(std::string_view s) { return {s.begin(), s.end()}; }

TEST(MemoryClipboard, OwnershipDelayedRenderingAndReads) {
  CMemoryClipboard cb;
  IClipboard* previous = setClipboard(&cb);
  const std::string attr = privateClipboardFormat("pgLayerAttr");
  EXPECT_TRUE(clipboardEmpty(false));  // not ours yet
  ASSERT_TRUE(clipboardSetHandle(attr, bytes("abc")));
  EXPECT_FALSE(clipboardEmpty(false));  // ours: kept
  EXPECT_TRUE(clipboardHasFormat(attr));

  int renders = 0;
  ASSERT_TRUE(clipboardAnnounceFormat("image/bmp", [&] {
    ++renders;
    return std::optional<std::vector<uint8_t>>(bytes("BM.."));
  }));
  EXPECT_EQ(renders, 0);
  size_t seen = 0;
  EXPECT_TRUE(clipboardReadFormat("image/bmp", [&](const uint8_t*, size_t n) {
    seen = n;
    return true;
  }));
  EXPECT_TRUE(clipboardHasFormat("image/bmp"));
  EXPECT_EQ(renders, 1);
  EXPECT_EQ(seen, 4u);
  EXPECT_FALSE(clipboardReadFormat(attr, [](const uint8_t*, size_t) { return false; }));  // the reader's answer

  cb.releaseOwnership();
  EXPECT_FALSE(clipboardHasFormat(attr));
  EXPECT_TRUE(clipboardEmpty(false));
  setClipboard(previous);
}

TEST(HeadlessDesktop, NothingHeldAndTheCursorRemembered) {
  EXPECT_EQ(getModifierState(), 0u);
  EXPECT_FALSE(isKeyDown(kVkSpace));
  int32_t before = setWaitCursor();
  EXPECT_EQ(setSysCursor(before), kCursorWait);
  int32_t x, y, w, h;
  EXPECT_FALSE(currentDesktop().virtualScreen(x, y, w, h));
}

}  // namespace
}  // namespace pg
