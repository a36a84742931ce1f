// The document's operations on its masks: the selection flags, the shape
// selections, the whole-mask operations (all, none, invert, offset, grow,
// shrink, crop) and the mask list (new, duplicate, delete, activate, rename,
// move, merge, mask from a layer). The mask manager makes each change and
// hands back the object it replaced; the undo record keeps that object.
#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "brush/shape_fillers.h"
#include "brush/stroke_settings.h"
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
#include "core/block_image.h"

namespace pg {

namespace {

// Mask command subcodes.
enum : uint8_t {
  kMaskNew = 0,
  kMaskNone = 1,
  kMaskDelete = 2,
  kMaskInvert = 3,
  kMaskDuplicate = 4,
  kMaskActivate = 5,
  kMaskCrop = 6,
  kMaskMove = 7,
  kMaskOffset = 8,
  kMaskMerge = 9,
  kMaskInflate = 10,
  kMaskShowAnts = 13,
  kMaskEnable = 14,
  kMaskShapeRect = 16,
  kMaskShapeEllipse = 19,
  kMaskAll = 20,
  kMaskFromLayer = 22,
};

int32_t flagPair(bool enabled, bool shown) { return (enabled ? 1 << 16 : 0) | (shown ? 1 : 0); }

uint16_t u16(int32_t v) { return static_cast<uint16_t>(std::clamp(v, 0, 0xFFFF)); }

}  // namespace

// ---- shared endings ----------------------------------------------------------

bool TPaper::selectionReplaced(CDocEdit& edit, int32_t maskIndex, int32_t currentBefore,
                               std::unique_ptr<CMaskData> old) {
  if (CMaskData* m = masks_->getMask(maskIndex)) (void)masks_->updateMaskThumbnail(*m);  // a thumbnail that fails stays stale
  edit.changed();
  auto rec = makeMaskUndo(*this, kUndoMaskReplaced, maskIndex, currentBefore, std::move(old));
  // A new selection switches the selection on and shows it: its undo gives
  // back the switches as they were.
  if (rec) rec->value2 = kUndoKeepsSelectionFlags | flagPair(selectionEnabled_, showAnts_);
  edit.undoAfter(rec);
  selectionEnabled_ = true;
  showAnts_ = true;
  const bool traced = masks_->traceAnts(SSize{width_, height_}, -1);
  invalidate();
  toolWindowLink().refreshMaskList();
  markModified(true);
  return traced;
}

int32_t TPaper::maskIndexOr(int32_t index) const {
  return index < 0 && masks_ ? masks_->current() : index;
}

bool TPaper::maskEvent(CDocEdit& edit, uint8_t subcode, int32_t argument, bool extended, uint32_t value,
                       uint32_t option) {
  const SCommandValues values{value, option};
  const int32_t layer = currentLayerIndex();
  return edit.event([&](IDocRecorder& r) {
    return writeDocEvent(r, [&](IDocEventRecorder& e) {
      return extended ? e.recordMaskCommandEx(layer, u16(argument), subcode, values)
                      : e.recordMaskCommand(layer, u16(argument), subcode);
    });
  });
}

// ---- flags ---------------------------------------------------------------------

void TPaper::setSelectionFlags(bool shown, bool enabled) {
  showAnts_ = shown;
  selectionEnabled_ = enabled;
  if (masks_) (void)masks_->traceAnts(SSize{width_, height_}, -1);  // the outline only shows the selection
  invalidate();
}

bool TPaper::antsVisible() const { return showAnts_ && masks_ != nullptr && masks_->hasAnts(); }

bool TPaper::drawAnts(const SAntsClip& clip, const std::function<void(int32_t, int32_t, bool)>& sink) {
  if (!antsVisible()) return false;
  return masks_->ants().draw(clip, sink);
}

bool TPaper::stepAnts() {
  if (!antsVisible()) return false;
  masks_->stepAnts();
  return true;
}

bool TPaper::changeSelectionFlag(bool which, bool value, bool record) {
  CDocEdit edit(*this, record);
  if (!edit.gate(masks_ != nullptr)) return which ? showAnts_ : selectionEnabled_;
  const int32_t before = flagPair(selectionEnabled_, showAnts_);
  const bool hasMask = masks_->currentMask() != nullptr;
  const int32_t after = which ? flagPair(selectionEnabled_, hasMask ? value : showAnts_)
                              : flagPair(hasMask ? value : selectionEnabled_, showAnts_);
  if (!maskEvent(edit, which ? kMaskShowAnts : kMaskEnable, masks_->current(), true, static_cast<uint32_t>(before),
                 static_cast<uint32_t>(after)))
    return which ? showAnts_ : selectionEnabled_;
  selectionEnabled_ = (after >> 16) != 0;
  showAnts_ = (after & 1) != 0;
  edit.changed();
  auto rec = makeMaskUndo(*this, kUndoSelectionFlags, masks_->current(), masks_->current(), nullptr);
  if (rec) {
    rec->value1 = before;
    rec->value2 = after;
    edit.undoAfter(rec);
  }
  if (which) invalidate();
  return which ? showAnts_ : selectionEnabled_;
}

bool TPaper::showWalkAnts(bool value, bool record) { return changeSelectionFlag(true, value, record); }
bool TPaper::enableMask(bool value, bool record) { return changeSelectionFlag(false, value, record); }

// ---- shape selections ------------------------------------------------------------

bool TPaper::maskFigure(TFlowImage& flow, int32_t layerIndex, int32_t mode, TStroke& stroke, bool record,
                        const std::function<bool(CFillMngr*&, std::unique_ptr<CFillMngr>&)>& build,
                        const std::function<bool(IDocEventRecorder&)>& write) {
  CDocEdit edit(*this, record, EditOrder::UndoFirst);
  const CLayerData* layer = getLayer(layerIndex);
  const int32_t maskIndex = masks_ ? masks_->current() : -1;
  if (!edit.gate(layer != nullptr && layer->image && masks_ && masks_->isValidIndex(maskIndex) && mode >= 0 &&
                 mode <= 3))
    return false;
  loadFlowImage(flow, layerIndex, false);
  if (!flow.coverage.IsAllocated()) return false;
  CWaitCursor wait(owner_);
  const float opacity = stroke.opacity;
  stroke.opacity = 1.0f;
  fill(flow.coverage, 0);
  CFillMngr* filler = nullptr;
  std::unique_ptr<CFillMngr> owned;
  TRect shape{};
  bool ok = build(filler, owned) && filler != nullptr && filler->getBounds(shape);
  std::unique_ptr<CMaskData> combined;
  if (ok) combined = masks_->makeCombinedMask(maskIndex, flow.coverage, mode, TPoint{layer->offsetX, layer->offsetY},
                                              SSize{layer->imageWidth(), layer->imageHeight()});
  stroke.opacity = opacity;
  fill(flow.coverage, 0);
  if (!combined) return false;
  const int32_t currentBefore = masks_->current();
  combined->name = masks_->getMask(maskIndex)->name;
  std::unique_ptr<CMaskData> old = masks_->replaceMask(maskIndex, std::move(combined));
  masks_->renumber();
  if (mode == kCombineAdd) (void)masks_->trimAfterAdd(maskIndex);  // untrimmed is still right, only larger
  // Shape selections take their undo record before their event.
  selectionReplaced(edit, maskIndex, currentBefore, std::move(old));
  if (record && events_ != nullptr && !writeDocEvent(*events_, write)) clearUndo();
  repaintRect(layerIndex, TRect{shape.Left - layer->offsetX, shape.Top - layer->offsetY, shape.Right - layer->offsetX,
                                shape.Bottom - layer->offsetY});
  return true;
}

bool TPaper::maskFigureRect(TFlowImage& flow, int32_t layerIndex, TPointF p1, TPointF p2, int32_t mode,
                            TStroke& stroke, bool record) {
  const CLayerData* layer = getLayer(layerIndex);
  if (layer == nullptr) return false;
  const TPointF o{static_cast<float>(layer->offsetX), static_cast<float>(layer->offsetY)};
  return maskFigure(
      flow, layerIndex, mode, stroke, record,
      [&](CFillMngr*& f, std::unique_ptr<CFillMngr>& owned) {
        owned = std::make_unique<CFillMngr>(this, stroke);
        f = owned.get();
        f->useFlatValue(255);
        return f->setRect(TPointF{p1.X + o.X, p1.Y + o.Y}, TPointF{p2.X + o.X, p2.Y + o.Y}) &&
               f->fillBox(flow.coverage) > 0;
      },
      [&](IDocEventRecorder& e) {
        return e.recordMaskShape(layerIndex, u16(masks_->current()), kMaskShapeRect, static_cast<uint8_t>(mode), p1,
                                 p2);
      });
}

bool TPaper::maskFigureEllipse(TFlowImage& flow, int32_t layerIndex, TPointF p1, TPointF p2, double angle,
                               int32_t mode, TStroke& stroke, bool record) {
  const CLayerData* layer = getLayer(layerIndex);
  if (layer == nullptr || !std::isfinite(angle)) return false;
  const TPointF o{static_cast<float>(layer->offsetX), static_cast<float>(layer->offsetY)};
  return maskFigure(
      flow, layerIndex, mode, stroke, record,
      [&](CFillMngr*& f, std::unique_ptr<CFillMngr>& owned) {
        auto e = std::make_unique<CEllipseFiller>(this, angle, stroke);
        e->useFlatValue(255);
        const bool ok = e->setEllipse(TPointF{p1.X + o.X, p1.Y + o.Y}, TPointF{p2.X + o.X, p2.Y + o.Y}) &&
                        e->fill(flow.coverage) > 0;
        f = e.get();
        owned = std::move(e);
        return ok;
      },
      [&](IDocEventRecorder& e) {
        return e.recordMaskShape(layerIndex, u16(masks_->current()), kMaskShapeEllipse, static_cast<uint8_t>(mode),
                                 p1, p2);
      });
}

bool TPaper::maskFigurePolygon(TFlowImage& flow, int32_t layerIndex, int32_t count, const TPointF* points,
                               int32_t mode, TStroke& stroke, bool record) {
  const CLayerData* layer = getLayer(layerIndex);
  if (layer == nullptr || points == nullptr || count < 3 || count > kMaxFigurePoints) return false;
  std::vector<TPointF> moved(static_cast<size_t>(count));
  for (int32_t i = 0; i < count; ++i)
    moved[static_cast<size_t>(i)] = TPointF{points[i].X + static_cast<float>(layer->offsetX),
                                            points[i].Y + static_cast<float>(layer->offsetY)};
  return maskFigure(
      flow, layerIndex, mode, stroke, record,
      [&](CFillMngr*& f, std::unique_ptr<CFillMngr>& owned) {
        auto p = std::make_unique<CPolygonFiller>(this, stroke);
        p->useFlatValue(255);
        const bool ok = p->setPolygon(moved.data(), count) && p->fill(flow.coverage) > 0;
        f = p.get();
        owned = std::move(p);
        return ok;
      },
      [&](IDocEventRecorder& e) {
        return e.recordMaskPolygon(layerIndex, u16(masks_->current()), static_cast<uint8_t>(mode), points, count);
      });
}

// ---- whole mask ------------------------------------------------------------------

bool TPaper::offsetMask(TPoint delta, bool record) {
  CDocEdit edit(*this, record);
  CMaskData* m = masks_ ? masks_->currentMask() : nullptr;
  if (!edit.gate(CMaskData::hasImage(m) && (delta.X != 0 || delta.Y != 0) && std::abs(delta.X) <= kMaxOffsetStep &&
                 std::abs(delta.Y) <= kMaxOffsetStep))
    return false;
  if (!maskEvent(edit, kMaskOffset, masks_->current(), true, static_cast<uint32_t>(delta.X),
                 static_cast<uint32_t>(delta.Y)))
    return false;
  m->offsetX -= delta.X;
  m->offsetY -= delta.Y;
  edit.changed();
  auto rec = makeMaskUndo(*this, kUndoMaskOffset, masks_->current(), masks_->current(), nullptr);
  if (rec) {
    rec->value3 = delta.X;
    rec->value4 = delta.Y;
    edit.undoAfter(rec);
  }
  (void)masks_->updateMaskThumbnail(*m);  // a thumbnail that fails stays stale
  (void)masks_->traceAnts(SSize{width_, height_}, -1);  // the outline only shows the selection
  toolWindowLink().refreshMaskList();
  invalidate();
  return true;
}

bool TPaper::maskFillAll(TFlowImage& flow, int32_t layerIndex, bool record) {
  CDocEdit edit(*this, record);
  const CLayerData* layer = getLayer(layerIndex);
  const int32_t maskIndex = masks_ ? masks_->current() : -1;
  if (!edit.gate(layer != nullptr && masks_ && masks_->isValidIndex(maskIndex))) return false;
  CWaitCursor wait(owner_);
  loadFlowImage(flow, layerIndex, false);
  if (!flow.coverage.IsAllocated()) return false;
  fill(flow.coverage, 255);
  std::unique_ptr<CMaskData> combined = masks_->makeCombinedMask(
      maskIndex, flow.coverage, kCombineCopy, TPoint{layer->offsetX, layer->offsetY},
      SSize{layer->imageWidth(), layer->imageHeight()});
  fill(flow.coverage, 0);
  if (!combined) return false;
  if (!maskEvent(edit, kMaskAll, maskIndex, false, 0, 0)) return false;
  const int32_t before = masks_->current();
  combined->name = masks_->getMask(maskIndex)->name;
  std::unique_ptr<CMaskData> old = masks_->replaceMask(maskIndex, std::move(combined));
  masks_->renumber();
  selectionReplaced(edit, maskIndex, before, std::move(old));
  return true;
}

bool TPaper::maskFillNone(TFlowImage&, int32_t, bool record) {
  CDocEdit edit(*this, record);
  const int32_t maskIndex = masks_ ? masks_->current() : -1;
  if (!edit.gate(hasSelection())) return false;
  if (!maskEvent(edit, kMaskNone, maskIndex, false, 0, 0)) return false;
  std::unique_ptr<CMaskData> old;
  if (!masks_->clearMaskAt(maskIndex, old)) return false;
  edit.changed();
  auto rec = makeMaskUndo(*this, kUndoMaskReplaced, maskIndex, maskIndex, std::move(old));
  // Without its undo record the history no longer matches: it is cleared.
  if (!record || !edit.undoAfter(rec)) clearUndo();
  masks_->clearAnts();
  invalidate();
  toolWindowLink().refreshMaskList();
  return true;
}

bool TPaper::maskInvert(TFlowImage&, int32_t, bool record) {
  CDocEdit edit(*this, record);
  const int32_t maskIndex = masks_ ? masks_->current() : -1;
  if (!edit.gate(hasSelection())) return false;
  CWaitCursor wait(owner_);
  if (!maskEvent(edit, kMaskInvert, maskIndex, false, 0, 0)) return false;
  std::unique_ptr<CMaskData> old;
  if (!masks_->invertMask(maskIndex, old)) return false;
  edit.changed();
  // The kind is decided before the old mask is handed over.
  const int kind = old ? kUndoMaskReplaced : kUndoInvertMaskInPlace;
  auto rec = makeMaskUndo(*this, kind, maskIndex, maskIndex, std::move(old));
  edit.undoAfter(rec);
  (void)masks_->updateMaskThumbnail(*masks_->getMask(maskIndex));  // a thumbnail that fails stays stale
  (void)masks_->traceAnts(SSize{width_, height_}, -1);  // the outline only shows the selection
  invalidate();
  toolWindowLink().refreshMaskList();
  return true;
}

bool TPaper::inflateSelection(int32_t maskIndex, bool grow, bool growImage, bool record) {
  CDocEdit edit(*this, record);
  maskIndex = maskIndexOr(maskIndex);
  const CMaskData* m = masks_ ? masks_->getMask(maskIndex) : nullptr;
  if (!edit.gate(CMaskData::hasImage(m))) return false;
  // The grown form widens the image by one pixel on each side the selected
  // pixels touch, so that growing is not cut off at the image's edge.
  TRect b{};
  int32_t left = 0, top = 0, right = 0, bottom = 0;
  if (growImage && grow && m->image->getBounds(b)) {
    left = b.Left <= 0 ? 1 : 0;
    top = b.Top <= 0 ? 1 : 0;
    right = b.Right >= m->imageWidth() ? 1 : 0;
    bottom = b.Bottom >= m->imageHeight() ? 1 : 0;
  }
  std::unique_ptr<CMaskData> next =
      CMaskData::createSized(maskIndex, m->imageWidth() + left + right, m->imageHeight() + top + bottom);
  if (!next || !next->hasImage()) return false;
  bool ok;
  if (left + top + right + bottom > 0) {
    CBlockVCH shifted(next->imageWidth(), next->imageHeight());
    ok = shifted.isValid() && shifted.combineCopy(*m->image, TPoint{left, top},
                                                  SRectXYWH{0, 0, m->imageWidth(), m->imageHeight()}) &&
         next->image->dilateFromGrown(shifted);
  } else {
    ok = grow ? next->image->dilateFrom(*m->image) : next->image->erodeFrom(*m->image);
  }
  // A mask with nothing left to erode is simply empty.
  if (!ok && !grow && !next->image->commitFailed()) ok = true;
  if (!ok) return false;
  next->offsetX = m->offsetX + left;
  next->offsetY = m->offsetY + top;
  next->name = m->name;
  if (!maskEvent(edit, kMaskInflate, maskIndex, true, grow ? 1u : 0u, growImage ? 1u : 0u)) return false;
  const int32_t before = masks_->current();
  std::unique_ptr<CMaskData> old = masks_->replaceMask(maskIndex, std::move(next));
  masks_->renumber();
  selectionReplaced(edit, maskIndex, before, std::move(old));
  return true;
}

bool TPaper::inflateMaskInPlace(int32_t, bool grow, int32_t maskIndex, bool record) {
  return inflateSelection(maskIndex, grow, false, record);
}

bool TPaper::inflateMask(int32_t, bool grow, int32_t maskIndex, bool record) {
  return inflateSelection(maskIndex, grow, true, record);
}

bool TPaper::cropMask(TFlowImage& flow, int32_t layerIndex, int32_t maskIndex, bool record) {
  CDocEdit edit(*this, record);
  maskIndex = maskIndexOr(maskIndex);
  if (!edit.gate(masks_ && masks_->exists(maskIndex) && masks_->exceedsCanvas(maskIndex))) return false;
  if (!maskEvent(edit, kMaskCrop, maskIndex, false, 0, 0)) return false;
  std::unique_ptr<CMaskData> old;
  const int32_t before = masks_->current();
  if (!masks_->cropToCanvas(maskIndex, old) || !old) return false;
  edit.changed();
  auto rec = makeMaskUndo(*this, kUndoMaskReplaced, maskIndex, before, std::move(old));
  edit.undoAfter(rec);
  (void)activateMask(flow, layerIndex, maskIndex, false);  // a valid index: this only selects it
  return true;
}

// ---- the mask list -----------------------------------------------------------------

bool TPaper::activateMask(TFlowImage&, int32_t, int32_t index, bool record) {
  CDocEdit edit(*this, record);
  if (!edit.gate(masks_ && index >= 0 && index <= masks_->count())) return false;
  const int32_t before = masks_->current();
  if (!maskEvent(edit, kMaskActivate, index, false, 0, 0)) return false;
  const bool ok = masks_->setCurrent(index) == index;
  if (ok) {
    edit.changed();
    auto rec = makeMaskUndo(*this, kUndoActivateMask, index, before, nullptr);
    if (rec) {
      rec->value1 = index;
      edit.undoAfter(rec);
    }
  }
  (void)masks_->traceAnts(SSize{width_, height_}, -1);  // the outline only shows the selection
  invalidate();
  toolWindowLink().updateMaskPanel();
  return ok;
}

bool TPaper::insertMaskEdit(TFlowImage& flow, int32_t layerIndex, int32_t source, bool duplicate, bool record) {
  CDocEdit edit(*this, record);
  if (!edit.gate(masks_ && (duplicate ? masks_->isValidIndex(source) : source < masks_->count()))) return false;
  const int32_t before = masks_->current();
  if (!maskEvent(edit, duplicate ? kMaskDuplicate : kMaskNew, source, false, 0, 0)) return false;
  int32_t at;
  if (duplicate) {
    at = masks_->duplicateMask(source);
    if (at >= 0) (void)masks_->setDefaultName(at, 1);  // the index was just inserted
  } else {
    // After the given mask (after the current one when negative).
    const int32_t after = source < 0 ? masks_->current() : source;
    at = masks_->addMask(after + 1);
  }
  if (at < 0) return false;
  masks_->setCurrent(at);
  edit.changed();
  auto rec = makeMaskUndo(*this, kUndoNewMask, at, before, nullptr);
  edit.undoAfter(rec);
  (void)activateMask(flow, layerIndex, at, false);  // a valid index: this only selects it
  return true;
}

bool TPaper::newMask(TFlowImage& flow, int32_t layerIndex, int32_t after, bool record) {
  return insertMaskEdit(flow, layerIndex, after, false, record);
}

bool TPaper::duplicateMask(TFlowImage& flow, int32_t layerIndex, int32_t index, bool record) {
  return insertMaskEdit(flow, layerIndex, maskIndexOr(index), true, record);
}

bool TPaper::deleteMask(TFlowImage& flow, int32_t layerIndex, int32_t index, bool record) {
  CDocEdit edit(*this, record);
  index = maskIndexOr(index);
  if (!edit.gate(masks_ && masks_->count() > 1 && masks_->isValidIndex(index))) return false;
  const int32_t before = masks_->current();
  const int64_t id = masks_->getMask(index)->id;
  if (!maskEvent(edit, kMaskDelete, index, false, 0, 0)) return false;
  std::unique_ptr<CMaskData> removed;
  if (!masks_->removeMask(index, removed)) return false;
  edit.changed();
  auto rec = makeMaskUndo(*this, kUndoDeleteMask, index, before, std::move(removed));
  if (rec) {
    rec->objectId = id;
    edit.undoAfter(rec);
  }
  (void)activateMask(flow, layerIndex, masks_->current(), false);  // a valid index: this only selects it
  return true;
}

bool TPaper::setMaskName(int32_t, const std::string& newName, int32_t index, bool record) {
  CDocEdit edit(*this, record);
  index = maskIndexOr(index);
  CMaskData* m = masks_ ? masks_->getMask(index) : nullptr;
  if (!edit.gate(m != nullptr)) return false;
  if (!edit.event([&](IDocRecorder& r) {
        return writeDocEvent(r, [&](IDocEventRecorder& e) { return e.recordMaskName(index, newName); });
      }))
    return false;
  auto rec = makeMaskUndo(*this, kUndoMaskName, index, masks_->current(), nullptr);
  if (rec) {
    rec->name1 = m->name;
    rec->name2 = newName;
  }
  m->name = newName;
  edit.changed();
  if (record && !edit.undoAfter(rec)) clearUndo();
  toolWindowLink().refreshMaskList();
  return true;
}

bool TPaper::moveMask(TFlowImage& flow, int32_t layerIndex, int32_t from, int32_t to, bool record) {
  CDocEdit edit(*this, record);
  if (!edit.gate(masks_ && masks_->isValidIndex(from) && masks_->isValidIndex(to) && from != to)) return false;
  const int32_t before = masks_->current();
  if (!maskEvent(edit, kMaskMove, from, true, static_cast<uint32_t>(to), 0)) return false;
  if (masks_->moveMask(to, from) < 0) return false;
  edit.changed();
  auto rec = makeMaskUndo(*this, kUndoMaskOrder, to, before, nullptr);
  if (rec) {
    rec->value1 = from;
    rec->value2 = to;
    edit.undoAfter(rec);
  }
  (void)activateMask(flow, layerIndex, to, false);  // a valid index: this only selects it
  return true;
}

bool TPaper::mergeMask(TFlowImage& flow, int32_t layerIndex, int32_t target, int32_t source, int32_t mode,
                       bool record) {
  CDocEdit edit(*this, record);
  if (!edit.gate(masks_ && masks_->isValidIndex(target) && masks_->exists(source) && target != source && mode >= 0 &&
                 mode <= 3))
    return false;
  if (!maskEvent(edit, kMaskMerge, target, true, static_cast<uint32_t>(source), static_cast<uint32_t>(mode)))
    return false;
  const int32_t before = masks_->current();
  std::unique_ptr<CMaskData> old;
  if (!masks_->mergeMask(target, source, mode, old)) return false;
  edit.changed();
  auto rec = makeMaskUndo(*this, kUndoMergeMask, target, before, std::move(old));
  edit.undoAfter(rec);
  (void)activateMask(flow, layerIndex, target, false);  // a valid index: this only selects it
  return true;
}

bool TPaper::newMaskFromLayer(TFlowImage& flow, int32_t layerIndex, int32_t sourceKind, int32_t mergeMode,
                              int32_t maskIndex, bool record) {
  CDocEdit edit(*this, record);
  const CLayerData* layer = getLayer(layerIndex);
  maskIndex = maskIndexOr(maskIndex);
  if (!edit.gate(layer != nullptr && layer->image && masks_ && (sourceKind == 0 || sourceKind == 1) &&
                 maskIndex >= -1 && maskIndex < masks_->count()))
    return false;
  auto made = std::make_unique<CMaskData>(maskIndex + 1);
  const bool built = sourceKind == 0 ? made->fromLayerLuminance(*layer, false) : made->fromLayerAlpha(*layer);
  if (!built || !made->hasImage()) return false;
  made->offsetX = layer->offsetX;
  made->offsetY = layer->offsetY;
  (void)made->fitThumbnail(width_, height_);  // a thumbnail that fails stays stale
  // A merge mode is noted but the new mask is inserted plainly; replay
  // reproduces the plain insertion only.
  (void)mergeMode;
  if (!maskEvent(edit, kMaskFromLayer, maskIndex, true, static_cast<uint32_t>(sourceKind), 0)) return false;
  const int32_t before = masks_->current();
  const int32_t at = masks_->insertMask(maskIndex + 1, std::move(made));
  if (at < 0) return false;
  masks_->renumber();
  masks_->setCurrent(at);
  edit.changed();
  auto rec = makeMaskUndo(*this, kUndoMaskFromLayer, at, before, nullptr);
  // The new mask switches the selection on and shows it; its undo gives
  // back the switches as they were.
  if (rec) rec->value2 = kUndoKeepsSelectionFlags | flagPair(selectionEnabled_, showAnts_);
  edit.undoAfter(rec);
  (void)activateMask(flow, layerIndex, at, false);  // a valid index: this only selects it
  setSelectionFlags(true, true);
  return true;
}

}  // namespace pg
