// A version 1.1 recording (".lge") replayed in a document window: the pixels
// of the stream played straight into a document, the 8 ms pace, pause, the
// stop request that cuts the stream, and files that are refused. A version
// 1.1 document (".lgb") opened in a window.
#include <gtest/gtest.h>

#include "brush/stroke_settings.h"
#include "canvas_fixture.h"
#include "core/block_image.h"
#include "document/flow_image.h"
#include "document/layer_data.h"
#include "io/legacy_document.h"
#include "io/legacy_document_fixture.h"
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
    std::vector<uint32_t> out = {uint32_t(doc.width()), uint32_t(doc.height()), uint32_t(doc.layerCount())};
    for (int32_t i = 0; i < doc.layerCount(); ++i) {
      const CLayerData& l = *doc.getLayer(i);
      out.push_back(l.opacity);
      for (int32_t y = 0; y < doc.height(); ++y)
        for (int32_t x = 0; x < doc.width(); ++x) out.push_back(l.image->getPixel(x + l.offsetX, y + l.offsetY));
    }
    return out;
  }
  // A whole stream played into a document, up to its end code.
  static void play(TPaper& doc, TFlowImage& flow, TEventPacket& packet) {
    doc.enterOlderFormatMode();
    TStroke stroke;
    uint16_t code = 0;
    bool refresh = false;
    while (doc.playPenPacket(flow, packet, code, refresh, stroke)) {
    }
    EXPECT_EQ(code, kLegacyEndCode);
  }
  // The stream played straight into a fresh document.
  std::vector<uint32_t> playedDirectly() {
    TPaper doc(nullptr, w.doc().services());
    TFlowImage flow(&doc);
    doc.setFlowImage(&flow);
    TEventPacket packet;
    SLegacyStreamInfo info;
    EXPECT_TRUE(packet.loadFromFile(path, info));
    play(doc, flow, packet);
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
  EXPECT_EQ(t.w.doc().name(), "work.lge");
  EXPECT_EQ(t.w.doc().width(), 90);
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
  EXPECT_EQ(w.doc().width(), 400);  // the document it had
}

// A version 1.1 document whose layers hold what its recording draws, made by
// our own writers: the layers open as the recording played directly draws
// them, the recording as read replays to the same pixels, and the window
// drops it (it cannot be continued) and records nothing.
TEST(LegacyDocumentWindow, OpensTheLayersItsRecordingDrewAndDropsTheRecording) {
  pg::testing::TempFolder dir;
  CanvasFixture w;
  LegacyStream s(40, 30);
  const uint32_t red = 0xC02010;
  s.stroke(0, 0, 0x304050, 3 * 256, {{3, 4, 1024}, {35, 12, 900}, {20, 26, 600}})
      .polygon(0, &red, {{5, 20}, {18, 22}, {10, 28}})
      .end();
  ASSERT_TRUE(s.ok());

  // The stream played straight into a document.
  TPaper direct(nullptr, w.doc().services());
  TFlowImage flow(&direct);
  direct.setFlowImage(&flow);
  TEventPacket packet;
  SLegacyStreamInfo info;
  ASSERT_TRUE(packet.adopt(s.bytes().data(), s.bytes().size(), info));
  LegacyReplay::play(direct, flow, packet);
  const std::vector<uint32_t> expected = LegacyReplay::pixels(direct);
  ASSERT_EQ(direct.layerCount(), 1);

  LegacyDocLayerData layer;
  const CLayerData& drawn = *direct.getLayer(0);
  for (int32_t y = 0; y < 30; ++y)
    for (int32_t x = 0; x < 40; ++x) {
      const uint32_t p = drawn.image->getPixel(x, y);
      ASSERT_EQ(p >> 24, 255u) << "the drawn layer is opaque, as the file keeps it";
      layer.pixels.push_back(p & 0xFFFFFFu);
    }
  SLegacyDocHeader head = legacyHeader(40, 30);
  head.paperColor = 0xFFFFFF;
  const std::vector<uint8_t> file = writeLegacyDocument(head, {layer}, s.bytes());
  const std::string path = dir.file("work.lgb");
  FILE* f = std::fopen(path.c_str(), "wb");
  ASSERT_NE(f, nullptr);
  ASSERT_EQ(std::fwrite(file.data(), 1, file.size(), f), file.size());
  std::fclose(f);

  // The recording as the document reader hands it on replays to the layers.
  {
    TPaper read(nullptr, w.doc().services());
    TEventPacket embedded;
    const SLegacyImportResult r = importLegacyDocument(path, read, embedded);
    ASSERT_EQ(r.status, LegacyImport::Layers);
    ASSERT_FALSE(r.eventsRefused);
    EXPECT_EQ(LegacyReplay::pixels(read), expected);
    TPaper replayed(nullptr, w.doc().services());
    replayed.setFlowImage(&flow);
    LegacyReplay::play(replayed, flow, embedded);
    EXPECT_EQ(LegacyReplay::pixels(replayed), expected);
    replayed.setFlowImage(nullptr);
  }
  direct.setFlowImage(nullptr);

  ASSERT_TRUE(w.window->isRecording());
  const SLegacyImportResult r = w.window->openLegacyDocument(path);
  EXPECT_EQ(r.status, LegacyImport::Layers);
  EXPECT_TRUE(r.eventsIgnored);
  EXPECT_TRUE(r.message.empty());
  EXPECT_EQ(LegacyReplay::pixels(w.doc()), expected);
  EXPECT_FALSE(w.window->isRecording());
  EXPECT_FALSE(w.window->isReplaying());
  EXPECT_TRUE(w.window->canEdit(true, false, false));

  // A document without a recording has nothing to drop; a file that is not
  // one leaves the window's document as it was.
  const std::vector<uint8_t> plain = writeLegacyDocument(legacyHeader(40, 30), {layer}, {});
  const std::string plainPath = dir.file("plain.lgb");
  f = std::fopen(plainPath.c_str(), "wb");
  ASSERT_NE(f, nullptr);
  ASSERT_EQ(std::fwrite(plain.data(), 1, plain.size(), f), plain.size());
  std::fclose(f);
  EXPECT_FALSE(w.window->openLegacyDocument(plainPath).eventsIgnored);
  const TPaper* before = &w.doc();
  EXPECT_EQ(w.window->openLegacyDocument(dir.file("none.lgb")).status, LegacyImport::Unreadable);
  EXPECT_EQ(&w.doc(), before);
}

}  // namespace
}  // namespace pg::test
