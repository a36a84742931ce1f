#include "document/layer_mngr.h"

#include <algorithm>
#include <new>

#include "core/block_image.h"
#include "core/planes.h"
#include "document/layer_strings.h"
#include "document/tool_window_link.h"
#include "platform/string_table.h"

namespace pg {

CLayerMngr::CLayerMngr(int32_t capacity) {
  if (capacity > 0) {
    try {
      layers_.reserve(static_cast<size_t>(std::min(capacity, kMaxLayers)));
    } catch (const std::bad_alloc&) {
      // Only a hint: the list grows as layers come.
    }
  }
  thumbWidth_ = thumbHeight_ = toolWindowLink().layerThumbHeight();
}

CLayerMngr::~CLayerMngr() = default;

void CLayerMngr::setDocumentSize(int32_t w, int32_t h) {
  docWidth_ = w;
  docHeight_ = h;
}

// ---- names ------------------------------------------------------------------

std::string CLayerMngr::makeLayerName(int32_t step) const {
  return resString(kStrLayerWord) +
         std::to_string(static_cast<int64_t>(nameCounter_) + static_cast<int64_t>(step));
}

bool CLayerMngr::setDefaultName(int32_t index, int32_t step) {
  CLayerData* l = getLayer(index);
  if (!l) return false;
  nameCounter_ += step;
  l->name = makeLayerName(0);
  return true;
}

bool CLayerMngr::copyName(int32_t dst, int32_t src) {
  CLayerData* d = getLayer(dst);
  CLayerData* s = getLayer(src);
  if (!d || !s) return false;
  d->name = s->name;
  return true;
}

// ---- access -----------------------------------------------------------------

CLayerData* CLayerMngr::getLayer(int32_t i) const {
  return isValidIndex(i) ? layers_[static_cast<size_t>(i)].get() : nullptr;
}

int32_t CLayerMngr::setCurrent(int32_t i) {
  if (isValidIndex(i)) current_ = i;
  return current_;
}

int64_t CLayerMngr::layerId(int32_t i) const {
  const CLayerData* l = getLayer(i);
  return l ? static_cast<int64_t>(l->id) : -1;
}

int32_t CLayerMngr::indexOfId(uint32_t id) const {
  for (int32_t i = 0; i < count(); ++i)
    if (layers_[static_cast<size_t>(i)]->id == id) return i;
  return -1;
}

bool CLayerMngr::findById(uint32_t id, int32_t& index, CLayerData*& layer) const {
  index = indexOfId(id);
  layer = getLayer(index);
  return layer != nullptr;
}

// ---- insertion and removal --------------------------------------------------

int32_t CLayerMngr::insertLayer(int32_t index, int32_t w, int32_t h, int32_t mode, bool withOwnUndo,
                                uint8_t opacity, bool visible) {
  if (index < 0) {
    layerWarning(kStrInvalidLayerIndex);
    return -1;
  }
  std::unique_ptr<CLayerData> layer;
  try {
    layer = std::make_unique<CLayerData>(index, withOwnUndo);
  } catch (const std::bad_alloc&) {
    layer.reset();
  }
  if (!layer || !canAddLayer() || !layer->createImage(w, h, mode)) {
    layerWarning(kStrLayerInitFailed);
    return -1;
  }
  const int32_t at = insertAt(index, std::move(layer));
  if (at < 0) {
    layerWarning(kStrLayerInitFailed);
    return -1;
  }
  CLayerData* l = getLayer(at);
  l->opacity = opacity;
  l->visible = visible;
  l->width = docWidth_;
  l->height = docHeight_;
  if (current_ == -1) current_ = 0;
  renumber();
  return at;
}

int32_t CLayerMngr::insertAt(int32_t index, std::unique_ptr<CLayerData>&& layer) {
  if (!layer || !canAddLayer()) return -1;
  try {
    if (index < 0 || index >= count()) {
      layers_.push_back(std::move(layer));
      return count() - 1;
    }
    layers_.insert(layers_.begin() + index, std::move(layer));
  } catch (const std::bad_alloc&) {
    return -1;
  }
  return index;
}

bool CLayerMngr::reserveLayers(int32_t extra) {
  if (extra < 0 || extra > maxLayers_ - count()) return false;
  try {
    layers_.reserve(layers_.size() + static_cast<size_t>(extra));
  } catch (const std::bad_alloc&) {
    return false;
  }
  return true;
}

int32_t CLayerMngr::insertExisting(int32_t index, std::unique_ptr<CLayerData>&& layer) {
  if (index < 0) {
    layerWarning(kStrInvalidLayerIndex);
    return -1;
  }
  const int32_t at = insertAt(index, std::move(layer));
  if (at < 0) return -1;
  fixCurrent();
  renumber();
  return at;
}

std::unique_ptr<CLayerData> CLayerMngr::extractLayer(int32_t i) {
  if (!isValidIndex(i)) return nullptr;
  std::unique_ptr<CLayerData> l = std::move(layers_[static_cast<size_t>(i)]);
  layers_.erase(layers_.begin() + i);
  return l;
}

std::unique_ptr<CLayerData> CLayerMngr::removeLayer(int32_t i) {
  std::unique_ptr<CLayerData> l = extractLayer(i);
  if (!l) return nullptr;
  fixCurrent();
  renumber();
  return l;
}

bool CLayerMngr::deleteLayer(int32_t i) { return removeLayer(i) != nullptr; }

void CLayerMngr::clear() {
  // Freed from the bottom up.
  for (auto& l : layers_) l.reset();
  layers_.clear();
  fixCurrent();
}

std::unique_ptr<CLayerData> CLayerMngr::replaceLayer(int32_t i, std::unique_ptr<CLayerData>&& layer) {
  if (!isValidIndex(i) || !layer) return nullptr;
  std::unique_ptr<CLayerData> old = std::move(layers_[static_cast<size_t>(i)]);
  layers_[static_cast<size_t>(i)] = std::move(layer);
  renumber();
  return old;
}

int32_t CLayerMngr::moveLayer(int32_t to, int32_t from) {
  if (to == from || !isValidIndex(from)) return -1;
  const int32_t target = std::clamp(to, 0, count() - 1);
  std::unique_ptr<CLayerData> l = extractLayer(from);
  // Re-inserting what was just taken out cannot need more room.
  const int32_t at = insertAt(target, std::move(l));
  renumber();
  return at;
}

bool CLayerMngr::swapLayers(int32_t i, CLayerMngr& other, bool renumberOther, int32_t j) {
  if (!isValidIndex(i) || !other.isValidIndex(j)) return false;
  std::swap(layers_[static_cast<size_t>(i)], other.layers_[static_cast<size_t>(j)]);
  renumber();
  if (renumberOther) other.renumber();
  return true;
}

void CLayerMngr::renumber() {
  for (int32_t i = 0; i < count(); ++i) layers_[static_cast<size_t>(i)]->index = i;
}

void CLayerMngr::fixCurrent() {
  if (count() == 0)
    current_ = -1;
  else if (current_ >= count())
    current_ = count() - 1;
  else if (current_ < 0)
    current_ = 0;
}

// ---- visibility -------------------------------------------------------------

int32_t CLayerMngr::visibleCount() const {
  int32_t n = 0;
  for (const auto& l : layers_) n += l->visible ? 1 : 0;
  return n;
}

bool CLayerMngr::getVisibility(std::vector<uint8_t>& out) const {
  if (count() == 0) return false;
  try {
    out.assign(static_cast<size_t>(count()), 0);
  } catch (const std::bad_alloc&) {
    return false;
  }
  for (int32_t i = 0; i < count(); ++i) out[static_cast<size_t>(i)] = layers_[static_cast<size_t>(i)]->visible;
  return true;
}

bool CLayerMngr::toggleAllVisibility() {
  if (count() == 0) return false;
  for (auto& l : layers_) l->visible = !l->visible;
  return true;
}

bool CLayerMngr::setAllVisible(bool v) {
  if (count() == 0) return false;
  for (auto& l : layers_) l->visible = v;
  return true;
}

bool CLayerMngr::showOnly(int32_t i) {
  if (!isValidIndex(i)) return false;
  for (auto& l : layers_) l->visible = l->index == i;
  return true;
}

bool CLayerMngr::clampRun(int32_t i, int32_t& n) const {
  if (!isValidIndex(i)) return false;
  n = std::min(n, count() - i);
  return n > 0;
}

int32_t CLayerMngr::setRunVisible(int32_t i, int32_t n, bool v) {
  if (!clampRun(i, n)) return 0;
  for (int32_t k = 0; k < n; ++k) layers_[static_cast<size_t>(i + k)]->visible = v;
  return n;
}

// ---- memory and thumbnails --------------------------------------------------

int64_t CLayerMngr::memorySize() const {
  int64_t n = 0;
  for (const auto& l : layers_) n += l->memorySize();
  return n;
}

int64_t CLayerMngr::ownUndoMemory() const {
  int64_t n = 0;
  for (const auto& l : layers_) n += l->ownUndoMemory();
  return n;
}

void CLayerMngr::dropAllOwnUndo() {
  for (auto& l : layers_) l->dropOwnUndo();
}

bool CLayerMngr::assignLayer(int32_t dst, int32_t src) {
  CLayerData* d = getLayer(dst);
  CLayerData* s = getLayer(src);
  if (!d || !s || d == s) return false;
  return d->assignFrom(*s);
}

// ---- undo through the list --------------------------------------------------

bool CLayerMngr::applyUndoSide(CLayerUndoSide& side, bool isUndo, int32_t& index, uint32_t& flags,
                               TRect& rect) {
  uint32_t id = 0;
  int32_t recordClass = 0;
  index = -1;
  flags = 0;
  if (!side.peekNewest(id, recordClass, flags)) return false;
  CLayerData* layer = nullptr;
  (void)findById(id, index, layer);  // a layer not found is handled below
  if (recordClass != kUndoClassStructure && !layer) {
    // The layer the record belongs to is gone: the record can never apply.
    side.discardNewest();
    return false;
  }
  TRect changed{};
  if (!side.applyNewest(*this, layer, changed)) {
    if (isUndo) {
      layerWarning(kStrUndoFailed);
      side.clearAll();
    }
    return false;
  }
  rect = changed;
  return true;
}

bool CLayerMngr::applyUndo(CLayerUndoSide& undo, int32_t& index, uint32_t& flags, TRect& rect) {
  return applyUndoSide(undo, true, index, flags, rect);
}

bool CLayerMngr::applyRedo(CLayerUndoSide& redo, int32_t& index, uint32_t& flags, TRect& rect) {
  return applyUndoSide(redo, false, index, flags, rect);
}

}  // namespace pg
