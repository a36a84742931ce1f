// Freehand strokes of the document: the pixels they paint, their undo
// record, the selection and the protected alpha, and what they record.
#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "brush/dab_round.h"
#include "brush/pen_render.h"
#include "brush/plot_callbacks.h"
#include "brush/stroke_settings.h"
#include "brush/tone_list.h"
#include "core/blend_modes.h"
#include "core/block_image.h"
#include "core/block_pool.h"
#include "doc_fixture.h"
#include "document/paper_stroke.h"

namespace pg::test {
namespace {

// A recorder that writes strokes: begin, points and end are logged; the end
// commits one event (so that undo and redo step over it).
class StrokeRecorder final : public IDocRecorder, public IStrokeEvents {
 public:
  std::vector<std::string> log;
  bool failEnd = false;
  int32_t depth = 0;
  int32_t forward = 0;

  bool recordStrokeBegin(float x, float y, float p) override { return note("begin", x, y, p); }
  bool recordStrokePoint(float x, float y, float p) override { return note("point", x, y, p); }
  bool recordStrokeEnd() override {
    log.push_back("end");
    if (failEnd) return false;
    ++depth;
    forward = 0;
    return true;
  }

  bool startRecording(int32_t) override { return true; }
  void clear() override { log.push_back("clear"); }
  bool hasEvents() const override { return true; }
  bool isStrokeOpen() const override { return false; }
  void activate(bool) override {}
  int32_t undoDepth() const override { return depth; }
  bool undoEvent() override {
    if (depth == 0) return false;
    --depth, ++forward;
    return true;
  }
  int32_t redoAvailableCount() const override { return forward; }
  bool redoStep() override {
    if (forward == 0) return false;
    --forward, ++depth;
    return true;
  }
  void noteState() override {}
  void dropForwardEvents() override { forward = 0; }
  bool resizeUndoRing(int32_t, int32_t) override { return true; }
  bool recordPaperColor(uint32_t) override { return true; }

 private:
  bool note(const char* what, float x, float y, float p) {
    char buf[80];
    std::snprintf(buf, sizeof buf, "%s %g %g %g", what, x, y, p);
    log.emplace_back(buf);
    return true;
  }
};

struct StrokeFixture {
  explicit StrokeFixture(int32_t w = 64, int32_t h = 48) {
    DocServices s;
    s.prefs = &prefs;
    s.makeRecorder = [this](TPaper&) {
      auto r = std::make_unique<StrokeRecorder>();
      recorder = r.get();
      return std::unique_ptr<IDocRecorder>(std::move(r));
    };
    doc = std::make_unique<TPaper>(&window, s);
    doc->setSizeValue(w, h);
    doc->layers()->setDocumentSize(w, h);
    doc->masks()->setDocumentSize(w, h);
    flow = std::make_unique<TFlowImage>(doc.get());
    doc->setFlowImage(flow.get());
    const int32_t at = doc->insertLayer(0, w, h, true, 255, 3);
    CLayerData* l = layer();
    for (int32_t y = 0; y < h; ++y)
      for (int32_t x = 0; x < w; ++x)
        EXPECT_TRUE(l->image->setPixel(x, y, 0x40000000u * static_cast<uint32_t>((x + y) % 3 + 1) |
                                                 static_cast<uint32_t>(x * 4) << 8 | static_cast<uint32_t>(y * 5)));
    doc->layers()->setCurrent(at);
    flow->fitDocument(false);
    stroke.kind = skAirbrush;
    stroke.WIDTH = 5.0f;
    stroke.opacity = 1.0f;
    stroke.color = 0xFF2040E0u;
    stroke.exactPoints = 1;
    stroke.layerIndex = at;
  }
  CLayerData* layer() const { return doc->layers()->getLayer(0); }

  // begin at the first point, the others as points, then the end.
  bool paint(const std::vector<SStrokePoint>& pts, bool record = true) {
    if (!doc->beginStroke(*flow, stroke, record, pts[0].x, pts[0].y, pts[0].pressure)) return false;
    for (size_t i = 1; i < pts.size(); ++i)
      if (!doc->continueStroke(*flow, stroke, record, true, pts[i].x, pts[i].y, pts[i].pressure)) return false;
    SRectXYWH r{};
    return doc->endStroke(*flow, stroke, record, r, true);
  }
  bool undo() {
    int32_t index = 0;
    TRect r{};
    return doc->undo(*flow, index, r);
  }
  bool redo() {
    int32_t index = 0;
    TRect r{};
    return doc->redo(*flow, index, r);
  }
  std::unique_ptr<TMTC> layerPlane() const {
    auto p = std::make_unique<TMTC>();
    p->Resize(layer()->imageWidth(), layer()->imageHeight());
    layer()->image->copyToPlane(*p, 0, 0, false, 255);
    return p;
  }

  FakeWindow window;
  FakePrefs prefs;
  FakeMessages messages;
  StrokeRecorder* recorder = nullptr;
  std::unique_ptr<TPaper> doc;
  std::unique_ptr<TFlowImage> flow;
  TStroke stroke;
};

int32_t countDiffering(const TMTC& a, const TMTC& b) {
  int32_t n = 0;
  for (int32_t y = 0; y < a.Height; ++y)
    for (int32_t x = 0; x < a.Width; ++x) n += a.getPixel(x, y) != b.getPixel(x, y);
  return n;
}

TEST(PaperStroke, AirbrushStrokePaintsTheDabsTheBrushRoutinesPaint) {
  StrokeFixture f;
  f.layer()->offsetX = 3;  // layer pixel = document coordinate + offset
  f.layer()->offsetY = 2;
  const auto before = f.layerPlane();
  const auto expected = f.layerPlane();
  // Each point walks the segment before it (the newest point is held back
  // for smoothing), so the third point walks 10..40.
  ASSERT_TRUE(f.paint({{10, 20, 1.0f}, {40, 20, 1.0f}, {41, 20, 1.0f}}));
  const auto painted = f.layerPlane();

  // The same dabs straight into a copy of the layer: one every
  // ceil(spacing * width) steps along x from the start pixel's centre, in
  // layer coordinates.
  SPlotState plot;
  updatePlotCallbacks(plot, f.stroke, f.doc.get());
  const int64_t interval = static_cast<int64_t>(std::ceil(f.stroke.getSpacing() * f.stroke.WIDTH));
  for (int64_t i = 0; i < 30; ++i)
    if (i % interval == 0) paintRoundDab(plot.plotter, *expected, f.stroke.color, 1.0f, 5.0f, 22.5f, 13.5f + static_cast<float>(i));
  EXPECT_EQ(countDiffering(*painted, *expected), 0);
  EXPECT_GT(countDiffering(*painted, *before), 100);
  EXPECT_FALSE(f.window.repainted.empty());
}

const std::vector<SStrokePoint> kLine = {{8, 20, 1.0f}, {50, 20, 1.0f}, {51, 21, 1.0f}};

TEST(PaperStroke, UndoRestoresTheLayerExactlyAndRedoRepaintsIt) {
  StrokeFixture f;
  const std::string before = snapshot(*f.doc);
  ASSERT_TRUE(f.paint(kLine));
  const std::string after = snapshot(*f.doc);
  ASSERT_NE(before, after);
  EXPECT_TRUE(f.doc->canUndo(0));
  ASSERT_TRUE(f.undo());
  EXPECT_EQ(snapshot(*f.doc), before);
  ASSERT_TRUE(f.redo());
  EXPECT_EQ(snapshot(*f.doc), after);
}

TEST(PaperStroke, TheSelectionLimitsTheStroke) {
  StrokeFixture f;
  CMaskMngr& masks = *f.doc->masks();
  masks.setCurrent(masks.count());
  CMaskData* mask = masks.currentMask();
  ASSERT_TRUE(mask->createImage(64, 48));
  for (int32_t y = 0; y < 48; ++y)
    for (int32_t x = 0; x < 30; ++x) EXPECT_TRUE(mask->image->setPixel(x, y, 255));
  f.doc->undoSetSelectionFlags(true, f.doc->antsShown());
  const auto before = f.layerPlane();
  ASSERT_TRUE(f.paint(kLine));
  const auto after = f.layerPlane();
  int32_t inside = 0, outside = 0;
  for (int32_t y = 0; y < 48; ++y)
    for (int32_t x = 0; x < 64; ++x)
      (x < 30 ? inside : outside) += after->getPixel(x, y) != before->getPixel(x, y);
  EXPECT_GT(inside, 50);
  EXPECT_EQ(outside, 0);
}

TEST(PaperStroke, WithTheToneSwitchOnTheStrokeFollowsTheScreenTone) {
  // A tone of vertical stripes, open in even columns.
  TChannel tile(2, 2);
  for (int32_t y = 0; y < 2; ++y)
    for (int32_t x = 0; x < 2; ++x) *tile.pixelAt(x, y) = x == 0 ? 255 : 0;
  CToneMngr tones;
  ASSERT_EQ(tones.addTone(tile, 100, false, 0, 0), 0);
  tones.setCurrentIndex(0);
  for (const bool toneOn : {false, true}) {
    StrokeFixture f;
    f.doc->setToolTools(&tones, nullptr);
    f.stroke.useTone = toneOn ? 1 : 0;
    const auto before = f.layerPlane();
    ASSERT_TRUE(f.paint(kLine));
    const auto after = f.layerPlane();
    int32_t even = 0, odd = 0;
    for (int32_t y = 0; y < 48; ++y)
      for (int32_t x = 0; x < 64; ++x) (x % 2 == 0 ? even : odd) += after->getPixel(x, y) != before->getPixel(x, y);
    EXPECT_GT(even, 50) << toneOn;
    if (toneOn) {
      EXPECT_EQ(odd, 0);
    } else {
      EXPECT_GT(odd, 50);
    }
  }
}

TEST(PaperStroke, AProtectAlphaLayerKeepsItsAlpha) {
  StrokeFixture f;
  f.layer()->protectAlpha = true;
  const auto before = f.layerPlane();
  ASSERT_TRUE(f.paint(kLine));
  const auto after = f.layerPlane();
  int32_t changed = 0;
  for (int32_t y = 0; y < 48; ++y)
    for (int32_t x = 0; x < 64; ++x) {
      changed += after->getPixel(x, y) != before->getPixel(x, y);
      ASSERT_EQ(after->getPixel(x, y) >> 24, before->getPixel(x, y) >> 24) << x << "," << y;
    }
  EXPECT_GT(changed, 50);
}

TEST(PaperStroke, TheRecorderSeesBeginPointsInOrderAndEnd) {
  StrokeFixture f;
  ASSERT_TRUE(f.paint({{8, 20, 0.5f}, {12, 21, 0.25f}, {16, 22, 1.0f}}));
  EXPECT_EQ(f.recorder->log,
            (std::vector<std::string>{"begin 8 20 0.5", "point 12 21 0.25", "point 16 22 1", "end"}));
}

TEST(PaperStroke, ReplayRecordsNothingAndTakesNoUndoRecord) {
  StrokeFixture f;
  const auto before = f.layerPlane();
  ASSERT_TRUE(f.paint(kLine, false));
  EXPECT_TRUE(f.recorder->log.empty());
  EXPECT_FALSE(f.doc->canUndo(0));
  EXPECT_GT(countDiffering(*f.layerPlane(), *before), 50);
}

// Without memory for the undo record, or when the recorder lost the
// stroke's event, the stroke is still merged, but the history can no longer
// be paired with the recording and is cleared.
TEST(PaperStroke, AStrokeWithoutItsUndoRecordOrEventClearsTheHistory) {
  for (const bool failEvent : {false, true}) {
    SCOPED_TRACE(failEvent ? "event lost" : "no memory for undo");
    StrokeFixture f;
    ASSERT_TRUE(f.paint(kLine));
    ASSERT_TRUE(f.doc->canUndo(0));
    const auto before = f.layerPlane();
    f.recorder->failEnd = failEvent;
    {
      std::optional<CTilePoolFailScope> noMemory;
      if (!failEvent) noMemory.emplace(0);
      ASSERT_TRUE(f.paint({{8, 30, 1.0f}, {50, 30, 1.0f}, {51, 30, 1.0f}}));
    }
    EXPECT_FALSE(f.doc->canUndo(0));
    EXPECT_GT(countDiffering(*f.layerPlane(), *before), 50);
  }
}

// A stroke over tiles that cannot be had (no tile memory) is not merged in
// part: the layer keeps every pixel, no undo record is left, the person is
// told, and the next stroke paints as usual.
TEST(PaperStroke, AStrokeWhoseTilesCannotBeHadLeavesTheLayerWhole) {
  StrokeFixture f;
  f.layer()->image->fill(0xFF808080u);
  f.layer()->image->compact();
  const auto before = f.layerPlane();
  {
    CTilePoolFailScope noMemory(0);
    EXPECT_FALSE(f.paint(kLine));
  }
  EXPECT_EQ(countDiffering(*f.layerPlane(), *before), 0);
  EXPECT_FALSE(f.doc->canUndo(0));
  EXPECT_FALSE(f.doc->strokeState().isOpen());
  EXPECT_EQ(f.messages.warnings().size(), 1u);
  ASSERT_TRUE(f.paint(kLine));
  EXPECT_GT(countDiffering(*f.layerPlane(), *before), 50);
  EXPECT_TRUE(f.doc->canUndo(0));
}

TEST(PaperStroke, PenCoverageNeverBuildsUpBeyondTheStrokeOpacity) {
  // Once over the line and once back over it give the same pixels.
  const auto paintPen = [](const std::vector<SStrokePoint>& pts) {
    StrokeFixture f;
    f.stroke.kind = skPen;
    f.stroke.opacity = 0.5f;
    const auto before = f.layerPlane();
    EXPECT_TRUE(f.paint(pts));
    auto after = f.layerPlane();
    EXPECT_GT(countDiffering(*after, *before), 50);
    return after;
  };
  const auto once = paintPen({{8, 20, 1.0f}, {50, 20, 1.0f}, {51, 20, 1.0f}});
  const auto twice = paintPen({{8, 20, 1.0f}, {50, 20, 1.0f}, {8, 20, 1.0f}, {9, 20, 1.0f}});
  for (int32_t x = 16; x < 40; ++x) EXPECT_EQ(once->getPixel(x, 20), twice->getPixel(x, 20)) << x;
}

TEST(PaperStroke, RefusedAndEmptyStrokes) {
  StrokeFixture f;
  const auto before = f.layerPlane();
  // A point or an end without a begin.
  EXPECT_FALSE(f.doc->continueStroke(*f.flow, f.stroke, true, true, 5, 5, 1.0f));
  SRectXYWH r{};
  EXPECT_FALSE(f.doc->endStroke(*f.flow, f.stroke, true, r, true));
  // A target layer that does not exist: nothing is recorded.
  f.stroke.layerIndex = 7;
  EXPECT_FALSE(f.doc->beginStroke(*f.flow, f.stroke, true, 5, 5, 1.0f));
  EXPECT_TRUE(f.recorder->log.empty());
  // A kind beyond the table paints nothing, but the points are recorded.
  f.stroke.layerIndex = 0;
  f.stroke.kind = 9;
  ASSERT_TRUE(f.paint(kLine));
  EXPECT_EQ(f.recorder->log.size(), 4u);
  EXPECT_EQ(countDiffering(*f.layerPlane(), *before), 0);
  // Points that are not numbers walk nothing.
  f.stroke.kind = skAirbrush;
  ASSERT_TRUE(f.paint({{8, 20, 1.0f}, {NAN, 20, 1.0f}, {1e30f, 20, 1.0f}, {9, 20, 1.0f}}));
}

TEST(PaperStroke, ThePenEngineLevelLimitsTheModes) {
  StrokeFixture f;
  EXPECT_EQ(f.doc->strokeState().engineMode(), 1);
  EXPECT_FALSE(f.doc->selectPenEngine(2));  // this document made no pen engine
  EXPECT_FALSE(f.doc->selectPenEngine(0));
  EXPECT_EQ(f.doc->strokeState().engineMode(), 1);
  EXPECT_TRUE(f.doc->selectPenEngine(1));
  f.doc->setStrokeProc(TStrokeSink::Segment);
  EXPECT_FALSE(f.doc->isStandardMode());
  EXPECT_EQ(f.doc->strokeState().engineMode(), 0);
  // The older-format walker paints the same line.
  const auto before = f.layerPlane();
  f.stroke.kind = skEraser;
  ASSERT_TRUE(f.paint(kLine, false));
  EXPECT_GT(countDiffering(*f.layerPlane(), *before), 50);
  EXPECT_TRUE(f.doc->selectPenEngine(1));
  EXPECT_TRUE(f.doc->isStandardMode());
}

TEST(PaperStroke, PenEngineStrokesPaintRecordAndUndo) {
  StrokeFixture f;
  CPenRender renderer;
  ASSERT_TRUE(f.doc->createPenEngine(f.stroke, renderer));
  EXPECT_EQ(f.doc->strokeState().engineLevel(), 2);
  ASSERT_TRUE(f.doc->selectPenEngine(2));
  EXPECT_EQ(f.doc->strokeState().engineMode(), 2);
  const std::string before = snapshot(*f.doc);
  ASSERT_TRUE(f.doc->beginEngineStroke(*f.flow, f.stroke, true, 8, 20, 1.0f));
  for (float x = 12; x <= 52; x += 4) ASSERT_TRUE(f.doc->continueEngineStroke(*f.flow, f.stroke, true, true, x, 20, 1.0f));
  SRectXYWH r{};
  ASSERT_TRUE(f.doc->endEngineStroke(*f.flow, f.stroke, true, r, true));
  EXPECT_GT(r.Width, 0);
  const std::string after = snapshot(*f.doc);
  EXPECT_NE(after, before);
  EXPECT_EQ(f.recorder->log.front(), "begin 8 20 1");
  EXPECT_EQ(f.recorder->log.back(), "end");
  EXPECT_EQ(f.recorder->log.size(), 13u);
  ASSERT_TRUE(f.undo());
  EXPECT_EQ(snapshot(*f.doc), before);
  ASSERT_TRUE(f.redo());
  EXPECT_EQ(snapshot(*f.doc), after);
  f.doc->freePenEngine();
  EXPECT_EQ(f.doc->strokeState().engineMode(), 1);
  EXPECT_FALSE(f.doc->selectPenEngine(2));
}

// The pen engine's eraser on a layer that keeps its alpha paints the
// layer's neutral colour. The stroke settings that paint it may have last
// painted another layer (the tool's) or none at all (a replay's): both must
// give the layer's neutral, or a replay paints other pixels than the stroke.
TEST(PaperStroke, PenEngineEraserPaintsTheLayersNeutralWhateverTheStrokeKept) {
  std::unique_ptr<TMTC> painted[2];
  const uint32_t kept[2] = {0u, 0x00123456u};
  for (int i = 0; i < 2; ++i) {
    StrokeFixture f;
    f.layer()->protectAlpha = true;
    f.stroke.layerNeutral = kept[i];
    CPenRender renderer;
    ASSERT_TRUE(renderer.setRenderMethod(prmEraser, -1, -1, 255));
    ASSERT_TRUE(f.doc->createPenEngine(f.stroke, renderer));
    ASSERT_TRUE(f.doc->selectPenEngine(2));
    ASSERT_TRUE(f.doc->beginEngineStroke(*f.flow, f.stroke, false, 8, 20, 1.0f));
    for (float x = 12; x <= 52; x += 4) ASSERT_TRUE(f.doc->continueEngineStroke(*f.flow, f.stroke, false, true, x, 20, 1.0f));
    SRectXYWH r{};
    ASSERT_TRUE(f.doc->endEngineStroke(*f.flow, f.stroke, false, r, true));
    painted[i] = f.layerPlane();
    // The middle of the stroke is (up to the merge's rounding) the normal
    // mode's neutral, white.
    ASSERT_EQ(layerBlendNeutral(3) & 0xFFFFFFu, 0xFFFFFFu);
    const uint32_t mid = painted[i]->getPixel(30, 20);
    for (int shift : {0, 8, 16}) EXPECT_GE((mid >> shift) & 0xFFu, 0xF0u) << "kept " << kept[i] << " pixel " << mid;
  }
  EXPECT_EQ(countDiffering(*painted[0], *painted[1]), 0);
}

}  // namespace
}  // namespace pg::test
