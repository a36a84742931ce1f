// The flow image: when a layer is copied in, how the plane grows, and the fit
// to the document.
#include <gtest/gtest.h>

#include "core/mem_utils.h"
#include "doc_fixture.h"

namespace pg::test {
namespace {

TEST(FlowImage, StartsEmpty) {
  TFlowImage flow(nullptr);
  EXPECT_EQ(flow.layerIndex, -1);
  EXPECT_FALSE(flow.valid);
  EXPECT_EQ(flow.pixels.Width, 0);
  EXPECT_EQ(flow.coverage.Width, 0);
}

TEST(FlowImage, TheSameLayerIsCopiedOnceUnlessForced) {
  DocFixture f;
  f.addLayer(0, 7);
  TFlowImage& flow = *f.flow;
  ASSERT_TRUE(f.doc->loadFlowImage(flow, 0, false));
  EXPECT_TRUE(flow.valid);
  EXPECT_EQ(flow.layerIndex, 0);
  EXPECT_EQ(flow.pixels.getPixel(2, 3), f.layer(0)->image->getPixel(2, 3));
  *flow.coverage.pixelAt(1, 1) = 200;
  EXPECT_TRUE(f.layer(0)->image->setPixel(2, 3, 0xFF010203));
  EXPECT_FALSE(f.doc->loadFlowImage(flow, 0, false));
  EXPECT_EQ(flow.coverage.getPixel(1, 1), 200);  // kept
  EXPECT_NE(flow.pixels.getPixel(2, 3), 0xFF010203u);
  EXPECT_TRUE(f.doc->loadFlowImage(flow, 0, true));
  EXPECT_EQ(flow.coverage.getPixel(1, 1), 0);
  EXPECT_EQ(flow.pixels.getPixel(2, 3), 0xFF010203u);
}

TEST(FlowImage, GrowsForALargerLayerAndKeepsItsSizeForASmallerOne) {
  DocFixture f;
  f.addLayer(0, 1, 60, 20);
  f.addLayer(1, 2, 30, 50);
  f.layer(1)->offsetX = 4;
  f.layer(1)->offsetY = 5;
  TFlowImage& flow = *f.flow;
  ASSERT_TRUE(f.doc->loadFlowImage(flow, 0, false));
  EXPECT_EQ(flow.pixels.size(), (SSize{60, 20}));
  ASSERT_TRUE(f.doc->loadFlowImage(flow, 1, false));
  EXPECT_EQ(flow.pixels.size(), (SSize{60, 50}));
  EXPECT_EQ(flow.coverage.size(), (SSize{60, 50}));
  EXPECT_EQ(flow.layerOffset, (TPoint{4, 5}));
  EXPECT_EQ(flow.docSize, (SSize{40, 30}));
  ASSERT_TRUE(f.doc->loadFlowImage(flow, 0, false));
  EXPECT_EQ(flow.pixels.size(), (SSize{60, 50}));
  // Beyond the smaller layer nothing of the one loaded before remains.
  EXPECT_EQ(flow.pixels.getPixel(10, 40), 0x00FFFFFFu);
  EXPECT_EQ(flow.pixels.getPixel(59, 0), f.layer(0)->image->getPixel(59, 0));
}

TEST(FlowImage, APlaneThatCannotGrowLeavesEverythingAsItWas) {
  DocFixture f;
  f.addLayer(0, 1, 20, 20);
  f.addLayer(1, 2, 64, 64);
  TFlowImage& flow = *f.flow;
  ASSERT_TRUE(f.doc->loadFlowImage(flow, 0, false));
  *flow.coverage.pixelAt(3, 3) = 9;
  AllocFailHook old = setAllocFailHook([](size_t) { return true; });
  const bool loaded = f.doc->loadFlowImage(flow, 1, false);
  setAllocFailHook(old);
  EXPECT_FALSE(loaded);
  EXPECT_EQ(flow.layerIndex, 0);
  EXPECT_EQ(flow.pixels.size(), (SSize{20, 20}));
  EXPECT_EQ(flow.coverage.getPixel(3, 3), 9);
}

TEST(FlowImage, FitDocumentSizesToTheLargestLayerInWhite) {
  DocFixture f;
  TFlowImage& flow = *f.flow;
  EXPECT_FALSE(flow.fitDocument(false));  // no layer
  f.addLayer(0, 1, 50, 20);
  f.addLayer(1, 2, 30, 40);
  ASSERT_TRUE(f.doc->loadFlowImage(flow, 0, false));
  flow.layerOffset = {7, 7};
  ASSERT_TRUE(flow.fitDocument(false));
  EXPECT_FALSE(flow.valid);
  EXPECT_EQ(flow.pixels.size(), (SSize{50, 40}));
  EXPECT_EQ(flow.pixels.getPixel(0, 0), 0x00FFFFFFu);
  EXPECT_EQ(flow.pixels.getPixel(49, 39), 0x00FFFFFFu);
  EXPECT_EQ(flow.coverage.getPixel(10, 10), 0);
  EXPECT_EQ(flow.layerOffset, (TPoint{0, 0}));
  EXPECT_FALSE(flow.fitDocument(false));  // already exact
  // Without keepSize a larger plane stays; with it the plane shrinks.
  ASSERT_TRUE(f.doc->deleteLayerRaw(0));
  EXPECT_FALSE(flow.fitDocument(false));
  ASSERT_TRUE(flow.fitDocument(true));
  EXPECT_EQ(flow.pixels.size(), (SSize{30, 40}));
}

TEST(FlowImage, AQuarterTurnOfAWideImageDoesNotSquareThePlane) {
  DocFixture f;
  ASSERT_TRUE(f.doc->newDocument("wide", f.flow.get(), false, false, 72, 16, 2000));
  ASSERT_EQ(f.flow->pixels.size(), (SSize{2000, 16}));
  ASSERT_TRUE(f.doc->rotateImage90(*f.flow, true, false));
  EXPECT_EQ(f.flow->pixels.size(), (SSize{16, 2000}));
  ASSERT_TRUE(f.doc->rotateImage90(*f.flow, false, false));
  EXPECT_EQ(f.flow->pixels.size(), (SSize{2000, 16}));
}

}  // namespace
}  // namespace pg::test
