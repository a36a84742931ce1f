#pragma once
// Two documents over the real event store: X, on which a piece of work is
// recorded, and a fresh Y into which the recording replays; and a picture
// of everything a replay must reproduce.
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "brush/pen_render.h"
#include "brush/stroke_mngr.h"
#include "brush/stroke_settings.h"
#include "brush/tone_list.h"
#include "document/doc_fixture.h"
#include "document/doc_recorder.h"
#include "document/flow_image.h"
#include "document/paper.h"
#include "document/paper_gradient.h"
#include "record/event_store.h"
#include "record/packet_catalogue.h"
#include "record/state_packets.h"
#include "replay/replay_session.h"

namespace pg::test {

// The tool window's gradient set: it answers the gradient the user has
// chosen now.
struct ToolGradient final : CDocGradientLink {
  ToolGradient() { previous = setDocGradientLink(this); }
  ~ToolGradient() override { (void)setDocGradientLink(previous); }
  const CGradObj* activeGradient() const override { return active.get(); }
  std::unique_ptr<CGradObj> active;
  CDocGradientLink* previous = nullptr;
};

// One document with its window, flow image and the event-store recorder.
struct RecordedDoc {
  explicit RecordedDoc(TStroke* tool, const IToolStateSource* toolState = nullptr, CToneMngr* tones = nullptr) {
    DocServices s;
    s.makeRecorder = eventStoreRecorderFactory(SRecorderTools{tool, tones, toolState});
    doc = std::make_unique<TPaper>(&window, s);
    if (tones != nullptr) doc->setToolTools(tones, nullptr);
    flow = std::make_unique<TFlowImage>(doc.get());
    doc->setFlowImage(flow.get());
  }
  CEventMngr& store() { return *documentEventStore(*doc); }

  FakeWindow window;
  std::unique_ptr<TPaper> doc;
  std::unique_ptr<TFlowImage> flow;
};

// Everything of a document a replay must give again: sizes, paper, layers
// with their attributes and pixels, masks.
// Object ids are left out: they count up through the process.
inline std::string picture(const TPaper& doc) {
  std::string s = "doc " + std::to_string(doc.width()) + "x" + std::to_string(doc.height()) + " paper " +
                  std::to_string(doc.paperColor().pixel()) + " sel " + std::to_string(doc.selectionEnabled()) +
                  " current " + std::to_string(doc.currentLayerIndex()) + "/" +
                  std::to_string(doc.masks()->current()) + "\n";
  const CLayerMngr& layers = *doc.layers();
  for (int32_t i = 0; i < layers.count(); ++i) {
    const CLayerData& l = *layers.getLayer(i);
    s += "L" + std::to_string(i) + " '" + l.name + "' off " + std::to_string(l.offsetX) + "," +
         std::to_string(l.offsetY) + " vis " + std::to_string(l.visible) + " op " + std::to_string(l.opacity) +
         " mode " + std::to_string(l.blendMode) + " diss " + std::to_string(l.dissolve) + "/" +
         std::to_string(l.dissolveAmount) + " pa " + std::to_string(l.protectAlpha) + " link " +
         std::to_string(l.linkLevel) + " img " + (l.image ? std::to_string(imageHash(*l.image)) : "none") + "\n";
  }
  const CMaskMngr& masks = *doc.masks();
  for (int32_t i = 0; i < masks.count(); ++i) {
    const CMaskData& m = *masks.getMask(i);
    s += "M" + std::to_string(i) + " '" + m.name + "' off " + std::to_string(m.offsetX) + "," +
         std::to_string(m.offsetY) + " img " + (m.hasImage() ? std::to_string(channelHash(*m.image)) : "none") + "\n";
  }
  return s;
}

// The pen-method state of X's renderer and engine, as the tool window
// hands it to the recorder.
class PenToolSource final : public IToolStateSource {
 public:
  PenToolSource(const CPenRender& renderer, const TPaper*& doc) : renderer_(renderer), doc_(doc) {}
  bool penState(SPenStateValues& out) const override {
    if (doc_ == nullptr || doc_->penEngine() == nullptr) return false;
    out.falloff = renderer_.getGradeMapParam();
    renderer_.getColorPair(out.colorPair[0], out.colorPair[1]);
    out.shape = renderer_.getShapeParam();
    out.edge = renderer_.getEdgeParam();
    out.render = renderer_.getRenderParam();
    out.stroke = doc_->penEngine()->getParam();
    out.nib = nib;
    return true;
  }
  // The nib the tool hands the renderer, when a test gives one.
  const CPenShapeObj* nib = nullptr;

 private:
  const CPenRender& renderer_;
  const TPaper*& doc_;
};

struct ReplayFixture {
  explicit ReplayFixture(int32_t w = 64, int32_t h = 48) : x(&tool, &penSource, &tones), y(nullptr) {
    xDoc = x.doc.get();
    tool.kind = skAirbrush;
    tool.WIDTH = 6.0f;
    tool.opacity = 0.8f;
    tool.color = 0x002040E0u;
    x.window.replaying = false;
    EXPECT_TRUE(x.doc->newDocument("x", x.flow.get(), false, false, 72, h, w));
    tool.layerIndex = x.doc->currentLayerIndex();
    y.window.replaying = true;
  }

  // A stroke on X through the document, recorded.
  void paint(const std::vector<SStrokePoint>& pts) {
    // The document's stroke mode decides the engine a stroke is recorded with.
    ASSERT_TRUE(x.doc->selectPenEngine(1));
    tool.layerIndex = x.doc->currentLayerIndex();
    ASSERT_TRUE(x.doc->beginStroke(*x.flow, tool, true, pts[0].x, pts[0].y, pts[0].pressure));
    for (size_t i = 1; i < pts.size(); ++i)
      ASSERT_TRUE(x.doc->continueStroke(*x.flow, tool, true, true, pts[i].x, pts[i].y, pts[i].pressure));
    SRectXYWH r{};
    ASSERT_TRUE(x.doc->endStroke(*x.flow, tool, true, r, true));
  }
  // Switches X to the pen-method engine over the tool's renderer.
  void usePenEngine() {
    ASSERT_TRUE(x.doc->createPenEngine(tool, penTool));
    ASSERT_TRUE(x.doc->selectPenEngine(2));
  }
  void paintEngine(const std::vector<SStrokePoint>& pts) {
    ASSERT_TRUE(x.doc->selectPenEngine(2));
    tool.layerIndex = x.doc->currentLayerIndex();
    ASSERT_TRUE(x.doc->beginEngineStroke(*x.flow, tool, true, pts[0].x, pts[0].y, pts[0].pressure));
    for (size_t i = 1; i < pts.size(); ++i)
      ASSERT_TRUE(x.doc->continueEngineStroke(*x.flow, tool, true, true, pts[i].x, pts[i].y, pts[i].pressure));
    SRectXYWH r{};
    ASSERT_TRUE(x.doc->endEngineStroke(*x.flow, tool, true, r, true));
  }
  // A line of n points.
  static std::vector<SStrokePoint> line(float x0, float y0, float x1, float y1, int n, float p0 = 0.3f,
                                        float p1 = 1.0f) {
    std::vector<SStrokePoint> pts;
    for (int i = 0; i < n; ++i) {
      const float t = n > 1 ? float(i) / float(n - 1) : 0.0f;
      pts.push_back({x0 + (x1 - x0) * t, y0 + (y1 - y0) * t, p0 + (p1 - p0) * t});
    }
    return pts;
  }

  // An 8 x 8 screen tone, full on every period-th diagonal and `light`
  // elsewhere, made the tool's current tone and switched on.
  void useTone(int32_t period, uint8_t light) {
    TChannel pattern;
    ASSERT_TRUE(pattern.Resize(8, 8));
    for (int32_t y = 0; y < 8; ++y)
      for (int32_t x = 0; x < 8; ++x) *pattern.pixelAt(x, y) = uint8_t((x + y) % period == 0 ? 255 : light);
    ASSERT_EQ(tones.addTone(pattern, 100, false, 1, 2), 0);
    ASSERT_EQ(tones.setCurrentIndex(0), 0);
    tool.setUseTone(true, true);
  }

  // Seals X's recording and starts its replay into Y.
  ReplayStart startReplay() {
    EXPECT_TRUE(x.store().seal());
    session = std::make_unique<CReplaySession>(*y.doc, *y.flow);
    const ReplayStart r = session->openStore(x.store());
    EXPECT_TRUE(x.store().resume());
    return r;
  }
  // Replays the reset point that follows the image set-up of a new document.
  void replayResetPoint() {
    ASSERT_EQ(session->engine().replayNext(), ReplayStep::EventDone);
    ASSERT_EQ(session->engine().lastHeader(), (SPacketHeader{2, 254}));
  }
  // Replays X's recording into Y event by event: after each, Y's picture is
  // the one expected, and the recording ends there.
  void replayEachAgainst(const std::vector<std::string>& expected) {
    ASSERT_EQ(startReplay(), ReplayStart::Started);
    for (size_t i = 0; i < expected.size(); ++i) {
      ASSERT_EQ(session->engine().replayNext(), ReplayStep::EventDone) << "event " << i;
      EXPECT_EQ(picture(*y.doc), expected[i]) << "after event " << i;
    }
    EXPECT_EQ(session->engine().replayNext(), ReplayStep::End);
  }
  // Steps until the end; answers the last result.
  ReplayStep replayAll() {
    ReplayStep r = ReplayStep::EventDone;
    for (int guard = 0; guard < 100000 && r == ReplayStep::EventDone; ++guard) r = session->engine().replayNext();
    return r;
  }

  TStroke tool;
  CToneMngr tones;
  CPenRender penTool;
  const TPaper* xDoc = nullptr;
  PenToolSource penSource{penTool, xDoc};
  FakeMessages messages;
  RecordedDoc x;
  RecordedDoc y;
  std::unique_ptr<CReplaySession> session;
};

// A hand-made stream: packets appended byte by byte.
struct StreamBuilder {
  std::vector<uint8_t> bytes;
  StreamBuilder& packet(uint8_t type, uint8_t subcode, std::vector<uint8_t> body = {}) {
    bytes.push_back(type);
    bytes.push_back(subcode);
    bytes.insert(bytes.end(), body.begin(), body.end());
    return *this;
  }
  // (2, 8): an image of w x h.
  StreamBuilder& imageCreate(uint32_t w = 32, uint32_t h = 24) {
    std::vector<uint8_t> b(28, 0);
    writeLE32(b.data(), w);
    writeLE32(b.data() + 4, h);
    writeLE32(b.data() + 8, w);
    writeLE32(b.data() + 12, h);
    b[20] = 255;
    b[21] = 255;
    return packet(kPktDocument, kDocImageCreate, b);
  }
  StreamBuilder& version(uint16_t major, uint16_t minor, uint16_t ext = 0) {
    std::vector<uint8_t> b(12, 0);
    writeLE16(b.data(), major);
    writeLE16(b.data() + 2, minor);
    writeLE16(b.data() + 4, ext);
    return packet(kPktState, kStateVersion, b);
  }
  StreamBuilder& paperColor(uint32_t pixel) {
    std::vector<uint8_t> b(4, 0);
    writeLE32(b.data(), pixel);
    return packet(kPktDocument, kDocPaperColor, b);
  }
  StreamBuilder& seal() { return packet(kPktDocument, kDocSeal); }
};

// Loads the bytes into Y's store and starts the replay there.
struct RawReplay {
  explicit RawReplay(const StreamBuilder& s) : y(nullptr) {
    store = documentEventStore(*y.doc);
    std::vector<std::unique_ptr<CMemSeg>> segs;
    segs.push_back(std::make_unique<CMemSeg>());
    EXPECT_TRUE(segs.back()->allocate(store->segmentSize()));
    EXPECT_EQ(segs.back()->copyIn(0, s.bytes.data(), uint32_t(s.bytes.size())), s.bytes.size());
    EXPECT_TRUE(store->loadStream(segs, uint32_t(s.bytes.size()), 1, 43, 0));
    engine = std::make_unique<CReplayEngine>(*y.doc, *y.flow, *store);
  }
  FakeMessages messages;
  RecordedDoc y;
  CEventMngr* store = nullptr;
  std::unique_ptr<CReplayEngine> engine;
};

// A stream whose first event after the image set-up must stop the replay
// with the reason, leaving the document usable.
struct StopCase {
  const char* what;
  StreamBuilder stream;
  ReplayError reason;
};
inline void expectStops(const std::vector<StopCase>& cases) {
  for (const StopCase& c : cases) {
    RawReplay r(c.stream);
    ASSERT_EQ(r.engine->startLoaded(), ReplayStart::Started) << c.what;
    EXPECT_EQ(r.engine->replayNext(), ReplayStep::Error) << c.what;
    EXPECT_EQ(r.engine->lastError(), c.reason) << c.what;
    EXPECT_GE(r.y.doc->layerCount(), 1) << c.what;
  }
}

}  // namespace pg::test
