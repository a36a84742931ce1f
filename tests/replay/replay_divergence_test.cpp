// Pieces of work whose replay once reached a different picture than the
// work itself: each replays, from the live recording and from a ".kci",
// to the document's layers, masks and composite.
#include <gtest/gtest.h>

#include "brush/paint_param.h"
#include "brush/paint_param_kinds.h"
#include "brush/pen_shape_obj.h"
#include "document/layer_attr_record.h"
#include "document/layer_data.h"
#include "document/paper_ops.h"
#include "replay_compare.h"

namespace pg::test {
namespace {

void undoOnce(TPaper& d, TFlowImage& flow) {
  int32_t layer = 0;
  TRect rect{};
  ASSERT_TRUE(d.undo(flow, layer, rect));
}

// A stroke wholly outside its (small) layer is one step of the history like
// any other: an undo right after it takes back that stroke, in the document
// and in the recording alike, not the stroke before it.
TEST(ReplayDivergence, AStrokeOutsideItsLayerIsUndoneAsItself) {
  for (const bool engine : {false, true}) {
    ReplayFixture f;
    TPaper& d = *f.x.doc;
    TFlowImage& flow = *f.x.flow;
    if (engine) f.usePenEngine();
    const auto stroke = [&](float x0, float y0, float x1, float y1) {
      const std::vector<SStrokePoint> pts = ReplayFixture::line(x0, y0, x1, y1, 8);
      if (engine) {
        f.paintEngine(pts);
      } else {
        f.paint(pts);
      }
    };
    ASSERT_TRUE(d.newLayerEx(&flow, 1, true, 255, 3, 20, 24, true));  // 24 x 20 at the top left
    ASSERT_EQ(d.currentLayerIndex(), 1);
    stroke(2, 2, 20, 16);
    const std::string painted = picture(d);
    stroke(40, 30, 60, 44);  // nowhere on the layer
    EXPECT_EQ(picture(d), painted);
    undoOnce(d, flow);
    EXPECT_EQ(picture(d), painted) << "the undo took back the stroke before";
    expectReplaysAlike(d, engine ? "pen engine" : "dab walker");
  }
}

// A stroke paints from its own layer and from nothing else. An undo that
// gives a turned layer its former image back leaves the flow image as large
// as the turned one (it never shrinks): the dabs must neither read beyond
// the layer's edge (watercolour and finger pick up colour there) nor start
// from what the turned image left in the flow beyond the document's edge
// (pen, airbrush), also when the turn kept the layer's size.
TEST(ReplayDivergence, AStrokeAfterAnUndoneTurnPaintsFromItsLayer) {
  struct Case {
    const char* what;
    uint8_t kind;
    SSize layer;        // the layer's size before the turn (the document is 64 x 48)
    bool quarterTurn;   // else a turn of 35 degrees, which grows the layer
    float x0, y0, x1, y1;
  };
  const Case cases[] = {
      {"watercolour along the layer's edge", skWatercolor, {64, 48}, false, 20, 46, 63, 47},
      {"finger along the layer's edge", skRubpen, {64, 48}, false, 63, 10, 62, 47},
      {"pen beyond the document", skPen, {96, 72}, false, 40, 20, 90, 60},
      {"airbrush below the document after a quarter turn", skAirbrush, {64, 64}, true, 4, 40, 56, 58},
  };
  for (const Case& c : cases) {
    ReplayFixture f;
    TPaper& d = *f.x.doc;
    TFlowImage& flow = *f.x.flow;
    if (c.layer != SSize{64, 48}) {
      ASSERT_TRUE(d.scaleLayer(flow, 0, true, c.layer.W, c.layer.H)) << c.what;
    }
    f.tool.WIDTH = 10.0f;
    f.paint(ReplayFixture::line(2, 2, 90, 70, 12));
    f.paint(ReplayFixture::line(2, 60, 90, 4, 12));
    if (c.quarterTurn) {
      ASSERT_TRUE(d.rotateLayer90(flow, 0, true, true)) << c.what;
    } else {
      ASSERT_TRUE(d.rotateLayer(flow, 0, true, 35.0f)) << c.what;
    }
    undoOnce(d, flow);
    f.tool.kind = c.kind;
    f.tool.color = 0x0010C020u;
    f.tool.EFFECT = 60.0f;
    f.tool.ENV = 80.0f;
    f.paint(ReplayFixture::line(c.x0, c.y0, c.x1, c.y1, 10));
    expectReplaysAlike(d, c.what);
  }
}

// The smudging pen methods plot the paint colour wherever their sample
// holds nothing. The tool window's colours are opaque while a recording
// carries colours without alpha: the pen renderer paints with the colour
// opaque either way, so that a replay smears as the work did.
TEST(ReplayDivergence, ASmudgingPenStrokeOverEmptyPixelsReplays) {
  for (const uint8_t kind : {uint8_t(14), uint8_t(15)}) {  // finger, spread
    for (const bool pressureOpacity : {false, true}) {
      ReplayFixture f;
      TPaper& d = *f.x.doc;
      TFlowImage& flow = *f.x.flow;
      ASSERT_TRUE(d.newLayerEx(&flow, 1, true, 255, 3, 48, 64, true));  // transparent: empty samples
      f.paint(ReplayFixture::line(4, 20, 60, 26, 10));
      f.usePenEngine();
      SPenRenderParam method;
      ASSERT_TRUE(penRenderParamOfKind(method, kind));
      ASSERT_TRUE(f.penTool.setRenderParam(method, 7));
      SStrokeParam values = d.penEngine()->getParam();
      values.pressureOpacity = pressureOpacity ? 1 : 0;
      d.penEngine()->setParam(values);
      f.tool.color = 0xFF000000u | 0x00C04020u;  // as the tool window sets it
      f.paintEngine(ReplayFixture::line(30, 4, 34, 44, 12));
      expectReplaysAlike(d, "kind " + std::to_string(kind) + (pressureOpacity ? " by pressure" : ""));
    }
  }
}

// A pen stroke with a turned, stretched image nib leaves the flow image as
// its layer: whatever its dabs painted beyond the rectangle merged into the
// layer is given the layer's pixels again as the stroke ends, so that the
// next operation on the flow image (a gradient, a figure) starts from the
// layer alike in the work and in a replay. The stroke replays alike.
TEST(ReplayDivergence, APenStrokeLeavesTheFlowImageAsItsLayer) {
  TChannel nib;
  ASSERT_TRUE(nib.Resize(3, 14));
  for (int32_t y = 0; y < nib.Height; ++y)
    for (int32_t x = 0; x < nib.Width; ++x) *nib.pixelAt(x, y) = uint8_t(80 + 11 * x + 9 * y);
  for (const uint8_t kind : {uint8_t(9), uint8_t(15)})  // pencil, spread
    for (const float aspect : {0.3f, 1.0f})
      for (int32_t angle = 0; angle < 180; angle += 30) {
        const std::string what =
            "kind " + std::to_string(kind) + " aspect " + std::to_string(aspect) + " angle " + std::to_string(angle);
        ReplayFixture f;
        TPaper& d = *f.x.doc;
        TFlowImage& flow = *f.x.flow;
        f.paint(ReplayFixture::line(4, 20, 60, 26, 10));
        f.usePenEngine();
        TPaintParam param(kind);
        param.setSize(6.0f);
        param.setNibImage(&nib);
        param.setNibScale(3.0f);
        param.setAspect(aspect);
        param.setAngle(float(angle));
        param.setPressureSize(true);
        // The brush handed over as the tool window does.
        (void)param.storeToStroke(&f.tool);
        SStrokeParam values;
        (void)param.toStrokeParam(values);
        d.penEngine()->setParam(values);
        SPenShapeParam shape;
        param.toPenShapeParam(shape);
        ASSERT_TRUE(f.penTool.setShapeParam(shape));
        SPenRenderParam method = f.penTool.getRenderParam();
        ASSERT_TRUE(param.toPenRenderParam(method));
        ASSERT_TRUE(f.penTool.setRenderParam(method, 7));
        CPenShapeObj nibObject;
        ASSERT_TRUE(param.storeToPenShape(&nibObject));
        f.penTool.setNib(&nibObject, false, false, false);
        f.penSource.nib = &nibObject;
        f.tool.color = 0xFF000000u | 0x00C04020u;
        f.paintEngine(ReplayFixture::line(30, 6, 36, 40, 14));
        const CLayerData& layer = *d.getLayer(d.currentLayerIndex());
        int32_t stale = 0;
        for (int32_t y = 0; y < layer.imageHeight(); ++y)
          for (int32_t x = 0; x < layer.imageWidth(); ++x)
            stale += flow.pixels.getPixel(x, y) != layer.image->getPixel(x, y) ? 1 : 0;
        EXPECT_EQ(stale, 0) << what << ": flow pixels the layer does not hold";
        expectReplaysAlike(d, what);
      }
}

// Keep-alpha of a bucket fill is the filled layer's protect-alpha flag, not
// the state a stroke on another layer left in the tool's settings.
TEST(ReplayDivergence, ABucketFillKeepsAlphaByItsOwnLayer) {
  for (const bool protect : {false, true}) {
    ReplayFixture f;
    TPaper& d = *f.x.doc;
    TFlowImage& flow = *f.x.flow;
    ASSERT_TRUE(d.fillLayerAlpha(flow, 0, 100, true));
    ASSERT_TRUE(d.newLayerEx(&flow, 1, true, 255, 3, 48, 64, true));
    ASSERT_TRUE(d.setProtectAlpha(1, protect ? 0 : 1, true));  // the other layer says the opposite
    ASSERT_TRUE(d.setProtectAlpha(0, protect ? 1 : 0, true));
    ASSERT_EQ(d.currentLayerIndex(), 1);
    f.paint(ReplayFixture::line(4, 4, 60, 40, 10));  // the tool's keep-alpha now follows layer 1
    ASSERT_TRUE(d.setCurrentLayer(&flow, 0));
    f.tool.layerIndex = 0;
    ASSERT_TRUE(d.bucketFillLayer(flow, 0, TPoint{30, 24}, true, false, f.tool, SRegionFillSettings{}, true));
    const uint32_t alpha = d.getLayer(0)->image->getPixel(30, 24) >> 24;
    if (protect) {
      EXPECT_EQ(alpha, 100u);
    } else {
      EXPECT_GT(alpha, 100u);
    }
    expectReplaysAlike(d, protect ? "protected" : "unprotected");
  }
}


// Whatever paints with the gradient switch on paints with the gradient in
// use as it starts, not with the stops the document took last: those came
// from a stroke that was undone, which the recording no longer holds.
TEST(ReplayDivergence, AFillWithTheGradientTakesTheGradientInUse) {
  struct Case {
    const char* what;
    bool (*fill)(ReplayFixture& f);
  };
  const Case cases[] = {
      {"bucket fill",
       [](ReplayFixture& f) {
         return f.x.doc->bucketFillLayer(*f.x.flow, 1, TPoint{30, 24}, true, false, f.tool, SRegionFillSettings{}, true);
       }},
      {"edit fill",
       [](ReplayFixture& f) { return f.x.doc->fillLayerColor(*f.x.flow, 1, 0x00808080u, f.tool, true, true); }},
      {"rectangle figure",
       [](ReplayFixture& f) {
         return f.x.doc->layerFigureRect(*f.x.flow, 1, TPointF{6, 6}, TPointF{50, 40}, f.tool, true, true);
       }},
  };
  for (const Case& c : cases) {
    ToolGradient gradients;
    ReplayFixture f;
    TPaper& d = *f.x.doc;
    TFlowImage& flow = *f.x.flow;
    ASSERT_TRUE(d.newLayerEx(&flow, 1, true, 255, 3, 48, 64, true));
    f.tool.setUseGradation(true, true);
    gradients.active = CGradObj::CreateTwoColor(0x000000FFu, "test", 0x0000FF00u);
    f.paint(ReplayFixture::line(4, 4, 60, 10, 10));
    gradients.active = CGradObj::CreateTwoColor(0x00FF0000u, "test", 0x00FFFF00u);
    f.paint(ReplayFixture::line(4, 40, 60, 44, 10));
    undoOnce(d, flow);
    ASSERT_TRUE(c.fill(f)) << c.what;
    expectReplaysAlike(d, c.what);
  }
}

// An anti-aliased fill of what the picture shows finds its region within
// the document, and its soft edge may reach a pixel beyond; the region is
// the document's rectangle, which is all the recording carries, so a layer
// larger than the document is neither grown nor painted for that edge.
TEST(ReplayDivergence, AFillOfTheVisiblePictureStaysWithinItsRegion) {
  ReplayFixture f;
  TPaper& d = *f.x.doc;
  TFlowImage& flow = *f.x.flow;
  // The layer moved up and left is rebuilt larger than the document, with
  // its new part beyond the top left: the document's right and bottom
  // edges are the layer's.
  ASSERT_TRUE(d.offsetLayer(&flow, 0, TPoint{-5, -7}, true));
  const CLayerData& before = *d.getLayer(0);
  const SSize size{before.imageWidth(), before.imageHeight()};
  ASSERT_GT(size.W, d.width());
  SRegionFillSettings visible;
  visible.target = 1;
  ASSERT_TRUE(d.bucketFillLayer(flow, 0, TPoint{30, 24}, true, false, f.tool, visible, true));
  const CLayerData& after = *d.getLayer(0);
  EXPECT_EQ(after.imageWidth(), size.W);
  EXPECT_EQ(after.imageHeight(), size.H);
  expectReplaysAlike(d, "visible fill");
}

// The region of what the picture shows is the document's rectangle, which
// may be larger than any layer the replay has loaded (a small layer alone
// in a picture turned a quarter): the replay takes the region whole, as the
// work did.
TEST(ReplayDivergence, AFillOfTheVisiblePictureLargerThanEveryLayerReplays) {
  for (const bool erase : {false, true}) {
    ReplayFixture f;
    TPaper& d = *f.x.doc;
    TFlowImage& flow = *f.x.flow;
    ASSERT_TRUE(d.newLayerEx(&flow, 1, true, 255, 3, 20, 24, true));
    ASSERT_TRUE(d.deleteLayerCmd(&flow, 0, true));
    ASSERT_TRUE(d.rotateImage90(flow, true, true));
    ASSERT_GT(d.height(), d.width());
    SRegionFillSettings visible;
    visible.target = 1;
    ASSERT_TRUE(d.bucketFillLayer(flow, 0, TPoint{10, 10}, false, erase, f.tool, visible, true));
    expectReplaysAlike(d, erase ? "visible erase" : "visible fill");
  }
}

// A tone is defined in the recording once: the event that defined it,
// undone and redone, holds the definition again, so the next use only
// selects it.
TEST(ReplayDivergence, AToneDefinedInARedoneEventIsNotDefinedAgain) {
  ReplayFixture f;
  TPaper& d = *f.x.doc;
  TFlowImage& flow = *f.x.flow;
  f.useTone(3, 30);
  f.paint(ReplayFixture::line(4, 10, 60, 14, 12));
  undoOnce(d, flow);
  int32_t layer = 0;
  TRect rect{};
  ASSERT_TRUE(d.redo(flow, layer, rect));
  f.paint(ReplayFixture::line(4, 40, 60, 30, 12));
  expectReplaysAlike(d, "tone");
}

// An undo that puts another image in the layer's place (a crop, a rebuilt
// move) leaves the working copy of the layer nothing to patch: the next
// fill works on the layer as the undo left it, as its replay does.
TEST(ReplayDivergence, AFillAfterAnUndoThatReplacedTheLayerWorksOnTheLayer) {
  struct Case {
    const char* what;
    bool (*change)(TPaper& d, TFlowImage& flow);
  };
  const Case cases[] = {
      {"crop", [](TPaper& d, TFlowImage& flow) { return d.cropLayer(&flow, 0, true); }},
      {"rebuilt move", [](TPaper& d, TFlowImage& flow) { return d.offsetLayer(&flow, 0, TPoint{3, 4}, true); }},
  };
  for (const Case& c : cases) {
    ReplayFixture f;
    TPaper& d = *f.x.doc;
    TFlowImage& flow = *f.x.flow;
    // A layer beyond the document, with pixels all over it.
    ASSERT_TRUE(d.offsetLayer(&flow, 0, TPoint{-5, -7}, true));
    f.tool.setWidth(12.0f);
    f.paint(ReplayFixture::line(-4, -6, 60, 44, 16));
    f.paint(ReplayFixture::line(60, -6, -4, 44, 16));
    ASSERT_TRUE(c.change(d, flow)) << c.what;
    undoOnce(d, flow);
    ASSERT_TRUE(d.fillLayerColor(flow, 0, 0x00406080u, f.tool, true, true)) << c.what;
    expectReplaysAlike(d, c.what);
  }
}

// A dissolve layer's dither depends on its pixels alone, not on which tiles
// hold them: after strokes made transparent again (tiles held live, but
// given back uniform by a file) and an undo, the replays and the file read
// back compose alike.
TEST(ReplayDivergence, ADissolveLayerComposesAlikeAfterUndoAndSaving) {
  ReplayFixture f;
  TPaper& d = *f.x.doc;
  TFlowImage& flow = *f.x.flow;
  ASSERT_TRUE(d.newLayerEx(&flow, 1, true, 255, 3, 48, 64, true));
  f.tool.setWidth(10.0f);
  f.paint(ReplayFixture::line(4, 10, 60, 14, 12));
  f.paint(ReplayFixture::line(4, 40, 60, 36, 12));
  ASSERT_TRUE(d.fillLayerAlpha(flow, 1, 0, true));
  ASSERT_TRUE(d.setLayerEffect(1, true, 128, true));
  f.paint(ReplayFixture::line(40, 44, 60, 30, 12));
  f.paint(ReplayFixture::line(2, 30, 62, 30, 12));
  undoOnce(d, flow);
  // The composite as the strokes and the undo left it, rectangle by
  // rectangle, is the one a whole recomposition gives.
  const std::string shown = compositeHash(d);
  EXPECT_EQ(compositeOf(d), shown);
  expectReplaysAlike(d, "dissolve");
}

// A paste with the copied layer's attributes makes a layer with them, and
// the attributes travel with the event.
TEST(ReplayDivergence, APasteCarriesTheCopiedAttributes) {
  ReplayFixture f;
  TPaper& d = *f.x.doc;
  TFlowImage& flow = *f.x.flow;
  TMTC image(80, 60);
  for (int32_t y = 0; y < 60; ++y)
    for (int32_t x = 0; x < 80; ++x) *image.pixelAt(x, y) = uint32_t((x * 3 + y) & 0xFF) << 24 | uint32_t(x * 3) << 16 | uint32_t(y * 4);
  SLayerAttrRecord attr;
  attr.words[1] = SLayerAttrRecord::kVisible | SLayerAttrRecord::kExtended | SLayerAttrRecord::kDissolve |
                  SLayerAttrRecord::kWithinSize | 2u << 16 | 140u << 24;
  attr.words[6] = 80;
  attr.words[7] = 60;
  attr.words[8] = 10;
  attr.words[9] = 6;
  attr.words[14] = 200;
  const auto bytes = attr.bytes();
  ASSERT_TRUE(d.pasteLayerImage(&flow, image, "ink", bytes.data(), true));
  ASSERT_EQ(d.layerCount(), 2);
  const CLayerData& l = *d.getLayer(1);
  EXPECT_EQ(l.name, "ink");
  EXPECT_EQ(l.blendMode, 2);
  EXPECT_EQ(l.opacity, 140);
  EXPECT_EQ(l.offsetX, 10);
  EXPECT_EQ(l.offsetY, 6);
  EXPECT_TRUE(l.dissolve);
  EXPECT_EQ(l.dissolveAmount, 200);
  EXPECT_EQ(l.imageWidth(), 80);
  EXPECT_EQ(l.imageHeight(), 60);
  expectReplaysAlike(d, "paste");
}

// The size of a pasted layer, whatever the attribute record claims.
TEST(ReplayDivergence, APastedLayerSizeStaysWithinTheLimits) {
  struct Case {
    const char* what;
    uint32_t flags;
    int32_t x, copiedWidth;
    int32_t width;
  };
  const Case cases[] = {
      {"no attributes", 0xFFFFFFFFu, 0, 0, 64},
      {"within, position plus document inside the copy", SLayerAttrRecord::kWithinSize, 10, 100, 74},
      {"within, capped by the copied size", SLayerAttrRecord::kWithinSize, 50, 90, 90},
      {"within, negative position", SLayerAttrRecord::kWithinSize, -500, 100, 64},
      {"position added", 0, 30, 0, 94},
      {"position past every limit", 0, 2000000000, 0, 10000},
  };
  for (const Case& c : cases) {
    SLayerAttrRecord attr;
    attr.words[1] = c.flags;
    attr.words[6] = uint32_t(c.copiedWidth);
    attr.words[8] = uint32_t(c.x);
    const SPasteSize s = pastedLayerSize(64, 48, 40, 30, c.flags == 0xFFFFFFFFu ? nullptr : &attr);
    EXPECT_EQ(s.width, c.width) << c.what;
    EXPECT_EQ(s.height, 48) << c.what;
  }
}

}  // namespace
}  // namespace pg::test
