#pragma once
// The dab-table walker: one routine per stroke kind paints a dab of the
// stroke settings onto the surface it is handed, and the walker steps each
// new segment of the stroke (stored points 2 to 1) into such dabs by the
// kind's row of the table below. The document hands it the flow image's
// planes and what it needs of the stroke's layer; the walker knows no
// document.
#include <cstdint>

#include "core/planes.h"
#include "core/rect.h"

namespace pg {

class CBlockVMTC;
class TStroke;
struct SPlotState;

// One row of the walker's table.
struct SStrokeKindRow {
  float minSizeRatio;       // fixed smallest-dab ratio with pressure size, or -1
  int32_t singleStepBelow;  // dab sizes below this paint at every step
  int32_t halfStepBelow;    // dab sizes below this take half steps
  bool usesWorkChannel;     // dabs paint coverage into the working channel
};

// The row of a kind 0..8; nullptr for any other value.
[[nodiscard]] const SStrokeKindRow* strokeKindRow(uint32_t kind);

// What the dabs paint on: the stroke's 32-bit plane and 8-bit working
// channel (layer image coordinates), the painter's plot state (how each
// pixel is written, and the falloff and tone curves), the layer's pixels as they were before
// the stroke (the blur reads them; may be null), the neutral colour of the
// layer's blend mode (the eraser and finger paint it) and the layer's
// offset (layer pixel = document coordinate + offset). The walker sets the
// step axis of each segment: 1 when its major axis is x, 0 when it is y.
struct SDabSurface {
  TMTC& pixels;
  TChannel& coverage;
  const SPlotState& plot;
  const CBlockVMTC* layerImage = nullptr;
  uint32_t neutral = 0;
  TPoint layerOffset;
  uint8_t stepAxis = 0;
};

// Walks the stroke's newest segment into dabs of its kind. A kind outside
// 0..8, a segment of length 0 or coordinates that are not numbers paint
// nothing.
void walkDabSegment(TStroke& stroke, SDabSurface& surface);

}  // namespace pg
