#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <random>

#include "core/blend_arith.h"
#include "core/blend_modes.h"
#include "core/block_image.h"
#include "core/planes.h"
#include "document/layer_data.h"
#include "document/layer_mngr.h"
#include "document/layer_render.h"

namespace pg {
namespace {

void fillRandom(TMTC& p, uint32_t seed) {
  std::mt19937 rng(seed);
  for (int y = 0; y < p.Height; ++y)
    for (int x = 0; x < p.Width; ++x) *p.pixelAt(x, y) = rng();
}

bool samePixels(const TMTC& a, const TMTC& b) {
  for (int y = 0; y < a.Height; ++y)
    if (std::memcmp(a.pixelAt(0, y), b.pixelAt(0, y), static_cast<size_t>(a.Width) * 4) != 0) return false;
  return true;
}

// A 40 x 40 layer with random, half-transparent pixels.
std::unique_ptr<CLayerData> randomLayer(uint32_t mode) {
  auto l = std::make_unique<CLayerData>(0, false);
  EXPECT_TRUE(l->createImage(40, 40, static_cast<int>(mode)));
  std::mt19937 rng(7);
  for (int y = 0; y < 40; ++y)
    for (int x = 0; x < 40; ++x) EXPECT_TRUE(l->image->setPixel(x, y, (rng() & 0x00FFFFFFu) | 0x80000000u));
  return l;
}

// A dissolve layer repaints identically, and its plane form dithers as its
// tiled form does at the same place.
TEST(LayerRender, DissolveRepaintsIdentically) {
  std::unique_ptr<CLayerData> layer = randomLayer(lbmNormal);
  layer->dissolve = true;
  layer->dissolveAmount = 160;
  TMTC base(40, 40), a(40, 40), b(40, 40);
  fillRandom(base, 1);
  ASSERT_TRUE(a.copyPixelsFrom(base));
  ASSERT_TRUE(b.copyPixelsFrom(base));
  ASSERT_TRUE(layerToPlane(a, *layer, 0, 0));
  ASSERT_TRUE(layerToPlane(b, *layer, 0, 0));
  EXPECT_TRUE(samePixels(a, b));
  EXPECT_FALSE(samePixels(a, base));

  TMTC src(40, 40), c(40, 40);
  EXPECT_TRUE(layer->copyToPlane(src));
  ASSERT_TRUE(c.copyPixelsFrom(base));
  // In two halves, the lower first.
  ASSERT_TRUE(blendLayerRect(c, src, TPoint{0, 20}, *layer, SRectXYWH{0, 20, 40, 20}));
  ASSERT_TRUE(blendLayerRect(c, src, TPoint{0, 0}, *layer, SRectXYWH{0, 0, 40, 20}));
  EXPECT_TRUE(samePixels(c, a));
}

TEST(LayerRender, NeutralFillKeepsAlpha) {
  TMTC p(3, 2);
  fillRandom(p, 3);
  const uint32_t a = p.getPixel(2, 1) >> 24;
  fillNeutralRect(p, lbmOverlay);
  EXPECT_EQ(p.getPixel(2, 1), (a << 24) | 0x7F7F7Fu);
  CLayerData l(0, false);
  ASSERT_TRUE(l.createImage(8, 8, lbmScreen));
  EXPECT_TRUE(l.image->setPixel(1, 1, 0x80FFFFFFu));
  ASSERT_TRUE(fillImageNeutral(l));
  EXPECT_EQ(l.image->getPixel(1, 1), 0x80000000u);
}

TEST(LayerRender, CopyPlaneByKindPicksTheCoverageRoutine) {
  TMTC src(4, 4), dst(4, 4), ref(4, 4);
  fillRandom(src, 5);
  for (uint32_t kind : {0u, 1u, 2u, 3u, 9u}) {
    fillRandom(dst, 6);
    ASSERT_TRUE(ref.copyPixelsFrom(dst));
    (void)copyPlaneByKind(kind, dst, src, SRectXYWH{0, 0, 4, 4}, TPoint{0, 0}, 200);  // the pixels are checked below
    layerKindOps(kind).RectOp(ref, src, SRectXYWH{0, 0, 4, 4}, TPoint{0, 0}, 200);
    EXPECT_TRUE(samePixels(dst, ref)) << kind;
  }
}

TEST(LayerRender, MergingIntoAPlaneMatchesMergingIntoANormalLayer) {
  // A normal, opaque base layer merged with an upper layer must give the same
  // pixels as the plane form with the base as a plane.
  for (uint32_t upperMode : {lbmNormal, lbmMultiply, lbmOverlay, lbmHue}) {
    for (uint32_t kind : {0u, 1u, 2u, 3u}) {
      SCOPED_TRACE(std::to_string(upperMode) + " kind " + std::to_string(kind));
      CLayerMngr list(4);
      list.setDocumentSize(40, 40);
      list.addLayer(40, 40, lbmNormal, false, 255, true);
      TMTC base(40, 40);
      fillRandom(base, 11);
      EXPECT_TRUE(list.getLayer(0)->image->copyFromPlane(base, 0, 0, 255));
      list.insertAt(1, randomLayer(upperMode));
      list.getLayer(1)->opacity = 170;
      TMTC plane(40, 40);
      ASSERT_TRUE(plane.copyPixelsFrom(base));
      ASSERT_TRUE(mergeLinkedToPlane(plane, *list.getLayer(1), kind, TPoint{0, 0}, false));
      TMTC planes(40, 40), upperPlane(40, 40);
      ASSERT_TRUE(planes.copyPixelsFrom(base));
      EXPECT_TRUE(list.getLayer(1)->copyToPlane(upperPlane));
      ASSERT_TRUE(compositeLinkedPlanes(planes, upperPlane, upperMode, 170, kind, SRectXYWH{0, 0, 40, 40},
                                        TPoint{0, 0}, false));
      ASSERT_TRUE(list.mergeLayers(0, 1, false, kind));
      TMTC merged(40, 40);
      EXPECT_TRUE(list.getLayer(0)->copyToPlane(merged));
      EXPECT_TRUE(samePixels(plane, merged));
      EXPECT_TRUE(samePixels(planes, merged));
    }
  }
}

}  // namespace
}  // namespace pg
