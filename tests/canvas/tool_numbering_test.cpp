#include "canvas/tool_numbering.h"

#include <gtest/gtest.h>

#include <map>
#include <string>

#include "platform/string_table.h"

namespace pg {
namespace tool_numbering_test {

ToolId id(int v) { return static_cast<ToolId>(v); }
ToolClass cls(int v) { return static_cast<ToolClass>(v); }
ToolMode mode(int v) { return static_cast<ToolMode>(v); }
PenSlot slot(int v) { return static_cast<PenSlot>(v); }

// Numbers past every table, as bytes with and without the flag bit.
constexpr int kPastTables[] = {38, 40, 100, 127, 128 + 38, 128 + 127, 255};

// ---- Tool ids, classes and variants -------------------------------------------

struct SIdCase {
  int id;
  int cls;
  int variant;
};

constexpr SIdCase kIdCases[] = {
    {0, 0, 0},  {1, 6, 3},  {2, 6, 4},  {3, 6, 0},  {4, 6, 2},  {5, 6, 1},  {6, 3, 2},
    {7, 5, 3},  {8, 7, 0},  {9, 7, 2},  {10, 7, 1}, {11, 7, 3}, {12, 4, 2}, {13, 4, 4},
    {14, 8, 0}, {15, 8, 2}, {16, 8, 1}, {17, 8, 3}, {18, 5, 1}, {19, 5, 7}, {20, 4, 3},
    {21, 5, 0}, {22, 5, 6}, {23, 5, 2}, {24, 5, 8}, {25, 9, 0}, {26, 9, 1}, {27, 5, 4},
    {28, 2, 0}, {29, 3, 0}, {30, 3, 1}, {31, 1, 0}, {32, 1, 1},
};

TEST(ToolIds, ClassAndVariantOfEveryIdAndBack) {
  static_assert(std::size(kIdCases) == kToolIdCount);
  for (const SIdCase& c : kIdCases) {
    SCOPED_TRACE(c.id);
    for (int flag : {0, 128}) {
      EXPECT_EQ(toolClassOf(id(c.id + flag)), cls(c.cls));
      EXPECT_EQ(toolVariantOf(id(c.id + flag)), c.variant);
    }
    EXPECT_EQ(toolIdOf(toolClassOf(id(c.id)), toolVariantOf(id(c.id))), id(c.id));
  }
}

TEST(ToolIds, IdsPastTheTableHaveNoClassNorVariant) {
  for (int v : {33, 34, 64, 127, 128 + 33, 255}) {
    SCOPED_TRACE(v);
    EXPECT_EQ(toolClassOf(id(v)), ToolClass::None);
    EXPECT_EQ(toolVariantOf(id(v)), -1);
    EXPECT_EQ(toolIdOf(toolClassOf(id(v)), toolVariantOf(id(v))), ToolId::None);
  }
}

TEST(ToolIds, IdOfClassAndVariant) {
  struct Case {
    int cls;
    int32_t variant;
    int expected;
  };
  const Case cases[] = {
      {6, 1, 5},         {6, 2, 4},    {6, 0, 3},         {5, 8, 24},
      {128 + 6, 1, 5},   // the flag bit of the class is ignored
      {5, 5, 255},       // no drag tool has kind 5
      {0, 1, 255},       {10, 0, 255},      {127, 0, 255}, {255, 0, 255},
      {6, 128 + 1, 255}, // the variant is a whole number, not a byte
      {1, -1, 255},      {3, 0x10000, 255},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(::testing::Message() << c.cls << ", " << c.variant);
    EXPECT_EQ(toolIdOf(cls(c.cls), c.variant), id(c.expected));
  }
}

TEST(ToolIds, OnlyZoomEyedropperAndHandRunDuringReplay) {
  const bool refused[kToolClassCount] = {true, false, false, false, true, true, true, true, true, true};
  for (int c = 0; c < kToolClassCount; ++c) {
    SCOPED_TRACE(c);
    EXPECT_EQ(refusedDuringReplay(cls(c)), refused[c]);
    EXPECT_EQ(refusedDuringReplay(cls(c + 128)), refused[c]);
  }
  for (int c : {10, 11, 127, 255}) EXPECT_TRUE(refusedDuringReplay(cls(c))) << c;
  EXPECT_TRUE(refusedDuringReplay(ToolClass::None));
}

// ---- Per-class kinds ------------------------------------------------------------

using KindLookup = bool (*)(ToolId, int32_t&);

struct SKindTable {
  const char* name;
  KindLookup lookup;
  std::map<int, int32_t> kinds;  // every id the lookup answers, with its kind
};

TEST(ToolKinds, EachLookupAnswersExactlyItsClassIds) {
  const SKindTable tables[] = {
      {"brushShape", brushShapeKindOf, {{1, 3}, {2, 4}, {3, 0}, {4, 2}, {5, 1}}},
      {"seed", seedKindOf, {{12, 2}, {20, 3}, {13, 4}}},
      {"drag", dragKindOf, {{21, 0}, {18, 1}, {23, 2}, {7, 3}, {27, 4}, {22, 6}, {19, 7}, {24, 8}}},
      {"fillShape", fillShapeKindOf, {{8, 0}, {9, 2}, {10, 1}, {11, 3}}},
      {"selectShape", selectShapeKindOf, {{14, 0}, {15, 2}, {16, 1}, {17, 3}}},
      {"hand", handKindOf, {{29, 0}, {30, 1}, {6, 2}}},
  };
  for (const SKindTable& t : tables) {
    for (int v = 0; v < 256; ++v) {
      SCOPED_TRACE(::testing::Message() << t.name << " id " << v);
      int32_t kind = -77;
      bool found = t.lookup(id(v), kind);
      auto it = t.kinds.find(v & 127);
      if (it == t.kinds.end()) {
        EXPECT_FALSE(found);
        EXPECT_EQ(kind, -77);  // untouched
      } else {
        EXPECT_TRUE(found);
        EXPECT_EQ(kind, it->second);
        EXPECT_EQ(kind, toolVariantOf(id(v)));
      }
    }
  }
}

// ---- Tool modes -----------------------------------------------------------------

struct SModeCase {
  int mode;
  const char* name;
  int toolId;
  int penSlot;  // -1: none
  int settingKind;
};

const SModeCase kModeCases[] = {
    {0, "鉛筆", 0, 9, 0},
    {1, "鉛筆 - 3互換", 0, 0, 0},
    {2, "消しゴム", 0, 10, 0},
    {3, "マジック消しゴム", 13, -1, 0},
    {4, "消しゴム - 3互換", 0, 1, 0},
    {5, "透明水彩", 0, 11, 0},
    {6, "透明水彩 - 3互換", 0, 2, 0},
    {7, "エアーブラシ", 0, 12, 0},
    {8, "エアーブラシ - 3互換", 0, 3, 0},
    {9, "ぼかし", 0, 13, 0},
    {10, "指先", 0, 14, 0},
    {11, "のばし", 0, 15, 0},
    {12, "ぼかし - 3互換", 0, 4, 0},
    {13, "指先 - 3互換", 0, 6, 0},
    {14, "焼き込み", 0, 16, 0},
    {15, "覆い焼き", 0, 17, 0},
    {16, "焼き込み - 3互換", 0, 7, 0},
    {17, "覆い焼き - 3互換", 0, 8, 0},
    {18, "矩形塗りつぶし", 8, -1, 11},
    {19, "楕円塗りつぶし", 9, -1, 11},
    {20, "多角形塗りつぶし", 10, -1, 11},
    {21, "自由塗りつぶし", 11, -1, 11},
    {22, "塗りつぶし", 12, -1, 4},
    {23, "グラデーション", 7, -1, 19},
    {24, "矩形選択", 14, -1, 16},
    {25, "楕円選択", 15, -1, 16},
    {26, "多角形選択", 16, -1, 17},
    {27, "自由選択", 17, -1, 17},
    {28, "自動選択", 20, -1, 18},
    {29, "レイヤ移動", 21, -1, 8},
    {30, "レイヤ移動(選択範囲追随)", 23, -1, 8},
    {31, "文字描画", 25, -1, 14},
    {32, "文字選択", 26, -1, 15},
    {33, "切り抜き", 27, -1, 20},
    {34, "スポイト", 28, -1, 9},
    {35, "手のひら", 29, -1, 2},
    {36, "手のひら", 30, -1, 1},
    {37, "ズーム", 31, -1, 5},
};

TEST(ToolModes, EveryModeWithAndWithoutTheFlagBit) {
  static_assert(std::size(kModeCases) == kToolModeCount);
  for (const SModeCase& c : kModeCases) {
    for (int flag : {0, 128}) {
      SCOPED_TRACE(c.mode + flag);
      ToolMode m = mode(c.mode + flag);
      EXPECT_EQ(toolIdOfMode(m), id(c.toolId));
      EXPECT_EQ(settingKindOfMode(m), c.settingKind);
      PenSlot s = slot(99);
      EXPECT_EQ(penSlotOfMode(m, s), c.penSlot >= 0);
      EXPECT_EQ(s, slot(c.penSlot >= 0 ? c.penSlot : 99));  // untouched without a slot
      std::string name = "old";
      EXPECT_TRUE(modeDisplayName(m, name));
      EXPECT_EQ(name, c.name);
    }
  }
}

TEST(ToolModes, ModesPastTheTableAnswerNotFound) {
  for (int v : kPastTables) {
    SCOPED_TRACE(v);
    EXPECT_EQ(toolIdOfMode(mode(v)), ToolId::None);
    EXPECT_EQ(settingKindOfMode(mode(v)), kNoSettingKind);
    PenSlot s = slot(99);
    EXPECT_FALSE(penSlotOfMode(mode(v), s));
    EXPECT_EQ(s, slot(99));
    std::string name = "unchanged";
    EXPECT_FALSE(modeDisplayName(mode(v), name));
    EXPECT_EQ(name, "unchanged");
  }
}

TEST(ToolModes, HandAndViewRotationShareANameButNotAnId) {
  std::string hand, rotation;
  EXPECT_TRUE(modeDisplayName(ToolMode::Hand, hand));
  EXPECT_TRUE(modeDisplayName(ToolMode::ViewRotation, rotation));
  EXPECT_EQ(hand, rotation);
  EXPECT_EQ(toolIdOfMode(ToolMode::Hand), ToolId::HandScroll);
  EXPECT_EQ(toolIdOfMode(ToolMode::ViewRotation), ToolId::ViewRotation);
}

TEST(ToolModes, NamesComeFromTheResourceStrings) {
  // A language module that renames the pencil and the suffix renames the
  // compatible pencil with them.
  overrideResStrings("64704\tPencil\n64703\tv3\n");
  std::string name;
  EXPECT_TRUE(modeDisplayName(ToolMode::PencilV3, name));
  EXPECT_EQ(name, "Pencil - v3");
  resetResStrings();
}

// ---- Pen slots ------------------------------------------------------------------

TEST(PenSlots, ModeOfEverySlot) {
  const int modes[kPenSlotCount] = {1, 4, 6, 8, 12, 12, 13, 16, 17, 0, 2, 5, 7, 9, 10, 11, 14, 15};
  for (int s = 0; s < kPenSlotCount; ++s) {
    SCOPED_TRACE(s);
    EXPECT_EQ(modeOfPenSlot(slot(s)), mode(modes[s]));
    EXPECT_EQ(modeOfPenSlot(slot(s + 128)), mode(modes[s]));
  }
  for (int v : {18, 19, 127, 128 + 18, 255}) EXPECT_EQ(modeOfPenSlot(slot(v)), ToolMode::None) << v;
}

TEST(PenSlots, BrushModesRoundTripAndNoModeHasSlotFive) {
  for (int m = 0; m < kToolModeCount; ++m) {
    SCOPED_TRACE(m);
    PenSlot s{};
    bool has = penSlotOfMode(mode(m), s);
    EXPECT_EQ(has, m <= 17 && m != 3);
    if (!has) continue;
    EXPECT_NE(s, slot(5));
    EXPECT_EQ(modeOfPenSlot(s), mode(m));
  }
}

// ---- Shape sub-modes -------------------------------------------------------------

TEST(ShapeSubModes, NamesAndToolIds) {
  const char* names[kShapeSubModeCount] = {"フリーハンド", "単線描画", "複線描画",
                                           "矩形描画",     "楕円描画", "多角形描画"};
  for (int n = 0; n < kShapeSubModeCount; ++n) {
    for (int flag : {0, 128}) {
      SCOPED_TRACE(n + flag);
      EXPECT_EQ(shapeOfSubMode(n + flag), id(n));
      std::string text = "old";
      shapeSubModeName(n + flag, text);
      EXPECT_EQ(text, names[n]);
    }
  }
  // The brush shapes are the ids of the sub-modes 1..5; the freehand brush is 0.
  EXPECT_EQ(toolClassOf(shapeOfSubMode(0)), ToolClass::Brush);
  for (int n = 1; n < kShapeSubModeCount; ++n) EXPECT_EQ(toolClassOf(shapeOfSubMode(n)), ToolClass::BrushShape);
}

TEST(ShapeSubModes, PastTheTableTheNameIsEmpty) {
  for (int v : {6, 7, 127, 128 + 6, 255, -1, 1000}) {
    SCOPED_TRACE(v);
    EXPECT_EQ(shapeOfSubMode(v), ToolId::None);
    std::string text = "old";
    shapeSubModeName(v, text);
    EXPECT_EQ(text, "");
  }
}

}  // namespace tool_numbering_test
}  // namespace pg
