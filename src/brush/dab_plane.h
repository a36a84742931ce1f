#pragma once
// Coverage planes committed into a 32-bit plane: a filled shape, a text or a
// pen stroke's working channel turned into colour, and the gradient fill.
//
// Rectangles are rectangles of the coverage plane; the point is where their
// top-left corner lands in the target. Both are clipped together
// (clipCopyRect), so nothing outside either plane is read or written.
#include <cstdint>

#include "brush/plot_state.h"
#include "core/blend_arith.h"
#include "core/planes.h"
#include "core/rect.h"

namespace pg {

class CGradation;

// Every pixel of the clipped rectangle through plotProc32 with coverage
// P[coverage byte][opacity] and the colour; x and y handed on are the
// coverage plane's. Pixels of zero coverage are skipped where the slots make
// that no change (see plot_rows.h).
void plotMask(const SPlotter& plot, TMTC& target, const TChannel& coverage, TPoint point, uint32_t opacity, uint32_t colour,
              SRectXYWH rect);

// Every pixel of non-zero coverage: colour := the gradient at the target
// point in pixel order, the plotter's merge of (pixel, colour,
// P[P[coverage][opacity]][gradient alpha]).
void plotGradientMask(const SPlotter& plot, TMTC& target, const TChannel& coverage, const CGradation& gradient,
                      uint32_t opacity, SRectXYWH rect, TPoint point);

namespace reference {
// plotMask through plotProc32 for every pixel.
void plotMask(const SPlotter& plot, TMTC& target, const TChannel& coverage, TPoint point, uint32_t opacity, uint32_t colour,
              SRectXYWH rect);
}  // namespace reference

}  // namespace pg
