// Replay in a document window: the same pixels as the recorded work, pace,
// pause and single step, the stop request and its question, the edit gate,
// and a document that records and paints again afterwards.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

#include "canvas/replay_display.h"
#include "document/flow_image.h"
#include "canvas_fixture.h"
#include "core/resample.h"
#include "record/event_vocabulary.h"
#include "record/packet_catalogue.h"
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
    a.composeRect(SRectXYWH{0, 0, a.width(), a.height()}, false);
    b.composeRect(SRectXYWH{0, 0, b.width(), b.height()}, false);
    if (a.composite().size() != b.composite().size()) {
      ADD_FAILURE() << "size " << a.composite().Width << "x" << a.composite().Height << " replayed " << b.composite().Width
                    << "x" << b.composite().Height;
      return false;
    }
    for (int32_t y = 0; y < a.composite().Height; ++y)
      for (int32_t x = 0; x < a.composite().Width; ++x)
        if (a.composite().getPixel(x, y) != b.composite().getPixel(x, y)) {
          ADD_FAILURE() << "at " << x << "," << y << ": " << std::hex << a.composite().getPixel(x, y) << " replayed "
                        << b.composite().getPixel(x, y);
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
  EXPECT_EQ(t.w.doc().name(), "work.ke4");
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
  // Enter and Escape toggle the pause; with Ctrl they do not.
  EXPECT_TRUE(t.w.window->keyDown(keys::kEnter, false));
  EXPECT_FALSE(t.w.window->isReplayPaused());
  EXPECT_TRUE(t.w.window->keyDown(keys::kEscape, false));
  EXPECT_TRUE(t.w.window->isReplayPaused());
  SKeyState ctrl;
  ctrl.ctrl = true;
  t.w.window->setKeyState(ctrl);
  (void)t.w.window->keyDown(keys::kEnter, false);
  EXPECT_TRUE(t.w.window->isReplayPaused());
  t.w.window->setKeyState(SKeyState{});
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

namespace pg::test {
namespace {

TEST(DrawWindowReplay, ThumbnailSlotsTakeOnePicturePerTenth) {
  // 100 events: slots 0..9, one at the end of each ten, none twice.
  std::vector<int32_t> takenAt(kReplayThumbSlots, -1);
  for (uint64_t done = 0; done < 100; ++done) {
    const int32_t slot = replayThumbSlot(done, 100);
    if (slot < 0 || takenAt[size_t(slot)] >= 0) continue;
    takenAt[size_t(slot)] = int32_t(done);
  }
  EXPECT_EQ(takenAt, (std::vector<int32_t>{9, 19, 29, 39, 49, 59, 69, 79, 89, 99}));
  struct Case {
    uint64_t done, total;
    int32_t slot;
  };
  for (const Case& c : std::vector<Case>{
           {0, 0, -1},            // an empty recording takes none
           {0, 1, 9},             // a recording of one event: its last tenth
           {0, 3, 2},             // (1 x 100) / 30 - 1
           {2, 3, 9},             //
           {4, 100, -1},          // before the first tenth is complete
           {500, 100, 9},         // never past the last slot
           {5000000000ull, 6000000000ull, 7},  // no 32-bit overflow
       })
    EXPECT_EQ(replayThumbSlot(c.done, c.total), c.slot) << c.done << " of " << c.total;
}

TEST(DrawWindowReplay, ThumbnailSizeKeepsTheLongerSideAt96) {
  struct Case {
    int32_t w, h;
    SSize size;
  };
  for (const Case& c : std::vector<Case>{{400, 300, {96, 72}},
                                         {300, 400, {72, 96}},
                                         {50, 50, {96, 96}},
                                         {1000, 7, {96, 1}},  // truncated, never 0
                                         {10000, 3, {96, 1}},
                                         {0, 10, {0, 0}}})
    EXPECT_EQ(replayThumbSize(c.w, c.h), c.size) << c.w << "x" << c.h;
}

template <class A, class B>
bool samePlane(const A& a, const B& b) {
  if (a.Width != b.Width || a.Height != b.Height) return false;
  for (int32_t y = 0; y < a.Height; ++y)
    for (int32_t x = 0; x < a.Width; ++x)
      if (a.getPixel(x, y) != b.getPixel(x, y)) return false;
  return true;
}

TPoint pointAt(const CanvasFixture& w, TPointF image) {
  const TPointF p = w.shown(image);
  return TPoint{int32_t(p.X), int32_t(p.Y)};
}

// What the tool window hears of a replay.
struct RecordingDisplay final : IReplayDisplay {
  void replayDisplay(TDrawWindow&, bool on) override { switches.push_back(on); }
  void eventReplayed(TDrawWindow&, uint8_t index) override { events.push_back(index); }
  void replayProgress(TDrawWindow&, uint32_t done, uint32_t total) override { progress.push_back({done, total}); }
  void replayStrokeChanged(TDrawWindow&, const TStroke&) override { ++strokeChanges; }
  void replayColors(TDrawWindow&, uint32_t fg, uint32_t) override { colors.push_back(fg); }
  void replayPenState(TDrawWindow&, const SReplayPenState&) override { ++penStates; }
  std::vector<bool> switches;
  std::vector<uint8_t> events;
  std::vector<std::pair<uint32_t, uint32_t>> progress;
  int strokeChanges = 0;
  int penStates = 0;
  std::vector<uint32_t> colors;
};

TEST(DrawWindowReplay, TheToolWindowFollowsTheReplayAndTheSummaryCarriesCountersAndThumbnails) {
  WindowReplay t;
  // The last stroke in another colour: the display hears of the change.
  t.rec.tool.setColor(0x0000C000u);
  t.rec.paint(ReplayFixture::line(8, 40, 60, 6, 12));
  CPaperEventDocument events(*t.rec.x.doc);
  ASSERT_TRUE(saveEventFile(t.path, events, false).saved());
  RecordingDisplay display;
  t.w.shared.replayDisplay = &display;
  ASSERT_TRUE(t.open());
  EXPECT_EQ(display.switches, std::vector<bool>{true});
  EXPECT_TRUE(t.w.window->isNewEventFormat());
  EXPECT_EQ(t.runToEnd(), kReplayEnd);
  EXPECT_EQ(display.switches, (std::vector<bool>{true, false}));
  // One log entry per step, the five strokes among them, and the seal last.
  const uint32_t steps = t.w.window->replayedEvents();
  ASSERT_EQ(display.events.size(), size_t(steps) + 1);
  EXPECT_EQ(std::count(display.events.begin(), display.events.end(), 70), 5);
  EXPECT_EQ(display.events.back(), eventNameIndex(kPktDocument, kDocSeal));
  // The progress ends complete.
  ASSERT_FALSE(display.progress.empty());
  EXPECT_EQ(display.progress.back().first, display.progress.back().second);
  EXPECT_GE(display.progress.back().second, 5u);
  // The colours as they changed, each once.
  EXPECT_EQ(display.colors.front(), 0x002040E0u);
  EXPECT_EQ(display.colors.back(), 0x0000C000u);
  EXPECT_EQ(std::adjacent_find(display.colors.begin(), display.colors.end()), display.colors.end());

  ASSERT_EQ(t.w.host.summaries.size(), 1u);
  const SReplaySummary& s = t.w.host.summaries[0];
  EXPECT_EQ(s.counters[70], 5u);
  uint32_t counted = 0;
  for (uint32_t c : s.counters) counted += c;
  EXPECT_EQ(counted, steps + 1);
  // The last tenth is the finished picture, reduced.
  ASSERT_TRUE(s.thumbnails[9]);
  EXPECT_EQ(s.thumbnails[9]->Width, 96);
  EXPECT_EQ(s.thumbnails[9]->Height, 72);
  TMTC expected;
  TPaper& d = t.w.doc();
  d.composeRect(SRectXYWH{0, 0, d.width(), d.height()}, false);
  ASSERT_TRUE(expected.Resize(96, 72));
  ASSERT_TRUE(downsample4x4(d.composite(), expected));
  EXPECT_TRUE(samePlane(*s.thumbnails[9], expected));
  // Earlier tenths show earlier pictures.
  int taken = 0;
  for (const auto& thumb : s.thumbnails) taken += thumb ? 1 : 0;
  EXPECT_GE(taken, 3);
  t.w.shared.replayDisplay = nullptr;
}

TEST(DrawWindowReplay, SavingTheRecordingAsksForANameAndWritesAFileThatReplays) {
  pg::testing::TempFolder dir;
  CanvasFixture w;
  w.doc().setName("sketch.kci");
  w.window->activate();
  w.drag({pointAt(w, {10, 10}), pointAt(w, {80, 60})});
  ASSERT_TRUE(w.window->isRecording());
  EXPECT_TRUE(w.window->canSaveEvents());
  EXPECT_EQ(w.window->proposedEventFileName(), "sketch.ke4");
  // Cancelled: nothing written.
  EXPECT_FALSE(w.window->saveEvents());
  EXPECT_EQ(w.host.proposedNames, std::vector<std::string>{"sketch.ke4"});
  w.host.eventFileAnswer = dir.file("out.ke4");
  EXPECT_TRUE(w.window->saveEvents());
  EXPECT_TRUE(w.window->isRecording());
  CanvasFixture y;
  ASSERT_TRUE(y.window->openEventFile(dir.file("out.ke4"), 1));
  uint32_t now = 1;
  while (y.window->isReplaying()) ASSERT_NE(y.window->replayStep(now += 1), kReplayError);
  w.doc().composeRect(SRectXYWH{0, 0, w.doc().width(), w.doc().height()}, false);
  y.doc().composeRect(SRectXYWH{0, 0, y.doc().width(), y.doc().height()}, false);
  EXPECT_TRUE(samePlane(y.doc().composite(), w.doc().composite()));
  // A folder that does not exist: reported, and the document still records.
  EXPECT_FALSE(w.window->saveEventsTo(dir.file("no/such/folder/x.ke4")));
  ASSERT_EQ(w.host.messages.size(), 1u);
  EXPECT_TRUE(w.window->isRecording());
}

TEST(DrawWindowReplay, StoppingTheRecordingAsksAndMayOfferToSaveFirst) {
  pg::testing::TempFolder dir;
  struct Case {
    const char* what;
    int32_t ok;
    int32_t save;
    bool stops, saved;
  };
  for (const Case& c : std::vector<Case>{{"cancelled", kAnswerCancel, kAnswerYes, false, false},
                                         {"stopped without saving", kAnswerOk, kAnswerNo, true, false},
                                         {"saved, then stopped", kAnswerOk, kAnswerYes, true, true}}) {
    CanvasFixture w;
    w.window->activate();
    w.drag({pointAt(w, {10, 10}), pointAt(w, {80, 60})});
    const std::string file = dir.file(std::string(c.what) + ".ke4");
    w.host.okAnswer = c.ok;
    w.host.answer = c.save;
    w.host.eventFileAnswer = file;
    EXPECT_EQ(w.window->stopEventRecording(true), c.stops) << c.what;
    EXPECT_EQ(w.host.lastQuestion, resString(c.ok == kAnswerOk ? 65177 : 65176)) << c.what;
    EXPECT_EQ(w.window->isRecording(), !c.stops) << c.what;
    EXPECT_EQ(std::filesystem::exists(file), c.saved) << c.what;
    EXPECT_FALSE(w.window->canSaveEvents() && c.stops) << c.what;
  }
  // Without asking, and once stopped, it answers true.
  CanvasFixture w;
  EXPECT_TRUE(w.window->stopEventRecording(false));
  EXPECT_FALSE(w.window->isRecording());
  EXPECT_TRUE(w.window->stopEventRecording(true));
  EXPECT_EQ(w.host.questions, 0);
}

}  // namespace
}  // namespace pg::test

namespace pg::test {
namespace {

TEST(DrawWindowReplay, TheEventLogHearsOfWhatTheWindowRecordsFromNowOn) {
  CanvasFixture w;
  w.window->activate();
  std::vector<uint8_t> names;
  // The document's earlier history is not reported: the first call marks.
  w.drag({pointAt(w, {10, 10}), pointAt(w, {80, 60})});
  w.window->takeRecordedEventNames(names);
  EXPECT_TRUE(names.empty());
  w.drag({pointAt(w, {20, 10}), pointAt(w, {90, 60}), pointAt(w, {30, 80})});
  TFlowImage& flow = w.window->flow();
  ASSERT_TRUE(w.doc().newLayerEx(&flow, 1, true, 255, 3, w.doc().height(), w.doc().width(), true));
  w.window->takeRecordedEventNames(names);
  EXPECT_EQ(names, (std::vector<uint8_t>{eventNameIndex(17, 0), eventNameIndex(4, 0)}));
  // An undo takes the end back; the log goes on from there.
  names.clear();
  EXPECT_TRUE(w.window->undo());
  w.window->takeRecordedEventNames(names);
  EXPECT_TRUE(names.empty());
  ASSERT_TRUE(w.doc().setLayerOpacity(0, 90, true));
  w.window->takeRecordedEventNames(names);
  EXPECT_EQ(names, std::vector<uint8_t>{eventNameIndex(4, 17)});
  // Another document starts the log again.
  names.clear();
  ASSERT_TRUE(w.window->newDocument("next", 100, 80, 72));
  w.window->takeRecordedEventNames(names);
  EXPECT_TRUE(names.empty());
}

}  // namespace
}  // namespace pg::test
