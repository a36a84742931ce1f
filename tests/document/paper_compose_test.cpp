// Composition of the layers into the composite, the grid, the thumbnails and
// preview that follow a change, the link opacities and the flow transfers.
#include <gtest/gtest.h>

#include <cstring>
#include <random>
#include <vector>

#include "core/parallel.h"
#include "core/resample.h"
#include "document/layer_thumbnail.h"
#include "document/paper_compose.h"
#include "paper_view_fixture.h"

namespace pg::test {
namespace {

// Layers of several modes, sizes and offsets over a 70 x 50 document: one
// hidden, one at opacity 0, one smaller than the document, one reaching past
// it on every side.
struct ComposeFixture : ViewFixture {
  ComposeFixture() : ViewFixture(70, 50, 64, 48) {
    randomLayer(0, 11, lbmNormal, 70, 50);
    randomLayer(1, 12, lbmMultiply, 40, 30, -10, -5);   // lies inside, away from (0, 0)
    randomLayer(2, 13, lbmOverlay, 100, 80, 12, 9);     // reaches past every side
    randomLayer(3, 14, lbmScreen, 70, 50);
    randomLayer(4, 15, lbmHue, 33, 21, 5, 3);
    randomLayer(5, 16, lbmAdd, 70, 50);
    layer(3)->opacity = 0;
    layer(4)->opacity = 140;
    layer(5)->visible = false;
    layer(2)->opacity = 200;
  }

  // Positions whose composite pixel differs from the reference.
  std::vector<TPoint> mismatches() const {
    std::vector<TPoint> bad;
    for (int32_t y = 0; y < doc->height(); ++y)
      for (int32_t x = 0; x < doc->width(); ++x)
        if (doc->composite().getPixel(x, y) != referencePixel(*doc, x, y)) bad.push_back({x, y});
    return bad;
  }
};

struct ComposeCase {
  const char* name;
  bool canvasColor;
  uint32_t paper;  // pixel order
};

class ComposeTable : public ::testing::TestWithParam<ComposeCase> {};

TEST_P(ComposeTable, TheCompositeIsTheReferenceOfTheBlendOperators) {
  ComposeFixture f;
  f.doc->setBackgroundFlags(GetParam().canvasColor, f.doc->showBgPattern());
  f.doc->setPaperColorValue(PaperColor::fromPixel(GetParam().paper));
  f.doc->composeRect(SRectXYWH{0, 0, 70, 50}, false);
  const auto bad = f.mismatches();
  EXPECT_TRUE(bad.empty()) << bad.size() << " pixels differ, the first at " << bad[0].X << "," << bad[0].Y;
  if (GetParam().canvasColor) {
    for (int32_t y = 0; y < 50; ++y)
      for (int32_t x = 0; x < 70; ++x) ASSERT_EQ(pixelAlpha(f.doc->composite().getPixel(x, y)), 255u);
  }
}

TEST_P(ComposeTable, ADirtyRectangleIsRecomposedAndNothingElseChanges) {
  ComposeFixture f;
  f.doc->setBackgroundFlags(GetParam().canvasColor, f.doc->showBgPattern());
  f.doc->setPaperColorValue(PaperColor::fromPixel(GetParam().paper));
  f.doc->composeRect(SRectXYWH{0, 0, 70, 50}, false);
  // Paint into two layers under (17, 6, 23, 31) and recompose that part only.
  const SRectXYWH dirty{17, 6, 23, 31};
  std::mt19937 rng(5);
  for (int32_t y = dirty.Y; y < dirty.Y + dirty.Height; ++y)
    for (int32_t x = dirty.X; x < dirty.X + dirty.Width; ++x) {
      EXPECT_TRUE(f.layer(0)->image->setPixel(x, y, rng()));
      EXPECT_TRUE(f.layer(2)->image->setPixel(x + 12, y + 9, rng() | 0x80000000u));
    }
  f.doc->composeRect(dirty, false);
  const auto bad = f.mismatches();
  EXPECT_TRUE(bad.empty()) << bad.size() << " pixels differ, the first at " << bad[0].X << "," << bad[0].Y;
}

INSTANTIATE_TEST_SUITE_P(Paper, ComposeTable,
                         ::testing::Values(ComposeCase{"OverWhitePaper", true, 0xFFFFFF},
                                           ComposeCase{"OverColouredPaper", true, 0x3366CC},
                                           ComposeCase{"Transparent", false, 0xFFFFFF}),
                         [](const auto& info) { return std::string(info.param.name); });

// A picture of many bands is composed on every core when it is large: the
// same pixels as on one thread, over paper and transparent, and with a
// dissolve layer (whose bands stay on one thread).
TEST(PaperCompose, ManyBandsGiveTheSamePixelsAtAnyThreadCount) {
  struct Case {
    const char* what;
    bool canvasColor;
    bool dissolve;
  };
  const Case cases[] = {
      {"over paper", true, false},
      {"transparent", false, false},
      {"with a dissolve layer", true, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    ViewFixture f(600, 520, 64, 48);
    f.randomLayer(0, 21, lbmNormal, 600, 520);
    f.randomLayer(1, 22, lbmMultiply, 300, 200, 40, 150);
    f.randomLayer(2, 23, lbmOverlay, 700, 600, -30, -20);
    f.randomLayer(3, 24, lbmScreen, 600, 520);
    f.layer(2)->opacity = 180;
    f.layer(3)->dissolve = c.dissolve;
    f.layer(3)->dissolveAmount = 150;
    f.doc->setBackgroundFlags(c.canvasColor, f.doc->showBgPattern());
    std::vector<uint32_t> planes[2];
    const int workers[2] = {1, 4};
    for (int k = 0; k < 2; ++k) {
      const int old = setParallelWorkers(workers[k]);
      fillPlane(f.doc->composite(), 0x12345678u);
      f.doc->composeRect(SRectXYWH{0, 0, 600, 520}, false);
      setParallelWorkers(old);
      for (int32_t y = 0; y < 520; ++y)
        planes[k].insert(planes[k].end(), f.doc->composite().pixelAt(0, y), f.doc->composite().pixelAt(0, y) + 600);
    }
    ASSERT_EQ(planes[0].size(), planes[1].size());
    EXPECT_TRUE(planes[0] == planes[1]);
    // And they are the reference's, on both sides of band edges.
    if (c.dissolve) continue;
    for (const TPoint p : {TPoint{0, 0}, TPoint{599, 519}, TPoint{310, 63}, TPoint{310, 64}, TPoint{45, 127}})
      EXPECT_EQ(planes[1][size_t(p.Y) * 600 + size_t(p.X)], referencePixel(*f.doc, p.X, p.Y));
  }
}

TEST(PaperCompose, HiddenAndClearLayersAreSkippedEntirely) {
  ViewFixture f(40, 30, 40, 30);
  f.randomLayer(0, 1, lbmNormal, 40, 30);
  f.doc->composeRect(SRectXYWH{0, 0, 40, 30}, false);
  TMTC before(40, 30);
  ASSERT_TRUE(before.copyPixelsFrom(f.doc->composite()));
  // A layer that would change everything, hidden, then at opacity 0.
  const int32_t top = f.randomLayer(1, 2, lbmDifference, 40, 30);
  f.layer(top)->visible = false;
  f.doc->composeRect(SRectXYWH{0, 0, 40, 30}, false);
  EXPECT_EQ(std::memcmp(before.Bits, f.doc->composite().Bits, size_t(before.ByteSize())), 0);
  f.layer(top)->visible = true;
  f.layer(top)->opacity = 0;
  f.doc->composeRect(SRectXYWH{0, 0, 40, 30}, false);
  EXPECT_EQ(std::memcmp(before.Bits, f.doc->composite().Bits, size_t(before.ByteSize())), 0);
}

TEST(PaperCompose, OffsetsFarOutsideReadNothingAndChangeNothing) {
  ViewFixture f(40, 30, 40, 30);
  const int32_t i = f.randomLayer(0, 3, lbmNormal, 40, 30);
  for (const TPoint off : {TPoint{INT32_MAX, 0}, TPoint{INT32_MIN, INT32_MIN}, TPoint{-40, 0}, TPoint{0, 30}}) {
    f.layer(i)->offsetX = off.X;
    f.layer(i)->offsetY = off.Y;
    f.doc->composeRect(SRectXYWH{0, 0, 40, 30}, false);
    for (int32_t y = 0; y < 30; ++y)
      for (int32_t x = 0; x < 40; ++x) ASSERT_EQ(f.doc->composite().getPixel(x, y), 0xFFFFFFFFu) << off.X;
  }
}

TEST(PaperCompose, RectanglesOutsideTheCompositeAreIgnored) {
  ViewFixture f(40, 30, 40, 30);
  f.randomLayer(0, 3, lbmNormal, 40, 30);
  f.doc->composeRect(SRectXYWH{0, 0, 40, 30}, true);
  // The layer changes, but no rectangle below reaches the composite.
  EXPECT_TRUE(f.layer(0)->image->fillRGBRect(SRectXYWH{0, 0, 40, 30}, 0x00123456));
  const TMTC& composite = f.doc->composite();
  const std::vector<uint8_t> before(composite.Bits, composite.Bits + composite.ByteSize());
  f.doc->composeRect(SRectXYWH{-100, -100, 50, 50}, true);
  f.doc->composeRect(SRectXYWH{INT32_MAX - 5, 0, 5, 5}, true);
  f.doc->composeRect(SRectXYWH{10, 10, -4, 3}, true);
  EXPECT_TRUE(std::equal(before.begin(), before.end(), composite.Bits));
}

// ---- grid ---------------------------------------------------------------------------------

struct GridPrefs final : CViewPrefs {
  uint32_t colour = 0x80000000u;
  uint32_t gridColor() const override { return colour; }
};

TEST(PaperGrid, LinesFallOnMultiplesOfTheSpacing) {
  ViewFixture f(100, 100, 100, 100);
  GridPrefs prefs;
  prefs.colour = 0xFF0000FFu;  // red (a colour value: red in the low byte), opaque
  CViewPrefs* old = setViewPrefs(&prefs);
  f.doc->setGridSize(true, 25, 25, true);
  setViewPrefs(old);
  std::vector<int32_t> cols, rows;
  for (int32_t x = 0; x < 100; ++x)
    if (f.doc->composite().getPixel(x, 1) == 0xFFFF0000u) cols.push_back(x);
  for (int32_t y = 0; y < 100; ++y)
    if (f.doc->composite().getPixel(1, y) == 0xFFFF0000u) rows.push_back(y);
  EXPECT_EQ(cols, (std::vector<int32_t>{0, 25, 50, 75}));
  EXPECT_EQ(rows, (std::vector<int32_t>{0, 25, 50, 75}));
  EXPECT_EQ(f.doc->composite().getPixel(1, 1), 0xFFFFFFFFu);
}

TEST(PaperGrid, OverTheTransparentDisplayGridPixelsBecomeOpaqueFirst) {
  // alpha 0 -> white; alpha 1..254 -> white toward the colour by alpha; then the grid.
  struct Case {
    uint32_t pixel, expect;
  } cases[] = {{0x00123456u, 0xFF7F7F7Fu}, {0x80000000u, 0xFF3F3F3Fu}, {0xFF204060u, 0xFF0F1F2Fu}};
  for (const Case& c : cases) {
    uint32_t p = c.pixel;
    gridPixelOverWhite(&p, 0x000000u, 128);
    EXPECT_EQ(p, c.expect) << std::hex << c.pixel;
  }
}

TEST(PaperGrid, SpacingsBelowTwoBecomeTwo) {
  ViewFixture f(10, 10, 10, 10);
  f.doc->setGridSize(true, 0, 1, false);
  EXPECT_EQ(f.doc->view().gridX(), 2);
  EXPECT_EQ(f.doc->view().gridY(), 2);
  f.doc->setGridSize(false, -7, 40, false);
  EXPECT_EQ(f.doc->view().gridX(), 2);
  EXPECT_EQ(f.doc->view().gridY(), 40);
}

TEST(PaperGrid, RedrawFullDrawsTheGridWithoutRecomposing) {
  ViewFixture f(30, 30, 30, 30);
  f.doc->view().setGrid(true, 10, 10);
  fill(f.doc->composite(), 0xFF00FF00u);  // not what the layers would give
  f.doc->redrawFull();
  EXPECT_EQ(f.doc->composite().getPixel(5, 5), 0xFF00FF00u);
  EXPECT_NE(f.doc->composite().getPixel(10, 5), 0xFF00FF00u);
  EXPECT_GE(f.window.invalidations, 1);
}

// ---- view kernels -------------------------------------------------------------------------

TEST(PaperKernels, MagnifyMatchesItsReferenceOnRandomPlacements) {
  std::mt19937 rng(77);
  TMTC src(23, 17);
  for (int32_t y = 0; y < 17; ++y)
    for (int32_t x = 0; x < 23; ++x) *src.pixelAt(x, y) = rng();
  TMTC fast(61, 47), ref(61, 47);
  for (int round = 0; round < 300; ++round) {
    const int32_t k = 1 + int32_t(rng() % 16);
    const SRectXYWH r{int32_t(rng() % 30) - 5, int32_t(rng() % 24) - 5, int32_t(rng() % 30), int32_t(rng() % 24)};
    const TPoint origin{int32_t(rng() % 200) - 150, int32_t(rng() % 160) - 120};
    fill(fast, 0x11111111u);
    fill(ref, 0x11111111u);
    const bool a = magnifyInto(fast, src, r, origin, k);
    const bool b = reference::magnifyInto(ref, src, r, origin, k);
    ASSERT_EQ(a, b) << round;
    ASSERT_EQ(std::memcmp(fast.Bits, ref.Bits, size_t(fast.ByteSize())), 0) << round;
  }
}

TEST(PaperKernels, TheRotatedViewShowsTheSurroundLeftOfAndAboveTheCanvas) {
  TMTC src(8, 8);
  fill(src, 0xFF102030u);
  TMTC dst(20, 20);
  SRotatedView v;
  v.origin = {4, 4};  // the source centre at the target centre (10, 10)
  v.surround = 0x808080u;
  ASSERT_TRUE(renderRotatedInto(dst, src, TRect{0, 0, 20, 20}, v));
  EXPECT_EQ(dst.getPixel(5, 5), 0x808080u);    // source (-1, -1)
  EXPECT_EQ(dst.getPixel(6, 6), 0xFF102030u);  // source (0, 0)
  EXPECT_EQ(dst.getPixel(13, 13), 0xFF102030u);
  EXPECT_EQ(dst.getPixel(14, 13), 0x808080u);  // source (8, 7)
}

TEST(PaperKernels, TheRotatedViewFlattensOntoCellsOfTheSource) {
  TMTC src(32, 16);
  fill(src, 0x00000000u);  // transparent everywhere: the background shows
  TMTC dst(32, 16);
  SRotatedView v;
  v.origin = {16, 8};
  v.checker = true;
  ASSERT_TRUE(renderRotatedInto(dst, src, TRect{0, 0, 32, 16}, v));
  for (int32_t y = 0; y < 16; ++y)
    for (int32_t x = 0; x < 32; ++x) ASSERT_EQ(dst.getPixel(x, y), 0xFF000000u | checkColorAt(x, y)) << x << "," << y;
  EXPECT_EQ(checkColorAt(0, 0), kCheckEvenColor);
  EXPECT_EQ(checkColorAt(8, 0), kCheckOddColor);
  EXPECT_EQ(checkColorAt(-1, 0), kCheckOddColor);
}

TEST(PaperKernels, ExtremeZoomsStayInsideTheTarget) {
  TMTC src(10, 10);
  fill(src, 0xFF00FF00u);
  TMTC dst(16, 16);
  for (const float z : {1.0f / 16.0f, 16.0f}) {
    SRotatedView v;
    v.zoom = z;
    v.sinA = 0.5f;
    v.cosA = 0.8660254f;
    EXPECT_TRUE(renderRotatedInto(dst, src, TRect{-50, -50, 500, 500}, v));
  }
  SRotatedView broken;
  broken.zoom = 0.0f;
  EXPECT_FALSE(renderRotatedInto(dst, src, TRect{0, 0, 16, 16}, broken));
}

// ---- thumbnails and preview ----------------------------------------------------------------

TEST(PaperThumbnails, ChangesReadLaterGiveTheSamePixelsAsAWholeUpdate) {
  ViewFixture f(150, 90, 64, 48);
  const int32_t i = f.randomLayer(0, 21, lbmNormal, 190, 130, 17, 23);  // larger than the document
  CLayerData& l = *f.layer(i);
  ASSERT_TRUE(l.fitThumbnail());
  ASSERT_TRUE(l.updateThumbnail());
  std::mt19937 rng(8);
  for (int round = 0; round < 40; ++round) {
    const int32_t x = int32_t(rng() % 150), y = int32_t(rng() % 90);
    const TRect r{x, y, x + 1 + int32_t(rng() % 12), y + 1 + int32_t(rng() % 12)};
    for (int32_t py = r.Top; py < r.Bottom; ++py)
      for (int32_t px = r.Left; px < r.Right; ++px) EXPECT_TRUE(l.image->setPixel(px + 17, py + 23, rng()));
    f.doc->updateLayerPreview(false, i, r);
    // Changes gather until the thumbnail is read: read after every third.
    if (round % 3 != 2) continue;
    ASSERT_NE(l.freshThumbnail(), nullptr);
    auto whole = TMTC::CreateCopy(*l.thumbnail);
    ASSERT_TRUE(stretchImageToThumbnail(*l.image, SRectXYWH{17, 23, 150, 90}, *whole));
    ASSERT_EQ(std::memcmp(whole->Bits, l.thumbnail->Bits, size_t(whole->ByteSize())), 0) << round;
  }
}

TEST(PaperThumbnails, ThePreviewFollowsTheCompositeAndIsFlattened) {
  for (const bool canvas : {true, false}) {
    ViewFixture f(120, 80, 64, 48);
    f.doc->setBackgroundFlags(canvas, true);
    f.randomLayer(0, 31, lbmNormal, 120, 80);
    ASSERT_TRUE(f.doc->preview().Resize(37, 25));
    f.doc->redraw(false);
    f.doc->updateThumbnails(true, 0);
    TMTC whole(37, 25);
    auto expect = [&] {
      if (!downsampleRect4x4(f.doc->composite(), whole, 0, 0, 37, 25)) return false;
      if (!canvas) compositeOnChecker(whole, TRect{0, 0, 37, 25}, {0, 0}, {8, 8}, 0xFFE0E0E0u, 0xFFC8C8C8u);
      return std::memcmp(whole.Bits, f.doc->preview().Bits, size_t(whole.ByteSize())) == 0;
    };
    EXPECT_TRUE(expect());
    // A small change reaches the preview through its own rectangle only.
    for (int32_t y = 40; y < 47; ++y)
      for (int32_t x = 60; x < 75; ++x) EXPECT_TRUE(f.layer(0)->image->setPixel(x, y, 0xFF0000FFu));
    f.doc->repaintRect(0, TRect{60, 40, 75, 47});
    EXPECT_TRUE(expect()) << canvas;
  }
}

TEST(PaperThumbnails, MappingsCoverTheirRectangleAndStayOnThePlane) {
  struct Case {
    TRect rect;
    SSize picture, plane;
    bool hit;
    TRect expect;
  } cases[] = {
      {{0, 0, 100, 50}, {100, 50}, {48, 24}, true, {0, 0, 48, 24}},
      {{10, 10, 11, 11}, {100, 100}, {48, 48}, true, {3, 3, 7, 7}},
      {{-50, -50, -20, -20}, {100, 100}, {48, 48}, false, {}},
      {{0, 0, 10, 10}, {0, 100}, {48, 48}, false, {}},
      {{INT32_MIN, INT32_MIN, INT32_MAX, INT32_MAX}, {100, 100}, {48, 48}, true, {0, 0, 48, 48}},
  };
  for (const Case& c : cases) {
    TRect out{};
    ASSERT_EQ(mapRectToPlane(c.rect, c.picture, c.plane, out), c.hit) << c.rect.Left;
    if (c.hit) {
      EXPECT_EQ(out, c.expect) << c.rect.Left;
    }
  }
}

// ---- link opacities --------------------------------------------------------------------------

TEST(PaperLinks, LinkedOpacityMultipliesTheLowerLevels) {
  DocFixture f;
  for (int32_t i = 0; i < 4; ++i) f.addLayer(i, uint32_t(i));
  const int32_t levels[] = {0, 1, 2, 1};
  const uint8_t opacities[] = {128, 200, 255, 100};
  for (int32_t i = 0; i < 4; ++i) {
    f.layer(i)->setLinkLevel(levels[i]);
    f.layer(i)->opacity = opacities[i];
  }
  f.layer(2)->visible = false;
  LinkOpacityTable table{};
  std::vector<uint32_t> got;
  for (int32_t i = 0; i < 4; ++i) got.push_back(f.doc->linkedOpacity(i, table));
  // 128; 200*128/255 = 100; hidden; 100*128/255 = 50.
  EXPECT_EQ(got, (std::vector<uint32_t>{128, 100, 0, 50}));
  EXPECT_EQ(table[1].layerIndex, 3);
  EXPECT_EQ(f.doc->linkedOpacity(99, table), 0u);
}

// ---- flow transfers ----------------------------------------------------------------------------

TEST(PaperFlow, SyncCommitsOrReloadsTheClippedRectangleAndClearsCoverage) {
  ViewFixture f(40, 30, 40, 30);
  const int32_t i = f.randomLayer(0, 41, lbmNormal, 40, 30);
  ASSERT_TRUE(f.doc->loadFlowImage(*f.flow, i, true));
  fill(f.flow->coverage, 9);
  *f.flow->pixels.pixelAt(3, 4) = 0x12345678u;
  *f.flow->pixels.pixelAt(30, 20) = 0x9ABCDEF0u;
  // Commit a rectangle that reaches past the flow plane on two sides.
  ASSERT_TRUE(f.doc->syncFlowRect(*f.flow, i, true, TRect{-10, -10, 10, 10}));
  EXPECT_EQ(f.layer(i)->image->getPixel(3, 4), 0x12345678u);
  EXPECT_EQ(*f.flow->coverage.pixelAt(0, 0), 0);
  EXPECT_EQ(*f.flow->coverage.pixelAt(10, 10), 9);
  // Reload: the flow pixel outside the committed part comes back from the layer.
  const uint32_t original = f.layer(i)->image->getPixel(30, 20);
  ASSERT_TRUE(f.doc->syncFlowRect(*f.flow, i, false, TRect{25, 15, 100, 100}));
  EXPECT_EQ(*f.flow->pixels.pixelAt(30, 20), original);
  EXPECT_TRUE(f.flow->valid);
  EXPECT_FALSE(f.doc->syncFlowRect(*f.flow, i, false, TRect{50, 50, 60, 60}));
}

TEST(PaperFlow, ResetMergesOrReloadsTheWholePlane) {
  ViewFixture f(40, 30, 40, 30);
  const int32_t i = f.randomLayer(0, 42, lbmNormal, 40, 30);
  ASSERT_TRUE(f.doc->loadFlowImage(*f.flow, i, true));
  fill(f.flow->pixels, 0xFF445566u);
  ASSERT_TRUE(f.doc->resetFlowImage(*f.flow, i, true));
  EXPECT_EQ(f.layer(i)->image->getPixel(39, 29), 0xFF445566u);
  EXPECT_TRUE(f.layer(i)->image->setPixel(5, 5, 0x01020304u));
  ASSERT_TRUE(f.doc->resetFlowImage(*f.flow, i, false));
  EXPECT_EQ(*f.flow->pixels.pixelAt(5, 5), 0x01020304u);
}

TEST(PaperFlow, MergesAndLoadsAreClippedToTheImageAndThePlane) {
  ViewFixture f(40, 30, 40, 30);
  const int32_t i = f.randomLayer(0, 43, lbmNormal, 40, 30);
  TMTC plane(16, 16);
  fill(plane, 0xFF0000FFu);
  EXPECT_TRUE(f.doc->mergeFlowImage(i, plane, 255, SRectXYWH{-4, -4, 40, 40}, TPoint{30, 20}));
  EXPECT_EQ(f.layer(i)->image->getPixel(39, 29), 0xFF0000FFu);
  EXPECT_TRUE(f.doc->mergeFlowLayerRect(i, plane, 300, -8, -8));
  EXPECT_EQ(f.layer(i)->image->getPixel(7, 7), 0xFF0000FFu);
  TMTC out(8, 8);
  EXPECT_TRUE(f.doc->loadLayerAt(out, i, false, 255, -36, -26));
  EXPECT_EQ(out.getPixel(3, 3), 0xFF0000FFu);
  EXPECT_FALSE(f.doc->loadLayerRect(out, 99, false, 255, SRectXYWH{0, 0, 8, 8}, {0, 0}));
}

}  // namespace
}  // namespace pg::test
