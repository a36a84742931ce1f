// A version 1.1 recording (".lge") replayed in a document window: the pixels
// of the stream played straight into a document, the 8 ms pace, pause, the
// stop request that cuts the stream, and files that are refused.
#include <gtest/gtest.h>

#include "brush/stroke_settings.h"
#include "canvas_fixture.h"
#include "core/block_image.h"
#include "document/flow_image.h"
#include "document/layer_data.h"
#include "record/legacy_event_packet.h"
#include "record/legacy_stream_fixture.h"
#include "test_support/temp_folder.h"

namespace pg::test {
namespace {

struct LegacyReplay {
  LegacyReplay() {
    LegacyStream s(90, 70);
    s.record(513, {240, 250, 230})
        .stroke(0, 0, 0x304050, 4 * 256, {{5, 5, 1024}, {30, 12, 800}, {60, 50, 400}})
        .record(256, {3})
        .record(273, {1})
        .record(293, {1, 200, 20, 20})
        .record(275, {1, 100})
        .stroke(0, 0, 0x0000FF, 2 * 256, {{80, 5, 1024}, {10, 60, 1024}})
        .record(528, {})
        .end();
    EXPECT_TRUE(s.ok());
    TEventPacket packet;
    SLegacyStreamInfo info;
    EXPECT_TRUE(packet.adopt(s.bytes().data(), s.bytes().size(), info));
    EXPECT_TRUE(packet.saveToFile(path));
  }
  ReplayTick runToEnd() {
    ReplayTick r = kReplayNothing;
    for (int guard = 0; guard < 10000 && w.window->isReplaying(); ++guard) r = w.window->replayStep(now += 8);
    return r;
  }
  // The layers' pixels and attributes.
  static std::vector<uint32_t> pixels(TPaper& doc) {
    std::vector<uint32_t> out = {uint32_t(doc.width), uint32_t(doc.height), uint32_t(doc.layerCount())};
    for (int32_t i = 0; i < doc.layerCount(); ++i) {
      const CLayerData& l = *doc.getLayer(i);
      out.push_back(l.opacity);
      for (int32_t y = 0; y < doc.height; ++y)
        for (int32_t x = 0; x < doc.width; ++x) out.push_back(l.image->getPixel(x + l.offsetX, y + l.offsetY));
    }
    return out;
  }
  // The stream played straight into a fresh document.
  std::vector<uint32_t> playedDirectly() {
    TPaper doc(nullptr, w.doc().services());
    TFlowImage flow(&doc);
    doc.setFlowImage(&flow);
    TEventPacket packet;
    SLegacyStreamInfo info;
    EXPECT_TRUE(packet.loadFromFile(path, info));
    doc.enterOlderFormatMode();
    TStroke stroke;
    uint16_t code = 0;
    bool refresh = false;
    while (doc.playPenPacket(flow, packet, code, refresh, stroke)) {
    }
    EXPECT_EQ(code, kLegacyEndCode);
    std::vector<uint32_t> out = pixels(doc);
    doc.setFlowImage(nullptr);
    return out;
  }

  pg::testing::TempFolder dir;
  std::string path = dir.file("work.lge");
  CanvasFixture w;
  uint32_t now = 1000;
};

TEST(LegacyReplay, AWindowReplaysTheRecordingToTheEnd) {
  LegacyReplay t;
  ASSERT_TRUE(t.w.window->openLegacyEvents(t.path, t.now));
  EXPECT_TRUE(t.w.window->isReplaying());
  EXPECT_TRUE(t.w.window->isLegacyReplay());
  EXPECT_EQ(t.w.doc().name, "work.lge");
  EXPECT_EQ(t.w.doc().width, 90);
  EXPECT_FALSE(t.w.window->canEdit(true, false, false));
  // With a pace set, a step waits 8 ms whatever the pace.
  t.w.window->setReplayWaitMs(500);
  EXPECT_EQ(t.w.window->replayStep(t.now += 8), kReplayEventDone);
  EXPECT_EQ(t.w.window->replayStep(t.now += 3), kReplayNothing);
  t.w.window->setReplayPause(true);
  EXPECT_TRUE(t.w.window->isReplayPaused());
  EXPECT_EQ(t.w.window->replayStep(t.now += 100), kReplayNothing);
  t.w.window->setReplayPause(false);
  EXPECT_EQ(t.runToEnd(), kReplayEnd);
  EXPECT_FALSE(t.w.window->isReplaying());
  ASSERT_EQ(t.w.host.summaries.size(), 1u);
  EXPECT_EQ(t.w.host.summaries[0].kind, ReplayEndKind::Normal);
  // Nine steps: every record before the end code; the points after a
  // stroke's first are not counted.
  EXPECT_EQ(t.w.window->replayedEvents(), 9u);
  EXPECT_EQ(LegacyReplay::pixels(t.w.doc()), t.playedDirectly());
  EXPECT_TRUE(t.w.window->canEdit(true, false, false));
}

TEST(LegacyReplay, AStopRequestEndsTheReplayWhereItIs) {
  LegacyReplay t;
  ASSERT_TRUE(t.w.window->openLegacyEvents(t.path, t.now));
  EXPECT_EQ(t.w.window->replayStep(t.now += 8), kReplayEventDone);
  t.w.host.answer = kAnswerYes;
  t.w.window->requestReplayStop();
  // The stroke's first step opens it; the question waits for its last point.
  for (int i = 0; i < 3 && t.w.window->isReplaying(); ++i) (void)t.w.window->replayStep(t.now += 8);
  EXPECT_FALSE(t.w.window->isReplaying());
  EXPECT_EQ(t.w.host.questions, 1);
  ASSERT_EQ(t.w.host.summaries.size(), 1u);
  EXPECT_EQ(t.w.host.summaries[0].kind, ReplayEndKind::ByUser);
  EXPECT_EQ(t.w.doc().layerCount(), 1);
}

TEST(LegacyReplay, BrokenFilesAreRefused) {
  pg::testing::TempFolder dir;
  CanvasFixture w;
  EXPECT_FALSE(w.window->openLegacyEvents(dir.file("none.lge"), 0));
  LegacyStream s(40, 30);
  s.end();
  std::vector<uint8_t> cut = s.bytes();
  cut.pop_back();
  const std::string path = dir.file("cut.lge");
  FILE* f = std::fopen(path.c_str(), "wb");
  ASSERT_NE(f, nullptr);
  ASSERT_EQ(std::fwrite(cut.data(), 1, cut.size(), f), cut.size());
  std::fclose(f);
  EXPECT_FALSE(w.window->openLegacyEvents(path, 0));
  EXPECT_FALSE(w.window->isReplaying());
  EXPECT_EQ(w.doc().width, 400);  // the document it had
}

}  // namespace
}  // namespace pg::test
