#include "record/event_vocabulary.h"

#include <gtest/gtest.h>

#include <array>
#include <map>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "platform/string_table.h"

namespace pg {
namespace {

// The vocabulary's maps, as its table lists them.
// (type, subcode) -> index
const std::vector<std::array<int, 3>> kHeaderMap = {
    {2, 0, 4}, {2, 8, 4}, {2, 1, 8}, {2, 2, 6}, {2, 3, 9}, {2, 9, 9},
    {2, 4, 10}, {2, 5, 12}, {2, 6, 7}, {2, 7, 28}, {2, 10, 28}, {2, 16, 18},
    {2, 17, 19}, {2, 18, 17}, {2, 19, 16}, {2, 24, 130}, {2, 25, 131}, {2, 26, 132},
    {2, 32, 13}, {2, 33, 14}, {2, 34, 11}, {2, 35, 15}, {2, 254, 1}, {2, 255, 2},
    {4, 0, 20}, {4, 11, 20}, {4, 1, 24}, {4, 2, 64}, {4, 3, 22}, {4, 4, 32},
    {4, 5, 26}, {4, 10, 26}, {4, 6, 30}, {4, 7, 30}, {4, 12, 30}, {4, 13, 30},
    {4, 8, 31}, {4, 9, 63}, {4, 16, 35}, {4, 21, 35}, {4, 17, 36}, {4, 18, 33},
    {4, 19, 34}, {4, 20, 37}, {4, 24, 104}, {4, 25, 105}, {4, 32, 50}, {4, 33, 53},
    {4, 34, 46}, {4, 35, 75}, {4, 36, 44}, {4, 37, 48}, {4, 38, 42}, {4, 39, 40},
    {4, 48, 49}, {4, 49, 52}, {4, 50, 45}, {4, 51, 76}, {5, 0, 38}, {5, 1, 39},
    {5, 8, 24}, {5, 9, 30}, {5, 10, 30}, {5, 11, 32}, {5, 12, 27}, {5, 13, 25},
    {5, 16, 33}, {6, 0, 60}, {6, 5, 60}, {6, 1, 66}, {6, 2, 61}, {6, 3, 67},
    {6, 6, 67}, {6, 4, 68}, {10, 0, 108}, {10, 1, 120}, {10, 2, 111}, {10, 3, 129},
    {10, 4, 110}, {10, 5, 117}, {10, 6, 114}, {10, 7, 115}, {10, 8, 113}, {10, 9, 112},
    {10, 10, 127}, {10, 25, 127}, {10, 11, 23}, {10, 24, 23}, {10, 12, 116}, {10, 13, 133},
    {10, 14, 118}, {10, 16, 123}, {10, 17, 124}, {10, 19, 124}, {10, 18, 125}, {10, 20, 119},
    {10, 21, 106}, {10, 22, 109}, {10, 26, 128}, {12, 0, 21}, {12, 1, 21}, {12, 2, 5},
    {13, 0, 62}, {13, 2, 62}, {13, 1, 121}, {13, 3, 121}, {13, 4, 65}, {13, 5, 65},
    {13, 16, 69}, {13, 17, 126}, {13, 32, 122},
};
const std::vector<std::pair<int, int>> kFilterCodes = {
    {0, 87}, {64, 87}, {21, 82}, {27, 82}, {48, 103}, {1, 88}, {65, 88}, {22, 97},
    {25, 97}, {49, 86}, {2, 89}, {4, 89}, {23, 100}, {26, 100}, {51, 95}, {3, 90},
    {66, 90}, {24, 79}, {52, 107}, {63, 107}, {8, 92}, {12, 92}, {32, 91}, {67, 91},
    {53, 96}, {9, 93}, {13, 93}, {33, 56}, {54, 84}, {10, 94}, {14, 94}, {34, 98},
    {50, 98}, {55, 55}, {16, 77}, {60, 77}, {35, 58}, {69, 58}, {80, 58}, {85, 58},
    {56, 81}, {17, 78}, {36, 71}, {73, 71}, {57, 41}, {18, 80}, {62, 80}, {37, 73},
    {38, 73}, {72, 73}, {58, 43}, {19, 83}, {61, 83}, {39, 102}, {74, 102}, {59, 99},
    {20, 85}, {40, 59}, {68, 57}, {70, 72}, {71, 74}, {81, 76}, {82, 51}, {83, 54},
    {84, 47}, {86, 101},
};
const std::vector<std::pair<int, int>> kLegacyCodes = {
    {0, 70}, {1, 70}, {2, 70}, {3, 70}, {4, 70}, {256, 20}, {257, 24}, {258, 28},
    {259, 22}, {260, 32}, {261, 26}, {272, 3}, {273, 29}, {274, 33}, {275, 36}, {276, 35},
    {277, 33}, {288, 53}, {289, 50}, {290, 46}, {291, 75}, {292, 64}, {293, 60}, {294, 30},
    {295, 66}, {296, 66}, {297, 68}, {304, 68}, {305, 70}, {512, 4}, {513, 8}, {514, 6},
    {515, 9}, {516, 10}, {517, 12}, {520, 4}, {528, 19}, {529, 18}, {530, 17}, {531, 16},
    {65535, 2},
};

int expectedIndex(int type, int subcode) {
  static const std::map<std::pair<int, int>, int> header = [] {
    std::map<std::pair<int, int>, int> m;
    for (const auto& e : kHeaderMap) m[{e[0], e[1]}] = e[2];
    return m;
  }();
  static const std::map<int, int> filters(kFilterCodes.begin(), kFilterCodes.end());
  if (type == 17 || type == 18) return 70;
  if ((type >= 32 && type <= 35) || type == 38) {
    auto it = filters.find(subcode);
    return it == filters.end() ? 0 : it->second;
  }
  auto it = header.find({type, subcode});
  return it == header.end() ? 0 : it->second;
}

TEST(EventVocabulary, HeaderMapCoversEveryPacketHeader) {
  for (int type = 0; type < 256; ++type)
    for (int sub = 0; sub < 256; ++sub)
      ASSERT_EQ(eventNameIndex(uint8_t(type), uint8_t(sub)), expectedIndex(type, sub))
          << "type " << type << " subcode " << sub;
}

TEST(EventVocabulary, NamedCases) {
  struct Case {
    uint8_t type, subcode, index;
  };
  const Case cases[] = {
      {17, 5, 70}, {18, 1, 70},   {16, 0, 0},    {2, 11, 0},    {33, 34, 98},  {32, 90, 0},
      {10, 7, 115}, {10, 8, 113}, {2, 24, 130},  {2, 25, 131},  {38, 74, 102}, {0, 8, 0},
      {1, 17, 0},  {23, 0, 0},    {2, 255, 2},   {2, 254, 1},   {4, 0, 20},    {4, 11, 20},
  };
  for (const Case& c : cases) EXPECT_EQ(eventNameIndex(c.type, c.subcode), c.index) << int(c.type) << "," << int(c.subcode);
  EXPECT_EQ(eventIdentifier(98), "layer.filter.emboss");
  EXPECT_EQ(eventDisplayName(98), "エンボス");
  EXPECT_EQ(eventIdentifier(115), "mask.property.order");
  EXPECT_EQ(eventIdentifier(113), "mask.property.offset");
  EXPECT_EQ(eventIdentifier(130), "visibility.layer.all");
  EXPECT_EQ(eventIdentifier(131), "visibility.layer.only");
}

TEST(EventVocabulary, FilterCodesAndLegacyCodes) {
  std::map<int, int> filters(kFilterCodes.begin(), kFilterCodes.end());
  for (int code = 0; code < 256; ++code) {
    auto it = filters.find(code);
    EXPECT_EQ(filterCodeIndex(uint8_t(code)), it == filters.end() ? 0 : it->second) << code;
  }
  std::map<int, int> legacy(kLegacyCodes.begin(), kLegacyCodes.end());
  for (int code = 0; code < 65536; ++code) {
    auto it = legacy.find(code);
    ASSERT_EQ(legacyCodeKind(uint16_t(code)), it == legacy.end() ? 0 : it->second) << code;
  }
  EXPECT_EQ(legacyCodeKind(65535), 2);
  EXPECT_EQ(legacyCodeKind(518), 0);
}

TEST(EventVocabulary, HasOneHundredThirtyThreeNamedEvents) {
  std::set<std::string> names;
  for (int i = 1; i <= kEventCount; ++i) {
    const SEventEntry& e = eventEntry(i);
    std::string name = e.name;
    EXPECT_FALSE(name.empty()) << i;
    EXPECT_NE(name.front(), '.');
    EXPECT_NE(name.find('.'), std::string::npos) << name;
    EXPECT_TRUE(names.insert(name).second) << "twice: " << name;
    EXPECT_GE(e.resId, 64768) << i;
    EXPECT_LE(e.resId, 65320) << i;
    EXPECT_TRUE(hasResString(e.resId)) << "no text for " << name;
    EXPECT_FALSE(eventDisplayName(i).empty()) << name;
  }
  EXPECT_EQ(names.size(), 133u);
  EXPECT_EQ(eventIdentifier(1), "event.begin");
  EXPECT_EQ(eventIdentifier(133), "visibility.selection.walkants");
  EXPECT_EQ(eventDisplayName(1), "イベント記録の開始");
  EXPECT_EQ(eventDisplayName(133), "選択範囲の境界線");
  EXPECT_EQ(eventDisplayName(70), "ストローク");
  // 75 and 76 share one text.
  EXPECT_EQ(eventEntry(75).resId, eventEntry(76).resId);
  for (int outside : {0, 134, -1, 255}) {
    EXPECT_EQ(eventIdentifier(outside), "");
    EXPECT_EQ(eventDisplayName(outside), "");
    EXPECT_EQ(eventIconOf(outside), 86);
  }
}

TEST(EventVocabulary, ImageNumbers) {
  const std::pair<int, int> cases[] = {{1, 86},  {4, 45},  {24, 46}, {30, 35}, {36, 44}, {37, 79},
                                       {61, 29}, {62, 28}, {65, 3},  {66, 24}, {67, 25}, {68, 26},
                                       {69, 37}, {70, 18}, {121, 34}, {123, 30}, {126, 38}, {133, 86}};
  for (auto [index, image] : cases) EXPECT_EQ(eventIconOf(index), image) << index;
}

TEST(EventVocabulary, DisplayNamesFollowTheLanguageModule) {
  overrideResStrings("64807\tEmboss\n");
  EXPECT_EQ(eventDisplayName(98), "Emboss");
  resetResStrings();
  EXPECT_EQ(eventDisplayName(98), "エンボス");
}

TEST(EventVocabulary, EventRecordHeader) {
  SEventRecord r;
  r.fill(0xCC);
  ASSERT_TRUE(initEventHeader(r, 3, 0x1234, 63, 1));
  EXPECT_EQ(eventRecordLayer(r), 3);
  EXPECT_EQ(eventRecordValue(r), 0x1234);
  EXPECT_EQ(eventRecordDataLength(r), 63);
  EXPECT_EQ(eventRecordCount(r), 1);
  EXPECT_EQ(eventRecordElementSize(r), 63);
  for (size_t i = 10; i < r.size(); ++i) EXPECT_EQ(r[i], 0) << i;
  EXPECT_EQ(r[0], 3);  // little-endian
  EXPECT_EQ(r[1], 0);

  ASSERT_TRUE(initEventHeader(r, 0, 0, 56, 1));
  EXPECT_EQ(eventRecordDataLength(r), 56);
  ASSERT_TRUE(initEventHeader(r, 0, 0, 4, 16383));
  EXPECT_EQ(eventRecordDataLength(r), 65532);
  EXPECT_FALSE(initEventHeader(r, 1, 2, 300, 300));  // 90,000 does not fit 16 bits
  EXPECT_EQ(eventRecordDataLength(r), 0);
}

TEST(EventVocabulary, ColorRecord) {
  SColorRecord r;
  r.fill(0xCC);
  makeColorRecord(r, 0xAABBCCDD, 0x12345678, 0);
  const SColorRecord expected = {0xCC, 0xBB, 0xAA, 0, 0x78, 0x56, 0, 0, 0, 0, 0, 0};
  EXPECT_EQ(r, expected);
  makeColorRecord(r, 0, 0, 7);
  EXPECT_EQ(r[6], 7);
}

}  // namespace
}  // namespace pg
