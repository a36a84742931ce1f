#pragma once
// Recording of application state: before a command packet, the items of
// state the command depends on (paper colour, drawing colour, gradient,
// current layer and mask, stroke settings, text-tool font and text, tones,
// nib and pen-method renderer) are written as uncommitted type-0 packets, so
// that they belong to the command's event; an item is written only when its
// value differs from the one the stream last carried.
//
// The store keeps one cached bit per item and clears it whenever the event
// that wrote the item is undone, dropped or rolled back; this class keeps the
// last written bodies to compare against. A bit is set only once the write
// succeeded, so a failed write never leaves the cache claiming a value the
// stream does not hold.
//
// Item sets:
//   document: 0, 2, 3, 4, 5, 8, 12, then the tone (36/37) and the gradient (40)
//   stroke:   13, 16, 17, 18
//   full:     document, stroke, then the pen state (48, 50, 52, 53, the nib
//             44/45, 56, 57, 58, 60)
//
// Bodies of the items of the document and stroke sets:
//   2  u32 paper colour in pixel order (top byte 0)
//   3  the drawing colour's three low bytes (a pixel, blue first), then
//      flags: bit 0 the canvas colour is not shown, bit 1 the background
//      pattern is shown
//   4  the gradient's start and end point, four i32 (16.16)
//   5  the colour record (event_vocabulary.h) of the gradient options:
//      shape +0, mirror +1, wrap +2, count +4 (u16), kind 0
//   8  u16 current layer, u16 current mask (0xFFFF for none)
//   12 u16: bit 0 selection enabled, bit 1 tone switch, bit 3 gradation switch
//   13 u16: bit 0 pressure drives size, bit 1 opacity, bit 2 the edge
//   16 colour (three bytes), stroke kind, f32 opacity (1.0 while the
//      document ignores it)
//   17 f32 width, f32 minimum size
//   18 f32 effect, environment, speed, gamma, spacing, u8 plot mode, u8 the settings' creation
//      code (0 in streams written before it was carried)
//   32 the 60-byte font description, u16, u16, four zero bytes
//   33 u16 n, then the text (CP932), zero-terminated, padded to even n
// The brush items are laid out in state_packets.h.
#include <array>
#include <cstdint>
#include <string_view>
#include <vector>

#include "record/record_sources.h"

namespace pg {

class CEventMngr;
class CPat8;
struct SLogFont;

// Results of recording one item.
enum class ItemResult : uint8_t {
  Unchanged = 0,  // nothing to write
  Recorded = 1,
  Failed = 2,
};

class CStateRecorder {
 public:
  CStateRecorder(CEventMngr& store, const IDocStateSource& doc, const IToolStateSource* tools = nullptr);
  CStateRecorder(const CStateRecorder&) = delete;
  CStateRecorder& operator=(const CStateRecorder&) = delete;

  CEventMngr& store() { return store_; }

  // One item of the document or stroke set: builds its body, compares it
  // with the last one written (item 8 is never compared) and writes it when
  // it differs. An item whose source is missing (no stroke settings) or an
  // unknown subcode gives Unchanged.
  [[nodiscard]] ItemResult recordItem(uint8_t subcode);

  // The sets. Each answers true at once while the store is not recording,
  // and false as soon as an item fails.
  [[nodiscard]] bool recordDocumentState();
  [[nodiscard]] bool recordStrokeState();
  [[nodiscard]] bool recordFullState();
  // Item 0 alone, when not yet recorded.
  [[nodiscard]] bool recordVersion();
  // Items 32 and 33, written whatever the cache says.
  [[nodiscard]] bool recordFont(const SLogFont &font, uint16_t lineSpacing,
                                uint16_t charSpacing);
  [[nodiscard]] bool recordText(std::string_view utf8);

  // The tool window's current tone: defined once by id (36, its tile
  // packed), afterwards selected (37) when the selection changed. Nothing
  // while the tone switch (item 12) is off; Failed when item 12 has not
  // been recorded yet.
  [[nodiscard]] ItemResult recordTone();
  // The tool window's current gradient (40) when it differs from the last
  // one written; unless forced, only while item 12 is recorded with the
  // gradation switch on.
  [[nodiscard]] ItemResult recordGradient(bool forced);
  // The pen-method renderer's items in order (48, 50, 52, 53, the image nib
  // 44/45, 56, 57, 58, 60), stopping at the first failure. Nothing without a
  // renderer.
  [[nodiscard]] bool recordPenState();

private:
  // Writes the body unless compare is set and it equals the cached one.
  [[nodiscard]] ItemResult writeItem(uint8_t subcode, const uint8_t* body, uint32_t size, bool compare);
  [[nodiscard]] bool sameAsCached(uint8_t subcode, const uint8_t* body, uint32_t size) const;
  void keep(uint8_t subcode, const uint8_t* body, uint32_t size);
  [[nodiscard]] const std::vector<uint8_t>* cached(uint8_t subcode) const;
  // Body of an item of the document or stroke set; false when it cannot be
  // built.
  [[nodiscard]] bool buildItem(uint8_t subcode, std::array<uint8_t, 32> &body,
                               uint32_t &size) const;
  [[nodiscard]] ItemResult defineTone(const CPat8& pattern, const uint8_t* selection);
  [[nodiscard]] ItemResult recordNib(const SPenStateValues& pen);

  CEventMngr& store_;
  const IDocStateSource& doc_;
  const IToolStateSource* tools_;
  // The last written body of each item, by cached bit.
  std::array<std::vector<uint8_t>, 24> cache_;
};

}  // namespace pg
