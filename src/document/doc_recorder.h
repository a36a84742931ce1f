#pragma once
// The document's recorder over the event store (CEventMngr): the document's
// recording calls become packets of the store, its undo and redo steps the
// store's event undo and redo.
//
// IDocEventRecorder holds every recording call a document operation makes
// beyond IDocRecorder's; an operation reaches it through eventRecorderOf.
// CDocEventRecorder answers them with the recorders of the record module,
// reading the document's state (paper colour, current layer and mask, layer
// attributes, stroke mode) from the document it belongs to and the tool
// window's state (shared stroke settings, tone set, pen renderer, gradient)
// from the tools the application hands in.
#include <array>
#include <cstdint>
#include <string_view>

#include "document/doc_services.h"
#include "record/command_recorder.h"
#include "record/event_owner.h"
#include "record/event_store.h"
#include "record/record_sources.h"
#include "record/state_recorder.h"
#include "record/stroke_recorder.h"

namespace pg {

class TStroke;
class CToneMngr;
struct SLogFont;

// Every call answers true without writing while the recorder does not
// record; the bodies are those of command_recorder.h and stroke_recorder.h.
class IDocEventRecorder : public IDocRecorder {
 public:
  // ---- whole document ----
  [[nodiscard]] virtual bool recordCanvasResize(int32_t width, int32_t height, uint8_t anchorLow, uint8_t anchorHigh) = 0;
  [[nodiscard]] virtual bool recordImageScale(int32_t width, int32_t height, uint8_t subcode, uint16_t mode) = 0;
  [[nodiscard]] virtual bool recordImageCrop(uint16_t layer, uint16_t argument, const TRect& rect) = 0;
  [[nodiscard]] virtual bool recordDocumentEvent(uint8_t subcode) = 0;
  [[nodiscard]] virtual bool recordMergeVisible(uint8_t subcode, int32_t layer, uint16_t argument,
                                  const SCommandValues& values) = 0;
  [[nodiscard]] virtual bool recordDocumentEventValue(int32_t layer, uint16_t value, uint8_t subcode) = 0;

  // ---- layers ----
  [[nodiscard]] virtual bool recordLayerNewEx(int32_t index, const SNewLayer& layer) = 0;
  [[nodiscard]] virtual bool recordLayerNew(int32_t index, const SNewLayer& layer, std::string_view name) = 0;
  [[nodiscard]] virtual bool recordLayerCommand(int32_t index, uint16_t argument, uint8_t subcode) = 0;
  [[nodiscard]] virtual bool recordLayerCommandEx(int32_t index, uint16_t argument, uint8_t subcode,
                                    const SCommandValues& values) = 0;
  [[nodiscard]] virtual bool recordLayerAttribute(int32_t index, uint32_t value, uint8_t subcode) = 0;
  [[nodiscard]] virtual bool recordLayerEffect(int32_t index, bool effect, uint32_t seed, uint8_t effectValue) = 0;
  [[nodiscard]] virtual bool recordLayerOffset(int32_t index, TPoint delta) = 0;
  [[nodiscard]] virtual bool recordLayerOffsetApply(int32_t index, uint8_t offsetClass, uint8_t option, TPoint delta) = 0;
  [[nodiscard]] virtual bool recordLayerMaskOffset(int32_t index, uint16_t argument, TPoint delta) = 0;
  [[nodiscard]] virtual bool recordLayerMaskOffsetApply(int32_t index, uint16_t argument, TPoint delta, uint16_t value) = 0;
  [[nodiscard]] virtual bool recordLayerName(int32_t index, std::string_view name) = 0;
  [[nodiscard]] virtual bool recordLayerLink(int32_t layer, bool up, const uint16_t* values, uint16_t count) = 0;
  [[nodiscard]] virtual bool recordLayerListOp(uint8_t subcode, int32_t layer, uint16_t value, const SCommandValues& values) = 0;
  [[nodiscard]] virtual bool recordLayerListOpEx(uint8_t subcode, int32_t layer, uint16_t value, TPoint delta,
                                   const SCommandValues& values) = 0;
  [[nodiscard]] virtual bool recordLayerImage(int32_t index, const TMTC& image, uint8_t subcode, std::string_view name,
                                const uint8_t* attributes72) = 0;

  // ---- fills and area edits ----
  [[nodiscard]] virtual bool recordFillRegion(int32_t target, uint16_t argument, uint8_t subcode, const SFillArgs& args,
                                const TPoint* seed, const TChannel& region, const SRectXYWH& bounds) = 0;
  [[nodiscard]] virtual bool recordFillRegionEx(int32_t target, uint16_t argument, uint8_t subcode, const SFillArgs& args,
                                  const std::array<TPoint, 3>& points, const TChannel& region,
                                  const SRectXYWH& bounds) = 0;
  [[nodiscard]] virtual bool recordTextFill(int32_t target, uint16_t argument, uint8_t subcode, const SLogFont& font,
                              uint16_t lineSpacing, uint16_t charSpacing, std::string_view text, TPoint point,
                              const TChannel& coverage, const SRectXYWH& bounds, uint8_t combine) = 0;
  [[nodiscard]] virtual bool recordColorRangeMask(int32_t layer, uint16_t argument, const std::array<uint8_t, 20>& range,
                                    const uint8_t* entries, uint32_t entryCount, const TChannel& region,
                                    const SRectXYWH& bounds) = 0;
  [[nodiscard]] virtual bool recordLayerEdit(int32_t index, uint32_t argument, uint8_t subcode, const TPointF* start,
                               const TPointF* end) = 0;
  [[nodiscard]] virtual bool recordPolygonFill(int32_t index, const TPointF* points, int32_t count) = 0;

  // ---- masks ----
  [[nodiscard]] virtual bool recordMaskCommand(int32_t layer, uint16_t argument, uint8_t subcode) = 0;
  [[nodiscard]] virtual bool recordMaskCommandEx(int32_t layer, uint16_t argument, uint8_t subcode,
                                   const SCommandValues& values) = 0;
  [[nodiscard]] virtual bool recordMaskShape(int32_t layer, uint16_t argument, uint8_t subcode, uint8_t combine, TPointF start,
                               TPointF end) = 0;
  [[nodiscard]] virtual bool recordMaskPolygon(int32_t layer, uint16_t argument, uint8_t combine, const TPointF* points,
                                 int32_t count) = 0;
  [[nodiscard]] virtual bool recordMaskName(int32_t mask, std::string_view name) = 0;

  // ---- filters ----
  [[nodiscard]] virtual bool recordFilter(int32_t layer, uint16_t argument, uint8_t code) = 0;
  [[nodiscard]] virtual bool recordFilter2(int32_t layer, uint16_t argument, const std::array<uint32_t, 2>& values,
                             uint8_t code) = 0;
  [[nodiscard]] virtual bool recordFilter4(int32_t layer, uint16_t argument, const std::array<uint32_t, 4>& values,
                             uint8_t code) = 0;
  [[nodiscard]] virtual bool recordFilter6(int32_t layer, uint16_t argument, const std::array<uint32_t, 6>& values,
                             uint8_t code) = 0;
  [[nodiscard]] virtual bool recordFilterRecord(uint8_t code, const SEventRecord& record, const uint8_t* data) = 0;
  [[nodiscard]] virtual bool recordFilterWithImages(int32_t layer, uint16_t value, const std::array<uint8_t, 63>& params,
                                      uint16_t field18, uint16_t field20, const SFilterImage& image1,
                                      const SFilterImage& image2) = 0;

  // ---- strokes ----
  [[nodiscard]] virtual bool recordStrokeBegin(float x, float y, float pressure) = 0;
  [[nodiscard]] virtual bool recordStrokePoint(float x, float y, float pressure) = 0;
  [[nodiscard]] virtual bool recordStrokeEnd() = 0;
  virtual uint32_t strokePointCount() const = 0;
};

// The recording calls of a document's recorder; null for a recorder that
// has none (then nothing is recorded).
inline IDocEventRecorder* eventRecorderOf(IDocRecorder* recorder) {
  return dynamic_cast<IDocEventRecorder*>(recorder);
}

// The tool window's objects a recorder reads; any may be null.
struct SRecorderTools {
  TStroke* stroke = nullptr;                     // the shared stroke settings
  CToneMngr* tones = nullptr;                    // the tool window's tone set
  const IToolStateSource* toolState = nullptr;  // pen renderer and gradient
};

class CDocEventRecorder final : public IDocEventRecorder,
                                private EventOwner,
                                private IDocStateSource,
                                private IToolStateSource {
 public:
  // A store of 64 KB segments with room for 1 MB to start with.
  explicit CDocEventRecorder(TPaper& doc, SRecorderTools tools = {});

  CEventMngr& store() { return store_; }
  const CEventMngr& store() const { return store_; }

  // ---- IDocRecorder ----
  [[nodiscard]] bool startRecording(int32_t undoSteps) override;
  void clear() override { store_.clear(); }
  bool hasEvents() const override { return store_.hasEvents(); }
  bool isStrokeOpen() const override { return store_.isStrokeOpen(); }
  void activate(bool active) override;
  int32_t undoDepth() const override { return store_.undoCount(); }
  [[nodiscard]] bool undoEvent() override { return store_.undoEvent(); }
  int32_t redoAvailableCount() const override { return store_.redoCount(); }
  [[nodiscard]] bool redoStep() override { return store_.redoEvent(); }
  void noteState() override { store_.takeStateFlags(); }
  void dropForwardEvents() override {
    (void)store_.discardRedo();  // answers only whether there were any to drop
  }
  uint64_t eventMark() const override { return store_.committedEnd(); }
  [[nodiscard]] bool retractEventsSince(uint64_t mark) override {
    while (store_.committedEnd() > mark)
      if (!store_.dropLastEvent()) return false;
    return store_.committedEnd() == mark;
  }
  [[nodiscard]] bool resizeUndoRing(int32_t backSteps, int32_t forwardSteps) override {
    return store_.resizeIndex(backSteps, forwardSteps);
  }
  // The document set, then (2, 1) with the colour as a little-endian u32 in
  // pixel order (bytes blue, green, red, 0).
  [[nodiscard]] bool recordPaperColor(uint32_t pixel) override { return commands_.recordPaperColor(pixel); }

  // ---- IDocEventRecorder ----
  // The document set, the start time, then the reset point (2, 254).
  [[nodiscard]] bool recordResetPoint() override { return commands_.recordReset(); }
  [[nodiscard]] bool recordImageCreate(int32_t width, int32_t height, bool transparent, bool canvasColourOff, int32_t resolution,
                         int32_t layerHeight, int32_t layerWidth) override {
    return commands_.recordImageCreate(width, height, transparent, canvasColourOff, resolution, layerHeight,
                                       layerWidth);
  }
  [[nodiscard]] bool recordCanvasResize(int32_t width, int32_t height, uint8_t anchorLow, uint8_t anchorHigh) override {
    return commands_.recordCanvasResize(width, height, anchorLow, anchorHigh);
  }
  [[nodiscard]] bool recordImageScale(int32_t width, int32_t height, uint8_t subcode, uint16_t mode) override {
    return commands_.recordImageScale(width, height, subcode, mode);
  }
  [[nodiscard]] bool recordImageCrop(uint16_t layer, uint16_t argument, const TRect& rect) override {
    return commands_.recordImageCrop(layer, argument, rect);
  }
  [[nodiscard]] bool recordDocumentEvent(uint8_t subcode) override { return commands_.recordDocumentEvent(subcode); }
  [[nodiscard]] bool recordMergeVisible(uint8_t subcode, int32_t layer, uint16_t argument, const SCommandValues& values) override {
    return commands_.recordMergeVisible(subcode, layer, argument, values);
  }
  [[nodiscard]] bool recordDocumentEventValue(int32_t layer, uint16_t value, uint8_t subcode) override {
    return commands_.recordDocumentEventValue(layer, value, subcode);
  }
  [[nodiscard]] bool recordLayerNewEx(int32_t index, const SNewLayer& layer) override {
    return commands_.recordLayerNewEx(index, layer);
  }
  [[nodiscard]] bool recordLayerNew(int32_t index, const SNewLayer& layer, std::string_view name) override {
    return commands_.recordLayerNew(index, layer, name);
  }
  [[nodiscard]] bool recordLayerCommand(int32_t index, uint16_t argument, uint8_t subcode) override {
    return commands_.recordLayerCommand(index, argument, subcode);
  }
  [[nodiscard]] bool recordLayerCommandEx(int32_t index, uint16_t argument, uint8_t subcode,
                            const SCommandValues& values) override {
    return commands_.recordLayerCommandEx(index, argument, subcode, values);
  }
  [[nodiscard]] bool recordLayerAttribute(int32_t index, uint32_t value, uint8_t subcode) override {
    return commands_.recordLayerAttribute(index, value, subcode);
  }
  [[nodiscard]] bool recordLayerEffect(int32_t index, bool effect, uint32_t seed, uint8_t effectValue) override {
    return commands_.recordLayerEffect(index, effect, seed, effectValue);
  }
  [[nodiscard]] bool recordLayerOffset(int32_t index, TPoint delta) override { return commands_.recordLayerOffset(index, delta); }
  [[nodiscard]] bool recordLayerOffsetApply(int32_t index, uint8_t offsetClass, uint8_t option, TPoint delta) override {
    return commands_.recordLayerOffsetApply(index, offsetClass, option, delta);
  }
  [[nodiscard]] bool recordLayerMaskOffset(int32_t index, uint16_t argument, TPoint delta) override {
    return commands_.recordLayerMaskOffset(index, argument, delta);
  }
  [[nodiscard]] bool recordLayerMaskOffsetApply(int32_t index, uint16_t argument, TPoint delta, uint16_t value) override {
    return commands_.recordLayerMaskOffsetApply(index, argument, delta, value);
  }
  [[nodiscard]] bool recordLayerName(int32_t index, std::string_view name) override {
    return commands_.recordLayerName(index, name);
  }
  [[nodiscard]] bool recordLayerLink(int32_t layer, bool up, const uint16_t* values, uint16_t count) override {
    return commands_.recordLayerLink(layer, up, values, count);
  }
  [[nodiscard]] bool recordLayerListOp(uint8_t subcode, int32_t layer, uint16_t value, const SCommandValues& values) override {
    return commands_.recordLayerListOp(subcode, layer, value, values);
  }
  [[nodiscard]] bool recordLayerListOpEx(uint8_t subcode, int32_t layer, uint16_t value, TPoint delta,
                           const SCommandValues& values) override {
    return commands_.recordLayerListOpEx(subcode, layer, value, delta, values);
  }
  [[nodiscard]] bool recordLayerImage(int32_t index, const TMTC& image, uint8_t subcode, std::string_view name,
                        const uint8_t* attributes72) override {
    return commands_.recordLayerImage(index, image, subcode, name, attributes72);
  }
  [[nodiscard]] bool recordFillRegion(int32_t target, uint16_t argument, uint8_t subcode, const SFillArgs& args,
                        const TPoint* seed, const TChannel& region, const SRectXYWH& bounds) override {
    return commands_.recordFillRegion(target, argument, subcode, args, seed, region, bounds);
  }
  [[nodiscard]] bool recordFillRegionEx(int32_t target, uint16_t argument, uint8_t subcode, const SFillArgs& args,
                          const std::array<TPoint, 3>& points, const TChannel& region,
                          const SRectXYWH& bounds) override {
    return commands_.recordFillRegionEx(target, argument, subcode, args, points, region, bounds);
  }
  [[nodiscard]] bool recordTextFill(int32_t target, uint16_t argument, uint8_t subcode, const SLogFont& font,
                      uint16_t lineSpacing, uint16_t charSpacing, std::string_view text, TPoint point,
                      const TChannel& coverage, const SRectXYWH& bounds, uint8_t combine) override {
    return commands_.recordTextFill(target, argument, subcode, font, lineSpacing, charSpacing, text, point,
                                    coverage, bounds, combine);
  }
  [[nodiscard]] bool recordColorRangeMask(int32_t layer, uint16_t argument, const std::array<uint8_t, 20>& range,
                            const uint8_t* entries, uint32_t entryCount, const TChannel& region,
                            const SRectXYWH& bounds) override {
    return commands_.recordColorRangeMask(layer, argument, range, entries, entryCount, region, bounds);
  }
  [[nodiscard]] bool recordLayerEdit(int32_t index, uint32_t argument, uint8_t subcode, const TPointF* start,
                       const TPointF* end) override {
    return commands_.recordLayerEdit(index, argument, subcode, start, end);
  }
  [[nodiscard]] bool recordPolygonFill(int32_t index, const TPointF* points, int32_t count) override {
    return commands_.recordPolygonFill(index, points, count);
  }
  [[nodiscard]] bool recordMaskCommand(int32_t layer, uint16_t argument, uint8_t subcode) override {
    return commands_.recordMaskCommand(layer, argument, subcode);
  }
  [[nodiscard]] bool recordMaskCommandEx(int32_t layer, uint16_t argument, uint8_t subcode,
                           const SCommandValues& values) override {
    return commands_.recordMaskCommandEx(layer, argument, subcode, values);
  }
  [[nodiscard]] bool recordMaskShape(int32_t layer, uint16_t argument, uint8_t subcode, uint8_t combine, TPointF start,
                       TPointF end) override {
    return commands_.recordMaskShape(layer, argument, subcode, combine, start, end);
  }
  [[nodiscard]] bool recordMaskPolygon(int32_t layer, uint16_t argument, uint8_t combine, const TPointF* points,
                         int32_t count) override {
    return commands_.recordMaskPolygon(layer, argument, combine, points, count);
  }
  [[nodiscard]] bool recordMaskName(int32_t mask, std::string_view name) override { return commands_.recordMaskName(mask, name); }
  [[nodiscard]] bool recordFilter(int32_t layer, uint16_t argument, uint8_t code) override {
    return commands_.recordFilter(layer, argument, code);
  }
  [[nodiscard]] bool recordFilter2(int32_t layer, uint16_t argument, const std::array<uint32_t, 2>& values,
                     uint8_t code) override {
    return commands_.recordFilter2(layer, argument, values, code);
  }
  [[nodiscard]] bool recordFilter4(int32_t layer, uint16_t argument, const std::array<uint32_t, 4>& values,
                     uint8_t code) override {
    return commands_.recordFilter4(layer, argument, values, code);
  }
  [[nodiscard]] bool recordFilter6(int32_t layer, uint16_t argument, const std::array<uint32_t, 6>& values,
                     uint8_t code) override {
    return commands_.recordFilter6(layer, argument, values, code);
  }
  [[nodiscard]] bool recordFilterRecord(uint8_t code, const SEventRecord& record, const uint8_t* data) override {
    return commands_.recordFilterRecord(code, record, data);
  }
  [[nodiscard]] bool recordFilterWithImages(int32_t layer, uint16_t value, const std::array<uint8_t, 63>& params,
                              uint16_t field18, uint16_t field20, const SFilterImage& image1,
                              const SFilterImage& image2) override {
    return commands_.recordFilterWithImages(layer, value, params, field18, field20, image1, image2);
  }
  [[nodiscard]] bool recordStrokeBegin(float x, float y, float pressure) override {
    return strokes_.recordStrokeBegin(x, y, pressure);
  }
  [[nodiscard]] bool recordStrokePoint(float x, float y, float pressure) override {
    return strokes_.recordStrokePoint(x, y, pressure);
  }
  [[nodiscard]] bool recordStrokeEnd() override { return strokes_.recordStrokeEnd(); }
  uint32_t strokePointCount() const override { return strokes_.pointCount(); }

 private:
  // EventOwner: the stroke settings and the pen renderer belong to the
  // windows, not to the document; no recording asks the store for them.
  CStrokeMngr* eventStrokeManager() override { return nullptr; }
  CPenRender* eventPenRenderer() override { return nullptr; }
  // IDocStateSource, read from the document.
  SDocStateValues documentState() const override;
  [[nodiscard]] bool layerAttributes(int32_t index, SLayerAttrValues& out) const override;
  // IToolStateSource: the pen renderer from the tools; the gradient from
  // the tools, else the tool window's active one through the document's
  // gradient link.
  [[nodiscard]] bool penState(SPenStateValues& out) const override;
  const CColorSlotGroup* currentGradientStops() const override;

  TPaper& doc_;
  SRecorderTools tools_;
  CEventMngr store_;
  CStateRecorder state_;
  CCommandRecorder commands_;
  CStrokeRecorder strokes_;
};

// The factory a document window hands to its document.
DocRecorderFactory eventStoreRecorderFactory(SRecorderTools tools = {});

}  // namespace pg
