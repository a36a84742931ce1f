// Replay in a document window: the same pixels as the recorded work, pace,
// pause and single step, the stop request and its question, the edit gate,
// and a document that records and paints again afterwards.
#include <gtest/gtest.h>

#include "canvas_fixture.h"
#include "document/flow_image.h"
#include "io/thumbnail_document.h"
#include "platform/string_table.h"
#include "record/event_file.h"
#include "record/event_store.h"
#include "replay/replay_fixture.h"
#include "test_support/temp_folder.h"

namespace pg::test {
namespace {

// Strokes recorded on a document and saved as an event file; a window to
// replay it in.
struct WindowReplay {
  WindowReplay() {
    for (int i = 0; i < 4; ++i) rec.paint(ReplayFixture::line(4.0f + 9 * i, 4, 50, 40 - 8 * i, 10));
    CPaperEventDocument events(*rec.x.doc);
    EXPECT_TRUE(saveEventFile(path, events, false).saved());
  }
  bool open() { return w.window->openEventFile(path, now); }
  // Ticks until the replay ends; the last result.
  ReplayTick runToEnd() {
    ReplayTick r = kReplayNothing;
    for (int guard = 0; guard < 100000 && w.window->isReplaying(); ++guard) r = w.window->replayStep(now += 1);
    return r;
  }
  bool samePixels() {
    TPaper& a = *rec.x.doc;
    TPaper& b = w.window->paper();
    a.composeRect(SRectXYWH{0, 0, a.width, a.height}, false);
    b.composeRect(SRectXYWH{0, 0, b.width, b.height}, false);
    if (a.composite.size() != b.composite.size()) {
      ADD_FAILURE() << "size " << a.composite.Width << "x" << a.composite.Height << " replayed " << b.composite.Width
                    << "x" << b.composite.Height;
      return false;
    }
    for (int32_t y = 0; y < a.composite.Height; ++y)
      for (int32_t x = 0; x < a.composite.Width; ++x)
        if (a.composite.getPixel(x, y) != b.composite.getPixel(x, y)) {
          ADD_FAILURE() << "at " << x << "," << y << ": " << std::hex << a.composite.getPixel(x, y) << " replayed "
                        << b.composite.getPixel(x, y);
          return false;
        }
    return true;
  }

  pg::testing::TempFolder dir;
  std::string path = dir.file("work.ke4");
  ReplayFixture rec;
  CanvasFixture w;
  uint32_t now = 1000;
};

TEST(DrawWindowReplay, ReplaysToThePixelsOfTheWorkAndRecordsAgain) {
  WindowReplay t;
  ASSERT_TRUE(t.open());
  EXPECT_TRUE(t.w.window->isReplaying());
  EXPECT_EQ(t.w.doc().name, "work.ke4");
  // Nothing may edit during the replay.
  EXPECT_FALSE(t.w.window->canEdit(true, false, false));
  EXPECT_FALSE(t.w.window->canEdit(true, true, true));
  EXPECT_TRUE(t.w.window->canEdit(true, true, false));
  // A paused replay lets the commands through that may run then.
  t.w.window->setReplayPause(true);
  EXPECT_TRUE(t.w.window->canEdit(true, true, true));
  EXPECT_FALSE(t.w.window->canEdit(true, false, true));
  t.w.window->setReplayPause(false);
  EXPECT_EQ(t.runToEnd(), kReplayEnd);
  EXPECT_FALSE(t.w.window->isReplaying());
  EXPECT_TRUE(t.samePixels());
  ASSERT_EQ(t.w.host.summaries.size(), 1u);
  EXPECT_EQ(t.w.host.summaries[0].kind, ReplayEndKind::Normal);
  EXPECT_EQ(t.w.host.summaries[0].events, t.w.window->replayedEvents());
  EXPECT_GT(t.w.window->replayedEvents(), 4u);
  // The document is the user's again: editable and recording.
  EXPECT_TRUE(t.w.window->canEdit(true, false, false));
  CEventMngr* store = documentEventStore(t.w.doc());
  ASSERT_NE(store, nullptr);
  EXPECT_TRUE(store->isRecording());
  EXPECT_EQ(t.w.window->replayStep(t.now += 1), kReplayNothing);
}

TEST(DrawWindowReplay, PacePauseAndSingleStep) {
  WindowReplay t;
  ASSERT_TRUE(t.open());
  t.w.window->setReplayWaitMs(50);
  EXPECT_EQ(t.w.window->replayStep(t.now += 50), kReplayEventDone);
  EXPECT_EQ(t.w.window->replayStep(t.now += 10), kReplayNothing);  // not yet
  EXPECT_EQ(t.w.window->replayStep(t.now += 40), kReplayEventDone);
  const uint32_t done = t.w.window->replayedEvents();
  t.w.window->setReplayPause(true);
  EXPECT_TRUE(t.w.window->isReplayPaused());
  for (int i = 0; i < 5; ++i) EXPECT_EQ(t.w.window->replayStep(t.now += 100), kReplayNothing);
  EXPECT_EQ(t.w.window->replayedEvents(), done);
  // One step advances exactly one event (or stroke point), and stays paused.
  EXPECT_EQ(t.w.window->replaySingleStep(t.now += 1), kReplayEventDone);
  EXPECT_EQ(t.w.window->replayedEvents(), done + 1);
  EXPECT_TRUE(t.w.window->isReplayPaused());
  t.w.window->setReplayPause(false);
  t.w.window->setReplayWaitMs(0);
  EXPECT_EQ(t.runToEnd(), kReplayEnd);
  EXPECT_TRUE(t.samePixels());
}

TEST(DrawWindowReplay, AStopRequestAsksAndEndsCleanlyOnYes) {
  WindowReplay t;
  ASSERT_TRUE(t.open());
  t.w.window->setReplayWaitMs(1);  // strokes point by point: the stop comes inside one
  EXPECT_EQ(t.w.window->replayStep(t.now += 5), kReplayEventDone);
  EXPECT_EQ(t.w.window->replayStep(t.now += 5), kReplayEventDone);
  t.w.host.answer = kAnswerNo;
  t.w.window->requestReplayStop();
  EXPECT_EQ(t.w.window->replayStep(t.now += 5), kReplayEventDone);
  EXPECT_EQ(t.w.host.questions, 1);
  EXPECT_EQ(t.w.host.lastQuestion, resString(65152));
  EXPECT_TRUE(t.w.window->isReplaying());
  t.w.host.answer = kAnswerYes;
  t.w.window->requestReplayStop();
  EXPECT_EQ(t.w.window->replayStep(t.now += 5), kReplayEnd);
  EXPECT_FALSE(t.w.window->isReplaying());
  ASSERT_EQ(t.w.host.summaries.size(), 1u);
  EXPECT_EQ(t.w.host.summaries[0].kind, ReplayEndKind::ByUser);
  // No stroke is left open and the document takes a new one.
  EXPECT_FALSE(t.w.window->isStrokeOpen());
  EXPECT_TRUE(t.w.window->canEdit(true, false, false));
  CEventMngr& store = *documentEventStore(t.w.doc());
  EXPECT_TRUE(store.isRecording());
  // A new stroke is painted and recorded after the replayed part.
  const uint32_t recorded = store.committedEnd();
  const TPoint a = TPoint{int32_t(t.w.shown({10, 10}).X), int32_t(t.w.shown({10, 10}).Y)};
  const TPoint b = TPoint{int32_t(t.w.shown({40, 30}).X), int32_t(t.w.shown({40, 30}).Y)};
  t.w.window->activate();
  t.w.drag({a, b});
  EXPECT_GT(store.committedEnd(), recorded);
}

TEST(DrawWindowReplay, AFileThatDoesNotOpenIsReportedAndLeavesNoReplay) {
  WindowReplay t;
  t.path = t.dir.file("missing.ke4");
  EXPECT_FALSE(t.open());
  EXPECT_FALSE(t.w.window->isReplaying());
  ASSERT_EQ(t.w.host.messages.size(), 1u);
  EXPECT_EQ(t.w.host.messages[0], replayMessage(ReplayStart::FileError));
  EXPECT_EQ(t.w.window->replayStep(t.now += 1), kReplayNothing);
}

}  // namespace
}  // namespace pg::test

namespace pg::test {
namespace {

TEST(DrawWindowReplay, AWindowClosedOrGivenAnotherDocumentMidReplayLetsItGo) {
  WindowReplay t;
  ASSERT_TRUE(t.open());
  t.w.window->setReplayWaitMs(1);  // inside a stroke
  for (int i = 0; i < 3; ++i) (void)t.w.window->replayStep(t.now += 5);
  ASSERT_TRUE(t.w.window->isReplaying());
  ASSERT_TRUE(t.w.window->adoptDocument(std::make_unique<TPaper>(t.w.window.get())));
  EXPECT_FALSE(t.w.window->isReplaying());
  EXPECT_EQ(t.w.window->replayStep(t.now += 5), kReplayNothing);
  ASSERT_TRUE(t.open());
  for (int i = 0; i < 3; ++i) (void)t.w.window->replayStep(t.now += 5);
  t.w.window.reset();
}

}  // namespace
}  // namespace pg::test
