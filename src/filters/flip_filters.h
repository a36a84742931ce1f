#pragma once
// Flip horizontal, flip vertical and rotate 180 degrees of the selected part
// of a layer, mirrored within the bounds (the layer rectangle limited to the
// selection's bounding box). Selected pixels carry their selection weight
// into the mirrored place (in their alpha) and are written there with the
// destination's weight: a feathered edge fades twice.
#include <cstdint>

#include "core/rect.h"

namespace pg {

class TMTC;
struct SFlt4Context;

// For every pixel of rect (the context's region when null), cut to the
// plane: alpha := alpha * selection weight div 255. The plane's pixel (0, 0)
// is layer pixel `origin`. False for an unusable context or a plane without
// pixels.
[[nodiscard]] bool maskAlphaByCoverage(TMTC* plane, TPoint origin, const SFlt4Context* ctx, const TRect* rect);

// BGRA8: p := the masked unfiltered pixel at (left + right - 1 - x, y),
// written by the weight (protected alpha: colour bytes only). Size 0.
[[nodiscard]] bool flipHorizontal4Kernel(const SFlt4Context* ctx, const void* param, int32_t size);
// BGRA8: the same from (x, top + bottom - 1 - y). Size 0.
[[nodiscard]] bool flipVertical4Kernel(const SFlt4Context* ctx, const void* param, int32_t size);
// BGRA8: the same from (left + right - 1 - x, top + bottom - 1 - y). Size 0.
[[nodiscard]] bool rotate1804Kernel(const SFlt4Context* ctx, const void* param, int32_t size);

}  // namespace pg
