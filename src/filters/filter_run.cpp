// The filter run: binding a layer and the selection, running a kernel,
// preview and its undoing, and apply with its redraw, event and undo record.
#include "filters/filter_run.h"

#include "core/layer_sampling.h"
#include "document/doc_recorder.h"
#include "document/flow_image.h"
#include "document/layer_data.h"
#include "document/mask_data.h"
#include "document/mask_mngr.h"
#include "document/paper.h"
#include "document/paper_edit.h"
#include "document/tool_window_link.h"
#include "document/undo_kinds.h"
#include "record/event_vocabulary.h"

namespace pg {

namespace {

enum EventKind { kEvent0, kEvent2, kEvent4, kEvent4Argument, kEvent6, kEventRecord, kEventFloor };

std::array<uint32_t, 6> wordsOf(const uint8_t* bytes, int count) {
  std::array<uint32_t, 6> w{};
  for (int i = 0; i < count; ++i)
    w[size_t(i)] = uint32_t(bytes[4 * i]) | uint32_t(bytes[4 * i + 1]) << 8 | uint32_t(bytes[4 * i + 2]) << 16 |
                   uint32_t(bytes[4 * i + 3]) << 24;
  return w;
}

}  // namespace

void redrawAfterFilter(TPaper& doc, TFlowImage& view, int32_t layerIndex) {
  doc.markModified(true);
  doc.updateLayerThumbnail(layerIndex);
  (void)doc.resetFlowImage(view, layerIndex, false);  // a flow that fails stays invalid and reloads
  doc.redraw(true);
  doc.updateThumbnails(false, layerIndex);
  toolWindowLink().updateLayerPanel();
}

CFlt4Core::CFlt4Core(TPaper& doc, TFlowImage& view, bool record, FilterKernel kernel, int32_t layerIndex)
    : doc_(doc), view_(view), layerIndex_(layerIndex), record_(record), kernel_(kernel) {
  layer_ = doc.getLayer(layerIndex);
  if (layer_ == nullptr || !layer_->image) {
    layer_ = nullptr;
    return;
  }
  selection_ = doc.masks() != nullptr ? doc.masks()->currentMask() : nullptr;
  const CBlockVCH* maskImage = selection_ != nullptr && selection_->hasImage() ? selection_->image.get() : nullptr;
  const TPoint maskOffset = selection_ != nullptr ? TPoint{selection_->offsetX, selection_->offsetY} : TPoint{};
  if (!getLayerWorkRect(*layer_->image, TPoint{layer_->offsetX, layer_->offsetY}, maskImage, maskOffset, bounds_)) {
    layer_ = nullptr;
    return;
  }
  undoCopy_ = CBlockVMTC::CreateCopy(*layer_->image);
}

CFlt4Core::~CFlt4Core() = default;

bool CFlt4Core::layerProtectsAlpha() const { return layer_ != nullptr && layer_->protectAlpha; }

SSize CFlt4Core::imageSize() const {
  return layer_ != nullptr ? SSize{layer_->imageWidth(), layer_->imageHeight()} : SSize{};
}

bool CFlt4Core::isValid() const {
  return layer_ != nullptr && kernel_ != nullptr && undoCopy_ != nullptr && layerIndex_ >= 0;
}

bool CFlt4Core::run(const void* param, int32_t size, const TRect* clip) {
  if (!isValid()) return false;
  return runOn(*layer_->image, param, size, clip);
}

bool CFlt4Core::runOn(CBlockVMTC& image, const void* param, int32_t size, const TRect* clip) {
  // Kernels read the unfiltered layer from the view. It is loaded from the
  // unfiltered copy, once: the layer may hold a preview by now, and nothing
  // else changes the view while the core is bound.
  if (!sourceLoaded_) {
    // A view that cannot hold the copy (memory) would feed the kernels stale pixels.
    if (!view_.loadLayer(layerIndex_, *undoCopy_, true)) return false;
    sourceLoaded_ = true;
  }
  SFlt4Context ctx;
  ctx.image = &image;
  ctx.blendMode = layer_->blendMode;
  ctx.offsetX = layer_->offsetX;
  ctx.offsetY = layer_->offsetY;
  ctx.protectAlpha = protectOverride_ ? 0 : (layer_->protectAlpha ? 1 : 0);
  ctx.selection = selection_;
  ctx.bounds = bounds_;
  ctx.source = undoCopy_.get();
  ctx.workImage = &view_.pixels;
  ctx.workChannel = &view_.coverage;
  ctx.region = bounds_;
  if (clip != nullptr && !intersectRect(ctx.region, *clip)) return false;
  ctx.maskValue = maskValueFor(selection_);
  return kernel_(&ctx, param, size);
}

bool CFlt4Core::commit(uint8_t op, int eventKind, const uint8_t* words, const void* param) {
  if (!record_) return true;
  CDocEdit edit(doc_, true);
  if (!edit.gate(true)) return false;
  const int32_t mask = doc_.masks() != nullptr ? doc_.masks()->current() : -1;
  const uint16_t maskWord = uint16_t(mask);
  const bool written = edit.event([&](IDocRecorder& r) {
    IDocEventRecorder* rec = eventRecorderOf(&r);
    if (rec == nullptr) return true;
    switch (eventKind) {
      case kEvent0:
        return rec->recordFilter(layerIndex_, maskWord, op);
      case kEvent2: {
        const auto w = wordsOf(words, 2);
        return rec->recordFilter2(layerIndex_, maskWord, {w[0], w[1]}, op);
      }
      case kEvent4: {
        const auto w = wordsOf(words, 4);
        return rec->recordFilter4(layerIndex_, maskWord, {w[0], w[1], w[2], w[3]}, op);
      }
      case kEvent4Argument: {
        const auto w = wordsOf(words + 4, 4);
        const uint16_t argument = uint16_t(words[0] | words[1] << 8);
        return rec->recordFilter4(layerIndex_, argument, {w[0], w[1], w[2], w[3]}, op);
      }
      case kEvent6: {
        const auto w = wordsOf(words, 6);
        return rec->recordFilter6(layerIndex_, maskWord, {w[0], w[1], w[2], w[3], w[4], w[5]}, op);
      }
      case kEventFloor: {
        // Only textures taken from files travel, as image packets before
        // the record; a copy of the layer is made again on replay.
        const auto& floor = *static_cast<const SFltFloorW*>(param);
        std::array<uint8_t, SFltFloor::kSize> bytes{};
        floor.Floor.write(bytes.data());
        const SFilterImage image1 = floorHasTexture1(floor.Floor)
                                        ? SFilterImage{floor.Textures[0].Image, floor.Textures[0].FileName}
                                        : SFilterImage{};
        const SFilterImage image2 = floorHasTexture2(floor.Floor)
                                        ? SFilterImage{floor.Textures[1].Image, floor.Textures[1].FileName}
                                        : SFilterImage{};
        return rec->recordFilterWithImages(layerIndex_, maskWord, bytes, 0, 0, image1, image2);
      }
      default: {
        const SFltRecord* record = static_cast<const SFltRecord*>(param);
        SEventRecord header{};
        if (!initEventHeader(header, uint16_t(layerIndex_), maskWord, record->Size, record->Count)) return false;
        std::copy(record->Params.begin(), record->Params.end(), header.begin() + 18);
        return rec->recordFilterRecord(op, header, record->Extra);
      }
    }
  });
  if (!written) return false;
  // The undo record takes the layer as it was before the filter: the
  // unfiltered copy stands in the layer while it is stored.
  std::swap(layer_->image, undoCopy_);
  edit.undoBefore([&](TPaper& d) { return d.storeLayerUndoAt(layerIndex_, kUndoOlderFilter); });
  std::swap(layer_->image, undoCopy_);
  edit.changed();
  return true;
}

bool CFlt4Core::applyWith(const void* param, int32_t size, uint8_t op, int eventKind, const uint8_t* words) {
  if (!run(param, size)) return false;
  previewed_ = false;
  redrawAfterFilter(doc_, view_, layerIndex_);
  return commit(op, eventKind, words, param);
}

bool CFlt4Core::apply(uint8_t op) { return applyWith(nullptr, 0, op, kEvent0, nullptr); }
bool CFlt4Core::apply8(uint8_t op, const std::array<uint8_t, 8>& p) {
  return applyWith(p.data(), 8, op, kEvent2, p.data());
}
bool CFlt4Core::apply16(uint8_t op, const std::array<uint8_t, 16>& p) {
  return applyWith(p.data(), 16, op, kEvent4, p.data());
}
bool CFlt4Core::apply20(uint8_t op, const std::array<uint8_t, 20>& p) {
  return applyWith(p.data(), 20, op, kEvent4Argument, p.data());
}
bool CFlt4Core::apply24(uint8_t op, const std::array<uint8_t, 24>& p) {
  return applyWith(p.data(), 24, op, kEvent6, p.data());
}
bool CFlt4Core::apply50(uint8_t op, const SFltRecord& record) {
  return applyWith(&record, int32_t(SFltRecord::kWireSize), op, kEventRecord, nullptr);
}

bool CFlt4Core::apply87(uint8_t op, const SFltFloorW& record) {
  return applyWith(&record, 87, op, kEventFloor, nullptr);
}

bool CFlt4Core::writeRecordEvent(uint8_t op, const SFltRecord& record) {
  return commit(op, kEventRecord, nullptr, &record);
}

bool CFlt4Core::preview(const void* param, int32_t size, const TRect* clip) {
  endPreview(nullptr);
  if (!isValid()) return false;
  // From here the layer may hold filtered pixels: a kernel that refuses
  // half way still leaves something for endPreview to undo.
  previewed_ = true;
  if (!run(param, size, clip)) {
    endPreview(nullptr);
    return false;
  }
  const CBlockVCH* maskImage = selection_ != nullptr && selection_->hasImage() ? selection_->image.get() : nullptr;
  const TPoint maskOffset = selection_ != nullptr ? TPoint{selection_->offsetX, selection_->offsetY} : TPoint{};
  TRect r{};
  if (getLayerWorkRectLocal(*layer_->image, TPoint{layer_->offsetX, layer_->offsetY}, maskImage, maskOffset, r)) {
    if (clip != nullptr) (void)intersectRect(r, *clip);  // an empty result repaints nothing
    doc_.repaintRect(layerIndex_, r);
  }
  return true;
}

SFlt4Context CFlt4Core::readContext() const {
  SFlt4Context ctx;
  if (!isValid()) return ctx;
  ctx.offsetX = layer_->offsetX;
  ctx.offsetY = layer_->offsetY;
  ctx.selection = selection_;
  ctx.bounds = bounds_;
  ctx.source = undoCopy_.get();
  ctx.maskValue = maskValueFor(selection_);
  return ctx;
}

bool CFlt4Core::sourceRegion(const TRect& rect, TMTC& out) const {
  if (!isValid() || rect.Right <= rect.Left || rect.Bottom <= rect.Top) return false;
  const SRectXYWH area{rect.Left, rect.Top, rect.Right - rect.Left, rect.Bottom - rect.Top};
  if (!out.Resize(area.Width, area.Height)) return false;
  return undoCopy_->copyToPlaneRect(out, TPoint{0, 0}, false, 255, area);
}

bool CFlt4Core::renderRegion(const void* param, int32_t size, const TRect& rect, TMTC& out) {
  if (!isValid() || rect.Right <= rect.Left || rect.Bottom <= rect.Top) return false;
  const SRectXYWH area{rect.Left, rect.Top, rect.Right - rect.Left, rect.Bottom - rect.Top};
  if (!out.Resize(area.Width, area.Height)) return false;
  CBlockVMTC scratch(layer_->imageWidth(), layer_->imageHeight());
  if (!scratch.isValid() || !scratch.assignRect(*undoCopy_, TPoint{area.X, area.Y}, area)) return false;
  TRect clip = rect;
  // Outside the bounds there is nothing to filter: the unfiltered pixels show.
  if (intersectRect(clip, bounds_) && !runOn(scratch, param, size, &clip)) return false;
  return scratch.copyToPlaneRect(out, TPoint{0, 0}, false, 255, area);
}

bool CFlt4Core::endPreview(TRect* rect) {
  if (!previewed_) return false;
  // The preview committed the tiles it changed, so putting back the copy
  // taken when it began needs no new tile memory.
  (void)layer_->image->assignFrom(*undoCopy_);
  if (rect != nullptr) *rect = TRect{0, 0, layer_->imageWidth(), layer_->imageHeight()};
  previewed_ = false;
  return true;
}

bool CFlt4Core::endPreviewAndRedraw(bool redraw) {
  TRect r{};
  const bool undone = endPreview(&r);
  if (undone && redraw) doc_.redraw(true);
  return undone;
}

}  // namespace pg
