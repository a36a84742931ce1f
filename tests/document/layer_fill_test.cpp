// Layer fills, alpha operations, figures, cut and the new layer from the
// selection: recorded, undone exactly and redone.
#include <gtest/gtest.h>

#include <functional>

#include "core/blend_modes.h"
#include "core/block_pool.h"
#include "core/plane_ops.h"
#include "doc_ops_fixture.h"

namespace pg::test {
namespace layer_fill_test {

constexpr int kLayer = 4 << 8;
constexpr int kEdit = 6 << 8;
constexpr int kMask = 10 << 8;

// Layer 0 opaque, layer 1 half transparent; a selection of (10, 8)-(30, 20)
// with a soft value inside part of it.
struct FillFixture : OpsFixture {
  FillFixture() {
    addLayer(0, 1);
    addLayer(1, 2);
    for (int32_t y = 0; y < 48; ++y)
      for (int32_t x = 0; x < 64; x += 2) EXPECT_TRUE(layer(1)->image->setPixel(x, y, 0x80406080));
    EXPECT_TRUE(doc->maskFigureRect(*flow, 0, {10, 8}, {30, 20}, 0, stroke, false));
    doc->undoSetSelectionFlags(true, doc->antsShown());
    stroke.color = 0x00C08040;
  }
};

TEST(LayerFills, EachRecordsUndoesAndRedoes) {
  struct Case {
    const char* what;
    int header;
    std::function<bool(FillFixture&, bool)> op;
  };
  const Case cases[] = {
      {"clear", kLayer | 2, [](FillFixture& f, bool r) { return f.doc->clearLayer(*f.flow, 1, r); }},
      {"alpha fill", kLayer | 24, [](FillFixture& f, bool r) { return f.doc->fillLayerAlpha(*f.flow, 1, 77, r); }},
      {"alpha invert", kLayer | 25, [](FillFixture& f, bool r) { return f.doc->invertLayerAlpha(*f.flow, 1, r); }},
      {"alpha from mask", kMask | 21, [](FillFixture& f, bool r) { return f.doc->layerAlphaFromMask(*f.flow, 1, -1, r); }},
      {"cut", kLayer | 9, [](FillFixture& f, bool r) { return f.doc->cutSelection(*f.flow, 0, r, -1); }},
      {"new layer from selection", kMask | 11,
       [](FillFixture& f, bool r) { return f.doc->newLayerFromSelection(*f.flow, 0, 0, false, -1, r); }},
      {"new layer from selection, kept", kMask | 24,
       [](FillFixture& f, bool r) { return f.doc->newLayerFromSelection(*f.flow, 0, 1, true, -1, r); }},
      {"rectangle", kEdit | 1,
       [](FillFixture& f, bool r) { return f.doc->layerFigureRect(*f.flow, 0, {3, 4}, {20, 30}, f.stroke, r, r); }},
      {"ellipse", kEdit | 6,
       [](FillFixture& f, bool r) { return f.doc->layerFigureEllipse(*f.flow, 0, {3, 4}, {40, 30}, 0.5, f.stroke, r); }},
      {"polygon", kEdit | 4,
       [](FillFixture& f, bool r) {
         const TPointF pts[3] = {{2, 2}, {50, 10}, {20, 40}};
         return f.doc->layerFigurePolygon(*f.flow, 0, 3, pts, f.stroke, r);
       }},
      {"colour fill", kEdit | 0,
       [](FillFixture& f, bool r) { return f.doc->fillLayerColor(*f.flow, 1, 0x00112233, f.stroke, r, r); }},
      {"erase the selection", kEdit | 5,
       [](FillFixture& f, bool r) { return f.doc->deleteSelection(*f.flow, 1, 0x00FFFFFF, f.stroke, r, r); }},
  };
  for (const Case& c : cases) {
    FillFixture f;
    f.roundTrip([&] { return c.op(f, true); }, c.header, c.what);
    FillFixture g;
    const uint32_t from = g.position();
    EXPECT_TRUE(c.op(g, false)) << c.what;
    EXPECT_TRUE(g.packetsSince(from).empty()) << c.what;
    EXPECT_EQ(g.doc->undoMngr()->undoCount(), 0) << c.what;
  }
}

// Writes over tiles that cannot be had (no tile memory) change no layer
// and no list, leave the undo history as it was and say so.
TEST(LayerFills, WritesWithoutTileMemoryLeaveTheDocumentAsItWas) {
  struct Case {
    const char* what;
    std::function<bool(FillFixture&)> op;
  };
  const Case cases[] = {
      {"alpha from mask", [](FillFixture& f) { return f.doc->layerAlphaFromMask(*f.flow, 1, -1, true); }},
      {"cut", [](FillFixture& f) { return f.doc->cutSelection(*f.flow, 1, true, -1); }},
      {"new layer from selection", [](FillFixture& f) { return f.doc->newLayerFromSelection(*f.flow, 1, 0, false, -1, true); }},
      {"new layer from selection, kept",
       [](FillFixture& f) { return f.doc->newLayerFromSelection(*f.flow, 1, 1, true, -1, true); }},
      {"paste into layer",
       [](FillFixture& f) {
         TMTC img(20, 10);
         fill(img, 0xFF112233);
         return f.doc->pasteIntoLayer(f.flow.get(), 1, "", nullptr, img, true);
       }},
  };
  for (const Case& c : cases) {
    FillFixture f;
    // Layer 1 of one colour: every write into it needs fresh tiles.
    f.layer(1)->image->fill(0x80406080u);
    f.layer(1)->image->compact();
    ASSERT_TRUE(f.doc->fillLayerAlpha(*f.flow, 0, 200, true));
    const int32_t undoCount = f.doc->undoMngr()->undoCount();
    const std::string before = snapshot(*f.doc);
    {
      CTilePoolFailScope noMemory(0);
      EXPECT_FALSE(c.op(f)) << c.what;
    }
    EXPECT_EQ(snapshot(*f.doc), before) << c.what;
    EXPECT_FALSE(f.messages.warnings().empty()) << c.what;
    // A refusal before the event keeps the history; one after it clears it.
    EXPECT_LE(f.doc->undoMngr()->undoCount(), undoCount) << c.what;
  }
}

TEST(LayerFills, ResultsOfTheAlphaOperations) {
  FillFixture f;
  ASSERT_TRUE(f.doc->clearLayer(*f.flow, 0, true));
  EXPECT_EQ(f.layer(0)->image->getPixel(5, 5), layerBlendNeutral(f.layer(0)->blendMode) & 0x00FFFFFFu);
  ASSERT_TRUE(f.doc->fillLayerAlpha(*f.flow, 1, 77, true));
  EXPECT_EQ(f.layer(1)->image->getPixel(0, 0) >> 24, 77u);
  ASSERT_TRUE(f.doc->invertLayerAlpha(*f.flow, 1, true));
  EXPECT_EQ(f.layer(1)->image->getPixel(0, 0) >> 24, 178u);
}

TEST(LayerFills, CutFromAnOpaquePixelUnderAHalfMaskLeaves127) {
  FillFixture f;
  // A half mask over the whole canvas.
  f.doc->loadFlowImage(*f.flow, 0, true);
  fill(f.flow->coverage, 128);
  ASSERT_TRUE(f.doc->lassoSelect(*f.flow, 0, 0, false));
  ASSERT_EQ(f.layer(0)->image->getPixel(3, 3) >> 24, 255u);
  ASSERT_TRUE(f.doc->cutSelection(*f.flow, 0, true, -1));
  EXPECT_EQ(f.layer(0)->image->getPixel(3, 3) >> 24, 127u);
  // Switched off, the selection cuts nothing.
  f.doc->undoSetSelectionFlags(false, f.doc->antsShown());
  EXPECT_FALSE(f.doc->cutSelection(*f.flow, 0, true, -1));
}

// Erasing keeps the unselected share of each pixel's alpha; the paper colour
// tints only what a soft edge keeps; outside the selection nothing changes.
TEST(LayerFills, ErasingTheSelectionKeepsTheUnselectedShareOfAlpha) {
  FillFixture f;
  // Selection: 255 in (10, 8)-(30, 20), 128 in a strip beside it.
  f.doc->loadFlowImage(*f.flow, 0, true);
  fill(f.flow->coverage, 0);
  for (int32_t y = 8; y < 20; ++y)
    for (int32_t x = 10; x < 40; ++x) *pixelAddr8(f.flow->coverage, x, y) = x < 30 ? 255 : 128;
  ASSERT_TRUE(f.doc->lassoSelect(*f.flow, 0, 0, false));
  const uint32_t outside = f.layer(0)->image->getPixel(5, 5);
  ASSERT_EQ(f.layer(0)->image->getPixel(35, 10) >> 24, 255u);
  ASSERT_TRUE(f.doc->deleteSelection(*f.flow, 0, 0x00FFFFFF, f.stroke, true, true));
  EXPECT_EQ(f.layer(0)->image->getPixel(15, 10) >> 24, 0u);
  EXPECT_EQ(f.layer(0)->image->getPixel(35, 10) >> 24, 127u);
  EXPECT_EQ(f.layer(0)->image->getPixel(5, 5), outside);
  // The half-erased pixel moved halfway towards the paper colour.
  const uint32_t half = f.layer(0)->image->getPixel(35, 10);
  EXPECT_NEAR(static_cast<int>((half >> 16) & 0xFF), (((outside >> 16) & 0xFF) + 255) / 2, 2);
  // A transparent pixel stays transparent.
  ASSERT_TRUE(f.doc->clearLayer(*f.flow, 1, false));
  const uint32_t clear = f.layer(1)->image->getPixel(15, 10);
  ASSERT_EQ(clear >> 24, 0u);
  ASSERT_TRUE(f.doc->deleteSelection(*f.flow, 1, 0x00FFFFFF, f.stroke, true, true));
  EXPECT_EQ(f.layer(1)->image->getPixel(15, 10) >> 24, 0u);
  // Without a selection in use there is nothing to erase.
  f.doc->undoSetSelectionFlags(false, f.doc->antsShown());
  EXPECT_FALSE(f.doc->canDeleteSelection());
  EXPECT_FALSE(f.doc->deleteSelection(*f.flow, 0, 0x00FFFFFF, f.stroke, true, true));
}

TEST(LayerFills, TheNewLayerHoldsOnlyTheSelectedPart) {
  FillFixture f;
  ASSERT_TRUE(f.doc->newLayerFromSelection(*f.flow, 0, 0, false, -1, true));
  ASSERT_EQ(f.doc->layerCount(), 3);
  EXPECT_EQ(f.layer(1)->image->getPixel(15, 10) >> 24, 255u);
  EXPECT_EQ(f.layer(1)->image->getPixel(5, 5) >> 24, 0u);
  EXPECT_EQ(f.layer(0)->image->getPixel(15, 10) >> 24, 0u);
  EXPECT_EQ(f.layer(0)->image->getPixel(5, 5) >> 24, 255u);
}

TEST(LayerFills, FiguresAndGradientEdges) {
  FillFixture f;
  const uint32_t from = f.position();
  EXPECT_FALSE(f.doc->layerFigureRect(*f.flow, 0, {5, 5}, {5, 5}, f.stroke, true, true));
  EXPECT_FALSE(f.doc->layerFigurePolygon(*f.flow, 0, 2, nullptr, f.stroke, true));
  EXPECT_TRUE(f.packetsSince(from).empty());
  ASSERT_TRUE(f.doc->layerFigureRect(*f.flow, 0, {3, 4}, {20, 30}, f.stroke, true, true));
  EXPECT_EQ(f.layer(0)->image->getPixel(10, 10), 0xFFC08040u);
  EXPECT_NE(f.layer(0)->image->getPixel(25, 10), 0xFFC08040u);
  // Points only: the gradient moves, nothing is painted or recorded.
  const std::string before = snapshot(*f.doc);
  const uint32_t mark = f.position();
  ASSERT_TRUE(f.doc->fillLayerGradient(*f.flow, 0, {1, 2}, {30, 40}, true, f.stroke, true));
  EXPECT_EQ(snapshot(*f.doc), before);
  EXPECT_TRUE(f.packetsSince(mark).empty());
  EXPECT_EQ(f.doc->gradientOrigin().X, 1);
}

}  // namespace layer_fill_test
}  // namespace pg::test

namespace pg::test {
namespace layer_fill_test {

// The older-format opaque fill: colour with alpha 255, or RGB only with the
// keep-alpha switch in the standard mode; never an event or an undo record.
TEST(LayerFills, OpaqueFillKeepsAlphaOnlyWhenAsked) {
  struct Case {
    bool keepAlpha;
    uint32_t expected;
  };
  const Case cases[] = {{false, 0xFF112233u}, {true, 0x80112233u}};
  for (const Case& c : cases) {
    FillFixture f;
    const uint32_t from = f.position();
    ASSERT_TRUE(f.doc->fillLayerOpaque(*f.flow, 1, 0xAA112233u, c.keepAlpha));
    EXPECT_EQ(f.layer(1)->image->getPixel(0, 0), c.expected) << c.keepAlpha;
    EXPECT_TRUE(f.packetsSince(from).empty());
    EXPECT_EQ(f.doc->undoMngr()->undoCount(), 0);
  }
  FillFixture f;
  EXPECT_FALSE(f.doc->fillLayerOpaque(*f.flow, 7, 0x112233u, false));
  EXPECT_FALSE(f.doc->fillLayerOpaque(*f.flow, -1, 0x112233u, false));
}

}  // namespace layer_fill_test
}  // namespace pg::test
