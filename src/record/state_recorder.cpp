// The items of the document and stroke sets, the sets themselves, and the
// text-tool items. The brush items are in brush_state_recorder.cpp.
#include "core/saturate.h"
#include "record/state_recorder.h"

#include <algorithm>
#include <cstring>

#include "brush/stroke_settings.h"
#include "platform/fonts.h"
#include "record/event_store.h"
#include "record/event_vocabulary.h"
#include "record/packet_catalogue.h"
#include "record/state_packets.h"

namespace pg {

CStateRecorder::CStateRecorder(CEventMngr& store, const IDocStateSource& doc, const IToolStateSource* tools)
    : store_(store), doc_(doc), tools_(tools) {}

// ---- the cache --------------------------------------------------------------------

const std::vector<uint8_t>* CStateRecorder::cached(uint8_t subcode) const {
  const int bit = cachedStateBit(subcode);
  if (bit < 0 || !store_.isCached(subcode)) return nullptr;
  return &cache_[size_t(bit)];
}

bool CStateRecorder::sameAsCached(uint8_t subcode, const uint8_t* body, uint32_t size) const {
  const std::vector<uint8_t>* last = cached(subcode);
  return last != nullptr && last->size() == size && (size == 0 || std::memcmp(last->data(), body, size) == 0);
}

void CStateRecorder::keep(uint8_t subcode, const uint8_t* body, uint32_t size) {
  const int bit = cachedStateBit(subcode);
  if (bit >= 0) cache_[size_t(bit)].assign(body, body + size);
}

ItemResult CStateRecorder::writeItem(uint8_t subcode, const uint8_t* body, uint32_t size, bool compare) {
  if (compare && sameAsCached(subcode, body, size)) return ItemResult::Unchanged;
  try {
    keep(subcode, body, size);
  } catch (const std::exception&) {
    return ItemResult::Failed;
  }
  // The store sets the cached bit only when the write succeeded.
  return store_.writeStatePacket(subcode, body, size) ? ItemResult::Recorded : ItemResult::Failed;
}

// ---- item bodies ------------------------------------------------------------------

bool CStateRecorder::buildItem(uint8_t subcode, std::array<uint8_t, 32>& body, uint32_t& size) const {
  body.fill(0);
  const TStroke* stroke = store_.strokeSettings();
  uint8_t* b = body.data();
  switch (subcode) {
    case kStatePaperColor: {
      writeLE32(b, doc_.documentState().paperPixel & 0x00FFFFFFu);
      size = 4;
      return true;
    }
    case kStateDrawColor: {
      const SDocStateValues d = doc_.documentState();
      writeLE32(b, stroke != nullptr ? stroke->color : 0);
      b[3] = uint8_t((d.canvasColorShown ? 0 : 1) | (d.bgPatternShown ? 2 : 0));
      size = 4;
      return true;
    }
    case kStateGradientPoints: {
      const SDocStateValues d = doc_.documentState();
      writeLE32(b, uint32_t(d.gradientStart.X));
      writeLE32(b + 4, uint32_t(d.gradientStart.Y));
      writeLE32(b + 8, uint32_t(d.gradientEnd.X));
      writeLE32(b + 12, uint32_t(d.gradientEnd.Y));
      size = 16;
      return true;
    }
    case kStateGradientOptions: {
      const SDocStateValues d = doc_.documentState();
      // The record takes bytes 1..3 of its first value.
      const uint32_t first = uint32_t(d.gradientType) << 8 | uint32_t(d.gradientRepeat) << 16 |
                             uint32_t(d.gradientWrap ? 1 : 0) << 24;
      SColorRecord record;
      makeColorRecord(record, first, saturateTo<uint16_t>(d.gradientCount), 0);
      std::memcpy(b, record.data(), record.size());
      size = uint32_t(record.size());
      return true;
    }
    case kStateLayerMask: {
      const SDocStateValues d = doc_.documentState();
      writeLE16(b, uint16_t(d.currentLayer));
      writeLE16(b + 2, uint16_t(d.currentMask));
      size = 4;
      return true;
    }
    case kStateSwitches: {
      const SDocStateValues d = doc_.documentState();
      uint16_t flags = d.selectionEnabled ? 1 : 0;
      if (stroke != nullptr && stroke->useTone != 0) flags |= 2;
      if (stroke != nullptr && stroke->useGradation != 0) flags |= 8;
      writeLE16(b, flags);
      size = 2;
      return true;
    }
    default:
      break;
  }
  // The stroke set needs the stroke settings.
  if (stroke == nullptr) return false;
  switch (subcode) {
    case kStatePressure:
      writeLE16(b, uint16_t((stroke->ifSIZE != 0 ? 1 : 0) | (stroke->ifTRANSPARENCY != 0 ? 2 : 0) |
                            (stroke->ifEDGE != 0 ? 4 : 0)));
      size = 2;
      return true;
    case kStateStrokeColor:
      writeLE32(b, stroke->color);
      b[3] = stroke->kind;
      writeF32(b + 4, stroke->getOpacity());
      size = 8;
      return true;
    case kStateStrokeSize:
      writeF32(b, stroke->WIDTH);
      writeF32(b + 4, stroke->MIN);
      size = 8;
      return true;
    case kStateStrokeEffect:
      writeF32(b, stroke->EFFECT);
      writeF32(b + 4, stroke->ENV);
      writeF32(b + 8, stroke->SPEED);
      writeF32(b + 12, stroke->GAMMA);
      writeF32(b + 16, stroke->getSpacing());
      b[20] = stroke->falloffCurveType;
      // How the stroke's smallest pressure dab is found (the settings'
      // creation code): replay makes its strokes the same way.
      b[21] = stroke->creationCode;
      size = 22;
      return true;
    default:
      return false;
  }
}

ItemResult CStateRecorder::recordItem(uint8_t subcode) {
  std::array<uint8_t, 32> body;
  uint32_t size = 0;
  if (!buildItem(subcode, body, size)) return ItemResult::Unchanged;
  return writeItem(subcode, body.data(), size, subcode != kStateLayerMask);
}

// ---- the sets ---------------------------------------------------------------------

bool CStateRecorder::recordVersion() { return store_.recordVersion(); }

bool CStateRecorder::recordDocumentState() {
  if (!store_.isRecording()) return true;
  if (!store_.recordVersion()) return false;
  for (uint8_t subcode : {kStatePaperColor, kStateDrawColor, kStateGradientPoints, kStateGradientOptions,
                          kStateLayerMask, kStateSwitches}) {
    if (recordItem(subcode) == ItemResult::Failed) return false;
  }
  return recordTone() != ItemResult::Failed && recordGradient(false) != ItemResult::Failed;
}

bool CStateRecorder::recordStrokeState() {
  if (!store_.isRecording()) return true;
  for (uint8_t subcode : {kStatePressure, kStateStrokeColor, kStateStrokeSize, kStateStrokeEffect}) {
    if (recordItem(subcode) == ItemResult::Failed) return false;
  }
  return true;
}

bool CStateRecorder::recordFullState() {
  if (!store_.isRecording()) return true;
  return recordDocumentState() && recordStrokeState() && recordPenState();
}

// ---- the text tool ----------------------------------------------------------------

bool CStateRecorder::recordFont(const SLogFont& font, uint16_t lineSpacing, uint16_t charSpacing) {
  if (!store_.isRecording()) return true;
  uint8_t body[68] = {};
  packLogFont(font, body);
  writeLE16(body + 60, lineSpacing);
  writeLE16(body + 62, charSpacing);
  return writeItem(kStateFont, body, sizeof body, false) != ItemResult::Failed;
}

bool CStateRecorder::recordText(std::string_view utf8) {
  if (!store_.isRecording()) return true;
  try {
    const std::vector<uint8_t> text = packetString(utf8);
    std::vector<uint8_t> body(2 + text.size());
    writeLE16(body.data(), uint16_t(text.size()));
    std::copy(text.begin(), text.end(), body.begin() + 2);
    return writeItem(kStateText, body.data(), uint32_t(body.size()), false) != ItemResult::Failed;
  } catch (const std::exception&) {
    return false;
  }
}

}  // namespace pg
