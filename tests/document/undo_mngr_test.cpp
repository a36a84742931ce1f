// The undo lists and their limits.
#include <gtest/gtest.h>

#include "doc_fixture.h"

namespace pg::test {
namespace {

struct LimitFixture : DocFixture {
  explicit LimitFixture(int32_t undoMax = 8) : DocFixture(undoMax) {
    recorder->recording = false;
    addLayer(0, 1);
  }
  CUndoMngrEx& undo() { return *doc->undoMngr(); }
  bool stroke() { return doc->storeRectUndo(0, SRectXYWH{0, 0, 8, 8}, kUndoStroke); }
  bool attribute(int32_t v) { return doc->storeAttrUndo(layer(0), v, kUndoOpacity, 0); }
  int32_t heavy() { return CUndoMngrEx::heavyCount(undo().undoList()); }
};

TEST(UndoLimits, EightStrokesAreKeptOfNine) {
  LimitFixture f;
  for (int i = 0; i < 9; ++i) ASSERT_TRUE(f.stroke());
  EXPECT_EQ(f.undo().undoCount(), 8);
  EXPECT_EQ(f.heavy(), 8);
}

TEST(UndoLimits, LightRecordsDoNotCountUpToTheExtraAllowance) {
  LimitFixture f;
  for (int i = 0; i < 9; ++i) ASSERT_TRUE(f.attribute(i));
  EXPECT_EQ(f.undo().undoCount(), 9);
  for (int i = 0; i < 40; ++i) ASSERT_TRUE(f.attribute(i));
  EXPECT_EQ(f.undo().undoCount(), 40);  // undoMax 8 + extra 32
  EXPECT_EQ(f.heavy(), 0);
}

TEST(UndoLimits, ALightRecordDoesNotPushAHeavyOneOut) {
  LimitFixture f;
  for (int i = 0; i < 8; ++i) ASSERT_TRUE(f.stroke());
  ASSERT_TRUE(f.attribute(3));
  EXPECT_EQ(f.undo().undoCount(), 9);
  EXPECT_EQ(f.heavy(), 8);
  ASSERT_TRUE(f.stroke());  // the ninth heavy record drops the oldest
  EXPECT_EQ(f.heavy(), 8);
}

TEST(UndoLimits, SetLimitsZeroEmptiesBothListsAndDisablesRecording) {
  LimitFixture f;
  for (int i = 0; i < 3; ++i) ASSERT_TRUE(f.stroke());
  ASSERT_TRUE(f.attribute(1));
  int32_t index = 0;
  TRect rect{};
  ASSERT_TRUE(f.doc->undo(*f.flow, index, rect));
  EXPECT_TRUE(f.undo().setLimits(UndoLimit{0}, RedoLimit{5}));
  EXPECT_EQ(f.undo().undoCount(), 0);
  EXPECT_EQ(f.undo().redoCount(), 0);
  EXPECT_EQ(f.undo().redoMax(), 0);
  EXPECT_FALSE(f.undo().undoEnabled());
  EXPECT_FALSE(f.stroke());
  EXPECT_FALSE(f.attribute(2));
  EXPECT_FALSE(f.doc->undoAvailable());
}

TEST(UndoLimits, SetLimitsThreeKeepsTheNewestThreeHeavyRecords) {
  LimitFixture f;
  std::vector<const CUndoData*> strokes;
  for (int i = 0; i < 5; ++i) {
    ASSERT_TRUE(f.stroke());
    strokes.push_back(f.undo().peekUndo());
    ASSERT_TRUE(f.attribute(i));
  }
  EXPECT_TRUE(f.undo().setLimits(UndoLimit{3}, RedoLimit{3}));
  EXPECT_EQ(f.heavy(), 3);
  const CUndoList& list = f.undo().undoList();
  std::vector<const CUndoData*> kept;
  for (int32_t i = 0; i < list.count(); ++i)
    if (list.at(i)->isHeavy()) kept.push_back(list.at(i));
  EXPECT_EQ(kept, (std::vector<const CUndoData*>{strokes[4], strokes[3], strokes[2]}));
  EXPECT_FALSE(f.undo().setLimits(UndoLimit{3}, RedoLimit{3}));  // nothing changes
}

TEST(UndoLimits, RedoNeverExceedsUndo) {
  LimitFixture f;
  f.undo().setLimits(UndoLimit{3}, RedoLimit{10});
  EXPECT_EQ(f.undo().undoMax(), 3);
  EXPECT_EQ(f.undo().redoMax(), 3);
}

TEST(UndoLimits, AListWithoutRoomRefusesAndTheCallerKeepsTheRecord) {
  LimitFixture f;
  f.undo().setLimits(UndoLimit{0}, RedoLimit{0});
  auto rec = CUndoData::make(kUndoDeleteLayer);
  rec->kept.layer = std::make_unique<CLayerData>();
  EXPECT_FALSE(f.undo().pushUndo(rec));
  ASSERT_NE(rec, nullptr);
  EXPECT_NE(rec->kept.layer, nullptr);
  EXPECT_FALSE(f.undo().pushRedo(rec));
  EXPECT_FALSE(f.doc->pushUndo(rec));
  EXPECT_NE(rec, nullptr);
}

// The plain manager a layer owns: a full list drops its oldest record.
TEST(UndoLimits, ThePlainManagerKeepsItsLimit) {
  CUndoMngr m(UndoLimit{8}, RedoLimit{8});
  CBlockVMTC image(64, 64);
  for (int i = 0; i < 12; ++i) ASSERT_TRUE(m.record(0, 1, SRectXYWH{0, 0, 5, 5}, image));
  EXPECT_EQ(m.undoCount(), 8);
  CUndoMngr off(UndoLimit{0}, RedoLimit{0});
  EXPECT_FALSE(off.record(0, 1, SRectXYWH{0, 0, 5, 5}, image));
}

TEST(UndoHistory, ARenameMovesTheSameRecordBetweenTheLists) {
  LimitFixture f;
  CLayerData& l = *f.layer(0);
  l.name = "old";
  ASSERT_TRUE(f.undo().recordLayerName(l, "new"));
  l.name = "new";
  const CUndoData* rec = f.undo().peekUndo();
  int32_t index = 0;
  TRect rect{};
  ASSERT_TRUE(f.doc->undo(*f.flow, index, rect));
  EXPECT_EQ(l.name, "old");
  EXPECT_EQ(f.undo().peekRedo(), rec);
  EXPECT_TRUE(rec->redoSide);
  ASSERT_TRUE(f.doc->redo(*f.flow, index, rect));
  EXPECT_EQ(l.name, "new");
  EXPECT_EQ(f.undo().peekUndo(), rec);
  EXPECT_FALSE(rec->redoSide);
  ASSERT_TRUE(f.doc->undo(*f.flow, index, rect));
  EXPECT_EQ(l.name, "old");
}

TEST(UndoHistory, ANewRecordAfterAnUndoClearsTheRedoList) {
  LimitFixture f;
  ASSERT_TRUE(f.stroke());
  ASSERT_TRUE(f.attribute(7));
  int32_t index = 0;
  TRect rect{};
  ASSERT_TRUE(f.doc->undo(*f.flow, index, rect));
  ASSERT_EQ(f.undo().redoCount(), 1);
  ASSERT_TRUE(f.attribute(9));
  EXPECT_EQ(f.undo().redoCount(), 0);
}

TEST(UndoHistory, APixelRecordIsTileAlignedAndRestoresExactPixels) {
  LimitFixture f;
  CLayerData& l = *f.layer(0);  // 40 x 30: the last tile column and row are clipped
  const uint64_t before = imageHash(*l.image);
  const SRectXYWH r{35, 20, 5, 10};
  ASSERT_TRUE(f.doc->storeRectUndo(0, r, kUndoStroke));
  EXPECT_EQ(f.undo().peekUndo()->rect, (SRectXYWH{32, 0, 32, 32}));
  EXPECT_TRUE(l.image->fillRGBRect(r, 0x00102030));
  const uint64_t after = imageHash(*l.image);
  int32_t index = 0;
  TRect rect{};
  ASSERT_TRUE(f.doc->undo(*f.flow, index, rect));
  EXPECT_EQ(imageHash(*l.image), before);
  EXPECT_EQ(rect, (TRect{32, 0, 64, 32}));
  ASSERT_TRUE(f.doc->redo(*f.flow, index, rect));
  EXPECT_EQ(imageHash(*l.image), after);
  ASSERT_TRUE(f.doc->undo(*f.flow, index, rect));
  EXPECT_EQ(imageHash(*l.image), before);
}

TEST(UndoHistory, ARectangleOffTheImageRecordsNothing) {
  LimitFixture f;
  EXPECT_FALSE(f.doc->storeRectUndo(0, SRectXYWH{100, 100, 5, 5}, kUndoStroke));
  EXPECT_EQ(f.undo().undoCount(), 0);
}

TEST(UndoHistory, CopyingAManagerCopiesDataRecordsOnly) {
  CUndoMngr a(UndoLimit{8}, RedoLimit{8});
  CBlockVMTC image(64, 64);
  EXPECT_TRUE(image.setPixel(3, 3, 0xFF112233));
  ASSERT_TRUE(a.record(0, 7, SRectXYWH{0, 0, 8, 8}, image));
  CUndoMngr b(UndoLimit{2}, RedoLimit{2});
  ASSERT_TRUE(b.assign(a));
  EXPECT_EQ(b.undoMax(), 8);
  ASSERT_EQ(b.undoCount(), 1);
  EXPECT_NE(b.peekUndo(), a.peekUndo());
  EXPECT_NE(b.peekUndo()->pixels.get(), a.peekUndo()->pixels.get());  // its own copy
  EXPECT_EQ(b.peekUndo()->pixels->getPixel(3, 3), 0xFF112233u);

  // A record that keeps an object has no copy: the copy fails and is empty.
  LimitFixture f;
  auto rec = CUndoData::make(kUndoDeleteLayer);
  rec->kept.layer = std::make_unique<CLayerData>();
  rec->value1 = 0;
  ASSERT_TRUE(f.doc->pushUndo(rec));
  CUndoMngr c(UndoLimit{8}, RedoLimit{8});
  EXPECT_FALSE(c.assign(*f.doc->undoMngr()));
  EXPECT_EQ(c.undoCount(), 0);
}

TEST(UndoHistory, RecordsMoveButNeverCopy) {
  static_assert(!std::is_copy_constructible_v<CUndoData>);
  static_assert(std::is_nothrow_move_constructible_v<CUndoData>);
  CUndoData a;
  a.block = {1, 2, 3};
  a.name1 = "x";
  a.kept.layer = std::make_unique<CLayerData>();
  CLayerData* owned = a.kept.layer.get();
  CUndoData b(std::move(a));
  EXPECT_EQ(b.kept.layer.get(), owned);
  EXPECT_EQ(a.kept.layer, nullptr);
  EXPECT_EQ(b.block, (std::vector<uint8_t>{1, 2, 3}));
}

TEST(UndoHistory, TheLayersOwnUndoStoresAndRestoresPixels) {
  installLayerOwnUndo();
  CLayerData l(0, true);
  ASSERT_TRUE(l.createImage(40, 40, 3));
  ASSERT_TRUE(l.hasOwnUndo());
  const uint64_t before = imageHash(*l.image);
  ASSERT_TRUE(l.recordOwnUndo(TRect{0, 0, 10, 10}));
  EXPECT_TRUE(l.image->fillRGBRect(SRectXYWH{0, 0, 10, 10}, 0x00445566));
  TRect r{};
  ASSERT_TRUE(l.undoOwn(nullptr, r));
  EXPECT_EQ(imageHash(*l.image), before);
  EXPECT_TRUE(l.canRedoOwn());
}

}  // namespace
}  // namespace pg::test

namespace pg::test {
namespace {

// Tiles that cannot be had while undoing: the record stays, the image too.
TEST(UndoHistory, AnUndoWithoutMemoryKeepsTheRecordAndThePixels) {
  CUndoMngr m(UndoLimit{8}, RedoLimit{8});
  CBlockVMTC image(64, 64);
  EXPECT_TRUE(image.setPixel(1, 1, 0xFF0000FF));
  ASSERT_TRUE(m.record(0, 1, SRectXYWH{0, 0, 10, 10}, image));
  EXPECT_TRUE(image.setPixel(1, 1, 0xFF00FF00));
  SRectXYWH r{};
  tilePool().setFailAfter(0);
  const bool undone = m.undo(image, r);
  tilePool().setFailAfter(-1);
  EXPECT_FALSE(undone);
  EXPECT_EQ(m.undoCount(), 1);
  EXPECT_EQ(image.getPixel(1, 1), 0xFF00FF00u);
  ASSERT_TRUE(m.undo(image, r));
  EXPECT_EQ(image.getPixel(1, 1), 0xFF0000FFu);
  EXPECT_EQ(m.redoCount(), 1);
}

}  // namespace
}  // namespace pg::test
