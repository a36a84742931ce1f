#include "record/event_store.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <new>
#include <numeric>
#include <random>
#include <vector>

#include "core/block_compress.h"
#include "platform/message_service.h"
#include "platform/string_table.h"
#include "record/event_owner.h"
#include "record/packet_catalogue.h"

namespace pg {
namespace {

using Bytes = std::vector<uint8_t>;

Bytes counting(size_t n, uint8_t seed = 0) {
  Bytes b(n);
  for (size_t i = 0; i < n; ++i) b[i] = uint8_t(seed + i * 7);
  return b;
}

class FakeOwner final : public EventOwner {
 public:
  CStrokeMngr* eventStrokeManager() override { return reinterpret_cast<CStrokeMngr*>(&strokeSlot); }
  CPenRender* eventPenRenderer() override { return reinterpret_cast<CPenRender*>(&penSlot); }
  int strokeSlot = 0;
  int penSlot = 0;
};

class EventStoreTest : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(store.startRecording(nullptr, nullptr, 40, 40)); }

  // The written bytes walk whole by the size rule.
  void expectWholeStream() {
    SWalkResult r = walkPackets(store.source(), 0, store.writePosition());
    EXPECT_TRUE(r.wellFormed()) << "walk stopped at " << r.offset;
  }

  // One event: a state item, then a committing layer command.
  bool writeEvent(uint16_t layer) {
    uint8_t state[4] = {uint8_t(layer), 0, 0, 0};
    uint8_t body[4] = {uint8_t(layer), uint8_t(layer >> 8), 0, 0};
    return store.writeStatePacket(kStateLayerMask, state, 4) &&
           store.writePacket(kPktLayer, 1, 0, nullptr, 4, body);
  }

  Bytes streamBytes() {
    Bytes b(store.writePosition());
    if (!b.empty()) {
      EXPECT_EQ(store.readRange(0, b.data(), uint32_t(b.size())), b.size());
    }
    return b;
  }

  RecordingMessageService messages;
  ScopedMessageService installMessages{messages};
  FakeOwner owner;
  CEventMngr store{&owner};
};

TEST_F(EventStoreTest, StartsRecordingWithTheVersionItemOpen) {
  EXPECT_TRUE(store.isRecording());
  EXPECT_TRUE(store.hasData());
  EXPECT_TRUE(store.hasEvents());
  EXPECT_EQ(store.segmentCount(), 1u);
  EXPECT_EQ(store.allocatedBytes(), 65536u);
  EXPECT_EQ(store.streamVersion(), 43);
  EXPECT_EQ(store.committedEnd(), 0u);
  EXPECT_EQ(store.strokeManager(), owner.eventStrokeManager());
  EXPECT_EQ(store.penRenderer(), owner.eventPenRenderer());
  const Bytes expected = {0, 0, 4, 0, 58, 0, 0, 0, 0, 0, 0, 0, 0, 0};
  EXPECT_EQ(streamBytes(), expected);
  EXPECT_TRUE(store.isCached(kStateVersion));
  EXPECT_TRUE(store.recordVersion());  // recorded once only
  EXPECT_EQ(store.writePosition(), 14u);
}

TEST_F(EventStoreTest, PacketsCrossSegmentBoundaries) {
  Bytes filler = counting(65530 - store.writePosition());
  ASSERT_EQ(store.append(filler.data(), uint32_t(filler.size())), filler.size());
  ASSERT_EQ(store.writePosition(), 65530u);
  Bytes ten = counting(10, 100);
  ASSERT_EQ(store.append(ten.data(), 10), 10u);
  ASSERT_EQ(store.segmentCount(), 2u);
  EXPECT_TRUE(std::equal(ten.begin(), ten.begin() + 6, store.segment(0).data() + 65530));
  EXPECT_TRUE(std::equal(ten.begin() + 6, ten.end(), store.segment(1).data()));
  Bytes back(10);
  ASSERT_EQ(store.readBytes(65530, back.data(), 10), 10u);
  EXPECT_EQ(back, ten);
}

TEST_F(EventStoreTest, WriteEndingOnASegmentBoundaryAppendsTheNextSegmentFirst) {
  Bytes filler = counting(65536 - store.writePosition());
  ASSERT_EQ(store.append(filler.data(), uint32_t(filler.size())), filler.size());
  EXPECT_EQ(store.writePosition(), 65536u);
  EXPECT_EQ(store.segmentCount(), 2u);
  EXPECT_EQ(store.allocatedBytes(), 131072u);
}

TEST_F(EventStoreTest, WriteAtTakesAtMostOneSegmentAndAppendSplits) {
  Bytes big = counting(70000);
  uint32_t before = store.writePosition();
  EXPECT_EQ(store.writeAt(before, big.data(), uint32_t(big.size())), 0u);
  EXPECT_EQ(store.writeAt(before, big.data(), 0), 0u);
  EXPECT_EQ(store.writeAt(before + 1, big.data(), 4), 0u);  // no gaps
  EXPECT_EQ(store.writePosition(), before);
  EXPECT_EQ(store.writeAt(before, big.data(), 65536), 65536u);
  EXPECT_EQ(store.writePosition(), before);  // writeAt does not move it

  ASSERT_EQ(store.append(big.data(), uint32_t(big.size())), big.size());
  EXPECT_EQ(store.writePosition(), before + 70000);
  Bytes back(70000);
  EXPECT_EQ(store.readRange(before, back.data(), 70000), 70000u);
  EXPECT_EQ(back, big);
}

TEST_F(EventStoreTest, ReadsStopAtTheWritePosition) {
  uint8_t out[16];
  uint32_t end = store.writePosition();
  EXPECT_EQ(store.readBytes(end - 4, out, 4), 4u);
  EXPECT_EQ(store.readBytes(end - 4, out, 5), 0u);
  EXPECT_EQ(store.readBytes(0xFFFFFFF0u, out, 16), 0u);  // no 32-bit wrap
  EXPECT_EQ(store.readRange(0, out, 16), 0u);            // the first piece is already short
}

TEST_F(EventStoreTest, ManyPacketsOverManySegmentsWalkWhole) {
  uint8_t points[16 * 12];
  std::iota(points, points + sizeof points, uint8_t(0));
  for (int stroke = 0; stroke < 1000; ++stroke) {
    uint8_t begin[4] = {1, 0, 0, 0};
    ASSERT_TRUE(store.writePacketOpen(kPktStrokeBeginSimple, 0, 0, nullptr, 4, begin));
    for (int chunk = 0; chunk < 3; ++chunk) ASSERT_TRUE(store.writePacketOpen(kPktStrokePoints, 16, 0, nullptr, 192, points));
    ASSERT_TRUE(store.writePacket(kPktStrokeLast, 5, 0, nullptr, 60, points));
  }
  EXPECT_GT(store.segmentCount(), 4u);
  EXPECT_EQ(store.committedCount(), 1000u);
  EXPECT_EQ(store.committedEnd(), store.writePosition());
  EXPECT_EQ(store.committedSegments(), (store.committedEnd() + 65535) / 65536);
  expectWholeStream();
}

TEST_F(EventStoreTest, WritesOutsideRecordingSucceedWithoutWriting) {
  uint32_t before = store.writePosition();
  uint8_t body[4] = {};
  for (EventMode mode : {EventMode::Idle, EventMode::Replaying, EventMode::Sealed}) {
    store.setMode(mode);
    EXPECT_FALSE(store.isRecording());
    EXPECT_TRUE(store.writePacket(kPktLayer, 1, 0, nullptr, 4, body));
    EXPECT_TRUE(store.writeDataPacket(kDataStartTime, 4, body));
    EXPECT_TRUE(store.commit());
    EXPECT_EQ(store.writePosition(), before);
    EXPECT_EQ(store.committedCount(), 0u);
  }
}

TEST_F(EventStoreTest, CommitMakesEverythingSinceTheLastCommitOneEvent) {
  ASSERT_TRUE(writeEvent(1));
  EXPECT_EQ(store.committedCount(), 1u);
  EXPECT_EQ(store.committedEnd(), store.writePosition());
  EXPECT_EQ(store.undoCount(), 1);
  // The version item, the state item and the command form the first event.
  EXPECT_EQ(store.firstCommandOfLastEvent(), (SPacketHeader{kPktLayer, 1}));
  uint32_t firstEnd = store.committedEnd();
  ASSERT_TRUE(store.writeDataPacket(kDataStartTime, 16, counting(16).data()));
  EXPECT_EQ(store.committedEnd(), firstEnd);  // open
  ASSERT_TRUE(store.writePacket(kPktDocument, kDocReset, 0, nullptr, 0, nullptr));
  EXPECT_EQ(store.firstCommandOfLastEvent(), (SPacketHeader{kPktDocument, kDocReset}));
  Bytes b = streamBytes();
  const Bytes dataHeader = {1, 17, 16, 0, 0, 0};
  EXPECT_TRUE(std::equal(dataHeader.begin(), dataHeader.end(), b.begin() + firstEnd));
  expectWholeStream();
}

TEST_F(EventStoreTest, UndoAndRedoMoveTheEndOfTheRecording) {
  std::vector<uint32_t> ends;
  for (uint16_t layer = 1; layer <= 3; ++layer) {
    ASSERT_TRUE(writeEvent(layer));
    ends.push_back(store.committedEnd());
  }
  EXPECT_EQ(store.redoCount(), 0);
  ASSERT_TRUE(store.undoEvent());
  ASSERT_TRUE(store.undoEvent());
  EXPECT_EQ(store.writePosition(), ends[0]);
  EXPECT_EQ(store.committedCount(), 1u);
  EXPECT_EQ(store.redoCount(), 2);
  ASSERT_TRUE(store.redoEvent());
  EXPECT_EQ(store.writePosition(), ends[1]);
  EXPECT_EQ(store.committedEnd(), ends[1]);
  EXPECT_EQ(store.committedCount(), 2u);
  EXPECT_EQ(store.redoCount(), 1);

  // A new event discards the remaining redo entry.
  ASSERT_TRUE(writeEvent(9));
  EXPECT_EQ(store.redoCount(), 0);
  EXPECT_FALSE(store.redoEvent());
  EXPECT_EQ(store.committedCount(), 3u);
  expectWholeStream();

  // Undo back to the start, then redo all the way.
  while (store.undoEvent()) {
  }
  EXPECT_EQ(store.writePosition(), 0u);
  EXPECT_EQ(store.committedCount(), 0u);
  EXPECT_EQ(store.redoCount(), 3);
  while (store.redoEvent()) {
  }
  EXPECT_EQ(store.committedCount(), 3u);
  EXPECT_EQ(store.firstCommandOfLastEvent(), (SPacketHeader{kPktLayer, 1}));
  expectWholeStream();
}

TEST_F(EventStoreTest, ANewEventAfterUndoingEverythingStartsAFreshHistory) {
  ASSERT_TRUE(writeEvent(1));
  ASSERT_TRUE(writeEvent(2));
  ASSERT_TRUE(store.undoEvent());
  ASSERT_TRUE(store.undoEvent());
  ASSERT_TRUE(writeEvent(3));
  EXPECT_EQ(store.committedCount(), 1u);
  EXPECT_EQ(store.undoCount(), 1);
  EXPECT_EQ(store.redoCount(), 0);
  EXPECT_FALSE(store.redoEvent());
  ASSERT_TRUE(store.undoEvent());
  EXPECT_EQ(store.writePosition(), 0u);
  ASSERT_TRUE(store.redoEvent());
  EXPECT_EQ(store.committedCount(), 1u);
  expectWholeStream();
}

// Redone, the tone and nib definitions are in the stream again: their ids
// map to them once more, so they are selected, never defined twice.
TEST_F(EventStoreTest, UndoClearsTheCachedBitsOfTheUndoneStateItemsAndRedoMapsTheirIds) {
  ASSERT_TRUE(writeEvent(1));
  uint8_t paper[4] = {1, 2, 3, 0};
  uint8_t stroke[8] = {};
  uint8_t tone[160 + 4] = {};
  writeLE32(tone, 77);
  writeLE32(tone + 156, 4);
  ASSERT_TRUE(store.writeStatePacket(2, paper, 4));
  ASSERT_TRUE(store.writeStatePacket(16, stroke, 8));
  const uint32_t toneAt = store.writePosition();
  ASSERT_TRUE(store.writeStatePacket(kStateTone, tone, sizeof tone));
  ASSERT_TRUE(store.recordedToneIds().setAt(77, toneAt));
  uint8_t nib[40 + 4] = {};
  writeLE32(nib, 9);
  writeLE32(nib + 36, 4);
  const uint32_t nibAt = store.writePosition();
  ASSERT_TRUE(store.writeStatePacket(kStateNib, nib, sizeof nib));
  ASSERT_TRUE(store.recordedNibIds().setAt(9, nibAt));
  ASSERT_TRUE(store.writePacket(kPktLayer, 2, 0, nullptr, 4, paper));
  EXPECT_TRUE(store.isCached(2));
  EXPECT_TRUE(store.isCached(16));
  EXPECT_TRUE(store.isCached(37));  // one bit for 36 and 37

  ASSERT_TRUE(store.undoEvent());
  EXPECT_FALSE(store.isCached(2));
  EXPECT_FALSE(store.isCached(16));
  EXPECT_FALSE(store.isCached(kStateTone));
  EXPECT_TRUE(store.isCached(kStateVersion));  // recorded by the first event
  uint32_t value;
  EXPECT_FALSE(store.recordedToneIds().lookup(77, value));
  EXPECT_FALSE(store.recordedNibIds().lookup(9, value));

  ASSERT_TRUE(store.redoEvent());
  ASSERT_TRUE(store.recordedToneIds().lookup(77, value));
  EXPECT_EQ(value, toneAt);
  ASSERT_TRUE(store.recordedNibIds().lookup(9, value));
  EXPECT_EQ(value, nibAt);
  EXPECT_TRUE(store.isCached(kStateVersion));
}

TEST_F(EventStoreTest, TakeStateFlagsClearsTheLayerAndMaskBit) {
  ASSERT_TRUE(writeEvent(1));
  store.setStateBits(kEvStepPoints, true);
  store.setReplayFlags(kRfLastChunk);
  SStateFlags flags = store.takeStateFlags();
  EXPECT_EQ(flags.cached, (1u << 0) | (1u << kCachedLayerMaskBit));
  EXPECT_EQ(flags.state, kEvStepPoints);
  EXPECT_EQ(flags.replayFlags, kRfLastChunk);
  EXPECT_FALSE(store.isCached(kStateLayerMask));
  EXPECT_TRUE(store.isCached(kStateVersion));
}

TEST(EventStoreIndex, KeepsAtMostItsCapacityOfEvents) {
  CEventMngr store(nullptr);
  ASSERT_TRUE(store.startRecording(nullptr, nullptr, 8, 8));
  std::vector<uint32_t> starts;
  uint8_t body[4] = {};
  for (int i = 0; i < 9; ++i) {
    starts.push_back(store.writePosition());
    ASSERT_TRUE(store.writePacket(kPktLayer, 1, 0, nullptr, 4, body));
  }
  EXPECT_EQ(store.undoCount(), 8);
  int undone = 0;
  while (store.undoEvent()) ++undone;
  // Keeping the end of the newest event for redo takes one entry: the oldest
  // two events can no longer be taken back.
  EXPECT_EQ(undone, 7);
  EXPECT_EQ(store.writePosition(), starts[2]);
  EXPECT_LE(store.undoCount(), 8);
  EXPECT_EQ(store.committedCount(), 2u);
}

TEST_F(EventStoreTest, ResizeIndexKeepsTheEvents) {
  for (uint16_t layer = 1; layer <= 5; ++layer) ASSERT_TRUE(writeEvent(layer));
  uint32_t end = store.writePosition();
  ASSERT_TRUE(store.resizeIndex(12, 12));
  EXPECT_EQ(store.undoCount(), 5);
  ASSERT_TRUE(store.undoEvent());
  ASSERT_TRUE(store.redoEvent());
  EXPECT_EQ(store.writePosition(), end);
}

TEST_F(EventStoreTest, DiscardRedoAndDropLastEvent) {
  for (uint16_t layer = 1; layer <= 3; ++layer) ASSERT_TRUE(writeEvent(layer));
  uint32_t secondEnd = 0;
  ASSERT_TRUE(store.undoEvent());
  secondEnd = store.writePosition();
  EXPECT_TRUE(store.discardRedo());
  EXPECT_EQ(store.redoCount(), 0);
  EXPECT_FALSE(store.redoEvent());

  ASSERT_TRUE(store.dropLastEvent());
  EXPECT_LT(store.writePosition(), secondEnd);
  EXPECT_EQ(store.committedCount(), 1u);
  EXPECT_FALSE(store.redoEvent());
  ASSERT_TRUE(writeEvent(4));
  EXPECT_EQ(store.committedCount(), 2u);
  expectWholeStream();
}

TEST_F(EventStoreTest, SealAndResumeEndWhereTheStreamEnded) {
  ASSERT_TRUE(writeEvent(1));
  ASSERT_TRUE(writeEvent(2));
  uint32_t end = store.writePosition();
  Bytes before = streamBytes();
  ASSERT_TRUE(store.seal());
  EXPECT_EQ(store.mode(), EventMode::Sealed);
  EXPECT_EQ(store.writePosition(), end + 2);
  EXPECT_EQ(store.firstCommandOfLastEvent(), (SPacketHeader{kPktDocument, kDocSeal}));
  EXPECT_FALSE(store.seal());  // not recording any more
  uint8_t body[4] = {};
  EXPECT_TRUE(store.writePacket(kPktLayer, 1, 0, nullptr, 4, body));
  EXPECT_EQ(store.writePosition(), end + 2);

  ASSERT_TRUE(store.resume());
  EXPECT_EQ(store.mode(), EventMode::Recording);
  EXPECT_EQ(store.writePosition(), end);
  EXPECT_EQ(store.committedCount(), 2u);
  EXPECT_EQ(streamBytes(), before);
  EXPECT_FALSE(store.resume());  // only from the sealed mode
  ASSERT_TRUE(store.undoEvent());
  ASSERT_TRUE(store.redoEvent());
  EXPECT_EQ(store.writePosition(), end);
}

TEST_F(EventStoreTest, ResumeNeedsASealAsTheLastEvent) {
  ASSERT_TRUE(writeEvent(1));
  store.setMode(EventMode::Sealed);  // a finished replay
  EXPECT_FALSE(store.resume());
  EXPECT_EQ(store.mode(), EventMode::Sealed);
}

TEST_F(EventStoreTest, SaveStreamWritesTheCommittedBytesOnly) {
  Bytes filler = counting(70000);
  ASSERT_TRUE(store.writePacket(kPktData, 0, 70000, filler.data(), 4, Bytes{0x70, 0x11, 1, 0}.data()));
  ASSERT_TRUE(store.writePacketOpen(kPktDocument, 4, 0, nullptr, 0, nullptr));  // open
  Bytes out;
  VectorSink sink(out);
  EXPECT_EQ(store.saveStream(sink), store.committedEnd());
  Bytes committed = streamBytes();
  committed.resize(store.committedEnd());
  EXPECT_EQ(out, committed);
}

TEST_F(EventStoreTest, ClearForgetsEverything) {
  ASSERT_TRUE(writeEvent(1));
  EXPECT_TRUE(store.recordedNibIds().setAt(3, 3));
  store.clear();
  EXPECT_EQ(store.mode(), EventMode::Idle);
  EXPECT_FALSE(store.hasData());
  EXPECT_FALSE(store.hasEvents());
  EXPECT_EQ(store.writePosition(), 0u);
  EXPECT_EQ(store.committedCount(), 0u);
  EXPECT_EQ(store.cachedState(), 0u);
  EXPECT_EQ(store.undoCount(), 0);
  EXPECT_EQ(store.redoCount(), 0);
  EXPECT_EQ(store.recordedNibIds().size(), 0u);
  EXPECT_FALSE(store.undoEvent());
  ASSERT_TRUE(store.startRecording(nullptr, nullptr, 40, 40));
  ASSERT_TRUE(writeEvent(2));
  EXPECT_EQ(store.committedCount(), 1u);
}

// Freed segments are reused by the next store; a reused block must look like a
// fresh one, and the stream written into it must read back the same.
TEST(EventStoreSegments, ReusedSegmentsComeBackZeroedAndHoldTheSameStream) {
  releaseCachedSegments();
  Bytes filler = counting(3 * CEventMngr::kSegmentSize, 9);
  Bytes first;
  {
    CEventMngr store(nullptr);
    ASSERT_TRUE(store.startRecording(nullptr, nullptr, 40, 40));
    ASSERT_TRUE(store.writePacket(kPktData, 0, uint32_t(filler.size()), filler.data(), 4, Bytes{1, 2, 3, 4}.data()));
    first.resize(store.committedEnd());
    ASSERT_EQ(store.readRange(0, first.data(), uint32_t(first.size())), first.size());
  }
  const size_t cached = cachedSegmentBlocks();
  EXPECT_GE(cached, 4u);
  CMemSeg segment;
  ASSERT_TRUE(segment.allocate(CEventMngr::kSegmentSize));
  EXPECT_EQ(cachedSegmentBlocks(), cached - 1);
  EXPECT_TRUE(std::all_of(segment.data(), segment.data() + segment.size(), [](uint8_t b) { return b == 0; }));
  // A segment of another size neither takes from the cache nor adds to it.
  CMemSeg odd;
  ASSERT_TRUE(odd.allocate(1000));
  odd.free();
  EXPECT_EQ(cachedSegmentBlocks(), cached - 1);

  CEventMngr again(nullptr);
  ASSERT_TRUE(again.startRecording(nullptr, nullptr, 40, 40));
  ASSERT_TRUE(again.writePacket(kPktData, 0, uint32_t(filler.size()), filler.data(), 4, Bytes{1, 2, 3, 4}.data()));
  Bytes second(again.committedEnd());
  ASSERT_EQ(again.readRange(0, second.data(), uint32_t(second.size())), second.size());
  EXPECT_EQ(second, first);
  releaseCachedSegments();
  EXPECT_EQ(cachedSegmentBlocks(), 0u);
}

// Packets that fit the current segment take a direct path; every packet must
// lie in the stream exactly as the plain appends of its header, payload and
// data put it, across segment boundaries and after undo.
TEST(EventStoreSegments, PacketsMatchPlainAppendsOfTheirBytes) {
  std::mt19937 rng(15);
  CEventMngr store(nullptr), plain(nullptr);
  ASSERT_TRUE(store.startRecording(nullptr, nullptr, 40, 40));
  ASSERT_TRUE(plain.startRecording(nullptr, nullptr, 40, 40));
  for (int i = 0; i < 3000; ++i) {
    const uint32_t payloadSize = rng() % 300;
    const uint32_t dataLength = rng() % 8 == 0 ? rng() % 70000 : 0;
    Bytes payload = counting(payloadSize, uint8_t(rng())), data = counting(dataLength, uint8_t(rng()));
    const uint8_t head[2] = {uint8_t(rng() % 4 + 2), uint8_t(rng())};
    ASSERT_TRUE(store.writePacketOpen(head[0], head[1], dataLength, data.data(), payloadSize, payload.data()));
    ASSERT_EQ(plain.append(head, 2), 2u);
    ASSERT_EQ(plain.append(payload.data(), payloadSize), payloadSize);
    ASSERT_EQ(plain.append(data.data(), dataLength), dataLength);
    if (rng() % 3 == 0) {
      ASSERT_TRUE(store.commit());
    }
    if (rng() % 50 == 0 && store.undoEvent()) {
      // Both continue from the start of the undone event, which is now to be
      // overwritten while it can still be redone.
      Bytes kept(store.writePosition());
      ASSERT_EQ(plain.readRange(0, kept.data(), uint32_t(kept.size())), kept.size());
      plain.clear();
      ASSERT_TRUE(plain.prepare(nullptr, nullptr, 40, 40));
      plain.setMode(EventMode::Recording);
      ASSERT_EQ(plain.append(kept.data(), uint32_t(kept.size())), kept.size());
    }
    ASSERT_EQ(store.writePosition(), plain.writePosition()) << i;
  }
  Bytes a(store.writePosition()), b(plain.writePosition());
  ASSERT_EQ(store.readRange(0, a.data(), uint32_t(a.size())), a.size());
  ASSERT_EQ(plain.readRange(0, b.data(), uint32_t(b.size())), b.size());
  EXPECT_EQ(a, b);
}

TEST(EventStoreSetUp, InvalidStoresRefuseToPrepare) {
  CEventMngr store(nullptr, 0, 0);
  EXPECT_FALSE(store.isValid());
  EXPECT_FALSE(store.prepare(nullptr, nullptr, 8, 8));
  EXPECT_FALSE(store.startRecording(nullptr, nullptr, 8, 8));
  CEventMngr noIndex(nullptr);
  EXPECT_FALSE(noIndex.prepare(nullptr, nullptr, 8, 0));
}

// Failure handling: a store with small segments whose allocations the test
// refuses at will.
class EventStoreFailureTest : public ::testing::Test {
 protected:
  void SetUp() override {
    store.setSegmentAllocHook([this](size_t index) {
      if (index >= throwFrom) throw std::bad_alloc();
      return index < refuseFrom;
    });
    ASSERT_TRUE(store.startRecording(nullptr, nullptr, 40, 40));
  }

  bool writeState(uint8_t subcode, uint32_t size) {
    Bytes body(size, subcode);
    return store.writeStatePacket(subcode, body.data(), size);
  }

  // A stroke of n points: begin, chunks of 16, the last chunk.
  bool writeStroke(int points) {
    Bytes chunk(16 * 12, 0x5A);
    uint8_t begin[4] = {};
    if (!store.writePacketOpen(kPktStrokeBeginSimple, 0, 0, nullptr, 4, begin)) return false;
    store.setStateBits(kEvStrokeOpen, true);
    for (; points > 16; points -= 16)
      if (!store.writePacketOpen(kPktStrokePoints, 16, 0, nullptr, uint32_t(chunk.size()), chunk.data())) return false;
    if (!store.writePacket(kPktStrokeLast, uint8_t(points), 0, nullptr, uint32_t(points * 12), chunk.data())) return false;
    store.setStateBits(kEvStrokeOpen, false);
    return true;
  }

  size_t refuseFrom = SIZE_MAX;
  size_t throwFrom = SIZE_MAX;
  RecordingMessageService messages;
  ScopedMessageService installMessages{messages};
  CEventMngr store{nullptr, 256, 4096};
};

TEST_F(EventStoreFailureTest, AFailedWriteRollsTheWholeOpenEventBack) {
  ASSERT_TRUE(writeStroke(20));
  uint32_t committed = store.committedEnd();
  uint32_t cachedBefore = store.cachedState();
  refuseFrom = store.segmentCount();  // the next segment cannot be had

  ASSERT_TRUE(writeState(16, 8));
  ASSERT_TRUE(writeState(17, 8));
  EXPECT_TRUE(store.isCached(16));
  EXPECT_FALSE(writeStroke(40));  // a point chunk needs the next segment

  EXPECT_EQ(store.writePosition(), committed);  // nothing of the stroke is left
  EXPECT_EQ(store.committedEnd(), committed);
  EXPECT_EQ(store.committedCount(), 1u);
  EXPECT_FALSE(store.isStrokeOpen());
  EXPECT_EQ(store.cachedState(), cachedBefore);  // items 16 and 17 are recorded again next time
  EXPECT_FALSE(store.recordingStopped());
  EXPECT_TRUE(messages.shown().empty());

  // Once memory is back the next command stands alone in its event.
  refuseFrom = SIZE_MAX;
  uint8_t body[4] = {};
  ASSERT_TRUE(store.writePacket(kPktLayer, 1, 0, nullptr, 4, body));
  EXPECT_EQ(store.committedCount(), 2u);
  EXPECT_EQ(store.firstCommandOfLastEvent(), (SPacketHeader{kPktLayer, 1}));
  EXPECT_EQ(store.writePosition(), committed + 6);
  EXPECT_TRUE(walkPackets(store.source(), 0, store.writePosition()).wellFormed());
}

TEST_F(EventStoreFailureTest, ACachedItemIsMarkedOnlyOnceItsWriteSucceeded) {
  refuseFrom = store.segmentCount();
  Bytes filler(store.allocatedBytes() - store.writePosition() - 4, 0);
  ASSERT_EQ(store.append(filler.data(), uint32_t(filler.size())), filler.size());
  ASSERT_TRUE(store.commit());
  EXPECT_FALSE(writeState(16, 8));
  EXPECT_FALSE(store.isCached(16));
  refuseFrom = SIZE_MAX;
  EXPECT_TRUE(writeState(16, 8));
  EXPECT_TRUE(store.isCached(16));
}

TEST_F(EventStoreFailureTest, AnExceptionStopsTheRecordingWithAWarning) {
  ASSERT_TRUE(writeStroke(3));
  uint32_t committed = store.committedEnd();
  throwFrom = store.segmentCount();
  ASSERT_TRUE(writeState(16, 8));
  EXPECT_FALSE(writeStroke(60));

  ASSERT_EQ(messages.shown().size(), 1u);
  EXPECT_EQ(messages.shown()[0].kind, MessageKind::Warning);
  EXPECT_EQ(messages.shown()[0].text, resString(CEventMngr::kResRecordingException));
  EXPECT_EQ(messages.shown()[0].text.rfind("イベント記録中に例外が発生しました!\r", 0), 0u);
  EXPECT_TRUE(store.recordingStopped());
  EXPECT_FALSE(store.isRecording());
  EXPECT_FALSE(store.hasEvents());
  EXPECT_EQ(store.writePosition(), committed);
  EXPECT_FALSE(store.isCached(16));

  // From now on writes succeed without writing.
  throwFrom = SIZE_MAX;
  EXPECT_TRUE(writeStroke(5));
  EXPECT_EQ(store.writePosition(), committed);
  EXPECT_EQ(messages.shown().size(), 1u);
  EXPECT_FALSE(store.seal());
}

TEST_F(EventStoreFailureTest, RolledBackPacketsGiveBackTheBytesOfUndoneEvents) {
  ASSERT_TRUE(writeStroke(20));
  ASSERT_TRUE(writeStroke(30));
  uint32_t end = store.writePosition();
  Bytes before(end);
  ASSERT_EQ(store.readRange(0, before.data(), end), end);
  ASSERT_TRUE(store.undoEvent());

  // A command that writes its state and then gives up, over the undone stroke.
  ASSERT_TRUE(writeState(16, 8));
  ASSERT_TRUE(writeState(18, 22));
  store.rollbackOpenEvent();
  ASSERT_TRUE(store.redoEvent());
  EXPECT_EQ(store.writePosition(), end);
  Bytes after(end);
  ASSERT_EQ(store.readRange(0, after.data(), end), end);
  EXPECT_EQ(after, before);

  // The same when the write itself fails.
  ASSERT_TRUE(store.undoEvent());
  refuseFrom = store.segmentCount();
  Bytes big(200, 1);
  ASSERT_TRUE(writeState(16, 8));
  while (store.writePacketOpen(kPktData, 0, uint32_t(big.size()), big.data(), 4, Bytes{200, 0, 0, 0}.data())) {
  }
  ASSERT_TRUE(store.redoEvent());
  ASSERT_EQ(store.readRange(0, after.data(), end), end);
  EXPECT_EQ(after, before);
  EXPECT_TRUE(walkPackets(store.source(), 0, store.writePosition()).wellFormed());
}

}  // namespace
}  // namespace pg
