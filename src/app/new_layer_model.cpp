#include "app/new_layer_model.h"

#include <algorithm>

#include "brush/paint_param_kinds.h"
#include "core/blend_modes.h"
#include "platform/message_service.h"
#include "platform/res_ids.h"
#include "platform/string_table.h"

namespace pg {
namespace {

constexpr uint32_t kLayerModeNormal = 3;
constexpr std::array<uint32_t, 3> kColourValues = {0xFFFFFF, 0x000000, 0x7F7F7F};

}  // namespace

CNewLayerModel::CNewLayerModel(const SNewLayerRecord& record) : name_(record.name) {
  setModeIndex(static_cast<int32_t>(layerModeToBlendMode(record.blendMode)));
}

std::array<std::string, 22> CNewLayerModel::modeNames() {
  std::array<std::string, 22> names;
  for (uint32_t i = 0; i < names.size(); ++i) (void)getBlendModeName(i, names[i]);  // all 22 modes have names
  return names;
}

void CNewLayerModel::setModeIndex(int32_t listIndex) {
  modeIndex_ = std::clamp(listIndex, 0, 21);
  colours_ = {resString(kResColorWhite), resString(kResColorBlack), resString(kResColorGray)};
  colourIndex_ = 0;
  const uint32_t layerMode = blendModeToLayerMode(static_cast<uint32_t>(modeIndex_));
  // The normal mode has no colour that leaves what lies below unchanged.
  if (layerMode == kLayerModeNormal || layerBlendInfo(layerMode) == nullptr) return;
  const uint32_t neutral = layerBlendNeutral(layerMode) & 0xFFFFFF;
  const int32_t entry = neutral == 0xFFFFFF ? 0 : neutral == 0 ? 1 : 2;
  colours_[static_cast<size_t>(entry)] =
      colours_[static_cast<size_t>(entry)] + "( " + resString(kResNeutralColor) + " )";
  colourIndex_ = entry;
}

void CNewLayerModel::setOpacityPercent(double percent) { opacity_ = std::clamp(percent, 0.0, 100.0); }

SNewLayerRecord CNewLayerModel::result() const {
  SNewLayerRecord r;
  r.name = name_;
  r.blendMode = blendModeToLayerMode(static_cast<uint32_t>(modeIndex_));
  r.opacity = static_cast<uint8_t>(opacity_ * 2.55 + 0.5);
  r.colour = kColourValues[static_cast<size_t>(colourIndex_)] | (transparent_ ? 0u : 0xFF000000u);
  return r;
}

}  // namespace pg
