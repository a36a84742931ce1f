// Executors of application-state packets (type 0), data packets (type 1) and
// whole-document events (type 2), and the reading of image payloads.
#include <algorithm>
#include <cmath>
#include <cstring>

#include "brush/plot_callbacks.h"
#include "brush/stroke_settings.h"
#include "core/fixed_point.h"
#include "core/limits.h"
#include "core/planes.h"
#include "document/layer_data.h"
#include "document/layer_mngr.h"
#include "document/mask_mngr.h"
#include "document/paper.h"
#include "platform/message_service.h"
#include "record/packet_catalogue.h"
#include "record/state_packets.h"
#include "record/packet_bodies.h"
#include "replay/replay_engine.h"

namespace pg {

namespace {

// Fixed payload sizes of the type-0 items this file replays.
uint32_t fixedStateSize(uint8_t subcode) {
  switch (subcode) {
    case kStateVersion:
      return 12;
    case kStatePaperColor:
    case kStateDrawColor:
    case kStateLayerMask:
      return 4;
    case kStateGradientPoints:
      return 16;
    case kStateGradientOptions:
      return 12;
    case kStateSwitches:
    case kStatePressure:
      return 2;
    case kStateStrokeColor:
    case kStateStrokeSize:
      return 8;
    case kStateStrokeEffect:
      return 22;
    case kStateFont:
      return 68;
    default:
      return 0;
  }
}

constexpr uint16_t kCurrentIndex = 0xFFFF;

}  // namespace

bool CReplayEngine::replayAppState(uint8_t subcode) {
  switch (subcode) {
    case kStateTone:
      return replayToneDefinition();
    case kStateToneSelect:
      return replayToneSelection();
    case kStateGradient:
      return replayGradient();
    case kStateNib:
      return replayNibDefinition();
    case kStateNibSelect:
      return replayNibSelection();
    case kStateFalloff:
    case kStateColorPair:
    case kStateNibShape:
    case kStateEdge:
    case kStateRenderMethod:
    case kStatePenSwitches: {
      uint8_t body[12] = {};
      const uint32_t size = subcode == kStateNibShape || subcode == kStateEdge ? 12 : (subcode == 58 ? 4 : 8);
      if (!read(body, size)) return false;
      cacheItem(subcode, body, size);
      return replayPenState(subcode, body);
    }
    case kStateRenderValues:
    case kStateStrokeParam: {
      uint8_t body[16] = {};
      if (!read(body, 16)) return false;
      cacheItem(subcode, body, 16);
      return replayPenState(subcode, body);
    }
    case kStateFilterImage1:
    case kStateFilterImage2: {
      int32_t layer = 0;
      std::unique_ptr<TMTC> image;
      std::unique_ptr<std::array<uint8_t, 72>> record;
      std::vector<uint8_t> block;
      if (!readImageObject(layer, image, record, block)) return false;
      (subcode == kStateFilterImage1 ? slot1_ : slot2_) = std::move(image);
      cachedBits_.set(subcode);
      return true;
    }
    case kStateColorRange: {
      uint8_t len[4];
      if (!read(len, 4)) return false;
      const uint32_t n = readLE32(len);
      if (uint64_t(pos_) + n > store_.writePosition()) return fail(ReplayError::ShortRead);
      std::vector<uint8_t> block(size_t(n) + 4);
      std::memcpy(block.data(), len, 4);
      if (!read(block.data() + 4, n)) return false;
      // The block is kept with its length: the colour-range fill reads its
      // two parameter blocks at +4 and +24.
      dataBlock_ = std::move(block);
      hasDataBlock_ = true;
      cachedBits_.set(subcode);
      return true;
    }
    case kStateText: {
      uint8_t len[2];
      if (!read(len, 2)) return false;
      const uint16_t n = readLE16(len);
      std::string text(n, '\0');
      if (!read(text.data(), n)) return false;
      text.resize(std::strlen(text.c_str()));
      text_ = std::move(text);
      cachedBits_.set(subcode);
      return true;
    }
    default:
      break;
  }

  const uint32_t size = fixedStateSize(subcode);
  if (size == 0) return fail(ReplayError::UnknownPacket);
  uint8_t b[68] = {};
  if (!read(b, size)) return false;
  // Stroke settings are floats: one that is not finite cannot have been
  // recorded, and the brush engine must never see it.
  if (subcode == kStateStrokeColor || subcode == kStateStrokeSize || subcode == kStateStrokeEffect) {
    const uint32_t first = subcode == kStateStrokeColor ? 4 : 0;
    const uint32_t last = subcode == kStateStrokeEffect ? 20 : 8;
    for (uint32_t at = first; at < last; at += 4)
      if (!std::isfinite(readF32(b + at))) return fail(ReplayError::BadField);
    if (subcode == kStateStrokeColor && strokeKindInfo(b[3]) == nullptr) return fail(ReplayError::BadField);
  }
  const bool wasCached = cachedBits_.test(subcode);
  cacheItem(subcode, b, size);
  TStroke& s = *stroke_;
  switch (subcode) {
    case kStateVersion:
      if (readLE16(b + 4) != 0) {
        // A stream written with extensions this system does not know.
        showWarning("eventMngr::readAppStat: extFlags version error!");
        cachedBits_.reset(subcode);
        return fail(ReplayError::Version);
      }
      return true;
    case kStatePaperColor:
      return doc_.setPaperColor(PaperColor::fromPixel(readLE32(b) & 0x00FFFFFFu), false);
    case kStateDrawColor:
      s.setColorQuiet(readLE32(b) & 0x00FFFFFFu);
      (void)doc_.setBackgroundDisplay((b[3] & 1) == 0, (b[3] & 2) != 0, true);  // false when nothing changed
      return true;
    case kStateGradientPoints:
      doc_.setGradientPointsFix(SFixPoint{int32_t(readLE32(b)), int32_t(readLE32(b + 4))},
                                SFixPoint{int32_t(readLE32(b + 8)), int32_t(readLE32(b + 12))});
      return true;
    case kStateGradientOptions:
      // Values out of range are refused by the document and change nothing.
      (void)doc_.setGradientOptions(b[0], b[1], readLE16(b + 4), b[2]);
      return true;
    case kStateLayerMask: {
      const uint16_t layerField = readLE16(b);
      const uint16_t maskField = readLE16(b + 2);
      CLayerMngr& layers = *doc_.layers();
      CMaskMngr& masks = *doc_.masks();
      const int32_t layer = layerField == kCurrentIndex ? layers.current() : int32_t(layerField);
      const int32_t mask = maskField == kCurrentIndex ? masks.current() : int32_t(maskField);
      if (!wasCached || layers.current() != layer) {
        if (layers.isValidIndex(layer)) layers.setCurrent(layer);
        addRefresh(kRefreshLayers);
      }
      if (!wasCached || masks.current() != mask) {
        if (mask >= 0 && mask < masks.count()) masks.setCurrent(mask);
        addRefresh(kRefreshMasks);
      }
      const CLayerData* current = layers.getLayer(layers.current());
      if (s.setOpaqueMode(current != nullptr && current->protectAlpha, true)) addRefresh(kRefreshLayers);
      s.setLayerIndex(layers.current());
      return true;
    }
    case kStateSwitches: {
      const uint16_t f = readLE16(b);
      doc_.selectionEnabled = (f & 1) != 0;
      s.setUseTone((f & 2) != 0, true);
      s.setUseGradation((f & 8) != 0, true);
      if (recorderVersion() < 206) {
        CLayerData* current = doc_.currentLayer();
        const bool protect = (f & 4) != 0;
        if (current != nullptr) current->protectAlpha = protect;
        if (s.setOpaqueMode(protect, true)) addRefresh(kRefreshLayers);
      }
      return true;
    }
    case kStatePressure: {
      const uint16_t f = readLE16(b);
      s.setPressureSize((f & 1) != 0);
      s.setPressureOpacity((f & 2) != 0);
      s.setPressureEdge((f & 4) != 0);
      return true;
    }
    case kStateStrokeColor:
      s.setColor(readLE32(b) & 0x00FFFFFFu);
      s.setKind(b[3]);
      s.setOpacity(readF32(b + 4));
      return true;
    case kStateStrokeSize:
      s.setWidth(readF32(b));
      s.setMinSize(readF32(b + 4));
      return true;
    case kStateStrokeEffect:
      s.setEffect(readF32(b));
      s.setEnv(readF32(b + 4));
      s.setSpeed(readF32(b + 8));
      s.setGamma(readF32(b + 12));
      s.setSpacing(readF32(b + 16));
      // The curve codes are 0..4; anything else keeps the stroke's own.
      if (b[20] <= 4) setFalloffCurve(&s, b[20], false);
      // The creation code of the recorded settings; streams written before
      // it was carried hold 0 here and replay with the kinds' fixed ratios,
      // as they always did.
      s.creationCode = b[21] == kStrokeCreatedByTool ? kStrokeCreatedByTool : 0;
      return true;
    case kStateFont:
      std::copy(b, b + 68, textSettings_.begin());
      return true;
    default:
      return fail(ReplayError::UnknownPacket);
  }
}

bool CReplayEngine::replayDataPacket(uint8_t subcode) {
  uint8_t len[4];
  if (!read(len, 4)) return false;
  const uint32_t n = readLE32(len);
  if (subcode == kDataStartTime && n == 16) {
    if (!read(startTime_.data(), 16)) return false;
    hasStartTime_ = true;
    return true;
  }
  return skip(n);
}

bool CReplayEngine::readImageObject(int32_t& layer, std::unique_ptr<TMTC>& image,
                                    std::unique_ptr<std::array<uint8_t, 72>>& record, std::vector<uint8_t>& block) {
  image.reset();
  record.reset();
  block.clear();
  std::array<uint8_t, 22> bytes{};
  SImageHead head;
  if (!read(bytes.data(), uint32_t(bytes.size()))) return false;
  if (!readRecord(bytes.data(), bytes.size(), head, SImageHead::fields)) return fail(ReplayError::BadField);
  layer = head.layer;
  const uint32_t w = head.width;
  const uint32_t h = head.height;
  const uint8_t kind = head.hasAttributes;
  const uint32_t total = head.following;
  const uint16_t blockLength = head.nameLength;
  const uint32_t pixelLength = head.pixelBytes;
  const uint32_t start = pos_;
  if (uint64_t(start) + total > store_.writePosition()) return fail(ReplayError::ShortRead);
  if (kind > 1) return fail(ReplayError::BadField);
  // Every size comes from the stream: the image is kept within the
  // system's largest image, and what follows the head within its total.
  if (w == 0 || h == 0 || w > uint32_t(kMaxImageWidth) || h > uint32_t(kMaxImageHeight))
    return fail(ReplayError::BadField);
  // The recorder writes every pixel: pixel data that does not cover the
  // image it declares is refused before the image is made, so a few bytes
  // cannot ask for a plane of the largest size.
  const uint64_t used = (kind == 1 ? 72u : 0u) + uint64_t(blockLength) + pixelLength;
  if (used > total || uint64_t(pixelLength) != uint64_t(w) * h * 4) return fail(ReplayError::BadField);
  if (kind == 1) {
    record = std::make_unique<std::array<uint8_t, 72>>();
    if (!read(record->data(), 72)) return false;
  }
  block.resize(blockLength);
  if (!read(block.data(), blockLength)) return false;
  auto img = std::make_unique<TMTC>();
  if (!img->Resize(int32_t(w), int32_t(h))) return fail(ReplayError::OperationFailed);
  // Pixels top-down, row after row.
  for (int32_t y = 0; y < img->Height; ++y)
    if (!read(img->pixelAt(0, y), w * 4)) return false;
  pos_ = start + total;
  image = std::move(img);
  return true;
}

}  // namespace pg
