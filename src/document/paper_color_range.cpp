// Select > Colour range applied to the document: the coverage of the picked
// colours over the layer or the composed picture becomes the mask. The
// dialog (with the menus) and replay call the apply.
#include <algorithm>

#include "core/block_image.h"
#include "core/plane_ops.h"
#include "document/color_range.h"
#include "document/doc_recorder.h"
#include "document/flow_image.h"
#include "document/layer_data.h"
#include "document/layer_mngr.h"
#include "document/mask_data.h"
#include "document/mask_mngr.h"
#include "document/paper.h"
#include "document/paper_edit.h"

namespace pg {

bool TPaper::buildColorRangeMask(TFlowImage& flow, int32_t layerIndex, const SColorRangeEntry* entries,
                                 const SColorRangeSettings& settings, const CMaskData* limit, SRegionShape& region,
                                 int64_t& selected) {
  const CLayerData* layer = getLayer(layerIndex);
  if (layer == nullptr || !layer->image || settings.count > kColorRangeMaxEntries ||
      (settings.count > 0 && entries == nullptr))
    return false;
  const bool limited = CMaskData::hasImage(limit);
  std::unique_ptr<CBlockVMTC> composed;
  const CBlockVMTC* source = layer->image.get();
  TPoint maskOffset{};
  if (settings.source != 0) {
    // The composed picture, opaque, in document coordinates.
    TMTC plane(width_, height_);
    composed = std::make_unique<CBlockVMTC>(width_, height_);
    if (!plane.IsAllocated() || !composed->isValid()) return false;
    (void)composeLayers(plane, *layers_, composeSettings(), SRectXYWH{0, 0, width_, height_});  // a clip result only
    setAlpha(plane, 255);
    if (!composed->copyFromPlane(plane, 0, 0, 255)) return false;
    source = composed.get();
    region.offset = TPoint{0, 0};
    region.size = SSize{width_, height_};
    if (limited) maskOffset = TPoint{limit->offsetX, limit->offsetY};
  } else {
    region.offset = TPoint{layer->offsetX, layer->offsetY};
    region.size = SSize{layer->imageWidth(), layer->imageHeight()};
    if (limited) {
      // The layer must reach into the selection.
      TRect sel{}, lr = layer->imageRect();
      if (!limit->getBounds(sel) || !intersectRect(lr, sel)) return false;
      maskOffset = TPoint{limit->offsetX - layer->offsetX, limit->offsetY - layer->offsetY};
    }
  }
  if (flow.coverage.Width < source->width() || flow.coverage.Height < source->height()) {
    TChannel grown(std::max(flow.coverage.Width, source->width()), std::max(flow.coverage.Height, source->height()));
    if (!grown.IsAllocated()) return false;
    std::swap(static_cast<SDibInfo&>(flow.coverage), static_cast<SDibInfo&>(grown));
    flow.valid = false;
  }
  fill(flow.coverage, 0);
  CColorMask cm;
  if (!cm.init(settings, *source, maskOffset, limited ? limit->image.get() : nullptr, flow.coverage)) return false;
  cm.compute(entries, settings.count);
  selected = cm.selected;
  return true;
}

bool TPaper::applyColorRangeSelection(TFlowImage& flow, int32_t layerIndex, bool record,
                                      const SColorRangeEntry* entries, const SColorRangeSettings& settings,
                                      int32_t maskIndex) {
  CDocEdit edit(*this, record);
  maskIndex = maskIndexOr(maskIndex);
  if (!edit.gate(isValidLayer(layerIndex) && masks_ && masks_->isValidIndex(maskIndex))) return false;
  CWaitCursor wait(owner_);
  SRegionShape region;
  int64_t selected = 0;
  const CMaskData* limit = masks_->getMask(maskIndex);
  const bool built = buildColorRangeMask(flow, layerIndex, entries, settings, limit, region, selected);
  if (!built || selected == 0) {
    if (flow.coverage.IsAllocated()) fill(flow.coverage, 0);
    loadFlowImage(flow, layerIndex, true);
    return built;  // nothing selected: success without a change
  }
  std::unique_ptr<CMaskData> next =
      masks_->makeCombinedMask(maskIndex, flow.coverage, kCombineCopy, region.offset, region.size);
  bool ok = next != nullptr;
  if (ok) {
    const SRectXYWH bounds{0, 0, region.size.W, region.size.H};
    ok = edit.event([&](IDocRecorder& r) {
      return writeDocEvent(r, [&](IDocEventRecorder& e) {
        return e.recordColorRangeMask(layerIndex, static_cast<uint16_t>(maskIndex), settings.bytes(),
                                      reinterpret_cast<const uint8_t*>(entries), settings.count, flow.coverage,
                                      bounds);
      });
    });
  }
  if (ok) {
    const int32_t before = masks_->current();
    next->name = masks_->getMask(maskIndex)->name;
    std::unique_ptr<CMaskData> old = masks_->replaceMask(maskIndex, std::move(next));
    masks_->renumber();
    selectionReplaced(edit, maskIndex, before, std::move(old));
  }
  fill(flow.coverage, 0);
  loadFlowImage(flow, layerIndex, true);
  if (view_.showGrid()) redrawFull();
  return ok;
}

}  // namespace pg
