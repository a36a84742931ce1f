// Replay of layer attribute and rename packets as the recorder writes them.
#include <gtest/gtest.h>

#include "document/layer_data.h"
#include "document/mask_data.h"
#include "replay_fixture.h"

namespace pg::test {
namespace {

TEST(ReplayLayers, AttributesAndNamesReplayAsRecorded) {
  ReplayFixture f;
  f.paint(ReplayFixture::line(5, 5, 50, 30, 20));
  IDocEventRecorder& rec = *eventRecorderOf(f.x.doc->events());
  CLayerData& layer = *f.x.doc->getLayer(0);
  // Each change as the document's operation makes it: the event, then the value.
  ASSERT_TRUE(rec.recordLayerAttribute(0, 5, 16));
  layer.blendMode = 5;
  ASSERT_TRUE(rec.recordLayerAttribute(0, 120, 17));
  layer.opacity = 120;
  ASSERT_TRUE(rec.recordLayerAttribute(0, 1, 20));
  layer.protectAlpha = true;
  ASSERT_TRUE(rec.recordLayerEffect(0, true, 77, 90));
  layer.dissolve = true;
  layer.dissolveAmount = 90;
  layer.seedRandom(77);
  ASSERT_TRUE(rec.recordLayerName(0, "背景 layer"));
  layer.name = "背景 layer";
  ASSERT_TRUE(rec.recordMaskName(0, "選択"));
  f.x.doc->masks()->getMask(0)->name = "選択";
  f.x.doc->redraw(true);
  ASSERT_EQ(f.startReplay(), ReplayStart::Started);
  EXPECT_EQ(f.replayAll(), ReplayStep::End);
  EXPECT_EQ(picture(*f.y.doc), picture(*f.x.doc));
  EXPECT_TRUE(f.y.doc->getLayer(0)->protectAlpha);
}

TEST(ReplayLayers, VisibilityEventsReplayAsRecorded) {
  ReplayFixture f;
  f.x.doc->insertLayer(1, 64, 48, true, 255, 3);
  f.x.doc->layers()->setCurrent(1);
  f.paint(ReplayFixture::line(5, 5, 50, 30, 20));
  IDocEventRecorder& rec = *eventRecorderOf(f.x.doc->events());
  // The second layer is inserted outside the recording: Y gets it alike.
  ASSERT_TRUE(rec.recordDocumentEventValue(1, 0, kDocShowOnlyLayer));
  f.x.doc->layers()->showOnly(1);
  ASSERT_TRUE(rec.recordDocumentEventValue(0, 0, kDocFlipVisibility));
  f.x.doc->getLayer(0)->visible = !f.x.doc->getLayer(0)->visible;
  ASSERT_TRUE(rec.recordDocumentEventValue(1, 0, kDocFlipVisibility));
  f.x.doc->getLayer(1)->visible = !f.x.doc->getLayer(1)->visible;
  std::vector<std::string> expected = {picture(*f.x.doc)};
  ASSERT_TRUE(rec.recordDocumentEventValue(0, 1, kDocShowAllLayers));
  f.x.doc->layers()->setAllVisible(true);
  expected.push_back(picture(*f.x.doc));
  ASSERT_EQ(f.startReplay(), ReplayStart::Started);
  f.y.doc->insertLayer(1, 64, 48, true, 255, 3);
  f.y.doc->layers()->setCurrent(1);
  for (int i = 0; i < 5; ++i) ASSERT_EQ(f.session->engine().replayNext(), ReplayStep::EventDone) << i;
  EXPECT_EQ(picture(*f.y.doc), expected[0]);
  ASSERT_EQ(f.session->engine().replayNext(), ReplayStep::EventDone);
  EXPECT_EQ(picture(*f.y.doc), expected[1]);
}

TEST(ReplayLayers, BadFieldsAndMissingLayersStopTheReplay) {
  struct Case {
    const char* what;
    StreamBuilder stream;
    ReplayError reason;
  };
  const Case cases[] = {
      {"blend mode out of range", StreamBuilder().imageCreate().packet(kPktLayer, 16, {0, 0, 200, 255, 1, 0}),
       ReplayError::BadField},
      {"no such layer", StreamBuilder().imageCreate().packet(kPktLayer, 17, {3, 0, 0, 255, 1, 0}),
       ReplayError::OperationFailed},
      {"rename of no such mask", StreamBuilder().imageCreate().packet(kPktMask, 12, {9, 0, 2, 0, 'a', 0}),
       ReplayError::OperationFailed},
  };
  for (const Case& c : cases) {
    RawReplay r(c.stream);
    ASSERT_EQ(r.engine->startLoaded(), ReplayStart::Started) << c.what;
    EXPECT_EQ(r.engine->replayNext(), ReplayStep::Error) << c.what;
    EXPECT_EQ(r.engine->lastError(), c.reason) << c.what;
  }
}

}  // namespace
}  // namespace pg::test
