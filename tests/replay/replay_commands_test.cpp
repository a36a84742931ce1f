// Replay of command packets through the packet table: every row has its
// executor; layer moves that rebuild the layer, the selection switches and
// the recorded gradient replay to the original; older packets replay.
#include <gtest/gtest.h>

#include <set>
#include <string>

#include "brush/gradient.h"
#include "core/planes.h"
#include "document/layer_data.h"
#include "document/mask_data.h"
#include "document/paper_gradient.h"
#include "record/packet_bodies.h"
#include "record/packet_table.h"
#include "record/packet_walker.h"
#include "replay/replay_executors.h"
#include "replay_fixture.h"

namespace pg::test {
namespace {

TEST(ReplayCommands, EveryRowOfThePacketTableHasAnExecutor) {
  for (const SPacketRow& row : packetRows()) {
    EXPECT_NE(CReplayExecutors::of(row.op), nullptr) << int(row.type) << "," << int(row.subcode);
  }
}

// The headers a store holds, as type << 8 | subcode.
std::set<int> headersIn(const CEventMngr& store) {
  std::set<int> out;
  const SWalkResult walk = walkPackets(store.source(), 0, store.writePosition(), [&](const SPacketInfo& p) {
    out.insert(p.type << 8 | p.subcode);
    return true;
  });
  EXPECT_TRUE(walk.wellFormed());
  return out;
}

// Replays X into Y event by event: after each event Y shows what X showed
// after the same event.
void expectEventByEvent(ReplayFixture& f, const std::vector<std::string>& expected) {
  ASSERT_EQ(f.startReplay(), ReplayStart::Started);
  size_t i = 1;  // the set-up is replayed by the start
  f.replayResetPoint();
  for (ReplayStep r = f.session->engine().replayNext(); r == ReplayStep::EventDone;
       r = f.session->engine().replayNext()) {
    ASSERT_LT(i, expected.size());
    EXPECT_EQ(picture(*f.y.doc), expected[i]) << "event " << i;
    ++i;
  }
  EXPECT_EQ(f.session->engine().lastError(), ReplayError::None);
  EXPECT_EQ(i, expected.size());
}

TEST(ReplayCommands, LayerMovesThatRebuildTheLayerReplay) {
  ReplayFixture f;
  TPaper& d = *f.x.doc;
  TFlowImage& flow = *f.x.flow;
  f.paint(ReplayFixture::line(5, 5, 50, 30, 20));
  std::vector<std::string> expected = {picture(d), picture(d)};
  auto step = [&](const char* what, bool ok) {
    ASSERT_TRUE(ok) << what;
    expected.push_back(picture(d));
  };
  // The layer covers the document: any move leaves part of it uncovered.
  step("layer options", d.offsetLayer(&flow, 0, TPoint{5, -3}, true));
  step("move tool", d.offsetLayerGroup(&flow, 0, TPoint{-2, 4}, -1, true));
  step("selection", d.maskFigureRect(flow, 0, TPointF{4, 4}, TPointF{30, 20}, 0, f.tool, true));
  step("cursor keys with the selection", d.offsetLayerGroup(&flow, 0, TPoint{3, 2}, -1, true));
  const std::set<int> headers = headersIn(f.x.store());
  EXPECT_TRUE(headers.count(4 << 8 | 7)) << "the rebuilding move";
  EXPECT_TRUE(headers.count(4 << 8 | 13)) << "the rebuilding move with the selection";
  expectEventByEvent(f, expected);
}

TEST(ReplayCommands, TheSelectionSwitchesReplay) {
  ReplayFixture f;
  TPaper& d = *f.x.doc;
  TFlowImage& flow = *f.x.flow;
  std::vector<std::string> expected = {picture(d)};
  auto step = [&](bool ok) {
    (void)ok;  // the operations answer the switch they leave
    expected.push_back(picture(d) + " ants " + std::to_string(d.antsShown()));
  };
  step(d.maskFigureRect(flow, 0, TPointF{4, 4}, TPointF{30, 20}, 0, f.tool, true));
  step(!d.enableMask(false, true));
  step(!d.showWalkAnts(false, true));
  step(d.enableMask(true, true));
  step(d.showWalkAnts(true, true));
  step(!d.enableMask(false, true));
  ASSERT_FALSE(d.selectionEnabled());
  ASSERT_EQ(f.startReplay(), ReplayStart::Started);
  f.replayResetPoint();
  size_t i = 1;
  for (ReplayStep r = f.session->engine().replayNext(); r == ReplayStep::EventDone;
       r = f.session->engine().replayNext(), ++i) {
    ASSERT_LT(i, expected.size());
    EXPECT_EQ(picture(*f.y.doc) + " ants " + std::to_string(f.y.doc->antsShown()), expected[i]) << "event " << i;
  }
  EXPECT_EQ(f.session->engine().lastError(), ReplayError::None);
  EXPECT_EQ(i, expected.size());
}

// Whatever makes the first selection switches it on; its undo gives the
// switches back as they were, its redo makes them so again.
TEST(ReplayCommands, UndoingTheFirstSelectionGivesTheSwitchesBack) {
  struct Case {
    const char* what;
    bool (*make)(ReplayFixture& f);
  };
  const Case cases[] = {
      {"rectangle",
       [](ReplayFixture& f) {
         return f.x.doc->maskFigureRect(*f.x.flow, 0, TPointF{4, 4}, TPointF{30, 20}, 0, f.tool, true);
       }},
      {"mask from the layer's lightness",
       [](ReplayFixture& f) { return f.x.doc->newMaskFromLayer(*f.x.flow, 0, 0, 0, 0, true); }},
      {"mask from the layer's alpha",
       [](ReplayFixture& f) { return f.x.doc->newMaskFromLayer(*f.x.flow, 0, 1, 0, 0, true); }},
  };
  for (const Case& c : cases) {
    ReplayFixture f;
    TPaper& d = *f.x.doc;
    ASSERT_FALSE(d.selectionEnabled());
    ASSERT_TRUE(c.make(f)) << c.what;
    ASSERT_TRUE(d.selectionEnabled()) << c.what;
    int32_t layer = 0;
    TRect rect;
    ASSERT_TRUE(d.undo(*f.x.flow, layer, rect));
    EXPECT_FALSE(d.selectionEnabled()) << c.what;
    EXPECT_FALSE(d.antsShown()) << c.what;
    ASSERT_TRUE(d.redo(*f.x.flow, layer, rect));
    EXPECT_TRUE(d.selectionEnabled()) << c.what;
    EXPECT_TRUE(d.antsShown()) << c.what;
    // What remains recorded replays to the same switches.
    ASSERT_TRUE(d.undo(*f.x.flow, layer, rect));
    ASSERT_EQ(f.startReplay(), ReplayStart::Started);
    EXPECT_EQ(f.replayAll(), ReplayStep::End);
    EXPECT_EQ(picture(*f.y.doc), picture(d)) << c.what;
  }
}


TEST(ReplayCommands, GradientsReplayWithTheRecordedGradient) {
  for (const bool fill : {true, false}) {
    SCOPED_TRACE(fill ? "gradient fill" : "gradation stroke");
    ToolGradient link;
    link.active = CGradObj::CreateTwoColor(0x0000FF, "a", 0xFF8000);
    ReplayFixture f;
    TPaper& d = *f.x.doc;
    if (fill) {
      d.applyGradientOptions();
      ASSERT_TRUE(d.fillLayerGradient(*f.x.flow, 0, TPointF{2, 2}, TPointF{60, 40}, false, f.tool, true));
    } else {
      f.tool.useGradation = 1;
      f.paint(ReplayFixture::line(5, 40, 60, 5, 24));
    }
    // The user picks another gradient before the recording is replayed; the
    // replaying document starts from it.
    link.active = CGradObj::CreateTwoColor(0x00FF00, "b", 0x202020);
    f.y.doc->takeGradientStops(link.active.get());
    ASSERT_EQ(f.startReplay(), ReplayStart::Started);
    EXPECT_EQ(f.replayAll(), ReplayStep::End);
    EXPECT_EQ(f.session->engine().lastError(), ReplayError::None);
    EXPECT_EQ(picture(*f.y.doc), picture(d));
  }
}

// ---- packets of older recordings ----

template <class Body>
std::vector<uint8_t> bodyBytes(const Body& body) {
  std::vector<uint8_t> out(bodyFormBytes(Body::kForm));
  EXPECT_TRUE(writeRecord(out.data(), out.size(), body, Body::fields));
  return out;
}

// (12, 2) with a picture of w x h, every pixel `pixel`.
std::vector<uint8_t> pictureBody(uint32_t w, uint32_t h, uint32_t pixel) {
  SImageHead head;
  head.width = w;
  head.height = h;
  head.pixelBytes = w * h * 4;
  head.following = head.pixelBytes;
  std::vector<uint8_t> out = bodyBytes(head);
  for (uint32_t i = 0; i < w * h; ++i)
    for (int b = 0; b < 4; ++b) out.push_back(uint8_t(pixel >> (8 * b)));
  return out;
}

TEST(ReplayCommands, PacketsOfOlderRecordingsReplay) {
  {
    // The older merge of the visible layers.
    SNewLayerBody layer;
    layer.layer = 1;
    layer.width = 32;
    layer.height = 24;
    layer.blendMode = 3;
    layer.flags = 1;
    RawReplay r(StreamBuilder().imageCreate().packet(kPktLayer, 0, bodyBytes(layer)).packet(kPktDocument, 7).seal());
    ASSERT_EQ(r.engine->startLoaded(), ReplayStart::Started);
    ASSERT_EQ(r.engine->replayNext(), ReplayStep::EventDone);
    EXPECT_EQ(r.y.doc->layerCount(), 2);
    EXPECT_EQ(r.engine->replayNext(), ReplayStep::EventDone) << int(r.engine->lastError());
    EXPECT_EQ(r.y.doc->layerCount(), 1);
  }
  {
    // The older crop of the canvas.
    SOldCropBody crop;
    crop.rect = SRectBody{2, 3, 20, 15};
    RawReplay r(StreamBuilder().imageCreate().packet(kPktDocument, 6, bodyBytes(crop)).seal());
    ASSERT_EQ(r.engine->startLoaded(), ReplayStart::Started);
    EXPECT_EQ(r.engine->replayNext(), ReplayStep::EventDone) << int(r.engine->lastError());
    EXPECT_EQ(r.y.doc->width(), 18);
    EXPECT_EQ(r.y.doc->height(), 12);
  }
  for (uint32_t w : {32u, 8u}) {
    const uint32_t h = w == 32 ? 24 : 6;
    // A document set up from a picture: of the layer's size it is pasted
    // into the layer, of another size the layer is replaced first.
    RawReplay r(StreamBuilder().imageCreate(32, 24).packet(kPktLayerImage, 2, pictureBody(w, h, 0xFF336699u)).seal());
    ASSERT_EQ(r.engine->startLoaded(), ReplayStart::Started);
    const uint32_t id = r.y.doc->getLayer(0)->id;
    EXPECT_EQ(r.engine->replayNext(), ReplayStep::EventDone) << int(r.engine->lastError());
    ASSERT_EQ(r.y.doc->layerCount(), 1);
    const CLayerData& l = *r.y.doc->getLayer(0);
    EXPECT_EQ(l.id == id, w == 32) << w;
    EXPECT_EQ(l.imageWidth(), int32_t(w));
    EXPECT_EQ(l.imageHeight(), int32_t(h));
    EXPECT_EQ(l.image->getPixel(1, 1), 0xFF336699u);
  }
}

TEST(ReplayCommands, BadCommandPacketsStopCleanly) {
  std::vector<StopCase> cases;
  cases.push_back({"filter record of no filter", StreamBuilder().imageCreate().packet(kPktFilterRecord, 99,
                                                                                      std::vector<uint8_t>(50, 0)),
                   ReplayError::UnknownPacket});
  SLinkBody link;
  link.count = 2;
  link.dataBytes = 3;
  std::vector<uint8_t> linkBytes = bodyBytes(link);
  linkBytes.insert(linkBytes.end(), 3, 0);
  cases.push_back({"link sizes that disagree", StreamBuilder().imageCreate().packet(kPktLayerList, 0, linkBytes),
                   ReplayError::BadField});
  SOffsetBody move;
  move.layer = 9;
  move.dx = 4;
  cases.push_back({"rebuilding move of a missing layer",
                   StreamBuilder().imageCreate().packet(kPktLayer, 7, bodyBytes(move)), ReplayError::OperationFailed});
  expectStops(cases);
}

}  // namespace
}  // namespace pg::test
