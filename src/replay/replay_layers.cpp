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
      CLayerData* layer = doc_.getLayer(readLE16(b));
      if (layer == nullptr) return fail(ReplayError::OperationFailed);
      layer->name = name;
      addRefresh(kRefreshLayers);
      return true;
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
      layer->blendMode = b[2];
      layer->opacity = b[3];
      layer->visible = (b[4] & 1) != 0;
      if (subcode == kLayerProtect) {
        layer->protectAlpha = (b[4] & 2) != 0;
        if (index == doc_.currentLayerIndex()) stroke_->setOpaqueMode(layer->protectAlpha, true);
        return true;
      }
      if (subcode == kLayerEffect) {
        layer->dissolve = (b[4] & 16) != 0;
        layer->dissolveAmount = b[6];
        layer->seedRandom(readLE32(b + 8));
      }
      doc_.redraw(true);
      doc_.updateLayerThumbnail(index);
      addRefresh(kRefreshLayers | kRefreshNavigator);
      return true;
    }
    default:
      return replayUnsupported(kPktLayer, subcode);
  }
}

bool CReplayEngine::replayMask(uint8_t subcode) {
  if (subcode != kMaskRename) return replayUnsupported(kPktMask, subcode);
  uint8_t b[2];
  if (!read(b, 2)) return false;
  std::string name;
  if (!readName(name)) return false;
  CMaskData* mask = doc_.masks()->getMask(readLE16(b));
  if (mask == nullptr) return fail(ReplayError::OperationFailed);
  mask->name = name;
  addRefresh(kRefreshMasks);
  return true;
}

}  // namespace pg
