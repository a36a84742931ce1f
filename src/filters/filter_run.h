#pragma once
// CFlt4Core: the one object through which a filter touches a document. It is
// bound to one layer and the document's current selection, runs a kernel
// over the selection-clipped part of the layer, lets dialogs preview and
// undo the preview, and on apply redraws the document, writes the event
// that records the run and hands the unfiltered copy of the layer to the
// undo list (with the record flag set). Short-lived: one per command.
#include <array>
#include <cstdint>
#include <memory>

#include "core/block_image.h"
#include "core/rect.h"
#include "filters/filter_params.h"
#include "filters/kernel_context.h"

namespace pg {

class TPaper;
class TFlowImage;
class CLayerData;
class CMaskData;

class CFlt4Core {
 public:
  // Binds the core; check isValid before use.
  CFlt4Core(TPaper& doc, TFlowImage& view, bool record, FilterKernel kernel, int32_t layerIndex);
  ~CFlt4Core();
  CFlt4Core(const CFlt4Core&) = delete;
  CFlt4Core& operator=(const CFlt4Core&) = delete;

  // Layer, selection, kernel and undo copy set, the layer meeting the selection.
  [[nodiscard]] bool isValid() const;
  int32_t layerIndex() const { return layerIndex_; }
  TPaper& document() const { return doc_; }
  TFlowImage& view() const { return view_; }
  const TRect& bounds() const { return bounds_; }
  // The bound layer's protect-alpha flag.
  [[nodiscard]] bool layerProtectsAlpha() const;
  // The layer image's size (0 x 0 for an unusable core).
  SSize imageSize() const;
  // Replay of streams written before the layer's protect flag reached the
  // filters: kernels then see it cleared.
  void clearProtectAlpha() { protectOverride_ = true; }

  // Runs the kernel over the bounds (limited to clip when given).
  [[nodiscard]] bool run(const void* param, int32_t size, const TRect* clip = nullptr);
  // Runs, redraws and, with the record flag, writes the event and pushes the
  // undo record. The members differ in the parameter bytes and the event.
  [[nodiscard]] bool apply(uint8_t op);
  [[nodiscard]] bool apply8(uint8_t op, const std::array<uint8_t, 8>& param);
  [[nodiscard]] bool apply16(uint8_t op, const std::array<uint8_t, 16>& param);
  [[nodiscard]] bool apply24(uint8_t op, const std::array<uint8_t, 24>& param);
  // Four words after an argument word: the event carries the argument's low
  // 16 bits in the mask index's place (the older tiles' colour count).
  [[nodiscard]] bool apply20(uint8_t op, const std::array<uint8_t, 20>& param);
  [[nodiscard]] bool apply50(uint8_t op, const SFltRecord& record);
  // The floor: its 63 bytes as the event's data, each texture taken from a
  // file as an image packet before it.
  [[nodiscard]] bool apply87(uint8_t op, const SFltFloorW& record);
  // The event of a record filter: header with the layer, the current mask
  // index, the record's count and size, its 32 parameter bytes, then its
  // extra data.
  [[nodiscard]] bool writeRecordEvent(uint8_t op, const SFltRecord& record);

  // The dialog's preview: every preview starts from the unfiltered pixels.
  // With clip (layer-image coordinates) only that part is filtered, so the
  // part of the layer the user sees can follow a change at once; a later
  // preview without clip completes it.
  [[nodiscard]] bool preview(const void* param, int32_t size, const TRect* clip = nullptr);
  // The filtered pixels of rect (layer-image coordinates) into out (resized
  // to rect), computed on a scratch copy: the layer itself, and a canvas
  // preview in it, stay as they are. False when the kernel refuses.
  [[nodiscard]] bool renderRegion(const void* param, int32_t size, const TRect& rect, TMTC& out);
  // The unfiltered pixels of rect, as renderRegion gives the filtered ones.
  [[nodiscard]] bool sourceRegion(const TRect& rect, TMTC& out) const;
  [[nodiscard]] bool previewed() const { return previewed_; }
  // A context for reading the unfiltered pixels of the bounds with their
  // selection weights (image and region unset: not for kernels).
  SFlt4Context readContext() const;
  // Puts the unfiltered pixels back after a preview; whether one was undone
  // (a fact, not a success: callers that only want none left may drop it).
  bool endPreview(TRect* rect = nullptr);
  bool endPreviewAndRedraw(bool redraw);

 private:
  // Run, redraw, then (with the record flag) the event written by `write`
  // and the undo record.
  // The context over image with region = bounds limited to clip.
  [[nodiscard]] bool runOn(CBlockVMTC& image, const void* param, int32_t size, const TRect* clip);
  [[nodiscard]] bool applyWith(const void* param, int32_t size, uint8_t op, int eventKind, const uint8_t* words);
  [[nodiscard]] bool commit(uint8_t op, int eventKind, const uint8_t* words, const void* param);

  TPaper& doc_;
  TFlowImage& view_;
  int32_t layerIndex_ = -1;
  CLayerData* layer_ = nullptr;
  const CMaskData* selection_ = nullptr;
  TRect bounds_{};
  std::unique_ptr<CBlockVMTC> undoCopy_;
  bool record_ = true;
  bool previewed_ = false;
  bool protectOverride_ = false;
  bool sourceLoaded_ = false;
  FilterKernel kernel_ = nullptr;
};

// The redraw after a filter: modified flag, the layer's thumbnail, the view
// reloaded from the layer, the whole document recomposed, the panels.
void redrawAfterFilter(TPaper& doc, TFlowImage& view, int32_t layerIndex);

}  // namespace pg
