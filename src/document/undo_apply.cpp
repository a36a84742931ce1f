#include "document/undo_apply.h"

#include <algorithm>
#include <new>
#include <utility>

#include "core/block_image.h"
#include "document/layer_data.h"
#include "document/layer_mngr.h"
#include "document/mask_data.h"
#include "document/mask_mngr.h"
#include "document/undo_mngr_ex.h"

namespace pg {

namespace {

bool isUndoSide(const CUndoData& rec) { return !rec.redoSide; }

TRect imageRectOf(const CLayerData& layer) { return {0, 0, layer.imageWidth(), layer.imageHeight()}; }

// The document area in the image coordinates of a layer: what a change of
// the list structure asks to repaint.
TRect documentInLayer(const CLayerMngr& layers, int32_t index) {
  const CLayerData* l = layers.getLayer(index);
  if (l == nullptr) return {0, 0, layers.docWidth(), layers.docHeight()};
  return {l->offsetX, l->offsetY, l->offsetX + layers.docWidth(), l->offsetY + layers.docHeight()};
}

bool hasId(const CLayerMngr& layers, int32_t index, int64_t id) {
  const CLayerData* l = layers.getLayer(index);
  return l != nullptr && static_cast<int64_t>(l->id) == id;
}

bool maskHasId(const CMaskMngr* masks, int32_t index, int64_t id) {
  const CMaskData* m = masks != nullptr ? masks->getMask(index) : nullptr;
  return m != nullptr && static_cast<int64_t>(m->id) == id;
}

// ---- alpha grids ----------------------------------------------------------------

// The alpha bytes of `r` (clipped to the image) into `grid`, rows top-down;
// `r` becomes the clipped rectangle.
bool readAlpha(const CBlockVMTC& image, SRectXYWH& r, std::vector<uint8_t>& grid) {
  if (!clipXYWHToSize(r, SSize{image.width(), image.height()})) return false;
  try {
    grid.assign(static_cast<size_t>(r.Width) * static_cast<size_t>(r.Height), 0);
  } catch (const std::bad_alloc&) {
    return false;
  }
  for (int32_t y = 0; y < r.Height; ++y)
    for (int32_t x = 0; x < r.Width; ++x)
      grid[static_cast<size_t>(y) * r.Width + x] = static_cast<uint8_t>(image.getPixel(r.X + x, r.Y + y) >> 24);
  return true;
}

void writeAlpha(CBlockVMTC& image, const SRectXYWH& r, const std::vector<uint8_t>& grid) {
  for (int32_t y = 0; y < r.Height; ++y)
    for (int32_t x = 0; x < r.Width; ++x) {
      const uint32_t p = image.getPixel(r.X + x, r.Y + y);
      const uint32_t a = grid[static_cast<size_t>(y) * r.Width + x];
      // A failed commit stays in commitFailed() for the caller.
      if ((p >> 24) != a) (void)image.setPixel(r.X + x, r.Y + y, (p & 0x00FFFFFFu) | (a << 24));
    }
  image.compact();
}

// Exchanges the alpha of the record's rectangle with its stored grid.
bool swapAlpha(CUndoData& rec, CLayerData& layer) {
  if (!layer.image) return false;
  SRectXYWH r = rec.rect;
  std::vector<uint8_t> current;
  if (!readAlpha(*layer.image, r, current)) return false;
  if (!(r == rec.rect) || rec.block.size() != current.size()) return false;
  writeAlpha(*layer.image, r, rec.block);
  rec.block.swap(current);
  return true;
}

// ---- class 3 -----------------------------------------------------------------------

bool applyInPlace(CUndoData& rec, CLayerMngr& layers, CLayerData* layer, TRect& rect, int32_t& index) {
  if (rec.kind >= kUndoMirror && rec.kind <= kUndoInvertAlpha) {
    if (layer == nullptr || !applyInPlaceTransform(*layer, rec.kind, rec.rect)) return false;
    rect = xywhToRect(rec.rect);
    index = layer->index;
    return true;
  }
  if (rec.kind < kUndoMirrorAll || rec.kind > kUndoRotate180All) return false;
  const int code = rec.kind - (kUndoMirrorAll - kUndoMirror);
  auto listed = [&](const CLayerData& l) {
    return rec.ids.empty() || std::find(rec.ids.begin(), rec.ids.end(), static_cast<int64_t>(l.id)) != rec.ids.end();
  };
  // Every tile is committed before any layer changes: short of memory, the
  // record fails with every layer as it was.
  for (int32_t i = 0; i < layers.count(); ++i) {
    CLayerData* l = layers.getLayer(i);
    if (listed(*l) && l->image && !l->image->commitRect(SRectXYWH{0, 0, l->imageWidth(), l->imageHeight()}))
      return false;
  }
  for (int32_t i = 0; i < layers.count(); ++i) {
    CLayerData* l = layers.getLayer(i);
    if (!listed(*l) || !l->image) continue;
    (void)applyInPlaceTransform(*l, code, SRectXYWH{0, 0, l->imageWidth(), l->imageHeight()});  // committed above
    l->image->compact();
    (void)l->updateThumbnail();  // a thumbnail that fails stays stale
  }
  if (layer != nullptr) {
    rect = imageRectOf(*layer);
    index = layer->index;
  } else {
    index = layers.current();
    rect = documentInLayer(layers, index);
  }
  return true;
}

// ---- class 4 -----------------------------------------------------------------------

bool applyAttribute(CUndoData& rec, IUndoDocument& doc, CLayerData* layer, TRect& rect, int32_t& index) {
  if (layer == nullptr) return false;
  const bool undoSide = isUndoSide(rec);
  switch (rec.kind) {
    case kUndoPaperColor:
      doc.undoSetPaperColor(PaperColor::fromPixel(static_cast<uint32_t>(rec.value1)));
      break;
    case kUndoOpacity:
    case kUndoGroupOpacity:
      layer->opacity = static_cast<uint8_t>(rec.value1);
      break;
    case kUndoDissolve:
      layer->dissolve = (rec.value1 & 0xFF) != 0;
      layer->dissolveAmount = static_cast<uint8_t>(rec.value1 >> 8);
      break;
    case kUndoBlendMode:
      layer->blendMode = static_cast<uint8_t>(rec.value1);
      break;
    case kUndoVisible:
      layer->visible = rec.value1 != 0;
      break;
    case kUndoProtectAlpha:
      layer->protectAlpha = rec.value1 != 0;
      break;
    case kUndoOffset:
      std::swap(layer->offsetX, rec.value2);
      std::swap(layer->offsetY, rec.value3);
      (void)layer->updateThumbnail();  // a thumbnail that fails stays stale
      break;
    case kUndoOffsetWithMask: {
      CMaskMngr* masks = doc.undoMasks();
      if (!maskHasId(masks, rec.value4, rec.objectId)) return false;
      CMaskData* mask = masks->getMask(rec.value4);
      const int32_t sign = undoSide ? 1 : -1;
      layer->moveBy(-sign * rec.value2, -sign * rec.value3);
      mask->offsetX += sign * rec.value2;
      mask->offsetY += sign * rec.value3;
      (void)masks->updateMaskThumbnail(*mask);  // a thumbnail that fails stays stale
      break;
    }
    case kUndoLayerName:
      layer->name = rec.name1;
      std::swap(rec.name1, rec.name2);
      break;
    default:
      return false;
  }
  if (rec.kind != kUndoOffset && rec.kind != kUndoOffsetWithMask && rec.kind != kUndoLayerName)
    std::swap(rec.value1, rec.value2);
  rect = imageRectOf(*layer);
  index = layer->index;
  return true;
}

// ---- class 5 -----------------------------------------------------------------------

// Exchanges the layer at `at` (which must carry id `inDocument`) with the
// kept one; `inDocument` then names the other object.
bool exchangeLayer(CLayerMngr& layers, int32_t at, int64_t& inDocument, std::unique_ptr<CLayerData>& kept) {
  if (!kept || !hasId(layers, at, inDocument)) return false;
  const int64_t keptId = kept->id;
  std::unique_ptr<CLayerData> old = layers.replaceLayer(at, std::move(kept));
  kept = std::move(old);
  inDocument = keptId;
  return true;
}

void shiftAllMasks(IUndoDocument& doc, int32_t dx, int32_t dy) {
  CMaskMngr* masks = doc.undoMasks();
  if (masks == nullptr) return;
  for (int32_t i = 0; i < masks->count(); ++i) {
    CMaskData* m = masks->getMask(i);
    m->offsetX += dx;
    m->offsetY += dy;
  }
  (void)masks->updateAllThumbnails();  // a thumbnail that fails stays stale
}

bool applyStructure(CUndoData& rec, IUndoDocument& doc, CLayerMngr& layers, TRect& rect, int32_t& index) {
  const bool undoSide = isUndoSide(rec);
  UndoKept& kept = rec.kept;
  index = -1;
  switch (rec.kind) {
    case kUndoNewLayer:
    case kUndoDuplicateLayer:
    case kUndoPasteAsLayer:
      if (undoSide) {
        const int32_t at = layers.indexOfId(static_cast<uint32_t>(rec.layerId));
        if (at < 0 || kept.layer) return false;
        kept.layer = layers.removeLayer(at);
        layers.setCurrent(rec.value2);
        index = layers.current();
      } else {
        if (!kept.layer) return false;
        index = layers.insertExisting(rec.value1, std::move(kept.layer));
        if (index < 0) return false;
      }
      break;
    case kUndoDeleteLayer:
      if (undoSide) {
        if (!kept.layer) return false;
        index = layers.insertExisting(rec.value1, std::move(kept.layer));
        if (index < 0) return false;
      } else {
        const int32_t at = layers.indexOfId(static_cast<uint32_t>(rec.layerId));
        if (at < 0 || kept.layer) return false;
        kept.layer = layers.removeLayer(at);
        index = layers.current();
      }
      break;
    case kUndoLayerOrder:
      index = layers.moveLayer(rec.value1, rec.value2);
      if (index < 0) return false;
      std::swap(rec.value1, rec.value2);
      break;
    case kUndoMergeDown: {
      const int32_t upper = rec.value1;
      const int32_t lower = rec.value2;
      if (!kept.layer || !hasId(layers, lower, rec.layerId)) return false;
      if (undoSide) {
        // Room for the upper layer first: nothing may change when it cannot go back in.
        if (!kept.layer2 || upper < 0 || !layers.reserveLayers(1)) return false;
        std::unique_ptr<CLayerData> merged = layers.replaceLayer(lower, std::move(kept.layer));
        kept.layer = std::move(merged);
        if (layers.insertExisting(upper, std::move(kept.layer2)) < 0) return false;
      } else {
        if (kept.layer2 || !hasId(layers, upper, rec.objectId)) return false;
        kept.layer2 = layers.removeLayer(upper);
        std::unique_ptr<CLayerData> old = layers.replaceLayer(lower, std::move(kept.layer));
        kept.layer = std::move(old);
      }
      index = lower;
      break;
    }
    case kUndoMergeVisible: {
      const size_t n = rec.indices.size();
      if (n == 0 || kept.layers.size() != n || rec.ids.size() != n || !kept.layers[0]) return false;
      // The layers go out and back in by ascending index.
      for (size_t k = 1; k < n; ++k)
        if (rec.indices[k] <= rec.indices[k - 1]) return false;
      if (undoSide) {
        if (!hasId(layers, rec.indices[0], rec.layerId) || rec.indices[0] < 0) return false;
        for (size_t k = 1; k < n; ++k)
          if (!kept.layers[k]) return false;
        if (!layers.reserveLayers(static_cast<int32_t>(n - 1))) return false;
        std::unique_ptr<CLayerData> merged = layers.replaceLayer(rec.indices[0], std::move(kept.layers[0]));
        kept.layers[0] = std::move(merged);
        for (size_t k = 1; k < n; ++k)
          if (layers.insertExisting(rec.indices[k], std::move(kept.layers[k])) < 0) return false;
      } else {
        if (static_cast<int64_t>(kept.layers[0]->id) != rec.layerId) return false;
        for (size_t k = 0; k < n; ++k)
          if (!hasId(layers, rec.indices[k], rec.ids[k]) || (k > 0 && kept.layers[k])) return false;
        for (size_t k = n - 1; k >= 1; --k) kept.layers[k] = layers.removeLayer(rec.indices[k]);
        std::unique_ptr<CLayerData> old = layers.replaceLayer(rec.indices[0], std::move(kept.layers[0]));
        kept.layers[0] = std::move(old);
      }
      index = rec.indices[0];
      break;
    }
    case kUndoMovedRebuilt:
    case kUndoLayerReplaced:
      if (!exchangeLayer(layers, rec.value1, rec.objectId, kept.layer)) return false;
      index = rec.value1;
      break;
    case kUndoMovedWithMaskRebuilt: {
      CMaskMngr* masks = doc.undoMasks();
      CMaskData* mask = masks != nullptr ? masks->getMask(rec.value2) : nullptr;
      if (mask == nullptr) return false;
      if (!exchangeLayer(layers, rec.value1, rec.objectId, kept.layer)) return false;
      const int32_t sign = undoSide ? 1 : -1;
      mask->offsetX += sign * rec.value3;
      mask->offsetY += sign * rec.value4;
      (void)masks->updateMaskThumbnail(*mask);  // a thumbnail that fails stays stale
      index = rec.value1;
      break;
    }
    case kUndoLayerFromSelection: {
      int32_t srcIndex = -1;
      CLayerData* source = nullptr;
      if (!layers.findById(static_cast<uint32_t>(rec.layerId), srcIndex, source)) return false;
      if (undoSide) {
        const int32_t at = layers.indexOfId(static_cast<uint32_t>(rec.objectId));
        if (at < 0 || kept.layer) return false;
        if (!swapAlpha(rec, *source)) return false;
        kept.layer = layers.removeLayer(at);
      } else {
        if (!kept.layer || rec.value1 < 0 || !layers.reserveLayers(1)) return false;
        if (!swapAlpha(rec, *source)) return false;
        if (layers.insertExisting(rec.value1, std::move(kept.layer)) < 0) return false;
      }
      (void)source->updateThumbnail();  // a thumbnail that fails stays stale
      index = layers.indexOfId(static_cast<uint32_t>(rec.layerId));
      break;
    }
    case kUndoLinkLevels: {
      const std::vector<uint8_t>& levels = undoSide ? rec.bytes1 : rec.bytes2;
      const int32_t n = std::min({rec.value1, layers.count(), static_cast<int32_t>(levels.size())});
      if (n > 0 && !layers.applyLinkLevels(levels.data(), 0, n)) return false;
      index = layers.current();
      break;
    }
    case kUndoDeleteGroupBase:
      if (undoSide) {
        if (!kept.layer) return false;
        if (layers.insertExisting(rec.layerIndex, std::move(kept.layer)) < 0) return false;
        if (rec.value3 > 0) layers.shiftLinkLevels(rec.layerIndex + 1, rec.value3, true, 1);
      } else {
        if (kept.layer || !hasId(layers, rec.layerIndex, rec.layerId)) return false;
        if (rec.value3 > 0) layers.shiftLinkLevels(rec.layerIndex + 1, rec.value3, true, -1);
        kept.layer = layers.removeLayer(rec.layerIndex);
      }
      index = std::min(rec.layerIndex, layers.lastIndex());
      break;
    case kUndoMergeGroup: {
      const int32_t base = rec.layerIndex;
      const int32_t n = rec.value1;
      if (n < 1 || rec.ids.size() != static_cast<size_t>(n)) return false;
      if (undoSide) {
        if (!hasId(layers, base, rec.objectId) || kept.layer || kept.layers.size() != static_cast<size_t>(n)) return false;
        for (const auto& l : kept.layers)
          if (!l) return false;
        if (!layers.reserveLayers(n)) return false;
        for (int32_t k = 0; k < n; ++k)
          if (layers.insertExisting(base + k, std::move(kept.layers[static_cast<size_t>(k)])) < 0) return false;
        kept.layers.clear();
        kept.layer = layers.removeLayer(base + n);
      } else {
        if (!kept.layer || static_cast<int64_t>(kept.layer->id) != rec.objectId) return false;
        for (int32_t k = 0; k < n; ++k)
          if (!hasId(layers, base + k, rec.ids[static_cast<size_t>(k)])) return false;
        std::vector<std::unique_ptr<CLayerData>> group;
        for (int32_t k = 0; k < n; ++k) group.push_back(layers.removeLayer(base));
        kept.layers = std::move(group);
        if (layers.insertExisting(base, std::move(kept.layer)) < 0) return false;
      }
      index = base;
      break;
    }
    case kUndoDeleteGroup: {
      const int32_t start = rec.value1;
      const int32_t n = rec.value2;
      if (n < 1 || rec.ids.size() != static_cast<size_t>(n)) return false;
      if (undoSide) {
        if (kept.layers.size() != static_cast<size_t>(n) || start < 0) return false;
        for (const auto& l : kept.layers)
          if (!l) return false;
        if (!layers.reserveLayers(n)) return false;
        for (int32_t k = 0; k < n; ++k)
          if (layers.insertExisting(start + k, std::move(kept.layers[static_cast<size_t>(k)])) < 0) return false;
        kept.layers.clear();
        index = start;
      } else {
        for (int32_t k = 0; k < n; ++k)
          if (!hasId(layers, start + k, rec.ids[static_cast<size_t>(k)])) return false;
        std::vector<std::unique_ptr<CLayerData>> group;
        for (int32_t k = 0; k < n; ++k) group.push_back(layers.removeLayer(start));
        kept.layers = std::move(group);
        index = layers.current();
      }
      break;
    }
    case kUndoGroupOrder: {
      const int32_t before = rec.value1;
      const int32_t after = rec.value4;
      const int32_t n = rec.value3;
      if (undoSide) {
        const int32_t to = after > before ? before : before + n;
        if (layers.moveGroup(to, after, n) != before) return false;
        if (rec.bytes1.size() == static_cast<size_t>(n)) (void)layers.applyLinkLevels(rec.bytes1.data(), before, n);  // levels of the list's own length
        index = before;
      } else {
        if (layers.moveGroup(rec.value2, before, n) != after) return false;
        index = after;
      }
      break;
    }
    case kUndoGroupOffset:
    case kUndoGroupOffsetWithMask: {
      const int32_t base = rec.layerIndex;
      const int32_t n = rec.value1;
      if (n < 1 || rec.ids.size() != static_cast<size_t>(n) || kept.layers.size() != static_cast<size_t>(n))
        return false;
      for (int32_t k = 0; k < n; ++k)
        if (!hasId(layers, base + k, rec.ids[static_cast<size_t>(k)])) return false;
      CMaskData* mask = nullptr;
      CMaskMngr* masks = doc.undoMasks();
      if (rec.kind == kUndoGroupOffsetWithMask) {
        if (!maskHasId(masks, rec.value4, rec.objectId)) return false;
        mask = masks->getMask(rec.value4);
      }
      const int32_t sign = undoSide ? 1 : -1;
      for (int32_t k = 0; k < n; ++k) {
        auto& other = kept.layers[static_cast<size_t>(k)];
        if (other) {
          exchangeLayer(layers, base + k, rec.ids[static_cast<size_t>(k)], other);
        } else {
          layers.getLayer(base + k)->moveBy(-sign * rec.value2, -sign * rec.value3);
        }
      }
      if (mask != nullptr) {
        mask->offsetX += sign * rec.value2;
        mask->offsetY += sign * rec.value3;
        (void)masks->updateMaskThumbnail(*mask);  // a thumbnail that fails stays stale
      }
      index = base;
      break;
    }
    case kUndoShowOnly:
    case kUndoShowAll:
    case kUndoToggleVisibility:
    case kUndoGroupVisibility: {
      const int32_t start = rec.value1;
      const int64_t n = static_cast<int64_t>(rec.bytes1.size());
      if (start < 0 || start + n > layers.count()) return false;
      for (int32_t k = 0; k < static_cast<int32_t>(n); ++k) {
        CLayerData* l = layers.getLayer(start + k);
        const uint8_t was = l->visible ? 1 : 0;
        l->visible = rec.bytes1[static_cast<size_t>(k)] != 0;
        rec.bytes1[static_cast<size_t>(k)] = was;
      }
      index = layers.current();
      break;
    }
    case kUndoRotateImage90:
      if (!doc.undoRotateImage90(undoSide ? rec.value1 == 0 : rec.value1 != 0)) return false;
      index = doc.undoLayers() != nullptr ? doc.undoLayers()->current() : -1;
      break;
    case kUndoCanvasSize:
    case kUndoCropImage:
      if (!kept.layerList || !doc.undoExchangeLayerList(kept.layerList)) return false;
      shiftAllMasks(doc, undoSide ? -rec.value1 : rec.value1, undoSide ? -rec.value2 : rec.value2);
      index = doc.undoLayers()->current();
      break;
    case kUndoScaleImage:
      if (!kept.layerList || !doc.undoExchangeLayerList(kept.layerList)) return false;
      if (kept.maskList) doc.undoExchangeMaskList(kept.maskList);
      index = doc.undoLayers()->current();
      break;
    default:
      return false;
  }
  CLayerMngr* now = doc.undoLayers();
  rect = documentInLayer(now != nullptr ? *now : layers, index);
  return true;
}

// ---- class 6 -----------------------------------------------------------------------

// The selection switches a change set (a record marked to keep them) go
// back, and forth again, with it.
void exchangeSelectionFlags(CUndoData& rec, IUndoDocument& doc) {
  if ((rec.value2 & kUndoKeepsSelectionFlags) == 0) return;
  const int32_t now =
      kUndoKeepsSelectionFlags | (doc.undoSelectionEnabled() ? 1 << 16 : 0) | (doc.undoShowAnts() ? 1 : 0);
  doc.undoSetSelectionFlags((rec.value2 & (1 << 16)) != 0, (rec.value2 & 1) != 0);
  rec.value2 = now;
}

bool applyMask(CUndoData& rec, IUndoDocument& doc, CLayerMngr& layers, CLayerData* layer, TRect& rect,
               int32_t& index) {
  CMaskMngr* masks = doc.undoMasks();
  if (masks == nullptr) return false;
  const bool undoSide = isUndoSide(rec);
  UndoKept& kept = rec.kept;
  switch (rec.kind) {
    case kUndoNewMask:
    case kUndoMaskFromLayer:
      if (undoSide) {
        if (kept.mask || !maskHasId(masks, rec.value1, rec.objectId)) return false;
        if (!masks->removeMask(rec.value1, kept.mask)) return false;
        masks->setCurrent(rec.value3);
      } else {
        if (!kept.mask || masks->insertMask(rec.value1, std::move(kept.mask)) < 0) return false;
        masks->renumber();
        masks->setCurrent(rec.value4);
      }
      exchangeSelectionFlags(rec, doc);
      break;
    case kUndoDeleteMask:
      if (undoSide) {
        if (!kept.mask || masks->insertMask(rec.value1, std::move(kept.mask)) < 0) return false;
        masks->renumber();
        masks->setCurrent(rec.value3);
      } else {
        if (kept.mask || !maskHasId(masks, rec.value1, rec.objectId)) return false;
        if (!masks->removeMask(rec.value1, kept.mask)) return false;
        masks->setCurrent(rec.value4);
      }
      break;
    case kUndoMaskReplaced:
    case kUndoMergeMask: {
      if (!kept.mask || !maskHasId(masks, rec.value1, rec.objectId)) return false;
      const int64_t keptId = kept.mask->id;
      if (!masks->swapMaskAt(rec.value1, kept.mask)) return false;
      rec.objectId = keptId;
      exchangeSelectionFlags(rec, doc);
      break;
    }
    case kUndoActivateMask:
      masks->setCurrent(undoSide ? rec.value3 : rec.value1);
      break;
    case kUndoMaskOrder: {
      const int32_t to = undoSide ? rec.value1 : rec.value2;
      const int32_t from = undoSide ? rec.value2 : rec.value1;
      if (masks->moveMask(to, from) < 0) return false;
      masks->setCurrent(to);
      break;
    }
    case kUndoInvertMaskInPlace:
      if (!maskHasId(masks, rec.value1, rec.objectId) || !masks->invertInPlace(rec.value1)) return false;
      (void)masks->updateMaskThumbnail(*masks->getMask(rec.value1));  // a thumbnail that fails stays stale
      break;
    case kUndoMaskOffset: {
      if (!maskHasId(masks, rec.value1, rec.objectId)) return false;
      CMaskData* m = masks->getMask(rec.value1);
      const int32_t sign = undoSide ? 1 : -1;
      m->offsetX += sign * rec.value3;
      m->offsetY += sign * rec.value4;
      (void)masks->updateMaskThumbnail(*m);  // a thumbnail that fails stays stale
      break;
    }
    case kUndoSelectionFlags:
      doc.undoSetSelectionFlags(((rec.value1 >> 16) & 0xFFFF) != 0, (rec.value1 & 0xFFFF) != 0);
      std::swap(rec.value1, rec.value2);
      break;
    case kUndoMaskName:
      if (!maskHasId(masks, rec.value1, rec.objectId)) return false;
      masks->getMask(rec.value1)->name = undoSide ? rec.name1 : rec.name2;
      break;
    default:
      return false;
  }
  const CLayerData* current = layers.currentLayer();
  if (current == nullptr) current = layer;
  rect = current != nullptr ? imageRectOf(*current) : TRect{0, 0, layers.docWidth(), layers.docHeight()};
  index = layers.current();
  return true;
}

}  // namespace

bool applyInPlaceTransform(CLayerData& layer, int code, const SRectXYWH& rect) {
  if (!layer.image) return false;
  CBlockVMTC& image = *layer.image;
  switch (code) {
    case kUndoMirror:
      if (!image.mirrorRectH(rect)) return false;
      layer.offsetX = image.width() - (layer.offsetX + layer.width);
      return true;
    case kUndoFlip:
      if (!image.flipRectV(rect)) return false;
      layer.offsetY = image.height() - (layer.offsetY + layer.height);
      return true;
    case kUndoInvert:
      return image.xorRect(rect, 0x00FFFFFFu);
    case kUndoRotate180:
      if (!image.rotateRect180(rect)) return false;
      layer.offsetX = image.width() - (layer.offsetX + layer.width);
      layer.offsetY = image.height() - (layer.offsetY + layer.height);
      return true;
    case kUndoInvertAlpha:
      return image.xorRect(rect, 0xFF000000u);
    default:
      return false;
  }
}

std::unique_ptr<CUndoData> makeAlphaRecord(const CLayerData& layer, const SRectXYWH& rect, int kind) {
  if (!layer.image) return nullptr;
  try {
    auto rec = CUndoData::make(kind, layer.id);
    rec->layerIndex = layer.index;
    SRectXYWH r = rect;
    if (!readAlpha(*layer.image, r, rec->block)) return nullptr;
    rec->rect = r;
    return rec;
  } catch (const std::bad_alloc&) {
    return nullptr;
  }
}

bool applyUndoRecord(CUndoData& rec, IUndoDocument& doc, CLayerMngr& layers, CLayerData* layer, TRect& rect,
                     int32_t& index) {
  bool ok = false;
  switch (rec.undoClass()) {
    case UndoClass::AlphaBlock:
      ok = layer != nullptr && swapAlpha(rec, *layer);
      if (ok) {
        (void)layer->updateThumbnail();  // a thumbnail that fails stays stale
        rect = xywhToRect(rec.rect);
        index = layer->index;
      }
      return ok;
    case UndoClass::InPlace:
      ok = applyInPlace(rec, layers, layer, rect, index);
      break;
    case UndoClass::Attribute:
      ok = applyAttribute(rec, doc, layer, rect, index);
      break;
    case UndoClass::Structure:
      ok = applyStructure(rec, doc, layers, rect, index);
      break;
    case UndoClass::MaskList:
      ok = applyMask(rec, doc, layers, layer, rect, index);
      break;
    default:
      return false;
  }
  if (!ok) return false;
  // The default names go back with the objects that took them.
  const bool undoSide = isUndoSide(rec);
  const int32_t layerNames = undoSide ? rec.layerNamesBefore : rec.layerNamesAfter;
  const int32_t maskNames = undoSide ? rec.maskNamesBefore : rec.maskNamesAfter;
  if (layerNames >= 0) layers.setNameCounter(layerNames);
  if (maskNames >= 0 && doc.undoMasks() != nullptr) doc.undoMasks()->setNameCounter(maskNames);
  rec.redoSide = !rec.redoSide;
  return true;
}

}  // namespace pg
