#include "record/tone_records.h"

#include <gtest/gtest.h>

#include <bit>

#include "brush/screen_tone.h"
#include "brush/tone_patterns.h"
#include "record/packet_catalogue.h"

namespace pg {
namespace {

TEST(ToneRecords, PlainPatternFlagsFollowItsSwitch) {
  struct Case {
    uint8_t invert;
    uint32_t flags;
  };
  for (const Case& c : {Case{0, 256}, Case{1, 258}}) {
    CPat8 pattern(8, 0, 4);
    pattern.Invert = c.invert;
    SToneRecord record;
    record.fill(0xEE);
    patternToRecord(record, pattern);
    EXPECT_EQ(readToneRecord(record).flags, c.flags);
  }
}

TEST(ToneRecords, PlainPatternFieldsLieWhereTheRecordSays) {
  CPat8 pattern(8, 0, 4);
  pattern.Scale = 150;
  pattern.OffsetX = -3;
  pattern.OffsetY = 70000;
  SToneRecord record;
  patternToRecord(record, pattern);
  SToneRecord expected{};
  const uint8_t head[] = {8, 0, 0, 0, 0, 0, 1, 0, 0, 1, 0, 0, 150, 0, 0, 0,
                          0xFD, 0xFF, 0xFF, 0xFF, 0x70, 0x11, 0x01, 0, 8, 0, 0, 0, 4, 0, 0, 0};
  std::copy(std::begin(head), std::end(head), expected.begin());
  EXPECT_EQ(record, expected);
}

TEST(ToneRecords, GeneratedToneRoundTripsItsAttributes) {
  CPat8Tone tone;
  SToneAttr attr;
  attr.Shape = 3;
  attr.Resolution = 350.0f;
  attr.Ruling = 60.5f;
  attr.Density = 40;
  attr.Angle = 45;
  attr.Smoothing = 2;
  for (uint32_t flag : {0u, 1u}) {
    attr.Flag = flag;
    ASSERT_TRUE(tone.build(&attr, nullptr, nullptr, true));
    SToneRecord record;
    toneToRecord(record, tone);
    const SToneRecordFields fields = readToneRecord(record);
    EXPECT_EQ(fields.form, kToneFormGenerated);
    const uint32_t flags = fields.flags;
    EXPECT_EQ(flags & kToneFlagPlain, 0u);
    EXPECT_EQ(flags & kToneFlagAttribute, flag);
    EXPECT_EQ(readLE32(record.data() + 44), std::bit_cast<uint32_t>(350.0f));  // the resolution's place

    SToneAttr back;
    back.Flag = 7;
    recordToAttributes(record, back);
    EXPECT_EQ(back.Shape, attr.Shape);
    EXPECT_EQ(back.Resolution, attr.Resolution);
    EXPECT_EQ(back.Ruling, attr.Ruling);
    EXPECT_EQ(back.Density, attr.Density);
    EXPECT_EQ(back.Angle, attr.Angle);
    EXPECT_EQ(back.Smoothing, attr.Smoothing);
    EXPECT_EQ(back.Flag, flag);
  }
}

TEST(ToneRecords, AttributesToRecordClearsTheFlagBitItDoesNotHold) {
  SToneRecord record{};
  SToneRecordFields fields;
  fields.flags = kToneFlagAttribute | kToneFlagInvert;
  writeToneRecord(record, fields);
  SToneAttr attr;
  attr.Flag = 0;
  attributesToRecord(attr, record);
  EXPECT_EQ(readToneRecord(record).flags, kToneFlagInvert);
}

}  // namespace
}  // namespace pg
