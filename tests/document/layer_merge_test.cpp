#include <gtest/gtest.h>

#include <memory>

#include "core/blend_arith.h"
#include "core/blend_modes.h"
#include "core/block_image.h"
#include "core/block_pool.h"
#include "core/composite_core.h"
#include "document/layer_blend.h"
#include "document/layer_mngr.h"
#include "platform/message_service.h"

namespace pg {
namespace {

constexpr uint32_t kMultiply = 0, kAdd = 1, kSubtract = 2, kNormal = 3, kOverlay = 5;

TEST(LinkPairs, RowsSearchedByLinkKind) {
  struct Case {
    uint32_t lower, upper, kind;
    PixelOp32 op;
  } cases[] = {
      {kMultiply, kMultiply, 0, blendPixelMultiplyUnion}, {kSubtract, kSubtract, 1, blendPixelAddUnion},
      {kNormal, kMultiply, 1, nullptr},                   {kNormal, kMultiply, 2, blendPixelMultiplyUnion},
      {kMultiply, kNormal, 2, layerOverOp(kNormal)},      {kNormal, kNormal, 2, nullptr},
      {kNormal, kNormal, 3, layerOverOp(kNormal)},        {kAdd, kAdd, 2, nullptr},
      {kAdd, kAdd, 3, blendPixelAddUnion},                {kAdd + 128, kAdd, 3, blendPixelAddUnion},
      {kOverlay, kOverlay, 3, nullptr},                   {kMultiply, kMultiply, 4, nullptr},
  };
  for (const Case& c : cases)
    EXPECT_EQ(findLinkPair(c.lower, c.upper, c.kind), c.op) << c.lower << "/" << c.upper << " kind " << c.kind;
}

// Document 40 x 30. The lower layer covers the document; the upper layer's
// 20 x 20 image lies at document (30, 20), partly outside, so the merged
// image covers (0, 0)-(50, 40).
struct MergeFixture : ::testing::Test {
  RecordingMessageService messages;
  ScopedMessageService scope{messages};
  CLayerMngr list{8};
  CLayerData* lower = nullptr;
  CLayerData* upper = nullptr;

  static constexpr uint32_t kLowerPixel = 0xC0204080u;  // at document (32, 22)
  static constexpr uint32_t kUpperPixel = 0x90A0B0C0u;  // at document (32, 22) and (45, 35)

  void make(uint32_t lowerMode, uint32_t upperMode) {
    list.setDocumentSize(40, 30);
    ASSERT_EQ(list.addLayer(40, 30, lowerMode, false, 255, true), 0);
    ASSERT_EQ(list.addLayer(40, 30, upperMode, false, 255, true), 1);
    lower = list.getLayer(0);
    upper = list.getLayer(1);
    lower->name = "lower";
    ASSERT_TRUE(lower->image->setPixel(32, 22, kLowerPixel));
    std::unique_ptr<CBlockVMTC> img = std::make_unique<CBlockVMTC>(20, 20);
    img->fill(layerBlendNeutral(upperMode));
    upper->image = std::move(img);
    upper->offsetX = -30;
    upper->offsetY = -20;
    ASSERT_TRUE(upper->image->setPixel(2, 2, kUpperPixel));
    ASSERT_TRUE(upper->image->setPixel(15, 15, kUpperPixel));
  }
  uint32_t mergedAt(int docX, int docY) const {
    const CLayerData& m = *list.getLayer(0);
    return m.image->getPixel(docX + m.offsetX, docY + m.offsetY);
  }
};

TEST_F(MergeFixture, KindZeroBlendsWithTheAlphaCompositingOperator) {
  make(kNormal, kOverlay);
  lower->opacity = 128;
  upper->opacity = 200;
  const uint32_t lowerId = lower->id;
  CLayerData* const lowerObject = lower;
  std::unique_ptr<CLayerData> old;
  ASSERT_TRUE(list.mergeLayers(0, 1, true, 0, &old));
  ASSERT_EQ(old.get(), lowerObject);
  const CLayerData& m = *list.getLayer(0);
  EXPECT_EQ(m.id, lowerId);
  EXPECT_EQ(m.name, "lower");
  EXPECT_EQ(m.opacity, 255);
  EXPECT_EQ(m.index, 0);
  EXPECT_EQ(m.imageRect(), (TRect{0, 0, 50, 40}));
  EXPECT_EQ(list.count(), 2) << "the document removes the upper layer itself";
  EXPECT_EQ(list.getLayer(1)->opacity, 200);

  // Reference: the lower pixel with its alpha scaled by the lower opacity,
  // then the upper mode's alpha-compositing operator at the upper opacity.
  auto expect = [](uint32_t d, uint32_t s) {
    d = (d & 0x00FFFFFFu) | (productAt(d >> 24, 128) << 24);
    layerOverOp(kOverlay)(&d, s, 200);
    return d;
  };
  EXPECT_EQ(mergedAt(32, 22), expect(kLowerPixel, kUpperPixel));
  EXPECT_EQ(mergedAt(45, 35), expect(0x00FFFFFFu, kUpperPixel));  // outside the lower image
  EXPECT_EQ(mergedAt(5, 5), expect(0x00FFFFFFu, layerBlendNeutral(kOverlay)));
  EXPECT_TRUE(messages.shown().empty());
}

TEST_F(MergeFixture, LinkedUpperLayerIsSeenThroughItsBaseOpacity) {
  make(kNormal, kNormal);
  lower->opacity = 128;
  upper->opacity = 200;
  upper->linkLevel = 1;
  lower->linkLevel = 0;
  lower->dissolve = true;
  // With all attributes copied the merged layer keeps the lower level (0 < 1).
  ASSERT_TRUE(list.mergeLayers(0, 1, false, 0x20000));
  const CLayerData& m = *list.getLayer(0);
  EXPECT_TRUE(m.dissolve);
  uint32_t d = (kLowerPixel & 0x00FFFFFFu) | (productAt(kLowerPixel >> 24, 128) << 24);
  layerOverOp(kNormal)(&d, kUpperPixel, mulDiv255(200, 128));
  EXPECT_EQ(mergedAt(32, 22), d);
  EXPECT_EQ(list.getLayer(1)->opacity, 200) << "the upper opacity is never changed";
}

TEST_F(MergeFixture, LinkKindsUseTheLinkPairOrTheDescriptor) {
  struct Case {
    uint32_t lowerMode, upperMode, kind;
    bool pair;  // a link-pair row applies
  } cases[] = {
      {kMultiply, kMultiply, 1, true}, {kNormal, kMultiply, 1, false}, {kNormal, kMultiply, 2, true},
      {kNormal, kNormal, 3, true},     {kOverlay, kNormal, 2, false},  {kAdd, kAdd, 3, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::to_string(c.lowerMode) + "/" + std::to_string(c.upperMode) + " kind " +
                 std::to_string(c.kind));
    list.clear();
    make(c.lowerMode, c.upperMode);
    upper->opacity = 180;
    ASSERT_TRUE(list.mergeLayers(0, 1, false, c.kind));
    uint32_t d = kLowerPixel;
    if (c.pair) {
      findLinkPair(c.lowerMode, c.upperMode, c.kind)(&d, kUpperPixel, 180);
    } else {
      const SLayerBlendMode* lo = layerBlendInfo(c.lowerMode);
      const SLayerBlendMode* up = layerBlendInfo(c.upperMode);
      const SPixelBlendOps ops{std::max(lo->SecondColour, up->SecondColour), up->Flags, lo->ExplicitOp,
                               up->ExplicitOp};
      compositePixelOps(&d, kUpperPixel, 180, ops);
    }
    EXPECT_EQ(mergedAt(32, 22), d);
    EXPECT_EQ(list.getLayer(0)->opacity, 255);
  }
}

TEST_F(MergeFixture, SubtractBaseInvertsTheResult) {
  make(kSubtract, kOverlay);
  ASSERT_TRUE(list.mergeLayers(0, 1, false, 1));
  // Outside both images the merged pixel is subtract's neutral, inverted.
  EXPECT_EQ(mergedAt(45, 5), 0x00FFFFFFu);
  const SLayerBlendMode* lo = layerBlendInfo(kSubtract);
  const SLayerBlendMode* up = layerBlendInfo(kOverlay);
  uint32_t d = kLowerPixel;
  compositePixelOps(&d, kUpperPixel, 255,
                    SPixelBlendOps{std::max(lo->SecondColour, up->SecondColour), up->Flags, lo->ExplicitOp,
                                   up->ExplicitOp});
  EXPECT_EQ(mergedAt(32, 22), d ^ 0x00FFFFFFu);
}

TEST_F(MergeFixture, RefusedMergesChangeNothing) {
  make(kNormal, kNormal);
  CLayerData* const before = lower;
  EXPECT_FALSE(list.mergeLayers(0, 1, false, 4));  // no such link kind
  EXPECT_FALSE(list.mergeLayers(0, 0, false, 0));
  EXPECT_FALSE(list.mergeLayers(0, 5, false, 0));
  EXPECT_EQ(list.getLayer(0), before);
  EXPECT_TRUE(messages.shown().empty());
}

TEST_F(MergeFixture, FailedMergeLeavesTheListWhole) {
  make(kNormal, kOverlay);
  lower->opacity = 100;
  upper->opacity = 150;
  upper->linkLevel = 2;
  CLayerData* const before = lower;
  const uint32_t ids[2] = {lower->id, upper->id};
  {
    // Tile memory runs out while the merged image is built.
    CTilePoolFailScope fail(1);
    std::unique_ptr<CLayerData> old;
    EXPECT_FALSE(list.mergeLayers(0, 1, true, 0, &old));
    EXPECT_FALSE(old);
  }
  ASSERT_EQ(list.count(), 2);
  EXPECT_EQ(list.getLayer(0), before);
  EXPECT_EQ(list.getLayer(0)->id, ids[0]);
  EXPECT_EQ(list.getLayer(1)->id, ids[1]);
  EXPECT_EQ(list.getLayer(0)->opacity, 100);
  EXPECT_EQ(list.getLayer(1)->opacity, 150);
  EXPECT_EQ(list.getLayer(0)->image->getPixel(32, 22), kLowerPixel);
  ASSERT_EQ(messages.shown().size(), 1u);
  EXPECT_EQ(messages.shown()[0].text, "レイヤのサイズ変更失敗により、レイヤ結合ができませんでした！");
}

}  // namespace
}  // namespace pg
