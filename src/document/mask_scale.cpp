// Rescaling masks to a new document size.
#include <algorithm>
#include <new>

#include "core/area_scale.h"
#include "core/block_image.h"
#include "core/fixed_point.h"
#include "document/block_scale.h"
#include "document/mask_mngr.h"

namespace pg {

// Scales a 32-bit value by a 16.16 factor in signed 64 bits (offsets may be
// negative, products of large images and factors exceed 32 bits).
static int64_t scaleBy(int64_t v, int64_t f) { return (v * f) >> 16; }

std::unique_ptr<CMaskData> CMaskMngr::scaleMask(int32_t i, SSize newDocSize, int32_t method) const {
  const CMaskData* m = getMask(i);
  if (!m || (method != 1 && method != 2)) return nullptr;
  if (docWidth_ <= 0 || docHeight_ <= 0 || newDocSize.W <= 0 || newDocSize.H <= 0) return nullptr;
  if (!m->hasImage()) {
    std::unique_ptr<CMaskData> empty = CMaskData::createSized(m->index, 0, 0);
    if (empty) empty->name = m->name;
    return empty;
  }
  const int64_t fx = fixDiv(newDocSize.W, docWidth_);
  const int64_t fy = fixDiv(newDocSize.H, docHeight_);
  const int64_t w = scaleBy(m->imageWidth(), fx);
  const int64_t h = scaleBy(m->imageHeight(), fy);
  const int64_t ox = scaleBy(m->offsetX, fx);
  const int64_t oy = scaleBy(m->offsetY, fy);
  if (w < 1 || h < 1 || w > INT32_MAX || h > INT32_MAX || ox < INT32_MIN || ox > INT32_MAX || oy < INT32_MIN ||
      oy > INT32_MAX)
    return nullptr;
  std::unique_ptr<CMaskData> s = CMaskData::createSized(m->index, static_cast<int32_t>(w), static_cast<int32_t>(h));
  if (!s || !s->hasImage()) return nullptr;
  if (method == 1) {
    s->image->clearCommitFailed();
    (void)s->image->stretchFrom(*m->image);  // checked by commitFailed()
    if (s->image->commitFailed()) return nullptr;
  } else if (!resampleMask(*m->image, *s->image)) {
    return nullptr;
  }
  s->offsetX = static_cast<int32_t>(ox);
  s->offsetY = static_cast<int32_t>(oy);
  s->name = m->name;
  (void)s->fitThumbnail(newDocSize.W, newDocSize.H);  // a thumbnail that fails stays stale
  return s;
}

bool CMaskMngr::scaleAllMasks(SSize newDocSize, int32_t method) {
  // Every mask is scaled before any is replaced: a failure changes nothing.
  std::vector<std::unique_ptr<CMaskData>> scaled;
  try {
    scaled.reserve(masks_.size());
  } catch (const std::bad_alloc&) {
    return false;
  }
  for (int32_t i = 0; i < count(); ++i) {
    std::unique_ptr<CMaskData> s = scaleMask(i, newDocSize, method);
    if (!s) return false;
    scaled.push_back(std::move(s));
  }
  masks_ = std::move(scaled);
  renumber();
  tracedIndex_ = -1;
  setDocumentSize(newDocSize.W, newDocSize.H);
  return true;
}

std::unique_ptr<CMaskMngr> CMaskMngr::makeScaledMaskList(SSize newDocSize, int32_t method) const {
  std::unique_ptr<CMaskMngr> list;
  try {
    list = std::make_unique<CMaskMngr>(16);
  } catch (const std::bad_alloc&) {
    return nullptr;
  }
  list->masks_.clear();
  for (int32_t i = 0; i < count(); ++i) {
    std::unique_ptr<CMaskData> s = scaleMask(i, newDocSize, method);
    if (!s) return nullptr;
    try {
      list->masks_.push_back(std::move(s));
    } catch (const std::bad_alloc&) {
      return nullptr;
    }
  }
  list->renumber();
  list->nameCounter_ = nameCounter_;
  list->current_ = current_;
  list->fixCurrent();
  list->setDocumentSize(newDocSize.W, newDocSize.H);
  list->ants_.setView(ants_.view());
  return list;
}

}  // namespace pg
