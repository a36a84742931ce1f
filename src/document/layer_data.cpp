#include "document/layer_data.h"

#include <algorithm>
#include <new>

#include "core/blend_modes.h"
#include "core/block_image.h"
#include "core/composite_core.h"
#include "core/planes.h"
#include "document/layer_own_undo.h"
#include "document/layer_thumbnail.h"
#include "document/tool_window_link.h"
#include "platform/clock.h"

namespace pg {

namespace {
uint32_t gNextLayerId = 0;
LayerOwnUndoFactory& ownUndoFactory() {
  static LayerOwnUndoFactory f;
  return f;
}
}  // namespace

uint32_t peekNextLayerId() { return gNextLayerId; }

LayerOwnUndoFactory setLayerOwnUndoFactory(LayerOwnUndoFactory factory) {
  LayerOwnUndoFactory old = std::move(ownUndoFactory());
  ownUndoFactory() = std::move(factory);
  return old;
}

std::unique_ptr<CLayerOwnUndo> makeLayerOwnUndo() {
  if (!ownUndoFactory()) return nullptr;
  try {
    return ownUndoFactory()();
  } catch (const std::bad_alloc&) {
    return nullptr;
  }
}

CLayerData::CLayerData(int32_t index_, bool withOwnUndo) : index(index_), id(gNextLayerId++) {
  seedRandom(timeGetTime());
  if (withOwnUndo) ownUndo = makeLayerOwnUndo();
}

CLayerData::~CLayerData() = default;

void CLayerData::seedRandom(uint32_t seed) { initRandomRange(randomState, seed, 0, 255); }

// ---- image ------------------------------------------------------------------

bool CLayerData::hasImage() const { return image && image->isValid(); }
int32_t CLayerData::imageWidth() const { return image ? image->width() : 0; }
int32_t CLayerData::imageHeight() const { return image ? image->height() : 0; }

bool CLayerData::createImage(int32_t w, int32_t h, int32_t mode) {
  image.reset();
  thumbnail.reset();
  try {
    image = std::make_unique<CBlockVMTC>(w, h);
  } catch (const std::bad_alloc&) {
    image.reset();
  }
  if (!image || !image->isValid()) {
    image.reset();
    return false;
  }
  offsetX = offsetY = 0;
  width = w;
  height = h;
  visible = true;
  protectAlpha = false;
  opacity = 255;
  blendMode = static_cast<uint8_t>(mode);
  // An empty layer leaves what lies below unchanged: its mode's neutral colour
  // at alpha 0.
  image->fill(layerBlendNeutral(static_cast<uint32_t>(mode)) & 0x00FFFFFFu);
  try {
    thumbnail = std::make_unique<TMTC>();
  } catch (const std::bad_alloc&) {
    thumbnail.reset();
  }
  (void)fitThumbnail();  // a thumbnail that fails stays stale
  return true;
}

bool CLayerData::createImageLike(const CLayerData& other) {
  if (!other.hasImage()) return false;
  if (!createImage(other.imageWidth(), other.imageHeight(), other.blendMode)) return false;
  return assignFrom(other);
}

void CLayerData::freeImage() {
  visible = false;
  image.reset();
  thumbnail.reset();
  if (ownUndo) ownUndo->clear();
}

std::unique_ptr<CBlockVMTC> CLayerData::swapImage(std::unique_ptr<CBlockVMTC> img) {
  std::swap(image, img);
  return img;
}

// ---- thumbnail --------------------------------------------------------------

bool CLayerData::resizeThumbnail(int32_t boxW, int32_t boxH) {
  if (!thumbnail) {
    try {
      thumbnail = std::make_unique<TMTC>();
    } catch (const std::bad_alloc&) {
      return false;
    }
  }
  const SSize t = thumbnailSizeFor(SSize{width, height}, SSize{boxW, boxH});
  if (!thumbnail->Resize(t.W, t.H)) return false;
  fillPlane(*thumbnail, kThumbnailWhite);
  return true;
}

bool CLayerData::fitThumbnail() {
  const int32_t edge = toolWindowLink().layerThumbHeight();
  return resizeThumbnail(edge, edge);
}

bool CLayerData::updateThumbnail() {
  if (!hasImage() || !thumbnail || !thumbnail->IsAllocated()) return false;
  thumbPending_ = {};
  return stretchImageToThumbnail(*image, SRectXYWH{offsetX, offsetY, width, height}, *thumbnail);
}

void CLayerData::markThumbnailChanged(const SRectXYWH& changed) {
  if (changed.Width <= 0 || changed.Height <= 0) return;
  const TRect r = xywhToRect(changed);
  if (thumbPending_.Left >= thumbPending_.Right || thumbPending_.Top >= thumbPending_.Bottom)
    thumbPending_ = r;
  else
    unionRect(thumbPending_, r);
}

const TMTC* CLayerData::freshThumbnail() const {
  if (!thumbnail) return nullptr;
  if (thumbPending_.Left < thumbPending_.Right && thumbPending_.Top < thumbPending_.Bottom && hasImage() &&
      thumbnail->IsAllocated()) {
    // A thumbnail that fails stays stale, as a drawn one would.
    (void)stretchImageToThumbnailRect(*image, SRectXYWH{offsetX, offsetY, width, height}, *thumbnail,
                                      rectToXYWH(thumbPending_));
  }
  thumbPending_ = {};
  return thumbnail.get();
}

void CLayerData::fillThumbnail(bool transparent) {
  if (!thumbnail || !thumbnail->IsAllocated()) return;
  const uint32_t rgb = layerBlendNeutral(blendMode) & 0x00FFFFFFu;
  fillPlane(*thumbnail, transparent ? rgb : (rgb | 0xFF000000u));
}

// ---- geometry ---------------------------------------------------------------

bool CLayerData::clampOffset(bool clamp) {
  const int32_t maxX = imageWidth() - width;
  const int32_t maxY = imageHeight() - height;
  const bool inside = offsetX >= 0 && offsetX <= maxX && offsetY >= 0 && offsetY <= maxY;
  if (clamp && !inside) {
    // The upper bound first, so that an image smaller than the nominal size
    // ends at offset 0.
    offsetX = std::max(std::min(offsetX, maxX), 0);
    offsetY = std::max(std::min(offsetY, maxY), 0);
  }
  return inside;
}

bool CLayerData::moveBy(int32_t dx, int32_t dy) {
  offsetX -= dx;
  offsetY -= dy;
  (void)updateThumbnail();  // a thumbnail that fails stays stale
  return clampOffset(false);
}

bool CLayerData::exceedsImage() const { return imageWidth() > width || imageHeight() > height; }

TRect CLayerData::imageRect() const {
  return {-offsetX, -offsetY, imageWidth() - offsetX, imageHeight() - offsetY};
}

// ---- attributes -------------------------------------------------------------

void CLayerData::copyAttributes(const CLayerData& src) {
  name = src.name;
  visible = src.visible;
  opacity = src.opacity;
  protectAlpha = src.protectAlpha;
  blendMode = src.blendMode;
  linkLevel = src.linkLevel;
  dissolveAmount = src.dissolveAmount;
  dissolve = src.dissolve;
  randomState = src.randomState;
}

bool CLayerData::assignFrom(const CLayerData& src) {
  if (this == &src) return true;
  if (!hasImage() || !src.hasImage()) return false;
  if (!image->assignTiles(*src.image)) return false;
  const TMTC* srcThumb = src.freshThumbnail();
  if (thumbnail && srcThumb && thumbnail->IsAllocated() && srcThumb->IsAllocated()) {
    (void)compositePlane(*srcThumb, *thumbnail, 0, 0, 255);  // a clip result only: both are allocated
    thumbPending_ = {};
  }
  copyAttributes(src);
  offsetX = src.offsetX;
  offsetY = src.offsetY;
  width = src.width;
  height = src.height;
  if (ownUndo && src.ownUndo) ownUndo->assign(*src.ownUndo);
  return true;
}

std::unique_ptr<CLayerData> CLayerData::cloneRegion(SSize size, TPoint origin) const {
  if (!hasImage()) return nullptr;
  std::unique_ptr<CLayerData> l;
  try {
    l = std::make_unique<CLayerData>(index, hasOwnUndo());
  } catch (const std::bad_alloc&) {
    return nullptr;
  }
  if (!l->createImage(size.W, size.H, blendMode)) return nullptr;
  l->offsetX = origin.X + offsetX;
  l->offsetY = origin.Y + offsetY;
  l->width = width;
  l->height = height;
  if (!l->image->assignRect(*image, origin, SRectXYWH{0, 0, imageWidth(), imageHeight()}) &&
      l->image->commitFailed())
    return nullptr;
  return l;
}

void CLayerData::setLinkLevel(int32_t v) { linkLevel = std::clamp(v, 0, kMaxLinkLevel); }

void CLayerData::setAlphaAll(uint8_t a) {
  if (hasImage()) (void)image->fillAlphaAll(a);  // a failed commit stays in commitFailed() for the caller
}

void CLayerData::invertAlpha() {
  if (hasImage()) (void)image->xorAll(0xFF000000u);  // as in setAlphaAll
}

// ---- own undo ---------------------------------------------------------------

bool CLayerData::canUndoOwn() const { return ownUndo && ownUndo->canUndo(); }
bool CLayerData::canRedoOwn() const { return ownUndo && ownUndo->canRedo(); }
int64_t CLayerData::ownUndoMemory() const { return ownUndo ? ownUndo->memorySize() : 0; }
void CLayerData::dropOwnUndo() { ownUndo.reset(); }

bool CLayerData::recordOwnUndo(const TRect& rect) { return ownUndo && hasImage() && ownUndo->record(*this, rect); }

bool CLayerData::recordOwnUndoAll() {
  return recordOwnUndo(TRect{0, 0, imageWidth(), imageHeight()});
}

bool CLayerData::undoOwn(TMTC* plane, TRect& rect) {
  if (!ownUndo || !hasImage()) return false;
  if (!ownUndo->undo(*this, rect)) return false;
  if (plane && plane->IsAllocated()) {
    const SRectXYWH r = rectToXYWH(rect);
    image->copyToPlaneRect(*plane, TPoint{r.X, r.Y}, false, 255, r);
  }
  return true;
}

// ---- memory and copies ------------------------------------------------------

int64_t CLayerData::memorySize() const {
  int64_t n = image ? static_cast<int64_t>(image->committedBytes()) : 0;
  if (thumbnail) n += thumbnail->ByteSize();
  return n;
}

bool CLayerData::copyToPlane(TMTC& plane) const {
  return hasImage() && image->copyToPlane(plane, 0, 0, false, 255);
}

bool CLayerData::copyRectToPlane(TMTC& plane, const TRect& rect) const {
  return hasImage() && image->copyToPlaneRect(plane, TPoint{0, 0}, false, 255, rectToXYWH(rect));
}

}  // namespace pg
