// The replay driver: its start and step results, pause, point-by-point
// stepping, the end of the stream, and what a failing packet leaves behind.
#include <gtest/gtest.h>

#include <cstring>
#include <fstream>
#include <limits>

#include "document/undo_mngr_ex.h"
#include "io/thumbnail_document.h"
#include "platform/message_service.h"
#include "platform/res_ids.h"
#include "platform/string_table.h"
#include "record/event_file.h"
#include "record/packet_catalogue.h"
#include "record/state_packets.h"
#include "replay_fixture.h"
#include "test_support/temp_folder.h"

namespace pg::test {
namespace {

TEST(ReplayDriver, StartResultsAndTheirMessages) {
  struct Case {
    const char* what;
    StreamBuilder stream;
    ReplayStart expected;
  };
  std::vector<Case> cases;
  cases.push_back({"image set-up first", StreamBuilder().version(4, 58).imageCreate().seal(), ReplayStart::Started});
  cases.push_back({"reset point first", StreamBuilder().packet(kPktDocument, kDocReset).imageCreate(), ReplayStart::Failed});
  cases.push_back({"paper colour first", StreamBuilder().paperColor(0x123456).imageCreate(), ReplayStart::Failed});
  cases.push_back({"unknown type", StreamBuilder().imageCreate().packet(99, 0), ReplayStart::PacketError});
  cases.push_back({"packet cut short", StreamBuilder().imageCreate().packet(kPktDocument, kDocPaperColor, {1, 2}),
                   ReplayStart::PacketError});
  for (const Case& c : cases) {
    RawReplay r(c.stream);
    EXPECT_EQ(r.engine->startLoaded(), c.expected) << c.what;
    EXPECT_EQ(r.engine->isReplaying(), c.expected == ReplayStart::Started) << c.what;
    if (c.expected == ReplayStart::PacketError) {
      ASSERT_EQ(r.messages.warnings().size(), 1u) << c.what;
      EXPECT_EQ(r.messages.warnings()[0], resString(kResBadEventPacket));
    }
  }
  EXPECT_EQ(replayMessage(ReplayStart::VersionError), resString(65166));
  EXPECT_EQ(replayMessage(ReplayStart::Started), resString(65162));
}

TEST(ReplayDriver, BadPacketsWarnNotInBatchMode) {
  setMessageBatchMode(true);
  RawReplay r(StreamBuilder().imageCreate().packet(99, 0));
  EXPECT_EQ(r.engine->startLoaded(), ReplayStart::PacketError);
  setMessageBatchMode(false);
  EXPECT_TRUE(r.messages.warnings().empty());
}

TEST(ReplayDriver, FileResults) {
  pg::testing::TempFolder dir;
  ReplayFixture f;
  f.paint(ReplayFixture::line(3, 3, 20, 20, 5));
  CPaperEventDocument events(*f.x.doc);
  const std::string file = dir.file("work.ke4");
  ASSERT_TRUE(saveEventFile(file, events, false).saved());
  {
    RecordedDoc y(nullptr);
    CReplayEngine e(*y.doc, *y.flow, *documentEventStore(*y.doc));
    EXPECT_EQ(e.startReplay(file), ReplayStart::Started);
    EXPECT_EQ(e.startReplay(dir.file("missing.ke4")), ReplayStart::FileError);
  }
  // The same file claiming stream version 44.
  std::fstream io(file, std::ios::in | std::ios::out | std::ios::binary);
  io.seekp(16);
  const char v44 = 44;
  io.write(&v44, 1);
  io.close();
  RecordedDoc y(nullptr);
  CReplayEngine e(*y.doc, *y.flow, *documentEventStore(*y.doc));
  EXPECT_EQ(e.startReplay(file), ReplayStart::VersionError);
}

TEST(ReplayDriver, SealedStreamEndsThenRunsIntoTheEnd) {
  RawReplay r(StreamBuilder().version(4, 58).imageCreate().paperColor(0x00102030).seal());
  ASSERT_EQ(r.engine->startLoaded(), ReplayStart::Started);
  EXPECT_EQ(r.engine->replayNext(), ReplayStep::EventDone);
  EXPECT_EQ(r.y.doc->paperColor().pixel(), 0x00102030u);
  EXPECT_EQ(r.engine->replayNext(), ReplayStep::End);
  EXPECT_EQ(r.store->mode(), EventMode::Sealed);
  EXPECT_EQ(r.engine->replayNext(), ReplayStep::Error);
  EXPECT_EQ(r.engine->completedEvents(), 3u);
  EXPECT_EQ(r.engine->eventEnds().back(), r.store->writePosition());
}

TEST(ReplayDriver, AnUnsealedStreamEndsAfterItsLastWholeEvent) {
  RawReplay r(StreamBuilder().imageCreate().paperColor(0x00102030));
  ASSERT_EQ(r.engine->startLoaded(), ReplayStart::Started);
  EXPECT_EQ(r.engine->replayNext(), ReplayStep::EventDone);
  EXPECT_EQ(r.engine->replayNext(), ReplayStep::End);
  EXPECT_EQ(r.store->mode(), EventMode::Sealed);
  EXPECT_EQ(r.engine->replayNext(), ReplayStep::Error);
}

TEST(ReplayDriver, SealEndsTheReplayAlthoughMorePacketsFollow) {
  RawReplay r(StreamBuilder().imageCreate().seal().paperColor(0x00102030));
  ASSERT_EQ(r.engine->startLoaded(), ReplayStart::Started);
  EXPECT_EQ(r.engine->replayNext(), ReplayStep::End);
  EXPECT_NE(r.y.doc->paperColor().pixel(), 0x00102030u);
}

TEST(ReplayDriver, PausedReplayDoesNotMove) {
  RawReplay r(StreamBuilder().imageCreate().paperColor(0x00102030).seal());
  ASSERT_EQ(r.engine->startLoaded(), ReplayStart::Started);
  const uint32_t at = r.engine->replayPosition();
  r.engine->setPaused(true);
  EXPECT_TRUE(r.engine->isPaused());
  for (int i = 0; i < 3; ++i) EXPECT_EQ(r.engine->replayNext(), ReplayStep::Paused);
  EXPECT_EQ(r.engine->replayPosition(), at);
  r.engine->setPaused(false);
  EXPECT_EQ(r.engine->replayNext(), ReplayStep::EventDone);
  EXPECT_GT(r.engine->replayPosition(), at);
}

TEST(ReplayDriver, FailuresStopWithTheirReason) {
  std::vector<StopCase> cases;
  cases.push_back({"extension flags", StreamBuilder().imageCreate().version(4, 58, 1).paperColor(1), ReplayError::Version});
  cases.push_back({"empty point chunk", StreamBuilder().imageCreate().packet(kPktStrokeLast, 0), ReplayError::BadField});
  cases.push_back({"erasing without a selection",
                   StreamBuilder().imageCreate().packet(kPktLayerEdit, 5, std::vector<uint8_t>(22, 0)),
                   ReplayError::OperationFailed});
  cases.push_back({"deleting the only layer", StreamBuilder().imageCreate().packet(kPktLayer, 1, {0, 0, 0, 0}),
                   ReplayError::OperationFailed});
  auto filterRecord = [](uint8_t op, uint16_t length, uint16_t count, uint16_t size) {
    std::vector<uint8_t> b(50 + length, 0);
    writeLE16(b.data() + 4, length);
    writeLE16(b.data() + 6, count);
    writeLE16(b.data() + 8, size);
    return StreamBuilder().imageCreate().packet(kPktFilterRecord, op, b);
  };
  std::vector<uint8_t> nanWidth(8, 0);
  writeF32(nanWidth.data(), std::numeric_limits<float>::quiet_NaN());
  cases.push_back({"width not a number", StreamBuilder().imageCreate().packet(kPktState, kStateStrokeSize, nanWidth),
                   ReplayError::BadField});
  cases.push_back({"unknown stroke kind",
                   StreamBuilder().imageCreate().packet(kPktState, kStateStrokeColor, {0, 0, 0, 120, 0, 0, 128, 63}),
                   ReplayError::BadField});
  {
    // A lamp of a kind no lighting filter knows.
    std::vector<uint8_t> body(50 + 56, 0);
    writeLE16(body.data() + 4, 56);
    writeLE16(body.data() + 6, 1);
    writeLE16(body.data() + 8, 56);
    body[50] = 7;
    cases.push_back({"lighting of an unknown kind", StreamBuilder().imageCreate().packet(kPktFilterRecord, 74, body),
                     ReplayError::OperationFailed});
  }
  cases.push_back({"custom record of 107 bytes", filterRecord(51, 107, 1, 107), ReplayError::BadField});
  {
    // Older tiles whose argument word counts no colours.
    std::vector<uint8_t> tiles(20, 0);
    tiles[5] = 4;  // cell size 4
    cases.push_back({"older tiles without colours", StreamBuilder().imageCreate().packet(kPktFilter4, 36, tiles),
                     ReplayError::OperationFailed});
  }
  for (const bool image : {false, true}) {
    // A nib larger than the tools make (a 200-pixel radius, a 500 per cent scale).
    std::vector<uint8_t> nib(12, 0);
    writeLE16(nib.data(), image ? 50001 : 20001);
    writeLE16(nib.data() + 2, 1000);
    writeLE16(nib.data() + 4, 1000);
    nib[8] = image ? 1 : 0;
    cases.push_back({image ? "image nib scaled past the tools" : "nib wider than the tools",
                     StreamBuilder().imageCreate().packet(kPktState, kStateNibShape, nib), ReplayError::BadField});
  }
  cases.push_back({"filter on a missing layer", StreamBuilder().imageCreate().packet(kPktFilter0, 81, {7, 0, 0, 0}),
                   ReplayError::OperationFailed});
  expectStops(cases);
}

TEST(ReplayDriver, StateBeforeACommandRunsInTheSameStep) {
  ReplayFixture f;
  f.tool.setColor(0x00ABCDEFu);
  f.paint(ReplayFixture::line(3, 3, 20, 20, 3));
  ASSERT_EQ(f.startReplay(), ReplayStart::Started);
  f.replayResetPoint();
  EXPECT_EQ(f.session->engine().replayNext(), ReplayStep::EventDone);
  EXPECT_EQ(f.session->engine().replayStroke().color, 0x00ABCDEFu);
  EXPECT_TRUE(f.session->engine().isCached(kStateStrokeColor));
  EXPECT_FALSE(f.session->engine().strokeOpen());
}

TEST(ReplayDriver, PointByPointStepsOnePointPerCall) {
  for (int points : {1, 16, 40}) {
    ReplayFixture f;
    f.paint(ReplayFixture::line(3, 3, 60, 40, points));
    ASSERT_EQ(f.startReplay(), ReplayStart::Started);
    f.replayResetPoint();
    f.session->setStepPoints(true);
    int calls = 0;
    do {
      ASSERT_EQ(f.session->engine().replayNext(), ReplayStep::EventDone);
      ++calls;
    } while (f.session->engine().strokeOpen() && calls < 1000);
    EXPECT_EQ(calls, points) << points << " points";
    EXPECT_EQ(f.session->engine().replayNext(), ReplayStep::End);
    EXPECT_EQ(picture(*f.y.doc), picture(*f.x.doc)) << points << " points";
  }
}

TEST(ReplayDriver, FinishingAStrokeStoppedInsideIt) {
  ReplayFixture f;
  f.paint(ReplayFixture::line(3, 3, 60, 40, 40));
  ASSERT_EQ(f.startReplay(), ReplayStart::Started);
  f.replayResetPoint();
  f.session->setStepPoints(true);
  ASSERT_EQ(f.session->engine().replayNext(), ReplayStep::EventDone);
  ASSERT_TRUE(f.session->engine().strokeOpen());
  EXPECT_EQ(f.session->engine().finishStroke(), ReplayStep::EventDone);
  EXPECT_FALSE(f.session->engine().strokeOpen());
  EXPECT_EQ(picture(*f.y.doc), picture(*f.x.doc));
}

TEST(ReplayDriver, AStopAfterAnErrorRunsNothingPastIt) {
  // A refused point chunk inside a stroke, then packets the stop must not
  // execute (a larger image set-up hidden after the error would cost its
  // whole size).
  std::vector<uint8_t> pts(2 * kStrokePointBytes, 0);
  for (int i = 0; i < 2; ++i) {
    writeF32(pts.data() + i * kStrokePointBytes, 4.0f + float(i) * 10);
    writeF32(pts.data() + i * kStrokePointBytes + 4, 5.0f);
    writeF32(pts.data() + i * kStrokePointBytes + 8, 1.0f);
  }
  for (bool stepPoints : {false, true}) {
    RawReplay r(StreamBuilder()
                    .imageCreate()
                    .packet(20, 0, {0, 0, 0, 0})
                    .packet(kPktStrokePoints, 2, pts)
                    .packet(kPktStrokeLast, 0)
                    .paperColor(0x00102030)
                    .imageCreate(400, 300)
                    .seal());
    ASSERT_EQ(r.engine->startLoaded(), ReplayStart::Started);
    r.engine->setStepPoints(stepPoints);
    ReplayStep step = ReplayStep::EventDone;
    for (int guard = 0; guard < 10 && step == ReplayStep::EventDone; ++guard) step = r.engine->replayNext();
    ASSERT_EQ(step, ReplayStep::Error) << stepPoints;
    EXPECT_EQ(r.engine->lastError(), ReplayError::BadField);
    const uint32_t paper = r.y.doc->paperColor().pixel();
    ASSERT_TRUE(r.engine->strokeOpen());
    EXPECT_EQ(r.engine->finishStroke(), ReplayStep::Error);
    EXPECT_FALSE(r.engine->strokeOpen());
    EXPECT_FALSE(r.y.doc->strokeState().isOpen());
    EXPECT_EQ(r.y.doc->paperColor().pixel(), paper) << stepPoints;
    EXPECT_EQ(r.y.doc->width(), 32) << stepPoints;
    EXPECT_EQ(r.engine->replayNext(), ReplayStep::Error);
    EXPECT_EQ(r.y.doc->width(), 32) << stepPoints;
  }
}

TEST(ReplayDriver, ReplayWritesNeitherEventsNorUndo) {
  ReplayFixture f;
  f.paint(ReplayFixture::line(3, 3, 20, 20, 20));
  ASSERT_TRUE(f.x.doc->setPaperColor(PaperColor::fromRgb(9, 8, 7), true));
  ASSERT_EQ(f.startReplay(), ReplayStart::Started);
  CEventMngr& ys = *documentEventStore(*f.y.doc);
  const uint32_t written = ys.writePosition();
  const uint32_t events = ys.committedCount();
  EXPECT_EQ(f.replayAll(), ReplayStep::End);
  EXPECT_EQ(ys.writePosition(), written);
  EXPECT_EQ(ys.committedCount(), events);
  EXPECT_FALSE(f.y.doc->canUndo(0));
  EXPECT_EQ(picture(*f.y.doc), picture(*f.x.doc));
}

TEST(ReplayDriver, PointsWithoutABeginPaintOnTheCurrentLayer) {
  // (18, 2) straight after the image: the default begin draws with the last
  // drawing mode.
  std::vector<uint8_t> pts(24, 0);
  writeF32(pts.data(), 4.0f);
  writeF32(pts.data() + 4, 4.0f);
  writeF32(pts.data() + 8, 1.0f);
  writeF32(pts.data() + 12, 20.0f);
  writeF32(pts.data() + 16, 10.0f);
  writeF32(pts.data() + 20, 1.0f);
  RawReplay r(StreamBuilder().imageCreate().packet(kPktStrokeLast, 2, pts).seal());
  ASSERT_EQ(r.engine->startLoaded(), ReplayStart::Started);
  const uint64_t before = imageHash(*r.y.doc->getLayer(0)->image);
  EXPECT_EQ(r.engine->replayNext(), ReplayStep::EventDone);
  EXPECT_FALSE(r.engine->strokeOpen());
  EXPECT_NE(imageHash(*r.y.doc->getLayer(0)->image), before);
  EXPECT_EQ(r.engine->replayNext(), ReplayStep::End);
}

}  // namespace
}  // namespace pg::test

namespace pg::test {
namespace {

TEST(ReplayDriver, AReplayStartsAgainOnTheSameEngine) {
  ReplayFixture f;
  f.usePenEngine();
  f.paintEngine(ReplayFixture::line(4, 24, 60, 20, 25));
  ASSERT_EQ(f.startReplay(), ReplayStart::Started);
  EXPECT_EQ(f.replayAll(), ReplayStep::End);
  // A second start makes new replay objects; the document's engine, made
  // over the old ones, goes with them.
  ASSERT_EQ(f.session->engine().startLoaded(), ReplayStart::Started);
  EXPECT_EQ(f.replayAll(), ReplayStep::End);
  // The recording of a replayed document replays again elsewhere.
  RecordedDoc z(nullptr);
  z.window.replaying = true;
  CReplaySession again(*z.doc, *z.flow);
  ASSERT_EQ(again.openStore(*documentEventStore(*f.y.doc)), ReplayStart::Started);
  EXPECT_EQ(again.step(100), ReplayStep::End);
  EXPECT_EQ(picture(*z.doc), picture(*f.x.doc));
}

}  // namespace
}  // namespace pg::test
