#include "record/packet_catalogue.h"

#include <gtest/gtest.h>

#include <map>
#include <utility>
#include <vector>

namespace pg {
namespace {

constexpr int kAny = -1;

// The size rule of every packet: type, subcodes (kAny for all 256), rule,
// base length and the offset of the length field.
struct Row {
  int type;
  std::vector<int> subcodes;
  BodyRule rule;
  int base;
  int field;
};

const std::vector<Row> kSizeRule = {
    {0, {0, 5, 52, 53}, BodyRule::Fixed, 12, 0},
    {0, {2, 3, 8, 58}, BodyRule::Fixed, 4, 0},
    {0, {4, 57, 60}, BodyRule::Fixed, 16, 0},
    {0, {12, 13}, BodyRule::Fixed, 2, 0},
    {0, {16, 17, 48, 50, 56}, BodyRule::Fixed, 8, 0},
    {0, {18}, BodyRule::Fixed, 22, 0},
    {0, {32}, BodyRule::Fixed, 68, 0},
    {0, {33}, BodyRule::PlusU16, 2, 0},
    {0, {36}, BodyRule::PlusU32, 160, 156},
    {0, {37}, BodyRule::Fixed, 20, 0},
    {0, {40}, BodyRule::PlusU16, 12, 6},
    {0, {44}, BodyRule::PlusU32, 40, 36},
    {0, {45}, BodyRule::Fixed, 24, 0},
    {0, {128, 129}, BodyRule::PlusU32, 22, 12},
    {0, {136}, BodyRule::PlusU32, 4, 0},
    {1, {kAny}, BodyRule::PlusU32, 4, 0},
    {2, {0}, BodyRule::Fixed, 16, 0},
    {2, {1}, BodyRule::Fixed, 4, 0},
    {2, {2, 3, 9}, BodyRule::Fixed, 10, 0},
    {2, {4, 5, 7, 16, 17, 18, 19, 32, 33, 34, 35, 254, 255}, BodyRule::Fixed, 0, 0},
    {2, {6}, BodyRule::Fixed, 18, 0},
    {2, {8}, BodyRule::Fixed, 28, 0},
    {2, {10}, BodyRule::Fixed, 12, 0},
    {2, {11}, BodyRule::Fixed, 20, 0},
    {2, {24, 25, 26}, BodyRule::Fixed, 4, 0},
    {4, {0}, BodyRule::Fixed, 14, 0},
    {4, {1, 2, 3, 4, 5, 8, 9, 24, 25, 32, 33, 34, 35, 36, 37}, BodyRule::Fixed, 4, 0},
    {4, {6, 7, 10, 38, 39, 48, 49, 50, 51}, BodyRule::Fixed, 12, 0},
    {4, {11}, BodyRule::PlusU16, 42, 40},
    {4, {12, 13}, BodyRule::Fixed, 20, 0},
    {4, {16, 17, 18, 20}, BodyRule::Fixed, 6, 0},
    {4, {19}, BodyRule::PlusU16, 4, 2},
    {4, {21}, BodyRule::Fixed, 18, 0},
    {5, {0, 1}, BodyRule::PlusU32, 24, 12},
    {5, {8, 11, 12, 13, 16}, BodyRule::Fixed, 12, 0},
    {5, {9, 10}, BodyRule::Fixed, 20, 0},
    {6, {0, 1, 2, 3, 5, 6}, BodyRule::Fixed, 22, 0},
    {6, {4}, BodyRule::PlusU16Times8, 4, 2},
    {10, {0, 1, 2, 3, 4, 5, 6, 11, 20, 21}, BodyRule::Fixed, 4, 0},
    {10, {7, 8, 9, 10, 13, 14, 22, 24, 25, 26}, BodyRule::Fixed, 12, 0},
    {10, {12}, BodyRule::PlusU16, 4, 2},
    {10, {16, 17, 19}, BodyRule::Fixed, 22, 0},
    {10, {18}, BodyRule::PlusU16Times8, 8, 6},
    {12, {0, 1, 2}, BodyRule::PlusU32, 22, 12},
    {13, {0, 1, 4, 16, 17, 32}, BodyRule::PlusU32, 54, 42},
    {13, {2, 3, 5}, BodyRule::PlusU32, 72, 60},
    {16, {0}, BodyRule::Fixed, 4, 0},
    {20, {0}, BodyRule::Fixed, 4, 0},
    {21, {0}, BodyRule::Fixed, 4, 0},
    {22, {0}, BodyRule::Fixed, 4, 0},
    {23, {0}, BodyRule::Fixed, 4, 0},
    {24, {0}, BodyRule::Fixed, 4, 0},
    {48, {0}, BodyRule::Fixed, 4, 0},
    {49, {0}, BodyRule::Fixed, 4, 0},
    {17, {kAny}, BodyRule::PointsBySubcode, 0, 0},
    {18, {kAny}, BodyRule::PointsBySubcode, 0, 0},
    {32, {0, 1, 8, 9, 12, 13, 20, 52, 53, 56, 64, 65, 81, 82, 83, 84}, BodyRule::Fixed, 4, 0},
    {33, {2, 4, 10, 14, 18, 21, 22, 23, 26, 27, 32, 34, 49, 55, 58, 63, 66, 67, 68, 69, 80, 85, 86},
     BodyRule::Fixed, 12, 0},
    {34, {3, 17, 19, 24, 25, 33, 36, 48, 50, 57, 59, 61, 62, 70, 71, 73}, BodyRule::Fixed, 20, 0},
    {35, {16, 35, 37, 38, 60, 72}, BodyRule::Fixed, 28, 0},
    {38, {kAny}, BodyRule::PlusU16, 50, 4},
};

TEST(PacketCatalogue, SizeRuleOfEveryTypeAndSubcode) {
  std::map<std::pair<int, int>, const Row*> expected;
  for (const Row& row : kSizeRule) {
    for (int sub : row.subcodes) {
      if (sub == kAny) {
        for (int s = 0; s < 256; ++s) ASSERT_TRUE(expected.emplace(std::pair{row.type, s}, &row).second);
      } else {
        ASSERT_TRUE(expected.emplace(std::pair{row.type, sub}, &row).second) << row.type << "," << sub;
      }
    }
  }
  for (int type = 0; type < 256; ++type) {
    for (int sub = 0; sub < 256; ++sub) {
      SPacketSizeRule got = packetSizeRule(uint8_t(type), uint8_t(sub));
      auto it = expected.find({type, sub});
      if (it == expected.end()) {
        ASSERT_FALSE(got.known()) << "unknown packet taken: " << type << "," << sub;
        continue;
      }
      const Row& row = *it->second;
      ASSERT_EQ(got.rule, row.rule) << type << "," << sub;
      ASSERT_EQ(got.base, row.base) << type << "," << sub;
      if (got.needsField()) {
        ASSERT_EQ(got.fieldOffset, row.field) << type << "," << sub;
      }
    }
  }
}

// Body length of a packet from the first bytes of its body.
int64_t lengthOf(uint8_t type, uint8_t subcode, std::vector<uint8_t> body) {
  uint64_t length = 0;
  if (!packetBodyLength(type, subcode, body.data(), body.size(), length)) return -1;
  return int64_t(length);
}

std::vector<uint8_t> bodyWithField(size_t size, size_t at, uint32_t value, int bytes) {
  std::vector<uint8_t> body(size, 0);
  for (int i = 0; i < bytes; ++i) body[at + size_t(i)] = uint8_t(value >> (8 * i));
  return body;
}

TEST(PacketCatalogue, BodyLengths) {
  EXPECT_EQ(lengthOf(17, 16, {}), 192);
  EXPECT_EQ(lengthOf(17, 0, {}), 0);
  EXPECT_EQ(lengthOf(18, 1, {}), 12);
  EXPECT_EQ(lengthOf(2, 12, {}), -1);
  EXPECT_EQ(lengthOf(2, 16, {}), 0);
  EXPECT_EQ(lengthOf(4, 19, bodyWithField(4, 2, 6, 2)), 10);
  EXPECT_EQ(lengthOf(10, 18, bodyWithField(8, 6, 3, 2)), 8 + 24);
  EXPECT_EQ(lengthOf(6, 4, bodyWithField(4, 2, 3, 2)), 28);
  EXPECT_EQ(lengthOf(0, 136, bodyWithField(4, 0, 0, 4)), 4);
  EXPECT_EQ(lengthOf(16, 1, {}), -1);
  EXPECT_EQ(lengthOf(50, 0, {}), -1);
  EXPECT_EQ(lengthOf(255, 255, {}), -1);
  for (int sub : {0, 40, 74, 200}) EXPECT_EQ(lengthOf(38, uint8_t(sub), bodyWithField(6, 4, 56, 2)), 106);
  EXPECT_EQ(lengthOf(13, 0, bodyWithField(46, 42, 100, 4)), 154);
  EXPECT_EQ(lengthOf(13, 3, bodyWithField(64, 60, 100, 4)), 172);
  EXPECT_EQ(lengthOf(0, 36, bodyWithField(160, 156, 8, 4)), 168);
  EXPECT_EQ(lengthOf(1, 17, bodyWithField(4, 0, 16, 4)), 20);
  // A u32 length near its top does not wrap.
  EXPECT_EQ(lengthOf(12, 0, bodyWithField(16, 12, 0xFFFFFFFF, 4)), 22 + 4294967295LL);
  EXPECT_EQ(lengthOf(5, 0, bodyWithField(16, 12, 0xFFFFFFFF, 4)), 24 + 4294967295LL);
}

TEST(PacketCatalogue, LengthFieldPastTheEndMakesThePacketUnknown) {
  EXPECT_EQ(lengthOf(4, 19, {0, 0, 6}), -1);  // u16 at 2 cut after one byte
  EXPECT_EQ(lengthOf(38, 0, {0, 0, 0, 0, 56}), -1);
  EXPECT_EQ(lengthOf(0, 36, std::vector<uint8_t>(159, 0)), -1);
  EXPECT_EQ(lengthOf(1, 0, {1, 2, 3}), -1);
  EXPECT_EQ(lengthOf(1, 0, {1, 0, 0, 0}), 5);
  uint64_t length = 0;
  EXPECT_FALSE(packetBodyLength(1, 0, nullptr, 0, length));
  EXPECT_TRUE(packetBodyLength(2, 255, nullptr, 0, length));
  EXPECT_EQ(length, 0u);
}

TEST(PacketCatalogue, RegionFormsAddUpToTheirHeaders) {
  // The 72-byte form: u16, u16, six i32, 8 zero bytes, four u8, u16, 2 zero
  // bytes, four i32, three u32.
  EXPECT_EQ(kRegion72Kind, 2u + 2 + 24 + 8);
  EXPECT_EQ(kRegion72Bounds, kRegion72Kind + 4 + 2 + 2);
  EXPECT_EQ(kRegion72PackedEven, kRegion72Bounds + 16);
  EXPECT_EQ(kRegion72Header, kRegion72Packed + 4);
  EXPECT_EQ(packetSizeRule(13, 2).fieldOffset, kRegion72PackedEven);
  // The 54-byte form: u16, u16, four i32, four u8, u16, four i32, three u32.
  EXPECT_EQ(kRegion54Kind, 2u + 2 + 16);
  EXPECT_EQ(kRegion54Bounds, kRegion54Kind + 4 + 2);
  EXPECT_EQ(kRegion54PackedEven, kRegion54Bounds + 16);
  EXPECT_EQ(kRegion54Header, kRegion54Packed + 4);
  EXPECT_EQ(packetSizeRule(13, 0).fieldOffset, kRegion54PackedEven);
}

TEST(PacketCatalogue, StrokeBeginTypes) {
  for (int t = 0; t < 256; ++t) {
    bool begin = t == 16 || (t >= 20 && t <= 24) || t == 48 || t == 49;
    EXPECT_EQ(isStrokeBeginType(uint8_t(t)), begin) << t;
  }
}

}  // namespace
}  // namespace pg
