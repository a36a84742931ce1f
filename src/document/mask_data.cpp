#include "document/mask_data.h"

#include <algorithm>
#include <cstring>
#include <new>

#include "core/blend_arith.h"
#include "core/block_image.h"
#include "core/planes.h"
#include "document/layer_data.h"
#include "document/layer_strings.h"
#include "document/layer_thumbnail.h"
#include "document/tool_window_link.h"
#include "platform/string_table.h"

namespace pg {

namespace {
uint32_t gNextMaskId = 0;

std::unique_ptr<CBlockVCH> newChannel(int32_t w, int32_t h) {
  std::unique_ptr<CBlockVCH> c;
  try {
    c = std::make_unique<CBlockVCH>(w, h);
  } catch (const std::bad_alloc&) {
    return nullptr;
  }
  if (!c->isValid()) return nullptr;
  return c;
}

std::string derivedName(uint32_t word, const std::string& layerName) {
  return resString(word) + "(" + layerName + ")";
}
}  // namespace

CMaskData::CMaskData(int32_t index_) : index(index_), id(gNextMaskId++), thumbnail(std::make_unique<TTC>()) {}

CMaskData::~CMaskData() = default;

std::unique_ptr<CMaskData> CMaskData::createSized(int32_t index, int32_t w, int32_t h) {
  std::unique_ptr<CMaskData> m;
  try {
    m = std::make_unique<CMaskData>(index);
  } catch (const std::bad_alloc&) {
    return nullptr;
  }
  if (w > 0 && h > 0 && !m->createImage(w, h)) return nullptr;
  return m;
}

std::unique_ptr<CMaskData> CMaskData::createCopy(const CMaskData& src) {
  std::unique_ptr<CMaskData> m;
  try {
    m = std::make_unique<CMaskData>(src.index);
  } catch (const std::bad_alloc&) {
    return nullptr;
  }
  if (src.hasImage()) {
    m->image = newChannel(src.imageWidth(), src.imageHeight());
    if (!m->image || !m->image->assignFrom(*src.image)) return nullptr;
  }
  if (src.thumbnail && src.thumbnail->IsAllocated()) {
    if (!m->thumbnail->Resize(src.thumbnail->Width, src.thumbnail->Height)) return nullptr;
    (void)m->thumbnail->copyPixelsFrom(*src.thumbnail);  // same size: cannot fail
  }
  m->offsetX = src.offsetX;
  m->offsetY = src.offsetY;
  m->name = src.name;
  return m;
}

bool CMaskData::createImage(int32_t w, int32_t h) {
  image = newChannel(w, h);
  return hasImage();
}

bool CMaskData::hasImage() const { return image && image->isValid(); }
int32_t CMaskData::imageWidth() const { return image ? image->width() : 0; }
int32_t CMaskData::imageHeight() const { return image ? image->height() : 0; }

std::unique_ptr<CBlockVCH> CMaskData::swapImage(std::unique_ptr<CBlockVCH> img) {
  std::swap(image, img);
  return img;
}

// ---- masks and layers -------------------------------------------------------

namespace {

// The mask becomes a channel the fill draws from the layer's image, placed
// where the layer's image is and named after the layer with the word.
template <class Fill>
bool maskFromLayer(CMaskData& mask, const CLayerData& layer, uint32_t word, Fill fill) {
  if (!layer.hasImage()) return false;
  std::unique_ptr<CBlockVCH> img = newChannel(layer.imageWidth(), layer.imageHeight());
  if (!img || !fill(*img)) return false;
  img->compact();
  mask.image = std::move(img);
  mask.offsetX = layer.offsetX;
  mask.offsetY = layer.offsetY;
  (void)mask.fitThumbnail(layer.width, layer.height);  // a thumbnail that fails stays stale
  mask.name = derivedName(word, layer.name);
  return true;
}

}  // namespace

bool CMaskData::fromLayerLuminance(const CLayerData& layer, bool invert) {
  return maskFromLayer(*this, layer, kStrBrightnessWord,
                       [&](CBlockVCH& img) { return img.fromLuminance(*layer.image, invert); });
}

bool CMaskData::fromLayerAlpha(const CLayerData& layer) {
  return maskFromLayer(*this, layer, kStrMaskWord, [&](CBlockVCH& img) { return img.fromAlpha(*layer.image); });
}

bool CMaskData::writeToLayerAlpha(CLayerData& layer) const {
  if (!hasImage()) return true;
  if (!layer.hasImage()) return false;
  CBlockVMTC& dst = *layer.image;
  dst.clearCommitFailed();
  // Layer pixel (x, y) is mask pixel (x + dx, y + dy).
  const int32_t dx = offsetX - layer.offsetX;
  const int32_t dy = offsetY - layer.offsetY;
  CBlockVCH& src = *image;
  // The layer's tiles under the mask are committed before any alpha changes:
  // short of memory, the layer stays as it was. Outside the mask the alpha
  // becomes a uniform 0, which takes no memory.
  const int64_t left = -int64_t{dx}, top = -int64_t{dy};
  if (left < dst.width() && top < dst.height() && left + src.width() > 0 && top + src.height() > 0) {
    TRect under{static_cast<int32_t>(std::max<int64_t>(left, 0)), static_cast<int32_t>(std::max<int64_t>(top, 0)),
                static_cast<int32_t>(std::min<int64_t>(left + src.width(), dst.width())),
                static_cast<int32_t>(std::min<int64_t>(top + src.height(), dst.height()))};
    if (!dst.commitRect(rectToXYWH(under))) return false;
  }
  (void)dst.fillAlphaAll(0);  // every write here is checked by commitFailed() at the end
  // Walk the overlap in the layer's coordinates, piece by piece of the mask
  // tiles: a uniform piece sets the alpha of a whole rectangle at once.
  const SRectXYWH overlapInMask{0, 0, src.width(), src.height()};
  // Every write is checked by commitFailed() at the end.
  (void)src.forEachTileToPlane(dst.size(), TPoint{-dx, -dy}, overlapInMask,
                         [&](STileRec& t, const SRectXYWH& piece, TPoint at) {
                           if (!t.committed()) {
                             if (t.uniform & 0xFF)
                               // Checked by commitFailed() at the end.
                               (void)dst.fillAlphaRect(SRectXYWH{at.X, at.Y, piece.Width, piece.Height}, t.uniform & 0xFF);
                             return true;
                           }
                           for (int32_t y = 0; y < piece.Height; ++y)
                             for (int32_t x = 0; x < piece.Width; ++x) {
                               const uint8_t v = src.getPixel(piece.X + x, piece.Y + y);
                               if (!v) continue;
                               uint32_t* p = dst.pixelPtr(at.X + x, at.Y + y);
                               if (!p) return false;
                               *p = (*p & 0x00FFFFFFu) | (static_cast<uint32_t>(v) << 24);
                             }
                           return true;
                         });
  dst.compact();
  return !dst.commitFailed();
}

bool CMaskData::applyToPlaneAlpha(TMTC& plane) const {
  if (!hasImage() || !plane.IsAllocated()) return false;
  // Plane pixel (x, y) is document point (x, y), mask pixel (x + offsetX, y + offsetY).
  TRect r{-offsetX, -offsetY, imageWidth() - offsetX, imageHeight() - offsetY};
  if (!plane.clipRect(r)) return false;
  for (int32_t y = r.Top; y < r.Bottom; ++y) {
    uint32_t* row = plane.pixelAt(0, y);
    for (int32_t x = r.Left; x < r.Right; ++x) {
      const uint32_t m = image->getPixel(x + offsetX, y + offsetY);
      const uint32_t a = productAt(row[x] >> 24, m);
      row[x] = (row[x] & 0x00FFFFFFu) | (a << 24);
    }
  }
  return true;
}

// ---- geometry and values ----------------------------------------------------

TRect CMaskData::imageRect() const {
  return {-offsetX, -offsetY, imageWidth() - offsetX, imageHeight() - offsetY};
}

bool CMaskData::getBounds(TRect& r) const {
  if (!hasImage() || !image->getBounds(r)) return false;
  offsetRect(r, -offsetX, -offsetY);
  return true;
}

bool CMaskData::getTileBounds(TRect& r) const {
  if (!hasImage() || !image->getTileBounds(r)) return false;
  if (!image->clipRect(r)) return false;
  offsetRect(r, -offsetX, -offsetY);
  return true;
}

int32_t CMaskData::valueAtPaper(int32_t x, int32_t y) const {
  if (!hasImage()) return -1;
  const int64_t ix = static_cast<int64_t>(x) + offsetX;
  const int64_t iy = static_cast<int64_t>(y) + offsetY;
  if (ix < 0 || iy < 0 || ix >= imageWidth() || iy >= imageHeight()) return -1;
  return image->getPixel(static_cast<int32_t>(ix), static_cast<int32_t>(iy));
}

int32_t CMaskData::valueAt(int32_t x, int32_t y, int32_t scale) const {
  if (!hasImage() || !insideGrid(x, y, imageWidth(), imageHeight())) return 0;
  return static_cast<int32_t>(static_cast<int64_t>(image->getPixel(x, y)) * scale / 255);
}

int64_t CMaskData::memorySize() const { return image ? static_cast<int64_t>(image->committedBytes()) : 0; }

// ---- thumbnail --------------------------------------------------------------

bool CMaskData::resizeThumbnail(int32_t docW, int32_t docH, int32_t boxW, int32_t boxH) {
  if (!thumbnail) {
    try {
      thumbnail = std::make_unique<TTC>();
    } catch (const std::bad_alloc&) {
      return false;
    }
  }
  const SSize t = thumbnailSizeFor(SSize{docW, docH}, SSize{boxW, boxH});
  if (thumbnail->IsAllocated() && thumbnail->Width == t.W && thumbnail->Height == t.H) return true;
  if (!thumbnail->Resize(t.W, t.H)) return false;
  fillPlane(*thumbnail, 0);
  return true;
}

bool CMaskData::drawThumbnail(int32_t docW, int32_t docH) {
  if (!thumbnail || !thumbnail->IsAllocated()) return false;
  if (!hasImage() || docW <= 0 || docH <= 0) {
    fillPlane(*thumbnail, 0);
    return hasImage();
  }
  return image->stretchToChannel(*thumbnail, SRectXYWH{0, 0, thumbnail->Width, thumbnail->Height},
                                 SRectXYWH{offsetX, offsetY, docW, docH});
}

bool CMaskData::fitThumbnail(int32_t docW, int32_t docH) {
  const int32_t edge = toolWindowLink().maskThumbHeight();
  return updateThumbnail(docW, docH, edge, edge);
}

bool CMaskData::updateThumbnail(int32_t docW, int32_t docH, int32_t boxW, int32_t boxH) {
  if (!resizeThumbnail(docW, docH, boxW, boxH)) return false;
  (void)drawThumbnail(docW, docH);  // a thumbnail that fails stays stale
  return true;
}

}  // namespace pg
