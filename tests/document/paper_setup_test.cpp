// Setting up a new document: the first layer, the display mode, the
// recorded image creation; the document size; the gradient's points and
// options; the small layer queries.
#include <gtest/gtest.h>

#include "core/blend_modes.h"
#include "paper_view_fixture.h"

namespace pg::test {
namespace {

// A recorder that also records image creation, logging every call.
class SetupRecorder final : public IDocRecorder {
 public:
  explicit SetupRecorder(std::vector<std::string>& log) : log_(log) {}
  bool startRecording(int32_t) override { return true; }
  void clear() override {}
  bool hasEvents() const override { return false; }
  bool isStrokeOpen() const override { return false; }
  void activate(bool) override {}
  int32_t undoDepth() const override { return 0; }
  bool undoEvent() override { return false; }
  int32_t redoAvailableCount() const override { return 0; }
  bool redoStep() override { return false; }
  void noteState() override {}
  void dropForwardEvents() override {}
  bool resizeUndoRing(int32_t, int32_t) override { return true; }
  bool recordPaperColor(uint32_t) override { return true; }
  bool recordImageCreate(int32_t w, int32_t h, bool transparent, bool off, int32_t dpi, int32_t lh,
                         int32_t lw) override {
    log_.push_back("imageCreate " + std::to_string(w) + " " + std::to_string(h) + " " + std::to_string(transparent) +
                   " " + std::to_string(off) + " " + std::to_string(dpi) + " " + std::to_string(lh) + " " +
                   std::to_string(lw));
    return true;
  }
  bool recordResetPoint() override {
    log_.push_back("resetPoint");
    return true;
  }

 private:
  std::vector<std::string>& log_;
};

struct SetupFixture {
  SetupFixture() {
    DocServices s;
    s.makeRecorder = [this](TPaper&) { return std::make_unique<SetupRecorder>(log); };
    doc = std::make_unique<TPaper>(&window, s);
    flow = std::make_unique<TFlowImage>(doc.get());
    doc->setFlowImage(flow.get());
    doc->setOnChange([this](TPaper&, bool ready) { changes.push_back(ready); });
  }
  FakeWindow window;
  FakeMessages messages;
  std::vector<std::string> log;
  std::vector<bool> changes;
  std::unique_ptr<TPaper> doc;
  std::unique_ptr<TFlowImage> flow;
};

struct SetupCase {
  const char* name;
  bool transparent;
  bool canvasColourOff;
  uint32_t alpha;  // of the first layer's pixels
};

class SetupTable : public ::testing::TestWithParam<SetupCase> {};

TEST_P(SetupTable, TheFirstLayerAndTheDisplayMode) {
  const SetupCase& c = GetParam();
  SetupFixture f;
  ASSERT_TRUE(f.doc->setupDocument("C:\\pics\\cat.kci", nullptr, c.transparent, c.canvasColourOff, 144, 50, 70, 40,
                                   60));
  TPaper& d = *f.doc;
  EXPECT_EQ(d.name(), "C:\\pics\\cat.kci");
  EXPECT_EQ(d.resolution(), 144);
  EXPECT_EQ(d.showCanvasColor(), !c.canvasColourOff);
  EXPECT_EQ(SSize({d.width(), d.height()}), (SSize{60, 40}));
  EXPECT_EQ(d.composite().size(), (SSize{60, 40}));
  ASSERT_EQ(d.layerCount(), 1);
  const CLayerData& l = *d.getLayer(0);
  EXPECT_EQ(SSize({l.imageWidth(), l.imageHeight()}), (SSize{70, 50}));  // the layer's own size
  EXPECT_EQ(l.blendMode, lbmNormal);
  EXPECT_EQ(l.opacity, 255);
  EXPECT_TRUE(l.visible);
  EXPECT_EQ(l.name, "レイヤ1");
  EXPECT_EQ(l.image->getPixel(69, 49), (c.alpha << 24) | 0xFFFFFFu);
  EXPECT_EQ(pixelAlpha(l.thumbnail->getPixel(0, 0)), c.alpha);
  EXPECT_EQ(d.currentLayer(), d.getLayer(0));
  EXPECT_EQ(f.flow->layerIndex, 0);
  EXPECT_TRUE(f.flow->valid);
  SFixPoint p0, p1;
  d.getGradientPoints(p0, p1);
  EXPECT_EQ(p0, (SFixPoint{0, 0}));
  EXPECT_EQ(p1, (SFixPoint{60 << 16, 0}));
  EXPECT_EQ(f.log, (std::vector<std::string>{"imageCreate 60 40 " + std::to_string(c.transparent) + " " +
                                                 std::to_string(c.canvasColourOff) + " 144 50 70",
                                             "resetPoint"}));
  EXPECT_TRUE(d.isReady());
  EXPECT_EQ(f.changes, (std::vector<bool>{true}));
  EXPECT_GE(f.window.invalidations, 1);
  EXPECT_EQ(f.window.waitCursorDepth, 0);
  // The composite is built: white paper under a white first layer.
  EXPECT_EQ(d.composite().getPixel(5, 5), d.showCanvasColor() ? 0xFFFFFFFFu : (c.alpha << 24) | 0xFFFFFFu);
}

INSTANTIATE_TEST_SUITE_P(Paper, SetupTable,
                         ::testing::Values(SetupCase{"Opaque", false, false, 255},
                                           SetupCase{"Transparent", true, false, 0},
                                           SetupCase{"TransparentWithoutCanvasColour", true, true, 0}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(PaperSetup, ANewDocumentHasALayerOfItsOwnSize) {
  SetupFixture f;
  ASSERT_TRUE(f.doc->newDocument("x", nullptr, false, false, 72, 30, 50));
  EXPECT_EQ(f.doc->getLayer(0)->imageWidth(), 50);
  EXPECT_EQ(f.doc->getLayer(0)->imageHeight(), 30);
}

TEST(PaperSetup, SizesFromOutsideAreBroughtIntoTheLimits) {
  struct Case {
    int32_t w, h, lw, lh;
    SSize doc, layer;
  } cases[] = {
      {0, -3, 0, -3, {1, 1}, {1, 1}},
      {20000, 1, 20000, 1, {10000, 1}, {10000, 1}},
      {INT32_MIN, 2, 3, INT32_MAX, {1, 2}, {3, 10000}},
  };
  for (const Case& c : cases) {
    SetupFixture f;
    ASSERT_TRUE(f.doc->setupDocument("x", nullptr, false, false, 72, c.lh, c.lw, c.h, c.w));
    EXPECT_EQ(SSize({f.doc->width(), f.doc->height()}), c.doc);
    EXPECT_EQ(f.doc->composite().size(), c.doc);
    EXPECT_EQ(SSize({f.doc->getLayer(0)->imageWidth(), f.doc->getLayer(0)->imageHeight()}), c.layer);
  }
}

TEST(PaperSetup, SetSizeReachesTheListsTheFlowAndTheWindow) {
  ViewFixture f(40, 30, 64, 48);
  f.randomLayer(0, 1, lbmNormal, 40, 30);
  ASSERT_TRUE(f.doc->loadFlowImage(*f.flow, 0, true));
  const int32_t layouts = f.window.layouts;
  ASSERT_TRUE(f.doc->setSize(nullptr, 55, 35));
  EXPECT_EQ(f.doc->layers()->docWidth(), 55);
  EXPECT_EQ(f.doc->masks()->docHeight(), 35);
  EXPECT_EQ(f.doc->composite().size(), (SSize{55, 35}));
  EXPECT_FALSE(f.flow->valid);
  EXPECT_EQ(*f.flow->pixels.pixelAt(3, 3), 0x00FFFFFFu);
  EXPECT_EQ(f.window.layouts, layouts + 1);
  EXPECT_TRUE(f.window.lastRelayout);
}

TEST(PaperSetup, LayerQueries) {
  DocFixture f;
  f.addLayer(0, 1);
  f.addLayer(1, 2);
  f.layer(1)->blendMode = lbmScreen;
  f.layer(1)->offsetX = 4;
  f.layer(1)->offsetY = -3;
  EXPECT_EQ(f.doc->strokeLayerBlendMode(1), lbmScreen);
  EXPECT_EQ(f.doc->strokeLayerBlendMode(2), -1);
  TPoint off;
  ASSERT_TRUE(f.doc->layerOffset(1, off));
  EXPECT_EQ(off, (TPoint{4, -3}));
  EXPECT_FALSE(f.doc->layerOffset(-1, off));
  TPoint p{10, 10};
  ASSERT_TRUE(f.doc->layerToPaperPoint(1, p));
  EXPECT_EQ(p, (TPoint{6, 13}));
  TPoint edge{INT32_MIN, INT32_MAX};
  ASSERT_TRUE(f.doc->layerToPaperPoint(1, edge));
  EXPECT_EQ(edge, (TPoint{INT32_MIN, INT32_MAX}));  // kept in range
  EXPECT_EQ(f.doc->getLayer(7), nullptr);
}

// ---- gradient --------------------------------------------------------------------------------

// The tool window's gradient set: black to white, mirrored; and the gradient
// of a replay: red to blue.
struct FakeGradientLink final : CDocGradientLink {
  std::unique_ptr<CGradObj> active = CGradObj::CreateTwoColor(0x000000, "a", 0xFFFFFF);
  std::unique_ptr<CGradObj> replay = CGradObj::CreateTwoColor(0x0000FF, "r", 0xFF0000);
  SGradRepeat range{0, 0, 1, 0, 3};
  const CGradObj* activeGradient() const override { return active.get(); }
  bool gradientRange(SGradRepeat& out) const override {
    out = range;
    return true;
  }
  const CGradObj* replayGradient(const TPaper&) const override { return replay.get(); }
};

TEST(PaperGradient, PointsAreKeptIn1616) {
  DocFixture f;
  f.doc->setGradientPoints(TPoint{3, -2}, TPoint{40000, 7});
  SFixPoint p0, p1;
  f.doc->getGradientPoints(p0, p1);
  EXPECT_EQ(p0, (SFixPoint{3 << 16, -2 * 65536}));
  EXPECT_EQ(p1, (SFixPoint{INT32_MAX, 7 << 16}));  // beyond 16.16: the nearest value
  EXPECT_EQ(f.doc->gradientOrigin(), (TPoint{3, -2}));
  f.doc->setGradientPointsF(TPointF{1.5f, -0.25f}, TPointF{0.00001f, 2.0f});
  f.doc->getGradientPoints(p0, p1);
  EXPECT_EQ(p0, (SFixPoint{98304, -16384}));
  EXPECT_EQ(p1, (SFixPoint{1, 131072}));
  f.doc->setGradientPointsFix(SFixPoint{-1, 5}, SFixPoint{6, 7});
  f.doc->getGradientPoints(p0, p1);
  EXPECT_EQ(p0, (SFixPoint{-1, 5}));
  EXPECT_EQ(f.doc->gradientOrigin(), (TPoint{-1, 0}));
}

TEST(PaperGradient, ANewDocumentStartsFromTheToolWindowsGradient) {
  FakeGradientLink link;
  CDocGradientLink* old = setDocGradientLink(&link);
  DocFixture f;
  setDocGradientLink(old);
  EXPECT_EQ(f.doc->gradient()->mirror(), 1);
  f.doc->setGradientPoints(TPoint{0, 0}, TPoint{100, 0});
  // Mirrored: black at both ends, white in the middle (red in the low byte,
  // the stop opacity on top).
  EXPECT_EQ(f.doc->gradientColorAt(TPoint{0, 0}), 0xFF000000u);
  EXPECT_EQ(f.doc->gradientColorAt(TPoint{50, 9}), 0xFFFFFFFFu);
  f.doc->resetGradientOptions();
  EXPECT_EQ(f.doc->gradient()->mirror(), 0);
  EXPECT_EQ(f.doc->gradientColorAt(TPoint{100, 0}), 0xFFFFFFFFu);
}

TEST(PaperGradient, OptionsTakeTheStopsOfTheGradientInUse) {
  FakeGradientLink link;
  CDocGradientLink* old = setDocGradientLink(&link);
  DocFixture f;
  f.doc->setGradientPoints(TPoint{0, 0}, TPoint{100, 0});
  // Replaying: the replay's gradient, in the order shape, mirror, count, wrap.
  f.window.replaying = true;
  ASSERT_TRUE(f.doc->setGradientOptions(0, 0, 2, 0));
  EXPECT_EQ(f.doc->gradient()->count(), 2);
  EXPECT_EQ(f.doc->gradientColorAt(TPoint{0, 0}), 0xFF0000FFu);
  // Values out of range change nothing.
  EXPECT_FALSE(f.doc->setGradientOptions(7, 0, 1, 0));
  EXPECT_FALSE(f.doc->setGradientOptions(0, 0, 0, 0));
  EXPECT_FALSE(f.doc->setGradientOptions(0, 0, 1, 2));
  EXPECT_EQ(f.doc->gradient()->count(), 2);
  EXPECT_EQ(f.doc->gradient()->shape(), 0);
  // Outside replay the tool window's gradient; the document keeps a copy.
  f.window.replaying = false;
  ASSERT_TRUE(f.doc->setGradientOptions(2, 0, 1, 1));
  EXPECT_EQ(f.doc->gradient()->wrap(), 1);
  link.active.reset();
  EXPECT_EQ(f.doc->gradientColorAt(TPoint{0, 0}), 0xFF000000u);
  setDocGradientLink(old);
}

}  // namespace
}  // namespace pg::test
