#include "io/pen_method_file.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "brush/paint_param.h"
#include "core/planes.h"
#include "io/preset_fixture.h"
#include "io/preset_pen_methods.h"
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

std::unique_ptr<CPenMethodObj> methodOfKind(uint8_t kind, const std::string& name = "") {
  TPaintParam params(kind);
  auto m = std::make_unique<CPenMethodObj>();
  EXPECT_TRUE(params.storeToPenMethod(m.get()));
  if (!name.empty()) m->setName(name);
  return m;
}

Bytes pmst(uint16_t count, uint16_t current = 0, uint32_t flags = 0, uint16_t second = 0,
           std::array<uint8_t, 5> slots = {}) {
  ByteWriter w;
  w.tag("PMST").u32(24).u8(1).u8(0).u16(0).u16(count).u16(current).u32(flags).u16(second);
  for (uint8_t s : slots) w.u8(s);
  return w.zeros(5).bytes;
}

// A "PMTD" chunk of a pen-method kind's render method with the flags.
Bytes pmtd(uint8_t renderMethod, uint32_t flags = 0, uint16_t version = 0, int32_t nameLength = -1,
           std::string_view name = "") {
  const size_t padded = (name.size() + 3) & ~size_t{3};
  Bytes rec(72, 0);
  const uint16_t length = nameLength >= 0 ? uint16_t(nameLength) : uint16_t(name.size());
  rec[2] = uint8_t(length);
  rec[3] = uint8_t(length >> 8);
  rec[4] = uint8_t(version);
  for (int i = 0; i < 4; ++i) rec[8 + i] = uint8_t(flags >> (8 * i));
  rec[16] = renderMethod;
  rec[40] = 0xE8;  // opacity 1000
  rec[41] = 0x03;
  return ByteWriter().tag("PMTD").u32(uint32_t(72 + padded)).raw(rec).text(name).zeros(padded - name.size()).bytes;
}

Bytes picture(uint16_t kind, uint32_t side) { return testing::pictureChunk(kind, side, side, 0x40); }

std::unique_ptr<TMTC> pattern(int32_t w, int32_t h) {
  auto icon = std::make_unique<TMTC>(w, h);
  for (int32_t y = 0; y < h; ++y)
    for (int32_t x = 0; x < w; ++x) *icon->pixelAt(x, y) = 0xFF000000u | uint32_t(x * 2) << 8 | uint32_t(y * 2);
  return icon;
}

using PenMethodFileTest = testing::PresetFileTest;

TEST_F(PenMethodFileTest, MethodsWithIconsNibsAndSelectionsRoundTrip) {
  CPenMethodMngr saved;
  EXPECT_EQ(saved.addMissingKinds(), 9);
  EXPECT_TRUE(saved.hasAllKinds());
  EXPECT_EQ(saved.currentIndex(), 0);
  auto special = methodOfKind(12, "水彩ブラシ");
  SPenMethodParams p = special->getParams();
  p.render.workPlane = 1;
  p.render.effect = 123;
  p.render.env = 45;
  p.render.speed = 6;
  p.useGradation = 1;
  p.useTone = 1;
  p.stroke.pressureSize = 1;
  p.stroke.pressureOpacity = 1;
  p.stroke.gamma = 250;
  p.stroke.dabEveryStep = 3;
  p.stroke.splitStep = 9;
  special->setParams(p);
  ASSERT_TRUE(special->setIcon(pattern(128, 128).get()));
  TChannel nib(8, 4);
  for (int32_t i = 0; i < 32; ++i) nib.Bits[i] = uint8_t(i * 8);
  ASSERT_TRUE(special->penShape()->setImage(nib, true));
  ASSERT_GE(saved.add(std::move(special)), 0);
  auto bare = std::make_unique<CPenMethodObj>();
  bare->setParams(saved.getItem(0)->getParams());
  ASSERT_GE(saved.add(std::move(bare)), 0);  // neither nib nor icon
  saved.setCurrentIndex(9);
  saved.setSecondSelection(4, false);
  saved.setSlots({1, 3, 5, 0, 10});
  const std::string path = dir.file("brushes.pmt");
  ASSERT_EQ(savePenMethodFile(path, saved), kRcOk);
  EXPECT_EQ(saved.fileName(), path);
  EXPECT_FALSE(saved.modified());

  CPenMethodMngr loaded;
  ASSERT_EQ(loadPenMethodFile(path, loaded, false), kRcOk);
  ASSERT_EQ(loaded.count(), 11);
  for (int32_t i = 0; i < 11; ++i) {
    SCOPED_TRACE(i);
    const CPenMethodObj& a = *loaded.getItem(i);
    const CPenMethodObj& b = *saved.getItem(i);
    EXPECT_EQ(a.getParams(), b.getParams());
    EXPECT_EQ(a.name(), b.name());
    EXPECT_EQ(a.hasIcon(), b.hasIcon());
    ASSERT_EQ(a.hasOwnShape(), b.hasOwnShape());
    if (a.hasOwnShape()) {
      EXPECT_EQ(a.penShape()->params(), b.penShape()->params());
      EXPECT_EQ(a.penShape()->isImageNib(), b.penShape()->isImageNib());
    }
  }
  const CPenMethodObj& got = *loaded.getItem(9);
  EXPECT_EQ(got.name(), "水彩ブラシ");
  for (int32_t y = 0; y < 128; y += 17)
    for (int32_t x = 0; x < 128; x += 13)
      ASSERT_EQ(*got.icon()->pixelAt(x, y), *saved.getItem(9)->icon()->pixelAt(x, y));
  ASSERT_TRUE(got.penShape()->isImageNib());
  EXPECT_EQ(std::vector<uint8_t>(got.penShape()->image()->Bits, got.penShape()->image()->Bits + 32),
            std::vector<uint8_t>(nib.Bits, nib.Bits + 32));
  EXPECT_EQ(loaded.currentIndex(), 9);
  EXPECT_EQ(loaded.secondSelection(), 4);
  PenMethodSlots slots;
  ASSERT_TRUE(loaded.getSlots(slots));
  EXPECT_EQ(slots, (PenMethodSlots{1, 3, 5, 0, 10}));
  EXPECT_FALSE(loaded.modified());
}

TEST_F(PenMethodFileTest, RecordLayout) {
  CPenMethodMngr list;
  auto m = methodOfKind(9, "ab");
  SPenMethodParams p = m->getParams();
  p.useTone = 1;
  p.stroke.pressureOpacity = 1;
  p.stroke.spacing = 150;
  m->setParams(p);
  m->setPenShape(nullptr);
  ASSERT_GE(list.add(std::move(m)), 0);
  const std::string path = dir.file("one.pmt");
  ASSERT_EQ(savePenMethodFile(path, list), kRcOk);
  const Bytes b = testing::readFile(path);
  ASSERT_EQ(b.size(), 32u + 8 + 72 + 4);
  EXPECT_EQ(b[8], 1);
  EXPECT_EQ(le16(b, 12), 1);
  EXPECT_EQ(le32(b, 16), 0u);   // no second selection, no slots
  EXPECT_EQ(le32(b, 36), 76u);  // the chunk's size
  const size_t r = 40;
  EXPECT_EQ(le16(b, r + 2), 2);
  EXPECT_EQ(le16(b, r + 4), 0);
  EXPECT_EQ(le32(b, r + 8), 0x10u | 0x200u | 0x20000u);  // kind 9 draws into the work plane
  EXPECT_EQ(le16(b, r + 44), 150);
  EXPECT_EQ(b[r + 72], 'a');
}

TEST_F(PenMethodFileTest, IconsAreKeptAt128AndMadeSmallAt32) {
  CPenMethodObj m;
  ASSERT_TRUE(m.setIcon(pattern(64, 64).get()));
  ASSERT_TRUE(m.hasIcon());
  EXPECT_EQ(m.icon()->Width, 128);
  EXPECT_EQ(m.icon()->Height, 128);
  EXPECT_EQ(m.smallIcon()->Width, 32);
  const auto exact = pattern(128, 128);
  ASSERT_TRUE(m.setIcon(exact.get()));
  EXPECT_EQ(*m.icon()->pixelAt(77, 31), *exact->pixelAt(77, 31));
  EXPECT_TRUE(m.setIcon(nullptr));
  EXPECT_FALSE(m.hasIcon());
}

TEST_F(PenMethodFileTest, SlotIndicesFollowInsertsAndDeletes) {
  CPenMethodMngr list;
  list.addMissingKinds();
  list.setSlots({1, 3, 5, 0, 4});
  ASSERT_TRUE(list.deleteItem(2));
  PenMethodSlots slots;
  ASSERT_TRUE(list.getSlots(slots));
  EXPECT_EQ(slots, (PenMethodSlots{1, 2, 4, 0, 3}));
  // An insert pushes the method at its index along with those above it.
  EXPECT_EQ(list.insert(2, methodOfKind(9)), 2);
  EXPECT_TRUE(list.getSlots(slots));
  EXPECT_EQ(slots, (PenMethodSlots{1, 3, 5, 0, 4}));
  EXPECT_EQ(list.insert(99, methodOfKind(9)), -1);
  // Deleting at the end clamps to the list.
  list.setSlots({8, 8, 8, 8, 8});
  EXPECT_TRUE(list.deleteItem(8));
  EXPECT_TRUE(list.getSlots(slots));
  EXPECT_EQ(slots, (PenMethodSlots{7, 7, 7, 7, 7}));
}

TEST_F(PenMethodFileTest, MissingKindsAreAddedAfterALoad) {
  CPenMethodMngr seven;
  seven.addMissingKinds();
  ASSERT_TRUE(seven.deleteItem(8));
  ASSERT_TRUE(seven.deleteItem(3));
  const std::string path = dir.file("seven.pmt");
  ASSERT_EQ(savePenMethodFile(path, seven), kRcOk);

  CPenMethodMngr list;
  EXPECT_TRUE(list.loadFromFile(path, false));
  EXPECT_EQ(list.count(), 9);
  EXPECT_TRUE(list.hasAllKinds());
  uint8_t kind = 0;
  ASSERT_TRUE(list.getItem(7)->paintKind(kind));
  EXPECT_EQ(kind, 12);
  ASSERT_TRUE(list.getItem(8)->paintKind(kind));
  EXPECT_EQ(kind, 17);

  FakePresetPrefs prefs;
  prefs.files[PresetSet::PenMethods] = path;
  CPenMethodMngr byDefault;
  EXPECT_FALSE(byDefault.loadDefault(true, prefs));  // a kind was missing
  EXPECT_EQ(byDefault.count(), 9);
  EXPECT_TRUE(prefs.files[PresetSet::PenMethods].empty());
  EXPECT_TRUE(byDefault.fileName().empty());
}

TEST_F(PenMethodFileTest, DefaultFileLoadsWhenWhole) {
  CPenMethodMngr all;
  all.addMissingKinds();
  std::filesystem::create_directories(dir.path() / "prog" / "preset");
  ASSERT_EQ(savePenMethodFile((dir.path() / "prog" / "preset" / "default.pmt").string(), all), kRcOk);
  FakePresetPrefs prefs;
  prefs.program = dir.file("prog");
  CPenMethodMngr list;
  EXPECT_TRUE(list.loadDefault(true, prefs));
  EXPECT_EQ(list.count(), 9);
  EXPECT_TRUE(messages.shown().empty());
}

TEST_F(PenMethodFileTest, ANibAnnouncedButNotFollowingFailsThatMethodOnly) {
  const std::string path = put("m.pmt", cat({pmst(3), pmtd(0, 0x1), pmtd(1), pmtd(2, 0x2), picture(3, 8), pmtd(3)}));
  CPenMethodMngr list;
  ASSERT_EQ(loadPenMethodFile(path, list, false), kRcOk);
  ASSERT_EQ(list.count(), 3);
  EXPECT_EQ(list.getItem(0)->getParams().render.method, 1);
  EXPECT_EQ(list.getItem(1)->getParams().render.method, 2);
  EXPECT_TRUE(list.getItem(1)->hasIcon());
  EXPECT_FALSE(list.getItem(1)->hasOwnShape());
  EXPECT_EQ(list.getItem(2)->getParams().render.method, 3);
  EXPECT_TRUE(messages.shown().empty());
}

TEST_F(PenMethodFileTest, ChunkReaderCodes) {
  Bytes shortSize = pmtd(0);
  shortSize[4] = 60;
  const struct {
    const char* what;
    Bytes bytes;
    FileResult code;
  } cases[] = {
      {"record past the chunk", shortSize, kRcChunkPastEnd},
      {"name past the chunk", pmtd(0, 0, 0, 9, "abc"), kRcChunkPastEnd},
      {"record version 2", pmtd(0, 0, 2), kRcVersion},
      {"nib announced, other chunk", cat({pmtd(0, 0x1), pmtd(1)}), kRcWrongTag},
      {"nib announced, nothing", pmtd(0, 0x1), kRcShortRead},
      {"icon of 8-bit pixels", cat({pmtd(0, 0x2), picture(4, 8)}), kRcPictureKind},
      {"icon announced, other chunk", cat({pmtd(0, 0x2), pmtd(1)}), kRcWrongTag},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    CFixedMemStream in(c.bytes.data(), int64_t(c.bytes.size()));
    SChunkHead head;
    ASSERT_EQ(readChunkHead(in, head), kRcOk);
    std::unique_ptr<CPenMethodObj> method;
    SPresetPictureBudget budget;
    EXPECT_EQ(readPenMethodChunk(in, head, method, budget), c.code);
    EXPECT_EQ(method, nullptr);
  }
}

TEST_F(PenMethodFileTest, FailedAndShortLoadsAreReported) {
  CPenMethodMngr list;
  EXPECT_EQ(savePenMethodFile(dir.file("e.pmt"), list), kRcNothing);
  Bytes version2 = pmst(1);
  version2[8] = 2;
  EXPECT_FALSE(list.loadFromFile(put("v.pmt", version2), false));
  EXPECT_EQ(texts(), (std::vector<std::string>{"ブラシ集の読み込みに失敗しました! (err=12)"}));
  EXPECT_EQ(list.count(), 9);  // the missing kinds were added all the same

  messages.clear();
  CPenMethodMngr some;
  ASSERT_EQ(loadPenMethodFile(put("s.pmt", cat({pmst(3), pmtd(0)})), some, false), kRcOk);
  EXPECT_EQ(texts(), (std::vector<std::string>{"2個のブラシ集が読み込めませんでした！"}));
}

TEST_F(PenMethodFileTest, StoredSelectionsAreClampedToTheMethodsRead) {
  CPenMethodMngr list;
  const std::string path = put("c.pmt", cat({pmst(2, 9, 0x3, 7, {0, 200, 1, 1, 1}), pmtd(0), pmtd(1)}));
  ASSERT_EQ(loadPenMethodFile(path, list, false), kRcOk);
  EXPECT_EQ(list.currentIndex(), 1);
  EXPECT_EQ(list.secondSelection(), 1);
  PenMethodSlots slots;
  ASSERT_TRUE(list.getSlots(slots));
  EXPECT_EQ(slots, (PenMethodSlots{0, 1, 1, 1, 1}));
}

TEST_F(PenMethodFileTest, AppendingKeepsTheSelections) {
  CPenMethodMngr list;
  list.addMissingKinds();
  list.setCurrentIndex(4);
  list.setModified(false);
  ASSERT_EQ(loadPenMethodFile(put("a.pmt", cat({pmst(1, 0, 0x1, 0), pmtd(0)})), list, true), kRcOk);
  EXPECT_EQ(list.count(), 10);
  EXPECT_EQ(list.currentIndex(), 4);
  EXPECT_EQ(list.secondSelection(), -1);
  EXPECT_TRUE(list.modified());
}

TEST_F(PenMethodFileTest, ListSelections) {
  CPenMethodMngr list;
  list.setSecondSelection(3, true);
  EXPECT_EQ(list.secondSelection(), -1);
  list.addMissingKinds();
  list.setSecondSelection(30, false);
  EXPECT_EQ(list.secondSelection(), -1);
  list.setSecondSelection(30, true);
  EXPECT_EQ(list.secondSelection(), 8);
  list.setCurrentIndex(-4);
  EXPECT_EQ(list.currentIndex(), 0);
  list.clear();
  EXPECT_EQ(list.currentIndex(), -1);
  EXPECT_EQ(list.secondSelection(), -1);
  PenMethodSlots slots;
  EXPECT_FALSE(list.getSlots(slots));
}

}  // namespace
}  // namespace pg
