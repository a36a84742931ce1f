#include "document/undo_mngr_ex.h"

#include <new>

#include "core/block_image.h"
#include "document/layer_data.h"
#include "document/layer_own_undo.h"
#include "document/mask_data.h"
#include "document/mask_mngr.h"
#include "document/undo_apply.h"

namespace pg {

// One list of the manager as the layer list sees it when it applies undo.
class CUndoMngrEx::Side final : public CLayerUndoSide {
 public:
  Side(CUndoMngrEx& mngr, bool undoSide) : mngr_(mngr), undoSide_(undoSide) {}

  bool peekNewest(uint32_t& layerId, int32_t& recordClass, uint32_t& flags) const override {
    const CUndoData* r = list().peek();
    if (r == nullptr) return false;
    layerId = static_cast<uint32_t>(r->layerId);
    recordClass = r->recordClass;
    flags = r->flags();
    return true;
  }
  void discardNewest() override { list().dropNewest(); }
  bool applyNewest(CLayerMngr& layers, CLayerData* layer, TRect& rect) override {
    return mngr_.applyNewest(undoSide_, layers, layer, rect);
  }
  void clearAll() override { mngr_.clearAll(); }

 private:
  CUndoList& list() const { return undoSide_ ? mngr_.undoList_ : mngr_.redoList_; }
  CUndoMngrEx& mngr_;
  bool undoSide_;
};

CUndoMngrEx::CUndoMngrEx(IUndoDocument& owner, UndoExtra extra, UndoLimit undoMax, RedoLimit redoMax)
    : CUndoMngr(undoMax, redoMax),
      owner_(owner),
      extra_(extra.value),
      undoSide_(std::make_unique<Side>(*this, true)),
      redoSide_(std::make_unique<Side>(*this, false)) {
  undoList_.setup(undoMax.value, true);
  redoList_.setup(redoMax.value, true);
}

CUndoMngrEx::~CUndoMngrEx() = default;

int32_t CUndoMngrEx::trim() {
  int32_t dropped = 0;
  while (undoList_.count() > std::max<int32_t>(undoMax_, 0) + std::max<int32_t>(extra_, 0)) {
    undoList_.dropOldest();
    ++dropped;
  }
  return dropped;
}

bool CUndoMngrEx::assign(const CUndoMngr& other) {
  const bool ok = CUndoMngr::assign(other);
  if (const auto* ex = dynamic_cast<const CUndoMngrEx*>(&other)) extra_ = ex->extra_;
  return ok;
}

bool CUndoMngrEx::makeRoom(CUndoList& list, int32_t limit, const CUndoData& incoming) {
  if (limit < 1) return false;
  // The heavy records, the incoming one counted, must stay within the limit;
  // a light record does not push a heavy one out.
  const int32_t adding = incoming.isHeavy() ? 1 : 0;
  while (list.count() > 0 && list.heavyCount() + adding > limit) list.dropOldest();
  return true;
}

bool CUndoMngrEx::pushUndo(std::unique_ptr<CUndoData>& record) {
  if (!record || !makeRoom(undoList_, undoMax_, *record)) return false;
  undoList_.push(std::move(record));
  return true;
}

bool CUndoMngrEx::pushRedo(std::unique_ptr<CUndoData>& record) {
  if (!record || !makeRoom(redoList_, redoMax_, *record)) return false;
  redoList_.push(std::move(record));
  return true;
}

bool CUndoMngrEx::setLimits(UndoLimit undo, RedoLimit redo) {
  int32_t u = undo.value;
  int32_t r = redo.value;
  if (u < 1) {
    u = 0;
    r = 0;
  }
  r = std::min(u, std::max(r, 0));
  const bool undoChanged = u != undoMax_;
  const bool redoChanged = r != redoMax_;
  undoMax_ = u;
  redoMax_ = r;
  if (u == 0) {
    clearAll();
  } else {
    if (undoChanged)
      while (undoList_.heavyCount() > u) undoList_.dropOldest();
    if (redoChanged)
      while (redoList_.heavyCount() > r) redoList_.dropOldest();
  }
  return undoChanged || redoChanged;
}

bool CUndoMngrEx::store(std::unique_ptr<CUndoData>& record) {
  if (!pushUndo(record)) return false;
  trim();
  redoList_.clear();
  return true;
}

// ---- recording entry points --------------------------------------------------------

namespace {

// A new record of the kind, or null when its memory could not be had.
std::unique_ptr<CUndoData> newRecord(int kind, int64_t layerId) {
  try {
    return CUndoData::make(kind, layerId);
  } catch (const std::bad_alloc&) {
    return nullptr;
  }
}

}  // namespace

bool CUndoMngrEx::recordLayerRegion(const CLayerData& layer, const SRectXYWH& rect, int kind) {
  if (!undoEnabled() || !layer.image) return false;
  std::unique_ptr<CUndoData> rec;
  switch (undoClassOf(kind)) {
    case UndoClass::PixelRegion:
      rec = makeRegionRecord(layer.id, kind, rect, *layer.image);
      break;
    case UndoClass::AlphaBlock:
      rec = makeAlphaRecord(layer, rect, kind);
      break;
    case UndoClass::InPlace:
      if (kind > kUndoInvertAlpha) return false;  // several layers: recordLayersTransform
      rec = newRecord(kind, layer.id);
      if (!rec) return false;
      rec->rect = rect;
      break;
    default:
      return false;
  }
  if (!rec) return false;
  rec->layerIndex = layer.index;
  return store(rec);
}

bool CUndoMngrEx::recordLayersTransform(int kind, int32_t currentIndex, std::vector<int64_t> layerIds) {
  if (!undoEnabled() || kind < kUndoMirrorAll || kind > kUndoRotate180All) return false;
  CLayerMngr* layers = owner_.undoLayers();
  const CLayerData* current = layers != nullptr ? layers->getLayer(currentIndex) : nullptr;
  if (current == nullptr) return false;
  std::unique_ptr<CUndoData> rec = newRecord(kind, current->id);
  if (!rec) return false;
  rec->layerIndex = currentIndex;
  rec->rect = {0, 0, current->imageWidth(), current->imageHeight()};
  rec->ids = std::move(layerIds);
  return store(rec);
}

bool CUndoMngrEx::recordLayerAttr(CLayerData* layer, int32_t newValue, int kind, int32_t extra) {
  if (!undoEnabled() || undoClassOf(kind) != UndoClass::Attribute || kind == kUndoLayerName) return false;
  CLayerMngr* layers = owner_.undoLayers();
  CLayerData* target = layer;
  if (kind == kUndoPaperColor) target = layers != nullptr ? layers->currentLayer() : nullptr;
  if (target == nullptr) return false;
  std::unique_ptr<CUndoData> rec = newRecord(kind, target->id);
  if (!rec) return false;
  rec->layerIndex = target->index;
  rec->rect = {0, 0, target->imageWidth(), target->imageHeight()};
  rec->value2 = newValue;
  switch (kind) {
    case kUndoPaperColor:
      rec->value1 = static_cast<int32_t>(owner_.undoPaperColor().pixel());
      break;
    case kUndoOpacity:
    case kUndoGroupOpacity:
      rec->value1 = target->opacity;
      rec->value2 = newValue & 0xFF;
      break;
    case kUndoDissolve:
      rec->value1 = (target->dissolve ? 1 : 0) | (target->dissolveAmount << 8);
      break;
    case kUndoBlendMode:
      rec->value1 = target->blendMode;
      break;
    case kUndoVisible:
      rec->value1 = target->visible ? 1 : 0;
      break;
    case kUndoProtectAlpha:
      rec->value1 = target->protectAlpha ? 1 : 0;
      break;
    case kUndoOffset:
      rec->value1 = target->index;
      rec->value2 = target->offsetX;
      rec->value3 = target->offsetY;
      break;
    case kUndoOffsetWithMask: {
      CMaskMngr* masks = owner_.undoMasks();
      const CMaskData* mask = masks != nullptr ? masks->currentMask() : nullptr;
      if (mask == nullptr) return false;
      rec->value1 = target->index;
      rec->value2 = newValue;
      rec->value3 = extra;
      rec->value4 = masks->current();
      rec->objectId = mask->id;
      break;
    }
    default:
      return false;
  }
  return store(rec);
}

bool CUndoMngrEx::recordLayerName(const CLayerData& layer, std::string newName) {
  if (!undoEnabled()) return false;
  std::unique_ptr<CUndoData> rec;
  try {
    rec = CUndoData::make(kUndoLayerName, layer.id);
    rec->name1 = layer.name;
    rec->name2 = std::move(newName);
  } catch (const std::bad_alloc&) {
    return false;
  }
  rec->layerIndex = layer.index;
  rec->rect = {0, 0, layer.imageWidth(), layer.imageHeight()};
  return store(rec);
}

namespace {

// The kept objects a structure or mask record must bring on its undo side.
bool hasWhatItNeeds(const CUndoData& r) {
  const UndoKept& k = r.kept;
  switch (r.kind) {
    case kUndoDeleteLayer:
    case kUndoMovedRebuilt:
    case kUndoMovedWithMaskRebuilt:
    case kUndoLayerReplaced:
    case kUndoDeleteGroupBase:
      return k.layer != nullptr;
    case kUndoMergeDown:
      return k.layer != nullptr && k.layer2 != nullptr;
    case kUndoMergeVisible:
      return !k.layers.empty() && k.layers.size() == r.indices.size() && r.ids.size() == r.indices.size();
    case kUndoMergeGroup:
    case kUndoDeleteGroup:
      return !k.layers.empty() && k.layers.size() == r.ids.size();
    case kUndoGroupOffset:
    case kUndoGroupOffsetWithMask:
      return k.layers.size() == r.ids.size() && r.value1 == static_cast<int32_t>(r.ids.size());
    case kUndoCanvasSize:
    case kUndoScaleImage:
    case kUndoCropImage:
      return k.layerList != nullptr;
    case kUndoDeleteMask:
    case kUndoMaskReplaced:
    case kUndoMergeMask:
      return k.mask != nullptr;
    default:
      return true;
  }
}

}  // namespace

bool CUndoMngrEx::recordItem(std::unique_ptr<CUndoData>& record) {
  if (!undoEnabled() || !record) return false;
  CUndoData& r = *record;
  if (r.recordClass != undoKindInfo(r.kind).recordClass || r.redoSide) return false;
  CLayerMngr* layers = owner_.undoLayers();
  const CLayerData* current = layers != nullptr ? layers->currentLayer() : nullptr;
  switch (r.undoClass()) {
    case UndoClass::PixelRegion:
      if (!r.pixels) return false;
      if (r.rect.Width <= 0 || r.rect.Height <= 0) r.rect = {0, 0, r.pixels->width(), r.pixels->height()};
      break;
    case UndoClass::Attribute:
      break;
    case UndoClass::Structure:
    case UndoClass::MaskList:
      if (!hasWhatItNeeds(r)) return false;
      if (r.undoClass() == UndoClass::MaskList && current != nullptr) {
        // Mask records are found through the current layer.
        r.layerId = current->id;
        r.layerIndex = current->index;
      }
      if (r.rect.Width <= 0 && current != nullptr) r.rect = {0, 0, current->imageWidth(), current->imageHeight()};
      break;
    default:
      return false;
  }
  r.hasPixels = true;
  return store(record);
}

// ---- undo and redo -------------------------------------------------------------------

bool CUndoMngrEx::applyNewest(bool undoSide, CLayerMngr& layers, CLayerData* layer, TRect& rect) {
  CUndoList& from = undoSide ? undoList_ : redoList_;
  CUndoData* rec = from.peek();
  if (rec == nullptr) return false;
  lastIndex_ = -1;
  if (rec->undoClass() == UndoClass::PixelRegion) {
    if (layer == nullptr || !layer->image) return false;
    SRectXYWH r{};
    const bool ok = undoSide ? undo(*layer->image, r) : redo(*layer->image, r);
    if (!ok) return false;
    (void)layer->updateThumbnail();  // a thumbnail that fails stays stale
    rect = xywhToRect(r);
    lastIndex_ = layer->index;
    return true;
  }
  int32_t index = -1;
  if (!applyUndoRecord(*rec, owner_, layers, layer, rect, index)) {
    from.dropNewest();
    return false;
  }
  lastIndex_ = index;
  std::unique_ptr<CUndoData> moved = from.pop();
  // A side whose limit is 0 keeps nothing: the record is then freed.
  if (undoSide)
    (void)pushRedo(moved);  // see above: a side that keeps nothing frees it
  else
    (void)pushUndo(moved);  // as above
  return true;
}

bool CUndoMngrEx::applyUndo(int32_t& layerIndex, uint32_t& flags, TRect& rect) {
  return applySide(true, layerIndex, flags, rect);
}

bool CUndoMngrEx::applyRedo(int32_t& layerIndex, uint32_t& flags, TRect& rect) {
  return applySide(false, layerIndex, flags, rect);
}

bool CUndoMngrEx::applySide(bool undo, int32_t& layerIndex, uint32_t& flags, TRect& rect) {
  CLayerMngr* layers = owner_.undoLayers();
  if (layers == nullptr) return false;
  lastIndex_ = -1;
  const bool ok = undo ? layers->applyUndo(*undoSide_, layerIndex, flags, rect)
                       : layers->applyRedo(*redoSide_, layerIndex, flags, rect);
  if (ok && lastIndex_ >= 0) layerIndex = lastIndex_;
  return ok;
}

// ---- the layers' own undo ------------------------------------------------------------

namespace {

class LayerPixelUndo final : public CLayerOwnUndo {
 public:
  bool canUndo() const override { return mngr_.canUndo(); }
  bool canRedo() const override { return mngr_.canRedo(); }
  int64_t memorySize() const override { return static_cast<int64_t>(mngr_.memorySize()); }
  void clear() override { mngr_.clearAll(); }
  bool record(const CLayerData& layer, const TRect& rect) override {
    return layer.image && mngr_.record(layer.index, layer.id, rectToXYWH(rect), *layer.image, 0);
  }
  bool undo(CLayerData& layer, TRect& rect) override {
    SRectXYWH r{};
    if (!layer.image || !mngr_.undo(*layer.image, r)) return false;
    rect = xywhToRect(r);
    return true;
  }
  bool assign(const CLayerOwnUndo& src) override {
    const auto* other = dynamic_cast<const LayerPixelUndo*>(&src);
    return other != nullptr && mngr_.assign(other->mngr_);
  }

 private:
  CUndoMngr mngr_{UndoLimit{8}, RedoLimit{8}};
};

}  // namespace

void installLayerOwnUndo() {
  setLayerOwnUndoFactory([] { return std::unique_ptr<CLayerOwnUndo>(std::make_unique<LayerPixelUndo>()); });
}

}  // namespace pg
