// The document's region tools: the magic wand, the bucket fill and the
// lasso. A region is found by the seed fillers (or drawn by the window, for
// the lasso) into the flow image's coverage channel; the wand and the lasso
// combine it into the current mask, the bucket paints or erases through it.
// Replay calls the endings (wandRegionToMask*, fillRegionOnLayer*) with the
// recorded region in the coverage channel and `record` false.
#include <algorithm>
#include <cstdlib>

#include "brush/stroke_settings.h"
#include "brush/tone_list.h"
#include "core/blend_arith.h"
#include "core/blend_modes.h"
#include "core/colour.h"
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
#include "document/paper_ops.h"
#include "document/seed_fill.h"
#include "document/tool_window_link.h"
#include "platform/string_table.h"
#include "brush/plot_merge.h"

namespace pg {

namespace {

// Region subcodes of the fill-region event.
constexpr uint8_t kFillPaint = 0;
constexpr uint8_t kWandLayerRegion = 1;
constexpr uint8_t kFillPaintGrow = 2;
constexpr uint8_t kWandRegion = 3;
constexpr uint8_t kFillErase = 4;
constexpr uint8_t kFillEraseGrow = 5;

// Interior pixels of the region become 255 (an edge pixel keeps its grade).
void solidInterior(TChannel& coverage) {
  traceEdges(
      coverage, TRect{0, 0, coverage.Width, coverage.Height},
      [](uint8_t* p, bool isEdge, void*) {
        if (!isEdge) *p = 255;
      },
      nullptr);
}

// A region's shape from a recording: it must lie in the coverage channel and
// its place must stay far from overflowing a coordinate.
bool regionFits(const TChannel& coverage, TPoint offset, SSize size) {
  return coverage.IsAllocated() && size.W > 0 && size.H > 0 && size.W <= coverage.Width &&
         size.H <= coverage.Height && std::abs(offset.X) <= kMaxOffsetStep && std::abs(offset.Y) <= kMaxOffsetStep;
}

SFillArgs fillArgs(int32_t mode, const SRegionFillSettings& s, bool antiAlias) {
  SFillArgs a;
  a.combine = static_cast<uint8_t>(mode);
  a.target = static_cast<uint8_t>(s.target);
  a.antiAlias = antiAlias;
  a.limit = static_cast<uint16_t>(std::clamp(s.limit, 0, 0xFFFF));
  return a;
}

// The part of the coverage channel a region of `size` covers.
SRectXYWH regionBounds(const TChannel& coverage, SSize size) {
  return SRectXYWH{0, 0, std::min(size.W, coverage.Width), std::min(size.H, coverage.Height)};
}

}  // namespace

bool TPaper::hasSelection() const { return masks_ && CMaskData::hasImage(masks_->currentMask()); }

int32_t TPaper::selectModeFromKeys(SModifierKeys keys, int32_t shortcutMode) const {
  return pg::selectModeFromKeys(hasSelection(), keys, shortcutMode);
}

// ---- sampling ---------------------------------------------------------------

bool TPaper::composeVisibleForSampling(TFlowImage& flow, TPoint& origin) {
  // The region is bounded by the document, so the document rectangle is
  // what is composed; flow coordinates are document coordinates.
  origin = TPoint{0, 0};
  if (width_ <= 0 || height_ <= 0 || !flow.growTo(width_, height_)) return false;
  flow.valid = false;
  SComposeSettings s = composeSettings();
  (void)composeLayers(flow.pixels, *layers_, s, SRectXYWH{0, 0, width_, height_});  // a clip result only
  return true;
}

bool TPaper::seedRegion(TFlowImage& flow, int32_t layerIndex, TPoint point, bool antiAlias, int32_t limit,
                        bool visible, const CMaskData* mask, SRegionShape& region) {
  CLayerData* layer = getLayer(layerIndex);
  if (layer == nullptr || !layer->image) return false;
  const bool masked = CMaskData::hasImage(mask);
  const int32_t tol = toleranceFromLimit(limit);
  bool found = false;
  bool overflow = false;
  bool noMemory = false;
  if (visible) {
    TPoint origin{};
    if (!composeVisibleForSampling(flow, origin)) return false;
    fill(flow.coverage, 0);
    const TRect bounds{0, 0, width_, height_};
    region.offset = TPoint{-origin.X, -origin.Y};
    region.size = SSize{width_, height_};
    if (masked) {
      CSeedFillTCWithMask f(seedFillCapacity_, flow.pixels, flow.coverage, bounds);
      f.antiAlias = antiAlias ? 1 : 0;
      f.setMask(mask->image.get(), TPoint{origin.X + mask->offsetX, origin.Y + mask->offsetY});
      found = f.fill(point, tol);
      overflow = f.overflowed();
      noMemory = !f.isAllocated();
    } else {
      CSeedFillTCWithAlpha f(seedFillCapacity_, flow.pixels, flow.coverage, bounds);
      f.antiAlias = antiAlias ? 1 : 0;
      found = f.fill(point, tol);
      overflow = f.overflowed();
      noMemory = !f.isAllocated();
    }
  } else {
    if (!flow.growTo(layer->imageWidth(), layer->imageHeight())) return false;
    fill(flow.coverage, 0);
    const TRect bounds{layer->offsetX, layer->offsetY, layer->offsetX + width_, layer->offsetY + height_};
    const TPoint seed{point.X + layer->offsetX, point.Y + layer->offsetY};
    region.offset = TPoint{layer->offsetX, layer->offsetY};
    region.size = SSize{layer->imageWidth(), layer->imageHeight()};
    if (masked) {
      CSeedFillWithMask f(seedFillCapacity_, *layer->image, flow.coverage, bounds);
      f.antiAlias = antiAlias ? 1 : 0;
      f.setMask(mask->image.get(), TPoint{mask->offsetX - layer->offsetX, mask->offsetY - layer->offsetY});
      found = f.fill(seed, tol);
      overflow = f.overflowed();
      noMemory = !f.isAllocated();
    } else {
      CSeedFillWithAlpha f(seedFillCapacity_, *layer->image, flow.coverage, bounds);
      f.antiAlias = antiAlias ? 1 : 0;
      found = f.fill(seed, tol);
      overflow = f.overflowed();
      noMemory = !f.isAllocated();
    }
  }
  if (noMemory) {
    showOutOfMemoryMessage();
    return false;
  }
  // The queue filled up: the walk stopped part-way, with a region neither
  // whole nor finished, which no fill or selection may use.
  if (found && overflow) {
    showWarning(resString(kStrRegionTooComplex));
    return false;
  }
  return found;
}

// ---- magic wand and lasso ------------------------------------------------------

bool TPaper::magicWandSelect(TFlowImage& flow, int32_t layerIndex, TPoint point, int32_t mode, bool antiAlias,
                             const SRegionFillSettings& settings, bool record) {
  if (!isValidLayer(layerIndex)) return false;
  CWaitCursor wait(owner_);
  loadFlowImage(flow, layerIndex, false);
  SRegionShape region;
  if (!seedRegion(flow, layerIndex, point, antiAlias, settings.limit, settings.target != 0, nullptr, region)) {
    loadFlowImage(flow, layerIndex, true);
    return false;
  }
  if (!antiAlias) solidInterior(flow.coverage);
  return wandRegionToMaskEx(flow, layerIndex, point, region.offset, region.size, mode, antiAlias, settings, record);
}

bool TPaper::wandRegionToMask(TFlowImage& flow, int32_t layerIndex, TPoint point, int32_t mode, bool antiAlias,
                              const SRegionFillSettings& settings, bool record) {
  const CLayerData* layer = getLayer(layerIndex);
  if (layer == nullptr) return false;
  return combineRegionIntoMask(flow, layerIndex, point, TPoint{layer->offsetX, layer->offsetY},
                               SSize{layer->imageWidth(), layer->imageHeight()}, mode, antiAlias, settings, record,
                               kWandLayerRegion);
}

bool TPaper::wandRegionToMaskEx(TFlowImage& flow, int32_t layerIndex, TPoint point, TPoint offset, SSize size,
                                int32_t mode, bool antiAlias, const SRegionFillSettings& settings, bool record) {
  return combineRegionIntoMask(flow, layerIndex, point, offset, size, mode, antiAlias, settings, record,
                               kWandRegion);
}

bool TPaper::combineRegionIntoMask(TFlowImage& flow, int32_t layerIndex, TPoint point, TPoint offset, SSize size,
                                   int32_t mode, bool antiAlias, const SRegionFillSettings& settings, bool record,
                                   uint8_t subcode) {
  CDocEdit edit(*this, record);
  const int32_t maskIndex = masks_ ? masks_->current() : -1;
  if (!edit.gate(isValidLayer(layerIndex) && masks_ && masks_->isValidIndex(maskIndex) &&
                 regionFits(flow.coverage, offset, size) && mode >= 0 && mode <= 3))
    return false;
  // The new selection is built before anything is written, so that a
  // failure (memory) leaves the document and the recording as they were.
  std::unique_ptr<CMaskData> combined = masks_->makeCombinedMask(maskIndex, flow.coverage, mode, offset, size);
  if (!combined) {
    loadFlowImage(flow, layerIndex, true);
    return false;
  }
  const SRectXYWH bounds = regionBounds(flow.coverage, size);
  if (!edit.event([&](IDocRecorder& r) {
        return writeDocEvent(r, [&](IDocEventRecorder& e) {
          const SFillArgs args = fillArgs(mode, settings, antiAlias);
          if (subcode == kWandRegion) {
            const std::array<TPoint, 3> points{TPoint{size.W, size.H}, offset, point};
            return e.recordFillRegionEx(layerIndex, static_cast<uint16_t>(maskIndex), subcode, args, points,
                                        flow.coverage, bounds);
          }
          return e.recordFillRegion(layerIndex, static_cast<uint16_t>(maskIndex), subcode, args, &point,
                                    flow.coverage, bounds);
        });
      })) {
    return false;
  }
  const int32_t currentBefore = masks_->current();
  combined->name = masks_->getMask(maskIndex)->name;
  std::unique_ptr<CMaskData> old = masks_->replaceMask(maskIndex, std::move(combined));
  masks_->renumber();
  if (mode == kCombineAdd) (void)masks_->trimAfterAdd(maskIndex);  // untrimmed is still right, only larger
  const bool traced = selectionReplaced(edit, maskIndex, currentBefore, std::move(old));
  loadFlowImage(flow, layerIndex, true);
  return traced;
}

bool TPaper::lassoSelect(TFlowImage& flow, int32_t layerIndex, int32_t mode, bool record) {
  CDocEdit edit(*this, record);
  const CLayerData* layer = getLayer(layerIndex);
  const int32_t maskIndex = masks_ ? masks_->current() : -1;
  CWaitCursor wait(owner_);
  bool ok = false;
  if (edit.gate(layer != nullptr && masks_ && masks_->isValidIndex(maskIndex) && flow.coverage.IsAllocated())) {
    std::unique_ptr<CMaskData> old;
    const int32_t currentBefore = masks_->current();
    // The lasso writes no event of its own: the window recorded the shape.
    if (masks_->setMaskImage(maskIndex, flow.coverage, mode, old, TPoint{layer->offsetX, layer->offsetY},
                             SSize{layer->imageWidth(), layer->imageHeight()})) {
      selectionReplaced(edit, maskIndex, currentBefore, std::move(old));
      ok = true;
    }
  }
  if (flow.coverage.IsAllocated()) fill(flow.coverage, 0);
  return ok;
}

// ---- bucket fill -----------------------------------------------------------------

bool TPaper::bucketFillLayer(TFlowImage& flow, int32_t layerIndex, TPoint point, bool antiAlias, bool erase,
                             const TStroke& stroke, const SRegionFillSettings& settings, bool record) {
  if (!isValidLayer(layerIndex)) return false;
  CWaitCursor wait(owner_);
  loadFlowImage(flow, layerIndex, false);
  SRegionShape region;
  const CMaskData* mask = selectionEnabled_ && masks_ ? masks_->currentMask() : nullptr;
  if (!seedRegion(flow, layerIndex, point, antiAlias, settings.limit, settings.target != 0, mask, region)) {
    loadFlowImage(flow, layerIndex, true);
    return false;
  }
  if (!antiAlias) solidInterior(flow.coverage);
  const CLayerData* layer = getLayer(layerIndex);
  if (layer->imageWidth() == region.size.W && layer->imageHeight() == region.size.H &&
      region.offset.X == layer->offsetX && region.offset.Y == layer->offsetY)
    return fillRegionOnLayer(flow, layerIndex, point, antiAlias, erase, stroke, settings, record);
  return fillRegionOnLayerGrow(flow, layerIndex, point, region.offset, region.size, antiAlias, erase, stroke,
                               settings, record);
}

void TPaper::paintRegion(TFlowImage& flow, const CLayerData& layer, const TRect& rect, bool erase,
                         const TStroke& stroke) {
  const uint32_t opacity = stroke.getOpacity255();
  const uint32_t neutral = layerBlendNeutral(layer.blendMode);
  // Keep-alpha is the filled layer's own protect-alpha flag. The stroke's
  // opaque switch only mirrors it as of the last stroke (or, in a replay, as
  // of the last recorded current layer), so it is not asked here: a fill
  // keeps alpha exactly when its layer says so, live and in a replay.
  const bool keepAlpha = layer.protectAlpha;
  const bool gradient = stroke.useGradation != 0 && !erase;
  if (gradient) takeGradientFor(stroke);
  // With the tone switch on the screen tone of the tool window (or of the
  // replay) weights every pixel, as it weights a stroke's dabs.
  const CToneMngr* tone = stroke.useTone != 0 ? toneManager() : nullptr;
  for (int32_t y = rect.Top; y < rect.Bottom; ++y) {
    const uint8_t* cov = flow.coverage.pixelAt(0, y);
    uint32_t* px = flow.pixels.pixelAt(0, y);
    for (int32_t x = rect.Left; x < rect.Right; ++x) {
      if (cov[x] == 0) continue;
      uint32_t weight = mulDiv255(cov[x], opacity);
      uint32_t colour = stroke.color;
      if (gradient) {
        const uint32_t g = gradientColorAt(TPoint{x - layer.offsetX, y - layer.offsetY});
        colour = colorToPixel(g & 0x00FFFFFFu);
        weight = mulDiv255(weight, g >> 24);
      }
      if (tone != nullptr && (weight = tone->patternAt(x, y, weight)) == 0) continue;
      if (erase) {
        if (keepAlpha) {
          lerpPixelRgb(&px[x], neutral, weight);
        } else {
          erasePixel(&px[x], neutral, weight);
        }
      } else if (keepAlpha) {
        lerpPixelRgb(&px[x], colour, weight);
      } else {
        blendPixelOpacity(&px[x], colour, weight);
      }
    }
  }
}

bool TPaper::fillRegionOnLayer(TFlowImage& flow, int32_t layerIndex, TPoint point, bool antiAlias, bool erase,
                               const TStroke& stroke, const SRegionFillSettings& settings, bool record) {
  return paintCoverageOnLayer(flow, layerIndex, erase, stroke, record, [&](IDocEventRecorder& e, const SRectXYWH& bounds) {
    return e.recordFillRegion(layerIndex, static_cast<uint16_t>(masks_ ? masks_->current() : 0),
                              erase ? kFillErase : kFillPaint, fillArgs(0, settings, antiAlias), &point, flow.coverage,
                              bounds);
  });
}

bool TPaper::placeTextOnLayer(TFlowImage& flow, int32_t layerIndex, const STextPlacement& text, const TStroke& stroke,
                              bool record) {
  return paintCoverageOnLayer(flow, layerIndex, false, stroke, record, [&](IDocEventRecorder& e, const SRectXYWH& bounds) {
    return e.recordTextFill(layerIndex, static_cast<uint16_t>(masks_ ? masks_->current() : 0), 16, text.font,
                            text.lineSpacing, text.charSpacing, text.text, text.point, flow.coverage, bounds, 0);
  });
}

bool TPaper::paintCoverageOnLayer(TFlowImage& flow, int32_t layerIndex, bool erase, const TStroke& stroke, bool record,
                                  const std::function<bool(IDocEventRecorder&, const SRectXYWH&)>& event) {
  CDocEdit edit(*this, record);
  CLayerData* layer = getLayer(layerIndex);
  TRect rect{};
  if (!edit.gate(layer != nullptr && layer->image && flow.coverage.IsAllocated() &&
                 boundsOfNonZero(flow.coverage, rect))) {
    if (layer != nullptr) loadFlowImage(flow, layerIndex, true);
    return false;
  }
  TRect within{0, 0, std::min(layer->imageWidth(), flow.pixels.Width),
               std::min(layer->imageHeight(), flow.pixels.Height)};
  if (!intersectRect(rect, within)) return false;
  // Every tile the fill rewrites is committed first: short of memory, the
  // layer stays as it was.
  if (!layer->image->commitRect(rectToXYWH(rect))) {
    showOutOfMemoryMessage();
    loadFlowImage(flow, layerIndex, true);
    return false;
  }
  const SRectXYWH bounds = regionBounds(flow.coverage, SSize{layer->imageWidth(), layer->imageHeight()});
  if (!edit.event([&](IDocRecorder& r) {
        return writeDocEvent(r, [&](IDocEventRecorder& e) { return event(e, bounds); });
      }))
    return false;
  edit.undoBefore([&](TPaper& d) { return d.storeLayerRectUndo(*layer, rectToXYWH(rect), kUndoPixels); });
  // The flow holds the layer; the region is painted into it and committed.
  layer->image->copyToPlaneRect(flow.pixels, TPoint{rect.Left, rect.Top}, false, 255, rectToXYWH(rect));
  paintRegion(flow, *layer, rect, erase, stroke);
  (void)syncFlowRect(flow, layerIndex, true, rect);  // its tiles were committed above
  edit.changed();
  markModified(true);
  repaintRect(layerIndex, TRect{rect.Left - layer->offsetX, rect.Top - layer->offsetY, rect.Right - layer->offsetX,
                                rect.Bottom - layer->offsetY});
  toolWindowLink().refreshMaskList();
  loadFlowImage(flow, layerIndex, true);
  return true;
}

bool TPaper::fillRegionOnLayerGrow(TFlowImage& flow, int32_t layerIndex, TPoint point, TPoint offset, SSize size,
                                   bool antiAlias, bool erase, const TStroke& stroke,
                                   const SRegionFillSettings& settings, bool record) {
  CDocEdit edit(*this, record);
  CLayerData* layer = getLayer(layerIndex);
  TRect found{};
  // Only the region's own rectangle is the region (it is all the recording
  // carries): coverage the seed fill left beyond it must not widen the paint.
  const SRectXYWH within = regionBounds(flow.coverage, size);
  if (!edit.gate(layer != nullptr && layer->image && regionFits(flow.coverage, offset, size) &&
                 boundsOfNonZero(flow.coverage, found) &&
                 intersectRect(found, TRect{0, 0, within.Width, within.Height}))) {
    if (layer != nullptr) loadFlowImage(flow, layerIndex, true);
    return false;
  }
  // The region (its top-left at document point -offset) in document
  // coordinates, and the layer image grown to cover it.
  TRect regionDoc{found.Left - offset.X, found.Top - offset.Y, found.Right - offset.X, found.Bottom - offset.Y};
  TRect cover = layer->imageRect();
  unionRect(cover, regionDoc);
  const SSize grownSize = rectSize(cover);
  if (!planeSizeAllowed(grownSize.W, grownSize.H)) {
    loadFlowImage(flow, layerIndex, true);
    return false;
  }
  const TPoint placeOld{-layer->offsetX - cover.Left, -layer->offsetY - cover.Top};
  // The region moves with the new image: copy it into a channel of the
  // grown image's coordinates (before the flow planes may grow).
  TChannel regionCopy;
  std::unique_ptr<CLayerData> grown;
  if (regionCopy.Resize(grownSize.W, grownSize.H)) grown = layer->cloneRegion(grownSize, placeOld);
  if (!grown) {
    showOutOfMemoryMessage();
    loadFlowImage(flow, layerIndex, true);
    return false;
  }
  grown->copyAttributes(*layer);
  fill(regionCopy, 0);
  const TPoint shift{-offset.X - cover.Left, -offset.Y - cover.Top};
  copyPlaneRect(flow.coverage, regionCopy, shift, SRectXYWH{0, 0, std::min(size.W, flow.coverage.Width),
                                                           std::min(size.H, flow.coverage.Height)});
  if (!flow.growTo(grownSize.W, grownSize.H)) {
    showOutOfMemoryMessage();
    loadFlowImage(flow, layerIndex, true);
    return false;
  }
  const TRect paint{found.Left + shift.X, found.Top + shift.Y, found.Right + shift.X, found.Bottom + shift.Y};
  if (!grown->image->commitRect(rectToXYWH(paint))) {
    showOutOfMemoryMessage();
    loadFlowImage(flow, layerIndex, true);
    return false;
  }
  if (!edit.event([&](IDocRecorder& r) {
        return writeDocEvent(r, [&](IDocEventRecorder& e) {
          const std::array<TPoint, 3> points{TPoint{size.W, size.H}, offset, point};
          return e.recordFillRegionEx(layerIndex, static_cast<uint16_t>(masks_ ? masks_->current() : 0),
                                      erase ? kFillEraseGrow : kFillPaintGrow, fillArgs(0, settings, antiAlias),
                                      points, flow.coverage, regionBounds(flow.coverage, size));
        });
      }))
    return false;
  std::unique_ptr<CLayerData> old = layers_->replaceLayer(layerIndex, std::move(grown));
  CLayerData* now = getLayer(layerIndex);
  // Paint through the moved region on the new layer's pixels.
  std::swap(static_cast<SDibInfo&>(flow.coverage), static_cast<SDibInfo&>(regionCopy));
  fill(flow.pixels, 0x00FFFFFFu);
  now->image->copyToPlaneRect(flow.pixels, TPoint{paint.Left, paint.Top}, false, 255, rectToXYWH(paint));
  paintRegion(flow, *now, paint, erase, stroke);
  (void)now->image->copyFromPlaneRect(flow.pixels, TPoint{paint.Left, paint.Top}, 255, rectToXYWH(paint));  // committed above
  now->image->compact();
  std::swap(static_cast<SDibInfo&>(flow.coverage), static_cast<SDibInfo&>(regionCopy));
  fill(flow.coverage, 0);
  flow.valid = false;
  edit.changed();
  auto rec = makeReplacedLayerUndo(*this, kUndoLayerReplaced, layerIndex, std::move(old));
  edit.undoAfter(rec);
  markModified(true);
  (void)now->fitThumbnail();  // a thumbnail that fails stays stale
  repaintLayer(layerIndex);
  loadFlowImage(flow, layerIndex, true);
  return true;
}

}  // namespace pg
