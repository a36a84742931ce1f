#include "io/pen_shape_file.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "core/planes.h"
#include "io/preset_fixture.h"
#include "io/preset_pen_shapes.h"
#include "io/thumbnail_chunk.h"
#include "platform/message_service.h"
#include "test_support/temp_folder.h"

namespace pg {
namespace {

using testing::Bytes;
using testing::ByteWriter;
using testing::cat;
using testing::FakePresetPrefs;
using testing::le16;
using testing::le32;
using testing::TempFolder;

Bytes psst(uint8_t version, uint16_t count, uint16_t current = 0) {
  return ByteWriter().tag("PSST").u32(24).u8(version).u8(0).u16(0).u16(count).u16(current).zeros(16).bytes;
}

// A "PSHP" chunk of a parametric nib of the given size, or of another kind,
// name length or version.
Bytes pshp(uint16_t size, uint16_t kind = 0, std::string_view name = "", int32_t nameLength = -1,
           uint16_t version = 1) {
  const size_t padded = (name.size() + 3) & ~size_t{3};
  ByteWriter w;
  w.tag("PSHP").u32(uint32_t(120 + padded));
  Bytes rec(120, 0);
  const uint16_t length = nameLength >= 0 ? uint16_t(nameLength) : uint16_t(name.size());
  rec[0] = uint8_t(kind);
  rec[2] = uint8_t(length);
  rec[3] = uint8_t(length >> 8);
  rec[4] = uint8_t(version);
  rec[16] = 3;
  rec[40] = uint8_t(size);
  rec[41] = uint8_t(size >> 8);
  rec[44] = 0xE8;  // aspect 1000
  rec[45] = 0x03;
  w.raw(rec).text(name).zeros(padded - name.size());
  return w.bytes;
}

std::unique_ptr<CPenShapeObj> imageNib(int32_t w, int32_t h) {
  TChannel plane(w, h);
  for (int32_t y = 0; y < h; ++y)
    for (int32_t x = 0; x < w; ++x) *plane.pixelAt(x, y) = uint8_t(x * 7 + y * 13);
  auto nib = std::make_unique<CPenShapeObj>();
  EXPECT_TRUE(nib->setImage(plane, true));
  return nib;
}

using PenShapeFileTest = testing::PresetFileTest;

TEST_F(PenShapeFileTest, BuiltInsRoundTripWithTheCurrentIndex) {
  CPenShapeMngr saved;
  EXPECT_EQ(saved.addDefaults(), kBuiltinPenShapeCount);
  EXPECT_EQ(saved.currentIndex(), 0);
  saved.select(3);
  const std::string path = dir.file("nibs.psh");
  ASSERT_EQ(savePenShapeFile(path, saved), kRcOk);
  EXPECT_EQ(saved.fileName(), path);
  EXPECT_FALSE(saved.modified());

  CPenShapeMngr loaded;
  ASSERT_EQ(loadPenShapeFile(path, loaded, false), kRcOk);
  ASSERT_EQ(loaded.count(), kBuiltinPenShapeCount);
  for (int32_t i = 0; i < kBuiltinPenShapeCount; ++i) {
    SCOPED_TRACE(i);
    EXPECT_EQ(loaded.getItem(i)->params(), builtinPenShape(i));
    EXPECT_FALSE(loaded.getItem(i)->isImageNib());
  }
  EXPECT_EQ(loaded.currentIndex(), 3);
  EXPECT_EQ(loaded.fileName(), path);
  EXPECT_FALSE(loaded.modified());
}

TEST_F(PenShapeFileTest, RecordLayout) {
  CPenShapeMngr list;
  ASSERT_GE(list.addFromRecord(builtinPenShape(1)), 0);
  const std::string path = dir.file("one.psh");
  ASSERT_EQ(savePenShapeFile(path, list), kRcOk);
  const Bytes b = testing::readFile(path);
  ASSERT_EQ(b.size(), 32u + 8 + 120);
  EXPECT_EQ(le32(b, 4), 24u);
  EXPECT_EQ(b[8], 1);
  EXPECT_EQ(le16(b, 12), 1);
  EXPECT_EQ(le32(b, 36), 120u);  // the chunk's size
  const size_t r = 40;           // the record
  EXPECT_EQ(le16(b, r + 0), 0);
  EXPECT_EQ(le16(b, r + 4), 1);
  EXPECT_EQ(le16(b, r + 16), 3);
  EXPECT_EQ(le16(b, r + 20), 1000);
  EXPECT_EQ(le16(b, r + 40), 1600);
  EXPECT_EQ(le16(b, r + 42), 333);
  EXPECT_EQ(le16(b, r + 44), 1000);
}

TEST_F(PenShapeFileTest, ImageNibsKeepTheirPictureAndScale) {
  CPenShapeMngr saved;
  auto nib = imageNib(64, 16);
  EXPECT_EQ(nib->scaleMin(), 25);
  EXPECT_EQ(nib->scaleMax(), 500);
  EXPECT_TRUE(nib->setScale(150));
  ASSERT_GE(saved.add(std::move(nib)), 0);
  ASSERT_GE(saved.addFromRecord(builtinPenShape(0)), 0);
  const std::string path = dir.file("image.psh");
  ASSERT_EQ(savePenShapeFile(path, saved), kRcOk);

  CPenShapeMngr loaded;
  ASSERT_EQ(loadPenShapeFile(path, loaded, false), kRcOk);
  ASSERT_EQ(loaded.count(), 2);
  const CPenShapeObj& got = *loaded.getItem(0);
  ASSERT_TRUE(got.isImageNib());
  EXPECT_EQ(got.scale(), 150);
  EXPECT_EQ(got.params(), saved.getItem(0)->params());
  const TChannel& a = *got.image();
  const TChannel& b = *saved.getItem(0)->image();
  ASSERT_EQ(a.Width, 64);
  ASSERT_EQ(a.Height, 16);
  for (int32_t y = 0; y < 16; ++y)
    for (int32_t x = 0; x < 64; ++x) ASSERT_EQ(a.getPixel(x, y), b.getPixel(x, y)) << x << "," << y;
  EXPECT_FALSE(loaded.getItem(1)->isImageNib());

  // The picture chunk is scrambled with groups of 7 and a step of 3.
  const Bytes file = testing::readFile(path);
  const size_t ktnl = 32 + 128;
  EXPECT_EQ(le16(file, ktnl + 8), 2);
  EXPECT_EQ(le16(file, ktnl + 10), 4);
  EXPECT_EQ(file[ktnl + 12], 7);
  EXPECT_EQ(file[ktnl + 14], 3);
}

TEST_F(PenShapeFileTest, BadChunksAreSkippedAndLaterNibsStillLoad) {
  const Bytes foreign = ByteWriter().tag("ABCD").u32(0).bytes;
  const std::string path =
      put("bad.psh", cat({psst(1, 4), pshp(100, 0, "abc", 200), foreign, pshp(200, 2), pshp(300, 1),
                          testing::pictureChunk(3, 4, 4, 9), pshp(400, 0, "abc"), pshp(500, 0, "", -1, 2), pshp(600)}));
  CPenShapeMngr list;
  ASSERT_EQ(loadPenShapeFile(path, list, false), kRcOk);
  ASSERT_EQ(list.count(), 2);
  EXPECT_EQ(list.getItem(0)->params().shape.size, 400);
  EXPECT_EQ(list.getItem(1)->params().shape.size, 600);
  ASSERT_EQ(messages.shown().size(), 1u);
  EXPECT_EQ(messages.shown()[0].text, "2個のペン先集が読み込めませんでした！");
}

TEST_F(PenShapeFileTest, ChunkReaderCodes) {
  const Bytes whole = pshp(100);
  const Bytes cutRecord(whole.begin(), whole.begin() + 60);
  Bytes shortRecord = whole;
  shortRecord[4] = 100;  // size 100, less than a record
  const struct {
    const char* what;
    Bytes bytes;
    FileResult code;
  } cases[] = {
      {"record past the chunk", shortRecord, kRcChunkPastEnd},
      {"name past the chunk", pshp(100, 0, "ab", 9), kRcChunkPastEnd},
      {"record version 2", pshp(100, 0, "", -1, 2), kRcVersion},
      {"kind 2", pshp(100, 2), kRcPictureKind},
      {"image nib with a 32-bit picture", cat({pshp(100, 1), testing::pictureChunk(3, 2, 2, 1)}), kRcPictureKind},
      {"image nib with another chunk", cat({pshp(100, 1), pshp(5)}), kRcWrongTag},
      {"image nib without its picture", pshp(100, 1), kRcShortRead},
      {"cut record", cutRecord, kRcShortRead},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    CFixedMemStream in(c.bytes.data(), int64_t(c.bytes.size()));
    SChunkHead head;
    ASSERT_EQ(readChunkHead(in, head), kRcOk);
    CPenShapeObj shape;
    SPresetPictureBudget budget;
    EXPECT_EQ(readPenShapeChunk(in, head, shape, budget), c.code);
  }
}

TEST_F(PenShapeFileTest, PicturesPastTheBudgetAreRefusedBeforeTheyAreUnpacked) {
  Bytes huge = testing::pictureChunk(4, 2, 2, 1);
  // Claim 9,000 x 9,000 pixels.
  for (size_t at : {24u, 28u}) {
    huge[at] = 0x28;
    huge[at + 1] = 0x23;
  }
  CFixedMemStream in(huge.data(), int64_t(huge.size()));
  SPresetPictureBudget budget;
  budget.left = 9000 * 9000 - 1;
  EXPECT_EQ(checkPresetPicture(in, 1, budget), kRcTooLarge);
  EXPECT_EQ(budget.left, 9000 * 9000 - 1);
  EXPECT_EQ(in.position(), 0);
  budget.left = 9000 * 9000;
  EXPECT_EQ(checkPresetPicture(in, 1, budget), kRcOk);
  EXPECT_EQ(budget.left, 0);
}

TEST_F(PenShapeFileTest, APictureWhoseSizeWrapsCannotRaiseTheBudget) {
  // Sizes whose product overflows 64 bits, then the 9,000 x 9,000 picture
  // that the budget must still refuse.
  auto claiming = [](uint32_t w, uint32_t h, uint8_t bytesPerPixel) {
    Bytes b = testing::pictureChunk(bytesPerPixel == 4 ? 3 : 1, 2, 2, 1);
    putChunkU32(b.data() + 24, w);
    putChunkU32(b.data() + 28, h);
    return b;
  };
  SPresetPictureBudget budget;
  for (const auto& [w, h] : {std::pair{0xFFFFFFFFu, 0xFFFFFFFFu}, std::pair{0x80000000u, 0x80000000u},
                             std::pair{0xC0000000u, 0x40000000u}}) {
    SCOPED_TRACE(std::to_string(w) + " x " + std::to_string(h));
    const Bytes hostile = claiming(w, h, 4);
    CFixedMemStream in(hostile.data(), int64_t(hostile.size()));
    EXPECT_EQ(checkPresetPicture(in, 4, budget), kRcTooLarge);
    EXPECT_EQ(budget.left, kPresetPictureBudget);
  }
  const Bytes big = claiming(9000, 9000, 4);
  CFixedMemStream in(big.data(), int64_t(big.size()));
  EXPECT_EQ(checkPresetPicture(in, 4, budget), kRcTooLarge);
  EXPECT_EQ(budget.left, kPresetPictureBudget);
}

TEST_F(PenShapeFileTest, NothingToSaveAndAFailedLoadsMessage) {
  CPenShapeMngr list;
  EXPECT_EQ(savePenShapeFile(dir.file("empty.psh"), list), kRcNothing);
  EXPECT_FALSE(std::filesystem::exists(dir.file("empty.psh")));
  EXPECT_FALSE(list.loadFromFile(put("v.psh", psst(2, 1)), false));
  EXPECT_EQ(texts(), (std::vector<std::string>{"ペン先集の読み込みに失敗しました! (err=12)"}));
}

TEST_F(PenShapeFileTest, AppendingAddsToTheListAndMarksItModified) {
  CPenShapeMngr list;
  list.addDefaults();
  list.select(5);
  list.setModified(false);
  const std::string path = put("two.psh", cat({psst(1, 2, 1), pshp(100), pshp(200)}));
  ASSERT_EQ(loadPenShapeFile(path, list, true), kRcOk);
  EXPECT_EQ(list.count(), 9);
  EXPECT_EQ(list.currentIndex(), 5);
  EXPECT_TRUE(list.modified());
  EXPECT_TRUE(list.fileName().empty());
  ASSERT_EQ(loadPenShapeFile(path, list, false), kRcOk);
  EXPECT_EQ(list.count(), 2);
  EXPECT_EQ(list.currentIndex(), 1);
  EXPECT_FALSE(list.modified());
}

TEST_F(PenShapeFileTest, StoredCurrentIndexIsClampedToTheNibsRead) {
  CPenShapeMngr list;
  ASSERT_EQ(loadPenShapeFile(put("c.psh", cat({psst(1, 2, 40), pshp(100), pshp(200)})), list, false), kRcOk);
  EXPECT_EQ(list.currentIndex(), 1);
}

TEST_F(PenShapeFileTest, ListEditing) {
  CPenShapeMngr list;
  int changes = 0;
  list.setOnChange([&](CPenShapeMngr&) { ++changes; });
  EXPECT_EQ(list.insert(1, std::make_unique<CPenShapeObj>()), -1);
  EXPECT_EQ(list.insert(0, nullptr), -1);
  list.addDefaults();
  EXPECT_EQ(list.insert(7, std::make_unique<CPenShapeObj>()), 7);
  list.select(7);
  EXPECT_TRUE(list.deleteItem(7));
  EXPECT_EQ(list.currentIndex(), 6);
  EXPECT_FALSE(list.deleteItem(7));
  list.select(99);
  EXPECT_EQ(list.currentIndex(), 6);
  EXPECT_TRUE(list.modified());
  EXPECT_GT(changes, 0);
  list.clear();
  EXPECT_EQ(list.currentIndex(), -1);
  EXPECT_EQ(list.current(), nullptr);
  list.resetToDefaults();
  EXPECT_EQ(list.count(), kBuiltinPenShapeCount);
  EXPECT_EQ(list.currentIndex(), 0);
}

TEST_F(PenShapeFileTest, DefaultFileOrBuiltIns) {
  FakePresetPrefs prefs;
  prefs.program = dir.file("prog");
  CPenShapeMngr list;
  EXPECT_FALSE(list.loadDefault(true, prefs));
  EXPECT_EQ(list.count(), kBuiltinPenShapeCount);
  EXPECT_EQ(prefs.folders[PresetSet::PenShapes], dir.file("prog") + "/preset");

  std::filesystem::create_directories(dir.path() / "pens");
  prefs.folders[PresetSet::PenShapes] = dir.file("pens");
  put("pens/default.psh", cat({psst(1, 1), pshp(700)}));
  CPenShapeMngr loaded;
  EXPECT_TRUE(loaded.loadDefault(true, prefs));
  ASSERT_EQ(loaded.count(), 1);
  EXPECT_EQ(loaded.getItem(0)->params().shape.size, 700);
}

TEST_F(PenShapeFileTest, DialogsStartInTheFolderOfTheCurrentFile) {
  CPenShapeMngr list;
  list.addDefaults();
  list.setFileName(dir.file("nibs.psh"));
  std::vector<int32_t> kinds;
  std::vector<std::string> folders;
  const PresetFileDialog dialog = [&](int32_t kind, const std::string& folder, std::string& path) {
    kinds.push_back(kind);
    folders.push_back(folder);
    path = dir.file("chosen.psh");
    return true;
  };
  EXPECT_TRUE(list.saveAsDialog(dialog));
  EXPECT_TRUE(list.openDialog(true, dialog));
  EXPECT_EQ(list.count(), 2 * kBuiltinPenShapeCount);
  EXPECT_EQ(kinds, (std::vector<int32_t>{12, 4}));
  EXPECT_EQ(folders[0], dir.path().string());
  EXPECT_FALSE(list.openDialog(false, [](int32_t, const std::string&, std::string&) { return false; }));
}

}  // namespace
}  // namespace pg
