// Building selection images: the four combine modes, merge, invert, crop,
// trim, thumbnails and the outline of the mask list.
#include <algorithm>
#include <new>

#include "core/blend_arith.h"
#include "core/block_image.h"
#include "core/planes.h"
#include "document/mask_mngr.h"
#include "document/tool_window_link.h"

namespace pg {

namespace {
// 8-bit: *dst := min(*dst, v).
void byteMin(uint8_t* dst, uint32_t v) {
  if (v < *dst) *dst = static_cast<uint8_t>(v);
}

std::unique_ptr<CMaskData> sizedMask(int32_t index, SSize size) {
  if (size.W <= 0 || size.H <= 0) return nullptr;
  return CMaskData::createSized(index, size.W, size.H);
}

// A mask of `r` (document coordinates) holding the old image at its place.
std::unique_ptr<CMaskData> maskOver(const CMaskData& old, const TRect& r) {
  std::unique_ptr<CMaskData> m = sizedMask(old.index, rectSize(r));
  if (!m) return nullptr;
  m->offsetX = -r.Left;
  m->offsetY = -r.Top;
  m->name = old.name;
  if (old.hasImage()) {
    const TRect o = old.imageRect();
    m->image->clearCommitFailed();
    (void)m->image->combineCopy(*old.image,  // checked by commitFailed() below
                                TPoint{o.Left - r.Left, o.Top - r.Top},
                          SRectXYWH{0, 0, old.imageWidth(), old.imageHeight()});
    if (m->image->commitFailed()) return nullptr;
  }
  m->image->compact();
  return m;
}
}  // namespace

// ---- combining --------------------------------------------------------------

std::unique_ptr<CMaskData> CMaskMngr::makeCombinedMask(int32_t i, const TChannel& region, int32_t mode,
                                                       TPoint offset, SSize size) const {
  if (!region.IsAllocated() || size.W <= 0 || size.H <= 0 || size.W > region.Width || size.H > region.Height)
    return nullptr;
  const CMaskData* old = getMask(i);
  const bool hasOld = CMaskData::hasImage(old);
  const int32_t index = old ? old->index : std::max(i, 0);
  // The region's rectangle in document coordinates.
  const TRect regionRect{-offset.X, -offset.Y, size.W - offset.X, size.H - offset.Y};
  const SRectXYWH whole{0, 0, size.W, size.H};
  std::unique_ptr<CMaskData> m;

  if (mode == kCombineCopy || (mode == kCombineAdd && !hasOld)) {
    m = sizedMask(index, size);
    if (!m) return nullptr;
    (void)m->image->copyFromChannel(region, TPoint{0, 0}, whole);  // checked by commitFailed() at the end
    m->offsetX = offset.X;
    m->offsetY = offset.Y;
  } else if (mode == kCombineAdd || mode == kCombineIntersect) {
    if (!hasOld) return nullptr;
    const TRect o = old->imageRect();
    TRect u = o;
    unionRect(u, regionRect);
    m = sizedMask(index, rectSize(u));
    if (!m) return nullptr;
    CBlockVCH& img = *m->image;
    // Checked by commitFailed() with the rest.
    (void)img.copyFromChannel(region, TPoint{regionRect.Left - u.Left, regionRect.Top - u.Top}, whole);
    const TPoint at{o.Left - u.Left, o.Top - u.Top};
    const SRectXYWH oldWhole{0, 0, old->imageWidth(), old->imageHeight()};
    if (mode == kCombineAdd) {
      (void)img.combine(*old->image, at, byteMax, oldWhole);  // as above
    } else {
      (void)img.combine(*old->image, at, byteMul, oldWhole);  // as above
      (void)img.fillOutsideXYWH(SRectXYWH{at.X, at.Y, oldWhole.Width, oldWhole.Height}, 0);  // as above
    }
    m->offsetX = -u.Left;
    m->offsetY = -u.Top;
  } else if (mode == kCombineSubtract) {
    if (!hasOld) return nullptr;
    // min(old, 255 - region) over the old image, computed in the new image:
    // the old mask is only read.
    m = sizedMask(index, SSize{old->imageWidth(), old->imageHeight()});
    if (!m) return nullptr;
    CBlockVCH& img = *m->image;
    const TRect o = old->imageRect();
    // Checked by commitFailed() with the rest.
    (void)img.copyFromChannel(region, TPoint{regionRect.Left - o.Left, regionRect.Top - o.Top}, whole);
    (void)img.xorAll(255);  // as above
    // As above.
    (void)img.combine(*old->image, TPoint{0, 0}, byteMin, SRectXYWH{0, 0, old->imageWidth(), old->imageHeight()});
    m->offsetX = old->offsetX;
    m->offsetY = old->offsetY;
  } else {
    return nullptr;
  }
  if (m->image->commitFailed()) return nullptr;
  m->image->compact();
  if (old) m->name = old->name;
  (void)updateMaskThumbnail(*m);  // a thumbnail that fails stays stale
  return m;
}

bool CMaskMngr::setMaskImage(int32_t i, const TChannel& region, int32_t mode, std::unique_ptr<CMaskData>& old,
                             TPoint offset, SSize size) {
  if (!isValidIndex(i)) return false;
  std::unique_ptr<CMaskData> m = makeCombinedMask(i, region, mode, offset, size);
  if (!m) return false;
  m->name = masks_[static_cast<size_t>(i)]->name;
  old = replaceMask(i, std::move(m));
  renumber();
  if (mode == kCombineAdd) (void)trimAfterAdd(i);  // untrimmed is still right, only larger
  return true;
}

bool CMaskMngr::mergeMask(int32_t dst, int32_t src, int32_t mode, std::unique_ptr<CMaskData>& old) {
  const CMaskData* s = getMask(src);
  const CMaskData* d = getMask(dst);
  if (!CMaskData::hasImage(s) || !d || mode < 0 || mode > 3) return false;
  std::unique_ptr<CMaskData> m;
  if (mode != kCombineCopy && d->hasImage()) {
    TChannel region;
    if (!region.Resize(s->imageWidth(), s->imageHeight())) return false;
    s->image->copyToChannel(region, 0, 0, false);
    m = makeCombinedMask(dst, region, mode, TPoint{s->offsetX, s->offsetY},
                         SSize{s->imageWidth(), s->imageHeight()});
  } else if (mode == kCombineCopy || mode == kCombineAdd) {
    m = CMaskData::createCopy(*s);
    if (m) (void)updateMaskThumbnail(*m);  // a thumbnail that fails stays stale
  } else {
    return false;  // nothing to subtract from or intersect with
  }
  if (!m) return false;
  m->name = d->name;
  m->index = dst;
  old = replaceMask(dst, std::move(m));
  renumber();
  return true;
}

// ---- invert, crop, trim -----------------------------------------------------

bool CMaskMngr::invertInPlace(int32_t i) {
  CMaskData* m = getMask(i);
  if (!CMaskData::hasImage(m)) return false;
  m->image->clearCommitFailed();
  (void)m->image->xorAll(255);  // checked by commitFailed()
  return !m->image->commitFailed();
}

bool CMaskMngr::invertMask(int32_t i, std::unique_ptr<CMaskData>& old) {
  CMaskData* m = getMask(i);
  if (!m) return false;
  // Inverting only the image is right when the image covers the whole
  // document; otherwise the document area outside the image must become
  // selected too, so a copy covering both is inverted.
  if (m->hasImage() && coversCanvas(*m)) {
    if (!invertInPlace(i)) return false;
    (void)updateMaskThumbnail(*m);  // a thumbnail that fails stays stale
    return true;
  }
  TRect u{0, 0, docWidth_, docHeight_};
  if (m->hasImage()) unionRect(u, m->imageRect());
  std::unique_ptr<CMaskData> inv = maskOver(*m, u);
  if (!inv) return false;
  inv->image->clearCommitFailed();
  (void)inv->image->xorAll(255);  // checked by commitFailed()
  if (inv->image->commitFailed()) return false;
  old = installRebuilt(i, std::move(inv));
  return true;
}

bool CMaskMngr::cropToCanvas(int32_t i, std::unique_ptr<CMaskData>& old) {
  CMaskData* m = getMask(i);
  if (!CMaskData::hasImage(m)) return false;
  TRect r;
  if (liesWithinCanvas(*m, r)) return true;
  std::unique_ptr<CMaskData> cropped = maskOver(*m, TRect{0, 0, docWidth_, docHeight_});
  if (!cropped) return false;
  old = installRebuilt(i, std::move(cropped));
  return true;
}

bool CMaskMngr::trimAfterAdd(int32_t i) {
  CMaskData* m = getMask(i);
  if (!CMaskData::hasImage(m)) return false;
  TRect r;
  if (liesWithinCanvas(*m, r)) return true;
  TRect keep{0, 0, docWidth_, docHeight_};
  TRect bounds;
  if (m->getBounds(bounds)) unionRect(keep, bounds);
  std::unique_ptr<CMaskData> trimmed = maskOver(*m, keep);
  if (!trimmed) return false;
  (void)installRebuilt(i, std::move(trimmed));  // frees the untrimmed mask
  return true;
}

std::unique_ptr<CMaskData> CMaskMngr::installRebuilt(int32_t i, std::unique_ptr<CMaskData>&& mask) {
  (void)updateMaskThumbnail(*mask);  // a thumbnail that fails stays stale
  std::unique_ptr<CMaskData> old = replaceMask(i, std::move(mask));
  renumber();
  return old;
}

// ---- thumbnails -------------------------------------------------------------

bool CMaskMngr::updateMaskThumbnail(CMaskData& mask) const {
  const int32_t edge = toolWindowLink().maskThumbHeight();
  return mask.updateThumbnail(docWidth_, docHeight_, edge, edge);
}

bool CMaskMngr::updateCurrentThumbnail() {
  CMaskData* m = currentMask();
  return m && updateMaskThumbnail(*m);
}

bool CMaskMngr::updateAllThumbnails() {
  bool ok = true;
  for (auto& m : masks_) ok = updateMaskThumbnail(*m) && ok;
  return ok;
}

// ---- outline ----------------------------------------------------------------

bool CMaskMngr::traceAnts(SSize docSize, int32_t i) { return traceMaskAnts(i, &docSize); }

bool CMaskMngr::traceAntsFull(int32_t i) { return traceMaskAnts(i, nullptr); }

bool CMaskMngr::traceMaskAnts(int32_t i, const SSize* docSize) {
  if (i < 0) i = current_;
  CMaskData* m = getMask(i);
  if (!CMaskData::hasImage(m)) {
    clearAnts();
    return m != nullptr;
  }
  TChannel plane;
  const SSize size = docSize != nullptr ? *docSize : SSize{m->imageWidth(), m->imageHeight()};
  if (!plane.Resize(size.W, size.H)) return false;
  const TPoint at = docSize != nullptr ? TPoint{-m->offsetX, -m->offsetY} : TPoint{};
  m->image->copyToChannel(plane, at.X, at.Y, false);
  if (!ants_.trace(plane, false)) return false;
  if (docSize == nullptr) ants_.setOrigin(-m->offsetX, -m->offsetY);
  tracedIndex_ = i;
  return true;
}

}  // namespace pg
