#include "document/mask_mngr.h"

#include <algorithm>
#include <new>

#include "core/block_image.h"
#include "core/planes.h"
#include "document/layer_strings.h"
#include "document/tool_window_link.h"
#include "platform/string_table.h"

namespace pg {

std::string combineModeName(int32_t mode) {
  if (mode < 0 || mode > 3) return {};
  return resString(kStrCombineModeFirst + static_cast<uint32_t>(mode));
}

CMaskMngr::CMaskMngr(int32_t capacity) : ants_(nullptr, CAntPoints::kDefaultPattern) {
  if (capacity > 0) {
    try {
      masks_.reserve(static_cast<size_t>(capacity));
    } catch (const std::bad_alloc&) {
      // Only a hint.
    }
  }
  setCurrent(0);
  (void)setDefaultName(0, 1);  // mask 0 was just made
}

CMaskMngr::~CMaskMngr() = default;

void CMaskMngr::setDocumentSize(int32_t w, int32_t h) {
  docWidth_ = w;
  docHeight_ = h;
}

std::unique_ptr<CMaskData> CMaskMngr::newEmptyMask(int32_t index) const {
  try {
    return std::make_unique<CMaskData>(index);
  } catch (const std::bad_alloc&) {
    return nullptr;
  }
}

// ---- access -----------------------------------------------------------------

CMaskData* CMaskMngr::getMask(int32_t i) const {
  return isValidIndex(i) ? masks_[static_cast<size_t>(i)].get() : nullptr;
}

int32_t CMaskMngr::setCurrent(int32_t i) {
  if (i == count()) {
    std::unique_ptr<CMaskData> m = newEmptyMask(i);
    if (m && insertMask(i, std::move(m)) >= 0) renumber();
  }
  if (isValidIndex(i)) current_ = i;
  return current_;
}

bool CMaskMngr::exists(int32_t i) const { return CMaskData::hasImage(getMask(i)); }

int64_t CMaskMngr::memorySize() const {
  int64_t n = 0;
  for (const auto& m : masks_) n += m->memorySize();
  return n;
}

void CMaskMngr::renumber() {
  for (int32_t i = 0; i < count(); ++i) masks_[static_cast<size_t>(i)]->index = i;
}

void CMaskMngr::fixCurrent() {
  if (current_ >= count()) current_ = count() - 1;
}

// ---- names ------------------------------------------------------------------

bool CMaskMngr::setDefaultName(int32_t i, int32_t step) {
  CMaskData* m = getMask(i);
  if (!m) return false;
  nameCounter_ += step;
  m->name = resString(kStrMaskWord) + std::to_string(nameCounter_);
  return true;
}

// ---- list operations --------------------------------------------------------

std::unique_ptr<CMaskData> CMaskMngr::extractMask(int32_t i) {
  if (!isValidIndex(i)) return nullptr;
  std::unique_ptr<CMaskData> m = std::move(masks_[static_cast<size_t>(i)]);
  masks_.erase(masks_.begin() + i);
  if (tracedIndex_ == i) tracedIndex_ = -1;
  return m;
}

bool CMaskMngr::freeMaskAt(int32_t i) { return extractMask(i) != nullptr; }

void CMaskMngr::clear() {
  masks_.clear();
  tracedIndex_ = -1;
  fixCurrent();
}

int32_t CMaskMngr::insertMask(int32_t i, std::unique_ptr<CMaskData>&& mask) {
  if (!mask || i < 0 || i > count()) return -1;
  try {
    masks_.insert(masks_.begin() + i, std::move(mask));
  } catch (const std::bad_alloc&) {
    return -1;
  }
  return i;
}

std::unique_ptr<CMaskData> CMaskMngr::replaceMask(int32_t i, std::unique_ptr<CMaskData>&& mask) {
  if (!mask) return nullptr;
  if (!isValidIndex(i)) {
    insertMask(count(), std::move(mask));
    return nullptr;
  }
  std::unique_ptr<CMaskData> old = std::move(masks_[static_cast<size_t>(i)]);
  masks_[static_cast<size_t>(i)] = std::move(mask);
  return old;
}

int32_t CMaskMngr::addMask(int32_t i) {
  if (i < 0) i = current_;
  if (i < 0) i = count();
  std::unique_ptr<CMaskData> m = newEmptyMask(i);
  if (!m) return -1;
  const int32_t at = insertMask(i, std::move(m));
  if (at < 0) return -1;
  (void)setDefaultName(at, 1);  // at was just inserted
  renumber();
  return at;
}

int32_t CMaskMngr::insertMaskAt(int32_t i, std::unique_ptr<CMaskData>&& mask) {
  if (i < 0) i = current_;
  if (i < 0) i = count();
  const int32_t at = insertMask(i, std::move(mask));
  if (at >= 0) renumber();
  return at;
}

int32_t CMaskMngr::duplicateMask(int32_t i) {
  const CMaskData* src = getMask(i);
  if (!src) return -1;
  std::unique_ptr<CMaskData> copy = CMaskData::createCopy(*src);
  if (!copy) return -1;
  const int32_t at = insertMask(i, std::move(copy));
  if (at >= 0) renumber();
  return at;
}

int32_t CMaskMngr::moveMask(int32_t to, int32_t from) {
  if (!isValidIndex(to) || !isValidIndex(from) || to == from) return -1;
  std::unique_ptr<CMaskData> m = std::move(masks_[static_cast<size_t>(from)]);
  masks_.erase(masks_.begin() + from);
  masks_.insert(masks_.begin() + to, std::move(m));  // the room was just freed
  renumber();
  return to;
}

bool CMaskMngr::clearMaskAt(int32_t i, std::unique_ptr<CMaskData>& old) {
  CMaskData* m = getMask(i);
  if (!m) return false;
  std::unique_ptr<CMaskData> fresh = newEmptyMask(i);
  if (!fresh) return false;
  fresh->name = m->name;
  old = replaceMask(i, std::move(fresh));
  renumber();
  return true;
}

bool CMaskMngr::removeMask(int32_t i, std::unique_ptr<CMaskData>& mask) {
  std::unique_ptr<CMaskData> m = extractMask(i);
  if (!m) return false;
  mask = std::move(m);
  fixCurrent();
  renumber();
  return true;
}

bool CMaskMngr::swapMaskAt(int32_t i, std::unique_ptr<CMaskData>& mask) {
  if (!isValidIndex(i) || !mask) return false;
  std::swap(masks_[static_cast<size_t>(i)], mask);
  renumber();
  return true;
}

bool CMaskMngr::copyMaskInto(int32_t dst, int32_t src, std::unique_ptr<CMaskData>& old) {
  const CMaskData* s = getMask(src);
  if (!s || !isValidIndex(dst)) return false;
  std::unique_ptr<CMaskData> copy = CMaskData::createCopy(*s);
  if (!copy) return false;
  old = replaceMask(dst, std::move(copy));
  renumber();
  return true;
}

// ---- canvas -----------------------------------------------------------------

bool CMaskMngr::exceedsCanvas(int32_t i) const {
  const CMaskData* m = getMask(i);
  if (!CMaskData::hasImage(m)) return false;
  return m->imageWidth() > docWidth_ || m->imageHeight() > docHeight_;
}

bool CMaskMngr::liesWithinCanvas(const CMaskData& mask, TRect& rect) const {
  rect = mask.imageRect();
  return rect.Left >= 0 && rect.Top >= 0 && rect.Right <= docWidth_ && rect.Bottom <= docHeight_;
}

bool CMaskMngr::coversCanvas(const CMaskData& mask) const {
  const TRect r = mask.imageRect();
  return r.Left <= 0 && r.Top <= 0 && r.Right >= docWidth_ && r.Bottom >= docHeight_;
}

// ---- outline ----------------------------------------------------------------

void CMaskMngr::clearAnts() {
  ants_.clearAll();
  tracedIndex_ = -1;
}

}  // namespace pg
