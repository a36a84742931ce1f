// The checked byte cursor: the bytes each kind of field takes, failures at
// the end of the span, and one field list serving both directions.
#include "core/byte_cursor.h"

#include <gtest/gtest.h>

#include <array>
#include <vector>

namespace pg {
namespace {

enum class Kind : uint16_t { A = 1, B = 0x0203 };

struct SSample {
  uint32_t tag = 0;
  int16_t delta = 0;
  uint8_t flags = 0;
  bool on = false;
  Kind kind = Kind::A;
  float gain = 0;
  double scale = 0;
  int64_t big = 0;
  bool operator==(const SSample&) const = default;
};

void sampleFields(CByteCursor& c, SSample& r) {
  c.field(r.tag).field(r.delta).field(r.flags).field(r.on).zeros(3).field(r.kind).field(r.gain).field(r.scale).field(
      r.big);
}

constexpr size_t kSampleBytes = 4 + 2 + 1 + 1 + 3 + 2 + 4 + 8 + 8;

TEST(ByteCursor, OneFieldListWritesAndReadsTheSameLittleEndianBytes) {
  const SSample s{0x4B424556u, -2, 0x81, true, Kind::B, 1.5f, -0.25, -0x0102030405060708};
  std::array<uint8_t, kSampleBytes> bytes;
  bytes.fill(0xEE);
  ASSERT_TRUE(writeRecord(bytes.data(), bytes.size(), s, sampleFields));
  const std::array<uint8_t, kSampleBytes> want = {
      0x56, 0x45, 0x42, 0x4B,                          // tag
      0xFE, 0xFF,                                      // -2
      0x81, 0x01,                                      // flags, on
      0, 0, 0,                                         // zeros
      0x03, 0x02,                                      // kind
      0x00, 0x00, 0xC0, 0x3F,                          // 1.5f
      0, 0, 0, 0, 0, 0, 0xD0, 0xBF,                    // -0.25
      0xF8, 0xF8, 0xF9, 0xFA, 0xFB, 0xFC, 0xFD, 0xFE,  // -0x0102030405060708
  };
  EXPECT_EQ(bytes, want);
  SSample back;
  ASSERT_TRUE(readRecord(bytes.data(), bytes.size(), back, sampleFields));
  EXPECT_EQ(back, s);
}

TEST(ByteCursor, AnAccessPastTheEndFailsAndTouchesNothing) {
  const SSample s{1, 2, 3, true, Kind::B, 4, 5, 6};
  for (size_t size = 0; size < kSampleBytes; ++size) {
    SCOPED_TRACE(size);
    std::vector<uint8_t> bytes(size + 4, 0xEE);
    EXPECT_FALSE(writeRecord(bytes.data(), size, s, sampleFields));
    for (size_t i = size; i < bytes.size(); ++i) ASSERT_EQ(bytes[i], 0xEE) << i;
    SSample back;
    back.big = 77;
    EXPECT_FALSE(readRecord(bytes.data(), size, back, sampleFields));
    EXPECT_EQ(back.big, 77);  // the last field is never reached
  }
  // Once failed, a cursor stays failed even where later fields would fit.
  std::array<uint8_t, 8> bytes{};
  CByteCursor c = CByteCursor::reading(bytes.data(), bytes.size());
  uint64_t wide = 0;
  uint8_t narrow = 9;
  c.at(4).field(wide).field(narrow);
  EXPECT_FALSE(c.ok());
  EXPECT_EQ(narrow, 9);
  EXPECT_EQ(c.remaining(), 0u);
  EXPECT_FALSE(CByteCursor::reading(bytes.data(), bytes.size()).at(9).ok());
  EXPECT_FALSE(CByteCursor::reading(nullptr, 100).zeros(1).ok());
}

TEST(ByteCursor, RawBytesAndPositions) {
  std::array<uint8_t, 10> bytes{};
  uint8_t text[4] = {'K', 'E', 'V', 'P'};
  uint16_t v = 0xBEEF;
  CByteCursor w = CByteCursor::writing(bytes.data(), bytes.size());
  w.at(2).bytes(text, 4).field(v);
  ASSERT_TRUE(w.ok());
  EXPECT_EQ(w.position(), 8u);
  EXPECT_EQ(w.remaining(), 2u);
  EXPECT_EQ(bytes, (std::array<uint8_t, 10>{0, 0, 'K', 'E', 'V', 'P', 0xEF, 0xBE, 0, 0}));
  uint8_t back[4] = {};
  CByteCursor r = CByteCursor::reading(bytes.data(), bytes.size());
  r.zeros(2).bytes(back, 4);
  EXPECT_TRUE(r.ok());
  EXPECT_EQ(std::memcmp(back, text, 4), 0);
}

}  // namespace
}  // namespace pg
