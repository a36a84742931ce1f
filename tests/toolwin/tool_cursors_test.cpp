#include "toolwin/tool_cursors.h"

#include <gtest/gtest.h>

namespace pg {
namespace {

TEST(ToolCursors, TablesAsStored) {
  const std::array<uint8_t, kPenSlotCount> pen0 = {12, 13, 14, 15, 16, 16, 17, 19, 20,
                                                   12, 13, 14, 15, 16, 17, 18, 19, 20};
  EXPECT_EQ(penCursorRow(0), pen0);
  for (uint8_t n : penCursorRow(1)) EXPECT_EQ(n, 34);
  const std::array<uint8_t, kToolIdCount> other0 = {5,  5,  5,  5,  5,  5,  5,  5,  5,  5,  5,  5,  21, 13, 5,  5,  5,
                                                    5,  5,  5,  22, 26, 26, 26, 26, 27, 27, 5,  28, 31, 31, 32, 33};
  const std::array<uint8_t, kToolIdCount> other1 = {34, 34, 34, 34, 34, 34, 5,  34, 34, 34, 34, 34, 34, 34, 34, 34, 34,
                                                    34, 34, 34, 34, 26, 26, 26, 26, 27, 27, 34, 34, 31, 31, 32, 33};
  EXPECT_EQ(otherCursorRow(0), other0);
  EXPECT_EQ(otherCursorRow(1), other1);
}

TEST(ToolCursors, PreferencesChooseTheRows) {
  struct {
    SCursorPrefs prefs;
    bool fromFile;
    int32_t pen9, bucket, sizeDrag;
  } cases[] = {
      {{0, 0, ""}, false, 12, 21, 5},
      {{1, 0, "pen.cur"}, false, 34, 21, 5},   // the cross-hair wins over a file
      {{0, 0, "pen.cur"}, true, kCursorFromFile, 21, 5},
      {{2, 1, ""}, false, 12, 34, 5},          // only 1 chooses the second row
      {{0, 1, "x"}, true, kCursorFromFile, 34, 5},
  };
  for (const auto& c : cases) {
    CToolCursorRows rows;
    EXPECT_EQ(rows.apply(c.prefs), c.fromFile);
    EXPECT_EQ(rows.penCursor(static_cast<PenSlot>(9)), c.pen9);
    EXPECT_EQ(rows.toolCursor(ToolId::BucketFill), c.bucket);
    EXPECT_EQ(rows.toolCursor(ToolId::BrushSizeDrag), c.sizeDrag);
  }
}

TEST(ToolCursors, ChoicesToScreenCursors) {
  CToolCursorRows rows;
  struct {
    SCursorChoice choice;
    int32_t number;
  } cases[] = {
      {{CursorKind::Custom, 7}, 7},
      {{CursorKind::Tool, byteOf(ToolId::Eyedropper)}, 28},
      {{CursorKind::Tool, byteOf(ToolId::ZoomOut)}, 33},
      {{CursorKind::Tool, 128 + byteOf(ToolId::ZoomIn)}, 32},  // the top bit is a flag
      {{CursorKind::Tool, 40}, kArrowCursor},                  // past the table
      {{CursorKind::PenSlot, 17}, 20},
      {{CursorKind::PenSlot, 18}, kArrowCursor},
      {{CursorKind::Hidden, 0}, kNoScreenCursor},
  };
  for (const auto& c : cases)
    EXPECT_EQ(rows.screenCursorOf(c.choice), c.number) << int(c.choice.kind) << " " << c.choice.number;
}

}  // namespace
}  // namespace pg
