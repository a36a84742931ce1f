// Replay of layer commands (type 4) and mask commands (type 10). The layer
// attribute packets and the renames set the layer's fields directly; the
// commands that need an operation of the document's layer and mask lists
// stop the replay as not supported until those operations exist.
#include <cstring>
#include <string>

#include "brush/stroke_settings.h"
#include "core/blend_modes.h"
#include "document/layer_data.h"
#include "document/layer_mngr.h"
#include "document/mask_data.h"
#include "document/mask_mngr.h"
#include "document/paper.h"
#include "platform/text_codec.h"
#include "record/packet_catalogue.h"
#include "replay/replay_engine.h"

namespace pg {

namespace {

constexpr uint8_t kLayerBlend = 16;
constexpr uint8_t kLayerOpacity = 17;
constexpr uint8_t kLayerVisible = 18;
constexpr uint8_t kLayerRename = 19;
constexpr uint8_t kLayerProtect = 20;
constexpr uint8_t kLayerEffect = 21;
constexpr uint8_t kMaskRename = 12;

}  // namespace

bool CReplayEngine::readName(std::string& name) {
  uint8_t len[2];
  if (!read(len, 2)) return false;
  std::string bytes(readLE16(len), '\0');
  if (!read(bytes.data(), uint32_t(bytes.size()))) return false;
  bytes.resize(std::strlen(bytes.c_str()));
  name = cp932ToUtf8(bytes);
  return true;
}

bool CReplayEngine::replayLayerCommand(uint8_t subcode) {
  uint8_t b[18] = {};
  switch (subcode) {
    case kLayerRename: {
      if (!read(b, 2)) return false;
      std::string name;
      if (!readName(name)) return false;
      return done(doc_.getLayer(readLE16(b)) != nullptr && doc_.setLayerName(readLE16(b), name, false),
                  kRefreshLayers);
    }
    case kLayerBlend:
    case kLayerOpacity:
    case kLayerVisible:
    case kLayerProtect:
    case kLayerEffect: {
      if (!read(b, subcode == kLayerEffect ? 18 : 6)) return false;
      const int32_t index = readLE16(b);
      CLayerData* layer = doc_.getLayer(index);
      if (layer == nullptr) return fail(ReplayError::OperationFailed);
      if (b[2] >= kLayerBlendModeCount) return fail(ReplayError::BadField);
      // The packet carries the three attributes; the one of its subcode
      // goes through the document's operation (which compares first, and
      // answers false for a value it already had: not a failure here).
      switch (subcode) {
        case kLayerBlend:
          (void)doc_.setLayerBlendMode(index, b[2], false);
          break;
        case kLayerOpacity:
          (void)doc_.setLayerOpacity(index, b[3], false);
          break;
        case kLayerVisible:
          (void)doc_.setLayerVisible(index, (b[4] & 1) != 0, false);
          break;
        case kLayerProtect:
          (void)doc_.setProtectAlpha(index, (b[4] & 2) != 0 ? 1 : 0, false);
          if (index == doc_.currentLayerIndex()) stroke_->setOpaqueMode(layer->protectAlpha, true);
          break;
        default:
          (void)doc_.setLayerEffect(index, (b[4] & 16) != 0, b[6], false);
          layer->seedRandom(readLE32(b + 8));
          break;
      }
      layer->blendMode = b[2];
      layer->opacity = b[3];
      layer->visible = (b[4] & 1) != 0;
      if (subcode == kLayerEffect) layer->dissolveAmount = b[6];
      doc_.redraw(true);
      doc_.updateLayerThumbnail(index);
      addRefresh(kRefreshLayers | kRefreshNavigator);
      return true;
    }
    default:
      return replayLayerOp(subcode);
  }
}

bool CReplayEngine::replayMask(uint8_t subcode) {
  if (subcode != kMaskRename) return replayMaskOp(subcode);
  uint8_t b[2];
  if (!read(b, 2)) return false;
  std::string name;
  if (!readName(name)) return false;
  const int32_t index = readLE16(b);
  if (doc_.masks()->getMask(index) == nullptr) return fail(ReplayError::OperationFailed);
  return done(doc_.setMaskName(doc_.currentLayerIndex(), name, index, false), kRefreshMasks);
}

}  // namespace pg
