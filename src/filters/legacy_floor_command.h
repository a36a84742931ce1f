#pragma once
// Replay of a floor packet recorded by the older program: the older floor
// (legacyFloorRender) over the packet's layer, with the textures that came
// as image packets before it.
#include <cstdint>

#include "filters/filter_params.h"
#include "filters/filter_table.h"

namespace pg {

class TPaper;
class TFlowImage;
class TMTC;

// "Images needed for the replay are missing! (%d, %d)": a texture the record
// uses did not come with it.
inline constexpr uint32_t kResReplayImagesMissing = 68301;

// Runs the older floor with the ceiling (image1) and floor (image2)
// textures, without recording. A texture the record uses but that did not
// come is reported; every missing one is replaced by one substitute: with
// byte 45 of the record set, the filter area reduced to 256 x 256 (nearest
// neighbour), else a copy of the layer's pixels. Refused when the layer
// cannot be filtered.
[[nodiscard]] FilterResult replayLegacyFloor(TPaper& doc, TFlowImage& view, int32_t layerIndex, const SFltFloor& floor,
                               const TMTC* image1, const TMTC* image2);

}  // namespace pg
