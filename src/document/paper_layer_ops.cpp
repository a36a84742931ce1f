// Changes of the layer list and of the layers' attributes: new, delete,
// duplicate, move, rename, visibility, opacity, blend mode and protect
// alpha, each through the edit protocol.
#include <algorithm>
#include <cstdlib>
#include <optional>
#include <vector>

#include "core/block_image.h"
#include "core/blend_modes.h"
#include "core/limits.h"
#include "core/plane_ops.h"
#include "document/doc_recorder.h"
#include "document/flow_image.h"
#include "document/layer_attr_record.h"
#include "document/layer_data.h"
#include "document/layer_mngr.h"
#include "document/mask_data.h"
#include "document/mask_mngr.h"
#include "document/paper.h"
#include "document/paper_edit.h"
#include "document/tool_window_link.h"
#include "platform/string_table.h"
#include "record/packet_table.h"

namespace pg {

bool TPaper::selectLayer(TFlowImage* flow, int32_t index) {
  if (!isValidLayer(index)) return false;
  layers_->setCurrent(index);
  if (flow != nullptr) loadFlowImage(*flow, index, flow->layerIndex == index);
  return true;
}

bool TPaper::setCurrentLayer(TFlowImage* flow, int32_t index) {
  if (!selectLayer(flow, index)) return false;
  toolWindowLink().updateLayerPanel();
  toolWindowLink().updateMaskPanel();
  return true;
}

namespace {

// Layer command subcodes.
enum : uint8_t {
  kLayerDelete = 1,
  kLayerDuplicate = 3,
  kLayerMove = 4,
  kLayerMergeDown = 5,
  kLayerCrop = 8,
  kLayerMergeLinked = 10,
};
// Layer-list operations on link groups.
enum : uint8_t { kListDeleteGroup = 8, kListMoveGroup = 11, kListGroupVisible = 16 };

uint16_t u16(int32_t v) { return static_cast<uint16_t>(std::clamp(v, 0, 0xFFFF)); }

// A layer-list record (class 5) of the layer at `index`.
std::unique_ptr<CUndoData> structRecord(int kind, const CLayerData& layer, int32_t index) {
  auto rec = CUndoData::make(kind, static_cast<int64_t>(layer.id));
  if (rec) {
    rec->hasPixels = true;
    rec->layerIndex = index;
    rec->value1 = index;
  }
  return rec;
}

// One attribute of a layer: its undo kind, its event subcode, how it is
// read and how a new value is put (the undo reads the old value itself).
struct SLayerAttr {
  int kind;
  uint8_t subcode;
  int32_t (*get)(const CLayerData&);
  void (*set)(CLayerData&, int32_t);
  int32_t lo, hi;
};

constexpr SLayerAttr kLayerAttrs[] = {
    {kUndoOpacity, kLayerAttrOpacity, [](const CLayerData& l) { return int32_t{l.opacity}; },
     [](CLayerData& l, int32_t v) { l.opacity = static_cast<uint8_t>(v); }, 0, 255},
    {kUndoBlendMode, kLayerAttrBlendMode, [](const CLayerData& l) { return int32_t{l.blendMode}; },
     [](CLayerData& l, int32_t v) { l.blendMode = static_cast<uint8_t>(v); }, 0, 21},
    {kUndoVisible, kLayerAttrVisible, [](const CLayerData& l) { return int32_t{l.visible ? 1 : 0}; },
     [](CLayerData& l, int32_t v) { l.visible = v != 0; }, 0, 1},
    {kUndoProtectAlpha, kLayerAttrProtectAlpha, [](const CLayerData& l) { return int32_t{l.protectAlpha ? 1 : 0}; },
     [](CLayerData& l, int32_t v) { l.protectAlpha = v != 0; }, 0, 1},
    {kUndoDissolve, kLayerAttrEffect, [](const CLayerData& l) { return int32_t{(l.dissolve ? 1 : 0) | l.dissolveAmount << 8}; },
     [](CLayerData& l, int32_t v) {
       l.dissolve = (v & 0xFF) != 0;
       l.dissolveAmount = static_cast<uint8_t>(v >> 8);
     },
     0, 0xFFFF},
};

const SLayerAttr* layerAttr(int kind) {
  for (const SLayerAttr& a : kLayerAttrs)
    if (a.kind == kind) return &a;
  return nullptr;
}

}  // namespace

// ---- attributes --------------------------------------------------------------------

bool TPaper::setLayerAttribute(int32_t index, int kind, int32_t value, bool record) {
  CDocEdit edit(*this, record);
  CLayerData* layer = getLayer(index);
  const SLayerAttr* a = layerAttr(kind);
  if (!edit.gate(layer != nullptr && a != nullptr && value >= a->lo && value <= a->hi)) return false;
  // A value that does not change records nothing.
  if (a->get(*layer) == value) return true;
  int undoKind = kind;
  int32_t groupLength = 0;
  if (kind == kUndoOpacity) {
    groupLength = layers_->linkGroupLength(index);
    if (groupLength > 0) undoKind = kUndoGroupOpacity;
  }
  if (!edit.event([&](IDocRecorder& r) {
        return writeDocEvent(r, [&](IDocEventRecorder& e) {
          if (kind == kUndoDissolve)
            return e.recordLayerEffect(index, (value & 0xFF) != 0, layer->randomState.Seed, static_cast<uint8_t>(value >> 8));
          return e.recordLayerAttribute(index, static_cast<uint32_t>(value), a->subcode);
        });
      }))
    return false;
  edit.undoBefore([&](TPaper& d) { return d.storeAttrUndo(layer, value, undoKind, groupLength); });
  a->set(*layer, value);
  edit.changed();
  markModified(true);
  if (kind == kUndoProtectAlpha) {
    toolWindowLink().updateLayerPanel();
  } else {
    redraw(true);
    updateThumbnails(true, index);
  }
  return true;
}

bool TPaper::setLayerOpacity(int32_t index, int32_t opacity, bool record) {
  return setLayerAttribute(index, kUndoOpacity, opacity, record);
}
bool TPaper::setLayerBlendMode(int32_t index, int32_t mode, bool record) {
  return setLayerAttribute(index, kUndoBlendMode, mode, record);
}
bool TPaper::setLayerVisible(int32_t index, bool visible, bool record) {
  const CLayerData* layer = getLayer(index);
  if (layer == nullptr || layer->visible == visible) return false;
  return setLayerAttribute(index, kUndoVisible, visible ? 1 : 0, record);
}
bool TPaper::setLayerEffect(int32_t index, bool dissolve, uint8_t amount, bool record) {
  return setLayerAttribute(index, kUndoDissolve, (dissolve ? 1 : 0) | amount << 8, record);
}
bool TPaper::setProtectAlpha(int32_t index, int32_t value, bool record) {
  if (index < 0) index = currentLayerIndex();
  const CLayerData* layer = getLayer(index);
  if (layer == nullptr) return false;
  const bool next = value < 0 ? !layer->protectAlpha : value >= 1;
  return setLayerAttribute(index, kUndoProtectAlpha, next ? 1 : 0, record);
}

bool TPaper::setLayerName(int32_t index, const std::string& newName, bool record) {
  CDocEdit edit(*this, record);
  CLayerData* layer = getLayer(index);
  if (!edit.gate(layer != nullptr)) return false;
  if (!edit.event([&](IDocRecorder& r) {
        return writeDocEvent(r, [&](IDocEventRecorder& e) { return e.recordLayerName(index, newName); });
      }))
    return false;
  if (record && undoAvailable() && !undoMngr_->recordLayerName(*layer, newName)) clearUndo();
  layer->name = newName;
  edit.changed();
  markModified(true);
  (void)selectLayer(nullptr, index);  // a valid index: this only selects it
  toolWindowLink().refreshLayerList();
  return true;
}

// ---- structure -------------------------------------------------------------------------

bool TPaper::newLayerEx(TFlowImage* flow, int32_t index, bool visible, int32_t opacity, int32_t mode, int32_t h,
                        int32_t w, bool record) {
  const int32_t iw = std::clamp(w, 1, kMaxImageWidth), ih = std::clamp(h, 1, kMaxImageHeight);
  return addNewLayer(flow, index, visible, opacity, mode, SSize{iw, ih}, record, nullptr, [&](IDocEventRecorder& e) {
    return e.recordLayerNewEx(index, SNewLayer{.width = static_cast<uint32_t>(iw),
                                               .height = static_cast<uint32_t>(ih),
                                               .opacity = static_cast<uint8_t>(opacity),
                                               .blendMode = static_cast<uint8_t>(mode),
                                               .visible = visible});
  });
}

bool TPaper::newLayer(TFlowImage* flow, int32_t index, bool visible, const std::string& name, uint32_t argb,
                      int32_t opacity, int32_t mode, int32_t h, int32_t w, bool record) {
  const int32_t iw = std::clamp(w, 1, kMaxImageWidth), ih = std::clamp(h, 1, kMaxImageHeight);
  return addNewLayer(
      flow, index, visible, opacity, mode, SSize{iw, ih}, record,
      [&](CLayerData& made) {
        // Named, its colour channels the colour and its alpha the top byte.
        made.name = name;
        made.image->fill(argb);
        made.image->compact();
        (void)made.updateThumbnail();  // a thumbnail that fails stays stale
      },
      [&](IDocEventRecorder& e) {
        return e.recordLayerNew(index,
                                SNewLayer{.width = static_cast<uint32_t>(iw),
                                          .height = static_cast<uint32_t>(ih),
                                          .opacity = static_cast<uint8_t>(opacity),
                                          .blendMode = static_cast<uint8_t>(mode),
                                          .visible = visible,
                                          .colour = argb},
                                name);
      });
}

bool TPaper::addNewLayer(TFlowImage* flow, int32_t index, bool visible, int32_t opacity, int32_t mode, SSize size,
                         bool record, const std::function<void(CLayerData&)>& finish,
                         const std::function<bool(IDocEventRecorder&)>& write) {
  CDocEdit edit(*this, record);
  if (!edit.gate(layers_ && layers_->canAddLayer() && mode >= 0 && mode <= 21 && opacity >= 0 && opacity <= 255 &&
                 index >= 0 && index <= layers_->count()))
    return false;
  if (!edit.event([&](IDocRecorder& r) { return writeDocEvent(r, write); })) return false;
  const int32_t before = layers_->current();
  const int32_t at = insertLayer(index, size.W, size.H, visible, static_cast<uint8_t>(opacity), mode);
  if (at < 0) {
    if (record) showWarning(resString(kStrNotCompletedMemory));
    return false;
  }
  (void)layers_->setDefaultName(at, 1);  // the index was just inserted
  // Inserted inside a link group, the layer joins it.
  const CLayerData* below = layers_->getLayer(at - 1);
  const CLayerData* above = layers_->getLayer(at + 1);
  CLayerData* made = layers_->getLayer(at);
  if (below != nullptr && above != nullptr && below->linkLevel < above->linkLevel) made->setLinkLevel(above->linkLevel);
  // Whole-layer fills of one value keep every tile uniform: they cannot fail.
  (void)made->image->fillModeNeutralAll(static_cast<uint32_t>(mode));
  (void)made->image->fillAlphaAll(isStandardMode() ? 0 : 255);
  (void)made->fitThumbnail();  // a thumbnail that fails stays stale
  made->fillThumbnail(isStandardMode());
  if (finish) finish(*made);
  return layerInserted(edit, kUndoNewLayer, flow, at, before);
}

bool TPaper::layerListChanged(TFlowImage* flow, int32_t current) {
  markModified(true);
  (void)setCurrentLayer(flow, current);  // a valid index: this only selects it
  redraw(true);
  toolWindowLink().refreshLayerList();
  return true;
}

bool TPaper::layerInserted(CDocEdit& edit, int kind, TFlowImage* flow, int32_t at, int32_t currentBefore) {
  edit.changed();
  auto rec = structRecord(kind, *layers_->getLayer(at), at);
  if (rec) {
    rec->value2 = currentBefore;
    edit.undoAfter(rec);
  }
  return layerListChanged(flow, at);
}

bool TPaper::newLayerCmd(TFlowImage* flow, int32_t mode, bool record) {
  return newLayerEx(flow, currentLayerIndex() + 1, true, 255, mode, height_, width_, record);
}

bool TPaper::deleteLayer(TFlowImage* flow, int32_t index, bool record) {
  CDocEdit edit(*this, record);
  if (!edit.gate(layers_ && layers_->count() > 1 && isValidLayer(index))) return false;
  if (!edit.event([&](IDocRecorder& r) {
        return writeDocEvent(r, [&](IDocEventRecorder& e) { return e.recordLayerCommand(index, u16(index), kLayerDelete); });
      }))
    return false;
  std::unique_ptr<CLayerData> removed = layers_->removeLayer(index);
  edit.changed();
  auto rec = structRecord(kUndoDeleteLayer, *removed, index);
  if (rec) {
    rec->kept.layer = std::move(removed);
    edit.undoAfter(rec);
  }
  return layerListChanged(flow, layers_->current());
}

bool TPaper::duplicateLayer(TFlowImage* flow, int32_t index, bool record) {
  CDocEdit edit(*this, record);
  const CLayerData* src = getLayer(index);
  if (!edit.gate(src != nullptr && src->image && layers_->canAddLayer())) return false;
  auto copy = std::make_unique<CLayerData>(index + 1, src->hasOwnUndo());
  if (!copy->createImageLike(*src) || !copy->assignFrom(*src)) {
    if (record) showWarning(resString(kStrNotCompletedMemory));
    return false;
  }
  if (!edit.event([&](IDocRecorder& r) {
        return writeDocEvent(r, [&](IDocEventRecorder& e) {
          return e.recordLayerCommand(index, u16(index), kLayerDuplicate);
        });
      }))
    return false;
  const int32_t before = layers_->current();
  const int32_t at = layers_->insertExisting(index + 1, std::move(copy));
  if (at < 0) return false;
  CLayerData* made = layers_->getLayer(at);
  (void)made->fitThumbnail();  // a thumbnail that fails stays stale
  (void)made->updateThumbnail();  // a thumbnail that fails stays stale
  return layerInserted(edit, kUndoDuplicateLayer, flow, at, before);
}

bool TPaper::moveLayer(TFlowImage* flow, int32_t from, int32_t to, bool record) {
  CDocEdit edit(*this, record);
  if (!edit.gate(isValidLayer(from) && isValidLayer(to) && from != to)) return false;
  if (!edit.event([&](IDocRecorder& r) {
        return writeDocEvent(r, [&](IDocEventRecorder& e) { return e.recordLayerCommand(from, u16(to), kLayerMove); });
      }))
    return false;
  const int32_t at = layers_->moveLayer(to, from);
  if (at < 0) {
    if (record) showWarning(resString(kStrNotCompletedMemory));
    return false;
  }
  edit.changed();
  auto rec = structRecord(kUndoLayerOrder, *layers_->getLayer(at), at);
  if (rec) {
    rec->value1 = from;
    rec->value2 = at;
    edit.undoAfter(rec);
  }
  return layerListChanged(flow, at);
}

bool TPaper::canMergeDown(int32_t index) const {
  return layers_ && index > 0 && isValidLayer(index) && layers_->canMergeDown(index);
}

bool TPaper::mergeDown(TFlowImage* flow, int32_t index, bool record) {
  return mergeDownWith(flow, index, 0, record, [&](IDocEventRecorder& e) {
    return e.recordLayerCommand(index, u16(index - 1), kLayerMergeDown);
  });
}

bool TPaper::mergeLinked(TFlowImage* flow, int32_t index, int32_t option, bool record) {
  if (option < 0 || option > 3) return false;
  return mergeDownWith(flow, index, static_cast<uint32_t>(option), record, [&](IDocEventRecorder& e) {
    return e.recordLayerCommandEx(index, u16(index - 1), kLayerMergeLinked,
                                   {.option = static_cast<uint32_t>(option)});
  });
}

bool TPaper::mergeDownWith(TFlowImage* flow, int32_t index, uint32_t kind, bool record,
                           const std::function<bool(IDocEventRecorder&)>& write) {
  CDocEdit edit(*this, record);
  if (!edit.gate(canMergeDown(index))) return false;
  if (!edit.event([&](IDocRecorder& r) { return writeDocEvent(r, write); })) return false;
  std::unique_ptr<CLayerData> oldLower;
  if (!layers_->mergeLayers(index - 1, index, true, kind, &oldLower)) return false;
  const int64_t upperId = layers_->getLayer(index)->id;
  std::unique_ptr<CLayerData> upper = layers_->removeLayer(index);
  layers_->setCurrent(index - 1);
  edit.changed();
  auto rec = structRecord(kUndoMergeDown, *layers_->getLayer(index - 1), index - 1);
  if (rec) {
    rec->value1 = index;
    rec->value2 = index - 1;
    rec->objectId = upperId;
    rec->kept.layer = std::move(oldLower);
    rec->kept.layer2 = std::move(upper);
    edit.undoAfter(rec);
  }
  markModified(true);
  (void)setCurrentLayer(flow, index - 1);  // a valid index: this only selects it
  redraw(true);
  updateAllThumbnails();
  toolWindowLink().refreshLayerList();
  return true;
}

bool TPaper::moveLayerGroup(TFlowImage* flow, int32_t from, int32_t to, int32_t count, bool record) {
  CDocEdit edit(*this, record);
  if (!edit.gate(layers_ && layers_->canMoveGroup(to, from, true, count))) return false;
  std::vector<uint8_t> levels(static_cast<size_t>(count));
  for (int32_t k = 0; k < count; ++k) levels[static_cast<size_t>(k)] = static_cast<uint8_t>(layers_->getLayer(from + k)->linkLevel);
  if (!edit.event([&](IDocRecorder& r) {
        return writeDocEvent(r, [&](IDocEventRecorder& e) {
          return e.recordLayerListOp(kListMoveGroup, from, u16(to), {.value = static_cast<uint32_t>(count)});
        });
      }))
    return false;
  const int32_t at = layers_->moveGroup(to, from, count);
  if (at < 0) {
    if (record) showWarning(resString(kStrNotCompletedMemory));
    return false;
  }
  edit.changed();
  auto rec = structRecord(kUndoGroupOrder, *layers_->getLayer(at), at);
  if (rec) {
    rec->value1 = from;
    rec->value2 = to;
    rec->value3 = count;
    rec->value4 = at;
    rec->bytes1 = std::move(levels);
    edit.undoAfter(rec);
  }
  return layerListChanged(flow, at);
}

bool TPaper::deleteLayerGroup(TFlowImage* flow, int32_t base, bool record) {
  if (!isValidLayer(base)) return false;
  const int32_t linked = layers_->linkGroupLength(base);
  if (linked <= 0) return deleteLayer(flow, base, record);
  const int32_t n = linked + 1;
  // The whole group goes; at least one layer stays.
  return removeLayerRun(flow, base, n, false, record, [&](IDocEventRecorder& e) {
    return e.recordLayerListOp(kListDeleteGroup, base, 0, {.value = static_cast<uint32_t>(n)});
  });
}

bool TPaper::deleteLayerCmd(TFlowImage* flow, int32_t index, bool record) {
  return deleteLayerGroup(flow, index, record);
}

// ---- merge visible -----------------------------------------------------------------

bool TPaper::canMergeVisible(bool transparent, bool option) const {
  if (!layers_ || layers_->visibleCount() < 2) return false;
  const CLayerData* bottom = layers_->getLayer(0);
  if (bottom == nullptr || !bottom->visible) return false;
  if (transparent) return true;
  const uint8_t m = bottom->blendMode;
  return option ? (m == lbmMultiply || m == lbmNormal) : (m != lbmAdd && m != lbmSubtract);
}

std::unique_ptr<CLayerData> TPaper::composedLayer(int32_t first, int32_t count, const CLayerData& like, int32_t mode,
                                                  bool canvas, const std::function<uint32_t(CLayerData&)>& opacityOf) {
  // The image covers the document and every visible layer of the run.
  TRect u{0, 0, width_, height_};
  bool anyVisible = false;
  for (int32_t k = 0; k < count; ++k) {
    const CLayerData& l = *layers_->getLayer(first + k);
    if (!l.visible) continue;
    unionRect(u, l.imageRect());
    anyVisible = true;
  }
  const SSize size = rectSize(u);
  auto merged = std::make_unique<CLayerData>(first, like.hasOwnUndo());
  TMTC plane;
  if (!planeSizeAllowed(size.W, size.H) || !plane.Resize(size.W, size.H) ||
      !merged->createImage(size.W, size.H, mode)) {
    showOutOfMemoryMessage();
    return nullptr;
  }
  // The layers are composed as the picture composes them (over the mode's
  // neutral colour), or as the transparent picture does (over transparent
  // white), in a frame whose origin is the union's corner; each with the
  // opacity asked for, the layer's own kept.
  SComposeSettings s = composeSettings();
  s.canvasColor = canvas;
  fill(plane, canvas ? layerBlendNeutral(static_cast<uint32_t>(mode)) | 0xFF000000u : 0x00FFFFFFu);
  for (int32_t k = 0; k < count; ++k) {
    CLayerData& l = *layers_->getLayer(first + k);
    const uint32_t opacity = opacityOf(l);
    if (!l.visible || opacity == 0) continue;
    const uint8_t own = l.opacity;
    l.opacity = static_cast<uint8_t>(opacity);
    l.offsetX += u.Left;
    l.offsetY += u.Top;
    (void)composeLayer(plane, l, s, SRectXYWH{0, 0, size.W, size.H});  // a clip result only
    l.offsetX -= u.Left;
    l.offsetY -= u.Top;
    l.opacity = own;
  }
  if (canvas) setAlpha(plane, 255);
  if (!merged->image->copyFromPlane(plane, 0, 0, 255)) {
    showOutOfMemoryMessage();
    return nullptr;
  }
  merged->image->compact();
  merged->copyAttributes(like);
  merged->blendMode = static_cast<uint8_t>(mode);
  merged->opacity = 255;
  merged->visible = anyVisible;
  merged->offsetX = -u.Left;
  merged->offsetY = -u.Top;
  merged->width = width_;
  merged->height = height_;
  (void)merged->fitThumbnail();  // a thumbnail that fails stays stale
  (void)merged->updateThumbnail();  // a thumbnail that fails stays stale
  return merged;
}

bool TPaper::mergeVisible(TFlowImage* flow, bool transparent, bool option, bool record) {
  CDocEdit edit(*this, record);
  if (!edit.gate(canMergeVisible(transparent, option))) return false;
  CWaitCursor wait(owner_);
  const CLayerData& bottom = *layers_->getLayer(0);
  // Each layer with its opacity inside its link group, as the picture shows it.
  LinkOpacityTable table{};
  std::unique_ptr<CLayerData> merged =
      composedLayer(0, layers_->count(), bottom, transparent ? int32_t{lbmNormal} : int32_t{bottom.blendMode},
                    !transparent, [&table](CLayerData& l) { return linkedOpacityOf(l, table); });
  if (!merged) return false;
  const uint32_t flags = (transparent ? 1u : 0u) | (option ? 1u : 0u) << 8;
  if (!edit.event([&](IDocRecorder& r) {
        return writeDocEvent(r, [&](IDocEventRecorder& e) {
          return e.recordMergeVisible(10, currentLayerIndex(), 0, {.value = flags});
        });
      }))
    return false;
  auto rec = CUndoData::make(kUndoMergeVisible, static_cast<int64_t>(merged->id));
  if (rec) {
    rec->hasPixels = true;
    rec->layerIndex = 0;
  }
  // The visible layers above the bottom leave the list, top first.
  std::vector<std::unique_ptr<CLayerData>> removed;
  std::vector<int32_t> indices{0};
  std::vector<int64_t> ids{static_cast<int64_t>(bottom.id)};
  for (int32_t i = 1; i < layers_->count(); ++i) {
    if (!layers_->getLayer(i)->visible) continue;
    indices.push_back(i);
    ids.push_back(layers_->getLayer(i)->id);
  }
  removed.resize(indices.size());
  for (size_t k = indices.size() - 1; k >= 1; --k) removed[k] = layers_->removeLayer(indices[k]);
  removed[0] = layers_->replaceLayer(0, std::move(merged));
  layers_->renumber();
  layers_->setCurrent(0);
  edit.changed();
  if (rec) {
    rec->indices = std::move(indices);
    rec->ids = std::move(ids);
    rec->kept.layers = std::move(removed);
    edit.undoAfter(rec);
  }
  markModified(true);
  (void)setCurrentLayer(flow, 0);  // a valid index: this only selects it
  redraw(true);
  updateAllThumbnails();
  toolWindowLink().refreshLayerList();
  return true;
}

// ---- crop and offset -------------------------------------------------------------------

bool TPaper::cropLayer(TFlowImage* flow, int32_t index, bool record) {
  CDocEdit edit(*this, record);
  const CLayerData* layer = getLayer(index);
  if (!edit.gate(layer != nullptr && layer->image && layer->exceedsImage())) return false;
  // The part over the document, in a layer of the document's size.
  std::unique_ptr<CLayerData> cropped = layer->cloneRegion(SSize{width_, height_}, TPoint{-layer->offsetX, -layer->offsetY});
  if (!cropped) {
    showOutOfMemoryMessage();
    return false;
  }
  cropped->copyAttributes(*layer);
  cropped->id = layer->id;
  cropped->image->compact();
  (void)cropped->fitThumbnail();  // a thumbnail that fails stays stale
  (void)cropped->updateThumbnail();  // a thumbnail that fails stays stale
  if (!edit.event([&](IDocRecorder& r) {
        return writeDocEvent(r, [&](IDocEventRecorder& e) { return e.recordLayerCommand(index, u16(index), kLayerCrop); });
      }))
    return false;
  return layerReplaced(edit, kUndoLayerReplaced, flow, index, std::move(cropped));
}

bool TPaper::layerReplaced(CDocEdit& edit, int kind, TFlowImage* flow, int32_t index,
                           std::unique_ptr<CLayerData> next) {
  std::unique_ptr<CLayerData> old = layers_->replaceLayer(index, std::move(next));
  edit.changed();
  auto rec = makeReplacedLayerUndo(*this, kind, index, std::move(old));
  edit.undoAfter(rec);
  markModified(true);
  if (flow != nullptr) loadFlowImage(*flow, index, true);
  repaintLayer(index);
  return true;
}

int32_t TPaper::offsetClass(const CLayerData& layer, TPoint delta) const {
  const TRect r = layer.imageRect();
  const int64_t left = int64_t{r.Left} + delta.X, right = int64_t{r.Right} + delta.X;
  const int64_t top = int64_t{r.Top} + delta.Y, bottom = int64_t{r.Bottom} + delta.Y;
  return (left > 0 || right < width_ ? 1 : 0) | (top > 0 || bottom < height_ ? 2 : 0);
}

// The layer rebuilt so that its image, moved by delta, still covers the
// document; null when memory is short.
std::unique_ptr<CLayerData> TPaper::rebuiltForOffset(const CLayerData& layer, TPoint delta) const {
  TRect moved = layer.imageRect();
  moved = TRect{moved.Left + delta.X, moved.Top + delta.Y, moved.Right + delta.X, moved.Bottom + delta.Y};
  TRect cover = moved;
  unionRect(cover, TRect{0, 0, width_, height_});
  const SSize size = rectSize(cover);
  if (!planeSizeAllowed(size.W, size.H)) return nullptr;
  std::unique_ptr<CLayerData> rebuilt = layer.cloneRegion(size, TPoint{moved.Left - cover.Left, moved.Top - cover.Top});
  if (!rebuilt) return nullptr;
  rebuilt->copyAttributes(layer);
  rebuilt->id = layer.id;
  rebuilt->offsetX = -cover.Left;
  rebuilt->offsetY = -cover.Top;
  rebuilt->image->compact();
  (void)rebuilt->fitThumbnail();  // a thumbnail that fails stays stale
  (void)rebuilt->updateThumbnail();  // a thumbnail that fails stays stale
  return rebuilt;
}

bool TPaper::offsetLayerGroup(TFlowImage* flow, int32_t index, TPoint delta, int32_t maskIndex, bool record) {
  // The base of a link group takes its group along.
  if (const int32_t linked = isValidLayer(index) ? layers_->linkGroupLength(index) : 0; linked > 0)
    return offsetLinkGroupMask(flow, index, delta, linked + 1, maskIndex, record);
  maskIndex = maskIndexOr(maskIndex);
  CMaskData* mask = masks_ ? masks_->getMask(maskIndex) : nullptr;
  // Without a selection image (or another mask than the current one, which
  // the attribute record follows) the layer moves alone.
  if (!CMaskData::hasImage(mask) || maskIndex != masks_->current()) return offsetLayer(flow, index, delta, record);
  CDocEdit edit(*this, record);
  CLayerData* layer = getLayer(index);
  if (!edit.gate(layer != nullptr && layer->image && (delta.X != 0 || delta.Y != 0) &&
                 std::abs(delta.X) <= kMaxOffsetStep && std::abs(delta.Y) <= kMaxOffsetStep))
    return false;
  const int32_t cls = offsetClass(*layer, delta);
  std::unique_ptr<CLayerData> rebuilt;
  if (cls != 0) {
    rebuilt = rebuiltForOffset(*layer, delta);
    if (!rebuilt) {
      showOutOfMemoryMessage();
      return false;
    }
  }
  if (!edit.event([&](IDocRecorder& r) {
        return writeDocEvent(r, [&](IDocEventRecorder& e) {
          return cls == 0 ? e.recordLayerMaskOffset(index, u16(maskIndex), delta)
                          : e.recordLayerMaskOffsetApply(index, u16(maskIndex), delta, static_cast<uint16_t>(cls));
        });
      }))
    return false;
  if (cls == 0) {
    edit.undoBefore([&](TPaper& d) { return d.storeAttrUndo(layer, delta.X, kUndoOffsetWithMask, delta.Y); });
    layer->moveBy(delta.X, delta.Y);
  }
  mask->offsetX -= delta.X;
  mask->offsetY -= delta.Y;
  (void)masks_->updateMaskThumbnail(*mask);  // a thumbnail that fails stays stale
  (void)masks_->traceAnts(SSize{width_, height_}, -1);  // the outline only shows the selection
  if (cls == 0) {
    edit.changed();
    markModified(true);
    if (flow != nullptr) loadFlowImage(*flow, index, true);
    repaintLayer(index);
    return true;
  }
  std::unique_ptr<CLayerData> old = layers_->replaceLayer(index, std::move(rebuilt));
  edit.changed();
  auto rec = makeReplacedLayerUndo(*this, kUndoMovedWithMaskRebuilt, index, std::move(old));
  if (rec) {
    rec->value2 = maskIndex;
    rec->value3 = delta.X;
    rec->value4 = delta.Y;
    edit.undoAfter(rec);
  }
  markModified(true);
  if (flow != nullptr) loadFlowImage(*flow, index, true);
  repaintLayer(index);
  return true;
}

bool TPaper::offsetLayer(TFlowImage* flow, int32_t index, TPoint delta, bool record) {
  if (const int32_t linked = isValidLayer(index) ? layers_->linkGroupLength(index) : 0; linked > 0)
    return offsetLinkGroup(flow, index, delta, linked + 1, record);
  CDocEdit edit(*this, record);
  CLayerData* layer = getLayer(index);
  if (!edit.gate(layer != nullptr && layer->image && (delta.X != 0 || delta.Y != 0) &&
                 std::abs(delta.X) <= kMaxOffsetStep && std::abs(delta.Y) <= kMaxOffsetStep))
    return false;
  const int32_t cls = offsetClass(*layer, delta);
  if (cls == 0) {
    if (!edit.event([&](IDocRecorder& r) {
          return writeDocEvent(r, [&](IDocEventRecorder& e) { return e.recordLayerOffset(index, delta); });
        }))
      return false;
    edit.undoBefore([&](TPaper& d) { return d.storeAttrUndo(layer, 0, kUndoOffset, 0); });
    layer->moveBy(delta.X, delta.Y);
    edit.changed();
    markModified(true);
    if (flow != nullptr) loadFlowImage(*flow, index, true);
    repaintLayer(index);
    return true;
  }
  std::unique_ptr<CLayerData> rebuilt = rebuiltForOffset(*layer, delta);
  if (!rebuilt) {
    showOutOfMemoryMessage();
    return false;
  }
  if (!edit.event([&](IDocRecorder& r) {
        return writeDocEvent(r, [&](IDocEventRecorder& e) {
          return e.recordLayerOffsetApply(index, static_cast<uint8_t>(cls), 0, delta);
        });
      }))
    return false;
  return layerReplaced(edit, kUndoMovedRebuilt, flow, index, std::move(rebuilt));
}

// ---- paste -----------------------------------------------------------------------------

bool TPaper::pasteLayerImage(TFlowImage* flow, const TMTC& image, const std::string& name,
                             const uint8_t* attributes72, bool record) {
  CDocEdit edit(*this, record);
  if (!edit.gate(layers_ && layers_->canAddLayer() && image.IsAllocated() && image.Width > 0 && image.Height > 0))
    return false;
  // The copied layer's attributes travel with the image (and with its event):
  // the new layer takes them, live and in a replay alike.
  std::optional<SLayerAttrRecord> attr;
  if (attributes72 != nullptr) attr = SLayerAttrRecord::fromBytes(attributes72);
  // At least as large as the document and the image (and, with attributes,
  // the copied position).
  const SPasteSize size = pastedLayerSize(width_, height_, image.Width, image.Height, attr ? &*attr : nullptr);
  const int32_t w = size.width, h = size.height;
  if (!planeSizeAllowed(w, h)) return false;
  auto made = std::make_unique<CLayerData>(layers_->count(), false);
  if (!made->createImage(w, h, lbmNormal) ||
      !made->image->copyFromPlaneRect(image, TPoint{0, 0}, 255, SRectXYWH{0, 0, image.Width, image.Height})) {
    showOutOfMemoryMessage();
    return false;
  }
  made->image->compact();
  made->visible = true;
  made->width = width_;
  made->height = height_;
  if (attr) applyLayerAttrRecord(*made, *attr, nullptr);
  if (!edit.event([&](IDocRecorder& r) {
        return writeDocEvent(r, [&](IDocEventRecorder& e) {
          return e.recordLayerImage(currentLayerIndex(), image, 1, name, attributes72);
        });
      }))
    return false;
  const int32_t before = layers_->current();
  const int32_t at = layers_->insertExisting(layers_->count(), std::move(made));
  if (at < 0) return false;
  if (name.empty()) {
    (void)layers_->setDefaultName(at, 1);  // the index was just inserted
  } else {
    layers_->getLayer(at)->name = name;
  }
  (void)layers_->getLayer(at)->fitThumbnail();  // a thumbnail that fails stays stale
  (void)layers_->getLayer(at)->updateThumbnail();  // a thumbnail that fails stays stale
  return layerInserted(edit, kUndoPasteAsLayer, flow, at, before);
}

bool TPaper::pasteIntoLayer(TFlowImage* flow, int32_t index, const std::string& name, const uint8_t* attributes72,
                            const TMTC& image, bool record) {
  CDocEdit edit(*this, record);
  CLayerData* layer = getLayer(index);
  if (!edit.gate(layer != nullptr && layer->image && image.IsAllocated())) return false;
  const SRectXYWH rect{0, 0, std::min(image.Width, layer->imageWidth()), std::min(image.Height, layer->imageHeight())};
  if (rect.Width <= 0 || rect.Height <= 0) return false;
  // Every tile the paste rewrites is had first: short of memory, nothing
  // changes.
  if (!layer->image->commitRect(rect)) {
    showOutOfMemoryMessage();
    return false;
  }
  if (!edit.event([&](IDocRecorder& r) {
        return writeDocEvent(r, [&](IDocEventRecorder& e) { return e.recordLayerImage(index, image, 0, name, attributes72); });
      }))
    return false;
  edit.undoBefore([&](TPaper& d) { return d.storeLayerRectUndo(*layer, rect, kUndoPaste); });
  (void)layer->image->copyFromPlaneRect(image, TPoint{0, 0}, 255, rect);  // its tiles were committed above
  layer->image->compact();
  edit.changed();
  markModified(true);
  repaintRect(index, TRect{rect.X - layer->offsetX, rect.Y - layer->offsetY, rect.X + rect.Width - layer->offsetX,
                           rect.Y + rect.Height - layer->offsetY});
  if (flow != nullptr) loadFlowImage(*flow, index, true);
  return true;
}

// ---- link groups ---------------------------------------------------------------------------

bool TPaper::linkLayer(TFlowImage* flow, int32_t index, bool indent, bool record) {
  CDocEdit edit(*this, record);
  if (!edit.gate(isValidLayer(index) && (indent ? layers_->canIndent(index) : layers_->canOutdent(index))))
    return false;
  const auto levels = [&] {
    std::vector<uint8_t> v(static_cast<size_t>(layers_->count()));
    for (int32_t i = 0; i < layers_->count(); ++i) v[static_cast<size_t>(i)] = static_cast<uint8_t>(layers_->getLayer(i)->linkLevel);
    return v;
  };
  const std::vector<uint8_t> before = levels();
  // The levels after the change, worked out on the list and put back, so
  // that the event can carry them before anything is changed.
  if (!layers_->indentGroup(index, indent)) return false;
  const std::vector<uint8_t> after = levels();
  (void)layers_->applyLinkLevels(before.data(), 0, layers_->count());  // levels of the list's own length
  std::vector<uint16_t> wide(after.begin(), after.end());
  if (!edit.event([&](IDocRecorder& r) {
        return writeDocEvent(r, [&](IDocEventRecorder& e) {
          return e.recordLayerLink(index, !indent, wide.data(), static_cast<uint16_t>(std::min<size_t>(wide.size(), 0xFFFF)));
        });
      }))
    return false;
  (void)layers_->applyLinkLevels(after.data(), 0, layers_->count());  // levels of the list's own length
  edit.changed();
  auto rec = structRecord(kUndoLinkLevels, *getLayer(index), index);
  if (rec) {
    rec->value1 = layers_->count();
    rec->bytes1 = before;
    rec->bytes2 = after;
    edit.undoAfter(rec);
  }
  markModified(true);
  redraw(true);
  (void)setCurrentLayer(flow, index);  // a valid index: this only selects it
  toolWindowLink().refreshLayerList();
  return true;
}

bool TPaper::setLayerGroupVisible(int32_t base, int32_t count, bool visible, bool record) {
  const CLayerData* layer = getLayer(base);
  int32_t n = count;
  if (layer == nullptr || layer->visible == visible || !layers_->clampRun(base, n)) return false;
  CDocEdit edit(*this, record);
  if (!edit.gate(true)) return false;
  std::vector<uint8_t> before(static_cast<size_t>(n));
  for (int32_t k = 0; k < n; ++k) before[static_cast<size_t>(k)] = layers_->getLayer(base + k)->visible ? 1 : 0;
  if (!edit.event([&](IDocRecorder& r) {
        return writeDocEvent(r, [&](IDocEventRecorder& e) {
          return e.recordLayerListOp(
              kListGroupVisible, base, 0,
              {.value = (visible ? 1u : 0u) | static_cast<uint32_t>(std::min(n, 0xFFFF)) << 16});
        });
      }))
    return false;
  layers_->setRunVisible(base, n, visible);
  edit.changed();
  auto rec = structRecord(kUndoGroupVisibility, *getLayer(base), base);
  if (rec) {
    rec->value1 = base;
    rec->bytes1 = std::move(before);
    edit.undoAfter(rec);
  }
  markModified(true);
  redraw(true);
  toolWindowLink().refreshLayerList();
  return true;
}

// ---- visibility of several layers -----------------------------------------------------

bool TPaper::changeVisibility(int32_t index, int kind, uint8_t subcode, uint16_t value, bool record,
                              const std::function<bool()>& change) {
  CDocEdit edit(*this, record);
  if (!edit.gate(isValidLayer(index))) return false;
  std::vector<uint8_t> before;
  if (!layers_->getVisibility(before)) return false;
  if (!edit.event([&](IDocRecorder& r) {
        return writeDocEvent(r, [&](IDocEventRecorder& e) { return e.recordDocumentEventValue(index, value, subcode); });
      }))
    return false;
  const bool changedAny = change();
  edit.changed();
  auto rec = structRecord(kind, *getLayer(index), index);
  if (rec) {
    rec->value1 = 0;
    rec->bytes1 = std::move(before);
    edit.undoAfter(rec);
  }
  if (changedAny) {
    markModified(true);
    redraw(true);
  }
  toolWindowLink().refreshLayerList();
  return true;
}

bool TPaper::showOnlyLayer(int32_t index, bool record) {
  const CLayerData* layer = getLayer(index);
  if (layer == nullptr || (layers_->visibleCount() < 2 && layer->visible)) return false;
  return changeVisibility(index, kUndoShowOnly, kDocShowOnlyLayer, 0, record, [&] { return layers_->showOnly(index); });
}

bool TPaper::showAllLayers(int32_t index, bool show, bool record) {
  if (!layers_) return false;
  const int32_t visible = layers_->visibleCount();
  if (show ? visible >= layers_->count() : visible < 1) return false;
  return changeVisibility(index, kUndoShowAll, kDocShowAllLayers, show ? 1 : 0, record,
                          [&] { return layers_->setAllVisible(show); });
}

bool TPaper::flipLayerVisibility(int32_t index, bool record) {
  return changeVisibility(index, kUndoToggleVisibility, kDocFlipVisibility, 0, record,
                          [&] { return layers_->toggleAllVisibility(); });
}

}  // namespace pg
