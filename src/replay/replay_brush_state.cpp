// Replay of the brush items of the application state: tone patterns and
// image nibs defined once by id with their pixels packed, the gradient and
// the pen-method renderer's records. Everything lands in the engine's own
// objects, never in the tool window's presets.
#include <algorithm>
#include <cstring>

#include "brush/pen_render.h"
#include "brush/pen_shape_obj.h"
#include "brush/stroke_mngr.h"
#include "brush/stroke_settings.h"
#include "brush/tone_list.h"
#include "brush/tone_patterns.h"
#include "core/block_compress.h"
#include "core/colour.h"
#include "core/limits.h"
#include "core/planes.h"
#include "document/paper.h"
#include "platform/text_codec.h"
#include "record/packet_catalogue.h"
#include "record/state_packets.h"
#include "record/tone_records.h"
#include "replay/replay_engine.h"

namespace pg {

namespace {

// Tiles and nib images are small; anything larger in a stream is refused
// before memory is taken for it.
constexpr int32_t kMaxPatternSide = 4096;

// The largest nib the tools set: a radius of 200 pixels, or an image nib's
// scale of 500 per cent (both in hundredths). Each dab costs the square of
// the size, so a recorded stroke may ask no more than the tools can.
constexpr int32_t kMostNibSize = 20000;
constexpr int32_t kMostNibScale = 50000;

// Reads `padded` packed bytes at the engine's position and expands the
// first `packed` of them into an 8-bit plane of w x h whose byte size is at
// least `unpacked`. False on any disagreement.
bool readPackedPlane(CReplayEngine& e, uint32_t packed, uint32_t padded, uint32_t unpacked, int32_t w, int32_t h,
                     TChannel& plane) {
  if (w <= 0 || h <= 0 || w > kMaxPatternSide || h > kMaxPatternSide || packed > padded)
    return e.fail(ReplayError::BadField);
  if (uint64_t(w) * uint64_t(h) > unpacked) return e.fail(ReplayError::BadField);
  std::vector<uint8_t> data(padded);
  if (!e.read(data.data(), padded)) return false;
  if (!plane.Resize(w, h)) return e.fail(ReplayError::OperationFailed);
  if (uint64_t(unpacked) > uint64_t(plane.ByteSize())) return e.fail(ReplayError::BadField);
  if (!expandExact(data.data(), packed, plane.Bits, unpacked)) return e.fail(ReplayError::BadField);
  return true;
}

}  // namespace

void CReplayEngine::resetReplayIds() {
  toneIds_.removeAll();
  nibIds_.removeAll();
  nibImages_.clear();
  imageNib_.reset();
}

bool CReplayEngine::replayToneDefinition() {
  uint8_t body[kToneDefineBytes];
  if (!read(body, kToneDefineBytes)) return false;
  const SToneDefinition def = SToneDefinition::decode(body);
  const SToneRecordFields rec = readToneRecord(def.record);
  const uint16_t depth = rec.depth;
  const uint16_t kind = rec.form;
  const uint32_t flags = rec.flags;
  const int32_t value = int32_t(rec.value);
  const int32_t originX = rec.originX;
  const int32_t originY = rec.originY;
  const int32_t w = rec.width;
  const int32_t h = rec.height;
  TChannel tile;
  const bool hasTile = def.paddedLength != 0;
  if (hasTile) {
    if (depth != 8) return fail(ReplayError::BadField);
    if (!readPackedPlane(*this, def.packedLength, def.paddedLength, def.unpackedLength, w, h, tile)) return false;
  }
  uint32_t known = 0;
  if (toneIds_.lookup(def.id, known)) return fail(ReplayError::BadField);
  const bool invert = (flags & kToneFlagInvert) != 0;
  int32_t index = -1;
  if (kind == kToneFormGenerated) {
    SToneAttr attr{};
    recordToAttributes(def.record, attr);
    index = tones_->addToneFromImage(attr, hasTile ? &tile : nullptr, value, invert, originX, originY);
  } else if (kind == kToneFormPlain) {
    if (!hasTile) return fail(ReplayError::BadField);
    index = tones_->addTone(tile, value, invert, originX, originY);
  } else {
    return fail(ReplayError::BadField);
  }
  if (index < 0) return fail(ReplayError::OperationFailed);
  CPatObj* pattern = tones_->getItem(index);
  // The name length is cut to the name area by decode.
  pattern->setName(cp932ToUtf8(std::string_view(reinterpret_cast<const char*>(def.name.data()), def.nameLength)));
  if (tones_->setCurrentIndex(index) != index) return fail(ReplayError::OperationFailed);
  if (!toneIds_.setAt(def.id, uint32_t(index))) return fail(ReplayError::OperationFailed);
  SToneSelection selection;
  if (toneSelectionOf(*pattern, selection)) {
    uint8_t sel[kToneSelectBytes];
    selection.id = def.id;
    selection.encode(sel);
    cacheItem(kStateToneSelect, sel, kToneSelectBytes);
  }
  return true;
}

bool CReplayEngine::replayToneSelection() {
  uint8_t body[kToneSelectBytes];
  if (!read(body, kToneSelectBytes)) return false;
  cacheItem(kStateToneSelect, body, kToneSelectBytes);
  const SToneSelection sel = SToneSelection::decode(body);
  uint32_t index = 0;
  if (!toneIds_.lookup(sel.id, index)) return fail(ReplayError::BadField);
  auto* pattern = dynamic_cast<CPat8*>(tones_->getItem(int32_t(index)));
  if (pattern == nullptr) return fail(ReplayError::BadField);
  pattern->OffsetX = sel.originX;
  pattern->OffsetY = sel.originY;
  pattern->Scale = sel.value;
  pattern->Invert = (sel.flags & SToneSelection::kFlagSwitch) != 0 ? 1 : 0;
  return tones_->setCurrentIndex(int32_t(index)) == int32_t(index) || fail(ReplayError::OperationFailed);
}

bool CReplayEngine::replayGradient() {
  uint8_t head[kGradientHeadBytes];
  if (!read(head, kGradientHeadBytes)) return false;
  const SGradientHeader h = SGradientHeader::decode(head);
  const uint32_t length = h.dataLength;
  if (length == 0 || length % kGradientStopBytes != 0) return fail(ReplayError::BadField);
  // The packet's size rule took the length from the same field, so the
  // stops are in the stream; more than the group holds are refused.
  const uint32_t count = length / kGradientStopBytes;
  if (count > 64) return fail(ReplayError::BadField);
  std::vector<uint8_t> data(length);
  if (!read(data.data(), length)) return false;
  gradient_.reset(16);
  for (uint32_t i = 0; i < count; ++i)
    if (!gradient_.putSlot(int32_t(i), decodeColorSlot(data.data() + i * kGradientStopBytes)))
      return fail(ReplayError::BadField);
  gradient_.normalize();
  std::vector<uint8_t> whole(head, head + kGradientHeadBytes);
  whole.insert(whole.end(), data.begin(), data.end());
  cacheItem(kStateGradient, whole.data(), uint32_t(whole.size()));
  return true;
}

bool CReplayEngine::makeImageNib(const TChannel& image, uint16_t scale) {
  auto nib = std::make_unique<CPenShapeObj>();
  if (!nib->assign(*nib_) || !nib->setImage(image, false)) return fail(ReplayError::OperationFailed);
  nib->setScale(scale);
  imageNib_ = std::move(nib);
  return true;
}

bool CReplayEngine::replayNibDefinition() {
  uint8_t body[kNibDefineBytes];
  if (!read(body, kNibDefineBytes)) return false;
  const SNibDefinition def = SNibDefinition::decode(body);
  auto image = std::make_unique<TChannel>();
  if (!readPackedPlane(*this, def.packedLength, def.paddedLength, def.imageBytes, def.width, def.height, *image))
    return false;
  uint32_t known = 0;
  if (nibIds_.lookup(def.id, known)) return fail(ReplayError::BadField);
  nibImages_.push_back(std::move(image));
  if (!nibIds_.setAt(def.id, uint32_t(nibImages_.size() - 1))) return fail(ReplayError::OperationFailed);
  if (!makeImageNib(*nibImages_.back(), def.scale)) return false;
  const SNibSelection sel{def.id, def.scale, def.width, def.height};
  uint8_t s[kNibSelectBytes];
  sel.encode(s);
  cacheItem(kStateNibSelect, s, kNibSelectBytes);
  return true;
}

bool CReplayEngine::replayNibSelection() {
  uint8_t body[kNibSelectBytes];
  if (!read(body, kNibSelectBytes)) return false;
  cacheItem(kStateNibSelect, body, kNibSelectBytes);
  const SNibSelection sel = SNibSelection::decode(body);
  uint32_t index = 0;
  if (!nibIds_.lookup(sel.id, index) || index >= nibImages_.size() || !nibImages_[index])
    return fail(ReplayError::BadField);
  return makeImageNib(*nibImages_[index], sel.scale);
}

const CPenShapeObj* CReplayEngine::activeReplayNib() const {
  const std::vector<uint8_t>& shape = cache_[kStateNibShape];
  const bool wantsImage = cachedBits_.test(kStateNibShape) && shape.size() >= 9 && shape[8] != 0;
  if (wantsImage && imageNib_ && imageNib_->isImageNib()) return imageNib_.get();
  return nib_.get();
}

const CColorSlotGroup& CReplayEngine::activeReplayGradient() {
  const int32_t v = recorderVersion();
  if (v < 282 || v == 298 || v == 299) {
    // Streams of these versions carried no gradient of their own: the
    // stroke's two colours were the gradient.
    gradient_.reset(16);
    // Slots 0 and 1 lie within the sixteen the reset made room for.
    (void)gradient_.putColor(0, pixelToColor(stroke_->color & 0x00FFFFFFu), 255, 0x10000);  // see above
    (void)gradient_.putColor(1, pixelToColor(stroke_->subColor & 0x00FFFFFFu), 255, 0x10000);  // as above
    gradient_.normalize();
  }
  return gradient_;
}

bool CReplayEngine::replayPenState(uint8_t subcode, const uint8_t* body) {
  CPenRender& r = *render_;
  switch (subcode) {
    case kStateFalloff: {
      const SGradeMapParam p = decodeFalloff(body);
      nib_->setParams(&p, nullptr, nullptr);
      if (imageNib_) imageNib_->setParams(&p, nullptr, nullptr);
      r.setGradeMapParam(p);
      addRefresh(kRefreshPenShape);
      return true;
    }
    case kStateColorPair:
      return true;
    case kStateNibShape: {
      bool imageNib = false;
      const SPenShapeParam p = decodeNibShape(body, imageNib);
      if (p.size > (imageNib ? kMostNibScale : kMostNibSize)) return fail(ReplayError::BadField);
      nib_->setParams(nullptr, &p, nullptr);
      if (imageNib_) imageNib_->setParams(nullptr, &p, nullptr);
      r.setShapeParam(p);
      addRefresh(kRefreshPenShape);
      return true;
    }
    case kStateEdge: {
      const SEdgeParam p = decodeEdge(body);
      nib_->setParams(nullptr, nullptr, &p);
      if (imageNib_) imageNib_->setParams(nullptr, nullptr, &p);
      r.setEdgeParam(p);
      addRefresh(kRefreshPenShape);
      return true;
    }
    case kStateRenderMethod: {
      SPenRenderParam p = r.getRenderParam();
      decodeRenderMethod(body, p);
      r.setRenderMethod(p);
      addRefresh(kRefreshPenMethod);
      return true;
    }
    case kStateRenderValues: {
      SPenRenderParam p = r.getRenderParam();
      decodeRenderValues(body, p);
      r.setRenderValues(p, kRenderValuesAll);
      addRefresh(kRefreshPenMethod);
      return true;
    }
    case kStatePenSwitches:
      addRefresh(kRefreshPenMethod);
      return true;
    case kStateStrokeParam:
      ensurePenEngine();
      if (CStrokeMngr* engine = doc_.penEngine()) engine->setParam(decodeStrokeParam(body));
      addRefresh(kRefreshPenMethod);
      return true;
    default:
      return fail(ReplayError::UnknownPacket);
  }
}

void CReplayEngine::applyPenStateToToolWindow(SReplayPenState& out) {
  out = {};
  out.render = render_->getRenderParam();
  out.falloff = render_->getGradeMapParam();
  if (const CStrokeMngr* engine = doc_.penEngine()) out.stroke = engine->getParam();
  out.nib = activeReplayNib();
  out.useTone = stroke_->useTone != 0;
  out.useGradation = stroke_->useGradation != 0;
  if (toolWindow_ != nullptr) toolWindow_->loadPaintParamFields(out);
}

}  // namespace pg
