#include "record/state_packets.h"

#include <gtest/gtest.h>

#include <vector>

#include "brush/gradient.h"
#include "brush/tone_patterns.h"
#include "core/block_compress.h"
#include "record/packet_catalogue.h"
#include "record/state_items.h"
#include "record/tone_records.h"

namespace pg {
namespace {

using Bytes = std::vector<uint8_t>;

TEST(StatePackets, PenRecordsHaveTheirFieldsInPlace) {
  uint8_t b[16];
  SGradeMapParam falloff;
  falloff.type = 5;
  falloff.value1 = 250;
  falloff.value2 = 1000;
  encodeFalloff(falloff, b);
  EXPECT_EQ(Bytes(b, b + 8), (Bytes{5, 0, 250, 0, 0xE8, 3, 0, 0}));
  EXPECT_EQ(decodeFalloff(b), falloff);

  SPenShapeParam shape;
  shape.size = 70000;  // 700 pixels: beyond what 16 bits carry
  shape.minSize = 500;
  shape.aspect = 1000;
  shape.angle = 3599;
  encodeNibShape(shape, true, b);
  EXPECT_EQ(Bytes(b, b + 12), (Bytes{0xFF, 0xFF, 0xF4, 1, 0xE8, 3, 0x0F, 0x0E, 1, 0, 0, 0}));
  bool imageNib = false;
  const SPenShapeParam back = decodeNibShape(b, imageNib);
  EXPECT_TRUE(imageNib);
  EXPECT_EQ(back.size, 65535);
  EXPECT_EQ(back.angle, 3599);

  SPenRenderParam render;
  render.method = prmBurnDodge;
  render.subMode = 1;
  render.shapeFlag = 1;
  render.workPlane = 1;
  render.effect = 300;
  render.env = -2;
  render.speed = 7;
  encodeRenderMethod(render, b);
  EXPECT_EQ(Bytes(b, b + 8), (Bytes{1, 6, 1, 1, 0, 0, 0, 0}));
  encodeRenderValues(render, b);
  EXPECT_EQ(Bytes(b, b + 16), (Bytes{0x2C, 1, 0, 0, 0xFE, 0xFF, 0xFF, 0xFF, 7, 0, 0, 0, 0, 0, 0, 0}));
  SPenRenderParam read;
  decodeRenderValues(b, read);
  encodeRenderMethod(render, b);
  decodeRenderMethod(b, read);
  EXPECT_EQ(read, render);

  SStrokeParam stroke;
  stroke.pressureSize = 1;
  stroke.pressureOpacity = 0;
  stroke.opacity = 800;
  stroke.gamma = 150;
  stroke.spacing = 120;
  stroke.dabEveryStep = 3;
  stroke.splitStep = 9;
  encodeStrokeParam(stroke, b);
  EXPECT_EQ(Bytes(b, b + 16), (Bytes{1, 0, 0x20, 3, 0, 0, 150, 0, 120, 0, 3, 0, 9, 0, 0, 0}));
  EXPECT_EQ(decodeStrokeParam(b), stroke);

  encodeEdge(SEdgeParam{1}, b);
  EXPECT_EQ(Bytes(b, b + 12), (Bytes{1, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}));
  encodePenSwitches(true, true, b);
  EXPECT_EQ(Bytes(b, b + 4), (Bytes{3, 0, 0, 0}));
  encodeColorPair(0x11223344, 0xAABBCCDD, b);
  EXPECT_EQ(Bytes(b, b + 8), (Bytes{0x44, 0x33, 0x22, 0x11, 0xDD, 0xCC, 0xBB, 0xAA}));
}

TEST(StatePackets, ToneSelectionOfStoredAndGeneratedPatterns) {
  CPat8 stored(8, 0, 8);
  stored.Invert = 1;
  stored.Scale = 120;
  stored.OffsetX = 5;
  stored.OffsetY = -6;
  SToneSelection s;
  ASSERT_TRUE(toneSelectionOf(stored, s));
  uint8_t b[kToneSelectBytes];
  s.encode(b);
  Bytes expected(kToneSelectBytes, 0);
  writeLE32(expected.data(), stored.Id);
  expected[5] = 1;
  expected[8] = 120;
  expected[12] = 5;
  writeLE32(expected.data() + 16, uint32_t(-6));
  EXPECT_EQ(Bytes(b, b + kToneSelectBytes), expected);
  EXPECT_EQ(SToneSelection::decode(b), s);

  CPat8Tone tone;
  SToneAttr attr;
  attr.Shape = 4;
  attr.Resolution = 300;
  attr.Ruling = 50;
  ASSERT_TRUE(tone.build(&attr, nullptr, nullptr, true));
  ASSERT_TRUE(toneSelectionOf(tone, s));
  EXPECT_EQ(s.kind, 1);
  EXPECT_EQ(s.flags, SToneSelection::kFlagGenerated);
  EXPECT_EQ(s.attributeByte, 4);
}

TEST(StatePackets, ToneDefinitionPutsTheNameLengthOverTheRecord) {
  SToneDefinition def;
  def.id = 9;
  def.record.fill(0x55);
  def.nameLength = 3;
  def.name[0] = 'a';
  def.unpackedLength = 64;
  def.packedLength = 21;
  def.paddedLength = 22;
  uint8_t b[kToneDefineBytes];
  def.encode(b);
  EXPECT_EQ(readLE32(b), 9u);
  EXPECT_EQ(b[12], 0x55);
  EXPECT_EQ(readLE16(b + 16), 3);  // the record's +4
  EXPECT_EQ(b[18], 0x55);
  EXPECT_EQ(b[84], 'a');
  EXPECT_EQ(readLE32(b + 148), 64u);
  EXPECT_EQ(readLE32(b + 152), 21u);
  EXPECT_EQ(readLE32(b + 156), 22u);  // the size rule's length field

  // A length beyond the name area reads as the area.
  writeLE16(b + 16, 500);
  EXPECT_EQ(SToneDefinition::decode(b).nameLength, kToneNameBytes);
}

TEST(StatePackets, ColorSlotsTravelFieldByField) {
  SColorSlot slot;
  slot.Used = 1;
  slot.Enabled = 1;
  slot.Flag = 0;
  slot.Opacity = 200;
  slot.Index = 2;
  slot.Color = 0x01C0FFEE;
  slot.Weight = 0x10000;
  slot.Start = 0x8000;
  slot.Length = -1;
  uint8_t b[kGradientStopBytes];
  encodeColorSlot(slot, b);
  EXPECT_EQ(Bytes(b, b + 24), (Bytes{1, 1, 0, 200, 2, 0, 0, 0, 0xEE, 0xFF, 0xC0, 1, 0, 0, 1, 0, 0, 0x80, 0, 0, 0xFF,
                                     0xFF, 0xFF, 0xFF}));
  EXPECT_EQ(decodeColorSlot(b), slot);
}

TEST(StatePackets, NibRecordsRoundTrip) {
  SNibDefinition def{77, 150, 10, 500, 33, 17, 561, 40, 40};
  uint8_t b[kNibDefineBytes];
  def.encode(b);
  EXPECT_EQ(readLE16(b + 4), 150);
  EXPECT_EQ(readLE32(b + 20), 33u);
  EXPECT_EQ(readLE32(b + 36), 40u);
  const SNibDefinition back = SNibDefinition::decode(b);
  EXPECT_EQ(back.id, 77u);
  EXPECT_EQ(back.scaleMax, 500);
  EXPECT_EQ(back.imageBytes, 561u);

  SNibSelection sel{77, 150, 33, 17};
  uint8_t s[kNibSelectBytes];
  sel.encode(s);
  EXPECT_EQ(Bytes(s, s + 8), (Bytes{77, 0, 0, 0, 0, 0, 150, 0}));
  EXPECT_EQ(SNibSelection::decode(s), sel);

  // Every byte of both, and of the gradient header, in place.
  const SNibDefinition full{0x01020304, 0x0506, 0x0708, 0x090A, 0x11121314, -2, 0x21222324, 0x31323334, 0x41424344};
  full.encode(b);
  EXPECT_EQ(Bytes(b, b + kNibDefineBytes),
            (Bytes{4, 3, 2, 1, 6, 5, 0, 0, 8, 7, 0x0A, 9, 0, 0, 0, 0, 0, 0, 0, 0, 0x14, 0x13, 0x12, 0x11, 0xFE, 0xFF,
                   0xFF, 0xFF, 0x24, 0x23, 0x22, 0x21, 0x34, 0x33, 0x32, 0x31, 0x44, 0x43, 0x42, 0x41}));
  const SNibSelection chosen{0x11121314, 0x1516, -1, 0x21222324};
  chosen.encode(s);
  EXPECT_EQ(Bytes(s, s + kNibSelectBytes), (Bytes{0x14, 0x13, 0x12, 0x11, 0, 0, 0x16, 0x15, 0, 0, 0, 0, 0, 0, 0, 0,
                                                  0xFF, 0xFF, 0xFF, 0xFF, 0x24, 0x23, 0x22, 0x21}));
  uint8_t g[kGradientHeadBytes];
  SGradientHeader{0x0102, 0x0304}.encode(g);
  EXPECT_EQ(Bytes(g, g + kGradientHeadBytes), (Bytes{2, 1, 24, 0, 0, 0, 4, 3, 0, 0, 0, 0}));
  EXPECT_EQ(SGradientHeader::decode(g).dataLength, 0x0304);
}

TEST(StatePackets, PackedDataIsPaddedToEvenAndExpandsBack) {
  Bytes source(1000);
  for (size_t i = 0; i < source.size(); ++i) source[i] = uint8_t(i * 13 % 7);
  std::vector<uint8_t> packed;
  uint32_t length = 0;
  ASSERT_TRUE(packForPacket(source.data(), source.size(), packed, length));
  EXPECT_EQ(packed.size() % 2, 0u);
  EXPECT_TRUE(packed.size() == length || packed.size() == length + 1u);
  Bytes back(source.size());
  EXPECT_TRUE(expandExact(packed.data(), length, back.data(), back.size()));
  EXPECT_EQ(back, source);
}

TEST(StatePackets, PacketStringsAreTerminatedPaddedAndCut) {
  struct Case {
    const char* text;
    size_t max;
    Bytes expected;
  };
  const Case cases[] = {
      {"", 0xFFFE, {0, 0}},
      {"a", 0xFFFE, {'a', 0}},
      {"ab", 0xFFFE, {'a', 'b', 0, 0}},
      {"\xE3\x81\x82", 0xFFFE, {0x82, 0xA0, 0, 0}},  // one CP932 character
      {"abcdef", 4, {'a', 'b', 'c', 0}},
      {"a\xE3\x81\x82\xE3\x81\x84", 4, {'a', 0x82, 0xA0, 0}},
      {"ab\xE3\x81\x82", 4, {'a', 'b', 0, 0}},  // never between the two bytes of a character
  };
  for (const Case& c : cases) EXPECT_EQ(packetString(c.text, c.max), c.expected) << c.text;
}

}  // namespace
}  // namespace pg

namespace pg::test {
namespace {

// Each fixed item of the document and stroke sets is read and written
// through one field list, which takes exactly the size the catalogue gives
// the item; the lengths before texts and data blocks are the catalogue's
// length fields.
TEST(StateItems, EachFieldListTakesTheCataloguesSize) {
  struct Case {
    uint8_t subcode;
    uint32_t bytes;
  };
  const Case cases[] = {
      {kStateVersion, stateItemBytes<SVersionItem>()},
      {kStatePaperColor, stateItemBytes<SPaperColourItem>()},
      {kStateDrawColor, stateItemBytes<SDrawColourItem>()},
      {kStateGradientPoints, stateItemBytes<SGradientPointsItem>()},
      {kStateGradientOptions, stateItemBytes<SGradientOptionsItem>()},
      {kStateLayerMask, stateItemBytes<SLayerMaskItem>()},
      {kStateSwitches, stateItemBytes<SFlagsItem>()},
      {kStatePressure, stateItemBytes<SFlagsItem>()},
      {kStateStrokeColor, stateItemBytes<SStrokeColourItem>()},
      {kStateStrokeSize, stateItemBytes<SStrokeSizeItem>()},
      {kStateStrokeEffect, stateItemBytes<SStrokeEffectItem>()},
      {kStateFont, stateItemBytes<SFontItem>()},
      {kStateText, stateItemBytes<STextLengthItem>()},
      {kStateColorRange, stateItemBytes<SDataLengthItem>()},
  };
  for (const Case& c : cases) {
    const SPacketSizeRule rule = packetSizeRule(kPktState, c.subcode);
    EXPECT_EQ(rule.base, c.bytes) << int(c.subcode);
    if (rule.needsField()) {
      EXPECT_EQ(rule.fieldOffset, 0) << int(c.subcode);
      EXPECT_EQ(rule.fieldBytes(), c.bytes) << int(c.subcode);
    }
  }
  EXPECT_EQ(packetSizeRule(kPktData, 17).base, stateItemBytes<SDataLengthItem>());
  EXPECT_EQ(stateItemBytes<SToneRecordFields>(), kToneRecordBytes);
}

}  // namespace
}  // namespace pg::test
