// Operations on whole link groups: merging a group into one layer, removing
// it, and moving it (alone or together with the selection). Each keeps the
// layers it replaces or takes out in one undo record.
#include <algorithm>
#include <cstdlib>
#include <vector>

#include "core/blend_modes.h"
#include "core/block_image.h"
#include "core/limits.h"
#include "core/plane_ops.h"
#include "document/doc_recorder.h"
#include "document/flow_image.h"
#include "document/layer_data.h"
#include "document/layer_mngr.h"
#include "document/mask_data.h"
#include "document/mask_mngr.h"
#include "document/paper.h"
#include "document/paper_edit.h"
#include "document/tool_window_link.h"

namespace pg {

namespace {

// Layer-list operations on link groups.
enum : uint8_t { kListOffsetGroup = 9, kListOffsetGroupMask = 10, kListMergeGroup = 12, kListRemoveGroup = 13 };

uint16_t u16(int32_t v) { return static_cast<uint16_t>(std::clamp(v, 0, 0xFFFF)); }

// A run of layers `count` long from `base` lies inside the list.
bool runInList(const CLayerMngr* layers, int32_t base, int32_t count) {
  return layers != nullptr && base >= 0 && count >= 1 && count <= layers->count() - base;
}

std::vector<int64_t> idsOfRun(const CLayerMngr& layers, int32_t base, int32_t count) {
  std::vector<int64_t> ids;
  for (int32_t k = 0; k < count; ++k) ids.push_back(layers.getLayer(base + k)->id);
  return ids;
}

}  // namespace

bool TPaper::mergeLinkGroup(TFlowImage* flow, int32_t base, int32_t count, bool record) {
  CDocEdit edit(*this, record);
  if (!edit.gate(count > 1 && runInList(layers_.get(), base, count))) return false;
  CWaitCursor wait(owner_);
  const CLayerData& baseLayer = *layers_->getLayer(base);
  // The group is composed as the transparent picture composes layers, each
  // with its opacity inside the group: the levels up to the base's own count
  // as fully opaque, so what lies below the group does not dim it twice.
  LinkOpacityTable table{};
  for (auto& e : table) e.opacity = 255;
  const int32_t baseLevel = std::clamp(baseLayer.linkLevel, 0, kMaxLinkLevel);
  std::unique_ptr<CLayerData> merged =
      composedLayer(base, count, baseLayer, baseLayer.blendMode, false, [&](CLayerData& l) {
        const uint32_t effective = linkedOpacityOf(l, table);
        if (&l == &baseLayer) table[static_cast<size_t>(baseLevel)].opacity = 255;
        return effective;
      });
  if (!merged) return false;
  if (!layers_->reserveLayers(1)) {
    showOutOfMemoryMessage();
    return false;
  }
  if (!edit.event([&](IDocRecorder& r) {
        return writeDocEvent(r, [&](IDocEventRecorder& e) {
          return e.recordLayerListOp(kListMergeGroup, base, u16(count), {});
        });
      }))
    return false;
  std::vector<int64_t> ids = idsOfRun(*layers_, base, count);
  std::vector<std::unique_ptr<CLayerData>> group;
  for (int32_t k = 0; k < count; ++k) group.push_back(layers_->removeLayer(base));
  const int64_t mergedId = merged->id;
  const int32_t at = layers_->insertExisting(base, std::move(merged));
  if (at < 0) {
    // Room was reserved; put the group back should the list refuse anyway.
    for (int32_t k = 0; k < count; ++k) layers_->insertExisting(base + k, std::move(group[static_cast<size_t>(k)]));
    return false;
  }
  layers_->renumber();
  edit.changed();
  auto rec = CUndoData::make(kUndoMergeGroup, mergedId);
  if (rec) {
    rec->hasPixels = true;
    rec->layerIndex = base;
    rec->objectId = mergedId;
    rec->value1 = count;
    rec->ids = std::move(ids);
    rec->kept.layers = std::move(group);
    edit.undoAfter(rec);
  }
  markModified(true);
  (void)setCurrentLayer(flow, base);  // a valid index: this only selects it
  redraw(true);
  updateAllThumbnails();
  toolWindowLink().refreshLayerList();
  return true;
}

bool TPaper::removeLinkGroup(TFlowImage* flow, int32_t base, int32_t count, bool record) {
  // A group of two or more layers, and never every layer; the layer below
  // it becomes current.
  if (count < 2 || !runInList(layers_.get(), base, count)) return false;
  return removeLayerRun(flow, base, count, true, record, [&](IDocEventRecorder& e) {
    return e.recordLayerListOp(kListRemoveGroup, base, u16(count), {});
  });
}

bool TPaper::removeLayerRun(TFlowImage* flow, int32_t base, int32_t count, bool selectBelow, bool record,
                            const std::function<bool(IDocEventRecorder&)>& write) {
  CDocEdit edit(*this, record);
  if (!edit.gate(runInList(layers_.get(), base, count) && count < layers_->count())) return false;
  if (!edit.event([&](IDocRecorder& r) { return writeDocEvent(r, write); })) return false;
  std::vector<int64_t> ids = idsOfRun(*layers_, base, count);
  std::vector<std::unique_ptr<CLayerData>> removed;
  for (int32_t k = 0; k < count; ++k) removed.push_back(layers_->removeLayer(base));
  edit.changed();
  auto rec = CUndoData::make(kUndoDeleteGroup, ids.front());
  if (rec) {
    rec->hasPixels = true;
    rec->layerIndex = base;
    rec->value1 = base;
    rec->value2 = count;
    rec->ids = std::move(ids);
    rec->kept.layers = std::move(removed);
    edit.undoAfter(rec);
  }
  return layerListChanged(flow, selectBelow ? std::max(0, base - 1) : std::min(base, layers_->count() - 1));
}

bool TPaper::offsetLinkGroup(TFlowImage* flow, int32_t base, TPoint delta, int32_t count, bool record) {
  return moveLinkGroupBy(flow, base, delta, count, -1, record);
}

bool TPaper::offsetLinkGroupMask(TFlowImage* flow, int32_t base, TPoint delta, int32_t count, int32_t maskIndex,
                                 bool record) {
  maskIndex = maskIndexOr(maskIndex);
  const CMaskData* mask = masks_ ? masks_->getMask(maskIndex) : nullptr;
  if (!CMaskData::hasImage(mask)) return offsetLinkGroup(flow, base, delta, count, record);
  return moveLinkGroupBy(flow, base, delta, count, maskIndex, record);
}

bool TPaper::moveLinkGroupBy(TFlowImage* flow, int32_t base, TPoint delta, int32_t count, int32_t maskIndex,
                             bool record) {
  CDocEdit edit(*this, record);
  if (!edit.gate(runInList(layers_.get(), base, count) && (delta.X != 0 || delta.Y != 0) &&
                 std::abs(delta.X) <= kMaxOffsetStep && std::abs(delta.Y) <= kMaxOffsetStep))
    return false;
  // Every layer that would leave the document uncovered is rebuilt first;
  // when one cannot be made nothing changes.
  std::vector<std::unique_ptr<CLayerData>> rebuilt(static_cast<size_t>(count));
  for (int32_t k = 0; k < count; ++k) {
    const CLayerData& l = *layers_->getLayer(base + k);
    if (!l.image) return false;
    if (offsetClass(l, delta) == 0) continue;
    rebuilt[static_cast<size_t>(k)] = rebuiltForOffset(l, delta);
    if (!rebuilt[static_cast<size_t>(k)]) {
      showOutOfMemoryMessage();
      return false;
    }
  }
  CMaskData* mask = maskIndex >= 0 ? masks_->getMask(maskIndex) : nullptr;
  if (!edit.event([&](IDocRecorder& r) {
        return writeDocEvent(r, [&](IDocEventRecorder& e) {
          return mask != nullptr
                     ? e.recordLayerListOpEx(kListOffsetGroupMask, base, u16(maskIndex), delta,
                                             {.value = static_cast<uint32_t>(count)})
                     : e.recordLayerListOpEx(kListOffsetGroup, base, 0, delta, {.value = static_cast<uint32_t>(count)});
        });
      }))
    return false;
  std::vector<int64_t> ids = idsOfRun(*layers_, base, count);
  // The kept list holds, per layer, the layer a rebuilt one replaced (or
  // nothing where the layer only moved).
  std::vector<std::unique_ptr<CLayerData>> replaced(static_cast<size_t>(count));
  for (int32_t k = 0; k < count; ++k) {
    auto& next = rebuilt[static_cast<size_t>(k)];
    if (next) {
      replaced[static_cast<size_t>(k)] = layers_->replaceLayer(base + k, std::move(next));
    } else {
      layers_->getLayer(base + k)->moveBy(delta.X, delta.Y);
    }
  }
  if (mask != nullptr) {
    mask->offsetX -= delta.X;
    mask->offsetY -= delta.Y;
    (void)masks_->updateMaskThumbnail(*mask);  // a thumbnail that fails stays stale
    (void)masks_->traceAnts(SSize{width_, height_}, -1);  // the outline only shows the selection
  }
  edit.changed();
  auto rec = CUndoData::make(mask != nullptr ? kUndoGroupOffsetWithMask : kUndoGroupOffset, ids.front());
  if (rec) {
    rec->hasPixels = true;
    rec->layerIndex = base;
    rec->value1 = count;
    rec->value2 = delta.X;
    rec->value3 = delta.Y;
    if (mask != nullptr) {
      rec->value4 = maskIndex;
      rec->objectId = mask->id;
    }
    rec->ids = std::move(ids);
    rec->kept.layers = std::move(replaced);
    edit.undoAfter(rec);
  }
  markModified(true);
  if (flow != nullptr) loadFlowImage(*flow, layers_->current(), true);
  redraw(true);
  updateAllThumbnails();
  return true;
}

}  // namespace pg
