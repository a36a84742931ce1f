#include "record/state_recorder.h"

#include <gtest/gtest.h>

#include "brush/gradient.h"
#include "brush/pen_shape_obj.h"
#include "brush/stroke_settings.h"
#include "brush/tone_list.h"
#include "core/block_compress.h"
#include "platform/fonts.h"
#include "platform/message_service.h"
#include "record/state_packets.h"
#include "record_test_util.h"

namespace pg::test {
namespace {

class StateRecorderTest : public ::testing::Test {
 protected:
  void SetUp() override {
    stroke.kind = skAirbrush;
    stroke.color = 0x00AABBCC;
    stroke.useGradation = 1;
    doc.values.paperPixel = 0x123456;
    doc.values.canvasColorShown = false;
    doc.values.bgPatternShown = true;
    doc.values.gradientStart = {1 << 16, 2 << 16};
    doc.values.gradientEnd = {3, -4};
    doc.values.gradientType = 1;
    doc.values.gradientRepeat = 2;
    doc.values.gradientWrap = true;
    doc.values.gradientCount = 3;
    doc.values.currentLayer = 2;
    doc.values.currentMask = -1;
    doc.values.selectionEnabled = true;
    ASSERT_TRUE(store.startRecording(&stroke, &tones, 40, 40));
  }

  // A layer command that closes the event under way.
  void commitCommand() {
    const uint8_t body[4] = {};
    ASSERT_TRUE(store.writePacket(kPktLayer, 1, 0, nullptr, 4, body));
  }

  std::vector<SPacket> recordedBy(const std::function<bool()>& record) {
    const uint32_t from = store.writePosition();
    EXPECT_TRUE(record());
    return packetsOf(store, from);
  }

  RecordingMessageService messages;
  ScopedMessageService installMessages{messages};
  TStroke stroke;
  CToneMngr tones;
  FakeDocSource doc;
  FakeToolSource tools;
  CEventMngr store{nullptr};
  CStateRecorder state{store, doc, &tools};
};

TEST_F(StateRecorderTest, TheDocumentSetCarriesTheDocumentsValues) {
  const std::vector<SPacket> packets = packetsOf(store);  // the version item so far
  ASSERT_EQ(packets.size(), 1u);
  EXPECT_EQ(packets[0].body, (Bytes{4, 0, 58, 0, 0, 0, 0, 0, 0, 0, 0, 0}));

  const std::vector<SPacket> set = recordedBy([&] { return state.recordDocumentState(); });
  struct Expected {
    uint8_t subcode;
    Bytes body;
  };
  const Expected expected[] = {
      {2, {0x56, 0x34, 0x12, 0}},
      {3, {0xCC, 0xBB, 0xAA, 3}},
      {4, {0, 0, 1, 0, 0, 0, 2, 0, 3, 0, 0, 0, 0xFC, 0xFF, 0xFF, 0xFF}},
      {5, {1, 2, 1, 0, 3, 0, 0, 0, 0, 0, 0, 0}},
      {8, {2, 0, 0xFF, 0xFF}},
      {12, {9, 0}},
  };
  ASSERT_EQ(set.size(), std::size(expected));
  for (size_t i = 0; i < set.size(); ++i) {
    EXPECT_EQ(set[i].type, kPktState);
    EXPECT_EQ(set[i].subcode, expected[i].subcode);
    EXPECT_EQ(set[i].body, expected[i].body) << "item " << int(expected[i].subcode);
  }
  expectCatalogueSizes(store);
}

TEST_F(StateRecorderTest, UnchangedStateWritesOnlyTheCurrentLayerAgain) {
  ASSERT_TRUE(state.recordFullState());
  commitCommand();
  EXPECT_EQ(headersOf(recordedBy([&] { return state.recordFullState(); })), (std::vector<int>{hdr(0, 8)}));
}

TEST_F(StateRecorderTest, AChangedItemIsWrittenOnceBeforeTheNextCommand) {
  ASSERT_TRUE(state.recordFullState());
  commitCommand();
  doc.values.paperPixel = 0xFF0000;
  std::vector<SPacket> set = recordedBy([&] { return state.recordDocumentState(); });
  EXPECT_EQ(headersOf(set), (std::vector<int>{hdr(0, 2), hdr(0, 8)}));
  EXPECT_EQ(set[0].body, (Bytes{0, 0, 0xFF, 0}));
  commitCommand();
  EXPECT_EQ(headersOf(recordedBy([&] { return state.recordDocumentState(); })), (std::vector<int>{hdr(0, 8)}));
}

TEST_F(StateRecorderTest, TheStrokeSetCarriesTheStrokeSettings) {
  stroke.ifSIZE = 1;
  stroke.ifEDGE = 1;
  stroke.opacity = 0.5f;
  stroke.WIDTH = 12.0f;
  stroke.MIN = 25.0f;
  stroke.EFFECT = 1.0f;
  stroke.ENV = 2.0f;
  stroke.SPEED = 3.0f;
  stroke.GAMMA = 0.5f;
  stroke.penSpacing = 0.25f;
  stroke.falloffCurveType = 4;
  const std::vector<SPacket> set = recordedBy([&] { return state.recordStrokeState(); });
  ASSERT_EQ(headersOf(set), (std::vector<int>{hdr(0, 13), hdr(0, 16), hdr(0, 17), hdr(0, 18)}));
  EXPECT_EQ(set[0].body, (Bytes{5, 0}));
  EXPECT_EQ(set[1].body, (Bytes{0xCC, 0xBB, 0xAA, skAirbrush, 0, 0, 0, 0x3F}));
  EXPECT_EQ(set[2].body, (Bytes{0, 0, 0x40, 0x41, 0, 0, 0xC8, 0x41}));
  EXPECT_EQ(set[3].body, (Bytes{0, 0, 0x80, 0x3F, 0, 0, 0, 0x40, 0, 0, 0x40, 0x40, 0, 0, 0, 0x3F, 0, 0, 0x80, 0x3E,
                                4, 0}));
  commitCommand();

  // A change of one setting brings back only its item.
  stroke.WIDTH = 13.0f;
  EXPECT_EQ(headersOf(recordedBy([&] { return state.recordStrokeState(); })), (std::vector<int>{hdr(0, 17)}));
}

TEST_F(StateRecorderTest, UndoingTheEventThatCarriedAnItemRecordsItAgain) {
  ASSERT_TRUE(state.recordFullState());
  commitCommand();
  ASSERT_TRUE(state.recordStrokeState());  // nothing new
  commitCommand();
  ASSERT_TRUE(store.undoEvent());
  ASSERT_TRUE(store.undoEvent());
  EXPECT_EQ(headersOf(recordedBy([&] { return state.recordStrokeState(); })),
            (std::vector<int>{hdr(0, 13), hdr(0, 16), hdr(0, 17), hdr(0, 18)}));
}

TEST_F(StateRecorderTest, WhileNotRecordingTheCacheFollowsAndNothingIsWritten) {
  store.setMode(EventMode::Replaying);
  const uint32_t end = store.writePosition();
  EXPECT_EQ(state.recordItem(kStatePaperColor), ItemResult::Recorded);
  EXPECT_TRUE(store.isCached(kStatePaperColor));
  EXPECT_TRUE(state.recordFullState());
  EXPECT_EQ(state.recordTone(), ItemResult::Unchanged);
  EXPECT_EQ(store.writePosition(), end);
}

TEST_F(StateRecorderTest, AFailedWriteLeavesTheItemToBeRecordedAgain) {
  CEventMngr small{nullptr, 32, 32};
  CStateRecorder smallState{small, doc, &tools};
  ASSERT_TRUE(small.startRecording(&stroke, &tones, 40, 40));
  bool allow = false;
  small.setSegmentAllocHook([&](size_t index) { return index == 0 || allow; });
  // The set outgrows the first segment part way.
  EXPECT_FALSE(smallState.recordDocumentState());
  EXPECT_FALSE(small.isCached(kStatePaperColor));
  EXPECT_EQ(small.writePosition(), small.committedEnd());
  allow = true;
  ASSERT_TRUE(smallState.recordDocumentState());
  EXPECT_TRUE(small.isCached(kStatePaperColor));
  EXPECT_EQ(headersOf(packetsOf(small)).at(1), hdr(0, 2));
}

TEST_F(StateRecorderTest, FontAndTextAreWrittenEveryTime) {
  SLogFont font;
  font.Height = -20;
  font.FaceName = "IPAGothic";
  for (int round = 0; round < 2; ++round) {
    const std::vector<SPacket> packets = recordedBy([&] {
      return state.recordFont(font, 3, 0xFFFE) && state.recordText("\xE3\x81\x82" "b");
    });
    ASSERT_EQ(headersOf(packets), (std::vector<int>{hdr(0, 32), hdr(0, 33)}));
    Bytes font60(kLogFontBytes);
    packLogFont(font, font60.data());
    Bytes expectedFont = font60;
    expectedFont.insert(expectedFont.end(), {3, 0, 0xFE, 0xFF, 0, 0, 0, 0});
    EXPECT_EQ(packets[0].body, expectedFont);
    EXPECT_EQ(packets[1].body, (Bytes{4, 0, 0x82, 0xA0, 'b', 0}));
  }
  expectCatalogueSizes(store);
}

TEST_F(StateRecorderTest, AToneIsDefinedOnceThenSelected) {
  EXPECT_EQ(state.recordTone(), ItemResult::Failed);  // the switches are not recorded yet

  TChannel tile(6, 5);
  for (int32_t y = 0; y < 5; ++y)
    for (int32_t x = 0; x < 6; ++x) *tile.pixelAt(x, y) = uint8_t(x * 40 + y);
  ASSERT_EQ(tones.addTone(tile, 150, true, 7, 8), 0);
  tones.setCurrentIndex(0);
  tones.current()->Name = "dots";
  stroke.useTone = 1;

  std::vector<SPacket> set = recordedBy([&] { return state.recordDocumentState(); });
  ASSERT_EQ(set.back().subcode, kStateTone);
  const SPacket& def = set.back();
  const SToneDefinition head = SToneDefinition::decode(def.body.data());
  EXPECT_EQ(head.id, tones.current()->Id);
  EXPECT_EQ(readLE16(def.body.data() + 12), 8);  // bit depth
  EXPECT_EQ(readLE16(def.body.data() + 14), 0);  // a stored tile
  EXPECT_EQ(head.nameLength, 4);
  EXPECT_EQ(readLE32(def.body.data() + 20), kToneFlagPlain | kToneFlagInvert);
  EXPECT_EQ(readLE32(def.body.data() + 24), 150u);
  EXPECT_EQ(readLE32(def.body.data() + 28), 7u);
  EXPECT_EQ(readLE32(def.body.data() + 36), 6u);
  EXPECT_EQ(std::string(def.body.begin() + 84, def.body.begin() + 88), "dots");
  EXPECT_EQ(head.unpackedLength, 30u);
  EXPECT_EQ(head.paddedLength, def.body.size() - kToneDefineBytes);
  Bytes pixels(30);
  ASSERT_TRUE(expandExact(def.body.data() + kToneDefineBytes, head.packedLength, pixels.data(), pixels.size()));
  EXPECT_EQ(pixels, Bytes(tile.Bits, tile.Bits + 30));
  uint32_t at = 0;
  ASSERT_TRUE(store.recordedToneIds().lookup(head.id, at));
  commitCommand();

  // The same tone again: nothing. A moved origin: a selection.
  EXPECT_EQ(state.recordTone(), ItemResult::Unchanged);
  tones.current()->OffsetX = 9;
  set = recordedBy([&] { return state.recordTone() == ItemResult::Recorded; });
  ASSERT_EQ(headersOf(set), (std::vector<int>{hdr(0, kStateToneSelect)}));
  EXPECT_EQ(SToneSelection::decode(set[0].body.data()).originX, 9);
  commitCommand();

  // Undoing the defining event forgets the id: the tone is defined again.
  ASSERT_TRUE(store.undoEvent());
  ASSERT_TRUE(store.undoEvent());
  EXPECT_FALSE(store.recordedToneIds().lookup(head.id, at));
  EXPECT_EQ(headersOf(recordedBy([&] { return state.recordDocumentState(); })).back(), hdr(0, kStateTone));
  expectCatalogueSizes(store);

  // With the tone switch off nothing of the tone is written.
  commitCommand();
  stroke.useTone = 0;
  tones.current()->OffsetX = 1;
  for (const SPacket& p : recordedBy([&] { return state.recordDocumentState(); }))
    EXPECT_NE(p.subcode, kStateToneSelect);
}

TEST_F(StateRecorderTest, TheGradientIsWrittenWhenItChanges) {
  CColorSlotGroup stops(4);
  ASSERT_TRUE(stops.putColor(0, 0x0000FF, 255, 0x10000));
  ASSERT_TRUE(stops.putColor(1, 0xFF0000, 128, 0x10000));
  ASSERT_TRUE(stops.normalize());
  tools.gradient = &stops;

  std::vector<SPacket> set = recordedBy([&] { return state.recordDocumentState(); });
  ASSERT_EQ(set.back().subcode, kStateGradient);
  ASSERT_EQ(set.back().body.size(), 12u + 48u);
  EXPECT_EQ(Bytes(set.back().body.begin(), set.back().body.begin() + 12),
            (Bytes{2, 0, 24, 0, 0, 0, 48, 0, 0, 0, 0, 0}));
  EXPECT_EQ(decodeColorSlot(set.back().body.data() + 36), *stops.getSlot(1));
  commitCommand();
  EXPECT_EQ(state.recordGradient(false), ItemResult::Unchanged);

  ASSERT_TRUE(stops.putColor(1, 0x00FF00, 128, 0x10000));
  stroke.useGradation = 0;
  ASSERT_TRUE(state.recordDocumentState());
  EXPECT_EQ(state.recordGradient(false), ItemResult::Unchanged);  // the gradation switch is off
  EXPECT_EQ(state.recordGradient(true), ItemResult::Recorded);
  EXPECT_EQ(state.recordGradient(true), ItemResult::Unchanged);
  expectCatalogueSizes(store);
}

TEST_F(StateRecorderTest, ThePenStateFollowsTheRenderer) {
  tools.hasPen = true;
  tools.pen.falloff.type = 2;
  tools.pen.colorPair[0] = 0x112233;
  tools.pen.colorPair[1] = 0x445566;
  tools.pen.shape.init(12.5f);
  tools.pen.edge.hard = 1;
  tools.pen.render.method = prmWatercolor;
  tools.pen.render.effect = 40;
  tools.pen.stroke.opacity = 900;
  CPenShapeObj parametric;
  tools.pen.nib = &parametric;

  std::vector<SPacket> set = recordedBy([&] { return state.recordPenState(); });
  ASSERT_EQ(headersOf(set), (std::vector<int>{hdr(0, 48), hdr(0, 50), hdr(0, 52), hdr(0, 53), hdr(0, 56),
                                               hdr(0, 57), hdr(0, 58), hdr(0, 60)}));
  EXPECT_EQ(set[2].body, (Bytes{0xE2, 4, 0xE8, 3, 0xE8, 3, 0, 0, 0, 0, 0, 0}));
  EXPECT_EQ(set[6].body, (Bytes{1, 0, 0, 0}));  // the gradation switch
  commitCommand();
  EXPECT_TRUE(recordedBy([&] { return state.recordPenState(); }).empty());

  // An image nib is defined once, then selected when its scale changes.
  TChannel image(20, 10);
  for (int32_t y = 0; y < 10; ++y)
    for (int32_t x = 0; x < 20; ++x) *image.pixelAt(x, y) = uint8_t(x ^ y);
  CPenShapeObj nib;
  ASSERT_TRUE(nib.setImage(image, true));
  tools.pen.nib = &nib;
  set = recordedBy([&] { return state.recordPenState(); });
  ASSERT_EQ(headersOf(set), (std::vector<int>{hdr(0, 52), hdr(0, kStateNib)}));
  EXPECT_EQ(set[0].body[8], 1);
  const SNibDefinition def = SNibDefinition::decode(set[1].body.data());
  EXPECT_EQ(def.id, nib.id());
  EXPECT_EQ(def.width, 20);
  EXPECT_EQ(def.height, 10);
  EXPECT_EQ(def.imageBytes, 200u);
  Bytes pixels(200);
  ASSERT_TRUE(expandExact(set[1].body.data() + kNibDefineBytes, def.packedLength, pixels.data(), pixels.size()));
  EXPECT_EQ(pixels, Bytes(nib.image()->Bits, nib.image()->Bits + 200));
  commitCommand();

  // A second image nib is defined too; going back to the first selects it.
  CPenShapeObj other;
  ASSERT_TRUE(other.setImage(TChannel(8, 8), true));
  tools.pen.nib = &other;
  EXPECT_EQ(headersOf(recordedBy([&] { return state.recordPenState(); })), (std::vector<int>{hdr(0, kStateNib)}));
  commitCommand();
  tools.pen.nib = &nib;
  set = recordedBy([&] { return state.recordPenState(); });
  ASSERT_EQ(headersOf(set), (std::vector<int>{hdr(0, kStateNibSelect)}));
  const SNibSelection selection = SNibSelection::decode(set[0].body.data());
  EXPECT_EQ(selection.id, nib.id());
  EXPECT_EQ(selection.scale, nib.scale());
  EXPECT_EQ(selection.width, 20);
  expectCatalogueSizes(store);
}

}  // namespace
}  // namespace pg::test
