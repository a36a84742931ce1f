#include "document/undo_kinds.h"

#include <gtest/gtest.h>

namespace pg {
namespace {

TEST(UndoKinds, RowsHoldTheirKindAndClassByRange) {
  for (int k = 0; k < kUndoKindCount; ++k) {
    const SUndoKindInfo info = undoKindInfo(k);
    EXPECT_EQ(info.kind, k);
    UndoClass expected = UndoClass::PixelRegion;
    if (k >= 7 && k <= 15) expected = UndoClass::InPlace;
    if (k == 16) expected = UndoClass::AlphaBlock;
    if (k >= 17 && k <= 26) expected = UndoClass::Attribute;
    if (k >= 27 && k <= 52) expected = UndoClass::Structure;
    if (k >= 53) expected = UndoClass::MaskList;
    EXPECT_EQ(undoClassOf(k), expected) << "kind " << k;
  }
}

TEST(UndoKinds, OnlyRecordsWithImagesAreHeavy) {
  // Heavy by flag: the records that keep layer or mask images.
  for (int k = 0; k < kUndoKindCount; ++k) {
    const bool heavy = (undoFlagsOf(k) & kUndoFlagHeavy) != 0;
    const bool expected = k == 16 || (k >= 27 && k <= 30) || (k >= 32 && k <= 41) || k == 43 || k == 44 ||
                          (k >= 50 && k <= 56) || k == 62;
    EXPECT_EQ(heavy, expected) << "kind " << k;
  }
}

TEST(UndoKinds, DistinctiveRows) {
  const struct {
    int kind;
    uint16_t flags;
  } rows[] = {{16, 0x0030}, {22, 0x0E01}, {24, 0x01C0}, {25, 0x1040}, {35, 0x0193},
              {48, 0x0621}, {49, 0x0003}, {52, 0x0017}, {61, 0x0080}, {63, 0x1000}};
  for (const auto& r : rows) EXPECT_EQ(undoFlagsOf(r.kind), r.flags) << "kind " << r.kind;
}

TEST(UndoKinds, KindsOutsideTheTableHaveNoClass) {
  EXPECT_EQ(undoClassOf(-1), UndoClass::None);
  EXPECT_EQ(undoClassOf(64), UndoClass::None);
  EXPECT_EQ(undoFlagsOf(200), 0);
}

}  // namespace
}  // namespace pg
