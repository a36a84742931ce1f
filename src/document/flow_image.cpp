#include "document/flow_image.h"

#include <algorithm>

#include "core/block_image.h"
#include "core/plane_ops.h"
#include "document/layer_data.h"
#include "document/layer_mngr.h"
#include "document/paper.h"

namespace pg {

namespace {

// White with alpha 0: the colour of a fresh tile, and of flow pixels that
// belong to no layer.
constexpr uint32_t kFlowBackground = 0x00FFFFFFu;

void fillPlaneRect(TMTC& plane, TRect r, uint32_t v) {
  if (!plane.clipRect(r)) return;
  for (int32_t y = r.Top; y < r.Bottom; ++y) {
    uint32_t* row = plane.pixelAt(0, y);
    std::fill(row + r.Left, row + r.Right, v);
  }
}

// Exchanges the pixel blocks of two planes of one class (the old block then
// goes with the other plane).
template <class Plane>
void swapPlaneData(Plane& a, Plane& b) {
  std::swap(static_cast<SDibInfo&>(a), static_cast<SDibInfo&>(b));
}

void clearChannel(TChannel& ch) {
  for (int32_t y = 0; y < ch.Height; ++y) {
    uint8_t* row = ch.pixelAt(0, y);
    std::fill(row, row + ch.Width, uint8_t{0});
  }
}

}  // namespace

TFlowImage::TFlowImage(TPaper* owner) : owner(owner) {}

bool TFlowImage::growTo(int32_t w, int32_t h) {
  if (pixels.Width >= w && pixels.Height >= h && coverage.Width >= w && coverage.Height >= h) return true;
  const int32_t nw = std::max(w, pixels.Width), nh = std::max(h, pixels.Height);
  TMTC grownPixels;
  TChannel grownCoverage;
  if (!grownPixels.Resize(nw, nh) || !grownCoverage.Resize(nw, nh)) return false;
  fill(grownPixels, kFlowBackground);
  fill(grownCoverage, 0);
  swapPlaneData(pixels, grownPixels);
  swapPlaneData(coverage, grownCoverage);
  valid = false;
  return true;
}

bool TFlowImage::loadLayer(int32_t index, CBlockVMTC& image, bool force, uint32_t layerId) {
  const int32_t w = std::max(image.width(), pixels.Width);
  const int32_t h = std::max(image.height(), pixels.Height);
  const SRectXYWH whole{0, 0, image.width(), image.height()};
  bool copied = false;
  if (pixels.Width < w || pixels.Height < h) {
    // Grow first; a plane that cannot grow leaves everything as it was.
    TMTC grown;
    TChannel grownCoverage;
    if (!grown.Resize(w, h) || !grownCoverage.Resize(w, h)) {
      // The pixels no longer match the layer the caller meant to load: a
      // later load must not take them for it.
      valid = false;
      return false;
    }
    swapPlaneData(pixels, grown);
    swapPlaneData(coverage, grownCoverage);
    fillPlaneRect(pixels, TRect{0, 0, w, h}, kFlowBackground);
    image.copyToPlaneRect(pixels, TPoint{0, 0}, false, 255, whole);
    copied = true;
  } else if (!force && index == layerIndex && valid && layerId == layerId_ &&
             layerSize_ == SSize{image.width(), image.height()}) {
    copied = false;
  } else {
    image.compact();
    // Pixels beyond the image belong to no layer: they must not carry what
    // an earlier, larger image left there.
    fillPlaneRect(pixels, TRect{image.width(), 0, pixels.Width, pixels.Height}, kFlowBackground);
    fillPlaneRect(pixels, TRect{0, image.height(), image.width(), pixels.Height}, kFlowBackground);
    image.copyToPlaneRect(pixels, TPoint{0, 0}, false, 255, whole);
    copied = true;
  }
  if (copied) {
    clearChannel(coverage);
    noteLoaded(index, layerId, SSize{image.width(), image.height()});
  }
  if (owner != nullptr) {
    if (const CLayerData* layer = owner->layers() ? owner->layers()->getLayer(index) : nullptr) {
      layerOffset = {layer->offsetX, layer->offsetY};
    }
    docSize = {owner->width(), owner->height()};
  }
  return copied;
}

bool TFlowImage::fitDocument(bool keepSize) {
  if (owner == nullptr) return false;
  SSize want{};
  if (!owner->maxLayerSize(want)) return false;
  // A plane that already holds every layer may stay larger (no new plane for
  // a layer that shrank); one that does not is made to what the layers need,
  // never to the union of its old and new sizes: a quarter turn of a wide
  // layer would otherwise square the plane.
  if (!keepSize && pixels.Width >= want.W && pixels.Height >= want.H) return false;
  if (pixels.Width == want.W && pixels.Height == want.H) return false;
  valid = false;
  if (!pixels.Resize(want.W, want.H) || !coverage.Resize(want.W, want.H)) {
    pixels.FreeData();
    coverage.FreeData();
    return true;
  }
  fillPlaneRect(pixels, TRect{0, 0, want.W, want.H}, kFlowBackground);
  clearChannel(coverage);
  layerOffset = {0, 0};
  docSize = {owner->width(), owner->height()};
  return true;
}

void TFlowImage::noteLoaded(int32_t index, uint32_t layerId, SSize imageSize) {
  layerIndex = index;
  layerId_ = layerId;
  layerSize_ = imageSize;
  valid = true;
}

TMTC& TFlowImage::layerPixels(SSize imageSize) {
  pixelPart_.lay(pixels, imageSize);
  return pixelPart_;
}

TChannel& TFlowImage::layerCoverage(SSize imageSize) {
  coveragePart_.lay(coverage, imageSize);
  return coveragePart_;
}

void TFlowImage::reloadRect(CBlockVMTC& image, const TRect& rect) {
  TRect r = rect;
  if (!intersectRect(r, TRect{0, 0, std::min(image.width(), pixels.Width), std::min(image.height(), pixels.Height)}))
    return;
  image.copyToPlaneRect(pixels, TPoint{r.Left, r.Top}, false, 255, rectToXYWH(r));
  for (int32_t y = r.Top; y < r.Bottom; ++y) {
    uint8_t* row = coverage.pixelAt(0, y);
    std::fill(row + r.Left, row + r.Right, uint8_t{0});
  }
}

}  // namespace pg
