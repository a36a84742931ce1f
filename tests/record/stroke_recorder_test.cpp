#include "record/stroke_recorder.h"

#include <gtest/gtest.h>

#include "brush/stroke_settings.h"
#include "platform/message_service.h"
#include "record/state_packets.h"
#include "record/state_recorder.h"
#include "record_test_util.h"

namespace pg::test {
namespace {

class StrokeRecorderTest : public ::testing::Test {
 protected:
  void SetUp() override {
    stroke.kind = skWatercolor;
    doc.values.currentMask = 3;
    ASSERT_TRUE(store.startRecording(&stroke, nullptr, 64, 64));
    ASSERT_TRUE(state.recordFullState());
    ASSERT_TRUE(store.commit());
  }

  // Records a stroke of n points (x = i, y = 2i, pressure i / 100) and
  // answers what it wrote.
  std::vector<SPacket> strokeOf(int n) {
    const uint32_t from = store.writePosition();
    EXPECT_TRUE(strokes.recordStrokeBegin(0.0f, 0.0f, 0.0f));
    EXPECT_TRUE(strokes.isStrokeOpen());
    for (int i = 1; i < n; ++i) EXPECT_TRUE(strokes.recordStrokePoint(float(i), float(2 * i), float(i) / 100));
    EXPECT_EQ(strokes.pointCount(), uint32_t(n));
    EXPECT_TRUE(strokes.recordStrokeEnd());
    EXPECT_FALSE(strokes.isStrokeOpen());
    return packetsOf(store, from);
  }

  RecordingMessageService messages;
  ScopedMessageService installMessages{messages};
  TStroke stroke;
  FakeDocSource doc;
  CEventMngr store{nullptr};
  CStateRecorder state{store, doc};
  CStrokeRecorder strokes{store, state, doc};
};

TEST_F(StrokeRecorderTest, PointsTravelInChunksOfSixteen) {
  struct Case {
    int points;
    std::vector<int> chunks;  // headers after the begin packet
  };
  const Case cases[] = {
      {1, {hdr(18, 1)}},
      {16, {hdr(18, 16)}},
      {17, {hdr(17, 16), hdr(18, 1)}},
      {32, {hdr(17, 16), hdr(18, 16)}},
      {40, {hdr(17, 16), hdr(17, 16), hdr(18, 8)}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.points);
    const uint32_t committedBefore = store.committedCount();
    std::vector<SPacket> packets = strokeOf(c.points);
    // One event: an unchanged state set writes only the current layer first.
    ASSERT_EQ(packets.size(), c.chunks.size() + 2);
    EXPECT_EQ(hdr(packets[0].type, packets[0].subcode), hdr(0, 8));
    EXPECT_EQ(hdr(packets[1].type, packets[1].subcode), hdr(kPktStrokeBeginSimple, 0));
    EXPECT_EQ(packets[1].body, (Bytes{skWatercolor, 0, 3, 0}));
    packets.erase(packets.begin(), packets.begin() + 2);
    EXPECT_EQ(headersOf(packets), c.chunks);
    EXPECT_EQ(store.committedCount(), committedBefore + 1);
    // The points in order, begin point first.
    int i = 0;
    for (const SPacket& p : packets) {
      for (size_t k = 0; k < p.body.size(); k += 12, ++i) {
        EXPECT_EQ(readF32(&p.body[k]), float(i));
        EXPECT_EQ(readF32(&p.body[k + 4]), float(2 * i));
        EXPECT_EQ(readF32(&p.body[k + 8]), float(i) / 100);
      }
    }
    EXPECT_EQ(i, c.points);
  }
  expectCatalogueSizes(store);
}

TEST_F(StrokeRecorderTest, TheBeginTypeFollowsTheStrokeModeAndTheStraightInputSwitch) {
  struct Case {
    uint8_t mode;
    uint8_t straight;
    uint8_t type;
  };
  for (const Case& c : {Case{0, 0, 23}, Case{1, 0, 23}, Case{1, 1, 24}, Case{2, 0, 48}, Case{2, 1, 49}}) {
    doc.values.strokeMode = c.mode;
    stroke.straightInput = c.straight;
    const std::vector<SPacket> packets = strokeOf(2);
    ASSERT_GE(packets.size(), 2u);
    EXPECT_EQ(packets[packets.size() - 2].type, c.type) << int(c.mode) << "," << int(c.straight);
  }
  expectCatalogueSizes(store);
}

TEST_F(StrokeRecorderTest, AFailedWriteInsideAStrokeDropsTheWholeStroke) {
  CEventMngr small{nullptr, 256, 256};
  CStateRecorder smallState{small, doc};
  CStrokeRecorder smallStrokes{small, smallState, doc};
  ASSERT_TRUE(small.startRecording(&stroke, nullptr, 16, 16));
  ASSERT_TRUE(smallState.recordFullState());
  ASSERT_TRUE(small.commit());
  const uint32_t committed = small.committedEnd();
  small.setSegmentAllocHook([](size_t index) { return index == 0; });

  ASSERT_TRUE(smallStrokes.recordStrokeBegin(0, 0, 1));
  bool failed = false;
  for (int i = 1; i < 40; ++i) failed |= !smallStrokes.recordStrokePoint(float(i), 0, 1);
  EXPECT_TRUE(failed);
  EXPECT_FALSE(smallStrokes.isStrokeOpen());
  EXPECT_FALSE(smallStrokes.recordStrokeEnd());
  EXPECT_EQ(small.writePosition(), committed);
  EXPECT_EQ(small.committedEnd(), committed);
  EXPECT_FALSE(small.isCached(kStateLayerMask));

  // The next stroke records whole again.
  small.setSegmentAllocHook({});
  ASSERT_TRUE(smallStrokes.recordStrokeBegin(0, 0, 1));
  for (int i = 1; i < 40; ++i) ASSERT_TRUE(smallStrokes.recordStrokePoint(float(i), 0, 1));
  ASSERT_TRUE(smallStrokes.recordStrokeEnd());
  EXPECT_EQ(small.committedEnd(), small.writePosition());
  expectCatalogueSizes(small);
}

TEST_F(StrokeRecorderTest, UndoRemovesTheStrokeWhole) {
  const uint32_t before = store.committedEnd();
  strokeOf(40);
  ASSERT_TRUE(store.undoEvent());
  EXPECT_EQ(store.writePosition(), before);
}

TEST_F(StrokeRecorderTest, NothingIsWrittenWhileNotRecording) {
  store.setMode(EventMode::Replaying);
  const uint32_t end = store.writePosition();
  EXPECT_TRUE(strokes.recordStrokeBegin(1, 2, 3));
  for (int i = 0; i < 20; ++i) EXPECT_TRUE(strokes.recordStrokePoint(1, 2, 3));
  EXPECT_TRUE(strokes.recordStrokeEnd());
  EXPECT_EQ(store.writePosition(), end);
  EXPECT_FALSE(strokes.isStrokeOpen());
}

}  // namespace
}  // namespace pg::test
