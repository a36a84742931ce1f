// The magic wand, the bucket fill and the lasso: regions into the mask or
// painted on a layer, each recorded and undoable.
#include <gtest/gtest.h>

#include <climits>

#include "brush/tone_list.h"
#include "core/plane_ops.h"
#include "doc_ops_fixture.h"
#include "document/doc_recorder.h"
#include "document/paper_ops.h"
#include "platform/string_table.h"

namespace pg::test {
namespace {

constexpr int kFillRegion = 13 << 8;

// Layer 0: white, with a dark 10 x 8 block at (20, 10) and a dark single
// pixel at (50, 40).
struct RegionFixture : OpsFixture {
  RegionFixture() {
    addLayer(0, 1);
    CLayerData* l = layer(0);
    l->image->fill(0xFFFFFFFF);
    for (int32_t y = 10; y < 18; ++y)
      for (int32_t x = 20; x < 30; ++x) EXPECT_TRUE(l->image->setPixel(x, y, 0xFF101010));
    EXPECT_TRUE(l->image->setPixel(50, 40, 0xFF101010));
    // The outline is on, as after any earlier selection: undo of a mask's
    // content keeps the flags.
    doc->undoSetSelectionFlags(true, true);
  }
  int32_t selected(int32_t x, int32_t y) const { return doc->masks()->currentMask()->valueAtPaper(x, y); }
};

TEST(SelectMode, KeysAndShortcutModes) {
  struct Case {
    bool sel, shift, ctrl, alt;
    int32_t mode, want;
  };
  const Case cases[] = {
      {false, true, false, false, 0, 0}, {true, false, false, false, 0, 0}, {true, true, false, false, 0, 1},
      {true, false, false, true, 0, 2},  {true, true, false, true, 0, 3},   {true, false, true, false, 1, 2},
      {true, true, true, false, 1, 3},   {true, false, false, true, 1, 0},  {true, true, false, false, 5, 1},
      {true, false, false, true, 5, 0},
  };
  for (const Case& c : cases)
    EXPECT_EQ(selectModeFromKeys(c.sel, SModifierKeys{c.shift, c.ctrl, c.alt}, c.mode), c.want)
        << c.sel << c.shift << c.ctrl << c.alt << " mode " << c.mode;
}

TEST(MagicWand, SelectsTheConnectedRegionAndUndoes) {
  RegionFixture f;
  SRegionFillSettings s;
  f.roundTrip([&] { return f.doc->magicWandSelect(*f.flow, 0, {22, 12}, 0, false, s, true); }, kFillRegion | 3,
              "wand on a block");
  EXPECT_EQ(f.selected(20, 10), 255);
  EXPECT_EQ(f.selected(29, 17), 255);
  EXPECT_EQ(f.selected(30, 17), 0);
  EXPECT_EQ(f.selected(50, 40), 0);
  EXPECT_TRUE(f.doc->selectionEnabled() && f.doc->antsShown());

  // Adding the single pixel (a region of one pixel), then the composite
  // target finds the same.
  f.roundTrip([&] { return f.doc->magicWandSelect(*f.flow, 0, {50, 40}, 1, false, s, true); }, kFillRegion | 3,
              "add one pixel");
  EXPECT_EQ(f.selected(50, 40), 255);
  EXPECT_EQ(f.selected(22, 12), 255);
  s.target = 1;
  f.roundTrip([&] { return f.doc->magicWandSelect(*f.flow, 0, {0, 0}, 2, false, s, true); }, kFillRegion | 3,
              "subtract the white around, on the composite");
  EXPECT_EQ(f.selected(22, 12), 255);
  EXPECT_EQ(f.selected(0, 0), 0);
}

TEST(MagicWand, WithoutTheRecordFlagNothingIsWrittenAndASeedOutsideFails) {
  RegionFixture f;
  SRegionFillSettings s;
  const uint32_t from = f.position();
  ASSERT_TRUE(f.doc->magicWandSelect(*f.flow, 0, {22, 12}, 0, false, s, false));
  EXPECT_TRUE(f.packetsSince(from).empty());
  EXPECT_EQ(f.doc->undoMngr()->undoCount(), 0);
  EXPECT_EQ(f.selected(25, 15), 255);
  EXPECT_FALSE(f.doc->magicWandSelect(*f.flow, 0, {-1, 5}, 0, false, s, true));
  EXPECT_FALSE(f.doc->magicWandSelect(*f.flow, 0, {64, 5}, 0, false, s, true));
  EXPECT_FALSE(f.doc->magicWandSelect(*f.flow, 7, {2, 5}, 0, false, s, true));
  EXPECT_TRUE(f.packetsSince(from).empty());
}

TEST(MagicWand, ATransparentSeedSelectsTheTransparentArea) {
  OpsFixture f;
  f.addLayer(0, 3);
  CLayerData* l = f.layer(0);
  l->image->fill(0x00FFFFFF);
  for (int32_t x = 0; x < 64; ++x) EXPECT_TRUE(l->image->setPixel(x, 20, 0xFF000000));  // an opaque line cuts the layer
  SRegionFillSettings s;
  ASSERT_TRUE(f.doc->magicWandSelect(*f.flow, 0, {5, 5}, 0, false, s, false));
  const CMaskData* m = f.doc->masks()->currentMask();
  EXPECT_EQ(m->valueAtPaper(63, 19), 255);
  EXPECT_EQ(m->valueAtPaper(5, 20), 0);
  EXPECT_EQ(m->valueAtPaper(5, 30), 0);
}

TEST(BucketFill, PaintsTheRegionAndUndoesExactly) {
  RegionFixture f;
  SRegionFillSettings s;
  f.stroke.color = 0x00FF0000;
  f.roundTrip([&] { return f.doc->bucketFillLayer(*f.flow, 0, {22, 12}, false, false, f.stroke, s, true); },
              kFillRegion | 0, "bucket");
  EXPECT_EQ(f.layer(0)->image->getPixel(25, 15), 0xFFFF0000u);
  EXPECT_EQ(f.layer(0)->image->getPixel(30, 15), 0xFFFFFFFFu);
  // Erasing the region makes it transparent.
  f.roundTrip([&] { return f.doc->bucketFillLayer(*f.flow, 0, {22, 12}, false, true, f.stroke, s, true); },
              kFillRegion | 4, "erase");
  EXPECT_EQ(f.layer(0)->image->getPixel(25, 15) >> 24, 0u);
}

TEST(BucketFill, WithTheToneSwitchOnThePaintFollowsTheScreenTone) {
  // Two tone sets of a 2 x 2 checker, one the other's negative: the tool
  // window's and the replay's.
  const auto checker = [](bool open00) {
    TChannel tile(2, 2);
    for (int32_t y = 0; y < 2; ++y)
      for (int32_t x = 0; x < 2; ++x) *tile.pixelAt(x, y) = ((x + y) % 2 == 0) == open00 ? 255 : 0;
    auto tones = std::make_unique<CToneMngr>();
    EXPECT_EQ(tones->addTone(tile, 100, false, 0, 0), 0);
    tones->setCurrentIndex(0);
    return tones;
  };
  const auto tools = checker(true), replay = checker(false);
  struct Case {
    const char* what;
    bool tone, replaying;
    uint32_t at2010, at2110;  // the pixels at (20, 10) and (21, 10) after the fill
  };
  const Case cases[] = {
      {"tone switch off", false, false, 0xFFFF0000u, 0xFFFF0000u},
      {"the tool window's tone", true, false, 0xFFFF0000u, 0xFF101010u},
      {"the replay's tone", true, true, 0xFF101010u, 0xFFFF0000u},
  };
  for (const Case& c : cases) {
    RegionFixture f;
    f.doc->setToolTools(tools.get(), nullptr);
    f.doc->setReplayTools(replay.get(), nullptr);
    f.window.replaying = c.replaying;
    f.stroke.color = 0x00FF0000;
    f.stroke.useTone = c.tone ? 1 : 0;
    ASSERT_TRUE(f.doc->bucketFillLayer(*f.flow, 0, {22, 12}, false, false, f.stroke, SRegionFillSettings{}, false));
    EXPECT_EQ(f.layer(0)->image->getPixel(20, 10), c.at2010) << c.what;
    EXPECT_EQ(f.layer(0)->image->getPixel(21, 10), c.at2110) << c.what;
  }
}

TEST(BucketFill, NeverEntersWhereTheSelectionIsZero) {
  RegionFixture f;
  SRegionFillSettings s;
  // Select the left half of the document, then fill the white around.
  fill(f.flow->coverage, 0);
  ASSERT_TRUE(f.flow->coverage.IsAllocated() || f.doc->loadFlowImage(*f.flow, 0, true));
  f.doc->loadFlowImage(*f.flow, 0, true);
  fillRectBytes(f.flow->coverage, SRectXYWH{0, 0, 32, 48}, 255);
  ASSERT_TRUE(f.doc->lassoSelect(*f.flow, 0, 0, true));
  f.stroke.color = 0x000000FF;
  ASSERT_TRUE(f.doc->bucketFillLayer(*f.flow, 0, {0, 0}, false, false, f.stroke, s, true));
  EXPECT_EQ(f.layer(0)->image->getPixel(5, 5), 0xFF0000FFu);
  EXPECT_EQ(f.layer(0)->image->getPixel(40, 5), 0xFFFFFFFFu);
}

TEST(BucketFill, OnTheCompositeItPaintsTheCurrentLayerOnly) {
  RegionFixture f;
  f.addLayer(1, 9);
  f.layer(1)->image->fill(0x00FFFFFF);  // transparent upper layer
  SRegionFillSettings s;
  s.target = 1;
  f.stroke.color = 0x0000FF00;
  ASSERT_TRUE(f.doc->bucketFillLayer(*f.flow, 1, {22, 12}, false, false, f.stroke, s, true));
  EXPECT_EQ(f.layer(1)->image->getPixel(22, 12), 0xFF00FF00u);
  EXPECT_EQ(f.layer(1)->image->getPixel(40, 12) >> 24, 0u);
  EXPECT_EQ(f.layer(0)->image->getPixel(22, 12), 0xFF101010u);
}

TEST(BucketFill, ARegionBeyondASmallLayerGrowsItInOneUndoStep) {
  OpsFixture f;
  f.addLayer(0, 5, 32, 32);  // smaller than the 64 x 48 canvas
  f.layer(0)->image->fill(0xFFFFFFFF);
  const uint32_t from = f.position();
  // The region: the whole canvas, in document coordinates (offset 0).
  f.doc->loadFlowImage(*f.flow, 0, true);
  TChannel& c = f.flow->coverage;
  ASSERT_TRUE(c.Resize(64, 48));
  fill(c, 255);
  f.stroke.color = 0x00112233;
  SRegionFillSettings s;
  const std::string before = snapshot(*f.doc);
  ASSERT_TRUE(f.doc->fillRegionOnLayerGrow(*f.flow, 0, {1, 1}, {0, 0}, {64, 48}, false, false, f.stroke, s, true));
  EXPECT_TRUE(f.wrote(from, kFillRegion | 2));
  EXPECT_EQ(f.layer(0)->imageWidth(), 64);
  EXPECT_EQ(f.layer(0)->imageHeight(), 48);
  EXPECT_EQ(f.layer(0)->image->getPixel(60, 40), 0xFF112233u);
  const std::string after = snapshot(*f.doc);
  ASSERT_TRUE(f.undo());
  EXPECT_EQ(snapshot(*f.doc), before);
  ASSERT_TRUE(f.redo());
  EXPECT_EQ(snapshot(*f.doc), after);
}

TEST(BucketFill, OutOfTileMemoryLeavesTheLayerAsItWas) {
  RegionFixture f;
  SRegionFillSettings s;
  const std::string before = snapshot(*f.doc);
  const uint32_t from = f.position();
  {
    // The layer's tiles are committed already; a fresh image is needed to
    // see a refusal: make the fill area's tiles uniform first.
    f.layer(0)->image->compact();
    CTilePoolFailScope failing(0);
    EXPECT_FALSE(f.doc->bucketFillLayer(*f.flow, 0, {0, 0}, false, false, f.stroke, s, true));
  }
  EXPECT_EQ(snapshot(*f.doc), before);
  EXPECT_FALSE(f.wrote(from, kFillRegion | 0));
  EXPECT_FALSE(f.messages.warnings().empty());
}

// A region the seed fill cannot finish (its queue fills up, or gets no
// memory) is never used: the layer and the selection stay as they were,
// nothing is recorded, and the message says why.
TEST(RegionFill, AnUnfinishedRegionChangesNothing) {
  struct Case {
    const char* what;
    int32_t capacity;
    bool wand;
    bool tooComplex;
  };
  const Case cases[] = {
      {"wand, queue full", 1, true, true},
      {"bucket, queue full", 1, false, true},
      {"wand, no queue", 0, true, false},
      {"bucket, no queue", 0, false, false},
  };
  for (const Case& c : cases) {
    RegionFixture f;
    SRegionFillSettings s;
    f.doc->setSeedFillCapacity(c.capacity);
    const std::string before = snapshot(*f.doc);
    const uint32_t from = f.position();
    const bool done = c.wand ? f.doc->magicWandSelect(*f.flow, 0, {0, 0}, 0, false, s, true)
                             : f.doc->bucketFillLayer(*f.flow, 0, {0, 0}, false, false, f.stroke, s, true);
    EXPECT_FALSE(done) << c.what;
    EXPECT_EQ(snapshot(*f.doc), before) << c.what;
    EXPECT_TRUE(f.packetsSince(from).empty()) << c.what;
    const auto shown = f.messages.warnings();
    ASSERT_EQ(shown.size(), 1u) << c.what;
    EXPECT_EQ(shown[0] == resString(kStrRegionTooComplex), c.tooComplex) << c.what;
  }
  // The default queue holds this region whole.
  RegionFixture f;
  SRegionFillSettings s;
  ASSERT_TRUE(f.doc->bucketFillLayer(*f.flow, 0, {0, 0}, false, false, f.stroke, s, true));
  EXPECT_TRUE(f.messages.warnings().empty());
}

TEST(RegionEndings, ShapesFromARecordingAreChecked) {
  RegionFixture f;
  SRegionFillSettings s;
  f.doc->loadFlowImage(*f.flow, 0, true);
  fill(f.flow->coverage, 255);
  const std::string before = snapshot(*f.doc);
  struct Case {
    TPoint offset;
    SSize size;
  };
  const Case bad[] = {{{0, 0}, {0, 10}}, {{0, 0}, {65, 48}}, {{INT32_MIN, 0}, {10, 10}}, {{0, 1 << 30}, {10, 10}}};
  for (const Case& c : bad) {
    EXPECT_FALSE(f.doc->wandRegionToMaskEx(*f.flow, 0, {1, 1}, c.offset, c.size, 0, false, s, false));
    fill(f.flow->coverage, 255);
    EXPECT_FALSE(f.doc->fillRegionOnLayerGrow(*f.flow, 0, {1, 1}, c.offset, c.size, false, false, f.stroke, s, false));
    fill(f.flow->coverage, 255);
  }
  EXPECT_EQ(snapshot(*f.doc), before);
}

TEST(Lasso, CombinesTheDrawnRegionAndClearsIt) {
  RegionFixture f;
  f.doc->loadFlowImage(*f.flow, 0, true);
  fillRectBytes(f.flow->coverage, SRectXYWH{2, 3, 4, 5}, 255);
  const std::string before = snapshot(*f.doc);
  // The window records the lasso's shape before it hands the region over.
  const TPointF shape[3] = {{2, 3}, {6, 3}, {6, 8}};
  ASSERT_TRUE(eventRecorderOf(f.doc->events())->recordMaskPolygon(0, 0, 0, shape, 3));
  ASSERT_TRUE(f.doc->lassoSelect(*f.flow, 0, 0, true));
  EXPECT_EQ(f.selected(2, 3), 255);
  EXPECT_EQ(f.selected(6, 3), 0);
  TRect r{};
  EXPECT_FALSE(boundsOfNonZero(f.flow->coverage, r));
  const std::string after = snapshot(*f.doc);
  ASSERT_TRUE(f.undo());
  EXPECT_EQ(snapshot(*f.doc), before);
  ASSERT_TRUE(f.redo());
  EXPECT_EQ(snapshot(*f.doc), after);
}

}  // namespace
}  // namespace pg::test
