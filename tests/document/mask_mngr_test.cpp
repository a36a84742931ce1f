#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "core/block_image.h"
#include "core/block_pool.h"
#include "core/planes.h"
#include "document/layer_data.h"
#include "document/mask_mngr.h"
#include "platform/message_service.h"

namespace pg {
namespace {

using ValueFn = std::function<int(int x, int y)>;

// A region plane of w x h whose pixel (x, y) lies at document point
// (x - offset.X, y - offset.Y) and holds f(document x, document y).
std::unique_ptr<TChannel> region(int w, int h, TPoint offset, const ValueFn& f) {
  auto c = std::make_unique<TChannel>(w, h);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) *c->pixelAt(x, y) = static_cast<uint8_t>(f(x - offset.X, y - offset.Y));
  return c;
}

// Puts an image into mask i of the list: document rectangle r filled by f.
void setMask(CMaskMngr& list, int i, const TRect& r, const ValueFn& f) {
  auto reg = region(r.Right - r.Left, r.Bottom - r.Top, TPoint{-r.Left, -r.Top}, f);
  std::unique_ptr<CMaskData> old;
  ASSERT_TRUE(list.setMaskImage(i, *reg, kCombineCopy, old, TPoint{-r.Left, -r.Top},
                                SSize{r.Right - r.Left, r.Bottom - r.Top}));
}

// Value of the mask at a document point, 0 outside its image.
int at(const CMaskData& m, int x, int y) {
  const int v = m.valueAtPaper(x, y);
  return v < 0 ? 0 : v;
}

struct MaskFixture : ::testing::Test {
  RecordingMessageService messages;
  ScopedMessageService scope{messages};
  CMaskMngr list{16};
  void SetUp() override { list.setDocumentSize(8, 6); }
};

TEST_F(MaskFixture, FreshListAndNames) {
  ASSERT_EQ(list.count(), 1);
  EXPECT_EQ(list.current(), 0);
  EXPECT_EQ(list.getMask(0)->name, "マスク1");
  EXPECT_FALSE(list.exists(0));
  EXPECT_TRUE(list.hasAnyMask());
  EXPECT_EQ(list.addMask(-1), 0);  // inserted at the current index
  EXPECT_EQ(list.getMask(0)->name, "マスク2");
  EXPECT_EQ(list.getMask(1)->name, "マスク1");
  EXPECT_EQ(list.getMask(1)->index, 1);
  EXPECT_EQ(list.setCurrent(2), 2);  // count: a new mask is appended
  EXPECT_EQ(list.count(), 3);
  EXPECT_EQ(list.setCurrent(7), 2);
  EXPECT_EQ(combineModeName(0), "選択範囲をコピー(&C)");
  EXPECT_EQ(combineModeName(3), "共通部分に置き換える(&E)");
  EXPECT_EQ(combineModeName(4), "");
}

TEST_F(MaskFixture, ListOperations) {
  setMask(list, 0, TRect{1, 1, 3, 3}, [](int, int) { return 9; });
  list.addMask(1);
  ASSERT_EQ(list.count(), 2);
  const uint32_t id0 = list.getMask(0)->id;
  EXPECT_EQ(list.duplicateMask(0), 0);
  EXPECT_NE(list.getMask(0)->id, id0);
  EXPECT_EQ(list.getMask(0)->name, list.getMask(1)->name);
  EXPECT_EQ(at(*list.getMask(0), 1, 1), 9);
  EXPECT_EQ(list.moveMask(2, 0), 2);
  EXPECT_EQ(list.getMask(2)->name, "マスク1");
  EXPECT_EQ(list.moveMask(2, 2), -1);
  EXPECT_EQ(list.moveMask(3, 0), -1);

  std::unique_ptr<CMaskData> old;
  ASSERT_TRUE(list.clearMaskAt(0, old));
  ASSERT_TRUE(old);
  EXPECT_EQ(old->id, id0);
  EXPECT_FALSE(list.exists(0));
  EXPECT_EQ(list.getMask(0)->name, "マスク1");

  auto stray = std::make_unique<CMaskData>(0);
  EXPECT_EQ(list.insertMask(9, std::move(stray)), -1);
  EXPECT_TRUE(stray) << "a refused mask stays the caller's";
  EXPECT_FALSE(list.replaceMask(9, std::move(stray)));  // appended
  EXPECT_EQ(list.count(), 4);

  ASSERT_TRUE(list.copyMaskInto(3, 2, old));
  EXPECT_EQ(at(*list.getMask(3), 2, 2), 9);
  list.setCurrent(3);
  std::unique_ptr<CMaskData> removed;
  ASSERT_TRUE(list.removeMask(3, removed));
  EXPECT_EQ(list.current(), 2);
  for (int i = 0; i < list.count(); ++i) EXPECT_EQ(list.getMask(i)->index, i);
}

// The old selection: document rectangle (2, 1)-(6, 5) (image offset (-2, -1)).
const TRect kOld{2, 1, 6, 5};
int oldValue(int x, int y) { return 100 + 10 * x + 7 * y; }
// The region: document rectangle (4, 2)-(8, 5).
const TRect kRegion{4, 2, 8, 5};
int regionValue(int x, int y) { return x == 5 && y == 3 ? 0 : 250 - 9 * x - 4 * y; }

bool inside(const TRect& r, int x, int y) { return x >= r.Left && x < r.Right && y >= r.Top && y < r.Bottom; }

TEST_F(MaskFixture, CombineModesWithOffsets) {
  struct Case {
    int mode;
    TRect image;  // expected image rectangle in document coordinates
    std::function<int(int, int)> expect;
  } cases[] = {
      {kCombineCopy, kRegion, [](int x, int y) { return inside(kRegion, x, y) ? regionValue(x, y) : 0; }},
      {kCombineAdd, TRect{2, 1, 8, 5},
       [](int x, int y) {
         const int o = inside(kOld, x, y) ? oldValue(x, y) : 0;
         const int r = inside(kRegion, x, y) ? regionValue(x, y) : 0;
         return std::max(o, r);
       }},
      {kCombineSubtract, kOld,
       [](int x, int y) {
         if (!inside(kOld, x, y)) return 0;
         const int r = inside(kRegion, x, y) ? regionValue(x, y) : 0;
         return std::min(oldValue(x, y), 255 - r);
       }},
      {kCombineIntersect, TRect{2, 1, 8, 5},
       [](int x, int y) {
         if (!inside(kOld, x, y) || !inside(kRegion, x, y)) return 0;
         return oldValue(x, y) * regionValue(x, y) / 255;
       }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE("mode " + std::to_string(c.mode));
    CMaskMngr l(16);
    l.setDocumentSize(8, 6);
    setMask(l, 0, kOld, oldValue);
    const CMaskData* before = l.getMask(0);
    auto reg = region(4, 3, TPoint{-4, -2}, regionValue);
    std::unique_ptr<CMaskData> m = l.makeCombinedMask(0, *reg, c.mode, TPoint{-4, -2}, SSize{4, 3});
    ASSERT_TRUE(m);
    EXPECT_EQ(m->imageRect(), c.image);
    EXPECT_EQ(m->name, "マスク1");
    for (int y = -1; y < 7; ++y)
      for (int x = -1; x < 9; ++x) EXPECT_EQ(at(*m, x, y), c.expect(x, y)) << x << "," << y;
    // The old mask is read, never written.
    ASSERT_EQ(l.getMask(0), before);
    for (int y = kOld.Top; y < kOld.Bottom; ++y)
      for (int x = kOld.Left; x < kOld.Right; ++x) EXPECT_EQ(at(*before, x, y), oldValue(x, y));
  }
}

TEST_F(MaskFixture, SubtractFullRegionClearsExactlyTheCoveredPart) {
  setMask(list, 0, kOld, oldValue);
  auto reg = region(4, 3, TPoint{-4, -2}, [](int, int) { return 255; });
  std::unique_ptr<CMaskData> old;
  ASSERT_TRUE(list.setMaskImage(0, *reg, kCombineSubtract, old, TPoint{-4, -2}, SSize{4, 3}));
  ASSERT_TRUE(old);
  const CMaskData& m = *list.getMask(0);
  for (int y = kOld.Top; y < kOld.Bottom; ++y)
    for (int x = kOld.Left; x < kOld.Right; ++x)
      EXPECT_EQ(at(m, x, y), inside(kRegion, x, y) ? 0 : oldValue(x, y)) << x << "," << y;
  // The replaced mask keeps its values for undo.
  for (int y = kOld.Top; y < kOld.Bottom; ++y)
    for (int x = kOld.Left; x < kOld.Right; ++x) EXPECT_EQ(at(*old, x, y), oldValue(x, y));
}

TEST_F(MaskFixture, FailedSubtractLeavesTheOldMask) {
  // A region that is not flat commits tiles; with no tile memory to be had
  // the combine fails and the list keeps its mask unchanged.
  setMask(list, 0, kOld, oldValue);
  const CMaskData* before = list.getMask(0);
  auto reg = region(4, 3, TPoint{-4, -2}, regionValue);
  std::unique_ptr<CMaskData> old;
  {
    CTilePoolFailScope fail(0);
    EXPECT_FALSE(list.setMaskImage(0, *reg, kCombineSubtract, old, TPoint{-4, -2}, SSize{4, 3}));
  }
  EXPECT_FALSE(old);
  ASSERT_EQ(list.getMask(0), before);
  for (int y = kOld.Top; y < kOld.Bottom; ++y)
    for (int x = kOld.Left; x < kOld.Right; ++x) EXPECT_EQ(at(*before, x, y), oldValue(x, y));
}

TEST_F(MaskFixture, EmptyMaskCombinations) {
  auto reg = region(4, 3, TPoint{-4, -2}, regionValue);
  // Adding to an empty mask copies; subtracting or intersecting fails.
  std::unique_ptr<CMaskData> add = list.makeCombinedMask(0, *reg, kCombineAdd, TPoint{-4, -2}, SSize{4, 3});
  ASSERT_TRUE(add);
  EXPECT_EQ(add->imageRect(), kRegion);
  EXPECT_FALSE(list.makeCombinedMask(0, *reg, kCombineSubtract, TPoint{-4, -2}, SSize{4, 3}));
  EXPECT_FALSE(list.makeCombinedMask(0, *reg, kCombineIntersect, TPoint{-4, -2}, SSize{4, 3}));
  EXPECT_FALSE(list.makeCombinedMask(0, *reg, 4, TPoint{-4, -2}, SSize{4, 3}));
  std::unique_ptr<CMaskData> old;
  EXPECT_FALSE(list.setMaskImage(0, *reg, kCombineSubtract, old, TPoint{-4, -2}, SSize{4, 3}));
  EXPECT_FALSE(list.setMaskImage(3, *reg, kCombineCopy, old, TPoint{-4, -2}, SSize{4, 3}));
}

TEST_F(MaskFixture, AddingOutsideTheCanvasIsTrimmed) {
  setMask(list, 0, kOld, oldValue);
  // A region reaching from (6, -3) to (12, 3), value 0 beyond x = 9.
  auto reg = region(6, 6, TPoint{-6, 3}, [](int x, int) { return x < 9 ? 200 : 0; });
  std::unique_ptr<CMaskData> old;
  ASSERT_TRUE(list.setMaskImage(0, *reg, kCombineAdd, old, TPoint{-6, 3}, SSize{6, 6}));
  const CMaskData& m = *list.getMask(0);
  // The canvas plus the non-zero pixels: x 0..9, y -3..6.
  EXPECT_EQ(m.imageRect(), (TRect{0, -3, 9, 6}));
  EXPECT_EQ(at(m, 8, -3), 200);
  EXPECT_EQ(at(m, 3, 2), oldValue(3, 2));
  EXPECT_EQ(m.name, "マスク1");
}

TEST_F(MaskFixture, MergeMask) {
  list.addMask(1);
  setMask(list, 1, kRegion, regionValue);
  std::unique_ptr<CMaskData> old;
  // Subtracting from an empty mask fails; adding to it copies, keeping the name.
  EXPECT_FALSE(list.mergeMask(0, 1, kCombineSubtract, old));
  ASSERT_TRUE(list.mergeMask(0, 1, kCombineAdd, old));
  EXPECT_EQ(list.getMask(0)->name, "マスク1");
  EXPECT_EQ(at(*list.getMask(0), 4, 2), regionValue(4, 2));
  setMask(list, 0, kOld, oldValue);
  ASSERT_TRUE(list.mergeMask(0, 1, kCombineIntersect, old));
  EXPECT_EQ(at(*list.getMask(0), 5, 4), oldValue(5, 4) * regionValue(5, 4) / 255);
  EXPECT_EQ(at(*list.getMask(0), 3, 3), 0);
  EXPECT_FALSE(list.mergeMask(0, 5, kCombineAdd, old));
}

TEST_F(MaskFixture, InvertCoveringMaskInPlace) {
  setMask(list, 0, TRect{0, 0, 8, 6}, [](int x, int y) { return x * 20 + y; });
  const CMaskData* before = list.getMask(0);
  std::unique_ptr<CMaskData> old;
  ASSERT_TRUE(list.invertMask(0, old));
  EXPECT_FALSE(old);
  EXPECT_EQ(list.getMask(0), before);
  EXPECT_EQ(at(*before, 3, 2), 255 - 62);
}

TEST_F(MaskFixture, InvertSmallMaskSelectsTheRestOfTheCanvas) {
  setMask(list, 0, kOld, oldValue);
  std::unique_ptr<CMaskData> old;
  ASSERT_TRUE(list.invertMask(0, old));
  ASSERT_TRUE(old) << "a new object replaces the mask; the old one is for undo";
  const CMaskData& m = *list.getMask(0);
  EXPECT_EQ(m.imageRect(), (TRect{0, 0, 8, 6}));
  for (int y = 0; y < 6; ++y)
    for (int x = 0; x < 8; ++x) EXPECT_EQ(at(m, x, y), inside(kOld, x, y) ? 255 - oldValue(x, y) : 255);
  EXPECT_EQ(m.name, "マスク1");
  // An empty mask inverts to the whole canvas.
  list.addMask(1);
  ASSERT_TRUE(list.invertMask(1, old));
  EXPECT_EQ(list.getMask(1)->imageRect(), (TRect{0, 0, 8, 6}));
  EXPECT_EQ(at(*list.getMask(1), 7, 5), 255);
}

TEST_F(MaskFixture, InvertMaskReachingOutsideCoversBoth) {
  // Image from (-2, 2) to (4, 9): partly outside, not covering the canvas.
  setMask(list, 0, TRect{-2, 2, 4, 9}, [](int, int) { return 255; });
  std::unique_ptr<CMaskData> old;
  ASSERT_TRUE(list.invertMask(0, old));
  const CMaskData& m = *list.getMask(0);
  EXPECT_EQ(m.imageRect(), (TRect{-2, 0, 8, 9}));
  EXPECT_EQ(at(m, 0, 0), 255);
  EXPECT_EQ(at(m, 0, 3), 0);
  EXPECT_EQ(at(m, -2, 8), 0);
  EXPECT_EQ(at(m, 7, 8), 255);
}

TEST_F(MaskFixture, CropToCanvas) {
  setMask(list, 0, TRect{-3, -1, 5, 4}, [](int x, int y) { return 50 + x + y; });
  std::unique_ptr<CMaskData> old;
  ASSERT_TRUE(list.cropToCanvas(0, old));
  ASSERT_TRUE(old);
  const CMaskData& m = *list.getMask(0);
  EXPECT_EQ(m.imageRect(), (TRect{0, 0, 8, 6}));
  EXPECT_EQ(at(m, 2, 3), 55);
  EXPECT_EQ(at(m, 6, 3), 0);
  std::unique_ptr<CMaskData> none;
  ASSERT_TRUE(list.cropToCanvas(0, none));
  EXPECT_FALSE(none) << "a mask inside the canvas stays as it is";
}

TEST_F(MaskFixture, BoundsAndValues) {
  setMask(list, 0, kOld, [](int x, int y) { return x == 3 && y == 2 ? 40 : 0; });
  const CMaskData& m = *list.getMask(0);
  TRect b;
  ASSERT_TRUE(m.getBounds(b));
  EXPECT_EQ(b, (TRect{3, 2, 4, 3}));
  ASSERT_TRUE(m.getTileBounds(b));
  EXPECT_EQ(b, kOld);  // one tile, clamped to the image
  EXPECT_EQ(m.valueAtPaper(3, 2), 40);
  EXPECT_EQ(m.valueAtPaper(1, 2), -1);
  EXPECT_EQ(m.valueAt(1, 1, 255), 40);  // image point
  EXPECT_EQ(m.valueAt(1, 1, 51), 8);
  EXPECT_EQ(m.valueAt(-1, 1, 255), 0);
  EXPECT_EQ(list.exceedsCanvas(0), false);
}

TEST_F(MaskFixture, ScaleWithNegativeAndPositiveOffsets) {
  list.setDocumentSize(20, 20);
  // Image (4, 2)-(14, 12): offset (-4, -2); values 255 left of x = 9.
  setMask(list, 0, TRect{4, 2, 14, 12}, [](int x, int) { return x < 9 ? 255 : 0; });
  for (int method : {1, 2}) {
    SCOPED_TRACE(method);
    std::unique_ptr<CMaskData> s = list.scaleMask(0, SSize{40, 40}, method);
    ASSERT_TRUE(s);
    EXPECT_EQ(s->imageRect(), (TRect{8, 4, 28, 24}));
    EXPECT_EQ(s->offsetX, -8);
    EXPECT_EQ(s->name, "マスク1");
    EXPECT_EQ(at(*s, 8, 4), 255);
    EXPECT_EQ(at(*s, 17, 10), 255);
    EXPECT_EQ(at(*s, 18, 10), 0);
    EXPECT_EQ(at(*s, 27, 23), 0);
  }
  EXPECT_FALSE(list.scaleMask(0, SSize{40, 40}, 3));
  // An image starting left of the canvas: offset (3, 0) doubles to (6, 0).
  setMask(list, 0, TRect{-3, 0, 5, 4}, [](int, int) { return 200; });
  std::unique_ptr<CMaskData> s = list.scaleMask(0, SSize{40, 40}, 2);
  ASSERT_TRUE(s);
  EXPECT_EQ(s->imageRect(), (TRect{-6, 0, 10, 8}));
  EXPECT_EQ(at(*s, -6, 0), 200);
}

TEST_F(MaskFixture, ScaleDownAveragesAndLargeFactorsStayExact) {
  list.setDocumentSize(4, 2);
  setMask(list, 0, TRect{0, 0, 4, 2}, [](int x, int y) { return x == 0 && y == 0 ? 0 : 255; });
  std::unique_ptr<CMaskData> s = list.scaleMask(0, SSize{2, 1}, 2);
  ASSERT_TRUE(s);
  EXPECT_EQ(s->imageRect(), (TRect{0, 0, 2, 1}));
  EXPECT_EQ(at(*s, 0, 0), 191);  // (0 + 3 x 255) / 4
  EXPECT_EQ(at(*s, 1, 0), 255);
  // Scaled 10,000 times across, width and offset leave 32 bits on the way
  // (4 x 655,360,000 and -4 x 655,360,000 in 16.16): in signed 64 bits the
  // image outside the canvas lands at its place.
  list.addMask(1);
  setMask(list, 1, TRect{4, 0, 8, 2}, [](int, int) { return 255; });
  std::unique_ptr<CMaskData> wide = list.scaleMask(1, SSize{40000, 2}, 1);
  ASSERT_TRUE(wide);
  EXPECT_EQ(wide->imageRect(), (TRect{40000, 0, 80000, 2}));
  EXPECT_EQ(at(*wide, 40000, 0), 255);
  EXPECT_EQ(at(*wide, 79999, 1), 255);
  // A mask without image scales to an empty mask of the same name.
  list.addMask(2);
  std::unique_ptr<CMaskData> e = list.scaleMask(2, SSize{2, 1}, 1);
  ASSERT_TRUE(e);
  EXPECT_FALSE(e->hasImage());
  EXPECT_EQ(e->name, "マスク3");
}

TEST_F(MaskFixture, ScaleAllAndScaledList) {
  setMask(list, 0, kOld, oldValue);
  list.addMask(1);
  list.setCurrent(1);
  std::unique_ptr<CMaskMngr> scaled = list.makeScaledMaskList(SSize{16, 12}, 1);
  ASSERT_TRUE(scaled);
  EXPECT_EQ(scaled->count(), 2);
  EXPECT_EQ(scaled->current(), 1);
  EXPECT_EQ(scaled->getMask(0)->imageRect(), (TRect{4, 2, 12, 10}));
  EXPECT_EQ(scaled->getMask(1)->name, "マスク2");
  EXPECT_EQ(scaled->addMask(2), 2);
  EXPECT_EQ(scaled->getMask(2)->name, "マスク3");
  ASSERT_TRUE(list.scaleAllMasks(SSize{16, 12}, 2));
  EXPECT_EQ(list.getMask(0)->imageRect(), (TRect{4, 2, 12, 10}));
  EXPECT_EQ(list.docWidth(), 16);
}

TEST_F(MaskFixture, MasksFromAndToLayers) {
  CLayerData layer(0, false);
  ASSERT_TRUE(layer.createImage(8, 6, 3));
  layer.name = "レイヤ1";
  EXPECT_TRUE(layer.image->setPixel(1, 1, 0xFFFFFFFFu));  // white, opaque
  EXPECT_TRUE(layer.image->setPixel(2, 1, 0x80FFFFFFu));  // white, half alpha
  EXPECT_TRUE(layer.image->setPixel(3, 1, 0x00FFFFFFu));  // white, transparent
  CMaskData lum(0);
  ASSERT_TRUE(lum.fromLayerLuminance(layer, false));
  EXPECT_EQ(lum.name, "明度(レイヤ1)");
  EXPECT_EQ(lum.valueAtPaper(1, 1), 255);
  EXPECT_EQ(lum.valueAtPaper(2, 1), 128);
  EXPECT_EQ(lum.valueAtPaper(3, 1), 0);
  CMaskData inv(0);
  ASSERT_TRUE(inv.fromLayerLuminance(layer, true));
  EXPECT_EQ(inv.valueAtPaper(1, 1), 0);
  CMaskData alpha(0);
  ASSERT_TRUE(alpha.fromLayerAlpha(layer));
  EXPECT_EQ(alpha.name, "マスク(レイヤ1)");
  EXPECT_EQ(alpha.valueAtPaper(2, 1), 0x80);

  // Writing a mask of (2, 1)-(6, 5) into a layer with offset (1, 0): alpha is
  // the mask value where they overlap, 0 elsewhere, colours untouched.
  CLayerData target(0, false);
  ASSERT_TRUE(target.createImage(8, 6, 3));
  target.offsetX = 1;
  for (int y = 0; y < 6; ++y)
    for (int x = 0; x < 8; ++x) EXPECT_TRUE(target.image->setPixel(x, y, 0xFF102030u));
  setMask(list, 0, kOld, oldValue);
  ASSERT_TRUE(list.getMask(0)->writeToLayerAlpha(target));
  for (int y = 0; y < 6; ++y)
    for (int x = 0; x < 8; ++x) {
      const int docX = x - 1;
      const uint32_t a = inside(kOld, docX, y) ? static_cast<uint32_t>(oldValue(docX, y)) : 0;
      EXPECT_EQ(target.image->getPixel(x, y), (a << 24) | 0x102030u) << x << "," << y;
    }
  CMaskData empty(0);
  EXPECT_TRUE(empty.writeToLayerAlpha(target));
}

TEST_F(MaskFixture, ApplyToPlaneAlpha) {
  setMask(list, 0, kOld, oldValue);
  TMTC plane(8, 6);
  for (int y = 0; y < 6; ++y)
    for (int x = 0; x < 8; ++x) *plane.pixelAt(x, y) = 0xC8010203u;  // alpha 200
  ASSERT_TRUE(list.getMask(0)->applyToPlaneAlpha(plane));
  EXPECT_EQ(plane.getPixel(0, 0), 0xC8010203u);
  const uint32_t a = static_cast<uint32_t>(200 * oldValue(3, 2) / 255);
  EXPECT_EQ(plane.getPixel(3, 2), (a << 24) | 0x010203u);
}

TEST_F(MaskFixture, OutlineOfTheSelection) {
  setMask(list, 0, kOld, [](int x, int y) { return x == 3 && y == 4 ? 255 : 0; });
  ASSERT_TRUE(list.traceAnts(SSize{8, 6}, -1));
  EXPECT_TRUE(list.hasAnts());
  EXPECT_EQ(list.tracedIndex(), 0);
  EXPECT_EQ(list.ants().leftEdges().block(0)[0], (TPoint{3, 4}));
  EXPECT_EQ(list.getAntsOrigin(), (TPoint{0, 0}));
  ASSERT_TRUE(list.traceAntsFull(0));
  EXPECT_EQ(list.ants().leftEdges().block(0)[0], (TPoint{1, 3}));  // image coordinates
  EXPECT_EQ(list.getAntsOrigin(), (TPoint{2, 1}));                 // minus the offset
  list.addMask(1);
  ASSERT_TRUE(list.traceAnts(SSize{8, 6}, 1));
  EXPECT_FALSE(list.hasAnts());
  EXPECT_EQ(list.tracedIndex(), -1);
}

TEST_F(MaskFixture, Thumbnails) {
  setMask(list, 0, TRect{0, 0, 8, 6}, [](int x, int) { return x < 4 ? 255 : 0; });
  CMaskData& m = *list.getMask(0);
  ASSERT_TRUE(list.updateMaskThumbnail(m));
  ASSERT_TRUE(m.thumbnail->IsAllocated());
  EXPECT_EQ(m.thumbnail->Width, 48);
  EXPECT_EQ(m.thumbnail->Height, 36);
  EXPECT_EQ(m.thumbnail->getPixel(0, 0) & 0xFFFFFF, 0xFFFFFFu);
  EXPECT_EQ(m.thumbnail->getPixel(47, 35) & 0xFFFFFF, 0u);
}

}  // namespace
}  // namespace pg
