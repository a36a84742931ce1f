#include "io/swatch_list.h"

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
using testing::FakePresetPrefs;
using testing::TempFolder;

struct Rgb {
  uint8_t r, g, b;
  friend bool operator==(const Rgb&, const Rgb&) = default;
};

std::vector<Rgb> rgbOf(const TSwatchMngr& list) {
  std::vector<Rgb> out;
  for (int32_t i = 0; i < list.count(); ++i) {
    const uint32_t c = list.getItem(i)->Color;
    out.push_back({paletteRed(c), paletteGreen(c), paletteBlue(c)});
  }
  return out;
}

// An ".aco" of version 1: five big-endian words per colour.
Bytes aco(uint16_t version, const std::vector<std::array<uint16_t, 5>>& colours, int32_t count = -1) {
  ByteWriter w;
  w.be16(version).be16(count >= 0 ? uint32_t(count) : uint32_t(colours.size()));
  for (const auto& c : colours)
    for (uint16_t v : c) w.be16(v);
  return w.bytes;
}

using SwatchListTest = testing::PresetFileTest;

TEST_F(SwatchListTest, EveryFormatRoundTripsItsColoursAndGrid) {
  TSwatchMngr saved;
  ASSERT_GE(saved.addColor(-1, paletteColor(10, 20, 30)), 0);
  ASSERT_GE(saved.addColor(-1, paletteColor(255, 0, 128, kSwatchHsb)), 0);
  ASSERT_GE(saved.addColor(-1, paletteColor(0, 0, 0)), 0);
  saved.setCellSize(20, 24);
  saved.setGrid(5, 7);
  for (const char* ext : {".kpl", ".aco", ".pcs", ".txt", ".KPL"}) {
    SCOPED_TRACE(ext);
    const std::string path = dir.file(std::string("p") + ext);
    ASSERT_EQ(saveSwatchFile(path, saved), kRcOk);
    EXPECT_EQ(saved.fileName(), path);
    TSwatchMngr loaded;
    ASSERT_EQ(loadSwatchFile(path, loaded, false), kRcOk);
    EXPECT_EQ(rgbOf(loaded), rgbOf(saved));
    EXPECT_EQ(loaded.getItem(0)->Name, "Undefined");
    if (paletteKindFromExt(path) == PaletteKind::Kpl) {  // the colour space travels too
      EXPECT_EQ(loaded.getItem(1)->Color, saved.getItem(1)->Color);
    }
    if (paletteKindFromExt(path) != PaletteKind::Aco) {
      EXPECT_EQ(loaded.cellWidth(), 20u);
      EXPECT_EQ(loaded.cellHeight(), 24u);
      EXPECT_EQ(loaded.columns(), 5u);
      EXPECT_EQ(loaded.rows(), 7u);
    }
  }
  EXPECT_TRUE(messages.shown().empty());
}

TEST_F(SwatchListTest, TextPalettesEndTheirLinesByKind) {
  TSwatchMngr list;
  ASSERT_GE(list.addColor(-1, paletteColor(10, 20, 30)), 0);
  list.setCellSize(8, 9);
  list.setGrid(3, 4);
  ASSERT_EQ(saveSwatchFile(dir.file("a.pcs"), list), kRcOk);
  ASSERT_EQ(saveSwatchFile(dir.file("a.txt"), list), kRcOk);
  const Bytes pcs = testing::readFile(dir.file("a.pcs"));
  const Bytes txt = testing::readFile(dir.file("a.txt"));
  EXPECT_EQ(std::string(pcs.begin(), pcs.end()),
            "ROWS 4\rCOLS 3\rWIDTH 8\rHEIGHT 9\rTEXTHEIGHT 0\rSPACING 1\rR:010, G:020, B:030\r");
  EXPECT_EQ(std::string(txt.begin(), txt.end()),
            "ROWS 4\r\nCOLS 3\r\nWIDTH 8\r\nHEIGHT 9\r\nTEXTHEIGHT 0\r\nSPACING 1\r\nR:010, G:020, B:030\r\n");
}

TEST_F(SwatchListTest, KplFileLayout) {
  TSwatchMngr list;
  ASSERT_GE(list.addColor(-1, 0x03112233u), 0);
  ASSERT_GE(list.addColor(-1, 0x00445566u), 0);
  list.setCellSize(16, 12);
  list.setGrid(8, 2);
  ASSERT_EQ(saveSwatchFile(dir.file("a.kpl"), list), kRcOk);
  const Bytes expected =
      ByteWriter().tag("KPAL").u32(20).u8(16).u8(12).u8(8).u8(2).u32(2).u32(0).u32(0x03112233u).u32(0x00445566u).bytes;
  EXPECT_EQ(testing::readFile(dir.file("a.kpl")), expected);
}

TEST_F(SwatchListTest, TextPaletteParsing) {
  const struct {
    const char* what;
    std::string_view text;
    std::vector<Rgb> colours;
    uint32_t columns, cellWidth, cellHeight;
  } cases[] = {
      {"lower-case keywords", "r:10, g:20, b:30\n", {{10, 20, 30}}, 16, 12, 12},
      {"grid clamped", "COLS 100\rWIDTH 4\r\nHEIGHT 99\nR:1\n", {{1, 0, 0}}, 64, 8, 64},
      {"text height is not height", "TEXTHEIGHT 40\nB:5", {{0, 0, 5}}, 16, 12, 12},
      {"zero keeps the list's value", "COLS 0\nG:7 junk, R:300\n", {{255, 7, 0}}, 16, 12, 12},
      {"huge numbers saturate", "R:99999999999999999999 G:1\n", {{255, 1, 0}}, 16, 12, 12},
      {"keywords without numbers", "R: x G:\nnothing here\n\n\r\r", {}, 16, 12, 12},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    TSwatchMngr list;
    messages.clear();
    const FileResult code = loadSwatchFile(put("t.txt", c.text), list, false);
    EXPECT_EQ(code, c.colours.empty() ? kRcNothing : kRcOk);
    EXPECT_EQ(rgbOf(list), c.colours);
    EXPECT_EQ(list.columns(), c.columns);
    EXPECT_EQ(list.cellWidth(), c.cellWidth);
    EXPECT_EQ(list.cellHeight(), c.cellHeight);
  }
}

TEST_F(SwatchListTest, AcoVersionOneColourSpaces) {
  const Bytes file = aco(1, {
                                {0, 65535, 0, 32767, 0},          // RGB
                                {1, 0, 65535, 65535, 0},          // HSB: pure red
                                {2, 65535, 65535, 65535, 65535},  // CMYK without ink: white
                                {8, 5000, 0, 0, 0},               // grey
                                {7, 1, 2, 3, 4},                  // a space that is not read
                            });
  TSwatchMngr list;
  messages.setDefaultAnswer(kMrNo);
  ASSERT_EQ(loadSwatchFile(put("a.aco", file), list, false), kRcOk);
  EXPECT_EQ(rgbOf(list), (std::vector<Rgb>{{255, 0, 127}, {255, 0, 0}, {255, 255, 255}, {127, 127, 127}}));
  EXPECT_EQ(paletteSpace(list.getItem(0)->Color), kSwatchRgb);
  EXPECT_EQ(paletteSpace(list.getItem(1)->Color), kSwatchHsb);
  EXPECT_EQ(paletteSpace(list.getItem(2)->Color), kSwatchCmyk);
  EXPECT_EQ(paletteSpace(list.getItem(3)->Color), kSwatchGrey);
  // The skipped colour counts as missing; the CMYK colour is offered for removal.
  EXPECT_EQ(texts(), (std::vector<std::string>{
                         "1個のパレットが読み込めませんでした！",
                         "CMYKパレットは正常に色を変換できません！\rCMYKパレットは破棄してよいですか？ (4色中1色)"}));
}

TEST_F(SwatchListTest, AcoCmykColoursAreDroppedOnYes) {
  const Bytes file = aco(1, {{0, 0, 0, 0, 0}, {2, 0, 0, 0, 0}, {2, 65535, 65535, 65535, 0}});
  TSwatchMngr list;
  messages.setDefaultAnswer(kMrYes);
  ASSERT_EQ(loadSwatchFile(put("c.aco", file), list, false), kRcOk);
  EXPECT_EQ(rgbOf(list), (std::vector<Rgb>{{0, 0, 0}}));
}

TEST_F(SwatchListTest, AcoFilesOfTheWholeFormatAndOfVersionTwo) {
  // As the published format writes them: the version-1 section, then the
  // version-2 section with names; only the first is read.
  Bytes both = aco(1, {{0, 65535, 0, 0, 0}});
  const Bytes v2 = ByteWriter().be16(2).be16(1).be16(0).be16(65535).be16(0).be16(0).be16(0).u32(0x00000002u).bytes;
  both.insert(both.end(), v2.begin(), v2.end());
  TSwatchMngr list;
  ASSERT_EQ(loadSwatchFile(put("both.aco", both), list, false), kRcOk);
  EXPECT_EQ(rgbOf(list), (std::vector<Rgb>{{255, 0, 0}}));
  EXPECT_TRUE(messages.shown().empty());

  TSwatchMngr only2;
  EXPECT_EQ(loadSwatchFile(put("v2.aco", aco(2, {{0, 65535, 0, 0, 0}})), only2, false), kRcNothing);
  EXPECT_EQ(only2.count(), 0);
  EXPECT_EQ(texts(), (std::vector<std::string>{"Invalid ACO version!"}));
}

TEST_F(SwatchListTest, CountsBeyondTheDataAndBrokenFiles) {
  // A ".kpl" announcing 1000 colours that holds 2.
  const Bytes kpl = ByteWriter().tag("KPAL").u32(4012).u8(8).u8(8).u8(1).u8(1).u32(1000).u32(0).u32(1).u32(2).bytes;
  TSwatchMngr list;
  ASSERT_EQ(loadSwatchFile(put("k.kpl", kpl), list, false), kRcOk);
  EXPECT_EQ(list.count(), 2);
  EXPECT_EQ(texts(), (std::vector<std::string>{"998個のパレットが読み込めませんでした！"}));

  const struct {
    const char* name;
    Bytes bytes;
    const char* message;
  } broken[] = {
      {"tag.kpl", ByteWriter().tag("KPAX").zeros(16).u32(1).bytes, "パレットファイルのロードに失敗しました！"},
      {"short.kpl", Bytes(19, 0), "パレットファイルのロードに失敗しました！"},
      {"empty.kpl", ByteWriter().tag("KPAL").u32(12).zeros(12).bytes, "扱えないパレットデータ形式でした！"},
      {"short.aco", Bytes{0, 1, 0}, "パレットファイルのロードに失敗しました！"},
      {"cut.aco", aco(1, {}, 5), "扱えないパレットデータ形式でした！"},
  };
  for (const auto& b : broken) {
    SCOPED_TRACE(b.name);
    messages.clear();
    TSwatchMngr l;
    EXPECT_EQ(loadSwatchFile(put(b.name, b.bytes), l, false), kRcNothing);
    ASSERT_FALSE(messages.shown().empty());
    EXPECT_EQ(messages.shown()[0].text, b.message);
  }
}

TEST_F(SwatchListTest, KindsAndEmptyLists) {
  TSwatchMngr list;
  EXPECT_EQ(loadSwatchFile(dir.file("none.kpl"), list, false), kRcFileMissing);
  EXPECT_EQ(loadSwatchFile(put("x.gif", Bytes{1}), list, false), kRcPictureKind);
  EXPECT_EQ(texts(), (std::vector<std::string>{"読み込むことのできないパレット形式です！"}));
  EXPECT_EQ(saveSwatchFile(dir.file("e.kpl"), list), kRcNothing);
  ASSERT_GE(list.addColor(-1, 0), 0);
  EXPECT_EQ(saveSwatchFile(dir.file("e.bmp"), list), kRcPictureKind);
  EXPECT_EQ(saveSwatchFile(dir.file("missing/e.kpl"), list), kRcPaletteWrite);

  messages.clear();
  EXPECT_FALSE(list.loadFromFile(put("y.doc", Bytes{1}), false));
  EXPECT_EQ(messages.shown().back().text, "色見本の読み込みに失敗しました! (err=15)");
}

TEST_F(SwatchListTest, LoadingReplacesOrAppends) {
  TSwatchMngr source;
  ASSERT_GE(source.addColor(-1, paletteColor(1, 2, 3)), 0);
  const std::string path = dir.file("one.kpl");
  ASSERT_EQ(saveSwatchFile(path, source), kRcOk);

  TSwatchMngr list;
  list.addDefaultColors();
  list.setModified(false);
  ASSERT_EQ(loadSwatchFile(path, list, true), kRcOk);
  EXPECT_EQ(list.count(), 257);
  EXPECT_TRUE(list.modified());
  ASSERT_EQ(loadSwatchFile(path, list, false), kRcOk);
  EXPECT_EQ(list.count(), 1);
  EXPECT_FALSE(list.modified());
  EXPECT_EQ(list.fileName(), path);
}

TEST_F(SwatchListTest, DefaultColours) {
  TSwatchMngr list;
  list.addDefaultColors();
  ASSERT_EQ(list.count(), 256);
  const struct {
    int32_t index;
    Rgb rgb;
  } cases[] = {{0, {0, 0, 0}},  {1, {36, 0, 0}},  {7, {255, 0, 0}},
               {8, {0, 36, 0}}, {64, {0, 0, 85}}, {255, {255, 255, 255}}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.index);
    const uint32_t colour = list.getItem(c.index)->Color;
    EXPECT_EQ((Rgb{paletteRed(colour), paletteGreen(colour), paletteBlue(colour)}), c.rgb);
  }
}

TEST_F(SwatchListTest, DefaultFileOrDefaultColours) {
  FakePresetPrefs prefs;
  prefs.program = dir.file("prog");
  prefs.files[PresetSet::Palette] = dir.file("gone.kpl");
  TSwatchMngr list;
  EXPECT_FALSE(list.loadDefault(true, prefs));
  EXPECT_EQ(list.count(), 256);
  EXPECT_TRUE(prefs.files[PresetSet::Palette].empty());
  EXPECT_TRUE(list.fileName().empty());

  TSwatchMngr one;
  ASSERT_GE(one.addColor(-1, paletteColor(9, 9, 9)), 0);
  prefs.folders[PresetSet::Palette] = dir.file("");
  ASSERT_EQ(saveSwatchFile(dir.file("default.kpl"), one), kRcOk);
  TSwatchMngr loaded;
  EXPECT_TRUE(loaded.loadDefault(true, prefs));
  EXPECT_EQ(loaded.count(), 1);
}

TEST_F(SwatchListTest, ListEditingNotifiesAndMarksModified) {
  TSwatchMngr list;
  int changes = 0;
  list.setOnChange([&](TSwatchMngr&) { ++changes; });
  EXPECT_EQ(list.addColor(-1, 1), 0);
  EXPECT_EQ(list.addColor(99, 2), 1);
  EXPECT_EQ(list.addColor(0, 3), 0);
  EXPECT_EQ(list.insertItem(1, TSwatchItem{4, "named"}), 1);
  EXPECT_EQ(list.getItem(1)->Name, "named");
  EXPECT_FALSE(list.deleteItem(4));
  EXPECT_TRUE(list.deleteItem(0));
  EXPECT_EQ(list.getItem(0)->Color, 4u);
  EXPECT_TRUE(list.modified());
  EXPECT_EQ(changes, 5);
  list.setFileName("a");
  list.setFileName("a");
  EXPECT_EQ(changes, 6);
  EXPECT_EQ(list.getItem(-1), nullptr);
}

}  // namespace
}  // namespace pg
