// Layer list operations and layer attributes through the edit protocol.
#include <gtest/gtest.h>

#include <functional>

#include "core/blend_modes.h"
#include "core/block_pool.h"
#include "core/plane_ops.h"
#include "doc_ops_fixture.h"

namespace pg::test {
namespace layer_ops_test {

constexpr int kDoc = 2 << 8;
constexpr int kLayer = 4 << 8;

// Three layers; the top one is larger than the canvas and offset into it.
struct LayerFixture : OpsFixture {
  LayerFixture() {
    addLayer(0, 1);
    addLayer(1, 2);
    addLayer(2, 3, 80, 60);
    layer(2)->offsetX = 8;
    layer(2)->offsetY = 6;
    layer(1)->name = "middle";
  }
};

TEST(LayerOps, EachRecordsUndoesAndRedoes) {
  struct Case {
    const char* what;
    int header;
    std::function<bool(LayerFixture&, bool)> op;
  };
  const Case cases[] = {
      {"opacity", kLayer | 17, [](LayerFixture& f, bool r) { return f.doc->setLayerOpacity(1, 100, r); }},
      {"blend mode", kLayer | 16, [](LayerFixture& f, bool r) { return f.doc->setLayerBlendMode(1, 0, r); }},
      {"visible", kLayer | 18, [](LayerFixture& f, bool r) { return f.doc->setLayerVisible(1, false, r); }},
      {"protect alpha", kLayer | 20, [](LayerFixture& f, bool r) { return f.doc->setProtectAlpha(1, -1, r); }},
      {"dissolve", kLayer | 21, [](LayerFixture& f, bool r) { return f.doc->setLayerEffect(1, true, 90, r); }},
      {"rename", kLayer | 19, [](LayerFixture& f, bool r) { return f.doc->setLayerName(1, "sky", r); }},
      {"new", kLayer | 0, [](LayerFixture& f, bool r) { return f.doc->newLayerEx(f.flow.get(), 1, true, 200, 5, 30, 40, r); }},
      {"new named", kLayer | 11,
       [](LayerFixture& f, bool r) { return f.doc->newLayer(f.flow.get(), 1, true, "paper", 0x80FF0000, 255, 3, 48, 64, r); }},
      {"new above current", kLayer | 0, [](LayerFixture& f, bool r) { return f.doc->newLayerCmd(f.flow.get(), 3, r); }},
      {"delete", kLayer | 1, [](LayerFixture& f, bool r) { return f.doc->deleteLayer(f.flow.get(), 1, r); }},
      {"duplicate", kLayer | 3, [](LayerFixture& f, bool r) { return f.doc->duplicateLayer(f.flow.get(), 1, r); }},
      {"move up", kLayer | 4, [](LayerFixture& f, bool r) { return f.doc->moveLayer(f.flow.get(), 0, 2, r); }},
      {"move down", kLayer | 4, [](LayerFixture& f, bool r) { return f.doc->moveLayer(f.flow.get(), 2, 0, r); }},
      {"merge down", kLayer | 5, [](LayerFixture& f, bool r) { return f.doc->mergeDown(f.flow.get(), 2, r); }},
      {"crop", kLayer | 8, [](LayerFixture& f, bool r) { return f.doc->cropLayer(f.flow.get(), 2, r); }},
      {"offset within", kLayer | 6, [](LayerFixture& f, bool r) { return f.doc->offsetLayer(f.flow.get(), 2, {3, 2}, r); }},
      {"offset rebuilt", kLayer | 7, [](LayerFixture& f, bool r) { return f.doc->offsetLayer(f.flow.get(), 1, {5, -4}, r); }},
      {"paste as layer", (12 << 8) | 1,
       [](LayerFixture& f, bool r) {
         TMTC img(20, 10);
         fill(img, 0xFF112233);
         return f.doc->pasteLayerImage(f.flow.get(), img, "", nullptr, r);
       }},
      {"paste into layer", (12 << 8) | 0,
       [](LayerFixture& f, bool r) {
         TMTC img(20, 10);
         fill(img, 0xFF112233);
         return f.doc->pasteIntoLayer(f.flow.get(), 1, "", nullptr, img, r);
       }},
      {"link", (5 << 8) | 0, [](LayerFixture& f, bool r) { return f.doc->linkLayer(f.flow.get(), 1, true, r); }},
      {"group visibility", (5 << 8) | 16,
       [](LayerFixture& f, bool r) { return f.doc->setLayerGroupVisible(1, 2, false, r); }},
      {"merge visible", kDoc | 10, [](LayerFixture& f, bool r) { return f.doc->mergeVisible(f.flow.get(), false, false, r); }},
      {"show only", kDoc | 25, [](LayerFixture& f, bool r) { return f.doc->showOnlyLayer(1, r); }},
      {"hide all", kDoc | 24, [](LayerFixture& f, bool r) { return f.doc->showAllLayers(1, false, r); }},
      {"flip visibility", kDoc | 26, [](LayerFixture& f, bool r) { return f.doc->flipLayerVisibility(1, r); }},
  };
  for (const Case& c : cases) {
    LayerFixture f;
    f.roundTrip([&] { return c.op(f, true); }, c.header, c.what);
    LayerFixture g;
    const uint32_t from = g.position();
    EXPECT_TRUE(c.op(g, false)) << c.what;
    EXPECT_TRUE(g.packetsSince(from).empty()) << c.what;
    EXPECT_EQ(g.doc->undoMngr()->undoCount(), 0) << c.what;
  }
}

TEST(LayerOps, Refusals) {
  LayerFixture f;
  const std::string before = snapshot(*f.doc);
  const uint32_t from = f.position();
  EXPECT_FALSE(f.doc->setLayerBlendMode(1, 22, true));
  EXPECT_FALSE(f.doc->setLayerOpacity(1, 256, true));
  EXPECT_FALSE(f.doc->setLayerOpacity(7, 10, true));
  EXPECT_FALSE(f.doc->newLayerEx(f.flow.get(), 1, true, 255, 22, 10, 10, true));
  EXPECT_FALSE(f.doc->newLayer(f.flow.get(), 1, true, "x", 0, 255, 22, 10, 10, true));
  EXPECT_FALSE(f.doc->newLayerEx(f.flow.get(), 9, true, 255, 3, 10, 10, true));
  EXPECT_FALSE(f.doc->moveLayer(f.flow.get(), 1, 1, true));
  EXPECT_FALSE(f.doc->mergeDown(f.flow.get(), 0, true));
  EXPECT_FALSE(f.doc->setLayerVisible(1, true, true));  // already visible
  EXPECT_EQ(snapshot(*f.doc), before);
  EXPECT_TRUE(f.packetsSince(from).empty());
  // The last layer cannot be deleted.
  ASSERT_TRUE(f.doc->deleteLayer(f.flow.get(), 0, false));
  ASSERT_TRUE(f.doc->deleteLayer(f.flow.get(), 0, false));
  EXPECT_FALSE(f.doc->deleteLayer(f.flow.get(), 0, true));
  // Sizes from a recording are clamped, never allocated as given.
  ASSERT_TRUE(f.doc->newLayerEx(f.flow.get(), 1, true, 255, 3, -5, 1 << 30, false));
  EXPECT_EQ(f.layer(1)->imageWidth(), 10000);
  EXPECT_EQ(f.layer(1)->imageHeight(), 1);
}

TEST(LayerOps, OffsetAndCropKeepThePictureInPlace) {
  LayerFixture f;
  const uint32_t p = f.layer(2)->image->getPixel(20, 16);  // document (12, 10)
  // A move that keeps the canvas covered changes only the offset.
  ASSERT_TRUE(f.doc->offsetLayer(f.flow.get(), 2, {3, 2}, true));
  EXPECT_EQ(f.layer(2)->imageWidth(), 80);
  EXPECT_EQ(f.layer(2)->offsetX, 5);
  EXPECT_EQ(f.layer(2)->image->getPixel(15 + f.layer(2)->offsetX, 12 + f.layer(2)->offsetY), p);
  // One that uncovers it grows the layer.
  ASSERT_TRUE(f.doc->offsetLayer(f.flow.get(), 1, {5, -4}, true));
  EXPECT_EQ(f.layer(1)->imageWidth(), 69);
  EXPECT_EQ(f.layer(1)->imageHeight(), 52);
  // Crop: the part over the document, the rest gone.
  ASSERT_TRUE(f.doc->cropLayer(f.flow.get(), 2, true));
  EXPECT_EQ(f.layer(2)->imageWidth(), 64);
  EXPECT_EQ(f.layer(2)->offsetX, 0);
  EXPECT_EQ(f.layer(2)->image->getPixel(15, 12), p);
  EXPECT_FALSE(f.doc->cropLayer(f.flow.get(), 2, true));  // nothing exceeds now
  EXPECT_FALSE(f.doc->offsetLayer(f.flow.get(), 2, {0, 0}, true));
  EXPECT_FALSE(f.doc->offsetLayer(f.flow.get(), 2, {1 << 30, 0}, true));
}

TEST(LayerOps, DeletingALinkBaseTakesItsGroupInOneStep) {
  LayerFixture f;
  f.layer(2)->setLinkLevel(1);  // layer 2 is linked to base layer 1
  f.roundTrip([&] { return f.doc->deleteLayerCmd(f.flow.get(), 1, true); }, (5 << 8) | 8, "delete group");
  EXPECT_EQ(f.doc->layerCount(), 1);
  // A layer without linked layers above is deleted alone.
  LayerFixture g;
  ASSERT_TRUE(g.doc->deleteLayerCmd(g.flow.get(), 1, true));
  EXPECT_EQ(g.doc->layerCount(), 2);
}

TEST(LayerOps, LinkedMergeAndGroupMove) {
  LayerFixture f;
  f.layer(2)->setLinkLevel(1);
  f.roundTrip([&] { return f.doc->mergeLinked(f.flow.get(), 2, 0, true); }, kLayer | 10, "merge linked");
  LayerFixture g;
  g.layer(2)->setLinkLevel(1);
  g.roundTrip([&] { return g.doc->moveLayerGroup(g.flow.get(), 1, 0, 2, true); }, (5 << 8) | 11, "group move");
  EXPECT_EQ(g.layer(0)->name, "middle");
  EXPECT_FALSE(g.doc->moveLayerGroup(g.flow.get(), 0, 1, 2, true));  // into itself
  EXPECT_FALSE(g.doc->mergeLinked(g.flow.get(), 1, 7, true));
}

// Layer 1 heads a link group with layer 2 above it.
struct GroupFixture : LayerFixture {
  GroupFixture() { layer(2)->setLinkLevel(1); }
};

TEST(LayerOps, LinkGroupsMergeRemoveAndMoveAsOneStep) {
  struct Case {
    const char* what;
    int header;
    std::function<bool(GroupFixture&)> op;
    bool withSelection = false;
  };
  const Case cases[] = {
      {"merge", (5 << 8) | 12, [](GroupFixture& f) { return f.doc->mergeLinkGroup(f.flow.get(), 1, 2, true); }},
      {"remove", (5 << 8) | 13, [](GroupFixture& f) { return f.doc->removeLinkGroup(f.flow.get(), 1, 2, true); }},
      // Layer 1 must be rebuilt to keep the canvas covered; layer 2 only moves.
      {"offset", (5 << 8) | 9, [](GroupFixture& f) { return f.doc->offsetLinkGroup(f.flow.get(), 1, {3, 2}, 2, true); }},
      {"offset of the base", (5 << 8) | 9, [](GroupFixture& f) { return f.doc->offsetLayer(f.flow.get(), 1, {-4, 1}, true); }},
      {"offset with the selection", (5 << 8) | 10,
       [](GroupFixture& f) { return f.doc->offsetLayerGroup(f.flow.get(), 1, {2, -3}, -1, true); }, true},
  };
  for (const Case& c : cases) {
    GroupFixture f;
    if (c.withSelection) {
      ASSERT_TRUE(f.doc->maskFigureRect(*f.flow, 0, {10, 10}, {20, 20}, 0, f.stroke, false));
      f.doc->undoSetSelectionFlags(true, true);
    }
    f.roundTrip([&] { return c.op(f); }, c.header, c.what);
  }
}

TEST(LayerOps, LinkGroupOperationsRefuse) {
  GroupFixture f;
  EXPECT_FALSE(f.doc->mergeLinkGroup(f.flow.get(), 1, 1, true));   // one layer is no group
  EXPECT_FALSE(f.doc->mergeLinkGroup(f.flow.get(), 2, 2, true));   // past the top
  EXPECT_FALSE(f.doc->removeLinkGroup(f.flow.get(), 0, 3, true));  // every layer
  EXPECT_FALSE(f.doc->offsetLinkGroup(f.flow.get(), 1, {0, 0}, 2, true));
  EXPECT_EQ(f.doc->undoMngr()->undoCount(), 0);
}

TEST(LayerOps, LinkGroupOperationsShortOfTileMemoryChangeNothing) {
  GroupFixture f;
  const std::string before = snapshot(*f.doc);
  const uint32_t from = f.position();
  {
    CTilePoolFailScope failing(0);
    EXPECT_FALSE(f.doc->mergeLinkGroup(f.flow.get(), 1, 2, true));
    // Layer 1 has to be rebuilt to keep the canvas covered.
    EXPECT_FALSE(f.doc->offsetLinkGroup(f.flow.get(), 1, {3, 2}, 2, true));
  }
  EXPECT_EQ(snapshot(*f.doc), before);
  EXPECT_TRUE(f.packetsSince(from).empty());
  EXPECT_EQ(f.messages.warnings().size(), 2u);
}

TEST(LayerOps, AMovedGroupAndItsSelectionKeepTheirPlaces) {
  GroupFixture f;
  ASSERT_TRUE(f.doc->maskFigureRect(*f.flow, 0, {10, 10}, {20, 20}, 0, f.stroke, false));
  f.doc->undoSetSelectionFlags(true, true);
  const uint32_t lower = f.layer(1)->image->getPixel(10, 10), upper = f.layer(2)->image->getPixel(18, 16);
  ASSERT_TRUE(f.doc->offsetLayerGroup(f.flow.get(), 1, {5, 3}, -1, true));
  TPoint o1, o2;
  ASSERT_TRUE(f.doc->layerOffset(1, o1) && f.doc->layerOffset(2, o2));
  // The pixel once at document point (10, 10) of each layer now lies at (15, 13).
  EXPECT_EQ(f.layer(1)->image->getPixel(15 + o1.X, 13 + o1.Y), lower);
  EXPECT_EQ(f.layer(2)->image->getPixel(15 + o2.X, 13 + o2.Y), upper);
  EXPECT_EQ(f.doc->masks()->currentMask()->valueAtPaper(15, 13), 255);
  EXPECT_EQ(f.doc->masks()->currentMask()->valueAtPaper(14, 13), 0);
}

TEST(LayerOps, ALayerMovesWithTheSelection) {
  for (const TPoint delta : {TPoint{3, 2}, TPoint{-9, 4}}) {
    LayerFixture f;
    ASSERT_TRUE(f.doc->maskFigureRect(*f.flow, 0, {10, 10}, {20, 20}, 0, f.stroke, false));
    f.doc->undoSetSelectionFlags(true, true);
    f.roundTrip([&] { return f.doc->offsetLayerGroup(f.flow.get(), 2, delta, -1, true); },
                (4 << 8) | (delta.X > 0 ? 12 : 13), "layer and mask");
    EXPECT_EQ(f.doc->masks()->currentMask()->valueAtPaper(10 + delta.X, 10 + delta.Y), 255);
    EXPECT_EQ(f.doc->masks()->currentMask()->valueAtPaper(9 + delta.X, 10 + delta.Y), 0);
  }
}

TEST(LayerOps, ANamedNewLayerHoldsItsColour) {
  LayerFixture f;
  ASSERT_TRUE(f.doc->newLayer(f.flow.get(), 3, true, "paper", 0x80FF0000, 200, 3, 48, 64, true));
  EXPECT_EQ(f.layer(3)->name, "paper");
  EXPECT_EQ(f.layer(3)->opacity, 200);
  EXPECT_EQ(f.layer(3)->image->getPixel(10, 10), 0x80FF0000u);
}

TEST(LayerOps, ANewLayerInsideALinkGroupJoinsIt) {
  LayerFixture f;
  f.layer(2)->setLinkLevel(1);  // layer 2 is linked to base layer 1
  ASSERT_TRUE(f.doc->newLayerEx(f.flow.get(), 2, true, 255, 3, 48, 64, true));
  EXPECT_EQ(f.layer(2)->linkLevel, 1);
  EXPECT_EQ(f.layer(2)->image->getPixel(3, 3) >> 24, 0u);  // cleared, transparent
}

// A normal, opaque bottom layer and above it a layer of the given mode with
// translucent and transparent columns; a third, hidden layer on top.
struct MergeModeFixture : OpsFixture {
  explicit MergeModeFixture(uint32_t mode) {
    addLayer(0, 11);
    layer(0)->blendMode = lbmNormal;
    addLayer(1, 12);
    addLayer(2, 13);
    layer(2)->visible = false;  // a hidden layer stays as it is
    CLayerData* up = layer(1);
    up->blendMode = static_cast<uint8_t>(mode);
    up->opacity = 200;
    for (int32_t y = 0; y < 48; ++y)
      for (int32_t x = 0; x < 64; x += 3)
        EXPECT_TRUE(up->image->setPixel(x, y, (up->image->getPixel(x, y) & 0xFFFFFF) | (x % 2 ? 0x80000000u : 0u)));
    EXPECT_TRUE(doc->composite().Resize(64, 48));
  }
  void composed(TMTC& out) {
    doc->composeRect(SRectXYWH{0, 0, 64, 48}, false);
    copyPlane32(out, doc->composite(), 0, 0);
  }
  // The merge leaves the composed picture as it was, and undo the document.
  void expectSamePicture(const std::function<bool()>& merge, int32_t layersAfter) {
    TMTC before(64, 48), after(64, 48);
    composed(before);
    const std::string state = snapshot(*doc);
    ASSERT_TRUE(merge());
    ASSERT_EQ(doc->layerCount(), layersAfter);
    composed(after);
    int32_t diffs = 0;
    for (int32_t y = 0; y < 48; ++y)
      for (int32_t x = 0; x < 64; ++x)
        if (*before.pixelAt(x, y) != *after.pixelAt(x, y)) ++diffs;
    EXPECT_EQ(diffs, 0);
    ASSERT_TRUE(undo());
    EXPECT_EQ(snapshot(*doc), state);
  }
};

TEST(LayerOps, MergingTheVisibleLayersInEveryBlendModeKeepsTheComposedPicture) {
  for (uint32_t mode = 0; mode < 22; ++mode) {
    SCOPED_TRACE("mode " + std::to_string(mode));
    MergeModeFixture f(mode);
    f.expectSamePicture([&] { return f.doc->mergeVisible(f.flow.get(), false, false, true); }, 2);
  }
}

TEST(LayerOps, MergingDownInEveryBlendModeKeepsTheComposedPicture) {
  // Multiply over opaque pixels must round as the composition does, and a
  // subtract layer must darken what it is merged into.
  for (uint32_t mode = 0; mode < 22; ++mode) {
    SCOPED_TRACE("mode " + std::to_string(mode));
    MergeModeFixture f(mode);
    f.expectSamePicture([&] { return f.doc->mergeDown(f.flow.get(), 1, true); }, 2);
    MergeModeFixture g(mode);
    g.layer(1)->setLinkLevel(1);
    g.expectSamePicture([&] { return g.doc->mergeLinked(g.flow.get(), 1, 2, true); }, 2);
  }
}

TEST(LayerOps, ASubtractLayerMergedDownDarkens) {
  OpsFixture f;
  f.addLayer(0, 1);
  f.layer(0)->image->fill(0xFFC8C8C8u);
  f.addLayer(1, 2);
  f.layer(1)->blendMode = lbmSubtract;
  f.layer(1)->image->fill(0xFF323232u);
  ASSERT_TRUE(f.doc->mergeDown(f.flow.get(), 1, true));
  EXPECT_EQ(f.layer(0)->image->getPixel(5, 5), 0xFF969696u);
}

TEST(LayerOps, MergeVisibleNeedsTheBottomLayerShown) {
  LayerFixture f;
  f.layer(0)->visible = false;
  EXPECT_FALSE(f.doc->mergeVisible(f.flow.get(), false, false, true));
  f.layer(0)->visible = true;
  f.layer(0)->blendMode = lbmAdd;
  EXPECT_FALSE(f.doc->mergeVisible(f.flow.get(), false, false, true));
  EXPECT_TRUE(f.doc->mergeVisible(f.flow.get(), true, false, true));
}

TEST(LayerOps, MergingALinkGroupKeepsTheComposedPicture) {
  for (uint32_t mode = 0; mode < 22; ++mode) {
    SCOPED_TRACE("mode " + std::to_string(mode));
    MergeModeFixture f(mode);
    f.layer(2)->visible = true;
    f.layer(2)->opacity = 0;  // in the group, contributing nothing
    f.layer(1)->setLinkLevel(1);
    f.layer(2)->setLinkLevel(1);
    f.expectSamePicture([&] { return f.doc->mergeLinkGroup(f.flow.get(), 0, 3, true); }, 1);
    EXPECT_EQ(f.layer(0)->linkLevel, 0);
  }
}

}  // namespace layer_ops_test
}  // namespace pg::test
