#pragma once
// Resource-string ids of the layer and mask lists, and the warning box they
// show their messages in.
#include <cstdint>

namespace pg {

inline constexpr uint32_t kStrUndoFailed = 65120;          // undo failed; all undo is cleared
inline constexpr uint32_t kStrInvalidLayerIndex = 65147;   // invalid layer index
inline constexpr uint32_t kStrLayerInitFailed = 65148;     // failed to initialise the layer
inline constexpr uint32_t kStrLayerMergeFailed = 65151;    // merge failed: a layer could not be resized
inline constexpr uint32_t kStrBrightnessWord = 65319;      // "明度"
inline constexpr uint32_t kStrLayerWord = 65321;           // "レイヤ"
inline constexpr uint32_t kStrMaskWord = 65323;            // "マスク"
inline constexpr uint32_t kStrCombineModeFirst = 64920;    // captions of the four combine modes

// Shows the warning with the text of string `id`.
void layerWarning(uint32_t id);

}  // namespace pg
