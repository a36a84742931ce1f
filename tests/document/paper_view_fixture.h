#pragma once
// A window surface with a back buffer, layers of seeded random pixels, and
// the composite worked out pixel by pixel from the blend operators: what the
// composition and view painting tests compare against.
#include <cstdint>
#include <random>
#include <vector>

#include "core/blend_arith.h"
#include "core/blend_modes.h"
#include "core/block_image.h"
#include "core/composite_core.h"
#include "core/plane_ops.h"
#include "document/layer_blend.h"
#include "document/paper.h"
#include "document/paper_view.h"
#include "doc_fixture.h"

namespace pg::test {

inline constexpr uint32_t kUnpainted = 0xDEADBEEFu;

class FakeSurface final : public IViewSurface {
 public:
  FakeSurface(int32_t w, int32_t h) : buffer(w, h) { fill(buffer, kUnpainted); }
  SSize clientSize() const override { return buffer.size(); }
  TMTC* backBuffer() override { return &buffer; }
  void presentRect(const TRect& r) override { presented.push_back(r); }
  void updateNow() override { ++updates; }

  TMTC buffer;
  std::vector<TRect> presented;
  int32_t updates = 0;
};

// Random pixels over a layer's image, with whole tiles left uniform (some
// transparent, some opaque) so that both kinds of tiles take part.
inline void randomizeLayer(CLayerData& layer, uint32_t seed) {
  std::mt19937 rng(seed);
  CBlockVMTC& img = *layer.image;
  for (int32_t ty = 0; ty < img.rows(); ++ty)
    for (int32_t tx = 0; tx < img.columns(); ++tx) {
      const uint32_t kind = rng() % 4;
      const SRectXYWH tile{tx * 32, ty * 32, 32, 32};
      if (kind == 0) continue;  // stays uniform, transparent
      if (kind == 1) {
        EXPECT_TRUE(img.fillMaskedRect(tile, 0xFFFFFFFFu, rng() | 0xFF000000u));
        continue;
      }
      for (int32_t y = tile.Y; y < std::min(tile.Y + 32, img.height()); ++y)
        for (int32_t x = tile.X; x < std::min(tile.X + 32, img.width()); ++x) {
          uint32_t p = rng();
          if (kind == 2) p |= 0xFF000000u;  // opaque pixels
          EXPECT_TRUE(img.setPixel(x, y, p));
        }
    }
}

// One document pixel as the composition defines it: the background, then
// every visible layer with opacity above 0, by its mode's operator (canvas
// colour) or merged into a Normal base keeping alpha (transparent display).
inline uint32_t referencePixel(const TPaper& doc, int32_t x, int32_t y) {
  const bool canvas = doc.showCanvasColor();
  uint32_t d = canvas ? (0xFF000000u | doc.paperColor().pixel()) : 0x00FFFFFFu;
  const CLayerMngr& layers = *doc.layers();
  for (int32_t i = 0; i < layers.count(); ++i) {
    const CLayerData& l = *layers.getLayer(i);
    if (!l.visible || l.opacity == 0 || !l.image) continue;
    const int64_t lx = int64_t{x} + l.offsetX, ly = int64_t{y} + l.offsetY;
    if (lx < 0 || ly < 0 || lx >= l.imageWidth() || ly >= l.imageHeight()) continue;
    const uint32_t s = l.image->getPixel(static_cast<int32_t>(lx), static_cast<int32_t>(ly));
    if (canvas) {
      layerBlendInfo(l.blendMode)->SrcAlphaOp(&d, s, l.opacity);
      continue;
    }
    if (PixelOp32 op = mergeOperator(findLinkPair(lbmNormal, l.blendMode, 3), lbmNormal, l.blendMode)) {
      d = (d & 0x00FFFFFFu) | (productAt(d >> 24, 255) << 24);
      op(&d, s, l.opacity);
    } else {
      SPixelBlendOps ops{};
      EXPECT_TRUE(linkMergeOps(lbmNormal, l.blendMode, true, ops));
      d = (d & 0x00FFFFFFu) | (productAt(255, d >> 24) << 24);
      compositePixelOps(&d, s, l.opacity, ops);
    }
  }
  return d;
}

// A document of w x h with its composite, fakes around it, and a window
// surface of the given client size.
struct ViewFixture : DocFixture {
  ViewFixture(int32_t w, int32_t h, int32_t clientW, int32_t clientH) : DocFixture(8, w, h), surface(clientW, clientH) {
    EXPECT_TRUE(doc->setSize(flow.get(), w, h));
    doc->setViewSurface(&surface);
    window.repainted.clear();
  }

  // A layer of random pixels; size and offset as given.
  int32_t randomLayer(int32_t index, uint32_t seed, uint8_t mode, int32_t w, int32_t h, int32_t offX = 0,
                      int32_t offY = 0) {
    const int32_t at = doc->insertLayer(index, w, h, true, 255, mode);
    CLayerData* l = layer(at);
    randomizeLayer(*l, seed);
    l->offsetX = offX;
    l->offsetY = offY;
    return at;
  }

  FakeSurface surface;
};

}  // namespace pg::test
