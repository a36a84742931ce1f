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
#include "record/state_items.h"
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

namespace {

// An item written through its field list into the body buffer.
template <class Item>
bool putItem(const Item& item, std::array<uint8_t, 32>& body, uint32_t& size) {
  size = stateItemBytes<Item>();
  return size != 0 && size <= body.size() && writeRecord(body.data(), size, item, Item::fields);
}

}  // namespace

bool CStateRecorder::buildItem(uint8_t subcode, std::array<uint8_t, 32>& body, uint32_t& size) const {
  body.fill(0);
  const TStroke* stroke = store_.strokeSettings();
  switch (subcode) {
    case kStatePaperColor:
      return putItem(SPaperColourItem{SColour24::of(doc_.documentState().paperPixel)}, body, size);
    case kStateDrawColor: {
      const SDocStateValues d = doc_.documentState();
      return putItem(SDrawColourItem{SColour24::of(stroke != nullptr ? stroke->color : 0),
                                     uint8_t((d.canvasColorShown ? 0 : 1) | (d.bgPatternShown ? 2 : 0))},
                     body, size);
    }
    case kStateGradientPoints: {
      const SDocStateValues d = doc_.documentState();
      return putItem(SGradientPointsItem{d.gradientStart.X, d.gradientStart.Y, d.gradientEnd.X, d.gradientEnd.Y}, body,
                     size);
    }
    case kStateGradientOptions: {
      const SDocStateValues d = doc_.documentState();
      return putItem(SGradientOptionsItem{uint8_t(d.gradientType), uint8_t(d.gradientRepeat),
                                          uint8_t(d.gradientWrap ? 1 : 0), saturateTo<uint16_t>(d.gradientCount)},
                     body, size);
    }
    case kStateLayerMask: {
      const SDocStateValues d = doc_.documentState();
      return putItem(SLayerMaskItem{uint16_t(d.currentLayer), uint16_t(d.currentMask)}, body, size);
    }
    case kStateSwitches: {
      const SDocStateValues d = doc_.documentState();
      uint16_t flags = d.selectionEnabled ? 1 : 0;
      if (stroke != nullptr && stroke->useTone != 0) flags |= 2;
      if (stroke != nullptr && stroke->useGradation != 0) flags |= 8;
      return putItem(SFlagsItem{flags}, body, size);
    }
    default:
      break;
  }
  // The stroke set needs the stroke settings.
  if (stroke == nullptr) return false;
  switch (subcode) {
    case kStatePressure:
      return putItem(SFlagsItem{uint16_t((stroke->ifSIZE != 0 ? 1 : 0) | (stroke->ifTRANSPARENCY != 0 ? 2 : 0) |
                                         (stroke->ifEDGE != 0 ? 4 : 0))},
                     body, size);
    case kStateStrokeColor:
      return putItem(SStrokeColourItem{SColour24::of(stroke->color), stroke->kind, stroke->getOpacity()}, body, size);
    case kStateStrokeSize:
      return putItem(SStrokeSizeItem{stroke->WIDTH, stroke->MIN}, body, size);
    case kStateStrokeEffect:
      // The creation code tells how the stroke's smallest pressure dab is
      // found: replay makes its strokes the same way.
      return putItem(SStrokeEffectItem{stroke->EFFECT, stroke->ENV, stroke->SPEED, stroke->GAMMA, stroke->getSpacing(),
                                       stroke->falloffCurveType, stroke->creationCode},
                     body, size);
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
  SFontItem item;
  packLogFont(font, item.font.data());
  item.lineSpacing = lineSpacing;
  item.charSpacing = charSpacing;
  std::array<uint8_t, 68> body{};
  if (body.size() != stateItemBytes<SFontItem>() || !writeRecord(body.data(), body.size(), item, SFontItem::fields))
    return false;
  return writeItem(kStateFont, body.data(), uint32_t(body.size()), false) != ItemResult::Failed;
}

bool CStateRecorder::recordText(std::string_view utf8) {
  if (!store_.isRecording()) return true;
  try {
    const std::vector<uint8_t> text = packetString(utf8);
    const uint32_t head = stateItemBytes<STextLengthItem>();
    std::vector<uint8_t> body(head + text.size());
    if (!writeRecord(body.data(), head, STextLengthItem{uint16_t(text.size())}, STextLengthItem::fields)) return false;
    std::copy(text.begin(), text.end(), body.begin() + head);
    return writeItem(kStateText, body.data(), uint32_t(body.size()), false) != ItemResult::Failed;
  } catch (const std::exception&) {
    return false;
  }
}

}  // namespace pg
