// Executors of application-state packets (type 0), data packets (type 1) and
// whole-document events (type 2), and the reading of image payloads.
#include <algorithm>
#include <array>
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
#include "record/state_items.h"
#include "replay/replay_engine.h"

namespace pg {

namespace {

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
    case kStatePenSwitches:
    case kStateRenderValues:
    case kStateStrokeParam: {
      // The pen renderer's records are read by their decoders
      // (state_packets.h) from the bytes the catalogue sizes.
      std::array<uint8_t, kPenRecordMaxBytes> body{};
      const uint32_t size = packetSizeRule(kPktState, subcode).base;
      if (size > body.size()) return fail(ReplayError::UnknownPacket);
      if (!read(body.data(), size)) return false;
      cacheItem(subcode, body.data(), size);
      return replayPenState(subcode, body.data());
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
      SDataLengthItem head;
      std::array<uint8_t, 4> len{};
      if (!read(len.data(), uint32_t(len.size()))) return false;
      if (!readRecord(len.data(), len.size(), head, SDataLengthItem::fields)) return fail(ReplayError::BadField);
      const uint32_t n = head.length;
      if (uint64_t(pos_) + n > store_.writePosition()) return fail(ReplayError::ShortRead);
      std::vector<uint8_t> block(size_t(n) + len.size());
      std::copy(len.begin(), len.end(), block.begin());
      if (!read(block.data() + len.size(), n)) return false;
      // The block is kept with its length: the colour-range fill reads its
      // two parameter blocks at +4 and +24.
      dataBlock_ = std::move(block);
      hasDataBlock_ = true;
      cachedBits_.set(subcode);
      return true;
    }
    case kStateText: {
      STextLengthItem head;
      std::array<uint8_t, 2> len{};
      if (!read(len.data(), uint32_t(len.size()))) return false;
      if (!readRecord(len.data(), len.size(), head, STextLengthItem::fields)) return fail(ReplayError::BadField);
      const uint16_t n = head.length;
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

  switch (subcode) {
    case kStateVersion: {
      SVersionItem v;
      if (!readStateItem(subcode, v)) return false;
      if (v.extensions != 0) {
        // A stream written with extensions this system does not know.
        showWarning("eventMngr::readAppStat: extFlags version error!");
        cachedBits_.reset(subcode);
        return fail(ReplayError::Version);
      }
      return true;
    }
    case kStatePaperColor: {
      SPaperColourItem item;
      return readStateItem(subcode, item) && doc_.setPaperColor(PaperColor::fromPixel(item.colour.value()), false);
    }
    case kStateDrawColor: {
      SDrawColourItem item;
      if (!readStateItem(subcode, item)) return false;
      stroke_->setColorQuiet(item.colour.value());
      (void)doc_.setBackgroundDisplay((item.flags & 1) == 0, (item.flags & 2) != 0, true);  // false when nothing changed
      return true;
    }
    case kStateGradientPoints: {
      SGradientPointsItem item;
      if (!readStateItem(subcode, item)) return false;
      doc_.setGradientPointsFix(SFixPoint{item.x0, item.y0}, SFixPoint{item.x1, item.y1});
      return true;
    }
    case kStateGradientOptions: {
      SGradientOptionsItem item;
      if (!readStateItem(subcode, item)) return false;
      // Values out of range are refused by the document and change nothing.
      (void)doc_.setGradientOptions(item.type, item.repeat, item.count, item.wrap);
      return true;
    }
    case kStateLayerMask: {
      const bool wasCached = cachedBits_.test(subcode);
      SLayerMaskItem item;
      return readStateItem(subcode, item) && replayLayerMask(item, wasCached);
    }
    case kStateSwitches: {
      SFlagsItem item;
      if (!readStateItem(subcode, item)) return false;
      const uint16_t f = item.flags;
      doc_.undoSetSelectionFlags((f & 1) != 0, doc_.antsShown());
      stroke_->setUseTone((f & 2) != 0, true);
      stroke_->setUseGradation((f & 8) != 0, true);
      if (recorderVersion() < 206) {
        CLayerData* current = doc_.currentLayer();
        const bool protect = (f & 4) != 0;
        if (current != nullptr) current->protectAlpha = protect;
        if (stroke_->setOpaqueMode(protect, true)) addRefresh(kRefreshLayers);
      }
      return true;
    }
    case kStatePressure: {
      SFlagsItem item;
      if (!readStateItem(subcode, item)) return false;
      stroke_->setPressureSize((item.flags & 1) != 0);
      stroke_->setPressureOpacity((item.flags & 2) != 0);
      stroke_->setPressureEdge((item.flags & 4) != 0);
      return true;
    }
    case kStateStrokeColor: {
      // Stroke settings are floats: one that is not finite cannot have been
      // recorded, and the brush engine must never see it.
      SStrokeColourItem item;
      if (!readStateItem(subcode, item)) return false;
      if (!std::isfinite(item.opacity) || strokeKindInfo(item.kind) == nullptr) return fail(ReplayError::BadField);
      stroke_->setColor(item.colour.value());
      stroke_->setKind(item.kind);
      stroke_->setOpacity(item.opacity);
      return true;
    }
    case kStateStrokeSize: {
      SStrokeSizeItem item;
      if (!readStateItem(subcode, item)) return false;
      if (!std::isfinite(item.width) || !std::isfinite(item.minimum)) return fail(ReplayError::BadField);
      stroke_->setWidth(item.width);
      stroke_->setMinSize(item.minimum);
      return true;
    }
    case kStateStrokeEffect: {
      SStrokeEffectItem item;
      if (!readStateItem(subcode, item)) return false;
      for (float v : {item.effect, item.env, item.speed, item.gamma, item.spacing})
        if (!std::isfinite(v)) return fail(ReplayError::BadField);
      TStroke& s = *stroke_;
      s.setEffect(item.effect);
      s.setEnv(item.env);
      s.setSpeed(item.speed);
      s.setGamma(item.gamma);
      s.setSpacing(item.spacing);
      // The curve codes are 0..4; anything else keeps the stroke's own.
      if (item.curve <= 4) s.falloffCurveType = item.curve;
      // The creation code of the recorded settings; streams written before
      // it was carried hold 0 here and replay with the kinds' fixed ratios,
      // as they always did.
      s.creationCode = item.creation == kStrokeCreatedByTool ? kStrokeCreatedByTool : 0;
      return true;
    }
    case kStateFont: {
      SFontItem item;
      if (!readStateItem(subcode, item)) return false;
      std::copy(cache_[subcode].begin(), cache_[subcode].end(), textSettings_.begin());
      return true;
    }
    default:
      return fail(ReplayError::UnknownPacket);
  }
}

bool CReplayEngine::replayLayerMask(const SLayerMaskItem& item, bool wasCached) {
  TStroke& s = *stroke_;
  CLayerMngr& layers = *doc_.layers();
  CMaskMngr& masks = *doc_.masks();
  const int32_t layer = item.layer == kCurrentIndex ? layers.current() : int32_t(item.layer);
  const int32_t mask = item.mask == kCurrentIndex ? masks.current() : int32_t(item.mask);
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

template <class Item>
bool CReplayEngine::readStateItem(uint8_t subcode, Item& item) {
  // The catalogue's fixed size, which the item's field list takes exactly.
  const SPacketSizeRule rule = packetSizeRule(kPktState, subcode);
  const uint32_t size = rule.base;
  std::array<uint8_t, 128> b{};
  if (rule.rule != BodyRule::Fixed || size > b.size() || size != stateItemBytes<Item>())
    return fail(ReplayError::UnknownPacket);
  if (!read(b.data(), size)) return false;
  if (!readRecord(b.data(), size, item, Item::fields)) return fail(ReplayError::BadField);
  cacheItem(subcode, b.data(), size);
  return true;
}

bool CReplayEngine::replayDataPacket(uint8_t subcode) {
  SDataLengthItem head;
  std::array<uint8_t, 4> len{};
  if (!read(len.data(), uint32_t(len.size()))) return false;
  if (!readRecord(len.data(), len.size(), head, SDataLengthItem::fields)) return fail(ReplayError::BadField);
  const uint32_t n = head.length;
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
