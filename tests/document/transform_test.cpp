// Layer and image transforms: in-place commands, quarter turns, crop,
// canvas size and image scale, recorded and undone exactly.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <limits>

#include "core/block_pool.h"
#include "doc_ops_fixture.h"
#include "document/mask_data.h"
#include "document/mask_mngr.h"

namespace pg::test {
namespace transform_test {

constexpr int kDoc = 2 << 8;
constexpr int kLayer = 4 << 8;

// Two layers, one offset and larger than the 64 x 48 canvas, a selection.
struct TransformFixture : OpsFixture {
  TransformFixture() {
    addLayer(0, 1);
    addLayer(1, 2, 80, 60);
    layer(1)->offsetX = 6;
    layer(1)->offsetY = 4;
    EXPECT_TRUE(layer(1)->image->setPixel(0, 0, 0x40102030));  // a translucent corner pixel
    EXPECT_TRUE(doc->maskFigureRect(*flow, 0, {10, 8}, {30, 20}, 0, stroke, false));
  }
};

TEST(Transforms, EachRecordsUndoesAndRedoes) {
  struct Case {
    const char* what;
    int header;
    std::function<bool(TransformFixture&, bool)> op;
  };
  const Case cases[] = {
      {"mirror", kLayer | 32, [](TransformFixture& f, bool r) { return f.doc->mirrorLayer(*f.flow, 1, r); }},
      {"flip", kLayer | 33, [](TransformFixture& f, bool r) { return f.doc->flipLayer(*f.flow, 1, r); }},
      {"invert", kLayer | 35, [](TransformFixture& f, bool r) { return f.doc->invertLayer(*f.flow, 0, r); }},
      {"half turn", kLayer | 34, [](TransformFixture& f, bool r) { return f.doc->halfTurnLayer(*f.flow, 1, r); }},
      {"mirror in selection", kLayer | 48,
       [](TransformFixture& f, bool r) { return f.doc->layerFilterCommand(*f.flow, 0, r, true, 7, -1); }},
      {"invert in selection", kLayer | 51,
       [](TransformFixture& f, bool r) { return f.doc->layerFilterCommand(*f.flow, 0, r, false, 9, -1); }},
      {"flip visible", kDoc | 17, [](TransformFixture& f, bool r) { return f.doc->transformVisibleInPlace(*f.flow, 13, r); }},
      {"half turn all", kDoc | 34, [](TransformFixture& f, bool r) { return f.doc->transformAllInPlace(*f.flow, 15, r); }},
      {"layer quarter turn", kLayer | 36, [](TransformFixture& f, bool r) { return f.doc->rotateLayer90(*f.flow, 1, r, true); }},
      {"layer free turn", kLayer | 38, [](TransformFixture& f, bool r) { return f.doc->rotateLayer(*f.flow, 0, r, 30.0f); }},
      {"layer scale", kLayer | 39, [](TransformFixture& f, bool r) { return f.doc->scaleLayer(*f.flow, 1, r, 40, 30); }},
      {"image quarter turn", kDoc | 4, [](TransformFixture& f, bool r) { return f.doc->rotateImage90(*f.flow, true, r); }},
      {"image turn back", kDoc | 5, [](TransformFixture& f, bool r) { return f.doc->rotateImage90(*f.flow, false, r); }},
      {"canvas size", kDoc | 2, [](TransformFixture& f, bool r) { return f.doc->resizeCanvas(*f.flow, 70, 40, 4, r); }},
      {"crop", kDoc | 11, [](TransformFixture& f, bool r) { return f.doc->cropToRect(*f.flow, TRect{5, 6, 40, 30}, r); }},
      {"scale", kDoc | 9, [](TransformFixture& f, bool r) { return f.doc->scaleImage(*f.flow, 32, 24, 1, r); }},
      {"scale by area", kDoc | 9, [](TransformFixture& f, bool r) { return f.doc->scaleImage(*f.flow, 90, 50, 2, r); }},
      {"layers zoom", kDoc | 3, [](TransformFixture& f, bool r) { return f.doc->zoomLayers(*f.flow, 32, 24, 2, r); }},
  };
  for (const Case& c : cases) {
    TransformFixture f;
    f.roundTrip([&] { return c.op(f, true); }, c.header, c.what);
    TransformFixture g;
    const uint32_t from = g.position();
    EXPECT_TRUE(c.op(g, false)) << c.what;
    EXPECT_TRUE(g.packetsSince(from).empty()) << c.what;
    EXPECT_EQ(g.doc->undoMngr()->undoCount(), 0) << c.what;
  }
}

TEST(Transforms, AQuarterTurnOfADocumentSizedLayerStillCoversTheOblongDocument) {
  // 64 x 48: the turned layer leaves 8 columns uncovered on each side; the
  // rebuilt image still holds the whole document (transparent there).
  for (const bool clockwise : {true, false}) {
    TransformFixture f;
    ASSERT_TRUE(f.doc->rotateLayer90(*f.flow, 0, true, clockwise));
    const CLayerData& l = *f.layer(0);
    const TRect r = l.imageRect();
    EXPECT_LE(r.Left, 0);
    EXPECT_LE(r.Top, 0);
    EXPECT_GE(r.Right, 64);
    EXPECT_GE(r.Bottom, 48);
    EXPECT_EQ(l.image->getPixel(2 + l.offsetX, 24 + l.offsetY) >> 24, 0u);
  }
}

TEST(Transforms, InPlaceCommandsAreTheirOwnInverse) {
  for (int code = 7; code <= 10; ++code) {
    TransformFixture f;
    const std::string before = snapshot(*f.doc);
    ASSERT_TRUE(f.doc->layerCommand(*f.flow, 1, false, code));
    if (code == 9) {
      EXPECT_EQ(f.layer(1)->image->getPixel(0, 0) >> 24, 0x40u);  // alpha kept
    }
    EXPECT_NE(snapshot(*f.doc), before);
    ASSERT_TRUE(f.doc->layerCommand(*f.flow, 1, false, code));
    EXPECT_EQ(snapshot(*f.doc), before) << "code " << code;
  }
}

TEST(Transforms, FourQuarterTurnsAndTwoFlipsReturnTheOriginal) {
  TransformFixture f;
  const std::string before = snapshot(*f.doc);
  for (int i = 0; i < 4; ++i) ASSERT_TRUE(f.doc->rotateImage90(*f.flow, true, false));
  EXPECT_EQ(snapshot(*f.doc), before);
  ASSERT_TRUE(f.doc->rotateImage90(*f.flow, true, false));
  EXPECT_EQ(f.doc->width(), 48);
  EXPECT_EQ(f.doc->height(), 64);
  ASSERT_TRUE(f.doc->rotateImage90(*f.flow, false, false));
  EXPECT_EQ(snapshot(*f.doc), before);
  for (int i = 0; i < 2; ++i) ASSERT_TRUE(f.doc->transformAllInPlace(*f.flow, 13, false));
  EXPECT_EQ(snapshot(*f.doc), before);
}

// A mask without an image keeps its place through a turn and the turn back
// (as an undo makes it), like a mask with one.
TEST(Transforms, AnEmptyMaskTurnsBackToItsPlace) {
  TransformFixture f;
  ASSERT_TRUE(f.doc->newMask(*f.flow, 0, 0, true));
  CMaskData& m = *f.doc->masks()->currentMask();
  ASSERT_FALSE(m.hasImage());
  m.offsetX = 3;
  m.offsetY = -2;
  ASSERT_TRUE(f.doc->rotateImage90(*f.flow, true, true));
  int32_t index = 0;
  TRect rect{};
  ASSERT_TRUE(f.doc->undo(*f.flow, index, rect));
  const CMaskData& back = *f.doc->masks()->currentMask();
  EXPECT_EQ(back.offsetX, 3);
  EXPECT_EQ(back.offsetY, -2);
}

// The mask list an undone or redone image size brings back has the size of
// the document it comes back to: an inverted selection then covers that
// document, as in a replay.
TEST(Transforms, UndoneImageSizeGivesTheMasksTheDocumentSize) {
  TransformFixture f;
  const int32_t w = f.doc->width(), h = f.doc->height();
  ASSERT_TRUE(f.doc->maskFillAll(*f.flow, 0, true));
  ASSERT_TRUE(f.doc->scaleImage(*f.flow, w + 30, h + 20, 2, true));
  EXPECT_EQ(f.doc->masks()->docWidth(), w + 30);
  int32_t index = 0;
  TRect rect{};
  ASSERT_TRUE(f.doc->undo(*f.flow, index, rect));
  EXPECT_EQ(f.doc->masks()->docWidth(), w);
  EXPECT_EQ(f.doc->masks()->docHeight(), h);
  ASSERT_TRUE(f.doc->redo(*f.flow, index, rect));
  EXPECT_EQ(f.doc->masks()->docWidth(), w + 30);
  EXPECT_EQ(f.doc->masks()->docHeight(), h + 20);
}

TEST(Transforms, AClockwiseTurnPutsTheTopLeftAtTheTopRight) {
  OpsFixture f(4, 3);
  f.addLayer(0, 1);
  EXPECT_TRUE(f.layer(0)->image->setPixel(0, 0, 0xFFAA0000));
  ASSERT_TRUE(f.doc->maskFigureRect(*f.flow, 0, {0, 0}, {1, 1}, 0, f.stroke, false));
  ASSERT_TRUE(f.doc->rotateImage90(*f.flow, true, false));
  ASSERT_EQ(f.layer(0)->imageWidth(), 3);
  EXPECT_EQ(f.layer(0)->image->getPixel(2, 0), 0xFFAA0000u);
  // The selection turned with it.
  EXPECT_EQ(f.doc->masks()->currentMask()->valueAtPaper(2, 0), 255);
  EXPECT_EQ(f.doc->masks()->currentMask()->valueAtPaper(0, 0), 0);
}

// A layer far larger than the picture and all of one colour (a recording
// may ask for one) turns with the picture without taking tile memory: the
// pool here could not hold a hundredth of its tiles.
TEST(Transforms, AQuarterTurnOfALargeUniformLayerTakesNoTiles) {
  OpsFixture f(24, 16);
  const int32_t at = f.doc->insertLayer(0, 6000, 3000, true, 255, 3);
  ASSERT_GE(at, 0);
  f.layer(at)->image->fill(0xFF336699u);
  {
    const CTilePoolFailScope scarce(100);
    ASSERT_TRUE(f.doc->rotateImage90(*f.flow, true, false));
  }
  const CLayerData& turned = *f.layer(at);
  EXPECT_EQ(turned.imageWidth(), 3000);
  EXPECT_EQ(turned.imageHeight(), 6000);
  EXPECT_EQ(turned.image->committedTiles(), 0);
  EXPECT_EQ(turned.image->getPixel(2999, 5999), 0xFF336699u);
}

// A large selection of one value turns tile by tile: its whole tiles stay
// uniform (the pool here could not hold a hundredth of them) and its partly
// selected tiles turn pixel by pixel, wherever the tile grids meet.
TEST(Transforms, AQuarterTurnOfALargeSelectionTakesFewTiles) {
  OpsFixture f(24, 16);
  f.addLayer(0, 1);
  auto big = CMaskData::createSized(f.doc->masks()->count(), 3000, 2000);
  ASSERT_TRUE(big && big->hasImage());
  ASSERT_TRUE(big->image->fillRect(SRectXYWH{0, 0, 3000, 2000}, 255));
  ASSERT_TRUE(big->image->setPixel(5, 7, 9));      // one tile holds pixels
  ASSERT_TRUE(big->image->setPixel(2999, 0, 17));  // a corner in a part tile
  big->image->compact();
  const int32_t at = f.doc->masks()->insertMask(f.doc->masks()->count(), std::move(big));
  f.doc->masks()->renumber();
  for (const bool clockwise : {true, false}) {
    const CMaskData& before = *f.doc->masks()->getMask(at);
    ASSERT_EQ(before.imageWidth(), clockwise ? 3000 : 2000);
    {
      const CTilePoolFailScope scarce(100);
      ASSERT_TRUE(f.doc->rotateImage90(*f.flow, clockwise, false));
    }
    const CMaskData& m = *f.doc->masks()->getMask(at);
    // (x, y) lands at (h - 1 - y, x) clockwise; the turn back undoes it.
    if (clockwise) {
      ASSERT_EQ(m.imageWidth(), 2000);
      ASSERT_EQ(m.imageHeight(), 3000);
      EXPECT_EQ(m.image->getPixel(2000 - 1 - 7, 5), 9);
      EXPECT_EQ(m.image->getPixel(2000 - 1, 2999), 17);
      EXPECT_EQ(m.image->getPixel(0, 0), 255);
      EXPECT_EQ(m.image->getPixel(1999, 2998), 255);
    } else {
      EXPECT_EQ(m.image->getPixel(5, 7), 9);
      EXPECT_EQ(m.image->getPixel(2999, 0), 17);
      EXPECT_EQ(m.image->getPixel(2998, 1999), 255);
    }
    EXPECT_LE(m.image->committedTiles(), 4);
  }
}

TEST(Transforms, FreeTurnsOfALayer) {
  OpsFixture f(40, 40);
  f.addLayer(0, 1);
  f.layer(0)->image->fill(0xFF204060);
  // A turn by 0 keeps the picture; by 45 the corners come out transparent.
  ASSERT_TRUE(f.doc->rotateLayer(*f.flow, 0, false, 0.0f));
  EXPECT_EQ(f.layer(0)->image->getPixel(20 + f.layer(0)->offsetX, 20 + f.layer(0)->offsetY), 0xFF204060u);
  ASSERT_TRUE(f.doc->rotateLayer(*f.flow, 0, false, 45.0f));
  const CLayerData* l = f.layer(0);
  EXPECT_EQ(l->image->getPixel(20 + l->offsetX, 20 + l->offsetY), 0xFF204060u);
  EXPECT_EQ(l->image->getPixel(0 + l->offsetX, 0 + l->offsetY) >> 24, 0u);
  EXPECT_GT(l->imageWidth(), 40);
  EXPECT_FALSE(f.doc->rotateLayer(*f.flow, 0, true, std::numeric_limits<float>::quiet_NaN()));
  EXPECT_FALSE(f.doc->scaleLayer(*f.flow, 0, true, 0, 5));
}

TEST(Transforms, CanvasSizeAndCropKeepThePixelsThatStay) {
  TransformFixture f;
  const uint32_t at = f.layer(0)->image->getPixel(20, 10);
  // Anchor 4 on a canvas grown by 3 in width places the old content 1 from the left.
  ASSERT_TRUE(f.doc->resizeCanvas(*f.flow, 67, 48, 4, true));
  EXPECT_EQ(f.doc->width(), 67);
  EXPECT_EQ(f.layer(0)->image->getPixel(21, 10), at);
  // The selection moved with the picture.
  EXPECT_EQ(f.doc->masks()->currentMask()->valueAtPaper(11, 8), 255);
  EXPECT_EQ(f.doc->masks()->currentMask()->valueAtPaper(10, 8), 0);
  ASSERT_TRUE(f.doc->cropToRect(*f.flow, TRect{11, 0, 40, 30}, true));
  EXPECT_EQ(f.doc->width(), 29);
  EXPECT_EQ(f.layer(0)->image->getPixel(10, 10), at);
  // A box reaching beyond the image grows the canvas there.
  ASSERT_TRUE(f.doc->cropToRect(*f.flow, TRect{-5, 2, 35, 60}, true));
  EXPECT_EQ(f.doc->width(), 40);
  EXPECT_EQ(f.doc->height(), 58);
  EXPECT_EQ(f.layer(0)->image->getPixel(15, 8), at);
  // Out-of-range sizes, an empty crop and boxes beside the image or larger
  // than the largest image (as a damaged recording may hold) are refused.
  for (const TRect& r : {TRect{100, 100, 200, 200}, TRect{-50, 0, 0, 20}, TRect{INT32_MIN, 0, INT32_MAX, 10},
                         TRect{0, -10001, 10, 1}, TRect{10, 10, 5, 20}})
    EXPECT_FALSE(f.doc->cropToRect(*f.flow, r, true)) << r.Left << "," << r.Top << "," << r.Right << "," << r.Bottom;
  EXPECT_EQ(f.doc->width(), 40);
  EXPECT_FALSE(f.doc->resizeCanvas(*f.flow, 0, 10, 0, true));
  EXPECT_FALSE(f.doc->resizeCanvas(*f.flow, 10001, 10, 0, true));
  EXPECT_FALSE(f.doc->scaleImage(*f.flow, 10, 10, 3, true));
}

TEST(Transforms, ScalingAConstantPictureKeepsItConstant) {
  for (int32_t method : {1, 2}) {
    for (bool withMasks : {true, false}) {
      SCOPED_TRACE("method " + std::to_string(method) + (withMasks ? " image" : " layers"));
      OpsFixture f;
      f.addLayer(0, 1);
      f.layer(0)->image->fill(0xFF336699);
      for (const SSize s : {SSize{17, 13}, SSize{200, 150}, SSize{61, 47}}) {
        ASSERT_TRUE(withMasks ? f.doc->scaleImage(*f.flow, s.W, s.H, method, false)
                              : f.doc->zoomLayers(*f.flow, s.W, s.H, method, false));
        const CBlockVMTC& img = *f.layer(0)->image;
        for (int32_t y = 0; y < s.H; y += 3)
          for (int32_t x = 0; x < s.W; x += 3) ASSERT_EQ(img.getPixel(x, y), 0xFF336699u) << x << "," << y;
      }
    }
  }
}

TEST(Transforms, AreaScalingAveragesAndOnlyTheImageScaleTakesTheMasks) {
  TransformFixture f;
  // A checkerboard of black and 254-grey halves into its mean.
  for (int32_t y = 0; y < 48; ++y)
    for (int32_t x = 0; x < 64; ++x) EXPECT_TRUE(f.layer(0)->image->setPixel(x, y, (x + y) % 2 ? 0xFFFEFEFEu : 0xFF000000u));
  const SSize maskImage = f.doc->masks()->currentMask()->image->size();
  ASSERT_TRUE(f.doc->zoomLayers(*f.flow, 32, 24, 2, true));
  EXPECT_EQ(f.doc->width(), 32);
  for (int32_t y = 0; y < 24; y += 5)
    for (int32_t x = 0; x < 32; x += 5) ASSERT_EQ(f.layer(0)->image->getPixel(x, y), 0xFF7F7F7Fu) << x << "," << y;
  EXPECT_EQ(f.doc->masks()->currentMask()->image->size(), maskImage);
  ASSERT_TRUE(f.doc->scaleImage(*f.flow, 64, 48, 2, true));
  EXPECT_NE(f.doc->masks()->currentMask()->image->size(), maskImage);
  EXPECT_FALSE(f.doc->zoomLayers(*f.flow, 10, 10, 0, true));
}

TEST(Transforms, OutOfTileMemoryLeavesTheDocumentAsItWas) {
  TransformFixture f;
  // A layer of uniform tiles: turning it needs tile memory.
  const int32_t fresh = f.doc->insertLayer(2, 64, 48, true, 255, 3);
  EXPECT_TRUE(f.layer(fresh)->image->fillMaskedRect(SRectXYWH{0, 0, 10, 48}, 0xFFFFFFFF, 0xFF0000FF));
  f.layer(fresh)->image->compact();
  const std::string before = snapshot(*f.doc);
  const uint32_t from = f.position();
  {
    CTilePoolFailScope failing(0);
    // Canvas size asks whether to go on without undo; refused, nothing changes.
    EXPECT_FALSE(f.doc->resizeCanvas(*f.flow, 70, 50, 0, true));
    EXPECT_FALSE(f.doc->scaleImage(*f.flow, 90, 70, 2, true));
    EXPECT_FALSE(f.doc->zoomLayers(*f.flow, 90, 70, 1, true));
    EXPECT_FALSE(f.doc->cropToRect(*f.flow, TRect{1, 1, 40, 40}, true));
    EXPECT_FALSE(f.doc->rotateImage90(*f.flow, true, true));
    EXPECT_FALSE(f.doc->mirrorLayer(*f.flow, fresh, true));
  }
  EXPECT_EQ(snapshot(*f.doc), before);
  EXPECT_TRUE(f.packetsSince(from).empty());
  const std::vector<std::string> warnings = f.messages.warnings();
  EXPECT_NE(std::find(warnings.begin(), warnings.end(), "メモリ不足により切り抜きの実行に失敗しました！"), warnings.end());
}

}  // namespace transform_test
}  // namespace pg::test
