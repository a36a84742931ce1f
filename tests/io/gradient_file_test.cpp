#include "io/gradient_file.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/chunk_head.h"
#include "io/preset_fixture.h"
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

struct Stop {
  uint32_t colour;
  int32_t weight;
};

struct ChunkSpec {
  std::string name = "g";
  std::vector<Stop> stops = {{0xFF000000u, 0x10000}, {0xFFFFFFFFu, 0x10000}};
  uint16_t flags = 0;
  uint8_t version = 1;
  uint16_t a = 0, b = 0, c = 0, count = 1;
  size_t extra = 0;         // bytes after the stops, inside the chunk
  int32_t nameLength = -1;  // the stored name length when not the name's
};

Bytes kgrd(const ChunkSpec& s) {
  const size_t padded = (s.name.size() + 3) & ~size_t{3};
  ByteWriter w;
  w.tag("KGRD").u32(uint32_t(28 + padded + 24 * s.stops.size() + s.extra));
  w.u16(s.flags).u8(s.version).u8(0).u16(s.a).u16(s.b).u16(s.c).u16(s.count).zeros(10);
  w.u16(uint32_t(s.stops.size())).u8(24).u8(0);
  w.u16(s.nameLength >= 0 ? uint32_t(s.nameLength) : uint32_t(s.name.size())).text(s.name);
  w.zeros(padded - s.name.size());
  for (size_t i = 0; i < s.stops.size(); ++i)
    w.u8(1).u8(1).u8(1).u8(255).u32(uint32_t(i)).u32(s.stops[i].colour).u32(uint32_t(s.stops[i].weight)).u32(0).u32(0);
  w.zeros(s.extra);
  return w.bytes;
}

Bytes grst(uint8_t version, uint16_t count, uint32_t flags = 0, uint16_t current = 0, uint16_t work = 0xFFFF) {
  ByteWriter w;
  w.tag("GRST").u32(24).u8(version).u8(0).u16(count).u32(flags).u16(current).u16(work).zeros(12);
  return w.bytes;
}

using GradientFileTest = testing::PresetFileTest;

FileResult readChunk(const Bytes& bytes, CColorSlotGroup& stops, SGradRepeat& repeat) {
  CFixedMemStream in(bytes.data(), int64_t(bytes.size()));
  return readGradientChunk(in, stops, repeat);
}

TEST_F(GradientFileTest, SavedSetLoadsBackWithStopsNamesAndRepeats) {
  CGradMngr saved(true);
  saved.addBuiltins();
  SGradRepeat own;
  own.OwnSettings = 1;
  own.Shape = 2;
  own.Mirror = 1;
  own.Wrap = 1;
  own.Count = 7;
  saved.getItem(2)->setRepeat(own);
  saved.getItem(3)->Stops.setName("グラデーション");
  saved.select(3);
  const std::string path = dir.file("set.kgs");
  ASSERT_EQ(saveGradientFile(path, saved), kRcOk);
  EXPECT_EQ(saved.fileName(), path);
  EXPECT_FALSE(saved.modified());

  CGradMngr loaded(true);
  ASSERT_EQ(loadGradientFile(path, loaded, false), kRcOk);
  ASSERT_EQ(loaded.count(), saved.count());
  EXPECT_TRUE(loaded.hasFixedEntry());
  for (int32_t i = 1; i < saved.count(); ++i) {
    SCOPED_TRACE(i);
    EXPECT_TRUE(loaded.getItem(i)->Stops.equals(saved.getItem(i)->Stops));
    EXPECT_EQ(loaded.getItem(i)->Stops.name(), saved.getItem(i)->Stops.name());
    EXPECT_EQ(loaded.getItem(i)->Repeat, saved.getItem(i)->Repeat);
  }
  EXPECT_EQ(loaded.currentIndex(), 0);  // a replacing load selects the first
  EXPECT_EQ(loaded.fileName(), path);
  EXPECT_FALSE(loaded.modified());
  EXPECT_TRUE(messages.shown().empty());

  // Saved again, the file is the same byte for byte.
  loaded.select(3);
  const std::string again = dir.file("again.kgs");
  ASSERT_EQ(saveGradientFile(again, loaded), kRcOk);
  EXPECT_EQ(testing::readFile(again), testing::readFile(path));
}

TEST_F(GradientFileTest, NamesAreStoredInTheJapaneseCodePage) {
  CGradMngr list(false);
  list.addBuiltins();
  list.getItem(0)->Stops.setName("青");  // CP932 0x90 0xC2
  const std::string path = dir.file("name.kgs");
  ASSERT_EQ(saveGradientFile(path, list), kRcOk);
  const Bytes b = testing::readFile(path);
  EXPECT_EQ(le16(b, 32 + 34), 2);
  EXPECT_EQ(b[32 + 36], 0x90);
  EXPECT_EQ(b[32 + 37], 0xC2);
}

TEST_F(GradientFileTest, HeaderLeavesOutTheFixedEntryAndCountsTheCurrentIndexWithout) {
  struct Case {
    int32_t current;
    uint16_t storedCurrent;
    uint32_t flags;
  };
  for (const Case& c : {Case{0, 0, 1}, Case{1, 0, 0}, Case{2, 1, 0}}) {
    SCOPED_TRACE(c.current);
    CGradMngr list(true);  // the fixed entry at 0, then two more
    EXPECT_GE(list.addTwoColor(0xFF0000FFu, 0xFFFF0000u), 0);
    EXPECT_GE(list.addTwoColor(0xFF00FF00u, 0xFF000000u), 0);
    list.select(c.current);
    const std::string path = dir.file("h.kgs");
    ASSERT_EQ(saveGradientFile(path, list), kRcOk);
    const Bytes b = testing::readFile(path);
    EXPECT_EQ(b[8], 2);
    EXPECT_EQ(le16(b, 10), 2);  // three items, one of them the fixed entry
    EXPECT_EQ(le32(b, 12), c.flags);
    EXPECT_EQ(le16(b, 16), c.storedCurrent);
    EXPECT_EQ(le16(b, 18), 0);  // the fixed entry's index
  }
  CGradMngr plain(false);
  plain.addBuiltins();
  const std::string path = dir.file("p.kgs");
  ASSERT_EQ(saveGradientFile(path, plain), kRcOk);
  EXPECT_EQ(le16(testing::readFile(path), 18), 0xFFFF);
}

TEST_F(GradientFileTest, NothingToSaveAndAFailedGradientLeaveTheOldFile) {
  const std::string path = put("keep.kgs", {1, 2, 3});
  CGradMngr onlyFixed(true);
  EXPECT_EQ(saveGradientFile(path, onlyFixed), kRcNothing);

  CGradMngr list(false);
  list.addBuiltins();
  auto broken = std::make_unique<CGradObj>();
  EXPECT_TRUE(broken->Stops.putColor(0, 0xFF000000u, 255, 1));
  EXPECT_GE(list.add(std::move(broken)), 0);  // one stop only
  list.setModified(true);
  EXPECT_EQ(saveGradientFile(path, list), kRcBadGradient);
  EXPECT_EQ(testing::readFile(path), (Bytes{1, 2, 3}));
  EXPECT_TRUE(list.modified());
  EXPECT_TRUE(list.fileName().empty());
}

TEST_F(GradientFileTest, FileWithFewerReadableGradientsThanAnnouncedLoadsThemAndSaysHowManyAreMissing) {
  const std::string path = put("short.kgs", cat({grst(2, 5), kgrd({}), kgrd({}), kgrd({})}));
  CGradMngr list(false);
  ASSERT_EQ(loadGradientFile(path, list, false), kRcOk);
  EXPECT_EQ(list.count(), 3);
  ASSERT_EQ(messages.shown().size(), 1u);
  EXPECT_EQ(messages.shown()[0].text, "2個のグラデーション集が読み込めませんでした！");
}

TEST_F(GradientFileTest, BadChunksAreSkippedAndTheLoopGoesOn) {
  ChunkSpec oneStop;
  oneStop.stops = {{0xFF000000u, 0x10000}};
  ChunkSpec longName;
  longName.nameLength = 4000;
  ChunkSpec laterVersion;
  laterVersion.version = 2;
  ChunkSpec good;
  good.name = "ok";
  const Bytes foreign = ByteWriter().tag("XXXX").u32(4).u32(0).bytes;
  const std::string path =
      put("mixed.kgs", cat({grst(2, 2), foreign, kgrd(oneStop), kgrd(longName), kgrd(laterVersion), kgrd(good)}));
  CGradMngr list(false);
  ASSERT_EQ(loadGradientFile(path, list, false), kRcOk);
  ASSERT_EQ(list.count(), 1);
  EXPECT_EQ(list.getItem(0)->Stops.name(), "ok");
  ASSERT_EQ(messages.shown().size(), 1u);  // one of two missing
}

TEST_F(GradientFileTest, ChunkReaderCodes) {
  ChunkSpec oneStop;
  oneStop.stops = {{0xFF000000u, 0x10000}};
  ChunkSpec laterVersion;
  laterVersion.version = 2;
  ChunkSpec longName;
  longName.nameLength = 60;  // the chunk holds 4 name bytes and two stops
  ChunkSpec noWeight;
  noWeight.stops = {{0xFF000000u, 0}, {0xFFFFFFFFu, 0}};
  ChunkSpec tooMany;
  tooMany.stops.assign(kColorSlotLimit + 1, Stop{0xFF000000u, 1});
  Bytes wrongTag = kgrd({});
  wrongTag[0] = 'X';
  const Bytes whole = kgrd({});
  const Bytes cut(whole.begin(), whole.begin() + 40);  // the record and the name, none of the stops
  const struct {
    const char* what;
    Bytes bytes;
    FileResult code;
  } cases[] = {
      {"one stop", kgrd(oneStop), kRcBadGradient},
      {"weights add up to nothing", kgrd(noWeight), kRcBadGradient},
      {"record version 2", kgrd(laterVersion), kRcVersion},
      {"name past the chunk", kgrd(longName), kRcChunkPastEnd},
      {"more stops than a group holds", kgrd(tooMany), kRcItemRefused},
      {"wrong tag", wrongTag, kRcWrongTag},
      {"short record", Bytes(20, 0), kRcShortRead},
      {"chunk past the data", cut, kRcChunkPastEnd},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    CColorSlotGroup stops(16);
    SGradRepeat repeat;
    EXPECT_EQ(readChunk(c.bytes, stops, repeat), c.code);
  }
}

TEST_F(GradientFileTest, ChunkTakesWholeStopsAndIgnoresTheTail) {
  ChunkSpec s;
  s.extra = 6;
  s.stops = {{0xFF0000FFu, 0x10000}, {0xFF00FF00u, 0x10000}};
  const Bytes bytes = kgrd(s);
  CColorSlotGroup stops(16);
  SGradRepeat repeat;
  CFixedMemStream in(bytes.data(), int64_t(bytes.size()));
  ASSERT_EQ(readGradientChunk(in, stops, repeat), kRcOk);
  EXPECT_EQ(stops.usedCount(), 2);
  EXPECT_EQ(in.position(), int64_t(bytes.size()));

  // 30 bytes after the name: one stop and 6 ignored bytes, so too few stops.
  ChunkSpec one;
  one.stops = {{0xFF0000FFu, 0x10000}};
  one.extra = 6;
  EXPECT_EQ(readChunk(kgrd(one), stops, repeat), kRcBadGradient);
}

TEST_F(GradientFileTest, ChunkCompactsUnsetStopsAndClampsTheAttributes) {
  ChunkSpec s;
  s.stops = {{0xFF0000FFu, 0x8000}, {0xFF00FF00u, 0x8000}, {0xFFFF0000u, 0x10000}};
  s.flags = 1;
  s.a = 9;
  s.b = 7;
  s.c = 2;
  s.count = 0;
  Bytes bytes = kgrd(s);
  bytes[36 + 4 + 24] = 0;  // the middle stop is not used
  CColorSlotGroup stops(16);
  SGradRepeat repeat;
  ASSERT_EQ(readChunk(bytes, stops, repeat), kRcOk);
  EXPECT_EQ(stops.lastIndex(), 1);
  EXPECT_EQ(stops.getSlot(1)->Color, 0xFFFF0000u);
  EXPECT_EQ(repeat.OwnSettings, 1);
  EXPECT_EQ(repeat.Shape, 3);
  EXPECT_EQ(repeat.Mirror, 2);
  EXPECT_EQ(repeat.Wrap, 2);
  EXPECT_EQ(repeat.Count, 1);
}

TEST_F(GradientFileTest, VersionOneSetsBeginWithTheTwoCurrentColours) {
  FakePresetPrefs prefs;
  prefs.fg = 0x0000FF;  // red
  prefs.bg = 0x00FF00;  // green
  const Bytes chunks = cat({kgrd({}), kgrd({}), kgrd({})});
  CGradMngr list(false);
  ASSERT_EQ(loadGradientFile(put("v1.kgs", cat({grst(1, 3, 0, 1), chunks})), list, false, &prefs), kRcOk);
  ASSERT_EQ(list.count(), 4);
  EXPECT_EQ(list.getItem(0)->Stops.getSlot(0)->Color & 0xFFFFFFu, 0x0000FFu);
  EXPECT_EQ(list.getItem(0)->Stops.getSlot(1)->Color & 0xFFFFFFu, 0x00FF00u);
  EXPECT_EQ(list.currentIndex(), 2);  // the stored index 1 behind the pair

  CGradMngr flagged(false);
  ASSERT_EQ(loadGradientFile(put("v1f.kgs", cat({grst(1, 3, 1, 1), chunks})), flagged, false, &prefs), kRcOk);
  EXPECT_EQ(flagged.currentIndex(), 0);
}

TEST_F(GradientFileTest, AppendingKeepsTheListAndMarksItModified) {
  CGradMngr list(true);
  list.addBuiltins();
  list.select(2);
  list.setModified(false);
  const std::string path = put("two.kgs", cat({grst(2, 2), kgrd({}), kgrd({})}));
  ASSERT_EQ(loadGradientFile(path, list, true), kRcOk);
  EXPECT_EQ(list.count(), 7);
  EXPECT_EQ(list.currentIndex(), 2);
  EXPECT_TRUE(list.modified());
  EXPECT_TRUE(list.fileName().empty());
}

TEST_F(GradientFileTest, LoadedStopsTakeTheCurrentColoursByTheirMarkers) {
  FakePresetPrefs prefs;
  prefs.fg = 0x123456;
  prefs.bg = 0x654321;
  ChunkSpec s;
  s.stops = {{0x00000000u, 0x10000}, {0x01000000u, 0x10000}};
  CGradMngr list(false);
  ASSERT_EQ(loadGradientFile(put("m.kgs", cat({grst(2, 1), kgrd(s)})), list, false, &prefs), kRcOk);
  EXPECT_EQ(list.getItem(0)->Stops.getSlot(0)->Color, 0x00123456u);
  EXPECT_EQ(list.getItem(0)->Stops.getSlot(1)->Color, 0x01654321u);
}

TEST_F(GradientFileTest, DefaultSetIsSearchedThenFallsBackToTheBuiltIns) {
  CGradMngr source(false);
  source.addBuiltins();
  EXPECT_TRUE(source.deleteItem(0));
  std::filesystem::create_directories(dir.path() / "prog" / "preset");
  const std::string shipped = (dir.path() / "prog" / "preset" / "default.kgs").string();
  ASSERT_EQ(saveGradientFile(shipped, source), kRcOk);

  FakePresetPrefs prefs;
  prefs.program = dir.file("prog");
  prefs.files[PresetSet::Gradients] = dir.file("gone.kgs");
  prefs.folders[PresetSet::Gradients] = dir.file("nowhere");
  CGradMngr list(true);
  EXPECT_TRUE(gradMngrLoadDefaultSet(list, true, prefs));
  EXPECT_EQ(list.count(), 4);  // the fixed entry and three from the file
  EXPECT_EQ(list.fileName(), shipped);
  EXPECT_EQ(prefs.folders[PresetSet::Gradients], dir.file("prog") + "/preset");

  std::filesystem::remove(shipped);
  CGradMngr fallback(true);
  EXPECT_FALSE(gradMngrLoadDefaultSet(fallback, true, prefs));
  EXPECT_EQ(fallback.count(), 5);  // the fixed entry and the four built-ins
  EXPECT_TRUE(prefs.files[PresetSet::Gradients].empty());
  EXPECT_TRUE(messages.shown().empty());  // nothing was there to fail
}

TEST_F(GradientFileTest, FailedLoadShowsTheCollectionAndTheCode) {
  CGradMngr list(false);
  EXPECT_FALSE(gradMngrLoadFromFile(list, put("bad.kgs", grst(3, 1)), false));
  ASSERT_EQ(messages.shown().size(), 1u);
  EXPECT_EQ(messages.shown()[0].text, "グラデーション集の読み込みに失敗しました! (err=12)");
}

}  // namespace
}  // namespace pg
