// The brush items of the application state: the tone pattern, the gradient,
// the image nib and the pen-method renderer. Tones and image nibs are
// defined once per id with their pixels packed; afterwards a small selection
// record names them. The ids map to the stream position of their definition,
// and the store forgets an id when the event that defined it goes away.
#include <algorithm>
#include <cstring>
#include <exception>
#include <vector>

#include "brush/gradient.h"
#include "brush/pen_shape_obj.h"
#include "brush/stroke_settings.h"
#include "brush/tone_list.h"
#include "brush/tone_patterns.h"
#include "core/saturate.h"
#include "platform/text_codec.h"
#include "record/event_store.h"
#include "record/packet_catalogue.h"
#include "record/state_packets.h"
#include "record/state_recorder.h"

namespace pg {

namespace {

// The bytes of an 8-bit plane in its memory order (rows bottom-up), or none.
[[nodiscard]] bool planeBytes(const TChannel& plane, const uint8_t*& data, uint64_t& size) {
  data = plane.Bits;
  size = plane.Bits != nullptr && plane.Width > 0 && plane.Height > 0 ? uint64_t(plane.ByteSize()) : 0;
  return size > 0 && size <= UINT32_MAX;
}

}  // namespace

// ---- tones ------------------------------------------------------------------------

ItemResult CStateRecorder::recordTone() {
  if (!store_.isRecording()) return ItemResult::Unchanged;
  const std::vector<uint8_t>* switches = cached(kStateSwitches);
  if (switches == nullptr || switches->size() < 2) return ItemResult::Failed;
  if ((readLE16(switches->data()) & 2) == 0) return ItemResult::Unchanged;
  const CToneMngr* tones = store_.toolTones();
  const CPatObj* pattern = tones != nullptr ? tones->current() : nullptr;
  SToneSelection selection;
  if (pattern == nullptr || !toneSelectionOf(*pattern, selection)) return ItemResult::Unchanged;
  uint8_t body[kToneSelectBytes];
  selection.encode(body);
  uint32_t definedAt = 0;
  if (store_.recordedToneIds().lookup(selection.id, definedAt))
    return writeItem(kStateToneSelect, body, kToneSelectBytes, true);
  return defineTone(static_cast<const CPat8&>(*pattern), body);
}

ItemResult CStateRecorder::defineTone(const CPat8& pattern, const uint8_t* selection) {
  try {
    SToneDefinition def;
    def.id = pattern.Id;
    if (const auto* tone = dynamic_cast<const CPat8Tone*>(&pattern)) {
      toneToRecord(def.record, *tone);
    } else {
      patternToRecord(def.record, pattern);
    }
    const std::string name = utf8ToCp932(pattern.Name);
    const std::string_view cut = cp932Prefix(name, kToneNameBytes);
    def.nameLength = uint16_t(cut.size());
    std::copy(cut.begin(), cut.end(), def.name.begin());

    std::vector<uint8_t> packed;
    const uint8_t* tile = nullptr;
    uint64_t tileBytes = 0;
    const bool hasTile = planeBytes(pattern.Tile, tile, tileBytes);
    // A stored pattern without a tile cannot be defined again on replay.
    if (!hasTile && pattern.IsTone == 0) return ItemResult::Unchanged;
    if (hasTile) {
      if (!packForPacket(tile, tileBytes, packed, def.packedLength)) return ItemResult::Failed;
      def.unpackedLength = uint32_t(tileBytes);
      def.paddedLength = uint32_t(packed.size());
    }
    uint8_t head[kToneDefineBytes];
    def.encode(head);

    const uint32_t start = store_.writePosition();
    if (!store_.writePacketOpen(kPktState, kStateTone, def.paddedLength, packed.data(), kToneDefineBytes, head))
      return ItemResult::Failed;
    if (!store_.recordedToneIds().setAt(def.id, start)) {
      store_.rollbackOpenEvent();
      return ItemResult::Failed;
    }
    store_.setCached(kStateTone);
    keep(kStateToneSelect, selection, kToneSelectBytes);
    return ItemResult::Recorded;
  } catch (const std::exception&) {
    return ItemResult::Failed;
  }
}

// ---- the gradient -----------------------------------------------------------------

ItemResult CStateRecorder::recordGradient(bool forced) {
  if (!store_.isRecording()) return ItemResult::Unchanged;
  if (!forced) {
    const std::vector<uint8_t>* switches = cached(kStateSwitches);
    if (switches == nullptr || switches->size() < 2 || (readLE16(switches->data()) & 8) == 0)
      return ItemResult::Unchanged;
  }
  const CColorSlotGroup* stops = tools_ != nullptr ? tools_->currentGradientStops() : nullptr;
  const SColorSlot* slots = nullptr;
  int64_t bytes = 0;
  // A gradient without stops cannot be replayed: the stream keeps the last one.
  if (stops == nullptr || !stops->getSlots(slots, bytes) || bytes <= 0) return ItemResult::Unchanged;
  const int64_t count = bytes / int64_t(sizeof(SColorSlot));
  const int64_t dataLength = count * kGradientStopBytes;
  if (count <= 0 || dataLength > 0xFFFF) return ItemResult::Failed;
  try {
    std::vector<uint8_t> body(kGradientHeadBytes + size_t(dataLength));
    SGradientHeader{uint16_t(count), uint16_t(dataLength)}.encode(body.data());
    for (int64_t i = 0; i < count; ++i)
      encodeColorSlot(slots[i], body.data() + kGradientHeadBytes + i * kGradientStopBytes);
    return writeItem(kStateGradient, body.data(), uint32_t(body.size()), true);
  } catch (const std::exception&) {
    return ItemResult::Failed;
  }
}

// ---- the pen-method renderer ------------------------------------------------------

ItemResult CStateRecorder::recordNib(const SPenStateValues& pen) {
  const CPenShapeObj* nib = pen.nib;
  if (nib == nullptr || !nib->isImageNib()) return ItemResult::Unchanged;
  const TChannel& image = *nib->image();
  const uint8_t* pixels = nullptr;
  uint64_t imageBytes = 0;
  if (!planeBytes(image, pixels, imageBytes)) return ItemResult::Unchanged;

  SNibSelection selection{nib->id(), saturateTo<uint16_t>(nib->scale()), image.Width, image.Height};
  uint8_t body[kNibSelectBytes];
  selection.encode(body);
  uint32_t definedAt = 0;
  if (store_.recordedNibIds().lookup(selection.id, definedAt))
    return writeItem(kStateNibSelect, body, kNibSelectBytes, true);

  try {
    SNibDefinition def;
    def.id = nib->id();
    def.scale = saturateTo<uint16_t>(nib->scale());
    def.scaleMin = saturateTo<uint16_t>(nib->scaleMin());
    def.scaleMax = saturateTo<uint16_t>(nib->scaleMax());
    def.width = image.Width;
    def.height = image.Height;
    def.imageBytes = uint32_t(imageBytes);
    std::vector<uint8_t> packed;
    if (!packForPacket(pixels, imageBytes, packed, def.packedLength)) return ItemResult::Failed;
    def.paddedLength = uint32_t(packed.size());
    uint8_t head[kNibDefineBytes];
    def.encode(head);

    const uint32_t start = store_.writePosition();
    if (!store_.writePacketOpen(kPktState, kStateNib, def.paddedLength, packed.data(), kNibDefineBytes, head))
      return ItemResult::Failed;
    if (!store_.recordedNibIds().setAt(def.id, start)) {
      store_.rollbackOpenEvent();
      return ItemResult::Failed;
    }
    store_.setCached(kStateNib);
    keep(kStateNibSelect, body, kNibSelectBytes);
    return ItemResult::Recorded;
  } catch (const std::exception&) {
    return ItemResult::Failed;
  }
}

bool CStateRecorder::recordPenState() {
  if (!store_.isRecording()) return true;
  SPenStateValues pen;
  if (tools_ == nullptr || !tools_->penState(pen)) return true;
  uint8_t body[kPenRecordMaxBytes];
  auto item = [&](uint8_t subcode, uint32_t size) { return writeItem(subcode, body, size, true) != ItemResult::Failed; };

  encodeFalloff(pen.falloff, body);
  if (!item(kStateFalloff, kFalloffBytes)) return false;
  encodeColorPair(pen.colorPair[0], pen.colorPair[1], body);
  if (!item(kStateColorPair, kColorPairBytes)) return false;
  encodeNibShape(pen.shape, pen.nib != nullptr && pen.nib->isImageNib(), body);
  if (!item(kStateNibShape, kNibShapeBytes)) return false;
  encodeEdge(pen.edge, body);
  if (!item(kStateEdge, kEdgeBytes)) return false;
  if (recordNib(pen) == ItemResult::Failed) return false;
  encodeRenderMethod(pen.render, body);
  if (!item(kStateRenderMethod, kRenderMethodBytes)) return false;
  encodeRenderValues(pen.render, body);
  if (!item(kStateRenderValues, kRenderValuesBytes)) return false;
  const TStroke* stroke = store_.strokeSettings();
  encodePenSwitches(stroke != nullptr && stroke->useGradation != 0, stroke != nullptr && stroke->useTone != 0, body);
  if (!item(kStatePenSwitches, kPenSwitchesBytes)) return false;
  encodeStrokeParam(pen.stroke, body);
  return item(kStateStrokeParam, kStrokeParamBytes);
}

}  // namespace pg
