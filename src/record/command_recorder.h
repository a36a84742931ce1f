#pragma once
// Recording of commands: every operation of the document that changes it
// calls one of these before it takes its undo record and changes the data.
// Each first records the application state its command depends on (the
// document set or the full set, see state_recorder.h), then writes one
// committed packet, which closes the event. A recorder called with a
// subcode outside its list writes nothing and answers false. While the store
// is not recording (idle, replaying, sealed) every recorder answers true
// without writing, so that replay runs the same operations.
//
// Which packet each call writes, its state set and its body's field list are
// the packet table's (record/packet_table.h, record/packet_bodies.h).
// Names and text are single-byte strings in the code page of recordings
// (CP932), zero-terminated and padded to an even length.
#include <array>
#include <chrono>
#include <cstdint>
#include <functional>
#include <string_view>

#include "core/planes.h"
#include "core/rect.h"
#include "record/event_vocabulary.h"
#include "record/record_sources.h"

namespace pg {

class CCommandBody;
class CEventMngr;
class CStateRecorder;
enum class RecorderCall : uint8_t;
struct SLogFont;

// The four small values of a region fill.
struct SFillArgs {
  uint8_t combine = 0;    // +21 (+37): how the region combines with a mask
  uint8_t target = 0;     // +22 (+38)
  bool antiAlias = false; // +23 (+39)
  uint16_t limit = 0;     // +24 (+40)
};

// A new layer: its size, opacity, blend mode and switches; the named form
// also fills it with a colour.
struct SNewLayer {
  uint32_t width = 0;
  uint32_t height = 0;
  uint8_t opacity = 255;
  uint8_t blendMode = 0;
  bool visible = true;
  bool protectAlpha = false;
  uint32_t colour = 0;  // the named form's fill, alpha in the top byte
};

// The two u32 values that follow layer and argument in the wide bodies of
// layer, mask, group and merge commands. What they hold follows the command:
// a mask index and a blend switch for the in-place filters, a width and a
// height for the layer scale, a count with its flags for group commands.
struct SCommandValues {
  uint32_t value = 0;
  uint32_t option = 0;
};

// An image a filter needs beside its parameters, with its name.
struct SFilterImage {
  const TMTC* image = nullptr;
  std::string_view name;
};

// The Windows SYSTEMTIME record of a moment, in UTC: eight u16 (year,
// month, day of week with Sunday 0, day, hour, minute, second, millisecond).
void systemTimeUtc(std::chrono::system_clock::time_point when, uint8_t* out16);

class CCommandRecorder {
 public:
  using Clock = std::function<std::chrono::system_clock::time_point()>;

  CCommandRecorder(CEventMngr& store, CStateRecorder& state, const IDocStateSource& doc);
  CCommandRecorder(const CCommandRecorder&) = delete;
  CCommandRecorder& operator=(const CCommandRecorder&) = delete;

  // Tests fix the recording start time.
  void setClock(Clock clock) { clock_ = std::move(clock); }

  // ---- document events (type 2) ----
  // The document set, the start time (1, 17), then the reset point (2, 254).
  [[nodiscard]] bool recordReset();
  // Item 0 only, then (2, 8).
  [[nodiscard]] bool recordImageCreate(int32_t width, int32_t height, bool transparent, bool canvasColourOff,
                         int32_t resolution, int32_t layerHeight, int32_t layerWidth);
  [[nodiscard]] bool recordPaperColor(uint32_t pixel);
  [[nodiscard]] bool recordCanvasResize(int32_t width, int32_t height, uint8_t anchorLow, uint8_t anchorHigh);
  // Subcode 3 (all layers rescaled) or 9 (the image scaled).
  [[nodiscard]] bool recordImageScale(int32_t width, int32_t height, uint8_t subcode, uint16_t mode);
  [[nodiscard]] bool recordImageCrop(uint16_t layer, uint16_t argument, const TRect& rect);
  // Subcodes 4, 5 (quarter turns), 16-19 (visible layers) and 32-35 (all layers).
  [[nodiscard]] bool recordDocumentEvent(uint8_t subcode);
  // Subcode 10 only.
  [[nodiscard]] bool recordMergeVisible(uint8_t subcode, int32_t layer, uint16_t argument, const SCommandValues& values);
  // Subcodes 24 (show or hide all), 25 (show only), 26 (flip visibility).
  [[nodiscard]] bool recordDocumentEventValue(int32_t layer, uint16_t value, uint8_t subcode);

  // ---- layer commands (type 4) ----
  [[nodiscard]] bool recordLayerNewEx(int32_t index, const SNewLayer& layer);
  [[nodiscard]] bool recordLayerNew(int32_t index, const SNewLayer& layer, std::string_view name);
  // Subcodes 1-5, 8, 9, 24, 25, 32-37.
  [[nodiscard]] bool recordLayerCommand(int32_t index, uint16_t argument, uint8_t subcode);
  // Subcodes 10, 38, 39, 48-51.
  [[nodiscard]] bool recordLayerCommandEx(int32_t index, uint16_t argument, uint8_t subcode, const SCommandValues& values);
  // Subcodes 16 (blend mode), 17 (opacity), 18 (visible), 20 (protect alpha).
  [[nodiscard]] bool recordLayerAttribute(int32_t index, uint32_t value, uint8_t subcode);
  [[nodiscard]] bool recordLayerEffect(int32_t index, bool effect, uint32_t seed, uint8_t effectValue);
  [[nodiscard]] bool recordLayerOffset(int32_t index, TPoint delta);
  // The offset class (how the layer is rebuilt) and a byte kept zero.
  [[nodiscard]] bool recordLayerOffsetApply(int32_t index, uint8_t offsetClass, uint8_t option, TPoint delta);
  [[nodiscard]] bool recordLayerMaskOffset(int32_t index, uint16_t argument, TPoint delta);
  [[nodiscard]] bool recordLayerMaskOffsetApply(int32_t index, uint16_t argument, TPoint delta, uint16_t value);
  [[nodiscard]] bool recordLayerName(int32_t index, std::string_view name);

  // ---- link groups (type 5) ----
  [[nodiscard]] bool recordLayerLink(int32_t layer, bool up, const uint16_t* values, uint16_t count);
  // Subcodes 8, 11, 12, 13, 16.
  [[nodiscard]] bool recordLayerListOp(uint8_t subcode, int32_t layer, uint16_t value, const SCommandValues& values);
  // Subcodes 9, 10.
  [[nodiscard]] bool recordLayerListOpEx(uint8_t subcode, int32_t layer, uint16_t value, TPoint delta,
                           const SCommandValues& values);

  // ---- layer images (type 12, subcodes 0, 1, 2) ----
  [[nodiscard]] bool recordLayerImage(int32_t index, const TMTC& image, uint8_t subcode, std::string_view name,
                        const uint8_t* attributes72);

  // ---- region fills (type 13) ----
  // The region is the part `bounds` of the channel. Subcodes 0, 1, 4, 16,
  // 17, 32; no seed point writes zeros.
  [[nodiscard]] bool recordFillRegion(int32_t target, uint16_t argument, uint8_t subcode, const SFillArgs& args,
                        const TPoint* seed, const TChannel& region, const SRectXYWH& bounds);
  // Subcodes 2, 3, 5 with three geometry points.
  [[nodiscard]] bool recordFillRegionEx(int32_t target, uint16_t argument, uint8_t subcode, const SFillArgs& args,
                          const std::array<TPoint, 3>& points, const TChannel& region, const SRectXYWH& bounds);
  // Text painted (16) or made a selection (17): the font and spacings (item
  // 32), the text (item 33), then the fill of its coverage; a selection's
  // combine mode goes in the fill's combine field (0 for painted text).
  [[nodiscard]] bool recordTextFill(int32_t target, uint16_t argument, uint8_t subcode, const SLogFont& font,
                      uint16_t lineSpacing, uint16_t charSpacing, std::string_view text, TPoint point,
                      const TChannel& coverage, const SRectXYWH& bounds, uint8_t combine);
  // The range record and its 8-byte colour entries as data (0, 136), then
  // the fill (13, 32).
  [[nodiscard]] bool recordColorRangeMask(int32_t layer, uint16_t argument, const std::array<uint8_t, 20>& range,
                            const uint8_t* entries, uint32_t entryCount, const TChannel& region,
                            const SRectXYWH& bounds);

  // ---- layer area edits (type 6) ----
  // Subcodes 0-3, 5, 6. The gradient fill (2) records the gradient first.
  [[nodiscard]] bool recordLayerEdit(int32_t index, uint32_t argument, uint8_t subcode, const TPointF* start,
                       const TPointF* end);
  [[nodiscard]] bool recordPolygonFill(int32_t index, const TPointF* points, int32_t count);

  // ---- masks (type 10) ----
  // Subcodes 0-6, 11, 20, 21.
  [[nodiscard]] bool recordMaskCommand(int32_t layer, uint16_t argument, uint8_t subcode);
  // Subcodes 7-10, 13, 14, 22, 24-26.
  [[nodiscard]] bool recordMaskCommandEx(int32_t layer, uint16_t argument, uint8_t subcode, const SCommandValues& values);
  // Subcodes 16, 17, 19.
  [[nodiscard]] bool recordMaskShape(int32_t layer, uint16_t argument, uint8_t subcode, uint8_t combine, TPointF start,
                       TPointF end);
  [[nodiscard]] bool recordMaskPolygon(int32_t layer, uint16_t argument, uint8_t combine, const TPointF* points, int32_t count);
  [[nodiscard]] bool recordMaskName(int32_t mask, std::string_view name);

  // ---- filters (types 32-35 and 38) ----
  // The code must be one of the packet type's filter codes.
  [[nodiscard]] bool recordFilter(int32_t layer, uint16_t argument, uint8_t code);
  [[nodiscard]] bool recordFilter2(int32_t layer, uint16_t argument, const std::array<uint32_t, 2>& values, uint8_t code);
  [[nodiscard]] bool recordFilter4(int32_t layer, uint16_t argument, const std::array<uint32_t, 4>& values, uint8_t code);
  [[nodiscard]] bool recordFilter6(int32_t layer, uint16_t argument, const std::array<uint32_t, 6>& values, uint8_t code);
  // Codes 39, 51, 54, 74: the record, then as many data bytes as its u16 at +4 says.
  [[nodiscard]] bool recordFilterRecord(uint8_t code, const SEventRecord& record, const uint8_t* data);
  // The images first (0, 128) and (0, 129), then (38, 40) with the 63-byte
  // parameter record; fields 18 and 20 of the event record come from the
  // filter.
  [[nodiscard]] bool recordFilterWithImages(int32_t layer, uint16_t value, const std::array<uint8_t, 63>& params,
                              uint16_t field18, uint16_t field20, const SFilterImage& image1,
                              const SFilterImage& image2);

 private:
  // The one way a command is written: checks that the call may write the
  // packet (its row of the packet table), answers true while not recording,
  // records the row's state set, lets `write` fill the body (and write what
  // must stand between the state and the command), writes and commits the
  // packet, and marks the layer structure changed when the row says so. A
  // failure anywhere, an exception included, leaves nothing of the event open.
  [[nodiscard]] bool record(RecorderCall call, uint8_t type, uint8_t subcode, const std::function<bool(CCommandBody&)>& write);
  [[nodiscard]] bool writeOffset(RecorderCall call, uint8_t subcode, int32_t index, uint8_t offsetClass, uint8_t option,
                   TPoint delta);
  [[nodiscard]] bool writeFilter(uint8_t type, int32_t layer, uint16_t argument,
                                 const uint32_t *values, size_t count,
                                 uint8_t code);
  // The command packets of a target (layer or mask) and an argument, the
  // second with the command's values after them.
  [[nodiscard]] bool writeTarget(RecorderCall call, uint8_t type, uint8_t subcode, int32_t index, uint16_t argument);
  [[nodiscard]] bool writeTargetValues(RecorderCall call, uint8_t type, uint8_t subcode, int32_t index,
                                       uint16_t argument, const SCommandValues& values);
  [[nodiscard]] bool writeNamed(RecorderCall call, uint8_t type, uint8_t subcode,
                                int32_t index, std::string_view name);
  [[nodiscard]] bool writeStateImage(uint8_t subcode, int32_t layer,
                                     const SFilterImage &image);
  void layerStructureChanged();

  CEventMngr& store_;
  CStateRecorder& state_;
  const IDocStateSource& doc_;
  Clock clock_;
};

}  // namespace pg
